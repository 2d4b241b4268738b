// FindFirstOf answers from an index by character what a GetWordCode walk
// from a given match would meet; these tests set it against that walk on
// files made to hit its edges: a character 0 among the matches, characters
// stored twice, codes repeated, and a file changed between a close and an
// open.
#include "CBHWordLib.h"
#include "StrokeRecord.h"
#include "TestFiles.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

// The walk: GetWordCode from index 0, skipping ordinal matches, then the
// first two different characters among codes; a 0 ends it.
std::vector<uint16_t> Walk(CBHWordLib& lib, int ordinal, const std::vector<uint16_t>& codes)
{
    std::vector<uint16_t> found;
    int index = 0;
    for (int seen = 0; found.size() < 2; ++seen, ++index) {
        const uint16_t c = lib.GetWordCode(index);
        if (c == 0)
            break;
        bool wanted = false;
        for (uint16_t w : codes)
            wanted |= w == c;
        if (seen >= ordinal && wanted && (found.empty() || found[0] != c))
            found.push_back(c);
    }
    return found;
}

std::vector<uint16_t> FirstOf(CBHWordLib& lib, int ordinal, const std::vector<uint16_t>& codes)
{
    uint16_t found[2] = {0, 0};
    const int n = lib.FindFirstOf(ordinal, codes.data(), int(codes.size()), found);
    return std::vector<uint16_t>(found, found + std::max(n, 0));
}

} // namespace

TEST(StrokeFirstOf, SameAsTheWalkOnEveryEdge)
{
    TestDir dir;
    // Characters A..H; B and E stored twice (two stroke orders), a record of
    // character 0 starting with 2, records not starting with 1 in between.
    const char16_t A = 0x4E00, B = A + 1, C = A + 2, D = A + 3, E = A + 4, F = A + 5, G = A + 6, H = A + 7;
    QByteArray bytes;
    for (auto [strokes, ch] : std::initializer_list<std::pair<const char*, char16_t>>{
             {"1", A}, {"12", B}, {"3", H}, {"13", C}, {"121", B}, {"14", D}, {"2", 0}, {"15", E},
             {"4", H}, {"151", E}, {"11", F}, {"2", G}, {"112", G}, {"1", 0}, {"13", H}})
        bytes += Record(strokes, ch);
    CBHWordLib lib(dir.write("bs.dat", bytes));
    lib.PageSize = 5;
    lib.OpenFile();

    const std::vector<std::vector<uint16_t>> lists = {
        {B, E, G}, {E, E, B}, {0, H, G}, {G, F}, {A}, {H}, {0x9FFF, 0x4000, D, C}, {}};
    // "1": 0 is the 11th match; "7": 0 is the 7th; "2": 0 first; "11": one.
    for (const char* code : {"1", "7", "2", "11", "12", "15"}) {
        ASSERT_TRUE(lib.Query(QString::fromLatin1(code)));
        for (int ordinal : {0, 1, 3, 5, 9, 12}) {
            for (const auto& codes : lists) {
                SCOPED_TRACE(testing::Message() << code << " from " << ordinal << ", " << codes.size() << " codes");
                EXPECT_EQ(FirstOf(lib, ordinal, codes), Walk(lib, ordinal, codes));
            }
        }
    }

    // A file changed while closed gets an index of its own: two characters
    // swapped, one gone and replaced by a new one.
    ASSERT_TRUE(lib.Query(QStringLiteral("1")));
    EXPECT_EQ(FirstOf(lib, 1, {B, C}), (std::vector<uint16_t>{B, C}));
    lib.CloseFile();
    QByteArray changed = bytes;
    const auto setChar = [&changed](int record, char16_t ch) {
        changed[12 * record + 10] = char(ch & 0xFF);
        changed[12 * record + 11] = char(ch >> 8);
    };
    setChar(1, C);
    setChar(3, B);
    setChar(5, 0x5000); // D is gone
    dir.write("bs.dat", changed);
    lib.OpenFile();
    ASSERT_TRUE(lib.Query(QStringLiteral("1")));
    EXPECT_EQ(FirstOf(lib, 1, {B, C}), (std::vector<uint16_t>{C, B}));
    EXPECT_EQ(FirstOf(lib, 1, {D, 0x5000}), (std::vector<uint16_t>{0x5000}));
    lib.CloseFile();
    EXPECT_EQ(FirstOf(lib, 1, {B, C}), std::vector<uint16_t>());
}
