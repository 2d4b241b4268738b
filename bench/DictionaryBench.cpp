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
#include "BenchSupport.h"
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

struct TFixture {
    QTemporaryDir Dir;
    bool RealPack = false;
    std::unique_ptr<CBHWordLib> Lib;
    std::vector<TCode> Codes;
};

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
    if (target > 0)
        std::printf("  <= %.0fx wide", target);
    std::printf("\n");
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
        if (target > 0)
            std::printf("  %s", widest < 0 ? "-" : widest / wide <= target ? "met" : "MISSED");
        std::printf("\n");
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

    RegisterStreams(f.Lib->File->Memory, f.Lib->File->Size);
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
    // A walk over every later match is what a promoted search that finds
    // nothing would cost without the index by character (panel_bench
    // measures the search itself): no target.
    PrintSummary(report, "BM_PromotionWalk", "Query, first page, every later match in batches", 0,
                 paths, words, wide);
    PrintSummary(report, "BM_PromotionWalkByCall", "Query, first page, every later match by call", 0,
                 paths, words, wide);
    return 0;
}
