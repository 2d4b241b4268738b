#include "SettingDir.h"

SettingDir::SettingDir()
    : m_previous(qgetenv("IM_SETTING_DIR"))
    , m_hadPrevious(qEnvironmentVariableIsSet("IM_SETTING_DIR"))
{
    qputenv("IM_SETTING_DIR", m_dir.dir().toLocal8Bit());
}

SettingDir::~SettingDir()
{
    if (m_hadPrevious)
        qputenv("IM_SETTING_DIR", m_previous);
    else
        qunsetenv("IM_SETTING_DIR");
}

void SettingDir::pointAt(const QString& dir)
{
    writeConfig("[BH]\nInstallDir=" + dir.toUtf8() + "\n");
}

void SettingDir::writeConfig(const QByteArray& text)
{
    m_dir.write(QStringLiteral("tarvin.cfg"), text);
}
