// Fire source: burning area, heat release and the two plume correlations, against the worked
// numbers of the engineering method (default fire load, T0 = 293 K).

#include <cmath>
#include <gtest/gtest.h>

#include "model/power.h"
#include "test_buildings.h"
#include "model/scenario.h"

namespace {

// A fire room with the default inputs at model time t, the plume rising to Y.
struct FireRoom {
    zf::TzoneMath z;
    FireRoom(double length, double width, double t, double Y) {
        testing_zf::SetDefaultInputs(z);
        z.Ro0 = zf::OutsideAirDensity(z.T0);
        z.AddRoom(length, width, 3);
        z.CurTime = t;
        zf::TRoom& r = z.Room(0);
        r.Cur.Fp = z.BurningArea(0);
        r.Q = z.HeatRelease(0);
        r.Prev.Yk = Y;
    }
    zf::TRoom& room() { return z.Room(0); }
};

}  // namespace

TEST(Fire, EarlyCircleInATwentySquareMetreRoom) {
    FireRoom f(5, 4, 10, 3);
    EXPECT_NEAR(f.room().Cur.Fp, 0.0366, 0.00005);
    EXPECT_NEAR(f.room().Q, 7110, 10);
    EXPECT_NEAR(f.z.PlumeFlowTanaka(0), 1.06, 0.005);
    // McCaffrey: x = 3 / 7.11^0.4 ≈ 1.37, the plume regime
    EXPECT_NEAR(3 / std::pow(f.room().Q / 1000, 0.4), 1.37, 0.005);
    EXPECT_NEAR(f.z.PlumeFlowMcCaffrey(0), 1.60, 0.005);
}

TEST(Fire, WholeFloorBurnsOnceTheCircleExceedsIt) {
    FireRoom f(5, 2, 200, 1);
    EXPECT_EQ(f.room().Cur.Fp, 10);
    EXPECT_NEAR(f.room().Q, 1.94e6, 0.005e6);
    EXPECT_NEAR(f.z.PlumeFlowTanaka(0), 17.4, 0.05);
    EXPECT_NEAR(f.z.PlumeFlowMcCaffrey(0), 3.85, 0.005);  // x ≈ 0.0484: continuous flame
}

TEST(Fire, CircleEqualToTheFloorIsReturnedAsIs) {
    zf::TzoneMath z;
    z.Vlin = 1;
    z.CurTime = 1;
    z.AddRoom(1, 3.14159265358979323846, 3);  // floor area π
    EXPECT_EQ(z.BurningArea(0), 3.14159265358979323846);
}

TEST(Fire, FireLoadAreaCapsTheBurningArea) {
    // 0 leaves the circle and the floor as the only limits, to the bit.
    FireRoom open(5, 4, 100, 3);
    FireRoom unlimited(5, 4, 100, 3);
    unlimited.z.Options.FireAreaMax = 0;
    EXPECT_EQ(unlimited.z.BurningArea(0), open.z.BurningArea(0));
    const double circle = open.z.BurningArea(0);  // ≈ 3.66 m², below the 20 m² floor
    open.z.Options.FireAreaMax = 2.5;
    EXPECT_EQ(open.z.BurningArea(0), 2.5);
    open.z.Options.FireAreaMax = 4;  // larger than the circle: the circle
    EXPECT_EQ(open.z.BurningArea(0), circle);
    FireRoom late(5, 4, 1000, 3);  // the circle covers the floor
    late.z.Options.FireAreaMax = 30;       // larger than the floor: the floor
    EXPECT_EQ(late.z.BurningArea(0), 20);
    late.z.Options.FireAreaMax = 12;
    EXPECT_EQ(late.z.BurningArea(0), 12);
}

TEST(Fire, PlumeSelectedByTheCorrelationFlag) {
    FireRoom f(5, 4, 10, 3);
    f.z.UseTanaka = true;
    EXPECT_EQ(f.z.PlumeFlow(0), f.z.PlumeFlowTanaka(0));
    f.z.UseTanaka = false;
    EXPECT_EQ(f.z.PlumeFlow(0), f.z.PlumeFlowMcCaffrey(0));
}

// McCaffrey's regime limits with Qk = 1 kW, where x equals Y exactly.
struct RegimeCase {
    double x;
    double coeff;
    double exponent;
};
void PrintTo(const RegimeCase& c, std::ostream* os) { *os << "x = " << c.x; }
class McCaffreyRegime : public ::testing::TestWithParam<RegimeCase> {};

TEST_P(McCaffreyRegime, LimitsBelongToTheUpperRegime) {
    zf::TzoneMath z;
    z.AddRoom(5, 4, 3);
    z.Room(0).Q = 1000;
    z.Room(0).Prev.Yk = GetParam().x;
    EXPECT_EQ(z.PlumeFlowMcCaffrey(0), GetParam().coeff * 1.0 * zf::Power(GetParam().x, GetParam().exponent));
}

INSTANTIATE_TEST_SUITE_P(Fire, McCaffreyRegime,
                         ::testing::Values(RegimeCase{0.05, 0.011, 0.566}, RegimeCase{0.08, 0.026, 0.909},
                                           RegimeCase{0.1, 0.026, 0.909}, RegimeCase{0.2, 0.124, 1.895},
                                           RegimeCase{1.5, 0.124, 1.895}));

TEST(Fire, LayerOnTheFloorStopsMcCaffreyButNotTanaka) {
    FireRoom f(5, 4, 100, 0);
    EXPECT_EQ(f.z.PlumeFlowMcCaffrey(0), 0);
    const zf::TzoneMath& z = f.z;
    const double expected = 0.21 * std::exp(1.0 / 3.0 * std::log(z.Ro0 * z.Ro0 * z.g * f.room().Q / (1040 * z.T0))) *
                            std::exp(5.0 / 3.0 * std::log(1.5 * std::sqrt(f.room().Cur.Fp)));
    EXPECT_EQ(f.z.PlumeFlowTanaka(0), expected);
}

TEST(Fire, NoHeatReleaseGivesNoTanakaPlume) {
    FireRoom f(5, 4, 10, 3);
    f.room().Q = 0;
    EXPECT_EQ(f.z.PlumeFlowTanaka(0), 0);
}

TEST(Power, SpecialCasesAndTheExpLogRule) {
    EXPECT_EQ(zf::Power(0, 0), 1);
    EXPECT_EQ(zf::Power(-2, 0), 1);
    EXPECT_EQ(zf::Power(0, 0.4), 0);
    EXPECT_EQ(zf::Power(2.5, 1.0 / 3.0), std::exp(1.0 / 3.0 * std::log(2.5)));
    EXPECT_TRUE(std::isnan(zf::Power(-1, 0.5)));
}
