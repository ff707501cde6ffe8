// The input check refuses inputs bound to fail before any result exists, naming the field and
// the room; everything else, including a building without rooms, is left to the run.

#include <gtest/gtest.h>

#include "test_buildings.h"
#include "zone_math.h"

namespace {

struct CheckCase {
    const char* name;
    void (*change)(TzoneMath&);
    const char* mentions;  // a piece of the message; nullptr = accepted
};

void PrintTo(const CheckCase& c, std::ostream* os) { *os << c.name; }

class InputCheck : public ::testing::TestWithParam<CheckCase> {};

TEST_P(InputCheck, RefusesWithAMessageNamingTheInput) {
    TzoneMath z;
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
        CheckCase{"defaults", [](TzoneMath&) {}, nullptr},
        CheckCase{"no rooms", [](TzoneMath& z) { z.DeleteRoom(0), z.DeleteRoom(0); }, nullptr},
        CheckCase{"zero step", [](TzoneMath& z) { z.dt = 0; }, "Шаг, c:"},
        CheckCase{"negative step", [](TzoneMath& z) { z.dt = -0.1; }, "Шаг, c:"},
        CheckCase{"zero temperature", [](TzoneMath& z) { z.T0 = 0; }, "T0, К"},
        CheckCase{"too many steps", [](TzoneMath& z) { z.SimTime = 1e6; }, "шагов"},
        CheckCase{"zero length", [](TzoneMath& z) { z.Room(1).Length = 0; }, "Помещение №2: длина"},
        CheckCase{"zero width", [](TzoneMath& z) { z.Room(0).Width = 0; }, "Помещение №1: ширина"},
        CheckCase{"zero height", [](TzoneMath& z) { z.Room(1).Height = 0; }, "Помещение №2: высота"},
        CheckCase{"working zone at the ceiling", [](TzoneMath& z) { z.hr = 3; }, "Помещение №1: высота рабочей зоны"},
        CheckCase{"working zone above one room", [](TzoneMath& z) { z.Room(1).Height = 1.5; },
                  "Помещение №2: высота рабочей зоны"},
        CheckCase{"no samples per second", [](TzoneMath& z) { z.SamplesPerSec = 0; }, "записей"},
        CheckCase{"step longer than the sampling interval is left to the run", [](TzoneMath& z) { z.dt = 0.3; },
                  nullptr},
        CheckCase{"McCaffrey without heat release is left to the run",
                  [](TzoneMath& z) { z.UseTanaka = false, z.Qn = 0; }, nullptr}),
    [](const auto& info) { return "Case" + std::to_string(info.index); });

}  // namespace
