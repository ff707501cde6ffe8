// Routes computed by hand from the people-flow table (data/people-flow.csv), each written out
// beside the program's figures; every time is checked to 0.1 s.
#include <gtest/gtest.h>

#include "model/people_flow.h"

namespace {

using zf::flow::ComputeFlow;
using zf::flow::Join;
using zf::flow::Route;
using zf::flow::Segment;
using zf::flow::SegmentKind;

constexpr double kTenthOfSecond = 0.1 / 60;  // [min]
constexpr auto H = SegmentKind::Horizontal;
constexpr auto Door = SegmentKind::Doorway;
constexpr auto Down = SegmentKind::StairsDown;
constexpr auto Up = SegmentKind::StairsUp;

Route OneRoute(double people, double f, std::vector<Segment> segments) {
    Route r;
    r.People = people;
    r.Projection = f;
    r.Segments = std::move(segments);
    return r;
}

// 60 people, f 0.1: corridor 30 × 2 m, doorway 1.2 m, corridor 20 × 1.5 m.
//   corridor 1: D = 60·0.1/(30·2) = 0.1 → V 80, q 8.0; 30/80 = 0.375 min
//   doorway:    q = 8·2/1.2 = 13.33 ≤ 19.6: no crowd, no time
//   corridor 2: q = 8·2/1.5 = 10.67 ≤ 16.5, between q 8 (V 80) and q 12 (V 60):
//               V = 80 − 20·2.67/4 = 66.67; 20/66.67 = 0.300 min
//   t_р = 0.675 min (40.5 s), no crowd: t_ск = 0.
TEST(PeopleFlowExample, CorridorDoorCorridorNoCrowd) {
    const std::vector<Route> routes{OneRoute(60, 0.1, {{H, 30, 2}, {Door, 0, 1.2}, {H, 20, 1.5}})};
    const zf::flow::FlowResult r = ComputeFlow(routes);
    const auto& s = r.Segments[0];
    EXPECT_NEAR(s[0].Density, 0.1, 1e-12);
    EXPECT_NEAR(s[0].Speed, 80, 1e-9);
    EXPECT_NEAR(s[0].Time, 0.375, kTenthOfSecond);
    EXPECT_NEAR(s[1].Intensity, 13.333, 1e-3);
    EXPECT_FALSE(s[1].Crowd);
    EXPECT_EQ(s[1].Time + s[1].Delay, 0);
    EXPECT_NEAR(s[2].Intensity, 10.667, 1e-3);
    EXPECT_NEAR(s[2].Speed, 66.667, 1e-3);
    EXPECT_NEAR(s[2].Time, 0.300, kTenthOfSecond);
    EXPECT_NEAR(r.Routes[0].Time, 0.675, kTenthOfSecond);
    EXPECT_EQ(r.Routes[0].CrowdTime, 0);
}

// 100 people in winter clothes (f 0.125): room 20 × 2.5 m, door 1.0 m, corridor 15 × 2 m.
//   room:     D = 12.5/(20·2.5) = 0.25, between rows 0.2 (V 60, q 12) and 0.3 (V 47, q 14.1):
//             V = 53.5, q = 13.05; 20/53.5 = 0.3738 min
//   door:     q = 13.05·2.5/1.0 = 32.63 > 19.6: a crowd; narrower than 1.6 m:
//             q = 2.5 + 3.75·1.0 = 6.25;
//             Δt = 12.5·[1/(6.25·1.0) − 1/(13.05·2.5)] = 12.5·(0.16 − 0.030651) = 1.6169 min
//   corridor: q = 6.25·1.0/2 = 3.125, between q 1 and q 5 (both V 100): 15/100 = 0.15 min
//   t_р = 0.3738 + 1.6169 + 0.15 = 2.1407 min (128.4 s);
//   t_ск = 12.5/(6.25·1.0) + 0 = 2.0 min (the crowd before the door).
TEST(PeopleFlowExample, CrowdBeforeNarrowDoor) {
    const std::vector<Route> routes{OneRoute(100, 0.125, {{H, 20, 2.5}, {Door, 0, 1.0}, {H, 15, 2}})};
    const zf::flow::FlowResult r = ComputeFlow(routes);
    const auto& s = r.Segments[0];
    EXPECT_NEAR(s[0].Speed, 53.5, 1e-9);
    EXPECT_NEAR(s[0].Intensity, 13.05, 1e-9);
    EXPECT_NEAR(s[0].Time, 0.3738, kTenthOfSecond);
    EXPECT_TRUE(s[1].Crowd);
    EXPECT_TRUE(s[1].NarrowDoor);
    EXPECT_NEAR(s[1].Intensity, 6.25, 1e-12);
    EXPECT_NEAR(s[1].Delay, 1.6169, kTenthOfSecond);
    EXPECT_NEAR(s[2].Speed, 100, 1e-9);
    EXPECT_NEAR(s[2].Time, 0.15, kTenthOfSecond);
    EXPECT_NEAR(r.Routes[0].Time, 2.1407, kTenthOfSecond);
    EXPECT_NEAR(r.Routes[0].CrowdTime, 2.0, kTenthOfSecond);
}

// Two flows merge into a stair down.
// Route 1 ("коридор Б"): 30 people, f 0.1, corridor 15 × 1.5 m, doorway 1.5 m, stairs down
// 10 × 1.5 m, exit path 5 × 2 m. Route 2 ("коридор А"): 40 people, f 0.1, corridor 20 × 2 m,
// doorway 1.2 m, then into route 1's stairs.
//   route 2 corridor: D = 4/40 = 0.1 → V 80, q 8; 20/80 = 0.25 min
//   route 2 doorway:  q = 8·2/1.2 = 13.33 ≤ 19.6: free
//   route 1 corridor: D = 3/22.5 = 0.1333, between 0.1 and 0.2: V = 80 − 20/3 = 73.33,
//                     q = 8 + 4/3 = 9.333; 15/73.33 = 0.2045 min
//   route 1 doorway:  q = 9.333 ≤ 19.6: free
//   stairs:           Σ q·δ = 9.333·1.5 + 13.33·1.2 = 14 + 16 = 30; q = 30/1.5 = 20 > 16:
//                     a crowd, q = 7.2, V = 8; Δt = 7·[1/(7.2·1.5) − 1/30] = 0.4148 min;
//                     10/8 = 1.25 min
//   exit path:        q = 7.2·1.5/2 = 5.4, between q 5 (V 100) and q 8 (V 80):
//                     V = 100 − 20·0.4/3 = 97.33; 5/97.33 = 0.0514 min
//   t_р(route 1) = 0.2045 + 0.4148 + 1.25 + 0.0514 = 1.9207 min
//   t_р(route 2) = 0.25 + 0.4148 + 1.25 + 0.0514 = 1.9662 min
//   t_ск = 7/(7.2·1.5) + 1.25 = 1.8981 min for both.
TEST(PeopleFlowExample, TwoFlowsMergeIntoStairDown) {
    std::vector<Route> routes{OneRoute(30, 0.1, {{H, 15, 1.5}, {Door, 0, 1.5}, {Down, 10, 1.5}, {H, 5, 2}}),
                              OneRoute(40, 0.1, {{H, 20, 2}, {Door, 0, 1.2}})};
    routes[1].JoinsInto = Join{0, 2};
    const zf::flow::FlowResult r = ComputeFlow(routes);
    const auto& stairs = r.Segments[0][2];
    EXPECT_NEAR(r.Segments[0][0].Speed, 73.333, 1e-3);
    EXPECT_NEAR(stairs.Arriving, 20, 1e-9);
    EXPECT_TRUE(stairs.Crowd);
    EXPECT_NEAR(stairs.Area, 7, 1e-12);
    EXPECT_NEAR(stairs.Delay, 0.4148, kTenthOfSecond);
    EXPECT_NEAR(stairs.Time, 1.25, 1e-12);
    EXPECT_NEAR(r.Segments[0][3].Speed, 97.333, 1e-3);
    EXPECT_NEAR(r.Routes[0].Time, 1.9207, kTenthOfSecond);
    EXPECT_NEAR(r.Routes[1].Time, 1.9662, kTenthOfSecond);
    EXPECT_NEAR(r.Routes[0].CrowdTime, 1.8981, kTenthOfSecond);
    EXPECT_NEAR(r.Routes[1].CrowdTime, 1.8981, kTenthOfSecond);
    ASSERT_EQ(r.Routes[1].Path.size(), 4u);  // its own two segments, then the stairs and the exit
    EXPECT_EQ(r.Routes[1].Path[2].Route, 0);
}

// A crowd at a wide doorway: 150 people, f 0.1, hall 10 × 6 m, doorway 1.8 m, corridor 30 × 2 m.
//   hall:     D = 15/60 = 0.25 → V 53.5, q 13.05; 10/53.5 = 0.1869 min
//   doorway:  q = 13.05·6/1.8 = 43.5 > 19.6: a crowd; 1.8 m ≥ 1.6 m: q = 8.5 (the table's row);
//             Δt = 15·[1/(8.5·1.8) − 1/(13.05·6)] = 15·(0.065359 − 0.012771) = 0.7888 min
//   corridor: q = 8.5·1.8/2 = 7.65, between q 5 (V 100) and q 8 (V 80):
//             V = 100 − 20·2.65/3 = 82.33; 30/82.33 = 0.3644 min
//   t_р = 0.1869 + 0.7888 + 0.3644 = 1.3401 min; t_ск = 15/(8.5·1.8) = 0.9804 min.
TEST(PeopleFlowExample, CrowdAtWideDoorway) {
    const std::vector<Route> routes{OneRoute(150, 0.1, {{H, 10, 6}, {Door, 0, 1.8}, {H, 30, 2}})};
    const zf::flow::FlowResult r = ComputeFlow(routes);
    const auto& door = r.Segments[0][1];
    EXPECT_TRUE(door.Crowd);
    EXPECT_FALSE(door.NarrowDoor);
    EXPECT_NEAR(door.Intensity, 8.5, 1e-12);
    EXPECT_NEAR(door.Delay, 0.7888, kTenthOfSecond);
    EXPECT_NEAR(r.Segments[0][2].Speed, 82.333, 1e-3);
    EXPECT_NEAR(r.Routes[0].Time, 1.3401, kTenthOfSecond);
    EXPECT_NEAR(r.Routes[0].CrowdTime, 0.9804, kTenthOfSecond);
}

// Teenagers up a stair: 50 people, f 0.07, corridor 10 × 2 m, stairs up 12 m long.
//   corridor: D = 3.5/20 = 0.175, between 0.1 and 0.2: V = 80 − 20·0.75 = 65,
//             q = 8 + 4·0.75 = 11; 10/65 = 0.1538 min
// Stairs 1.8 m wide: q = 11·2/1.8 = 12.22 > 11: a crowd, q 9.9, V 11;
//             Δt = 3.5·[1/(9.9·1.8) − 1/22] = 0.0373 min; 12/11 = 1.0909 min
//   t_р = 0.1538 + 0.0373 + 1.0909 = 1.2821 min; t_ск = 3.5/17.82 + 1.0909 = 1.2873 min.
// Stairs 2.2 m wide: q = 22/2.2 = 10 ≤ 11, between q 9.6 (D 0.3, V 32) and q 10.4 (D 0.4,
//   V 26): D = 0.35, V = 29; 12/29 = 0.4138 min; t_р = 0.1538 + 0.4138 = 0.5676 min; t_ск 0.
TEST(PeopleFlowExample, TeenagersUpAStair) {
    const auto route = [](double stairWidth) {
        return std::vector<Route>{OneRoute(50, zf::flow::kTeenager, {{H, 10, 2}, {Up, 12, stairWidth}})};
    };
    const zf::flow::FlowResult narrow = ComputeFlow(route(1.8));
    EXPECT_NEAR(narrow.Segments[0][0].Speed, 65, 1e-9);
    EXPECT_TRUE(narrow.Segments[0][1].Crowd);
    EXPECT_NEAR(narrow.Segments[0][1].Delay, 0.0373, kTenthOfSecond);
    EXPECT_NEAR(narrow.Routes[0].Time, 1.2821, kTenthOfSecond);
    EXPECT_NEAR(narrow.Routes[0].CrowdTime, 1.2873, kTenthOfSecond);
    const zf::flow::FlowResult wide = ComputeFlow(route(2.2));
    EXPECT_FALSE(wide.Segments[0][1].Crowd);
    EXPECT_NEAR(wide.Segments[0][1].Density, 0.35, 1e-9);
    EXPECT_NEAR(wide.Segments[0][1].Speed, 29, 1e-9);
    EXPECT_NEAR(wide.Routes[0].Time, 0.5676, kTenthOfSecond);
    EXPECT_EQ(wide.Routes[0].CrowdTime, 0);
}

// A dense start (D > 0.5) is a dense flow for as long as its people take to cross it:
// 80 people, f 0.1, room 4 × 3 m: D = 8/12 = 0.667, between 0.6 (V 27) and 0.7 (V 23):
// V = 27 − 4·0.667 = 24.33; 4/24.33 = 0.1644 min = t_ск.
TEST(PeopleFlowExample, DenseStartCountsAsCrowd) {
    const zf::flow::FlowResult r = ComputeFlow({OneRoute(80, 0.1, {{H, 4, 3}})});
    EXPECT_NEAR(r.Segments[0][0].Speed, 24.333, 1e-3);
    EXPECT_NEAR(r.Routes[0].CrowdTime, 0.1644, kTenthOfSecond);
}

// The time the last person leaves each room is read along the path; segments without a room
// are skipped, and a room crossed twice counts its last segment.
TEST(PeopleFlowExample, RoomLeaveTimesAlongThePath) {
    std::vector<Route> routes{OneRoute(60, 0.1, {{H, 30, 2, 1}, {Door, 0, 1.2, 1}, {H, 20, 1.5, 0}, {H, 20, 1.5}})};
    const zf::flow::FlowResult r = ComputeFlow(routes);
    const auto rooms = zf::flow::RoomLeaveTimes(routes, r.Routes[0]);
    ASSERT_EQ(rooms.size(), 2u);
    EXPECT_EQ(rooms[0].first, 1);
    EXPECT_NEAR(rooms[0].second, 0.375, 1e-9);
    EXPECT_EQ(rooms[1].first, 0);
    EXPECT_NEAR(rooms[1].second, 0.675, 1e-9);
}

}  // namespace
