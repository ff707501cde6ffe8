// Hazard factors at the working-zone height hr and their critical times. The smoke, oxygen
// and the toxic species have balances of their own per room, carried from step to step: the
// layer gains what the fire produces (fire room) or what neighbours send in (other rooms) and
// loses what its outflow carries at the layer's concentration before the update.

#include <cmath>

#include "model/constants.h"
#include "model/scenario.h"

namespace zf {

// Calls fn(neighbour index, face) for every doorway face of room n holding a pending inflow
// (Gin > 0). Openings to the outside carry nothing in.
template <class Fn>
void TzoneMath::ForEachPendingInflow(int n, Fn&& fn) {
    auto visit = [&](int col, const TProems& faces) {
        if (col == n) return;
        for (const auto& f : faces)
            if (f->Gin > 0) fn(col, *f);
    };
    if (State_.Links.size() == Rooms.size()) {  // during a run: only the cells that hold faces
        for (const TCellLink& link : State_.Links[static_cast<std::size_t>(n)]) visit(link.Col, *link.Faces);
    } else {
        for (int col = 0; col < RoomCount(); ++col) visit(col, Cell(n, col));
    }
}

// Working-zone profile: z = (hr − Yk)/(H − Yk) is how deep the working zone reaches into the
// layer; F = z·e^(1.4·z) scales the layer's excess over ambient (0 at the interface, above 1
// for z > ~0.5). Only meaningful when Yk ≤ hr.
double TzoneMath::ProfileFactor(int room) {
    TRoom& r = Room(room);
    const double z = (hr - r.Cur.Yk) / (r.Height - r.Cur.Yk);
    return z * std::exp(kProfileExponent * z);
}

// The profile for a hazard routine: within the hazard pass it is formed once per room and
// step, by the first routine that needs it, and shared by the others (the interface does not
// move between them); a routine called on its own forms its own.
double TzoneMath::WorkingZoneProfile(int room) {
    if (room != State_.PassRoom) return ProfileFactor(room);
    if (!State_.PassProfileFormed) {
        State_.PassProfile = ProfileFactor(room);
        State_.PassProfileFormed = true;
    }
    return State_.PassProfile;
}

// What one pending inflow brings into the layer in a step, at the sending room's
// concentration (smoke [Np·m²], oxygen and species [kg]).
static double SmokeBrought(double gin, double dt, const TRoom& from) { return gin * dt * from.OptDens / from.Cur.Ro2; }
static double OxygenBrought(double gin, double dt, const TRoom& from) { return gin * dt * from.XO2; }
static double SpeciesBrought(double gin, double fraction, double dt) { return gin * fraction * dt; }

// The five sums in one walk; each adds the same terms in the same order as a routine's own
// walk would, so the results are the same to the last bit.
const PendingInflow& TzoneMath::PassInflow(int room) {
    if (!State_.PassInflowFormed) {
        PendingInflow sums;
        ForEachPendingInflow(room, [&](int i, const TProem& f) {
            TRoom& from = Room(i);
            sums.Smoke = sums.Smoke + SmokeBrought(f.Gin, dt, from);
            sums.Oxygen = sums.Oxygen + OxygenBrought(f.Gin, dt, from);
            for (int k = 1; k <= 3; ++k) sums.Species[k] = sums.Species[k] + SpeciesBrought(f.Gin, from.X(k), dt);
        });
        State_.PassInflow = sums;
        State_.PassInflowFormed = true;
    }
    return State_.PassInflow;
}

static void MarkCritical(double& critTime, bool reached, int iter, double dt) {
    if (critTime == 0 && reached) critTime = iter * dt;  // first crossing only, kept for the run
}

// Working-zone temperature [K]: ambient below the layer, else T0 + F·(T2 − T0).
void TzoneMath::CalcTw(int iter, int room) {
    TRoom& r = Room(room);
    if (r.Cur.Yk > hr) {
        r.Cur.Tw = T0;
    } else {
        r.Cur.Tw = T0 + WorkingZoneProfile(room) * (r.Cur.T2 - T0);
    }
    Checkpoint(room, Quantity::WorkingZoneTemperature);
    MarkCritical(r.CritTimeT, r.Cur.Tw >= CritT, iter, dt);
}

// Smoke balance, optical density [Np/m] and visibility [m] = 2.38 / (F·optical density),
// at most 50 m.
void TzoneMath::CalcLw(int iter, int room) {
    TRoom& r = Room(room);
    double gain;  // smoke entering the layer in this step [Np·m²]
    if (room == 0) {
        gain = PsiUd * r.Cur.Fp * D * dt;
    } else if (SharesPassInflow(room)) {
        gain = PassInflow(room).Smoke;
    } else {
        gain = 0;
        ForEachPendingInflow(room, [&](int i, const TProem& f) { gain = gain + SmokeBrought(f.Gin, dt, Room(i)); });
    }
    r.SmokeAmt = r.SmokeAmt + (gain - r.Cur.Gm * dt * r.OptDens / r.Cur.Ro2);  // minus what the outflow carries
    if (r.Height - r.Cur.Yk > 0) r.OptDens = r.SmokeAmt / (r.Area() * (r.Height - r.Cur.Yk));
    if (r.Cur.Yk > hr) {
        r.Cur.Lw = kMaxVisibility;
    } else {
        // A smoke-free working zone (F·optical density = 0) sees as far as clear air does.
        const double dimming = WorkingZoneProfile(room) * r.OptDens;  // [Np/m]
        r.Cur.Lw = dimming == 0 ? kMaxVisibility : kVisibilityConst / dimming;
        if (r.Cur.Lw > kMaxVisibility) r.Cur.Lw = kMaxVisibility;
    }
    Checkpoint(room, Quantity::Visibility);
    MarkCritical(r.CritTimeVis, r.Cur.Lw <= CritVis, iter, dt);
}

// Oxygen balance and the oxygen partial density at the working zone [kg/m³].
void TzoneMath::CalcO2w(int iter, int room) {
    TRoom& r = Room(room);
    double gain;  // oxygen entering the layer in this step [kg]
    if (room == 0) {
        // Oxygen of the entrained air less what the fire consumes; 0.23 applies to both.
        gain = (r.Cur.Gk - Nu * PsiUd * r.Cur.Fp * Lo2) * kO2MassFraction * dt;
    } else if (SharesPassInflow(room)) {
        gain = PassInflow(room).Oxygen;
    } else {
        gain = 0;
        ForEachPendingInflow(room, [&](int i, const TProem& f) { gain = gain + OxygenBrought(f.Gin, dt, Room(i)); });
    }
    r.MO2 = r.MO2 + (gain - r.Cur.Gm * dt * r.XO2);  // minus what the outflow carries
    if (r.SumIn > 0) r.XO2 = r.MO2 / ((r.SumIn - r.SumOut) * dt);  // over the layer's gas mass
    const double ambient = kO2MassFraction * Ro0;  // [kg/m³]
    if (r.Cur.Yk > hr) {
        r.Cur.O2w = ambient;
    } else {
        r.Cur.O2w = ambient + WorkingZoneProfile(room) * (r.XO2 * r.Cur.Ro2 - ambient);
    }
    Checkpoint(room, Quantity::Oxygen);
    MarkCritical(r.CritTimeO2, r.Cur.O2w <= CritO2, iter, dt);
}

// Balance and working-zone partial density [kg/m³] of toxic species k (1 CO, 2 CO2, 3 HCl).
void TzoneMath::CalcSpecies(int speciesIndex, int iter, int room) {
    const int k = speciesIndex;
    TRoom& r = Room(room);
    double& X = r.X(k);  // mass fraction in the layer gas [kg/kg]
    double& M = r.M(k);  // mass in the layer [kg]
    double gain;         // species entering the layer in this step [kg]
    if (room == 0) {
        gain = PsiUd * r.Cur.Fp * Yield(k) * dt;
    } else if (SharesPassInflow(room)) {
        gain = PassInflow(room).Species[k];
    } else {
        gain = 0;
        ForEachPendingInflow(room, [&](int i, const TProem& f) { gain = gain + SpeciesBrought(f.Gin, Room(i).X(k), dt); });
    }
    M = M + (gain - r.Cur.Gm * X * dt);  // minus what the outflow carries
    if (r.SumIn > 0) X = M / ((r.SumIn - r.SumOut) * dt);
    double& value = r.Cur.*TRoom::WorkingZoneValue(k);
    if (r.Cur.Yk > hr) {
        value = 0;
    } else {
        value = WorkingZoneProfile(room) * X * r.Cur.Ro2;
    }
    Checkpoint(room, k == 1 ? Quantity::CO : k == 2 ? Quantity::CO2 : Quantity::HCl);
    MarkCritical(r.CritTime(k), value >= Crit(k), iter, dt);
}

// Heat-radiation flux [W/m²]: the radiated share of the heat release over a sphere of 3 m
// radius (36π m²); only where something burns.
void TzoneMath::CalcRad(int iter, int room) {
    TRoom& r = Room(room);
    r.Cur.qRad = r.Cur.Fp > 0 ? kRadiatedFraction * r.Q / kRadiationDivisor : 0;
    Checkpoint(room, Quantity::Radiation);
    MarkCritical(r.CritTimeRad, r.Cur.qRad >= CritRad, iter, dt);
}

}  // namespace zf
