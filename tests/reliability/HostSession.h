#pragma once

#include "TestFiles.h"

#include <QProcess>
#include <QString>

#include <cstdint>

// The host program and the plug-in, copied into a folder every user may
// read, so that a session can also run as an unprivileged user whatever the
// permissions of the build tree.
class HostSession
{
public:
    // The user that sessions run as when the tests run as root: root ignores
    // permission bits, so read-only files and folders only mean something
    // to another user.
    static constexpr uint32_t NobodyId = 65534;
    static bool isRoot();

    HostSession();

    // Starts the host on script with settingDir as IM_SETTING_DIR; as
    // nobody when asNobody is set (which needs root).
    void start(QProcess& process, const QString& script, const QString& settingDir, bool asNobody = false) const;
    // Runs it to the end; false when it did not exit normally with status 0.
    bool run(const QString& script, const QString& settingDir, bool asNobody = false,
             QString* output = nullptr) const;

private:
    TestDir m_dir;
    QString m_host;
    QString m_plugin;
};

// Lets every user read and enter path (a folder) or read path (a file).
void OpenToAll(const QString& path);
