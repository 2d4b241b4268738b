#include "ChineseChar.h"
#include "DebugLog.h"
#include "FilePath.h"
#include "Gbk.h"
#include "IntegerSort.h"
#include "MemoryHelpers.h"
#include "TestFiles.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <climits>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

TEST(Gbk, DecodesChineseAndAscii)
{
    // "笔画" and "A;" in GBK.
    EXPECT_EQ(gbk("\xB1\xCA\xBB\xAD"), QString::fromUtf8("笔画"));
    EXPECT_EQ(gbk("A;"), QStringLiteral("A;"));
    EXPECT_TRUE(gbk(static_cast<const char*>(nullptr)).isNull());
}

TEST(Gbk, HalfCharacterDoesNotLeakIntoNextCall)
{
    // A lead byte alone at the end of one text must not pair with the next.
    EXPECT_LE(gbk("\xB1").size(), 1);
    EXPECT_EQ(gbk("AB"), QStringLiteral("AB"));
    EXPECT_EQ(gbk("\xB1\xCA"), QString::fromUtf8("笔"));
}

TEST(Gbk, EncodeRoundTripAndRefusal)
{
    bool ok = false;
    EXPECT_EQ(toGbk(QString::fromUtf8("；“”、…"), &ok), QByteArray("\xA3\xBB\xA1\xB0\xA1\xB1\xA1\xA2\xA1\xAD"));
    EXPECT_TRUE(ok);
    toGbk(QString::fromUtf8("😀"), &ok);
    EXPECT_FALSE(ok);
}

TEST(IsHZ, RangeBounds)
{
    EXPECT_TRUE(IsHZ(QChar(0x4E00)));
    EXPECT_TRUE(IsHZ(QChar(0x9FA5)));
    EXPECT_FALSE(IsHZ(QChar(0x4DFF)));
    EXPECT_FALSE(IsHZ(QChar(0x9FA6)));
    EXPECT_FALSE(IsHZ(QLatin1Char('A')));
}

TEST(ExtractFilePath, UpToLastSlash)
{
    EXPECT_EQ(ExtractFilePath(QStringLiteral("/a/b/c.txt")), QStringLiteral("/a/b/"));
    EXPECT_EQ(ExtractFilePath(QStringLiteral("c.txt")), QString());
    EXPECT_EQ(ExtractFilePath(QStringLiteral("/")), QStringLiteral("/"));
}

TEST(SortInteger, OrdersIncludingExtremesAndDuplicates)
{
    int a[] = {5, -1, 3, -1};
    SortInteger(a, 4);
    EXPECT_EQ(std::vector<int>(a, a + 4), (std::vector<int>{-1, -1, 3, 5}));

    int b[] = {7, INT_MIN, INT_MAX, 0, -7};
    SortInteger(b, 5);
    EXPECT_EQ(std::vector<int>(b, b + 5), (std::vector<int>{INT_MIN, -7, 0, 7, INT_MAX}));

    int one[] = {42};
    SortInteger(one, 1);
    EXPECT_EQ(one[0], 42);
    SortInteger(nullptr, 3);
    SortInteger(a, 0);
}

TEST(SortInteger, MatchesStdSortOnManyShapes)
{
    // Sorted, reversed, all equal and pseudo-random inputs: the shapes that
    // break a partition with a wrong bound.
    std::vector<std::vector<int>> inputs;
    std::vector<int> up, down, same, rnd;
    uint32_t seed = 12345;
    for (int i = 0; i < 1000; ++i) {
        up.push_back(i);
        down.push_back(-i);
        same.push_back(3);
        seed = seed * 1103515245u + 12345u;
        rnd.push_back(static_cast<int>(seed));
    }
    for (auto v : {up, down, same, rnd}) {
        std::vector<int> expected = v;
        std::sort(expected.begin(), expected.end());
        SortInteger(v.data(), static_cast<int>(v.size()));
        EXPECT_EQ(v, expected);
    }
}

TEST(Memory, AssignedAndDeassign)
{
    std::uintptr_t pair[2] = {0, 5};
    EXPECT_FALSE(Assigned(pair));
    pair[0] = 1;
    EXPECT_TRUE(Assigned(pair));
    Deassign(pair);
    EXPECT_FALSE(Assigned(pair));
    EXPECT_FALSE(Assigned(nullptr));
}

TEST(Memory, ReallocMemGrowsAndFrees)
{
    void* p = ReallocMem(nullptr, 16);
    ASSERT_NE(p, nullptr);
    std::memset(p, 0xAB, 16);
    p = ReallocMem(p, 64);
    ASSERT_NE(p, nullptr);
    EXPECT_EQ(static_cast<unsigned char*>(p)[15], 0xAB);
    EXPECT_EQ(ReallocMem(p, 0), nullptr);
    EXPECT_EQ(ReallocMem(nullptr, -1), nullptr);
}

TEST(DebugLog, TimedLineFormat)
{
    EXPECT_EQ(FormatTimedLine(12345, 42, "abc"), QByteArray("     12345.42: abc\n"));
    EXPECT_EQ(FormatTimedLine(1000000000, 500000, "x"), QByteArray("1000000000.500000: x\n"));
}

TEST(DebugLog, AppendsAndCutsLongMessages)
{
    TestDir dir;
    SetLogFileName(dir.path("log.txt"));
    WriteLog("%s-%d\n", "first", 1);
    WriteTime("second");
    const std::string longText(5000, 'x');
    WriteLog("%s", longText.c_str());
    SetLogFileName(QString());

    const QByteArray log = dir.read("log.txt");
    ASSERT_TRUE(log.startsWith("first-1\n"));
    const qsizetype secondEnd = log.indexOf("second\n");
    ASSERT_GT(secondEnd, 0);
    // The long message is cut at 1023 bytes.
    EXPECT_EQ(log.size() - (secondEnd + 7), 1023);
}
