#include "StrokeDictionaryChecks.h"

#include "CBHWordLib.h"
#include "CStrokeCode.h"
#include "TestFiles.h"

#include <gtest/gtest.h>

#include <QtEndian>

#include <algorithm>
#include <set>

QString Page(CBHWordLib& lib)
{
    QString out;
    lib.PageFirst();
    for (int i = 0; i < lib.PageSize; ++i) {
        out += lib.RecValue();
        if (!lib.Next())
            break;
    }
    return out;
}

namespace {

uint16_t CharOf(const CBHWordLib& lib, uint32_t record)
{
    return qFromLittleEndian(lib.Records[record].Char);
}

QString Chars(const CBHWordLib& lib, const std::vector<uint32_t>& matches, size_t from, size_t count)
{
    QString out;
    for (size_t k = from; k < std::min(matches.size(), from + count); ++k)
        out += QChar(CharOf(lib, matches[k]));
    return out;
}

} // namespace

void ExpectWalk(CBHWordLib& lib, const std::vector<uint32_t>& matches, bool everyPosition)
{
    if (matches.empty()) {
        int index = 5;
        EXPECT_EQ(lib.GetWordCode(index), 0);
        EXPECT_EQ(lib.GetMatchCode(0, index), 0);
        EXPECT_EQ(index, 5);
        return;
    }
    const int first = int(matches.front());
    const int end = int(lib.RecordCount) - first; // a walk's index past the last match
    const int total = int(matches.size());
    // By number: all, or the first 40 and the last; from the last down, so
    // the numbers known are not all found in order.
    std::set<int> ordinals = {total - 1, total, total + 1};
    for (int k = 0; k < total && (everyPosition || k < 40); ++k)
        ordinals.insert(k);
    for (auto k = ordinals.rbegin(); k != ordinals.rend(); ++k) {
        int index = -1;
        const uint16_t code = lib.GetMatchCode(*k, index);
        EXPECT_EQ(code, *k < total ? CharOf(lib, matches[size_t(*k)]) : 0) << "match " << *k;
        EXPECT_EQ(index, *k < total ? int(matches[size_t(*k)]) - first : end) << "match " << *k;
    }
    // GetWordCode from every position, or from each match and one past it.
    std::vector<int> positions;
    for (int i = 0; i <= end + 1; ++i)
        positions.push_back(i);
    if (!everyPosition) {
        positions.clear();
        for (uint32_t m : matches)
            positions.insert(positions.end(), {int(m) - first, int(m) - first + 1});
    }
    const auto next = [&](int position) {
        return std::lower_bound(matches.begin(), matches.end(), uint32_t(first + position)) - matches.begin();
    };
    for (int i : positions) {
        const size_t k = size_t(next(i));
        int index = i;
        const uint16_t code = lib.GetWordCode(index);
        EXPECT_EQ(code, k < matches.size() ? CharOf(lib, matches[k]) : 0) << "position " << i;
        EXPECT_EQ(index, k < matches.size() ? int(matches[k]) - first : end) << "position " << i;
    }
    // In batches, from every position or from the sixth match on.
    for (int size : {1, 3, 64}) {
        const std::vector<int> starts = everyPosition ? positions : std::vector<int>{total > 5 ? int(matches[5]) - first : end};
        for (int i : starts) {
            int index = i;
            std::vector<uint16_t> codes(size_t(size) + 1, 0);
            std::vector<uint16_t> expected;
            int expectedIndex = end;
            for (size_t k = size_t(next(i)); k < matches.size() && int(expected.size()) < size; ++k) {
                expected.push_back(CharOf(lib, matches[k]));
                if (int(expected.size()) == size)
                    expectedIndex = int(matches[k]) - first + 1;
            }
            codes.resize(size_t(lib.GetWordCodes(index, codes.data(), size)));
            EXPECT_EQ(codes, expected) << "batch of " << size << " from " << i;
            EXPECT_EQ(index, expectedIndex) << "batch of " << size << " from " << i;
        }
    }
}

void ExpectPages(CBHWordLib& lib, const std::vector<uint32_t>& matches)
{
    const size_t size = size_t(lib.PageSize);
    EXPECT_TRUE(lib.Bof());
    EXPECT_EQ(lib.Eof(), matches.empty());
    if (matches.empty())
        return;
    size_t page = 0;
    for (;;) {
        EXPECT_EQ(Page(lib), Chars(lib, matches, page * size, size)) << "page " << page;
        const bool more = (page + 1) * size < matches.size();
        EXPECT_EQ(lib.NextPage(), more) << "next after page " << page;
        if (!more)
            break;
        ++page;
        EXPECT_FALSE(lib.Bof());
    }
    EXPECT_TRUE(lib.Eof());
    EXPECT_EQ(Page(lib), Chars(lib, matches, page * size, size)) << "past the last page";
    for (; page > 0; --page) {
        EXPECT_TRUE(lib.PriorPage()) << "back from page " << page;
        EXPECT_FALSE(lib.Eof());
        EXPECT_EQ(lib.Bof(), page == 1);
        EXPECT_EQ(Page(lib), Chars(lib, matches, (page - 1) * size, size)) << "page " << page - 1;
    }
    EXPECT_FALSE(lib.PriorPage());
    EXPECT_EQ(Page(lib), Chars(lib, matches, 0, size));
}
