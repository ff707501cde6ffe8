#pragma once
// The results window's chart: one room's quantity over time in a chart view, with a title that
// starts at the left and wraps, and for a hazard factor its limit down to the time axis at the
// critical time, the point (critical time, limit) with its value beside it, and a legend that
// explains only that point. A rubber band zooms; a double click undoes the zoom.
#include <QList>
#include <QObject>
#include <QPointF>
#include <QString>
#include <optional>

class QChart;
class QChartView;
class QLineSeries;
class QScatterSeries;
class QValueAxis;
class QGraphicsTextItem;
namespace zf { class TRoom; class TzoneMath; }

// What a chart or a table shows of a room: the quantity's title and axis label, the position
// of its value in a recorded sample, and for a hazard factor its zf::HazardKind.
struct ResultView {
    QString Title;
    QString Label;
    int Element = 0;
    int Hazard = -1;  // -1 for a layer parameter
};

// The points (time, value) of one room's samples, each at the middle of its sampling interval
// (the same times the runner's files carry); none without a room.
QList<QPointF> SamplePoints(const zf::TzoneMath& zm, const zf::TRoom* room, int element);

// "Помещение №10 — Коридор" with the word and its number joined by a non-breaking space, so
// a wrapped title never parts them.
QString UnbrokenRoomNumber(QString caption);

class TResultChart : public QObject {
    Q_OBJECT
public:
    // Builds the chart into `view`, which owns it from then on.
    explicit TResultChart(QChartView* view);

    // Draws `view` of `room` (none: an empty chart) from the scenario's samples.
    void Draw(const zf::TzoneMath& zm, const zf::TRoom* room, const ResultView& view);
    // The title shown (a saved picture names the room in it, and gives it back afterwards).
    QString Title() const;
    void SetTitle(const QString& title);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void SetUpAxes();
    void SetUpSeries();
    void SetUpLabels();
    void SetLimit(const zf::TzoneMath& zm, const zf::TRoom& room, int hazard);
    void FitAxes(bool withLimit);
    void LayoutTitle();
    void PlaceCritLabel();
    void ShowOnlySeries4InLegend();

    QChartView* View_;
    // The view's viewport as it was when the filter was put on it: the filter compares against
    // this pointer, because while the view is being destroyed it is no longer a scroll area and
    // asking it for its viewport is undefined.
    QObject* Viewport_ = nullptr;
    QChart* Chart_ = nullptr;           // owned by the view
    QLineSeries* Series1_ = nullptr;    // the quantity over time
    QLineSeries* Series2_ = nullptr;    // the limit, down to the time axis at the critical time
    QScatterSeries* Series4_ = nullptr; // the point (critical time, limit)
    QValueAxis* AxisX_ = nullptr;       // time, bottom
    QValueAxis* AxisY_ = nullptr;       // the quantity, left
    QValueAxis* AxisY2_ = nullptr;      // the same range on the right, without labels
    QGraphicsTextItem* Title_ = nullptr;      // left-aligned, wrapped when long
    QGraphicsTextItem* CritLabel_ = nullptr;  // the critical time beside Series4's point
    // The limit of a hazard chart whose room never reached it; its line spans the time axis.
    std::optional<double> UnreachedLimit_;
};
