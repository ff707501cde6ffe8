#pragma once
// The study window's two charts of one room's blocking time over the completed runs: its
// cumulative distribution with the summary's percentiles, and its histogram.
#include <QJsonObject>
#include <cstddef>
#include <vector>

class QChart;

namespace zfstudy {

// `times`: the blocking times reached, ascending [s]; `completed`: the completed runs, those
// that reached no limit included, so the function ends at the share reached. `blocking`: the
// summary's blocking_time object (p5, p50, p95 drawn as dashed lines).
void DrawCdf(QChart* chart, const std::vector<double>& times, std::size_t completed, const QJsonObject& blocking);

// √n bins (5 to 12, so the labels stay readable) across the reached times, ascending [s].
void DrawHistogram(QChart* chart, const std::vector<double>& times);

}  // namespace zfstudy
