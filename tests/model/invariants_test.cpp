// Properties every run holds whatever the building: the bounds of the physical values, the
// causality of the time loop, and the independence of the states from how they are recorded
// or watched. They check the whole run (the step, its reuse of unchanged steps, the hazard
// pass and the sampling) without restating any formula.

#include <cmath>
#include <cstring>
#include <gtest/gtest.h>

#include "test_buildings.h"
#include "model/scenario.h"

namespace {

using testing_zf::AddDoorway;

struct Building {
    const char* name;
    void (*build)(zf::TzoneMath&);
    bool tanaka;
};

void TwoRooms(zf::TzoneMath& z) { testing_zf::BuildTwoRooms(z); }

// Ten rooms in a row with a window in the fourth: the far rooms wake late.
void Chain(zf::TzoneMath& z) {
    for (int i = 0; i < 10; ++i) z.AddRoom(4, 3, 3);
    for (int i = 0; i + 1 < 10; ++i) AddDoorway(z, i, i + 1, 2.0, 0.9);
    z.AddProem(3, 3, 2.8, 1.0, true);
}

// A corridor with rooms off it, a window to the outside, and a room nothing reaches.
void Corridor(zf::TzoneMath& z) {
    z.AddRoom(4, 4, 3);
    z.AddRoom(12, 2, 3);
    z.AddRoom(4, 3, 3);
    z.AddRoom(5, 4, 3.2);
    z.AddRoom(3, 3, 2.8);
    AddDoorway(z, 0, 1, 2.0, 0.9);
    AddDoorway(z, 1, 2, 2.0, 0.8, false);
    AddDoorway(z, 1, 3, 2.1, 0.9);
    z.AddProem(3, 3, 2.5, 1.5, true);
}

const Building kBuildings[] = {
    {"TwoRoomsTanaka", TwoRooms, true},
    {"TwoRoomsMcCaffrey", TwoRooms, false},
    {"ChainTanaka", Chain, true},
    {"CorridorMcCaffrey", Corridor, false},
};

void Prepare(zf::TzoneMath& z, const Building& b, double dt, double simTime, int samplesPerSec) {
    testing_zf::SetDefaultInputs(z);
    z.dt = dt;
    z.SimTime = simTime;
    z.SamplesPerSec = samplesPerSec;
    z.UseTanaka = b.tanaka;
    b.build(z);
}

// A view whose clock moves 201 ms at every reading: every step is a progress refresh.
struct RefreshEveryStep : zf::RunView {
    static inline std::int64_t clock = 0;
    static std::int64_t Tick() { return clock += 201; }
    RefreshEveryStep() { TickMs = &Tick; }
};

::testing::AssertionResult SameSamples(zf::TzoneMath& a, zf::TzoneMath& b, int count) {
    for (int i = 0; i < a.RoomCount(); ++i)
        for (int m = 0; m < count; ++m)
            for (int e = 0; e < zf::ResultSample::kCount; ++e) {
                const double x = a.Room(i).Samples[static_cast<std::size_t>(m)][e];
                const double y = b.Room(i).Samples[static_cast<std::size_t>(m)][e];
                if (std::memcmp(&x, &y, sizeof x) != 0)
                    return ::testing::AssertionFailure() << "room " << i + 1 << " sample " << m << " "
                                                         << zf::ResultSample::Name(e) << ": " << x << " vs " << y;
            }
    return ::testing::AssertionSuccess();
}

}  // namespace

// Every recorded sample (a mean of states) at a step fine enough for the model stays within what the physics allows: the
// interface between floor and ceiling, flows never negative, the working zone never clearer,
// cooler or richer in oxygen than outside air, no negative concentration; a critical time is
// a whole number of steps within the run.
TEST(Invariants, EveryStateWithinThePhysicalBounds) {
    for (const Building& b : kBuildings) {
        SCOPED_TRACE(b.name);
        zf::TzoneMath z;
        Prepare(z, b, 0.01, 300, 10);
        ASSERT_TRUE(z.Run()) << zf::DescribeFault(z.LastFault);
        const double ambientO2 = 0.23 * z.Ro0;
        for (int i = 0; i < z.RoomCount(); ++i) {
            const zf::TRoom& r = z.Room(i);
            for (std::size_t m = 0; m < r.Samples.size(); ++m) {
                const zf::ResultSample& s = r.Samples[m];
                SCOPED_TRACE(testing::Message() << "room " << i + 1 << " state " << m);
                EXPECT_GE(s.Yk, 0);
                EXPECT_LE(s.Yk, r.Height * (1 + 1e-12));  // a mean of ten states may round up
                EXPECT_GE(s.Gm, 0);
                EXPECT_GE(s.Gk, 0);
                EXPECT_GT(s.Lw, 0);
                EXPECT_LE(s.Lw, 50);
                EXPECT_GE(s.Tw, z.T0 * (1 - 1e-12));
                EXPECT_LE(s.O2w, ambientO2 * (1 + 1e-12));
                EXPECT_GE(s.COw, 0);
                EXPECT_GE(s.CO2w, 0);
                EXPECT_GE(s.HClw, 0);
                if (i != 0) {
                    EXPECT_EQ(s.Fp, 0);
                }
            }
            for (int kind = 0; kind < zf::kHazardCount; ++kind) {
                const double t = r.CritTimeOf(static_cast<zf::HazardKind>(kind));
                if (t == 0) continue;
                const double steps = t / z.dt;
                EXPECT_NEAR(steps, std::round(steps), 1e-6) << "critical time " << t;
                EXPECT_LE(t, z.SimTime);
            }
        }
    }
}

// The run is causal: a longer run starts with the very samples and critical times of a
// shorter one, to the bit.
TEST(Invariants, ALongerRunBeginsWithTheShorterOne) {
    for (const Building& b : kBuildings) {
        SCOPED_TRACE(b.name);
        zf::TzoneMath shorter, longer;
        Prepare(shorter, b, 0.01, 120, 10);
        Prepare(longer, b, 0.01, 240, 10);
        ASSERT_TRUE(shorter.Run());
        ASSERT_TRUE(longer.Run());
        EXPECT_TRUE(SameSamples(shorter, longer, shorter.SampleCount));
        for (int i = 0; i < shorter.RoomCount(); ++i)
            for (int kind = 0; kind < zf::kHazardCount; ++kind) {
                const auto k = static_cast<zf::HazardKind>(kind);
                const double t = shorter.Room(i).CritTimeOf(k);
                if (t != 0) {
                    EXPECT_EQ(longer.Room(i).CritTimeOf(k), t) << "room " << i + 1;
                }
            }
    }
}

// The recording rate changes the averaging only, never the states: a sample of ten states is
// the mean of the ten states a run recording every state gives, summed in their order.
TEST(Invariants, TheRecordingRateChangesOnlyTheAveraging) {
    for (const Building& b : kBuildings) {
        SCOPED_TRACE(b.name);
        zf::TzoneMath every, tenth;
        Prepare(every, b, 0.01, 60, 100);  // one state per sample
        Prepare(tenth, b, 0.01, 60, 10);   // ten states per sample
        ASSERT_TRUE(every.Run());
        ASSERT_TRUE(tenth.Run());
        for (int i = 0; i < every.RoomCount(); ++i) {
            const std::vector<zf::ResultSample>& states = every.Room(i).Samples;
            const std::vector<zf::ResultSample>& samples = tenth.Room(i).Samples;
            ASSERT_EQ(states.size(), 6000u);
            ASSERT_EQ(samples.size(), 600u);
            for (std::size_t m = 0; m < samples.size(); ++m)
                for (int e = 0; e < zf::ResultSample::kCount; ++e) {
                    double sum = 0;
                    for (std::size_t k = 10 * m; k < 10 * m + 10; ++k) sum += states[k][e];
                    ASSERT_EQ(samples[m][e], sum / 10)
                        << "room " << i + 1 << " sample " << m << " " << zf::ResultSample::Name(e);
                }
        }
    }
}

// Watching a run changes nothing: refreshing the progress at every step (which reads the
// floating-point flags and saves the clean state at every step) gives the silent run's bits.
TEST(Invariants, ProgressRefreshesLeaveTheResultsAsTheyAre) {
    for (const Building& b : kBuildings) {
        SCOPED_TRACE(b.name);
        zf::TzoneMath silent, watched;
        Prepare(silent, b, 0.01, 100, 10);
        Prepare(watched, b, 0.01, 100, 10);
        RefreshEveryStep view;
        ASSERT_TRUE(silent.Run());
        ASSERT_TRUE(watched.Run(view));
        EXPECT_TRUE(SameSamples(silent, watched, silent.SampleCount));
    }
}

// The layer's heat loss is read by no balance; after the run each room's field holds the heat
// loss of the last layer its step predicted, as a step evaluating it every time would leave.
TEST(Invariants, HeatLossFieldHoldsTheLastPredictedLayersValue) {
    for (const Building& b : kBuildings) {
        SCOPED_TRACE(b.name);
        zf::TzoneMath z;
        Prepare(z, b, 0.01, 150, 10);
        ASSERT_TRUE(z.Run());
        for (int i = 0; i < z.RoomCount(); ++i) {
            zf::TRoom& r = z.Room(i);
            const double expected = z.HeatLoss(i, r.T2Pred, r.Prev.YkPred);
            EXPECT_EQ(std::memcmp(&r.Qloss, &expected, sizeof expected), 0)
                << "room " << i + 1 << ": " << r.Qloss << " vs " << expected;
        }
    }
}
