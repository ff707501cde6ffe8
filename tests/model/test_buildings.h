#pragma once
// Buildings and inputs shared by the engine's tests.

#include "model/defaults.h"
#include "model/scenario.h"

namespace testing_zf {

// The main window's initial parameter values.
inline void SetDefaultInputs(zf::TzoneMath& z) {
    using D = zf::ScenarioDefaults;
    z.Qn = D::Qn;
    z.Vlin = D::Vlin;
    z.PsiUd = D::PsiUd;
    z.D = D::D;
    z.Lo2 = D::Lo2;
    z.Lco = D::Lco;
    z.Lco2 = D::Lco2;
    z.Lhcl = D::Lhcl;
    z.Nu = D::Nu;
    z.T0 = D::T0;
    z.hr = D::hr;
    z.SimTime = D::SimTime;
    z.dt = D::dt;
    z.SamplesPerSec = D::SamplesPerSec;
    z.UseTanaka = D::UseTanaka;
    z.Options.FireAreaMax = D::FireAreaMax;
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
