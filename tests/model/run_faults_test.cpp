// The run, continued: how it fails and what a failed run keeps, critical times, the whole
// model's reference values and the order of the rooms' steps.
#include "run_fixture.h"

namespace {

TEST(RunFaults, NoRoomsFailsInStepOne) {
    zf::TzoneMath z;
    SetDefaultInputs(z);
    FakeView view;
    EXPECT_FALSE(z.Run(view));
    EXPECT_EQ(z.Iter, 1);
    EXPECT_EQ(z.LastFault.Kind, zf::FaultKind::NoFireRoom);
    EXPECT_EQ(view.closed, 1);
    EXPECT_TRUE(view.mainEnabled);
}

TEST(RunFaults, NoRoomsAndNoStepsSucceeds) {
    zf::TzoneMath z;
    SetDefaultInputs(z);
    z.SimTime = 0;
    EXPECT_TRUE(z.Run());
}

TEST(RunFaults, StepLongerThanTheSamplingIntervalFailsInStepOne) {
    TwoRoomRun r(0.3, 200);  // S = Round(0.333) = 0
    EXPECT_FALSE(r.Run());
    EXPECT_EQ(r.z.Iter, 1);
    EXPECT_EQ(r.z.LastFault.Kind, zf::FaultKind::BadSampling);
    EXPECT_TRUE(r.z.Cell(0, 0).empty());  // leak openings removed on failure too
}

TEST(RunFaults, McCaffreyWithoutHeatReleaseFailsInStepOne) {
    TwoRoomRun r(0.01, 10, 10, false);
    r.z.Qn = 0;
    EXPECT_FALSE(r.Run());
    EXPECT_EQ(r.z.Iter, 1);
    EXPECT_EQ(r.z.LastFault.Kind, zf::FaultKind::DivisionByZero);
    EXPECT_EQ(r.z.LastFault.What, zf::Quantity::PlumeFlow);
    EXPECT_EQ(r.z.LastFault.Room, 0);
    EXPECT_EQ(r.z.Room(0).Samples[0].Yk, 3);  // sample 0 keeps the initial state
}

TEST(RunFaults, TanakaWithoutHeatReleaseRunsOn) {
    TwoRoomRun r(0.01, 2, 10, true);
    r.z.Qn = 0;
    EXPECT_TRUE(r.Run());
    EXPECT_EQ(r.z.Room(0).Samples.back().Gk, 0);
}

TEST(RunFaults, ZeroStepOrTemperatureFailsBeforeStepOne) {
    for (int which = 0; which < 2; ++which) {
        TwoRoomRun r(which == 0 ? 0.0 : 0.01, 10);
        if (which == 1) r.z.T0 = 0;
        FakeView view;
        EXPECT_FALSE(r.z.Run(view));
        EXPECT_EQ(r.z.Iter, 0);
        EXPECT_EQ(r.z.LastFault.Kind, zf::FaultKind::Preparation);
        EXPECT_EQ(view.closed, 1);
        EXPECT_TRUE(view.mainEnabled);
        EXPECT_TRUE(r.z.Cell(0, 0).empty());
    }
}

TEST(RunFaults, CountsBeyondThirtyTwoBitsFailBeforeStepOne) {
    TwoRoomRun r(0.0001, 1e6);
    EXPECT_FALSE(r.Run());
    EXPECT_EQ(r.z.Iter, 0);
}

TEST(RunFaults, RoomWithoutFloorFailsInStepOne) {
    TwoRoomRun r(0.01, 10);
    r.z.Room(1).Length = 0;  // no floor area: 0 / 0 in the second room's volume balance
    EXPECT_FALSE(r.Run());
    EXPECT_EQ(r.z.Iter, 1);
    EXPECT_EQ(r.z.LastFault.Room, 1);
    EXPECT_EQ(r.z.LastFault.What, zf::Quantity::PredictedInterface);
    EXPECT_EQ(r.z.LastFault.Kind, zf::FaultKind::InvalidOperation);
}

TEST(RunFaults, LayerDenserThanOutsideAirEndsTheRunAtThatStep) {
    // At a coarse step the two-room building's fire-room layer overshoots late in the run and
    // grows denser than outside air: the doorway flow takes the root of a negative number.
    TwoRoomRun r(0.03, 200);
    TwoRoomRun clean(0.03, 190);
    EXPECT_FALSE(r.Run());
    ASSERT_TRUE(clean.Run());
    EXPECT_EQ(r.z.Iter, 6420);
    EXPECT_EQ(r.z.LastFault.Kind, zf::FaultKind::InvalidOperation);
    EXPECT_EQ(r.z.LastFault.What, zf::Quantity::OpeningFlow);
    EXPECT_EQ(r.z.LastFault.Room, 0);
    EXPECT_EQ(r.z.LastFault.Column, 1);
    EXPECT_TRUE(r.z.LastFault.DenserThanAir);
    // The samples completed before the fault are those of the same run cut short.
    for (int m = 0; m < 2000; ++m)
        for (int i = 0; i < 2; ++i)
            ASSERT_EQ(r.z.Room(i).Samples[static_cast<std::size_t>(m)].T2,
                      clean.z.Room(i).Samples[static_cast<std::size_t>(m)].T2);
    EXPECT_EQ(r.z.Room(0).CritTimeT, clean.z.Room(0).CritTimeT);
}

// A failed run keeps exactly what the same run keeps when the user stops it after the last
// step before the fault: the samples completed, the one in progress as the mean of what it
// received, and no row after it.
TEST(RunFaults, FailedRunKeepsWhatAStopAfterTheLastSoundStepKeeps) {
    TwoRoomRun failed(0.03, 200);
    ASSERT_FALSE(failed.Run());
    const int F = failed.z.Iter;
    ASSERT_GT(F, 100);
    TwoRoomRun stopped(0.03, 200);
    FakeView view;  // a refresh after every step; closed at the refresh after step F − 1
    view.closeAtRefresh = F - 1;
    ASSERT_TRUE(stopped.z.Run(view));
    ASSERT_TRUE(stopped.z.Stopped);
    ASSERT_EQ(stopped.z.Iter, F - 1);
    EXPECT_EQ(failed.z.SampleCount, stopped.z.SampleCount);
    EXPECT_EQ(failed.z.SampleCount, (F - 1) / 3 + 1);  // S = 3 at 10 samples per second
    for (int i = 0; i < 2; ++i) {
        ASSERT_EQ(failed.z.Room(i).Samples.size(), stopped.z.Room(i).Samples.size());
        for (std::size_t m = 0; m < stopped.z.Room(i).Samples.size(); ++m)
            for (int e = 0; e < zf::ResultSample::kCount; ++e)
                ASSERT_EQ(failed.z.Room(i).Samples[m][e], stopped.z.Room(i).Samples[m][e])
                    << "room " << i << " sample " << m << " " << zf::ResultSample::Name(e);
    }
}

namespace {
// A view whose clock stands still until a given number of readings has been taken, then moves
// 201 ms per reading (a refresh after every step). It records the step of every progress line
// and can be closed at a given refresh.
struct LateClockView : zf::RunView {
    static inline std::int64_t clock = 0;
    static inline long readings = 0, stillFor = 0;
    static std::int64_t Tick() {
        if (++readings <= stillFor) return clock;
        return clock += 201;
    }
    std::vector<int> written;
    int refreshes = 0;
    int closeAt = -1;
    explicit LateClockView(long still) {
        TickMs = &Tick;
        readings = 0;
        stillFor = still;
    }
    bool ProgressVisible() override { return ++refreshes != closeAt; }
    void WriteProgress(int iter, std::int64_t, int) override { written.push_back(iter); }
};
}  // namespace

// After a fault the run computes again only the few steps since its last clean look at the
// flags, shows its progress meanwhile, and the user can stop it there like any other step.
TEST(RunFaults, StepsComputedAgainAfterAFaultAreFewAndCanBeStopped) {
    TwoRoomRun r(0.03, 200);
    LateClockView still(1L << 40);  // no refresh at all: the flags are looked at every few steps
    ASSERT_FALSE(r.z.Run(still));
    const int F = r.z.Iter;
    const int S = zf::kFlagStride;
    const int found = (F + S - 1) / S * S;  // the look that finds the fault
    const int clean = (F - 1) / S * S;      // the last clean look before it
    // One reading at the start, one per step up to the look that found the fault, one per step
    // computed again before the failing one.
    EXPECT_EQ(LateClockView::readings, 1 + found + (F - 1 - clean));
    ASSERT_GT(F - 1, clean) << "pick a building whose fault is not the step after a look";

    // The clock moves once the fault was found: every step computed again is a refresh.
    TwoRoomRun again(0.03, 200);
    LateClockView view(1 + found);
    ASSERT_FALSE(again.z.Run(view));
    EXPECT_EQ(again.z.Iter, F);
    std::vector<int> steps;
    for (int k = clean + 1; k < F; ++k) steps.push_back(k);
    EXPECT_EQ(view.written, steps);

    TwoRoomRun stopped(0.03, 200);
    LateClockView stopper(1 + found);
    stopper.closeAt = 1;
    ASSERT_TRUE(stopped.z.Run(stopper));
    EXPECT_TRUE(stopped.z.Stopped);
    EXPECT_EQ(stopped.z.Iter, clean + 1);
    EXPECT_EQ(stopped.z.SampleCount, (clean + 1) / 3 + 1);
}

TEST(CriticalTimes, AreTheStepNumberTimesTheStep) {
    TwoRoomRun r(0.01, 120);
    ASSERT_TRUE(r.Run());
    const zf::TRoom& fire = r.z.Room(0);
    for (double t : {fire.CritTimeT, fire.CritTimeVis, fire.CritTimeO2, fire.CritTimeHCl, fire.CritTimeRad}) {
        ASSERT_GT(t, 0);
        const double steps = std::nearbyint(t / 0.01);
        EXPECT_EQ(t, steps * 0.01);
    }
    EXPECT_EQ(fire.CritTimeCO, 0);  // CO stays below its limit in this building
}

TEST(WholeModel, TwoRoomsWithTanakaAtSixtySeconds) {
    TwoRoomRun r(0.01, 150, 100);  // S = 1: sample k is the state of step k
    ASSERT_TRUE(r.Run());
    const zf::ResultSample& fire = r.z.Room(0).Samples[6000];
    const zf::ResultSample& next = r.z.Room(1).Samples[6000];
    EXPECT_NEAR(fire.Yk, 0.622, 0.001);
    EXPECT_NEAR(fire.T2, 365, 0.5);
    EXPECT_NEAR(fire.Gk, 1.99, 0.005);
    EXPECT_NEAR(fire.Gm, 1.89, 0.005);
    EXPECT_NEAR(next.Yk, 1.95, 0.005);
    EXPECT_NEAR(next.T2, 343, 0.5);
    EXPECT_EQ(next.Gm, 0);  // sends nothing back while the fire room's interface is lower

    // Both layers reach the floor between 80 s and 90 s; the prediction goes on below it.
    for (int i = 0; i < 2; ++i) {
        const auto& s = r.z.Room(i).Samples;
        int first = -1;
        for (int k = 0; k < static_cast<int>(s.size()); ++k)
            if (s[static_cast<std::size_t>(k)].Yk == 0) {
                first = k;
                break;
            }
        EXPECT_GT(first, 8000) << "room " << i + 1;
        EXPECT_LE(first, 9000) << "room " << i + 1;
        for (int k = first + 1; k < 14500; ++k) {
            ASSERT_EQ(s[static_cast<std::size_t>(k)].Yk, 0) << "room " << i + 1 << " step " << k;
            ASSERT_LT(s[static_cast<std::size_t>(k)].YkPred, 0.2) << "room " << i + 1 << " step " << k;
        }
    }
}

TEST(WholeModel, NoFireMeansEveryRoomStaysAmbient) {
    TwoRoomRun r(0.01, 20);
    r.z.Vlin = 0;
    ASSERT_TRUE(r.Run());
    for (int i = 0; i < 2; ++i)
        for (const zf::ResultSample& s : r.z.Room(i).Samples) {
            EXPECT_EQ(s.Yk, 3);
            EXPECT_EQ(s.T2, 293);
            EXPECT_EQ(s.Tw, 293);
            EXPECT_EQ(s.Lw, 50);
            EXPECT_EQ(s.Gm, 0);
        }
}

TEST(WholeModel, RoomWithoutOpeningsLosesNoSmoke) {
    zf::TzoneMath z;
    SetDefaultInputs(z);
    z.dt = 0.01;
    z.SimTime = 30;
    z.AddRoom(5, 4, 3);
    ASSERT_TRUE(z.Run());
    // Only the leak opening near the floor could carry gas, and the layer is still high.
    for (const zf::ResultSample& s : z.Room(0).Samples) EXPECT_EQ(s.Gm, 0);
    EXPECT_EQ(z.Room(0).SumOut, 0);
}

TEST(StepOrder, FireRoomPostsIntoTheNeighbourWhichTakesItNextStep) {
    // One state per sample: after the fire room's flow through the doorway starts, what it
    // posted in step k is the second room's intake (weighted by temperature) in step k + 1.
    TwoRoomRun r(0.01, 70, 100);
    struct Recorder : FakeView {
        std::vector<double> posted;  // Tin/T0 · Gin pending on the second room's face after each step
        void WriteProgress(int, std::int64_t, int) override {
            const zf::TProem& f = *gScenario->Cell(1, 0)[0];
            posted.push_back(f.Tin / gScenario->T0 * f.Gin);
        }
    } view;
    gScenario = &r.z;
    ASSERT_TRUE(r.z.Run(view));
    gScenario = nullptr;
    ASSERT_EQ(view.posted.size(), 6999u);
    int flowing = 0;
    for (std::size_t k = 1; k + 1 < view.posted.size(); ++k) {
        // posted[k - 1] was written in step k; room 2 takes it in step k + 1.
        EXPECT_EQ(r.z.Room(1).Samples[k + 1].Gk, 0 + view.posted[k - 1]) << "step " << k + 1;
        flowing += view.posted[k - 1] > 0;
    }
    EXPECT_GT(flowing, 1000);
}

}  // namespace
