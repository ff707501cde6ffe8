// The run's speed machinery, the parts that run once per run; the rules and the per-step
// hooks are in speed.h.

#include "model/speed.h"

#include <cmath>

namespace zf {

// Sizes the machinery's records for a run of the scenario's rooms.
void TzoneMath::PrepareSpeedMachinery() {
    const std::size_t n = Rooms.size();
    State_.Reuse.LastSteps.assign(n, {});
    State_.Reuse.Dormant.assign(n, 0);
    State_.Reuse.HeatLosses.assign(n, {});
    State_.Reuse.CurIsPrev.assign(n, 0);
    State_.Reuse.Profiles.assign(n, {});
    State_.Reuse.WallsAsCeiling.assign(n, 0);
    if (Options.SpeedMachinery && Options.HeatLoss.Enabled)
        for (int i = 0; i < RoomCount(); ++i) {
            const ResolvedSurfaces s = ResolveSurfaces(Options.HeatLoss, i);
            State_.Reuse.WallsAsCeiling[static_cast<std::size_t>(i)] = s.Walls == s.Ceiling;
        }
    State_.Repeated.assign(n, 0);
    State_.Products.clear();
    State_.ProductsPerRun = false;
}

// The products every room's interface heights divide by, once for the run, when the machinery
// is on and every one is a finite number. Called after the run's counts and outside-air
// density are set; the time loop clears the flags forming them may raise.
void TzoneMath::FormProductsPerRun() {
    State_.ProductsPerRun = false;
    if (!Options.SpeedMachinery) return;
    State_.Products.clear();
    for (int i = 0; i < RoomCount(); ++i) {
        const LayerProducts p = FormLayerProducts(i);
        if (!std::isfinite(p.AreaRho0) || !std::isfinite(p.AreaRho0T0) || !std::isfinite(p.AreaCpRho0T0)) return;
        State_.Products.push_back(p);
    }
    State_.ProductsPerRun = true;
}

void TzoneMath::SettleDeferredHeatLosses() {
    for (std::size_t i = 0; i < State_.Reuse.HeatLosses.size(); ++i) {
        const DeferredHeatLoss& d = State_.Reuse.HeatLosses[i];
        if (d.Pending) Rooms[i]->Qloss = HeatLoss(static_cast<int>(i), d.T, d.Y);
    }
}

}  // namespace zf
