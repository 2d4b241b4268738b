#include "HostSession.h"

#include <QDir>
#include <QFile>
#include <QProcessEnvironment>

#include <grp.h>
#include <sys/stat.h>
#include <unistd.h>

bool HostSession::isRoot()
{
    return ::geteuid() == 0;
}

HostSession::HostSession()
{
    OpenToAll(m_dir.dir());
    m_host = m_dir.path(QStringLiteral("diroru_host"));
    m_plugin = m_dir.path(QStringLiteral("libDiroruDIV.so.1"));
    QFile::copy(QStringLiteral(DIRORU_HOST_PATH), m_host);
    QFile::copy(QStringLiteral(DIRORU_PLUGIN_PATH), m_plugin);
    ::chmod(QFile::encodeName(m_host).constData(), 0755);
    ::chmod(QFile::encodeName(m_plugin).constData(), 0755);
}

void HostSession::start(QProcess& process, const QString& script, const QString& settingDir, bool asNobody) const
{
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("IM_SETTING_DIR"), settingDir);
    env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
    process.setProcessEnvironment(env);
    process.setProcessChannelMode(QProcess::MergedChannels);
    if (asNobody) {
        // In the child between fork and exec; a failure to drop privileges
        // must not go on as root.
        process.setChildProcessModifier([] {
            if (::setgroups(0, nullptr) != 0 || ::setgid(NobodyId) != 0 || ::setuid(NobodyId) != 0)
                ::_exit(127);
        });
    }
    process.start(m_host, {QStringLiteral("--plugin"), m_plugin, QStringLiteral("--script"), script});
}

bool HostSession::run(const QString& script, const QString& settingDir, bool asNobody, QString* output) const
{
    QProcess process;
    start(process, script, settingDir, asNobody);
    const bool finished = process.waitForFinished(120000);
    if (output)
        *output = QString::fromUtf8(process.readAll());
    return finished && process.exitStatus() == QProcess::NormalExit && process.exitCode() == 0;
}

void OpenToAll(const QString& path)
{
    const QByteArray name = QFile::encodeName(path);
    struct stat st;
    if (::stat(name.constData(), &st) == 0)
        ::chmod(name.constData(), S_ISDIR(st.st_mode) ? 0755 : 0644);
}
