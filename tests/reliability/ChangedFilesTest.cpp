// The plug-in, loaded with dlopen, while its data files change under it:
// replaced, truncated or removed between hide and show (the files are open
// only while the panel shows), replaced by a rename while it shows, and a
// settings file that points somewhere strange.

#include "PluginFixture.h"

#include <QDir>
#include <QFile>
#include <QRandomGenerator>

namespace {

class ChangedFiles : public PluginFixture
{
protected:
    QString file(const char* name) const { return pack.dir() + QLatin1String(name); }
    QByteArray read(const char* name) const
    {
        QFile f(file(name));
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
    }
    void write(const char* name, const QByteArray& bytes) const
    {
        QFile f(file(name));
        ASSERT_TRUE(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
        f.write(bytes);
    }
    // Replaced as installers do: a new file renamed over the old one.
    void replace(const char* name, const QByteArray& bytes) const
    {
        const QString fresh = file(name) + QStringLiteral(".new");
        QFile f(fresh);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(bytes);
        f.close();
        ASSERT_EQ(::rename(QFile::encodeName(fresh).constData(), QFile::encodeName(file(name)).constData()), 0);
    }
    QString line() { return state().value(QStringLiteral("line")).toString(); }
};

// bs.dat with its 12-byte records in the opposite order.
QByteArray reversedRecords(const QByteArray& bs)
{
    QByteArray out;
    for (qsizetype at = bs.size() - 12; at >= 0; at -= 12)
        out += bs.mid(at, 12);
    return out;
}

} // namespace

TEST_F(ChangedFiles, StrokeDictionaryTruncatedOrReplacedBetweenHideAndShow)
{
    const QByteArray bs = read("bs.dat");
    ASSERT_NE(start(), nullptr);
    tap({KeyShu, KeyZhe});                          // 丨乛: 中
    EXPECT_EQ(cells().value(5), QStringLiteral("中"));

    im->hide();
    write("bs.dat", QByteArray());
    panel->show();
    EXPECT_EQ(cells().mid(5), defaultCells().mid(5)) << "the strokes typed match nothing now";
    EXPECT_EQ(line(), QStringLiteral("丨乛"));
    im->hide();
    write("bs.dat", bs.left(25));                   // 一 and 二, and a stray byte
    panel->show();
    tap({KeyBackspace, KeyBackspace, KeyHeng});
    EXPECT_EQ(cells().mid(5, 2), QStringList({"一", "二"}));
    tap({5});
    EXPECT_EQ(service.typed(), QStringLiteral("一"));

    // Replaced by a rename while shown: the mapped file stays the old one
    // until the next show.
    im->hide();
    replace("bs.dat", reversedRecords(bs));
    panel->show();
    tap({KeyHeng});
    EXPECT_EQ(cells().value(5), QStringLiteral("大"));
    replace("bs.dat", bs);
    tap({KeyBackspace, KeyHeng});
    EXPECT_EQ(cells().value(5), QStringLiteral("大"));
    im->hide();
    panel->show();
    EXPECT_EQ(cells().value(5), QStringLiteral("一"));
}

TEST_F(ChangedFiles, AssociationRecordsTruncatedOrRemovedBetweenHideAndShow)
{
    ASSERT_NE(start(), nullptr);
    tap({KeyShu, KeyZhe, KeyHeng, KeyShu, 5});      // 中
    EXPECT_EQ(cells().mid(0, 3), QStringList({"国", "文", "心"}));
    im->hide();
    write("word.dat", read("word.dat").left(8));    // 中's first two records only
    panel->show();
    tap({KeyShu, KeyZhe, KeyHeng, KeyShu, 5});
    EXPECT_EQ(cells().mid(0, 3), QStringList({"国", "文"}) + defaultCells().mid(2, 1));
    tap({0, 1});                                    // 国 learned; 国's list lies past the end
    im->hide();
    EXPECT_EQ(read("word.dat").size(), 8) << "word.dat never grows";
    EXPECT_EQ(pack.record(0), std::make_pair(u'国', quint16(12)));

    QFile::remove(file("word.dat"));
    panel->show();
    tap({KeyShu, KeyZhe, KeyHeng, KeyShu, 5, 0});
    im->hide();
    // 文 had no list: the second 中 learned nothing, and 中 now has none to show.
    EXPECT_EQ(service.typed(), QStringLiteral("中中国文中") + cells().value(0));
    EXPECT_TRUE(read("word.dat").isEmpty());
}

TEST_F(ChangedFiles, SettingsPointingAtAFileOrGarbageLeaveAWorkingKeyboard)
{
    const QStringList files = QDir(pack.dir()).entryList(QDir::Files);
    pack.writeConfig("[BH]\nInstallDir=" + file("bs.dat").toUtf8() + "\n");
    ASSERT_NE(start(), nullptr);
    tap({KeyShu, KeyZhe, 5});
    im->hide();
    panel->show();
    tap({6});
    EXPECT_EQ(service.typed(), defaultCells().value(5) + defaultCells().value(6));
    EXPECT_EQ(QDir(pack.dir()).entryList(QDir::Files), files) << "nothing created beside the pack";
    TearDown();
    unknown = nullptr;

    QByteArray garbage(4096, '\0');
    QRandomGenerator random(7);
    for (char& c : garbage)
        c = char(random.bounded(256));
    pack.writeConfig(garbage);
    ASSERT_NE(start(), nullptr);
    tap({KeyShu, KeyZhe, 5});
    EXPECT_EQ(service.typed().right(1), defaultCells().value(5));
}

TEST_F(ChangedFiles, DataFolderWithNonAsciiName)
{
    const QString folder = pack.dir() + QStringLiteral("数据 ü");
    ASSERT_TRUE(QDir().mkpath(folder));
    for (const QString& name : QDir(pack.dir()).entryList(QDir::Files))
        ASSERT_TRUE(QFile::copy(pack.dir() + name, folder + QLatin1Char('/') + name));
    pack.writeConfig("[BH]\nInstallDir=" + folder.toUtf8() + "\n");
    ASSERT_NE(start(), nullptr);
    tap({KeyShu, KeyZhe, KeyHeng, KeyShu, 5});      // 中
    EXPECT_EQ(cells().mid(0, 3), QStringList({"国", "文", "心"}));
    tap({0});
    im->hide();
    QFile learned(folder + QStringLiteral("/word.dat"));
    ASSERT_TRUE(learned.open(QIODevice::ReadOnly));
    EXPECT_EQ(learned.read(4), QByteArray("\xfd\x56\x0c\x00", 4)) << "国 learned after 中 in that folder";
    EXPECT_EQ(service.typed(), QStringLiteral("中国"));
}
