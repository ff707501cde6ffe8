#pragma once
// The scenario file's number inputs as the runner's help and the study help list them, written
// from the input tables (model/inputs.h, project/element_inputs.h): key, what it is, unit,
// default and allowed range; and the model switches.

#include <string>

namespace zf::project {

// One entry per input, "  Vlin — Линейная скорость ..., м/с; по умолчанию 0,0108", wrapped
// at `width` characters with the continuation indented; ends in a newline.
std::string InputKeysHelp(std::size_t width = 92);

// The same for the numbers of rooms, openings, escape routes and the heat-loss surfaces
// ("  rooms[i].length — Длина помещения, м; по умолчанию 4"; project/element_inputs.h).
std::string ElementKeysHelp(std::size_t width = 92);

// One entry per model switch: "  consistent_outflow — <check box text>; <what it changes>".
std::string ModelSwitchesHelp(std::size_t width = 92);

}  // namespace zf::project
