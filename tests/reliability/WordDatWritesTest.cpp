// Where the association table writes in word.dat, whatever word.idx says.

#include "CWordTable.h"
#include "TestFiles.h"

#include <gtest/gtest.h>

// Found by fuzz_association_table: a list whose index offset is not a
// multiple of 4 had its learned record written across two real records,
// leaving both damaged.
TEST(WordDatWrites, AnOffsetOffTheRecordGridIsNeverWritten)
{
    TestDir dir;
    QByteArray index, records;
    appendU16(index, u'大'); appendU16(index, 1); appendU32(index, 2); // across a and b
    appendU16(index, u'小'); appendU16(index, 2); appendU32(index, 0);
    for (char16_t c : {u'a', u'b'}) {
        appendU16(records, c);
        appendU16(records, 4);
    }
    dir.write("word.idx", index);
    dir.write("word.dat", records);

    CWordTable table(dir.path("word.idx"), dir.path("word.dat"));
    table.OpenFile();
    ASSERT_TRUE(table.Query(u'大'));
    ASSERT_EQ(table.WordCount, 1);
    table.UpdateWordRef(u'z');
    table.CloseFile();
    EXPECT_EQ(dir.read("word.dat"), records);

    table.OpenFile();
    table.Query(u'小');
    table.UpdateWordRef(u'b');                      // on the grid: counted
    table.CloseFile();
    EXPECT_EQ(dir.read("word.dat").mid(4), QByteArray("b\0\6\0", 4));
}

// Found by fuzz_association_table: a list still loaded from a word.dat that
// was then replaced (the panel hidden, the file swapped, the panel shown
// again) wrote its stale records over the new file.
TEST(WordDatWrites, AListReadFromAReplacedFileLearnsNothingIntoTheNewOne)
{
    TestDir dir;
    QByteArray index, old, fresh;
    appendU16(index, u'大'); appendU16(index, 2); appendU32(index, 0);
    for (auto [c, ref] : {std::pair{u'a', 4}, {u'b', 2}}) {
        appendU16(old, c);
        appendU16(old, quint16(ref));
    }
    for (auto [c, ref] : {std::pair{u'c', 8}, {u'd', 6}}) {
        appendU16(fresh, c);
        appendU16(fresh, quint16(ref));
    }
    dir.write("word.idx", index);
    dir.write("word.dat", old);

    CWordTable table(dir.path("word.idx"), dir.path("word.dat"));
    table.OpenFile();
    ASSERT_TRUE(table.Query(u'大'));
    table.CloseFile();
    dir.write("word.dat", fresh);
    table.OpenFile();
    table.UpdateWordRef(u'a');                      // counted on a stale a 4
    table.UpdateWordRef(u'z');                      // over a stale b 2
    table.CloseFile();
    EXPECT_EQ(dir.read("word.dat"), fresh);

    table.OpenFile();
    ASSERT_TRUE(table.Query(u'大'));                 // read again: learns as ever
    table.UpdateWordRef(u'z');
    table.CloseFile();
    EXPECT_EQ(dir.read("word.dat").mid(4), QByteArray("z\0\1\0", 4));
}
