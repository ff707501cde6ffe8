// The evacuation verdict: blocking time and factors, required and allowed time, margin, the
// room's and the building's verdict, and the time a stopped or failed run reached.

#include <gtest/gtest.h>

#include <array>
#include <cmath>
#include <limits>
#include <optional>
#include <cstdint>
#include <ostream>
#include <string>

#include "verdict.h"

using namespace zfreport;

namespace {

// A completed run of at least one step that reached `seconds`.
RunReach Done(double seconds) { return RunReach{RunEnd::Completed, 1, seconds}; }

// One room judged: its critical times (by zf::HazardKind), how far the run got, its inputs, f,
// and what must come out (with a piece of the reason for an undetermined verdict).
struct Case {
    const char* name;
    std::array<double, zf::kHazardCount> times;
    RunReach reach;
    std::optional<EvacuationInput> evacuation;
    double f;
    std::optional<double> blocking;
    std::vector<zf::HazardKind> factors;
    std::optional<double> allowed;
    std::optional<double> margin;
    std::optional<Verdict> verdict;
    const char* reason = "";
};
void PrintTo(const Case& c, std::ostream* os) { *os << c.name; }
class RoomRules : public testing::TestWithParam<Case> {};

TEST_P(RoomRules, BlockingTimeFactorsMarginAndVerdict) {
    const Case c = GetParam();
    const RoomVerdict v = JudgeRoom(c.times, c.reach, c.evacuation, c.f);
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
    // A reason exactly when the verdict is undetermined, and the expected one.
    EXPECT_EQ(v.Reason.empty(), v.Outcome != Verdict::Undetermined) << v.Reason;
    EXPECT_NE(v.Reason.find(c.reason), std::string::npos) << v.Reason;
}

const EvacuationInput k60{20, 40};  // t_нэ + t_р = 60 s
const EvacuationInput k75{25, 50};  // t_нэ + t_р = 75 s: (t_нэ + t_р)/0,8 = 93,75 s
constexpr std::array<double, zf::kHazardCount> kNoneReached{};

INSTANTIATE_TEST_SUITE_P(
    Table, RoomRules,
    testing::Values(
        // t_бл = 100 s by temperature; 0,8 · 100 = 80 ≥ 60.
        Case{"OneFactorSafe", {100, 0, 0, 0, 0, 0, 0}, Done(300), k60, 0.8, 100, {zf::hkTemperature}, 80, 20, Verdict::Safe},
        // t_бл = 70 s by visibility: 56 < 60.
        Case{"OneFactorUnsafe", {0, 0, 70, 90, 0, 0, 0}, Done(300), k60, 0.8, 70, {zf::hkVisibility}, 56, -4, Verdict::Unsafe},
        // Temperature and CO both at 50 s: both govern; a later oxygen time does not.
        Case{"TieBothGovern", {50, 80, 0, 50, 0, 0, 0}, Done(300), k60, 0.8, 50, {zf::hkTemperature, zf::hkCO}, 40, -20,
             Verdict::Unsafe},
        Case{"TieOfAllSeven", {9, 9, 9, 9, 9, 9, 9}, Done(300), std::nullopt, 0.8, 9,
             {zf::hkTemperature, zf::hkOxygen, zf::hkVisibility, zf::hkCO, zf::hkCO2, zf::hkHCl, zf::hkRadiation}, std::nullopt, std::nullopt,
             std::nullopt},
        // required exactly f · t_бл: safe (≤).
        Case{"RequiredEqualsAllowedIsSafe", {0, 0, 0, 0, 0, 0, 75}, Done(300), k60, 0.8, 75, {zf::hkRadiation}, 60, 0,
             Verdict::Safe},
        // No factor reached in a long run: people out by f · t_end = 240 s are safe.
        Case{"NoneReachedLongRun", kNoneReached, Done(300), k60, 0.8, std::nullopt, {}, std::nullopt, std::nullopt,
             Verdict::Safe},
        // No factor reached, but the run lasted 60 s: 60 < 93,75, nothing can be said.
        Case{"NoneReachedShortRun", kNoneReached, Done(60), k75, 0.8, std::nullopt, {}, std::nullopt, std::nullopt,
             Verdict::Undetermined, "время моделирования 60 с меньше требуемого (t_нэ + t_р)/0,8 = 93,8 с"},
        Case{"NoneReachedExactlyFTimesEnd", kNoneReached, Done(75), k60, 0.8, std::nullopt, {}, std::nullopt,
             std::nullopt, Verdict::Safe},
        // f = 1: the whole blocking time may be used.
        Case{"FactorOneAllowsAll", {60, 0, 0, 0, 0, 0, 0}, Done(300), k60, 1.0, 60, {zf::hkTemperature}, 60, 0, Verdict::Safe},
        Case{"FactorOneStillUnsafe", {59.9, 0, 0, 0, 0, 0, 0}, Done(300), k60, 1.0, 59.9, {zf::hkTemperature}, 59.9, -0.1,
             Verdict::Unsafe},
        Case{"FactorOneNoneReached", kNoneReached, Done(60), k60, 1.0, std::nullopt, {}, std::nullopt, std::nullopt,
             Verdict::Safe},
        // Zero inputs: nobody needs any time; a run of one step tells that.
        Case{"ZeroInputsBlocked", {0.1, 0, 0, 0, 0, 0, 0}, Done(300), EvacuationInput{0, 0}, 0.8, 0.1, {zf::hkTemperature},
             0.08, 0.08, Verdict::Safe},
        // A run of no step judges nothing, not even zero inputs.
        Case{"ZeroStepsJudgeNothing", kNoneReached, RunReach{RunEnd::Completed, 0, 0}, EvacuationInput{0, 0}, 0.8,
             std::nullopt, {}, std::nullopt, std::nullopt, Verdict::Undetermined, "ни одного шага"},
        // A run that failed before its first step.
        Case{"FailedBeforeFirstStep", kNoneReached, RunReach{RunEnd::Failed, 0, 0}, EvacuationInput{0.5, 0}, 0.8,
             std::nullopt, {}, std::nullopt, std::nullopt, Verdict::Undetermined, "расчет не начат"},
        // A failed run whose blocked room would read "опасно": partial data, no verdict.
        Case{"FailedAtStepOne", {0.1, 0, 0, 0, 0, 0, 0}, RunReach{RunEnd::Failed, 1, 0}, k60, 0.8, 0.1,
             {zf::hkTemperature}, 0.08, std::nullopt, Verdict::Undetermined, "расчет прерван на шаге 1"},
        // A stopped run long enough to have said "безопасно" still says nothing.
        Case{"StoppedAfterEnoughTime", kNoneReached, RunReach{RunEnd::Stopped, 412, 41.2}, EvacuationInput{5, 5}, 0.8,
             std::nullopt, {}, std::nullopt, std::nullopt, Verdict::Undetermined, "расчет остановлен на 41,2 с"},
        Case{"StoppedAfterBlocking", {30, 0, 0, 0, 0, 0, 0}, RunReach{RunEnd::Stopped, 412, 41.2}, k60, 0.8, 30,
             {zf::hkTemperature}, 24, std::nullopt, Verdict::Undetermined, "расчет остановлен на 41,2 с"},
        // No inputs: the blocking time still, no verdict.
        Case{"NoInputs", {0, 0, 0, 0, 12, 0, 0}, Done(300), std::nullopt, 0.8, 12, {zf::hkCO2}, std::nullopt, std::nullopt,
             std::nullopt}),
    [](const testing::TestParamInfo<Case>& info) { return std::string(info.param.name); });

// The verdict's one rule, over many rooms and runs: "безопасно" only from a completed run of
// at least one step whose simulated time covers (t_нэ + t_р)/f; "опасно" only from a completed
// run; "не определено" always with a reason; a margin only beside "безопасно" or "опасно".
TEST(RoomRules, SafeOnlyFromACompletedRunLongEnough) {
    std::uint64_t state = 12345;
    auto next = [&state](double top) {
        state = state * 6364136223846793005ULL + 1442695040888963407ULL;
        return top * static_cast<double>(state >> 11) / static_cast<double>(1ULL << 53);
    };
    for (int i = 0; i < 20000; ++i) {
        std::array<double, zf::kHazardCount> times{};
        const double end = std::floor(next(200));
        for (double& t : times)
            if (next(1) < 0.3) t = std::ceil(next(end));  // reached within the run, or not at all
        const RunReach reach{static_cast<RunEnd>(static_cast<int>(next(3))), static_cast<int>(end), end};
        const EvacuationInput input{std::floor(next(60)), std::floor(next(120))};
        const double f = 0.5 + std::floor(next(6)) / 10;
        const RoomVerdict v = JudgeRoom(times, reach, input, f);
        const double required = input.StartDelay + input.Duration;
        ASSERT_TRUE(v.Outcome);
        if (v.Outcome != Verdict::Undetermined) {
            ASSERT_EQ(reach.End, RunEnd::Completed);
            ASSERT_GT(reach.Step, 0);
            ASSERT_TRUE(v.Reason.empty());
        } else {
            ASSERT_FALSE(v.Reason.empty());
            ASSERT_FALSE(v.Margin);
        }
        if (v.Outcome == Verdict::Safe) ASSERT_LE(required, f * reach.Time + 1e-9);
        if (v.Outcome == Verdict::Unsafe) ASSERT_LT(*v.Margin, 0);
    }
}

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

// How far a run got, its time stamped like the critical times (step × dt).
TEST(RunReach, CompletedStoppedAndFailedRuns) {
    zf::TzoneMath zm;
    zm.SimTime = 60;
    zm.dt = 0.5;
    zm.StepCount = 120;
    zm.Iter = 119;
    EXPECT_EQ(RunEndTime(zm), 59.5);  // completed: the last step's time, (N − 1)·dt
    EXPECT_EQ(RunReachOf(zm).End, RunEnd::Completed);
    EXPECT_EQ(RunShortfall(RunReachOf(zm)), "");
    zm.Stopped = true;
    zm.Iter = 40;
    EXPECT_EQ(RunEndTime(zm), 20);  // stopped after step 40
    EXPECT_EQ(RunShortfall(RunReachOf(zm)), "расчет остановлен на 20 с (выполните расчет до конца)");
    zm.Stopped = false;
    zm.LastFault = zf::RunFault{zf::FaultKind::Overflow, zf::Quantity::Temperature, 40, 1};
    EXPECT_EQ(RunEndTime(zm), 19.5);  // failed in step 40: step 39 was the last one done
    EXPECT_EQ(RunShortfall(RunReachOf(zm)), "расчет прерван на шаге 40 (устраните причину ошибки)");
    zm.Iter = 0;
    zm.LastFault = zf::RunFault{zf::FaultKind::Preparation, zf::Quantity::RunCounts, 0};
    EXPECT_EQ(RunEndTime(zm), 0);  // failed before the first step
    EXPECT_NE(RunShortfall(RunReachOf(zm)).find("не начат"), std::string::npos);
    zm.Stopped = true;  // the product's noise is not the run's time: 412 × 0,1 reads 41,2
    zm.LastFault = {};
    zm.dt = 0.1;
    zm.Iter = 412;
    EXPECT_EQ(RunShortfall(RunReachOf(zm)), "расчет остановлен на 41,2 с (выполните расчет до конца)");
}

// The banner over a stopped or failed run's results, with the time in the caller's format;
// nothing over a completed run.
struct BannerCase {
    RunEnd End;
    int Step;
    const char* Time;
    const char* Banner;
};
class RunEndBannerText : public ::testing::TestWithParam<BannerCase> {};
TEST_P(RunEndBannerText, SaysHowTheRunEndedAndWhen) {
    const BannerCase c = GetParam();
    EXPECT_EQ(RunEndBanner(RunReach{c.End, c.Step, 0}, c.Time), c.Banner);
}
INSTANTIATE_TEST_SUITE_P(
    Ends, RunEndBannerText,
    ::testing::Values(BannerCase{RunEnd::Completed, 120, "60", ""},
                      BannerCase{RunEnd::Stopped, 412, "41,2", "Расчет остановлен на 41,2 с: показаны результаты до этого времени"},
                      BannerCase{RunEnd::Failed, 40, "19,5", "Расчет прерван ошибкой на 19,5 с: показаны результаты до этого времени"},
                      BannerCase{RunEnd::Failed, 0, "0", "Расчет не начат: ошибка при подготовке расчета, результатов нет"}));

// A stopped or failed run keeps the critical times it recorded, but judges no room.
TEST(JudgeRun, StoppedAndFailedRunsJudgeNoRoom) {
    zf::TzoneMath zm;
    for (int i = 0; i < 3; ++i) zm.AddRoom(4, 5, 3);
    zm.SimTime = 600;
    zm.dt = 0.1;
    zm.Room(0).CritTimeT = 30;
    zm.Room(0).CritTimeVis = 25;  // visibility governs room 1
    EvacuationInputs inputs;
    inputs.Rooms = {EvacuationInput{5, 10}, EvacuationInput{10, 30}, std::nullopt};

    zm.Stopped = true;
    zm.Iter = 1000;  // t_end = 100 s: long enough for both, yet the run did not end
    RunVerdict run = JudgeRun(zm, inputs);
    EXPECT_NEAR(run.EndTime, 100, 1e-9);
    ASSERT_EQ(run.Rooms.size(), 3u);
    EXPECT_EQ(run.Rooms[0].BlockingTime, 25);
    EXPECT_EQ(run.Rooms[0].BlockingFactors, std::vector<zf::HazardKind>{zf::hkVisibility});
    EXPECT_EQ(run.Rooms[0].Outcome, Verdict::Undetermined);
    EXPECT_EQ(run.Rooms[1].Outcome, Verdict::Undetermined);
    EXPECT_EQ(run.Rooms[2].Outcome, std::nullopt);
    EXPECT_EQ(run.Building, Verdict::Undetermined);
    EXPECT_EQ(run.Reason, "расчет остановлен на 100 с (выполните расчет до конца)");

    zm.Stopped = false;
    zm.Iter = 400;  // failed in step 400; room 1 at f = 0,5 would read "опасно" (15 > 12,5)
    zm.LastFault = zf::RunFault{zf::FaultKind::InvalidOperation, zf::Quantity::Density, 400, 2};
    inputs.SafetyFactor = 0.5;
    run = JudgeRun(zm, inputs);
    EXPECT_EQ(run.Rooms[0].Outcome, Verdict::Undetermined);
    EXPECT_EQ(run.Building, Verdict::Undetermined);
    EXPECT_EQ(run.Reason, "расчет прерван на шаге 400 (устраните причину ошибки)");
    EXPECT_EQ(run.SafetyFactor, 0.5);

    zm.LastFault = {};  // completed: room 1 unsafe, room 2 too short; the building is unsafe
    zm.Iter = 599;
    run = JudgeRun(zm, inputs);
    EXPECT_EQ(run.Rooms[0].Outcome, Verdict::Unsafe);
    EXPECT_EQ(run.Rooms[1].Outcome, Verdict::Undetermined);  // 40 > 0,5 · 59,9
    EXPECT_EQ(run.Building, Verdict::Unsafe);
    EXPECT_EQ(run.Reason, "");
    inputs.Rooms[0] = EvacuationInput{0, 1};  // room 1 now safe; room 2 needs 80 s > 59,9
    inputs.Rooms[1] = EvacuationInput{20, 20};
    inputs.SafetyFactor = 0.5;
    run = JudgeRun(zm, inputs);
    EXPECT_EQ(run.Building, Verdict::Undetermined);
    EXPECT_EQ(run.Reason, "№2: время моделирования 59,9 с меньше требуемого (t_нэ + t_р)/0,5 = 80 с "
                          "(увеличьте время моделирования)");
}

// The margin reads the same wherever it is shown: a tenth of a second, rounded down, with its
// sign and unit; "опасно" never with "0".
struct MarginCase {
    double margin;
    std::optional<Verdict> verdict;
    const char* text;
};
class MarginTexts : public testing::TestWithParam<MarginCase> {};

TEST_P(MarginTexts, SignUnitAndRounding) {
    RoomVerdict room;
    room.Margin = GetParam().margin;
    room.Outcome = GetParam().verdict;
    EXPECT_EQ(MarginText(room, ","), GetParam().text);
}

INSTANTIATE_TEST_SUITE_P(Table, MarginTexts,
                         testing::Values(MarginCase{20, Verdict::Safe, "+20,0 с"}, MarginCase{0.26, Verdict::Safe, "+0,2 с"},
                                         MarginCase{0, Verdict::Safe, "0,0 с"}, MarginCase{0.04, Verdict::Safe, "0,0 с"},
                                         MarginCase{-4, Verdict::Unsafe, "−4,0 с"}, MarginCase{-4.01, Verdict::Unsafe, "−4,1 с"},
                                         MarginCase{-1e-9, Verdict::Unsafe, "−0,1 с"},
                                         // 8,2 − 8 is 0,1999… in doubles: still 0,2
                                         MarginCase{8.2 - 8, Verdict::Safe, "+0,2 с"},
                                         MarginCase{-3, Verdict::Undetermined, "—"}, MarginCase{5, std::nullopt, "—"}));

TEST(MarginTexts, UnsafeNeverReadsZeroAndShownNeverExceedsTrue) {
    for (double m = -0.3; m < 0.3; m += 0.0007) {
        EXPECT_LE(ShownMargin(m), m + 1e-6) << m;
        EXPECT_GT(ShownMargin(m), m - 0.1 - 1e-6) << m;
        RoomVerdict room;
        room.Margin = m;
        room.Outcome = m < 0 ? Verdict::Unsafe : Verdict::Safe;
        if (m < 0) EXPECT_TRUE(MarginText(room, ",").starts_with("−")) << m;
    }
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
