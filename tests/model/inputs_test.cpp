// The input table: every row complete and consistent, the critical values reaching the model
// as inputs with the limits people were judged by so far as their defaults.

#include <gtest/gtest.h>

#include <cmath>
#include <set>
#include <string>

#include "model/inputs.h"
#include "model/scenario.h"
#include "test_buildings.h"

namespace {

using zf::Input;
using zf::kInputs;

class InputRow : public testing::TestWithParam<Input> {};

// A row every consumer can use: named, captioned, its default allowed, and its value stored in
// exactly one place of the scenario.
TEST_P(InputRow, IsCompleteAndItsDefaultIsAllowed) {
    const Input& input = GetParam();
    EXPECT_FALSE(input.Label.empty());
    EXPECT_FALSE(input.Symbol.empty());
    EXPECT_FALSE(input.Name.empty());
    EXPECT_LE(input.Min, input.Max);
    EXPECT_TRUE(zf::OutOfRange(input, input.Default).empty()) << zf::OutOfRange(input, input.Default);
    EXPECT_NE(input.Field, nullptr);
    EXPECT_NE(input.Model == nullptr, input.Option == nullptr) << "one place in the scenario";
    // The main window shows every input but the critical values in a field of its own.
    EXPECT_EQ(input.Widget.empty(), input.Group == zf::InputGroup::Critical);
    EXPECT_EQ(zf::Parameters{}.*input.Field, input.Default);
}

// Out of range, and not finite, is refused with the input's name, its range and the value.
TEST_P(InputRow, RefusesValuesOutsideItsRangeNamingIt) {
    const Input& input = GetParam();
    for (const double bad : {input.Min - 1, input.Max * 2 + 1, std::nan("")}) {
        if (std::isinf(bad)) continue;
        const std::string why = zf::OutOfRange(input, bad);
        EXPECT_NE(why.find(std::string(input.Name)), std::string::npos) << why;
        EXPECT_NE(why.find("допустимо"), std::string::npos) << why;
    }
}

INSTANTIATE_TEST_SUITE_P(, InputRow, testing::ValuesIn(kInputs),
                         [](const testing::TestParamInfo<Input>& info) { return std::string(info.param.Key); });

TEST(InputTable, KeysLabelsAndPlacesAreUnique) {
    std::set<std::string_view> keys, labels, widgets;
    for (const Input& input : kInputs) {
        EXPECT_TRUE(keys.insert(input.Key).second) << input.Key;
        EXPECT_TRUE(labels.insert(input.Label).second) << input.Label;
        if (!input.Widget.empty()) {
            EXPECT_TRUE(widgets.insert(input.Widget).second) << input.Widget;
        }
        // Each row writes a value of its own: setting it changes no other row's.
        zf::Parameters p;
        p.*input.Field = -1;
        for (const Input& other : kInputs)
            if (&other != &input) EXPECT_EQ(p.*other.Field, other.Default) << input.Key << " and " << other.Key;
    }
}

// The seven hazard factors' limits, each once, in the results window's order; those reached
// from above (oxygen, visibility) say so.
TEST(InputTable, HoldsTheSevenCriticalValuesInTheResultsWindowsOrder) {
    std::vector<const Input*> critical;
    for (const Input& input : kInputs)
        if (input.Group == zf::InputGroup::Critical) critical.push_back(&input);
    ASSERT_EQ(critical.size(), static_cast<std::size_t>(zf::kHazardCount));
    zf::TzoneMath z;
    for (int k = 0; k < zf::kHazardCount; ++k) {
        z.*critical[static_cast<std::size_t>(k)]->Model = 1000 + k;  // a value of its own per row
        EXPECT_EQ(z.CritOf(static_cast<zf::HazardKind>(k)), 1000 + k) << critical[static_cast<std::size_t>(k)]->Key;
        const bool falling = k == zf::hkOxygen || k == zf::hkVisibility;
        EXPECT_EQ(critical[static_cast<std::size_t>(k)]->ReachedFalling, falling) << k;
    }
}

// The limits a new scenario starts with: the values every result so far was judged by.
TEST(CriticalValues, ANewScenarioStartsWithTheDefaultsOfTheTable) {
    const zf::TzoneMath z;
    EXPECT_EQ(z.CritT, 343.0);
    EXPECT_EQ(z.CritVis, 20.0);
    EXPECT_EQ(z.CritO2, 0.226);
    EXPECT_EQ(z.CritCO, 0.00116);
    EXPECT_EQ(z.CritCO2, 0.11);
    EXPECT_EQ(z.CritHCl, 2.3e-05);
    EXPECT_EQ(z.CritRad, 1400.0);
    for (const Input& input : kInputs)
        if (input.Group == zf::InputGroup::Critical) EXPECT_EQ(z.*input.Model, input.Default) << input.Key;
}

// A limit is an input: a lower critical temperature is reached no later, a higher one no
// earlier, on the same building (two rooms, a doorway, the default fire).
TEST(CriticalValues, AChangedLimitMovesTheCriticalTimeOnly) {
    const auto run = [](double critT) {
        auto z = std::make_unique<zf::TzoneMath>();
        testing_zf::SetDefaultInputs(*z);
        z->SimTime = 60;
        z->dt = 0.01;
        z->CritT = critT;
        z->AddRoom(4, 5, 3);
        z->AddRoom(4, 5, 3);
        testing_zf::AddDoorway(*z, 0, 1, 2, 0.9);
        EXPECT_TRUE(z->Run());
        return z;
    };
    const auto low = run(300), usual = run(343), high = run(1273);
    ASSERT_GT(usual->Room(0).CritTimeT, 0);
    EXPECT_GT(low->Room(0).CritTimeT, 0);
    EXPECT_LT(low->Room(0).CritTimeT, usual->Room(0).CritTimeT);
    EXPECT_EQ(high->Room(0).CritTimeT, 0);  // never reached
    // Nothing else of the run moves: the layer is the same to the bit.
    EXPECT_EQ(low->Room(0).Samples.back().T2, usual->Room(0).Samples.back().T2);
    EXPECT_EQ(low->Room(1).CritTimeVis, usual->Room(1).CritTimeVis);
}

TEST(CriticalValues, TheEnginesCheckRefusesOneOutsideItsRangeByItsCaption) {
    zf::TzoneMath z;
    testing_zf::SetDefaultInputs(z);
    z.AddRoom(4, 5, 3);
    ASSERT_EQ(z.CheckInputs(), "");
    z.CritVis = 60;  // visibility never exceeds 50 m: the limit could never count
    const std::string why = z.CheckInputs();
    EXPECT_NE(why.find("lкр, м"), std::string::npos) << why;
    EXPECT_NE(why.find("от 0 до 50 м"), std::string::npos) << why;
    EXPECT_NE(why.find("задано 60"), std::string::npos) << why;
}

}  // namespace
