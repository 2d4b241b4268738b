#pragma once

#include "CBaseWordLib.h"

#include <cstdint>

// One 12-byte record of bs.dat, as laid out in the file (little-endian).
// Stroke n (from 1) is the 3-bit digit at position p = n - 1, in word p / 10,
// bits 3 * (p % 10) .. 3 * (p % 10) + 2.
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
    // Drops a query that no longer fits the records mapped now.
    void CheckQuery();
};
