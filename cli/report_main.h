#pragma once
// `zonefire-cli report SCENARIO.json OUT.pdf`: the scenario's PDF report, written without a
// window or a display by the report library, as `zonefire --report` writes it.

namespace zfcli {

// argv[0] is "report". Returns the exit code (report_pdf/report_command.h).
int ReportMain(int argc, char** argv);

// `zonefire-cli study-report DIR OUT.pdf`: the report of the study in the output folder DIR;
// argv[0] is "study-report". Exit codes: 0 written, 2 bad arguments or a folder that is not a
// whole study's, 3 the report could not be written.
int StudyReportMain(int argc, char** argv);

}  // namespace zfcli
