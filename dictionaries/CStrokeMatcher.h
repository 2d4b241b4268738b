#pragma once

#include <cstdint>
#include <vector>

struct TBHRecord;

// Finds the next bs.dat record whose three stroke words match a masked
// code: (word k & Mask[k]) == Value[k] for k = 0, 1, 2, word 2 being the
// 16-bit field widened with zeros. Every query scans the dictionary from its
// first record, so this loop is the whole cost of a keystroke.
//
// One vector implementation, written once on Google Highway and compiled
// for every instruction set the library targets (SSSE3, AVX2 and AVX-512 on
// x86; NEON and SVE on Arm), and a scalar loop; all give the same answer.
// The widest one the processor runs is chosen at the first use; tests and
// benchmarks may select another.
class CStrokeMatcher
{
public:
    // A Highway target bit, or PathScalar for the plain loop.
    using TPath = int64_t;
    static constexpr TPath PathScalar = 0;

    // The paths this build and this processor can run: scalar first, then
    // the vector targets from the narrowest to the widest.
    static std::vector<TPath> Paths();
    // The widest of them.
    static TPath Best();
    // Makes Find use path; false (and no change) when it is not one of Paths.
    static bool Select(TPath path);
    static const char* Name(TPath path);

    // The index of the first record in [from, count) that matches, or count
    // when none does (also when from >= count). Reads no byte outside
    // records[0 .. count).
    static uint32_t Find(const TBHRecord* records, uint32_t count, uint32_t from,
                         const uint32_t value[3], const uint32_t mask[3]);
    // The indices of the first matches in [from, count), in order, at most
    // max of them, written to out; returns how many. Fewer than max means
    // the scan reached count. One scan for many matches: a caller that
    // walks every match of a short code does not pay a call per match.
    static uint32_t FindAll(const TBHRecord* records, uint32_t count, uint32_t from,
                            const uint32_t value[3], const uint32_t mask[3], uint32_t* out,
                            uint32_t max);
};
