// The smoke layer of a room: interface height (volume balance), density (mass balance),
// temperature (ideal gas at constant pressure), and the heat given off to the enclosure.

#include <cmath>

#include "model/constants.h"
#include "model/heat_loss.h"
#include "model/scenario.h"

namespace zf {

// The products of the room's floor area A [m²] with the outside air's density ρ0, temperature
// T0 and the gas's specific heat cp that the interface heights divide by; the expansion's
// only in the fire room, the one room that has one.
LayerProducts TzoneMath::FormLayerProducts(int room) {
    TRoom& r = Room(room);
    LayerProducts p;
    p.AreaRho0 = r.Area() * Ro0;
    p.AreaRho0T0 = p.AreaRho0 * T0;
    if (room == 0) p.AreaCpRho0T0 = r.Area() * kGasCp * Ro0 * T0;
    return p;
}

// Lowering of the interface by the thermal expansion of the gas the fire heats in one step
// [m]: F = Q·dt / (A·cp·ρ0·T0). Zero outside the fire room.
double TzoneMath::FireExpansion(int room) { return FireExpansion(room, FormLayerProducts(room)); }

double TzoneMath::FireExpansion(int room, const LayerProducts& products) {
    if (room != 0) return 0;
    return Room(room).Q * dt / products.AreaCpRho0T0;
}

// Both interface heights of a step start from the previous prediction less the volume that
// entered (Gk at outside density) and end with the fire's expansion; neither term changes
// between the two, so the step forms them once.
TzoneMath::InterfaceTerms TzoneMath::SharedInterfaceTerms(int room, const LayerProducts& products) {
    TRoom& r = Room(room);
    InterfaceTerms t;
    t.AfterInflow = r.Prev.YkPred
                  - r.Cur.Gk * dt / products.AreaRho0;   // inflow fills the layer
    t.Expansion = FireExpansion(room, products);         // thermal expansion
    t.AreaRho0T0 = products.AreaRho0T0;
    return t;
}

// Interface height predicted before the step's opening flows [m], from the previous
// prediction: minus the volume that entered (Gk at outside density), plus the volume that
// left in the previous step at the previous layer temperature, minus the fire's expansion.
double TzoneMath::PredictedInterfaceHeight(int room) {
    return PredictedInterfaceHeight(room, SharedInterfaceTerms(room, FormLayerProducts(room)));
}

// With consistent outflow the last step's outflow leaves at the temperature it was posted
// with, T2Pred of the last step (the field still holds it); with heat loss the interface
// rises by the heat the layer gave off.
double TzoneMath::PredictedInterfaceHeight(int room, const InterfaceTerms& terms) {
    TRoom& r = Room(room);
    const double outflowT = Options.ConsistentOutflow ? r.T2Pred : r.Prev.T2;  // [K]
    const double y = terms.AfterInflow
                   + r.Prev.Gm * outflowT * dt / terms.AreaRho0T0        // last step's outflow
                   - terms.Expansion;
    if (!Options.HeatLoss.Enabled) return y;
    return y + terms.Cooling;                                           // heat lost to the enclosure
}

// Interface height after the step's opening flows [m]: as the prediction, but with this
// step's outflow at the predicted layer temperature. Not clamped here.
double TzoneMath::InterfaceHeight(int room) {
    return InterfaceHeight(room, SharedInterfaceTerms(room, FormLayerProducts(room)));
}

double TzoneMath::InterfaceHeight(int room, const InterfaceTerms& terms) {
    TRoom& r = Room(room);
    const double y = terms.AfterInflow
                   + r.Cur.Gm * r.T2Pred * dt / terms.AreaRho0T0         // this step's outflow
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
    double alpha;  // heat-exchange coefficient [W/(m²·K)], the heat-loss option's own
    if (T >= kHotLayerLimit) {
        alpha = GasSideCoefficient(T, T0);  // above 333 K the surface does not enter it
    } else {
        const double rise = T - T0;  // [K]
        const double wall = T0 + kWallHeatShare * rise + kWallHeatQuad * (rise * rise);  // surface temperature [K]
        // A layer no warmer than its surface gives it no heat here.
        alpha = T > wall ? GasSideCoefficient(T, wall) : 0;
    }
    return alpha * surface * (T - T0);
}

}  // namespace zf
