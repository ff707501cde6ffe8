// The runner with the model options: the heat-loss results and the warning in the JSON and
// the summary, and the step check (--check-step) end to end.

#include <gtest/gtest.h>

#include <filesystem>

#include <nlohmann/json.hpp>

#include "subprocess.h"
#include "test_files.h"

namespace fs = std::filesystem;
using nlohmann::json;

namespace {

const std::string kCli = ZONEFIRE_CLI;
const fs::path kExamples = ZONEFIRE_EXAMPLES;
using zftest::ReadFile;
using zftest::TempDir;
using zftest::WriteFile;

// The two-room example: its second room ends hotter than the fire room in the reference model.
TEST(RunnerOptions, AWarmerRoomThanTheFireRoomIsWarnedOfInTheSummaryAndTheJson) {
    TempDir dir;
    const ChildResult run = RunChild(kCli, {(kExamples / "two_rooms_dt001.json").string(), "--json", (dir / "out.json").string()});
    ASSERT_EQ(run.ExitCode, 0) << run.Err;
    EXPECT_NE(run.Out.find("Внимание: В помещении №2 температура верхнего слоя"), std::string::npos) << run.Out;
    const json doc = json::parse(ReadFile(dir / "out.json"));
    ASSERT_TRUE(doc.contains("warnings"));
    EXPECT_NE(doc["warnings"][0].get<std::string>().find("consistent_outflow"), std::string::npos);
    EXPECT_FALSE(doc.contains("guard_energy_fraction"));  // no heat-loss keys: nothing of theirs
    EXPECT_FALSE(doc["rooms"][0].contains("heat_lost_J"));
}

TEST(RunnerOptions, HeatLossWritesTheHeatLostPerRoomAndTheGuardsShare) {
    json scenario = json::parse(ReadFile(kExamples / "two_rooms_dt001.json"));
    scenario["SimTime"] = 60;
    scenario["heat_loss"] = {{"walls", {{"material", "concrete"}, {"thickness", 0.2}}}};
    scenario["consistent_outflow"] = true;
    TempDir dir;
    WriteFile(dir / "in.json", scenario.dump());
    const ChildResult run = RunChild(kCli, {(dir / "in.json").string(), "--json", (dir / "out.json").string()});
    ASSERT_EQ(run.ExitCode, 0) << run.Err;
    const json doc = json::parse(ReadFile(dir / "out.json"));
    ASSERT_TRUE(doc.contains("guard_energy_fraction"));
    EXPECT_GE(doc["guard_energy_fraction"].get<double>(), 0);
    EXPECT_GT(doc["rooms"][0]["heat_lost_J"].get<double>(), 0);
    EXPECT_TRUE(doc["rooms"][1].contains("heat_lost_J"));
}

TEST(RunnerOptions, CheckStepReportsEveryRoomAndFactorAndWritesItsCsv) {
    json scenario = json::parse(ReadFile(kExamples / "two_rooms_dt001.json"));
    scenario["SimTime"] = 120;
    TempDir dir;
    WriteFile(dir / "in.json", scenario.dump());
    const ChildResult run = RunChild(kCli, {"--check-step", (dir / "in.json").string(), "--csv", (dir / "check.csv").string()});
    ASSERT_TRUE(run.ExitCode == 0 || run.ExitCode == 5) << run.Err;
    EXPECT_NE(run.Out.find(run.ExitCode == 0 ? "достаточен" : "слишком велик"), std::string::npos) << run.Out;
    EXPECT_NE(run.Out.find("t при шаге 0,005 с"), std::string::npos) << run.Out;
    const std::string csv = ReadFile(dir / "check.csv");
    EXPECT_EQ(csv.rfind("case,room,factor,t_dt_s,t_half_dt_s,shift,too_large\n", 0), 0u) << csv;
    EXPECT_NE(csv.find(",2,t_бл,"), std::string::npos) << csv;

    // The five NBS rooms at dt 0.1 s: the target room's oxygen time moves by 10 %.
    json nbs = json::parse(ReadFile(fs::path(ZONEFIRE_VALIDATION_CASES) / "NBS_MV100Z.json"));
    nbs["dt"] = 0.1;
    WriteFile(dir / "coarse.json", nbs.dump());
    const ChildResult coarse = RunChild(kCli, {"--check-step", (dir / "coarse.json").string()});
    EXPECT_EQ(coarse.ExitCode, 5) << coarse.Out << coarse.Err;
    EXPECT_NE(coarse.Out.find("слишком велик"), std::string::npos) << coarse.Out;
    EXPECT_EQ(RunChild(kCli, {"--check-step"}).ExitCode, 2);
}

}  // namespace
