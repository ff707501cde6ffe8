// The run: counts and sampling, the order of the rooms' steps, the stop through the progress
// view, faults ending the run at their step, the leak openings, and the whole-model check of
// the two-room building.
#include "run_fixture.h"

namespace {

TEST(RunCounts, DefaultsGiveTwoMillionStepsInTwoThousandSamples) {
    zf::TzoneMath z;
    SetDefaultInputs(z);
    z.SimTime = 0;  // counts only: compute them through a run without steps
    z.AddRoom(5, 4, 3);
    ASSERT_TRUE(z.Run());
    EXPECT_EQ(z.StepsPerSample, 1000);
    EXPECT_EQ(z.StepCount, 0);
    EXPECT_EQ(z.SampleCount, 1);
}

TEST(RunSampling, SingleStateRunRecordsOnlyTheInitialState) {
    TwoRoomRun r(0.01, 0.01);  // N = 1: no step
    FakeView view;
    ASSERT_TRUE(r.z.Run(view));
    EXPECT_EQ(r.z.Iter, 0);
    EXPECT_EQ(r.z.SampleCount, 1);
    const zf::ResultSample& s = r.z.Room(1).Samples[0];
    EXPECT_EQ(s.Yk, 3);
    EXPECT_EQ(s.YkPred, 3);
    EXPECT_EQ(s.Ro2, r.z.Ro0);
    EXPECT_EQ(s.T2, 293);
    EXPECT_EQ(s.Tw, 293);
    EXPECT_EQ(s.Lw, 50);
    EXPECT_EQ(s.O2w, 0.23 * r.z.Ro0);
    EXPECT_EQ(s.Fp + s.Gk + s.Gm + s.qRad + s.COw + s.CO2w + s.HClw, 0);
    EXPECT_EQ(view.refreshes, 0);
    EXPECT_EQ(view.shown, 1);
    EXPECT_EQ(view.closed, 1);
}

TEST(RunSampling, OneStatePerSampleKeepsEveryState) {
    TwoRoomRun r(0.01, 1, 100);  // S = 1
    ASSERT_TRUE(r.Run());
    EXPECT_EQ(r.z.StepsPerSample, 1);
    EXPECT_EQ(r.z.SampleCount, 100);
    for (int i = 0; i < 2; ++i) {
        zf::TRoom& room = r.z.Room(i);
        EXPECT_EQ(room.Samples[0].Yk, 3);
        ExpectSamplesEqual(room.Samples.back(), room.Prev, "last sample is the last state");
    }
}

// Samples are the means of S consecutive states, the last one of the states it received:
// compare with the same run recorded one state per sample.
struct SamplingCase {
    double dt, simTime;
    int samplesPerSec;      // gives S
    int perStateSamples;    // gives S = 1 with the same dt
    int S, N, sampleCount;
};
void PrintTo(const SamplingCase& c, std::ostream* os) { *os << "dt " << c.dt << ", S " << c.S; }
class RunSamplingMeans : public ::testing::TestWithParam<SamplingCase> {};

TEST_P(RunSamplingMeans, SamplesAverageTheirStates) {
    const SamplingCase& c = GetParam();
    TwoRoomRun sampled(c.dt, c.simTime, c.samplesPerSec);
    TwoRoomRun every(c.dt, c.simTime, c.perStateSamples);
    ASSERT_TRUE(sampled.Run());
    ASSERT_TRUE(every.Run());
    ASSERT_EQ(sampled.z.StepsPerSample, c.S);
    ASSERT_EQ(every.z.StepsPerSample, 1);
    ASSERT_EQ(sampled.z.StepCount, c.N);
    ASSERT_EQ(sampled.z.SampleCount, c.sampleCount);
    ASSERT_EQ(every.z.SampleCount, c.N);
    for (int i = 0; i < 2; ++i) {
        const auto& states = every.z.Room(i).Samples;
        for (int m = 0; m < c.sampleCount; ++m) {
            const int last = std::min(m * c.S + c.S - 1, c.N - 1);
            ExpectSamplesEqual(sampled.z.Room(i).Samples[static_cast<std::size_t>(m)],
                               MeanOfStates(states, m * c.S, last), "sample");
        }
    }
}

INSTANTIATE_TEST_SUITE_P(
    Run, RunSamplingMeans,
    ::testing::Values(SamplingCase{0.0001, 0.5, 10, 10000, 1000, 5000, 5},  // the defaults' boundaries
                      SamplingCase{0.03, 0.95, 10, 33, 3, 32, 11},          // last sample holds 2 states
                      SamplingCase{0.06, 1.5, 10, 16, 2, 25, 13}),         // S = 2, N odd
    [](const auto& info) { return "S" + std::to_string(info.param.S) + "N" + std::to_string(info.param.N); });

TEST(RunSampling, StepsThatDoNotDivideTheIntervalStayInsideTheSamples) {
    TwoRoomRun r(0.03, 100);
    ASSERT_TRUE(r.Run());
    EXPECT_EQ(r.z.StepsPerSample, 3);
    EXPECT_EQ(r.z.StepCount, 3333);
    EXPECT_EQ(r.z.SampleCount, 1111);  // (3333 − 1) div 3 + 1, not Round(100 · 10) = 1000
    EXPECT_EQ(r.z.Room(0).Samples.size(), 1111u);
    EXPECT_GT(r.z.Room(0).Samples.back().T2, 293);  // the last sample was filled and divided
}

TEST(RunStop, ClosingTheViewStopsAtTheNextRefreshAndCutsTheSamples) {
    TwoRoomRun r(0.01, 10, 10);  // S = 10
    TwoRoomRun every(0.01, 10, 100);
    FakeView view;
    view.closeAtRefresh = 3;
    ASSERT_TRUE(r.z.Run(view));
    ASSERT_TRUE(every.Run());
    EXPECT_TRUE(r.z.Stopped);
    EXPECT_EQ(r.z.Iter, 3);
    EXPECT_EQ(view.lastIter, 2);  // refreshes 1 and 2 wrote their step, the third found it closed
    EXPECT_EQ(r.z.SampleCount, 1);
    ASSERT_EQ(r.z.Room(0).Samples.size(), 1u);
    for (int i = 0; i < 2; ++i)  // states 0..3 received, divided by 4
        ExpectSamplesEqual(r.z.Room(i).Samples[0], MeanOfStates(every.z.Room(i).Samples, 0, 3), "stopped sample");
    EXPECT_EQ(view.closed, 1);
    EXPECT_TRUE(view.mainEnabled);
}

TEST(RunStop, FullSampleAtTheStopIsKeptAsIs) {
    TwoRoomRun r(0.01, 10, 10);
    FakeView view;
    view.closeAtRefresh = 19;  // after step 19: samples 0 and 1 complete
    ASSERT_TRUE(r.z.Run(view));
    EXPECT_EQ(r.z.SampleCount, 2);
    TwoRoomRun full(0.01, 10, 10);
    ASSERT_TRUE(full.Run());
    ExpectSamplesEqual(r.z.Room(0).Samples[1], full.z.Room(0).Samples[1], "complete sample");
}

TEST(RunProgress, RefreshWritesStepTimeAndTotal) {
    TwoRoomRun r(0.01, 1);
    FakeView view;
    ASSERT_TRUE(r.z.Run(view));
    EXPECT_EQ(view.maxSet, 100);
    EXPECT_EQ(view.lastIter, 99);  // never reaches the total
    EXPECT_EQ(view.lastTotal, 100);
    EXPECT_EQ(view.lastSeconds, 1);  // 0.99 s rounded
    EXPECT_EQ(view.refreshes, 99);
    EXPECT_FALSE(r.z.Stopped);
}

TEST(RunProgress, NoRefreshWithinTwoHundredMilliseconds) {
    struct StillClock : FakeView {
        static std::int64_t Still() { return 1000; }
        StillClock() { TickMs = &Still; }
    } view;
    TwoRoomRun r(0.01, 1);
    ASSERT_TRUE(r.z.Run(view));
    EXPECT_EQ(view.refreshes, 0);
}

TEST(RunLeakOpenings, AddedForTheRunAndRemovedAfterIt) {
    TwoRoomRun r(0.01, 0.05);
    r.z.AddProem(0, 0, 1.5, 1.0, true);
    FakeView view;
    gScenario = &r.z;
    ASSERT_TRUE(r.z.Run(view));
    gScenario = nullptr;
    EXPECT_EQ(view.leakCells, 2u);
    EXPECT_EQ(view.leakWidth, (5 + 4) * 0.3);
    EXPECT_EQ(view.leakHeight, 0.2);
    EXPECT_EQ(view.leakMu, 0.08);
    ASSERT_EQ(r.z.Cell(0, 0).size(), 1u);
    EXPECT_EQ(r.z.Cell(0, 0)[0]->Height, 1.5);
    EXPECT_TRUE(r.z.Cell(1, 1).empty());
    EXPECT_EQ(r.z.Cell(0, 1).size(), 1u);
}


}  // namespace
