// Values that look typed in another unit, and buildings that look wrong, are warned of before a
// run; buildings that cannot exist are refused. Two rooms (5 × 4 × 3 and 6 × 5 × 3 m, one
// doorway) with an opening of the second room to the outside start clean; each case changes one
// thing.

#include <gtest/gtest.h>

#include <cmath>
#include <string>

#include "test_buildings.h"
#include "model/input_warnings.h"
#include "model/scenario.h"

namespace {

using zf::WarningSubject;

void CleanBuilding(zf::TzoneMath& z) {
    testing_zf::SetDefaultInputs(z);
    testing_zf::BuildTwoRooms(z);
    z.AddProem(1, 1, 2, 1.2, false);  // the second room's window to the outside
}

struct WarningCase {
    const char* Name;
    void (*Change)(zf::TzoneMath&);
    WarningSubject Subject;
    int Room;
    const char* Says;  // a piece of the one warning
};

void PrintTo(const WarningCase& c, std::ostream* os) { *os << c.Name; }

class UnitWarning : public testing::TestWithParam<WarningCase> {};

TEST_P(UnitWarning, NamesTheValueItsUnitAndWhatToCheck) {
    zf::TzoneMath z;
    CleanBuilding(z);
    GetParam().Change(z);
    EXPECT_EQ(z.CheckInputs(), "");  // a warning is no refusal: the building can be run
    const std::vector<zf::InputWarning> warnings = zf::InputWarnings(z);
    ASSERT_EQ(warnings.size(), 1u);
    EXPECT_EQ(warnings[0].Subject, GetParam().Subject);
    EXPECT_EQ(warnings[0].Room, GetParam().Room);
    EXPECT_NE(warnings[0].Message.find(GetParam().Says), std::string::npos) << warnings[0].Message;
}

INSTANTIATE_TEST_SUITE_P(
    Slips, UnitWarning,
    testing::Values(
        WarningCase{"HeatOfCombustionInMegajoules", [](zf::TzoneMath& z) { z.Qn = 13.8; },
                    WarningSubject::HeatOfCombustion, -1, "13,8 МДж/кг вводится как 13 800 000"},
        WarningCase{"NoHeatOfCombustion", [](zf::TzoneMath& z) { z.Qn = 0; }, WarningSubject::HeatOfCombustion, -1,
                    "меньше 1 МДж/кг"},
        WarningCase{"TemperatureInCelsius", [](zf::TzoneMath& z) { z.T0 = 20; }, WarningSubject::InitialTemperature,
                    -1, "20 °C — это 293 К"},
        WarningCase{"RoomInCentimetres", [](zf::TzoneMath& z) { z.Room(1).Length = 800, z.Room(1).Width = 500; },
                    WarningSubject::Room, 1, "Помещение №2: объем 1 200 000"},
        WarningCase{"DoorWiderThanTheShortWall", [](zf::TzoneMath& z) { z.EditProem(0, 1, 0, 2, 4.5, true); },
                    WarningSubject::Opening, 0, "больше короткой стены помещения №1 (4 м)"},
        WarningCase{"DoorAboveTheCeiling", [](zf::TzoneMath& z) { z.Room(1).Height = 2.5, z.EditProem(0, 1, 0, 2.8, 0.9, true); },
                    WarningSubject::Opening, 0, "больше высоты помещения №2 (2,5 м)"},
        WarningCase{"WindowAboveTheCeiling", [](zf::TzoneMath& z) { z.EditProem(1, 1, 0, 3.5, 1.2, false); },
                    WarningSubject::Opening, 1, "клетки [2, 2] (наружу) 3,5 м больше высоты помещения №2"},
        WarningCase{"FireRoomSealed", [](zf::TzoneMath& z) { z.DeleteProem(1, 1, 0); },
                    WarningSubject::FireRoomSealed, 0, "нет пути наружу"},
        WarningCase{"OnlyTheUnconnectedRoomHasAWindow",
                    [](zf::TzoneMath& z) { z.DeleteProem(0, 1, 0), z.EditProem(1, 1, 0, 2, 1.2, true); },
                    WarningSubject::FireRoomSealed, 0, "помещение №1"}),
    [](const testing::TestParamInfo<WarningCase>& info) { return std::string(info.param.Name); });

// Limits are where the slip begins, not before it.
TEST(UnitWarning, NoneForValuesAtTheLimitsOrAWindowTwoDoorsAway) {
    zf::TzoneMath z;
    CleanBuilding(z);
    z.Qn = zf::kLeastHeatOfCombustion;
    z.T0 = zf::kLeastInitialTemperature;
    z.Room(1).Length = 100, z.Room(1).Width = 100, z.Room(1).Height = 100;  // exactly 10⁶ m³
    z.AddRoom(5, 4, 3);
    testing_zf::AddDoorway(z, 1, 2, 2, 4, false);  // as wide as the third room's short wall, closed
    z.DeleteProem(1, 1, 0);
    z.AddProem(2, 2, 3, 1, true);  // the building's only window, two doorways from the fire
    EXPECT_TRUE(zf::InputWarnings(z).empty()) << zf::InputWarnings(z).front().Message;
    EXPECT_EQ(z.CheckInputs(), "");
}

struct RefusalCase {
    const char* Name;
    void (*Change)(zf::TzoneMath&);
    const char* Says;
};

void PrintTo(const RefusalCase& c, std::ostream* os) { *os << c.Name; }

class BuildingThatCannotExist : public testing::TestWithParam<RefusalCase> {};

TEST_P(BuildingThatCannotExist, IsRefusedNamingTheOpening) {
    zf::TzoneMath z;
    CleanBuilding(z);
    GetParam().Change(z);
    const std::string refusal = z.CheckInputs();
    EXPECT_NE(refusal.find(GetParam().Says), std::string::npos) << refusal;
}

INSTANTIATE_TEST_SUITE_P(
    Openings, BuildingThatCannotExist,
    testing::Values(
        RefusalCase{"DoorWiderThanBothWallsOfTheFireRoom", [](zf::TzoneMath& z) { z.EditProem(0, 1, 0, 2, 5.5, true); },
                    "проема №1 клетки [1, 2] (дверь между помещениями 1 и 2) 5,5 м больше обеих стен помещения №1"},
        RefusalCase{"WindowWiderThanBothWalls", [](zf::TzoneMath& z) { z.EditProem(1, 1, 0, 2, 7, false); },
                    "больше обеих стен помещения №2 (6 и 5 м)"},
        RefusalCase{"NegativeDoorWidth", [](zf::TzoneMath& z) { z.EditProem(0, 1, 0, 2, -0.9, true); },
                    "не может быть отрицательным: ширина -0,9 м"},
        RefusalCase{"NegativeWindowHeight", [](zf::TzoneMath& z) { z.EditProem(1, 1, 0, -2, 1.2, true); },
                    "высота -2 м"},
        RefusalCase{"DoorWidthNotANumber", [](zf::TzoneMath& z) { z.EditProem(0, 1, 0, 2, NAN, true); },
                    "не является конечным числом"}),
    [](const testing::TestParamInfo<RefusalCase>& info) { return std::string(info.param.Name); });

}  // namespace
