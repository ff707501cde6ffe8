#pragma once
// The scenario file of the headless runner: a JSON object holding the main window's
// parameter fields, the plume correlation, the rooms and the openings. Every key is optional;
// a missing one takes the main window's initial value.
//
//   {"Qn": 13800000, "Vlin": 0.0108, "PsiUd": 0.0145, "D": 270, "Lo2": 1.03, "Lco": 0.0022,
//    "Lco2": 0.203, "Lhcl": 0.014, "Nu": 0.97, "T0": 293, "hr": 1.7, "SimTime": 200,
//    "dt": 0.0001, "SamplesPerSec": 10, "plume": "tanaka" | "mccaffrey",
//    "rooms": [{"length": 5, "width": 4, "height": 3}, ...],
//    "openings": [{"rooms": [1, 2], "height": 2, "width": 0.9, "open": true}, ...]}
//
// Rooms are added in list order (room 1 is the fire room). An opening's "rooms" holds two
// 1-based room numbers: [i, i] is an opening of room i to the outside, [i, j] a doorway
// between rooms i and j, added as the editor adds one (face in cell (i−1, j−1), then its twin
// in cell (j−1, i−1)).

#include <optional>
#include <string>
#include <string_view>

#include "model/scenario.h"

namespace zfcli {

// Defaults of a missing key: the main window's initial texts and the two dialogs' fields.
struct ScenarioDefaults {
    static constexpr double Qn = 13800000;    // [J/kg]
    static constexpr double Vlin = 0.0108;    // [m/s]
    static constexpr double PsiUd = 0.0145;   // [kg/(m²·s)]
    static constexpr double D = 270;          // [Np·m²/kg]
    static constexpr double Lo2 = 1.03;       // [kg/kg]
    static constexpr double Lco = 0.0022;     // [kg/kg]
    static constexpr double Lco2 = 0.203;     // [kg/kg]
    static constexpr double Lhcl = 0.014;     // [kg/kg]
    static constexpr double Nu = 0.97;        // [-]
    static constexpr double T0 = 293;         // [K]
    static constexpr double hr = 1.7;         // [m]
    static constexpr double SimTime = 200;    // [s]
    static constexpr double dt = 0.0001;      // [s]
    static constexpr int SamplesPerSec = 10;  // [1/s]
    static constexpr bool UseTanaka = true;
    static constexpr double RoomLength = 4;     // add-room dialog [m]
    static constexpr double RoomWidth = 5;      // [m]
    static constexpr double RoomHeight = 3;     // [m]
    static constexpr double OpeningHeight = 2;  // add-opening dialog [m]
    static constexpr double OpeningWidth = 0.9; // [m]
    static constexpr bool OpeningOpen = true;
};

// More rooms than this are refused: the opening matrix grows with the square of the count.
inline constexpr int kMaxRooms = 1000;

// Reads a scenario file's text into `out`, which must be a freshly created scenario.
// Returns std::nullopt when the scenario is complete and passes the engine's own check
// (TzoneMath::CheckInputs), so it can be run as it stands. Otherwise returns one message in
// Russian naming the key and, where one is concerned, the room or opening by its 1-based
// number ("помещение №2, ключ \"length\": ..."); `out` is then partly filled and must not be
// run. A pure function of the text: no file, no output, no global state; never throws for any
// input (an allocation failure aside).
std::optional<std::string> ReadScenario(std::string_view text, zf::TzoneMath& out);

}  // namespace zfcli
