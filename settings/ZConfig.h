#pragma once

#include <QString>

// The platform's configuration entry points, as the plug-in links them.
class ZConfig
{
public:
    // The setting directory, always ending in "/": $IM_SETTING_DIR when set,
    // else the user's configuration directory for DiroruDIV.
    static QString getSettingDirectory();
};
