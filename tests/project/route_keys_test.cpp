// The escape routes in the scenario file ("evacuation_routes"): read, written back the same,
// kept beside the rooms' typed times; bad values refused naming the route, segment and key.
#include <gtest/gtest.h>

#include <string>

#include "project/scenario_file.h"

using namespace zf::project;

namespace {

const std::string kTwoRoutes = R"({"rooms": [{}, {"evacuation": {"start_delay": 30, "duration": 95}}],
 "evacuation_routes": [
  {"name": "Лестница А", "people": 30, "projection": "adult_winter", "start_delay": 60,
   "segments": [{"kind": "horizontal", "length": 15, "width": 1.5, "room": 2}, {"kind": "doorway", "width": 1.5},
                {"kind": "stairs_down", "length": 10, "width": 1.5}, {"kind": "horizontal", "length": 5, "width": 2}]},
  {"people": 40, "projection": 0.1, "segments": [{"kind": "horizontal", "length": 20, "width": 2, "room": 1}],
   "joins": {"route": 1, "segment": 3}}]})";

std::string Refusal(const std::string& routes) {
    Document d;
    const auto why = ReadDocument(R"({"rooms": [{}], "evacuation_routes": )" + routes + "}", d);
    EXPECT_TRUE(why.has_value()) << routes;
    return why.value_or("");
}

}  // namespace

TEST(RouteKeys, ReadWithTypedTimesAndWrittenBackTheSame) {
    Document d;
    ASSERT_EQ(ReadDocument(kTwoRoutes, d), std::nullopt);
    ASSERT_EQ(d.Routes.size(), 2u);
    const zf::flow::Route& a = d.Routes[0];
    EXPECT_EQ(a.Name, "Лестница А");
    EXPECT_EQ(a.Projection, zf::flow::kAdultWinter);
    EXPECT_EQ(a.StartDelay, 60);
    ASSERT_EQ(a.Segments.size(), 4u);
    EXPECT_EQ(a.Segments[0].Room, 1);
    EXPECT_EQ(a.Segments[1].Kind, zf::flow::SegmentKind::Doorway);
    EXPECT_EQ(a.Segments[1].Room, -1);
    EXPECT_EQ(d.Routes[1].JoinsInto, (zf::flow::Join{0, 2}));
    ASSERT_TRUE(d.Rooms[1].Evacuation);  // the typed t_р stays
    EXPECT_EQ(d.Evacuation().Routes, d.Routes);

    const std::string text = WriteDocument(d);
    EXPECT_NE(text.find("\"version\": 4"), std::string::npos) << text;
    Document again;
    ASSERT_EQ(ReadDocument(text, again), std::nullopt);
    EXPECT_EQ(again, d);
    EXPECT_EQ(WriteDocument(again), text);
    EXPECT_EQ(RunRefusal(d), std::nullopt);
}

// A file without routes keeps its bytes and its version.
TEST(RouteKeys, FilesWithoutRoutesStayAsTheyWere) {
    Document d;
    ASSERT_EQ(ReadDocument(R"({"rooms": [{}]})", d), std::nullopt);
    const std::string text = WriteDocument(d);
    EXPECT_EQ(text.find("evacuation_routes"), std::string::npos);
    EXPECT_NE(text.find("\"version\": 1"), std::string::npos);
}

struct BadRoute {
    const char* Routes;
    const char* Named;
};
class RouteKeysRefused : public testing::TestWithParam<BadRoute> {};

TEST_P(RouteKeysRefused, NamesRouteSegmentAndKey) {
    const std::string why = Refusal(GetParam().Routes);
    EXPECT_NE(why.find(GetParam().Named), std::string::npos) << why;
}

INSTANTIATE_TEST_SUITE_P(
    Cases, RouteKeysRefused,
    testing::Values(BadRoute{R"({})", "ожидается массив путей"},
                    BadRoute{R"([{"people": -1, "segments": []}])", "путь 1, ключ \"people\""},
                    BadRoute{R"([{"segments": []}])", "путь 1: не задан ключ \"people\""},
                    BadRoute{R"([{"people": 1, "projection": "child", "segments": []}])", "неизвестный вид людей"},
                    BadRoute{R"([{"people": 1, "segments": [{"kind": "lift", "length": 1, "width": 1}]}])",
                             "путь 1, участок 1, ключ \"kind\""},
                    BadRoute{R"([{"people": 1, "segments": [{"kind": "horizontal", "width": 1}]}])",
                             "путь 1, участок 1: не задан ключ \"length\""},
                    BadRoute{R"([{"people": 1, "segments": [{"kind": "horizontal", "length": 1, "width": 1, "floor": 2}]}])",
                             "неизвестный ключ \"floor\""},
                    BadRoute{R"([{"people": 1, "segments": [], "joins": {"route": 0, "segment": 2}}])",
                             "путь 1, ключ \"joins\", ключ \"route\""}));

// What the computation refuses is read (so the file can be opened and mended) and refused
// before a run, naming the route, the segment and the key.
struct RunRefused {
    const char* Routes;
    const char* Named;
};
class RouteKeysRunRefused : public testing::TestWithParam<RunRefused> {};

TEST_P(RouteKeysRunRefused, ReadThenRefusedBeforeTheRun) {
    Document d;
    ASSERT_EQ(ReadDocument(R"({"rooms": [{}], "evacuation_routes": )" + std::string(GetParam().Routes) + "}", d),
              std::nullopt);
    const std::optional<std::string> why = RunRefusal(d);
    ASSERT_TRUE(why);
    EXPECT_NE(why->find(GetParam().Named), std::string::npos) << *why;
    EXPECT_NE(why->find("ключ \"evacuation_routes\""), std::string::npos) << *why;
}

INSTANTIATE_TEST_SUITE_P(
    Cases, RouteKeysRunRefused,
    testing::Values(
        RunRefused{R"([{"people": 1, "segments": [{"kind": "horizontal", "length": 1, "width": 0}]}])",
                   "путь 1, участок 1, ключ \"width\""},
        RunRefused{R"([{"people": 1, "segments": [{"kind": "horizontal", "length": 1, "width": 1, "room": 3}]}])",
                   "путь 1, участок 1, ключ \"room\""},
        RunRefused{R"([{"people": 1, "segments": [{"kind": "horizontal", "length": 1, "width": 1}, {"kind": "doorway", "width": 1}],
                        "joins": {"route": 1, "segment": 2}}])",
                   "цикл"},
        RunRefused{R"([{"people": 1, "segments": [{"kind": "horizontal", "length": 1, "width": 1}],
                        "joins": {"route": 4, "segment": 2}}])",
                   "в никуда"}));
