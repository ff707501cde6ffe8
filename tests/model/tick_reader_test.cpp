// The run's reading of the tick counter: a view's own counter at every step; the standard
// counter at a stride that keeps the value used at most about a millisecond behind the
// counter and never ahead of it.

#include <gtest/gtest.h>

#include <cstdint>

#include "model/run_view.h"

namespace {

// A millisecond counter over simulated wall time: the test advances the time by one step's
// duration before each step and counts the readings.
struct SimulatedClock {
    static inline std::int64_t nowUs = 0;
    static inline long readings = 0;
    static std::int64_t Read() {
        ++readings;
        return nowUs / 1000;
    }
    SimulatedClock() {
        nowUs = 5'000'000;
        readings = 0;
    }
};

struct Phase {
    int StepUs;  // duration of one step [µs]
    int Steps;
};

// Runs the phases through a strided reader; returns the largest lag of a step's value behind
// the counter [ms] and checks that no value is ahead of it.
std::int64_t LargestLag(zf::TickReader& reader, std::initializer_list<Phase> phases) {
    std::int64_t worst = 0;
    for (const Phase& p : phases) {
        for (int k = 0; k < p.Steps; ++k) {
            SimulatedClock::nowUs += p.StepUs;
            const std::int64_t value = reader.ForStep();
            const std::int64_t truth = SimulatedClock::nowUs / 1000;
            EXPECT_LE(value, truth);
            if (truth - value > worst) worst = truth - value;
        }
    }
    return worst;
}

TEST(TickReader, ReadsAViewsOwnCounterAtEveryStep) {
    SimulatedClock clock;
    zf::TickReader reader(&SimulatedClock::Read);  // not the standard counter
    reader.Now();
    LargestLag(reader, {{1, 10'000}});
    EXPECT_EQ(SimulatedClock::readings, 10'001);
}

TEST(TickReader, FastStepsAreReadRarelyAndLagAtMostAMillisecond) {
    SimulatedClock clock;
    zf::TickReader reader(&SimulatedClock::Read, true);
    reader.Now();
    const int steps = 1'500'000;  // 3 s of 2 µs steps
    const std::int64_t lag = LargestLag(reader, {{2, steps}});
    EXPECT_LE(lag, 1);
    EXPECT_LT(SimulatedClock::readings, steps / 50);
}

TEST(TickReader, StepsLongerThanAMillisecondAreReadEveryTime) {
    SimulatedClock clock;
    zf::TickReader reader(&SimulatedClock::Read, true);
    reader.Now();
    EXPECT_EQ(LargestLag(reader, {{1500, 1000}}), 0);
    EXPECT_EQ(SimulatedClock::readings, 1001);
}

TEST(TickReader, AStepThatBecomesSlowerLagsAtMostOneLongStride) {
    SimulatedClock clock;
    zf::TickReader reader(&SimulatedClock::Read, true);
    reader.Now();
    // From 1 µs to 30 µs a step: the stride reached while steps were fast is worked off
    // within one stride of slow steps, then the stride shrinks again.
    const std::int64_t lag = LargestLag(reader, {{1, 200'000}, {30, 200'000}});
    EXPECT_LE(lag, zf::TickReader::kMaxStride * 30 / 1000 + 1);
    EXPECT_LE(LargestLag(reader, {{30, 200'000}}), 1);
}

TEST(TickReader, NowReadsAndTheNextStepReadsAgain) {
    SimulatedClock clock;
    zf::TickReader reader(&SimulatedClock::Read, true);
    reader.Now();
    LargestLag(reader, {{1, 100'000}});  // a long stride by now
    SimulatedClock::nowUs += 300'000;    // the event loop took 300 ms
    const long before = SimulatedClock::readings;
    EXPECT_EQ(reader.Now(), SimulatedClock::nowUs / 1000);
    SimulatedClock::nowUs += 1;
    EXPECT_EQ(reader.ForStep(), SimulatedClock::nowUs / 1000);
    EXPECT_EQ(SimulatedClock::readings, before + 2);
}

}  // namespace
