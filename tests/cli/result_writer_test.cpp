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

using namespace zf::project;
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
                  "t_нэ + t_р — время начала эвакуации и время эвакуации, с; запас = 0.8·t_бл − (t_нэ + t_р), с, в меньшую "
                  "сторону до 0.1 с, только при выводе «безопасно» или «опасно»"
                  "\nВывод по зданию: не сделан — время начала эвакуации t_нэ и время эвакуации t_р не заданы ни для "
                  "одного помещения\n");
}

TEST(CriticalTimesReport, VerdictColumnsAndTheBuildingsLineWithEvacuationInputs) {
    zf::TzoneMath zm;
    zm.AddRoom(4, 5, 3);
    zm.AddRoom(4, 5, 3);
    zm.SimTime = 60;
    zm.dt = 0.5;
    zm.Iter = 120;  // completed at 60 s
    zm.Room(1).CritTimeT = 55.730000000000004;
    zm.Room(1).CritTimeVis = 12.5;
    zfreport::EvacuationInputs inputs;
    inputs.Rooms = {zfreport::EvacuationInput{10, 20}, zfreport::EvacuationInput{3, 7}};
    const std::string text = CriticalTimesReport(zm, inputs);
    // Room 1 reached nothing: 30 ≤ 0.8·60; room 2: 10 ≤ 0.8·12.5 = 10, a tie is safe.
    EXPECT_NE(text.find("t_нэ + t_р  0.8·t_бл  Запас      Вывод\n"), std::string::npos) << text;
    EXPECT_NE(text.find("—          30         —      —  безопасно\n"), std::string::npos) << text;
    EXPECT_NE(text.find("12.5  потеря видимости в дыму          10        10  0.0 с  безопасно\n"), std::string::npos)
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

// Each factor's time under its own name, in the order the JSON has always had (visibility
// before oxygen): a distinct time per member catches a factor read from another's.
TEST(WriteJson, CriticalTimesUnderTheirNames) {
    zf::TzoneMath zm;
    RunTwoRooms(zm);
    zf::TRoom& r = zm.Room(1);
    r.CritTimeT = 1, r.CritTimeVis = 2, r.CritTimeO2 = 3, r.CritTimeCO = 4;
    r.CritTimeCO2 = 5, r.CritTimeHCl = 6, r.CritTimeRad = 7.5;
    std::ostringstream out;
    WriteJson(out, zm, RunOutcome::Completed, "");
    EXPECT_NE(out.str().find(R"("number": 2,)" "\n"
                             R"(   "critical_times": {"T": 1, "Vis": 2, "O2": 3, "CO": 4, "CO2": 5, "HCl": 6, "Rad": 7.5})"),
              std::string::npos)
        << out.str().substr(0, 600);
}

// 0 in a room means "not reached"; the file writes null, for 0 would read "reached at once".
// The file opens with its format and version, which says so.
TEST(WriteJson, ACriticalTimeNeverReachedIsNullUnderVersionTwo) {
    zf::TzoneMath zm;
    RunTwoRooms(zm);
    zf::TRoom& r = zm.Room(1);
    r.CritTimeT = 0, r.CritTimeVis = 2, r.CritTimeO2 = 0, r.CritTimeCO = 0;
    r.CritTimeCO2 = 0, r.CritTimeHCl = 0, r.CritTimeRad = 0;
    std::ostringstream out;
    WriteJson(out, zm, RunOutcome::Completed, "");
    EXPECT_TRUE(out.str().starts_with(R"({"format": "zonefire-result", "version": 2,)")) << out.str().substr(0, 200);
    EXPECT_NE(out.str().find(R"("number": 2,)" "\n"
                             R"(   "critical_times": {"T": null, "Vis": 2, "O2": null, "CO": null, "CO2": null, "HCl": null, "Rad": null})"),
              std::string::npos)
        << out.str().substr(0, 600);
}

// An undetermined verdict carries its reason, for the room and the building; the margin only
// stands beside "safe" or "unsafe".
TEST(WriteJson, AStoppedRunIsUndeterminedWithItsReasonAndNoMargin) {
    zf::TzoneMath zm;
    RunTwoRooms(zm);
    zm.Room(0).CritTimeT = 1;
    zm.Stopped = true;
    zm.Iter = 10;
    zfreport::EvacuationInputs inputs;
    inputs.Rooms = {zfreport::EvacuationInput{1, 1}};
    std::ostringstream out;
    WriteJson(out, zm, RunOutcome::Stopped, "", inputs);
    const std::string text = out.str();
    const std::string reason = zfreport::RunShortfall(zfreport::RunReachOf(zm));
    EXPECT_NE(text.find(R"("evacuation_verdict": "undetermined", "evacuation_verdict_reason": ")" + reason + '"'),
              std::string::npos)
        << text.substr(0, 400);
    EXPECT_NE(text.find(R"("margin": null, "verdict": "undetermined", "reason": ")" + reason + '"'), std::string::npos)
        << text.substr(0, 900);
}

// ---- How a failed run is told: at its step, or not started at all -----------------------------

namespace {

// The two rooms with inputs the window's check would refuse, run anyway: a zero step gives no
// step count, and the run fails before its first step.
bool RunNotStarted(zf::TzoneMath& zm) {
    RunTwoRooms(zm);
    zm.dt = 0;
    return zm.Run();
}

}  // namespace

TEST(FailedRun, BeforeItsFirstStepSaysItWasNotStartedWithoutStepCounts) {
    zf::TzoneMath zm;
    const bool result = RunNotStarted(zm);
    const RunOutcome outcome = OutcomeOf(result, zm);
    ASSERT_EQ(outcome, RunOutcome::Failed);
    EXPECT_TRUE(FailedBeforeFirstStep(outcome, zm));
    EXPECT_EQ(OutcomeLine(outcome, zm), "Расчет не начат: ошибка при подготовке, ни один шаг не выполнен.");
    const std::string error = zf::DescribeFault(zm.LastFault);
    const std::string message = FailureMessage(zm, error);
    EXPECT_TRUE(message.starts_with("Ошибка при подготовке расчета, расчет не начат!\n")) << message;
    EXPECT_TRUE(message.ends_with(error)) << message;
    EXPECT_EQ(message.find("итерации"), std::string::npos) << message;
    // The status file and the JSON still call it a failure, as before.
    EXPECT_TRUE(StatusText(outcome, zm, error).starts_with("failed\nРасчет не начат: ")) << StatusText(outcome, zm, error);
    std::ostringstream out;
    WriteJson(out, zm, outcome, error);
    const auto doc = nlohmann::json::parse(out.str());
    EXPECT_EQ(doc["completed"], false);
    EXPECT_EQ(doc["stopped"], false);
    EXPECT_EQ(doc["iter"], 0);
    EXPECT_EQ(doc["error"], error);
}

TEST(FailedRun, InAStepNamesTheStepAndTheSteps) {
    zf::TzoneMath zm;
    RunTwoRooms(zm);
    zm.dt = 0.3;  // longer than the recording interval of 0.1 s: step 1 fails
    const RunOutcome outcome = OutcomeOf(zm.Run(), zm);
    ASSERT_EQ(outcome, RunOutcome::Failed);
    EXPECT_FALSE(FailedBeforeFirstStep(outcome, zm));
    EXPECT_EQ(OutcomeLine(outcome, zm), "Расчет прерван ошибкой на шаге 1 из 16.");
    EXPECT_EQ(FailureMessage(zm, "x"), "Ошибка при выполнении расчета!\n(на итерации №1)\nx");
    // Stopped or completed runs are never "not started", whatever their step.
    zm.Iter = 0;
    EXPECT_FALSE(FailedBeforeFirstStep(RunOutcome::Stopped, zm));
    EXPECT_FALSE(FailedBeforeFirstStep(RunOutcome::Completed, zm));
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
