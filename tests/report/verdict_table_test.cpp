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
    zm.Iter = 1200;  // completed: the last step at 120 s
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
    // The legend's margin uses the factor of the header, not a letter the table never shows.
    EXPECT_TRUE(s.Legend.find("запас = 0,75·t_бл − (t_нэ + t_р), с") != std::string::npos) << s.Legend;
    const std::vector<std::string> room1(cells[1].begin() + 10, cells[1].end());
    EXPECT_EQ(room1, (std::vector<std::string>{"30", "37,5", "+7,5 с", "безопасно"}));
    const std::vector<std::string> room2(cells[2].begin() + 10, cells[2].end());
    EXPECT_EQ(room2, (std::vector<std::string>{"25", "22,5", "−2,5 с", "опасно"}));
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
    EXPECT_EQ(room1, (std::vector<std::string>{"—", "—", "—", "не проверено"}));
    EXPECT_EQ(cells[0][11], "0.8·t_бл");
    EXPECT_EQ(s.Verdict.Building, Verdict::Undetermined);
    EXPECT_EQ(s.BuildingLine, "Вывод по зданию: не определено — №3: время моделирования 120 с меньше требуемого "
                              "(t_нэ + t_р)/0,8 = 125 с (увеличьте время моделирования); не проверены (время "
                              "эвакуации не задано): №1, №2");

    inputs.Rooms[2] = EvacuationInput{40, 50};  // 90 ≤ 96
    EXPECT_EQ(SummaryWithVerdict(ThreeRooms(), inputs, ".").BuildingLine,
              "Вывод по зданию: безопасно — во всех помещениях с заданным временем эвакуации t_нэ + t_р ≤ 0.8·t_бл; "
              "не проверены (время эвакуации не задано): №1, №2");
}

// A "безопасно" over one room of many must say which rooms it leaves out: single rooms, pairs
// and runs of three or more (as a range), at the start, in the middle and at the end.
TEST(SummaryWithVerdict, BuildingLineNamesEveryRoomWithoutInputs) {
    const auto lineFor = [](int rooms, const std::vector<int>& withInputs) {
        zf::TzoneMath zm;
        for (int i = 0; i < rooms; ++i) zm.AddRoom(4, 5, 3);
        zm.SimTime = 120;
        zm.dt = 0.1;
        zm.Iter = 1200;
        EvacuationInputs inputs;
        inputs.Rooms.resize(static_cast<std::size_t>(rooms));
        for (int i : withInputs) inputs.Rooms[static_cast<std::size_t>(i - 1)] = EvacuationInput{1, 1};
        return SummaryWithVerdict(zm, inputs, ",").BuildingLine;
    };
    const std::string scope = "; не проверены (время эвакуации не задано): ";
    const std::string safe = "Вывод по зданию: безопасно — во всех помещениях с заданным временем эвакуации t_нэ + t_р ≤ 0,8·t_бл";
    EXPECT_EQ(lineFor(5, {2}), safe + scope + "№1, №3–№5");
    EXPECT_EQ(lineFor(7, {1, 4, 7}), safe + scope + "№2, №3, №5, №6");
    EXPECT_EQ(lineFor(6, {6}), safe + scope + "№1–№5");
    EXPECT_EQ(lineFor(3, {1, 2, 3}), safe);
    // Rooms beyond the inputs' list have none either.
    zf::TzoneMath zm = ThreeRooms();
    EvacuationInputs inputs;
    inputs.Rooms = {EvacuationInput{1, 1}};
    const VerdictSummary s = SummaryWithVerdict(zm, inputs, ",");
    EXPECT_EQ(s.Table.Cells()[3].back(), "не проверено");
    EXPECT_TRUE(s.BuildingLine.ends_with(scope + "№2, №3")) << s.BuildingLine;
}

// Every way a run falls short reads "не определено" with its reason, in the table and the line.
TEST(SummaryWithVerdict, StoppedFailedAndStepLessRunsAreUndeterminedWithTheReason) {
    EvacuationInputs inputs;
    inputs.Rooms = {EvacuationInput{1, 1}, EvacuationInput{5, 20}, std::nullopt};  // safe and unsafe when completed
    struct Case {
        void (*make)(zf::TzoneMath&);
        const char* reason;
    };
    const Case cases[] = {
        {[](zf::TzoneMath& zm) { zm.Stopped = true, zm.Iter = 412; }, "расчет остановлен на 41,2 с"},
        {[](zf::TzoneMath& zm) { zm.LastFault = {zf::FaultKind::Overflow, zf::Quantity::Density, 1, 0}, zm.Iter = 1; },
         "расчет прерван на шаге 1"},
        {[](zf::TzoneMath& zm) { zm.Iter = 0; }, "расчет не выполнил ни одного шага"},
    };
    for (const Case& c : cases) {
        zf::TzoneMath zm = ThreeRooms();
        c.make(zm);
        const VerdictSummary s = SummaryWithVerdict(zm, inputs, ",");
        const auto cells = s.Table.Cells();
        for (int room : {1, 2}) {
            EXPECT_EQ(cells[static_cast<std::size_t>(room)].back(), "не определено") << c.reason;
            EXPECT_EQ(cells[static_cast<std::size_t>(room)][12], "—") << c.reason;  // no margin
        }
        EXPECT_TRUE(s.BuildingLine.starts_with(std::string("Вывод по зданию: не определено — ") + c.reason))
            << s.BuildingLine;
    }
}
