// The summary with the verdict columns and the building's line, as the windows, the runner and
// the report show them.

#include <gtest/gtest.h>

#include "verdict_table.h"

using namespace zfreport;

namespace {

// Three rooms: room 1 blocked at 50 s by temperature and CO at once, room 2 at 30 s by
// visibility, room 3 never. Completed run of 120 s.
zf::TzoneMath ThreeRooms() {
    zf::TzoneMath zm;
    for (int i = 0; i < 3; ++i) zm.AddRoom(4, 5, 3);
    zm.SimTime = 120;
    zm.dt = 0.1;
    zm.Room(0).CritTimeT = 50;
    zm.Room(0).CritTimeCO = 50;
    zm.Room(0).CritTimeO2 = 70;
    zm.Room(1).CritTimeVis = 30;
    return zm;
}

}  // namespace

TEST(SummaryWithVerdict, WithoutInputsOnlyTheBlockingTimeAndFactor) {
    const VerdictSummary s = SummaryWithVerdict(ThreeRooms(), EvacuationInputs{}, ",");
    EXPECT_FALSE(s.WithEvacuation);
    EXPECT_EQ(s.VerdictColumn, -1);
    const auto cells = s.Table.Cells();
    ASSERT_EQ(cells.size(), 4u);
    EXPECT_EQ(cells[0], (std::vector<std::string>{"Помещение", "T", "O2", "Vis", "CO", "CO2", "HCl", "Rad", "t_бл",
                                                  "Определяющий ОФП"}));
    EXPECT_EQ(cells[1], (std::vector<std::string>{"Помещение №1", "50*", "70", "—", "50*", "—", "—", "—", "50",
                                                  "повышенная температура, оксид углерода"}));
    EXPECT_EQ(cells[2].back(), "потеря видимости в дыму");
    EXPECT_EQ(cells[3][8], "—");
    EXPECT_EQ(cells[3][9], "—");
    EXPECT_EQ(s.Verdict.Building, std::nullopt);
    EXPECT_TRUE(s.BuildingLine.starts_with("Вывод по зданию: не сделан")) << s.BuildingLine;
}

TEST(SummaryWithVerdict, EvacuationColumnsWithTheSafetyFactorInTheHeader) {
    EvacuationInputs inputs;
    inputs.SafetyFactor = 0.75;
    // Room 1: 30 ≤ 0,75·50 = 37,5; room 2: 25 > 22,5; room 3 none reached: 100 > 0,75·120.
    inputs.Rooms = {EvacuationInput{10, 20}, EvacuationInput{5, 20}, EvacuationInput{40, 60}};
    const VerdictSummary s = SummaryWithVerdict(ThreeRooms(), inputs, ",");
    ASSERT_TRUE(s.WithEvacuation);
    const auto cells = s.Table.Cells();
    ASSERT_EQ(cells[0].size(), 14u);
    EXPECT_EQ(s.VerdictColumn, 13);
    const std::vector<std::string> tail0(cells[0].begin() + 8, cells[0].end());
    EXPECT_EQ(tail0, (std::vector<std::string>{"t_бл", "Определяющий ОФП", "t_нэ + t_р", "0,75·t_бл", "Запас", "Вывод"}));
    const std::vector<std::string> room1(cells[1].begin() + 10, cells[1].end());
    EXPECT_EQ(room1, (std::vector<std::string>{"30", "37,5", "7,5", "безопасно"}));
    const std::vector<std::string> room2(cells[2].begin() + 10, cells[2].end());
    EXPECT_EQ(room2, (std::vector<std::string>{"25", "22,5", "-2,5", "опасно"}));
    const std::vector<std::string> room3(cells[3].begin() + 10, cells[3].end());
    EXPECT_EQ(room3, (std::vector<std::string>{"100", "—", "—", "не определено"}));
    // Unsafe outranks undetermined; the line names the deciding room.
    EXPECT_EQ(s.Verdict.Building, Verdict::Unsafe);
    EXPECT_EQ(s.BuildingLine, "Вывод по зданию: опасно — помещения №2: t_нэ + t_р > 0,75·t_бл");
}

TEST(SummaryWithVerdict, RoomWithoutInputsHasDashesUndeterminedLineAdvisesLongerRun) {
    EvacuationInputs inputs;
    inputs.Rooms = {std::nullopt, std::nullopt, EvacuationInput{40, 60}};  // 100 > 0,8·120
    const VerdictSummary s = SummaryWithVerdict(ThreeRooms(), inputs, ".");
    const auto cells = s.Table.Cells();
    const std::vector<std::string> room1(cells[1].begin() + 10, cells[1].end());
    EXPECT_EQ(room1, (std::vector<std::string>{"—", "—", "—", "—"}));
    EXPECT_EQ(cells[0][11], "0.8·t_бл");
    EXPECT_EQ(s.Verdict.Building, Verdict::Undetermined);
    EXPECT_NE(s.BuildingLine.find("не определено — помещения №3"), std::string::npos) << s.BuildingLine;
    EXPECT_NE(s.BuildingLine.find("увеличьте время моделирования"), std::string::npos) << s.BuildingLine;
    EXPECT_NE(s.BuildingLine.find("достиг 120 с"), std::string::npos) << s.BuildingLine;

    inputs.Rooms[2] = EvacuationInput{40, 50};  // 90 ≤ 96
    EXPECT_EQ(SummaryWithVerdict(ThreeRooms(), inputs, ".").BuildingLine,
              "Вывод по зданию: безопасно — во всех помещениях с заданным временем эвакуации t_нэ + t_р ≤ 0.8·t_бл");
}
