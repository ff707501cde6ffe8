#pragma once
// The critical-times summary with the evacuation verdict beside it, in the same words and
// numbers for the summary window, the runner's table and the PDF report: per room the blocking
// time t_бл and the factor that governs it; with evacuation inputs also t_нэ + t_р, f·t_бл,
// the margin and the verdict; under the table one line with the building's verdict.

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "critical_times.h"
#include "verdict.h"

namespace zfreport {

// Explains the verdict columns; printed under the critical-times legend.
inline constexpr std::string_view kVerdictLegend =
    "t_бл — время блокирования путей эвакуации: наименьшее из критических времен помещения, с; "
    "t_нэ + t_р — время начала эвакуации и время эвакуации, с; запас = f·t_бл − (t_нэ + t_р), с";

// The governing factors in words, joined by ", "; "—" when none was reached.
std::string BlockingFactorsText(const std::vector<zf::HazardKind>& factors);

// A time [s] for the verdict columns: "—" when there is none, else rounded to the microsecond
// in the general number format.
std::string OptionalTimeText(const std::optional<double>& seconds, std::string_view decimalSeparator);

// The header of the safety-share column, "0,8·t_бл" for f = 0,8.
std::string AllowedHeader(double safetyFactor, std::string_view decimalSeparator);

// "Вывод по зданию: ...": the building's verdict with the rooms that decide it, the advice
// for an undetermined one, or that no evacuation inputs were given.
std::string BuildingVerdictLine(const RunVerdict& verdict, std::string_view decimalSeparator);

struct VerdictSummary {
    // The critical times, then per row t_бл and the governing factors, and with evacuation
    // inputs four more: t_нэ + t_р, f·t_бл, margin and the verdict (in CriticalTimesRow::Extra).
    CriticalTimesTable Table;
    bool WithEvacuation = false;  // the four evacuation columns are there
    int VerdictColumn = -1;       // the verdict's column in Cells() (-1 without it)
    RunVerdict Verdict;           // what the texts say, for colouring and for other writers
    std::string BuildingLine;     // BuildingVerdictLine
    std::string Legend;           // the critical-times legend and the verdict legend, "; "-joined
};

// The summary of a finished run (its critical times read in place) judged with the inputs;
// rooms labelled with their names where `roomNames` gives one (see RoomLabel).
VerdictSummary SummaryWithVerdict(const zf::TzoneMath& zm, const EvacuationInputs& inputs,
                                  std::string_view decimalSeparator = ".", const std::vector<std::string>& roomNames = {});

}  // namespace zfreport
