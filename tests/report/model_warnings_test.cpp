// The warnings a run's own numbers call for: a room ending hotter than the fire room, and a
// neutral-layer guard that added more than 1 % of the fire's heat.

#include <gtest/gtest.h>

#include "model_warnings.h"

namespace {

// Rooms whose last recorded layer temperatures are `final` [K], two samples each.
void Rooms(zf::TzoneMath& zm, const std::vector<double>& final) {
    for (double T : final) {
        zm.AddRoom(4, 5, 3);
        zm.Rooms.back()->Samples = {zf::ResultSample{}, zf::ResultSample{}};
        zm.Rooms.back()->Samples[1].T2 = T;
    }
    zm.SampleCount = 2;
}

struct HotCase {
    std::vector<double> Final;
    std::vector<int> Hotter;
};

class HotterThanFireRoom : public ::testing::TestWithParam<HotCase> {};

TEST_P(HotterThanFireRoom, NamesTheRoomsAndPointsToConsistentOutflow) {
    zf::TzoneMath zm;
    Rooms(zm, GetParam().Final);
    EXPECT_EQ(zfreport::RoomsHotterThanFireRoom(zm), GetParam().Hotter);
    const std::string text = zfreport::HotterThanFireRoomWarning(zm);
    EXPECT_EQ(text.empty(), GetParam().Hotter.empty());
    if (!text.empty()) {
        for (int i : GetParam().Hotter) EXPECT_NE(text.find("№" + std::to_string(i + 1)), std::string::npos) << text;
        EXPECT_NE(text.find("consistent_outflow"), std::string::npos) << text;
        EXPECT_NE(text.find("«Согласованный уход газов через проемы»"), std::string::npos) << text;  // the check box
        zm.Options.ConsistentOutflow = true;  // already on: the text does not suggest it again
        EXPECT_EQ(zfreport::HotterThanFireRoomWarning(zm).find("consistent_outflow"), std::string::npos);
    }
}

INSTANTIATE_TEST_SUITE_P(Table, HotterThanFireRoom,
                         ::testing::Values(HotCase{{500}, {}}, HotCase{{500, 400, 450}, {}}, HotCase{{500, 501}, {1}},
                                           HotCase{{400, 450, 390, 420}, {1, 3}}, HotCase{{400, 400}, {}}));

TEST(GuardEnergy, WarnsAboveOnePercentOfTheFiresHeat) {
    zf::TzoneMath zm;
    Rooms(zm, {500, 400});
    zm.Options.HeatLoss.Enabled = true;
    zm.Room(0).HeatReleased = 1e6;
    zm.Room(1).Enclosure.GuardEnergy = 0.5e4;  // 0.5 %
    EXPECT_EQ(zfreport::GuardEnergyWarning(zm), "");
    zm.Room(1).Enclosure.GuardEnergy = 3.2e4;  // 3.2 %
    const std::string text = zfreport::GuardEnergyWarning(zm);
    EXPECT_NE(text.find("3,2 %"), std::string::npos) << text;
    EXPECT_EQ(zfreport::RunWarnings(zm).size(), 1u);
    zm.Options.HeatLoss.Enabled = false;  // without heat loss no guard acts
    EXPECT_EQ(zfreport::GuardEnergyWarning(zm), "");
}

}  // namespace
