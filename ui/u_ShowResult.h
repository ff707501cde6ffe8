#pragma once
// The results window: per room, the recorded layer parameters and hazard factors of the
// finished calculation as a chart or a table, with the limit and the critical time marked.
#include <QDialog>
#include <memory>

class QChart;
class QLineSeries;
class QScatterSeries;
class QValueAxis;
class QGraphicsTextItem;
class QTabWidget;
class QComboBox;
class TRadioGroup;
class TResultGridModel;
class TRoom;
class TzoneMath;

namespace Ui { class TF_ShowResult; }

class TF_ShowResult : public QDialog {
    Q_OBJECT
public:
    explicit TF_ShowResult(QWidget* parent = nullptr);
    ~TF_ShowResult() override;

    // Before each showing: first pages active, both room lists refilled from the scenario
    // with room 1 selected, then one drawing. The radio lists keep their selections. The
    // window draws from this scenario until it is hidden.
    void PrepareResults(TzoneMath& zm);
    // Draws the one view that is visible (page, room, quantity, chart or table) from the
    // scenario's samples, then adjusts the radio lists to the room shown.
    void DrawResults(TzoneMath& zm);

    // User events; each redraws the current scenario, and does nothing when there is none.
    void RadioResultsClick();       // RadioResults, RadioOFP
    void ComboResultRoomsChange();  // ComboResultRooms, ComboOFPRooms
    void PageAllResultsChange();    // PageAllResults
    void PageResultsChange();       // PageResults, PageOFP

protected:
    void hideEvent(QHideEvent* event) override;

private:
    struct View;
    void SetUpChart();
    void SetUpGrid();
    void DrawChart(const TzoneMath& zm, const TRoom* room, const View& view, QWidget* tab);
    void DrawTable(const TzoneMath& zm, const TRoom* room, const View& view, QWidget* tab);
    void FitAxes(bool withLimit);
    void FitColumns();
    void PlaceCritLabel();
    void LayoutTitle();
    void ShowOnlySeries4InLegend();
    void AdjustRadioLists(int room);
    void RedrawCurrent();

    std::unique_ptr<Ui::TF_ShowResult> ui;
    QChart* Chart_ = nullptr;           // owned by ChartResult
    QLineSeries* Series1_ = nullptr;    // the quantity over time
    QLineSeries* Series2_ = nullptr;    // the limit, down to the time axis at the critical time
    QScatterSeries* Series4_ = nullptr; // the point (critical time, limit)
    QValueAxis* AxisX_ = nullptr;       // time, bottom
    QValueAxis* AxisY_ = nullptr;       // the quantity, left
    QValueAxis* AxisY2_ = nullptr;      // the same range on the right, without labels
    QGraphicsTextItem* Title_ = nullptr;      // left-aligned, wrapped when long
    QGraphicsTextItem* CritLabel_ = nullptr;  // the critical time beside Series4's point
    TResultGridModel* GridModel_ = nullptr;
    // The main window's scenario, set by PrepareResults and forgotten when the window is
    // hidden: the main window discards the scenario afterwards.
    TzoneMath* Scenario_ = nullptr;
};
