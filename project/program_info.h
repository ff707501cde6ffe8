#pragma once
// What both programs say of themselves: the version with the model's options built in, and
// where the user guide, the examples and the fire-load library are. One text for --version of
// zonefire and zonefire-cli, for their --help and the manual pages made from it.

#include <string>
#include <string_view>
#include <vector>

namespace zf::project {

// "0.2.0": the version set in the top CMakeLists.txt.
std::string_view ProgramVersion();

// A model option a scenario file may set, with what it does.
struct ModelOption {
    std::string_view Key;
    std::string_view Meaning;
};

// The model options this build's scenario reader knows, each with its meaning.
std::vector<ModelOption> ModelOptions();

// "zonefire-cli 0.2.0", then the model options, the fire-load library's size and the licence.
std::string VersionText(std::string_view program);

// Lines naming the user guide, the examples and the fire-load library, installed and in the
// source tree, for the end of a --help text.
std::string WhereToReadText();

}  // namespace zf::project
