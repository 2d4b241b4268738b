#include "BenchSupport.h"

#include "CBHWordLib.h"
#include "CStrokeCode.h"

#include <QString>
#include <QtEndian>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <limits>

#if defined(__x86_64__)
#include <immintrin.h>
#endif

uint64_t StreamWords(const unsigned char* p, uint32_t size)
{
    uint64_t x = 0;
    for (uint32_t i = 0; i + 8 <= size; i += 8) {
        uint64_t w;
        std::memcpy(&w, p + i, 8);
        x ^= w;
    }
    return x;
}

namespace {

#if defined(__x86_64__)
__attribute__((target("avx512f"))) uint64_t StreamAVX512(const unsigned char* p, uint32_t size)
{
    __m512i a[4] = {_mm512_setzero_si512(), _mm512_setzero_si512(), _mm512_setzero_si512(),
                    _mm512_setzero_si512()};
    uint32_t i = 0;
    for (; size - i >= 256; i += 256)
#pragma GCC unroll 4
        for (int k = 0; k < 4; ++k)
            a[k] = _mm512_xor_si512(a[k], _mm512_loadu_si512(p + i + 64 * k));
    const __m512i x = _mm512_xor_si512(_mm512_xor_si512(a[0], a[1]), _mm512_xor_si512(a[2], a[3]));
    uint64_t lanes[8];
    _mm512_storeu_si512(lanes, x);
    uint64_t r = 0;
    for (uint64_t lane : lanes)
        r ^= lane;
    for (; i < size; ++i)
        r ^= p[i];
    return r;
}

__attribute__((target("avx2"))) uint64_t StreamAVX2(const unsigned char* p, uint32_t size)
{
    __m256i a[4] = {_mm256_setzero_si256(), _mm256_setzero_si256(), _mm256_setzero_si256(),
                    _mm256_setzero_si256()};
    uint32_t i = 0;
    for (; size - i >= 128; i += 128)
#pragma GCC unroll 4
        for (int k = 0; k < 4; ++k)
            a[k] = _mm256_xor_si256(a[k], _mm256_loadu_si256(reinterpret_cast<const __m256i*>(p + i + 32 * k)));
    const __m256i x = _mm256_xor_si256(_mm256_xor_si256(a[0], a[1]), _mm256_xor_si256(a[2], a[3]));
    uint64_t r = uint64_t(_mm256_extract_epi64(x, 0) ^ _mm256_extract_epi64(x, 1)
                          ^ _mm256_extract_epi64(x, 2) ^ _mm256_extract_epi64(x, 3));
    for (; i < size; ++i)
        r ^= p[i];
    return r;
}

uint64_t StreamSSE2(const unsigned char* p, uint32_t size)
{
    __m128i a[4] = {_mm_setzero_si128(), _mm_setzero_si128(), _mm_setzero_si128(), _mm_setzero_si128()};
    uint32_t i = 0;
    for (; size - i >= 64; i += 64)
#pragma GCC unroll 4
        for (int k = 0; k < 4; ++k)
            a[k] = _mm_xor_si128(a[k], _mm_loadu_si128(reinterpret_cast<const __m128i*>(p + i + 16 * k)));
    const __m128i x = _mm_xor_si128(_mm_xor_si128(a[0], a[1]), _mm_xor_si128(a[2], a[3]));
    uint64_t r = uint64_t(_mm_cvtsi128_si64(x) ^ _mm_cvtsi128_si64(_mm_unpackhi_epi64(x, x)));
    for (; i < size; ++i)
        r ^= p[i];
    return r;
}
#endif

} // namespace

uint64_t StreamWide(const unsigned char* p, uint32_t size)
{
#if defined(__x86_64__)
    // The widest loads the processor has; with the file in the L2 cache the
    // 32- and 64-byte loops measure the same.
    static const bool avx512 = __builtin_cpu_supports("avx512f");
    static const bool avx2 = __builtin_cpu_supports("avx2");
    if (avx512)
        return StreamAVX512(p, size);
    return avx2 ? StreamAVX2(p, size) : StreamSSE2(p, size);
#else
    uint64_t r = 0;
    for (uint32_t i = 0; i < size; ++i)
        r ^= p[i];
    return r;
#endif
}

namespace {

struct TStream {
    const unsigned char* Data;
    uint32_t Size;
};

void BM_StreamMapping(benchmark::State& state, TStream s, bool wide)
{
    for (auto _ : state)
        benchmark::DoNotOptimize(wide ? StreamWide(s.Data, s.Size) : StreamWords(s.Data, s.Size));
    state.SetBytesProcessed(int64_t(state.iterations()) * s.Size);
}

} // namespace

void RegisterStreams(const unsigned char* data, uint32_t size)
{
    benchmark::RegisterBenchmark("BM_StreamMapping/words", BM_StreamMapping, TStream{data, size}, false);
    benchmark::RegisterBenchmark("BM_StreamMapping/wide", BM_StreamMapping, TStream{data, size}, true);
}

void TSummaryReporter::ReportRuns(const std::vector<Run>& runs)
{
    for (const Run& run : runs) {
        if (run.error_occurred)
            continue;
        const double unit = benchmark::GetTimeUnitMultiplier(run.time_unit);
        const double ns[2] = {run.GetAdjustedCPUTime() / unit * 1e9, run.GetAdjustedRealTime() / unit * 1e9};
        // As registered, without suffixes such as "/real_time".
        const std::string name = run.run_name.function_name;
        for (int real = 0; real < 2; ++real) {
            if (run.run_type == Run::RT_Aggregate) {
                if (run.aggregate_name == "median")
                    m_median[real][name] = ns[real];
            } else {
                m_runs[real][name].push_back(ns[real]);
            }
        }
        // Counters by aggregate ("median", "min", ...); a run's own under "".
        const std::string aggregate = run.run_type == Run::RT_Aggregate ? run.aggregate_name : "";
        for (const auto& [key, counter] : run.counters)
            m_counters[name][aggregate][key] = counter.value;
    }
    ConsoleReporter::ReportRuns(runs);
}

double TSummaryReporter::Median(const std::string& name, bool real) const
{
    if (const auto it = m_median[real].find(name); it != m_median[real].end())
        return it->second;
    const auto it = m_runs[real].find(name);
    if (it == m_runs[real].end() || it->second.empty())
        return -1;
    std::vector<double> v = it->second;
    std::nth_element(v.begin(), v.begin() + v.size() / 2, v.end());
    return v[v.size() / 2];
}

double TSummaryReporter::Counter(const std::string& name, const std::string& counter,
                                 const std::string& aggregate) const
{
    const auto it = m_counters.find(name);
    if (it == m_counters.end())
        return std::numeric_limits<double>::quiet_NaN();
    for (const std::string& from : {aggregate, aggregate == "median" ? std::string() : aggregate}) {
        const auto found = it->second.find(from);
        if (found != it->second.end() && found->second.count(counter))
            return found->second.at(counter);
    }
    return std::numeric_limits<double>::quiet_NaN();
}

void PrintRatioLine(const char* label, double ns, double words, double wide, double target)
{
    if (ns < 0)
        return;
    std::printf("%-34s %10.1f us %8.2fx %8.2fx", label, ns / 1000, ns / words, ns / wide);
    if (target > 0)
        std::printf("  %s", ns / wide <= target ? "met" : "MISSED");
    std::printf("\n");
}

std::string StrokesOf(const TBHRecord& r)
{
    return CStrokeCode::Load(&r).Digits();
}

std::vector<TCode> ChooseCodes(CBHWordLib& lib)
{
    std::vector<TCode> codes;
    std::string longCode;
    for (uint32_t i = 0; i < lib.RecordCount && longCode.empty(); ++i) {
        const std::string s = StrokesOf(lib.Records[i]);
        if (s.size() >= 12)
            longCode = s.substr(0, 12);
    }
    for (size_t n = 1; n <= longCode.size(); ++n)
        codes.push_back({std::to_string(n) + "str", longCode.substr(0, n)});
    codes.push_back({"wildcard", "7"});
    // Wildcard-heavy: nine wildcards, then 一 and 乛; the first ten strokes
    // fix only one, so no screen on them helps. And a code that matches no
    // record: the whole file is scanned for nothing.
    codes.push_back({"wild9", "77777777715"});
    for (std::string none = "5555"; none.size() <= 12; none += '5') {
        if (!lib.Query(QString::fromStdString(none))) {
            codes.push_back({"nomatch", none});
            break;
        }
    }

    std::string worst;
    int64_t worstFirst = -1;
    for (uint32_t i = lib.RecordCount, seen = 0; i-- > 0 && seen < 3000;) {
        const std::string s = StrokesOf(lib.Records[i]);
        if (s.size() < 12)
            continue;
        ++seen;
        if (lib.Query(QString::fromStdString(s.substr(0, 12))) && lib.FirstMatch > worstFirst) {
            worstFirst = lib.FirstMatch;
            worst = s.substr(0, 12);
        }
    }
    if (!worst.empty())
        codes.push_back({"worst", worst});
    return codes;
}

bool ReadFirstPage(CBHWordLib& lib, const QString& code)
{
    if (!lib.Query(code))
        return false;
    lib.PageFirst();
    for (int i = 0; i < PageSize; ++i) {
        QString c = lib.RecValue();
        benchmark::DoNotOptimize(c);
        if (i + 1 < PageSize && !lib.Next())
            break;
    }
    return true;
}
