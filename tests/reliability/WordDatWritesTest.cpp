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
