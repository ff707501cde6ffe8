// The study's generator and the inverse distribution functions of its distributions.

#include "study_random.h"

#include <cmath>
#include <numeric>

namespace zfcli::study {

std::uint64_t Mix(std::uint64_t z) {
    z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ull;
    z = (z ^ (z >> 27)) * 0x94D049BB133111EBull;
    return z ^ (z >> 31);
}

std::uint64_t SplitMix64::Next() {
    state_ += 0x9E3779B97F4A7C15ull;  // 2⁶⁴ divided by the golden ratio, odd
    return Mix(state_);
}

double SplitMix64::NextOpenUnit() {
    // 53 bits fill a double's mantissa exactly; the half step keeps u off 0 and 1.
    return (static_cast<double>(Next() >> 11) + 0.5) * 0x1.0p-53;
}

std::uint64_t SplitMix64::NextBelow(std::uint64_t n) {
    return static_cast<std::uint64_t>((static_cast<unsigned __int128>(Next()) * n) >> 64);
}

SplitMix64 DrawStream(std::uint64_t seed, std::uint64_t run, std::uint64_t input) {
    return SplitMix64(Mix(Mix(Mix(seed) + run) + input));
}

double NormalQuantile(double p) {
    // Rational approximations of the inverse normal distribution function, one for the
    // central region and one for the tails, with the tail used by symmetry for p > ½.
    static constexpr double a[] = {-3.969683028665376e+01, 2.209460984245205e+02, -2.759285104469687e+02,
                                   1.383577518672690e+02,  -3.066479806614716e+01, 2.506628277459239e+00};
    static constexpr double b[] = {-5.447609879822406e+01, 1.615858368580409e+02, -1.556989798598866e+02,
                                   6.680131188771972e+01, -1.328068155288572e+01};
    static constexpr double c[] = {-7.784894002430293e-03, -3.223964580411365e-01, -2.400758277161838e+00,
                                   -2.549732539343734e+00, 4.374664141464968e+00,  2.938163982698783e+00};
    static constexpr double d[] = {7.784695709041462e-03, 3.224671290700398e-01, 2.445134137142996e+00,
                                   3.754408661907416e+00};
    constexpr double kTail = 0.02425;  // boundary of the central region
    auto tail = [&](double q) {
        return (((((c[0] * q + c[1]) * q + c[2]) * q + c[3]) * q + c[4]) * q + c[5]) /
               ((((d[0] * q + d[1]) * q + d[2]) * q + d[3]) * q + 1);
    };
    if (p < kTail) return tail(std::sqrt(-2 * std::log(p)));
    if (p > 1 - kTail) return -tail(std::sqrt(-2 * std::log1p(-p)));
    const double q = p - 0.5, r = q * q;
    return (((((a[0] * r + a[1]) * r + a[2]) * r + a[3]) * r + a[4]) * r + a[5]) * q /
           (((((b[0] * r + b[1]) * r + b[2]) * r + b[3]) * r + b[4]) * r + 1);
}

double NormalCdf(double x) { return 0.5 * std::erfc(-x / std::sqrt(2.0)); }

namespace {

struct QuantileOf {
    double u;  // probability in (0, 1)

    double operator()(const Uniform& d) const { return d.Min + u * (d.Max - d.Min); }

    // Truncated to [Min, Max]: u is mapped onto [Φ(a), Φ(b)] of the standardised bounds.
    double operator()(const Normal& d) const {
        const double lo = std::isinf(d.Min) ? 0.0 : NormalCdf((d.Min - d.Mean) / d.Sd);
        const double hi = std::isinf(d.Max) ? 1.0 : NormalCdf((d.Max - d.Mean) / d.Sd);
        double p = lo + u * (hi - lo);
        // Far in a tail the product can round onto the bound itself.
        if (p <= 0) p = 0x1.0p-1074;
        if (p >= 1) p = 1 - 0x1.0p-53;
        const double x = d.Mean + d.Sd * NormalQuantile(p);
        return std::fmin(std::fmax(x, d.Min), d.Max);
    }

    double operator()(const Lognormal& d) const { return std::exp(d.Mu + d.Sigma * NormalQuantile(u)); }

    // The distribution function is quadratic on each side of the mode; F(mode) = (c−a)/(b−a).
    double operator()(const Triangular& d) const {
        const double width = d.Max - d.Min;
        if (width == 0) return d.Min;
        const double atMode = (d.Mode - d.Min) / width;
        if (u < atMode) return d.Min + std::sqrt(u * width * (d.Mode - d.Min));
        return d.Max - std::sqrt((1 - u) * width * (d.Max - d.Mode));
    }

    // 1 on the lower share P of the probabilities, so a stratum keeps its meaning.
    double operator()(const Bernoulli& d) const { return u < d.P ? 1.0 : 0.0; }

    double operator()(const Choice& d) const {
        const double total = std::accumulate(d.Weights.begin(), d.Weights.end(), 0.0);
        double below = 0;
        for (std::size_t k = 0; k + 1 < d.Weights.size(); ++k) {
            below += d.Weights[k];
            if (u * total < below) return static_cast<double>(k);
        }
        return static_cast<double>(d.Weights.size() - 1);
    }
};

}  // namespace

double Quantile(const Distribution& d, double u) { return std::visit(QuantileOf{u}, d); }

LatinHypercube::LatinHypercube(std::uint64_t seed, std::uint64_t runs, std::size_t inputs)
    : runs_(runs), strata_(inputs) {
    for (std::size_t j = 0; j < inputs; ++j) {
        std::vector<std::uint32_t>& order = strata_[j];
        order.resize(runs);
        std::iota(order.begin(), order.end(), 0u);
        SplitMix64 stream = DrawStream(seed, 0, j);
        for (std::uint64_t i = runs; i > 1; --i) std::swap(order[i - 1], order[stream.NextBelow(i)]);
    }
}

double LatinHypercube::Probability(std::uint64_t seed, std::uint64_t run, std::size_t input) const {
    const double within = DrawStream(seed, run, input).NextOpenUnit();
    const double u = (static_cast<double>(strata_[input][run - 1]) + within) / static_cast<double>(runs_);
    // In the top stratum the sum can round up to the number of runs; keep u below 1.
    return u < 1 ? u : 1 - 0x1.0p-53;
}

Sampler::Sampler(Sampling sampling, std::uint64_t seed, std::uint64_t runs, std::size_t inputs)
    : sampling_(sampling), seed_(seed) {
    if (sampling == Sampling::LatinHypercube) hypercube_.emplace_back(seed, runs, inputs);
}

double Sampler::Probability(std::uint64_t run, std::size_t input) const {
    if (sampling_ == Sampling::LatinHypercube) return hypercube_.front().Probability(seed_, run, input);
    return DrawStream(seed_, run, input).NextOpenUnit();
}

}  // namespace zfcli::study
