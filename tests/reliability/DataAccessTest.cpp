// Sessions on data in a folder with a non-ASCII name that the user may only
// partly use: typing goes on in every case; what cannot be stored is not.

#include "HostSession.h"
#include "TinyPack.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QFile>

#include <sys/stat.h>
#include <unistd.h>

TEST(DataAccess, TypingGoesOnWhatLearningCannotStoreIsDropped)
{
    const HostSession host(TinyPack().dir(), QStringLiteral("数据 ü"));
    const bool asNobody = HostSession::isRoot();
    const QByteArray data = QFile::encodeName(host.data());
    const auto run = [&](const QByteArray& script) {
        QString output;
        EXPECT_TRUE(host.run(script, asNobody, &output)) << output.toStdString();
    };
    // 中, then 国 from 中's list and 人 from 国's: both learned (国 in 中's
    // list at offset 0, 人 in 国's at 28).
    const QByteArray learning = "stroke 丨乛一丨\npick 中\npick 国\npick 人\nhide\nshow\nexpect 中国人\n";
    const QByteArray shipped = host.read("word.dat");

    if (asNobody) { // a word.dat the user does not own still shows associations
        run(learning);
        EXPECT_EQ(host.read("word.dat"), shipped) << "nothing learned is stored";
        ASSERT_EQ(::chown(QFile::encodeName(host.data("word.dat")).constData(), HostSession::NobodyId,
                          HostSession::NobodyId), 0);
    }
    // A folder the user cannot write: learning goes into the file, nothing is created.
    ::chmod(data.constData(), 0555);
    const QStringList files = QDir(host.data()).entryList(QDir::Files);
    run(learning);
    const QByteArray learned = host.read("word.dat");
    EXPECT_EQ(learned.mid(0, 4), QByteArray("\xfd\x56\x0c\x00", 4)) << "国 12";
    EXPECT_EQ(learned.mid(28, 4), QByteArray("\xba\x4e\x04\x00", 4)) << "人 4";
    EXPECT_EQ(QDir(host.data()).entryList(QDir::Files), files);
    // Without word.dat nothing is shown or learned, and nothing is created.
    ::chmod(data.constData(), 0755);
    QFile::remove(host.data("word.dat"));
    ::chmod(data.constData(), 0555);
    run("stroke 丨乛一丨\npick 中\nhide\nshow\nstroke 丨乛一丨\npick 中\nexpect 中中\n");
    EXPECT_FALSE(QFile::exists(host.data("word.dat")));
    // A folder the user cannot enter: stroke input finds nothing; cells 5
    // and 6 show their default punctuation.
    ::chmod(data.constData(), asNobody ? 0700 : 0);
    run("stroke 丨乛一丨\nselect 5\nhide\nshow\nselect 6\nexpect ：，\n");
    ::chmod(data.constData(), 0755); // removable again
}
