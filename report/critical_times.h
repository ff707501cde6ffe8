#pragma once
// The summary of a finished run: every room's critical time of each of the seven hazard
// factors, with each room's earliest one marked. The results window shows it as a table and
// the headless runner prints it, both from CriticalTimesSummary.

#include <array>
#include <string>
#include <string_view>
#include <vector>

#include "model/scenario.h"

namespace zfreport {

// Short column headers of the seven hazard factors, in the results window's order (zf::HazardKind).
inline constexpr std::array<std::string_view, zf::kHazardCount> kHazardShortNames = {"T",   "O2",  "Vis", "CO",
                                                                                 "CO2", "HCl", "Rad"};

// Appended to the earliest critical time of a room: the factor that cuts people off first.
inline constexpr std::string_view kEarliestMark = "*";

// Printed under the summary.
inline constexpr std::string_view kCriticalTimesLegend =
    "Время, с; «*» — наименьшее из критических времен помещения; «—» — критическое значение не достигнуто";

// A critical time for people: "—" for 0 (the limit was not reached), otherwise the seconds in
// the general number format with the given decimal separator.
std::string CriticalTimeText(double seconds, std::string_view decimalSeparator = ".");

// A room as tables and exports name it: "Помещение №2", or with the engineer's name for it
// "Помещение №2 — Коридор".
std::string RoomLabel(int index, std::string_view name);

// The name of room `index` among `names`, empty when it has none.
std::string_view RoomNameOf(const std::vector<std::string>& names, int index);

struct CriticalTimesRow {
    std::string Room;                                // "Помещение №1", "Помещение №2 — Коридор", ...
    std::array<std::string, zf::kHazardCount> Times;     // texts by zf::HazardKind, the earliest marked
    std::array<bool, zf::kHazardCount> Earliest{};       // which of them carry the mark
    std::vector<std::string> Extra;                  // further columns after the seven (the verdict's)
};

struct CriticalTimesTable {
    std::vector<std::string> Header;      // "Помещение", then kHazardShortNames, then the extra columns'
    std::vector<CriticalTimesRow> Rows;   // one per room, in room order

    // The header and the rows as one grid of texts, header first.
    std::vector<std::vector<std::string>> Cells() const;
};

// The summary of the scenario's rooms. In each room the smallest reached critical time is
// marked (every factor that reaches its limit at that time); a room that reached none has no
// mark. Rooms are labelled with their names where `roomNames` (by room) gives one.
CriticalTimesTable CriticalTimesSummary(const zf::TzoneMath& zm, std::string_view decimalSeparator = ".",
                                        const std::vector<std::string>& roomNames = {});

}  // namespace zfreport
