// The heat-loss model on its own: conduction through a wall against closed-form solutions and
// its own energy balance, the gas-side coefficient, the relaxation factor, the layer's loss
// and the choice of a room's surfaces.

#include <gtest/gtest.h>

#include <cmath>
#include <numbers>

#include "model/constants.h"
#include "model/enclosure.h"
#include "model/heat_loss.h"
#include "model/wall_conduction.h"

namespace {

using namespace zf;

constexpr double kT0 = 293;  // [K]

// Runs a constant flux q [W/m²] into the surface for `time` s at step dt; returns the exposed
// face's rise [K].
double RiseUnderFlux(const Surface& s, double q, double time, double dt, int cells = kCellsPerLayer,
                     double growth = kCellGrowth) {
    const WallGrid grid(s, dt, cells, growth);
    std::vector<double> T(static_cast<std::size_t>(grid.Nodes()), kT0);
    const int steps = static_cast<int>(std::lround(time / dt));
    for (int n = 0; n < steps; ++n) grid.Advance(T, q, kT0);
    return T.front() - kT0;
}

// Semi-infinite solid under a constant flux: ΔTs = 2q·√(t/(π·kρc)). 0.3 m of concrete is
// semi-infinite over 600 s (penetration depth √(αt) ≈ 2.6 cm).
TEST(WallConduction, ConcreteFollowsTheSemiInfiniteSolution) {
    const Surface concrete = MaterialSurface("concrete", 0.3);
    const Material& m = *FindMaterial("concrete");
    const double q = 2000, t = 600;
    const double exact = 2 * q * std::sqrt(t / (std::numbers::pi * m.k * m.rho * m.c));
    EXPECT_NEAR(RiseUnderFlux(concrete, q, t, 0.1), exact, 0.03 * exact);
    EXPECT_NEAR(RiseUnderFlux(concrete, q, t, 0.1, 16, 1.3), exact, 0.01 * exact);
}

// Steady state of 12.5 mm gypsum board with its back to ambient: ΔTs = q/h_b + q·L/k.
TEST(WallConduction, GypsumBoardReachesItsSteadyState) {
    const Surface gypsum = MaterialSurface("gypsum_board", 0.0125);
    const double q = 500;
    const double exact = q / kBackFaceCoeff + q * 0.0125 / 0.16;
    EXPECT_NEAR(RiseUnderFlux(gypsum, q, 40000, 1.0), exact, 0.005 * exact);
}

// Whatever the flux history, what the surface took in is stored or lost through its back face.
TEST(WallConduction, StoredHeatAndBackLossAddUpToTheFluxIn) {
    Surface stack;
    stack.Layers = {MaterialSurface("insulating_board", 0.0127).Layers[0], MaterialSurface("aluminium_sheet", 0.00066).Layers[0]};
    for (BackFace back : {BackFace::Ambient, BackFace::Adiabatic}) {
        stack.Back = back;
        const double dt = 0.05;
        const WallGrid grid(stack, dt);
        WallState w;
        w.T.assign(static_cast<std::size_t>(grid.Nodes()), kT0);
        double in = 0;
        for (int n = 0; n < 20000; ++n) {
            const double q = 3000 * std::sin(n * 0.001) + 500 * ((n / 700) % 2);  // [W/m²]
            w.BackLoss += grid.Advance(w.T, q, kT0);
            in += q * dt;
        }
        EXPECT_NEAR(w.Stored(grid, kT0) + w.BackLoss, in, 1e-9 * std::abs(in));
        if (back == BackFace::Adiabatic) EXPECT_EQ(w.BackLoss, 0);
    }
}

// A 1 mm steel sheet is one lumped cell (two nodes): once its thin gradient is set up, the
// exposed face rises at q/(ρ·c·L), the whole sheet heating as one.
TEST(WallConduction, SteelSheetIsOneCell) {
    Surface steel = MaterialSurface("steel_sheet", 0.001);
    steel.Back = BackFace::Adiabatic;  // all the flux stays in the sheet
    const double dt = 0.01, q = 10000;
    const WallGrid grid(steel, dt);
    EXPECT_EQ(grid.Nodes(), 2);
    std::vector<double> T(2, kT0);
    for (int n = 0; n < 100; ++n) grid.Advance(T, q, kT0);
    const double before = T.front();
    grid.Advance(T, q, kT0);
    const double rate = (T.front() - before) / dt;  // [K/s]
    const double exact = q / (7850 * 460 * 0.001);
    EXPECT_NEAR(rate, exact, 1e-3 * exact);
}

TEST(WallConduction, CellsGrowFromTheExposedFaceAndFillTheLayer) {
    const std::vector<double> cells = LayerCells(0.0127, 8, 1.5);
    EXPECT_NEAR(cells[0], 0.26e-3, 0.005e-3);
    double sum = 0;
    for (std::size_t j = 0; j < cells.size(); ++j) {
        sum += cells[j];
        if (j > 0) EXPECT_NEAR(cells[j] / cells[j - 1], 1.5, 1e-9);
    }
    EXPECT_NEAR(sum, 0.0127, 1e-15);
    EXPECT_NEAR(LayerCells(0.3, 8, 1.5)[0], 6.1e-3, 0.1e-3);
}

}  // namespace
