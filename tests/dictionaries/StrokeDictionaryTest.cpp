// The stroke dictionary on small files made to hit its edges, set against
// the reference model: matching, paging, the walks and the matches they
// reuse, the promoted search, and files that are bad or change while hidden.
#include "CBHWordLib.h"
#include "StrokeDictionaryChecks.h"
#include "StrokeModel.h"
#include "TestFiles.h"

#include <gtest/gtest.h>

#include <QtEndian>

#include <memory>

namespace {

class StrokeDictionary : public ::testing::Test {
protected:
    CBHWordLib& Open(const QByteArray& bytes, int pageSize = 5)
    {
        m_bytes = bytes;
        lib = std::make_unique<CBHWordLib>(dir.write("bs.dat", bytes));
        lib->PageSize = pageSize;
        lib->OpenFile();
        return *lib;
    }
    // Rewrites bs.dat while the dictionary is closed.
    void Replace(const QByteArray& bytes)
    {
        m_bytes = bytes;
        dir.write("bs.dat", bytes);
    }
    StrokeModel Model() const { return StrokeModel(m_bytes.constData(), size_t(m_bytes.size() / 12)); }
    std::vector<uint32_t> Matches(const QString& code) const
    {
        StrokeModel model = Model();
        model.Query(std::u16string_view(reinterpret_cast<const char16_t*>(code.utf16()), size_t(code.size())));
        return model.AllMatches();
    }
    uint16_t CharOf(uint32_t record) const { return qFromLittleEndian<uint16_t>(m_bytes.constData() + 12 * record + 10); }
    // The query on the dictionary and the model: same result, walks and pages.
    void ExpectQuery(const QString& code)
    {
        SCOPED_TRACE("code " + code.toStdString());
        const std::vector<uint32_t> matches = Matches(code);
        EXPECT_EQ(lib->Query(code), !matches.empty());
        ExpectWalk(*lib, matches, true);
        ExpectPages(*lib, matches);
    }
    // The matches the dictionary gives, as characters, after ExpectQuery.
    QString Found(const QString& code)
    {
        ExpectQuery(code);
        QString out;
        int index = 0;
        for (uint16_t c; lib->Query(code) && (c = lib->GetWordCode(index)); ++index)
            out += QChar(c);
        return out;
    }

    TestDir dir;
    QByteArray m_bytes;
    std::unique_ptr<CBHWordLib> lib;
};

} // namespace

TEST_F(StrokeDictionary, MatchesThePrefixDigitByDigit)
{
    struct TCase {
        QByteArray File;
        QString Code;
        const char* Expected;
    };
    const QByteArray prefixes = strokeFile({{"1", u'a'}, {"12", u'b'}, {"2", u'c'}, {"13", u'd'}, {"132", u'e'},
                                         {"16", u'f'}, {"2512", u'g'}});
    // 23 and 25 strokes: positions 10..19 and 20..24 live in words 1 and 2.
    const QByteArray longer = strokeFile({{"12345123451234512345123", u'x'}, {"12345123451234512345124", u'y'},
                                       {"1234512345123451234512345", u'z'}});
    const QByteArray spill = strokeFile({{"12", u'a'}, {"32", u'b'}, {"13", u'c'}, {"2", u'd'}});
    const TCase cases[] = {
        {prefixes, "1", "abdef"},
        {prefixes, "17", "abdef"}, // a wildcard also meets the padding
        {prefixes, "7", "abcdefg"},
        {prefixes, "172", "e"},
        {prefixes, "16", "f"},
        {prefixes, "25121", ""},
        {longer, "12345123451234512345123", "xz"},
        {longer, "77777777777777777777774", "y"},
        {longer, "12345123451234512345123452", "z"}, // compared by the first 25
        // Characters that name no stroke accept any, and never spill into
        // the next position: '9' has a bit above the three of its own,
        // U+0131 the low byte of '1'.
        {spill, "92", "ab"},
        {spill, "x2", "ab"},
        {spill, QString(QChar(0x0131)) + "2", "ab"},
    };
    for (const TCase& c : cases) {
        Open(c.File);
        EXPECT_EQ(Found(c.Code), QString::fromLatin1(c.Expected)) << c.Code.toStdString();
    }
}

TEST_F(StrokeDictionary, PagesAndWalksAgreeWithTheModel)
{
    // Six matches of "1" by five, among records that do not match.
    Open(strokeFile({{"2", u'z'}, {"1", u'a'}, {"11", u'b'}, {"2", u'z'}, {"12", u'c'}, {"13", u'd'}, {"14", u'e'},
                  {"2", u'z'}, {"15", u'f'}, {"2", u'z'}}));
    for (int pageSize : {5, 1, 6})
        for (const char* code : {"1", "11", "2", "7", "3"}) {
            lib->PageSize = pageSize;
            ExpectQuery(code);
        }

    // Code "1" matches 40 of 60 records, more than are kept by number; 134
    // matches 7, 2 the other 20.
    QByteArray bytes;
    for (int i = 0; i < 60; ++i)
        bytes += strokeRecord(i % 9 == 0 ? "134" : i % 3 != 1 ? "13" : "2", char16_t(0x4E00 + i));
    Open(bytes);
    const std::vector<uint32_t> ones = Matches("1");
    ExpectQuery("1");
    ExpectQuery("134");
    ExpectQuery("2");

    // The walks after every state a caller reaches: a look far ahead, the
    // keyboard's start from a shown page, paging past the matches kept by
    // number, a hide and show.
    ASSERT_TRUE(lib->Query("1"));
    int index = 30;
    EXPECT_EQ(lib->GetWordCode(index), 0x4E00 + 30);
    ExpectWalk(*lib, ones, true);
    ASSERT_TRUE(lib->Query("1"));
    lib->PageFirst();
    for (int i = 0; i < 4; ++i)
        ASSERT_TRUE(lib->Next());
    index = 0;
    EXPECT_EQ(lib->GetMatchCode(5, index), CharOf(ones[5]));
    EXPECT_EQ(lib->RecValue(), QString(QChar(CharOf(ones[4]))));
    ASSERT_TRUE(lib->Query("1"));
    for (int i = 0; i < 5; ++i)
        ASSERT_TRUE(lib->NextPage());
    ASSERT_TRUE(lib->PriorPage());
    EXPECT_EQ(Page(*lib).at(0), QChar(CharOf(ones[20])));
    ExpectWalk(*lib, ones, true);
    lib->CloseFile();
    index = 3;
    EXPECT_EQ(lib->GetMatchCode(0, index), 0);
    EXPECT_EQ(index, 3);
    lib->OpenFile();
    ExpectWalk(*lib, ones, true);
    EXPECT_EQ(lib->GetMatchCode(-1, index), 0);

    // The code words are public: set by hand, every record from the first
    // match on is judged by them, and the matches found are dropped.
    lib->CodeValue[0] = 3 << 3;
    lib->CodeMask[0] = 7 << 3;
    StrokeModel byHand = Model();
    byHand.QueryPattern(lib->CodeValue, lib->CodeMask);
    ExpectWalk(*lib, byHand.AllMatches(), true);
    // Record 0, the first match, is no 2: the walk starts at the first 2.
    lib->CodeValue[0] = 2;
    lib->CodeMask[0] = 7;
    index = 0;
    EXPECT_EQ(lib->GetWordCode(index), 0x4E00 + 1);
    EXPECT_EQ(index, 1);
    EXPECT_EQ(lib->GetMatchCode(1, index), 0x4E00 + 4);
    EXPECT_EQ(index, 4);

    // A file rewritten while hidden whose first match and page start still
    // match: the matches found before must not outlive the old file.
    ASSERT_TRUE(lib->Query("1"));
    ExpectWalk(*lib, ones, true);
    lib->CloseFile();
    bytes.clear();
    for (int i = 0; i < 60; ++i)
        bytes += strokeRecord(i == 0 || i % 7 == 3 ? "1" : "2", char16_t(0x4E00 + i));
    Replace(bytes);
    lib->OpenFile();
    ExpectWalk(*lib, Matches("1"), true);
}

TEST_F(StrokeDictionary, FirstOfIsWhatTheWalkMeets)
{
    // Characters A..H; B and E stored twice (two stroke orders), records of
    // character 0 (a walk ends there), records not starting with 1 between.
    const char16_t A = 0x4E00, B = A + 1, C = A + 2, D = A + 3, E = A + 4, F = A + 5, G = A + 6, H = A + 7;
    const QByteArray bytes = strokeFile({{"1", A}, {"12", B}, {"3", H}, {"13", C}, {"121", B}, {"14", D}, {"2", 0},
                                      {"15", E}, {"4", H}, {"151", E}, {"11", F}, {"2", G}, {"112", G}, {"1", 0},
                                      {"13", H}});
    Open(bytes);
    // The walk from match ordinal on, in the model: the first two different
    // characters among codes, up to a character 0.
    const auto walk = [this](const QString& code, int ordinal, const std::vector<uint16_t>& codes) {
        std::vector<uint16_t> found;
        const std::vector<uint32_t> matches = Matches(code);
        for (size_t k = 0; k < matches.size() && found.size() < 2 && CharOf(matches[k]) != 0; ++k) {
            const uint16_t c = CharOf(matches[k]);
            if (int(k) >= ordinal && std::count(codes.begin(), codes.end(), c) && (found.empty() || found[0] != c))
                found.push_back(c);
        }
        return found;
    };
    const auto firstOf = [this](int ordinal, const std::vector<uint16_t>& codes) {
        uint16_t found[2] = {0, 0};
        const int n = lib->FindFirstOf(ordinal, codes.data(), int(codes.size()), found);
        return std::vector<uint16_t>(found, found + std::max(n, 0));
    };
    const std::vector<std::vector<uint16_t>> lists = {{B, E, G}, {E, E, B}, {0, H, G}, {G, F}, {A}, {H},
                                                      {0x9FFF, 0x4000, D, C}, {}};
    for (const char* code : {"1", "7", "2", "11", "12", "15"}) {
        ASSERT_TRUE(lib->Query(code));
        for (int ordinal : {0, 1, 3, 5, 9, 12})
            for (const auto& codes : lists)
                EXPECT_EQ(firstOf(ordinal, codes), walk(code, ordinal, codes))
                    << code << " from " << ordinal << ", " << codes.size() << " codes";
    }

    // A file changed while closed gets an index of its own: two characters
    // swapped, one gone and replaced by a new one.
    ASSERT_TRUE(lib->Query("1"));
    EXPECT_EQ(firstOf(1, {B, C}), (std::vector<uint16_t>{B, C}));
    lib->CloseFile();
    QByteArray changed = bytes;
    for (auto [record, ch] : {std::pair{1, C}, std::pair{3, B}, std::pair{5, char16_t(0x5000)}})
        qToLittleEndian<uint16_t>(ch, changed.data() + 12 * record + 10);
    Replace(changed);
    lib->OpenFile();
    ASSERT_TRUE(lib->Query("1"));
    EXPECT_EQ(firstOf(1, {B, C}), (std::vector<uint16_t>{C, B}));
    EXPECT_EQ(firstOf(1, {D, 0x5000}), (std::vector<uint16_t>{0x5000}));
    lib->CloseFile();
    EXPECT_EQ(firstOf(1, {B, C}), std::vector<uint16_t>());
}

TEST_F(StrokeDictionary, QueryFindingNothingLeavesCursorOnFirstRecord)
{
    Open(strokeFile({{"1", u'a'}, {"2", u'b'}}));
    EXPECT_FALSE(lib->Query("3"));
    EXPECT_TRUE(lib->Eof() && lib->Bof());
    EXPECT_EQ(lib->RecValue(), "a");
    // The candidate string is the caller's own: changing it changes nothing
    // that a later RecValue gives.
    QString value = lib->RecValue();
    value[0] = QLatin1Char('q');
    EXPECT_EQ(*lib->RecValue().utf16(), u'a');
    EXPECT_FALSE(lib->NextPage());
}

TEST_F(StrokeDictionary, BadFilesGiveAnEmptyOrPartialDictionary)
{
    // 25 bytes: two whole records, the last byte ignored.
    Open(strokeRecord("1", u'a') + strokeRecord("1", u'b') + QByteArray("\x01", 1));
    EXPECT_EQ(lib->RecordCount, 2u);
    EXPECT_EQ(Found("1"), "ab");
    // Garbage (all bits set, stroke digits 7) only matches where the digits
    // say so.
    Open(QByteArray(12 * 3, '\xff'));
    EXPECT_EQ(Found("7"), QString(3, QChar(0xFFFF)));
    EXPECT_EQ(Found("1"), "");
    for (const QByteArray& content : {QByteArray(), QByteArray(11, '\x01')}) {
        Open(content);
        EXPECT_EQ(lib->RecordCount, 0u);
        EXPECT_FALSE(lib->Query("7"));
        EXPECT_TRUE(lib->RecValue().isNull());
        EXPECT_FALSE(lib->Next() || lib->NextPage());
    }
    CBHWordLib missing(dir.path("missing.dat"));
    missing.OpenFile();
    EXPECT_FALSE(missing.Query("1"));
    ExpectWalk(missing, {}, true);
}

TEST_F(StrokeDictionary, QueryOutlivesHideAndShowOnlyWhileTheFileFits)
{
    Open(strokeFile({{"1", u'a'}, {"1", u'b'}, {"1", u'c'}, {"2", u'z'}, {"1", u'd'}, {"1", u'e'}}), 2);
    ASSERT_TRUE(lib->Query("1"));
    ASSERT_TRUE(lib->NextPage());
    lib->CloseFile();
    EXPECT_TRUE(lib->RecValue().isNull());
    EXPECT_FALSE(lib->Next());
    ExpectWalk(*lib, {}, true);
    lib->OpenFile();
    EXPECT_EQ(Page(*lib), "cd");
    EXPECT_TRUE(lib->NextPage());
    EXPECT_EQ(Page(*lib), "e");
    EXPECT_TRUE(lib->PriorPage() && lib->PriorPage());
    EXPECT_EQ(Page(*lib), "ab");
    EXPECT_TRUE(lib->Bof());

    // A page start that no longer matches after a change while hidden
    // drops the query, though the first match still matches.
    lib->PageSize = 2;
    ASSERT_TRUE(lib->Query("1") && lib->NextPage());
    lib->CloseFile();
    Replace(strokeFile({{"1", u'a'}, {"1", u'b'}, {"2", u'c'}, {"2", u'z'}, {"1", u'd'}, {"1", u'e'}}));
    lib->OpenFile();
    EXPECT_TRUE(lib->Eof() && lib->Bof());
    ExpectWalk(*lib, {}, true);

    // Shrunk while hidden: the query is dropped until the next one.
    QByteArray bytes;
    for (int i = 0; i < 20; ++i)
        bytes += strokeRecord("1", char16_t(u'a' + i));
    Open(bytes, 5);
    ASSERT_TRUE(lib->Query("1") && lib->NextPage() && lib->NextPage());
    lib->CloseFile();
    Replace(strokeRecord("1", u'x') + strokeRecord("2", u'y'));
    lib->OpenFile();
    EXPECT_EQ(lib->RecordCount, 2u);
    EXPECT_TRUE(lib->Eof() && lib->Bof());
    EXPECT_FALSE(lib->NextPage() || lib->PriorPage());
    ExpectWalk(*lib, {}, true);
    lib->PageFirst();
    EXPECT_EQ(lib->RecValue(), "x");
    EXPECT_EQ(Found("1"), "x");
}
