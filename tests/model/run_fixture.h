#pragma once
// What run_test.cpp and run_faults_test.cpp share: their includes, helpers and fixture.

#include <cmath>
#include <gtest/gtest.h>

#include "test_buildings.h"
#include "model/scenario.h"

using testing_zf::BuildTwoRooms;
using testing_zf::SetDefaultInputs;


inline zf::TzoneMath* gScenario = nullptr;  // the scenario a fake view inspects

// A progress view that refreshes after every step (its clock jumps 201 ms per reading),
// records what the run tells it and can close itself at a given refresh.
struct FakeView : zf::RunView {
    static inline std::int64_t clock = 0;
    static std::int64_t Tick() { return clock += 201; }
    int closeAtRefresh = -1;  // ask "visible?" → false at this refresh (1-based)
    int refreshes = 0;
    int shown = 0, closed = 0, maxSet = -1;
    bool mainEnabled = true;
    int lastIter = -1;
    std::int64_t lastSeconds = -1;
    int lastTotal = -1;
    std::size_t leakCells = 0;  // faces in cell (0, 0) seen during the run
    double leakWidth = 0, leakHeight = 0, leakMu = 0;
    FakeView() { TickMs = &Tick; }
    void ShowProgress() override { ++shown; }
    void SetProgressMax(int total) override { maxSet = total; }
    bool ProgressVisible() override { return ++refreshes != closeAtRefresh; }
    void WriteProgress(int iter, std::int64_t seconds, int total) override {
        lastIter = iter;
        lastSeconds = seconds;
        lastTotal = total;
        if (gScenario && gScenario->RoomCount() > 0) {
            zf::TProems& cell = gScenario->Cell(0, 0);
            leakCells = cell.size();
            leakWidth = cell.back()->Width;
            leakHeight = cell.back()->Height;
            leakMu = cell.back()->Mu;
        }
    }
    void CloseProgress() override { ++closed; }
    void SetMainEnabled(bool e) override { mainEnabled = e; }
};

// Runs the two-room building with the given step, time and samples per second.
struct TwoRoomRun {
    zf::TzoneMath z;
    bool ok = false;
    TwoRoomRun(double dt, double simTime, int samplesPerSec = 10, bool tanaka = true) {
        SetDefaultInputs(z);
        z.dt = dt;
        z.SimTime = simTime;
        z.SamplesPerSec = samplesPerSec;
        z.UseTanaka = tanaka;
        BuildTwoRooms(z);
    }
    bool Run() { return ok = z.Run(); }
};

inline void ExpectSamplesEqual(const zf::ResultSample& a, const zf::ResultSample& b, const char* what) {
    for (int e = 0; e < zf::ResultSample::kCount; ++e) EXPECT_EQ(a[e], b[e]) << what << ": " << zf::ResultSample::Name(e);
}

// The mean of states [from, to] of a run recorded with one state per sample, summed in order
// as the run sums them.
inline zf::ResultSample MeanOfStates(const std::vector<zf::ResultSample>& states, int from, int to) {
    zf::ResultSample mean;
    for (int e = 0; e < zf::ResultSample::kCount; ++e) {
        double sum = 0;
        for (int k = from; k <= to; ++k) sum += states[static_cast<std::size_t>(k)][e];
        mean[e] = sum / (to - from + 1);
    }
    return mean;
}
