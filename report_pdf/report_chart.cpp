#include "report_chart.h"

#include <QFontMetricsF>
#include <QList>
#include <QLocale>
#include <QPainter>
#include <QPainterPath>
#include <QPointF>
#include <algorithm>
#include <cmath>
#include <optional>
#include <vector>

#include "chart_quantities.h"
#include "number_text.h"
#include "program_font.h"
#include "report_html.h"
#include "sample_csv.h"
#include "model/scenario.h"

namespace {

constexpr double kPad = 8;        // between the chart's edges and what it draws [px]
constexpr double kTick = 5;       // the length of a tick mark [px]
constexpr double kMarkerSize = 9; // the critical-time point's square [px]
const QColor kGridColour(0xC0, 0xC0, 0xC0);
const QColor kCurveColour(1, 73, 116);

// A "nice" number near x: 1, 2, 5 or 10 times a power of ten, at least x when `ceiling`, the
// nearest otherwise.
double NiceNumber(double x, bool ceiling) {
    const double z = std::pow(10.0, std::floor(std::log10(x)));
    const double q = x / z;
    if (ceiling) return (q <= 1.0 ? 1.0 : q <= 2.0 ? 2.0 : q <= 5.0 ? 5.0 : 10.0) * z;
    return (q < 1.5 ? 1.0 : q < 3.0 ? 2.0 : q < 7.0 ? 5.0 : 10.0) * z;
}

// What one chart shows: the curve, the limit and its critical time, the working-zone height.
struct ChartContent {
    QList<QPointF> Curve;
    std::optional<double> Limit;     // a hazard factor's critical value
    double Reached = 0;              // its critical time; 0: never reached
    std::optional<double> WorkingZone;
    QString AxisTitle;
    QString Unit;                    // the quantity's unit as printed
    ChartAxis X, Y;
};

// The points (time, value) of one room's samples, each at the middle of its sampling interval.
QList<QPointF> Curve(const zf::TzoneMath& zm, const zf::TRoom& room, int element) {
    QList<QPointF> points;
    const int count = std::max(zm.SampleCount, 0);
    for (int m = 0; m < count; ++m) {
        const auto at = static_cast<std::size_t>(m);
        points.append(QPointF(zfreport::SampleTime(zm, m), at < room.Samples.size() ? room.Samples[at][element] : 0.0));
    }
    return points;
}

// Both axes span every point shown; a hazard chart also takes in the limit (down to the time
// axis at the critical time) and the time axis from 0; the interface height's chart takes in
// the working-zone height.
void FitAxes(ChartContent& c) {
    QList<QPointF> all{QPointF(0, c.Limit ? 0.0 : (c.Curve.isEmpty() ? 0.0 : c.Curve.first().y()))};
    all += c.Curve;
    if (c.Limit) all += c.Reached > 0 ? QList<QPointF>{{0, *c.Limit}, {c.Reached, *c.Limit}, {c.Reached, 0}}
                                      : QList<QPointF>{{0, *c.Limit}};
    double xMin = 0, xMax = 0, yMin = 0, yMax = 0;
    bool any = false;
    for (const QPointF& p : all) {
        if (!std::isfinite(p.x()) || !std::isfinite(p.y())) continue;
        xMin = any ? std::min(xMin, p.x()) : p.x();
        xMax = any ? std::max(xMax, p.x()) : p.x();
        yMin = any ? std::min(yMin, p.y()) : p.y();
        yMax = any ? std::max(yMax, p.y()) : p.y();
        any = true;
    }
    if (xMax <= xMin) xMax = xMin + 1;
    if (yMax <= yMin) {
        const double pad = yMin == 0 ? 1.0 : std::fabs(yMin) * 0.1;
        yMin -= pad;
        yMax += pad;
    }
    c.X = NiceAxis(xMin, xMax);
    c.Y = NiceAxis(yMin, yMax);
    if (c.WorkingZone && (*c.WorkingZone < c.Y.Min || *c.WorkingZone > c.Y.Max))
        c.Y = NiceAxis(std::min(c.Y.Min, *c.WorkingZone), std::max(c.Y.Max, *c.WorkingZone), c.Y.Ticks);
}

ChartContent Content(zf::TzoneMath& zm, int room, bool hazard, int index) {
    const zfreport::QuantityView& view = zfreport::ViewOf(hazard, index);
    ChartContent c;
    c.AxisTitle = QString::fromUtf8(view.Label);
    c.Unit = c.AxisTitle.section(QStringLiteral(", "), 1);
    const bool shown = room >= 0 && room < zm.RoomCount();
    if (shown) c.Curve = Curve(zm, zm.Room(room), view.Element);
    if (hazard && shown) {
        const auto kind = static_cast<zf::HazardKind>(&view - zfreport::kHazardViews);
        c.Limit = zm.CritOf(kind);
        c.Reached = zm.Room(room).CritTimeOf(kind);
    }
    if (!hazard && view.Element == zfreport::kParameterViews[zfreport::kInterfaceHeightItem].Element) c.WorkingZone = zm.hr;
    FitAxes(c);
    return c;
}

// The tick labels' decimals: one more than the step's first significant digit needs.
QString TickText(double value, const ChartAxis& axis) {
    const double step = (axis.Max - axis.Min) / std::max(axis.Ticks - 1, 1);
    const int decimals = std::max(static_cast<int>(-std::floor(std::log10(step))), 0) + 1;
    return QLocale().toString(value, 'f', decimals);
}

// The chart's geometry: where the plot stands and how values map onto it.
struct Frame {
    QRectF Plot;
    ChartAxis X, Y;
    QRectF Target;  // the whole chart
    QPointF At(double x, double y) const {
        return {Plot.left() + (x - X.Min) / (X.Max - X.Min) * Plot.width(),
                Plot.bottom() - (y - Y.Min) / (Y.Max - Y.Min) * Plot.height()};
    }
};

Frame PlaceFrame(const QRectF& target, const ChartContent& c, int legendRows) {
    const QFontMetricsF labels(ProgramFont(8)), titles(ProgramFont(9));
    double widest = 0;
    for (int i = 0; i < c.Y.Ticks; ++i)
        widest = std::max(widest, labels.horizontalAdvance(TickText(c.Y.Min + i * (c.Y.Max - c.Y.Min) / (c.Y.Ticks - 1), c.Y)));
    const double left = kPad + titles.height() + kPad / 2 + widest + kTick;
    const double legend = legendRows > 0 ? legendRows * titles.height() + kPad / 2 : 0;
    const double bottom = kPad + kTick + labels.height() + titles.height() + legend;
    const double right = kPad + labels.horizontalAdvance(TickText(c.X.Max, c.X)) / 2;
    return {target.adjusted(left, kPad + labels.height() / 2, -right, -bottom), c.X, c.Y, target};
}

void DrawAxes(QPainter& painter, const Frame& f) {
    const QFontMetricsF labels(ProgramFont(8));
    painter.setFont(ProgramFont(8));
    for (int i = 0; i < f.X.Ticks; ++i) {
        const double x = f.X.Min + i * (f.X.Max - f.X.Min) / (f.X.Ticks - 1);
        const QPointF at = f.At(x, f.Y.Min);
        painter.setPen(QPen(kGridColour, 1));
        painter.drawLine(QPointF(at.x(), f.Plot.top()), at);
        painter.setPen(Qt::darkGray);
        painter.drawLine(at, at + QPointF(0, kTick));
        const QString text = TickText(x, f.X);
        painter.setPen(Qt::black);
        // The first label starts at the axis, clear of the value axis's lowest label.
        const QRectF box = i == 0 ? QRectF(at.x(), at.y() + kTick, 100, labels.height())
                                  : QRectF(at.x() - 50, at.y() + kTick, 100, labels.height());
        painter.drawText(box, (i == 0 ? Qt::AlignLeft : Qt::AlignHCenter) | Qt::AlignTop, text);
    }
    for (int i = 0; i < f.Y.Ticks; ++i) {
        const double y = f.Y.Min + i * (f.Y.Max - f.Y.Min) / (f.Y.Ticks - 1);
        const QPointF at = f.At(f.X.Min, y);
        painter.setPen(QPen(kGridColour, 1));
        painter.drawLine(at, QPointF(f.Plot.right(), at.y()));
        painter.setPen(Qt::darkGray);
        painter.drawLine(at - QPointF(kTick, 0), at);
        painter.drawLine(QPointF(f.Plot.right(), at.y()), QPointF(f.Plot.right() + kTick, at.y()));
        painter.setPen(Qt::black);
        painter.drawText(QRectF(at.x() - kTick - 200 - 2, at.y() - labels.height() / 2, 200, labels.height()),
                         Qt::AlignRight | Qt::AlignVCenter, TickText(y, f.Y));
    }
    painter.setPen(Qt::darkGray);
    painter.drawLine(f.Plot.bottomLeft(), f.Plot.bottomRight());
    painter.drawLine(f.Plot.topLeft(), f.Plot.bottomLeft());
    painter.drawLine(f.Plot.topRight(), f.Plot.bottomRight());
}

void DrawAxisTitles(QPainter& painter, const Frame& f, const ChartContent& c) {
    const QFontMetricsF labels(ProgramFont(8)), titles(ProgramFont(9));
    painter.setFont(ProgramFont(9));
    painter.setPen(Qt::black);
    const double below = f.Plot.bottom() + kTick + labels.height();
    painter.drawText(QRectF(f.Plot.left(), below, f.Plot.width(), titles.height()), Qt::AlignCenter,
                     QString::fromUtf8(zfreport::kPrintTimeTitle));
    // The value axis's title reads upwards along the left edge.
    painter.save();
    painter.translate(f.Target.left() + kPad, f.Plot.center().y());
    painter.rotate(-90);
    painter.drawText(QRectF(-f.Plot.height() / 2, 0, f.Plot.height(), titles.height()), Qt::AlignCenter, c.AxisTitle);
    painter.restore();
}

// The curve, broken where a value is no number.
void DrawCurve(QPainter& painter, const Frame& f, const QList<QPointF>& curve) {
    QPainterPath path;
    bool open = false;
    for (const QPointF& p : curve) {
        if (!std::isfinite(p.x()) || !std::isfinite(p.y())) {
            open = false;
            continue;
        }
        if (open) path.lineTo(f.At(p.x(), p.y()));
        else path.moveTo(f.At(p.x(), p.y()));
        open = true;
    }
    painter.setPen(QPen(kCurveColour, 2));
    painter.setBrush(Qt::NoBrush);
    painter.drawPath(path);
}

// A horizontal reference line across the whole plot. Its words stand in the legend under the
// chart, where they cover neither the curve nor another label.
void DrawReferenceLine(QPainter& painter, const Frame& f, double value, const QPen& pen) {
    const double y = f.At(f.X.Min, value).y();
    painter.save();
    painter.setPen(pen);
    painter.drawLine(QPointF(f.Plot.left(), y), QPointF(f.Plot.right(), y));
    painter.restore();
}

// The critical time: the limit's drop to the time axis and its point; its value is in the legend.
void DrawCriticalTime(QPainter& painter, const Frame& f, double limit, double reached) {
    const QPointF point = f.At(reached, limit);
    painter.setPen(QPen(Qt::red, 1, Qt::DotLine));
    painter.drawLine(point, f.At(reached, f.Y.Min));
    painter.fillRect(QRectF(point - QPointF(kMarkerSize / 2, kMarkerSize / 2), QSizeF(kMarkerSize, kMarkerSize)), Qt::red);
}

// One row of the legend: how the line or point is drawn, and what it means.
struct LegendRow {
    QPen Pen;          // a line's pen; Qt::NoPen: a red point
    QString Text;
};

std::vector<LegendRow> Legend(const ChartContent& c) {
    std::vector<LegendRow> rows;
    if (c.Limit && c.Reached > 0) {
        rows.push_back({QPen(Qt::red, 1.2, Qt::DashLine),
                        QStringLiteral("критическое значение %1 %2").arg(zfpdf::PowerOfTen(FormatGeneral(*c.Limit)), c.Unit)});
        rows.push_back({QPen(Qt::NoPen), QStringLiteral("%1: %2 с").arg(QString::fromUtf8(zfreport::kCritSeriesName),
                                                                          FormatGeneral(c.Reached))});
    } else if (c.Limit) {
        rows.push_back({QPen(Qt::red, 1, Qt::DotLine), QStringLiteral("критическое значение %1 %2 (%3)")
                                                           .arg(zfpdf::PowerOfTen(FormatGeneral(*c.Limit)), c.Unit,
                                                                QString::fromUtf8(zfreport::kLimitNotReached).toLower())});
    }
    if (c.WorkingZone)
        rows.push_back({QPen(QColor(0, 110, 0), 1.2, Qt::DashDotLine),
                        QStringLiteral("высота рабочей зоны hr = %1 м").arg(FormatGeneral(*c.WorkingZone))});
    return rows;
}

// Under the time axis's title, one row per line or point: its sample, then its meaning; the
// rows' block centred under the plot.
void DrawLegend(QPainter& painter, const QRectF& target, const Frame& f, const std::vector<LegendRow>& rows) {
    const QFont font = ProgramFont(9);
    const QFontMetricsF metrics(font);
    constexpr double kSample = 24;  // a line's sample [px]
    double width = 0;
    for (const LegendRow& row : rows) width = std::max(width, kSample + kPad / 2 + metrics.horizontalAdvance(row.Text));
    const double left = std::max(target.left() + kPad, f.Plot.center().x() - width / 2);
    double top = target.bottom() - kPad / 2 - rows.size() * metrics.height();
    painter.setFont(font);
    for (const LegendRow& row : rows) {
        const double middle = top + metrics.height() / 2;
        if (row.Pen.style() == Qt::NoPen) {
            painter.fillRect(QRectF(left + (kSample - kMarkerSize) / 2, middle - kMarkerSize / 2, kMarkerSize, kMarkerSize), Qt::red);
        } else {
            painter.setPen(row.Pen);
            painter.drawLine(QPointF(left, middle), QPointF(left + kSample, middle));
        }
        painter.setPen(Qt::black);
        painter.drawText(QRectF(left + kSample + kPad / 2, top, target.right() - left - kSample, metrics.height()),
                         Qt::AlignLeft | Qt::AlignVCenter, row.Text);
        top += metrics.height();
    }
}

}  // namespace

ChartAxis NiceAxis(double min, double max, int ticks) {
    const double range = NiceNumber(max - min, true);
    const double step = NiceNumber(range / (ticks - 1), false);
    const double low = std::floor(min / step), high = std::ceil(max / step);
    return {low * step, high * step, static_cast<int>(high - low) + 1};
}

void PaintReportChart(QPainter& painter, const QRectF& target, zf::TzoneMath& zm, int room, bool hazard, int index) {
    const ChartContent c = Content(zm, room, hazard, index);
    const bool point = c.Limit && c.Reached > 0;
    const std::vector<LegendRow> legend = Legend(c);
    const Frame f = PlaceFrame(target, c, static_cast<int>(legend.size()));
    painter.save();
    painter.fillRect(target, Qt::white);
    DrawAxes(painter, f);
    DrawAxisTitles(painter, f, c);
    painter.setClipRect(f.Plot.adjusted(-kMarkerSize, -kMarkerSize, kMarkerSize, kMarkerSize));
    DrawCurve(painter, f, c.Curve);
    if (c.Limit) DrawReferenceLine(painter, f, *c.Limit, point ? QPen(Qt::red, 1.2, Qt::DashLine) : QPen(Qt::red, 1, Qt::DotLine));
    if (c.WorkingZone) DrawReferenceLine(painter, f, *c.WorkingZone, QPen(QColor(0, 110, 0), 1.2, Qt::DashDotLine));
    if (point) DrawCriticalTime(painter, f, *c.Limit, c.Reached);
    painter.setClipping(false);
    DrawLegend(painter, target, f, legend);
    painter.restore();
}
