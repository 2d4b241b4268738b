#pragma once

#include "CBaseWordLib.h"

#include <cstdint>

// One 12-byte record of bs.dat, as laid out in the file (little-endian):
// the stroke code as CStrokeCode packs it, then the character.
struct TBHRecord {
    uint32_t Strokes0;
    uint32_t Strokes1;
    uint16_t Strokes2;
    uint16_t Char;
};
static_assert(sizeof(TBHRecord) == 12, "bs.dat records are 12 bytes");

// The stroke dictionary over bs.dat: every query scans the mapped records
// from the first and lists the matches in file order.
//
// Cursor, page start and first match are record indices, not pointers into
// the mapping, so a close and reopen (the keyboard does so on every hide and
// show) can never leave them pointing at unmapped memory; every access checks
// the index against the records mapped now.
class CBHWordLib : public CBaseWordLib
{
public:
    static constexpr int MaxCodeLength = 25;
    static constexpr int64_t NoRecord = -1;

    explicit CBHWordLib(const QString& fileName);
    ~CBHWordLib() override;

    bool Query(QString code) override;
    void Reset() override;
    bool PriorPage() override;
    bool NextPage() override;
    void PageFirst() override;
    bool Next() override;
    QString RecValue() override;
    void OpenFile() override;
    void CloseFile() override;

    // The code of the first match at or after index records past the first
    // match; index is moved to that record. 0 when there is none (index is
    // then the number of records from the first match to the end). Moves
    // neither the cursor nor the page.
    uint16_t GetWordCode(int& index);

    // The code of match number ordinal (from 0) of the last query, with
    // index set to its position: the result and index of the (ordinal+1)-th
    // call of a GetWordCode walk from index 0. 0 when there is no such
    // match (index is then the number of records from the first match to the
    // end). Moves neither the cursor nor the page. The walk for promoted
    // candidates starts here with ordinal PageSize, the first match past the
    // first page: the page scan has already found the matches before it, so
    // this costs one step from the last of them.
    uint16_t GetMatchCode(int ordinal, int& index);

    // The codes a GetWordCode walk from index would give, at most max of
    // them, written to codes; returns how many. index is left where the
    // walk goes on: one past the last match returned, or the number of
    // records from the first match to the end once no match is left. One
    // call scans for many matches, so walking the thousands of matches of a
    // short code costs about one pass over the records.
    int GetWordCodes(int& index, uint16_t* codes, int max);

    // The first two distinct characters of codes that a GetWordCode walk
    // meets from match number ordinal of the last query on, in the order
    // met, written to found; returns how many (0 to 2), or -1 when there is
    // no memory for the index (the caller may walk instead). The walk ends with
    // the matches, or at the first match whose character is 0, which a
    // GetWordCode caller cannot tell from the end. codes may repeat and may
    // hold 0 (never met).
    //
    // Searched backwards: the records of each code are looked up in an
    // index by character and compared one by one, so a short code's tens of
    // thousands of matches are never walked. The index is built at the first
    // call after OpenFile, in one pass over the records. Moves neither the
    // cursor nor the page.
    int FindFirstOf(int ordinal, const uint16_t* codes, int count, uint16_t found[2]);

    // Whether record i (0 <= i < RecordCount) matches the last query.
    bool Matches(uint32_t i) const;

    const TBHRecord* Records = nullptr;
    uint32_t RecordCount = 0;
    int64_t Current = 0;     // cursor; RecordCount or beyond when past the end
    int64_t PageStart = 0;   // first candidate of the page shown
    int64_t FirstMatch = NoRecord; // first match of the last query
    uint32_t CodeValue[3] = {0, 0, 0};
    uint32_t CodeMask[3] = {0, 0, 0};

private:
    // The first record at or after from (0 <= from <= RecordCount) that
    // matches the last query; RecordCount when there is none.
    int64_t FindMatch(int64_t from) const;
    // FindMatch, answered from the matches already found when it can, and
    // noting a match found just past the furthest one known.
    int64_t NextMatch(int64_t from);
    // Up to max matches from record from on into hits (see
    // CStrokeMatcher::FindAll), extending the matches known by number when
    // the scan starts just past the furthest of them.
    uint32_t Scan(int64_t from, uint32_t* hits, uint32_t max);
    // Forgets every match found, keeping only the first match.
    void RestartMatches();
    // Whether the matches found still belong to the query and records now
    // held (the fields are public: a caller may have changed them).
    bool KnownMatchesValid() const;
    // Drops a query that no longer fits the records mapped now.
    void CheckQuery();
    // Builds the index by character over the records mapped now, unless it
    // is current; false when it cannot be allocated.
    bool BuildCharIndex();
    void FreeCharIndex();
    // The first record of character code in [from, end) that matches the
    // last query; end when there is none.
    int64_t FirstMatchOf(uint16_t code, int64_t from, int64_t end) const;

    // The matches of the active query found so far, in order from the first
    // match: every scan forward from the furthest one known extends them, so
    // the page scan, the next page and the walk for promoted candidates
    // share one pass over the records. The first KnownLimit are kept by
    // record index; further on only the furthest is. Nothing is allocated.
    static constexpr int KnownLimit = 16;
    int64_t Known[KnownLimit] = {};
    int64_t FurthestMatch = NoRecord; // record index of the furthest known match
    int FurthestOrdinal = -1;         // its number, 0 for the first match
    bool AllKnown = false;            // no match after FurthestMatch
    const TBHRecord* KnownRecords = nullptr; // the records and code they were found in
    uint32_t KnownValue[3] = {0, 0, 0};
    uint32_t KnownMask[3] = {0, 0, 0};

    // The records by character, for FindFirstOf, as chains in file order:
    // CharHead[c] is 1 + the first record of character c, NextSame[i] is
    // 1 + the next record of record i's character, 0 ending a chain. Built
    // in one pass; current only while IndexedRecords is Records. The arrays
    // are kept for the next build, which clears only the heads of
    // [HeadLow, HeadHigh], the characters of the last one.
    uint32_t* CharHead = nullptr; // 65536 entries
    uint32_t* NextSame = nullptr;
    uint32_t NextSameSize = 0;    // entries allocated
    uint32_t HeadLow = 1;
    uint32_t HeadHigh = 0;
    const TBHRecord* IndexedRecords = nullptr; // the records it was built over
    uint32_t IndexedCount = 0;
    // FindFirstOf's codes as a set of every 16-bit code, cleared after use.
    uint64_t m_wanted[65536 / 64] = {};
};
