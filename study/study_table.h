#pragma once
// The results of a study: one row per run (runs.csv) and the summary over the rows
// (summary.json and summary.txt). Every summary is computed from rows as runs.csv holds them,
// so a study computed whole, resumed, or in shards that were merged writes the same bytes.
// runs.csv is read a row at a time (RunsCsvReader) and the summary keeps, per run, only the
// numbers its percentiles and rank correlations need, so a study of many runs is summed up in
// little memory. (The rows in study_table.cpp, the statistics in study_stats.cpp, the
// summaries in study_summary.cpp.)

#include <array>
#include <cstdint>
#include <istream>
#include <optional>
#include <string>
#include <vector>

#include "study_file.h"
#include "model/scenario.h"

namespace zfcli::study {

enum class RunStatus { Completed, Stopped, Failed };

struct RoomRow {
    std::optional<double> Blocking;            // blocking time [s], none when no factor was reached
    std::string Factors;                       // the factors reached at that time: "T", "Vis+CO"
    std::array<double, zf::kHazardCount> Times{};  // critical times by HazardKind [s]; 0 = not reached
    std::string Verdict;                       // "safe", "unsafe", "undetermined"; empty without inputs
    std::string VerdictReason;                 // why "undetermined", in Russian; empty otherwise
};

// One escape route of a run: its evacuation time, its probability of evacuation and verdict.
struct RouteRow {
    std::optional<double> Time;         // t_р [s]; none when the routes were not computed
    std::optional<double> Probability;  // P_э [-]; none when the run cannot tell
    std::string Verdict;                // "safe", "unsafe", "undetermined"
};

struct RunRow {
    std::uint64_t Run = 0;            // run number from 1
    std::vector<std::string> Inputs;  // the drawn values as Draw::Text
    RunStatus Status = RunStatus::Completed;
    int Step = 0;       // the last step computed, or the failed one
    std::string Fault;  // why the run failed (failed runs only)
    std::vector<RoomRow> Rooms;
    std::vector<RouteRow> Routes;  // the base's escape routes, in their order
};

// The header line of runs.csv for this study (without the line end).
std::string CsvHeader(const Study& study);
// One row of runs.csv, ending in "\n". Numbers are written in the shortest text that reads
// back to the same double; texts with commas or quotes are quoted.
std::string CsvRow(const Study& study, const RunRow& row);
// The rows of a runs.csv text written for this study. Returns a message naming the line that
// does not fit the study's columns.
std::optional<std::string> ParseCsv(const Study& study, const std::string& text, std::vector<RunRow>& rows);

// runs.csv read one row at a time. A record longer than kMaxCsvRecordBytes is refused (a file
// that is not a table of runs, /dev/zero, say), so memory never follows the file's size.
class RunsCsvReader {
public:
    static constexpr std::size_t kMaxCsvRecordBytes = std::size_t{1} << 20;

    RunsCsvReader(const Study& study, std::istream& in) : study_(study), in_(in) {}
    // Reads the header line; false when it does not fit the study (Error() says why).
    bool Start();
    // The next row into `row`: false at the end of the table or at a line that does not fit
    // (Error() then says which). A last line without its line end was cut short: it is not
    // a row.
    bool Next(RunRow& row);
    const std::optional<std::string>& Error() const { return error_; }

private:
    // The cells of the next record; false at the end or past the bound.
    bool Record(std::vector<std::string>& cells);
    bool Fail(std::string message);

    const Study& study_;
    std::istream& in_;
    std::size_t line_ = 0;     // records read, the header included
    std::size_t columns_ = 0;  // cells of the header
    std::optional<std::string> error_;
};

// An input's drawn text (as runs.csv writes it) as a number that orders its values: the number
// itself, 1 or 0 for open or shut, a plume's index among its choices.
double InputRank(const VariedInput& input, const std::string& text);

// Which share of the runs a folder holds: all, or shard Index of Count.
struct Share {
    std::uint64_t Index = 1, Count = 1;
    bool operator==(const Share&) const = default;
};
// The runs of a shard: the contiguous block ⌊(I−1)·R/N⌋+1 … ⌊I·R/N⌋ of the R run numbers.
std::pair<std::uint64_t, std::uint64_t> RunsOfShard(std::uint64_t runs, const Share& share);

// Statistics of a sample, as the summary uses them.
namespace stats {
// Two-sided 95 % quantile of Student's t distribution with `df` degrees of freedom.
double StudentT975(std::uint64_t df);
// Percentile p (0..100) of sorted values by linear interpolation between the closest ranks
// (position (n−1)·p/100); +∞ values stand for "not reached" and make a percentile that needs
// one none.
std::optional<double> Percentile(const std::vector<double>& sorted, double p);
// Spearman's rank correlation: the correlation of the average ranks (ties share their mean
// rank). None when either side is constant or fewer than three pairs exist.
std::optional<double> RankCorrelation(const std::vector<double>& x, const std::vector<double>& y);

// A sample described: +∞ values stand for "not reached" and count in the percentiles only.
struct Spread {
    std::uint64_t Count = 0;                // finite values
    std::optional<double> Mean, Sd;         // of the finite values (summed in the given order); Sd from two
    std::optional<double> Low, High;        // 95 % interval of the mean from Student's t, from two values
    std::optional<double> P5, P50, P95;     // percentiles of all values
    std::optional<double> Min, Max;         // of the finite values
};
Spread Describe(const std::vector<double>& values);

// Counts of ascending finite values in √n equal bins (5 to 12, so labels stay readable) from
// the least to the greatest; equal values all fall in the first bin.
struct Histogram {
    double Low = 0, Width = 0;  // the first bin's lower edge and every bin's width
    std::vector<std::uint64_t> Counts;
};
Histogram HistogramOf(const std::vector<double>& sorted);
}  // namespace stats

// What the summary needs of the rows, gathered a row at a time in run order: the counts, the
// verdicts of each room, and per completed run its blocking times and the inputs' ranks (8
// bytes per room and per input); the failed runs with their inputs, step and fault.
class SummaryData {
public:
    explicit SummaryData(const Study& study);
    void Add(const RunRow& row);

    struct RoomVerdicts {
        std::uint64_t Safe = 0, Unsafe = 0, Undetermined = 0;  // completed runs
    };
    struct FailedRun {
        std::uint64_t Run = 0;
        int Step = 0;
        std::string Fault;
        std::vector<std::string> Inputs;
    };
    std::uint64_t Done = 0, Completed = 0, Stopped = 0, Failed = 0;
    std::vector<std::vector<double>> Blocking;  // by room, per completed run: t_бл [s], +∞ not reached
    std::vector<std::vector<double>> Ranks;     // by input, per completed run: the value ordered as a number
    std::vector<RoomVerdicts> Verdicts;         // by room
    // By escape route, per completed run that gives it: t_р [s] and P_э [-]; the verdicts.
    std::vector<std::vector<double>> RouteTimes, RouteProbabilities;
    std::vector<RoomVerdicts> RouteVerdicts;
    std::vector<FailedRun> FailedRuns;          // in run order

private:
    const Study& study_;
};

// summary.json of the rows (sorted by run number) of the given share of the study.
std::string SummaryJson(const Study& study, const SummaryData& data, const Share& share);
// summary.txt: the same in Russian, for people.
std::string SummaryText(const Study& study, const SummaryData& data, const Share& share);
// The same of rows held in memory.
std::string SummaryJson(const Study& study, const std::vector<RunRow>& rows, const Share& share);
std::string SummaryText(const Study& study, const std::vector<RunRow>& rows, const Share& share);

}  // namespace zfcli::study
