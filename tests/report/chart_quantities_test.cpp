// Every quantity's axis and column title writes its unit as a printed text does, in the
// window and on paper alike: kelvin as К (never °K), powers as superscripts (м², м³), no
// "*" for a product, no trailing dot; and a symbol before the unit.
#include <gtest/gtest.h>

#include <string>

#include "chart_quantities.h"
#include "model/sample.h"

namespace {

TEST(QuantityTitles, UnitsAreWrittenAsPrinted) {
    for (bool hazard : {false, true}) {
        const int count = hazard ? zf::kHazardCount : zfreport::kParameterCount;
        for (int i = 0; i < count; ++i) {
            const std::string label = zfreport::ViewOf(hazard, i).Label;
            for (const char* wrong : {"°K", "м2", "м3", "м-2", "*"}) EXPECT_EQ(label.find(wrong), std::string::npos) << label;
            EXPECT_NE(label.back(), '.') << label;
            EXPECT_GT(label.find(", "), 0u) << label;  // "symbol, unit"
            EXPECT_NE(label.find(", "), std::string::npos) << label;
        }
    }
}

}  // namespace
