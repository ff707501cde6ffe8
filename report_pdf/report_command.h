#pragma once
// `zonefire --report OUT.pdf SCENARIO.json`: runs a scenario file without showing any window
// and writes its PDF report. Exit codes as the headless runner's: 0 completed, 1 the run failed
// (the report is written and says so), 2 bad arguments, scenario or output, 130 stopped by
// Ctrl-C (the report of the part computed is written).

// True when the arguments ask for the report rather than the windows.
bool IsReportCommand(int argc, char** argv);

// Before QApplication: the report draws on the offscreen platform, so it needs no display.
void PrepareReportPlatform();

// With a QApplication created: does the whole command and returns the exit code.
int RunReportCommand(int argc, char** argv);
