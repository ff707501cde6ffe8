// The runner's writers: table layout, the printed summary and JSON. (Number texts, the room CSV
// and the summary's cells are tested with the shared writers in tests/report; the JSON's
// numbers against an in-process run end to end in cli_run_test.cpp.)

#include <gtest/gtest.h>

#include <limits>
#include <sstream>

#include <nlohmann/json.hpp>

#include "result_writer.h"
#include "project/scenario_file.h"
#include "verdict_table.h"

using namespace zfcli;
using zf::project::ReadScenario;

namespace {

// Two rooms joined by a doorway, run to the end at a coarse step (a few milliseconds).
void RunTwoRooms(zf::TzoneMath& zm, double simTime = 5) {
    const std::string text = R"({"dt": 0.01, "SimTime": )" + std::to_string(simTime) +
                             R"(, "rooms": [{"length": 5, "width": 4, "height": 3}, {"length": 6, "width": 5, "height": 3}],
        "openings": [{"rooms": [1, 2]}]})";
    ASSERT_EQ(ReadScenario(text, zm), std::nullopt);
    ASSERT_TRUE(zm.Run());
}

}  // namespace

TEST(FormatTable, AlignsColumnsByCharactersNotBytes) {
    const std::string text = FormatTable({{"Помещение", "T", "Vis"}, {"Помещение №10", "55.73", "—"}, {"x", "—", "7"}});
    EXPECT_EQ(text,
              "Помещение          T  Vis\n"
              "Помещение №10  55.73    —\n"
              "x                  —    7\n");
}

TEST(CriticalTimesReport, TheSummaryAsATableAndItsLegend) {
    zf::TzoneMath zm;
    zm.AddRoom(4, 5, 3);
    zm.AddRoom(4, 5, 3);
    zm.Room(1).CritTimeT = 55.730000000000004;
    zm.Room(1).CritTimeVis = 12.5;
    EXPECT_EQ(CriticalTimesReport(zm),
              "Помещение         T  O2    Vis  CO  CO2  HCl  Rad  t_бл         Определяющий ОФП\n"
              "Помещение №1      —   —      —   —    —    —    —     —                        —\n"
              "Помещение №2  55.73   —  12.5*   —    —    —    —  12.5  потеря видимости в дыму\n"
              "Время, с; «*» — наименьшее из критических времен помещения; «—» — критическое значение не достигнуто\n"
              "t_бл — время блокирования путей эвакуации: наименьшее из критических времен помещения, с; "
                  "t_нэ + t_р — время начала эвакуации и время эвакуации, с; запас = 0.8·t_бл − (t_нэ + t_р), с"
                  "\nВывод по зданию: не сделан — время начала эвакуации t_нэ и время эвакуации t_р не заданы ни для "
                  "одного помещения\n");
}

TEST(CriticalTimesReport, VerdictColumnsAndTheBuildingsLineWithEvacuationInputs) {
    zf::TzoneMath zm;
    zm.AddRoom(4, 5, 3);
    zm.AddRoom(4, 5, 3);
    zm.SimTime = 60;
    zm.Room(1).CritTimeT = 55.730000000000004;
    zm.Room(1).CritTimeVis = 12.5;
    zfreport::EvacuationInputs inputs;
    inputs.Rooms = {zfreport::EvacuationInput{10, 20}, zfreport::EvacuationInput{3, 7}};
    const std::string text = CriticalTimesReport(zm, inputs);
    // Room 1 reached nothing: 30 ≤ 0.8·60; room 2: 10 ≤ 0.8·12.5 = 10, a tie is safe.
    EXPECT_NE(text.find("t_нэ + t_р  0.8·t_бл  Запас      Вывод\n"), std::string::npos) << text;
    EXPECT_NE(text.find("—          30         —      —  безопасно\n"), std::string::npos) << text;
    EXPECT_NE(text.find("12.5  потеря видимости в дыму          10        10      0  безопасно\n"), std::string::npos)
        << text;
    EXPECT_TRUE(text.ends_with("Вывод по зданию: безопасно — во всех помещениях с заданным временем эвакуации "
                               "t_нэ + t_р ≤ 0.8·t_бл\n"))
        << text;
}

TEST(WriteJson, AFailedRunCarriesItsErrorAndNonFiniteSamplesAsNull) {
    zf::TzoneMath zm;
    RunTwoRooms(zm);
    zm.Room(0).Samples[3].T2 = std::numeric_limits<double>::quiet_NaN();
    zm.Room(1).Samples[4].Gm = std::numeric_limits<double>::infinity();
    std::ostringstream out;
    const std::string error = "Плотность \"газа\"\nстала\tбольше \\ воздуха";
    WriteJson(out, zm, RunOutcome::Failed, error);
    const auto doc = nlohmann::json::parse(out.str());
    EXPECT_EQ(doc["completed"], false);
    EXPECT_EQ(doc["stopped"], false);
    EXPECT_EQ(doc["error"], error);
    EXPECT_TRUE(doc["rooms"][0]["samples"]["T2"][3].is_null());
    EXPECT_TRUE(doc["rooms"][1]["samples"]["Gm"][4].is_null());
    EXPECT_TRUE(doc["rooms"][1]["samples"]["Gm"][3].is_number());
}

// Named rooms: the table labels them "Помещение №N — name", with anything that would steer a
// terminal or break the table's line escaped; the JSON carries "name" for them alone.
TEST(RoomNames, LabelTheTableRowsAndComeInTheJsonOfNamedRoomsOnly) {
    zf::TzoneMath zm;
    RunTwoRooms(zm);
    const std::vector<std::string> names = {"Кабинет\n\x1b[31m", ""};
    const std::string table = CriticalTimesReport(zm, {}, names);
    EXPECT_NE(table.find("\nПомещение №1 — Кабинет\\x0a\\x1b[31m "), std::string::npos) << table;
    EXPECT_NE(table.find("\nПомещение №2 "), std::string::npos) << table;
    EXPECT_EQ(table.find('\x1b'), std::string::npos);
    // Without names the table is the one printed before names existed.
    EXPECT_EQ(CriticalTimesReport(zm, {}, {}), CriticalTimesReport(zm));

    std::ostringstream out;
    WriteJson(out, zm, RunOutcome::Completed, "", {}, names);
    const auto doc = nlohmann::json::parse(out.str());
    EXPECT_EQ(doc["rooms"][0]["name"], names[0]);
    EXPECT_EQ(doc["rooms"][0]["number"], 1);
    EXPECT_FALSE(doc["rooms"][1].contains("name"));
    std::ostringstream unnamed;
    WriteJson(unnamed, zm, RunOutcome::Completed, "");
    EXPECT_FALSE(nlohmann::json::parse(unnamed.str())["rooms"][0].contains("name"));
}
