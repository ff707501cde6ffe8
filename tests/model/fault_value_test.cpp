// A failed run's message names the value the quantity came out with, in its unit, and says
// what to do: one case per fault the engine can meet, run for real, and the words for values
// that are no number at all.

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

#include "named_buildings.h"
#include "model/scenario.h"

namespace {

bool Contains(const std::string& text, const std::string& piece) { return text.find(piece) != std::string::npos; }

// A failing building of the named ones, the quantity it fails in, the value's words and the advice.
struct ValueCase {
    const char* Building;
    zf::Quantity What;
    const char* Value;   // the value as the message gives it, with its unit
    const char* Advice;  // the start of what the message tells the engineer to do
};

void PrintTo(const ValueCase& c, std::ostream* os) { *os << c.Building; }

class FaultValue : public ::testing::TestWithParam<ValueCase> {};

TEST_P(FaultValue, TheMessageNamesTheValueAndWhatToDo) {
    const ValueCase& c = GetParam();
    zf::TzoneMath z;
    testing_zf::Load(z, testing_zf::NamedBuildingCalled(c.Building));
    ASSERT_FALSE(z.Run());
    const zf::RunFault& f = z.LastFault;
    EXPECT_EQ(f.What, c.What);
    const std::string text = zf::DescribeFault(f);
    EXPECT_TRUE(Contains(text, std::string("получено значение: ") + c.Value)) << text;
    EXPECT_TRUE(Contains(text, c.Advice)) << text;
    // The value is the one the quantity came out with, not a stand-in.
    ASSERT_TRUE(f.Value.has_value());
    EXPECT_FALSE(std::isfinite(*f.Value)) << *f.Value;
}

// Where the fault lies in terms of a quantity, not in a value of it (the interface's terms of
// a room without a floor, the working-zone profile with the working zone at the ceiling), no
// value is named, least of all one left from the step before; what to do still is.
TEST(FaultWithoutValue, NoValueWhereOnlyTermsOfTheQuantityFailed) {
    for (const char* name : {"RoomWithoutFloorFails", "AbsurdOutsideTemperatureFails", "WorkingZoneAtCeilingFails"}) {
        zf::TzoneMath z;
        testing_zf::Load(z, testing_zf::NamedBuildingCalled(name));
        ASSERT_FALSE(z.Run()) << name;
        EXPECT_FALSE(z.LastFault.Value.has_value()) << name;
        const std::string text = zf::DescribeFault(z.LastFault);
        EXPECT_FALSE(Contains(text, "получено значение")) << text;
        EXPECT_TRUE(Contains(text, "Проверьте размеры помещений и проемов")) << text;
    }
}

INSTANTIATE_TEST_SUITE_P(
    FailingBuildings, FaultValue,
    ::testing::Values(
        // 0 / 0 in McCaffrey's plume without heat release.
        ValueCase{"NoHeatMcCaffreyFails", zf::Quantity::PlumeFlow, "не число", "Проверьте параметры горючей нагрузки"},
        // A layer denser than the outside air drives no flow: the root of a negative number.
        ValueCase{"LayerDenserThanAirFails", zf::Quantity::OpeningFlow, "не число", "Включите учет теплопотерь"},
        // The small room's layer temperature explodes: its heat loss overflows.
        ValueCase{"HeatLossOfThePreviousLayerOverflows", zf::Quantity::HeatLoss, "бесконечность Вт", "Включите учет теплопотерь"}),
    [](const ::testing::TestParamInfo<ValueCase>& info) { return std::string(info.param.Building); });

// A value that is a number is written as the messages write numbers, with its unit; infinities
// and "not a number" in words; a quantity with no one value (the sample) names none.
TEST(FaultValueText, NumbersInfinitiesAndNoValue) {
    zf::RunFault f{zf::FaultKind::Overflow, zf::Quantity::Temperature, 12, 1};
    f.Value = 1.5e305;
    EXPECT_TRUE(Contains(zf::DescribeFault(f), "получено значение: 1,5E305 К (шаг №12)")) << zf::DescribeFault(f);
    f.Value = -std::numeric_limits<double>::infinity();
    EXPECT_TRUE(Contains(zf::DescribeFault(f), "получено значение: минус бесконечность К")) << zf::DescribeFault(f);
    f.What = zf::Quantity::Radiation;
    f.Value = std::numeric_limits<double>::quiet_NaN();
    EXPECT_TRUE(Contains(zf::DescribeFault(f), "получено значение: не число (результат неопределенной операции) (шаг"))
        << zf::DescribeFault(f);
    f.What = zf::Quantity::Sampling;
    f.Value.reset();
    EXPECT_FALSE(Contains(zf::DescribeFault(f), "получено значение")) << zf::DescribeFault(f);
    EXPECT_TRUE(Contains(zf::DescribeFault(f), "Проверьте размеры помещений: значения слишком велики")) << zf::DescribeFault(f);
}

// Every fault's message ends with what to do.
TEST(FaultValueText, EveryKindSaysWhatToDo) {
    for (int kind = 1; kind <= static_cast<int>(zf::FaultKind::OutOfMemory); ++kind) {
        zf::RunFault f{static_cast<zf::FaultKind>(kind), zf::Quantity::Density, 3, 0};
        const std::string text = zf::DescribeFault(f);
        const bool advises = Contains(text, "Проверьте") || Contains(text, "уменьшите") || Contains(text, "Уменьшите") ||
                             Contains(text, "Добавьте") || Contains(text, "должны быть");
        EXPECT_TRUE(advises) << kind << ": " << text;
    }
}

}  // namespace
