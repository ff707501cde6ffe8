// Gas exchange: the mass flow with which a room's smoke layer leaves through one face of an
// opening, to the outside or to a neighbouring room. Flows are never negative; gas from a
// neighbour arrives only through the neighbour's own evaluation.

#include <cmath>

#include "model/constants.h"
#include "model/scenario.h"

namespace zf {

namespace {

// Orifice flow of layer gas of density rho through a band of height d of an opening of width
// B, driven by the pressure difference c·d [kg/s]: W = μ·B·d·√(2·ρ·c·d). A negative c (a layer
// denser than the gas it faces) is the square root of a negative number: a fault of the step.
inline double BandFlow(double mu, double width, double rho, double c, double d) {
    return mu * width * d * std::sqrt(2 * rho * c * d);
}

}  // namespace

double TzoneMath::OpeningFlow(int k, int n, const TProem& face) {
    TRoom& room = Room(k);
    TRoom& other = Room(n);
    const double y1 = room.Cur.YkPred;   // own interface [m]
    const double y2 = other.Cur.YkPred;  // neighbour's interface [m] (own for the outside)
    const double h = face.Height;        // top of the opening [m]
    const double mu = face.Mu;
    const double width = face.Width;
    const double rho = room.Ro2Pred;     // layer density [kg/m³]
    const double T = room.T2Pred;        // layer temperature [K]
    double gain = room.Ro2Pred - room.Prev.Ro2;  // density gain of the layer in this step [kg/m³]
    if (gain < 0) gain = 0;
    const double pb = g * (Ro0 - rho);   // buoyancy pressure per metre of height [Pa/m]
    const double pc = kGasR * T * gain;  // pressure rise from the density gain [Pa]
    double pn = g * (other.Ro2Pred - rho);  // excess of the neighbour's layer density [Pa/m]
    if (pn < 0) pn = 0;

    // With the heat-loss option a band without drive (c ≤ 0, a neutral or denser layer)
    // carries nothing instead of failing the step.
    const bool driveOnly = Options.HeatLoss.Enabled;
    auto band = [&](double c, double d) {
        if (driveOnly && c <= 0) return 0.0;
        return BandFlow(mu, width, rho, c, d);
    };

    if (n == k) {  // opening to the outside
        if (y1 > 0 && y1 < h) return band(pb, h - y1);
        if (y1 <= 0) return band(pb + pc, h - y1);
        return 0;
    }
    // Doorway: the neighbour's side faces the band either with its clear layer (y2 ≥ h), partly
    // with its clear layer (between the interfaces) and partly with its smoke layer, or wholly
    // with its smoke layer (both layers reach the floor).
    if (y1 <= 0 && y2 >= h) return band(pb + pc, h - y1);
    if (y1 > 0 && y1 < h && y2 >= h) return band(pb, h - y1);
    if (y1 > 0 && y1 < h && y2 > y1 && y2 < h) return band(pb, y2 - y1) + band(y2 * pb + pn, h - y2);
    if (y1 <= 0 && y2 > 0 && y2 < h) return band(pb + pc, y2 - y1) + band(pc + y2 * pb + pn, h - y2);
    if (y1 <= 0 && y2 <= 0) return band(pc + pn, h - y1);
    return 0;  // the neighbour's interface is as low as ours or lower, or ours is above the top
}

}  // namespace zf
