#pragma once
// Taking results out of the results window: the chart as a picture (PNG, SVG, the clipboard),
// a table's rows as text a spreadsheet pastes, and one room's samples as a CSV file written by
// the same writer as the headless runner's room files.

#include <QImage>
#include <QString>
#include <optional>
#include <string>

class QAbstractItemView;
class QAction;
class QGraphicsView;
namespace zf { class TzoneMath; }

enum class ChartFileFormat { Png, Svg };

// What the window says when an export could not be written: that nothing was replaced, the
// writer's own words (WriteFailureMessage: the path, what failed, the system's reason) and what
// to do about it.
QString ExportFailureText(const std::string& failure);

// Writes `bytes` to `path` whole or not at all (zf::project::AtomicFile, as the building is
// saved): returns ExportFailureText on failure, empty on success.
QString WriteWholeFile(const QString& path, const QByteArray& bytes);

// The format a file name asks for by its suffix (.png, .svg in any case), none for another.
std::optional<ChartFileFormat> ChartFormatOfName(const QString& path);

// The chart view's visible area, pixel for pixel as it is painted on screen: title, axes,
// series, limit line, labels and legend.
QImage ChartImage(QGraphicsView* view);

// Saving the chart as a file of a chosen size: chart_picture.h.

// A table's rows as tab-separated text with one line per row: the header row first, then the
// selected rows (a row counts when any of its cells is selected), or every row when nothing is
// selected. Cells are the texts a cell edits (a computed number whole, not as rounded to be
// read), with the locale's decimal separator.
QString TableRowsText(const QAbstractItemView* view);

// Puts TableRowsText on the clipboard.
void CopyTableRows(const QAbstractItemView* view);

// Gives the view a "Копировать" action (Ctrl+C while the view has the focus) in its context
// menu; the view's context menu then lists its actions.
QAction* AddCopyRowsAction(QAbstractItemView* view);

// The two forms of a room's CSV file.
enum class CsvForm {
    // For a Russian spreadsheet: UTF-8 with a byte-order mark, ";" between cells, a Russian
    // header naming each quantity with its unit, numbers as the window shows them (0,15).
    Spreadsheet,
    // The runner's room_N.csv: "," between cells, short column names, decimal point, every
    // number the shortest text that reads back to the same double.
    Plain,
};

// Room `room` (0-based) of the scenario as a CSV file of the given form, one row per sample:
// its time and the 14 recorded values. Written whole or not at all: a failed write leaves any
// earlier file as it was. Returns why it failed, empty on success.
QString SaveRoomCsv(const zf::TzoneMath& zm, int room, const QString& path, CsvForm form = CsvForm::Plain);

// The spreadsheet form's text (see CsvForm::Spreadsheet), without the byte-order mark.
QString SpreadsheetRoomCsv(const zf::TzoneMath& zm, int room);

// "Расчет остановлен на 12,5 с" after a run the user stopped, empty otherwise: the caption's note.
QString StoppedRunNote(const zf::TzoneMath& zm);
// The banner over a stopped or failed run's results (zfreport::RunEndBanner), empty otherwise.
QString RunEndBannerText(const zf::TzoneMath& zm);
