#pragma once

#include <cstdint>
#include <string>
#include <string_view>

// A stroke sequence packed as bs.dat stores it: stroke n (from 1) is the
// 3-bit digit at position p = n - 1, in word p / 10, bits 3 * (p % 10) ..
// 3 * (p % 10) + 2. Words 0 and 1 are 32 bits wide, word 2 16 bits; digit 0
// pads a shorter sequence. The one place that knows the packing; free of Qt
// so that the matcher and its tests build for any processor on their own.
class CStrokeCode
{
public:
    static constexpr int MaxStrokes = 25;
    static constexpr int StrokesPerWord = 10;
    static constexpr int BitsPerStroke = 3;
    // The bytes of a bs.dat record that hold the code (the character follows).
    static constexpr int StoredSize = 10;

    // Digits '0' to '7' in writing order, each taken modulo 8; at most
    // MaxStrokes are kept.
    static CStrokeCode FromDigits(std::string_view digits);
    // The code at the start of a bs.dat record, read little-endian.
    static CStrokeCode Load(const void* record);
    void Store(void* record) const;

    int Digit(int p) const;
    void SetDigit(int p, int digit);
    // The digits up to the first padding 0.
    std::string Digits() const;

    // What a typed code (UTF-16) asks of a record: (word k & mask[k]) ==
    // value[k]. Only the digits 1 to 6 constrain their position; 0, the
    // wildcard 7 and any other character accept any stroke and never spill
    // into a neighbour. Positions past MaxStrokes are ignored (a longer
    // character is stored by its first 25 strokes).
    static void Pattern(std::u16string_view typed, uint32_t value[3], uint32_t mask[3]);

    uint32_t Words[3] = {0, 0, 0};
};
