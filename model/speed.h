#pragma once
// The run's speed machinery: the one place where the run leaves out a computation whose
// result it already holds, or whose only purpose could not be served. Every rule here gives
// the very bits the full computation would give; the physics files and the step know nothing
// of it. The option RunOptions::SpeedMachinery turns all of it off (every room's every step
// computed in full), which the tests compare with.
//
// - A room the smoke has not reached, or whose layer has settled, repeats its last step: the
//   step and the room's hazard routines are copied instead of computed.
// - A room whose step and hazard routines both repeated falls dormant: until a neighbour
//   posts a flow into it, its steps repeat without a look at its faces or its state.
// - A dormant room keeps its state of the last step as it is, instead of copying it to the
//   previous state and starting again from zeros.
// - The heat loss of a layer, evaluated only for its faults, is deferred to the run's end where
//   its inputs cannot make it fault.
// - The working-zone profile of a room is formed again only when its interface height moved.
// - The products of a room's floor area with the outside air's constants that the interface
//   heights divide by are formed once per run.
// - With heat loss, walls of the same material as the ceiling that took the same flux are
//   given the ceiling's temperature profile instead of a conduction step of their own.

// The hooks the step, the hazard pass and the sampling call are defined here, inline, so the
// time loop pays no call for them; what runs once per run is in speed.cpp.

#include <algorithm>
#include <cmath>
#include <cstring>

#include "model/scenario.h"

namespace zf {

namespace speed_detail {

// The values a repeated step copies from the last one: the layer's, and the working zone's.
// Fp and Gk need no copy: they are 0 in a room where nothing burns and nothing was taken in.
inline void RepeatLayer(TRoom& r) {
    r.Cur.YkPred = r.Prev.YkPred;
    r.Cur.Gm = r.Prev.Gm;
    r.Cur.Yk = r.Prev.Yk;
    r.Cur.Ro2 = r.Prev.Ro2;
    r.Cur.T2 = r.Prev.T2;
}

inline void RepeatHazards(TRoom& r) {
    r.Cur.Tw = r.Prev.Tw;
    r.Cur.Lw = r.Prev.Lw;
    r.Cur.O2w = r.Prev.O2w;
    r.Cur.COw = r.Prev.COw;
    r.Cur.CO2w = r.Prev.CO2w;
    r.Cur.HClw = r.Prev.HClw;
    r.Cur.qRad = r.Prev.qRad;
}

}  // namespace speed_detail

// At the start of a room's step: true when the step repeats the last one and its results
// were copied, so nothing is left to compute.
inline bool TzoneMath::StepRepeats(int room) {
    State_.Repeated[static_cast<std::size_t>(room)] = 0;
    if (!Options.SpeedMachinery) return false;
    if (StaysDormant(room)) return true;
    return room != 0 && NothingPosted(room) && EnclosureAtRest(room) && RepeatLastStep(room);
}

// After a room's hazard routines would run: true when they repeat the last step's and their
// values were copied.
inline bool TzoneMath::HazardsRepeat(int room) {
    if (!Options.SpeedMachinery || !RepeatLastHazards(room)) return false;
    FallDormant(room);
    return true;
}

// After a room's state of the step was added into its sample: true when Cur stays as it is
// (the room is dormant, Cur equals Prev), false when Cur is to become Prev and start again
// from zeros. Exact: a dormant room's step and hazards repeated, so Cur equals Prev in all 14
// values (Fp and Gk +0), and a room that wakes reads only Gk and Fp of Cur before writing them.
inline bool TzoneMath::CurStaysPrev(int room) {
    if (!Options.SpeedMachinery) return false;
    const char dormant = State_.Reuse.Dormant[static_cast<std::size_t>(room)];
    State_.Reuse.CurIsPrev[static_cast<std::size_t>(room)] = dormant;
    return dormant != 0;
}

// The working-zone profile of a room's hazard routines: F depends on the interface height
// alone (Yk = ±0 alike), so while Yk is the one F was formed from, F is reused. Formed anew
// in the looking copy, so a fault in it is found in its routine.
template <bool Look>
inline double TzoneMath::HazardProfile(int room) {
    if (Look || !Options.SpeedMachinery) return WorkingZoneProfile(room);
    WorkingZoneProfileOf& last = State_.Reuse.Profiles[static_cast<std::size_t>(room)];
    const double yk = Room(room).Cur.Yk;
    if (last.Formed && yk == last.Yk) return last.F;
    last = WorkingZoneProfileOf{yk, WorkingZoneProfile(room), true};
    return last.F;
}

// The products the room's interface heights divide by: those formed at the run's start, or
// formed now when the machinery is off or one of them was no finite number (an overflow is
// then reported in its step and routine).
inline LayerProducts TzoneMath::LayerProductsOf(int room) {
    if (State_.ProductsPerRun) return State_.Products[static_cast<std::size_t>(room)];
    return FormLayerProducts(room);
}

// No neighbour has posted a flow into the room since its last step.
inline bool TzoneMath::NothingPosted(int room) const {
    for (const TInflowFace& in : State_.Inflow[static_cast<std::size_t>(room)])
        if (in.Face->Gin != 0 || in.Face->Tin != 0) return false;
    return true;
}

inline StepStart TzoneMath::StartOf(const TRoom& r) {
    return StepStart{r.Prev.T2, r.Prev.Yk, r.Prev.YkPred, r.Prev.Gm, r.SumIn, r.SumOut};
}

// After a computed step: a step that took nothing in and reached no opening left the sums as
// they were, so the state it started from is still in Prev and the sums.
inline void TzoneMath::StepComputed(int room, bool closed) {
    if (!Options.SpeedMachinery) return;
    LastStep& last = State_.Reuse.LastSteps[static_cast<std::size_t>(room)];
    last.Closed = closed;
    if (closed) last.Start = StartOf(Room(room));
}

// A room nothing was posted into whose last computed step took nothing in and reached no
// opening, starting from the very state that step started from (compared bit for bit): its
// step would repeat that one exactly (same inputs, same operations, no recursion, nothing
// posted, no flag raised that the first computation did not raise), so the results are
// copied: the layer values that step stored are now in Prev, its predictions and heat loss
// are still in the room's fields, and the sums did not change.
inline bool TzoneMath::RepeatLastStep(int room) {
    const LastStep& last = State_.Reuse.LastSteps[static_cast<std::size_t>(room)];
    if (!last.Closed) return false;
    TRoom& r = Room(room);
    const StepStart start = StartOf(r);
    if (std::memcmp(&start, &last.Start, sizeof start) != 0) return false;
    speed_detail::RepeatLayer(r);
    State_.Repeated[static_cast<std::size_t>(room)] = 1;
    return true;
}

// A room whose step repeated (so its outflow is zero and its layer as in the last step) and
// into which no flow is pending: every balance gains and loses exactly zero, so the amounts
// and concentrations stay as the last hazard routines left them, and the working-zone values,
// computed from them and the same layer, are those of the last step. The critical times
// those values reach were recorded then.
inline bool TzoneMath::RepeatLastHazards(int room) {
    if (room == 0 || !State_.Repeated[static_cast<std::size_t>(room)]) return false;
    if (State_.Reuse.Dormant[static_cast<std::size_t>(room)]) return true;  // copied with its step
    for (const TInflowFace& in : State_.Inflow[static_cast<std::size_t>(room)])
        if (in.Face->Gin > 0) return false;
    speed_detail::RepeatHazards(Room(room));
    return true;
}

// A room whose step and hazard routines both repeated, with nothing pending on its faces: its
// next step starts from the very state this one started from (the step left Prev and the
// sums as they were), takes nothing in and has nothing pending unless a neighbour posts into
// it first, which wakes it. So while it sleeps every step repeats, and the look at its faces
// and state is left out.
inline void TzoneMath::FallDormant(int room) { State_.Reuse.Dormant[static_cast<std::size_t>(room)] = 1; }

inline void TzoneMath::WakeUp(int room) { State_.Reuse.Dormant[static_cast<std::size_t>(room)] = 0; }

inline bool TzoneMath::StaysDormant(int room) {
    const std::size_t i = static_cast<std::size_t>(room);
    if (!State_.Reuse.Dormant[i]) return false;
    if (!State_.Reuse.CurIsPrev[i]) {
        TRoom& r = Room(room);
        speed_detail::RepeatLayer(r);
        speed_detail::RepeatHazards(r);
    }
    State_.Repeated[i] = 1;
    return true;
}

// The heat loss of a layer is read by no balance: a step evaluates it for its faults, and
// the room's field keeps the last value for whoever looks after the run. Where its inputs
// cannot make it fault, it is deferred: only its inputs are kept, and the field gets its value
// when the run ends, exactly the value the last evaluation would have left.
//
// Below a layer temperature of 1e5 K the exponential stays under 1e101, and with a wall
// surface under 1e200 m² every product stays far below the largest double; the root's
// argument is positive whenever it is taken. Beyond these bounds, or for inputs that are no
// numbers, the heat loss is evaluated in the step.
template <bool Look>
[[gnu::always_inline]] inline void TzoneMath::LayerHeatLoss(int room, double layerTemperature, double interfaceHeight) {
    if (Options.SpeedMachinery && DeferHeatLoss(room, layerTemperature, interfaceHeight)) return;
    Room(room).Qloss = HeatLoss(room, layerTemperature, interfaceHeight);
    Checkpoint<Look>(room, Quantity::HeatLoss);
}

[[gnu::always_inline]] inline bool TzoneMath::DeferHeatLoss(int room, double layerTemperature, double interfaceHeight) {
    const double surface = LayerContactSurface(room, interfaceHeight);
    const bool bounded = layerTemperature >= 0 && layerTemperature <= 1e5 && std::abs(T0) <= 1e5 &&
                         std::abs(surface) <= 1e200;
    State_.Reuse.HeatLosses[static_cast<std::size_t>(room)] = DeferredHeatLoss{layerTemperature, interfaceHeight, bounded};
    return bounded;
}

// With heat loss, after the ceiling's conduction step: true when the walls were given the
// ceiling's new profile instead of a step of their own. Exact: walls of the very surface of
// the ceiling (the same grid), which started at T0 as the ceiling did and took the ceiling's
// flux in every step, hold the ceiling's profile; taking its flux again, bit for bit, they
// step to its new one. A flux that differs in any bit ends the rule for the room's run.
inline bool TzoneMath::WallsFollowCeiling(int room, double qCeiling, double qWalls) {
    char& alike = State_.Reuse.WallsAsCeiling[static_cast<std::size_t>(room)];
    if (!alike) return false;
    if (std::memcmp(&qCeiling, &qWalls, sizeof qWalls) != 0) {
        alike = 0;
        return false;
    }
    RoomEnclosure& e = Room(room).Enclosure;
    std::copy(e.Ceiling.T.begin(), e.Ceiling.T.end(), e.Walls.T.begin());
    return true;
}

}  // namespace zf
