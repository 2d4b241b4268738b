#pragma once

// What the benchmark programs share: the two streams over a file that every
// ratio is set against, and a console reporter that keeps each benchmark's
// median for the summary tables.

#include <benchmark/benchmark.h>

class CBHWordLib;
class QString;
struct TBHRecord;

#include <cstdint>
#include <map>
#include <string>
#include <vector>

// One pass over size bytes. Words: a plain loop over 8-byte words, what
// reading the file costs any ordinary scan. Wide: the machine's best, the
// widest loads there are with four independent accumulators kept in
// registers; with the file in cache that is the cache's bandwidth, the
// hardware limit.
uint64_t StreamWords(const unsigned char* p, uint32_t size);
uint64_t StreamWide(const unsigned char* p, uint32_t size);

// The strokes of a record as digits, e.g. "12".
std::string StrokesOf(const TBHRecord& r);

struct TCode {
    std::string Label; // e.g. "12str", "wildcard", "worst"
    std::string Code;
};

// Codes a user types: the prefixes of the first character in the file with
// at least 12 strokes (the file lists frequent characters first), the
// wildcard, a wildcard-heavy code, a code without a match, and the worst
// found: the 12-stroke prefix, among the last characters, whose first match
// lies furthest into the file.
std::vector<TCode> ChooseCodes(CBHWordLib& lib);

// The stroke keyboard's page of candidates.
constexpr int PageSize = 5;

// What the stroke keyboard asks of the dictionary after each stroke: the
// query, then the first page as ShowRecords reads it. False when nothing
// matches.
bool ReadFirstPage(CBHWordLib& lib, const QString& code);

// Registers BM_StreamMapping/words and BM_StreamMapping/wide over data.
void RegisterStreams(const unsigned char* data, uint32_t size);

// The console report, and beside it the time per iteration of each
// benchmark in nanoseconds: the median of the repetitions when there are
// several, else the median of the runs. CPU time by default: on a shared
// machine the wall time of a long run includes the time others held the
// core, which the short stream run is less likely to suffer. Real time for
// what runs in other processes or waits on them.
class TSummaryReporter : public benchmark::ConsoleReporter
{
public:
    void ReportRuns(const std::vector<Run>& runs) override;

    // Nanoseconds per iteration of name; negative when it did not run.
    double Nanoseconds(const std::string& name) const { return Median(name, false); }
    double RealNanoseconds(const std::string& name) const { return Median(name, true); }
    // A user counter of name: its aggregate over the repetitions ("median",
    // or a statistic the benchmark computes, such as "min"), the median
    // falling back to the last run's value; NaN when there is none.
    double Counter(const std::string& name, const std::string& counter,
                   const std::string& aggregate = "median") const;

private:
    double Median(const std::string& name, bool real) const;

    std::map<std::string, double> m_median[2];
    std::map<std::string, std::vector<double>> m_runs[2];
    std::map<std::string, std::map<std::string, std::map<std::string, double>>> m_counters;
};

// One line of a summary table: the time of benchmark name, its ratio to
// the word stream and to the wide stream, and whether that last ratio is
// within target (no verdict when target is 0).
void PrintRatioLine(const char* label, double ns, double words, double wide, double target);
