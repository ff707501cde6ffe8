#include "critical_times.h"

#include "number_format.h"
#include "verdict.h"
#include "model/room.h"

namespace zfreport {

std::string CriticalTimeText(double seconds, std::string_view decimalSeparator) {
    if (seconds == 0) return "—";
    return GeneralNumberText(seconds, decimalSeparator);
}

std::string RoomLabel(int index, std::string_view name) {
    std::string label = zf::RoomTitle(index);
    if (!name.empty()) label.append(" — ").append(name);
    return label;
}

std::string_view RoomNameOf(const std::vector<std::string>& names, int index) {
    return index >= 0 && static_cast<std::size_t>(index) < names.size() ? std::string_view(names[static_cast<std::size_t>(index)])
                                                                        : std::string_view();
}

std::vector<std::vector<std::string>> CriticalTimesTable::Cells() const {
    std::vector<std::vector<std::string>> cells{Header};
    for (const CriticalTimesRow& row : Rows) {
        std::vector<std::string> line{row.Room};
        line.insert(line.end(), row.Times.begin(), row.Times.end());
        line.insert(line.end(), row.Extra.begin(), row.Extra.end());
        cells.push_back(std::move(line));
    }
    return cells;
}

CriticalTimesTable CriticalTimesSummary(const zf::TzoneMath& zm, std::string_view decimalSeparator,
                                        const std::vector<std::string>& roomNames) {
    CriticalTimesTable table;
    table.Header.emplace_back("Помещение");
    table.Header.insert(table.Header.end(), kHazardShortNames.begin(), kHazardShortNames.end());
    for (int i = 0; i < zm.RoomCount(); ++i) {
        const std::array<double, zf::kHazardCount> times = CriticalTimesOf(*zm.Rooms[static_cast<std::size_t>(i)]);
        // The factors that block the room first carry the mark.
        const RoomVerdict blocking = JudgeRoom(times, RunReach{}, std::nullopt, kDefaultSafetyFactor);
        CriticalTimesRow row;
        row.Room = RoomLabel(i, RoomNameOf(roomNames, i));
        for (zf::HazardKind k : blocking.BlockingFactors) row.Earliest[k] = true;
        for (int k = 0; k < zf::kHazardCount; ++k) {
            row.Times[k] = CriticalTimeText(times[k], decimalSeparator);
            if (row.Earliest[k]) row.Times[k] += kEarliestMark;
        }
        table.Rows.push_back(std::move(row));
    }
    return table;
}

}  // namespace zfreport
