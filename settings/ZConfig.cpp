#include "ZConfig.h"

#include <QStandardPaths>

QString ZConfig::getSettingDirectory()
{
    QString dir = qEnvironmentVariable("IM_SETTING_DIR");
    if (dir.isEmpty())
        dir = QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation)
              + QStringLiteral("/DiroruDIV");
    if (!dir.endsWith(QLatin1Char('/')))
        dir += QLatin1Char('/');
    return dir;
}
