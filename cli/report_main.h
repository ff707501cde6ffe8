#pragma once
// `zonefire-cli report SCENARIO.json OUT.pdf`: the scenario's PDF report, written without a
// window or a display by the report library, as `zonefire --report` writes it.

namespace zfcli {

// argv[0] is "report". Returns the exit code (report_pdf/report_command.h).
int ReportMain(int argc, char** argv);

}  // namespace zfcli
