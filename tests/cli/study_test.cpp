// Parameter studies in this process: the generator and its distributions, the Latin
// hypercube, the statistics of the summary and the study file's refusals.

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <numeric>

#include "project/scenario_file.h"
#include "study_file.h"
#include "study_random.h"
#include "study_table.h"
#include "study_texts.h"

using namespace zfcli::study;
using zftest::Refusal;
using zftest::StudyText;

namespace {

constexpr int kDraws = 200000;

// kDraws values of a distribution by Monte Carlo draws of input 0 under seed 42.
std::vector<double> Sample(const Distribution& law) {
    std::vector<double> v;
    v.reserve(kDraws);
    for (int run = 1; run <= kDraws; ++run) v.push_back(Quantile(law, DrawStream(42, static_cast<std::uint64_t>(run), 0).NextOpenUnit()));
    return v;
}

double Mean(const std::vector<double>& v) { return std::accumulate(v.begin(), v.end(), 0.0) / static_cast<double>(v.size()); }

double Sd(const std::vector<double>& v) {
    const double m = Mean(v);
    double s = 0;
    for (double x : v) s += (x - m) * (x - m);
    return std::sqrt(s / static_cast<double>(v.size() - 1));
}

double QuantileOfSample(std::vector<double> v, double p) {
    std::sort(v.begin(), v.end());
    return *stats::Percentile(v, p);
}

}  // namespace

TEST(StudyGenerator, SplitMix64MatchesThePublishedSequence) {
    // The reference outputs of SplitMix64 started from the state 1234567.
    SplitMix64 g(1234567);
    EXPECT_EQ(g.Next(), 6457827717110365317ull);
    EXPECT_EQ(g.Next(), 3203168211198807973ull);
    EXPECT_EQ(g.Next(), 9817491932198370423ull);
}

TEST(StudyGenerator, StreamsDependOnSeedRunAndInputOnly) {
    EXPECT_EQ(DrawStream(5, 17, 2).Next(), DrawStream(5, 17, 2).Next());
    EXPECT_NE(DrawStream(5, 17, 2).Next(), DrawStream(5, 18, 2).Next());
    EXPECT_NE(DrawStream(5, 17, 2).Next(), DrawStream(5, 17, 3).Next());
    EXPECT_NE(DrawStream(5, 17, 2).Next(), DrawStream(6, 17, 2).Next());
    // Uniform numbers stay inside the open interval even at the extreme outputs.
    for (std::uint64_t run = 1; run < 10000; ++run) {
        const double u = DrawStream(0, run, 0).NextOpenUnit();
        ASSERT_GT(u, 0.0);
        ASSERT_LT(u, 1.0);
    }
}

TEST(StudyDistributions, NormalQuantileInvertsTheDistributionFunction) {
    EXPECT_NEAR(NormalQuantile(0.975), 1.959963984540054, 2e-9);
    EXPECT_NEAR(NormalQuantile(0.5), 0.0, 1e-15);
    // The approximation's relative error in x is below 1.15·10⁻⁹; in x the error is
    // (Φ(x) − p) / φ(x).
    for (double p : {1e-12, 1e-6, 0.001, 0.02, 0.03, 0.2, 0.5, 0.77, 0.975, 0.99, 1 - 1e-9}) {
        const double x = NormalQuantile(p);
        const double density = std::exp(-x * x / 2) / std::sqrt(2 * M_PI);
        EXPECT_LT(std::fabs(NormalCdf(x) - p) / density, 1.2e-9 * std::max(1.0, std::fabs(x))) << p;
    }
}

TEST(StudyDistributions, MomentsOfLargeSamples) {
    // Standard errors at 200 000 draws are about 0.2 % of a deviation; the tolerances allow
    // five of them.
    const auto uniform = Sample(Uniform{2, 5});
    EXPECT_NEAR(Mean(uniform), 3.5, 0.01);
    EXPECT_NEAR(Sd(uniform), 3 / std::sqrt(12.0), 0.005);
    EXPECT_GE(*std::min_element(uniform.begin(), uniform.end()), 2);
    EXPECT_LE(*std::max_element(uniform.begin(), uniform.end()), 5);

    const auto normal = Sample(Normal{10, 2});
    EXPECT_NEAR(Mean(normal), 10, 0.025);
    EXPECT_NEAR(Sd(normal), 2, 0.02);
    EXPECT_NEAR(QuantileOfSample(normal, 95), 10 + 2 * 1.6448536, 0.05);

    const auto triangular = Sample(Triangular{1, 2, 6});
    EXPECT_NEAR(Mean(triangular), 3, 0.01);  // (a + c + b) / 3
    EXPECT_NEAR(QuantileOfSample(triangular, 20), 2, 0.02);  // F(mode) = (c − a)/(b − a) = 0.2

    // Given as median and error factor: the median and the 95th percentile come back.
    Lognormal lognormal;
    lognormal.Mu = std::log(270);
    lognormal.Sigma = std::log(1.5) / NormalQuantile(0.95);
    const auto ln = Sample(lognormal);
    EXPECT_NEAR(QuantileOfSample(ln, 50) / 270, 1, 0.005);
    EXPECT_NEAR(QuantileOfSample(ln, 95) / (270 * 1.5), 1, 0.01);
    EXPECT_NEAR(Mean(ln), std::exp(lognormal.Mu + lognormal.Sigma * lognormal.Sigma / 2), 0.6);
}

TEST(StudyDistributions, TruncatedNormalStaysInsideAndHasTheTruncatedMean) {
    Normal d{0, 1};
    d.Min = -0.5;
    d.Max = 2;
    const auto v = Sample(d);
    EXPECT_GE(*std::min_element(v.begin(), v.end()), -0.5);
    EXPECT_LE(*std::max_element(v.begin(), v.end()), 2);
    // Mean of a normal truncated to [a, b]: μ + σ·(φ(a) − φ(b)) / (Φ(b) − Φ(a)).
    auto phi = [](double x) { return std::exp(-x * x / 2) / std::sqrt(2 * M_PI); };
    EXPECT_NEAR(Mean(v), (phi(-0.5) - phi(2)) / (NormalCdf(2) - NormalCdf(-0.5)), 0.005);

    Normal oneSided{5, 1};
    oneSided.Min = 5;  // the upper half only
    EXPECT_NEAR(Mean(Sample(oneSided)), 5 + std::sqrt(2 / M_PI), 0.005);
}

TEST(StudyDistributions, DiscreteSharesFollowProbabilityAndWeights) {
    const auto open = Sample(Bernoulli{0.3});
    EXPECT_NEAR(Mean(open), 0.3, 0.005);
    const auto chosen = Sample(Choice{{1, 3, 0, 4}});
    std::array<int, 4> counts{};
    for (double k : chosen) ++counts[static_cast<std::size_t>(k)];
    EXPECT_NEAR(counts[0] / double(kDraws), 1 / 8.0, 0.004);
    EXPECT_NEAR(counts[1] / double(kDraws), 3 / 8.0, 0.004);
    EXPECT_EQ(counts[2], 0);  // a zero weight is never drawn
    EXPECT_NEAR(counts[3] / double(kDraws), 4 / 8.0, 0.004);
}

TEST(StudyLatinHypercube, EveryStratumOfEveryInputHoldsExactlyOneRun) {
    constexpr std::uint64_t kRuns = 5000;
    const Sampler sampler(Sampling::LatinHypercube, 99, kRuns, 3);
    for (std::size_t input = 0; input < 3; ++input) {
        std::vector<int> hits(kRuns);
        for (std::uint64_t run = 1; run <= kRuns; ++run) {
            const double u = sampler.Probability(run, input);
            ASSERT_GT(u, 0.0);
            ASSERT_LT(u, 1.0);
            ++hits[static_cast<std::size_t>(u * kRuns)];
        }
        EXPECT_TRUE(std::all_of(hits.begin(), hits.end(), [](int h) { return h == 1; })) << "input " << input;
    }
    // The inputs' strata are permuted independently: their ranks are nearly uncorrelated.
    std::vector<double> a, b;
    for (std::uint64_t run = 1; run <= kRuns; ++run) a.push_back(sampler.Probability(run, 0)), b.push_back(sampler.Probability(run, 1));
    EXPECT_LT(std::fabs(*stats::RankCorrelation(a, b)), 0.05);
    // A second sampler of the same study (another shard, say) draws the same numbers.
    const Sampler again(Sampling::LatinHypercube, 99, kRuns, 3);
    EXPECT_EQ(again.Probability(4321, 2), sampler.Probability(4321, 2));
}

TEST(StudyStatistics, PercentilesTreatUnreachedAsAboveEverything) {
    const double inf = std::numeric_limits<double>::infinity();
    const std::vector<double> v = {10, 20, 30, 40, inf};
    EXPECT_DOUBLE_EQ(*stats::Percentile(v, 50), 30);
    EXPECT_DOUBLE_EQ(*stats::Percentile(v, 5), 12);  // position 0.2 between 10 and 20
    EXPECT_FALSE(stats::Percentile(v, 95));           // between 40 and "not reached"
    EXPECT_DOUBLE_EQ(*stats::Percentile(v, 75), 40);
    EXPECT_FALSE(stats::Percentile({}, 50));
}

TEST(StudyStatistics, RankCorrelationOfMonotoneTiedAndConstantData) {
    EXPECT_DOUBLE_EQ(*stats::RankCorrelation({1, 2, 3, 4}, {10, 100, 1000, 1e9}), 1.0);
    EXPECT_DOUBLE_EQ(*stats::RankCorrelation({1, 2, 3, 4}, {4, 3, 2, 1}), -1.0);
    // Ties share their mean rank: ranks (1.5, 1.5, 3, 4) against (1, 2, 3, 4).
    EXPECT_NEAR(*stats::RankCorrelation({0, 0, 1, 1.5}, {1, 2, 3, 4}), 0.9486832980505138, 1e-12);
    EXPECT_FALSE(stats::RankCorrelation({1, 1, 1}, {1, 2, 3}));
    EXPECT_FALSE(stats::RankCorrelation({1, 2}, {1, 2}));
}

TEST(StudyStatistics, StudentQuantileAgreesWithTables) {
    EXPECT_NEAR(stats::StudentT975(1), 12.706, 1e-3);
    EXPECT_NEAR(stats::StudentT975(11), 2.2010, 1e-3);
    EXPECT_NEAR(stats::StudentT975(30), 2.0423, 1e-3);
    EXPECT_NEAR(stats::StudentT975(100), 1.9840, 1e-3);
    EXPECT_NEAR(stats::StudentT975(1000000), 1.9600, 1e-3);
}

// Every value falls in exactly one bin, the one whose interval holds it (the greatest in the
// last), in √n bins kept between 5 and 12; equal values all in the first.
TEST(StudyStatistics, HistogramBinsHoldEachValueOnceInItsInterval) {
    const std::vector<std::vector<double>> samples = {
        {7.5}, {3, 3, 3}, {0, 1}, {0, 0.25, 0.5, 0.75, 1.0}, [] {
            std::vector<double> v;
            for (int k = 0; k < 400; ++k) v.push_back(20 + 0.37 * k);
            return v;
        }()};
    for (const std::vector<double>& values : samples) {
        const stats::Histogram h = stats::HistogramOf(values);
        const std::size_t bins = h.Counts.size();
        EXPECT_EQ(bins, std::clamp<std::size_t>(static_cast<std::size_t>(std::ceil(std::sqrt(values.size()))), 5, 12));
        EXPECT_EQ(std::accumulate(h.Counts.begin(), h.Counts.end(), std::uint64_t{0}), values.size());
        EXPECT_EQ(h.Low, values.front());
        std::vector<std::uint64_t> expected(bins, 0);
        for (double v : values) {
            std::size_t k = 0;
            while (k + 1 < bins && v >= h.Low + static_cast<double>(k + 1) * h.Width) ++k;
            ++expected[k];
        }
        EXPECT_EQ(h.Counts, expected) << values.size() << " values from " << values.front();
    }
    EXPECT_TRUE(stats::HistogramOf({}).Counts.empty());
}

// The description the summary gives of a sample: the count, mean and deviation of the values
// reached, their percentiles with "not reached" above everything, the least and greatest.
TEST(StudyStatistics, DescribeCountsOnlyReachedValuesInTheMoments) {
    const double inf = std::numeric_limits<double>::infinity();
    const stats::Spread s = stats::Describe({30, 10, inf, 20});
    EXPECT_EQ(s.Count, 3u);
    EXPECT_DOUBLE_EQ(*s.Mean, 20);
    EXPECT_DOUBLE_EQ(*s.Sd, 10);
    EXPECT_NEAR(*s.High - *s.Mean, stats::StudentT975(2) * 10 / std::sqrt(3.0), 1e-12);
    EXPECT_DOUBLE_EQ(*s.P50, 25);  // position 1.5 of 10, 20, 30, ∞
    EXPECT_FALSE(s.P95);
    EXPECT_EQ(*s.Min, 10);
    EXPECT_EQ(*s.Max, 30);
    EXPECT_FALSE(stats::Describe({5}).Sd);
    EXPECT_FALSE(stats::Describe({inf}).Mean);
}

TEST(StudyShares, ShardsCoverEveryRunOnce) {
    for (std::uint64_t runs : {1, 7, 200, 1001})
        for (std::uint64_t count : {1, 2, 3, 7}) {
            if (count > runs) continue;
            std::uint64_t next = 1;
            for (std::uint64_t i = 1; i <= count; ++i) {
                const auto [first, last] = RunsOfShard(runs, Share{i, count});
                EXPECT_EQ(first, next);
                EXPECT_GE(last + 1 - first, runs / count);
                EXPECT_LE(last + 1 - first, runs / count + 1);
                next = last + 1;
            }
            EXPECT_EQ(next, runs + 1);
        }
}

// ---- The study file ----------------------------------------------------------------------

TEST(StudyFile, ReadsEveryKindOfInput) {
    Study study;
    const auto refused = ReadStudy(StudyText(R"({"input": "Vlin", "distribution": "uniform", "min": 0.01, "max": 0.02},
        {"input": "rooms[2].height", "distribution": "triangular", "min": 2.5, "mode": 3, "max": 4},
        {"input": "openings[2].open", "distribution": "bernoulli", "p": 0.25},
        {"input": "openings[1].width", "distribution": "choice", "values": [0.8, 1.2], "weights": [1, 2]},
        {"input": "plume", "distribution": "choice", "values": ["mccaffrey", "tanaka"]},
        {"input": "D", "distribution": "lognormal", "mu": 5.6, "sigma": 0.2},
        {"input": "SamplesPerSec", "distribution": "choice", "values": [5, 20]},
        {"input": "fire_area_max", "distribution": "uniform", "min": 2, "max": 8})"),
                                   ".", study);
    ASSERT_EQ(refused, std::nullopt);
    EXPECT_EQ(study.Runs, 10u);
    EXPECT_EQ(study.RoomCount, 2);
    ASSERT_EQ(study.Inputs.size(), 8u);
    EXPECT_EQ(study.Inputs[2].Kind, InputKind::OpenState);
    EXPECT_EQ(study.Inputs[4].Kind, InputKind::Plume);
    EXPECT_EQ(study.RoomHasEvacuation, (std::vector<bool>{false, false}));

    // The run's scenario carries each draw where the input's path points.
    const Sampler sampler(study.Method, study.Seed, study.Runs, study.Inputs.size());
    const std::vector<Draw> draws = DrawsOfRun(study, sampler, 4);
    const std::string scenario = ScenarioText(study, draws);
    EXPECT_NE(scenario.find("\"Vlin\": " + draws[0].Text), std::string::npos) << scenario;
    EXPECT_NE(scenario.find("\"plume\": \"" + draws[4].Text + "\""), std::string::npos) << scenario;
    EXPECT_NE(scenario.find("\"SamplesPerSec\": " + draws[6].Text), std::string::npos) << scenario;
    EXPECT_NE(scenario.find("\"fire_area_max\": " + draws[7].Text), std::string::npos) << scenario;
    EXPECT_TRUE(draws[3].Text == "0.8" || draws[3].Text == "1.2");
    EXPECT_EQ(DrawsOfRun(study, sampler, 4)[0].Text, draws[0].Text);
    EXPECT_NE(DrawsOfRun(study, sampler, 5)[0].Text, draws[0].Text);
}

// A bad study file and the words its refusal must carry.
struct RefusedStudy {
    std::string Text, Expected;
    friend void PrintTo(const RefusedStudy& c, std::ostream* os) { *os << c.Expected; }
};

const std::vector<RefusedStudy> kRefusedStudies = {
    {"[1]", "объектом JSON"},
    {"{\"runs\": 1", "ошибка в записи JSON"},
    {StudyText("", R"("runs": 0, "seed": 1, "sampling": "monte-carlo")"), "хотя бы один расчет"},
    {StudyText("", R"("runs": 2.5, "seed": 1, "sampling": "monte-carlo")"), "ключ \"runs\""},
    {StudyText("", R"("runs": 2, "seed": -1, "sampling": "monte-carlo")"), "ключ \"seed\""},
    {StudyText("", R"("runs": 2, "seed": 1, "sampling": "sobol")"), "ключ \"sampling\""},
    {StudyText("", R"("runs": 2, "seed": 1, "sampling": "monte-carlo", "colour": 1)"), "неизвестный ключ \"colour\""},
    {R"({"runs": 2, "seed": 1, "sampling": "monte-carlo", "vary": []})", "\"base_file\""},
    {R"({"base": {"rooms": []}, "runs": 2, "seed": 1, "sampling": "monte-carlo", "vary": []})", "базовый сценарий: ключ \"rooms\""},
    {R"({"base_file": "no-such-file.json", "runs": 2, "seed": 1, "sampling": "monte-carlo", "vary": []})", "no-such-file.json"},
    {StudyText(R"({"input": "Vlim", "distribution": "uniform", "min": 0, "max": 1})"), "параметр №1 (\"Vlim\"): неизвестный параметр"},
    {StudyText(R"({"input": "Vlin", "distribution": "uniform", "min": 0, "max": 1},
                  {"input": "rooms[3].length", "distribution": "uniform", "min": 1, "max": 2})"),
     "параметр №2 (\"rooms[3].length\"): в базовом сценарии нет элемента rooms с номером 3 (номера 1…2)"},
    {StudyText(R"({"input": "rooms[0].length", "distribution": "uniform", "min": 1, "max": 2})"), "номером 0"},
    {StudyText(R"({"input": "rooms[1].colour", "distribution": "uniform", "min": 1, "max": 2})"), "нельзя изменять \"colour\""},
    {StudyText(R"({"input": "openings[1].rooms", "distribution": "uniform", "min": 1, "max": 2})"), "нельзя изменять \"rooms\""},
    {StudyText(R"({"input": "Vlin", "distribution": "uniform", "min": 2, "max": 1})"), "параметр №1 (\"Vlin\"): ключ \"max\""},
    {StudyText(R"({"input": "Vlin", "distribution": "uniform", "min": 0})"), "не задан ключ \"max\""},
    {StudyText(R"({"input": "Vlin", "distribution": "uniform", "min": 0, "max": 1, "mode": 2})"), "неизвестный ключ \"mode\""},
    {StudyText(R"({"input": "Vlin", "distribution": "normal", "mean": 1, "sd": 0})"), "ключ \"sd\""},
    {StudyText(R"({"input": "Vlin", "distribution": "normal", "mean": 0, "sd": 1, "min": 40})"), "отсекают"},
    {StudyText(R"({"input": "D", "distribution": "lognormal", "median": 270, "factor": 0.5})"), "ключ \"factor\""},
    {StudyText(R"({"input": "D", "distribution": "lognormal", "median": 270, "factor": 2, "sigma": 1})"), "либо mu и sigma"},
    {StudyText(R"({"input": "D", "distribution": "triangular", "min": 1, "mode": 5, "max": 4})"), "min ≤ mode ≤ max"},
    {StudyText(R"({"input": "openings[1].open", "distribution": "bernoulli", "p": 1.5})"), "ключ \"p\""},
    {StudyText(R"({"input": "openings[1].open", "distribution": "uniform", "min": 0, "max": 1})"), "bernoulli или choice"},
    {StudyText(R"({"input": "Vlin", "distribution": "bernoulli", "p": 0.5})"), "только для openings[k].open"},
    {StudyText(R"({"input": "plume", "distribution": "choice", "values": ["tanaka", "heskestad"]})"), "\"heskestad\" не подходит"},
    {StudyText(R"({"input": "Vlin", "distribution": "choice", "values": [0.01, 0.02], "weights": [1]})"), "ключ \"weights\""},
    {StudyText(R"({"input": "Vlin", "distribution": "choice", "values": [0.01], "weights": [0]})"), "сумма весов"},
    {StudyText(R"({"input": "Vlin", "distribution": "choice", "values": []})"), "непустой массив"},
    {StudyText(R"({"input": "Vlin", "distribution": "gamma"})"), "неизвестное распределение \"gamma\""},
    {StudyText(R"({"input": "Vlin", "distribution": "uniform", "min": 0, "max": 1},
                  {"input": "Vlin", "distribution": "uniform", "min": 0, "max": 1})"), "параметр №2 (\"Vlin\"): этот параметр уже изменяется"},
    {StudyText(R"("Vlin")"), "параметр №1: ожидается объект"},
    {StudyText(R"({"input": "SamplesPerSec", "distribution": "uniform", "min": 1, "max": 9})"), "только распределение choice"},
    {StudyText(R"({"input": "SamplesPerSec", "distribution": "choice", "values": [2.5]})"), "целое число отсчетов"},
    {StudyText(R"({"input": "rooms[1].evacuation.speed", "distribution": "uniform", "min": 1, "max": 2})"),
     "нельзя изменять \"evacuation.speed\""},
    {StudyText(R"({"input": "safety_factor", "distribution": "uniform", "min": 0, "max": 1})"), "параметр №1 (\"safety_factor\"): коэффициент безопасности"},
    {StudyText(R"({"input": "safety_factor", "distribution": "triangular", "min": 0.5, "mode": 1, "max": 1.1})"), "0 < min ≤ mode ≤ max ≤ 1"},
    {StudyText(R"({"input": "safety_factor", "distribution": "normal", "mean": 0.8, "sd": 0.05, "min": 0.5})"), "\"max\" ≤ 1"},
    {StudyText(R"({"input": "safety_factor", "distribution": "lognormal", "median": 0.8, "factor": 1.1})"), "не ограничено сверху"},
    {StudyText(R"({"input": "safety_factor", "distribution": "choice", "values": [0.8, 1.2]})"), "есть 1.2"},
};

class StudyFileRefusal : public ::testing::TestWithParam<RefusedStudy> {};

TEST_P(StudyFileRefusal, NamesTheBadEntry) {
    const std::string message = Refusal(GetParam().Text);
    EXPECT_NE(message.find(GetParam().Expected), std::string::npos) << "study: " << GetParam().Text << "\nmessage: " << message;
}

INSTANTIATE_TEST_SUITE_P(BadEntries, StudyFileRefusal, ::testing::ValuesIn(kRefusedStudies));

TEST(StudyFile, EvacuationInputsAndSafetyFactorGoIntoTheRunsBuilding) {
    // Room 1 has evacuation inputs in the base; room 2 gets them only from a draw.
    const std::string base =
        R"("base": {"dt": 0.01, "safety_factor": 0.7, "rooms": [{"evacuation": {"start_delay": 40, "duration": 25}}, {}],
                    "openings": [{"rooms": [1, 2]}]})";
    Study study;
    ASSERT_EQ(ReadStudy("{" + base + R"(, "runs": 5, "seed": 9, "sampling": "monte-carlo", "vary": [
        {"input": "rooms[1].evacuation.duration", "distribution": "uniform", "min": 10, "max": 20},
        {"input": "rooms[2].evacuation.duration", "distribution": "normal", "mean": 60, "sd": 5, "min": 0},
        {"input": "safety_factor", "distribution": "choice", "values": [0.6, 1]}]})",
                        ".", study),
              std::nullopt);
    EXPECT_EQ(study.RoomHasEvacuation, (std::vector<bool>{true, true}));
    const Sampler sampler(study.Method, study.Seed, study.Runs, study.Inputs.size());
    for (std::uint64_t run = 1; run <= study.Runs; ++run) {
        const std::vector<Draw> draws = DrawsOfRun(study, sampler, run);
        const zf::project::Document building = ScenarioOfRun(study, draws);
        ASSERT_TRUE(building.Rooms[0].Evacuation && building.Rooms[1].Evacuation);
        EXPECT_EQ(building.Rooms[0].Evacuation->StartDelay, 40);  // kept from the base
        EXPECT_EQ(building.Rooms[0].Evacuation->Duration, draws[0].Rank);
        EXPECT_EQ(building.Rooms[1].Evacuation->StartDelay, 0);  // none in the base: starts at once
        EXPECT_EQ(building.Rooms[1].Evacuation->Duration, draws[1].Rank);
        EXPECT_EQ(building.SafetyFactor, draws[2].Rank);
        // The emitted text reads back to the building the run judges.
        zf::project::Document read;
        ASSERT_EQ(zf::project::ReadDocument(ScenarioText(study, draws), read), std::nullopt);
        EXPECT_EQ(read, building);
    }

    // Without a varied evacuation input, rooms keep the base's: only room 1 has a verdict.
    ASSERT_EQ(ReadStudy("{" + base + R"(, "runs": 5, "seed": 9, "sampling": "monte-carlo", "vary": [
        {"input": "Vlin", "distribution": "uniform", "min": 0.01, "max": 0.02}]})",
                        ".", study),
              std::nullopt);
    EXPECT_EQ(study.RoomHasEvacuation, (std::vector<bool>{true, false}));
}

TEST(StudyFile, TheExampleStudyJudgesBothRoomsEvacuation) {
    const std::filesystem::path dir = std::filesystem::path(ZONEFIRE_EXAMPLES) / "study";
    std::ifstream in(dir / "two_rooms_study.json");
    const std::string text((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    Study study;
    ASSERT_EQ(ReadStudy(text, dir, study), std::nullopt);
    EXPECT_EQ(study.Runs, 200u);
    EXPECT_EQ(study.Base.Params.dt, 0.001);
    EXPECT_EQ(study.RoomHasEvacuation, (std::vector<bool>{true, true}));
}
