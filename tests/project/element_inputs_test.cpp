// The numbers of rooms, openings, escape routes and the heat-loss surfaces, walked row by row
// from their tables (project/element_inputs.h): every row is a key the reader knows, reads into
// its member and the writer writes back, and a value outside its range is refused naming the
// row's key path. A new row is covered here without a new line.

#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>
#include <cmath>
#include <functional>
#include <nlohmann/json.hpp>
#include <string>
#include <vector>

#include "project/element_inputs.h"
#include "project/scenario_file.h"

namespace {

using namespace zf::project;
using nlohmann::json;

// A building that holds every element: the values of the rows are set into it.
const char* const kBase = R"({"rooms": [{"length": 4, "width": 5, "height": 3, "evacuation": {"start_delay": 60, "duration": 30}}, {}],
 "openings": [{"rooms": [1, 2], "height": 2, "width": 0.9}],
 "heat_loss": {"walls": {"material": {"k": 1, "rho": 2000, "c": 900}, "thickness": 0.2}, "surface_interval": 0.1},
 "evacuation_routes": [{"people": 10, "projection": 0.1, "start_delay": 60,
                        "segments": [{"kind": "horizontal", "length": 10, "width": 2}]}]})";

struct Row {
    std::string Path;     // as a refusal names it: "rooms[1].length"
    std::string Pointer;  // where it sits in kBase: "/rooms/0/length"
    std::string_view Name;
    double Min, Max;
    bool MinExcluded;
    std::function<double(const Document&)> Value;
};

void PrintTo(const Row& row, std::ostream* os) { *os << row.Path; }

template <class Owner, std::size_t N>
void Add(std::vector<Row>& rows, const ElementInput<Owner> (&table)[N], const std::string& path, const std::string& pointer,
         std::function<const Owner&(const Document&)> owner) {
    for (const ElementInput<Owner>& input : table) {
        const auto field = input.Field;
        rows.push_back({path + std::string(input.Key), pointer + std::string(input.Key), input.Name, input.Min, input.Max,
                        input.MinExcluded, [owner, field](const Document& d) { return owner(d).*field; }});
    }
}

std::vector<Row> Rows() {
    std::vector<Row> rows;
    Add<Room>(rows, kRoomInputs, "rooms[1].", "/rooms/0/", [](const Document& d) -> const Room& { return d.Rooms[0]; });
    Add<zfreport::EvacuationInput>(rows, kEvacuationInputs, "rooms[1].evacuation.", "/rooms/0/evacuation/",
                                   [](const Document& d) -> const zfreport::EvacuationInput& { return *d.Rooms[0].Evacuation; });
    Add<Opening>(rows, kOpeningInputs, "openings[1].", "/openings/0/", [](const Document& d) -> const Opening& { return d.Openings[0]; });
    Add<zf::flow::Route>(rows, kRouteInputs, "evacuation_routes[1].", "/evacuation_routes/0/",
                         [](const Document& d) -> const zf::flow::Route& { return d.Routes[0]; });
    Add<zf::flow::Segment>(rows, kSegmentInputs, "evacuation_routes[1].segments[1].", "/evacuation_routes/0/segments/0/",
                           [](const Document& d) -> const zf::flow::Segment& { return d.Routes[0].Segments[0]; });
    Add<BuildingSurfaces>(rows, kHeatLossInputs, "heat_loss.", "/heat_loss/",
                          [](const Document& d) -> const BuildingSurfaces& { return *d.HeatLoss; });
    Add<zf::SurfaceLayer>(rows, kLayerInputs, "heat_loss.walls.", "/heat_loss/walls/",
                          [](const Document& d) -> const zf::SurfaceLayer& { return d.HeatLoss->Walls.Layers[0]; });
    Add<zf::SurfaceLayer>(rows, kMaterialInputs, "heat_loss.walls.material.", "/heat_loss/walls/material/",
                          [](const Document& d) -> const zf::SurfaceLayer& { return d.HeatLoss->Walls.Layers[0]; });
    return rows;
}

std::string WithValue(const Row& row, double value) {
    json base = json::parse(kBase);
    base[json::json_pointer(row.Pointer)] = value;
    return base.dump();
}

class ElementNumbers : public testing::TestWithParam<Row> {};

// A value inside the range is read into the row's member, and written and read back the same.
TEST_P(ElementNumbers, ReadIntoItsMemberAndWrittenBack) {
    const Row& row = GetParam();
    const double value = std::isfinite(row.Max) ? (row.Min + row.Max) / 2 : row.Min + 7.25;
    Document read;
    const auto refused = ReadDocument(WithValue(row, value), read);
    ASSERT_FALSE(refused) << *refused;
    EXPECT_EQ(row.Value(read), value);
    const std::string text = WriteDocument(read);
    Document again;
    ASSERT_FALSE(ReadDocument(text, again)) << text;
    EXPECT_EQ(again, read) << text;
}

// Below the range (or at an excluded lower end) and above it, the reader refuses the value at
// the row's key path.
TEST_P(ElementNumbers, RefusedOutsideItsRangeAtItsKeyPath) {
    const Row& row = GetParam();
    std::vector<double> outside = {row.MinExcluded ? row.Min : row.Min - 1};
    if (std::isfinite(row.Max)) outside.push_back(row.Max + 1);
    for (const double value : outside) {
        Document document;
        const auto refusal = ReadDocumentOrRefusal(WithValue(row, value), document);
        ASSERT_TRUE(refusal) << value;
        EXPECT_EQ(refusal->Path, row.Path) << refusal->Reason;
        if (value > row.Min) EXPECT_NE(refusal->Reason.find(std::string(row.Name)), std::string::npos) << refusal->Reason;
    }
}

INSTANTIATE_TEST_SUITE_P(Tables, ElementNumbers, testing::ValuesIn(Rows()),
                         [](const auto& info) {
                             std::string name = info.param.Path;
                             std::replace_if(name.begin(), name.end(), [](char c) { return !std::isalnum(static_cast<unsigned char>(c)); }, '_');
                             return name;
                         });

// Every row's key is one the reader knows, and the list of every row names each table's rows.
TEST(ElementInputs, EveryRowIsAKeyOfTheFile) {
    const std::vector<std::string_view> known = KnownKeys();
    const std::vector<ElementRow> rows = ElementRows();
    EXPECT_EQ(rows.size(), Rows().size());
    for (const ElementRow& row : rows) {
        const std::string key = row.Path.substr(row.Path.rfind('.') + 1);
        EXPECT_NE(std::find(known.begin(), known.end(), key), known.end()) << row.Path;
        EXPECT_FALSE(row.Name.empty()) << row.Path;
        EXPECT_LE(row.Min, row.Max) << row.Path;
    }
    for (const ModelSwitch& option : kModelSwitches)
        EXPECT_NE(std::find(known.begin(), known.end(), option.Key), known.end()) << option.Key;
}

// A model switch reads as on exactly when the file turns it on.
TEST(ElementInputs, ModelSwitchOnWhenTheFileTurnsItOn) {
    Document plain, options;
    ASSERT_EQ(ReadDocument(R"({"rooms": [{}]})", plain), std::nullopt);
    ASSERT_EQ(ReadDocument(std::string(R"({"rooms": [{}], "consistent_outflow": true, "heat_loss": )") +
                               R"({"walls": {"material": "brick", "thickness": 0.2}}})",
                           options),
              std::nullopt);
    for (const ModelSwitch& option : kModelSwitches) {
        EXPECT_FALSE(option.On(plain)) << option.Key;
        EXPECT_TRUE(option.On(options)) << option.Key;
    }
}

// The report's and the editor's joined size captions.
TEST(ElementInputs, SizesCaptionJoinsTheWordsWithTheirUnit) {
    EXPECT_EQ(SizesCaption(kRoomInputs), "Длина × ширина × высота, м");
    EXPECT_EQ(SizesCaption({RowOf(kOpeningInputs, "width")->Caption, RowOf(kOpeningInputs, "height")->Caption}),
              "Ширина × высота, м");
    EXPECT_EQ(SizesCaption({"Яма, м", "Ёж, м", "Зона, м", "Abc, м"}), "Яма × Ёж × зона × abc, м");
}

}  // namespace
