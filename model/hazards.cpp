// Hazard factors at the working-zone height hr and their critical times. The smoke, oxygen
// and the toxic species have balances of their own per room, carried from step to step: the
// layer gains what the fire produces (fire room) or what neighbours send in (other rooms) and
// loses what its outflow carries at the layer's concentration before the update.

#include <cmath>

#include "model/constants.h"
#include "model/scenario.h"

namespace zf {

// Working-zone profile: z = (hr − Yk)/(H − Yk) is how deep the working zone reaches into the
// layer; F = z·e^(1.4·z) scales the layer's excess over ambient (0 at the interface, above 1
// for z > ~0.5). Only meaningful when Yk ≤ hr.
double TzoneMath::ProfileFactor(int room) {
    TRoom& r = Room(room);
    const double z = (hr - r.Cur.Yk) / (r.Height - r.Cur.Yk);
    return z * std::exp(kProfileExponent * z);
}

// The profile the hazard routines of a room take: F where the layer reaches the working zone,
// 0 (read by none) where it does not.
double TzoneMath::WorkingZoneProfile(int room) {
    return Room(room).Cur.Yk > hr ? 0 : ProfileFactor(room);
}

// Σ over the doorway faces of room n with a pending inflow (Gin > 0) of what that inflow
// brings in the step; openings to the outside carry nothing in.
template <class Term>
double TzoneMath::SumOverPendingInflows(int n, Term term) {
    double sum = 0;
    for (const TInflowFace& in : State_.Inflow[static_cast<std::size_t>(n)])
        if (in.Face->Gin > 0) sum = sum + term(in.Face->Gin, Room(in.From));
    return sum;
}

// Smoke entering the layer in this step [Np·m²]: the fire's production, or the pending
// inflows at the sending layer's optical density per unit of gas density.
double TzoneMath::SmokeGain(int room) {
    TRoom& r = Room(room);
    if (room == 0) return PsiUd * r.Cur.Fp * D * dt;
    return SumOverPendingInflows(room, [&](double gin, const TRoom& from) { return gin * dt * from.OptDens / from.Cur.Ro2; });
}

// Oxygen entering the layer in this step [kg]: in the fire room the oxygen of the entrained
// air less what the fire consumes (0.23 applies to both); elsewhere the pending inflows at
// the sending layer's oxygen fraction.
double TzoneMath::OxygenGain(int room) {
    TRoom& r = Room(room);
    if (room == 0) return (r.Cur.Gk - Nu * PsiUd * r.Cur.Fp * Lo2) * kO2MassFraction * dt;
    return SumOverPendingInflows(room, [&](double gin, const TRoom& from) { return gin * dt * from.XO2; });
}

// Species k (1 CO, 2 CO2, 3 HCl) entering the layer in this step [kg]: the fire's yield, or
// the pending inflows at the sending layer's mass fraction.
double TzoneMath::SpeciesGain(int k, int room) {
    TRoom& r = Room(room);
    if (room == 0) return PsiUd * r.Cur.Fp * Yield(k) * dt;
    return SumOverPendingInflows(room, [&](double gin, TRoom& from) { return gin * from.X(k) * dt; });
}

static void MarkCritical(double& critTime, bool reached, int iter, double dt) {
    if (critTime == 0 && reached) critTime = iter * dt;  // first crossing only, kept for the run
}

// Working-zone temperature [K]: ambient below the layer, else T0 + F·(T2 − T0).
template <bool Look>
void TzoneMath::CalcTw(int iter, int room, double profile) {
    TRoom& r = Room(room);
    r.Cur.Tw = r.Cur.Yk > hr ? T0 : T0 + profile * (r.Cur.T2 - T0);
    Checkpoint<Look>(room, Quantity::WorkingZoneTemperature);
    MarkCritical(r.CritTimeT, r.Cur.Tw >= CritT, iter, dt);
}

// Smoke balance, optical density [Np/m] and visibility [m] = 2.38 / (F·optical density),
// at most 50 m.
template <bool Look>
void TzoneMath::CalcLw(int iter, int room, double profile) {
    TRoom& r = Room(room);
    const double gain = SmokeGain(room);
    r.SmokeAmt = r.SmokeAmt + (gain - r.Cur.Gm * dt * r.OptDens / r.Cur.Ro2);  // minus what the outflow carries
    if (r.Height - r.Cur.Yk > 0) r.OptDens = r.SmokeAmt / (r.Area() * (r.Height - r.Cur.Yk));
    if (r.Cur.Yk > hr) {
        r.Cur.Lw = kMaxVisibility;
    } else {
        // A smoke-free working zone (F·optical density = 0) sees as far as clear air does.
        const double dimming = profile * r.OptDens;  // [Np/m]
        r.Cur.Lw = dimming == 0 ? kMaxVisibility : kVisibilityConst / dimming;
        if (r.Cur.Lw > kMaxVisibility) r.Cur.Lw = kMaxVisibility;
    }
    Checkpoint<Look>(room, Quantity::Visibility);
    MarkCritical(r.CritTimeVis, r.Cur.Lw <= CritVis, iter, dt);
}

// Oxygen balance and the oxygen partial density at the working zone [kg/m³].
template <bool Look>
void TzoneMath::CalcO2w(int iter, int room, double profile) {
    TRoom& r = Room(room);
    const double gain = OxygenGain(room);
    r.MO2 = r.MO2 + (gain - r.Cur.Gm * dt * r.XO2);  // minus what the outflow carries
    if (r.SumIn > 0) r.XO2 = r.MO2 / ((r.SumIn - r.SumOut) * dt);  // over the layer's gas mass
    const double ambient = kO2MassFraction * Ro0;  // [kg/m³]
    r.Cur.O2w = r.Cur.Yk > hr ? ambient : ambient + profile * (r.XO2 * r.Cur.Ro2 - ambient);
    Checkpoint<Look>(room, Quantity::Oxygen);
    MarkCritical(r.CritTimeO2, r.Cur.O2w <= CritO2, iter, dt);
}

// Balance and working-zone partial density [kg/m³] of toxic species k (1 CO, 2 CO2, 3 HCl).
template <bool Look>
void TzoneMath::CalcSpecies(int speciesIndex, int iter, int room, double profile) {
    const int k = speciesIndex;
    TRoom& r = Room(room);
    double& X = r.X(k);  // mass fraction in the layer gas [kg/kg]
    double& M = r.M(k);  // mass in the layer [kg]
    const double gain = SpeciesGain(k, room);
    M = M + (gain - r.Cur.Gm * X * dt);  // minus what the outflow carries
    if (r.SumIn > 0) X = M / ((r.SumIn - r.SumOut) * dt);
    double& value = r.Cur.*TRoom::WorkingZoneValue(k);
    value = r.Cur.Yk > hr ? 0 : profile * X * r.Cur.Ro2;
    Checkpoint<Look>(room, k == 1 ? Quantity::CO : k == 2 ? Quantity::CO2 : Quantity::HCl);
    MarkCritical(r.CritTime(k), value >= Crit(k), iter, dt);
}

// Heat-radiation flux [W/m²]: the radiated share of the heat release over a sphere of 3 m
// radius (4π·r² = 36π m²); only where something burns.
template <bool Look>
void TzoneMath::CalcRad(int iter, int room) {
    TRoom& r = Room(room);
    r.Cur.qRad = r.Cur.Fp > 0 ? kRadiatedFraction * r.Q / kRadiationSphereArea : 0;
    Checkpoint<Look>(room, Quantity::Radiation);
    MarkCritical(r.CritTimeRad, r.Cur.qRad >= CritRad, iter, dt);
}

// The routines on their own (outside the time loop): the looking copy while the run is
// checking, else the fast one. The pass of the run calls its own copy.
void TzoneMath::CalcTw(int iter, int room, double profile) {
    State_.Checking ? CalcTw<true>(iter, room, profile) : CalcTw<false>(iter, room, profile);
}
void TzoneMath::CalcLw(int iter, int room, double profile) {
    State_.Checking ? CalcLw<true>(iter, room, profile) : CalcLw<false>(iter, room, profile);
}
void TzoneMath::CalcO2w(int iter, int room, double profile) {
    State_.Checking ? CalcO2w<true>(iter, room, profile) : CalcO2w<false>(iter, room, profile);
}
void TzoneMath::CalcSpecies(int k, int iter, int room, double profile) {
    State_.Checking ? CalcSpecies<true>(k, iter, room, profile) : CalcSpecies<false>(k, iter, room, profile);
}
void TzoneMath::CalcRad(int iter, int room) {
    State_.Checking ? CalcRad<true>(iter, room) : CalcRad<false>(iter, room);
}

template void TzoneMath::CalcTw<false>(int, int, double);
template void TzoneMath::CalcLw<false>(int, int, double);
template void TzoneMath::CalcO2w<false>(int, int, double);
template void TzoneMath::CalcSpecies<false>(int, int, int, double);
template void TzoneMath::CalcRad<false>(int, int);
template void TzoneMath::CalcTw<true>(int, int, double);
template void TzoneMath::CalcLw<true>(int, int, double);
template void TzoneMath::CalcO2w<true>(int, int, double);
template void TzoneMath::CalcSpecies<true>(int, int, int, double);
template void TzoneMath::CalcRad<true>(int, int);

}  // namespace zf
