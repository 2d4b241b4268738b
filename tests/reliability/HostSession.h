#pragma once

#include "TestFiles.h"

#include <QProcess>
#include <QString>

#include <cstdint>
#include <unistd.h>

// The host program on its own copy of a data pack (in a data folder of any
// name, with the settings that point the plug-in at it), the host and the
// plug-in beside it, all open to every user: root ignores permission bits, so
// sessions on read-only data run as nobody when the tests run as root.
class HostSession
{
public:
    static constexpr uint32_t NobodyId = 65534;
    static bool isRoot() { return ::geteuid() == 0; }

    explicit HostSession(const QString& packDir, const QString& dataName = QStringLiteral("pack"));
    // A path in the data folder; the folder itself, ending in "/", for "".
    QString data(const QString& name = QString()) const { return m_dir.path(m_dataName) + '/' + name; }
    QByteArray read(const QString& name) const { return m_dir.read(m_dataName + '/' + name); }

    // Starts the host on script; as nobody (which needs root) when asked.
    void start(QProcess& process, const QByteArray& script, bool asNobody = false) const;
    // Runs it to the end; false when it did not exit normally with status 0.
    bool run(const QByteArray& script, bool asNobody = false, QString* output = nullptr) const;

private:
    TestDir m_dir;
    QString m_dataName;
};
