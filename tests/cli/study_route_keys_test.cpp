// A study of the escape routes' inputs, read in this process: the keys of a route's N, f and
// t_нэ with their bounds, the route cells of runs.csv and the summary of t_р and P_э.

#include <gtest/gtest.h>

#include <cmath>
#include <filesystem>
#include <fstream>
#include <iterator>

#include <nlohmann/json.hpp>

#include "study_file.h"
#include "study_table.h"
#include "project/scenario_file.h"

using namespace zfcli::study;

namespace {

// Two rooms and one escape route from room 2 through a door.
const std::string kRouteBase = R"("base": {"dt": 0.01, "rooms": [{}, {}], "openings": [{"rooms": [1, 2]}],
    "evacuation_routes": [{"name": "Зал", "people": 60, "start_delay": 30,
      "segments": [{"kind": "horizontal", "length": 20, "width": 2, "room": 2}, {"kind": "doorway", "width": 1.2, "room": 2}]}]})";

std::string RouteStudy(const std::string& vary, const std::string& base = kRouteBase) {
    return "{" + base + R"(, "runs": 10, "seed": 7, "sampling": "monte-carlo", "vary": [)" + vary + "]}";
}

std::string Refusal(const std::string& text) {
    Study study;
    return ReadStudy(text, ".", study).value_or("(accepted)");
}

struct BadRouteKey {
    const char* Name;
    std::string Study;
    std::vector<std::string> Expected;  // every piece the refusal must carry
};

void PrintTo(const BadRouteKey& c, std::ostream* os) { *os << c.Name; }

class StudyRouteKeyRefused : public testing::TestWithParam<BadRouteKey> {};

}  // namespace

TEST_P(StudyRouteKeyRefused, NamesTheEntryAndWhatToDo) {
    const std::string message = Refusal(GetParam().Study);
    for (const std::string& part : GetParam().Expected) EXPECT_NE(message.find(part), std::string::npos) << message;
}

INSTANTIATE_TEST_SUITE_P(
    RouteKeys, StudyRouteKeyRefused,
    testing::Values(
        BadRouteKey{"BaseWithoutRoutes",
                    RouteStudy(R"({"input": "evacuation_routes[1].people", "distribution": "uniform", "min": 1, "max": 2})",
                               R"("base": {"dt": 0.01, "rooms": [{}]})"),
                    {"параметр №1 (\"evacuation_routes[1].people\")", "нет путей эвакуации", "\"evacuation_routes\""}},
        BadRouteKey{"NoSuchRoute", RouteStudy(R"({"input": "evacuation_routes[2].people", "distribution": "uniform", "min": 1, "max": 2})"),
                    {"нет элемента evacuation_routes с номером 2 (номера 1…1)"}},
        BadRouteKey{"UnknownKey", RouteStudy(R"({"input": "evacuation_routes[1].speed", "distribution": "uniform", "min": 1, "max": 2})"),
                    {"у пути эвакуации нельзя изменять \"speed\"", "people, projection, start_delay"}},
        BadRouteKey{"SegmentsAreNotVaried",
                    RouteStudy(R"({"input": "evacuation_routes[1].segments", "distribution": "uniform", "min": 1, "max": 2})"),
                    {"нельзя изменять \"segments\""}},
        BadRouteKey{"PeopleBelowZero",
                    RouteStudy(R"({"input": "evacuation_routes[1].people", "distribution": "uniform", "min": -5, "max": 40})"),
                    {"параметр №1", "число людей N на пути допустимо от 0", "min и max"}},
        BadRouteKey{"PeopleNormalWithoutMin",
                    RouteStudy(R"({"input": "evacuation_routes[1].people", "distribution": "normal", "mean": 60, "sd": 10})"),
                    {"число людей N", "ключом \"min\""}},
        BadRouteKey{"PeopleChoiceBelowZero",
                    RouteStudy(R"({"input": "evacuation_routes[1].people", "distribution": "choice", "values": [10, -1]})"),
                    {"есть -1"}},
        BadRouteKey{"ProjectionFromZero",
                    RouteStudy(R"({"input": "evacuation_routes[1].projection", "distribution": "uniform", "min": 0, "max": 0.125})"),
                    {"0 < f ≤ 1 м²", "0 < min ≤ max ≤ 1"}},
        BadRouteKey{"ProjectionInSquareCentimetres",
                    RouteStudy(R"({"input": "evacuation_routes[1].projection", "distribution": "choice", "values": [0.1, 1250]})"),
                    {"площадь горизонтальной проекции", "есть 1250"}},
        BadRouteKey{"StartDelayBelowZero",
                    RouteStudy(R"({"input": "evacuation_routes[1].start_delay", "distribution": "triangular", "min": -10, "mode": 30, "max": 60})"),
                    {"время начала эвакуации t_нэ допустимо от 0 с"}}),
    [](const testing::TestParamInfo<BadRouteKey>& info) { return std::string(info.param.Name); });

TEST(StudyRouteKeys, DrawsGoIntoTheRunsRouteAndItsRowHasRouteColumns) {
    Study study;
    ASSERT_EQ(ReadStudy(RouteStudy(R"({"input": "evacuation_routes[1].people", "distribution": "lognormal", "median": 60, "factor": 1.5},
        {"input": "evacuation_routes[1].projection", "distribution": "choice", "values": [0.1, 0.125]},
        {"input": "evacuation_routes[1].start_delay", "distribution": "normal", "mean": 60, "sd": 20, "min": 0})"),
                        ".", study),
              std::nullopt);
    EXPECT_EQ(study.RouteCount, 1);
    EXPECT_NE(CsvHeader(study).find(",route1_evacuation_time,route1_probability,route1_verdict"), std::string::npos);
    const Sampler sampler(study.Method, study.Seed, study.Runs, study.Inputs.size());
    for (std::uint64_t run = 1; run <= study.Runs; ++run) {
        const std::vector<Draw> draws = DrawsOfRun(study, sampler, run);
        const zf::project::Document building = ScenarioOfRun(study, draws);
        ASSERT_EQ(building.Routes.size(), 1u);
        EXPECT_EQ(building.Routes[0].People, draws[0].Rank);
        EXPECT_EQ(building.Routes[0].Projection, draws[1].Rank);
        EXPECT_EQ(building.Routes[0].StartDelay, draws[2].Rank);
        EXPECT_EQ(building.Routes[0].Segments, study.Base.Routes[0].Segments);  // the rest is the base's
        zf::project::Document read;
        ASSERT_EQ(zf::project::ReadDocument(ScenarioText(study, draws), read), std::nullopt);
        EXPECT_EQ(read, building);
    }
}

// ---- The route cells of runs.csv ----------------------------------------------------------

namespace {

class StudyRouteCells : public testing::Test {
protected:
    void SetUp() override {
        ASSERT_EQ(ReadStudy(RouteStudy(R"({"input": "evacuation_routes[1].people", "distribution": "uniform", "min": 10, "max": 90})"),
                            ".", study),
                  std::nullopt);
    }
    RunRow Row(std::uint64_t run, std::optional<double> time, std::optional<double> probability, const std::string& verdict,
               RunStatus status = RunStatus::Completed) const {
        RunRow row;
        row.Run = run;
        row.Inputs = {"50"};
        row.Status = status;
        row.Rooms.resize(2);
        row.Routes = {RouteRow{time, probability, verdict}};
        return row;
    }
    Study study;
};

}  // namespace

TEST_F(StudyRouteCells, ReadBackAsWritten) {
    const std::vector<RunRow> written = {Row(1, 40.5, 0.999, "safe"), Row(2, 128.42, 0.41257, "unsafe"),
                                         Row(3, 61.0, std::nullopt, "undetermined"), Row(4, std::nullopt, std::nullopt, "undetermined")};
    std::string csv = CsvHeader(study) + "\n";
    for (const RunRow& row : written) csv += CsvRow(study, row);
    std::vector<RunRow> rows;
    ASSERT_EQ(ParseCsv(study, csv, rows), std::nullopt);
    ASSERT_EQ(rows.size(), written.size());
    for (std::size_t i = 0; i < rows.size(); ++i) {
        EXPECT_EQ(rows[i].Routes[0].Time, written[i].Routes[0].Time);
        EXPECT_EQ(rows[i].Routes[0].Probability, written[i].Routes[0].Probability);
        EXPECT_EQ(rows[i].Routes[0].Verdict, written[i].Routes[0].Verdict);
    }
}

TEST_F(StudyRouteCells, ForgedCellsAreRefusedWithTheirLine) {
    struct Case {
        std::string From, To, Said;
    };
    const std::vector<Case> cases = {{"40.5,", "-3,", "неверное время эвакуации по пути"},
                                     {"0.999,", "1.5,", "неверная вероятность эвакуации по пути"},
                                     {"0.999,", "много,", "неверная вероятность эвакуации по пути"},
                                     {",safe", ",probably", "неверный вывод об эвакуации по пути"}};
    for (const Case& c : cases) {
        std::string row = CsvRow(study, Row(1, 40.5, 0.999, "safe"));
        row.replace(row.rfind(c.From), c.From.size(), c.To);
        std::vector<RunRow> rows;
        const auto refused = ParseCsv(study, CsvHeader(study) + "\n" + row, rows);
        ASSERT_TRUE(refused.has_value()) << row;
        EXPECT_NE(refused->find("строка 2: " + c.Said), std::string::npos) << *refused;
    }
}

// t_р and P_э are described over the completed runs that give them; a run without a verdict
// (undetermined, failed) is counted apart.
TEST_F(StudyRouteCells, SummaryDescribesTimeAndProbabilityAndCountsRunsWithoutVerdict) {
    const std::vector<RunRow> rows = {Row(1, 40, 0.999, "safe"), Row(2, 60, 0.5, "unsafe"), Row(3, 80, 0.999, "safe"),
                                      Row(4, 100, std::nullopt, "undetermined"),
                                      Row(5, 90, std::nullopt, "undetermined", RunStatus::Failed)};
    const nlohmann::json summary = nlohmann::json::parse(SummaryJson(study, rows, Share{}));
    const nlohmann::json& route = summary["routes"][0];
    EXPECT_EQ(route["name"], "Зал");
    const nlohmann::json& t = route["evacuation_time"];
    EXPECT_EQ(t["count"], 4);
    EXPECT_DOUBLE_EQ(t["mean"].get<double>(), 70.0);
    EXPECT_NEAR(t["sd"].get<double>(), std::sqrt(2000.0 / 3), 1e-12);  // deviations −30, −10, 10, 30
    EXPECT_DOUBLE_EQ(t["p50"].get<double>(), 70.0);
    EXPECT_DOUBLE_EQ(t["p5"].get<double>(), 43.0);  // position 0.15 between 40 and 60
    EXPECT_EQ(t["min"], 40.0);
    EXPECT_EQ(t["max"], 100.0);
    const nlohmann::json& p = route["probability"];
    EXPECT_EQ(p["count"], 3);
    EXPECT_NEAR(p["mean"].get<double>(), (0.999 * 2 + 0.5) / 3, 1e-15);
    EXPECT_EQ(p["min"], 0.5);
    EXPECT_EQ(route["verdict"]["safe"], 2);
    EXPECT_EQ(route["verdict"]["unsafe"], 1);
    EXPECT_EQ(route["verdict"]["undetermined"], 1);
    EXPECT_EQ(route["verdict"]["failed"], 1);
    EXPECT_EQ(route["runs_without_verdict"], 2);

    const std::string text = SummaryText(study, rows, Share{});
    EXPECT_NE(text.find("Путь 1 «Зал»"), std::string::npos) << text;
    EXPECT_NE(text.find("Время эвакуации t_р, с: расчетов — 4; среднее 70,0"), std::string::npos) << text;
    EXPECT_NE(text.find("Вероятность эвакуации P_э: расчетов — 3"), std::string::npos) << text;
    EXPECT_NE(text.find("Расчетов без вывода: 2 из 5"), std::string::npos) << text;
}

TEST(StudyRouteKeys, TheExampleStudyVariesTheHallsRoute) {
    const std::filesystem::path dir = std::filesystem::path(ZONEFIRE_EXAMPLES) / "study";
    std::ifstream in(dir / "hall_route_study.json");
    const std::string text((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    Study study;
    ASSERT_EQ(ReadStudy(text, dir, study), std::nullopt);
    EXPECT_EQ(study.RouteCount, 1);
    ASSERT_EQ(study.Inputs.size(), 3u);
    for (const VariedInput& input : study.Inputs) EXPECT_EQ(input.Route, 0) << input.Path;
}
