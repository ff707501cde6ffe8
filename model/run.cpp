// The run: time integration of every room's two-zone model with a fixed step, the per-room
// step and its order (fire room first, neighbours depth first along doorways), the hazard
// pass, the averaging into samples, the progress refreshes and the user's stop.
//
// Arithmetic faults (division by zero, invalid operation, overflow) end the run at the step in
// which they occur, sampling included. The loop reads the floating-point environment's sticky
// flags every few steps; when one is raised, it returns to the last clean reading and computes
// the steps again with a look after every routine, which names the room and the quantity.

#include <cfenv>
#include <chrono>
#include <climits>
#include <cmath>
#include <cstring>
#include <new>

#include "model/constants.h"
#include "model/scenario.h"

namespace zf {

namespace {

constexpr int kFaultFlags = FE_DIVBYZERO | FE_INVALID | FE_OVERFLOW;

struct StepFault {
    RunFault fault;
};

FaultKind KindOfFlags(int flags) {
    // The first cause wins: a division by zero or an overflow usually leaves invalid
    // operations (inf − inf, 0 · inf) behind it in the same routine.
    if (flags & FE_DIVBYZERO) return FaultKind::DivisionByZero;
    if (flags & FE_OVERFLOW) return FaultKind::Overflow;
    return FaultKind::InvalidOperation;
}

bool FitsInt32(double v) { return v >= INT_MIN && v <= INT_MAX; }

// Round to the nearest integer, halves to the even neighbour (the default rounding mode).
double RoundHalfEven(double v) { return std::nearbyint(v); }

// Quiet view for runs without windows.
class SilentView final : public RunView {};

// The 14 values of a state, element by element and written out: a loop over member pointers
// stays scalar, and assigning a value-initialised record compiles to a slow string store.
void AddInto(ResultSample& sum, const ResultSample& s) {
    sum.Fp += s.Fp;
    sum.Gk += s.Gk;
    sum.Yk += s.Yk;
    sum.Ro2 += s.Ro2;
    sum.T2 += s.T2;
    sum.Gm += s.Gm;
    sum.YkPred += s.YkPred;
    sum.Tw += s.Tw;
    sum.Lw += s.Lw;
    sum.O2w += s.O2w;
    sum.qRad += s.qRad;
    sum.COw += s.COw;
    sum.CO2w += s.CO2w;
    sum.HClw += s.HClw;
}

void DivideBy(ResultSample& s, double n) {
    s.Fp /= n;
    s.Gk /= n;
    s.Yk /= n;
    s.Ro2 /= n;
    s.T2 /= n;
    s.Gm /= n;
    s.YkPred /= n;
    s.Tw /= n;
    s.Lw /= n;
    s.O2w /= n;
    s.qRad /= n;
    s.COw /= n;
    s.CO2w /= n;
    s.HClw /= n;
}

void SetZero(ResultSample& s) {
    s.Fp = 0;
    s.Gk = 0;
    s.Yk = 0;
    s.Ro2 = 0;
    s.T2 = 0;
    s.Gm = 0;
    s.YkPred = 0;
    s.Tw = 0;
    s.Lw = 0;
    s.O2w = 0;
    s.qRad = 0;
    s.COw = 0;
    s.CO2w = 0;
    s.HClw = 0;
}

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
// names the step, the room and the routine, and the run ends there as failed. The steps in
// between are computed again by the very same code, so they repeat the first computation to
// the bit.
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
            AdvanceStep(k);
        } catch (const StepFault& e) {
            if (!s.Checking) {  // found without the flags (no room, no sample to record into)
                checkedUntil = k;
                k = RestoreCleanState(k);
                continue;
            }
            s.Checking = false;
            LastFault = e.fault;
            Iter = k;
            RestoreSamples(k);
            CutSamplesAt(k - 1);
            return false;
        }
        const std::int64_t tick = clock.ForStep();
        const bool refresh = tick - refreshClock > kRefreshMs;
        if (refresh || k % kFlagStride == 0 || k == StepCount - 1) {
            if (std::fetestexcept(kFaultFlags) != 0) {
                checkedUntil = k;
                k = RestoreCleanState(k);
                continue;
            }
            if (!s.Checking) SaveCleanState(k);
        }
        if (refresh) {
            if (!view.ProgressVisible()) {  // the user closed the progress view: stop
                Stopped = k < StepCount - 1;
                if (Stopped) CutSamplesAt(k);
                break;
            }
            view.WriteProgress(k, static_cast<std::int64_t>(RoundHalfEven(CurTime)), StepCount);
            refreshClock = clock.Now();
            view.ProcessEvents();
            // Whatever the event loop did to the flags is not the computation's fault.
            std::feclearexcept(kFaultFlags);
        }
    }
    s.Checking = false;
    return true;
}

// Counts of the run and the outside-air density. A zero step or temperature, or a count that
// does not fit a 32-bit integer, fails the run before its first step (Iter = 0).
bool TzoneMath::PrepareRun() {
    CurTime = 0;
    std::feclearexcept(kFaultFlags);
    const double steps = RoundHalfEven(SimTime / dt);
    const double perSample = RoundHalfEven((1.0 / SamplesPerSec) / dt);
    Ro0 = kAirDensityTimesT / T0;
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
    State_.Reuse.LastSteps.assign(static_cast<std::size_t>(n), {});
    State_.Reuse.Dormant.assign(static_cast<std::size_t>(n), 0);
    State_.Reuse.HeatLosses.assign(static_cast<std::size_t>(n), {});
    State_.Repeated.assign(static_cast<std::size_t>(n), 0);
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

// The state at the end of a step whose flags were clean: every room without its recorded
// samples, the flows pending on the faces, the model time, what the reuse of unchanged steps
// decides by (reuse.cpp), and the sample the next step adds into.
void TzoneMath::SaveCleanState(int k) {
    RunState& s = State_;
    s.CleanStep = k;
    s.CleanTime = CurTime;
    s.CleanReuse = s.Reuse;
    const int S = StepsPerSample;
    const std::size_t next = S > 0 ? static_cast<std::size_t>((k + 1) / S) : 0;
    for (std::size_t i = 0; i < Rooms.size(); ++i) {
        TRoom& room = *Rooms[i];
        std::vector<ResultSample> samples = std::move(room.Samples);  // left out of the copy
        s.CleanRooms[i] = room;
        room.Samples = std::move(samples);
        s.CleanSamples[i] = next < room.Samples.size() ? room.Samples[next] : ResultSample{};
    }
    std::size_t at = 0;
    for (auto& links : s.Links)
        for (TCellLink& link : links)
            for (auto& f : *link.Faces) {
                s.CleanFaces[at++] = f->Gin;
                s.CleanFaces[at++] = f->Tin;
            }
}

// Back to the last clean state after step k found a fault; returns the clean step, from
// which the loop goes on.
int TzoneMath::RestoreCleanState(int k) {
    RunState& s = State_;
    RestoreSamples(k);
    for (std::size_t i = 0; i < Rooms.size(); ++i) {
        TRoom& room = *Rooms[i];
        std::vector<ResultSample> samples = std::move(room.Samples);
        room = s.CleanRooms[i];
        room.Samples = std::move(samples);
    }
    std::size_t at = 0;
    for (auto& links : s.Links)
        for (TCellLink& link : links)
            for (auto& f : *link.Faces) {
                f->Gin = s.CleanFaces[at++];
                f->Tin = s.CleanFaces[at++];
            }
    CurTime = s.CleanTime;
    s.Reuse = s.CleanReuse;
    Iter = s.CleanStep;
    std::feclearexcept(kFaultFlags);
    return s.CleanStep;
}

// The recorded samples as they stood at the last clean state, after steps up to k added into
// them: the sample then in progress gets its saved sum back, the later ones their zeros.
void TzoneMath::RestoreSamples(int k) {
    RunState& s = State_;
    const int S = StepsPerSample;
    if (S <= 0) return;
    const std::size_t next = static_cast<std::size_t>((s.CleanStep + 1) / S);
    const std::size_t last = static_cast<std::size_t>(k / S);
    for (std::size_t i = 0; i < Rooms.size(); ++i) {
        std::vector<ResultSample>& samples = Rooms[i]->Samples;
        if (next < samples.size()) samples[next] = s.CleanSamples[i];
        for (std::size_t m = next + 1; m <= last && m < samples.size(); ++m) SetZero(samples[m]);
    }
}

// One step of the whole building, its hazard pass and its sampling. A fault found by a look
// at the flags (when the run is checking) or without them throws.
void TzoneMath::AdvanceStep(int k) {
    CurTime = CurTime + dt;
    Iter = k;
    if (Rooms.empty()) Fail(FaultKind::NoFireRoom, Quantity::FireRoomMissing, 0);
    Step(0);  // the fire room first
    for (int i = 1; i < RoomCount(); ++i)
        if (Room(i).LastIter < k) Step(i);
    HazardPass();
    if (StepsPerSample <= 0) {
        RunFault fault{FaultKind::BadSampling, Quantity::Sampling, Iter, -1};
        fault.StepLength = dt;
        fault.SampleInterval = 1.0 / SamplesPerSec;
        throw StepFault{fault};
    }
    SampleStep(k);
}

// The hazard routines of every room in index order, after every room was stepped: a room's
// balances see the neighbours of lower index already updated and those of higher index not.
void TzoneMath::HazardPass() {
    for (int i = 0; i < RoomCount(); ++i) {
        if (RepeatLastHazards(i)) {
            FallDormant(i);
            continue;
        }
        // The working-zone profile serves all but the radiation; the temperature is the first
        // to need it, so a fault in it is the temperature's.
        const double profile = WorkingZoneProfile(i);
        Checkpoint(i, Quantity::WorkingZoneTemperature);
        CalcTw(Iter, i, profile);
        CalcLw(Iter, i, profile);
        CalcO2w(Iter, i, profile);
        CalcSpecies(1, Iter, i, profile);
        CalcSpecies(2, Iter, i, profile);
        CalcSpecies(3, Iter, i, profile);
        CalcRad(Iter, i);
    }
}

// Adds every room's state of step k into its current sample; a sample is divided by the number
// of states it received when it is full or the run's last step is reached. Then the state
// becomes the previous one and Cur starts again from zeros.
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
        Checkpoint(i, Quantity::Sampling);
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

// One room's step: what enters the layer (the fire's plume in the fire room, the flows the
// neighbours posted elsewhere), the layer predicted before the openings, the flows out through
// every face the layer reaches (stepping a neighbour first where its prediction is needed),
// and the layer after them.
void TzoneMath::Step(int i) {
    TRoom& r = Room(i);
    r.LastIter = Iter;
    State_.Repeated[static_cast<std::size_t>(i)] = 0;
    if (StaysDormant(i)) return;
    bool posted = false;  // a neighbour had posted a flow into one of the room's faces
    const double inflow = i == 0 ? FireSource(i) : TakeInPostedFlows(i, posted);
    if (i != 0 && !posted && EnclosureAtRest(i) && RepeatLastStep(i)) return;
    InterfaceTerms terms = SharedInterfaceTerms(i);
    PredictLayer(i, terms);
    const bool reached = FlowOutThroughOpenings(i);
    UpdateLayer(i, terms, inflow);
    RecordStep(i, !posted && !reached);
}

// The fire room's source: burning area, heat release and the plume's mass flow into the
// layer, which is what the layer takes in [kg/s].
double TzoneMath::FireSource(int i) {
    TRoom& r = Room(i);
    r.Cur.Fp = BurningArea(i);
    Checkpoint(i, Quantity::BurningArea);
    r.Q = HeatRelease(i);
    Checkpoint(i, Quantity::HeatRelease);
    r.HeatReleased += r.Q * dt;
    r.Cur.Gk = PlumeFlow(i);
    Checkpoint(i, Quantity::PlumeFlow);
    return r.Cur.Gk;
}

// Takes in what the neighbours posted since this room's last step and returns its mass rate
// [kg/s]; Gk counts each flow at its own temperature (its volume at outside density).
double TzoneMath::TakeInPostedFlows(int i, bool& posted) {
    TRoom& r = Room(i);
    double inflow = 0;
    for (const TInflowFace& in : State_.Inflow[static_cast<std::size_t>(i)]) {
        TProem& f = *in.Face;
        posted = posted || f.Gin != 0 || f.Tin != 0;
        r.Cur.Gk = r.Cur.Gk + (f.Tin / T0) * f.Gin;
        inflow = inflow + f.Gin;
        f.Gin = 0;
        f.Tin = 0;
    }
    Checkpoint(i, Quantity::Inflow);
    return inflow;
}

// The layer before this step's opening flows: interface, density and temperature, after the
// heat loss of the previous layer (with the heat-loss option: the loss of this step, which
// the interface heights take in).
void TzoneMath::PredictLayer(int i, InterfaceTerms& terms) {
    TRoom& r = Room(i);
    if (Options.HeatLoss.Enabled) {
        terms.Cooling = EnclosureLoss(i);
        Checkpoint(i, Quantity::HeatLoss);
    } else if (!DeferHeatLoss(i, r.Prev.T2, r.Prev.Yk)) {
        r.Qloss = HeatLoss(i, r.Prev.T2, r.Prev.Yk);
        Checkpoint(i, Quantity::HeatLoss);
    }
    r.Cur.YkPred = PredictedInterfaceHeight(i, terms);
    Checkpoint(i, Quantity::PredictedInterface);
    r.Ro2Pred = LayerDensity(i, r.Cur.YkPred);
    Checkpoint(i, Quantity::PredictedDensity);
    r.T2Pred = LayerTemperature(r.Ro2Pred);
    Checkpoint(i, Quantity::PredictedTemperature);
}

// The outflow Gm through every face the predicted layer reaches down to. Through a doorway
// the flow is posted on the twin face for the neighbour to take in, unless the neighbour's own
// flow through it is still pending; the neighbour is stepped first when its prediction of this
// step is missing. Returns whether the layer reached any opening.
bool TzoneMath::FlowOutThroughOpenings(int i) {
    TRoom& r = Room(i);
    bool reached = false;
    r.Cur.Gm = 0;
    for (const TCellLink& link : State_.Links[static_cast<std::size_t>(i)]) {
        const int j = link.Col;
        const TProems& faces = *link.Faces;
        for (std::size_t k = 0; k < faces.size(); ++k) {
            TProem& f = *faces[k];
            if (r.Cur.YkPred >= f.Height) continue;  // the layer does not reach the opening
            reached = true;
            if (j != i) {
                if (f.Gin != 0) continue;  // the neighbour's flow through this doorway is pending
                if (Room(j).LastIter < Iter) Step(j);
            }
            const double G = OpeningFlow(i, j, f);
            Checkpoint(i, Quantity::OpeningFlow, j, static_cast<int>(k));
            r.Cur.Gm = r.Cur.Gm + G;
            if (j == i || j == 0) r.LeavingFlowHeat += G * r.T2Pred;  // leaves the balances
            if (j != i) {
                TProem& twin = *(*link.Twins)[k];  // the same doorway seen from room j
                twin.Gin = G;
                twin.Tin = r.T2Pred;
                WakeUp(j);
            }
        }
    }
    return reached;
}

// The sums of what entered and left, the heat loss of the predicted layer, and the layer
// after the step's flows; the interface stops at the floor.
void TzoneMath::UpdateLayer(int i, const InterfaceTerms& terms, double inflow) {
    TRoom& r = Room(i);
    r.SumOut = r.SumOut + r.Cur.Gm;
    r.SumIn = r.SumIn + inflow;
    const bool heatLoss = Options.HeatLoss.Enabled;  // its loss was taken before the flows
    if (!heatLoss && !DeferHeatLoss(i, r.T2Pred, r.Cur.YkPred)) {
        r.Qloss = HeatLoss(i, r.T2Pred, r.Cur.YkPred);
        Checkpoint(i, Quantity::HeatLoss);
    }
    r.Cur.Yk = InterfaceHeight(i, terms);
    Checkpoint(i, Quantity::Interface);
    r.Cur.Ro2 = LayerDensity(i, r.Cur.Yk);  // from the unclamped height
    Checkpoint(i, Quantity::Density);
    r.Cur.T2 = LayerTemperature(r.Cur.Ro2);
    Checkpoint(i, Quantity::Temperature);
    if (heatLoss) NeutralLayerGuard(i);
    if (!(r.Cur.Yk >= 0)) r.Cur.Yk = 0;
}

void TzoneMath::CheckFlags(int room, Quantity what, int column, int face) {
    const int flags = std::fetestexcept(kFaultFlags);
    if (flags == 0) return;
    RunFault fault{KindOfFlags(flags), what, Iter, room, column, face};
    if (what == Quantity::OpeningFlow && room >= 0 && room < RoomCount())
        fault.DenserThanAir = Room(room).Ro2Pred > Ro0;
    throw StepFault{fault};
}

void TzoneMath::Fail(FaultKind kind, Quantity what, int room) {
    throw StepFault{RunFault{kind, what, Iter, room}};
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
    State_.CleanRooms = {};
    State_.CleanSamples = {};
    State_.CleanFaces = {};
    State_.CleanReuse = {};
}

}  // namespace zf
