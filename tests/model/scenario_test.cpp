// The scenario's editor operations keep the opening matrix square and its doorway faces twinned.

#include <gtest/gtest.h>

#include "test_buildings.h"
#include "model/scenario.h"

using testing_zf::AddDoorway;

namespace {

std::size_t CellSize(zf::TzoneMath& z, int r, int c) { return z.Cell(r, c).size(); }

void ExpectSquare(const zf::TzoneMath& z) {
    ASSERT_EQ(z.Proems.size(), z.Rooms.size());
    for (const auto& row : z.Proems) EXPECT_EQ(row.size(), z.Rooms.size());
}

}  // namespace

TEST(Scenario, CreationSetsTheLimitsAndGravityOnly) {
    zf::TzoneMath z;
    EXPECT_EQ(z.g, 9.81);
    EXPECT_EQ(z.CritT, 343.0);
    EXPECT_EQ(z.CritVis, 20.0);
    EXPECT_EQ(z.CritO2, 0.226);
    EXPECT_EQ(z.CritCO, 0.00116);
    EXPECT_EQ(z.CritCO2, 0.11);
    EXPECT_EQ(z.CritHCl, 2.3e-05);
    EXPECT_EQ(z.CritRad, 1400.0);
    EXPECT_EQ(z.SamplesPerSec, 10);
    EXPECT_FALSE(z.UseTanaka);
    EXPECT_EQ(z.Qn, 0);
    EXPECT_EQ(z.dt, 0);
    EXPECT_TRUE(z.Rooms.empty());
    EXPECT_TRUE(z.Proems.empty());
}

TEST(Scenario, AddRoomGrowsTheMatrixKeepingOldCells) {
    zf::TzoneMath z;
    ASSERT_TRUE(z.AddRoom(4, 5, 3));
    ExpectSquare(z);
    EXPECT_EQ(CellSize(z, 0, 0), 0u);
    z.AddProem(0, 0, 2, 0.9, true);
    ASSERT_TRUE(z.AddRoom(6, 5, 3));
    ExpectSquare(z);
    EXPECT_EQ(CellSize(z, 0, 0), 1u);
    EXPECT_EQ(CellSize(z, 0, 1) + CellSize(z, 1, 0) + CellSize(z, 1, 1), 0u);
    EXPECT_EQ(z.Room(1).Length, 6);
    EXPECT_EQ(z.Room(1).Width, 5);
    EXPECT_EQ(z.Room(1).Height, 3);
}

TEST(Scenario, DoorwayFacesAreTwoObjectsInMirroredCells) {
    zf::TzoneMath z;
    for (int i = 0; i < 3; ++i) z.AddRoom(4, 5, 3);
    AddDoorway(z, 0, 2, 2, 0.9);
    z.AddProem(1, 1, 1.5, 1.0, false);  // an outside opening of room 2: one face
    EXPECT_EQ(CellSize(z, 0, 2), 1u);
    EXPECT_EQ(CellSize(z, 2, 0), 1u);
    EXPECT_EQ(CellSize(z, 1, 1), 1u);
    EXPECT_NE(z.Cell(0, 2)[0].get(), z.Cell(2, 0)[0].get());
    EXPECT_EQ(z.Cell(1, 1)[0]->Mu, 0.08);
    EXPECT_EQ(z.Cell(0, 2)[0]->Mu, 0.64);
    EXPECT_EQ(z.Cell(0, 2)[0]->Gin, 0);
    EXPECT_EQ(z.Cell(0, 2)[0]->Tin, 0);
}

TEST(Scenario, DeleteRoomRemovesItsRowAndColumn) {
    zf::TzoneMath z;
    for (int i = 0; i < 3; ++i) z.AddRoom(4 + i, 5, 3);
    z.AddProem(2, 0, 1.7, 0.8, true);  // marks the former cell (2, 0)
    AddDoorway(z, 0, 1, 2, 0.9);
    z.DeleteRoom(1);
    ExpectSquare(z);
    ASSERT_EQ(z.RoomCount(), 2);
    EXPECT_EQ(z.Room(1).Length, 6);  // the former room 3 moved down
    ASSERT_EQ(CellSize(z, 1, 0), 1u);
    EXPECT_EQ(z.Cell(1, 0)[0]->Height, 1.7);
    EXPECT_EQ(CellSize(z, 0, 1), 0u);
}

TEST(Scenario, DeleteRoomOutsideTheListDoesNothing) {
    zf::TzoneMath z;
    z.AddRoom(4, 5, 3);
    z.DeleteRoom(-1);
    z.DeleteRoom(1);
    EXPECT_EQ(z.RoomCount(), 1);
    ExpectSquare(z);
    z.DeleteRoom(0);
    EXPECT_EQ(z.RoomCount(), 0);
    ExpectSquare(z);
}

TEST(Scenario, DeleteProemRemovesBothFacesAndShiftsLaterEntries) {
    zf::TzoneMath z;
    for (int i = 0; i < 3; ++i) z.AddRoom(4, 5, 3);
    AddDoorway(z, 0, 2, 2.0, 0.9);
    AddDoorway(z, 0, 2, 2.1, 1.0);
    z.DeleteProem(0, 2, 0);
    ASSERT_EQ(CellSize(z, 0, 2), 1u);
    ASSERT_EQ(CellSize(z, 2, 0), 1u);
    EXPECT_EQ(z.Cell(0, 2)[0]->Height, 2.1);
    EXPECT_EQ(z.Cell(2, 0)[0]->Height, 2.1);
    z.DeleteProem(0, 2, 5);   // no such entry
    z.DeleteProem(7, 0, 0);   // no such cell
    EXPECT_EQ(CellSize(z, 0, 2), 1u);
    z.AddProem(1, 1, 2, 0.9, true);
    z.AddProem(1, 1, 2, 0.9, true);
    z.DeleteProem(1, 1, 0);   // outside opening: one face only
    EXPECT_EQ(CellSize(z, 1, 1), 1u);
}

TEST(Scenario, AddProemRefusesCellsOutsideTheMatrix) {
    zf::TzoneMath z;
    EXPECT_FALSE(z.AddProem(0, 0, 2, 0.9, true));
    z.AddRoom(4, 5, 3);
    EXPECT_FALSE(z.AddProem(0, 1, 2, 0.9, true));
    EXPECT_TRUE(z.AddProem(0, 0, 2, 0.9, true));
}

TEST(Room, AreaAndPerimeterAreCachedUnlessZero) {
    zf::TRoom r;
    r.Length = 5;
    r.Width = 4;
    EXPECT_EQ(r.Area(), 20);
    EXPECT_EQ(r.Perimeter(), 18);
    r.Length = 6;  // the caches hold
    EXPECT_EQ(r.Area(), 20);
    zf::TRoom flat;
    flat.Length = 0;
    flat.Width = 4;
    EXPECT_EQ(flat.Area(), 0);
    EXPECT_EQ(flat.FArea, 0);
    flat.Length = 2;  // zero was never cached: recomputed
    EXPECT_EQ(flat.Area(), 8);
}

TEST(Room, SpeciesRowsAreAddressedBySpeciesNumber) {
    zf::TzoneMath z;
    z.Lo2 = 1;
    z.Lco = 2;
    z.Lco2 = 3;
    z.Lhcl = 4;
    for (int k = 0; k < 4; ++k) EXPECT_EQ(z.Yield(k), k + 1);
    EXPECT_EQ(z.Crit(0), z.CritO2);
    EXPECT_EQ(z.Crit(3), z.CritHCl);
    zf::TRoom r;
    r.X(2) = 0.5;
    r.M(3) = 7;
    r.CritTime(1) = 9;
    EXPECT_EQ(r.XCO2, 0.5);
    EXPECT_EQ(r.MHCl, 7);
    EXPECT_EQ(r.CritTimeCO, 9);
    EXPECT_EQ(r.CritTimeOf(zf::hkCO), 9);
    EXPECT_EQ(z.CritOf(zf::hkVisibility), z.CritVis);
}

TEST(ResultSampleLayout, ElementsKeepTheirPositions) {
    zf::ResultSample s;
    for (int i = 0; i < zf::ResultSample::kCount; ++i) s[i] = i;
    EXPECT_EQ(s.Fp, 0);
    EXPECT_EQ(s.Gm, 5);
    EXPECT_EQ(s.YkPred, 6);
    EXPECT_EQ(s.Tw, 7);
    EXPECT_EQ(s.Lw, 8);
    EXPECT_EQ(s.O2w, 9);
    EXPECT_EQ(s.qRad, 10);
    EXPECT_EQ(s.HClw, 13);
    EXPECT_STREQ(zf::ResultSample::Name(10), "qRad");
}
