// The critical values in the scenario file: written only when they differ from their defaults
// (so every file without them keeps its bytes and its version), read back to the bit, out of
// range refused with the key, and reaching the scenario the run judges by.

#include <gtest/gtest.h>

#include <string>

#include "model/inputs.h"
#include "project/document.h"
#include "project/scenario_file.h"

namespace {

using zf::project::Document;
using zf::project::ReadDocument;
using zf::project::WriteDocument;

Document TwoRooms() {
    Document d;
    d.Rooms = {{}, {}};
    d.Openings = {{0, 1}, {1, 1}};
    return d;
}

TEST(CriticalValuesFile, AtTheirDefaultsNoneIsWrittenAndTheVersionStaysOne) {
    const std::string text = WriteDocument(TwoRooms());
    EXPECT_EQ(text.find("critical_"), std::string::npos) << text;
    EXPECT_NE(text.find("\"version\": 1,"), std::string::npos) << text;
}

struct Changed {
    double zf::Parameters::*Field;
    double Value;
    const char* Line;  // as the file holds it
};

class CriticalValueFile : public testing::TestWithParam<Changed> {};

// One changed value: its key alone is written, as version 3; reading gives the same document
// and Apply hands the value to the scenario.
TEST_P(CriticalValueFile, AChangedValueIsWrittenAloneAndReadBackToTheBit) {
    Document d = TwoRooms();
    d.Params.*GetParam().Field = GetParam().Value;
    const std::string text = WriteDocument(d);
    EXPECT_NE(text.find(GetParam().Line), std::string::npos) << text;
    EXPECT_NE(text.find("\"version\": 3,"), std::string::npos) << text;
    std::size_t count = 0;
    for (std::size_t at = text.find("critical_"); at != std::string::npos; at = text.find("critical_", at + 1)) ++count;
    EXPECT_EQ(count, 1u) << text;
    Document back;
    ASSERT_EQ(ReadDocument(text, back), std::nullopt);
    EXPECT_EQ(back, d);
    EXPECT_EQ(WriteDocument(back), text);
    zf::TzoneMath z;
    zf::project::Apply(back, z);
    const zf::Input* row = nullptr;
    for (const zf::Input& input : zf::kInputs)
        if (input.Field == GetParam().Field) row = &input;
    ASSERT_NE(row, nullptr);
    EXPECT_EQ(z.*row->Model, GetParam().Value);
    EXPECT_EQ(zf::project::Capture(z).Params.*GetParam().Field, GetParam().Value);
}

INSTANTIATE_TEST_SUITE_P(
    , CriticalValueFile,
    testing::Values(Changed{&zf::Parameters::CritT, 323, "\"critical_temperature\": 323,"},
                    Changed{&zf::Parameters::CritO2, 0.2, "\"critical_oxygen\": 0.2,"},
                    Changed{&zf::Parameters::CritVis, 10, "\"critical_visibility\": 10,"},
                    Changed{&zf::Parameters::CritCO, 0.0015, "\"critical_co\": 0.0015,"},
                    Changed{&zf::Parameters::CritCO2, 0.07, "\"critical_co2\": 0.07,"},
                    Changed{&zf::Parameters::CritHCl, 1.5e-05, "\"critical_hcl\": 1.5e-05,"},
                    Changed{&zf::Parameters::CritRad, 2500, "\"critical_heat_flux\": 2500,"}));

struct Refused {
    const char* Text;
    const char* Says;
};

class CriticalValueRefused : public testing::TestWithParam<Refused> {};

TEST_P(CriticalValueRefused, NamesTheKeyAndWhatIsAllowed) {
    Document d;
    const auto refused = ReadDocument(GetParam().Text, d);
    ASSERT_TRUE(refused.has_value());
    EXPECT_NE(refused->find(GetParam().Says), std::string::npos) << *refused;
}

INSTANTIATE_TEST_SUITE_P(
    , CriticalValueRefused,
    testing::Values(Refused{R"({"critical_temperature": 200})", "ключ \"critical_temperature\": Критическая температура газа — допустимо от 273 до 1 273 К, задано 200"},
                    Refused{R"({"critical_visibility": 51})", "ключ \"critical_visibility\""},
                    Refused{R"({"critical_heat_flux": -1})", "неотрицательное"},
                    Refused{R"({"critical_co": "0,001"})", "ожидается число"},
                    Refused{R"({"critical_temprature": 300})", "возможно, имелся в виду \"critical_temperature\""},
                    Refused{R"({"version": 6})", "не выше 5"}));

TEST(CriticalValuesFile, TheWriterRefusesWhatTheReaderWould) {
    Document d = TwoRooms();
    d.Params.CritT = 100;
    try {
        WriteDocument(d);
        FAIL() << "written";
    } catch (const std::invalid_argument& e) {
        EXPECT_NE(std::string(e.what()).find("ключ \"critical_temperature\""), std::string::npos) << e.what();
    }
}

// The run's scenario judges by the file's limit.
TEST(CriticalValuesFile, ReachTheScenarioOfTheRun) {
    zf::TzoneMath z;
    ASSERT_EQ(zf::project::ReadScenario(R"({"critical_heat_flux": 900, "rooms": [{}]})", z), std::nullopt);
    EXPECT_EQ(z.CritRad, 900);
    EXPECT_EQ(z.CritT, 343);
}

}  // namespace
