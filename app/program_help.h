#pragma once
// `zonefire --help` and `zonefire --version`: print and exit before any window or display is
// needed (the manual page zonefire(1) is made from this help).

#include <string>

// The text of --help: usage, options, what the program does and where the guide is.
std::string ProgramHelpText();

// When the arguments ask for help or the version: prints it on stdout and returns the exit code
// (0, or 3 when it could not be written); otherwise returns -1 and prints nothing.
int PrintHelpOrVersion(int argc, char** argv);
