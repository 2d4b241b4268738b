#include "SETUP_SET_Manager.h"

#include <QFileInfo>
#include <QSettings>

SETUP_SET_Manager::SETUP_SET_Manager(const QString& path, bool /*createIfMissing*/)
    : m_settings(new QSettings(path, QSettings::IniFormat))
{
    // Read-only use: nothing is ever written back, so a missing file is not
    // created and a damaged one is never rewritten.
}

SETUP_SET_Manager::~SETUP_SET_Manager()
{
    delete m_settings;
}

bool SETUP_SET_Manager::getSettingInfo(const QString& group, const QString& key, QString& value,
                                       const QString& defaultValue, bool)
{
    const QString fullKey = group + QLatin1Char('/') + key;
    if (m_settings->status() != QSettings::NoError || !m_settings->contains(fullKey)) {
        value = defaultValue;
        return false;
    }
    const QVariant stored = m_settings->value(fullKey);
    // A key written twice or as a list reads as a string list; take it whole
    // as text so a comma in a path is not lost.
    value = stored.typeId() == QMetaType::QStringList ? stored.toStringList().join(QLatin1Char(','))
                                                      : stored.toString();
    return true;
}
