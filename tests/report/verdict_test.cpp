// The evacuation verdict: blocking time and factors, required and allowed time, margin, the
// room's and the building's verdict, and the time a stopped or failed run reached.

#include <gtest/gtest.h>

#include <array>
#include <cmath>
#include <limits>
#include <optional>
#include <ostream>

#include "verdict.h"

using namespace zfreport;

namespace {

constexpr double kNotReached = 0;  // a critical time of 0: the limit was not reached

// One room judged: its critical times (by HazardKind), the time the run reached, its inputs,
// f, and what must come out.
struct Case {
    const char* name;
    std::array<double, zf::kHazardCount> times;
    double endTime;
    std::optional<EvacuationInput> evacuation;
    double f;
    std::optional<double> blocking;
    std::vector<zf::HazardKind> factors;
    std::optional<double> allowed;
    std::optional<double> margin;
    std::optional<Verdict> verdict;
};
void PrintTo(const Case& c, std::ostream* os) { *os << c.name; }
class RoomRules : public testing::TestWithParam<Case> {};

TEST_P(RoomRules, BlockingTimeFactorsMarginAndVerdict) {
    const Case c = GetParam();
    const RoomVerdict v = JudgeRoom(c.times, c.endTime, c.evacuation, c.f);
    EXPECT_EQ(v.BlockingTime, c.blocking);
    EXPECT_EQ(v.BlockingFactors, c.factors);
    EXPECT_EQ(v.Evacuation, c.evacuation);
    const std::optional<double> required =
        c.evacuation ? std::optional(c.evacuation->StartDelay + c.evacuation->Duration) : std::nullopt;
    EXPECT_EQ(v.Required, required);
    ASSERT_EQ(v.Allowed.has_value(), c.allowed.has_value());
    if (c.allowed) {
        EXPECT_DOUBLE_EQ(*v.Allowed, *c.allowed);
    }
    ASSERT_EQ(v.Margin.has_value(), c.margin.has_value());
    if (c.margin) {
        EXPECT_NEAR(*v.Margin, *c.margin, 1e-12);
    }
    EXPECT_EQ(v.Outcome, c.verdict);
}

const EvacuationInput k60{20, 40};  // t_нэ + t_р = 60 s

INSTANTIATE_TEST_SUITE_P(
    Table, RoomRules,
    testing::Values(
        // t_бл = 100 s by temperature; 0,8 · 100 = 80 ≥ 60.
        Case{"OneFactorSafe", {100, 0, 0, 0, 0, 0, 0}, 300, k60, 0.8, 100, {zf::hkTemperature}, 80, 20, Verdict::Safe},
        // t_бл = 70 s by visibility: 56 < 60.
        Case{"OneFactorUnsafe", {0, 0, 70, 90, 0, 0, 0}, 300, k60, 0.8, 70, {zf::hkVisibility}, 56, -4, Verdict::Unsafe},
        // Temperature and CO both at 50 s: both govern; a later oxygen time does not.
        Case{"TieBothGovern", {50, 80, 0, 50, 0, 0, 0}, 300, k60, 0.8, 50, {zf::hkTemperature, zf::hkCO}, 40, -20,
             Verdict::Unsafe},
        Case{"TieOfAllSeven", {9, 9, 9, 9, 9, 9, 9}, 300, std::nullopt, 0.8, 9,
             {zf::hkTemperature, zf::hkOxygen, zf::hkVisibility, zf::hkCO, zf::hkCO2, zf::hkHCl, zf::hkRadiation}, std::nullopt, std::nullopt,
             std::nullopt},
        // required exactly f · t_бл: safe (≤).
        Case{"RequiredEqualsAllowedIsSafe", {0, 0, 0, 0, 0, 0, 75}, 300, k60, 0.8, 75, {zf::hkRadiation}, 60, 0,
             Verdict::Safe},
        // No factor reached in a long run: people out by f · t_end = 240 s are safe.
        Case{"NoneReachedLongRun", {0, 0, 0, 0, 0, 0, 0}, 300, k60, 0.8, std::nullopt, {}, std::nullopt,
             std::nullopt, Verdict::Safe},
        // No factor reached, but the run lasted 60 s: 48 < 60, nothing can be said.
        Case{"NoneReachedShortRun", {0, 0, 0, 0, 0, 0, 0}, 60, k60, 0.8, std::nullopt, {}, std::nullopt,
             std::nullopt, Verdict::Undetermined},
        Case{"NoneReachedExactlyFTimesEnd", {0, 0, 0, 0, 0, 0, 0}, 75, k60, 0.8, std::nullopt, {}, std::nullopt,
             std::nullopt, Verdict::Safe},
        // f = 1: the whole blocking time may be used.
        Case{"FactorOneAllowsAll", {60, 0, 0, 0, 0, 0, 0}, 300, k60, 1.0, 60, {zf::hkTemperature}, 60, 0, Verdict::Safe},
        Case{"FactorOneStillUnsafe", {59.9, 0, 0, 0, 0, 0, 0}, 300, k60, 1.0, 59.9, {zf::hkTemperature}, 59.9, -0.1,
             Verdict::Unsafe},
        Case{"FactorOneNoneReached", {0, 0, 0, 0, 0, 0, 0}, 60, k60, 1.0, std::nullopt, {}, std::nullopt,
             std::nullopt, Verdict::Safe},
        // Zero inputs: nobody needs any time, safe even in a run that reached no time at all.
        Case{"ZeroInputsBlocked", {0.1, 0, 0, 0, 0, 0, 0}, 300, EvacuationInput{0, 0}, 0.8, 0.1, {zf::hkTemperature},
             0.08, 0.08, Verdict::Safe},
        Case{"ZeroInputsZeroEnd", {0, 0, 0, 0, 0, 0, 0}, 0, EvacuationInput{0, 0}, 0.8, std::nullopt, {},
             std::nullopt, std::nullopt, Verdict::Safe},
        // A small delay in a run that failed before its first step: nothing reached, t_end 0.
        Case{"DelayButRunReachedNothing", {0, 0, 0, 0, 0, 0, 0}, 0, EvacuationInput{0.5, 0}, 0.8, std::nullopt, {},
             std::nullopt, std::nullopt, Verdict::Undetermined},
        // No inputs: the blocking time still, no verdict.
        Case{"NoInputs", {0, 0, 0, 0, 12, 0, 0}, 300, std::nullopt, 0.8, 12, {zf::hkCO2}, std::nullopt, std::nullopt,
             std::nullopt}),
    [](const testing::TestParamInfo<Case>& info) { return std::string(info.param.name); });

RoomVerdict WithVerdict(std::optional<Verdict> v) {
    RoomVerdict r;
    r.Outcome = v;
    return r;
}

}  // namespace

TEST(BuildingVerdict, WorstRoomGovernsNoneWithoutInputs) {
    const auto safe = WithVerdict(Verdict::Safe), unsafe = WithVerdict(Verdict::Unsafe);
    const auto undetermined = WithVerdict(Verdict::Undetermined), none = WithVerdict(std::nullopt);
    EXPECT_EQ(BuildingVerdictOf({}), std::nullopt);
    EXPECT_EQ(BuildingVerdictOf({none, none}), std::nullopt);
    EXPECT_EQ(BuildingVerdictOf({none, safe}), Verdict::Safe);
    EXPECT_EQ(BuildingVerdictOf({safe, undetermined, none}), Verdict::Undetermined);
    EXPECT_EQ(BuildingVerdictOf({undetermined, unsafe, safe}), Verdict::Unsafe);
    EXPECT_EQ(BuildingVerdictOf({unsafe, undetermined}), Verdict::Unsafe);
}

TEST(EvacuationInputCheck, RefusesNegativeAndNonFiniteNamingTheRoom) {
    EXPECT_EQ(CheckEvacuationInput({0, 0}, "Помещение №1"), "");
    EXPECT_EQ(CheckEvacuationInput({30, 120.5}, "Помещение №1"), "");
    const double nan = std::numeric_limits<double>::quiet_NaN();
    const double inf = std::numeric_limits<double>::infinity();
    for (const EvacuationInput bad : {EvacuationInput{-1, 0}, EvacuationInput{nan, 0}, EvacuationInput{0, inf},
                                      EvacuationInput{0, -0.001}}) {
        const std::string message = CheckEvacuationInput(bad, "Помещение №3");
        EXPECT_TRUE(message.starts_with("Помещение №3: ")) << message;
        EXPECT_NE(message.find(std::isfinite(bad.StartDelay) && bad.StartDelay >= 0 ? "t_р" : "t_нэ"),
                  std::string::npos)
            << message;
    }
}

TEST(EvacuationInputCheck, SafetyFactorAboveZeroAtMostOne) {
    EXPECT_EQ(CheckSafetyFactor(0.8), "");
    EXPECT_EQ(CheckSafetyFactor(1.0), "");
    EXPECT_EQ(CheckSafetyFactor(1e-9), "");
    for (double bad : {0.0, -0.5, 1.0000001, std::nan(""), std::numeric_limits<double>::infinity()})
        EXPECT_NE(CheckSafetyFactor(bad), "") << bad;
}

// The time a run reached, stamped like the critical times (step × dt).
TEST(RunEndTime, CompletedStoppedAndFailedRuns) {
    zf::TzoneMath zm;
    zm.SimTime = 60;
    zm.dt = 0.5;
    zm.Iter = 119;
    EXPECT_EQ(RunEndTime(zm), 60);  // completed: the simulated time
    zm.Stopped = true;
    zm.Iter = 40;
    EXPECT_EQ(RunEndTime(zm), 20);  // stopped after step 40
    zm.Stopped = false;
    zm.LastFault = zf::RunFault{zf::FaultKind::Overflow, zf::Quantity::Temperature, 40, 1};
    EXPECT_EQ(RunEndTime(zm), 19.5);  // failed in step 40: step 39 was the last one done
    zm.Iter = 0;
    zm.LastFault = zf::RunFault{zf::FaultKind::Preparation, zf::Quantity::RunCounts, 0};
    EXPECT_EQ(RunEndTime(zm), 0);  // failed before the first step
}

// A stopped or failed run keeps the critical times it recorded, and judges rooms without one
// against the time it reached.
TEST(JudgeRun, StoppedAndFailedRunsKeepTheirCriticalTimes) {
    zf::TzoneMath zm;
    for (int i = 0; i < 3; ++i) zm.AddRoom(4, 5, 3);
    zm.SimTime = 600;
    zm.dt = 0.1;
    zm.Room(0).CritTimeT = 30;
    zm.Room(0).CritTimeVis = 25;  // visibility governs room 1
    zm.Room(1).CritTimeRad = 0;
    EvacuationInputs inputs;
    inputs.Rooms = {EvacuationInput{5, 10}, EvacuationInput{10, 30}, std::nullopt};

    zm.Stopped = true;
    zm.Iter = 1000;  // t_end = 100 s
    RunVerdict run = JudgeRun(zm, inputs);
    EXPECT_NEAR(run.EndTime, 100, 1e-9);
    ASSERT_EQ(run.Rooms.size(), 3u);
    EXPECT_EQ(run.Rooms[0].BlockingTime, 25);
    EXPECT_EQ(run.Rooms[0].BlockingFactors, std::vector<zf::HazardKind>{zf::hkVisibility});
    EXPECT_EQ(run.Rooms[0].Outcome, Verdict::Safe);  // 15 ≤ 20
    EXPECT_EQ(run.Rooms[1].Outcome, Verdict::Safe);  // 40 ≤ 0,8 · 100
    EXPECT_EQ(run.Rooms[2].Outcome, std::nullopt);
    EXPECT_EQ(run.Building, Verdict::Safe);

    zm.Stopped = false;
    zm.Iter = 400;  // failed in step 400: t_end = 39.9 s, 0,8 · 39,9 < 40
    zm.LastFault = zf::RunFault{zf::FaultKind::InvalidOperation, zf::Quantity::Density, 400, 2};
    run = JudgeRun(zm, inputs);
    EXPECT_NEAR(run.EndTime, 39.9, 1e-9);
    EXPECT_EQ(run.Rooms[0].Outcome, Verdict::Safe);
    EXPECT_EQ(run.Rooms[1].Outcome, Verdict::Undetermined);
    EXPECT_EQ(run.Building, Verdict::Undetermined);

    inputs.SafetyFactor = 0.5;  // room 1: 15 > 0,5 · 25
    run = JudgeRun(zm, inputs);
    EXPECT_EQ(run.Rooms[0].Outcome, Verdict::Unsafe);
    EXPECT_EQ(run.Building, Verdict::Unsafe);
    EXPECT_EQ(run.SafetyFactor, 0.5);
}

TEST(JudgeRun, InputsOfMissingRoomsAreIgnored) {
    zf::TzoneMath zm;
    zm.AddRoom(4, 5, 3);
    zm.SimTime = 60;
    EvacuationInputs inputs;
    EXPECT_FALSE(inputs.Any());
    EXPECT_EQ(JudgeRun(zm, inputs).Building, std::nullopt);
    inputs.Rooms = {std::nullopt, EvacuationInput{1, 1}};  // room 2 does not exist
    EXPECT_TRUE(inputs.Any());
    const RunVerdict run = JudgeRun(zm, inputs);
    ASSERT_EQ(run.Rooms.size(), 1u);
    EXPECT_EQ(run.Building, std::nullopt);
}
