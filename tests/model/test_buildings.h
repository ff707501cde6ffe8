#pragma once
// Buildings and inputs shared by the engine's tests.

#include "model/defaults.h"
#include "model/inputs.h"
#include "model/scenario.h"

namespace testing_zf {

// The main window's initial parameter values: every input's default.
inline void SetDefaultInputs(zf::TzoneMath& z) {
    for (const zf::Input& input : zf::kInputs) input.In(z) = input.Default;
    z.SamplesPerSec = zf::ScenarioDefaults::SamplesPerSec;
    z.UseTanaka = zf::ScenarioDefaults::UseTanaka;
}

// A doorway as the editor adds it: a face in (a, b), then its twin in (b, a).
inline void AddDoorway(zf::TzoneMath& z, int a, int b, double height, double width, bool open = true) {
    z.AddProem(a, b, height, width, open);
    z.AddProem(b, a, height, width, open);
}

// Fire room 5 × 4 × 3 m and a second room 6 × 5 × 3 m joined by one open doorway 2 m high and
// 0.9 m wide: the building of the whole-model check.
inline void BuildTwoRooms(zf::TzoneMath& z) {
    z.AddRoom(5, 4, 3);
    z.AddRoom(6, 5, 3);
    AddDoorway(z, 0, 1, 2, 0.9);
}

}  // namespace testing_zf
