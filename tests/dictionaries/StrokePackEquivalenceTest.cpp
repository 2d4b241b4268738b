// The dictionary against a plain reading of its algorithm on the real data
// pack: every code of one to four strokes and every character's full code,
// on every match path, must give the same candidates, pages, flags and
// GetWordCode positions.
#include "CBHWordLib.h"
#include "CFileMapped.h"
#include "CStrokeMatcher.h"

#include <gtest/gtest.h>

#include <QFileInfo>
#include <QtEndian>

#include <set>
#include <type_traits>
#include <vector>

namespace {

const QString PackDictionary = QStringLiteral(DIRORU_PACK_DIR "/bs.dat");
constexpr int PageSize = 5;
constexpr uint32_t NoValue = 0xFFFFFFFF;

// Unoptimised builds (the sanitizer runs) check a sample of the longer
// codes: there a record read costs tens of times more, and reads past the
// end are the synthetic tests' job anyway (a mapping is padded to a whole
// page, so a sanitizer could not see them here).
#ifdef NDEBUG
constexpr size_t Sample = 1;
#else
constexpr size_t Sample = 8;
#endif

// The stroke dictionary step by step as its algorithm reads: a pointer-free
// cursor over the same mapping, one record compared at a time.
class TLiteralDictionary
{
public:
    explicit TLiteralDictionary(const CFileMapped& file)
        : m_records(reinterpret_cast<const TBHRecord*>(file.Memory)), m_count(file.Size / 12)
    {
    }

    bool Query(const QString& code)
    {
        const QByteArray padded = (code + QString(32, QLatin1Char('0'))).toLatin1();
        for (int g = 0; g < 3; ++g) {
            m_value[g] = m_mask[g] = 0;
            for (int p = 10 * g + 9; p >= 10 * g; --p) {
                const int d = uint8_t(padded[p]) - '0';
                const bool any = d == 0 || d == 7;
                m_value[g] = m_value[g] << 3 | (any ? 0 : d);
                m_mask[g] = m_mask[g] << 3 | (any ? 0 : 7);
            }
        }
        m_current = -1;
        const bool found = Next();
        m_eof = !found;
        m_bof = true;
        if (found) {
            m_first = m_pageStart = m_current;
        } else {
            m_first = -1;
            m_current = m_pageStart = 0;
        }
        return found;
    }
    bool Next()
    {
        ++m_current;
        while (m_current < m_count && !Matches(m_current))
            ++m_current;
        return m_current < m_count;
    }
    void PageFirst() { m_current = m_pageStart; }
    QString RecValue() const
    {
        if (m_current < 0 || m_current >= m_count)
            return QString();
        return QString(QChar(qFromLittleEndian(m_records[m_current].Char)));
    }
    bool NextPage()
    {
        if (m_eof)
            return false;
        PageFirst();
        for (int i = 0; i < PageSize; ++i) {
            if (!Next()) {
                m_eof = true;
                return false;
            }
        }
        m_pageStart = m_current;
        m_bof = false;
        return true;
    }
    bool PriorPage()
    {
        if (m_bof)
            return false;
        PageFirst();
        int counted = 0;
        while (counted < PageSize && m_current > 0) {
            --m_current;
            if (Matches(m_current))
                ++counted;
        }
        m_eof = false;
        if (counted < PageSize) {
            m_current = 0;
            m_bof = true;
            return false;
        }
        m_pageStart = m_current;
        m_bof = m_current == m_first;
        return true;
    }
    uint16_t GetWordCode(int& index) const
    {
        if (m_first < 0 || index < 0)
            return 0;
        for (int64_t r = m_first + index; r < m_count; ++r, ++index)
            if (Matches(r))
                return qFromLittleEndian(m_records[r].Char);
        index = int(m_count - m_first);
        return 0;
    }
    bool Bof() const { return m_bof; }
    bool Eof() const { return m_eof; }

private:
    bool Matches(int64_t i) const
    {
        const TBHRecord& r = m_records[i];
        return (qFromLittleEndian(r.Strokes0) & m_mask[0]) == m_value[0]
            && (qFromLittleEndian(r.Strokes1) & m_mask[1]) == m_value[1]
            && (uint32_t(qFromLittleEndian(r.Strokes2)) & m_mask[2]) == m_value[2];
    }

    const TBHRecord* m_records;
    int64_t m_count;
    uint32_t m_value[3] = {0, 0, 0};
    uint32_t m_mask[3] = {0, 0, 0};
    int64_t m_current = 0, m_pageStart = 0, m_first = -1;
    bool m_bof = true, m_eof = true;
};

// Everything a caller can observe of one code, in the order the stroke
// keyboard and a user would ask: the query, the first page, the walk for
// promoted candidates from the sixth match, paging to the end and back,
// every match through GetWordCode, and (for CBHWordLib) the batched walk
// and the matches by number, set against that walk.
template <class TDictionary>
std::vector<uint32_t> Trace(TDictionary& d, const QString& code)
{
    constexpr bool Real = std::is_same_v<TDictionary, CBHWordLib>;
    std::vector<uint32_t> t;
    const auto value = [&] {
        const QString v = d.RecValue();
        t.push_back(v.isNull() ? NoValue : v.at(0).unicode());
    };
    const auto page = [&] {
        d.PageFirst();
        value();
        for (int i = 1; i < PageSize; ++i) {
            const bool next = d.Next();
            t.push_back(next);
            if (!next)
                break;
            value();
        }
    };
    const auto flags = [&] { t.push_back(d.Bof() | d.Eof() << 1); };

    const bool found = d.Query(code);
    t.push_back(found);
    flags();
    if (!found) {
        value(); // the first record, whatever it is
        return t;
    }
    page();

    // The sixth match, as the keyboard's six calls reach it, or by number.
    int i = 0;
    uint16_t c = 0;
    if constexpr (Real) {
        c = d.GetMatchCode(PageSize, i);
    } else {
        for (int n = 0; n <= PageSize; ++n) {
            c = d.GetWordCode(i);
            if (!c)
                break;
            if (n < PageSize)
                ++i;
        }
    }
    t.insert(t.end(), {c, uint32_t(i)});
    for (int n = 0; c && n < 20; ++n) {
        ++i;
        c = d.GetWordCode(i);
        t.insert(t.end(), {c, uint32_t(i)});
    }

    for (bool more = true; more;) {
        more = d.NextPage();
        t.push_back(more);
        flags();
        page();
    }
    for (bool more = true; more;) {
        more = d.PriorPage();
        t.push_back(more);
        flags();
        page();
    }

    std::vector<std::pair<uint16_t, int>> walk;
    for (int index = 0;; ++index) {
        c = d.GetWordCode(index);
        walk.emplace_back(c, index);
        t.insert(t.end(), {c, uint32_t(index)});
        if (!c)
            break;
    }

    // The whole walk again in batches, from the sixth match on, and where
    // it ends.
    for (int size : {7, 64}) {
        int index = 0;
        if constexpr (Real) {
            d.GetMatchCode(PageSize, index);
        }
        std::vector<uint16_t> codes(static_cast<size_t>(size));
        for (size_t k = std::min<size_t>(PageSize, walk.size() - 1);;) {
            int got = 0;
            if constexpr (Real) {
                got = d.GetWordCodes(index, codes.data(), size);
            } else {
                for (; got < size && k + got + 1 < walk.size(); ++got)
                    codes[size_t(got)] = walk[k + got].first;
                index = got == size ? walk[k + got - 1].second + 1 : walk.back().second;
            }
            k += size_t(got);
            t.push_back(uint32_t(got));
            t.insert(t.end(), codes.begin(), codes.begin() + got);
            t.push_back(uint32_t(index));
            if (got < size)
                break;
        }
    }

    // Matches by number: the first 40, the last, and one and two past it.
    const int total = int(walk.size()) - 1;
    std::set<int> ordinals = {total - 1, total, total + 1};
    for (int k = 0; k < 40 && k <= total; ++k)
        ordinals.insert(k);
    for (int k : ordinals) {
        if (k < 0)
            continue;
        int index = -7;
        if constexpr (Real) {
            c = d.GetMatchCode(k, index);
        } else {
            c = walk[std::min(k, total)].first;
            index = walk[std::min(k, total)].second;
        }
        t.insert(t.end(), {uint32_t(k), c, uint32_t(index)});
    }
    return t;
}

std::string Around(const std::vector<uint32_t>& t, size_t at)
{
    std::string out = "\n ";
    for (size_t k = at < 12 ? 0 : at - 12; k < t.size() && k < at + 8; ++k)
        out += (k == at ? " [" : " ") + std::to_string(int(t[k])) + (k == at ? "]" : "");
    return out;
}

// Runs every code on the reference once and on each match path, and names
// the first difference.
void ExpectSameOnEveryPath(const std::vector<QString>& codes)
{
    CBHWordLib lib(PackDictionary);
    lib.PageSize = PageSize;
    lib.OpenFile();
    ASSERT_GT(lib.RecordCount, 0u);
    TLiteralDictionary reference(*lib.File);

    const std::vector<CStrokeMatcher::TPath> paths = CStrokeMatcher::Paths();

    int failures = 0;
    for (const QString& code : codes) {
        const std::vector<uint32_t> expected = Trace(reference, code);
        for (const auto path : paths) {
            CStrokeMatcher::Select(path);
            const std::vector<uint32_t> actual = Trace(lib, code);
            if (actual == expected)
                continue;
            size_t at = 0;
            while (at < actual.size() && at < expected.size() && actual[at] == expected[at])
                ++at;
            ADD_FAILURE() << "code " << code.toStdString() << " on " << CStrokeMatcher::Name(path)
                          << ": traces differ at step " << at << " of " << expected.size()
                          << Around(expected, at) << Around(actual, at);
            if (++failures == 10)
                return;
        }
    }
}

class StrokePackEquivalence : public ::testing::Test {
protected:
    void SetUp() override
    {
        if (!QFileInfo(PackDictionary).isFile())
            GTEST_SKIP() << "no data pack: build the target diroru_pack";
    }
    void TearDown() override { CStrokeMatcher::Select(CStrokeMatcher::Best()); }
};

} // namespace

TEST_F(StrokePackEquivalence, EveryCodeOfOneToFourStrokes)
{
    std::vector<QString> codes;
    std::vector<QString> shorter = {QString()};
    for (int length = 1; length <= 4; ++length) {
        std::vector<QString> longer;
        for (const QString& prefix : shorter)
            for (char digit : {'1', '2', '3', '4', '5', '7'})
                longer.push_back(prefix + QLatin1Char(digit));
        for (size_t k = 0; k < longer.size(); k += length < 4 ? 1 : Sample)
            codes.push_back(longer[k]);
        shorter = longer;
    }
    ASSERT_EQ(codes.size(), 6u + 36 + 216 + (1296 + Sample - 1) / Sample);
    ExpectSameOnEveryPath(codes);
}

TEST_F(StrokePackEquivalence, EveryCharactersFullCode)
{
    // Each record's own stroke sequence, up to its first padding digit.
    CFileMapped file(PackDictionary);
    ASSERT_TRUE(file.Open(OpenRead));
    const auto* records = reinterpret_cast<const TBHRecord*>(file.Memory);
    std::set<QString> seen;
    std::vector<QString> codes;
    for (uint32_t i = 0; i < file.Size / 12; ++i) {
        const uint32_t words[3] = {qFromLittleEndian(records[i].Strokes0),
                                   qFromLittleEndian(records[i].Strokes1),
                                   qFromLittleEndian(records[i].Strokes2)};
        QString code;
        for (int p = 0; p < CBHWordLib::MaxCodeLength; ++p) {
            const uint32_t digit = words[p / 10] >> (3 * (p % 10)) & 7;
            if (digit == 0)
                break;
            code += QLatin1Char(char('0' + digit));
        }
        if (seen.insert(code).second && seen.size() % Sample == 1 % Sample)
            codes.push_back(code);
    }
    ASSERT_GT(codes.size(), 20000u / Sample);
    ExpectSameOnEveryPath(codes);
}
