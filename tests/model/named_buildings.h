#pragma once
// Named buildings that exercise the run's paths: one to twelve rooms, both plume correlations,
// doorways that wake rooms in turn, samples that do not divide evenly, and runs that fail in a
// known step. The speed-machinery test runs them with and without the machinery; the golden
// test holds a handful of them to the results recorded in data/golden/.

#include <ostream>
#include <string>
#include <vector>

#include "model/scenario.h"
#include "test_buildings.h"

namespace testing_zf {

struct RoomSize {
    double Length = 0, Width = 0, Height = 0;  // [m]
};

// An opening of room Row to room Col (Row == Col: to the outside); a doorway is added as its
// face in (Row, Col), then its twin in (Col, Row), as the editor adds it.
struct OpeningPlan {
    int Row = 0, Col = 0;
    double Height = 0, Width = 0;  // [m]
    bool IsOpen = true;
};

struct NamedBuilding {
    std::string Name;
    // Inputs other than the main window's defaults.
    double dt = 0.01;        // [s]
    double SimTime = 200;    // [s]
    bool UseTanaka = true;
    double Vlin = 0.0108;    // [m/s]
    double Qn = 13800000;    // [J/kg]
    double T0 = 293;         // [K]
    double hr = 1.7;         // [m]
    double FireAreaMax = 0;  // [m²]
    bool ConsistentOutflow = false;
    zf::HeatLossOptions HeatLoss;  // off unless Enabled
    std::vector<RoomSize> Rooms;
    std::vector<OpeningPlan> Openings;
    int FailsAt = 0;         // step in which the run fails; 0: it completes
    bool Denser = false;     // the fault is a flow out of a layer denser than outside air
};

inline void PrintTo(const NamedBuilding& b, std::ostream* os) { *os << b.Name; }

inline void Load(zf::TzoneMath& z, const NamedBuilding& b, int samplesPerSec = 10) {
    SetDefaultInputs(z);
    z.dt = b.dt;
    z.SimTime = b.SimTime;
    z.UseTanaka = b.UseTanaka;
    z.Vlin = b.Vlin;
    z.Qn = b.Qn;
    z.T0 = b.T0;
    z.hr = b.hr;
    z.SamplesPerSec = samplesPerSec;
    z.Options.FireAreaMax = b.FireAreaMax;
    z.Options.ConsistentOutflow = b.ConsistentOutflow;
    z.Options.HeatLoss = b.HeatLoss;
    for (const RoomSize& r : b.Rooms) z.AddRoom(r.Length, r.Width, r.Height);
    for (const OpeningPlan& o : b.Openings) {
        z.AddProem(o.Row, o.Col, o.Height, o.Width, o.IsOpen);
        if (o.Row != o.Col) z.AddProem(o.Col, o.Row, o.Height, o.Width, o.IsOpen);
    }
}

// A fire room of 5 × 4 × 3 m and a second room of 6 × 5 × 3 m joined by one open doorway 2 m
// high and 0.9 m wide.
inline NamedBuilding TwoRoomPlan(const char* name, bool tanaka) {
    NamedBuilding b;
    b.Name = name;
    b.UseTanaka = tanaka;
    b.Rooms = {{5, 4, 3}, {6, 5, 3}};
    b.Openings = {{0, 1, 2.0, 0.9, true}};
    return b;
}

// A fire room opening onto a corridor with three more rooms off it; two doors closed, a door
// and a window to the outside.
inline NamedBuilding CorridorPlan(const char* name, bool tanaka) {
    NamedBuilding b;
    b.Name = name;
    b.UseTanaka = tanaka;
    b.Rooms = {{4, 4, 3}, {12, 2, 3}, {4, 3, 3}, {5, 4, 3.2}, {3, 3, 2.8}};
    b.Openings = {
        {0, 1, 2.0, 0.9, true},  {1, 2, 2.0, 0.8, false}, {1, 3, 2.1, 0.9, true}, {1, 4, 2.0, 0.8, false},
        {1, 1, 2.2, 1.2, false}, {3, 3, 2.5, 1.5, true},  {4, 4, 1.8, 1.0, true},
    };
    return b;
}

// Heat loss with walls and ceiling of one board (their profiles stay alike all run), and with a
// concrete ceiling, steel-sheet walls in the corridor and consistent outflow.
inline std::vector<NamedBuilding> HeatLossBuildings() {
    std::vector<NamedBuilding> all;
    NamedBuilding b = TwoRoomPlan("TwoRoomsGypsumHeatLoss", true);
    b.HeatLoss.Enabled = true;
    b.HeatLoss.Walls = zf::MaterialSurface("gypsum_board", 0.0125);
    all.push_back(b);
    b = CorridorPlan("CorridorMixedSurfacesHeatLoss", false);
    b.ConsistentOutflow = true;
    b.HeatLoss.Enabled = true;
    b.HeatLoss.Walls = zf::MaterialSurface("gypsum_board", 0.0125);
    b.HeatLoss.Ceiling = zf::MaterialSurface("concrete", 0.2);
    b.HeatLoss.Rooms.resize(2);
    b.HeatLoss.Rooms[1].Walls = zf::MaterialSurface("steel_sheet", 0.001);
    all.push_back(b);
    return all;
}

// Plans of rooms and doorways: chains, a fire room between two, doorways sharing a pair, a
// corridor, twelve rooms that wake in turn.
inline std::vector<NamedBuilding> ShapedBuildings() {
    std::vector<NamedBuilding> all = {TwoRoomPlan("TwoRoomsTanaka", true), TwoRoomPlan("TwoRoomsMcCaffrey", false)};
    NamedBuilding b = TwoRoomPlan("ChainOfThree", true);
    b.Rooms.push_back({4, 4, 3});
    b.Openings.push_back({1, 2, 2.0, 0.9, true});
    all.push_back(b);
    b = TwoRoomPlan("FireRoomBetweenTwo", true);  // its step recurses into both neighbours
    b.Rooms = {{5, 4, 3}, {6, 5, 3}, {3, 3, 3}};
    b.Openings = {{0, 2, 2.0, 0.9, true}, {0, 1, 1.8, 0.9, true}};
    all.push_back(b);
    b = TwoRoomPlan("TwoDoorwaysSamePair", true);  // of different heights
    b.Openings.push_back({1, 0, 2.4, 1.2, true});
    all.push_back(b);
    b = TwoRoomPlan("TwoDoorwaysSamePairMcCaffrey", false);
    b.Openings.push_back({0, 1, 2.4, 1.2, true});
    b.Openings.push_back({1, 1, 2.6, 1.0, true});
    all.push_back(b);
    // Twelve rooms in a row, one door shut half-way: the far rooms stay untouched for a long
    // time, then wake one after the other, and a dead-end room's layer settles.
    b = TwoRoomPlan("TwelveRoomsWakeInTurn", true);
    b.SimTime = 400;
    b.Rooms.assign(12, RoomSize{4, 3, 3});
    b.Openings.clear();
    for (int i = 0; i + 1 < 12; ++i) b.Openings.push_back({i, i + 1, 2.0, 0.9, i != 6});
    b.Openings.push_back({2, 2, 2.8, 0.6, true});  // a window high in the third room
    all.push_back(b);
    all.push_back(CorridorPlan("CorridorTanaka", true));
    all.push_back(CorridorPlan("CorridorMcCaffrey", false));
    b = CorridorPlan("CorridorFireLoadLimited", true);  // the burning area stops at 4 m²
    b.FireAreaMax = 4;
    all.push_back(b);
    return all;
}

// The run's own edges: a step that does not divide the sampling interval, no step at all, a
// fast fire in a low building, no heat.
inline std::vector<NamedBuilding> TimedBuildings() {
    std::vector<NamedBuilding> all;
    NamedBuilding b;
    // A step that does not divide the sampling interval evenly: 3 states per sample, 4001
    // states in all, so the last sample receives 2 states and is divided by 2.
    b = TwoRoomPlan("PartialLastSample", true);
    b.dt = 0.03;
    b.SimTime = 120.02;
    all.push_back(b);
    b = TwoRoomPlan("NoStep", true);
    b.SimTime = 0;
    all.push_back(b);
    // A hot, low building: the layer reaches the working zone soon and every limit is met.
    b = CorridorPlan("FastFireLowCeiling", true);
    b.hr = 1.2;
    b.T0 = 300;
    b.Vlin = 0.03;
    b.Rooms[1].Height = 2.4;
    all.push_back(b);
    b = TwoRoomPlan("NoHeatTanaka", true);  // every room stays at ambient, the run goes on
    b.Qn = 0;
    b.SimTime = 20;
    all.push_back(b);
    return all;
}

// Buildings whose run fails, each at the step FailsAt says and for its own arithmetic reason.
inline std::vector<NamedBuilding> FailingBuildings() {
    std::vector<NamedBuilding> all;
    NamedBuilding b;
    b = TwoRoomPlan("NoHeatMcCaffreyFails", false);  // no heat release divides by zero
    b.Qn = 0;
    b.FailsAt = 1;
    all.push_back(b);
    // No floor in the second room: 0 / 0 in its volume balance, whether or not the heat loss
    // that comes first in its step is evaluated or deferred.
    b = TwoRoomPlan("RoomWithoutFloorFails", true);
    b.Rooms[1].Length = 0;
    b.FailsAt = 1;
    all.push_back(b);
    // Outside air at 1e-305 K: its density is a number, but the products of a floor area with
    // it overflow, so they cannot be formed once per run; the interface fails in step 1 alike
    // with the speed machinery and without.
    b = TwoRoomPlan("AbsurdOutsideTemperatureFails", false);
    b.T0 = 1e-305;
    b.FailsAt = 1;
    all.push_back(b);
    b = TwoRoomPlan("WorkingZoneAtCeilingFails", true);  // the profile divides 0 by 0
    b.hr = 3.0;
    b.FailsAt = 1;
    all.push_back(b);
    // A fast fire with a coarse step: the fire room's predicted layer overshoots to a density
    // above the outside air's, and the buoyancy of a band turns negative.
    b = TwoRoomPlan("LayerDenserThanAirFails", true);
    b.Vlin = 0.03;
    b.dt = 0.025;
    b.hr = 0.5;
    b.Rooms = {{3.3, 5.7, 2.8}, {2.3, 2.6, 3.0}};
    b.Openings = {{0, 0, 1.8, 1.5, true}, {0, 1, 2.1, 0.9, false}, {1, 1, 0.7, 0.4, true}};
    b.FailsAt = 5538;
    b.Denser = true;
    all.push_back(b);
    // A small room behind a high doorway, a fast fire and a coarse step: the small room's layer
    // temperature explodes, and the heat loss formed with the previous layer state (before the
    // prediction) overflows first, at step 1199.
    b = TwoRoomPlan("HeatLossOfThePreviousLayerOverflows", false);
    b.Vlin = 0.03;
    b.dt = 0.05;
    b.SimTime = 100;
    b.hr = 0.6;
    b.Rooms = {{4, 4, 3}, {1.5, 3, 2.4}};
    b.Openings = {{0, 1, 2.2, 0.9, true}};
    b.FailsAt = 1199;
    all.push_back(b);
    return all;
}

// Every named building, in one order the tests' names rely on.
inline std::vector<NamedBuilding> NamedBuildings() {
    std::vector<NamedBuilding> all;
    for (auto part : {ShapedBuildings, TimedBuildings, FailingBuildings, HeatLossBuildings})
        for (NamedBuilding& b : part()) all.push_back(std::move(b));
    return all;
}

// The named building called `name` (an empty building for an unknown name).
inline NamedBuilding NamedBuildingCalled(const std::string& name) {
    for (const NamedBuilding& b : NamedBuildings())
        if (b.Name == name) return b;
    return {};
}

}  // namespace testing_zf
