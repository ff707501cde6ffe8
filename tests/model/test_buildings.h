#pragma once
// Buildings and inputs shared by the engine's tests.

#include "model/scenario.h"

namespace testing_zf {

// The main window's initial parameter values.
inline void SetDefaultInputs(zf::TzoneMath& z) {
    z.Qn = 13800000;
    z.Vlin = 0.0108;
    z.PsiUd = 0.0145;
    z.D = 270;
    z.Lo2 = 1.03;
    z.Lco = 0.0022;
    z.Lco2 = 0.203;
    z.Lhcl = 0.014;
    z.Nu = 0.97;
    z.T0 = 293;
    z.hr = 1.7;
    z.SimTime = 200;
    z.dt = 0.0001;
    z.UseTanaka = true;
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
