// The people-flow table's own checks, the lookups off it, and the routes' refusals and warnings.
#include <gtest/gtest.h>

#include <fstream>
#include <functional>
#include <sstream>

#include "model/people_flow.h"
#include "model/route_rooms.h"

namespace {

using zf::flow::Join;
using zf::flow::Route;
using zf::flow::Segment;
using zf::flow::SegmentKind;

constexpr auto H = SegmentKind::Horizontal;
constexpr auto Door = SegmentKind::Doorway;

std::string TableText() {
    std::ifstream in(ZONEFIRE_PEOPLE_FLOW_CSV);
    std::stringstream s;
    s << in.rdbuf();
    return s.str();
}

std::string Replaced(std::string text, const std::string& from, const std::string& to) {
    const std::size_t at = text.find(from);
    EXPECT_NE(at, std::string::npos) << from;
    return at == std::string::npos ? text : text.replace(at, from.size(), to);
}

TEST(PeopleFlowTable, BuiltInTableIsTheDataFileAndPassesItsChecks) {
    const zf::flow::FlowTableRead read = zf::flow::ReadFlowTable(TableText());
    ASSERT_TRUE(read.Table) << read.Error;
    const zf::flow::FlowTable& t = zf::flow::PeopleFlowTable();
    EXPECT_EQ(read.Table->Intensity, t.Intensity);
    EXPECT_EQ(t.Density.size(), 11u);
}

// q_max of each kind is read off the table, not typed again.
TEST(PeopleFlowTable, LargestIntensityPerKind) {
    const zf::flow::FlowTable& t = zf::flow::PeopleFlowTable();
    EXPECT_EQ(t.MaxIntensity(SegmentKind::Horizontal), 16.5);
    EXPECT_EQ(t.MaxIntensity(SegmentKind::Doorway), 19.6);
    EXPECT_EQ(t.MaxIntensity(SegmentKind::StairsDown), 16);
    EXPECT_EQ(t.MaxIntensity(SegmentKind::StairsUp), 11);
    EXPECT_EQ(t.CrowdIntensity(SegmentKind::Doorway, 1.0), 6.25);  // 2.5 + 3.75·1.0
    EXPECT_EQ(t.CrowdIntensity(SegmentKind::Doorway, 1.6), 8.5);
}

// The printed variants known to be misprints are refused, naming the row and the column.
struct Misprint {
    const char* Row;
    const char* Printed;
    const char* Named;
};
class PeopleFlowMisprint : public testing::TestWithParam<Misprint> {};

TEST_P(PeopleFlowMisprint, IsRefusedAtLoad) {
    const zf::flow::FlowTableRead read = zf::flow::ReadFlowTable(Replaced(TableText(), GetParam().Row, GetParam().Printed));
    EXPECT_FALSE(read.Table);
    EXPECT_NE(read.Error.find(GetParam().Named), std::string::npos) << read.Error;
}

INSTANTIATE_TEST_SUITE_P(
    Variants, PeopleFlowMisprint,
    testing::Values(Misprint{"0.3,47,14.1,16.5,52,15.6,", "0.3,47,14.1,16.5,52,16.6,", "лестница вниз"},
                    Misprint{"0.8,19,15.2,17.3,13,10.4,13,10.4", "0.8,19,15.2,17.3,13,10.4,10,10.0", "лестница вверх"},
                    Misprint{"0.5,33,16.5,", "0.5,33,15.5,", "горизонтальный путь"},
                    Misprint{"0.4,40,16.0,", "0.2,40,16.0,", "возрастать"},
                    Misprint{"0.9,15,13.5,8.5,8,7.2,11,9.9", "0.9,15,13.5,8.5,8,7.2,11", "положительных чисел"},
                    Misprint{"0.1,80,8.0", "0.1,80,-8.0", "положительных чисел"}));

// Between rows: linear in D; a free flow's density is the lower of the two a q fits.
TEST(PeopleFlowTable, FreeFlowReadsTheLowDensitySide) {
    const zf::flow::FlowTable& t = zf::flow::PeopleFlowTable();
    EXPECT_NEAR(t.FreeDensity(H, 16.2), 0.4 + 0.1 * 0.2 / 0.5, 1e-12);  // not the 0.6 row's 16.2
    EXPECT_NEAR(t.FreeDensity(H, 0.5), 0.005, 1e-12);                     // below the first row: V 100
    EXPECT_EQ(t.SpeedAt(H, 0.005), 100);
    EXPECT_EQ(t.SpeedAt(H, 1.5), 15);  // above 0.9: the crowd's row
    EXPECT_NEAR(t.IntensityAt(H, 0.25), 13.05, 1e-12);
}

struct RefusalCase {
    const char* Name;
    std::vector<Route> Routes;
    int RouteIndex;
    int SegmentIndex;
    const char* Key;
};

Route Plain(double people = 10) {
    Route r;
    r.People = people;
    r.Segments = {{H, 10, 2}, {Door, 0, 1}, {H, 5, 2}};
    return r;
}

std::vector<Route> With(std::function<void(std::vector<Route>&)> change) {
    std::vector<Route> routes{Plain(), Plain()};
    change(routes);
    return routes;
}

class PeopleFlowRefusal : public testing::TestWithParam<RefusalCase> {};

TEST_P(PeopleFlowRefusal, NamesRouteSegmentAndKey) {
    const zf::flow::RouteCheck check = zf::flow::CheckRoutes(GetParam().Routes, 2);
    ASSERT_EQ(check.Refusals.size(), 1u) << GetParam().Name;
    const zf::flow::RouteProblem& p = check.Refusals[0];
    EXPECT_EQ(p.Route, GetParam().RouteIndex);
    EXPECT_EQ(p.Segment, GetParam().SegmentIndex);
    EXPECT_EQ(p.Key, GetParam().Key);
    EXPECT_FALSE(p.Text.empty());
    const std::string place = zf::flow::ProblemPlace(p);
    EXPECT_NE(place.find("путь " + std::to_string(GetParam().RouteIndex + 1)), std::string::npos) << place;
}

INSTANTIATE_TEST_SUITE_P(
    Cases, PeopleFlowRefusal,
    testing::Values(
        RefusalCase{"zero width", With([](auto& r) { r[1].Segments[1].Width = 0; }), 1, 1, "width"},
        RefusalCase{"negative length", With([](auto& r) { r[0].Segments[2].Length = -1; }), 0, 2, "length"},
        RefusalCase{"N below zero", With([](auto& r) { r[1].People = -3; }), 1, -1, "people"},
        RefusalCase{"f zero", With([](auto& r) { r[0].Projection = 0; }), 0, -1, "projection"},
        RefusalCase{"start delay below zero", With([](auto& r) { r[0].StartDelay = -1; }), 0, -1, "start_delay"},
        RefusalCase{"starts in a doorway", With([](auto& r) { r[0].Segments[0].Kind = Door; }), 0, 0, "kind"},
        RefusalCase{"no segments", With([](auto& r) { r[1].Segments.clear(); }), 1, -1, "segments"},
        RefusalCase{"no such room", With([](auto& r) { r[0].Segments[1].Room = 2; }), 0, 1, "room"},
        RefusalCase{"flows nowhere", With([](auto& r) { r[1].JoinsInto = Join{0, 3}; }), 1, 2, "joins"},
        RefusalCase{"into a start", With([](auto& r) { r[1].JoinsInto = Join{0, 0}; }), 1, 2, "joins"},
        RefusalCase{"into itself", With([](auto& r) { r[0].JoinsInto = Join{0, 1}; }), 0, 2, "joins"}));

TEST(PeopleFlowRefusal, CycleOfTwoRoutesIsRefusedOnBoth) {
    std::vector<Route> routes{Plain(), Plain()};
    routes[0].JoinsInto = Join{1, 1};
    routes[1].JoinsInto = Join{0, 2};
    const zf::flow::RouteCheck check = zf::flow::CheckRoutes(routes, 1);
    ASSERT_EQ(check.Refusals.size(), 2u);
    EXPECT_NE(check.Refusals[0].Text.find("цикл"), std::string::npos);
}

TEST(PeopleFlowWarning, NoPeopleTooLongTooNarrowDeepDoorway) {
    std::vector<Route> routes{Plain(0), Plain()};
    routes[1].Segments[0].Length = 12000;
    routes[1].Segments[2].Width = 0.25;
    routes[1].Segments[1].Length = 1.0;
    const zf::flow::RouteCheck check = zf::flow::CheckRoutes(routes, 1);
    EXPECT_TRUE(check.Refusals.empty());
    ASSERT_EQ(check.Warnings.size(), 4u);
    EXPECT_EQ(check.Warnings[0].Key, "people");  // the route's own problems first
    EXPECT_EQ(check.Warnings[1].Key, "length");
    EXPECT_EQ(check.Warnings[1].Segment, 0);
    EXPECT_EQ(check.Warnings[2].Segment, 1);
    EXPECT_EQ(check.Warnings[3].Key, "width");
}

// A route with no people of its own that others join is not warned about.
TEST(PeopleFlowWarning, EmptyRouteFedByAnotherIsFine) {
    std::vector<Route> routes{Plain(0), Plain()};
    routes[1].JoinsInto = Join{0, 1};
    EXPECT_TRUE(zf::flow::CheckRoutes(routes, 1).Warnings.empty());
}

}  // namespace

namespace {

// A deleted room takes its segments' room away and moves every later room up by one; earlier
// rooms and segments without a room stay as they were.
TEST(ForgetRoom, LaterRoomsMoveUpAndTheDeletedRoomsSegmentsKeepNone) {
    struct Case {
        std::vector<int> rooms;
        int deleted;
        std::vector<int> after;
        int unbound;
    };
    const Case cases[] = {
        {{0, 1, 2}, 1, {0, -1, 1}, 1},
        {{0, 1, 2}, 2, {0, 1, -1}, 1},
        {{2, 2, -1}, 0, {1, 1, -1}, 0},
        {{3, 3, 0}, 3, {-1, -1, 0}, 2},
    };
    for (const Case& c : cases) {
        std::vector<zf::flow::Route> routes(1);
        for (int room : c.rooms) routes[0].Segments.push_back({zf::flow::SegmentKind::Horizontal, 5, 1, room});
        EXPECT_EQ(zf::flow::ForgetRoom(routes, c.deleted), c.unbound);
        for (std::size_t i = 0; i < c.after.size(); ++i) EXPECT_EQ(routes[0].Segments[i].Room, c.after[i]) << i;
    }
}

}  // namespace
