#include "critical_times.h"

#include <algorithm>
#include <cmath>
#include <limits>

#include "number_format.h"

namespace zfreport {

std::string CriticalTimeText(double seconds, std::string_view decimalSeparator) {
    if (seconds == 0) return "—";
    return GeneralNumberText(seconds, decimalSeparator);
}

std::vector<std::vector<std::string>> CriticalTimesTable::Cells() const {
    std::vector<std::vector<std::string>> cells{Header};
    for (const CriticalTimesRow& row : Rows) {
        std::vector<std::string> line{row.Room};
        line.insert(line.end(), row.Times.begin(), row.Times.end());
        cells.push_back(std::move(line));
    }
    return cells;
}

CriticalTimesTable CriticalTimesSummary(const zf::TzoneMath& zm, std::string_view decimalSeparator) {
    CriticalTimesTable table;
    table.Header.emplace_back("Помещение");
    table.Header.insert(table.Header.end(), kHazardShortNames.begin(), kHazardShortNames.end());
    for (int i = 0; i < zm.RoomCount(); ++i) {
        const zf::TRoom& room = *zm.Rooms[static_cast<std::size_t>(i)];
        std::array<double, zf::kHazardCount> times{};
        // 0 is "not reached", not the earliest.
        double earliest = std::numeric_limits<double>::infinity();
        for (int k = 0; k < zf::kHazardCount; ++k) {
            times[k] = room.CritTimeOf(static_cast<zf::HazardKind>(k));
            if (times[k] != 0 && std::isfinite(times[k])) earliest = std::min(earliest, times[k]);
        }
        CriticalTimesRow row;
        row.Room = "Помещение №" + std::to_string(i + 1);
        for (int k = 0; k < zf::kHazardCount; ++k) {
            row.Earliest[k] = times[k] == earliest;
            row.Times[k] = CriticalTimeText(times[k], decimalSeparator);
            if (row.Earliest[k]) row.Times[k] += kEarliestMark;
        }
        table.Rows.push_back(std::move(row));
    }
    return table;
}

}  // namespace zfreport
