// The summary of critical times: factor order, texts, and the mark on each room's earliest.

#include <gtest/gtest.h>

#include <array>
#include <ostream>

#include "critical_times.h"

using namespace zfreport;

namespace {

// Sets a room's critical times given in the summary's order (HazardKind), which is not the
// order the room stores them in.
void SetTimes(zf::TRoom& room, const std::array<double, zf::kHazardCount>& byKind) {
    room.CritTimeT = byKind[zf::hkTemperature];
    room.CritTimeO2 = byKind[zf::hkOxygen];
    room.CritTimeVis = byKind[zf::hkVisibility];
    room.CritTimeCO = byKind[zf::hkCO];
    room.CritTimeCO2 = byKind[zf::hkCO2];
    room.CritTimeHCl = byKind[zf::hkHCl];
    room.CritTimeRad = byKind[zf::hkRadiation];
}

}  // namespace

TEST(CriticalTimesSummary, RoomsInOrderFactorsInTheResultsWindowsOrder) {
    zf::TzoneMath zm;
    zm.AddRoom(4, 5, 3);
    zm.AddRoom(4, 5, 3);
    zf::TRoom& r = zm.Room(1);
    // Stored order: temperature, visibility, oxygen, CO, CO2, HCl, radiation.
    r.CritTimeT = 11, r.CritTimeVis = 12, r.CritTimeO2 = 13, r.CritTimeCO = 14;
    r.CritTimeCO2 = 15, r.CritTimeHCl = 16, r.CritTimeRad = 17;
    const auto cells = CriticalTimesSummary(zm).Cells();
    ASSERT_EQ(cells.size(), 3u);
    EXPECT_EQ(cells[0], (std::vector<std::string>{"Помещение", "T", "O2", "Vis", "CO", "CO2", "HCl", "Rad"}));
    EXPECT_EQ(cells[1], (std::vector<std::string>{"Помещение №1", "—", "—", "—", "—", "—", "—", "—"}));
    EXPECT_EQ(cells[2], (std::vector<std::string>{"Помещение №2", "11*", "13", "12", "14", "15", "16", "17"}));
}

// Which factors of one room carry the mark.
struct Earliest {
    const char* name;
    std::array<double, zf::kHazardCount> times;    // by HazardKind
    std::array<bool, zf::kHazardCount> marked;
};
void PrintTo(const Earliest& c, std::ostream* os) { *os << c.name; }
class EarliestMark : public testing::TestWithParam<Earliest> {};

TEST_P(EarliestMark, OnTheSmallestReachedTimeOnly) {
    const Earliest c = GetParam();
    zf::TzoneMath zm;
    zm.AddRoom(4, 5, 3);
    SetTimes(zm.Room(0), c.times);
    const CriticalTimesRow row = CriticalTimesSummary(zm).Rows.at(0);
    EXPECT_EQ(row.Earliest, c.marked);
    for (int k = 0; k < zf::kHazardCount; ++k) {
        const bool hasMark = row.Times[k].ends_with(kEarliestMark);
        EXPECT_EQ(hasMark, c.marked[k]) << "factor " << k << ": " << row.Times[k];
    }
}

INSTANTIATE_TEST_SUITE_P(
    Rooms, EarliestMark,
    testing::Values(
        Earliest{"FirstFactor", {5, 6, 7, 8, 9, 10, 11}, {true, false, false, false, false, false, false}},
        // 0 means "not reached": smaller than every time, but never the earliest.
        Earliest{"ZeroIsNotEarliest", {0, 9, 0, 3.5, 0, 4, 0}, {false, false, false, true, false, false, false}},
        Earliest{"LastFactor", {9, 8, 7, 6, 5, 4, 0.01}, {false, false, false, false, false, false, true}},
        Earliest{"TiesAllMarked", {2, 3, 2, 0, 0, 0, 0}, {true, false, true, false, false, false, false}},
        Earliest{"NothingReached", {0, 0, 0, 0, 0, 0, 0}, {false, false, false, false, false, false, false}}),
    [](const testing::TestParamInfo<Earliest>& info) { return std::string(info.param.name); });

// A room the engineer named carries its name after its number; a room without one, or beyond
// the names given, reads as it always did.
TEST(CriticalTimesSummary, NamedRoomsCarryTheirNamesTheOthersTheirNumberOnly) {
    zf::TzoneMath zm;
    for (int i = 0; i < 4; ++i) zm.AddRoom(4, 5, 3);
    const std::vector<std::string> names = {"Кабинет", "", "Коридор"};
    std::vector<std::string> rooms;
    for (const CriticalTimesRow& row : CriticalTimesSummary(zm, ",", names).Rows) rooms.push_back(row.Room);
    EXPECT_EQ(rooms, (std::vector<std::string>{"Помещение №1 — Кабинет", "Помещение №2", "Помещение №3 — Коридор",
                                               "Помещение №4"}));
    EXPECT_EQ(CriticalTimesSummary(zm, ",", names).Cells()[0][0], "Помещение");
    EXPECT_EQ(RoomLabel(11, ""), "Помещение №12");
    EXPECT_EQ(RoomNameOf(names, -1), "");
    EXPECT_EQ(RoomNameOf(names, 3), "");
}
