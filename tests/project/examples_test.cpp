// The example buildings of "Файл → Примеры": each is a project file the program reads and can
// run as it stands, with a title, a note saying what it shows, named rooms and a typical fire
// load of the library.

#include <gtest/gtest.h>

#include <fstream>
#include <optional>
#include <sstream>
#include <string>

#include "project/examples.h"
#include "project/fire_loads.h"
#include "project/scenario_file.h"

namespace {

std::string ExampleText(std::string_view file) {
    std::ifstream in(std::string(ZONEFIRE_EXAMPLES) + "/" + std::string(file), std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

class Example : public testing::TestWithParam<std::string_view> {};

TEST_P(Example, IsARunnableBuildingWithATitleANoteAndAFireLoadOfTheLibrary) {
    const std::string text = ExampleText(GetParam());
    ASSERT_FALSE(text.empty()) << GetParam();
    zf::project::Document document;
    ASSERT_EQ(zf::project::ReadDocument(text, document), std::nullopt);
    EXPECT_FALSE(document.Title.empty());
    EXPECT_EQ(document.Notes.rfind("Что показывает:", 0), 0u) << document.Notes;
    ASSERT_NE(zf::project::FindFireLoad(document.FireLoad), nullptr) << document.FireLoad;
    EXPECT_TRUE(zf::project::ChangedFromFireLoad(document.Params, *zf::project::FindFireLoad(document.FireLoad)).empty());
    EXPECT_EQ(zf::project::RunRefusal(document), std::nullopt);
    for (const zf::project::Room& room : document.Rooms) EXPECT_FALSE(room.Name.empty());
    // At least one room is judged, so the example shows the evacuation verdict.
    bool judged = false;
    for (const zf::project::Room& room : document.Rooms) judged = judged || room.Evacuation.has_value();
    EXPECT_TRUE(judged);
    zf::TzoneMath zm;
    EXPECT_EQ(zf::project::ReadScenario(text, zm), std::nullopt);
}

INSTANTIATE_TEST_SUITE_P(ExampleBuildings, Example, testing::ValuesIn(zf::project::kExampleFiles));

}  // namespace
