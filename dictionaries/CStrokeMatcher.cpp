// Highway compiles the vector path of this file once per target: it
// includes the file again for each (foreach_target.h), so everything that
// is not per target sits in the guarded first section or under HWY_ONCE.
#ifndef DIRORU_STROKE_MATCHER_SHARED
#define DIRORU_STROKE_MATCHER_SHARED

#include "CStrokeMatcher.h"

#include <algorithm>
#include <atomic>
#include <cstring>

// SSE4 and AVX3_DL add nothing to SSSE3 and AVX3 here: two fewer copies.
#define HWY_DISABLED_TARGETS (HWY_SSE4 | HWY_AVX3_DL)

namespace {

// Every path writes up to max matching record indices from from on, in
// order, to out and returns how many it wrote (max >= 1).
using TFindAll = uint32_t (*)(const TBHRecord*, uint32_t count, uint32_t from, const uint32_t* value,
                              const uint32_t* mask, uint32_t* out, uint32_t max);

// A record is compared as three little-endian dwords: word 0, word 1, and
// word 2 together with the character in its upper half. The mask keeps only
// the low half of word 2, so the character never takes part, and a value
// with bits above 15 can never be met, just as with the widened word.
struct TPattern {
    uint32_t Mask[3];
    uint32_t Value[3];
    // The word that screens records before they are checked whole: the one
    // that fixes the most strokes (a code of wildcards then strokes fixes
    // none of the first ten), the later one of two that fix as many, since
    // a later stroke also rules out every shorter character; and how many
    // strokes it fixes.
    int Filter = 0;
    int FilterStrokes = 0;

    TPattern(const uint32_t* value, const uint32_t* mask)
        : Mask{mask[0], mask[1], mask[2] & 0xFFFFu}, Value{value[0], value[1], value[2]}
    {
        for (int k = 0; k < 3; ++k) {
            const int strokes = __builtin_popcount(Mask[k]) / 3;
            if (strokes >= FilterStrokes) {
                Filter = k;
                FilterStrokes = strokes;
            }
        }
    }
    uint32_t Dword(const unsigned char* record, int k) const
    {
        const unsigned char* p = record + 4 * k; // compiled to one load
        return uint32_t(p[0]) | uint32_t(p[1]) << 8 | uint32_t(p[2]) << 16 | uint32_t(p[3]) << 24;
    }
    bool Matches(const unsigned char* record) const
    {
        return (((Dword(record, 0) & Mask[0]) ^ Value[0]) | ((Dword(record, 1) & Mask[1]) ^ Value[1])
                | ((Dword(record, 2) & Mask[2]) ^ Value[2]))
            == 0;
    }
    bool FilterMatches(const unsigned char* record) const
    {
        return (Dword(record, Filter) & Mask[Filter]) == Value[Filter];
    }
};

// The plain loop, with the filter word tested first: for any code of a few
// strokes nearly every record fails there, at one load, one and and one
// well-predicted branch, four records to a step of the loop; a code of
// wildcards gains from the word that fixes most.
uint32_t FindAllScalar(const TBHRecord* records, uint32_t count, uint32_t from,
                       const uint32_t* value, const uint32_t* mask, uint32_t* out, uint32_t max)
{
    const TPattern pat(value, mask);
    const uint32_t filterMask = pat.Mask[pat.Filter];
    const uint32_t filterValue = pat.Value[pat.Filter];
    const auto* base = reinterpret_cast<const unsigned char*>(records);
    const unsigned char* word = base + 12 * size_t(from) + 4 * pat.Filter; // the filter word of record i
    const auto passes = [&](size_t offset) {
        return (pat.Dword(word + offset, 0) & filterMask) == filterValue;
    };
    uint32_t n = 0;
    uint32_t i = from;
    for (; count - i >= 4; i += 4, word += 48) {
        if (!passes(0) && !passes(12) && !passes(24) && !passes(36))
            continue;
        for (uint32_t k = 0; k < 4; ++k) {
            if (passes(12 * k) && pat.Matches(base + 12 * size_t(i + k))) {
                out[n++] = i + k;
                if (n == max)
                    return n;
            }
        }
    }
    for (; i < count; ++i) {
        if (pat.Matches(base + 12 * size_t(i))) {
            out[n++] = i;
            if (n == max)
                break;
        }
    }
    return n;
}

// Writes the records flagged in hit (bit 3r: record first + r) to out;
// true when out is then full.
inline bool Emit(uint64_t hit, uint32_t first, uint32_t* out, uint32_t max, uint32_t& n)
{
    for (; hit; hit &= hit - 1) {
        out[n++] = first + uint32_t(__builtin_ctzll(hit)) / 3;
        if (n == max)
            return true;
    }
    return false;
}

} // namespace

#endif // DIRORU_STROKE_MATCHER_SHARED

#undef HWY_TARGET_INCLUDE
#define HWY_TARGET_INCLUDE "CStrokeMatcher.cpp"
#include <hwy/foreach_target.h> // IWYU pragma: keep
#include <hwy/highway.h>

HWY_BEFORE_NAMESPACE();
namespace diroru_stroke {
namespace HWY_NAMESPACE {

namespace hn = hwy::HWY_NAMESPACE;
using D = hn::ScalableTag<uint32_t>;
using V = hn::Vec<D>;

// The dword lanes equal to the pattern in three vectors, N records: bit
// 3r + w for word w of record r. The lanes of vector j hold words
// (j N + k) % 3, so m and v repeat every three vectors.
HWY_INLINE uint64_t MaskBits(D d, hn::Mask<D> mask)
{
    uint8_t bytes[8] = {};
    hn::StoreMaskBits(d, mask, bytes);
    uint64_t bits;
    std::memcpy(&bits, bytes, sizeof bits);
    return bits;
}

// Vectors are passed one by one: scalable ones (SVE) have no size and
// cannot form arrays.
HWY_INLINE uint64_t EqualLanes(D d, size_t lanes, const uint32_t* p, V m0, V m1, V m2, V v0, V v1, V v2)
{
    // Written out: GCC at -O2 keeps such loops, with the patterns in memory.
    const uint64_t b0 = MaskBits(d, hn::Eq(hn::And(hn::LoadU(d, p), m0), v0));
    const uint64_t b1 = MaskBits(d, hn::Eq(hn::And(hn::LoadU(d, p + lanes), m1), v1));
    const uint64_t b2 = MaskBits(d, hn::Eq(hn::And(hn::LoadU(d, p + 2 * lanes), m2), v2));
    return b0 | b1 << lanes | b2 << (2 * lanes);
}

// Whether any lane of six vectors (two blocks) equals the screen pattern.
HWY_INLINE bool AnyScreened(D d, size_t lanes, const uint32_t* p, V m0, V m1, V m2, V v0, V v1, V v2)
{
    const auto e0 = hn::Eq(hn::And(hn::LoadU(d, p), m0), v0);
    const auto e1 = hn::Eq(hn::And(hn::LoadU(d, p + lanes), m1), v1);
    const auto e2 = hn::Eq(hn::And(hn::LoadU(d, p + 2 * lanes), m2), v2);
    const auto e3 = hn::Eq(hn::And(hn::LoadU(d, p + 3 * lanes), m0), v0);
    const auto e4 = hn::Eq(hn::And(hn::LoadU(d, p + 4 * lanes), m1), v1);
    const auto e5 = hn::Eq(hn::And(hn::LoadU(d, p + 5 * lanes), m2), v2);
    return !hn::AllFalse(d, hn::Or(hn::Or(hn::Or(e0, e1), hn::Or(e2, e3)), hn::Or(e4, e5)));
}

// Bit 3r set when record r of the block has all three of its lanes equal.
HWY_INLINE uint64_t WholeRecords(uint64_t lanes, uint64_t recordBits)
{
    return lanes & (lanes >> 1) & (lanes >> 2) & recordBits;
}

uint32_t FindAllVector(const TBHRecord* records, uint32_t count, uint32_t from,
                       const uint32_t* value, const uint32_t* mask, uint32_t* out, uint32_t max)
{
    const D d;
    const size_t N = hn::Lanes(d);
    const auto* base = reinterpret_cast<const unsigned char*>(records);
    const auto at = [base](uint32_t r) { return reinterpret_cast<const uint32_t*>(base + 12 * size_t(r)); };
    uint32_t n = 0;
    uint32_t i = from;
    // A block's lane bits must fit one 64-bit word (vectors of up to 21
    // dwords); wider scalable vectors take the plain loop.
    if (3 * N > 64)
        return FindAllScalar(records, count, from, value, mask, out, max);

    // First the records before a vector boundary, so that no load of the
    // blocks splits a cache line, also when a scan resumes after a match.
    const size_t vectorBytes = 4 * N;
    uint32_t head = 0;
    while (head < N && (reinterpret_cast<uintptr_t>(base) + 12 * (size_t(i) + head)) % vectorBytes != 0)
        ++head;
    if (head == N)
        head = 0; // a base off the dword grid never aligns
    if (head > 0) {
        n = FindAllScalar(records, std::min(count, i + head), i, value, mask, out, max);
        if (n == max || count - i <= head)
            return n;
        i += head;
    }

    // The patterns, built through memory once per call: lanes of the whole
    // words, then of the screen, where only the filter word's lanes can be
    // equal (mask 0 against a value of all ones elsewhere).
    const TPattern pat(value, mask);
    HWY_ALIGN uint32_t pattern[4][3 * HWY_LANES(uint32_t)];
    for (size_t k = 0; k < 3 * N; ++k) {
        const int w = int(k % 3);
        pattern[0][k] = pat.Mask[w];
        pattern[1][k] = pat.Value[w];
        pattern[2][k] = w == pat.Filter ? pat.Mask[w] : 0u;
        pattern[3][k] = w == pat.Filter ? pat.Value[w] : ~0u;
    }
    const V m0 = hn::LoadU(d, pattern[0]), m1 = hn::LoadU(d, pattern[0] + N), m2 = hn::LoadU(d, pattern[0] + 2 * N);
    const V v0 = hn::LoadU(d, pattern[1]), v1 = hn::LoadU(d, pattern[1] + N), v2 = hn::LoadU(d, pattern[1] + 2 * N);
    const V s0 = hn::LoadU(d, pattern[2]), s1 = hn::LoadU(d, pattern[2] + N), s2 = hn::LoadU(d, pattern[2] + 2 * N);
    const V t0 = hn::LoadU(d, pattern[3]), t1 = hn::LoadU(d, pattern[3] + N), t2 = hn::LoadU(d, pattern[3] + 2 * N);
    uint64_t recordBits = 0;
    for (size_t r = 0; r < N; ++r)
        recordBits |= uint64_t(1) << (3 * r);

    const uint32_t step = uint32_t(2 * N);
    if (pat.FilterStrokes >= 3) {
        // Two blocks a step screened by the filter word alone, with one
        // test: for a code that fixes a few strokes nearly every step ends
        // here, at little more than the cost of its six loads.
        for (; count - i >= step; i += step) {
            const uint32_t* p = at(i);
            if (!AnyScreened(d, N, p, s0, s1, s2, t0, t1, t2))
                continue;
            for (uint32_t b = 0; b < 2; ++b) {
                const uint64_t hit = WholeRecords(EqualLanes(d, N, p + 3 * N * b, m0, m1, m2, v0, v1, v2), recordBits);
                if (hit && Emit(hit, i + uint32_t(N) * b, out, max, n))
                    return n;
            }
        }
    } else {
        // A screen that nearly every step passes (wildcards, one or two
        // strokes) would only add to the whole check: check every record.
        for (; count - i >= step; i += step) {
            const uint32_t* p = at(i);
            const uint64_t hit0 = WholeRecords(EqualLanes(d, N, p, m0, m1, m2, v0, v1, v2), recordBits);
            const uint64_t hit1 = WholeRecords(EqualLanes(d, N, p + 3 * N, m0, m1, m2, v0, v1, v2), recordBits);
            if ((hit0 | hit1) == 0)
                continue;
            if ((hit0 && Emit(hit0, i, out, max, n)) || (hit1 && Emit(hit1, i + uint32_t(N), out, max, n)))
                return n;
        }
    }
    if (count - i >= N) {
        const uint64_t hit = WholeRecords(EqualLanes(d, N, at(i), m0, m1, m2, v0, v1, v2), recordBits);
        if (hit && Emit(hit, i, out, max, n))
            return n;
        i += uint32_t(N);
    }
    return n + FindAllScalar(records, count, i, value, mask, out + n, max - n);
}

} // namespace HWY_NAMESPACE
} // namespace diroru_stroke
HWY_AFTER_NAMESPACE();

#if HWY_ONCE

namespace diroru_stroke {
HWY_EXPORT(FindAllVector);
} // namespace diroru_stroke

namespace {

// The vector targets: compiled here, run by this processor, and more than
// the emulation Highway falls back to (the scalar loop serves there).
constexpr int64_t Emulated = HWY_EMU128 | HWY_SCALAR;

TFindAll Implementation(CStrokeMatcher::TPath path)
{
    if (path == CStrokeMatcher::PathScalar)
        return FindAllScalar;
#if (HWY_TARGETS & (HWY_TARGETS - 1)) == 0
    return diroru_stroke::HWY_DISPATCH_TABLE(FindAllVector)[0];
#else
    // The entry HWY_DYNAMIC_DISPATCH would take if path were the best target.
    hwy::ChosenTarget chosen;
    chosen.Update(path);
    return diroru_stroke::HWY_DISPATCH_TABLE(FindAllVector)[chosen.GetIndex()];
#endif
}

// The path in use, as its function; relaxed, so that a test selecting a
// path never races with a scan on another thread.
std::atomic<TFindAll>& ActiveFind()
{
    static std::atomic<TFindAll> find{Implementation(CStrokeMatcher::Best())};
    return find;
}

} // namespace

std::vector<CStrokeMatcher::TPath> CStrokeMatcher::Paths()
{
    // Asking the processor costs a few microseconds: once.
    static const std::vector<TPath> paths = [] {
        std::vector<TPath> all{PathScalar};
#if __BYTE_ORDER__ == __ORDER_LITTLE_ENDIAN__ // the vector lanes are the file's dwords
        const std::vector<int64_t> targets = hwy::SupportedAndGeneratedTargets(); // best first
        for (auto t = targets.rbegin(); t != targets.rend(); ++t)
            if (!(*t & Emulated))
                all.push_back(*t);
#endif
        return all;
    }();
    return paths;
}

CStrokeMatcher::TPath CStrokeMatcher::Best()
{
    return Paths().back();
}

bool CStrokeMatcher::Select(TPath path)
{
    const std::vector<TPath> paths = Paths();
    if (std::find(paths.begin(), paths.end(), path) == paths.end())
        return false;
    ActiveFind().store(Implementation(path), std::memory_order_relaxed);
    return true;
}

const char* CStrokeMatcher::Name(TPath path)
{
    return path == PathScalar ? "scalar" : hwy::TargetName(path);
}

uint32_t CStrokeMatcher::Find(const TBHRecord* records, uint32_t count, uint32_t from,
                              const uint32_t value[3], const uint32_t mask[3])
{
    uint32_t hit = count;
    return FindAll(records, count, from, value, mask, &hit, 1) ? hit : count;
}

uint32_t CStrokeMatcher::FindAll(const TBHRecord* records, uint32_t count, uint32_t from,
                                 const uint32_t value[3], const uint32_t mask[3], uint32_t* out,
                                 uint32_t max)
{
    if (!records || from >= count || max == 0)
        return 0;
    if ((mask[0] | mask[1] | (mask[2] & 0xFFFFu)) == 0) {
        // A code that fixes no stroke: every record or none.
        if (value[0] | value[1] | value[2])
            return 0;
        const uint32_t n = std::min(max, count - from);
        for (uint32_t k = 0; k < n; ++k)
            out[k] = from + k;
        return n;
    }
    return ActiveFind().load(std::memory_order_relaxed)(records, count, from, value, mask, out, max);
}

#endif // HWY_ONCE
