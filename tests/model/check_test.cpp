// The input check refuses inputs bound to fail before any result exists, naming the field and
// the room; everything else, including a building without rooms, is left to the run.

#include <gtest/gtest.h>

#include <cmath>

#include "test_buildings.h"
#include "model/number_text.h"
#include "model/scenario.h"

namespace {

struct CheckCase {
    const char* name;
    void (*change)(zf::TzoneMath&);
    const char* mentions;  // a piece of the message; nullptr = accepted
};

void PrintTo(const CheckCase& c, std::ostream* os) { *os << c.name; }

class InputCheck : public ::testing::TestWithParam<CheckCase> {};

TEST_P(InputCheck, RefusesWithAMessageNamingTheInput) {
    zf::TzoneMath z;
    testing_zf::SetDefaultInputs(z);
    testing_zf::BuildTwoRooms(z);
    GetParam().change(z);
    const std::string message = z.CheckInputs();
    if (GetParam().mentions == nullptr) {
        EXPECT_EQ(message, "") << GetParam().name;
    } else {
        EXPECT_NE(message.find(GetParam().mentions), std::string::npos) << GetParam().name << ": " << message;
    }
}

INSTANTIATE_TEST_SUITE_P(
    Check, InputCheck,
    ::testing::Values(
        CheckCase{"defaults", [](zf::TzoneMath&) {}, nullptr},
        CheckCase{"no rooms", [](zf::TzoneMath& z) { z.DeleteRoom(0), z.DeleteRoom(0); }, nullptr},
        CheckCase{"zero step", [](zf::TzoneMath& z) { z.dt = 0; }, "Шаг, c:"},
        CheckCase{"negative step", [](zf::TzoneMath& z) { z.dt = -0.1; }, "Шаг, c:"},
        CheckCase{"zero temperature", [](zf::TzoneMath& z) { z.T0 = 0; }, "T0, К"},
        CheckCase{"too many steps", [](zf::TzoneMath& z) { z.SimTime = 1e6; }, "шагов"},
        CheckCase{"zero length", [](zf::TzoneMath& z) { z.Room(1).Length = 0; }, "Помещение №2: длина"},
        CheckCase{"zero width", [](zf::TzoneMath& z) { z.Room(0).Width = 0; }, "Помещение №1: ширина"},
        CheckCase{"zero height", [](zf::TzoneMath& z) { z.Room(1).Height = 0; }, "Помещение №2: высота"},
        CheckCase{"working zone at the ceiling", [](zf::TzoneMath& z) { z.hr = 3; }, "Помещение №1: высота рабочей зоны"},
        CheckCase{"working zone above one room", [](zf::TzoneMath& z) { z.Room(1).Height = 1.5; },
                  "Помещение №2: высота рабочей зоны"},
        CheckCase{"fire load area limit", [](zf::TzoneMath& z) { z.Options.FireAreaMax = 12.5; }, nullptr},
        CheckCase{"negative fire load area", [](zf::TzoneMath& z) { z.Options.FireAreaMax = -1; },
                  "площадь, занимаемая пожарной нагрузкой, не может быть отрицательной, задано -1 м²"},
        CheckCase{"fire load area not a number", [](zf::TzoneMath& z) { z.Options.FireAreaMax = std::nan(""); },
                  "площадь, занимаемая пожарной нагрузкой, не является конечным числом"},
        CheckCase{"infinite fire load area", [](zf::TzoneMath& z) { z.Options.FireAreaMax = INFINITY; },
                  "не является конечным числом"},
        CheckCase{"room higher than a kilometre", [](zf::TzoneMath& z) { z.Room(1).Height = 1001; },
                  "Помещение №2: высота 1 001 м больше 1 000 м"},
        CheckCase{"room a kilometre long is still a building", [](zf::TzoneMath& z) { z.Room(1).Length = 1000; },
                  nullptr},
        CheckCase{"outside temperature too small for the air density", [](zf::TzoneMath& z) { z.T0 = 1e-320; },
                  "E-321 К слишком мала: плотность наружного воздуха не выражается числом"},
        CheckCase{"steps counted in the window's number format", [](zf::TzoneMath& z) { z.SimTime = 1e6; },
                  "время моделирования 1 000 000 с при шаге 0,0001 с дает 10 000 000 000 шагов, допустимо не "
                  "более 2 147 483 647."},
        CheckCase{"no samples per second", [](zf::TzoneMath& z) { z.SamplesPerSec = 0; }, "записей"},
        CheckCase{"step longer than the sampling interval is left to the run", [](zf::TzoneMath& z) { z.dt = 0.3; },
                  nullptr},
        CheckCase{"McCaffrey without heat release is left to the run",
                  [](zf::TzoneMath& z) { z.UseTanaka = false, z.Qn = 0; }, nullptr}),
    [](const auto& info) { return "Case" + std::to_string(info.index); });

}  // namespace

TEST(MessageNumbers, WindowFormatWithGroupedDigitsAndDecimalComma) {
    EXPECT_EQ(zf::MessageNumberText(1e6), "1 000 000");
    EXPECT_EQ(zf::MessageNumberText(0.0001), "0,0001");
    EXPECT_EQ(zf::MessageNumberText(-12345.5), "-12 345,5");
    EXPECT_EQ(zf::MessageNumberText(999), "999");
    EXPECT_EQ(zf::MessageNumberText(1000), "1 000");
    EXPECT_EQ(zf::MessageNumberText(0.1 + 0.2), "0,3");  // 15 significant digits
    EXPECT_EQ(zf::MessageNumberText(1e-5), "1E-5");
    EXPECT_EQ(zf::MessageNumberText(123456789012345678.0), "1,23456789012346E17");
}
