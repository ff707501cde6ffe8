#pragma once
// A second, deliberately plain transcription of the whole calculation, used only by the
// tests: its own data structures, the run loop, the per-room step with its recursion and
// twin posting, and every formula in the order the method writes it. The engine must agree
// with it to the last bit. Nothing here shares code with model/.

#include <array>
#include <vector>

namespace reference {

// Positions of the 14 values of one state (the engine's ResultSample order).
enum Element : int {
    eFp, eGk, eYk, eRo2, eT2, eGm, eYkPred, eTw, eLw, eO2w, eqRad, eCOw, eCO2w, eHClw,
    kElementCount
};
using Values = std::array<double, kElementCount>;

// Critical times in the order of the limit fields: temperature, visibility, oxygen, CO,
// CO2, HCl, radiation.
enum CritIndex : int { cT, cVis, cO2, cCO, cCO2, cHCl, cRad, kCritCount };
using CritTimes = std::array<double, kCritCount>;

// The main window's default inputs; a test changes what it needs.
struct Inputs {
    double Qn = 13800000;   // J/kg
    double Vlin = 0.0108;   // m/s
    double PsiUd = 0.0145;  // kg/(m²·s)
    double D = 270;         // Np·m²/kg
    double Lo2 = 1.03;      // kg/kg
    double Lco = 0.0022;    // kg/kg
    double Lco2 = 0.203;    // kg/kg
    double Lhcl = 0.014;    // kg/kg
    double Nu = 0.97;       // -
    double T0 = 293;        // K
    double hr = 1.7;        // m
    double dt = 0.01;       // s
    double SimTime = 200;   // s
    int SamplesPerSec = 10;
    bool UseTanaka = true;
    // Limits, as the scenario's creation sets them
    double CritT = 343.0, CritVis = 20.0, CritO2 = 0.226, CritCO = 0.00116, CritCO2 = 0.11,
           CritHCl = 2.3e-05, CritRad = 1400.0;
};

struct RoomSize {
    double Length = 0, Width = 0, Height = 0;  // m
};

// One opening as the editor adds it: a doorway (Row ≠ Col) gets a face in cell (Row, Col)
// and its twin in cell (Col, Row); Row = Col is an opening of that room to the outside.
struct Opening {
    int Row = 0, Col = 0;
    double Height = 0, Width = 0;  // m
    bool IsOpen = true;
};

struct Building {
    Inputs In;
    std::vector<RoomSize> Rooms;        // index 0 is the fire room
    std::vector<Opening> Openings;      // in the order added
};

struct RoomResult {
    std::vector<Values> Samples;
    CritTimes Crit{};
};

struct Result {
    bool Completed = false;  // false: an arithmetic fault ended the run
    int Iter = 0;            // last step started (the failed step after a fault)
    int FaultRoom = -1;      // room whose routine raised the fault (-1: none or not a room's)
    bool FaultDenser = false;  // the fault was a flow out of a layer denser than outside air
    int SampleCount = 0;
    std::vector<RoomResult> Rooms;
};

// Runs the building from its initial state to the end (or the first arithmetic fault).
Result Run(const Building& building);

}  // namespace reference
