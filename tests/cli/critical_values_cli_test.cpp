// The input table as the runner shows and uses it: the help lists every number input with its
// unit and default; a critical value in the scenario moves the critical time the runner
// reports; a study varies a critical value like any other input.

#include <gtest/gtest.h>

#include <fstream>
#include <sstream>
#include <string>

#include <nlohmann/json.hpp>

#include "model/inputs.h"
#include "model/number_text.h"
#include "study_cli.h"

using namespace zftest;

namespace {

TEST(InputsHelp, NamesEveryInputWithItsUnitAndDefault) {
    const ChildResult help = Cli({"--help"});
    ASSERT_EQ(help.ExitCode, 0);
    std::string flat = help.Out;  // entries may wrap: join the lines
    for (std::size_t at = flat.find("\n      "); at != std::string::npos; at = flat.find("\n      ")) flat.replace(at, 7, " ");
    for (const zf::Input& input : zf::kInputs) {
        const std::string entry = "  " + std::string(input.Key) + " — " + std::string(input.Name);
        const auto at = flat.find(entry);
        ASSERT_NE(at, std::string::npos) << entry;
        const std::string line = flat.substr(at, flat.find('\n', at) - at);
        if (!input.Unit.empty()) EXPECT_NE(line.find(", " + std::string(input.Unit) + ";"), std::string::npos) << line;
        EXPECT_NE(line.find("по умолчанию " + zf::GeneralNumberText(input.Default, ",")), std::string::npos) << line;
    }
}

// The fire room's temperature critical time of a one-room scenario with the given extra keys.
nlohmann::json TemperatureTime(const TempDir& dir, const std::string& extra) {
    WriteFile(dir / "s.json", R"({"SimTime": 60, "dt": 0.01, )" + extra +
                                  R"("rooms": [{}], "openings": [{"rooms": [1, 1]}]})");
    const ChildResult run = Cli({(dir / "s.json").string(), "--json", "-", "--quiet"});
    EXPECT_EQ(run.ExitCode, 0) << run.Err;
    return nlohmann::json::parse(run.Out)["rooms"][0]["critical_times"]["T"];
}

TEST(CriticalValuesRunner, ALowerLimitIsReachedEarlier) {
    TempDir dir;
    const nlohmann::json usual = TemperatureTime(dir, "");
    const nlohmann::json lower = TemperatureTime(dir, R"("critical_temperature": 300, )");
    ASSERT_TRUE(lower.is_number()) << lower;
    if (usual.is_number()) EXPECT_LT(lower.get<double>(), usual.get<double>());
    const ChildResult refused = [&] {
        WriteFile(dir / "bad.json", R"({"critical_temperature": 2000, "rooms": [{}]})");
        return Cli({(dir / "bad.json").string(), "--quiet"});
    }();
    EXPECT_EQ(refused.ExitCode, 2);
    EXPECT_NE(refused.Err.find("ключ \"critical_temperature\""), std::string::npos) << refused.Err;
}

TEST(CriticalValuesStudy, AStudyVariesACriticalValueLikeAnyInput) {
    TempDir dir;
    WriteFile(dir / "study.json", R"({"base": {"SimTime": 20, "dt": 0.01, "rooms": [{}], "openings": [{"rooms": [1, 1]}]},
        "runs": 3, "seed": 7, "sampling": "latin-hypercube",
        "vary": [{"input": "critical_temperature", "distribution": "uniform", "min": 300, "max": 330}]})");
    const ChildResult emitted = Cli({"study", (dir / "study.json").string(), "--emit-scenario", "2"});
    ASSERT_EQ(emitted.ExitCode, 0) << emitted.Err;
    const nlohmann::json run = nlohmann::json::parse(emitted.Out);
    EXPECT_GE(run["critical_temperature"].get<double>(), 300);
    EXPECT_LE(run["critical_temperature"].get<double>(), 330);
    EXPECT_EQ(run["version"], 3);
    const ChildResult study = Cli({"study", (dir / "study.json").string(), "--out", (dir / "out").string(), "--quiet"});
    ASSERT_EQ(study.ExitCode, 0) << study.Err;
    std::ifstream runs(dir / "out" / "runs.csv");
    std::string header;
    std::getline(runs, header);
    EXPECT_NE(header.find("critical_temperature"), std::string::npos) << header;
    // A limit outside its range is refused before any run, with the input named.
    WriteFile(dir / "bad.json", R"({"base": {"rooms": [{}]}, "runs": 2, "seed": 1, "sampling": "monte-carlo",
        "vary": [{"input": "critical_visibility", "distribution": "uniform", "min": 10, "max": 80}]})");
    const ChildResult bad = Cli({"study", (dir / "bad.json").string(), "--check"});
    EXPECT_NE(bad.ExitCode, 0);
}

}  // namespace
