#pragma once
// The scenario of one calculation and the state of its run: the two-zone model of a building
// of box-shaped rooms joined by doorways. Plain classes with public fields: the run, the
// physics and the windows read and write the fields in place. SI units, temperatures in K.

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "run_fault.h"
#include "run_view.h"

// The 14 values recorded per room and step, in this fixed order (the results window reads
// them by position).
struct ResultSample {
    double Fp = 0;      // burning area of the fire [m²]
    double Gk = 0;      // plume mass flow (fire room) / temperature-weighted inflow [kg/s]
    double Yk = 0;      // interface height above the floor, never below 0 [m]
    double Ro2 = 0;     // smoke-layer density [kg/m³]
    double T2 = 0;      // smoke-layer temperature [K]
    double Gm = 0;      // mass flow leaving the room through its openings [kg/s]
    double YkPred = 0;  // interface height predicted before the step's flows, unclamped [m]
    double Tw = 0;      // gas temperature at the working-zone height [K]
    double Lw = 0;      // visibility at the working-zone height [m]
    double O2w = 0;     // oxygen partial density at the working zone [kg/m³]
    double qRad = 0;    // heat-radiation flux from the fire [W/m²]
    double COw = 0;     // CO partial density at the working zone [kg/m³]
    double CO2w = 0;    // CO2 partial density at the working zone [kg/m³]
    double HClw = 0;    // HCl partial density at the working zone [kg/m³]

    static constexpr int kCount = 14;
    // Element by position 0..13.
    double& operator[](int i);
    double operator[](int i) const;
    static const char* Name(int i);  // "Fp", "Gk", ... as above
};

// The elements of a ResultSample by position.
inline constexpr double ResultSample::*kSampleElements[ResultSample::kCount] = {
    &ResultSample::Fp,  &ResultSample::Gk,  &ResultSample::Yk,     &ResultSample::Ro2,
    &ResultSample::T2,  &ResultSample::Gm,  &ResultSample::YkPred, &ResultSample::Tw,
    &ResultSample::Lw,  &ResultSample::O2w, &ResultSample::qRad,   &ResultSample::COw,
    &ResultSample::CO2w, &ResultSample::HClw};
inline double& ResultSample::operator[](int i) { return this->*kSampleElements[i]; }
inline double ResultSample::operator[](int i) const { return this->*kSampleElements[i]; }

// The seven hazard factors, in the order of the results window's list.
enum HazardKind : int {
    hkTemperature = 0,
    hkOxygen = 1,
    hkVisibility = 2,
    hkCO = 3,
    hkCO2 = 4,
    hkHCl = 5,
    hkRadiation = 6,
};
inline constexpr int kHazardCount = 7;

// One face of an opening as seen from one room.
class TProem {
public:
    double Mu = 0;        // discharge coefficient: 0.64 open, 0.08 closed [-]
    bool IsOpen = false;  // the opening is open
    double Gin = 0;       // flow posted through the twin face by the other room, not yet taken in [kg/s]
    double Tin = 0;       // temperature of that pending flow [K]
    double Height = 0;    // height of the top of the opening above the floor [m]
    double Width = 0;     // width of the opening [m]

    void Init(bool isOpen);
};

// The faces of one cell of the opening matrix; the scenario owns them.
using TProems = std::vector<std::unique_ptr<TProem>>;

class TRoom {
public:
    double Length = 0;   // room length [m]
    double Width = 0;    // room width [m]
    double Height = 0;   // room height [m]
    double FArea = 0;    // cache of Area; 0 = not yet computed [m²]
    double FPerim = 0;   // cache of Perimeter; 0 = not yet computed [m]
    double SumIn = 0;    // running sum of the mass rates that entered the smoke layer [kg/s]
    double SumOut = 0;   // running sum of the outflow rates Gm [kg/s]
    double Q = 0;        // heat release rate of the fire (fire room only) [W]
    double T2Pred = 0;   // smoke-layer temperature predicted before the step's flows [K]
    double Ro2Pred = 0;  // smoke-layer density predicted before the step's flows [kg/m³]
    double Qloss = 0;    // heat given off by the layer to walls and ceiling [W]
    // Critical times [s]; 0 = limit not yet met. Order: temperature, visibility, oxygen,
    // CO, CO2, HCl, radiation (oxygen and the species are addressed by species number).
    double CritTimeT = 0;
    double CritTimeVis = 0;
    double CritTimeO2 = 0;
    double CritTimeCO = 0;
    double CritTimeCO2 = 0;
    double CritTimeHCl = 0;
    double CritTimeRad = 0;
    double OptDens = 0;   // optical density of the smoke in the layer [Np/m]
    double SmokeAmt = 0;  // amount of smoke in the layer [Np·m²]
    double XO2 = 0;       // oxygen mass fraction of the layer gas [kg/kg]
    double MO2 = 0;       // oxygen mass in the layer [kg]
    double XCO = 0, XCO2 = 0, XHCl = 0;  // mass fractions of species 1, 2, 3 [kg/kg]
    double MCO = 0, MCO2 = 0, MHCl = 0;  // masses of species 1, 2, 3 in the layer [kg]
    ResultSample Cur;                    // values of the step being computed
    ResultSample Prev;                   // values of the previous step
    std::vector<ResultSample> Samples;   // recorded samples, SampleCount of them
    int LastIter = 0;                    // step in which the room was last updated

    double Area();       // floor area Length·Width [m²], cached
    double Perimeter();  // (Length + Width)·2 [m], cached

    // Species rows addressed by species number k = 1 (CO), 2 (CO2), 3 (HCl); 0 = oxygen
    // where the row has it.
    double& CritTime(int k);  // k = 0..3: CritTimeO2, CritTimeCO, CritTimeCO2, CritTimeHCl
    double& X(int k);         // k = 1..3: XCO, XCO2, XHCl
    double& M(int k);         // k = 1..3: MCO, MCO2, MHCl
    static double ResultSample::*WorkingZoneValue(int k);  // k = 1..3: COw, CO2w, HClw

    // Critical time of a hazard factor, addressed by the results window's order.
    double CritTimeOf(HazardKind kind) const;
};

// One neighbour cell of a room during a run: the cell of the room's row and, for a doorway,
// the twin cell in the neighbour's row. Built once per run so the step walks only the
// cells that hold faces.
struct TCellLink {
    int Col = 0;                  // column = index of the room on the other side (own index: outside)
    TProems* Faces = nullptr;     // cell (row, Col)
    TProems* Twins = nullptr;     // cell (Col, row); null for the outside cell
};

class TzoneMath {
public:
    // Fire load and ambient (set by the main window before a run)
    double Qn = 0;      // lower heat of combustion of the fire load [J/kg]
    double Vlin = 0;    // linear flame-spread speed [m/s]
    double PsiUd = 0;   // specific mass burning rate [kg/(m²·s)]
    double D = 0;       // smoke-generating ability [Np·m²/kg]
    double Lo2 = 0;     // oxygen consumed per kg burnt [kg/kg]  (species row position 0)
    double Lco = 0;     // CO released per kg burnt [kg/kg]      (species 1)
    double Lco2 = 0;    // CO2 released per kg burnt [kg/kg]     (species 2)
    double Lhcl = 0;    // HCl released per kg burnt [kg/kg]     (species 3)
    double T0 = 0;      // outside-air (and initial) temperature [K]
    double Nu = 0;      // combustion completeness [-]
    double Ro0 = 0;     // outside-air density, 353.5138 / T0 at run start [kg/m³]
    double g = 9.81;    // gravitational acceleration [m/s²]
    double hr = 0;      // working-zone height above the floor [m]
    double dt = 0;      // time step [s]
    double SimTime = 0; // simulated time span [s]
    double CurTime = 0; // model time [s]
    int Iter = 0;            // step being computed (1, 2, ...)
    int SampleCount = 0;     // recorded samples per room
    int StepsPerSample = 0;  // consecutive model states averaged into one sample (S)
    int StepCount = 0;       // N = model states of a run (initial state and steps 1..N−1)
    bool UseTanaka = false;  // plume correlation: true = Tanaka, false = McCaffrey
    std::vector<std::unique_ptr<TRoom>> Rooms;  // index 0 is the fire room
    std::vector<std::vector<TProems>> Proems;   // n × n opening matrix
    double CritT = 343.0;      // critical working-zone temperature [K]
    double CritVis = 20.0;     // critical visibility [m]
    double CritO2 = 0.226;     // critical oxygen partial density [kg/m³]
    double CritCO = 0.00116;   // critical CO partial density [kg/m³]
    double CritCO2 = 0.11;     // critical CO2 partial density [kg/m³]
    double CritHCl = 2.3e-05;  // critical HCl partial density [kg/m³]
    double CritRad = 1400.0;   // critical heat-radiation flux [W/m²]
    int SamplesPerSec = 10;    // recorded samples per second of model time [1/s]

    // ---- Editor operations --------------------------------------------------------------
    bool AddRoom(double length, double width, double height);
    void DeleteRoom(int index);
    bool AddProem(int row, int col, double height, double width, bool isOpen);
    void DeleteProem(int row, int col, int k);
    // Edit in place: room `index` keeps its place (room 0 stays the fire room) and its
    // openings; opening k of cell (row, col) changes with its twin in (col, row). Both return
    // false and change nothing outside the matrix or the cell.
    bool EditRoom(int index, double length, double width, double height);
    bool EditProem(int row, int col, int k, double height, double width, bool isOpen);

    int RoomCount() const { return static_cast<int>(Rooms.size()); }
    TRoom& Room(int i) { return *Rooms[static_cast<std::size_t>(i)]; }
    TProems& Cell(int row, int col) {
        return Proems[static_cast<std::size_t>(row)][static_cast<std::size_t>(col)];
    }

    // Inputs that are bound to fail before any result exists (zero step, zero outside
    // temperature, counts beyond 32 bits, a room of zero size, the working zone at or above a
    // ceiling). Returns an empty string when the scenario can be run, otherwise a message in
    // Russian naming the input and the room.
    std::string CheckInputs() const;

    // ---- The run ------------------------------------------------------------------------
    // True when the run completed or was stopped through the view, false when an arithmetic
    // fault ended it (Iter then holds the step, LastFault says where).
    bool Run(RunView& view);
    bool Run();  // without windows
    void Step(int room);
    bool Stopped = false;  // the last run was stopped by the user
    RunFault LastFault;    // where and why the last run failed

    // ---- Physics (one quantity per routine) ---------------------------------------------
    // Fire source and plume (fire room)
    double BurningArea(int room);
    double HeatRelease(int room);
    double PlumeFlow(int room);
    double PlumeFlowTanaka(int room);
    double PlumeFlowMcCaffrey(int room);
    // Layer balances and heat exchange
    double PredictedInterfaceHeight(int room);
    double InterfaceHeight(int room);
    double LayerDensity(int room, double interfaceHeight);
    double LayerTemperature(double density) const;
    double FireExpansion(int room);
    double HeatLoss(int room, double layerTemperature, double interfaceHeight);
    // Gas exchange: mass flow of room k's layer gas through one face to room n (n = k: outside)
    double OpeningFlow(int k, int n, const TProem& face);
    // Hazard factors at the working zone (one room, after every room was stepped)
    void CalcTw(int iter, int room);
    void CalcLw(int iter, int room);
    void CalcO2w(int iter, int room);
    void CalcSpecies(int speciesIndex, int iter, int room);
    void CalcRad(int iter, int room);
    double ProfileFactor(int room);  // z·e^(1.4·z), the working zone's depth into the layer

    // Species rows addressed by species number (0 = oxygen, 1 = CO, 2 = CO2, 3 = HCl)
    double Yield(int k) const;  // Lo2, Lco, Lco2, Lhcl
    double Crit(int k) const;   // CritO2, CritCO, CritCO2, CritHCl
    // Limit of a hazard factor, addressed by the results window's order.
    double CritOf(HazardKind kind) const;

private:
    // The terms both interface heights of a step share: the previous prediction less the
    // volume that entered [m], and the fire's expansion [m].
    struct InterfaceTerms {
        double AfterInflow = 0;
        double Expansion = 0;
    };
    InterfaceTerms SharedInterfaceTerms(int room);
    double PredictedInterfaceHeight(int room, const InterfaceTerms& terms);
    double InterfaceHeight(int room, const InterfaceTerms& terms);
    // Whether HeatLoss could fault with these inputs (the step leaves out the heat loss of the
    // previous layer, which nothing reads, where it cannot).
    bool HeatLossMayFault(int room, double layerTemperature, double interfaceHeight);
    template <class Fn> void ForEachPendingInflow(int n, Fn&& fn);
    bool PrepareRun();
    void PrepareRooms();
    void BuildLinks();
    void TakeSnapshot();
    bool AdvanceStep(int k);
    void HazardPass();
    void SampleStep(int k);
    void CutSamplesAt(int k);
    void ReplayToFault(int failedStep);
    void RemoveLeakOpenings();
    // In the replay that locates a fault, every routine is followed by a look at the
    // floating-point flags; the first one raised names the room and the quantity.
    void Checkpoint(int room, Quantity what, int column = -1, int face = -1) {
        if (Checking_) [[unlikely]] CheckFlags(room, what, column, face);
    }
    void CheckFlags(int room, Quantity what, int column, int face);
    [[noreturn]] void Fail(FaultKind kind, Quantity what, int room);

    // The room whose hazard routines the pass is running (-1: none, a routine called on its
    // own), and its working-zone profile once the first routine that needs it has formed it.
    // What the neighbours' pending inflows bring into a room's five balances in one step,
    // gathered in one walk over the room's faces when the hazard pass reaches the room.
    struct TPendingInflow {
        double Smoke = 0;                  // [Np·m²]
        double Oxygen = 0;                 // [kg]
        double Species[4] = {0, 0, 0, 0};  // by species number 1..3 [kg]
    };
    const TPendingInflow& PassInflow(int room);
    // Within the pass the gathered sums serve every routine; the replay that locates a fault
    // forms each routine's own sum, so a fault is still charged to the routine whose sum it is.
    bool SharesPassInflow(int room) const { return room == PassRoom_ && !Checking_; }
    bool PassInflowFormed_ = false;
    TPendingInflow PassInflow_;
    int PassRoom_ = -1;
    bool PassProfileFormed_ = false;
    double PassProfile_ = 0;
    double WorkingZoneProfile(int room);

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
    static StepStart StartOf(const TRoom& r);
    bool RepeatLastStep(int room);

    // Run state sized once per run
    std::vector<std::vector<TCellLink>> Links_;  // per room: cells holding faces, ascending column
    std::vector<LastStep> LastSteps_;            // per room
    int LeakCount_ = 0;                          // rooms that received a leak opening
    bool Checking_ = false;                      // replaying with a check after every routine
    // Rooms and faces after preparation, for the deterministic replay that locates a fault.
    std::vector<TRoom> RoomSnapshot_;
    std::vector<double> FaceSnapshot_;  // Gin, Tin of every face in link order
};

// ---- Accessors read in every step of a run, inline so the time loop pays no call ----------

inline double TRoom::Area() {
    if (FArea == 0) FArea = Length * Width;
    return FArea;
}

inline double TRoom::Perimeter() {
    if (FPerim == 0) FPerim = (Length + Width) * 2;
    return FPerim;
}

inline double& TRoom::CritTime(int k) {
    switch (k) {
        case 0: return CritTimeO2;
        case 1: return CritTimeCO;
        case 2: return CritTimeCO2;
        default: return CritTimeHCl;
    }
}

inline double& TRoom::X(int k) {
    switch (k) {
        case 1: return XCO;
        case 2: return XCO2;
        default: return XHCl;
    }
}

inline double& TRoom::M(int k) {
    switch (k) {
        case 1: return MCO;
        case 2: return MCO2;
        default: return MHCl;
    }
}

inline double ResultSample::*TRoom::WorkingZoneValue(int k) {
    switch (k) {
        case 1: return &ResultSample::COw;
        case 2: return &ResultSample::CO2w;
        default: return &ResultSample::HClw;
    }
}

inline double TzoneMath::Yield(int k) const {
    switch (k) {
        case 0: return Lo2;
        case 1: return Lco;
        case 2: return Lco2;
        default: return Lhcl;
    }
}

inline double TzoneMath::Crit(int k) const {
    switch (k) {
        case 0: return CritO2;
        case 1: return CritCO;
        case 2: return CritCO2;
        default: return CritHCl;
    }
}
