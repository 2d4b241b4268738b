// A typing session that learns, killed with SIGKILL at random moments, again
// and again on the same word.dat: each kill must leave every record as it was
// or holding a value this session writes, and the next session types as before.

#include "CWordTable.h"
#include "TestFiles.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QDirIterator>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QProcessEnvironment>
#include <QRandomGenerator>
#include <QStringList>
#include <QThread>

#include <grp.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

constexpr uid_t Nobody = 65534;
const QString DataName = QStringLiteral("数据 ü/");

// The host program on its own copy of a data pack (in a data folder with a
// non-ASCII name, with the settings that point the plug-in at it), the host
// and the plug-in beside it, all open to every user: root ignores permission
// bits, so sessions on read-only data run as nobody when the tests run as root.
class HostSession
{
public:
    explicit HostSession(const QString& packDir)
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

    // A path in the data folder; the folder itself, ending in "/", for "".
    QString data(const QString& name = QString()) const { return m_dir.path(DataName) + name; }
    QByteArray read(const QString& name) const { return m_dir.read(DataName + name); }

    // Starts the host on script; as nobody (which needs root) when asked.
    void start(QProcess& process, const QByteArray& script, bool asNobody = false) const
    {
        const QString path = m_dir.write(QStringLiteral("session.script"), script);
        ::chmod(QFile::encodeName(path).constData(), 0644);
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert(QStringLiteral("IM_SETTING_DIR"), m_dir.dir());
        env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
        process.setProcessEnvironment(env);
        process.setProcessChannelMode(QProcess::MergedChannels);
        if (asNobody) {
            // In the child between fork and exec; a failure to drop
            // privileges must not go on as root.
            process.setChildProcessModifier([] {
                if (::setgroups(0, nullptr) != 0 || ::setgid(Nobody) != 0 || ::setuid(Nobody) != 0)
                    ::_exit(127);
            });
        }
        process.start(m_dir.path(QStringLiteral("diroru_host")), {QStringLiteral("--plugin"),
                      m_dir.path(QStringLiteral("libDiroruDIV.so.1")), QStringLiteral("--script"), path});
    }

    // Runs it to the end: it must exit normally with status 0.
    testing::AssertionResult run(const QByteArray& script, bool asNobody = false) const
    {
        QProcess process;
        start(process, script, asNobody);
        if (process.waitForFinished(120000) && process.exitStatus() == QProcess::NormalExit && process.exitCode() == 0)
            return testing::AssertionSuccess();
        return testing::AssertionFailure() << process.readAll().toStdString();
    }

private:
    TestDir m_dir;
};

// One pass of the session learns the pairs (previous, chosen) 我们 们是 是中 中国
// 家我 我人 人中; 国家 is taken back by the backspace before it is written. 人中
// and 我人 are not shipped pairs: they replace the weakest record of their list.
const char* const Pass = "stroke 丿一\npick 我\npick 们\nstroke 丨乛\npick 是\nstroke 丨乛\npick 中\npick 国\npick 家\n"
                         "backspace\nstroke 丿一\npick 我\nstroke 丿丶\npick 人\nstroke 丨乛\npick 中\nswitch\npick 。\n"
                         "switch\nhide\nshow\nexpect 我们是中国我人中。\nclear\n";
constexpr int Passes = 15;
#if defined(__SANITIZE_ADDRESS__)
// Fewer kills under the sanitizers, where a session starts several times slower.
constexpr int DefaultRuns = 50;
#else
constexpr int DefaultRuns = 200;
#endif
const QStringList LearnedPairs = {"我们", "们是", "是中", "中国", "家我", "我人", "人中"};

// Empty when every change from before to after is one the session makes;
// else what is wrong. A use adds 2 to the weight of a record it keeps; a new
// pair starts at 1 over the weakest record.
QString checkChanges(const CWordTable& index, const QByteArray& before, const QByteArray& after)
{
    if (after.size() != before.size())
        return QStringLiteral("word.dat changed size from %1 to %2").arg(before.size()).arg(after.size());
    for (qsizetype at = 0; at + 4 <= after.size(); at += 4) {
        const uint16_t oldChar = u16At(before, at), oldRef = u16At(before, at + 2);
        const uint16_t newChar = u16At(after, at), newRef = u16At(after, at + 2);
        if (oldChar == newChar && oldRef == newRef)
            continue;
        QChar lead;
        for (const TWordIndexItem& e : std::vector(index.IndexTable, index.IndexTable + index.IndexCount))
            if (at >= qint64(e.Offset) && at + 4 <= qint64(e.Offset) + 4 * e.Count)
                lead = QChar(e.Char);
        const bool counted = oldChar == newChar && newRef > oldRef && (newRef - oldRef) % 2 == 0
            && newRef - oldRef <= 2 * Passes;
        const bool replaced = oldChar != newChar && (newRef & 1) && newRef <= 2 * Passes;
        if (!LearnedPairs.contains(QString(lead) + QChar(newChar)) || (!counted && !replaced))
            return QStringLiteral("a change the session never makes: record %1 (list of %2): %3 %4 -> %5 %6")
                .arg(at).arg(lead).arg(QChar(oldChar)).arg(oldRef).arg(QChar(newChar)).arg(newRef);
    }
    return QString();
}

} // namespace

TEST(KilledSession, WordDatStaysWholeAndLoadsAfterEveryKill)
{
    const QString packDir = QStringLiteral(DIRORU_PACK_DIR);
    if (!QFile::exists(packDir + QStringLiteral("/word.dat")))
        GTEST_SKIP() << "the data pack has not been built in " << packDir.toStdString();
    const int runs = qEnvironmentVariableIsSet("DIRORU_KILL_RUNS") ? qEnvironmentVariableIntValue("DIRORU_KILL_RUNS")
                                                                   : DefaultRuns;
    const HostSession host(packDir);
    const QByteArray script = QByteArray(Pass).repeated(Passes);
    CWordTable index(host.data("word.idx"), host.data("word.dat"));

    // A whole session first: it types what it should, learns, and tells how
    // long a session lasts, the range of the kills that follow.
    QByteArray before = host.read("word.dat");
    QElapsedTimer clock;
    clock.start();
    ASSERT_TRUE(host.run(script));
    const qint64 sessionMs = qMax<qint64>(clock.elapsed(), 20);
    QByteArray after = host.read("word.dat");
    ASSERT_NE(after, before) << "the session learns";
    ASSERT_EQ(checkChanges(index, before, after), QString());

    int killedEarly = 0;
    for (int run = 0; run < runs; ++run) {
        before = after;
        QProcess process;
        host.start(process, script);
        ASSERT_TRUE(process.waitForStarted());
        const qint64 delayUs = qint64(QRandomGenerator::global()->bounded(quint32(sessionMs * 1000)));
        QThread::usleep(quint64(delayUs));
        if (process.state() == QProcess::Running) {
            ++killedEarly;
            process.kill(); // SIGKILL
        }
        process.waitForFinished();
        after = host.read("word.dat");
        ASSERT_EQ(checkChanges(index, before, after), QString()) << "run " << run << ", killed after " << delayUs << " us";
    }
    EXPECT_GT(killedEarly, runs / 2) << "the kills should land inside the sessions of " << sessionMs << " ms";

    // The next session loads the file and types as before. Run as nobody
    // (when the tests run as root), it cannot write root's word.dat: it still
    // shows associations, and what it learns is dropped.
    const bool asNobody = ::geteuid() == 0;
    EXPECT_TRUE(host.run(script, asNobody));
    EXPECT_EQ(checkChanges(index, after, host.read("word.dat")), QString());
    EXPECT_TRUE(!asNobody || host.read("word.dat") == after) << "nothing learned is stored";
}
