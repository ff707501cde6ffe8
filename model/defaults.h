#pragma once
// The inputs a new scenario starts from: the main window's initial texts, the add-room and
// add-opening dialogs' fields, and the value a scenario file's missing key takes. One home
// for them, read by the windows, the file reader and the tests.

namespace zf {

struct ScenarioDefaults {
    static constexpr double Qn = 13800000;    // lower heat of combustion [J/kg]
    static constexpr double Vlin = 0.0108;    // linear flame-spread speed [m/s]
    static constexpr double PsiUd = 0.0145;   // specific mass burning rate [kg/(m²·s)]
    static constexpr double D = 270;          // smoke-generating ability [Np·m²/kg]
    static constexpr double Lo2 = 1.03;       // oxygen consumed [kg/kg]
    static constexpr double Lco = 0.0022;     // CO released [kg/kg]
    static constexpr double Lco2 = 0.203;     // CO2 released [kg/kg]
    static constexpr double Lhcl = 0.014;     // HCl released [kg/kg]
    static constexpr double Nu = 0.97;        // combustion completeness [-]
    static constexpr double T0 = 293;         // outside-air temperature [K]
    static constexpr double hr = 1.7;         // working-zone height [m]
    static constexpr double SimTime = 200;    // simulated time [s]
    static constexpr double dt = 0.0001;      // time step [s]
    static constexpr int SamplesPerSec = 10;  // recorded samples per second [1/s]
    static constexpr bool UseTanaka = true;   // plume correlation
    static constexpr double FireAreaMax = 0;  // fire-load area limit [m²]; 0 = none
    static constexpr double RoomLength = 4;     // add-room dialog [m]
    static constexpr double RoomWidth = 5;      // [m]
    static constexpr double RoomHeight = 3;     // [m]
    static constexpr double OpeningHeight = 2;  // add-opening dialog [m]
    static constexpr double OpeningWidth = 0.9; // [m]
    static constexpr bool OpeningOpen = true;
};

}  // namespace zf
