#pragma once
// A corpus of 400 generated buildings and inputs, and a fingerprint of everything a run of
// each one leaves behind: the counts, every recorded sample and critical time to the bit, and
// for a failed run the step, room, quantity and kind of the fault. The fingerprints recorded
// in data/corpus_fingerprints.txt hold the engine to its results while its inside changes.

#include <cstdint>
#include <cstring>
#include <string>
#include <vector>

#include "model/scenario.h"

namespace testing_zf {

// 64-bit FNV-1a over the bytes of the values fed to it.
class Fingerprint {
public:
    void Add(const void* data, std::size_t size) {
        const auto* p = static_cast<const unsigned char*>(data);
        for (std::size_t i = 0; i < size; ++i) hash_ = (hash_ ^ p[i]) * 0x100000001b3ull;
    }
    void Add(double v) { Add(&v, sizeof v); }
    void Add(std::int64_t v) { Add(&v, sizeof v); }
    std::uint64_t Value() const { return hash_; }

private:
    std::uint64_t hash_ = 0xcbf29ce484222325ull;
};

// Numbers from a fixed seed, the same on every platform (splitmix64).
class CorpusDice {
public:
    explicit CorpusDice(std::uint64_t seed) : state_(seed) {}
    std::uint64_t Next() {
        std::uint64_t z = (state_ += 0x9e3779b97f4a7c15ull);
        z = (z ^ (z >> 30)) * 0xbf58476d1ce4e5b9ull;
        z = (z ^ (z >> 27)) * 0x94d049bb133111ebull;
        return z ^ (z >> 31);
    }
    double Unit() { return static_cast<double>(Next() >> 11) * 0x1.0p-53; }
    double Real(double lo, double hi) { return lo + (hi - lo) * Unit(); }
    int Int(int lo, int hi) { return lo + static_cast<int>(Next() % static_cast<std::uint64_t>(hi - lo + 1)); }
    bool Chance(double p) { return Unit() < p; }
    template <class T, std::size_t N> T Pick(const T (&values)[N]) { return values[Next() % N]; }

private:
    std::uint64_t state_;
};

inline constexpr int kCorpusSize = 400;

// Building b of the corpus: 1 to 12 rooms joined along a chain with a few cross doorways,
// windows and closed doors, fire inputs near and far from the window's initial values, a step
// from 0.005 to 0.1 s (the coarse ones make some runs fail), both plume correlations, and
// recording rates that sometimes leave no whole step per sample.
inline void BuildCorpusScenario(int b, zf::TzoneMath& z) {
    CorpusDice dice(0x5eed0000ull + static_cast<std::uint64_t>(b));
    z.Qn = dice.Chance(0.7) ? 13800000 : dice.Real(5e6, 4e7);
    z.Vlin = dice.Chance(0.6) ? 0.0108 : dice.Real(0.002, 0.05);
    z.PsiUd = dice.Chance(0.6) ? 0.0145 : dice.Real(0.005, 0.05);
    z.D = dice.Chance(0.7) ? 270 : dice.Real(20, 1000);
    z.Lo2 = dice.Chance(0.7) ? 1.03 : dice.Real(0.5, 3);
    z.Lco = dice.Chance(0.7) ? 0.0022 : dice.Real(0.0005, 0.1);
    z.Lco2 = dice.Chance(0.7) ? 0.203 : dice.Real(0.05, 2);
    z.Lhcl = dice.Chance(0.7) ? 0.014 : dice.Real(0, 0.05);
    z.Nu = dice.Chance(0.8) ? 0.97 : dice.Real(0.5, 1);
    z.T0 = dice.Chance(0.8) ? 293 : dice.Real(250, 320);
    z.hr = dice.Pick({1.7, 1.7, 1.5, 1.0, 0.5});
    z.UseTanaka = dice.Chance(0.6);
    z.dt = dice.Pick({0.005, 0.01, 0.01, 0.02, 0.05, 0.1});
    z.SamplesPerSec = dice.Pick({10, 10, 10, 1, 2, 20, 50, 100});
    const int rooms = dice.Int(1, 12);
    // Up to about 40 000 room-steps per building keeps the corpus quick.
    const double maxTime = 40000.0 / rooms * z.dt;
    z.SimTime = dice.Real(1, maxTime < 400 ? maxTime : 400);
    for (int i = 0; i < rooms; ++i) {
        const double length = i == 0 && dice.Chance(0.5) ? 5 : dice.Real(1.5, 12);
        const double width = i == 0 && dice.Chance(0.5) ? 4 : dice.Real(1.5, 12);
        z.AddRoom(length, width, dice.Real(2.2, 6));
    }
    auto doorway = [&](int a, int c) {
        const double height = dice.Real(1.6, 2.4), width = dice.Real(0.6, 2);
        const bool open = dice.Chance(0.75);
        z.AddProem(a, c, height, width, open);
        z.AddProem(c, a, height, width, open);
    };
    for (int i = 1; i < rooms; ++i) doorway(dice.Int(0, i - 1), i);
    const int extra = rooms > 2 ? dice.Int(0, rooms / 3) : 0;
    for (int e = 0; e < extra; ++e) {
        const int a = dice.Int(0, rooms - 1), c = dice.Int(0, rooms - 1);
        if (a != c) doorway(a, c);
    }
    for (int i = 0; i < rooms; ++i)
        if (dice.Chance(0.3)) z.AddProem(i, i, dice.Real(1.5, 2.8), dice.Real(0.5, 2), dice.Chance(0.6));
}

// Every 10th building of the corpus is stopped by the user at this refresh (a refresh after
// every step), the others run to their end or to their fault.
inline int CorpusStopRefresh(int b) { return b % 10 == 7 ? 3 + (b * 37) % 900 : -1; }

// A progress view whose clock moves 201 ms per reading, so every step is a refresh, and which
// is closed by the user at a given refresh.
struct CorpusView : zf::RunView {
    static std::int64_t Tick() {
        thread_local std::int64_t clock = 0;
        return clock += 201;
    }
    int closeAt;
    int refreshes = 0;
    explicit CorpusView(int closeAtRefresh) : closeAt(closeAtRefresh) { TickMs = &Tick; }
    bool ProgressVisible() override { return ++refreshes != closeAt; }
};

// The fingerprint of a run's outcome. For a failed run, only the samples that every step
// completed before the fault filled are counted: what becomes of the sample in progress is
// the run's own business.
inline std::string CorpusOutcome(const zf::TzoneMath& z, bool ok) {
    Fingerprint f;
    const char* status = !ok ? "failed" : z.Stopped ? "stopped" : "completed";
    f.Add(std::int64_t{z.Iter});
    f.Add(std::int64_t{z.StepCount});
    f.Add(std::int64_t{z.StepsPerSample});
    std::size_t samples = static_cast<std::size_t>(z.SampleCount);
    if (!ok) {
        const zf::RunFault& fault = z.LastFault;
        f.Add(std::int64_t{static_cast<int>(fault.Kind)});
        f.Add(std::int64_t{static_cast<int>(fault.What)});
        f.Add(std::int64_t{fault.Step});
        f.Add(std::int64_t{fault.Room});
        f.Add(std::int64_t{fault.Column});
        f.Add(std::int64_t{fault.Face});
        f.Add(std::int64_t{fault.DenserThanAir});
        samples = z.StepsPerSample > 0 ? static_cast<std::size_t>(z.Iter / z.StepsPerSample) : 0;
    } else {
        f.Add(std::int64_t{z.SampleCount});
    }
    for (const auto& room : z.Rooms) {
        for (std::size_t s = 0; s < samples && s < room->Samples.size(); ++s)
            for (int e = 0; e < zf::ResultSample::kCount; ++e) f.Add(room->Samples[s][e]);
        for (int h = 0; h < zf::kHazardCount; ++h) f.Add(room->CritTimeOf(static_cast<zf::HazardKind>(h)));
    }
    char hex[17];
    static const char digits[] = "0123456789abcdef";
    std::uint64_t v = f.Value();
    for (int i = 15; i >= 0; --i, v >>= 4) hex[i] = digits[v & 15];
    hex[16] = 0;
    return std::string(status) + " " + std::to_string(z.Iter) + " " + hex;
}

// Runs building b of the corpus and returns its outcome line; speedMachinery false computes
// every room's every step in full.
inline std::string RunCorpusBuilding(int b, bool speedMachinery = true) {
    zf::TzoneMath z;
    BuildCorpusScenario(b, z);
    z.Options.SpeedMachinery = speedMachinery;
    CorpusView view(CorpusStopRefresh(b));
    const bool ok = z.Run(view);
    return CorpusOutcome(z, ok);
}

}  // namespace testing_zf
