// The model options in the scenario file: "consistent_outflow", "heat_loss" and a room's own
// "walls" and "ceiling" read, written back byte for byte, refused with a message naming the
// room and the key, and carried into the model; files without them stay version 1.

#include <gtest/gtest.h>

#include "project/document.h"
#include "project/scenario_file.h"

namespace {

using namespace zf::project;

std::string WithRooms(const std::string& heatLoss, const std::string& room = "{}") {
    return R"({"rooms": [)" + room + "]" + (heatLoss.empty() ? "" : R"(, "heat_loss": )" + heatLoss) + "}";
}

Document Read(const std::string& text) {
    Document d;
    const auto refused = ReadDocument(text, d);
    EXPECT_EQ(refused, std::nullopt) << text;
    return d;
}

void ExpectRoundTrip(const Document& d) {
    const std::string saved = WriteDocument(d);
    Document opened;
    ASSERT_EQ(ReadDocument(saved, opened), std::nullopt) << saved;
    EXPECT_EQ(opened, d) << saved;
    EXPECT_EQ(WriteDocument(opened), saved);
}

TEST(ModelOptionKeys, BuildingAndRoomSurfacesCustomMaterialsAndStacksRoundTrip) {
    const char* texts[] = {
        R"({"rooms": [{}], "heat_loss": {"walls": {"material": "gypsum_board", "thickness": 0.0125}}})",
        R"({"rooms": [{}, {"walls": {"material": "brick", "thickness": 0.25}}], "consistent_outflow": true,
            "heat_loss": {"walls": {"material": "concrete", "thickness": 0.2},
                          "ceiling": {"material": {"k": 0.5, "rho": 900, "c": 1000}, "thickness": 0.1, "back": "adiabatic"}}})",
        R"({"rooms": [{"ceiling": {"layers": [{"material": "insulating_board", "thickness": 0.0127},
                                             {"material": "aluminium_sheet", "thickness": 0.00066}]}}],
            "heat_loss": {"walls": {"layers": [{"material": "steel_sheet", "thickness": 0.001}]}}})",
        R"({"rooms": [{}], "consistent_outflow": true})",
        R"({"rooms": [{}], "heat_loss": {"walls": {"material": "brick", "thickness": 0.1}, "surface_interval": 0.1}})",
    };
    for (const char* text : texts) ExpectRoundTrip(Read(text));
}

TEST(ModelOptionKeys, VersionTwoOnlyWhenAnOptionIsUsed) {
    EXPECT_NE(WriteDocument(Read(R"({"rooms": [{}]})")).find("\"version\": 1,"), std::string::npos);
    EXPECT_NE(WriteDocument(Read(R"({"rooms": [{}], "consistent_outflow": false})")).find("\"version\": 1,"), std::string::npos);
    EXPECT_NE(WriteDocument(Read(R"({"rooms": [{}], "consistent_outflow": true})")).find("\"version\": 2,"), std::string::npos);
    const Document heat = Read(WithRooms(R"({"walls": {"material": "brick", "thickness": 0.12}})"));
    EXPECT_NE(WriteDocument(heat).find("\"version\": 2,"), std::string::npos);
}

TEST(ModelOptionKeys, ARoomTakesItsOwnSurfacesThenTheBuildingsIntoTheModel) {
    const Document d = Read(R"({"rooms": [{}, {"walls": {"material": "brick", "thickness": 0.25}},
                                          {"ceiling": {"material": "steel_sheet", "thickness": 0.002}}],
        "consistent_outflow": true,
        "heat_loss": {"walls": {"material": "gypsum_board", "thickness": 0.0125},
                      "ceiling": {"material": "concrete", "thickness": 0.2}}})");
    zf::TzoneMath zm;
    Apply(d, zm);
    EXPECT_TRUE(zm.Options.ConsistentOutflow);
    ASSERT_TRUE(zm.Options.HeatLoss.Enabled);
    const auto key = [&](int room, bool ceiling) {
        const zf::ResolvedSurfaces s = zf::ResolveSurfaces(zm.Options.HeatLoss, room);
        return (ceiling ? s.Ceiling : s.Walls).Layers.front().Key;
    };
    EXPECT_EQ(key(0, false), "gypsum_board");
    EXPECT_EQ(key(0, true), "concrete");       // the building's ceiling
    EXPECT_EQ(key(1, false), "brick");
    EXPECT_EQ(key(1, true), "brick");          // the room's walls before the building's ceiling
    EXPECT_EQ(key(2, false), "gypsum_board");
    EXPECT_EQ(key(2, true), "steel_sheet");
    EXPECT_EQ(Capture(zm).HeatLoss, d.HeatLoss);
    EXPECT_EQ(Capture(zm).Rooms[1].Walls, d.Rooms[1].Walls);
    EXPECT_TRUE(Capture(zm).ConsistentOutflow);
}

TEST(ModelOptionKeys, WithoutHeatLossTheBuildingsCeilingIsItsWalls) {
    zf::HeatLossOptions o;
    o.Walls = zf::MaterialSurface("brick", 0.2);
    EXPECT_EQ(zf::ResolveSurfaces(o, 0).Ceiling, o.Walls);
    EXPECT_EQ(zf::ResolveSurfaces(o, 7).Walls, o.Walls);  // a room beyond the list: the building's
}

struct Refused {
    const char* Text;
    const char* Says;  // a piece of the message
};

class ModelOptionRefusals : public ::testing::TestWithParam<Refused> {};

TEST_P(ModelOptionRefusals, NameTheKeyAndWhatIsWrong) {
    Document d;
    d.Title = "прежнее";
    const auto message = ReadDocument(GetParam().Text, d);
    ASSERT_TRUE(message) << GetParam().Text;
    EXPECT_NE(message->find(GetParam().Says), std::string::npos) << *message;
    EXPECT_EQ(d.Title, "прежнее");  // a refused file leaves the document as it was
}

const std::string kFiveLayers = R"({"rooms": [{}], "heat_loss": {"walls": {"layers": [)" +
    std::string(R"({"material": "brick", "thickness": 0.1}, )") + R"({"material": "brick", "thickness": 0.1}, )" +
    R"({"material": "brick", "thickness": 0.1}, )" + R"({"material": "brick", "thickness": 0.1}, )" +
    R"({"material": "brick", "thickness": 0.1}]}}})";

INSTANTIATE_TEST_SUITE_P(
    Table, ModelOptionRefusals,
    ::testing::Values(
        Refused{R"({"rooms": [{}], "heat_loss": {"walls": {"material": "brick", "thickness": -0.1}}})", "ключ \"thickness\""},
        Refused{R"({"rooms": [{}], "heat_loss": {"walls": {"material": "brick", "thickness": 0}}})",
                "Толщина слоя — допустимо больше 0 и не больше 1 м, задано 0"},
        Refused{R"({"rooms": [{}], "heat_loss": {"walls": {"material": "brick", "thickness": 1.5}}})", "больше 1 м"},
        Refused{R"({"rooms": [{}], "heat_loss": {"walls": {"material": {"k": 0, "rho": 1, "c": 1}, "thickness": 0.1}}})",
                "ключ \"k\""},
        Refused{R"({"rooms": [{}], "heat_loss": {"walls": {"material": "wood", "thickness": 0.1}}})",
                "известны: concrete, brick, gypsum_board, insulating_board, calcium_silicate_board, steel_sheet, aluminium_sheet"},
        Refused{kFiveLayers.c_str(), "от 1 до 4 слоев"},
        Refused{R"({"rooms": [{}], "heat_loss": {"ceiling": {"material": "brick", "thickness": 0.1}}})", "не задан ключ \"walls\""},
        Refused{R"({"rooms": [{}], "heat_loss": {"walls": {"material": "brick", "thickness": 0.1, "colour": 1}}})",
                "неизвестный ключ \"colour\""},
        Refused{R"({"rooms": [{}], "heat_loss": {"walls": {"material": "brick", "thickness": 0.1}, "floor": {}}})",
                "неизвестный ключ \"floor\""},
        Refused{R"({"rooms": [{}], "heat_loss": {"walls": {"material": "brick", "thickness": 0.1, "back": "cold"}}})",
                "\"ambient\" или \"adiabatic\""},
        Refused{R"({"rooms": [{}, {"walls": {"material": "brick", "thickness": 0.1}}]})",
                "помещение №2, ключ \"walls\": поверхности помещения заданы, а учет теплопотерь не включен"},
        Refused{R"({"rooms": [{}, {"ceiling": {"material": "brick"}}], "heat_loss": {"walls": {"material": "brick", "thickness": 0.1}}})",
                "помещение №2, ключ \"ceiling\": не задан ключ \"thickness\""},
        Refused{R"({"rooms": [{}], "heat_loss": {"walls": {"material": "brick", "thickness": 0.1}, "surface_interval": -0.1}})",
                "ключ \"surface_interval\": Интервал прогрева стен и потолка — допустимо от 0 до 1 с"},
        Refused{R"({"rooms": [{}], "heat_loss": {"walls": {"material": "brick", "thickness": 0.1}, "surface_interval": 5}})",
                "до 1"},
        Refused{R"({"rooms": [{}], "consistent_outflow": 1})", "ключ \"consistent_outflow\": ожидается true или false"}));

}  // namespace
