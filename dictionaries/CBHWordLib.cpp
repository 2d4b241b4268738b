#include "CBHWordLib.h"

#include "CStrokeMatcher.h"

#include <QtEndian>

#include <algorithm>

namespace {

constexpr int StrokesPerWord = 10;
constexpr int BitsPerStroke = 3;

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

CBHWordLib::~CBHWordLib() = default;

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

bool CBHWordLib::Query(QString code)
{
    // Only the digits 1 to 6 constrain a position. Padding 0 and wildcard 7
    // accept any stroke, and so does any other character: it names no
    // stroke, and it must never spill bits into the neighbouring positions.
    // Positions past the 25th are ignored, since no record holds them (a
    // longer character is stored by its first 25 strokes).
    for (int k = 0; k < 3; ++k) {
        CodeValue[k] = 0;
        CodeMask[k] = 0;
    }
    const int length = std::min<int>(code.size(), MaxCodeLength);
    for (int p = 0; p < length; ++p) {
        const char16_t c = code.at(p).unicode();
        if (c < u'1' || c > u'6')
            continue;
        const int shift = BitsPerStroke * (p % StrokesPerWord);
        CodeValue[p / StrokesPerWord] |= uint32_t(c - u'0') << shift;
        CodeMask[p / StrokesPerWord] |= uint32_t(7) << shift;
    }

    Current = -1;
    const bool found = Next();
    SetEof(!found);
    SetBof(true);
    if (found) {
        FirstMatch = PageStart = Current;
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
    Current = FindMatch(from);
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
    const int64_t hit = FindMatch(std::min<int64_t>(FirstMatch + index, RecordCount));
    index = int(hit - FirstMatch);
    if (hit >= RecordCount)
        return 0;
    return qFromLittleEndian(Records[hit].Char);
}

void CBHWordLib::OpenFile()
{
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
}

void CBHWordLib::CloseFile()
{
    // The query (code, first match, page start, flags) outlives the mapping:
    // the positions are record indices, checked against the records mapped
    // again by OpenFile, so a hide and show in the middle of a word keeps
    // its pages when the file is unchanged.
    CBaseWordLib::CloseFile();
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
