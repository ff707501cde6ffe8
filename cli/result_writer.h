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
#include "verdict.h"
#include "model/scenario.h"

namespace zfcli {

enum class RunOutcome {
    Completed,  // every step computed
    Stopped,    // stopped at a refresh (Ctrl-C)
    Failed,     // an arithmetic fault ended the run
};

// How a run ended, from Run's result and the scenario's Stopped flag.
RunOutcome OutcomeOf(bool runResult, const zf::TzoneMath& zm);

// The rooms' critical times as the runner prints them: the summary with each room's blocking
// time, governing factor and, with evacuation inputs, the verdict columns, laid out as a table
// (see FormatTable); then the legend lines and the building's verdict line.
std::string CriticalTimesReport(const zf::TzoneMath& zm, const zfreport::EvacuationInputs& evacuation = {});

// Lays out rows of cells as text: each column as wide as its widest cell in characters (UTF-8
// aware), the first column left-aligned, the others right-aligned, two spaces between.
std::string FormatTable(const std::vector<std::vector<std::string>>& rows);

// One line saying whether the run completed, was stopped or failed, and at which step.
std::string OutcomeLine(RunOutcome outcome, const zf::TzoneMath& zm);

// The whole result as one JSON object: outcome, counts, sample times and, per room, the
// critical times, the blocking time ("blocking_time", null when no factor was reached) with
// its factors ("blocking_factors", keys of "critical_times") and the 14 sample series. With
// evacuation inputs, rooms that have them gain "evacuation": {"required", "allowed",
// "margin", "verdict"} and the top level "evacuation_verdict". `error` is written (for a
// failed run) when not empty. Numbers read back to the same double; a non-finite sample is
// written as null.
void WriteJson(std::ostream& out, const zf::TzoneMath& zm, RunOutcome outcome, std::string_view error,
               const zfreport::EvacuationInputs& evacuation = {});

// room_1.csv ... room_n.csv in `dir`, which must exist. Returns a message when a file cannot
// be written.
std::optional<std::string> WriteCsvFiles(const std::filesystem::path& dir, const zf::TzoneMath& zm);

}  // namespace zfcli
