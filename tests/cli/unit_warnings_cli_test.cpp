// The runner warns of values that look typed in another unit before it computes, on standard
// error and without a change to its result; --strict makes a warning a refusal (exit 2, nothing
// computed). A building that cannot exist is refused either way.

#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <string>
#include <vector>

#include "subprocess.h"

namespace {

const std::string kCli = ZONEFIRE_CLI;

// Two rooms joined by a doorway, the second with a window to the outside; a short run. `top`
// adds top-level keys, `door` replaces the doorway's sizes.
std::string Building(const std::string& top, const std::string& door = R"("height": 2, "width": 0.9)") {
    return R"({"SimTime": 1, "dt": 0.01, )" + top + R"("rooms": [{"length": 5, "width": 4, "height": 3},
  {"length": 6, "width": 5, "height": 3}],
 "openings": [{"rooms": [1, 2], )" + door + R"(}, {"rooms": [2, 2], "height": 2, "width": 1.2}]})";
}

struct Case {
    const char* Name;
    std::string Scenario;
    bool Strict;
    int Exit;
    const char* Says;  // on stderr; nullptr: nothing there
};

void PrintTo(const Case& c, std::ostream* os) { *os << c.Name; }

class RunnerWarnings : public testing::TestWithParam<Case> {};

TEST_P(RunnerWarnings, OnStandardErrorAndRefusedWithStrict) {
    std::vector<std::string> args = {"-", "--quiet"};
    if (GetParam().Strict) args.push_back("--strict");
    ChildOptions options;
    options.Stdin = GetParam().Scenario;
    const ChildResult r = RunChild(kCli, args, options);
    EXPECT_EQ(r.ExitCode, GetParam().Exit) << r.Err;
    if (GetParam().Says == nullptr) {
        EXPECT_EQ(r.Err, "");
    } else {
        EXPECT_NE(r.Err.find(GetParam().Says), std::string::npos) << r.Err;
    }
    // A refusal computes nothing: no table on stdout. A warning alone changes no result.
    EXPECT_EQ(r.Out.empty(), GetParam().Exit == 2) << r.Out;
}

INSTANTIATE_TEST_SUITE_P(
    Scenarios, RunnerWarnings,
    testing::Values(
        Case{"Clean", Building(""), true, 0, nullptr},
        Case{"MegajoulesWarned", Building(R"("Qn": 13.8, )"), false, 0, "-: предупреждение: Теплота сгорания Qн = 13,8 Дж/кг"},
        Case{"MegajoulesRefusedWithStrict", Building(R"("Qn": 13.8, )"), true, 2, "с --strict предупреждения считаются ошибками"},
        Case{"CelsiusWarned", Building(R"("T0": 20, )"), false, 0, "20 °C — это 293 К"},
        Case{"CelsiusRefusedWithStrict", Building(R"("T0": 20, )"), true, 2, "ниже 200 К"},
        Case{"DoorAboveTheCeiling", Building("", R"("height": 3.2, "width": 0.9)"), false, 0, "верх проема выше потолка"},
        Case{"DoorWiderThanBothWalls", Building("", R"("height": 2, "width": 5.5)"), false, 2,
             "больше обеих стен помещения №1"},
        Case{"NoWayOut", R"({"SimTime": 1, "dt": 0.01, "rooms": [{}, {}], "openings": [{"rooms": [1, 2]}]})", true, 2,
             "нет пути наружу"}),
    [](const testing::TestParamInfo<Case>& info) { return std::string(info.param.Name); });

// A study warns of its base building and refuses with --strict before it makes its folder.
TEST(StudyWarnings, BaseBuildingRefusedWithStrict) {
    const std::string study = R"({"base": )" + Building(R"("T0": 20, )") +
                              R"(, "runs": 2, "seed": 1, "sampling": "monte-carlo",
 "vary": [{"input": "Vlin", "distribution": "uniform", "min": 0.01, "max": 0.012}]})";
    const std::string dir = testing::TempDir() + "/unit_warnings_study";
    const std::string file = dir + ".json";
    {
        std::FILE* f = std::fopen(file.c_str(), "w");
        ASSERT_NE(f, nullptr);
        std::fputs(study.c_str(), f);
        std::fclose(f);
    }
    const ChildResult checked = RunChild(kCli, {"study", file, "--check"});
    EXPECT_NE(checked.Err.find("предупреждение: Начальная температура T0 = 20 К"), std::string::npos) << checked.Err;
    const ChildResult strict = RunChild(kCli, {"study", file, "--out", dir, "--strict", "--quiet"});
    EXPECT_EQ(strict.ExitCode, 2) << strict.Err;
    EXPECT_NE(strict.Err.find("--strict"), std::string::npos) << strict.Err;
    EXPECT_FALSE(std::filesystem::exists(dir));
}

}  // namespace
