// A study of the escape routes end to end: runs.csv and the summary give each run's t_р and
// P_э exactly as the runner computes that run on its own, and a merge of shards keeps them.

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>

#include <nlohmann/json.hpp>

#include "study_cli.h"

namespace fs = std::filesystem;
using nlohmann::json;
using namespace zftest;

namespace {

// Two rooms burning for 240 s; a hall of people leaves room 2 through a door and a corridor.
// N varies (a crowd forms at the door above about 50 people) and so does t_нэ, so t_р and P_э
// both spread.
std::string RouteStudy(int runs) {
    return R"({"base": {"SimTime": 240, "dt": 0.01,
      "rooms": [{"length": 5, "width": 4, "height": 3}, {"length": 8, "width": 6, "height": 3}],
      "openings": [{"rooms": [1, 2], "height": 2, "width": 0.9}, {"rooms": [2, 2], "height": 2, "width": 1.2}],
      "evacuation_routes": [{"name": "Зал", "people": 60, "projection": "adult_winter", "start_delay": 30,
        "segments": [{"kind": "horizontal", "length": 20, "width": 2.5, "room": 2}, {"kind": "doorway", "width": 1.0, "room": 2},
                     {"kind": "horizontal", "length": 15, "width": 2}]}]},
    "runs": )" + std::to_string(runs) + R"(, "seed": 11, "sampling": "latin-hypercube", "vary": [
      {"input": "evacuation_routes[1].people", "distribution": "uniform", "min": 10, "max": 120},
      {"input": "evacuation_routes[1].start_delay", "distribution": "uniform", "min": 0, "max": 90}]})";
}

constexpr int kRuns = 8;

class StudyRoutes : public testing::Test {
protected:
    void SetUp() override {
        WriteFile(tmp_ / "study.json", RouteStudy(kRuns));
        const ChildResult run = Cli({"study", Study(), "--out", Dir("whole"), "--quiet"});
        ASSERT_EQ(run.ExitCode, 0) << run.Err;
    }
    std::string Study() const { return (tmp_ / "study.json").string(); }
    std::string Dir(const std::string& name) const { return (tmp_ / name).string(); }

    TempDir tmp_;
};

// Percentile p of ascending values, interpolated between the closest ranks.
double PercentileOf(const std::vector<double>& sorted, double p) {
    const double at = static_cast<double>(sorted.size() - 1) * p / 100;
    const auto lo = static_cast<std::size_t>(std::floor(at));
    return lo + 1 < sorted.size() ? sorted[lo] + (at - static_cast<double>(lo)) * (sorted[lo + 1] - sorted[lo]) : sorted[lo];
}

// The summary's description of `values` (computed here, apart from the program's statistics).
void ExpectDescribes(const json& s, std::vector<double> values) {
    ASSERT_EQ(s["count"], values.size());
    double mean = 0;
    for (double v : values) mean += v / static_cast<double>(values.size());
    double squares = 0;
    for (double v : values) squares += (v - mean) * (v - mean);
    std::sort(values.begin(), values.end());
    const double scale = std::max(1.0, std::fabs(mean)) * 1e-12;
    EXPECT_NEAR(s["mean"].get<double>(), mean, scale);
    EXPECT_NEAR(s["sd"].get<double>(), std::sqrt(squares / static_cast<double>(values.size() - 1)), scale);
    for (double p : {5.0, 50.0, 95.0})
        EXPECT_NEAR(s["p" + std::to_string(static_cast<int>(p))].get<double>(), PercentileOf(values, p), scale) << p;
    EXPECT_EQ(s["min"].get<double>(), values.front());
    EXPECT_EQ(s["max"].get<double>(), values.back());
}

}  // namespace

TEST_F(StudyRoutes, TimeAndProbabilityEqualEachRunComputedOnItsOwn) {
    const std::vector<zfcli::study::RunRow> rows = RowsOf(Dir("whole"));
    ASSERT_EQ(rows.size(), static_cast<std::size_t>(kRuns));
    std::vector<double> times, probabilities;
    std::set<double> distinct;
    for (int run = 1; run <= kRuns; ++run) {
        const ChildResult emitted = Cli({"study", Study(), "--emit-scenario", std::to_string(run)});
        ASSERT_EQ(emitted.ExitCode, 0) << emitted.Err;
        ChildOptions options;
        options.Stdin = emitted.Out;
        const ChildResult single = Cli({"-", "--quiet", "--json", "-"}, options);
        ASSERT_EQ(single.ExitCode, 0) << single.Err;
        const json route = json::parse(single.Out)["evacuation_routes"][0];
        const zfcli::study::RouteRow& row = rows[static_cast<std::size_t>(run - 1)].Routes.at(0);
        ASSERT_TRUE(row.Time.has_value());
        EXPECT_EQ(*row.Time, route["evacuation_time"].get<double>()) << "run " << run;
        times.push_back(*row.Time);
        distinct.insert(*row.Time);
        if (route["probability"].is_null()) {
            EXPECT_FALSE(row.Probability.has_value()) << "run " << run;
        } else {
            ASSERT_TRUE(row.Probability.has_value()) << "run " << run;
            EXPECT_EQ(*row.Probability, route["probability"].get<double>()) << "run " << run;
            probabilities.push_back(*row.Probability);
        }
    }
    EXPECT_EQ(distinct.size(), static_cast<std::size_t>(kRuns));  // N varied, so did t_р
    const json summary = json::parse(ReadFile(fs::path(Dir("whole")) / "summary.json"));
    ASSERT_EQ(summary["routes"].size(), 1u);
    ExpectDescribes(summary["routes"][0]["evacuation_time"], times);
    ASSERT_GE(probabilities.size(), 2u);
    ExpectDescribes(summary["routes"][0]["probability"], probabilities);
    const json& verdict = summary["routes"][0]["verdict"];
    EXPECT_EQ(summary["routes"][0]["runs_without_verdict"].get<int>(),
              kRuns - verdict["safe"].get<int>() - verdict["unsafe"].get<int>());
    const std::string text = ReadFile(fs::path(Dir("whole")) / "summary.txt");
    EXPECT_NE(text.find("Путь 1 «Зал»\n  Время эвакуации t_р, с: расчетов — 8;"), std::string::npos) << text;
}

TEST_F(StudyRoutes, MergedShardsKeepTheRoutesColumnsAndSummary) {
    for (int i = 1; i <= 2; ++i) {
        const ChildResult run = Cli({"study", Study(), "--out", Dir("s" + std::to_string(i)), "--shard", std::to_string(i) + "/2", "--quiet"});
        ASSERT_EQ(run.ExitCode, 0) << run.Err;
    }
    const ChildResult merged = Cli({"merge", Dir("m"), Dir("s2"), Dir("s1")});
    ASSERT_EQ(merged.ExitCode, 0) << merged.Err;
    ExpectSameOutputs(Dir("whole"), Dir("m"));
    EXPECT_NE(ReadFile(fs::path(Dir("m")) / "runs.csv").find("route1_evacuation_time"), std::string::npos);
    EXPECT_EQ(json::parse(ReadFile(fs::path(Dir("m")) / "summary.json"))["routes"][0]["evacuation_time"]["count"], kRuns);
}
