#include "ChineseChar.h"
#include "DebugLog.h"
#include "FilePath.h"
#include "Gbk.h"
#include "IntegerSort.h"
#include "QuickSort.h"
#include "SETUP_SET_Manager.h"
#include "TestFiles.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <climits>
#include <random>
#include <string>
#include <vector>

TEST(Gbk, DecodesEncodesAndKeepsNoStateBetweenCalls)
{
    EXPECT_EQ(gbk("\xB1\xCA\xBB\xAD"), QString::fromUtf8("笔画"));
    EXPECT_TRUE(gbk(static_cast<const char*>(nullptr)).isNull());
    // A lead byte alone at the end of one text must not pair with the next.
    EXPECT_LE(gbk("\xB1").size(), 1);
    EXPECT_EQ(gbk("AB"), QStringLiteral("AB"));
    bool ok = false;
    EXPECT_EQ(toGbk(QString::fromUtf8("；“”、…"), &ok), QByteArray("\xA3\xBB\xA1\xB0\xA1\xB1\xA1\xA2\xA1\xAD"));
    EXPECT_TRUE(ok);
    toGbk(QString::fromUtf8("😀"), &ok);
    EXPECT_FALSE(ok);
}

TEST(Support, CharacterRangeAndFilePath)
{
    for (auto [c, hz] : {std::pair{0x4E00, true}, {0x9FA5, true}, {0x4DFF, false}, {0x9FA6, false}, {'A', false}})
        EXPECT_EQ(IsHZ(QChar(c)), hz) << c;
    EXPECT_EQ(ExtractFilePath(QStringLiteral("/a/b/c.txt")), QStringLiteral("/a/b/"));
    EXPECT_EQ(ExtractFilePath(QStringLiteral("c.txt")), QString());
    EXPECT_EQ(ExtractFilePath(QStringLiteral("/")), QStringLiteral("/"));
}

// The quicksort behind every list: all shapes of input come out in order;
// comparisons that are no order at all stay in the range and lose nothing.
TEST(QuickSort, OrdersEveryShapeAndSurvivesBadComparisons)
{
    std::mt19937 random(12345);
    std::vector<std::vector<int>> inputs = {{5, -1, 3, -1}, {7, INT_MIN, INT_MAX, 0, -7}, {42}, {}, {}, {}, {}};
    for (int i = 0; i < 1000; ++i)
        inputs[3].push_back(i), inputs[4].push_back(-i), inputs[5].push_back(3), inputs[6].push_back(int(random()));
    SortInteger(nullptr, 3);
    for (int bad : {0, -1, 1, 2}) {
        for (std::vector<int> v : inputs) {
            std::vector<int> expected = v;
            std::sort(expected.begin(), expected.end());
            const int hi = int(v.size()) - 1;
            if (bad == 0)
                SortInteger(v.data(), int(v.size()));
            else
                QuickSortIndices(0, hi,
                    [&](int i, int p) {
                        EXPECT_TRUE(i >= 0 && i <= hi && p >= 0 && p <= hi);
                        return bad == 2 ? int(random() % 3) - 1 : bad;
                    },
                    [&](int i, int j) { std::swap(v.at(i), v.at(j)); });
            if (bad != 0)
                std::sort(v.begin(), v.end());
            EXPECT_EQ(v, expected);
        }
    }
}

TEST(DebugLog, TimedLinesAppendedAndLongMessagesCut)
{
    EXPECT_EQ(FormatTimedLine(12345, 42, "abc"), QByteArray("     12345.42: abc\n"));
    EXPECT_EQ(FormatTimedLine(1000000000, 500000, "x"), QByteArray("1000000000.500000: x\n"));
    TestDir dir;
    SetLogFileName(dir.path("log.txt"));
    WriteLog("%s-%d\n", "first", 1);
    WriteTime("second");
    WriteLog("%s", std::string(5000, 'x').c_str());
    SetLogFileName(QString());
    const QByteArray log = dir.read("log.txt");
    ASSERT_TRUE(log.startsWith("first-1\n"));
    const qsizetype secondEnd = log.indexOf("second\n");
    ASSERT_GT(secondEnd, 0);
    EXPECT_EQ(log.size() - (secondEnd + 7), 1023);
}

// tarvin.cfg's [BH] InstallDir.
TEST(SettingsManager, ReadsEntryOrFallsBackAndNeverWrites)
{
    TestDir dir;
    const QString fallback = QStringLiteral("/default/");
    const std::pair<QByteArray, QString> cases[] = {
        {"[BH]\nInstallDir=/opt/pack\n", QStringLiteral("/opt/pack")},
        {"[BH]\nInstallDir = /opt/词库,v2/\n; comment\n", QStringLiteral("/opt/词库,v2/")}, // non-ASCII, a comma
        {"[Other]\nInstallDir=/x\n", fallback},
        {QByteArray("\x00\xff\xfe[BH\n==\n", 9), fallback},
        {"[BH]\nInstallDir=/opt/pack\n[BH\n", fallback}, // unreadable as a whole: not trusted
    };
    for (const auto& [text, expected] : cases) {
        const QString path = dir.write(QStringLiteral("tarvin.cfg"), text);
        for (const QString& file : {path, dir.path("missing.cfg"), dir.dir()}) { // a folder reads as no entries
            SETUP_SET_Manager settings(file, false);
            QString value;
            settings.getSettingInfo(QStringLiteral("BH"), QStringLiteral("InstallDir"), value, fallback, false);
            EXPECT_EQ(value, file == path ? expected : fallback) << text.toStdString();
        }
        EXPECT_EQ(dir.read(QStringLiteral("tarvin.cfg")), text);
        EXPECT_FALSE(QFile::exists(dir.path("missing.cfg")));
    }
}
