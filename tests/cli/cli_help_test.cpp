// What the runner says of itself: the version with the model options built in, where the guide
// is, the fire-load library, and the program's version in the result file.

#include <gtest/gtest.h>

#include <cmath>
#include <iterator>
#include <string>

#include <nlohmann/json.hpp>

#include "model/constants.h"
#include "model/inputs.h"
#include "project/element_inputs.h"
#include "project/fire_loads.h"
#include "project/program_info.h"
#include "subprocess.h"
#include "test_files.h"

namespace {

const std::string kCli = ZONEFIRE_CLI;

TEST(CliVersion, GivesTheVersionSetInTheBuildAndEveryModelOption) {
    const ChildResult version = RunChild(kCli, {"--version"});
    ASSERT_EQ(version.ExitCode, 0);
    EXPECT_EQ(version.Out.rfind("zonefire-cli " + std::string(zf::project::ProgramVersion()) + "\n", 0), 0u) << version.Out;
    EXPECT_EQ(zf::project::ProgramVersion(), PROJECT_VERSION_FROM_CMAKE);
    ASSERT_FALSE(zf::project::ModelOptions().empty());
    for (const zf::project::ModelOption& option : zf::project::ModelOptions())
        EXPECT_NE(version.Out.find("  " + std::string(option.Key) + " — "), std::string::npos) << option.Key;
    EXPECT_NE(version.Out.find("GPL-3.0-or-later"), std::string::npos);
    EXPECT_TRUE(version.Err.empty()) << version.Err;
}

TEST(CliHelp, SaysWhereTheGuideTheExamplesAndTheFireLoadsAre) {
    const ChildResult help = RunChild(kCli, {"--help"});
    ASSERT_EQ(help.ExitCode, 0);
    for (const char* part : {"Руководство пользователя", "docs/guide.md", "guide.html", "«Файл → Примеры»", "--fire-loads",
                             "Помещение 1 — помещение\nочага пожара", "[i, i] — проем помещения i наружу",
                             "[--strict]", "--strict         считать предупреждения ошибками", "13,8 МДж/кг — это 13800000",
                             "20 °C — это 293 К"})
        EXPECT_NE(help.Out.find(part), std::string::npos) << part;
}

TEST(CliFireLoads, ListsEveryRowOfTheLibraryWithItsSource) {
    const ChildResult list = RunChild(kCli, {"--fire-loads"});
    ASSERT_EQ(list.ExitCode, 0);
    const auto& rows = zf::project::BuiltInFireLoads();
    ASSERT_EQ(rows.size(), 81u);
    for (const zf::project::FireLoad& row : rows) {
        const auto at = list.Out.find("\n" + row.Name + " ");
        ASSERT_NE(at, std::string::npos) << row.Name;
        const std::string line = list.Out.substr(at + 1, list.Out.find('\n', at + 1) - at - 1);
        EXPECT_NE(line.find(row.Source), std::string::npos) << line;
    }
    // Joules per kilogram, as the field takes them: 13800 kJ/kg is written 13800000.
    EXPECT_NE(list.Out.find("Qn, Дж/кг"), std::string::npos);
    EXPECT_NE(list.Out.find("13800000"), std::string::npos);
}

// --inputs gives every row of the input table as the program holds it, and the constants a
// reader of the results needs: a tool takes them from here rather than keeping copies.
TEST(CliInputs, GivesEveryRowOfTheInputTableAndTheModelsConstants) {
    const ChildResult run = RunChild(kCli, {"--inputs"});
    ASSERT_EQ(run.ExitCode, 0) << run.Err;
    const auto doc = nlohmann::json::parse(run.Out);
    EXPECT_EQ(doc["format"], "zonefire-inputs");
    EXPECT_EQ(doc["version"], 1);
    ASSERT_EQ(doc["inputs"].size(), std::size(zf::kInputs));
    for (std::size_t i = 0; i < std::size(zf::kInputs); ++i) {
        const zf::Input& input = zf::kInputs[i];
        const auto& row = doc["inputs"][i];
        EXPECT_EQ(row["key"], std::string(input.Key));
        EXPECT_EQ(row["unit"], std::string(input.Unit)) << input.Key;
        EXPECT_EQ(row["default"].get<double>(), input.Default) << input.Key;  // to the bit
        EXPECT_EQ(row["min"].get<double>(), input.Min) << input.Key;
        if (input.Max == zf::kNoUpperLimit)
            EXPECT_TRUE(row["max"].is_null()) << input.Key;
        else
            EXPECT_EQ(row["max"].get<double>(), input.Max) << input.Key;
    }
    EXPECT_EQ(doc["constants"]["air_density_times_temperature"]["value"].get<double>(), zf::kAirDensityTimesT);
    EXPECT_EQ(doc["constants"]["oxygen_mass_fraction"]["value"].get<double>(), zf::kO2MassFraction);
    EXPECT_EQ(doc["constants"]["profile_exponent"]["value"].get<double>(), zf::kProfileExponent);
    EXPECT_EQ(doc["constants"]["visibility_constant"]["value"].get<double>(), zf::kVisibilityConst);
    EXPECT_EQ(doc["constants"]["max_visibility"]["value"].get<double>(), zf::kMaxVisibility);
    const ChildResult help = RunChild(kCli, {"--help"});
    EXPECT_NE(help.Out.find("--inputs"), std::string::npos);
}

// The numbers of rooms, openings, routes and surfaces and the model switches reach the help and
// --inputs from their tables, every row with its path, unit and range.
TEST(CliInputs, HelpAndTableGiveEveryElementNumberAndModelSwitch) {
    const ChildResult help = RunChild(kCli, {"--help"});
    const ChildResult run = RunChild(kCli, {"--inputs"});
    ASSERT_EQ(run.ExitCode, 0) << run.Err;
    const auto doc = nlohmann::json::parse(run.Out);
    const std::vector<zf::project::ElementRow> rows = zf::project::ElementRows();
    ASSERT_EQ(doc["element_inputs"].size(), rows.size());
    for (std::size_t i = 0; i < rows.size(); ++i) {
        const auto& row = doc["element_inputs"][i];
        EXPECT_EQ(row["path"], rows[i].Path);
        EXPECT_EQ(row["unit"], std::string(rows[i].Unit)) << rows[i].Path;
        EXPECT_EQ(row["default"].get<double>(), rows[i].Default) << rows[i].Path;
        EXPECT_EQ(row["min"].get<double>(), rows[i].Min) << rows[i].Path;
        EXPECT_EQ(row["max"].is_null(), std::isinf(rows[i].Max)) << rows[i].Path;
        EXPECT_NE(help.Out.find("  " + rows[i].Path + " — " + std::string(rows[i].Name)), std::string::npos) << rows[i].Path;
    }
    ASSERT_EQ(doc["model_switches"].size(), std::size(zf::project::kModelSwitches));
    for (std::size_t i = 0; i < std::size(zf::project::kModelSwitches); ++i) {
        const zf::project::ModelSwitch& option = zf::project::kModelSwitches[i];
        EXPECT_EQ(doc["model_switches"][i]["key"], std::string(option.Key));
        EXPECT_NE(help.Out.find("  " + std::string(option.Key) + " " + std::string(option.Value) + " — "), std::string::npos)
            << option.Key;
    }
}

TEST(CliResult, TheJsonNamesTheProgramAndItsVersion) {
    zftest::TempDir dir;
    zftest::WriteFile(dir / "s.json", R"({"fire_load": "Магазин", "SimTime": 1, "dt": 0.1, "rooms": [{}]})");
    const ChildResult run = RunChild(kCli, {(dir / "s.json").string(), "--json", "-", "--quiet"});
    ASSERT_EQ(run.ExitCode, 0) << run.Err;
    const nlohmann::json result = nlohmann::json::parse(run.Out);
    EXPECT_EQ(result["program"], "zonefire " + std::string(zf::project::ProgramVersion()));
}

// A study's base may name a typical fire load: every run computes the row's values, a varied
// input replacing its own value only, and the emitted run names the row.
TEST(StudyFireLoad, TheBaseNamesARowAndAVariedInputReplacesOnlyItsValue) {
    zftest::TempDir dir;
    zftest::WriteFile(dir / "study.json", R"({"base": {"fire_load": "Магазин", "SimTime": 2, "dt": 0.01,
        "rooms": [{}], "openings": [{"rooms": [1, 1]}]}, "runs": 2, "seed": 5, "sampling": "monte-carlo",
        "vary": [{"input": "Vlin", "distribution": "uniform", "min": 0.02, "max": 0.03}]})");
    const ChildResult emitted = RunChild(kCli, {"study", (dir / "study.json").string(), "--emit-scenario", "1"});
    ASSERT_EQ(emitted.ExitCode, 0) << emitted.Err;
    const nlohmann::json run = nlohmann::json::parse(emitted.Out);
    const zf::project::FireLoad* shop = zf::project::FindFireLoad("Магазин");
    ASSERT_NE(shop, nullptr);
    EXPECT_EQ(run["fire_load"], "Магазин");
    EXPECT_EQ(run["Qn"].get<double>(), shop->Qn);
    EXPECT_EQ(run["D"].get<double>(), shop->D);
    EXPECT_GE(run["Vlin"].get<double>(), 0.02);
    EXPECT_LE(run["Vlin"].get<double>(), 0.03);
    const ChildResult study = RunChild(kCli, {"study", (dir / "study.json").string(), "--out", (dir / "out").string(), "--quiet"});
    EXPECT_EQ(study.ExitCode, 0) << study.Err;
}

}  // namespace
