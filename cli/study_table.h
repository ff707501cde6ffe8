#pragma once
// The results of a study: one row per run (runs.csv) and the summary over the rows
// (summary.json and summary.txt). Every summary is computed from rows as runs.csv holds them,
// so a study computed whole, resumed, or in shards that were merged writes the same bytes.

#include <array>
#include <cstdint>
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
};

struct RunRow {
    std::uint64_t Run = 0;            // run number from 1
    std::vector<std::string> Inputs;  // the drawn values as Draw::Text
    RunStatus Status = RunStatus::Completed;
    int Step = 0;       // the last step computed, or the failed one
    std::string Fault;  // why the run failed (failed runs only)
    std::vector<RoomRow> Rooms;
};

// The header line of runs.csv for this study (without the line end).
std::string CsvHeader(const Study& study);
// One row of runs.csv, ending in "\n". Numbers are written in the shortest text that reads
// back to the same double; texts with commas or quotes are quoted.
std::string CsvRow(const Study& study, const RunRow& row);
// The rows of a runs.csv text written for this study. Returns a message naming the line that
// does not fit the study's columns.
std::optional<std::string> ParseCsv(const Study& study, const std::string& text, std::vector<RunRow>& rows);

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
}  // namespace stats

// summary.json of the rows (sorted by run number) of the given share of the study.
std::string SummaryJson(const Study& study, const std::vector<RunRow>& rows, const Share& share);
// summary.txt: the same in Russian, for people.
std::string SummaryText(const Study& study, const std::vector<RunRow>& rows, const Share& share);

}  // namespace zfcli::study
