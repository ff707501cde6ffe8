// Locating an arithmetic fault. The time loop reads the floating-point environment's sticky
// flags every few steps; when one is raised, it returns to the state of the last clean reading
// (saved here) and computes the steps again with a look after every routine, which names the
// step, the room and the quantity. The steps in between are computed again by the very same
// code, so they repeat the first computation to the bit.

#include <cfenv>

#include "model/scenario.h"

namespace zf {

namespace {

FaultKind KindOfFlags(int flags) {
    // The first cause wins: a division by zero or an overflow usually leaves invalid
    // operations (inf − inf, 0 · inf) behind it in the same routine.
    if (flags & FE_DIVBYZERO) return FaultKind::DivisionByZero;
    if (flags & FE_OVERFLOW) return FaultKind::Overflow;
    return FaultKind::InvalidOperation;
}

// The value of the quantity the room has just computed, as the room holds it, in the unit
// DescribeFault gives; none for a quantity that is no one value of the room.
std::optional<double> ValueIn(const TRoom& r, Quantity what) {
    switch (what) {
        case Quantity::BurningArea: return r.Cur.Fp;             // [m²]
        case Quantity::HeatRelease: return r.Q;                  // [W]
        case Quantity::PlumeFlow:                                // [kg/s]
        case Quantity::Inflow: return r.Cur.Gk;                  // [kg/s]
        case Quantity::HeatLoss: return r.Qloss;                 // [W]
        case Quantity::PredictedInterface: return r.Cur.YkPred;  // [m]
        case Quantity::PredictedDensity: return r.Ro2Pred;       // [kg/m³]
        case Quantity::PredictedTemperature: return r.T2Pred;    // [K]
        case Quantity::Interface: return r.Cur.Yk;               // [m]
        case Quantity::Density: return r.Cur.Ro2;                // [kg/m³]
        case Quantity::Temperature: return r.Cur.T2;             // [K]
        case Quantity::WorkingZoneTemperature: return r.Cur.Tw;  // [K]
        case Quantity::Visibility: return r.Cur.Lw;              // [m]
        case Quantity::Oxygen: return r.Cur.O2w;                 // [kg/m³]
        case Quantity::CO: return r.Cur.COw;                     // [kg/m³]
        case Quantity::CO2: return r.Cur.CO2w;                   // [kg/m³]
        case Quantity::HCl: return r.Cur.HClw;                   // [kg/m³]
        case Quantity::Radiation: return r.Cur.qRad;             // [W/m²]
        default: return std::nullopt;
    }
}

}  // namespace

// The state at the end of a step whose flags were clean: every room without its recorded
// samples, the flows pending on the faces, the model time, what the speed machinery decides
// by (speed.cpp), and the sample the next step adds into.
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

// The fault located in step k ends the run there: the samples keep what the steps before it
// recorded.
void TzoneMath::EndWithFault(const RunFault& fault, int k) {
    State_.Checking = false;
    LastFault = fault;
    Iter = k;
    RestoreSamples(k);
    CutSamplesAt(k - 1);
}

void TzoneMath::CheckFlags(int room, Quantity what, int column, int face, std::optional<double> value,
                           bool valueInRoom) {
    const int flags = std::fetestexcept(kFaultFlags);
    if (flags == 0) return;
    RunFault fault{KindOfFlags(flags), what, Iter, room, column, face};
    fault.Value = value;
    if (room >= 0 && room < RoomCount()) {
        if (valueInRoom) fault.Value = ValueIn(Room(room), what);
        if (what == Quantity::OpeningFlow) fault.DenserThanAir = Room(room).Ro2Pred > Ro0;
    }
    throw StepFault{fault};
}

void TzoneMath::Fail(FaultKind kind, Quantity what, int room) {
    throw StepFault{RunFault{kind, what, Iter, room}};
}

}  // namespace zf
