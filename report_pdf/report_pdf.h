#pragma once
// The report of a finished run as a PDF for A4, to hand to an authority: title page (building,
// date, program version, the scenario's SHA-256, how the run ended), the inputs, the building,
// the results with the evacuation verdict, the charts of every room and the model's limits.
// Laid out by Qt's text document and written by its PDF writer; the charts are drawn as vector
// graphics by report_chart.h.

#include <QByteArray>
#include <QDateTime>
#include <QString>
#include <QLocale>
#include <QStringList>
#include <string>
#include <vector>

#include "verdict.h"

class QIODevice;
namespace zf { class TzoneMath; }
namespace zf::project { struct Document; }

// What the report says about a scenario beyond its rooms and results.
struct ScenarioDescription {
    QString Title;          // the object's name; empty: none given
    QString Address;        // the object's address; empty: none given
    QString Organisation;   // who made the calculation; empty: none given
    QString Author;
    QString Notes;          // free text of the user
    QString FireLoad;       // the typical fire load the inputs were taken from; empty: none
    QStringList RoomNames;  // by room; missing or empty: the room has none
    zfreport::EvacuationInputs Evacuation;
    QString FileName;       // the scenario file, as the user knows it; empty: not saved
    QByteArray FileBytes;   // the scenario's bytes; their SHA-256 identifies the inputs

    // The room names by room, as the summary and the runner's writers take them.
    std::vector<std::string> RoomNameList() const;
};

// What a building document says of itself: its title, notes, room names and evacuation
// inputs, with the file's name and the bytes that identify it.
ScenarioDescription DescribeDocument(const zf::project::Document& document, const QString& fileName, const QByteArray& bytes);

// The locale of the report's numbers and date, whatever the process's locale: Russian, with
// the decimal comma.
QLocale ReportLocale();

// The program's version as the build names it.
QString ProgramVersion();

// The report's date and the program's version.
struct ReportStamp {
    QDateTime Made = QDateTime::currentDateTime();
    QString Version = ProgramVersion();
};

// The bytes whose SHA-256 the report prints: the scenario file's, or, for a scenario never
// saved, the file text its building would be saved as.
QByteArray ScenarioBytes(const zf::TzoneMath& zm, const ScenarioDescription& description);

// "Помещение №2" or "Помещение №2 — Коридор".
QString RoomCaption(const ScenarioDescription& description, int room);

// A count with its thousands apart by a non-breaking space: "19 999"; up to 9999 whole.
QString GroupedCount(long long n);
// "шаг", "шага" or "шагов", as Russian counts n of them.
QString StepsWord(long long n);

// The state of the run in one sentence: completed with the steps computed, their size and the
// time of the last one; stopped at a time; or failed in a step with the failure's details.
QString RunStateText(const zf::TzoneMath& zm);

// Writes the report of `zm`, whose run has ended, to `path` through a QSaveFile: an existing
// file is replaced only by a whole report. Needs Qt's GUI library only (no window, no display).
// Returns why the file could not be written, empty on success.
QString WriteReportPdf(const QString& path, zf::TzoneMath& zm, const ScenarioDescription& description,
                       const ReportStamp& stamp = {});
// The same report written to an open device (a buffer the caller writes out whole, say).
QString WriteReportPdf(QIODevice& device, zf::TzoneMath& zm, const ScenarioDescription& description,
                       const ReportStamp& stamp = {});
