// Number texts: the shortest round trip for files, the general format for people.

#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>
#include <limits>
#include <optional>
#include <ostream>

#include "number_format.h"

using namespace zfreport;

namespace {

bool SameBits(double a, double b) { return std::memcmp(&a, &b, sizeof a) == 0; }

}  // namespace

TEST(NumberText, ReadsBackToTheSameDouble) {
    const double values[] = {0.1,
                             1.0 / 3,
                             0.15000000000000002,
                             364.81318541072469,
                             2.3e-05,
                             -0.0,
                             std::numeric_limits<double>::denorm_min(),
                             std::numeric_limits<double>::max(),
                             -std::numeric_limits<double>::min()};
    for (double v : values) {
        const std::string text = NumberText(v);
        EXPECT_EQ(text.find(','), std::string::npos) << text;
        EXPECT_TRUE(SameBits(std::strtod(text.c_str(), nullptr), v)) << text;
    }
}

struct General {
    double value;
    const char* point;  // with "." as the separator; the comma form replaces it
};
void PrintTo(const General& c, std::ostream* os) { *os << c.point; }
class GeneralNumber : public testing::TestWithParam<General> {};

TEST_P(GeneralNumber, FifteenSignificantDigitsWithTheGivenSeparator) {
    const General c = GetParam();
    EXPECT_EQ(GeneralNumberText(c.value, "."), c.point);
    std::string comma = c.point;
    for (char& ch : comma)
        if (ch == '.') ch = ',';
    EXPECT_EQ(GeneralNumberText(c.value, ","), comma);
}

// The windows' tests cover the format's ordinary cases under both locales; these are its edges.
INSTANTIATE_TEST_SUITE_P(
    Edges, GeneralNumber,
    testing::Values(General{-0.0, "0"}, General{-3.75, "-3.75"}, General{55.730000000000004, "55.73"},
                    General{0.0001, "0.0001"}, General{-2.5e-6, "-2.5E-6"},
                    General{1234567890123456, "1.23456789012346E15"}, General{999999999999999.9, "1E15"},
                    General{9.9999999999999999e-5, "0.0001"},  // rounds up into the fixed range
                    General{std::numeric_limits<double>::quiet_NaN(), "NAN"}));

// ---- Plain notation: the texts of fields a person edits ----------------------------------------

struct Plain {
    double value;
    int decimals;  // −1: the shortest digits that read back
    const char* text;
};
void PrintTo(const Plain& c, std::ostream* os) { *os << c.text; }
class PlainNumber : public testing::TestWithParam<Plain> {};

TEST_P(PlainNumber, NeverAnExponentAndTheGivenSeparator) {
    const Plain c = GetParam();
    const auto decimals = c.decimals < 0 ? std::nullopt : std::optional<int>(c.decimals);
    EXPECT_EQ(zf::PlainNumberText(c.value, ",", decimals), c.text);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, PlainNumber,
    testing::Values(
        // A field's first text keeps the places the window shows, trailing zeros included.
        Plain{0.0145, 5, "0,01450"}, Plain{1.03, 4, "1,0300"}, Plain{13800000, 0, "13800000"},
        Plain{0.97, 2, "0,97"}, Plain{0.0001, 4, "0,0001"},
        // Rounded from the binary value: 2.675 and 1.005 are stored a little below.
        Plain{2.675, 2, "2,67"}, Plain{1.005, 2, "1,00"}, Plain{0.0108, 2, "0,01"}, Plain{-0.004, 2, "-0,00"},
        // The shortest digits, where the general format would switch to an exponent.
        Plain{1e-05, -1, "0,00001"}, Plain{2.5e-6, -1, "0,0000025"}, Plain{1e20, -1, "100000000000000000000"},
        Plain{0.1 + 0.2, -1, "0,30000000000000004"}, Plain{-0.0, -1, "-0"}, Plain{4, -1, "4"}));

TEST(PlainNumber, TheExtremesOfADoubleReadBackWhole) {
    for (const double v : {std::numeric_limits<double>::max(), -std::numeric_limits<double>::max(),
                           std::numeric_limits<double>::denorm_min(), -std::numeric_limits<double>::min()}) {
        const std::string text = zf::PlainNumberText(v, ".");
        EXPECT_EQ(text.find('e'), std::string::npos) << text;
        EXPECT_TRUE(SameBits(std::strtod(text.c_str(), nullptr), v)) << text;
    }
    // 309 whole digits and the places asked for, none lost to a buffer.
    const std::string wide = zf::PlainNumberText(std::numeric_limits<double>::max(), ",", 40);
    EXPECT_EQ(wide.size(), 309u + 1 + 40);
    EXPECT_EQ(wide.substr(309), "," + std::string(40, '0'));
    EXPECT_EQ(zf::PlainNumberText(std::numeric_limits<double>::infinity(), ","), "inf");
}
