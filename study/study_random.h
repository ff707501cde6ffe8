#pragma once
// Random draws of a parameter study, the same on every machine and in every process.
//
// The generator is SplitMix64 (a 64-bit counter advanced by the golden-ratio constant
// 0x9E3779B97F4A7C15, each output the counter passed through a fixed mixing function), written
// out here so no library's choice of algorithm can change a draw. Each varied input of each run
// reads its own stream, started from a key made of the study's seed, the run number and the
// input's position in the list:
//     key = Mix(Mix(Mix(seed) + run) + input)
// so run i's draws depend on (seed, i) alone, never on which thread or shard computes it.
//
// Uniform numbers in (0, 1) take the top 53 bits of an output: u = (x >> 11 + ½)·2⁻⁵³; they are
// never 0 or 1, so every inverse distribution function below stays finite. Each distribution
// is drawn by its inverse distribution function applied to u (one u per draw), which also
// lets a Latin hypercube place a draw in its stratum. The arithmetic uses +, −, ×, ÷, sqrt
// (exact in IEEE 754) and log, exp, erfc of the C library.

#include <cstdint>
#include <limits>
#include <string>
#include <variant>
#include <vector>

namespace zfcli::study {

// The mixing function of SplitMix64: a bijection of 64-bit words.
std::uint64_t Mix(std::uint64_t x);

class SplitMix64 {
public:
    explicit SplitMix64(std::uint64_t state) : state_(state) {}
    std::uint64_t Next();
    // A uniform number in the open interval (0, 1).
    double NextOpenUnit();
    // A whole number in [0, n), n ≥ 1: the high word of the 128-bit product x·n (the bias is
    // below n/2⁶⁴, far under anything a study could notice).
    std::uint64_t NextBelow(std::uint64_t n);

private:
    std::uint64_t state_;
};

// The stream of one input of one run (run numbers start at 1, inputs at 0).
SplitMix64 DrawStream(std::uint64_t seed, std::uint64_t run, std::uint64_t input);

// Inverse of the standard normal distribution function at p in (0, 1): rational
// approximations on a central and two tail regions, relative error below 1.2·10⁻⁹.
double NormalQuantile(double p);
// The standard normal distribution function Φ(x) = ½·erfc(−x/√2).
double NormalCdf(double x);

struct Uniform {
    double Min = 0, Max = 1;
};
struct Normal {
    double Mean = 0, Sd = 1;
    double Min = -std::numeric_limits<double>::infinity();  // truncation; ±∞ when not given
    double Max = std::numeric_limits<double>::infinity();
};
// ln X is normal with mean Mu and deviation Sigma. Given as median m and error factor f
// (the ratio of the 95th percentile to the median), Mu = ln m and Sigma = ln f / 1.6449.
struct Lognormal {
    double Mu = 0, Sigma = 1;
};
struct Triangular {
    double Min = 0, Mode = 0.5, Max = 1;
};
// 1 with probability P, otherwise 0 (an opening open or shut).
struct Bernoulli {
    double P = 0.5;
};
// One of Count values, the k-th with probability Weights[k] / ΣWeights; the draw is the index.
struct Choice {
    std::vector<double> Weights;
};
using Distribution = std::variant<Uniform, Normal, Lognormal, Triangular, Bernoulli, Choice>;

// The value of the distribution at probability u in (0, 1); for Choice, the index chosen.
double Quantile(const Distribution& d, double u);

enum class Sampling { MonteCarlo, LatinHypercube };

// The Latin hypercube's strata: for each input a permutation of 0..runs−1 (Fisher–Yates on
// the stream of that input under run number 0, which no run uses), so run i of input j lies in
// stratum Strata[j][i−1], drawn uniformly inside it. The permutation depends on the seed and
// the number of runs only: every shard builds the same one.
class LatinHypercube {
public:
    LatinHypercube(std::uint64_t seed, std::uint64_t runs, std::size_t inputs);
    // The probability of run `run`'s draw of input `input`, inside its stratum.
    double Probability(std::uint64_t seed, std::uint64_t run, std::size_t input) const;

private:
    std::uint64_t runs_;
    std::vector<std::vector<std::uint32_t>> strata_;
};

// The probabilities u of all inputs of one run, by the study's sampling.
class Sampler {
public:
    Sampler(Sampling sampling, std::uint64_t seed, std::uint64_t runs, std::size_t inputs);
    double Probability(std::uint64_t run, std::size_t input) const;

private:
    Sampling sampling_;
    std::uint64_t seed_;
    std::vector<LatinHypercube> hypercube_;  // one, for latin-hypercube sampling
};

}  // namespace zfcli::study
