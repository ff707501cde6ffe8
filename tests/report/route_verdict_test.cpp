// The escape routes' verdict room by room, and the probability of evacuation P_э.
#include <gtest/gtest.h>

#include <optional>
#include <string>

#include "route_verdict.h"

using namespace zfreport;

namespace {

RunReach Done(double seconds) { return RunReach{RunEnd::Completed, 1, seconds}; }

struct ProbabilityCase {
    const char* Name;
    double Tr, Tne, Tck;  // [s]
    std::optional<double> Tbl;
    RunReach Reach;
    std::optional<double> Expected;
    const char* Reason = "";
};
void PrintTo(const ProbabilityCase& c, std::ostream* os) { *os << c.Name; }
class Probability : public testing::TestWithParam<ProbabilityCase> {};

TEST_P(Probability, ThreeCasesAndWhatTheRunCannotTell) {
    const ProbabilityCase& c = GetParam();
    std::string reason;
    const std::optional<double> p = EvacuationProbability(c.Tr, c.Tne, c.Tck, c.Tbl, c.Reach, &reason);
    ASSERT_EQ(p.has_value(), c.Expected.has_value());
    if (p) {
        EXPECT_NEAR(*p, *c.Expected, 1e-12);
    }
    EXPECT_NE(reason.find(c.Reason), std::string::npos) << reason;
}

INSTANTIATE_TEST_SUITE_P(
    Cases, Probability,
    testing::Values(
        // t_р + t_нэ = 90 ≤ 0,8·200 = 160: out in time.
        ProbabilityCase{"in time", 60, 30, 0, 200.0, Done(600), 0.999},
        // 60 < 160 < 260: the share 0,999·(160 − 60)/200 start in time.
        ProbabilityCase{"start delay overlaps", 60, 200, 0, 200.0, Done(600), 0.999 * 100 / 200},
        ProbabilityCase{"movement too long", 160, 0, 0, 200.0, Done(600), 0.0},
        ProbabilityCase{"crowds over 6 min", 10, 10, 361, 200.0, Done(600), 0.0},
        ProbabilityCase{"crowds of exactly 6 min", 10, 10, 360, 200.0, Done(600), 0.999},
        ProbabilityCase{"crowds over 6 min, stopped run", 10, 10, 361, std::nullopt, RunReach{RunEnd::Stopped, 5, 1}, 0.0},
        // The first worked route: t_р 40,5 s, t_нэ 60 s, t_бл 150 s: 100,5 ≤ 120.
        ProbabilityCase{"first worked route", 40.5, 60, 0, 150.0, Done(600), 0.999},
        ProbabilityCase{"no limit reached, long run", 40, 60, 0, std::nullopt, Done(600), 0.999},
        ProbabilityCase{"no limit reached, short run", 40, 60, 0, std::nullopt, Done(100), std::nullopt,
                        "время моделирования"},
        ProbabilityCase{"stopped run", 40, 60, 0, 500.0, RunReach{RunEnd::Stopped, 5, 50}, std::nullopt, "остановлен"}));

TEST(ProbabilityText, ThreeDecimalsOrDash) {
    EXPECT_EQ(ProbabilityText(0.999, ","), "0,999");
    EXPECT_EQ(ProbabilityText(0.0, ","), "0");
    EXPECT_EQ(ProbabilityText(std::nullopt, ","), "—");
}

zf::flow::Route FirstWorkedRoute() {
    zf::flow::Route r;
    r.People = 60;
    r.StartDelay = 10;
    using zf::flow::SegmentKind;
    r.Segments = {{SegmentKind::Horizontal, 30, 2, 1}, {SegmentKind::Doorway, 0, 1.2, 1}, {SegmentKind::Horizontal, 20, 1.5, 0}};
    return r;
}

zf::TzoneMath TwoRooms(double blockingRoom1, double blockingRoom2) {
    zf::TzoneMath zm;
    zm.AddRoom(4, 5, 3);
    zm.AddRoom(30, 2, 3);
    zm.dt = 0.1;
    zm.Iter = 6000;  // t_end 600 s
    zm.Room(0).CritTimeT = blockingRoom1;
    zm.Room(1).CritTimeVis = blockingRoom2;
    return zm;
}

// Each room against its own t_бл: the route leaves room 2 at 22,5 s and room 1 at 40,5 s.
// Room 2 (t_бл 30 s): 10 + 22,5 = 32,5 > 0,8·30 = 24: unsafe; room 1 (t_бл 100 s): 50,5 ≤ 80.
// P_э in room 2: 22,5 < 24 < 32,5: 0,999·(24 − 22,5)/10 = 0,14985; the route takes the lowest.
TEST(JudgeRunRoutes, EachRoomAgainstItsOwnBlockingTime) {
    const zf::TzoneMath zm = TwoRooms(100, 30);
    EvacuationInputs inputs;
    inputs.Routes = {FirstWorkedRoute()};
    const RunVerdict run = JudgeRun(zm, inputs);
    ASSERT_EQ(run.Routes.size(), 1u);
    const RouteVerdict& route = run.Routes[0];
    EXPECT_NEAR(route.Time, 40.5, 0.1);
    ASSERT_EQ(route.Rooms.size(), 2u);
    EXPECT_EQ(route.Rooms[0].Room, 1);
    EXPECT_NEAR(route.Rooms[0].LeaveTime, 22.5, 1e-9);
    EXPECT_EQ(route.Rooms[0].Verdict.Outcome, Verdict::Unsafe);
    EXPECT_EQ(route.Rooms[1].Verdict.Outcome, Verdict::Safe);
    EXPECT_EQ(route.Outcome, Verdict::Unsafe);
    ASSERT_TRUE(route.Probability);
    EXPECT_NEAR(*route.Probability, 0.999 * 1.5 / 10, 1e-9);
    EXPECT_EQ(run.Building, Verdict::Unsafe);  // the rooms have no typed times: the route decides
}

// A route with no room given is judged at its end against the fire room.
TEST(JudgeRunRoutes, WithoutRoomsTheFireRoomJudges) {
    const zf::TzoneMath zm = TwoRooms(100, 30);
    EvacuationInputs inputs;
    inputs.Routes = {FirstWorkedRoute()};
    for (auto& s : inputs.Routes[0].Segments) s.Room = -1;
    const RunVerdict run = JudgeRun(zm, inputs);
    ASSERT_EQ(run.Routes[0].Rooms.size(), 1u);
    EXPECT_EQ(run.Routes[0].Rooms[0].Room, 0);
    EXPECT_EQ(run.Routes[0].Outcome, Verdict::Safe);
    EXPECT_EQ(run.Routes[0].Probability, 0.999);
    EXPECT_EQ(run.Building, Verdict::Safe);
}

// A typed t_р keeps its room's verdict beside the routes'; the building takes the worst.
TEST(JudgeRunRoutes, TypedTimesStillJudged) {
    const zf::TzoneMath zm = TwoRooms(100, 300);
    EvacuationInputs inputs;
    inputs.Rooms = {EvacuationInput{10, 200}, std::nullopt};  // 210 > 80: unsafe
    inputs.Routes = {FirstWorkedRoute()};
    const RunVerdict run = JudgeRun(zm, inputs);
    EXPECT_EQ(run.Routes[0].Outcome, Verdict::Safe);
    EXPECT_EQ(run.Rooms[0].Outcome, Verdict::Unsafe);
    EXPECT_EQ(run.Building, Verdict::Unsafe);
}

// Routes the computation refuses give no figures, and the building no "безопасно".
TEST(JudgeRunRoutes, RefusedRoutesLeaveTheBuildingUndetermined) {
    const zf::TzoneMath zm = TwoRooms(100, 300);
    EvacuationInputs inputs;
    inputs.Routes = {FirstWorkedRoute()};
    inputs.Routes[0].Segments[1].Width = 0;
    const RunVerdict run = JudgeRun(zm, inputs);
    EXPECT_TRUE(run.Routes.empty());
    EXPECT_NE(run.RoutesRefused.find("путь 1, участок 2, ключ \"width\""), std::string::npos) << run.RoutesRefused;
    EXPECT_EQ(run.Building, Verdict::Undetermined);
    EXPECT_NE(run.Reason.find("ширина"), std::string::npos) << run.Reason;
}

// The summaries' line per route: t_р, t_ск, P_э and the verdict (the room-by-room route above).
TEST(RouteSummaryLines, OneLinePerRouteOrTheRefusal) {
    const zf::TzoneMath zm = TwoRooms(100, 30);
    EvacuationInputs inputs;
    inputs.Routes = {FirstWorkedRoute()};
    EXPECT_EQ(RouteSummaryLines(JudgeRun(zm, inputs), ","),
              std::vector<std::string>{"Путь 1: tр = 0,675 мин (40,5 с), tск = 0,000 мин, Pэ = 0,150 — опасно"});
    inputs.Routes[0].People = -1;
    const std::vector<std::string> refused = RouteSummaryLines(JudgeRun(zm, inputs), ",");
    ASSERT_EQ(refused.size(), 1u);
    EXPECT_NE(refused[0].find("не рассчитаны: путь 1, ключ \"people\""), std::string::npos) << refused[0];
    EXPECT_TRUE(RouteSummaryLines(JudgeRun(zm, EvacuationInputs{}), ",").empty());
}

}  // namespace
