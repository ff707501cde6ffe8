// The heat-loss model on its own: conduction through a wall against closed-form solutions and
// its own energy balance, the gas-side coefficient, the relaxation factor, the layer's loss
// and the choice of a room's surfaces.

#include <gtest/gtest.h>

#include <cmath>
#include <algorithm>
#include <numbers>
#include <random>

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
        if (back == BackFace::Adiabatic) {
            EXPECT_EQ(w.BackLoss, 0);
        }
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
        if (j > 0) {
            EXPECT_NEAR(cells[j] / cells[j - 1], 1.5, 1e-9);
        }
    }
    EXPECT_NEAR(sum, 0.0127, 1e-15);
    EXPECT_NEAR(LayerCells(0.3, 8, 1.5)[0], 6.1e-3, 0.1e-3);
}

// The model's own coefficient: the hot branch 11.6·exp(0.0023·(T − 273)), the cold branch
// 4.07·|T − Ts|^(1/3) with the real surface temperature, none without a difference.
struct CoefficientCase {
    double T, Ts, h;  // [K], [K], [W/(m²·K)]
};

class GasSide : public ::testing::TestWithParam<CoefficientCase> {};

TEST_P(GasSide, FollowsTheModelsCorrelation) {
    const CoefficientCase c = GetParam();
    EXPECT_NEAR(GasSideCoefficient(c.T, c.Ts), c.h, 1e-9 * std::max(1.0, c.h));
}

INSTANTIATE_TEST_SUITE_P(Table, GasSide,
                         ::testing::Values(CoefficientCase{340, 300, 11.6 * std::exp(0.0023 * 67)},   // ≈ 13.5
                                           CoefficientCase{400, 400, 11.6 * std::exp(0.0023 * 127)},  // hot: Ts not read
                                           CoefficientCase{500, 300, 11.6 * std::exp(0.0023 * 227)},  // ≈ 19.6
                                           CoefficientCase{301, 293, 4.07 * 2.0},                     // 8^(1/3) = 2
                                           CoefficientCase{293, 320, 4.07 * 3.0},                     // a cooler layer: |ΔT|
                                           CoefficientCase{310, 310, 0.0}));

TEST(Relaxation, IsTheStepMeanOfTheExponential) {
    EXPECT_EQ(RelaxationFactor(0), 1.0);
    EXPECT_NEAR(RelaxationFactor(1e-9), 1 - 5e-10, 1e-16);
    // The series below 0.03 and the quotient above it both agree with the accurate −expm1(−x)/x
    // to the last digits (a wrong term of the series shows from x ≈ 1e-3 on).
    for (double x = 1e-6; x < 0.5; x *= 1.3)
        EXPECT_NEAR(RelaxationFactor(x), -std::expm1(-x) / x, 4e-16) << "x = " << x;
    EXPECT_NEAR(RelaxationFactor(1), 1 - std::exp(-1.0), 1e-15);
    EXPECT_NEAR(RelaxationFactor(50) * 50, 1.0, 1e-15);
    for (double x = 1e-7; x < 1e3; x *= 1.7) {  // falling in x wherever a double can tell
        EXPECT_LT(RelaxationFactor(x * 1.7), RelaxationFactor(x));
        EXPECT_LE(RelaxationFactor(x), 1.0);
    }
}

// Whatever the layer and its surfaces, one step's loss at constant mass leaves the layer no
// colder than its coldest surface (the limiter), and a layer with no mass or no depth loses
// nothing.
TEST(LayerLoss, OneStepNeverCoolsTheLayerBelowItsSurfaces) {
    std::mt19937 rng(24);
    std::uniform_real_distribution<double> u(0, 1);
    for (int n = 0; n < 20000; ++n) {
        LayerAtStart l;
        l.Mass = std::pow(10.0, -9 + 11 * u(rng));  // 1e-9 … 100 kg: newborn layers included
        l.T = 293 + 900 * u(rng);
        l.Height = 2 + 2 * u(rng);
        l.Y = l.Height * u(rng);
        l.Area = 1 + 100 * u(rng);
        l.Perimeter = 4 * std::sqrt(l.Area);
        const double TsC = 293 + 400 * u(rng), TsW = 293 + 400 * u(rng);
        const double dt = std::pow(10.0, -4 + 3 * u(rng));
        const LayerLoss loss = LossToSurfaces(l, TsC, TsW, dt);
        const double after = l.T - loss.Total * dt / (l.Mass * kGasCp);  // [K]
        EXPECT_GE(after, std::min({TsC, TsW, l.T}) - 1e-9 * l.T) << "case " << n;
    }
    LayerAtStart empty{0, 400, 1, 3, 10, 12};
    EXPECT_EQ(LossToSurfaces(empty, 293, 293, 0.01).Total, 0);
    LayerAtStart noDepth{1, 400, 3, 3, 10, 12};
    EXPECT_EQ(LossToSurfaces(noDepth, 293, 293, 0.01).Total, 0);
}

TEST(Surfaces, RefusalNamesTheLayerAndTheProperty) {
    Surface s = MaterialSurface("brick", 0.2);
    EXPECT_EQ(SurfaceRefusal(s), "");
    s.Layers.push_back(SurfaceLayer{"", 0, 1, 1, 0.1});
    EXPECT_NE(SurfaceRefusal(s).find("слой 2: теплопроводность k"), std::string::npos);
    s.Layers.assign(5, MaterialSurface("brick", 0.1).Layers[0]);
    EXPECT_NE(SurfaceRefusal(s).find("от 1 до 4"), std::string::npos);
    EXPECT_NE(SurfaceRefusal(MaterialSurface("brick", 1.2)).find("не больше 1 м"), std::string::npos);
    for (const Material& m : kMaterials) {  // every row has its properties and its source
        EXPECT_GT(m.k * m.rho * m.c, 0) << m.Key;
        EXPECT_FALSE(m.Source.empty()) << m.Key;
        EXPECT_EQ(FindMaterial(m.Key), &m);
    }
}

}  // namespace
