#include "study_chart.h"

#include <QFontMetricsF>
#include <QLocale>
#include <QPainter>
#include <QPainterPath>
#include <algorithm>
#include <cmath>

#include "program_font.h"
#include "report_chart.h"
#include "study_table.h"

namespace zfpdf {
namespace {

constexpr double kPad = 8;   // between the chart's edges and what it draws [px]
constexpr double kTick = 5;  // the length of a tick mark [px]
const QColor kGridColour(0xC0, 0xC0, 0xC0);

// The top of the value labels under the plot, below the half of the lowest count label that
// hangs under the plot's edge, so the two at the corner never meet [px].
double LabelDrop(const QFontMetricsF& labels) { return std::max(kTick, labels.height() / 2) + 2; }
const QColor kCurveColour(1, 73, 116);

// Ticks of whole counts from 0: a nice axis, or one tick per count when that would split a count.
ChartAxis CountAxis(double most) {
    ChartAxis axis = NiceAxis(0, std::max(most, 1.0));
    if ((axis.Max - axis.Min) / (axis.Ticks - 1) < 1) {
        const double top = std::ceil(std::max(most, 1.0));
        axis = {0, top, static_cast<int>(top) + 1};
    }
    return axis;
}

// The value axis over the values; a sample of one value is widened around it, so it stands
// in the middle of the plot.
ChartAxis ValueAxis(const std::vector<double>& values, int decimals) {
    double lo = values.empty() ? 0.0 : values.front(), hi = values.empty() ? 1.0 : values.back();
    if (hi - lo <= 1e-9 * std::max(1.0, std::fabs(lo))) {
        const double pad = std::max(std::fabs(lo) * 0.05, std::pow(10.0, -decimals));
        lo -= pad;
        hi += pad;
    }
    ChartAxis axis = NiceAxis(lo, hi);
    // A greatest value on the axis's end would draw its step on the frame: leave it room.
    if (axis.Max - hi < 0.02 * (axis.Max - axis.Min)) axis = NiceAxis(lo, hi + 0.05 * (hi - lo));
    return axis;
}

// The tick labels' decimals: as many as the step needs.
QString TickText(double value, const ChartAxis& axis) {
    const double step = (axis.Max - axis.Min) / std::max(axis.Ticks - 1, 1);
    const int decimals = std::max(static_cast<int>(-std::floor(std::log10(step) + 1e-9)), 0);
    return QLocale().toString(value, 'f', decimals);
}

struct Frame {
    QRectF Plot;
    ChartAxis X, Y;
    QPointF At(double x, double y) const {
        return {Plot.left() + (x - X.Min) / (X.Max - X.Min) * Plot.width(),
                Plot.bottom() - (y - Y.Min) / (Y.Max - Y.Min) * Plot.height()};
    }
};

Frame PlaceFrame(const QRectF& target, const ChartAxis& x, const ChartAxis& y, bool legend) {
    const QFontMetricsF labels(ProgramFont(8)), titles(ProgramFont(9));
    double widest = 0;
    for (int i = 0; i < y.Ticks; ++i)
        widest = std::max(widest, labels.horizontalAdvance(TickText(y.Min + i * (y.Max - y.Min) / (y.Ticks - 1), y)));
    const double left = kPad + titles.height() + kPad / 2 + widest + kTick;
    const double bottom = kPad + LabelDrop(labels) + labels.height() + titles.height() + (legend ? titles.height() + kPad / 2 : 0);
    const double right = kPad + labels.horizontalAdvance(TickText(x.Max, x)) / 2;
    return {target.adjusted(left, kPad + labels.height() / 2, -right, -bottom), x, y};
}

void DrawAxes(QPainter& painter, const Frame& f) {
    const QFontMetricsF labels(ProgramFont(8));
    painter.setFont(ProgramFont(8));
    for (int i = 0; i < f.X.Ticks; ++i) {
        const QPointF at = f.At(f.X.Min + i * (f.X.Max - f.X.Min) / (f.X.Ticks - 1), f.Y.Min);
        painter.setPen(QPen(kGridColour, 1));
        painter.drawLine(QPointF(at.x(), f.Plot.top()), at);
        painter.setPen(Qt::darkGray);
        painter.drawLine(at, at + QPointF(0, kTick));
        painter.setPen(Qt::black);
        painter.drawText(QRectF(at.x() - 50, at.y() + LabelDrop(labels), 100, labels.height()), Qt::AlignHCenter | Qt::AlignTop,
                         TickText(f.X.Min + i * (f.X.Max - f.X.Min) / (f.X.Ticks - 1), f.X));
    }
    for (int i = 0; i < f.Y.Ticks; ++i) {
        const double y = f.Y.Min + i * (f.Y.Max - f.Y.Min) / (f.Y.Ticks - 1);
        const QPointF at = f.At(f.X.Min, y);
        painter.setPen(QPen(kGridColour, 1));
        painter.drawLine(at, QPointF(f.Plot.right(), at.y()));
        painter.setPen(Qt::darkGray);
        painter.drawLine(at - QPointF(kTick, 0), at);
        painter.setPen(Qt::black);
        painter.drawText(QRectF(at.x() - kTick - 202, at.y() - labels.height() / 2, 200, labels.height()),
                         Qt::AlignRight | Qt::AlignVCenter, TickText(y, f.Y));
    }
    painter.setPen(Qt::darkGray);
    painter.setBrush(Qt::NoBrush);
    painter.drawRect(f.Plot);
}

void DrawAxisTitles(QPainter& painter, const QRectF& target, const Frame& f, const QString& x, const QString& y) {
    const QFontMetricsF labels(ProgramFont(8)), titles(ProgramFont(9));
    painter.setFont(ProgramFont(9));
    painter.setPen(Qt::black);
    painter.drawText(QRectF(f.Plot.left(), f.Plot.bottom() + LabelDrop(labels) + labels.height(), f.Plot.width(), titles.height()),
                     Qt::AlignCenter, x);
    // The value axis's title reads upwards along the left edge.
    painter.save();
    painter.translate(target.left() + kPad, f.Plot.center().y());
    painter.rotate(-90);
    painter.drawText(QRectF(-f.Plot.height() / 2, 0, f.Plot.height(), titles.height()), Qt::AlignCenter, y);
    painter.restore();
}

void DrawBars(QPainter& painter, const Frame& f, const std::vector<double>& values) {
    const zfcli::study::stats::Histogram h = zfcli::study::stats::HistogramOf(values);
    // Equal values make one bin of no width: a bar a fortieth of the axis wide shows it.
    const bool single = values.empty() || values.back() - values.front() <= 1e-9 * std::max(1.0, std::fabs(values.front()));
    painter.setPen(QPen(Qt::white, 1));
    painter.setBrush(kCurveColour.lighter(150));
    for (std::size_t k = 0; k < h.Counts.size(); ++k) {
        if (h.Counts[k] == 0) continue;
        double lo = h.Low + static_cast<double>(k) * h.Width, hi = lo + h.Width;
        if (single) lo = h.Low - (f.X.Max - f.X.Min) / 80, hi = h.Low + (f.X.Max - f.X.Min) / 80;
        painter.drawRect(QRectF(f.At(lo, static_cast<double>(h.Counts[k])), f.At(hi, 0)));
    }
}

// The share of the runs at or below each value: a step up by 1/Total at every value.
void DrawSteps(QPainter& painter, const Frame& f, const DistributionChart& c) {
    const double total = static_cast<double>(std::max<std::size_t>(c.Total, 1));
    QPainterPath path(f.At(f.X.Min, 0));
    for (std::size_t k = 0; k < c.Values.size(); ++k) {
        path.lineTo(f.At(c.Values[k], static_cast<double>(k) / total));
        path.lineTo(f.At(c.Values[k], static_cast<double>(k + 1) / total));
    }
    path.lineTo(f.At(f.X.Max, static_cast<double>(c.Values.size()) / total));
    painter.setPen(QPen(kCurveColour, 2));
    painter.setBrush(Qt::NoBrush);
    painter.drawPath(path);
}

QString Number(double v, int decimals) { return QLocale().toString(v, 'f', decimals).replace(QLatin1Char('-'), QChar(0x2212)); }

// The percentiles as dashed lines under the curve.
void DrawPercentileLines(QPainter& painter, const Frame& f, const DistributionChart& c) {
    painter.setPen(QPen(Qt::darkGray, 1.2, Qt::DashLine));
    for (const std::optional<double>& value : {c.P5, c.P50, c.P95})
        if (value) painter.drawLine(f.At(*value, f.Y.Min), f.At(*value, f.Y.Max));
}

// The percentiles named with their values in one line under the plot.
void DrawPercentileLegend(QPainter& painter, const QRectF& target, const Frame& f, const DistributionChart& c) {
    QStringList named;
    for (const auto& [value, name] : {std::pair{c.P5, "5-й"}, {c.P50, "50-й"}, {c.P95, "95-й"}}) {
        if (!value) continue;
        named << QString::fromUtf8(name) + QChar(0x00A0) + Number(*value, c.Decimals) + (c.Unit.isEmpty() ? QString() : QChar(0x00A0) + c.Unit);
    }
    if (named.isEmpty()) return;
    QFont font = ProgramFont(8);
    font.setItalic(true);
    const QFontMetricsF metrics(font);
    painter.setFont(font);
    painter.setPen(Qt::black);
    const QRectF line(f.Plot.left(), target.bottom() - kPad / 2 - metrics.height(), f.Plot.width(), metrics.height());
    painter.drawText(line, Qt::AlignCenter,
                     metrics.elidedText(QStringLiteral("Штриховые линии — процентили: ") + named.join(QStringLiteral("; ")),
                                        Qt::ElideRight, line.width()));
}

}  // namespace

void PaintDistributionChart(QPainter& painter, const QRectF& target, const DistributionChart& c) {
    const ChartAxis x = c.Share ? NiceAxis(0, 1) : ValueAxis(c.Values, c.Decimals);
    double most = 0;
    for (std::uint64_t n : zfcli::study::stats::HistogramOf(c.Values).Counts) most = std::max(most, static_cast<double>(n));
    const ChartAxis y = c.Cumulative ? ChartAxis{0, 1, 6} : CountAxis(most);
    const bool legend = c.Cumulative && (c.P5 || c.P50 || c.P95);
    const Frame f = PlaceFrame(target, x, y, legend);
    painter.save();
    painter.fillRect(target, Qt::white);
    DrawAxes(painter, f);
    DrawAxisTitles(painter, target, f, c.AxisTitle, c.Cumulative ? QStringLiteral("Доля расчетов") : QStringLiteral("Число расчетов"));
    painter.setClipRect(f.Plot.adjusted(-2, -2, 2, 2));
    if (c.Cumulative) DrawPercentileLines(painter, f, c), DrawSteps(painter, f, c);
    else DrawBars(painter, f, c.Values);
    painter.setClipping(false);
    if (legend) DrawPercentileLegend(painter, target, f, c);
    painter.restore();
}

}  // namespace zfpdf
