// Smoke-layer balances: interface height, density and temperature of a closed fire room
// filled by a constant plume, and the limiting cases of the density rule.

#include <cmath>
#include <gtest/gtest.h>

#include "test_buildings.h"
#include "model/scenario.h"

namespace {

// Fire room 5 × 4 × 3 m, T0 = 293 K, dt = 0.1 s, no openings.
struct ClosedRoom {
    zf::TzoneMath z;
    ClosedRoom() {
        z.T0 = 293;
        z.Ro0 = zf::OutsideAirDensity(z.T0);
        z.dt = 0.1;
        z.AddRoom(5, 4, 3);
        zf::TRoom& r = z.Room(0);
        r.Prev.Yk = r.Prev.YkPred = 3;
        r.Prev.Ro2 = z.Ro0;
        r.Prev.T2 = z.T0;
        r.T2Pred = z.T0;
        r.Ro2Pred = z.Ro0;
    }
    // The layer part of one step with the given source and no outflow.
    void Step(double Gk, double Q) {
        zf::TRoom& r = z.Room(0);
        r.Cur = zf::ResultSample{};
        r.Cur.Gk = Gk;
        r.Q = Q;
        r.Cur.YkPred = z.PredictedInterfaceHeight(0);
        r.Ro2Pred = z.LayerDensity(0, r.Cur.YkPred);
        r.T2Pred = z.LayerTemperature(r.Ro2Pred);
        r.SumIn += Gk;
        r.Cur.Yk = z.InterfaceHeight(0);
        r.Cur.Ro2 = z.LayerDensity(0, r.Cur.Yk);
        r.Cur.T2 = z.LayerTemperature(r.Cur.Ro2);
    }
    void EndStep() { z.Room(0).Prev = z.Room(0).Cur; }
};

}  // namespace

TEST(Layers, ClosedFireRoomFillsAtConstantSource) {
    ClosedRoom c;
    zf::TRoom& r = c.z.Room(0);
    c.Step(1, 100e3);
    EXPECT_NEAR(3 - r.Cur.YkPred, 5.50e-3, 0.005e-3);
    EXPECT_EQ(r.Ro2Pred, c.z.Ro0);  // both sums still 0
    EXPECT_EQ(r.T2Pred, 293);
    EXPECT_EQ(r.Cur.Yk, r.Cur.YkPred);  // no outflow: the two estimates agree
    EXPECT_NEAR(r.Cur.Ro2, 0.908, 0.0005);
    EXPECT_NEAR(r.Cur.T2, 293 + 100e3 / (1040 * 1), 1e-9);  // the heated plume's temperature
    const double ro2First = r.Cur.Ro2;
    const double t2First = r.Cur.T2;
    c.EndStep();

    c.Step(1, 100e3);
    EXPECT_NEAR(3 - r.Cur.YkPred, 11.0e-3, 0.05e-3);
    EXPECT_NEAR(r.Ro2Pred, 0.454, 0.0005);  // one step's mass in two steps' volume
    EXPECT_NEAR(r.T2Pred, 778, 0.5);
    EXPECT_EQ(r.Cur.Yk, r.Cur.YkPred);
    EXPECT_NEAR(r.Cur.Ro2, ro2First, 1e-9);
    EXPECT_NEAR(r.Cur.T2, t2First, 1e-9);
}

TEST(Layers, RoomWithoutFlowsStaysAmbient) {
    zf::TzoneMath z;
    testing_zf::SetDefaultInputs(z);
    z.dt = 0.01;
    z.SimTime = 5;
    z.AddRoom(5, 4, 3);
    z.AddRoom(6, 5, 3);  // no doorway: never reached by smoke
    ASSERT_TRUE(z.Run());
    zf::TRoom& r = z.Room(1);
    for (const zf::ResultSample& s : r.Samples) {
        EXPECT_EQ(s.Yk, 3);
        EXPECT_EQ(s.YkPred, 3);
        EXPECT_EQ(s.Ro2, z.Ro0);
        EXPECT_EQ(s.T2, 293);
        EXPECT_EQ(s.Gk, 0);
        EXPECT_EQ(s.Gm, 0);
    }
    EXPECT_EQ(r.Ro2Pred, z.Ro0);
    EXPECT_EQ(r.T2Pred, 293);
}

TEST(Layers, NoNetMassMeansOutsideDensity) {
    ClosedRoom c;
    zf::TRoom& r = c.z.Room(0);
    r.SumIn = 2;
    r.SumOut = 2;
    EXPECT_EQ(c.z.LayerDensity(0, 1.0), c.z.Ro0);
    EXPECT_EQ(c.z.LayerTemperature(c.z.LayerDensity(0, 1.0)), 293);
    r.SumOut = 1;
    EXPECT_EQ(c.z.LayerDensity(0, 3.0), c.z.Ro0);  // interface at the ceiling: empty layer
}

TEST(Layers, InterfaceBelowTheFloorDeepensTheLayer) {
    ClosedRoom c;
    zf::TRoom& r = c.z.Room(0);
    r.SumIn = 10;
    EXPECT_EQ(c.z.LayerDensity(0, -0.3), (10 * 0.1 - 0 * 0.1) / (20 * 3.3));
}

TEST(Layers, FireExpansionOnlyInTheFireRoom) {
    ClosedRoom c;
    c.z.AddRoom(4, 5, 3);
    c.z.Room(0).Q = 1e5;
    c.z.Room(1).Q = 1e5;  // ignored: only the fire room heats its gas
    EXPECT_GT(c.z.FireExpansion(0), 0);
    EXPECT_EQ(c.z.FireExpansion(1), 0);
}

TEST(HeatLoss, RegimesOfTheExchangeCoefficient) {
    ClosedRoom c;
    zf::TzoneMath& z = c.z;
    // Surface in contact with a layer 1 m deep: 18 · 1 + 20 = 38 m².
    const double hot = z.HeatLoss(0, 400, 2);
    EXPECT_DOUBLE_EQ(hot, 11.6 * std::exp(0.0023 * (400 - 273)) * 38 * (400 - 293));
    const double warm = z.HeatLoss(0, 320, 2);  // wall at 293 + 5.4 + 0.47 K
    const double wall = 293 + 0.2 * 27 + 0.00065 * 27 * 27;
    EXPECT_DOUBLE_EQ(warm, 4.07 * std::cbrt(320 - wall) * 38 * 27);
    EXPECT_EQ(z.HeatLoss(0, 293, 2), 0);  // no excess temperature, no loss
}
