#pragma once
// The inputs a new scenario starts from that are no row of the input table (model/inputs.h,
// which holds the defaults of the parameter fields and the critical values): the add-room and
// add-opening dialogs' fields, the recording rate and the plume choice, and the value a
// scenario file's missing key takes.

namespace zf {

struct ScenarioDefaults {
    static constexpr int SamplesPerSec = 10;  // recorded samples per second [1/s]
    static constexpr bool UseTanaka = true;   // plume correlation
    static constexpr double RoomLength = 4;     // add-room dialog [m]
    static constexpr double RoomWidth = 5;      // [m]
    static constexpr double RoomHeight = 3;     // [m]
    static constexpr double OpeningHeight = 2;  // add-opening dialog [m]
    static constexpr double OpeningWidth = 0.9; // [m]
    static constexpr bool OpeningOpen = true;
};

}  // namespace zf
