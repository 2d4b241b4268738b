#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

// The stroke dictionary's match rule read literally, one record and one
// stroke at a time: the reference that the tests and fuzz targets set the
// dictionary and every match path against. A record matches a typed code
// when it carries each typed digit 1 to 6 at that digit's position (among
// the first 25); any other character accepts any stroke. Free of Qt, so the
// matcher's tests build without it.
class StrokeModel
{
public:
    // records: bs.dat bytes, count whole 12-byte records.
    StrokeModel(const void* records, size_t count);

    void Query(std::u16string_view typed);
    void Query(std::string_view typed) { Query(std::u16string(typed.begin(), typed.end())); }
    // A raw pattern as the matcher takes it: a record matches when
    // (word k & mask[k]) == value[k], word 2 widened from 16 bits.
    void QueryPattern(const uint32_t value[3], const uint32_t mask[3]);
    // Every match at or after from, in file order.
    std::vector<uint32_t> AllMatches(size_t from = 0) const;

    // Every code the keyboard can type of one to length strokes (1 to 5 and
    // the wildcard 7), shorter ones first.
    static std::vector<std::string> CodesUpTo(int length);
    // The codes a data pack is checked with: every code of one to four
    // strokes, then every every-th of the records' distinct full codes.
    std::vector<std::string> PackCodes(size_t every) const;

private:
    bool Matches(size_t record) const;

    const unsigned char* m_records;
    size_t m_count;
    std::vector<uint8_t> m_digits; // MaxStrokes digits per record, read once
    std::vector<std::pair<uint8_t, uint8_t>> m_fixed; // (position, digit) the typed code fixes
    bool m_raw = false;
    uint32_t m_value[3] = {}, m_mask[3] = {};
};
