#include "HostSession.h"

#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QProcessEnvironment>

#include <grp.h>
#include <sys/stat.h>
#include <unistd.h>

HostSession::HostSession(const QString& packDir, const QString& dataName)
    : m_dataName(dataName)
{
    QDir().mkpath(data());
    for (const QString& name : QDir(packDir).entryList(QDir::Files))
        QFile::copy(packDir + '/' + name, data(name));
    m_dir.write(QStringLiteral("tarvin.cfg"), "[BH]\nInstallDir=" + data().toUtf8() + "\n");
    QFile::copy(QStringLiteral(DIRORU_HOST_PATH), m_dir.path(QStringLiteral("diroru_host")));
    QFile::copy(QStringLiteral(DIRORU_PLUGIN_PATH), m_dir.path(QStringLiteral("libDiroruDIV.so.1")));
    ::chmod(QFile::encodeName(m_dir.dir()).constData(), 0755);
    for (QDirIterator it(m_dir.dir(), QDir::AllEntries | QDir::NoDotAndDotDot, QDirIterator::Subdirectories);
         it.hasNext();)
        ::chmod(QFile::encodeName(it.next()).constData(), 0755);
}

void HostSession::start(QProcess& process, const QByteArray& script, bool asNobody) const
{
    const QString path = m_dir.write(QStringLiteral("session.script"), script);
    ::chmod(QFile::encodeName(path).constData(), 0644);
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("IM_SETTING_DIR"), m_dir.dir());
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
    process.start(m_dir.path(QStringLiteral("diroru_host")),
                  {QStringLiteral("--plugin"), m_dir.path(QStringLiteral("libDiroruDIV.so.1")), QStringLiteral("--script"), path});
}

bool HostSession::run(const QByteArray& script, bool asNobody, QString* output) const
{
    QProcess process;
    start(process, script, asNobody);
    const bool finished = process.waitForFinished(120000);
    if (output)
        *output = QString::fromUtf8(process.readAll());
    return finished && process.exitStatus() == QProcess::NormalExit && process.exitCode() == 0;
}
