#include "FilePath.h"

QString ExtractFilePath(const QString& path)
{
    const qsizetype slash = path.lastIndexOf(QLatin1Char('/'));
    return slash < 0 ? QString(QLatin1String("")) : path.left(slash + 1);
}
