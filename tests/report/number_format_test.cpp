// Number texts: the shortest round trip for files, the general format for people.

#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>
#include <limits>
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
