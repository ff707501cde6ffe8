// The writers: table layout, critical-time texts and order, number round trips, JSON and CSV.
// (The JSON's numbers against an in-process run are checked end to end in cli_run_test.cpp.)

#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <cstring>
#include <limits>
#include <sstream>

#include <nlohmann/json.hpp>

#include "result_writer.h"
#include "scenario_file.h"

using namespace zfcli;

namespace {

bool SameBits(double a, double b) { return std::memcmp(&a, &b, sizeof a) == 0; }

// Two rooms joined by a doorway, run to the end at a coarse step (a few milliseconds).
void RunTwoRooms(TzoneMath& zm, double simTime = 5) {
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

TEST(CriticalTimeText, ZeroIsNotReachedOthersAreSecondsWithoutBinaryNoise) {
    EXPECT_EQ(CriticalTimeText(0), "—");
    EXPECT_EQ(CriticalTimeText(55.730000000000004), "55.73");  // 5573 steps × 0.01 s
    EXPECT_EQ(CriticalTimeText(0.0001), "0.0001");
    EXPECT_EQ(CriticalTimeText(1234.5), "1234.5");
}

TEST(CriticalTimesCells, FollowTheResultsWindowsFactorOrder) {
    TzoneMath zm;
    zm.AddRoom(4, 5, 3);
    zm.AddRoom(4, 5, 3);
    TRoom& r = zm.Room(1);
    // Stored order: temperature, visibility, oxygen, CO, CO2, HCl, radiation.
    r.CritTimeT = 1, r.CritTimeVis = 2, r.CritTimeO2 = 3, r.CritTimeCO = 4;
    r.CritTimeCO2 = 5, r.CritTimeHCl = 6, r.CritTimeRad = 7;
    const auto cells = CriticalTimesCells(zm);
    ASSERT_EQ(cells.size(), 3u);
    EXPECT_EQ(cells[0], (std::vector<std::string>{"Помещение", "T", "O2", "Vis", "CO", "CO2", "HCl", "Rad"}));
    EXPECT_EQ(cells[1], (std::vector<std::string>{"Помещение №1", "—", "—", "—", "—", "—", "—", "—"}));
    EXPECT_EQ(cells[2], (std::vector<std::string>{"Помещение №2", "1", "3", "2", "4", "5", "6", "7"}));
}

TEST(NumberText, ReadsBackToTheSameDouble) {
    const double values[] = {0.1,
                             1.0 / 3,
                             0.15000000000000002,
                             364.81318541072469,
                             2.3e-05,
                             -0.0,
                             std::numeric_limits<double>::denorm_min(),
                             std::numeric_limits<double>::max(),
                             -std::numeric_limits<double>::min()};
    for (double v : values) {
        const std::string text = NumberText(v);
        EXPECT_EQ(text.find(','), std::string::npos) << text;
        EXPECT_TRUE(SameBits(std::strtod(text.c_str(), nullptr), v)) << text;
    }
}

TEST(SampleTime, IsTheMiddleOfTheSamplingInterval) {
    TzoneMath zm;
    zm.dt = 0.0001;
    zm.StepsPerSample = 1000;
    EXPECT_DOUBLE_EQ(SampleTime(zm, 0), 0.05);
    EXPECT_DOUBLE_EQ(SampleTime(zm, 1), 0.15);
    EXPECT_DOUBLE_EQ(SampleTime(zm, 1999), 199.95);
}

TEST(WriteJson, AFailedRunCarriesItsErrorAndNonFiniteSamplesAsNull) {
    TzoneMath zm;
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

TEST(WriteRoomCsv, HeaderAndOneRowOfFifteenNumbersPerSample) {
    TzoneMath zm;
    RunTwoRooms(zm);
    std::ostringstream out;
    WriteRoomCsv(out, zm, 1);
    std::istringstream lines(out.str());
    std::string line;
    std::getline(lines, line);
    EXPECT_EQ(line, "t,Fp,Gk,Yk,Ro2,T2,Gm,YkPred,Tw,Lw,O2w,qRad,COw,CO2w,HClw");
    int m = 0;
    while (std::getline(lines, line)) {
        std::vector<double> fields;
        std::istringstream row(line);
        for (std::string cell; std::getline(row, cell, ',');) fields.push_back(std::strtod(cell.c_str(), nullptr));
        ASSERT_EQ(fields.size(), 15u) << line;
        EXPECT_TRUE(SameBits(fields[0], SampleTime(zm, m)));
        for (int e = 0; e < ResultSample::kCount; ++e) EXPECT_TRUE(SameBits(fields[e + 1], zm.Room(1).Samples[m][e]));
        ++m;
    }
    EXPECT_EQ(m, zm.SampleCount);
}
