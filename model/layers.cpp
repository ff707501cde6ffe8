// The smoke layer of a room: interface height (volume balance), density (mass balance),
// temperature (ideal gas at constant pressure), and the heat given off to the enclosure.

#include <cmath>

#include "model/constants.h"
#include "model/power.h"
#include "model/scenario.h"

namespace zf {

// Lowering of the interface by the thermal expansion of the gas the fire heats in one step
// [m]: F = Q·dt / (A·cp·ρ0·T0). Zero outside the fire room.
double TzoneMath::FireExpansion(int room) {
    if (room != 0) return 0;
    TRoom& r = Room(room);
    return r.Q * dt / (r.Area() * kGasCp * Ro0 * T0);
}

// Both interface heights of a step start from the previous prediction less the volume that
// entered (Gk at outside density) and end with the fire's expansion; neither term changes
// between the two, so the step forms them once.
TzoneMath::InterfaceTerms TzoneMath::SharedInterfaceTerms(int room) {
    TRoom& r = Room(room);
    InterfaceTerms t;
    t.AfterInflow = r.Prev.YkPred
                  - r.Cur.Gk * dt / (r.Area() * Ro0);  // inflow fills the layer
    t.Expansion = FireExpansion(room);                 // thermal expansion
    return t;
}

// Interface height predicted before the step's opening flows [m], from the previous
// prediction: minus the volume that entered (Gk at outside density), plus the volume that
// left in the previous step at the previous layer temperature, minus the fire's expansion.
double TzoneMath::PredictedInterfaceHeight(int room) {
    return PredictedInterfaceHeight(room, SharedInterfaceTerms(room));
}

// With consistent outflow the last step's outflow leaves at the temperature it was posted
// with, T2Pred of the last step (the field still holds it); with heat loss the interface
// rises by the heat the layer gave off.
double TzoneMath::PredictedInterfaceHeight(int room, const InterfaceTerms& terms) {
    TRoom& r = Room(room);
    const double outflowT = Options.ConsistentOutflow ? r.T2Pred : r.Prev.T2;  // [K]
    const double y = terms.AfterInflow
                   + r.Prev.Gm * outflowT * dt / (r.Area() * Ro0 * T0)   // last step's outflow
                   - terms.Expansion;
    if (!Options.HeatLoss.Enabled) return y;
    return y + terms.Cooling;                                           // heat lost to the enclosure
}

// Interface height after the step's opening flows [m]: as the prediction, but with this
// step's outflow at the predicted layer temperature. Not clamped here.
double TzoneMath::InterfaceHeight(int room) {
    return InterfaceHeight(room, SharedInterfaceTerms(room));
}

double TzoneMath::InterfaceHeight(int room, const InterfaceTerms& terms) {
    TRoom& r = Room(room);
    const double y = terms.AfterInflow
                   + r.Cur.Gm * r.T2Pred * dt / (r.Area() * Ro0 * T0)    // this step's outflow
                   - terms.Expansion;
    if (!Options.HeatLoss.Enabled) return y;
    return y + terms.Cooling;                                           // heat lost to the enclosure
}

// Layer density [kg/m³] = layer mass (SumIn − SumOut)·dt over the layer volume A·(H − Y);
// an empty layer or one holding no net mass has the outside density.
double TzoneMath::LayerDensity(int room, double interfaceHeight) {
    TRoom& r = Room(room);
    if (interfaceHeight >= r.Height || r.SumIn <= r.SumOut) return Ro0;
    return (r.SumIn * dt - r.SumOut * dt) / (r.Area() * (r.Height - interfaceHeight));
}

// Ideal gas at the outside pressure: T = T0·ρ0 / ρ [K].
double TzoneMath::LayerTemperature(double density) const {
    return T0 * Ro0 / density;
}

// Heat-loss rate of the layer to the walls and ceiling it touches [W]. Not part of any
// balance; evaluated so that its faults count like any other.
// Surface of the walls and ceiling in contact with a layer reaching down to the interface [m²].
double TzoneMath::LayerContactSurface(int room, double interfaceHeight) {
    TRoom& r = Room(room);
    return r.Perimeter() * (r.Height - interfaceHeight) + r.Area();
}

double TzoneMath::HeatLoss(int room, double layerTemperature, double interfaceHeight) {
    const double T = layerTemperature;
    const double surface = LayerContactSurface(room, interfaceHeight);
    double alpha;  // heat-exchange coefficient [W/(m²·K)]
    if (T >= kHotLayerLimit) {
        alpha = kAlphaHot * std::exp(kAlphaHotSlope * (T - kCelsiusZero));
    } else {
        const double rise = T - T0;  // [K]
        const double wall = T0 + kWallHeatShare * rise + kWallHeatQuad * (rise * rise);  // surface temperature [K]
        alpha = T > wall ? kAlphaCold * Power(T - wall, 1.0 / 3.0) : 0;
    }
    return alpha * surface * (T - T0);
}

}  // namespace zf
