// The stroke dictionary against the reference model on small files made to
// hit its edges: every code of up to three strokes, the walks after every
// state a caller reaches, files that are bad or change while hidden.
#include "CBHWordLib.h"
#include "StrokeModel.h"
#include "TestFiles.h"

#include <gtest/gtest.h>

#include <QtEndian>

#include <memory>

namespace {

class StrokeDictionary : public ::testing::Test {
protected:
    void Open(const QByteArray& bytes, int pageSize = 5)
    {
        lib = std::make_unique<CBHWordLib>(Replace(bytes));
        lib->PageSize = pageSize;
        lib->OpenFile();
    }
    // Rewrites bs.dat (while the dictionary is closed).
    QString Replace(const QByteArray& bytes)
    {
        m_bytes = bytes;
        return dir.write("bs.dat", bytes);
    }
    std::vector<uint32_t> Matches(const QString& code) const
    {
        StrokeModel model(m_bytes.constData(), size_t(m_bytes.size() / 12));
        model.Query(std::u16string_view(reinterpret_cast<const char16_t*>(code.utf16()), size_t(code.size())));
        return model.AllMatches();
    }
    uint16_t CharOf(uint32_t record) const { return qFromLittleEndian<uint16_t>(m_bytes.constData() + 12 * record + 10); }
    // The shown page, as the stroke keyboard reads it.
    QString Page()
    {
        QString out;
        lib->PageFirst();
        for (int i = 0; i < lib->PageSize && (i == 0 || lib->Next()); ++i)
            out += lib->RecValue();
        return out;
    }

    // The walks for the last query set against matches, from every position:
    // GetMatchCode by number (from the last down, so that the numbers are
    // not all met in order), GetWordCode and GetWordCodes in batches. None
    // moves the cursor.
    void ExpectWalk(const std::vector<uint32_t>& m)
    {
        const int first = m.empty() ? 0 : int(m.front()), end = int(lib->RecordCount) - first;
        // What a walk gives for match k: its code and position, or 0 and end
        // (the index untouched when there is no query at all).
        const auto want = [&](size_t k, int asked) {
            return k < m.size() ? std::pair{CharOf(m[k]), int(m[k]) - first} : std::pair{uint16_t(0), m.empty() ? asked : end};
        };
        for (int k = int(m.size()) + 1; k >= 0; --k) {
            int index = 3;
            const uint16_t code = lib->GetMatchCode(k, index);
            EXPECT_EQ(std::pair(code, index), want(size_t(k), 3)) << "match " << k;
        }
        for (int i = 0; i <= end + 1; ++i) {
            const size_t k = size_t(std::lower_bound(m.begin(), m.end(), uint32_t(first + i)) - m.begin());
            int index = i;
            const uint16_t code = lib->GetWordCode(index);
            EXPECT_EQ(std::pair(code, index), want(k, i)) << "position " << i;
            for (size_t size : {1, 3, 64}) {
                std::vector<uint16_t> codes(size + 1, 0), expected;
                for (size_t j = k; j < m.size() && j < k + size; ++j)
                    expected.push_back(CharOf(m[j]));
                index = i;
                codes.resize(size_t(lib->GetWordCodes(index, codes.data(), int(size))));
                EXPECT_EQ(codes, expected) << "batch of " << size << " from " << i;
                EXPECT_EQ(index, expected.size() == size ? int(m[k + size - 1]) - first + 1 : want(m.size(), i).second)
                    << "batch of " << size << " from " << i;
            }
        }
    }
    // The query on the dictionary and the model: same result, flags, first
    // page and walks (the fuzz model follows the pages further).
    void ExpectQuery(const QString& code)
    {
        SCOPED_TRACE("code " + code.toStdString());
        const std::vector<uint32_t> matches = Matches(code);
        EXPECT_EQ(lib->Query(code), !matches.empty());
        EXPECT_TRUE(lib->Bof() && lib->Eof() == matches.empty());
        QString page;
        for (size_t k = 0; k < matches.size() && k < size_t(lib->PageSize); ++k)
            page += QChar(CharOf(matches[k]));
        EXPECT_EQ(matches.empty() ? QString() : Page(), page);
        ExpectWalk(matches);
    }

    TestDir dir;
    QByteArray m_bytes;
    std::unique_ptr<CBHWordLib> lib;
};

} // namespace

TEST_F(StrokeDictionary, AgreesWithTheModelOnEveryShortCode)
{
    // Beyond the short codes, what the rule says of longer ones: codes
    // compare by their first 25 strokes; characters that name no stroke
    // accept any and never spill into the next position ('9' has a bit above
    // the three of its own, U+0131 the low byte of '1').
    std::vector<QString> codes = {"", "0", "8", "92", "x2", QString(QChar(0x0131)) + "2", "12345123451234512345123",
                                  "77777777777777777777774", "12345123451234512345123452"};
    for (const std::string& code : StrokeModel::CodesUpTo(3))
        codes.push_back(QString::fromStdString(code));
    // Codes that are prefixes of others; 23 and 25 strokes (positions 10..19
    // and 20..24 live in words 1 and 2); neighbours for a spill to reach; six
    // matches of "1" among records that do not; garbage (all bits set, stroke
    // digits 7); a last partial record; files with no whole record.
    const QByteArray files[] = {
        strokeFile({{"1", u'a'}, {"12", u'b'}, {"2", u'c'}, {"13", u'd'}, {"132", u'e'}, {"16", u'f'}, {"2512", u'g'}}),
        strokeFile({{"12345123451234512345123", u'x'}, {"12345123451234512345124", u'y'},
                    {"1234512345123451234512345", u'z'}}),
        strokeFile({{"12", u'a'}, {"32", u'b'}, {"13", u'c'}, {"2", u'd'}}),
        strokeFile({{"2", u'z'}, {"1", u'a'}, {"11", u'b'}, {"2", u'z'}, {"12", u'c'}, {"13", u'd'}, {"14", u'e'},
                    {"2", u'z'}, {"15", u'f'}, {"2", u'z'}}),
        QByteArray(12 * 3, '\xff'), strokeFile({{"1", u'a'}, {"1", u'b'}}) + "\x01", QByteArray(), QByteArray(11, '\x01')};
    for (const QByteArray& file : files) {
        Open(file);
        for (const QString& code : codes)
            ExpectQuery(code);
        if (HasFailure())
            return;
    }
    EXPECT_TRUE(lib->RecValue().isNull());
    EXPECT_FALSE(lib->Next());
}

TEST_F(StrokeDictionary, WalksAgreeAfterEveryStateACallerReaches)
{
    // Code "1" matches 40 of 60 records, more than are kept by number; 134
    // matches 7, 2 the other 20.
    QByteArray bytes;
    for (int i = 0; i < 60; ++i)
        bytes += strokeRecord(i % 9 == 0 ? "134" : i % 3 != 1 ? "13" : "2", char16_t(0x4E00 + i));
    Open(bytes);
    const std::vector<uint32_t> ones = Matches("1");
    for (const char* code : {"1", "134", "2"})
        ExpectQuery(code);

    // Paging past the matches kept by number, a hide and show.
    ASSERT_TRUE(lib->Query("1"));
    for (int i = 0; i < 5; ++i)
        ASSERT_TRUE(lib->NextPage());
    lib->CloseFile();
    ExpectWalk({});
    lib->OpenFile();
    ExpectWalk(ones);

    // The code words are public: set by hand, every record from the first
    // match on is judged by them, and the matches found are dropped. Record
    // 0, the first match, is no 2: the walk starts at the first 2.
    lib->CodeValue[0] = 2;
    lib->CodeMask[0] = 7;
    int index = 0;
    EXPECT_EQ(lib->GetWordCode(index), 0x4E00 + 1);
    EXPECT_EQ(lib->GetMatchCode(1, index), 0x4E00 + 4);
    EXPECT_EQ(index, 4);

    // A file rewritten while hidden whose first match and page start still
    // match: the matches found before must not outlive the old file.
    ASSERT_TRUE(lib->Query("1"));
    ExpectWalk(ones);
    lib->CloseFile();
    bytes.clear();
    for (int i = 0; i < 60; ++i)
        bytes += strokeRecord(i == 0 || i % 7 == 3 ? "1" : "2", char16_t(0x4E00 + i));
    Replace(bytes);
    lib->OpenFile();
    ExpectWalk(Matches("1"));
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
                                                      {0x9FFF, 0x5000, D, C}, {}};
    // The second time the file has changed while closed and gets an index
    // of its own: two characters swapped, one gone and replaced by a new one.
    QByteArray changed = bytes;
    for (auto [record, ch] : {std::pair{1, C}, std::pair{3, B}, std::pair{5, char16_t(0x5000)}})
        qToLittleEndian<uint16_t>(ch, changed.data() + 12 * record + 10);
    for (const QByteArray& file : {bytes, changed}) {
        lib->CloseFile();
        Replace(file);
        lib->OpenFile();
        for (const char* code : {"1", "7", "2", "11", "12", "15"}) {
            ASSERT_TRUE(lib->Query(code));
            for (int ordinal : {0, 1, 3, 5, 9, 12})
                for (const auto& codes : lists)
                    EXPECT_EQ(firstOf(ordinal, codes), walk(code, ordinal, codes))
                        << code << " from " << ordinal << ", " << codes.size() << " codes";
        }
    }
    lib->CloseFile();
    EXPECT_EQ(firstOf(1, {B, C}), std::vector<uint16_t>());
}

TEST_F(StrokeDictionary, QueryOutlivesHideAndShowOnlyWhileTheFileFits)
{
    Open(strokeFile({{"1", u'a'}, {"1", u'b'}, {"1", u'c'}, {"2", u'z'}, {"1", u'd'}, {"1", u'e'}}), 2);
    // Finding nothing leaves the cursor on the first record.
    EXPECT_FALSE(lib->Query("3"));
    EXPECT_EQ(lib->RecValue(), "a");
    ASSERT_TRUE(lib->Query("1") && lib->NextPage());
    lib->CloseFile();
    EXPECT_TRUE(lib->RecValue().isNull());
    lib->OpenFile();
    EXPECT_EQ(Page(), "cd");
    EXPECT_TRUE(lib->NextPage());
    EXPECT_EQ(Page(), "e");
    EXPECT_TRUE(lib->PriorPage() && lib->PriorPage());
    EXPECT_EQ(Page(), "ab");
    EXPECT_TRUE(lib->Bof());

    // Changed while hidden, the query is dropped until the next one: a page
    // start that no longer matches though the first match does, or a file
    // shrunk below the page start.
    for (const QByteArray& changed : {strokeFile({{"1", u'a'}, {"1", u'b'}, {"2", u'c'}, {"2", u'z'}}),
                                      strokeFile({{"1", u'x'}, {"2", u'y'}})}) {
        Open(strokeFile({{"1", u'a'}, {"1", u'b'}, {"1", u'c'}, {"1", u'd'}, {"1", u'e'}}), 2);
        ASSERT_TRUE(lib->Query("1") && lib->NextPage());
        lib->CloseFile();
        Replace(changed);
        lib->OpenFile();
        EXPECT_TRUE(lib->Eof() && lib->Bof());
        EXPECT_FALSE(lib->NextPage() || lib->PriorPage());
        ExpectWalk({});
        lib->PageFirst();
        EXPECT_EQ(lib->RecValue(), QString(changed.at(10)));
    }
}
