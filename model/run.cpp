// The run: time integration of every room's two-zone model with a fixed step, the per-room
// step and its order (fire room first, neighbours depth first along doorways), the hazard
// pass, the averaging into samples, the progress refreshes and the user's stop.
//
// Arithmetic faults (division by zero, invalid operation, overflow) end the run at the step in
// which they occur, sampling included; fault_search.cpp locates them. One room's step is in
// step.cpp, the run's speed machinery in speed.cpp.

#include <cfenv>
#include <chrono>
#include <climits>
#include <cmath>
#include <new>

#include "model/constants.h"
#include "model/speed.h"

namespace zf {

namespace {

bool FitsInt32(double v) { return v >= INT_MIN && v <= INT_MAX; }

// Round to the nearest integer, halves to the even neighbour (the default rounding mode).
double RoundHalfEven(double v) { return std::nearbyint(v); }

// Quiet view for runs without windows.
class SilentView final : public RunView {};

}  // namespace

std::int64_t SteadyTickMs() {
    using namespace std::chrono;
    return duration_cast<milliseconds>(steady_clock::now().time_since_epoch()).count();
}

bool TzoneMath::Run() {
    SilentView view;
    return Run(view);
}

bool TzoneMath::Run(RunView& view) {
    Stopped = false;
    LastFault = RunFault{};
    Iter = 0;
    view.ShowProgress();
    view.SetMainEnabled(false);

    bool ok = PrepareRun();
    if (ok) {
        view.SetProgressMax(StepCount);
        try {
            PrepareRooms();
            LinkOpenings();
            FormProductsPerRun();
        } catch (const std::bad_alloc&) {
            LastFault = RunFault{FaultKind::OutOfMemory, Quantity::RunCounts, 0};
            ok = false;
        }
    }
    if (ok) {
        ok = TimeLoop(view);
        SettleDeferredHeatLosses();
    }

    RemoveLeakOpenings();
    view.CloseProgress();
    view.SetMainEnabled(true);
    return ok;
}

// The steps of the run. The floating-point flags are read at every kFlagStride-th step, at
// every refresh and at the last step; until a reading finds one raised, no step pays for a
// look. When one is raised, the run returns to the last clean reading and goes on with a
// look after every routine, up to the step of that reading: the first raised flag then
// names the step, the room and the routine, and the run ends there as failed.
bool TzoneMath::TimeLoop(RunView& view) {
    RunState& s = State_;
    for (auto& room : Rooms) room->Samples[0] = room->Prev;
    TickReader clock(view.TickMs);
    std::int64_t refreshClock = clock.Now();
    int checkedUntil = 0;  // steps up to this one are computed with a look after every routine
    SaveCleanState(0);
    std::feclearexcept(kFaultFlags);
    for (int k = 1; k < StepCount; ++k) {
        s.Checking = k <= checkedUntil;
        if (s.Checking) SaveCleanState(k - 1);  // the state a fault in step k falls back to
        try {
            if (s.Checking)
                AdvanceStepLooking(k);
            else
                AdvanceStep<false>(k);
        } catch (const StepFault& e) {
            if (s.Checking) {
                EndWithFault(e.fault, k);
                return false;
            }
            checkedUntil = k;  // found without the flags (no room, no sample to record into)
            k = RestoreCleanState(k);
            continue;
        }
        const bool refresh = clock.ForStep() - refreshClock > kRefreshMs;
        if (refresh || k % kFlagStride == 0 || k == StepCount - 1) {
            if (std::fetestexcept(kFaultFlags) != 0) {
                checkedUntil = k;
                k = RestoreCleanState(k);
                continue;
            }
            if (!s.Checking) SaveCleanState(k);
        }
        if (!refresh) continue;
        if (!view.ProgressVisible()) {  // the user closed the progress view: stop
            StopAfter(k);
            return true;
        }
        view.WriteProgress(k, static_cast<std::int64_t>(RoundHalfEven(CurTime)), StepCount);
        refreshClock = clock.Now();
        view.ProcessEvents();
        std::feclearexcept(kFaultFlags);  // what the event loop did is not the computation's fault
    }
    s.Checking = false;
    return true;
}

// The user's stop after step k: the run keeps the samples up to it (a stop at the last step
// is a completed run).
void TzoneMath::StopAfter(int k) {
    State_.Checking = false;
    Stopped = k < StepCount - 1;
    if (Stopped) CutSamplesAt(k);
}

// Counts of the run and the outside-air density. A zero step or temperature, or a count that
// does not fit a 32-bit integer, fails the run before its first step (Iter = 0).
bool TzoneMath::PrepareRun() {
    CurTime = 0;
    std::feclearexcept(kFaultFlags);
    const double steps = RoundHalfEven(SimTime / dt);
    const double perSample = RoundHalfEven((1.0 / SamplesPerSec) / dt);
    Ro0 = OutsideAirDensity(T0);
    if (std::fetestexcept(kFaultFlags) || !FitsInt32(steps) || !FitsInt32(perSample) || !std::isfinite(Ro0)) {
        LastFault = RunFault{FaultKind::Preparation, Quantity::RunCounts, 0};
        return false;
    }
    StepCount = static_cast<int>(steps);
    StepsPerSample = static_cast<int>(perSample);
    // The samples the computed steps fill: states 0 .. N−1, S of them per sample. Without a
    // usable S only sample 0 (the initial state) exists; the run fails in step 1.
    const int states = StepCount > 1 ? StepCount : 1;
    SampleCount = StepsPerSample > 0 ? (states - 1) / StepsPerSample + 1 : 1;
    return true;
}

void TzoneMath::PrepareRooms() {
    State_.LeakCount = 0;
    for (int i = 0; i < RoomCount(); ++i) {
        TRoom& r = Room(i);
        r.Samples.assign(static_cast<std::size_t>(SampleCount), ResultSample{});
        r.Cur = ResultSample{};
        r.Prev = ResultSample{};
        r.LastIter = 0;
        r.SumIn = 0;
        r.SumOut = 0;
        r.Q = 0;
        r.FArea = 0;  // recomputed on its next use
        r.T2Pred = T0;
        r.Ro2Pred = Ro0;
        // Initial state: empty layer at the ceiling, ambient air everywhere.
        r.Prev.Yk = r.Height;
        r.Prev.Ro2 = Ro0;
        r.Prev.T2 = T0;
        r.Prev.YkPred = r.Height;
        r.Prev.Tw = T0;
        r.Prev.Lw = kInitialVisibility;
        r.Prev.O2w = kO2MassFraction * Ro0;
        r.HeatReleased = 0;
        r.LeavingFlowHeat = 0;
        // The leak opening: gaps of the enclosure, a closed opening to the outside near the floor.
        AddProem(i, i, kLeakHeight, (r.Length + r.Width) * kLeakWidthPerSide, false);
        ++State_.LeakCount;
    }
    PrepareEnclosures();
}

// Per room, the cells of its matrix row that hold faces, in ascending column, with the twin
// cells: the step and the hazard sums walk only these.
void TzoneMath::LinkOpenings() {
    const int n = RoomCount();
    State_.Links.assign(static_cast<std::size_t>(n), {});
    State_.Inflow.assign(static_cast<std::size_t>(n), {});
    PrepareSpeedMachinery();
    std::size_t faces = 0;
    for (int i = 0; i < n; ++i) {
        for (int j = 0; j < n; ++j) {
            TProems& cell = Cell(i, j);
            if (cell.empty()) continue;
            State_.Links[static_cast<std::size_t>(i)].push_back(TCellLink{j, &cell, i == j ? nullptr : &Cell(j, i)});
            if (i != j)
                for (auto& face : cell) State_.Inflow[static_cast<std::size_t>(i)].push_back(TInflowFace{face.get(), j});
            faces += cell.size();
        }
    }
    // The clean state is saved in place; the rooms' copies hold no samples.
    State_.CleanRooms.assign(Rooms.size(), TRoom{});
    State_.CleanSamples.assign(Rooms.size(), ResultSample{});
    State_.CleanFaces.assign(2 * faces, 0.0);
    State_.CleanReuse = State_.Reuse;
}

// The looking copy of the building's step, kept out of the fast loop's way: it runs only in
// the few steps computed again to locate a fault.
void TzoneMath::AdvanceStepLooking(int k) { AdvanceStep<true>(k); }

// One step of the whole building, its hazard pass and its sampling. A fault found by a look
// at the flags (the looking copy) or without them throws.
template <bool Look>
void TzoneMath::AdvanceStep(int k) {
    CurTime = CurTime + dt;
    Iter = k;
    if (Rooms.empty()) Fail(FaultKind::NoFireRoom, Quantity::FireRoomMissing, 0);
    Step<Look>(0);  // the fire room first
    for (int i = 1; i < RoomCount(); ++i)
        if (Room(i).LastIter < k) Step<Look>(i);
    HazardPass<Look>();
    if (StepsPerSample <= 0) {
        RunFault fault{FaultKind::BadSampling, Quantity::Sampling, Iter, -1};
        fault.StepLength = dt;
        fault.SampleInterval = 1.0 / SamplesPerSec;
        throw StepFault{fault};
    }
    SampleStep<Look>(k);
}

// The hazard routines of every room in index order, after every room was stepped: a room's
// balances see the neighbours of lower index already updated and those of higher index not.
// Flattened: the hazard routines and their balances' sums are inlined into the pass, so no
// call spills the floating-point registers (measured: fewer instructions, same bits).
template <bool Look>
[[gnu::flatten]] void TzoneMath::HazardPass() {
    for (int i = 0; i < RoomCount(); ++i) {
        if (HazardsRepeat(i)) continue;  // the speed machinery copied the last step's
        // The working-zone profile serves all but the radiation; the temperature is the first
        // to need it, so a fault in it is the temperature's.
        const double profile = HazardProfile<Look>(i);
        CheckpointOf<Look>(i, Quantity::WorkingZoneTemperature, std::nullopt);
        CalcTw<Look>(Iter, i, profile);
        CalcLw<Look>(Iter, i, profile);
        CalcO2w<Look>(Iter, i, profile);
        CalcSpecies<Look>(1, Iter, i, profile);
        CalcSpecies<Look>(2, Iter, i, profile);
        CalcSpecies<Look>(3, Iter, i, profile);
        CalcRad<Look>(Iter, i);
    }
}

// Adds every room's state of step k into its current sample; a sample is divided by the number
// of states it received when it is full or the run's last step is reached. Then the state
// becomes the previous one and Cur starts again from zeros.
template <bool Look>
void TzoneMath::SampleStep(int k) {
    const int S = StepsPerSample;
    const int m = k / S;
    const int received = k - m * S + 1;  // states in sample m so far
    const bool closes = received == S || k == StepCount - 1;
    for (int i = 0; i < RoomCount(); ++i) {
        TRoom& room = Room(i);
        ResultSample& sample = room.Samples[static_cast<std::size_t>(m)];
        AddInto(sample, room.Cur);
        if (closes) DivideBy(sample, received);
        Checkpoint<Look>(i, Quantity::Sampling);
        if (CurStaysPrev(i)) continue;  // the speed machinery: a dormant room's Cur is its Prev
        room.Prev = room.Cur;
        SetZero(room.Cur);
    }
}

// A stop after step k: the sample in progress becomes the mean of the states it received and
// the samples never reached are dropped.
void TzoneMath::CutSamplesAt(int k) {
    const int S = StepsPerSample;
    if (S <= 0) {  // no step was recorded: the initial state only
        SampleCount = 1;
        for (auto& room : Rooms) room->Samples.resize(1);
        return;
    }
    const int m = k / S;
    if ((k + 1) % S != 0) {
        const double received = k - m * S + 1;
        for (auto& room : Rooms)
            for (int e = 0; e < ResultSample::kCount; ++e) room->Samples[static_cast<std::size_t>(m)][e] /= received;
    }
    SampleCount = m + 1;
    for (auto& room : Rooms) room->Samples.resize(static_cast<std::size_t>(SampleCount));
}

void TzoneMath::RemoveLeakOpenings() {
    for (int i = 0; i < State_.LeakCount && i < RoomCount(); ++i) {
        TProems& cell = Cell(i, i);
        if (!cell.empty()) cell.pop_back();
    }
    State_.LeakCount = 0;
    State_.Links.clear();
    State_.Inflow.clear();
    State_.Reuse = {};
    State_.Repeated.clear();
    State_.Products.clear();
    State_.ProductsPerRun = false;
    State_.CleanRooms = {};
    State_.CleanSamples = {};
    State_.CleanFaces = {};
    State_.CleanReuse = {};
}

}  // namespace zf
