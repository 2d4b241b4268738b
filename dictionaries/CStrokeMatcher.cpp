#include "CStrokeMatcher.h"

#include "CBHWordLib.h"

#include <QtEndian>

#include <atomic>

#if defined(__x86_64__) && (defined(__GNUC__) || defined(__clang__))
#define DIRORU_STROKE_SIMD 1
#include <immintrin.h>
#endif

namespace {

// Every path writes up to max matching record indices from from on, in
// order, to out and returns how many it wrote (max >= 1).
using TFindAll = uint32_t (*)(const TBHRecord*, uint32_t count, uint32_t from, const uint32_t* value,
                              const uint32_t* mask, uint32_t* out, uint32_t max);

// Zero when the record has the code's digit at every masked position.
inline uint32_t Mismatch(const TBHRecord& r, const uint32_t* value, const uint32_t* mask)
{
    return ((qFromLittleEndian(r.Strokes0) & mask[0]) ^ value[0])
        | ((qFromLittleEndian(r.Strokes1) & mask[1]) ^ value[1])
        | ((uint32_t(qFromLittleEndian(r.Strokes2)) & mask[2]) ^ value[2]);
}

uint32_t FindAllScalar(const TBHRecord* records, uint32_t count, uint32_t from,
                       const uint32_t* value, const uint32_t* mask, uint32_t* out, uint32_t max)
{
    const uint32_t v[3] = {value[0], value[1], value[2]};
    const uint32_t m[3] = {mask[0], mask[1], mask[2]};
    uint32_t n = 0;
    for (uint32_t i = from; i < count; ++i) {
        // Branch-free per record, so the loop has a single exit test.
        if (Mismatch(records[i], v, m) == 0) {
            out[n++] = i;
            if (n == max)
                break;
        }
    }
    return n;
}

#ifdef DIRORU_STROKE_SIMD

// The vector paths compare whole dwords. A record is three dwords: word 0,
// word 1, and word 2 together with the character in its upper half. So
// 4 records are 12 dwords and the mask and value patterns repeat every
// 48 bytes: three plain loads cover four records with no shuffle, and a
// record matches when its three dword lanes all compare equal.
//
// Word 2 is 16 bits wide in the record: the mask keeps only its low half,
// so the character never takes part, and a value with bits above 15 can
// never be met, just as with the widened word.
struct TPattern {
    uint32_t Mask[3];
    uint32_t Value[3];
    TPattern(const uint32_t* value, const uint32_t* mask)
        : Mask{mask[0], mask[1], mask[2] & 0xFFFFu}, Value{value[0], value[1], value[2]}
    {
    }
};

// Bit 3r is set when record r of a block has all three of its dword lanes
// equal (bits 3r, 3r+1 and 3r+2 of lanes); recordBits holds bit 3r of
// every record of the block.
inline uint64_t WholeRecords(uint64_t lanes, uint64_t recordBits)
{
    return lanes & (lanes >> 1) & (lanes >> 2) & recordBits;
}

// The word whose lanes screen a block before its records are checked whole:
// a record can only match where this word does. Word 0 holds the first ten
// strokes, the ones every typed code fixes; a code that fixes none of them
// screens on a later word.
inline int FilterWord(const TPattern& pat)
{
    return pat.Mask[0] ? 0 : pat.Mask[1] ? 1 : 2;
}

constexpr uint64_t RecordBits4 = 0x249;           // bits 0, 3, 6, 9
constexpr uint64_t RecordBits8 = 0x249249;        // 8 records
constexpr uint64_t RecordBits16 = 0x249249249249; // 16 records

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

// Equal dword lanes of four records (12 bits). The loops over the three
// vectors are unrolled by request: -O2 would keep them, with the patterns
// and accumulators in memory.
inline uint32_t Lanes4(const unsigned char* p, const __m128i* m, const __m128i* v)
{
    uint32_t lanes = 0;
#pragma GCC unroll 3
    for (int j = 0; j < 3; ++j) {
        const __m128i x = _mm_loadu_si128(reinterpret_cast<const __m128i*>(p + 16 * j));
        const __m128i eq = _mm_cmpeq_epi32(_mm_and_si128(x, m[j]), v[j]);
        lanes |= uint32_t(_mm_movemask_ps(_mm_castsi128_ps(eq))) << (4 * j);
    }
    return lanes;
}

uint32_t FindAllSSE2(const TBHRecord* records, uint32_t count, uint32_t from,
                     const uint32_t* value, const uint32_t* mask, uint32_t* out, uint32_t max)
{
    // Lanes (w0 w1 w2 w0), (w1 w2 w0 w1), (w2 w0 w1 w2), built in registers:
    // a pattern stored as scalars and loaded as a vector would stall on
    // every call, and a walk may call once per match.
    const TPattern pat(value, mask);
    const __m128i mask3 = _mm_setr_epi32(int(pat.Mask[0]), int(pat.Mask[1]), int(pat.Mask[2]), 0);
    const __m128i value3 = _mm_setr_epi32(int(pat.Value[0]), int(pat.Value[1]), int(pat.Value[2]), 0);
    const __m128i m[3] = {_mm_shuffle_epi32(mask3, _MM_SHUFFLE(0, 2, 1, 0)),
                          _mm_shuffle_epi32(mask3, _MM_SHUFFLE(1, 0, 2, 1)),
                          _mm_shuffle_epi32(mask3, _MM_SHUFFLE(2, 1, 0, 2))};
    const __m128i v[3] = {_mm_shuffle_epi32(value3, _MM_SHUFFLE(0, 2, 1, 0)),
                          _mm_shuffle_epi32(value3, _MM_SHUFFLE(1, 0, 2, 1)),
                          _mm_shuffle_epi32(value3, _MM_SHUFFLE(2, 1, 0, 2))};
    const unsigned char* base = reinterpret_cast<const unsigned char*>(records);
    uint32_t n = 0;
    uint32_t i = from;
    // Whole blocks only: the last one ends exactly at record count. Eight
    // records a step with one test, then four.
    for (; count - i >= 8; i += 8) {
        const unsigned char* p = base + 12 * size_t(i);
        const uint64_t hit = WholeRecords(Lanes4(p, m, v) | uint64_t(Lanes4(p + 48, m, v)) << 12, RecordBits8);
        if (hit && Emit(hit, i, out, max, n))
            return n;
    }
    if (count - i >= 4) {
        const uint64_t hit = WholeRecords(Lanes4(base + 12 * size_t(i), m, v), RecordBits4);
        if (hit && Emit(hit, i, out, max, n))
            return n;
        i += 4;
    }
    return n + FindAllScalar(records, count, i, value, mask, out + n, max - n);
}

// Equal dword lanes of eight records (24 bits). A plain function: lambdas
// would not inherit the target attribute.
__attribute__((target("avx2")))
inline uint64_t Lanes8(const unsigned char* p, const __m256i* m, const __m256i* v)
{
    uint64_t lanes = 0;
#pragma GCC unroll 3
    for (int j = 0; j < 3; ++j) {
        const __m256i x = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(p + 32 * j));
        const __m256i eq = _mm256_cmpeq_epi32(_mm256_and_si256(x, m[j]), v[j]);
        lanes |= uint64_t(uint32_t(_mm256_movemask_ps(_mm256_castsi256_ps(eq)))) << (8 * j);
    }
    return lanes;
}

__attribute__((target("avx2")))
uint32_t FindAllAVX2(const TBHRecord* records, uint32_t count, uint32_t from,
                     const uint32_t* value, const uint32_t* mask, uint32_t* out, uint32_t max)
{
    // Lanes k = 0..23 of three vectors hold word k % 3, spread in registers
    // from one vector of the three words (see FindAllSSE2).
    const TPattern pat(value, mask);
    const __m256i mask3 = _mm256_castsi128_si256(
        _mm_setr_epi32(int(pat.Mask[0]), int(pat.Mask[1]), int(pat.Mask[2]), 0));
    const __m256i value3 = _mm256_castsi128_si256(
        _mm_setr_epi32(int(pat.Value[0]), int(pat.Value[1]), int(pat.Value[2]), 0));
    const __m256i spread[3] = {_mm256_setr_epi32(0, 1, 2, 0, 1, 2, 0, 1),
                               _mm256_setr_epi32(2, 0, 1, 2, 0, 1, 2, 0),
                               _mm256_setr_epi32(1, 2, 0, 1, 2, 0, 1, 2)};
    __m256i m[3], v[3];
#pragma GCC unroll 3
    for (int j = 0; j < 3; ++j) {
        m[j] = _mm256_permutevar8x32_epi32(mask3, spread[j]);
        v[j] = _mm256_permutevar8x32_epi32(value3, spread[j]);
    }
    const unsigned char* base = reinterpret_cast<const unsigned char*>(records);
    uint32_t n = 0;
    uint32_t i = from;
    // The screen: the filter word's lanes as they are, every other lane made
    // never equal (mask 0, value all ones).
    const __m256i filterWord = _mm256_set1_epi32(FilterWord(pat));
    __m256i fm[3], fv[3];
#pragma GCC unroll 3
    for (int j = 0; j < 3; ++j) {
        const __m256i lanes = _mm256_cmpeq_epi32(spread[j], filterWord);
        fm[j] = _mm256_and_si256(m[j], lanes);
        fv[j] = _mm256_or_si256(_mm256_and_si256(v[j], lanes), _mm256_andnot_si256(lanes, _mm256_set1_epi32(-1)));
    }
    // Sixteen records a step, screened by one word with a single test; a
    // long run without a match is the common case for any code of more than
    // a few strokes.
    for (; count - i >= 16; i += 16) {
        const unsigned char* p = base + 12 * size_t(i);
        __m256i any = _mm256_setzero_si256();
#pragma GCC unroll 6
        for (int j = 0; j < 6; ++j) {
            const __m256i x = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(p + 32 * j));
            any = _mm256_or_si256(any, _mm256_cmpeq_epi32(_mm256_and_si256(x, fm[j % 3]), fv[j % 3]));
        }
        if (_mm256_testz_si256(any, any))
            continue;
        const uint64_t hit = WholeRecords(Lanes8(p, m, v) | Lanes8(p + 96, m, v) << 24, RecordBits16);
        if (hit && Emit(hit, i, out, max, n))
            return n;
    }
    if (count - i >= 8) {
        const uint64_t hit = WholeRecords(Lanes8(base + 12 * size_t(i), m, v), RecordBits8);
        if (hit && Emit(hit, i, out, max, n))
            return n;
        i += 8;
    }
    // At most seven records are left: the SSE2 path ends exactly at count.
    return n + FindAllSSE2(records, count, i, value, mask, out + n, max - n);
}

// The lanes of 64-byte vector j of a 16-record block that hold word w.
constexpr uint16_t LanesOfWord(int j, int w)
{
    uint16_t lanes = 0;
    for (int k = 0; k < 16; ++k)
        if ((16 * j + k) % 3 == w)
            lanes |= uint16_t(1u << k);
    return lanes;
}

// Equal dword lanes of sixteen records (48 bits): three 64-byte compares
// give their lane masks directly, with no movemask.
__attribute__((target("avx512f")))
inline uint64_t Lanes16(const unsigned char* p, const __m512i* m, const __m512i* v)
{
    uint64_t lanes = 0;
#pragma GCC unroll 3
    for (int j = 0; j < 3; ++j) {
        const __m512i x = _mm512_loadu_si512(p + 64 * j);
        lanes |= uint64_t(_mm512_cmpeq_epi32_mask(_mm512_and_si512(x, m[j]), v[j])) << (16 * j);
    }
    return lanes;
}

// Thirty-two records a step, screened with the filter word's lanes alone
// and one test: a step without a match costs little more than its six
// loads. Each lane's difference (x & mask) ^ value is one ternary-logic
// instruction and the running minimum of six one more, so the screen stays
// off the single port that compares into mask registers; a zero minimum
// marks a step to check whole, sixteen records at a time.
__attribute__((target("avx512f")))
uint32_t FindAllAVX512(const TBHRecord* records, uint32_t count, uint32_t from,
                       const uint32_t* value, const uint32_t* mask, uint32_t* out, uint32_t max)
{
    // Lane k of vector j holds word (16 j + k) % 3: broadcast word 0, then
    // words 1 and 2 moved into their lanes (no permute of a partly
    // undefined vector, which GCC 12 warns about).
    const TPattern pat(value, mask);
    const int filterWord = FilterWord(pat);
    __m512i m[3], v[3], sm[3], sv[3];
#pragma GCC unroll 3
    for (int j = 0; j < 3; ++j) {
        const __mmask16 word1 = LanesOfWord(j, 1);
        const __mmask16 word2 = LanesOfWord(j, 2);
        m[j] = _mm512_mask_mov_epi32(_mm512_mask_mov_epi32(_mm512_set1_epi32(int(pat.Mask[0])), word1,
                                                           _mm512_set1_epi32(int(pat.Mask[1]))),
                                     word2, _mm512_set1_epi32(int(pat.Mask[2])));
        v[j] = _mm512_mask_mov_epi32(_mm512_mask_mov_epi32(_mm512_set1_epi32(int(pat.Value[0])), word1,
                                                           _mm512_set1_epi32(int(pat.Value[1]))),
                                     word2, _mm512_set1_epi32(int(pat.Value[2])));
        // The screen: the filter word's lanes as they are; every other lane
        // masked to nothing against a value of all ones, never zero.
        const __mmask16 screen = LanesOfWord(j, filterWord);
        sm[j] = _mm512_maskz_mov_epi32(screen, m[j]);
        sv[j] = _mm512_mask_mov_epi32(_mm512_set1_epi32(-1), screen, v[j]);
    }
    const unsigned char* base = reinterpret_cast<const unsigned char*>(records);
    uint32_t n = 0;
    uint32_t i = from;
    for (; count - i >= 32; i += 32) {
        const unsigned char* p = base + 12 * size_t(i);
        __m512i least = _mm512_set1_epi32(-1);
#pragma GCC unroll 6
        for (int j = 0; j < 6; ++j) {
            const __m512i x = _mm512_loadu_si512(p + 64 * j);
            // (x & mask) ^ value: 0x6A is the truth table of (a & b) ^ c.
            // (The unmasked minimum trips GCC 12 over an undefined source.)
            least = _mm512_maskz_min_epu32(0xFFFF, least, _mm512_ternarylogic_epi32(x, sm[j % 3], sv[j % 3], 0x6A));
        }
        if (!_mm512_testn_epi32_mask(least, least))
            continue;
        for (uint32_t b = 0; b < 2; ++b) {
            const uint64_t hit = WholeRecords(Lanes16(p + 192 * b, m, v), RecordBits16);
            if (hit && Emit(hit, i + 16 * b, out, max, n))
                return n;
        }
    }
    if (count - i >= 16) {
        const uint64_t hit = WholeRecords(Lanes16(base + 12 * size_t(i), m, v), RecordBits16);
        if (hit && Emit(hit, i, out, max, n))
            return n;
        i += 16;
    }
    // At most fifteen records are left: the AVX2 path ends exactly at count.
    return n + FindAllAVX2(records, count, i, value, mask, out + n, max - n);
}

#endif // DIRORU_STROKE_SIMD

TFindAll Implementation(CStrokeMatcher::TPath path)
{
    switch (path) {
#ifdef DIRORU_STROKE_SIMD
    case CStrokeMatcher::PathAVX512:
        return FindAllAVX512;
    case CStrokeMatcher::PathAVX2:
        return FindAllAVX2;
    case CStrokeMatcher::PathSSE2:
        return FindAllSSE2;
#endif
    default:
        return FindAllScalar;
    }
}

// The path in use; a relaxed atomic so that a test selecting a path never
// races with a scan on another thread.
std::atomic<CStrokeMatcher::TPath>& ActivePath()
{
    static std::atomic<CStrokeMatcher::TPath> path{CStrokeMatcher::Best()};
    return path;
}

std::atomic<TFindAll>& ActiveFind()
{
    static std::atomic<TFindAll> find{Implementation(ActivePath().load(std::memory_order_relaxed))};
    return find;
}

} // namespace

bool CStrokeMatcher::Supported(TPath path)
{
    switch (path) {
    case PathScalar:
        return true;
#ifdef DIRORU_STROKE_SIMD
    case PathSSE2:
        return true; // part of the x86-64 baseline
    case PathAVX2: {
        static const bool avx2 = (__builtin_cpu_init(), __builtin_cpu_supports("avx2"));
        return avx2;
    }
    case PathAVX512: {
        // Its last records go through the AVX2 path.
        static const bool avx512 = (__builtin_cpu_init(), __builtin_cpu_supports("avx512f"));
        return avx512 && Supported(PathAVX2);
    }
#endif
    default:
        return false;
    }
}

CStrokeMatcher::TPath CStrokeMatcher::Best()
{
    TPath best = PathScalar;
    for (TPath path : Paths)
        if (Supported(path))
            best = path;
    return best;
}

CStrokeMatcher::TPath CStrokeMatcher::Active()
{
    return ActivePath().load(std::memory_order_relaxed);
}

bool CStrokeMatcher::Select(TPath path)
{
    if (!Supported(path))
        return false;
    ActivePath().store(path, std::memory_order_relaxed);
    ActiveFind().store(Implementation(path), std::memory_order_relaxed);
    return true;
}

const char* CStrokeMatcher::Name(TPath path)
{
    switch (path) {
    case PathSSE2:
        return "sse2";
    case PathAVX2:
        return "avx2";
    case PathAVX512:
        return "avx512";
    default:
        return "scalar";
    }
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
    return ActiveFind().load(std::memory_order_relaxed)(records, count, from, value, mask, out, max);
}
