#pragma once
// The runner's help: its usage line and the text of --help (the manual page zonefire-cli(1) is
// made from it).

#include <string>

namespace zfcli {

// The usage lines, printed with a wrong argument and at the top of --help.
extern const char* const kUsage;

// The whole of --help: usage, options, scenario keys, exit codes, the study and merge
// sub-commands' own help, and where the guide and the examples are.
std::string HelpText();

// The fire-load library as a table: name, the eight values with their units, the source.
std::string FireLoadListText();

}  // namespace zfcli
