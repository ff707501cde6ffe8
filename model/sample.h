#pragma once
// The record of the 14 values a room holds per step and per recorded sample, and the seven
// hazard factors of the results window.

namespace zf {

// The 14 values recorded per room and step, in this fixed order (the results window reads
// them by position).
struct ResultSample {
    double Fp = 0;      // burning area of the fire [m²]
    double Gk = 0;      // plume mass flow (fire room) / temperature-weighted inflow [kg/s]
    double Yk = 0;      // interface height above the floor, never below 0 [m]
    double Ro2 = 0;     // smoke-layer density [kg/m³]
    double T2 = 0;      // smoke-layer temperature [K]
    double Gm = 0;      // mass flow leaving the room through its openings [kg/s]
    double YkPred = 0;  // interface height predicted before the step's flows, unclamped [m]
    double Tw = 0;      // gas temperature at the working-zone height [K]
    double Lw = 0;      // visibility at the working-zone height [m]
    double O2w = 0;     // oxygen partial density at the working zone [kg/m³]
    double qRad = 0;    // heat-radiation flux from the fire [W/m²]
    double COw = 0;     // CO partial density at the working zone [kg/m³]
    double CO2w = 0;    // CO2 partial density at the working zone [kg/m³]
    double HClw = 0;    // HCl partial density at the working zone [kg/m³]

    static constexpr int kCount = 14;
    // Element by position 0..13.
    double& operator[](int i);
    double operator[](int i) const;
    static const char* Name(int i);  // "Fp", "Gk", ... as above
};

// Averaging, copying and the results window go by position over kCount values: a value added
// to the record without growing kCount (and kSampleElements) would silently be left out.
static_assert(sizeof(ResultSample) == ResultSample::kCount * sizeof(double),
              "ResultSample holds exactly kCount doubles");

// The elements of a ResultSample by position.
inline constexpr double ResultSample::*kSampleElements[ResultSample::kCount] = {
    &ResultSample::Fp,  &ResultSample::Gk,  &ResultSample::Yk,     &ResultSample::Ro2,
    &ResultSample::T2,  &ResultSample::Gm,  &ResultSample::YkPred, &ResultSample::Tw,
    &ResultSample::Lw,  &ResultSample::O2w, &ResultSample::qRad,   &ResultSample::COw,
    &ResultSample::CO2w, &ResultSample::HClw};
inline double& ResultSample::operator[](int i) { return this->*kSampleElements[i]; }
inline double ResultSample::operator[](int i) const { return this->*kSampleElements[i]; }

// The 14 values of a state, element by element and written out: a loop over member pointers
// stays scalar (the compiler vectorises these), and assigning a value-initialised record
// compiles to a slow string store.
inline void AddInto(ResultSample& sum, const ResultSample& s) {
    sum.Fp += s.Fp;
    sum.Gk += s.Gk;
    sum.Yk += s.Yk;
    sum.Ro2 += s.Ro2;
    sum.T2 += s.T2;
    sum.Gm += s.Gm;
    sum.YkPred += s.YkPred;
    sum.Tw += s.Tw;
    sum.Lw += s.Lw;
    sum.O2w += s.O2w;
    sum.qRad += s.qRad;
    sum.COw += s.COw;
    sum.CO2w += s.CO2w;
    sum.HClw += s.HClw;
}

inline void DivideBy(ResultSample& s, double n) {
    s.Fp /= n;
    s.Gk /= n;
    s.Yk /= n;
    s.Ro2 /= n;
    s.T2 /= n;
    s.Gm /= n;
    s.YkPred /= n;
    s.Tw /= n;
    s.Lw /= n;
    s.O2w /= n;
    s.qRad /= n;
    s.COw /= n;
    s.CO2w /= n;
    s.HClw /= n;
}

inline void SetZero(ResultSample& s) {
    s.Fp = 0;
    s.Gk = 0;
    s.Yk = 0;
    s.Ro2 = 0;
    s.T2 = 0;
    s.Gm = 0;
    s.YkPred = 0;
    s.Tw = 0;
    s.Lw = 0;
    s.O2w = 0;
    s.qRad = 0;
    s.COw = 0;
    s.CO2w = 0;
    s.HClw = 0;
}

// The seven hazard factors, in the order of the results window's list.
enum HazardKind : int {
    hkTemperature = 0,
    hkOxygen = 1,
    hkVisibility = 2,
    hkCO = 3,
    hkCO2 = 4,
    hkHCl = 5,
    hkRadiation = 6,
};
inline constexpr int kHazardCount = 7;

}  // namespace zf
