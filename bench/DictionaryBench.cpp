// Stroke-dictionary timings on the data pack, each set against the time to
// stream the same bs.dat once, measured in the same run: a query scans the
// records from the first, so one pass over the file is the floor.
//
//   dictionary_bench --benchmark_repetitions=5 --benchmark_report_aggregates_only=true
//   dictionary_bench --benchmark_filter='avx2|Stream'
//
// Every match path the processor runs is measured (scalar, sse2, avx2,
// avx512). The dictionary is the built pack's bs.dat; without a pack, a
// generated file of the same record layout stands in (the summary says
// which). The summary at the end gives the median CPU time of each
// benchmark and its ratio to both streams.
#include "CBHWordLib.h"
#include "CStrokeMatcher.h"
#include "CWordTable.h"

#include <benchmark/benchmark.h>

#include <QByteArray>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <QtEndian>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <map>
#include <memory>
#include <random>
#include <string>
#include <vector>

#if defined(__x86_64__)
#include <immintrin.h>
#endif

namespace {

constexpr int PageSize = 5;

// About 21,000 characters with lengths 1..25 peaking around 8..12 and first
// strokes distributed as in Chinese. Fixed seed: every run measures the
// same file.
QByteArray GenerateStrokeDictionary()
{
    std::mt19937 rng(20240601);
    std::normal_distribution<double> length(10.0, 3.6);
    std::discrete_distribution<int> first({0, 30, 20, 28, 14, 8});
    std::discrete_distribution<int> later({0, 28, 24, 22, 16, 10});
    QByteArray bytes;
    for (int i = 0; i < 21000; ++i) {
        const int n = std::clamp(int(std::lround(length(rng))), 1, 25);
        uint32_t words[3] = {0, 0, 0};
        for (int p = 0; p < n; ++p)
            words[p / 10] |= uint32_t(p ? later(rng) : first(rng)) << (3 * (p % 10));
        char record[12];
        qToLittleEndian(words[0], record);
        qToLittleEndian(words[1], record + 4);
        qToLittleEndian(uint16_t(words[2]), record + 8);
        qToLittleEndian(uint16_t(0x4E00 + i), record + 10);
        bytes.append(record, 12);
    }
    return bytes;
}

std::string StrokesOf(const TBHRecord& r)
{
    const uint32_t words[3] = {qFromLittleEndian(r.Strokes0), qFromLittleEndian(r.Strokes1),
                               qFromLittleEndian(r.Strokes2)};
    std::string code;
    for (int p = 0; p < CBHWordLib::MaxCodeLength; ++p) {
        const uint32_t digit = words[p / 10] >> (3 * (p % 10)) & 7;
        if (!digit)
            break;
        code += char('0' + digit);
    }
    return code;
}

struct TCode {
    std::string Label; // e.g. "12str", "wildcard", "worst"
    std::string Code;
};

struct TFixture {
    QTemporaryDir Dir;
    bool RealPack = false;
    std::unique_ptr<CBHWordLib> Lib;
    std::vector<TCode> Codes;
};

// Codes a user types: the prefixes of the first character in the file with
// at least 12 strokes (the file lists frequent characters first), the
// wildcard, and the worst found: the 12-stroke prefix, among the last
// characters, whose first match lies furthest into the file.
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

TFixture& Fixture()
{
    static TFixture* fixture = [] {
        auto* f = new TFixture;
        QString name = QStringLiteral(DIRORU_PACK_DIR "/bs.dat");
        f->RealPack = QFileInfo(name).isFile();
        if (!f->RealPack) {
            name = f->Dir.filePath("bs.dat");
            QFile out(name);
            const QByteArray bytes = GenerateStrokeDictionary();
            if (!out.open(QIODevice::WriteOnly) || out.write(bytes) != bytes.size())
                std::abort();
        }
        f->Lib = std::make_unique<CBHWordLib>(name);
        f->Lib->PageSize = PageSize;
        f->Lib->OpenFile();
        if (f->Lib->RecordCount == 0)
            std::abort();
        f->Codes = ChooseCodes(*f->Lib);
        return f;
    }();
    return *fixture;
}

// Two measures of one pass over the mapping. Words: a plain loop over
// 8-byte words, what reading the file costs any ordinary scan. Wide: the
// machine's best, the widest loads there are with four independent
// accumulators kept in registers; with the file in cache that is the
// cache's bandwidth, the hardware limit.
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

#if defined(__x86_64__)
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

uint64_t StreamWide(const unsigned char* p, uint32_t size)
{
#if defined(__x86_64__)
    static const bool avx2 = __builtin_cpu_supports("avx2");
    return avx2 ? StreamAVX2(p, size) : StreamSSE2(p, size);
#else
    uint64_t r = 0;
    for (uint32_t i = 0; i < size; ++i)
        r ^= p[i];
    return r;
#endif
}

void BM_StreamMapping(benchmark::State& state, bool wide)
{
    const CFileMapped& file = *Fixture().Lib->File;
    for (auto _ : state)
        benchmark::DoNotOptimize(wide ? StreamWide(file.Memory, file.Size) : StreamWords(file.Memory, file.Size));
    state.SetBytesProcessed(int64_t(state.iterations()) * file.Size);
}

// What the stroke keyboard asks of the dictionary after each stroke: the
// query, the first page of five, and the sixth match where the walk for
// promoted candidates starts.
int QueryAndFirstPage(CBHWordLib& lib, const QString& code)
{
    if (!lib.Query(code))
        return -1;
    lib.PageFirst();
    for (int i = 0; i < PageSize; ++i) {
        QString c = lib.RecValue();
        benchmark::DoNotOptimize(c);
        if (!lib.Next())
            break;
    }
    int index = 0;
    benchmark::DoNotOptimize(lib.GetMatchCode(PageSize, index));
    return index;
}

void BM_QueryPage(benchmark::State& state, CStrokeMatcher::TPath path, const QString& code)
{
    CStrokeMatcher::Select(path);
    CBHWordLib& lib = *Fixture().Lib;
    for (auto _ : state)
        benchmark::DoNotOptimize(QueryAndFirstPage(lib, code));
    int index = 0;
    int matches = 0;
    if (lib.Query(code))
        while (lib.GetWordCode(index)) {
            ++matches;
            ++index;
        }
    state.counters["matches"] = matches;
}

// The dictionary's side of a promoted-candidate search that finds nothing:
// after the stroke's own work, every match past the first page, either in
// batches or one GetWordCode call per match.
void BM_PromotionWalk(benchmark::State& state, CStrokeMatcher::TPath path, const QString& code,
                      bool batched)
{
    CStrokeMatcher::Select(path);
    CBHWordLib& lib = *Fixture().Lib;
    uint16_t codes[64];
    for (auto _ : state) {
        int index = QueryAndFirstPage(lib, code);
        if (index < 0)
            continue;
        if (batched) {
            while (lib.GetWordCodes(index, codes, 64) == 64)
                benchmark::DoNotOptimize(codes);
        } else {
            while (uint16_t c = lib.GetWordCode(index)) {
                benchmark::DoNotOptimize(c);
                ++index;
            }
        }
    }
}

void BM_WordTableQuery50(benchmark::State& state)
{
    // A 50-record association list per leading character, read and ranked
    // per query through word.idx and word.dat.
    constexpr int Leaders = 64;
    constexpr int Count = 50;
    QTemporaryDir dir;
    QByteArray index;
    QByteArray data;
    std::mt19937 rng(7);
    for (int k = 0; k < Leaders; ++k) {
        char entry[8];
        qToLittleEndian(uint16_t(0x4E00 + k), entry);
        qToLittleEndian(uint16_t(Count), entry + 2);
        qToLittleEndian(uint32_t(data.size()), entry + 4);
        index.append(entry, 8);
        for (int i = 0; i < Count; ++i) {
            char record[4];
            qToLittleEndian(uint16_t(0x4E00 + rng() % 20000), record);
            qToLittleEndian(uint16_t(rng() % 3000), record + 2);
            data.append(record, 4);
        }
    }
    for (const auto& [name, bytes] : {std::pair{"word.idx", index}, std::pair{"word.dat", data}}) {
        QFile out(dir.filePath(name));
        if (!out.open(QIODevice::WriteOnly))
            std::abort();
        out.write(bytes);
    }
    CWordTable table(dir.filePath("word.idx"), dir.filePath("word.dat"));
    table.OpenFile();
    int k = 0;
    for (auto _ : state) {
        benchmark::DoNotOptimize(table.Query(uint16_t(0x4E00 + k)));
        benchmark::DoNotOptimize(table.WordList);
        k = (k + 1) % Leaders;
    }
    if (table.WordCount != Count)
        state.SkipWithError("unexpected association count");
}

// The console report, and beside it the CPU time per iteration of each
// benchmark in nanoseconds: the median of the repetitions when there are
// several, else the median of the runs. CPU time, not wall time: on a
// shared machine the wall time of a long run includes the time others
// held the core, which the short stream run is less likely to suffer.
class TSummaryReporter : public benchmark::ConsoleReporter
{
public:
    void ReportRuns(const std::vector<Run>& runs) override
    {
        for (const Run& run : runs) {
            if (run.error_occurred)
                continue;
            const double ns = run.GetAdjustedCPUTime() / benchmark::GetTimeUnitMultiplier(run.time_unit) * 1e9;
            const std::string name = run.run_name.str();
            if (run.run_type == Run::RT_Aggregate) {
                if (run.aggregate_name == "median")
                    m_median[name] = ns;
            } else {
                m_runs[name].push_back(ns);
            }
        }
        ConsoleReporter::ReportRuns(runs);
    }

    // Nanoseconds per iteration of name; negative when it did not run.
    double Nanoseconds(const std::string& name) const
    {
        if (const auto it = m_median.find(name); it != m_median.end())
            return it->second;
        const auto it = m_runs.find(name);
        if (it == m_runs.end() || it->second.empty())
            return -1;
        std::vector<double> v = it->second;
        std::nth_element(v.begin(), v.begin() + v.size() / 2, v.end());
        return v[v.size() / 2];
    }

private:
    std::map<std::string, double> m_median;
    std::map<std::string, std::vector<double>> m_runs;
};

std::string Name(const char* family, CStrokeMatcher::TPath path, const TCode& c)
{
    return std::string(family) + "/" + CStrokeMatcher::Name(path) + "/" + c.Label + "/" + c.Code;
}

// One table per family: time and ratio to both streams for every code and
// path, and whether the widest path meets the target against the wide
// stream, the strict bound.
void PrintSummary(const TSummaryReporter& report, const char* family, const char* title,
                  double target, const std::vector<CStrokeMatcher::TPath>& paths, double words,
                  double wide)
{
    const auto ran = [&](const TCode& c) {
        for (auto path : paths)
            if (report.Nanoseconds(Name(family, path, c)) >= 0)
                return true;
        return false;
    };
    const std::vector<TCode>& codes = Fixture().Codes;
    if (std::none_of(codes.begin(), codes.end(), ran))
        return;
    std::printf("\n%s: CPU time, ratio to the word stream, ratio to the wide stream\n", title);
    std::printf("%-8s %-13s", "code", "");
    for (auto path : paths)
        std::printf(" %9s %6s %6s", CStrokeMatcher::Name(path), "words", "wide");
    std::printf("  <= %.0fx wide\n", target);
    for (const TCode& c : codes) {
        if (!ran(c))
            continue;
        std::printf("%-8s %-13s", c.Label.c_str(), c.Code.c_str());
        double widest = -1;
        for (auto path : paths) {
            const double ns = report.Nanoseconds(Name(family, path, c));
            if (ns < 0) {
                std::printf(" %9s %6s %6s", "-", "-", "-");
                continue;
            }
            std::printf(" %7.1fus %5.2fx %5.2fx", ns / 1000, ns / words, ns / wide);
            widest = ns;
        }
        std::printf("  %s\n", widest < 0 ? "-" : widest / wide <= target ? "met" : "MISSED");
    }
}

} // namespace

int main(int argc, char** argv)
{
    const TFixture& f = Fixture();
    std::vector<CStrokeMatcher::TPath> paths;
    for (auto path : CStrokeMatcher::Paths)
        if (CStrokeMatcher::Supported(path))
            paths.push_back(path);

    benchmark::RegisterBenchmark("BM_StreamMapping/words", BM_StreamMapping, false);
    benchmark::RegisterBenchmark("BM_StreamMapping/wide", BM_StreamMapping, true);
    for (auto path : paths) {
        for (const TCode& c : f.Codes) {
            const QString code = QString::fromStdString(c.Code);
            benchmark::RegisterBenchmark(Name("BM_QueryPage", path, c).c_str(),
                                         [path, code](benchmark::State& s) { BM_QueryPage(s, path, code); });
        }
        for (const TCode& c : f.Codes) {
            const QString code = QString::fromStdString(c.Code);
            benchmark::RegisterBenchmark(Name("BM_PromotionWalk", path, c).c_str(),
                                         [path, code](benchmark::State& s) { BM_PromotionWalk(s, path, code, true); });
        }
        // One call per match, as a caller that does not batch: the short
        // codes and the wildcard, where the calls outnumber the records read.
        for (const TCode& c : f.Codes) {
            if (c.Code.size() > 2 && c.Label != "wildcard")
                continue;
            const QString code = QString::fromStdString(c.Code);
            benchmark::RegisterBenchmark(Name("BM_PromotionWalkByCall", path, c).c_str(),
                                         [path, code](benchmark::State& s) { BM_PromotionWalk(s, path, code, false); });
        }
    }
    benchmark::RegisterBenchmark("BM_WordTableQuery50", BM_WordTableQuery50);

    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv))
        return 1;
    TSummaryReporter report;
    benchmark::RunSpecifiedBenchmarks(&report);
    benchmark::Shutdown();
    CStrokeMatcher::Select(CStrokeMatcher::Best());

    const double words = report.Nanoseconds("BM_StreamMapping/words");
    const double wide = report.Nanoseconds("BM_StreamMapping/wide");
    if (words <= 0 || wide <= 0)
        return 0;
    std::printf("\nStream once over %u bytes (%u records, %s): words %.1f us, wide %.1f us CPU\n",
                f.Lib->File->Size, f.Lib->RecordCount,
                f.RealPack ? "the data pack's bs.dat" : "a generated bs.dat", words / 1000, wide / 1000);
    PrintSummary(report, "BM_QueryPage", "Query and first page", 2, paths, words, wide);
    PrintSummary(report, "BM_PromotionWalk", "Query, first page, every later match in batches", 3,
                 paths, words, wide);
    PrintSummary(report, "BM_PromotionWalkByCall", "Query, first page, every later match by call", 3,
                 paths, words, wide);
    return 0;
}
