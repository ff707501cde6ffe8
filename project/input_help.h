#pragma once
// The scenario file's number inputs as the runner's help and the study help list them, written
// from the input table (model/inputs.h): key, what it is, unit, default and allowed range.

#include <string>

namespace zf::project {

// One entry per input, "  Vlin — Линейная скорость ..., м/с; по умолчанию 0,0108", wrapped
// at `width` characters with the continuation indented; ends in a newline.
std::string InputKeysHelp(std::size_t width = 92);

}  // namespace zf::project
