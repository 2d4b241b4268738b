// The matches a query has already found are reused by the next scans
// (Next, NextPage, GetWordCode, GetMatchCode); these tests check the reuse
// against the record list itself, in every state a caller can reach.
#include "CBHWordLib.h"
#include "StrokeRecord.h"
#include "TestFiles.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

class StrokeMatchWalk : public ::testing::Test {
protected:
    // 60 records; those with i % 3 != 1 begin with strokes 1 3 (40 matches
    // of code "1", more than the matches kept by number), every ninth goes
    // on with 4 (7 matches of "134"), the rest are 2.
    void SetUp() override
    {
        QByteArray bytes;
        for (int i = 0; i < 60; ++i) {
            const bool one = i % 3 != 1;
            bytes += Record(i % 9 == 0 ? "134" : one ? "13" : "2", char16_t(0x4E00 + i));
            if (one)
                ones.push_back(i);
            if (i % 9 == 0)
                few.push_back(i);
        }
        name = dir.write("bs.dat", bytes);
    }

    // GetMatchCode for every number and GetWordCode for every position, set
    // against the matches known from the records.
    void ExpectWalk(CBHWordLib& lib, const std::vector<int>& matches, int count, const char* state)
    {
        SCOPED_TRACE(state);
        const int first = matches.front();
        for (int k = int(matches.size()) + 1; k >= 0; --k) {
            int index = -1;
            const uint16_t code = lib.GetMatchCode(k, index);
            if (k < int(matches.size())) {
                EXPECT_EQ(code, 0x4E00 + matches[k]) << "match " << k;
                EXPECT_EQ(index, matches[k] - first) << "match " << k;
            } else {
                EXPECT_EQ(code, 0) << "match " << k;
                EXPECT_EQ(index, count - first) << "match " << k;
            }
        }
        for (int i = 0; i <= count - first + 1; ++i) {
            int index = i;
            const uint16_t code = lib.GetWordCode(index);
            int expected = count;
            for (int m : matches)
                if (m >= first + i) {
                    expected = m;
                    break;
                }
            EXPECT_EQ(code, expected < count ? 0x4E00 + expected : 0) << "position " << i;
            EXPECT_EQ(index, std::min(expected, count) - first) << "position " << i;
        }
        // The same walk in batches, from every position.
        for (int size : {1, 3, 64}) {
            for (int i = 0; i <= count - first + 1; ++i) {
                std::vector<uint16_t> expected;
                int end = i;
                for (int m : matches) {
                    if (m >= first + i && int(expected.size()) < size) {
                        expected.push_back(uint16_t(0x4E00 + m));
                        end = m - first + 1;
                    }
                }
                if (int(expected.size()) < size)
                    end = count - first;
                std::vector<uint16_t> codes(size_t(size) + 1, 0);
                int index = i;
                codes.resize(size_t(lib.GetWordCodes(index, codes.data(), size)));
                EXPECT_EQ(codes, expected) << "batch of " << size << " from " << i;
                EXPECT_EQ(index, end) << "batch of " << size << " from " << i;
            }
        }
    }

    TestDir dir;
    QString name;
    std::vector<int> ones;
    std::vector<int> few;
};

} // namespace

TEST_F(StrokeMatchWalk, MatchesByNumberAgreeWithTheRecordsInEveryState)
{
    CBHWordLib lib(name);
    lib.PageSize = 5;
    lib.OpenFile();
    ASSERT_TRUE(lib.Query("1"));
    ExpectWalk(lib, ones, 60, "right after the query");

    // A look far ahead finds a match whose number is not known yet.
    ASSERT_TRUE(lib.Query("1"));
    int index = 30;
    EXPECT_EQ(lib.GetWordCode(index), 0x4E00 + 30);
    ExpectWalk(lib, ones, 60, "after a look ahead");

    ASSERT_TRUE(lib.Query("1"));
    lib.PageFirst();
    for (int i = 0; i < 4; ++i)
        ASSERT_TRUE(lib.Next());
    index = 0;
    // The keyboard's start: the sixth match, one step past the page scan.
    EXPECT_EQ(lib.GetMatchCode(5, index), 0x4E00 + ones[5]);
    EXPECT_EQ(index, ones[5]);
    EXPECT_EQ(lib.RecValue(), QString(QChar(0x4E00 + ones[4])));

    ASSERT_TRUE(lib.Query("1"));
    for (int i = 0; i < 5; ++i)
        ASSERT_TRUE(lib.NextPage());
    ASSERT_TRUE(lib.PriorPage());
    lib.PageFirst();
    EXPECT_EQ(lib.RecValue(), QString(QChar(0x4E00 + ones[20])));
    ExpectWalk(lib, ones, 60, "after paging past the matches kept by number");
    ExpectWalk(lib, ones, 60, "again, with every match found");

    lib.CloseFile();
    index = 3;
    EXPECT_EQ(lib.GetMatchCode(0, index), 0);
    EXPECT_EQ(index, 3);
    lib.OpenFile();
    ExpectWalk(lib, ones, 60, "after a hide and show");

    // Fewer matches than are kept by number; a query finding nothing.
    ASSERT_TRUE(lib.Query("134"));
    ExpectWalk(lib, few, 60, "code 134");
    ExpectWalk(lib, few, 60, "code 134 with every match found");
    ASSERT_TRUE(lib.Query("2"));
    std::vector<int> twos;
    for (int i = 1; i < 60; i += 3)
        twos.push_back(i);
    ExpectWalk(lib, twos, 60, "code 2");
    EXPECT_FALSE(lib.Query("3"));
    index = 2;
    EXPECT_EQ(lib.GetMatchCode(0, index), 0);
    EXPECT_EQ(index, 2);
    EXPECT_EQ(lib.GetMatchCode(-1, index), 0);
}

TEST_F(StrokeMatchWalk, FoundMatchesAreDroppedWhenCodeOrFileChange)
{
    CBHWordLib lib(name);
    lib.PageSize = 5;
    lib.OpenFile();
    ASSERT_TRUE(lib.Query("1"));
    ExpectWalk(lib, ones, 60, "code 1");

    // The code words are public: set by hand to code 13's second stroke
    // only, every record from the first match on is judged by them.
    lib.CodeValue[0] = 3 << 3;
    lib.CodeMask[0] = 7 << 3;
    ExpectWalk(lib, ones, 60, "code 13 by hand");
    // Record 0, the first match, is no 2: by number, as by GetWordCode
    // from position 0, the walk starts at the first 2 after it.
    lib.CodeValue[0] = 2;
    lib.CodeMask[0] = 7;
    int index = 0;
    EXPECT_EQ(lib.GetWordCode(index), 0x4E00 + 1);
    EXPECT_EQ(index, 1);
    EXPECT_EQ(lib.GetMatchCode(0, index), 0x4E00 + 1);
    EXPECT_EQ(lib.GetMatchCode(1, index), 0x4E00 + 4);
    EXPECT_EQ(index, 4);

    // A file rewritten while hidden, whose first match and page start still
    // match: the matches found before must not outlive the old file.
    ASSERT_TRUE(lib.Query("1"));
    ExpectWalk(lib, ones, 60, "code 1 again");
    lib.CloseFile();
    QByteArray bytes;
    std::vector<int> newOnes;
    for (int i = 0; i < 60; ++i) {
        const bool one = i == 0 || i % 7 == 3;
        bytes += Record(one ? "1" : "2", char16_t(0x4E00 + i));
        if (one)
            newOnes.push_back(i);
    }
    dir.write("bs.dat", bytes);
    lib.OpenFile();
    ExpectWalk(lib, newOnes, 60, "the rewritten file");
}
