#include "result_chart.h"

#include <QChart>
#include <QChartView>
#include <QGraphicsLayout>
#include <QGraphicsTextItem>
#include <QLegend>
#include <QLegendMarker>
#include <QLineSeries>
#include <QLocale>
#include <QMouseEvent>
#include <QPainter>
#include <QScatterSeries>
#include <QTextDocument>
#include <QTextOption>
#include <QValueAxis>
#include <algorithm>
#include <cmath>

#include "chart_quantities.h"
#include "number_text.h"
#include "program_font.h"
#include "sample_csv.h"
#include "model/scenario.h"

using zfreport::kCritSeriesName;
using zfreport::kLimitNotReached;
using zfreport::kTimeTitle;

namespace {

// The critical time beside its point: bold black text on a white box, no arrow.
class TCritTimeLabel : public QGraphicsTextItem {
public:
    using QGraphicsTextItem::QGraphicsTextItem;
    void paint(QPainter* painter, const QStyleOptionGraphicsItem* option, QWidget* widget) override {
        painter->setPen(QPen(Qt::black, 1));
        painter->setBrush(Qt::white);
        painter->drawRect(boundingRect().adjusted(0.5, 0.5, -0.5, -0.5));
        QGraphicsTextItem::paint(painter, option, widget);
    }
};

}  // namespace

// The points (time, value) of one room's samples, each at the middle of its sampling interval
// (the same times the runner's files carry). Samples the run never sized read as zeros.
QList<QPointF> SamplePoints(const zf::TzoneMath& zm, const zf::TRoom* room, int element) {
    QList<QPointF> points;
    if (room == nullptr) return points;
    const int count = std::max(zm.SampleCount, 0);
    points.reserve(count);
    for (int m = 0; m < count; ++m) {
        const auto at = static_cast<std::size_t>(m);
        const double y = at < room->Samples.size() ? room->Samples[at][element] : 0.0;
        points.append(QPointF(zfreport::SampleTime(zm, m), y));
    }
    return points;
}

TResultChart::TResultChart(QChartView* view) : QObject(view), View_(view) {
    Chart_ = new QChart();
    Chart_->setBackgroundBrush(Qt::white);
    Chart_->setBackgroundRoundness(0);
    Chart_->layout()->setContentsMargins(0, 0, 0, 0);
    Chart_->setLocalizeNumbers(true);
    QFont legendFont = ProgramFont(9);
    legendFont.setItalic(true);
    Chart_->legend()->setFont(legendFont);
    Chart_->legend()->setAlignment(Qt::AlignBottom);

    SetUpAxes();
    SetUpSeries();
    SetUpLabels();

    // The view made a chart of its own, which setChart releases without deleting.
    QChart* const madeByTheView = View_->chart();
    View_->setChart(Chart_);
    delete madeByTheView;
    View_->setRenderHint(QPainter::Antialiasing);
    View_->setRubberBand(QChartView::RectangleRubberBand);
    // A double click undoes the zoom: the right button keeps the context menu.
    Viewport_ = View_->viewport();
    Viewport_->installEventFilter(this);
}

void TResultChart::SetUpAxes() {
    AxisX_ = new QValueAxis(Chart_);
    AxisY_ = new QValueAxis(Chart_);
    AxisY2_ = new QValueAxis(Chart_);
    AxisX_->setTitleText(kTimeTitle);
    AxisY2_->setLabelsVisible(false);
    for (QValueAxis* axis : {AxisX_, AxisY_, AxisY2_}) axis->setGridLineColor(QColor(0xC0, 0xC0, 0xC0));
    AxisY2_->setGridLineVisible(false);
    Chart_->addAxis(AxisX_, Qt::AlignBottom);
    Chart_->addAxis(AxisY_, Qt::AlignLeft);
    Chart_->addAxis(AxisY2_, Qt::AlignRight);
}

void TResultChart::SetUpSeries() {
    Series1_ = new QLineSeries(Chart_);
    Series1_->setObjectName(QStringLiteral("Series1"));
    Series1_->setPen(QPen(QColor(1, 73, 116), 2));
    Series2_ = new QLineSeries(Chart_);
    Series2_->setObjectName(QStringLiteral("Series2"));
    Series2_->setName(kCritSeriesName);
    Series2_->setPen(QPen(Qt::red, 1, Qt::DotLine));
    Series4_ = new QScatterSeries(Chart_);
    Series4_->setObjectName(QStringLiteral("Series4"));
    Series4_->setName(kCritSeriesName);
    Series4_->setMarkerShape(QScatterSeries::MarkerShapeRectangle);
    Series4_->setMarkerSize(9);
    Series4_->setBrush(Qt::red);
    Series4_->setPen(Qt::NoPen);
    for (QXYSeries* series : {static_cast<QXYSeries*>(Series1_), static_cast<QXYSeries*>(Series2_),
                              static_cast<QXYSeries*>(Series4_)}) {
        Chart_->addSeries(series);
        series->attachAxis(AxisX_);
        series->attachAxis(AxisY_);
    }
    // The two lines are scaled against the right axis as well, which mirrors the left one.
    Series1_->attachAxis(AxisY2_);
    Series2_->attachAxis(AxisY2_);
    Series2_->setVisible(false);
    Series4_->setVisible(false);
    ShowOnlySeries4InLegend();
}

void TResultChart::SetUpLabels() {
    // The chart's own title is always centred and cut off when long; this one starts at the
    // left and wraps, and the chart keeps room for it above the plot.
    Title_ = new QGraphicsTextItem(Chart_);
    Title_->setObjectName(QStringLiteral("ChartTitle"));
    Title_->setFont(ProgramFont(10, QFont::Bold));
    Title_->setDefaultTextColor(Qt::darkGray);
    // Lines break between words only: a word wider than the chart runs past its edge rather
    // than being cut in two.
    QTextOption wrap = Title_->document()->defaultTextOption();
    wrap.setWrapMode(QTextOption::WordWrap);
    Title_->document()->setDefaultTextOption(wrap);
    connect(Chart_, &QGraphicsWidget::geometryChanged, this, &TResultChart::LayoutTitle);

    CritLabel_ = new TCritTimeLabel(Chart_);
    CritLabel_->setObjectName(QStringLiteral("Series4Label"));
    CritLabel_->setFont(ProgramFont(9, QFont::Bold));
    CritLabel_->setDefaultTextColor(Qt::black);
    CritLabel_->setZValue(100);  // above the series
    CritLabel_->hide();
    connect(Chart_, &QChart::plotAreaChanged, this, &TResultChart::PlaceCritLabel);
    connect(AxisX_, &QValueAxis::rangeChanged, this, &TResultChart::PlaceCritLabel);
    connect(AxisY_, &QValueAxis::rangeChanged, this, &TResultChart::PlaceCritLabel);
}

bool TResultChart::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::MouseButtonDblClick && watched == Viewport_ &&
        static_cast<QMouseEvent*>(event)->button() == Qt::LeftButton) {
        Chart_->zoomReset();
        return true;
    }
    return QObject::eventFilter(watched, event);
}

QString UnbrokenRoomNumber(QString caption) {
    // "Помещение №10": the word and its number stay on one line.
    return caption.replace(QStringLiteral("Помещение №"), QStringLiteral("Помещение\u00A0№"));
}

QString TResultChart::Title() const { return Title_->toPlainText(); }

void TResultChart::SetTitle(const QString& title) {
    Title_->setPlainText(title);
    LayoutTitle();
}

void TResultChart::Draw(const zf::TzoneMath& zm, const zf::TRoom* room, const ResultView& view) {
    Chart_->zoomReset();
    Series1_->clear();
    Series2_->clear();
    Series4_->clear();
    const bool hazard = view.Hazard >= 0;
    Series2_->setVisible(hazard);
    Series4_->setVisible(hazard);
    UnreachedLimit_.reset();

    AxisX_->setTitleText(kTimeTitle);
    Title_->setPlainText(view.Title);
    LayoutTitle();
    AxisY_->setTitleText(view.Label);

    Series1_->replace(SamplePoints(zm, room, view.Element));
    if (hazard && room != nullptr) SetLimit(zm, *room, view.Hazard);
    ShowOnlySeries4InLegend();
    FitAxes(hazard);
    if (UnreachedLimit_) Series2_->replace({QPointF(AxisX_->min(), *UnreachedLimit_), QPointF(AxisX_->max(), *UnreachedLimit_)});
    PlaceCritLabel();
}

// The limit across the chart: down to the time axis at the critical time, with its point, or
// across the whole time axis when the room never reached it.
void TResultChart::SetLimit(const zf::TzoneMath& zm, const zf::TRoom& room, int hazard) {
    const auto kind = static_cast<zf::HazardKind>(hazard);
    const double c = zm.CritOf(kind);          // the limit
    const double t = room.CritTimeOf(kind);   // 0: the limit was not reached
    if (t == 0) {
        // Not "from the first second": no point, the limit across the whole time axis.
        UnreachedLimit_ = c;
        Series2_->replace({QPointF(0, c)});
        CritLabel_->setPlainText(kLimitNotReached);
    } else {
        Series2_->replace({QPointF(0, c), QPointF(t, c), QPointF(t, 0)});
        Series4_->append(t, c);
        CritLabel_->setPlainText(FormatShown(t));
    }
}

// Both axes span all points shown; a hazard chart also takes in the limit and the time axis.
// The ranges are then rounded outward to readable tick values.
void TResultChart::FitAxes(bool withLimit) {
    double xMin = 0, xMax = 0, yMin = 0, yMax = 0;
    bool any = false;
    auto take = [&](const QPointF& p) {
        if (!std::isfinite(p.x()) || !std::isfinite(p.y())) return;
        if (!any) {
            xMin = xMax = p.x();
            yMin = yMax = p.y();
            any = true;
            return;
        }
        xMin = std::min(xMin, p.x());
        xMax = std::max(xMax, p.x());
        yMin = std::min(yMin, p.y());
        yMax = std::max(yMax, p.y());
    };
    take(QPointF(0, withLimit ? 0.0 : (Series1_->count() > 0 ? Series1_->at(0).y() : 0.0)));
    for (const QPointF& p : Series1_->points()) take(p);
    if (withLimit)
        for (const QPointF& p : Series2_->points()) take(p);
    if (xMax <= xMin) xMax = xMin + 1;
    if (yMax <= yMin) {
        const double pad = yMin == 0 ? 1.0 : std::fabs(yMin) * 0.1;
        yMin -= pad;
        yMax += pad;
    }
    AxisX_->setRange(xMin, xMax);
    AxisX_->applyNiceNumbers();
    AxisY_->setRange(yMin, yMax);
    AxisY_->applyNiceNumbers();
    AxisY2_->setRange(AxisY_->min(), AxisY_->max());
}

void TResultChart::LayoutTitle() {
    constexpr qreal kPad = 8;  // between the title and the chart's edges [px]
    Title_->setTextWidth(std::max<qreal>(Chart_->size().width() - 2 * kPad, 100));
    Title_->setPos(kPad, kPad / 2);
    // A chart printed under its own caption has no title: the plot then starts near the top.
    const int top = Title_->isVisible() ? static_cast<int>(std::ceil(kPad / 2 + Title_->boundingRect().height()))
                                        : static_cast<int>(kPad);
    QMargins margins = Chart_->margins();
    if (margins.top() != top) {
        margins.setTop(top);
        Chart_->setMargins(margins);
    }
}

// Keeps the critical-time label beside its point and inside the plot area, also after a
// zoom or a change of the window's size.
void TResultChart::PlaceCritLabel() {
    const bool point = Series4_->isVisible() && Series4_->count() > 0;
    if (!point && !(Series2_->isVisible() && UnreachedLimit_)) {
        CritLabel_->hide();
        return;
    }
    const QRectF area = Chart_->plotArea();
    // An unreached limit is labelled at the right end of its line, as far as the plot shows it.
    const QPointF at = point ? Chart_->mapToPosition(Series4_->at(0), Series4_)
                             : QPointF(area.right(), Chart_->mapToPosition(QPointF(0, *UnreachedLimit_), Series2_).y());
    if (!area.adjusted(-1, -1, 1, 1).contains(at)) {
        CritLabel_->hide();
        return;
    }
    const QSizeF size = CritLabel_->boundingRect().size();
    constexpr double kGap = 6;  // between the point and the box [px]
    double x = at.x() + kGap;
    if (x + size.width() > area.right()) x = std::max(area.left(), at.x() - kGap - size.width());
    double y = at.y() - kGap - size.height();
    if (y < area.top()) y = at.y() + kGap;
    CritLabel_->setPos(x, y);
    CritLabel_->show();
}

// The legend explains only the critical-time point, and is left out of a chart without one
// (also of a hazard chart whose limit was never reached).
// Showing a series makes its marker visible again, so this follows every change of visibility.
void TResultChart::ShowOnlySeries4InLegend() {
    const bool point = Series4_->isVisible() && Series4_->count() > 0;
    for (QLegendMarker* marker : Chart_->legend()->markers())
        marker->setVisible(point && marker->series() == Series4_);
    Chart_->legend()->setVisible(point);
}

