// A handful of named buildings against the results recorded in data/golden/NAME.txt: the
// outcome and fault, every room's critical times, the state every 10 s (all 14 values to 17
// digits, read and reviewed once when recorded) and a fingerprint of every sample. Recorded by
// this program: ZONEFIRE_WRITE_GOLDEN=1 build/tests/model/model_tests --gtest_filter='Golden*'
// writes the files anew (review the difference before committing it).

#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <sstream>

#include "corpus.h"
#include "named_buildings.h"

namespace {

std::string Number(double v) {
    char text[32];
    std::snprintf(text, sizeof text, "%.17g", v);
    return text;
}

// The text of a run: one sample per second recorded, a line every 10 s.
std::string ResultText(const std::string& name) {
    zf::TzoneMath z;
    testing_zf::Load(z, testing_zf::NamedBuildingCalled(name), 1);
    const bool ok = z.Run();
    const zf::RunFault& f = z.LastFault;
    std::ostringstream out;
    out << "# " << name << ": samples of 1 s; critical times T Vis O2 CO CO2 HCl Rad [s], 0 = not reached\n";
    out << "outcome " << testing_zf::CorpusOutcome(z, ok) << " steps " << z.StepCount << " samples "
        << z.SampleCount << "\n";
    out << "fault kind " << static_cast<int>(f.Kind) << " quantity " << static_cast<int>(f.What) << " step " << f.Step
        << " room " << f.Room << " denser " << f.DenserThanAir << "\n";
    const zf::HazardKind order[] = {zf::hkTemperature, zf::hkVisibility, zf::hkOxygen,   zf::hkCO,
                                    zf::hkCO2,         zf::hkHCl,        zf::hkRadiation};
    for (int i = 0; i < z.RoomCount(); ++i) {
        const zf::TRoom& r = z.Room(i);
        out << "room " << i + 1 << " critical";
        for (zf::HazardKind h : order) out << " " << Number(r.CritTimeOf(h));
        out << "\n# t Fp Gk Yk Ro2 T2 Gm YkPred Tw Lw O2w qRad COw CO2w HClw\n";
        for (std::size_t m = 0; m < r.Samples.size(); m += 10) {
            out << m;
            for (int e = 0; e < zf::ResultSample::kCount; ++e) out << " " << Number(r.Samples[m][e]);
            out << "\n";
        }
    }
    return out.str();
}

std::string GoldenPath(const std::string& name) { return std::string(ZONEFIRE_GOLDEN_DIR) + "/" + name + ".txt"; }

// The first line where two texts differ, both versions.
std::string FirstDifference(const std::string& a, const std::string& b) {
    std::istringstream x(a), y(b);
    std::string p, q;
    for (int line = 1;; ++line) {
        const bool morep = static_cast<bool>(std::getline(x, p)), moreq = static_cast<bool>(std::getline(y, q));
        if (!morep && !moreq) return "";
        if (p != q || morep != moreq)
            return "line " + std::to_string(line) + ":\n recorded: " + q + "\n computed: " + p;
    }
}

class Golden : public testing::TestWithParam<std::string> {};

TEST_P(Golden, ResultsAreTheRecordedOnes) {
    const std::string text = ResultText(GetParam());
    if (std::getenv("ZONEFIRE_WRITE_GOLDEN") != nullptr) std::ofstream(GoldenPath(GetParam()), std::ios::binary) << text;
    std::ifstream in(GoldenPath(GetParam()), std::ios::binary);
    ASSERT_TRUE(in) << GoldenPath(GetParam());
    std::ostringstream recorded;
    recorded << in.rdbuf();
    EXPECT_EQ(FirstDifference(text, recorded.str()), "");
}

// Both plumes on the two-room building, a corridor with a closed door and the fire load
// limited, every limit met under a low ceiling, and two runs that fail in a known step.
INSTANTIATE_TEST_SUITE_P(Buildings, Golden,
                         testing::Values("TwoRoomsTanaka", "TwoRoomsMcCaffrey", "CorridorFireLoadLimited",
                                         "FastFireLowCeiling", "LayerDenserThanAirFails",
                                         "HeatLossOfThePreviousLayerOverflows"),
                         [](const testing::TestParamInfo<std::string>& info) { return info.param; });

}  // namespace
