#pragma once
// `zonefire --report OUT.pdf SCENARIO.json`: the program's window-less report, written by the
// report library as `zonefire-cli report` writes it (report_pdf/report_command.h).

// True when the arguments ask for the report rather than the windows.
bool IsReportCommand(int argc, char** argv);

// With the application created: checks the arguments and writes the report; the exit code.
int RunReportCommand(int argc, char** argv);
