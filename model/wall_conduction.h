#pragma once
// Transient 1-D conduction through a ceiling or the walls: finite volumes across the
// thickness, nodes on the cell faces (node 0 the exposed face, the last node the back face),
// backward Euler in time. The matrix depends only on the surface and the step, so it is
// factorised once per run; a step is one forward and one backward sweep.

#include <vector>

#include "model/enclosure.h"

namespace zf {

// Heat-transfer coefficient of the unexposed side to ambient, radiation included
// (EN 1991-1-2 §3.1(5)) [W/(m²·K)].
inline constexpr double kBackFaceCoeff = 9.0;
// A layer whose thermal resistance L/k is below this is one lumped cell (a metal sheet) [m²·K/W].
inline constexpr double kLumpedResistance = 1e-3;
inline constexpr int kCellsPerLayer = 8;       // cells of a layer that is not lumped [-]
inline constexpr double kCellGrowth = 1.5;     // ratio of neighbouring cells, thin at the exposed face [-]

// Cell widths of one layer of thickness L [m]: n cells growing by r from the exposed side,
// δ₁ = L·(r−1)/(rⁿ−1), δⱼ = δ₁·r^(j−1), the last the rest of L.
std::vector<double> LayerCells(double thickness, int cells, double growth);

// The constant part of one surface: node capacities, cell conductances and the factorised
// tridiagonal matrix for the step dt.
class WallGrid {
public:
    WallGrid() = default;
    WallGrid(const Surface& surface, double dt, int cellsPerLayer = kCellsPerLayer,
             double growth = kCellGrowth);

    int Nodes() const { return static_cast<int>(C_.size()); }
    double Capacity(int j) const { return C_[static_cast<std::size_t>(j)]; }  // [J/(m²·K)]
    double BackCoeff() const { return hb_; }                                  // [W/(m²·K)]

    // Advances the node temperatures T [K] by one step with the flux q [W/m²] into the exposed
    // face, the back face losing to ambient at T0 [K]. Returns the heat lost through the back
    // face in the step [J/m²].
    double Advance(std::vector<double>& T, double q, double T0) const;

private:
    double dt_ = 0;               // [s]
    double hb_ = 0;               // back-face coefficient [W/(m²·K)]
    std::vector<double> C_;       // node capacities Σ ρ·c·δ/2 of the touching cells [J/(m²·K)]
    std::vector<double> CPerDt_;  // C_j/dt, formed once [W/(m²·K)]
    std::vector<double> G_;       // conductance k/δ of the cell after each node [W/(m²·K)]
    std::vector<double> upper_;   // eliminated upper diagonal c'ⱼ [-]
    std::vector<double> pivot_;   // 1 / eliminated diagonal [m²·K/W]
};

// The changing part of one surface during a run.
struct WallState {
    std::vector<double> T;   // node temperatures, exposed face first [K]
    double Absorbed = 0;     // heat taken in through the exposed face, ∫q·A dt [J]
    double BackLoss = 0;     // heat lost through the back face per m², ∫h_b·(T_N−1 − T0) dt [J/m²]

    double Exposed() const { return T.front(); }
    // Heat stored above T0 per m², Σ C_j·(T_j − T0) [J/m²].
    double Stored(const WallGrid& grid, double T0) const;
};

}  // namespace zf
