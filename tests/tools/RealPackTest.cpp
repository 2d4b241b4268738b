// Facts about the pack the build makes from the Debian dictionaries.

#include "CBHWordLib.h"
#include "CWordTable.h"

#include <QFile>
#include <QSet>
#include <QtEndian>

#include <gtest/gtest.h>

namespace {

const QString Pack = QStringLiteral(DIRORU_PACK_DIR "/");

class RealPack : public ::testing::Test
{
protected:
    void SetUp() override
    {
        if (!QFile::exists(Pack + "bs.dat"))
            GTEST_SKIP() << "no data pack built";
        lib.PageSize = 5;
        lib.OpenFile();
    }

    QString firstPage(const QString& code)
    {
        QString page;
        if (!lib.Query(code))
            return page;
        lib.PageFirst();
        page += lib.RecValue();
        for (int i = 1; i < 5 && lib.Next(); ++i)
            page += lib.RecValue();
        return page;
    }

    CBHWordLib lib{Pack + "bs.dat"};
};

} // namespace

TEST_F(RealPack, CommonCharactersLeadTheirCodes)
{
    EXPECT_TRUE(firstPage("32511354").startsWith("的"));
    EXPECT_TRUE(firstPage("3").contains("的"));
    EXPECT_TRUE(firstPage("25111").startsWith("是"));
    // Both the mainland and the other listed order find 必.
    EXPECT_TRUE(firstPage("45434").startsWith("必"));
    EXPECT_TRUE(firstPage("45443").startsWith("必"));
    EXPECT_TRUE(firstPage("2511211").startsWith("里")); // mainland order; the other is 2511121
}

TEST_F(RealPack, EveryCharacterHasExactlyOneMainRecordFirst)
{
    ASSERT_EQ(lib.RecordCount * 12, QFile(Pack + "bs.dat").size());
    QSet<char16_t> seen;
    uint32_t i = 0;
    for (; i < lib.RecordCount; ++i) {
        const char16_t c = lib.Records[i].Char;
        if (seen.contains(c))
            break; // the first repeat starts the other orders
        seen.insert(c);
    }
    EXPECT_EQ(seen.size(), 0x9FA5 - 0x4E00 + 1);
    for (; i < lib.RecordCount; ++i)
        EXPECT_TRUE(seen.contains(lib.Records[i].Char));
}

TEST_F(RealPack, EveryCharacterHasAnAssociationListWithRoomToLearn)
{
    CWordTable table(Pack + "word.idx", Pack + "word.dat");
    table.OpenFile();
    EXPECT_EQ(table.IndexCount, 0x9FA5 - 0x4E00 + 1);
    ASSERT_TRUE(table.Query(u'中'));
    EXPECT_GE(table.WordCount, 20);
    EXPECT_EQ(table.GetWord(0), "国");
    ASSERT_TRUE(table.Query(u'龘'));
    EXPECT_GE(table.WordCount, 20);
}
