// Stroke-dictionary timings on the data pack. Every figure is a ratio to a
// baseline timed in the same iteration, back to back with the measured work,
// so that a slow baseline in one repetition cannot flatter another's figure:
// a query scans the records from the first, so one pass over the mapped
// bs.dat with the widest loads the processor has is the floor; the scalar
// path is set against the plain literal loop over the same records.
//
//   dictionary_bench --benchmark_repetitions=5 --benchmark_report_aggregates_only=true
//   dictionary_bench --benchmark_filter='AVX2'
//
// Every match path the processor runs is measured. Without a built pack a
// generated file of the same record layout stands in (the summary says
// which). The summary gives each ratio's median over the repetitions and
// its range.
#include "BenchSupport.h"
#include "CBHWordLib.h"
#include "CStrokeMatcher.h"
#include "CStrokeCode.h"

#include <benchmark/benchmark.h>

#include <QByteArray>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <QtEndian>

#include <algorithm>
#include <ctime>
#include <cmath>
#include <cstdio>
#include <memory>
#include <random>
#include <string>
#include <vector>

namespace {

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
        std::string strokes;
        for (int p = 0; p < n; ++p)
            strokes += char('0' + (p ? later(rng) : first(rng)));
        const CStrokeCode code = CStrokeCode::FromDigits(strokes);
        unsigned char record[12];
        code.Store(record);
        qToLittleEndian(uint16_t(0x4E00 + i), record + 10);
        bytes.append(reinterpret_cast<const char*>(record), 12);
    }
    return bytes;
}

struct TFixture {
    QTemporaryDir Dir;
    bool RealPack = false;
    std::unique_ptr<CBHWordLib> Lib;
    std::vector<TCode> Codes;
    // Characters spread over the file: the association list a promoted
    // search looks for, some of them among any code's matches.
    std::vector<uint16_t> Followers;
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
        for (uint32_t i = 7; i < f->Lib->RecordCount; i += f->Lib->RecordCount / 50)
            f->Followers.push_back(qFromLittleEndian(f->Lib->Records[i].Char));
        return f;
    }();
    return *fixture;
}

// The first page, and where the promoted search starts: the sixth match.
int QueryAndFirstPage(CBHWordLib& lib, const QString& code)
{
    if (!ReadFirstPage(lib, code))
        return -1;
    int index = 0;
    benchmark::DoNotOptimize(lib.GetMatchCode(PageSize, index));
    return index;
}

// A whole stroke: the same, then the two promoted candidates.
int WholeStroke(CBHWordLib& lib, const QString& code)
{
    if (QueryAndFirstPage(lib, code) < 0)
        return -1;
    const std::vector<uint16_t>& followers = Fixture().Followers;
    uint16_t found[2] = {0, 0};
    return lib.FindFirstOf(PageSize, followers.data(), int(followers.size()), found) + found[0];
}

// Every match of the code from record from on, in batches as a walk takes
// them: one whole-file pass of the matcher.
uint32_t MatchAll(const CBHWordLib& lib, uint32_t from)
{
    uint32_t hits[64];
    uint32_t total = 0;
    for (uint32_t got = 64; got == 64 && from < lib.RecordCount; total += got) {
        got = CStrokeMatcher::FindAll(lib.Records, lib.RecordCount, from, lib.CodeValue, lib.CodeMask, hits, 64);
        benchmark::DoNotOptimize(hits);
        if (got)
            from = hits[got - 1] + 1;
    }
    return total;
}

// The same pass as the match rule reads, one record and one word at a
// time: what any plain loop costs.
uint32_t LiteralAll(const CBHWordLib& lib)
{
    uint32_t total = 0;
    for (uint32_t i = 0; i < lib.RecordCount; ++i) {
        const TBHRecord& r = lib.Records[i];
        if ((qFromLittleEndian(r.Strokes0) & lib.CodeMask[0]) == lib.CodeValue[0]
            && (qFromLittleEndian(r.Strokes1) & lib.CodeMask[1]) == lib.CodeValue[1]
            && (uint32_t(qFromLittleEndian(r.Strokes2)) & lib.CodeMask[2]) == lib.CodeValue[2]) {
            benchmark::DoNotOptimize(i);
            ++total;
        }
    }
    return total;
}

// This thread's processor time: on a shared machine the wall time of a
// pair includes whatever ran in between.
double Now()
{
    timespec t;
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &t);
    return double(t.tv_sec) + 1e-9 * double(t.tv_nsec);
}

// Each iteration times the baseline and the work back to back; the
// benchmark's time is the work's, its counter "ratio" the sum of the work's
// times over the sum of the baseline's in this repetition.
template <class TBaseline, class TWork>
void TimePair(benchmark::State& state, TBaseline baseline, TWork work)
{
    double base = 0, measured = 0;
    bool workFirst = false;
    for (auto _ : state) {
        // The order alternates: the second of a pair runs a little slower.
        const double t0 = Now();
        workFirst ? work() : baseline();
        const double t1 = Now();
        workFirst ? baseline() : work();
        const double t2 = Now();
        const double tBase = workFirst ? t2 - t1 : t1 - t0;
        const double tWork = workFirst ? t1 - t0 : t2 - t1;
        base += tBase;
        measured += tWork;
        state.SetIterationTime(tWork);
        workFirst = !workFirst;
    }
    state.counters["ratio"] = base > 0 ? measured / base : 0;
}

void StreamWideOnce()
{
    const CBHWordLib& lib = *Fixture().Lib;
    benchmark::DoNotOptimize(StreamWide(lib.File->Memory, lib.File->Size));
}

enum TFamily { QueryPage, Stroke, Resume, Literal };
const char* const FamilyNames[] = {"BM_QueryPage", "BM_Stroke", "BM_Resume", "BM_ScalarVsLiteral"};

void BM_Family(benchmark::State& state, TFamily family, CStrokeMatcher::TPath path, const QString& code)
{
    CStrokeMatcher::Select(path);
    CBHWordLib& lib = *Fixture().Lib;
    uint16_t none[2];
    lib.FindFirstOf(0, none, 0, none); // the index by character, built once per show
    switch (family) {
    case QueryPage:
        TimePair(state, StreamWideOnce, [&] { benchmark::DoNotOptimize(QueryAndFirstPage(lib, code)); });
        break;
    case Stroke:
        TimePair(state, StreamWideOnce, [&] { benchmark::DoNotOptimize(WholeStroke(lib, code)); });
        break;
    case Resume: {
        // The rest of the file after the first match, against the whole
        // file from the first record: resuming must cost no more, though it
        // starts off the vector grid.
        lib.Query(code);
        const uint32_t first = lib.FirstMatch < 0 ? 0 : uint32_t(lib.FirstMatch) + 1;
        TimePair(state, [&] { benchmark::DoNotOptimize(MatchAll(lib, 0)); },
                 [&] { benchmark::DoNotOptimize(MatchAll(lib, first)); });
        break;
    }
    case Literal:
        lib.Query(code);
        TimePair(state, [&] { benchmark::DoNotOptimize(LiteralAll(lib)); },
                 [&] { benchmark::DoNotOptimize(MatchAll(lib, 0)); });
        break;
    }
}

std::string Name(TFamily family, CStrokeMatcher::TPath path, const TCode& c)
{
    return std::string(FamilyNames[family]) + "/" + CStrokeMatcher::Name(path) + "/" + c.Label + "/" + c.Code;
}

// One table per family: each code's ratio on every path, median over the
// repetitions and its range, and whether the widest path meets target.
void PrintSummary(const TSummaryReporter& report, TFamily family, const char* title, double target,
                  const std::vector<CStrokeMatcher::TPath>& paths)
{
    std::printf("\n%s\n%-9s %-13s", title, "code", "");
    for (auto path : paths)
        std::printf(" %22s", CStrokeMatcher::Name(path));
    if (target > 0)
        std::printf("  <= %.1fx", target);
    std::printf("\n");
    for (const TCode& c : Fixture().Codes) {
        double widest = std::nan(""), widestLow = std::nan("");
        bool any = false;
        std::string line;
        char cell[64];
        for (auto path : paths) {
            const std::string name = Name(family, path, c);
            const double median = report.Counter(name, "ratio");
            if (std::isnan(median)) {
                std::snprintf(cell, sizeof cell, " %22s", "-");
            } else {
                const double low = report.Counter(name, "ratio", "min");
                const double high = report.Counter(name, "ratio", "max");
                if (std::isnan(low))
                    std::snprintf(cell, sizeof cell, " %21.2fx", median);
                else
                    std::snprintf(cell, sizeof cell, " %6.2fx (%5.2f-%5.2f)", median, low, high);
                widest = median;
                widestLow = std::isnan(low) ? median : low;
                any = true;
            }
            line += cell;
        }
        if (!any)
            continue;
        std::printf("%-9s %-13s%s", c.Label.c_str(), c.Code.c_str(), line.c_str());
        // Parity (target 1) is met when it lies within the spread.
        if (target > 0)
            std::printf("  %s", std::isnan(widest) ? "-" : widest <= target || (target == 1 && widestLow <= 1) ? "met" : "MISSED");
        std::printf("\n");
    }
}

benchmark::internal::Benchmark* Register(TFamily family, CStrokeMatcher::TPath path, const TCode& c)
{
    const QString code = QString::fromStdString(c.Code);
    return benchmark::RegisterBenchmark(Name(family, path, c).c_str(),
                                        [family, path, code](benchmark::State& s) { BM_Family(s, family, path, code); })
        ->UseManualTime()
        // The time that counts is the work's alone: without a bound a fast
        // query would repeat its stream read for seconds.
        ->MinTime(0.02)
        ->ComputeStatistics("min", [](const std::vector<double>& v) { return *std::min_element(v.begin(), v.end()); })
        ->ComputeStatistics("max", [](const std::vector<double>& v) { return *std::max_element(v.begin(), v.end()); });
}

} // namespace

int main(int argc, char** argv)
{
    const TFixture& f = Fixture();
    const std::vector<CStrokeMatcher::TPath> paths = CStrokeMatcher::Paths();
    for (auto path : paths) {
        for (const TCode& c : f.Codes) {
            Register(QueryPage, path, c);
            Register(Stroke, path, c);
            if (path == CStrokeMatcher::PathScalar)
                Register(Literal, path, c);
            // Codes whose first match comes early, off the vector grid.
            if (f.Lib->Query(QString::fromStdString(c.Code)) && f.Lib->FirstMatch < f.Lib->RecordCount / 64
                && f.Lib->FirstMatch % 16 != 15 && c.Code.size() >= 7)
                Register(Resume, path, c);
        }
    }

    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv))
        return 1;
    TSummaryReporter report;
    benchmark::RunSpecifiedBenchmarks(&report);
    benchmark::Shutdown();
    CStrokeMatcher::Select(CStrokeMatcher::Best());

    std::printf("\nbs.dat: %u bytes, %u records, %s. Ratios: median over the repetitions (range).\n",
                f.Lib->File->Size, f.Lib->RecordCount,
                f.RealPack ? "the data pack's" : "a generated file");
    PrintSummary(report, QueryPage, "Query and first page, to one widest read of bs.dat", 1.5, paths);
    PrintSummary(report, Stroke, "A whole stroke with promoted candidates, to one widest read of bs.dat", 2,
                 paths);
    PrintSummary(report, Resume, "A scan resuming after the first match, to one from the first record",
                 1, paths);
    PrintSummary(report, Literal, "The scalar path's whole-file pass, to the plain literal loop", 1,
                 {CStrokeMatcher::PathScalar});
    return 0;
}
