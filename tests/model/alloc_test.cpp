// What a run allocates, counted by this binary's own operator new: nothing per step, the
// recorded samples once and no second copy of them, and no samples at all for a run that
// fails before its first step.

#include <gtest/gtest.h>

#include <atomic>
#include <cstdlib>
#include <new>

#include "model/scenario.h"
#include "test_buildings.h"

namespace {

// Every block carries its size in front of it, so the live and the peak bytes can be kept.
constexpr std::size_t kHeader = alignof(std::max_align_t);
std::atomic<long> gAllocations{0};
std::atomic<long long> gLiveBytes{0};
std::atomic<long long> gPeakBytes{0};

}  // namespace

void* operator new(std::size_t n) {
    auto* block = static_cast<unsigned char*>(std::malloc(n + kHeader));
    if (block == nullptr) throw std::bad_alloc();
    *reinterpret_cast<std::size_t*>(block) = n;
    ++gAllocations;
    const long long live = gLiveBytes += static_cast<long long>(n);
    long long peak = gPeakBytes.load();
    while (live > peak && !gPeakBytes.compare_exchange_weak(peak, live)) {
    }
    return block + kHeader;
}
void operator delete(void* p) noexcept {
    if (p == nullptr) return;
    auto* block = static_cast<unsigned char*>(p) - kHeader;
    gLiveBytes -= static_cast<long long>(*reinterpret_cast<std::size_t*>(block));
    std::free(block);
}
void operator delete(void* p, std::size_t) noexcept { operator delete(p); }

namespace {

// A view that never refreshes and notes the allocation count at the end of step 1 and of the
// last step.
struct CountingView : zf::RunView {
    static inline long atFirstStep = -1, atLastStep = -1;
    static inline int readings = 0;
    static std::int64_t Tick() {
        // Reading 1 is the run's start; reading 2 ends step 1.
        if (++readings == 2) atFirstStep = gAllocations.load();
        atLastStep = gAllocations.load();
        return 0;  // never refresh: the windows' own cost is not the loop's
    }
    CountingView() { TickMs = &Tick; }
};

// A chain of rooms with the default inputs at a 0.01 s step.
void BuildChain(zf::TzoneMath& z, int rooms, double simTime) {
    testing_zf::SetDefaultInputs(z);
    z.dt = 0.01;
    z.SimTime = simTime;
    for (int i = 0; i < rooms; ++i) z.AddRoom(5, 4, 3);
    for (int i = 0; i + 1 < rooms; ++i) testing_zf::AddDoorway(z, i, i + 1, 2, 0.9);
    z.AddProem(rooms - 1, rooms - 1, 2, 1, true);
}

}  // namespace

TEST(RunLoop, AllocatesNothingPerStep) {
    CountingView view;
    zf::TzoneMath z;
    BuildChain(z, 4, 20);
    ASSERT_TRUE(z.Run(view));
    EXPECT_GT(CountingView::readings, 1000);
    EXPECT_EQ(CountingView::atLastStep, CountingView::atFirstStep);
}

// The samples are the run's one large allocation: the peak stays within a few percent of
// them (the run's own state is small beside them), where a copy of them would double it.
TEST(RunMemory, PeakIsTheRecordedSamplesOnce) {
    zf::TzoneMath z;
    BuildChain(z, 20, 2000);  // 20 rooms · 20 000 samples · 112 bytes ≈ 45 MB
    z.SamplesPerSec = 10;
    z.SimTime = 2000;
    z.dt = 0.1;  // one state per sample
    const long long before = gLiveBytes.load();
    gPeakBytes = before;
    ASSERT_TRUE(z.Run());
    const long long samples = 20LL * z.SampleCount * static_cast<long long>(sizeof(zf::ResultSample));
    EXPECT_EQ(z.SampleCount, 20000);
    EXPECT_LT(gPeakBytes.load() - before, samples + samples / 20);
    EXPECT_GE(gPeakBytes.load() - before, samples);
}

// A run that cannot start (zero step, outside temperature the air density cannot be formed
// from) records nothing and allocates next to nothing.
TEST(RunMemory, RunFailedBeforeItsFirstStepAllocatesNoSamples) {
    for (double t0 : {0.0, 1e-320}) {
        zf::TzoneMath z;
        BuildChain(z, 20, 2000);
        z.T0 = t0;
        const long long before = gLiveBytes.load();
        gPeakBytes = before;
        EXPECT_FALSE(z.Run());
        EXPECT_EQ(z.LastFault.Kind, zf::FaultKind::Preparation);
        for (const auto& room : z.Rooms) EXPECT_TRUE(room->Samples.empty());
        EXPECT_LT(gPeakBytes.load() - before, 4096);
    }
}
