// Properties of the people-flow computation over many generated routes. The model is not
// monotonic across a change of regime (a crowd forming or dissolving, a start passing the
// density of q_max), so monotonicity is asserted only while every segment keeps its regime.
#include <gtest/gtest.h>

#include <random>

#include "model/people_flow.h"

namespace {

using zf::flow::ComputeFlow;
using zf::flow::Route;
using zf::flow::Segment;
using zf::flow::SegmentKind;

Route RandomRoute(std::mt19937& rng) {
    std::uniform_real_distribution<double> length(1, 60), width(0.6, 4), people(1, 300);
    std::uniform_int_distribution<int> kind(0, zf::flow::kSegmentKindCount - 1), count(1, 5);
    Route r;
    r.People = people(rng);
    r.Projection = zf::flow::kAdultWinter;
    r.Segments.push_back({SegmentKind::Horizontal, length(rng), width(rng)});
    for (int i = count(rng); i > 0; --i) r.Segments.push_back({static_cast<SegmentKind>(kind(rng)), length(rng), width(rng)});
    return r;
}

// A route's regime: which segments hold a crowd, and on which side of q_max its start lies.
std::vector<int> Regime(const Route& route, const zf::flow::FlowResult& r) {
    const zf::flow::FlowTable& t = zf::flow::PeopleFlowTable();
    std::vector<int> regime{r.Segments[0][0].Density > t.DensityOfMax(route.Segments[0].Kind)};
    for (const zf::flow::SegmentFlow& f : r.Segments[0]) regime.push_back(f.Crowd);
    return regime;
}

// More people never shorten the time while no segment changes regime and the start stays on
// the rising side of its q(D) (beyond q_max more people release a lower q: faster downstream,
// see DenseStartCanBeFaster); every time and delay is finite and not negative, and t_р is the
// sum of the segments' times and delays.
TEST(PeopleFlowProperty, MorePeopleNeverFasterWithinARegime) {
    std::mt19937 rng(20261208);
    int compared = 0;
    for (int k = 0; k < 2000; ++k) {
        Route route = RandomRoute(rng);
        const zf::flow::FlowResult before = ComputeFlow({route});
        double sum = 0;
        for (const zf::flow::SegmentFlow& f : before.Segments[0]) {
            ASSERT_TRUE(std::isfinite(f.Time) && f.Time >= 0 && f.Delay >= 0);
            sum += f.Time + f.Delay;
        }
        ASSERT_NEAR(before.Routes[0].Time, sum, 1e-9);
        const std::vector<int> regime = Regime(route, before);
        route.People *= 1.07;
        const zf::flow::FlowResult after = ComputeFlow({route});
        if (Regime(route, after) != regime || regime[0]) continue;
        ++compared;
        EXPECT_GE(after.Routes[0].Time, before.Routes[0].Time - 1e-12) << "case " << k;
        EXPECT_GE(after.Routes[0].CrowdTime, before.Routes[0].CrowdTime - 1e-12) << "case " << k;
    }
    EXPECT_GT(compared, 1000);  // most cases keep their regime: the property is really exercised
}

// A longer segment after the first never shortens the time: the flow's densities do not
// depend on it, only its own crossing time grows.
TEST(PeopleFlowProperty, LongerLaterSegmentNeverFaster) {
    std::mt19937 rng(7);
    for (int k = 0; k < 1000; ++k) {
        Route route = RandomRoute(rng);
        if (route.Segments.size() < 2) continue;
        const double before = ComputeFlow({route}).Routes[0].Time;
        route.Segments.back().Length += 5;
        EXPECT_GE(ComputeFlow({route}).Routes[0].Time, before) << "case " << k;
    }
}

// The regime change the model is known for: more people at the start can give a shorter time.
// A room 1 × 2 m before a corridor 100 × 2 m: at D 0.5 the start releases q 16.5 (V 33 in the
// corridor, 100/33 = 3.03 min); at D 0.7 only q 16.1 (V 38.6, 2.59 min).
TEST(PeopleFlowProperty, DenseStartCanBeFaster) {
    const auto time = [](double people) {
        Route r;
        r.People = people;
        r.Segments = {{SegmentKind::Horizontal, 1, 2}, {SegmentKind::Horizontal, 100, 2}};
        return ComputeFlow({r}).Routes[0].Time;
    };
    EXPECT_LT(time(14), time(10));  // D 0.7 against D 0.5
}

// Merging two routes is the same as one route carrying both crowds when their widths agree:
// the flows add as Σ q·δ, the people as Σ N·f.
TEST(PeopleFlowProperty, MergedRouteAddsFlowsAndPeople) {
    Route main;
    main.People = 20;
    main.Segments = {{SegmentKind::Horizontal, 10, 2}, {SegmentKind::Horizontal, 30, 2}};
    Route side = main;
    side.Segments.pop_back();
    side.JoinsInto = zf::flow::Join{0, 1};
    const zf::flow::FlowResult r = ComputeFlow({main, side});
    const zf::flow::SegmentFlow& merged = r.Segments[0][1];
    EXPECT_NEAR(merged.Area, 4, 1e-12);
    EXPECT_NEAR(merged.Arriving, 2 * r.Segments[0][0].Intensity, 1e-12);
    EXPECT_NEAR(r.Routes[0].Time, r.Routes[1].Time, 1e-12);
}

}  // namespace
