#pragma once
// One box-shaped room: its size, the state of its two-zone model, its hazard balances, its
// critical times and its recorded samples.

#include <string>
#include <vector>

#include "model/heat_loss.h"
#include "model/sample.h"

namespace zf {

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
    // The run's energy ledger: the fire's heat so far (fire room) [J], and Σ G·T2Pred over
    // the steps' flows that leave every layer balance [kg·K/s] (× cp·dt: their enthalpy [J]):
    // through openings to the outside, and into the fire room, which never takes in what its
    // neighbours post.
    double HeatReleased = 0;
    double LeavingFlowHeat = 0;
    RoomEnclosure Enclosure;  // with the heat-loss option: surfaces and the heat they took

    double Area();       // floor area Length·Width [m²], cached
    double Perimeter();  // (Length + Width)·2 [m], cached

    // Species rows addressed by species number k = 1 (CO), 2 (CO2), 3 (HCl); 0 = oxygen
    // where the row has it.
    double& CritTime(int k);  // k = 0..3: CritTimeO2, CritTimeCO, CritTimeCO2, CritTimeHCl
    double& X(int k);         // k = 1..3: XCO, XCO2, XHCl
    double& M(int k);         // k = 1..3: MCO, MCO2, MHCl
    static double ResultSample::*WorkingZoneValue(int k);  // k = 1..3: COw, CO2w, HClw

    // Critical time of a hazard factor, addressed by the results window's order: the one map
    // from a factor to the member that holds its time.
    static double TRoom::*CritTimeField(HazardKind kind);
    double CritTimeOf(HazardKind kind) const { return this->*CritTimeField(kind); }
};

// A room's name as every window, report and message gives it: "Помещение №N", N = index + 1.
std::string RoomTitle(int index);

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

inline double TRoom::*TRoom::CritTimeField(HazardKind kind) {
    switch (kind) {
        case hkTemperature: return &TRoom::CritTimeT;
        case hkOxygen: return &TRoom::CritTimeO2;
        case hkVisibility: return &TRoom::CritTimeVis;
        case hkCO: return &TRoom::CritTimeCO;
        case hkCO2: return &TRoom::CritTimeCO2;
        case hkHCl: return &TRoom::CritTimeHCl;
        case hkRadiation: break;
    }
    return &TRoom::CritTimeRad;
}

inline double ResultSample::*TRoom::WorkingZoneValue(int k) {
    switch (k) {
        case 1: return &ResultSample::COw;
        case 2: return &ResultSample::CO2w;
        default: return &ResultSample::HClw;
    }
}

}  // namespace zf
