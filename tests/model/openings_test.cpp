// Flows through openings: the band cases of a doorway and of an opening to the outside, with
// the worked numbers of the engineering method (T0 = 293 K, μ = 0.64, B = 0.9 m, h = 2 m,
// layer 0.9 kg/m³ at 393 K, no density gain).

#include <cmath>
#include <gtest/gtest.h>

#include "test_buildings.h"
#include "model/scenario.h"

namespace {

struct Pair {
    zf::TzoneMath z;
    zf::TProem door;
    Pair(double y1, double y2, double rhoNeighbour = 0.9) {
        z.T0 = 293;
        z.Ro0 = zf::OutsideAirDensity(z.T0);
        z.AddRoom(5, 4, 3);
        z.AddRoom(6, 5, 3);
        zf::TRoom& a = z.Room(0);
        a.Cur.YkPred = y1;
        a.Ro2Pred = 0.9;
        a.T2Pred = 393;
        a.Prev.Ro2 = 0.9;
        zf::TRoom& b = z.Room(1);
        b.Cur.YkPred = y2;
        b.Ro2Pred = rhoNeighbour;
        door.Height = 2;
        door.Width = 0.9;
        door.Init(true);
    }
};

struct FlowCase {
    const char* name;
    double y1, y2, rhoNeighbour, expected, tolerance;
};

void PrintTo(const FlowCase& c, std::ostream* os) { *os << c.name; }

class DoorwayFlow : public ::testing::TestWithParam<FlowCase> {};

TEST_P(DoorwayFlow, MatchesTheWorkedNumber) {
    const FlowCase& c = GetParam();
    Pair p(c.y1, c.y2, c.rhoNeighbour);
    EXPECT_NEAR(p.z.OpeningFlow(0, 1, p.door), c.expected, c.tolerance) << c.name;
}

INSTANTIATE_TEST_SUITE_P(
    Openings, DoorwayFlow,
    ::testing::Values(FlowCase{"neighbour clear at the opening", 1, 2.5, 0.9, 1.34, 0.005},
                      FlowCase{"neighbour interface inside, denser layer", 1, 1.5, 1.0, 1.11, 0.005},
                      FlowCase{"neighbour interface inside, lighter layer", 1, 1.5, 0.8, 1.05, 0.005},
                      FlowCase{"neighbour interface lower", 1, 0.8, 0.9, 0.0, 0.0},
                      FlowCase{"both layers below the floor", -0.1, -0.2, 1.0, 2.33, 0.005},
                      FlowCase{"own interface above the opening", 2.5, 2.5, 0.9, 0.0, 0.0}),
    [](const auto& info) { return "Case" + std::to_string(info.index); });

}  // namespace

TEST(Openings, OutsideOpeningLikeADoorwayToClearAir) {
    Pair p(1, 0);  // the neighbour's values are not read for the outside
    EXPECT_NEAR(p.z.OpeningFlow(0, 0, p.door), 1.34, 0.005);
    EXPECT_EQ(p.z.OpeningFlow(0, 0, p.door), Pair(1, 2.5).z.OpeningFlow(0, 1, p.door));
}

TEST(Openings, LeakOpeningDrivenByTheDensityGain) {
    Pair p(-0.1, 0);
    p.z.Room(0).Prev.Ro2 = 0.9 - 0.0001;
    zf::TProem leak;
    leak.Height = 0.2;
    leak.Width = 2.7;
    leak.Init(false);
    EXPECT_NEAR(p.z.OpeningFlow(0, 0, leak), 0.180, 0.0005);
}

TEST(Openings, NoFlowBeforeAnyLayerExists) {
    Pair p(2.9, 3);
    p.z.Room(0).Ro2Pred = p.z.Ro0;
    p.z.Room(0).Prev.Ro2 = p.z.Ro0;
    p.z.Room(1).Ro2Pred = p.z.Ro0;
    p.door.Height = 3;
    EXPECT_EQ(p.z.OpeningFlow(0, 1, p.door), 0);
}

TEST(Openings, LayerDenserThanOutsideAirIsAFault) {
    Pair p(1, 2.5);
    p.z.Room(0).Ro2Pred = p.z.Ro0 + 0.1;
    EXPECT_TRUE(std::isnan(p.z.OpeningFlow(0, 1, p.door)));
}
