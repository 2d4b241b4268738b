#pragma once

#include <QString>

class QSettings;

// Reads one settings file: INI text, groups in brackets, key=value lines,
// UTF-8. A missing or unreadable file reads as one without entries.
class SETUP_SET_Manager
{
public:
    SETUP_SET_Manager(const QString& path, bool createIfMissing);
    ~SETUP_SET_Manager();

    SETUP_SET_Manager(const SETUP_SET_Manager&) = delete;
    SETUP_SET_Manager& operator=(const SETUP_SET_Manager&) = delete;

    // value receives the stored entry, or defaultValue when there is none.
    // Returns whether the entry was found. The last flag is kept for the
    // platform's signature and not used.
    bool getSettingInfo(const QString& group, const QString& key, QString& value,
                        const QString& defaultValue, bool);

private:
    QSettings* m_settings;
};
