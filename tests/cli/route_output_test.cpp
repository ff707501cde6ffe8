// The runner's text and JSON of the escape routes: per route t_р, t_ск, P_э and the verdict
// room by room, per segment D, V, q, time and delay; warnings on stderr, --strict refuses,
// a route the computation refuses is refused before the run, naming the route and segment.

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include <nlohmann/json.hpp>

#include "subprocess.h"

using nlohmann::json;

namespace {

const std::string kCli = ZONEFIRE_CLI;

// Two rooms, a short run; the routes given.
std::string WithRoutes(const std::string& routes) {
    return R"({"SimTime": 2, "dt": 0.01, "rooms": [{"length": 5, "width": 4, "height": 3},
  {"length": 6, "width": 5, "height": 3}],
 "openings": [{"rooms": [1, 2], "height": 2, "width": 0.9}, {"rooms": [2, 2], "height": 2, "width": 1.2}],
 "evacuation_routes": )" + routes + "}";
}

// The design's second worked route (t_р 2.1407 min = 128.4 s, crowd delay 1.6169 min before
// the door, t_ск 2.0 min) and a second route joining its corridor.
const std::string kRoutes = R"([{"name": "Зал", "people": 100, "projection": "adult_winter", "start_delay": 30,
   "segments": [{"kind": "horizontal", "length": 20, "width": 2.5, "room": 2}, {"kind": "doorway", "width": 1.0, "room": 2},
                {"kind": "horizontal", "length": 15, "width": 2}]},
  {"people": 0, "segments": [{"kind": "horizontal", "length": 5, "width": 2}], "joins": {"route": 1, "segment": 3}}])";

TEST(RouteOutput, JsonGivesRouteAndSegmentFigures) {
    ChildOptions options;
    options.Stdin = WithRoutes(kRoutes);
    const ChildResult r = RunChild(kCli, {"-", "--quiet", "--json", "-"}, options);
    ASSERT_EQ(r.ExitCode, 0) << r.Err;
    const json result = json::parse(r.Out);
    ASSERT_TRUE(result.contains("evacuation_routes"));
    const json& route = result["evacuation_routes"][0];
    EXPECT_EQ(route["name"], "Зал");
    EXPECT_NEAR(route["evacuation_time"].get<double>(), 2.1407 * 60, 0.1);
    EXPECT_NEAR(route["crowd_time"].get<double>(), 120, 0.1);
    EXPECT_EQ(route["start_delay"], 30);
    EXPECT_TRUE(route.contains("probability"));  // null here: a 2 s run tells nothing of 158 s
    const json& door = route["segments"][1];
    EXPECT_EQ(door["kind"], "doorway");
    EXPECT_TRUE(door["crowd"].get<bool>());
    EXPECT_NEAR(door["delay_min"].get<double>(), 1.6169, 0.1 / 60);
    EXPECT_NEAR(door["intensity_m_per_min"].get<double>(), 6.25, 1e-9);
    EXPECT_NEAR(route["segments"][0]["speed_m_per_min"].get<double>(), 53.5, 1e-9);
    EXPECT_EQ(route["rooms"][0]["number"], 2);
    EXPECT_TRUE(result.contains("crowd_time_definition"));
    EXPECT_EQ(result["evacuation_routes"].size(), 2u);
}

TEST(RouteOutput, TextGivesTheSegmentTableAndTheDefinition) {
    ChildOptions options;
    options.Stdin = WithRoutes(kRoutes);
    const ChildResult r = RunChild(kCli, {"-", "--quiet"}, options);
    ASSERT_EQ(r.ExitCode, 0) << r.Err;
    for (const char* piece : {"Путь 1 «Зал»: N = 100, f = 0.125 м², tнэ = 30.0 с", "дверной проем", "≥ 0.900",
                              "tр = 2.141 мин (128.4 с), tск = 2.000 мин", "Pэ = —", "t_ск — наибольшая длительность",
                              "Путь 2: N = 0"})
        EXPECT_NE(r.Out.find(piece), std::string::npos) << piece << "\n" << r.Out;
}

struct Case {
    const char* Name;
    std::string Routes;
    std::vector<std::string> Extra;
    int Exit;
    const char* Says;
};
void PrintTo(const Case& c, std::ostream* os) { *os << c.Name; }
class RouteInput : public testing::TestWithParam<Case> {};

TEST_P(RouteInput, WarnedOrRefusedOnStandardError) {
    std::vector<std::string> args = {"-", "--quiet"};
    args.insert(args.end(), GetParam().Extra.begin(), GetParam().Extra.end());
    ChildOptions options;
    options.Stdin = WithRoutes(GetParam().Routes);
    const ChildResult r = RunChild(kCli, args, options);
    EXPECT_EQ(r.ExitCode, GetParam().Exit) << r.Err;
    EXPECT_NE(r.Err.find(GetParam().Says), std::string::npos) << r.Err;
}

const std::string kNarrow =
    R"([{"people": 10, "segments": [{"kind": "horizontal", "length": 5, "width": 0.2}]}])";

INSTANTIATE_TEST_SUITE_P(
    Cases, RouteInput,
    testing::Values(
        Case{"NarrowWarned", kNarrow, {}, 0, "предупреждение: путь 1, участок 1, ключ \"width\""},
        Case{"NarrowRefusedWithStrict", kNarrow, {"--strict"}, 2, "с --strict предупреждения считаются ошибками"},
        Case{"NoPeopleWarned", R"([{"people": 0, "segments": [{"kind": "horizontal", "length": 5, "width": 1}]}])", {}, 0,
             "на пути нет людей"},
        Case{"ZeroWidthRefused", R"([{"people": 1, "segments": [{"kind": "horizontal", "length": 5, "width": 0}]}])", {}, 2,
             "путь 1, участок 1, ключ \"width\""},
        Case{"CycleRefused",
             R"([{"people": 1, "segments": [{"kind": "horizontal", "length": 5, "width": 1}, {"kind": "doorway", "width": 1}],
                  "joins": {"route": 1, "segment": 2}}])",
             {}, 2, "цикл"}),
    [](const testing::TestParamInfo<Case>& info) { return std::string(info.param.Name); });

}  // namespace
