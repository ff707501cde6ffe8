#include "study_charts.h"

#include "study_table.h"

#include <QBarCategoryAxis>
#include <QBarSeries>
#include <QBarSet>
#include <QChart>
#include <QJsonValue>
#include <QLineSeries>
#include <QLocale>
#include <QPen>
#include <QValueAxis>
#include <algorithm>
#include <cmath>
#include <utility>

namespace zfstudy {

namespace {

QString Number(double v, int decimals) { return QLocale().toString(v, 'f', decimals); }

QValueAxis* NewAxis(QChart* chart, Qt::Alignment where, const QString& title, double lo, double hi) {
    auto* axis = new QValueAxis(chart);
    axis->setTitleText(title);
    axis->setRange(lo, hi);
    chart->addAxis(axis, where);
    return axis;
}

void Clear(QChart* chart) {
    chart->removeAllSeries();
    for (QAbstractAxis* axis : chart->axes()) chart->removeAxis(axis), delete axis;
}

// The summary's percentiles as dashed vertical lines across the whole height.
void DrawPercentiles(QChart* chart, QValueAxis* x, QValueAxis* y, const QJsonObject& blocking) {
    for (const auto& [key, name] : {std::pair{"p5", "5-й"}, {"p50", "50-й"}, {"p95", "95-й"}}) {
        const QJsonValue v = blocking.value(QLatin1String(key));
        if (!v.isDouble()) continue;
        auto* line = new QLineSeries(chart);
        line->setName(QString::fromUtf8(name) + ": " + Number(v.toDouble(), 1) + QStringLiteral(" с"));
        line->append(v.toDouble(), 0);
        line->append(v.toDouble(), 1);
        QPen pen = line->pen();
        pen.setStyle(Qt::DashLine);
        line->setPen(pen);
        chart->addSeries(line);
        line->attachAxis(x);
        line->attachAxis(y);
    }
}

}  // namespace

void DrawCdf(QChart* cdf, const std::vector<double>& times, std::size_t completed, const QJsonObject& blocking) {
    const double hi = times.empty() ? 1.0 : times.back() * 1.05;
    Clear(cdf);
    auto* x = NewAxis(cdf, Qt::AlignBottom, QStringLiteral("Время блокирования, с"), 0, hi);
    auto* y = NewAxis(cdf, Qt::AlignLeft, QStringLiteral("Доля расчетов"), 0, 1);
    auto* steps = new QLineSeries(cdf);
    steps->setName(QStringLiteral("доля t_бл ≤ t"));
    steps->append(0, 0);
    for (std::size_t k = 0; k < times.size(); ++k) {
        const double n = static_cast<double>(completed);
        steps->append(times[k], static_cast<double>(k) / n);
        steps->append(times[k], static_cast<double>(k + 1) / n);
    }
    steps->append(hi, completed ? static_cast<double>(times.size()) / static_cast<double>(completed) : 0.0);
    cdf->addSeries(steps);
    steps->attachAxis(x);
    steps->attachAxis(y);
    x->applyNiceNumbers();
    DrawPercentiles(cdf, x, y, blocking);
}

void DrawHistogram(QChart* histogram, const std::vector<double>& times) {
    Clear(histogram);
    auto* counts = new QBarSet(QStringLiteral("Число расчетов"));
    auto* categories = new QBarCategoryAxis(histogram);
    categories->setTitleText(QStringLiteral("Время блокирования, с (середина интервала)"));
    double most = 1;
    const zfcli::study::stats::Histogram h = zfcli::study::stats::HistogramOf(times);
    // Enough decimals that neighbouring bins' labels differ (a category axis merges equal ones).
    const int decimals = std::clamp(static_cast<int>(std::ceil(-std::log10(std::max(h.Width, 1e-9)))), 0, 9);
    for (std::size_t k = 0; k < h.Counts.size(); ++k) {
        *counts << static_cast<double>(h.Counts[k]);
        categories->append(Number(h.Low + (static_cast<double>(k) + 0.5) * h.Width, decimals));
        most = std::max(most, static_cast<double>(h.Counts[k]));
    }
    auto* bars = new QBarSeries(histogram);
    bars->setBarWidth(1.0);
    bars->append(counts);
    histogram->addSeries(bars);
    histogram->addAxis(categories, Qt::AlignBottom);
    bars->attachAxis(categories);
    auto* number = NewAxis(histogram, Qt::AlignLeft, QStringLiteral("Число расчетов"), 0, most);
    number->setLabelFormat(QStringLiteral("%d"));
    bars->attachAxis(number);
    histogram->legend()->hide();
}

}  // namespace zfstudy
