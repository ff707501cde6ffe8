#pragma once
// A study's distributions as its printed report draws them, with Qt's painter alone (no window,
// no display): the histogram of a sample, and its cumulative curve, the share of the runs at or
// below a value, with dashed lines at the 5th, 50th and 95th percentiles named in a legend under
// the plot, so no label lies on a curve.
#include <QRectF>
#include <QString>
#include <optional>
#include <vector>

class QPainter;

namespace zfpdf {

struct DistributionChart {
    bool Cumulative = false;
    std::vector<double> Values;  // the values reached, ascending
    std::size_t Total = 0;       // the runs the shares are of; those that reached no value count here only
    std::optional<double> P5, P50, P95;  // the summary's percentiles, drawn on the cumulative curve
    QString AxisTitle;           // the quantity and its unit: "Время блокирования t_бл, с"
    QString Unit;                // the unit after a number in the legend: "с"; empty for a ratio
    int Decimals = 1;            // of the numbers in the legend, as the summary writes them
    double Height = 250;         // on the page [px at 96 dpi]
    bool Share = false;          // a value from 0 to 1 (a probability): the value axis is 0…1
};

// Draws `chart` into `target` of `painter` (vector drawing when the painter draws into a PDF).
// Numbers are written in the default locale.
void PaintDistributionChart(QPainter& painter, const QRectF& target, const DistributionChart& chart);

}  // namespace zfpdf
