// Sessions on data the user may only partly use: a word.dat they cannot
// write, a data folder they cannot write, one they cannot enter. Typing goes
// on in every case; what cannot be stored is simply not stored. Root ignores
// permission bits, so as root the sessions run as nobody.

#include "HostSession.h"
#include "TinyPack.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <sys/stat.h>
#include <unistd.h>

namespace {

// 中 from its strokes, then 国 from 中's associations and 人 from 国's: both
// choices are learned (国 in 中's list at offset 0, 人 in 国's at 28).
const char* const LearningSession = R"(stroke 丨乛一丨
pick 中
pick 国
pick 人
hide
show
expect 中国人
)";

class DataAccess : public ::testing::Test
{
protected:
    void SetUp() override
    {
        asNobody = HostSession::isRoot();
        OpenToAll(pack.dir());
        OpenToAll(QFileInfo(pack.configPath()).path());
        script = scripts.write(QStringLiteral("session.script"), LearningSession);
        OpenToAll(scripts.dir());
        OpenToAll(script);
    }
    void TearDown() override
    {
        // Writable again, so the folders can be removed.
        ::chmod(QFile::encodeName(pack.dir()).constData(), 0755);
    }

    void setMode(const QString& path, mode_t mode) { ::chmod(QFile::encodeName(path).constData(), mode); }
    // Hands a file to the session's user.
    void giveToSessionUser(const QString& path)
    {
        if (asNobody) {
            ASSERT_EQ(::chown(QFile::encodeName(path).constData(), HostSession::NobodyId, HostSession::NobodyId), 0);
        }
    }
    bool run(QString* output)
    {
        return host.run(script, QFileInfo(pack.configPath()).path(), asNobody, output);
    }

    TinyPack pack;
    TestDir scripts;
    QString script;
    HostSession host;
    bool asNobody = false;
};

} // namespace

TEST_F(DataAccess, WordDatTheUserCannotWriteStillShowsAssociations)
{
    if (!asNobody)
        GTEST_SKIP() << "needs root, to run the session as a user who does not own word.dat";
    const QByteArray before = pack.wordDat();
    QString output;
    EXPECT_TRUE(run(&output)) << output.toStdString();
    EXPECT_EQ(pack.wordDat(), before) << "nothing learned is stored";
}

TEST_F(DataAccess, ReadOnlyFolderKeepsLearningInTheFileAndCreatesNothing)
{
    giveToSessionUser(pack.dir() + QStringLiteral("word.dat"));
    setMode(pack.dir(), 0555);
    const QStringList files = QDir(pack.dir()).entryList(QDir::Files);
    QString output;
    EXPECT_TRUE(run(&output)) << output.toStdString();
    EXPECT_EQ(pack.record(0), std::make_pair(u'国', quint16(12)));
    EXPECT_EQ(pack.record(28), std::make_pair(u'人', quint16(4)));
    EXPECT_EQ(QDir(pack.dir()).entryList(QDir::Files), files);

    // Without word.dat there is nothing to show or learn, and nothing can be
    // created: typing still works.
    setMode(pack.dir(), 0755);
    QFile::remove(pack.dir() + QStringLiteral("word.dat"));
    setMode(pack.dir(), 0555);
    scripts.write(QStringLiteral("session.script"), "stroke 丨乛一丨\npick 中\nhide\nshow\nstroke 丨乛一丨\npick 中\nexpect 中中\n");
    EXPECT_TRUE(run(&output)) << output.toStdString();
    EXPECT_FALSE(QFile::exists(pack.dir() + QStringLiteral("word.dat")));
}

TEST_F(DataAccess, DataFolderTheUserCannotEnterLeavesPunctuation)
{
    // Stroke input finds nothing; cell 5 shows its default punctuation.
    scripts.write(QStringLiteral("session.script"), "stroke 丨乛一丨\nselect 5\nhide\nshow\nselect 6\nexpect ：，\n");
    setMode(pack.dir(), asNobody ? 0700 : 0);
    QString output;
    EXPECT_TRUE(run(&output)) << output.toStdString();
}
