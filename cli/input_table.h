#pragma once
// `zonefire-cli --inputs`: the input table and the model's constants as JSON, for tools that
// write scenario files or read results (the validation reads its defaults and the constants that
// invert the working-zone values from it, rather than keeping copies of its own).
#include <string>

namespace zfcli {

inline constexpr const char* kInputTableFormat = "zonefire-inputs";
inline constexpr int kInputTableVersion = 1;

// {"format", "version", "inputs": [{"key", "symbol", "name", "unit", "default", "min", "max"
// (null: no upper limit), "group" ("fire_load", "initial", "critical"), "help"}...],
// "element_inputs": [{"path" ("rooms[i].length"), "caption", "name", "unit", "default", "min",
// "min_excluded", "max", "required", "help"}...], "model_switches": [{"key", "caption", "help"}...],
// "constants": {name: {"value", "unit", "meaning"}...}}, in the tables' order.
std::string InputTableJson();

}  // namespace zfcli
