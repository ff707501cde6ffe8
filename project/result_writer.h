#pragma once
// What the headless runner makes of a finished run: the table of critical times, the line
// saying how the run ended, the whole result as JSON and one CSV file per room. Every writer
// reads the scenario in place after Run, like the results window does.

#include <ostream>
#include <string>
#include <string_view>
#include <vector>

#include "critical_times.h"
#include "number_format.h"
#include "output_file.h"
#include "sample_csv.h"
#include "verdict.h"
#include "model/scenario.h"
#include "project/document.h"

namespace zf::project {

enum class RunOutcome {
    Completed,  // every step computed
    Stopped,    // stopped at a refresh (Ctrl-C)
    Failed,     // an arithmetic fault ended the run
};

// JSON pieces: a string escaped, the shortest number that reads back the same (null when not
// finite), a number or null for none.
void WriteJsonString(std::ostream& out, std::string_view s);
void WriteJsonNumber(std::ostream& out, double v);
void WriteJsonOptional(std::ostream& out, const std::optional<double>& v);

// How a run ended, from Run's result and the scenario's Stopped flag.
RunOutcome OutcomeOf(bool runResult, const zf::TzoneMath& zm);

// The rooms' critical times as the runner prints them: the summary with each room's blocking
// time, governing factor and, with evacuation inputs, the verdict columns, laid out as a table
// (see FormatTable); then the legend lines and the building's verdict line. A room with a name
// in `roomNames` (by room) is labelled "Помещение №2 — Коридор".
std::string CriticalTimesReport(const zf::TzoneMath& zm, const zfreport::EvacuationInputs& evacuation = {},
                                const std::vector<std::string>& roomNames = {});

// Lays out rows of cells as text: each column as wide as its widest cell in characters (UTF-8
// aware), the first column left-aligned, the others right-aligned, two spaces between.
std::string FormatTable(const std::vector<std::vector<std::string>>& rows);

// Steps a run of `stepCount` model states computes (1 … N−1): the "из N" of the progress line
// and of the outcome line alike.
int LastStepOf(int stepCount);

// Whether the run failed before its first step (its counts or its memory could not be
// prepared): there is no step to name, and no result beyond the initial state.
bool FailedBeforeFirstStep(RunOutcome outcome, const zf::TzoneMath& zm);

// One line saying whether the run completed, was stopped or failed, and at which step; for a
// run that failed before its first step, that it was not started.
std::string OutcomeLine(RunOutcome outcome, const zf::TzoneMath& zm);

// The message on stderr of a failed run: where it failed, then `error` (DescribeFault).
std::string FailureMessage(const zf::TzoneMath& zm, std::string_view error);

// The run's warnings (report/model_warnings.h), one line each: "Внимание: ...".
std::string WarningLines(const zf::TzoneMath& zm);

// The whole result as one JSON object: format and version, the program and its version
// ("program": "zonefire 0.2.0"), outcome, counts, sample times and, per room, the critical
// times (null: not reached), the blocking time ("blocking_time", null when no factor was reached) with
// its factors ("blocking_factors", keys of "critical_times") and the 14 sample series. With
// evacuation inputs, rooms that have them gain "evacuation": {"required", "allowed",
// "margin", "verdict", "reason" for an undetermined one} and the top level
// "evacuation_verdict" with "evacuation_verdict_reason" when undetermined. `error` is written (for a
// failed run) when not empty. Numbers read back to the same double; a non-finite sample is
// written as null. A room with a name in `roomNames` (by room) gains "name" after its number.
void WriteJson(std::ostream& out, const zf::TzoneMath& zm, RunOutcome outcome, std::string_view error,
               const zfreport::EvacuationInputs& evacuation = {}, const std::vector<std::string>& roomNames = {});

// The CSV folder's files: room_1.csv … room_n.csv and "status".
bool IsCsvFolderFile(std::string_view name);

// The folder's "status" file: first line one word, "completed", "stopped" or "failed", so a
// script can tell a whole run from a partial one; then the outcome line and, for a failed
// run, the error.
std::string StatusText(RunOutcome outcome, const zf::TzoneMath& zm, std::string_view error);

// room_1.csv … room_n.csv and the status file in the folder, which is swapped in whole by
// the caller's Commit. Throws OutputError when a file cannot be written.
void WriteCsvFiles(AtomicFolder& folder, const zf::TzoneMath& zm, RunOutcome outcome, std::string_view error);

}  // namespace zf::project
