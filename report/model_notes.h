#pragma once
// The model and its limits in plain words, for the report that goes to an authority. Each
// paragraph is one string; the report lays them out.

#include <string>
#include <vector>

namespace zfreport {

// What the program computes and where its results are to be read with care: the two zones,
// the single fire in room 1, the doorway flows, the heat the walls do not take, why the
// working zone can be hotter than the layer, the fire that grows whatever the oxygen, the jump
// when smoke first reaches a doorway, the step size.
std::vector<std::string> ModelLimitsParagraphs();

}  // namespace zfreport
