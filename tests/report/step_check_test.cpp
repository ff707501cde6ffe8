// The step check's comparison: per room and factor the shift of the critical time between dt
// and dt/2, the blocking time as the earliest, and "too large" above 5 % or where only one of
// the two runs reached a limit.

#include <gtest/gtest.h>

#include <stdexcept>

#include "step_check.h"

namespace {

// A finished run of one room with the given critical times of temperature and visibility [s].
void OneRoom(zf::TzoneMath& zm, double dt, double tT, double tVis) {
    zm.AddRoom(4, 5, 3);
    zm.dt = dt;
    zm.Room(0).CritTimeT = tT;
    zm.Room(0).CritTimeVis = tVis;
}

const zfreport::StepCheckRow& Row(const zfreport::StepCheck& c, const std::string& factor) {
    for (const auto& r : c.Rows)
        if (r.Factor == factor) return r;
    throw std::runtime_error("no row " + factor);
}

struct ShiftCase {
    double CoarseT, FineT, CoarseVis, FineVis;
    double BlockingShift;  // expected |Δt_бл|/t_бл(dt/2), −1: none
    bool TooLarge;
};

class StepCheckShift : public ::testing::TestWithParam<ShiftCase> {};

TEST_P(StepCheckShift, ComparesEveryFactorAndTheBlockingTime) {
    const ShiftCase c = GetParam();
    zf::TzoneMath coarse, fine;
    OneRoom(coarse, 0.01, c.CoarseT, c.CoarseVis);
    OneRoom(fine, 0.005, c.FineT, c.FineVis);
    const zfreport::StepCheck check = zfreport::CompareSteps(coarse, true, fine, true);
    EXPECT_EQ(check.Rows.size(), static_cast<std::size_t>(zf::kHazardCount + 1));
    const auto& blocking = Row(check, "t_бл");
    if (c.BlockingShift < 0)
        EXPECT_FALSE(blocking.Shift.has_value());
    else
        EXPECT_NEAR(*blocking.Shift, c.BlockingShift, 1e-12);
    EXPECT_EQ(check.TooLarge(), c.TooLarge);
    EXPECT_NE(zfreport::StepCheckText(check).find(c.TooLarge ? "слишком велик" : "достаточен"), std::string::npos)
        << zfreport::StepCheckText(check);
    EXPECT_FALSE(Row(check, "CO").TooLarge);  // reached in neither run
}

INSTANTIATE_TEST_SUITE_P(Table, StepCheckShift,
                         ::testing::Values(ShiftCase{100, 100, 0, 0, 0, false},          // converged
                                           ShiftCase{104, 100, 0, 0, 0.04, false},       // 4 %: within
                                           ShiftCase{106, 100, 0, 0, 0.06, true},        // 6 %: too large
                                           ShiftCase{100, 100, 50, 60, 10.0 / 60, true},           // visibility moved 17 %
                                           ShiftCase{0, 100, 0, 0, -1, true},            // reached at dt/2 only
                                           ShiftCase{0, 0, 0, 0, -1, false}));           // reached in neither

TEST(StepCheck, AFailedRunIsNoPass) {
    zf::TzoneMath coarse, fine;
    OneRoom(coarse, 0.01, 100, 0);
    OneRoom(fine, 0.005, 100, 0);
    coarse.LastFault = zf::RunFault{zf::FaultKind::Overflow, zf::Quantity::HeatLoss, 7, 0};
    const zfreport::StepCheck check = zfreport::CompareSteps(coarse, false, fine, true);
    EXPECT_TRUE(check.TooLarge());
    EXPECT_NE(zfreport::StepCheckText(check).find("не завершена"), std::string::npos);
    EXPECT_NE(zfreport::StepCheckCsv(check, "x").find("x,1,T,100,100,0,0"), std::string::npos) << zfreport::StepCheckCsv(check, "x");
}

}  // namespace
