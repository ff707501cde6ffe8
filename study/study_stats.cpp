// Statistics of a study's summary: percentiles, Student's t and Spearman's rank correlation.

#include "study_table.h"

#include <algorithm>
#include <cmath>
#include <numeric>

namespace zfcli::study {

namespace stats {

double StudentT975(std::uint64_t df) {
    // Exact table for few degrees of freedom, where the expansion below is poor.
    static constexpr double kTable[] = {12.706204736174698, 4.302652729749464, 3.182446305284263, 2.7764451051977934,
                                        2.570581835636314,  2.4469118511449692, 2.3646242515927844, 2.306004135204166,
                                        2.2621571628540993, 2.2281388519649385};
    if (df >= 1 && df <= 10) return kTable[df - 1];
    // Cornish–Fisher expansion of t about the normal quantile z in powers of 1/df.
    const double z = 1.959963984540054, v = static_cast<double>(df);
    const double z3 = z * z * z, z5 = z3 * z * z, z7 = z5 * z * z, z9 = z7 * z * z;
    const double g1 = (z3 + z) / 4;
    const double g2 = (5 * z5 + 16 * z3 + 3 * z) / 96;
    const double g3 = (3 * z7 + 19 * z5 + 17 * z3 - 15 * z) / 384;
    const double g4 = (79 * z9 + 776 * z7 + 1482 * z5 - 1920 * z3 - 945 * z) / 92160;
    return z + g1 / v + g2 / (v * v) + g3 / (v * v * v) + g4 / (v * v * v * v);
}

std::optional<double> Percentile(const std::vector<double>& sorted, double p) {
    if (sorted.empty()) return std::nullopt;
    const double position = static_cast<double>(sorted.size() - 1) * p / 100;
    const auto below = static_cast<std::size_t>(std::floor(position));
    const double fraction = position - static_cast<double>(below);
    const double lo = sorted[below];
    if (fraction == 0) return std::isfinite(lo) ? std::optional<double>(lo) : std::nullopt;
    const double hi = sorted[below + 1];
    if (!std::isfinite(hi)) return std::nullopt;
    return lo + fraction * (hi - lo);
}

namespace {
std::vector<double> AverageRanks(const std::vector<double>& v) {
    std::vector<std::size_t> order(v.size());
    std::iota(order.begin(), order.end(), 0);
    std::stable_sort(order.begin(), order.end(), [&](std::size_t a, std::size_t b) { return v[a] < v[b]; });
    std::vector<double> ranks(v.size());
    for (std::size_t i = 0; i < order.size();) {
        std::size_t j = i;
        while (j + 1 < order.size() && v[order[j + 1]] == v[order[i]]) ++j;
        const double rank = (static_cast<double>(i) + static_cast<double>(j)) / 2 + 1;  // mean of ranks i+1..j+1
        for (std::size_t k = i; k <= j; ++k) ranks[order[k]] = rank;
        i = j + 1;
    }
    return ranks;
}
}  // namespace

std::optional<double> RankCorrelation(const std::vector<double>& x, const std::vector<double>& y) {
    if (x.size() != y.size() || x.size() < 3) return std::nullopt;
    const std::vector<double> rx = AverageRanks(x), ry = AverageRanks(y);
    const double mean = (static_cast<double>(x.size()) + 1) / 2;  // mean of the ranks 1..n
    double sxy = 0, sxx = 0, syy = 0;
    for (std::size_t i = 0; i < x.size(); ++i) {
        sxy += (rx[i] - mean) * (ry[i] - mean);
        sxx += (rx[i] - mean) * (rx[i] - mean);
        syy += (ry[i] - mean) * (ry[i] - mean);
    }
    if (sxx == 0 || syy == 0) return std::nullopt;
    return sxy / std::sqrt(sxx * syy);
}

Spread Describe(const std::vector<double>& values) {
    Spread s;
    std::vector<double> sorted = values;
    std::sort(sorted.begin(), sorted.end());
    s.P5 = Percentile(sorted, 5);
    s.P50 = Percentile(sorted, 50);
    s.P95 = Percentile(sorted, 95);
    double sum = 0;
    for (double v : values)
        if (std::isfinite(v)) sum += v, ++s.Count;
    if (s.Count == 0) return s;
    s.Min = sorted.front();
    s.Max = *std::find_if(sorted.rbegin(), sorted.rend(), [](double v) { return std::isfinite(v); });
    const double m = static_cast<double>(s.Count);
    s.Mean = sum / m;
    if (s.Count < 2) return s;
    double squares = 0;
    for (double v : values)
        if (std::isfinite(v)) squares += (v - *s.Mean) * (v - *s.Mean);
    const double variance = squares / (m - 1);  // of the sample [unit²]
    s.Sd = std::sqrt(variance);
    const double half = StudentT975(s.Count - 1) * std::sqrt(variance / m);
    s.Low = *s.Mean - half;
    s.High = *s.Mean + half;
    return s;
}

Histogram HistogramOf(const std::vector<double>& sorted) {
    Histogram h;
    if (sorted.empty()) return h;
    const int bins = std::clamp(static_cast<int>(std::ceil(std::sqrt(static_cast<double>(sorted.size())))), 5, 12);
    h.Low = sorted.front();
    h.Width = std::max((sorted.back() - h.Low) / bins, 1e-9);
    h.Counts.assign(static_cast<std::size_t>(bins), 0);
    for (double v : sorted) ++h.Counts[static_cast<std::size_t>(std::min(bins - 1, static_cast<int>((v - h.Low) / h.Width)))];
    return h;
}

}  // namespace stats

}  // namespace zfcli::study
