#include "StrokeInputContextPlugin.h"

#include "StrokeInputContext.h"

QPlatformInputContext* StrokeInputContextPlugin::create(const QString& key, const QStringList&)
{
    if (key.compare(QLatin1String(StrokeInputContext::Key), Qt::CaseInsensitive) != 0)
        return nullptr;
    return new StrokeInputContext;
}
