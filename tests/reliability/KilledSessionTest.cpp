// A typing session that learns, killed with SIGKILL at random moments, again
// and again on the same word.dat, as a user whose device keeps crashing
// would see it. Each kill must leave word.dat its original size, every
// record either as it was or holding a value this session writes, and the
// next session must load it and type as before.

#include "CWordTable.h"
#include "HostSession.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QRandomGenerator>
#include <QStringList>
#include <QThread>

#include <cstdio>

namespace {

// One pass of the session: every choice after a character with an
// association list counts in that list. The pairs it learns, as (previous,
// chosen): 我们 们是 是中 中国 家我 我人 人中; 国家 is taken back by the
// backspace before it is written. 人中 and 我人 are not shipped pairs, so
// they replace the weakest record of their list; the others count up.
const char* const Pass = R"(stroke 丿一
pick 我
pick 们
stroke 丨乛
pick 是
stroke 丨乛
pick 中
pick 国
pick 家
backspace
stroke 丿一
pick 我
stroke 丿丶
pick 人
stroke 丨乛
pick 中
switch
pick 。
switch
hide
show
expect 我们是中国我人中。
clear
)";
constexpr int Passes = 15;
#if defined(__SANITIZE_ADDRESS__)
// A session starts several times slower under the sanitizers, and a killed
// one reports nothing anyway: fewer kills keep the suite within its limits.
constexpr int DefaultRuns = 50;
#else
constexpr int DefaultRuns = 200;
#endif
const QStringList LearnedPairs = {"我们", "们是", "是中", "中国", "家我", "我人", "人中"};

// Empty when every change from before to after is one the session makes;
// else what is wrong.
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
        const QString where = QStringLiteral("record %1 (list of %2): %3 %4 -> %5 %6")
                                  .arg(at).arg(lead).arg(QChar(oldChar)).arg(oldRef).arg(QChar(newChar)).arg(newRef);
        if (!LearnedPairs.contains(QString(lead) + QChar(newChar)))
            return QStringLiteral("a pair the session never learns: ") + where;
        // A use adds 2 to the weight of a record it keeps; a new pair
        // starts at 1 over the weakest record.
        const bool counted = oldChar == newChar && newRef > oldRef && (newRef - oldRef) % 2 == 0
            && newRef - oldRef <= 2 * Passes;
        const bool replaced = oldChar != newChar && (newRef & 1) && newRef <= 2 * Passes;
        if (!counted && !replaced)
            return QStringLiteral("an implausible weight: ") + where;
    }
    return QString();
}

} // namespace

TEST(KilledSession, WordDatStaysWholeAndLoadsAfterEveryKill)
{
    const QString packDir = QStringLiteral(DIRORU_PACK_DIR);
    if (!QFile::exists(packDir + QStringLiteral("/word.dat")))
        GTEST_SKIP() << "the data pack has not been built in " << packDir.toStdString();
    int runs = DefaultRuns;
    if (qEnvironmentVariableIsSet("DIRORU_KILL_RUNS"))
        runs = qEnvironmentVariableIntValue("DIRORU_KILL_RUNS");

    TestDir dir;
    QDir().mkpath(dir.path(QStringLiteral("pack")));
    for (const char* name : {"bs.dat", "word.idx", "word.dat", "Symbols.txt", "InputW_Stroke_Entry.gif",
                             "InputW_Stroke_Entry_Ext.gif"})
        ASSERT_TRUE(QFile::copy(packDir + QLatin1Char('/') + QLatin1String(name), dir.path(QStringLiteral("pack/") + QLatin1String(name))));
    const QString wordDat = dir.path(QStringLiteral("pack/word.dat"));
    dir.write(QStringLiteral("tarvin.cfg"), "[BH]\nInstallDir=" + dir.path(QStringLiteral("pack")).toUtf8() + "\n");
    QString script;
    for (int i = 0; i < Passes; ++i)
        script += QString::fromUtf8(Pass);
    dir.write(QStringLiteral("session.script"), script.toUtf8());
    CWordTable index(dir.path(QStringLiteral("pack/word.idx")), wordDat);
    HostSession host;

    // A whole session first: it types what it should, learns, and tells how
    // long a session lasts, the range of the kills that follow.
    QByteArray before = dir.read(QStringLiteral("pack/word.dat"));
    QElapsedTimer clock;
    clock.start();
    QString output;
    ASSERT_TRUE(host.run(dir.path(QStringLiteral("session.script")), dir.dir(), false, &output)) << output.toStdString();
    const qint64 sessionMs = qMax<qint64>(clock.elapsed(), 20);
    QByteArray after = dir.read(QStringLiteral("pack/word.dat"));
    ASSERT_NE(after, before) << "the session learns";
    ASSERT_EQ(checkChanges(index, before, after), QString());

    int killedEarly = 0;
    int changed = 0;
    for (int run = 0; run < runs; ++run) {
        before = after;
        QProcess process;
        host.start(process, dir.path(QStringLiteral("session.script")), dir.dir());
        ASSERT_TRUE(process.waitForStarted());
        const qint64 delayUs = qint64(QRandomGenerator::global()->bounded(quint32(sessionMs * 1000)));
        QThread::usleep(quint64(delayUs));
        if (process.state() == QProcess::Running) {
            ++killedEarly;
            process.kill(); // SIGKILL
        }
        process.waitForFinished();
        after = dir.read(QStringLiteral("pack/word.dat"));
        changed += after != before ? 1 : 0;
        const QString problem = checkChanges(index, before, after);
        ASSERT_EQ(problem, QString()) << "run " << run << ", killed after " << delayUs << " us";
    }
    std::printf("%d sessions of %lld ms: %d killed before their end, %d changed word.dat\n", runs,
                static_cast<long long>(sessionMs), killedEarly, changed);
    EXPECT_GT(killedEarly, runs / 2) << "the kills should land inside the sessions";

    // The next session loads the file: every list reads whole, and typing
    // goes on as before.
    index.OpenFile();
    for (const TWordIndexItem& e : std::vector(index.IndexTable, index.IndexTable + index.IndexCount)) {
        ASSERT_TRUE(index.Query(e.Char));
        ASSERT_EQ(index.WordCount, e.Count) << "list of " << e.Char;
    }
    index.CloseFile();
    EXPECT_TRUE(host.run(dir.path(QStringLiteral("session.script")), dir.dir(), false, &output)) << output.toStdString();
    EXPECT_EQ(checkChanges(index, after, dir.read(QStringLiteral("pack/word.dat"))), QString());
}
