#pragma once
// What a run keeps beside the scenario while it runs: the cells each room's step walks, the
// record the run's reuse of unchanged steps compares against, and the last clean state a
// fault search starts from. Private to the run; nothing outside the model reads it.

#include <cfenv>
#include <vector>

#include "model/opening.h"
#include "model/room.h"
#include "model/wall_conduction.h"
#include "model/run_fault.h"

namespace zf {

// Steps between two readings of the floating-point flags. A reading, and the copy of the clean
// state that follows it, costs about as much as a step of every room; a fault found costs at
// most this many steps computed again.
inline constexpr int kFlagStride = 64;

// The products of a room's floor area with the outside air's constants that the interface
// heights divide by, each formed in the order its formula forms it, so a quotient by the
// product is the same double whether the product was formed now or at the run's start.
struct LayerProducts {
    double AreaRho0 = 0;      // A·ρ0 [kg/m]
    double AreaRho0T0 = 0;    // A·ρ0·T0 [kg·K/m]
    double AreaCpRho0T0 = 0;  // A·cp·ρ0·T0 [J/m], the fire room's (0 elsewhere)
};

// The floating-point flags that end a run: division by zero, invalid operation, overflow.
inline constexpr int kFaultFlags = FE_DIVBYZERO | FE_INVALID | FE_OVERFLOW;

// A fault found in a step, thrown to the time loop.
struct StepFault {
    RunFault fault;
};

// One neighbour cell of a room during a run: the cell of the room's row and, for a doorway,
// the twin cell in the neighbour's row. Built once per run so the step walks only the
// cells that hold faces.
struct TCellLink {
    int Col = 0;                  // column = index of the room on the other side (own index: outside)
    TProems* Faces = nullptr;     // cell (row, Col)
    TProems* Twins = nullptr;     // cell (Col, row); null for the outside cell
};

// One doorway face through which a neighbour posts flows into a room, with that neighbour.
struct TInflowFace {
    TProem* Face = nullptr;
    int From = 0;
};

// The previous state a room's step starts from, and what the room's last computed step
// started from and whether it took nothing in and reached no opening: a step that starts
// from the same state under the same conditions repeats that step to the bit.
struct StepStart {
    double PrevT2 = 0, PrevYk = 0, PrevYkPred = 0, PrevGm = 0, SumIn = 0, SumOut = 0;
};
struct LastStep {
    StepStart Start;
    bool Closed = false;
};

// A heat loss left out because it could not fault: the layer temperature [K] and interface
// height [m] it would have been formed with, so the room's field can be given its value once
// the run ends.
struct DeferredHeatLoss {
    double T = 0, Y = 0;
    bool Pending = false;
};

// The working-zone profile F of the hazard routines and the interface height Yk [m] it was
// formed from: F depends on Yk alone.
struct WorkingZoneProfileOf {
    double Yk = 0;
    double F = 0;
    bool Formed = false;
};

// What the run's reuse of work already done decides by, per room: part of the state a fault
// search goes back to, saved and restored whole.
struct ReuseRecord {
    std::vector<LastStep> LastSteps;  // the room's last computed step
    // Its step and hazard routines repeated and nothing has been posted into it since, so its
    // next step repeats as well without looking.
    std::vector<char> Dormant;
    std::vector<DeferredHeatLoss> HeatLosses;
    // A room dormant at the end of its last step keeps Cur as it was, equal to Prev in all 14
    // values, instead of Prev = Cur and Cur = 0: its next repeat has nothing to copy.
    std::vector<char> CurIsPrev;
    std::vector<WorkingZoneProfileOf> Profiles;  // the room's last working-zone profile
    // With heat loss: the room's walls are the very surface of its ceiling and have taken the
    // ceiling's flux in every step so far, so their temperature profile is the ceiling's.
    std::vector<char> WallsAsCeiling;
};

// The constant grids of one room's two surfaces (heat-loss option).
struct EnclosureGrids {
    WallGrid Ceiling;
    WallGrid Walls;
    int StepsPerAdvance = 1;  // the run's steps in one advance of the surfaces
};

struct RunState {
    std::vector<std::vector<TCellLink>> Links;      // per room: cells holding faces, ascending column
    std::vector<std::vector<TInflowFace>> Inflow;   // per room: doorway faces, in the order of Links
    ReuseRecord Reuse;
    std::vector<EnclosureGrids> Grids;  // per room, with the heat-loss option; empty without
    std::vector<char> Repeated;  // per room: its step in the current step repeated the last one
    // Per room, the products its interface heights divide by, formed once at the run's start
    // when every one is a finite number (ProductsPerRun); otherwise formed in every step.
    std::vector<LayerProducts> Products;
    bool ProductsPerRun = false;
    int LeakCount = 0;           // rooms that received a leak opening
    bool Checking = false;       // a look at the flags after every routine
    // The state at the end of the last step whose flags were clean, from which the steps are
    // computed again with a look after every routine once a fault is found.
    int CleanStep = 0;
    double CleanTime = 0;                    // model time [s]
    std::vector<TRoom> CleanRooms;           // the rooms, without their recorded samples
    std::vector<ResultSample> CleanSamples;  // per room, the sample the next step adds into
    std::vector<double> CleanFaces;          // Gin, Tin of every face in link order
    ReuseRecord CleanReuse;
};

}  // namespace zf
