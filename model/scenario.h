#pragma once
// The scenario of one calculation and the state of its run: the two-zone model of a building
// of box-shaped rooms joined by doorways. Plain classes with public fields: the run, the
// physics and the windows read and write the fields in place. SI units, temperatures in K.

#include <memory>
#include <string>
#include <vector>

#include "model/constants.h"
#include "model/opening.h"
#include "model/room.h"
#include "model/run_fault.h"
#include "model/run_options.h"
#include "model/run_state.h"
#include "model/run_view.h"
#include "model/sample.h"

namespace zf {

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
    double Ro0 = 0;     // outside-air density, OutsideAirDensity(T0) at run start [kg/m³]
    double g = kGravity;  // gravitational acceleration [m/s²]
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
    // The critical values: inputs like the others, their defaults in the input table
    // (model/inputs.h), which the constructor puts here.
    double CritT = 0;      // critical working-zone temperature [K]
    double CritVis = 0;    // critical visibility [m]
    double CritO2 = 0;     // critical oxygen partial density [kg/m³]
    double CritCO = 0;     // critical CO partial density [kg/m³]
    double CritCO2 = 0;    // critical CO2 partial density [kg/m³]
    double CritHCl = 0;    // critical HCl partial density [kg/m³]
    double CritRad = 0;    // critical heat-radiation flux [W/m²]
    int SamplesPerSec = 10;    // recorded samples per second of model time [1/s]
    RunOptions Options;        // the model options the run is given (run_options.h)

    // A new scenario: every input 0 but the critical values, which take their defaults.
    TzoneMath();

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
    // Indexes the opening matrix for the step's walks: per room, the cells holding faces and
    // the doorway faces neighbours post into. The run does it at its start; a routine called
    // on its own needs it after the matrix changed.
    void LinkOpenings();
    void Step(int room);  // the looking copy while the run looks for a fault, else the fast one
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
    double FireExpansion(int room, const LayerProducts& products);
    LayerProducts FormLayerProducts(int room);  // A·ρ0, A·ρ0·T0, A·cp·ρ0·T0 of the room
    double LayerContactSurface(int room, double interfaceHeight);
    double HeatLoss(int room, double layerTemperature, double interfaceHeight);
    // With the heat-loss option (heat_loss.cpp): the step's loss to the surfaces, which it
    // advances, as the rise of the interface [m]; the guard that keeps a layer from ending
    // denser than outside air; the guard's enthalpy over the fire's heat of the run [-].
    double EnclosureLoss(int room);
    void AdvanceSurfaces(int room, double qCeiling, double qWalls);
    void NeutralLayerGuard(int room);
    double GuardEnergyFraction() const;
    // Gas exchange: mass flow of room k's layer gas through one face to room n (n = k: outside)
    double OpeningFlow(int k, int n, const TProem& face);
    // Hazard factors at the working zone (one room, after every room was stepped). All but
    // the radiation take the room's working-zone profile of the step (WorkingZoneProfile).
    // Called on their own they take the looking copy while the run looks for a fault.
    void CalcTw(int iter, int room, double profile);
    void CalcLw(int iter, int room, double profile);
    void CalcO2w(int iter, int room, double profile);
    void CalcSpecies(int speciesIndex, int iter, int room, double profile);
    void CalcRad(int iter, int room);
    double ProfileFactor(int room);       // z·e^(1.4·z), the working zone's depth into the layer
    double WorkingZoneProfile(int room);  // ProfileFactor where the layer reaches hr, else 0
    // What a room's layer gains in the step, per balance: the fire's production in the fire
    // room, the neighbours' pending inflows elsewhere (during a run).
    double SmokeGain(int room);            // [Np·m²]
    double OxygenGain(int room);           // [kg]
    double SpeciesGain(int k, int room);   // [kg], k = 1 CO, 2 CO2, 3 HCl

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
        double AreaRho0T0 = 0;  // A·ρ0·T0, which both outflow terms divide by [kg·K/m]
        double Cooling = 0;  // rise by the heat lost to the enclosure (heat-loss option) [m]
    };
    InterfaceTerms SharedInterfaceTerms(int room, const LayerProducts& products);
    double PredictedInterfaceHeight(int room, const InterfaceTerms& terms);
    double InterfaceHeight(int room, const InterfaceTerms& terms);
    template <class Term> double SumOverPendingInflows(int n, Term term);
    bool PrepareRun();
    void PrepareRooms();
    void PrepareEnclosures();
    bool TimeLoop(RunView& view);
    void StopAfter(int k);
    // The step of the building, the room's step and its parts, the hazard pass and the
    // sampling are compiled twice from one source: Look = false, the fast copy the run takes,
    // with no look at the floating-point flags; Look = true, the looking copy, with a look
    // after every routine (Checkpoint), taken only while the run locates a fault.
    template <bool Look> void AdvanceStep(int k);
    [[gnu::cold, gnu::noinline]] void AdvanceStepLooking(int k);
    template <bool Look> [[gnu::flatten]] void Step(int i);  // every routine inlined (step.cpp)
    // The parts of one room's step, in their order (step.cpp).
    template <bool Look> double FireSource(int i);
    template <bool Look> double TakeInPostedFlows(int i, bool& posted);
    template <bool Look> void PredictLayer(int i, InterfaceTerms& terms);
    template <bool Look> bool FlowOutThroughOpenings(int i);
    void PostInto(int j, TProem& twin, double flow, double temperature);
    template <bool Look> void UpdateLayer(int i, const InterfaceTerms& terms, double inflow);
    template <bool Look> void HazardPass();
    template <bool Look> void CalcTw(int iter, int room, double profile);
    template <bool Look> void CalcLw(int iter, int room, double profile);
    template <bool Look> void CalcO2w(int iter, int room, double profile);
    template <bool Look> void CalcSpecies(int speciesIndex, int iter, int room, double profile);
    template <bool Look> void CalcRad(int iter, int room);
    template <bool Look> void SampleStep(int k);
    void CutSamplesAt(int k);
    void RemoveLeakOpenings();

    // Locating a fault (fault_search.cpp). In the steps computed again to locate a fault,
    // every routine is followed by a look at the floating-point flags; the first one raised
    // names the room and the quantity.
    void SaveCleanState(int k);
    int RestoreCleanState(int k);
    void RestoreSamples(int k);
    void EndWithFault(const RunFault& fault, int k);
    template <bool Look>
    void Checkpoint(int room, Quantity what, int column = -1, int face = -1) {
        if constexpr (Look) CheckFlags(room, what, column, face);
    }
    void CheckFlags(int room, Quantity what, int column, int face);
    [[noreturn]] void Fail(FaultKind kind, Quantity what, int room);

    // The run's speed machinery (speed.cpp), the one place where the run leaves out work
    // whose result it already holds; each rule gives the bits the full computation would.
    // Off (Options.SpeedMachinery = false) every room's every step is computed in full.
    void PrepareSpeedMachinery();
    bool StepRepeats(int room);                     // at a step's start: copied, nothing to compute
    void StepComputed(int room, bool closed);       // after a computed step
    bool HazardsRepeat(int room);                   // the hazard routines' values copied
    template <bool Look> double HazardProfile(int room);  // WorkingZoneProfile, reused while Yk holds
    LayerProducts LayerProductsOf(int room);        // formed once per run, or now
    void FormProductsPerRun();
    bool CurStaysPrev(int room);                    // after sampling: a dormant room keeps Cur
    template <bool Look> void LayerHeatLoss(int room, double layerTemperature, double interfaceHeight);  // or deferred
    void SettleDeferredHeatLosses();                // at the run's end
    bool NothingPosted(int room) const;
    static StepStart StartOf(const TRoom& r);
    bool RepeatLastStep(int room);
    bool RepeatLastHazards(int room);
    void FallDormant(int room);
    void WakeUp(int room);
    bool StaysDormant(int room);
    bool DeferHeatLoss(int room, double layerTemperature, double interfaceHeight);
    bool EnclosureAtRest(int room);
    bool WallsFollowCeiling(int room, double qCeiling, double qWalls);  // walls given the ceiling's profile

    RunState State_;  // the run's own state, sized once per run
};

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

}  // namespace zf
