#include "CWordTable.h"
#include "TestFiles.h"

#include <gtest/gtest.h>

#include <QFile>

#include <sys/stat.h>

namespace {

// word.dat records and word.idx entries through the shared builder.
QByteArray Records(std::initializer_list<Follower> records)
{
    AssociationFiles files;
    for (const Follower& r : records)
        files.addRecord(r);
    return files.data;
}

QByteArray IndexEntry(char16_t ch, quint16 count, quint32 offset)
{
    AssociationFiles files;
    files.addEntry(ch, count, offset);
    return files.index;
}

// Leading characters used below; any codes serve.
constexpr quint16 Big = 0x5927;  // 大
constexpr quint16 Small = 0x5C0F; // 小
constexpr quint16 Empty = 0x4E00;

class AssociationTable : public ::testing::Test {
protected:
    // 大 owns records 0..2, 小 records 3..4, 一 none.
    void SetUp() override
    {
        dir.write("word.idx", IndexEntry(Empty, 0, 0) + IndexEntry(Big, 3, 0) + IndexEntry(Small, 2, 12));
        dir.write("word.dat", Records({{'a', 4}, {'b', 9}, {'c', 4}, {'x', 40000}, {'y', 0}}));
    }

    QString Idx() const { return dir.path("word.idx"); }
    QString Dat() const { return dir.path("word.dat"); }

    static QString List(CWordTable& t)
    {
        QString out;
        for (int i = 0; i < t.WordCount; ++i)
            out += t.GetWord(i);
        return out;
    }

    TestDir dir;
};

} // namespace

TEST_F(AssociationTable, RanksByWeightThenFileOrder)
{
    CWordTable t(Idx(), Dat());
    t.OpenFile();
    ASSERT_TRUE(t.Query(Big));
    EXPECT_EQ(List(t), "bac");
    EXPECT_EQ(t.WordList[2].Offset, 8u);
    EXPECT_TRUE(t.GetWord(3).isNull());
    // A weight of 32768 or more reads as negative and ranks last.
    ASSERT_TRUE(t.Query(Small));
    EXPECT_EQ(List(t), "yx");

    t.WordIndex = 7;
    ASSERT_TRUE(t.Query(Empty));
    EXPECT_EQ(t.WordList, nullptr);
    EXPECT_EQ(t.WordIndex, 0);
    EXPECT_FALSE(t.Query('q'));
    EXPECT_EQ(t.WordCount, 0);

    // Odd weights are learned ones, which GetWordCode skips.
    t.CloseFile();
    dir.write("word.dat", Records({{'a', 1}, {'b', 3}, {'c', 2}, {'x', 1}, {'y', 3}}));
    t.OpenFile();
    ASSERT_TRUE(t.Query(Big));
    int i = 0;
    EXPECT_EQ(t.GetWordCode(i), 'c');
    EXPECT_EQ(i, 1);
    ASSERT_TRUE(t.Query(Small));
    i = 0;
    EXPECT_EQ(t.GetWordCode(i), 0);
    EXPECT_EQ(i, 2);
}

TEST_F(AssociationTable, UseIsWrittenAtTheNextChangeOrClose)
{
    const QByteArray before = dir.read("word.dat");
    CWordTable t(Idx(), Dat());
    t.OpenFile();
    ASSERT_TRUE(t.Query(Big));
    t.UpdateWordRef('a');
    EXPECT_EQ(t.WordList[1].Ref, 6);
    EXPECT_EQ(dir.read("word.dat"), before);

    // Not in the list: learned over the weakest record ('c' at offset 8);
    // this second change writes the first one.
    t.UpdateWordRef('n');
    EXPECT_EQ(dir.read("word.dat"),
              Records({{'a', 6}, {'b', 9}, {'c', 4}, {'x', 40000}, {'y', 0}}));
    t.CloseFile();
    EXPECT_EQ(dir.read("word.dat"),
              Records({{'a', 6}, {'b', 9}, {'n', 1}, {'x', 40000}, {'y', 0}}));

    t.OpenFile();
    ASSERT_TRUE(t.Query(Big));
    EXPECT_EQ(List(t), "ban");
}

TEST_F(AssociationTable, SameCharacterTwiceCountsBothUses)
{
    CWordTable t(Idx(), Dat());
    t.OpenFile();
    ASSERT_TRUE(t.Query(Big));
    t.UpdateWordRef('c'); // 4 -> 6, pending
    ASSERT_TRUE(t.Query(Big));
    EXPECT_EQ(List(t), "bca");
    t.UpdateWordRef('c'); // 6 -> 8, not 4 -> 6 again
    t.CloseFile();
    EXPECT_EQ(dir.read("word.dat"),
              Records({{'a', 4}, {'b', 9}, {'c', 8}, {'x', 40000}, {'y', 0}}));
}

TEST_F(AssociationTable, CancelledUseNeverReachesTheFile)
{
    const QByteArray before = dir.read("word.dat");
    {
        CWordTable t(Idx(), Dat());
        t.OpenFile();
        ASSERT_TRUE(t.Query(Big));
        t.UpdateWordRef('b');
        t.CancelUpdate();
        ASSERT_TRUE(t.Query(Empty));
        t.UpdateWordRef('b'); // no list loaded: nothing to count
    }
    EXPECT_EQ(dir.read("word.dat"), before);
}

TEST_F(AssociationTable, UseNeverLowersTheRank)
{
    dir.write("word.dat", Records({{'a', 32766}, {'b', 32765}, {'c', 100}, {'x', 65534}, {'y', 32768}}));
    CWordTable t(Idx(), Dat());
    t.OpenFile();
    ASSERT_TRUE(t.Query(Big));
    t.UpdateWordRef('a');
    t.UpdateWordRef('b');
    t.UpdateWordRef('b');
    EXPECT_EQ(t.WordList[0].Ref, 32766); // shipped: stays even
    EXPECT_EQ(t.WordList[1].Ref, 32767); // learned: stays odd
    t.CloseFile();
    t.OpenFile();
    ASSERT_TRUE(t.Query(Big));
    EXPECT_EQ(List(t), "bac");

    // Foreign weights that rank as negative still move up with each use.
    ASSERT_TRUE(t.Query(Small));
    EXPECT_EQ(List(t), "xy");
    t.UpdateWordRef('y');
    EXPECT_EQ(t.WordList[1].Ref, 32770);
    t.UpdateWordRef('x');
    EXPECT_EQ(t.WordList[0].Ref, 0);
    t.CloseFile();
    EXPECT_EQ(dir.read("word.dat"),
              Records({{'a', 32766}, {'b', 32767}, {'c', 100}, {'x', 0}, {'y', 32770}}));
}

TEST_F(AssociationTable, OwnerGetsReadWriteAndNothingElseChanges)
{
    const QByteArray path = QFile::encodeName(Dat());
    struct stat st;
    ASSERT_EQ(::chmod(path.constData(), 0444), 0);
    { CWordTable t(Idx(), Dat()); }
    ASSERT_EQ(::stat(path.constData(), &st), 0);
    EXPECT_EQ(st.st_mode & 07777, 0644u);

    ASSERT_EQ(::chmod(path.constData(), 0640), 0);
    { CWordTable t(Idx(), Dat()); }
    ASSERT_EQ(::stat(path.constData(), &st), 0);
    EXPECT_EQ(st.st_mode & 07777, 0640u);
}

TEST_F(AssociationTable, IndexPastTheDataGivesOnlyTheRecordsThatExist)
{
    // 大 claims 3 records of which 2 exist; 小 starts past the end.
    dir.write("word.idx", IndexEntry(Big, 3, 4) + IndexEntry(Small, 2, 400) + QByteArray("\x01\x02\x03", 3));
    dir.write("word.dat", Records({{'a', 2}, {'b', 4}, {'c', 6}}));
    CWordTable t(Idx(), Dat());
    EXPECT_EQ(t.IndexCount, 2);
    t.OpenFile();
    ASSERT_TRUE(t.Query(Big));
    EXPECT_EQ(List(t), "cb");
    t.UpdateWordRef('z');
    ASSERT_TRUE(t.Query(Small));
    EXPECT_EQ(t.WordCount, 0);
    EXPECT_EQ(t.WordList, nullptr);
    t.CloseFile();
    EXPECT_EQ(dir.read("word.dat"), Records({{'a', 2}, {'z', 1}, {'c', 6}}));
}

TEST_F(AssociationTable, ClosedOrShrunkDataIsNeverReadOrGrown)
{
    CWordTable t(Idx(), Dat());
    // Not open: the character is known but has no readable associations.
    ASSERT_TRUE(t.Query(Big));
    EXPECT_EQ(t.WordCount, 0);

    t.OpenFile();
    ASSERT_TRUE(t.Query(Big));
    t.UpdateWordRef('n'); // pending over 'c' at offset 8
    t.DataFile->resize(8);
    t.CloseFile();
    EXPECT_EQ(dir.read("word.dat"), Records({{'a', 4}, {'b', 9}}));
    EXPECT_EQ(t.Pending.Char, 0);
}

TEST_F(AssociationTable, MissingOrGarbageFilesGiveAnEmptyTable)
{
    CWordTable missing(dir.path("none.idx"), dir.path("none.dat"));
    EXPECT_EQ(missing.IndexTable, nullptr);
    missing.OpenFile();
    EXPECT_FALSE(missing.Query(Big));

    // Unsorted entries with huge counts and offsets past the data: lookups
    // may miss, reads stay bounded, nothing is written.
    QByteArray garbage;
    for (int i = 0; i < 40; ++i)
        garbage += IndexEntry(quint16(0xFFFF - 977 * i), 0xFFFF, quint32(0xFFFFFF00u + i));
    CWordTable g(dir.write("garbage.idx", garbage), Dat());
    g.OpenFile();
    for (int i = 0; i < 40; ++i) {
        if (g.Query(quint16(0xFFFF - 977 * i))) {
            EXPECT_EQ(g.WordCount, 0);
        }
        g.UpdateWordRef('z');
    }
    g.CloseFile();
    EXPECT_EQ(dir.read("word.dat").size(), 20);
}
