#pragma once
// Heat given off by a smoke layer to its ceiling and upper walls: the gas-side coefficient, the
// relaxation factor that keeps one step from cooling the layer below its surfaces, and the
// loss of one step. Free functions of the physics; the run applies them (heat_loss.cpp).

#include "model/wall_conduction.h"

namespace zf {

// A room's two surfaces during a run, and what its layer gave off.
struct RoomEnclosure {
    WallState Ceiling;
    WallState Walls;          // the upper walls: one profile whatever the area the layer touches
    double HeatLost = 0;      // ∫Q_L dt [J]
    double GuardEnergy = 0;   // enthalpy the neutral-layer guard added [J]
    int GuardSteps = 0;       // steps in which the guard acted
    bool AtRest = true;       // no loss yet: every node still exactly at T0
    // With a surface interval: the fluxes of the steps since the surfaces last advanced.
    double PendingCeiling = 0;  // Σ q_c [W/m²]
    double PendingWalls = 0;    // Σ q_w [W/m²]
    int PendingSteps = 0;
};

// Gas-side heat-exchange coefficient, convection and radiation lumped [W/(m²·K)], for a layer
// at T [K] over a surface at Ts [K]: 11.6·exp(0.0023·(T − 273)) for T ≥ 333 K, else
// 4.07·|T − Ts|^(1/3), and 0 when T = Ts below 333 K.
double GasSideCoefficient(double T, double Ts);

// φ = (1 − e^(−x))/x: the mean of the exponential relaxation over a step of x time constants
// [-].
double RelaxationFactor(double x);

// The run's steps in one advance of the surfaces for a surface interval [s] and a step dt [s]:
// round(interval/dt), at least 1; 1 for an interval of 0 (every step).
int SurfaceStepsPerAdvance(double interval, double dt);

// What one room's layer gives off in one step.
struct LayerLoss {
    double qCeiling = 0;  // flux into the ceiling [W/m²]
    double qWalls = 0;    // flux into the upper walls [W/m²]
    double Total = 0;     // Q_L = q_c·A_c + q_w·A_w [W]
};

// The geometry and the layer at the start of the step.
struct LayerAtStart {
    double Mass = 0;       // layer mass (SumIn − SumOut)·dt [kg]
    double T = 0;          // layer temperature [K]
    double Y = 0;          // interface height [m]
    double Height = 0;     // ceiling height [m]
    double Area = 0;       // floor (and ceiling) area [m²]
    double Perimeter = 0;  // [m]
};

// The layer's loss over dt [s] to a ceiling at TsC and walls at TsW [K]: none when the layer
// holds no mass or has no depth; otherwise each surface takes h_s·(T − Ts_s)·φ with
// φ = RelaxationFactor(K·dt/(m·cp)), K = h_c·A_c + h_w·A_w.
LayerLoss LossToSurfaces(const LayerAtStart& layer, double TsC, double TsW, double dt);

}  // namespace zf
