// The run's speed machinery (reuse of unchanged rooms, dormant rooms, deferred heat loss,
// products formed once per run) changes no bit: every named building run with it and without
// it gives the same samples, critical times, heat losses, counts and fault, and the failing
// ones fail in their known step.

#include <gtest/gtest.h>

#include <bit>
#include <cstdint>
#include <sstream>

#include "named_buildings.h"

namespace {

using testing_zf::NamedBuilding;

bool SameBits(double a, double b) { return std::bit_cast<std::uint64_t>(a) == std::bit_cast<std::uint64_t>(b); }

struct Outcome {
    zf::TzoneMath z;
    bool ok = false;
};

void RunPlan(Outcome& out, const NamedBuilding& b, bool speedMachinery) {
    testing_zf::Load(out.z, b);
    out.z.Options.SpeedMachinery = speedMachinery;
    out.ok = out.z.Run();
}

// Names the first differing value of every room and how many differ.
testing::AssertionResult SameRun(zf::TzoneMath& fast, zf::TzoneMath& full) {
    std::ostringstream why;
    why.precision(17);
    const zf::RunFault& a = fast.LastFault;
    const zf::RunFault& b = full.LastFault;
    if (fast.Iter != full.Iter || fast.SampleCount != full.SampleCount || a.Kind != b.Kind || a.What != b.What ||
        a.Room != b.Room || a.Column != b.Column || a.Face != b.Face || a.DenserThanAir != b.DenserThanAir)
        why << "step, sample count or fault differ: step " << fast.Iter << " / " << full.Iter << "\n";
    for (int i = 0; i < fast.RoomCount() && i < full.RoomCount(); ++i) {
        zf::TRoom& x = fast.Room(i);
        zf::TRoom& y = full.Room(i);
        int differing = 0;
        for (std::size_t m = 0; m < x.Samples.size() && m < y.Samples.size(); ++m)
            for (int e = 0; e < zf::ResultSample::kCount; ++e)
                if (!SameBits(x.Samples[m][e], y.Samples[m][e]) && differing++ == 0)
                    why << "room " << i << " sample " << m << " " << zf::ResultSample::Name(e) << ": "
                        << x.Samples[m][e] << " / " << y.Samples[m][e] << "\n";
        if (differing > 0) why << "room " << i << ": " << differing << " values differ\n";
        for (int h = 0; h < zf::kHazardCount; ++h) {
            const auto kind = static_cast<zf::HazardKind>(h);
            if (!SameBits(x.CritTimeOf(kind), y.CritTimeOf(kind))) why << "room " << i << " critical time " << h << "\n";
        }
        if (!SameBits(x.Qloss, y.Qloss)) why << "room " << i << " heat loss " << x.Qloss << " / " << y.Qloss << "\n";
        if (!SameBits(x.Enclosure.HeatLost, y.Enclosure.HeatLost) || x.Enclosure.Walls.T != y.Enclosure.Walls.T ||
            x.Enclosure.Ceiling.T != y.Enclosure.Ceiling.T || !SameBits(x.Enclosure.Walls.BackLoss, y.Enclosure.Walls.BackLoss))
            why << "room " << i << " heat lost to the enclosure or its surfaces' temperatures differ\n";
    }
    if (why.str().empty()) return testing::AssertionSuccess();
    return testing::AssertionFailure() << why.str();
}

class SpeedMachinery : public testing::TestWithParam<NamedBuilding> {};

TEST_P(SpeedMachinery, ChangesNoBit) {
    const NamedBuilding& b = GetParam();
    Outcome fast, full;
    RunPlan(fast, b, true);
    RunPlan(full, b, false);
    // The building does what it is meant to exercise.
    ASSERT_EQ(full.ok, b.FailsAt == 0);
    if (b.FailsAt != 0) {
        EXPECT_EQ(full.z.Iter, b.FailsAt);
        EXPECT_EQ(full.z.LastFault.DenserThanAir, b.Denser);
    }
    EXPECT_EQ(fast.ok, full.ok);
    EXPECT_TRUE(SameRun(fast.z, full.z));
}

INSTANTIATE_TEST_SUITE_P(Buildings, SpeedMachinery, testing::ValuesIn(testing_zf::NamedBuildings()),
                         [](const testing::TestParamInfo<NamedBuilding>& info) { return info.param.Name; });

}  // namespace
