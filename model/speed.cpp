// The run's speed machinery, the parts that run once per run; the rules and the per-step
// hooks are in speed.h.

#include "model/speed.h"

namespace zf {

// Sizes the machinery's records for a run of the scenario's rooms.
void TzoneMath::PrepareSpeedMachinery() {
    const std::size_t n = Rooms.size();
    State_.Reuse.LastSteps.assign(n, {});
    State_.Reuse.Dormant.assign(n, 0);
    State_.Reuse.HeatLosses.assign(n, {});
    State_.Reuse.CurIsPrev.assign(n, 0);
    State_.Reuse.Profiles.assign(n, {});
    State_.Repeated.assign(n, 0);
}

void TzoneMath::SettleDeferredHeatLosses() {
    for (std::size_t i = 0; i < State_.Reuse.HeatLosses.size(); ++i) {
        const DeferredHeatLoss& d = State_.Reuse.HeatLosses[i];
        if (d.Pending) Rooms[i]->Qloss = HeatLoss(static_cast<int>(i), d.T, d.Y);
    }
}

}  // namespace zf
