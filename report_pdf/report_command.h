#pragma once
// A scenario file's PDF report without any window: `zonefire --report OUT.pdf SCENARIO.json`
// and `zonefire-cli report SCENARIO.json OUT.pdf` both come here. Exit codes as the headless
// runner's: 0 completed, 1 the run failed (the report is written and says so), 2 bad scenario
// or a report path that names it, 3 the report or the run's state could not be written whole,
// 130 stopped by Ctrl-C (the report of the part computed is written).

// Before the application object: closed standard descriptors are opened on /dev/null, a full
// pipe or a file-size limit becomes an error of that output, and Qt draws on the offscreen
// platform, so no display is needed.
void PrepareReportPlatform();

// With a QGuiApplication (or QApplication) created: reads the scenario, checks and prepares the
// report's file, runs, writes the report whole and the run's state on stdout; messages on
// stderr. Returns the exit code.
int WriteScenarioReport(const char* output, const char* scenarioPath);
