#pragma once
// One room's chart as the printed report draws it, with Qt's painter alone (no window, no
// display): a quantity of either list over time, under a caption that names it, so the chart
// has no title of its own. Axis titles carry printed units ("T2, К"); a hazard factor's limit is
// a line across the plot with its critical time marked; the chart of the interface height shows
// the working-zone height hr. What each line and point means, with its value, stands in a legend
// under the chart, so no label covers a curve or another label. The axes are rounded outward to
// readable tick values, as the results window's charts are.

#include <QRectF>

class QPainter;
namespace zf { class TzoneMath; }

// Draws into `target` of `painter` (vector drawing when the painter draws into a PDF) the chart
// of room `room`: a layer parameter (`hazard` false, index 0..5) or a hazard factor (index by
// zf::HazardKind). Numbers are written in the default locale.
void PaintReportChart(QPainter& painter, const QRectF& target, zf::TzoneMath& zm, int room, bool hazard, int index);

// A value axis rounded outward to readable ticks: from `min` to `max` in steps of a "nice"
// number (1, 2 or 5 times a power of ten), `ticks` of them including both ends.
struct ChartAxis {
    double Min = 0;
    double Max = 1;
    int Ticks = 5;
};
ChartAxis NiceAxis(double min, double max, int ticks = 5);
