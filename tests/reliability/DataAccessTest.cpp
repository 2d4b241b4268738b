// Sessions on data the user may only partly use, in a folder with a
// non-ASCII name: a word.dat they cannot write, a data folder they cannot
// write, one they cannot enter. Typing goes on in every case; what cannot be
// stored is simply not stored. Root ignores permission bits, so as root the
// sessions run as nobody.

#include "HostSession.h"
#include "TinyPack.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <sys/stat.h>
#include <unistd.h>

TEST(DataAccess, TypingGoesOnWhatLearningCannotStoreIsDropped)
{
    TinyPack pack;
    TestDir scripts;
    HostSession host;
    const bool asNobody = HostSession::isRoot();
    const QString data = pack.dir() + QStringLiteral("数据 ü/");
    ASSERT_TRUE(QDir().mkpath(data));
    for (const QString& name : QDir(pack.dir()).entryList(QDir::Files))
        ASSERT_TRUE(QFile::copy(pack.dir() + name, data + name));
    pack.writeConfig("[BH]\nInstallDir=" + data.toUtf8() + "\n");
    for (const QString& path : {pack.dir(), data, QFileInfo(pack.configPath()).path(), pack.configPath(),
                                scripts.dir(), data + QStringLiteral("word.dat")})
        OpenToAll(path);
    const auto chmod = [](const QString& path, mode_t mode) { ::chmod(QFile::encodeName(path).constData(), mode); };
    const auto run = [&](const QByteArray& script) {
        const QString path = scripts.write(QStringLiteral("s.script"), script);
        OpenToAll(path);
        QString output;
        EXPECT_TRUE(host.run(path, QFileInfo(pack.configPath()).path(), asNobody, &output)) << output.toStdString();
    };
    // 中, then 国 from 中's list and 人 from 国's: both learned (国 in 中's
    // list at offset 0, 人 in 国's at 28).
    const QByteArray learning = "stroke 丨乛一丨\npick 中\npick 国\npick 人\nhide\nshow\nexpect 中国人\n";
    QFile wordDat(data + QStringLiteral("word.dat"));
    const QByteArray shipped = pack.wordDat();

    if (asNobody) { // a word.dat the user does not own still shows associations
        run(learning);
        ASSERT_TRUE(wordDat.open(QIODevice::ReadOnly));
        EXPECT_EQ(wordDat.readAll(), shipped) << "nothing learned is stored";
        wordDat.close();
        ASSERT_EQ(::chown(QFile::encodeName(wordDat.fileName()).constData(), HostSession::NobodyId,
                          HostSession::NobodyId), 0);
    }
    // A folder the user cannot write: learning goes into the file, nothing is created.
    chmod(data, 0555);
    const QStringList files = QDir(data).entryList(QDir::Files);
    run(learning);
    ASSERT_TRUE(wordDat.open(QIODevice::ReadOnly));
    const QByteArray learned = wordDat.readAll();
    wordDat.close();
    EXPECT_EQ(learned.mid(0, 4), QByteArray("\xfd\x56\x0c\x00", 4)) << "国 12";
    EXPECT_EQ(learned.mid(28, 4), QByteArray("\xba\x4e\x04\x00", 4)) << "人 4";
    EXPECT_EQ(QDir(data).entryList(QDir::Files), files);
    // Without word.dat nothing is shown or learned, and nothing is created.
    chmod(data, 0755);
    wordDat.remove();
    chmod(data, 0555);
    run("stroke 丨乛一丨\npick 中\nhide\nshow\nstroke 丨乛一丨\npick 中\nexpect 中中\n");
    EXPECT_FALSE(wordDat.exists());
    // A folder the user cannot enter: stroke input finds nothing; cells 5
    // and 6 show their default punctuation.
    chmod(data, asNobody ? 0700 : 0);
    run("stroke 丨乛一丨\nselect 5\nhide\nshow\nselect 6\nexpect ：，\n");
    chmod(data, 0755); // removable again
}
