// Conduction through a ceiling or the walls (1-D, implicit finite volumes).

#include <cmath>

#include "model/wall_conduction.h"

namespace zf {

std::vector<double> LayerCells(double thickness, int cells, double growth) {
    std::vector<double> widths(static_cast<std::size_t>(cells));
    const double first = thickness * (growth - 1) / (std::pow(growth, cells) - 1);  // δ₁ [m]
    double sum = 0;
    double width = first;
    for (int j = 0; j + 1 < cells; ++j) {
        widths[static_cast<std::size_t>(j)] = width;
        sum += width;
        width *= growth;
    }
    widths.back() = thickness - sum;  // the last cell closes the layer exactly
    return widths;
}

WallGrid::WallGrid(const Surface& surface, double dt, int cellsPerLayer, double growth)
    : dt_(dt), hb_(surface.Back == BackFace::Ambient ? kBackFaceCoeff : 0.0) {
    C_.push_back(0);
    for (const SurfaceLayer& layer : surface.Layers) {
        const bool lumped = layer.Thickness / layer.k < kLumpedResistance;
        const std::vector<double> cells = lumped ? std::vector<double>{layer.Thickness}
                                                 : LayerCells(layer.Thickness, cellsPerLayer, growth);
        for (double delta : cells) {
            const double half = layer.rho * layer.c * delta / 2;  // half the cell's capacity [J/(m²·K)]
            C_.back() += half;
            C_.push_back(half);
            G_.push_back(layer.k / delta);
        }
    }
    // Backward Euler: (C_j/dt + G_{j−1} + G_j + [last]·h_b)·T'_j − G_{j−1}·T'_{j−1} − G_j·T'_{j+1}
    //                 = C_j/dt·T_j + [first]·q + [last]·h_b·T0. Thomas elimination, once.
    const std::size_t n = C_.size();
    CPerDt_.resize(n);
    for (std::size_t j = 0; j < n; ++j) CPerDt_[j] = C_[j] / dt_;
    upper_.assign(n, 0);
    pivot_.assign(n, 0);
    for (std::size_t j = 0; j < n; ++j) {
        const double left = j > 0 ? G_[j - 1] : 0;
        const double right = j + 1 < n ? G_[j] : 0;
        double diag = C_[j] / dt_ + left + right + (j + 1 == n ? hb_ : 0);
        if (j > 0) diag += left * upper_[j - 1];  // − a_j·c'_{j−1}, a_j = −left
        pivot_[j] = 1 / diag;
        upper_[j] = -right * pivot_[j];
    }
}

double WallGrid::Advance(std::vector<double>& T, double q, double T0) const {
    const std::size_t n = C_.size();  // at least 2: a surface has a cell
    // Forward sweep: d'_j = (d_j + G_{j−1}·d'_{j−1})·pivot_j, written into T; the right-hand
    // side d_j = C_j/dt·T_j, plus the flux from the layer at the exposed face and the ambient
    // behind the back face. The ends are written out, so the loop tests nothing.
    T[0] = (CPerDt_[0] * T[0] + q) * pivot_[0];
    for (std::size_t j = 1; j + 1 < n; ++j) T[j] = (CPerDt_[j] * T[j] + G_[j - 1] * T[j - 1]) * pivot_[j];
    const std::size_t b = n - 1;
    T[b] = (CPerDt_[b] * T[b] + hb_ * T0 + G_[b - 1] * T[b - 1]) * pivot_[b];
    // Backward sweep: T'_j = d'_j − c'_j·T'_{j+1}.
    for (std::size_t j = n - 1; j-- > 0;) T[j] -= upper_[j] * T[j + 1];
    return hb_ * (T[n - 1] - T0) * dt_;
}

double WallState::Stored(const WallGrid& grid, double T0) const {
    double sum = 0;
    for (int j = 0; j < grid.Nodes(); ++j) sum += grid.Capacity(j) * (T[static_cast<std::size_t>(j)] - T0);
    return sum;
}

}  // namespace zf
