#pragma once
// Model choices of one run. The default value is the reference model, bit for bit.

#include "model/enclosure.h"

namespace zf {

struct RunOptions {
    // The carried interface height removes the last step's outflow at the temperature it was
    // posted with (the predicted one) instead of the last final one: no enthalpy is created on
    // a doorway whose flow reverses.
    bool ConsistentOutflow = false;
    // The layer loses heat to its ceiling and upper walls (1-D conduction through them).
    HeatLossOptions HeatLoss;

    bool operator==(const RunOptions&) const = default;
};

}  // namespace zf
