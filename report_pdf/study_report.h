#pragma once
// The report of a parameter study as a PDF for A4, from its output folder (study.json and
// runs.csv as `zonefire-cli study` and merge write them): the runs done and how the study drew
// its inputs, the inputs' laws and drawn values with their histograms, per room the blocking
// time's statistics with its histogram and cumulative curve and the counts of each verdict, per
// escape route the same of t_р and P_э, and the failed runs. Every figure is the study
// summary's, computed by the study library from the same rows. Needs Qt's GUI library only.

#include <QString>

#include "report_pdf.h"

// Why a study's report was not written: the folder is not a whole study's (naming the file), or
// the report's file could not be written. Empty Failure: written.
struct StudyReportOutcome {
    QString Failure;
    bool BadFolder = false;
};

// Writes the report of the study in `folder` to `path` through a QSaveFile: an existing file
// is replaced only by a whole report.
StudyReportOutcome WriteStudyReportPdf(const QString& path, const QString& folder, const ReportStamp& stamp = {});
