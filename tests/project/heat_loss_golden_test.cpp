// The heat-loss model against results recorded with an independent implementation of the
// same equations in the same order of operations: layer temperature, interface height and
// density of every sample, the critical times and the heat the layer gave off, to 1e-9
// relative. Steckler_14: one room, board walls of its own over a gypsum building default.
// NBS_MV100A: three rooms, 40 s at dt 0.005, gypsum by default, board walls in room 1 and an
// adiabatic concrete ceiling in room 3. A wrong sign or factor in either interface height
// moves every sample far beyond the tolerance.

#include <gtest/gtest.h>

#include <cmath>
#include <filesystem>
#include <fstream>
#include <sstream>

#include <nlohmann/json.hpp>

#include "model/scenario.h"
#include "project/scenario_file.h"

namespace {

using nlohmann::json;

std::string ReadText(const std::filesystem::path& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

const std::filesystem::path kGolden = ZONEFIRE_HEAT_LOSS_GOLDEN;
constexpr double kTolerance = 1e-9;  // relative

void ExpectClose(double expected, double actual, const std::string& what) {
    const double scale = std::max(std::abs(expected), 1e-300);
    EXPECT_LE(std::abs(actual - expected) / scale, kTolerance) << what << ": expected " << expected << ", got " << actual;
}

// Critical times in the recorded order; 0 = not reached.
constexpr std::pair<const char*, zf::HazardKind> kFactors[] = {
    {"T", zf::hkTemperature}, {"Vis", zf::hkVisibility}, {"O2", zf::hkOxygen}, {"CO", zf::hkCO},
    {"CO2", zf::hkCO2},       {"HCl", zf::hkHCl},        {"Rad", zf::hkRadiation}};

class HeatLossGolden : public ::testing::TestWithParam<const char*> {};

TEST_P(HeatLossGolden, SamplesCriticalTimesAndHeatLostAsRecorded) {
    const std::string name = GetParam();
    zf::TzoneMath zm;
    ASSERT_EQ(zf::project::ReadScenario(ReadText(kGolden / (name + ".scenario.json")), zm), std::nullopt);
    ASSERT_TRUE(zm.Options.HeatLoss.Enabled);
    const json expected = json::parse(ReadText(kGolden / (name + ".expected.json")));
    ASSERT_TRUE(zm.Run()) << zf::DescribeFault(zm.LastFault);
    EXPECT_EQ(expected["completed"].get<bool>(), true);
    EXPECT_EQ(zm.Iter, expected["iter"].get<int>());
    ASSERT_EQ(static_cast<std::size_t>(zm.SampleCount), expected["sample_times"].size());
    for (const json& room : expected["rooms"]) {
        const int i = room["number"].get<int>() - 1;
        zf::TRoom& r = zm.Room(i);
        const std::string where = name + " room " + std::to_string(i + 1);
        ExpectClose(room["heat_lost_J"].get<double>(), r.Enclosure.HeatLost, where + " heat lost");
        for (const auto& [key, kind] : kFactors)
            ExpectClose(room["critical_times"][key].get<double>(), r.CritTimeOf(kind), where + " t_" + key);
        for (std::size_t m = 0; m < room["T2"].size(); ++m) {
            const std::string at = where + " sample " + std::to_string(m);
            ExpectClose(room["T2"][m].get<double>(), r.Samples[m].T2, at + " T2");
            ExpectClose(room["Yk"][m].get<double>(), r.Samples[m].Yk, at + " Yk");
            ExpectClose(room["Ro2"][m].get<double>(), r.Samples[m].Ro2, at + " Ro2");
        }
    }
}

INSTANTIATE_TEST_SUITE_P(Recorded, HeatLossGolden, ::testing::Values("Steckler_14", "NBS_MV100A"));

// Surfaces advanced every 0.1 s with the mean flux instead of every step: every sample's layer
// temperature stays within 10⁻⁴ of the recorded one (hundredths of a kelvin), yet differs (the
// setting acts).
TEST_P(HeatLossGolden, SurfacesEveryTenthOfASecondStayWithinATenThousandth) {
    const std::string name = GetParam();
    zf::TzoneMath zm;
    ASSERT_EQ(zf::project::ReadScenario(ReadText(kGolden / (name + ".scenario.json")), zm), std::nullopt);
    zm.Options.HeatLoss.SurfaceInterval = 0.1;
    const json expected = json::parse(ReadText(kGolden / (name + ".expected.json")));
    ASSERT_TRUE(zm.Run()) << zf::DescribeFault(zm.LastFault);
    double largest = 0;
    for (const json& room : expected["rooms"]) {
        const zf::TRoom& r = zm.Room(room["number"].get<int>() - 1);
        for (std::size_t m = 0; m < room["T2"].size(); ++m) {
            const double recorded = room["T2"][m].get<double>();
            largest = std::max(largest, std::abs(r.Samples[m].T2 - recorded) / recorded);
        }
    }
    EXPECT_LE(largest, 1e-4);
    EXPECT_GT(largest, 0.0);
}

}  // namespace
