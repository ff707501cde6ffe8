// The fire source in the fire room: burning area, heat release and the plume's mass flow
// into the smoke layer (Tanaka or McCaffrey correlation).

#include <cmath>
#include <numbers>

#include "model/constants.h"
#include "model/power.h"
#include "model/scenario.h"

namespace zf {

// Burning area [m²]: a circle spreading at Vlin from ignition at t = 0, at most the floor,
// and at most the area the fire load occupies (the option FireAreaMax, when one is given).
double TzoneMath::BurningArea(int room) {
    TRoom& r = Room(room);
    const double radius = Vlin * CurTime;                 // [m]
    const double candidate = std::numbers::pi * (radius * radius);  // [m²]
    const double area = r.Area() >= candidate ? candidate : r.Area();
    const double limit = Options.FireAreaMax;  // [m²], 0 = none
    return limit > 0 && area > limit ? limit : area;
}

// Heat release rate [W] = completeness · burning rate per area · heat of combustion · area.
double TzoneMath::HeatRelease(int room) {
    return Nu * PsiUd * Qn * Room(room).Cur.Fp;
}

double TzoneMath::PlumeFlow(int room) {
    return UseTanaka ? PlumeFlowTanaka(room) : PlumeFlowMcCaffrey(room);
}

// Tanaka: Gk = 0.21·(ρ0²·g·Q/(cp·T0))^(1/3)·(1.5·√Fp + Y)^(5/3) [kg/s], Q in W, Y the
// interface height at the end of the last step [m] (the plume rises from the floor to it).
double TzoneMath::PlumeFlowTanaka(int room) {
    TRoom& r = Room(room);
    const double strength = Ro0 * Ro0 * g * r.Q / (kGasCp * T0);  // [kg³/(m⁶·s³)·m]
    const double height = kTanakaSourceDepth * std::sqrt(r.Cur.Fp) + r.Prev.Yk;  // [m]
    return kTanakaCoeff * Power(strength, 1.0 / 3.0) * Power(height, 5.0 / 3.0);
}

// McCaffrey: x = Y / Qk^0.4 with Qk in kW; three regimes (continuous flame, intermittent
// flame, plume), each a power law in x [kg/s]. Qk = 0 divides by zero: a fault of the step.
double TzoneMath::PlumeFlowMcCaffrey(int room) {
    TRoom& r = Room(room);
    const double qk = r.Q / 1000;                      // heat release [kW]
    const double x = r.Prev.Yk / Power(qk, 0.4);       // [m/kW^0.4]
    if (x < kMcCaffreyFlameLimit) return 0.011 * qk * Power(x, 0.566);  // continuous flame
    if (x < kMcCaffreyPlumeLimit) return 0.026 * qk * Power(x, 0.909);  // intermittent flame
    return 0.124 * qk * Power(x, 1.895);                                // buoyant plume
}

}  // namespace zf
