#pragma once
// The model options of a run: every choice that changes what the run computes, or how it
// gets there. The defaults are the reference model, to the bit. The scenario carries one
// value (TzoneMath::Options), so a run on a copy of the building runs with its options.
//
// Adding an option: a member here with its default, unit and meaning; the routine that reads
// it takes the value as an argument (the physics stays the equation); a scenario key when the
// engineer may choose it: a row of kInputs (model/inputs.h) for a top-level number, a row of
// kModelSwitches for a switch and of kHeatLossInputs & co. for its settings
// (project/element_inputs.h).

#include "model/enclosure.h"

namespace zf {

struct RunOptions {
    // Largest floor area the fire load occupies [m²]: the burning area grows no further.
    // 0 = no limit (the fire may spread over the whole floor of the fire room).
    double FireAreaMax = 0;

    // Energy-consistent doorway outflow: the interface height carried from step to step
    // removes the previous step's outflow at the temperature it was handed to the neighbour
    // with (the predicted layer temperature), so a doorway whose flow reverses creates no
    // heat. Off = the reference model.
    bool ConsistentOutflow = false;

    // Enclosure heat loss: the layer loses heat to its ceiling and upper walls (1-D
    // conduction through each, by material), which both interface heights take in; a layer
    // cooled denser than outside air is held neutral. Off (Enabled false) = the reference.
    HeatLossOptions HeatLoss;

    // The run's speed machinery (model/speed.cpp): reuse of unchanged rooms, deferred heat
    // loss, products formed once per run. Each gives the bits the full computation gives;
    // off computes every room's every step in full (slower), which the tests compare with.
    bool SpeedMachinery = true;

    bool operator==(const RunOptions&) const = default;
};

}  // namespace zf
