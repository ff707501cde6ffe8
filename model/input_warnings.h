#pragma once
// Values that a building can hold but that look like a slip: a number typed in another unit
// (MJ/kg for J/kg, °C for K), a room or opening that does not fit, a fire room sealed from the
// outside. The engineer is warned before the run and may run anyway; the window offers
// "Исправить", the runner prints the warnings and refuses with --strict. The refusals (a building
// that cannot exist) are TzoneMath::CheckInputs.

#include <string>
#include <vector>

namespace zf {

class TzoneMath;

// What a warning is about, so the window can put the focus where the fix is typed.
enum class WarningSubject {
    HeatOfCombustion,    // the field Qн
    InitialTemperature,  // the field T0
    Room,                // a room's sizes (Room)
    Opening,             // an opening (Room = row, Column = column of its matrix cell)
    FireRoomSealed,      // the fire room's doorways and openings (Room 0)
};

struct InputWarning {
    WarningSubject Subject;
    int Room = -1;    // 0-based room, or the opening's matrix row
    int Column = -1;  // the opening's matrix column (equal to Room for an opening to the outside)
    std::string Message;  // Russian: the value with its unit, what it looks like, what to check
};

// Values below these are taken for a unit slip.
inline constexpr double kLeastHeatOfCombustion = 1e6;  // 1 MJ/kg [J/kg]; fire loads burn at 10–50 MJ/kg
inline constexpr double kLeastInitialTemperature = 200;  // [K]; −73 °C, colder than any building's air
// A room larger than this is taken for sizes typed in another unit [m³].
inline constexpr double kLargestRoomVolume = 1e6;

// Every warning of the scenario, in the order of the main window: fields, rooms, openings,
// then the path from the fire room to the outside. Empty for a building without rooms.
std::vector<InputWarning> InputWarnings(const TzoneMath& z);

}  // namespace zf
