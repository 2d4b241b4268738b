#pragma once

#include <qpa/qplatforminputcontextplugin_p.h>

// Qt's entry into the input context: QT_IM_MODULE=diroru selects it.
class StrokeInputContextPlugin : public QPlatformInputContextPlugin
{
    Q_OBJECT
    Q_PLUGIN_METADATA(IID QPlatformInputContextFactoryInterface_iid FILE "diroru.json")

public:
    QPlatformInputContext* create(const QString& key, const QStringList& paramList) override;
};
