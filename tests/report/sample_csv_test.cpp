// The room CSV: header, sample times and every value reading back to the same double.

#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>
#include <sstream>
#include <vector>

#include "sample_csv.h"
#include "../model/test_buildings.h"

using namespace zfreport;

namespace {

bool SameBits(double a, double b) { return std::memcmp(&a, &b, sizeof a) == 0; }

// Two rooms joined by a doorway, five seconds at a coarse step (a few milliseconds).
void RunTwoRooms(zf::TzoneMath& zm) {
    testing_zf::SetDefaultInputs(zm);
    zm.SimTime = 5;
    zm.dt = 0.01;
    testing_zf::BuildTwoRooms(zm);
    ASSERT_TRUE(zm.Run());
}

std::vector<std::string> Lines(const std::string& text) {
    std::vector<std::string> lines;
    std::istringstream in(text);
    for (std::string line; std::getline(in, line);) lines.push_back(line);
    return lines;
}

}  // namespace

TEST(SampleTime, IsTheMiddleOfTheSamplingInterval) {
    zf::TzoneMath zm;
    zm.dt = 0.0001;
    zm.StepsPerSample = 1000;
    EXPECT_DOUBLE_EQ(SampleTime(zm, 0), 0.05);
    EXPECT_DOUBLE_EQ(SampleTime(zm, 1), 0.15);
    EXPECT_DOUBLE_EQ(SampleTime(zm, 1999), 199.95);
    zm.StepsPerSample = 2000000;  // m·S beyond 32 bits
    EXPECT_DOUBLE_EQ(SampleTime(zm, 1999), 399900);
}

TEST(WriteRoomCsv, HeaderAndOneRowOfFifteenNumbersPerSample) {
    zf::TzoneMath zm;
    RunTwoRooms(zm);
    std::ostringstream out;
    WriteRoomCsv(out, zm, 1);
    const std::vector<std::string> lines = Lines(out.str());
    ASSERT_EQ(static_cast<int>(lines.size()), zm.SampleCount + 1);
    EXPECT_EQ(lines[0], "t,Fp,Gk,Yk,Ro2,T2,Gm,YkPred,Tw,Lw,O2w,qRad,COw,CO2w,HClw");
    for (int m = 0; m < zm.SampleCount; ++m) {
        std::vector<double> fields;
        std::istringstream row(lines[static_cast<std::size_t>(m) + 1]);
        for (std::string cell; std::getline(row, cell, ',');) fields.push_back(std::strtod(cell.c_str(), nullptr));
        ASSERT_EQ(fields.size(), 15u) << lines[static_cast<std::size_t>(m) + 1];
        EXPECT_TRUE(SameBits(fields[0], SampleTime(zm, m)));
        for (int e = 0; e < zf::ResultSample::kCount; ++e)
            EXPECT_TRUE(SameBits(fields[static_cast<std::size_t>(e) + 1], zm.Room(1).Samples[static_cast<std::size_t>(m)][e]))
                << zf::ResultSample::Name(e) << '[' << m << ']';
    }
}

// A run that ended before it sized every room's samples writes only what all rooms hold.
TEST(WriteRoomCsv, StopsAtTheSamplesEveryRoomHolds) {
    zf::TzoneMath zm;
    zm.AddRoom(4, 5, 3);
    zm.AddRoom(4, 5, 3);
    zm.dt = 0.1;
    zm.StepsPerSample = 1;
    zm.SampleCount = 5;
    zm.Room(0).Samples.resize(5);
    zm.Room(1).Samples.resize(3);
    EXPECT_EQ(RecordedSampleCount(zm), 3);
    std::ostringstream out;
    WriteRoomCsv(out, zm, 0);
    EXPECT_EQ(Lines(out.str()).size(), 4u);
}
