#include "CBHWordLib.h"

#include "CStrokeCode.h"
#include "CStrokeMatcher.h"

#include <QtEndian>

#include <algorithm>
#include <cstdlib>

namespace {

// A one-character string without a heap allocation: it refers into a table
// of every 16-bit code, built once. RecValue runs five times per stroke and
// an allocation would cost more than the whole scan of a short code; the
// string copies itself the moment anyone modifies it.
QString CharString(uint16_t c)
{
    static const char16_t* const table = [] {
        static char16_t codes[65536];
        for (int i = 0; i < 65536; ++i)
            codes[i] = char16_t(i);
        return codes;
    }();
    return QString::fromRawData(reinterpret_cast<const QChar*>(table + c), 1);
}

} // namespace

CBHWordLib::CBHWordLib(const QString& fileName)
    : CBaseWordLib(fileName)
{
    Reset();
}

CBHWordLib::~CBHWordLib()
{
    FreeCharIndex();
}

int64_t CBHWordLib::FindMatch(int64_t from) const
{
    if (!Records || from >= RecordCount)
        return RecordCount;
    // Compared straight from the mapping, with the widest vector path the
    // processor has.
    return CStrokeMatcher::Find(Records, RecordCount, uint32_t(std::max<int64_t>(from, 0)),
                                CodeValue, CodeMask);
}

bool CBHWordLib::Matches(uint32_t i) const
{
    if (!Records || i >= RecordCount)
        return false;
    const TBHRecord& r = Records[i];
    return (qFromLittleEndian(r.Strokes0) & CodeMask[0]) == CodeValue[0]
        && (qFromLittleEndian(r.Strokes1) & CodeMask[1]) == CodeValue[1]
        && (uint32_t(qFromLittleEndian(r.Strokes2)) & CodeMask[2]) == CodeValue[2];
}

bool CBHWordLib::KnownMatchesValid() const
{
    return FirstMatch != NoRecord && Records && KnownRecords == Records
        && FirstMatch == Known[0] && FurthestMatch < RecordCount
        && ((CodeValue[0] ^ KnownValue[0]) | (CodeValue[1] ^ KnownValue[1])
            | (CodeValue[2] ^ KnownValue[2]) | (CodeMask[0] ^ KnownMask[0])
            | (CodeMask[1] ^ KnownMask[1]) | (CodeMask[2] ^ KnownMask[2])) == 0;
}

void CBHWordLib::RestartMatches()
{
    Known[0] = FurthestMatch = FirstMatch;
    FurthestOrdinal = 0;
    AllKnown = false;
    KnownRecords = Records;
    std::copy(CodeValue, CodeValue + 3, KnownValue);
    std::copy(CodeMask, CodeMask + 3, KnownMask);
}

uint32_t CBHWordLib::Scan(int64_t from, uint32_t* hits, uint32_t max)
{
    if (!Records || from >= RecordCount)
        return 0;
    // A walk over a short code meets a match every few records: one record
    // compared here costs less than setting up a vector scan.
    uint32_t got = 0;
    if (max == 1 && Matches(uint32_t(from)))
        hits[got++] = uint32_t(from);
    else
        got = CStrokeMatcher::FindAll(Records, RecordCount, uint32_t(from), CodeValue, CodeMask, hits, max);
    // A scan that starts just past the furthest known match finds the next
    // matches by number.
    if (KnownMatchesValid() && !AllKnown && from == FurthestMatch + 1) {
        for (uint32_t k = 0; k < got; ++k) {
            FurthestMatch = hits[k];
            if (++FurthestOrdinal < KnownLimit)
                Known[FurthestOrdinal] = hits[k];
        }
        AllKnown = got < max;
    }
    return got;
}

int64_t CBHWordLib::NextMatch(int64_t from)
{
    if (!KnownMatchesValid() || from < FirstMatch)
        return FindMatch(from);
    const int kept = std::min(FurthestOrdinal + 1, KnownLimit);
    if (from <= Known[kept - 1])
        return *std::lower_bound(Known, Known + kept, from);
    if (from > FurthestMatch && AllKnown)
        return RecordCount;
    uint32_t hit = 0;
    return Scan(from, &hit, 1) ? hit : RecordCount;
}

bool CBHWordLib::Query(QString code)
{
    // Only the digits 1 to 6 constrain a position; any other character must
    // never spill bits into the neighbouring positions.
    CStrokeCode::Pattern(std::u16string_view(reinterpret_cast<const char16_t*>(code.utf16()), size_t(code.size())),
                         CodeValue, CodeMask);

    FirstMatch = NoRecord;
    Current = -1;
    const bool found = Next();
    SetEof(!found);
    SetBof(true);
    if (found) {
        FirstMatch = PageStart = Current;
        RestartMatches();
    } else {
        FirstMatch = NoRecord;
        Current = PageStart = 0;
    }
    return found;
}

void CBHWordLib::Reset()
{
    CBaseWordLib::Reset();
    FirstMatch = NoRecord;
    Current = 0;
}

void CBHWordLib::PageFirst()
{
    Current = PageStart;
}

bool CBHWordLib::Next()
{
    int64_t from = Current < 0 ? 0 : Current + 1;
    if (from > RecordCount)
        from = RecordCount;
    Current = NextMatch(from);
    return Current < RecordCount;
}

QString CBHWordLib::RecValue()
{
    if (!Records || Current < 0 || Current >= RecordCount)
        return QString();
    return CharString(qFromLittleEndian(Records[Current].Char));
}

bool CBHWordLib::NextPage()
{
    if (Eof())
        return false;
    PageFirst();
    for (int i = 0; i < PageSize; ++i) {
        if (!Next()) {
            SetEof(true);
            return false;
        }
    }
    PageStart = Current;
    SetBof(false);
    return true;
}

bool CBHWordLib::PriorPage()
{
    if (Bof())
        return false;
    PageFirst();
    if (Current > RecordCount)
        Current = RecordCount;
    int counted = 0;
    while (counted < PageSize && Current > 0) {
        --Current;
        if (Matches(uint32_t(Current)))
            ++counted;
    }
    SetEof(false);
    if (counted < PageSize) {
        Current = 0;
        SetBof(true);
        return false;
    }
    PageStart = Current;
    SetBof(Current == FirstMatch);
    return true;
}

uint16_t CBHWordLib::GetWordCode(int& index)
{
    if (FirstMatch == NoRecord || index < 0 || FirstMatch >= RecordCount)
        return 0;
    const int64_t hit = NextMatch(std::min<int64_t>(FirstMatch + index, RecordCount));
    index = int(hit - FirstMatch);
    if (hit >= RecordCount)
        return 0;
    return qFromLittleEndian(Records[hit].Char);
}

uint16_t CBHWordLib::GetMatchCode(int ordinal, int& index)
{
    if (FirstMatch == NoRecord || ordinal < 0 || FirstMatch >= RecordCount)
        return 0;
    int at = 0;
    int64_t hit = FirstMatch;
    if (!KnownMatchesValid() && Matches(uint32_t(FirstMatch)))
        RestartMatches();
    if (KnownMatchesValid()) {
        // Start from the nearest match known by number at or before ordinal.
        if (ordinal >= FurthestOrdinal) {
            at = FurthestOrdinal;
            hit = FurthestMatch;
        } else {
            at = std::min(ordinal, KnownLimit - 1);
            hit = Known[at];
        }
    } else {
        hit = FindMatch(FirstMatch); // a first match set by hand
    }
    for (; at < ordinal && hit < RecordCount; ++at)
        hit = NextMatch(hit + 1);
    index = int(std::min<int64_t>(hit, RecordCount) - FirstMatch);
    if (hit >= RecordCount)
        return 0;
    return qFromLittleEndian(Records[hit].Char);
}

int CBHWordLib::GetWordCodes(int& index, uint16_t* codes, int max)
{
    if (FirstMatch == NoRecord || index < 0 || FirstMatch >= RecordCount || !codes || max <= 0)
        return 0;
    int64_t from = std::min<int64_t>(FirstMatch + index, RecordCount);
    int n = 0;
    // The matches known by number first, then the rest in scans of many
    // matches each.
    while (n < max && KnownMatchesValid() && from <= Known[std::min(FurthestOrdinal, KnownLimit - 1)]) {
        const int64_t hit = NextMatch(from);
        codes[n++] = qFromLittleEndian(Records[hit].Char);
        from = hit + 1;
    }
    if (n < max && KnownMatchesValid() && AllKnown && from > FurthestMatch)
        from = RecordCount;
    uint32_t hits[64];
    while (n < max && from < RecordCount) {
        const uint32_t wanted = uint32_t(std::min(max - n, 64));
        const uint32_t got = Scan(from, hits, wanted);
        for (uint32_t k = 0; k < got; ++k)
            codes[n++] = qFromLittleEndian(Records[hits[k]].Char);
        from = got < wanted ? RecordCount : hits[got - 1] + 1;
    }
    index = int(from - FirstMatch);
    return n;
}

bool CBHWordLib::BuildCharIndex()
{
    if (IndexedRecords && IndexedRecords == Records && IndexedCount == RecordCount)
        return true;
    IndexedRecords = nullptr;
    IndexedCount = 0;
    if (!Records || RecordCount == 0)
        return false;
    // The arrays outlive a close: fresh memory on every show would cost a
    // page fault every 4 KiB, as much as the build itself.
    if (!CharHead) {
        CharHead = static_cast<uint32_t*>(std::calloc(65536, sizeof(uint32_t)));
        if (!CharHead)
            return false;
        HeadLow = 1;
        HeadHigh = 0;
    }
    if (RecordCount > NextSameSize) {
        void* grown = std::realloc(NextSame, size_t(RecordCount) * sizeof(uint32_t));
        if (!grown)
            return false;
        NextSame = static_cast<uint32_t*>(grown);
        NextSameSize = RecordCount;
    }
    // Only the characters of the last build can have a head.
    if (HeadLow <= HeadHigh)
        std::fill(CharHead + HeadLow, CharHead + HeadHigh + 1, 0u);
    // One pass from the last record back, each record put in front of its
    // character's chain.
    uint32_t low = 0xFFFF, high = 0;
    for (uint32_t i = RecordCount; i-- > 0;) {
        const uint32_t c = qFromLittleEndian(Records[i].Char);
        NextSame[i] = CharHead[c];
        CharHead[c] = i + 1;
        low = std::min(low, c);
        high = std::max(high, c);
    }
    HeadLow = low;
    HeadHigh = high;
    IndexedRecords = Records;
    IndexedCount = RecordCount;
    return true;
}

void CBHWordLib::FreeCharIndex()
{
    std::free(CharHead);
    std::free(NextSame);
    CharHead = NextSame = nullptr;
    NextSameSize = 0;
    IndexedRecords = nullptr;
    IndexedCount = 0;
}

int64_t CBHWordLib::FirstMatchOf(uint16_t code, int64_t from, int64_t end) const
{
    // A chain holds every record of the character once, in file order, so
    // the searches of one FindFirstOf (distinct characters) read each record
    // at most once between them.
    for (uint32_t link = CharHead[code]; link != 0; link = NextSame[link - 1]) {
        const int64_t r = int64_t(link) - 1;
        if (r >= end)
            break;
        if (r >= from && Matches(uint32_t(r)))
            return r;
    }
    return end;
}

int CBHWordLib::FindFirstOf(int ordinal, const uint16_t* codes, int count, uint16_t found[2])
{
    if (!codes || count <= 0 || !found)
        return 0;
    int index = 0;
    // Fewer matches than ordinal + 1, or a character 0 that ends the walk.
    if (GetMatchCode(ordinal, index) == 0)
        return 0;
    const int64_t from = FirstMatch + index;

    if (!BuildCharIndex())
        return -1;
    // A character 0 before match ordinal ends the walk before it starts; one
    // after it ends the search there.
    const int64_t end = FirstMatchOf(0, FirstMatch, RecordCount);
    if (end < from)
        return 0;

    // The first match of each code from match ordinal on; the two earliest
    // of different codes are the answer, exactly as the walk meets them. A
    // code repeated is looked at once.
    int64_t at[2] = {end, end};
    int n = 0;
    for (int k = 0; k < count; ++k) {
        const uint16_t c = codes[k];
        uint64_t& word = m_wanted[c / 64];
        const uint64_t bit = uint64_t(1) << (c % 64);
        if (c == 0 || (word & bit))
            continue;
        word |= bit;
        // Only a record before the second found can change the answer.
        const int64_t r = FirstMatchOf(c, from, n == 2 ? at[1] : end);
        if (r >= (n == 2 ? at[1] : end))
            continue;
        if (n > 0 && r < at[0]) {
            at[1] = at[0];
            found[1] = found[0];
        }
        const int slot = n > 0 && r > at[0] ? 1 : 0;
        at[slot] = r;
        found[slot] = c;
        n = std::min(n + 1, 2);
    }
    for (int k = 0; k < count; ++k)
        m_wanted[codes[k] / 64] = 0;
    return n;
}

void CBHWordLib::OpenFile()
{
    IndexedRecords = nullptr; // the file may have changed while it was closed
    CBaseWordLib::OpenFile();
    if (File->Memory) {
        Records = reinterpret_cast<const TBHRecord*>(File->Memory);
        RecordCount = File->Size / sizeof(TBHRecord);
    } else {
        Records = nullptr;
        RecordCount = 0;
    }
    Current = 0;
    CheckQuery();
    if (FirstMatch != NoRecord)
        RestartMatches(); // the file may have changed while it was closed
}

void CBHWordLib::CloseFile()
{
    // The query (code, first match, page start, flags) outlives the mapping:
    // the positions are record indices, checked against the records mapped
    // again by OpenFile, so a hide and show in the middle of a word keeps
    // its pages when the file is unchanged.
    CBaseWordLib::CloseFile();
    IndexedRecords = nullptr;
    Records = nullptr;
    RecordCount = 0;
    Current = 0;
}

void CBHWordLib::CheckQuery()
{
    if (FirstMatch == NoRecord)
        return;
    const bool fits = FirstMatch < RecordCount && PageStart >= FirstMatch
        && PageStart < RecordCount && Matches(uint32_t(FirstMatch))
        && Matches(uint32_t(PageStart));
    if (!fits) {
        // The file changed under the query: behave as after a query that
        // found nothing until the caller queries again.
        Reset();
        PageStart = 0;
    }
}
