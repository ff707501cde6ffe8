// Heat loss of the smoke layer to its ceiling and upper walls, and the guard that keeps a
// layer the walls cooled below the outside temperature neutral. Applied by the run only with
// the heat-loss option on; without it no routine here is called.

#include <algorithm>
#include <cmath>

#include "model/constants.h"
#include "model/heat_loss.h"
#include "model/power.h"
#include "model/speed.h"

namespace zf {

double GasSideCoefficient(double T, double Ts) {
    if (T >= kHotLayerLimit) return kAlphaHot * std::exp(kAlphaHotSlope * (T - kCelsiusZero));
    if (T == Ts) return 0;
    return kAlphaCold * Power(std::abs(T - Ts), 1.0 / 3.0);
}

// φ(x) = (1 − e^(−x))/x = Σₖ (−x)ᵏ/(k+1)!. The layer's x = K·dt/(m·cp) is mostly far below
// 0.03: there eight terms of the series leave an error under x⁸/9! < 2·10⁻¹⁸ and spare the run
// an exponential per room and step. Above it expm1 keeps the digits that 1 − e^(−x) would lose.
double RelaxationFactor(double x) {
    if (x >= 0.03) return -std::expm1(-x) / x;
    // Horner's scheme in the coefficients (−1)ᵏ/(k+1)!: multiplications only, no division.
    constexpr double c[] = {1.0, -1.0 / 2, 1.0 / 6, -1.0 / 24, 1.0 / 120, -1.0 / 720, 1.0 / 5040, -1.0 / 40320, 1.0 / 362880};
    double sum = c[8];
    for (int k = 7; k >= 0; --k) sum = c[k] + x * sum;
    return sum;
}

LayerLoss LossToSurfaces(const LayerAtStart& layer, double TsC, double TsW, double dt) {
    LayerLoss loss;
    if (!(layer.Mass > 0 && layer.Y < layer.Height)) return loss;
    const double areaC = layer.Area;                                // ceiling [m²]
    const double areaW = layer.Perimeter * (layer.Height - layer.Y);  // walls the layer touches [m²]
    // Above 333 K the coefficient depends on the layer alone, below it on the layer and the
    // surface: surfaces at one temperature take one coefficient.
    const double hC = GasSideCoefficient(layer.T, TsC);
    const double hW = layer.T >= kHotLayerLimit || TsW == TsC ? hC : GasSideCoefficient(layer.T, TsW);
    const double K = hC * areaC + hW * areaW;  // conductance of the layer to its surfaces [W/K]
    if (!(K > 0)) return loss;
    // Exact relaxation of m·cp·dT/dt = −Σ h_s·A_s·(T − Ts_s) over dt with the surfaces held.
    const double phi = RelaxationFactor(K * dt / (layer.Mass * kGasCp));
    loss.qCeiling = hC * (layer.T - TsC) * phi;
    loss.qWalls = hW * (layer.T - TsW) * phi;
    loss.Total = loss.qCeiling * areaC + loss.qWalls * areaW;
    return loss;
}

// Grids of every room's two surfaces for this run's step, and every node at T0.
void TzoneMath::PrepareEnclosures() {
    State_.Grids.clear();
    if (!Options.HeatLoss.Enabled) return;
    const int steps = SurfaceStepsPerAdvance(Options.HeatLoss.SurfaceInterval, dt);
    for (int i = 0; i < RoomCount(); ++i) {
        const ResolvedSurfaces s = ResolveSurfaces(Options.HeatLoss, i);
        State_.Grids.push_back(EnclosureGrids{WallGrid(s.Ceiling, steps * dt), WallGrid(s.Walls, steps * dt), steps});
        RoomEnclosure& e = Room(i).Enclosure;
        e = RoomEnclosure{};
        e.Ceiling.T.assign(static_cast<std::size_t>(State_.Grids.back().Ceiling.Nodes()), T0);
        e.Walls.T.assign(static_cast<std::size_t>(State_.Grids.back().Walls.Nodes()), T0);
    }
}

// The layer's loss in this step, from the layer and surfaces at its start; both surfaces
// advance by dt with their fluxes. Returns L = Q_L·dt/(A·cp·ρ0·T0) [m], the rise of both
// interface heights: the layer is an ideal gas at the outside pressure, its enthalpy above
// 0 K is cp·ρ0·T0·V, so removing Q_L·dt of heat removes that volume at unchanged mass.
double TzoneMath::EnclosureLoss(int i) {
    TRoom& r = Room(i);
    RoomEnclosure& e = r.Enclosure;
    const EnclosureGrids& grid = State_.Grids[static_cast<std::size_t>(i)];
    LayerAtStart layer;
    layer.Mass = r.SumIn * dt - r.SumOut * dt;
    layer.T = r.Prev.T2;
    layer.Y = r.Prev.Yk;
    layer.Height = r.Height;
    layer.Area = r.Area();
    layer.Perimeter = r.Perimeter();
    const LayerLoss loss = LossToSurfaces(layer, e.Ceiling.Exposed(), e.Walls.Exposed(), dt);
    r.Qloss = loss.Total;
    if (loss.Total == 0 && e.AtRest) return 0;  // every node at T0 stays there
    e.AtRest = false;
    const double areaW = r.Perimeter() * (r.Height - layer.Y);
    e.Ceiling.Absorbed += loss.qCeiling * r.Area() * dt;
    e.Walls.Absorbed += loss.qWalls * areaW * dt;
    e.HeatLost += loss.Total * dt;
    if (grid.StepsPerAdvance == 1) {
        AdvanceSurfaces(i, loss.qCeiling, loss.qWalls);
    } else {
        e.PendingCeiling += loss.qCeiling;
        e.PendingWalls += loss.qWalls;
        if (++e.PendingSteps == grid.StepsPerAdvance) {
            AdvanceSurfaces(i, e.PendingCeiling / e.PendingSteps, e.PendingWalls / e.PendingSteps);
            e.PendingCeiling = e.PendingWalls = 0;
            e.PendingSteps = 0;
        }
    }
    return loss.Total * dt / (r.Area() * kGasCp * Ro0 * T0);
}

// Both surfaces of room i advance over the grids' step with the fluxes qC and qW [W/m²].
void TzoneMath::AdvanceSurfaces(int i, double qC, double qW) {
    RoomEnclosure& e = Room(i).Enclosure;
    const EnclosureGrids& grid = State_.Grids[static_cast<std::size_t>(i)];
    const double ceilingBack = grid.Ceiling.Advance(e.Ceiling.T, qC, T0);  // [J/m²]
    e.Ceiling.BackLoss += ceilingBack;
    if (WallsFollowCeiling(i, qC, qW))  // the speed machinery
        e.Walls.BackLoss += ceilingBack;
    else
        e.Walls.BackLoss += grid.Walls.Advance(e.Walls.T, qW, T0);
}

int SurfaceStepsPerAdvance(double interval, double dt) {
    if (!(interval > 0) || !(dt > 0)) return 1;
    return std::max(1, static_cast<int>(std::lround(interval / dt)));
}

// A layer that ends the step denser than outside air is made neutral: the interface moves to
// the height at which its mass has the outside density, the carried prediction by the same
// amount, and the layer takes the outside density and temperature. The enthalpy this adds is
// kept as a diagnostic of the layer balances' reliability.
void TzoneMath::NeutralLayerGuard(int i) {
    TRoom& r = Room(i);
    if (!(r.SumIn > r.SumOut && r.Cur.Yk < r.Height && r.Cur.Ro2 > Ro0)) return;
    const double mass = r.SumIn * dt - r.SumOut * dt;           // [kg]
    const double neutral = r.Height - mass / (Ro0 * r.Area());  // interface of a neutral layer [m]
    const double shift = neutral - r.Cur.Yk;                    // < 0 [m]
    r.Cur.Yk = neutral;
    r.Cur.YkPred = r.Cur.YkPred + shift;
    r.Cur.Ro2 = Ro0;
    r.Cur.T2 = T0;
    r.Enclosure.GuardEnergy += -shift * r.Area() * kGasCp * Ro0 * T0;
    ++r.Enclosure.GuardSteps;
}

// With the heat-loss option a step repeats only while the room's surfaces have never taken
// heat: then the step loses nothing and every node stays at T0, as in the repeated step.
bool TzoneMath::EnclosureAtRest(int room) {
    return !Options.HeatLoss.Enabled || Room(room).Enclosure.AtRest;
}

double TzoneMath::GuardEnergyFraction() const {
    if (Rooms.empty() || Rooms.front()->HeatReleased <= 0) return 0;
    double guard = 0;
    for (const auto& room : Rooms) guard += room->Enclosure.GuardEnergy;
    return guard / Rooms.front()->HeatReleased;
}

}  // namespace zf
