#pragma once
// The model and its limits in plain words, for the report that goes to an authority. Each
// paragraph is one string; the report lays them out.

#include <string>
#include <vector>

namespace zfreport {

// What the program computes and where its results are to be read with care: the two zones,
// the single fire in room 1, the doorway flows, the heat given to the walls, the step size.
std::vector<std::string> ModelLimitsParagraphs();

// How far the model's results lie from measured fires: bias and scatter of the compared
// quantities, with the source of the measurements. Empty while no comparison has been made;
// the report then says that none is given.
std::vector<std::string> ModelValidationParagraphs();

}  // namespace zfreport
