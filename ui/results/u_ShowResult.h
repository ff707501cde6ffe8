#pragma once
// The results window: per room, the recorded layer parameters and hazard factors of the
// finished calculation as a chart or a table, with the limit and the critical time marked.
// In parts: the window and its lists (u_ShowResult.cpp), the chart (result_chart.h), the table
// (result_table.h), taking results away (result_window_export.cpp, result_export.h) and the
// buttons of the summary, the restored building and the report (result_window_summary.cpp).
#include <QDialog>
#include <QStringList>
#include <functional>
#include <memory>
#include <optional>
#include <utility>

#include "chart_picture.h"
#include "report_pdf.h"
#include "verdict.h"

class QTabWidget;
class QComboBox;
class QAction;
class QToolButton;
class QImage;
class TF_CritTimes;
class TRadioGroup;
class TResultChart;
class TResultGridModel;
struct ResultView;
namespace zf { class TRoom; }
namespace zf { class TzoneMath; }

namespace Ui { class TF_ShowResult; }

class TF_ShowResult : public QDialog {
    Q_OBJECT
public:
    explicit TF_ShowResult(QWidget* parent = nullptr);
    ~TF_ShowResult() override;

    // Before each showing: first pages active, both room lists refilled from the scenario
    // with room 1 selected, then one drawing. The radio lists keep their selections. The
    // window draws from this scenario until it is hidden.
    void PrepareResults(zf::TzoneMath& zm);
    // Draws the one view that is visible (page, room, quantity, chart or table) from the
    // scenario's samples, then adjusts the radio lists to the room shown.
    void DrawResults(zf::TzoneMath& zm);
    // The chart's title for a quantity of either list (`hazard` false: the layer parameters,
    // index 0..5; true: the hazard factors, index by zf::HazardKind), as the report's captions say it.
    static QString ChartTitle(bool hazard, int index);

    // The evacuation inputs the critical-times summary judges the rooms with.
    void SetEvacuationInputs(const zfreport::EvacuationInputs& inputs);
    // What the report says of the scenario besides its results (title, notes, room names,
    // evacuation inputs, the file); also sets the evacuation inputs.
    void SetDescription(const ScenarioDescription& description);

    // Where to save a file: the dialog's caption, a suggested file name and the file types
    // offered ("Рисунок PNG (*.png)"); returns the path chosen, empty when cancelled, and sets
    // the type chosen. Asks with a file dialog unless replaced (tests answer without one).
    using SavePathAsker = std::function<QString(const QString& caption, const QString& suggestedName,
                                                const QStringList& filters, QString* chosenFilter)>;
    void SetSavePathAsker(SavePathAsker asker);
    // Tells the user why a file could not be written; a message box unless replaced.
    using ErrorReporter = std::function<void(const QString& message)>;
    void SetErrorReporter(ErrorReporter reporter);
    // Asks the width, height and resolution of a saved chart (chart_picture.h), opening with
    // the size given and changing it; false when cancelled. A dialog unless replaced.
    using PictureSizeAsker = std::function<bool(ChartPictureSize& size)>;
    void SetPictureSizeAsker(PictureSizeAsker asker);

    // The chart's and the table's context menus, and the critical-times button. Each works
    // on what is shown, and does nothing when no scenario is.
    void SaveChartAs();         // "Сохранить график...": PNG or SVG
    void CopyChart();           // "Копировать график": the chart as an image
    void CopyTable();           // "Копировать": the selected rows, or all, with the header row
    void SaveTableCsvAs();      // "Сохранить в CSV...": the shown room's 14 values per sample
    void btnCritTimesClick();   // "Критические времена": the summary of every room
    // "Вернуть здание последнего расчета" closes the window and asks the main window to put the
    // calculated building back; true once after it was pressed.
    bool TakeRestoreRequest() { return std::exchange(RestoreRequested_, false); }
    void SaveReportAs();        // "Отчет...": the PDF report of the scenario shown

    // User events; each redraws the current scenario, and does nothing when there is none.
    void RadioResultsClick();       // RadioResults, RadioOFP
    void ComboResultRoomsChange();  // ComboResultRooms, ComboOFPRooms
    void PageAllResultsChange();    // PageAllResults
    void PageResultsChange();       // PageResults, PageOFP

protected:
    void hideEvent(QHideEvent* event) override;

private:
    void DrawTable(const zf::TzoneMath& zm, const zf::TRoom* room, const ResultView& view, QWidget* tab);
    void AdjustRadioLists(int room);
    void RedrawCurrent();
    void SetUpExport();
    void SetUpCornerButtons();
    QString AskSavePath(const QString& caption, const QString& suggestedName, const QStringList& filters,
                        QString* chosenFilter);
    void ReportError(const QString& message);
    QImage WithRoomInTitle(const std::function<QImage()>& take);

    std::unique_ptr<Ui::TF_ShowResult> ui;
    TResultChart* Chart_ = nullptr;     // owned by ChartResult
    TResultGridModel* GridModel_ = nullptr;
    // The main window's scenario, set by PrepareResults and forgotten when the window is
    // hidden: the main window discards the scenario afterwards.
    zf::TzoneMath* Scenario_ = nullptr;

    // What the last drawing showed: the room (-1 for none) and the quantity's sample element.
    int ShownRoom_ = -1;
    int ShownElement_ = 0;
    QString ShownFileWord_;  // the quantity shown, as a word of a file name
    QString Caption_;  // the window's own caption, before any note of a stopped run
    QToolButton* BtnCritTimes_ = nullptr;  // beside the page tabs, on both pages
    QToolButton* BtnRestoreBuilding_ = nullptr;  // beside it
    bool RestoreRequested_ = false;
    TF_CritTimes* CritTimes_ = nullptr;    // created at the first opening
    SavePathAsker SavePathAsker_;
    ErrorReporter ErrorReporter_;
    PictureSizeAsker PictureSizeAsker_;
    QString SaveDir_;  // the folder last saved into
    QToolButton* BtnReport_ = nullptr;     // beside the summary's button
    ScenarioDescription Description_;
};
