// The object's texts in the scenario file (the report's title page): each kept through a save
// and a load to the letter, written only when given, so a file without them keeps its bytes and
// its version; one given makes the file version 5, which an older program refuses with
// "обновите программу" instead of misreading.

#include <gtest/gtest.h>

#include <string>

#include "project/document.h"
#include "project/scenario_file.h"

namespace {

using zf::project::Document;
using zf::project::kObjectFields;
using zf::project::ReadDocument;
using zf::project::WriteDocument;

Document OneRoom() {
    Document d;
    d.Rooms = {{}};
    return d;
}

class ObjectFieldFile : public testing::TestWithParam<std::size_t> {};

TEST_P(ObjectFieldFile, KeptThroughSaveAndLoad) {
    const zf::project::ObjectField& field = kObjectFields[GetParam()];
    Document d = OneRoom();
    // Quotes, a backslash, a line break and letters of two alphabets, as people type them.
    d.*field.Text = "ООО «Пожарный \"Расчет\"»\\ г. Москва,\nул. Ленина, д. 5";
    const std::string text = WriteDocument(d);
    EXPECT_NE(text.find("\"" + std::string(field.Key) + "\": "), std::string::npos) << text;
    Document back;
    ASSERT_EQ(ReadDocument(text, back), std::nullopt) << text;
    EXPECT_EQ(back.*field.Text, d.*field.Text);
    EXPECT_EQ(back, d);
    // The object's name was always in the file; the other texts are new in version 5.
    const bool title = field.Key == "title";
    EXPECT_EQ(d.FormatVersion(), title ? zf::project::kPlainFormatVersion : zf::project::kObjectFormatVersion);
    EXPECT_EQ(WriteDocument(back), text);
}

INSTANTIATE_TEST_SUITE_P(EveryText, ObjectFieldFile, testing::Range(std::size_t{0}, std::size(kObjectFields)),
                         [](const testing::TestParamInfo<std::size_t>& info) { return std::string(kObjectFields[info.param].Key); });

// A file of an older version, without the new texts, opens and is written back byte for byte.
TEST(ObjectFieldFile, AFileWithoutThemKeepsItsBytesAndVersion) {
    const std::string text = WriteDocument(OneRoom());
    EXPECT_NE(text.find("\"version\": 1,"), std::string::npos) << text;
    Document back;
    ASSERT_EQ(ReadDocument(text, back), std::nullopt);
    EXPECT_TRUE(back.Address.empty() && back.Organisation.empty() && back.Author.empty());
    EXPECT_EQ(WriteDocument(back), text);
}

// A text that is not a string is refused naming its key.
TEST(ObjectFieldFile, ANumberForATextIsRefusedWithItsKey) {
    Document back;
    const auto refused = ReadDocument(R"({"format": "zonefire-scenario", "version": 5, "author": 5, "rooms": [{}]})", back);
    ASSERT_TRUE(refused.has_value());
    EXPECT_NE(refused->find("author"), std::string::npos) << *refused;
}

}  // namespace
