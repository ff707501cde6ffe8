#pragma once
// What the headless runner makes of a finished run: the table of critical times, the line
// saying how the run ended, the whole result as JSON and one CSV file per room. Every writer
// reads the scenario in place after Run, like the results window does.

#include <filesystem>
#include <optional>
#include <ostream>
#include <string>
#include <string_view>
#include <vector>

#include "critical_times.h"
#include "number_format.h"
#include "sample_csv.h"
#include "model/scenario.h"

namespace zfcli {

enum class RunOutcome {
    Completed,  // every step computed
    Stopped,    // stopped at a refresh (Ctrl-C)
    Failed,     // an arithmetic fault ended the run
};

// How a run ended, from Run's result and the scenario's Stopped flag.
RunOutcome OutcomeOf(bool runResult, const zf::TzoneMath& zm);

// The rooms' critical times as the runner prints them: the summary laid out as a table (see
// FormatTable), then its legend line.
std::string CriticalTimesReport(const zf::TzoneMath& zm);

// Lays out rows of cells as text: each column as wide as its widest cell in characters (UTF-8
// aware), the first column left-aligned, the others right-aligned, two spaces between.
std::string FormatTable(const std::vector<std::vector<std::string>>& rows);

// One line saying whether the run completed, was stopped or failed, and at which step.
std::string OutcomeLine(RunOutcome outcome, const zf::TzoneMath& zm);

// The whole result as one JSON object: outcome, counts, sample times and, per room, the
// critical times and the 14 sample series. `error` is written (for a failed run) when not
// empty. Numbers read back to the same double; a non-finite sample is written as null.
void WriteJson(std::ostream& out, const zf::TzoneMath& zm, RunOutcome outcome, std::string_view error);

// room_1.csv ... room_n.csv in `dir`, which must exist. Returns a message when a file cannot
// be written.
std::optional<std::string> WriteCsvFiles(const std::filesystem::path& dir, const zf::TzoneMath& zm);

}  // namespace zfcli
