#pragma once
// What the headless runner makes of a finished run: the table of critical times, the line
// saying how the run ended, the whole result as JSON and one CSV file per room. Every writer
// reads the scenario in place after Run, like the results window does.

#include <array>
#include <filesystem>
#include <optional>
#include <ostream>
#include <string>
#include <string_view>
#include <vector>

#include "zone_math.h"

namespace zfcli {

enum class RunOutcome {
    Completed,  // every step computed
    Stopped,    // stopped at a refresh (Ctrl-C)
    Failed,     // an arithmetic fault ended the run
};

// How a run ended, from Run's result and the scenario's Stopped flag.
RunOutcome OutcomeOf(bool runResult, const TzoneMath& zm);

// Short column headers of the seven hazard factors, in the results window's order (HazardKind).
inline constexpr std::array<std::string_view, kHazardCount> kHazardShortNames = {"T",   "O2",  "Vis", "CO",
                                                                                 "CO2", "HCl", "Rad"};

// Number of samples every room holds after the run (SampleCount, or fewer if the run ended
// before it sized them).
int RecordedSampleCount(const TzoneMath& zm);

// Time of sample m [s]: the middle of its sampling interval, as the results window shows it.
double SampleTime(const TzoneMath& zm, int m);

// The shortest text that reads back to the same double ("0.05", "1e-05"); decimal point
// whatever the locale; non-finite values as "nan", "inf", "-inf".
std::string NumberText(double v);

// A critical time for people: seconds with up to 15 significant digits, "—" for 0 (not reached).
std::string CriticalTimeText(double seconds);

// The critical-times table as cells: a header row ("Помещение", "T", "O2", ...), then one row
// per room ("Помещение №1", seven times). Callers may mark cells before laying it out.
std::vector<std::vector<std::string>> CriticalTimesCells(const TzoneMath& zm);

// Lays out rows of cells as text: each column as wide as its widest cell in characters (UTF-8
// aware), the first column left-aligned, the others right-aligned, two spaces between.
std::string FormatTable(const std::vector<std::vector<std::string>>& rows);

// One line saying whether the run completed, was stopped or failed, and at which step.
std::string OutcomeLine(RunOutcome outcome, const TzoneMath& zm);

// The whole result as one JSON object: outcome, counts, sample times and, per room, the
// critical times and the 14 sample series. `error` is written (for a failed run) when not
// empty. Numbers read back to the same double; a non-finite sample is written as null.
void WriteJson(std::ostream& out, const TzoneMath& zm, RunOutcome outcome, std::string_view error);

// One room's samples as CSV: header "t,Fp,...,HClw", one row per sample (room 0-based).
void WriteRoomCsv(std::ostream& out, const TzoneMath& zm, int room);

// room_1.csv ... room_n.csv in `dir`, which must exist. Returns a message when a file cannot
// be written.
std::optional<std::string> WriteCsvFiles(const std::filesystem::path& dir, const TzoneMath& zm);

}  // namespace zfcli
