// A study varies the heat-loss option's inputs: a wall or ceiling material as a choice of the
// table's materials, a layer's thickness as a distribution, for the building's surfaces and a
// room's own. Every run's building carries the draws and reads back as the run computes it;
// what cannot be varied is refused by entry and key before any run.

#include <gtest/gtest.h>

#include <set>

#include "model/scenario.h"
#include "project/scenario_file.h"
#include "study_file.h"
#include "study_random.h"
#include "study_texts.h"

using namespace zfcli::study;

namespace {

// Gypsum walls and a concrete ceiling for the building; room 2 has brick walls of its own and
// a ceiling of board on steel sheet.
const std::string kBase = R"("base": {"dt": 0.01, "SimTime": 5,
    "heat_loss": {"walls": {"material": "gypsum_board", "thickness": 0.0125},
                  "ceiling": {"material": "concrete", "thickness": 0.2}},
    "rooms": [{"length": 5, "width": 4, "height": 3},
              {"walls": {"material": "brick", "thickness": 0.12},
               "ceiling": {"layers": [{"material": "insulating_board", "thickness": 0.0127},
                                      {"material": "steel_sheet", "thickness": 0.001}]}}],
    "openings": [{"rooms": [1, 2]}, {"rooms": [2, 2]}]})";

std::string SurfaceStudy(const std::string& vary, const std::string& base = kBase) {
    return "{" + base + R"(, "runs": 12, "seed": 5, "sampling": "latin-hypercube", "vary": [)" + vary + "]}";
}

TEST(StudySurfaces, MaterialsAndThicknessesGoIntoEveryRunsBuilding) {
    Study study;
    ASSERT_EQ(ReadStudy(SurfaceStudy(R"(
        {"input": "heat_loss.walls.material", "distribution": "choice", "values": ["gypsum_board", "calcium_silicate_board"]},
        {"input": "heat_loss.walls.thickness", "distribution": "uniform", "min": 0.01, "max": 0.02},
        {"input": "heat_loss.ceiling.thickness", "distribution": "triangular", "min": 0.1, "mode": 0.2, "max": 0.3},
        {"input": "rooms[2].walls.material", "distribution": "choice", "values": ["concrete", "steel_sheet"], "weights": [3, 1]})"),
                        ".", study),
              std::nullopt);
    ASSERT_EQ(study.Inputs.size(), 4u);
    EXPECT_EQ(study.Inputs[0].Kind, InputKind::Material);
    EXPECT_EQ(study.Inputs[1].Kind, InputKind::Number);
    const Sampler sampler(study.Method, study.Seed, study.Runs, study.Inputs.size());
    std::set<std::string> materials;
    for (std::uint64_t run = 1; run <= study.Runs; ++run) {
        const std::vector<Draw> draws = DrawsOfRun(study, sampler, run);
        const zf::project::Document building = ScenarioOfRun(study, draws);
        const zf::SurfaceLayer& walls = building.HeatLoss->Walls.Layers.front();
        const zf::Material& drawn = *zf::FindMaterial(draws[0].Text);
        EXPECT_EQ(walls.Key, drawn.Key);
        EXPECT_EQ(walls.k, drawn.k);  // the table's properties come with the name
        EXPECT_EQ(walls.rho, drawn.rho);
        EXPECT_EQ(walls.c, drawn.c);
        EXPECT_EQ(walls.Thickness, draws[1].Rank);
        EXPECT_EQ(building.HeatLoss->Ceiling->Layers.front().Key, "concrete");  // kept from the base
        EXPECT_EQ(building.HeatLoss->Ceiling->Layers.front().Thickness, draws[2].Rank);
        EXPECT_EQ(building.Rooms[1].Walls->Layers.front().Key, draws[3].Text);
        EXPECT_EQ(building.Rooms[1].Walls->Layers.front().Thickness, 0.12);  // the base's thickness
        EXPECT_EQ(building.Rooms[1].Ceiling->Layers.size(), 2u);
        materials.insert(draws[0].Text);
        // The run reads what the study set: the emitted text reads back to this building,
        // and the run's surfaces are the drawn ones.
        const std::string text = ScenarioText(study, draws);
        zf::project::Document read;
        ASSERT_EQ(zf::project::ReadDocument(text, read), std::nullopt);
        EXPECT_EQ(read, building);
        zf::TzoneMath zm;
        ASSERT_EQ(zf::project::ReadScenario(text, zm), std::nullopt) << text;
        EXPECT_EQ(zf::ResolveSurfaces(zm.Options.HeatLoss, 0).Walls.Layers.front().Thickness, draws[1].Rank);
        EXPECT_EQ(zf::ResolveSurfaces(zm.Options.HeatLoss, 1).Walls.Layers.front().Key, draws[3].Text);
    }
    EXPECT_EQ(materials.size(), 2u);  // twelve Latin-hypercube draws give both choices
}

struct Refused {
    const char* Name;
    std::string Study;
    std::vector<std::string> Expected;
};
void PrintTo(const Refused& c, std::ostream* os) { *os << c.Name; }
class StudySurfaceRefused : public testing::TestWithParam<Refused> {};

TEST_P(StudySurfaceRefused, ByEntryAndKeyBeforeAnyRun) {
    const std::string message = zftest::Refusal(GetParam().Study);
    for (const std::string& part : GetParam().Expected) EXPECT_NE(message.find(part), std::string::npos) << message;
}

const std::string kNoCeiling = R"("base": {"heat_loss": {"walls": {"material": "brick", "thickness": 0.2}}, "rooms": [{}]})";
const std::string kNoHeatLoss = R"("base": {"rooms": [{}]})";

INSTANTIATE_TEST_SUITE_P(
    Table, StudySurfaceRefused,
    testing::Values(
        Refused{"NoHeatLossInTheBase",
                SurfaceStudy(R"({"input": "heat_loss.walls.thickness", "distribution": "uniform", "min": 0.01, "max": 0.02})", kNoHeatLoss),
                {"параметр №1 (\"heat_loss.walls.thickness\")", "теплопотери не учитываются", "\"heat_loss\""}},
        Refused{"RoomWallsWithoutHeatLoss",
                SurfaceStudy(R"({"input": "rooms[1].walls.material", "distribution": "choice", "values": ["brick"]})", kNoHeatLoss),
                {"теплопотери не учитываются"}},
        Refused{"UnknownPart", SurfaceStudy(R"({"input": "heat_loss.walls.colour", "distribution": "choice", "values": ["brick"]})"),
                {"неверная запись параметра \"heat_loss.walls.colour\"", "walls.material"}},
        Refused{"CeilingTheBaseLacks",
                SurfaceStudy(R"({"input": "heat_loss.ceiling.thickness", "distribution": "uniform", "min": 0.1, "max": 0.2})", kNoCeiling),
                {"нет своей поверхности \"heat_loss.ceiling\""}},
        Refused{"RoomWallsTheBaseLacks",
                SurfaceStudy(R"({"input": "rooms[1].walls.thickness", "distribution": "uniform", "min": 0.1, "max": 0.2})"),
                {"нет своей поверхности \"rooms[1].walls\""}},
        Refused{"LayeredSurface",
                SurfaceStudy(R"({"input": "rooms[2].ceiling.thickness", "distribution": "uniform", "min": 0.01, "max": 0.02})"),
                {"из нескольких слоев"}},
        Refused{"MaterialNotAChoice",
                SurfaceStudy(R"({"input": "heat_loss.walls.material", "distribution": "uniform", "min": 0, "max": 1})"),
                {"только распределение choice"}},
        Refused{"UnknownMaterial",
                SurfaceStudy(R"({"input": "heat_loss.walls.material", "distribution": "choice", "values": ["brick", "wood"]})"),
                {"\"wood\" не подходит", "concrete, brick"}},
        Refused{"ThicknessDownToZero",
                SurfaceStudy(R"({"input": "heat_loss.walls.thickness", "distribution": "uniform", "min": 0, "max": 0.02})"),
                {"толщина слоя должна лежать в пределах 0 < L ≤ 1 м"}},
        Refused{"ThicknessWithoutUpperBound",
                SurfaceStudy(R"({"input": "heat_loss.walls.thickness", "distribution": "lognormal", "median": 0.1, "factor": 1.5})"),
                {"не ограничено сверху"}},
        Refused{"ThicknessChoiceOverAMetre",
                SurfaceStudy(R"({"input": "heat_loss.ceiling.thickness", "distribution": "choice", "values": [0.2, 1.5]})"),
                {"есть 1.5"}}),
    [](const testing::TestParamInfo<Refused>& info) { return std::string(info.param.Name); });

}  // namespace
