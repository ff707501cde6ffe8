// The strict JSON reader: every text either parsed as a plain parser would, or refused with
// the key path and the line, never a crash however deep the nesting.

#include <gtest/gtest.h>

#include <string>

#include "project/strict_json.h"

using zf::project::JsonRefusal;
using zf::project::ParseStrictJson;

namespace {

std::string Nested(std::size_t depth) { return std::string(depth, '[') + std::string(depth, ']'); }

// The refusal of `text`, or "(accepted)".
std::string RefusalOf(const std::string& text) {
    try {
        ParseStrictJson(text);
    } catch (const JsonRefusal& e) {
        return e.what();
    }
    return "(accepted)";
}

struct RefusedCase {
    const char* Name;
    std::string Text;
    std::vector<std::string> Expected;  // parts of the message
};

void PrintTo(const RefusedCase& c, std::ostream* os) { *os << c.Name; }

class StrictJsonRefuses : public testing::TestWithParam<RefusedCase> {};

}  // namespace

TEST_P(StrictJsonRefuses, WithTheKeyPathAndTheLine) {
    const std::string message = RefusalOf(GetParam().Text);
    for (const std::string& part : GetParam().Expected) EXPECT_NE(message.find(part), std::string::npos) << message;
}

INSTANTIATE_TEST_SUITE_P(
    Texts, StrictJsonRefuses,
    testing::Values(
        RefusedCase{"TopKeyTwice", "{\"runs\": 1,\n \"seed\": 2,\n \"runs\": 3}", {"\"runs\"", "дважды", "строка 3"}},
        RefusedCase{"KeyTwiceInAListItem", "{\"vary\": [{\"min\": 1},\n {\"min\": 1,\n  \"min\": 2}]}", {"\"vary[2].min\"", "строка 3"}},
        RefusedCase{"KeyTwiceDeepInside", "{\"base\": {\"rooms\": [{}, {\"length\": 1, \"length\": 2}]}}", {"\"base.rooms[2].length\""}},
        RefusedCase{"SixtyFiveLevels", Nested(65), {"вложенность", "64"}},
        RefusedCase{"AMillionLevels", Nested(1000000), {"вложенность", "строка 1"}},
        RefusedCase{"DeepUnderAKey", "{\"vary\": [\n" + Nested(70) + "]}", {"\"vary[1]", "строка 2"}},
        RefusedCase{"Syntax", "{\"runs\": 1,\n\n \"seed\" 2}", {"ошибка в записи JSON", "строке 3"}},
        RefusedCase{"NulByte", std::string("{\"a\":\n\"x\0y\"}", 13), {"нулевой байт", "строке 2"}}),
    [](const testing::TestParamInfo<RefusedCase>& info) { return std::string(info.param.Name); });

TEST(StrictJson, ReadsWhatAPlainParserReadsUpToSixtyFourLevels) {
    for (const std::string text : {std::string(R"({"a": [1, 2.5, "x", null, true, {"b": {}}], "c": {"a": 1}})"), Nested(64),
                                   std::string(R"({"same": {"k": 1}, "other": {"k": 2}})")}) {
        EXPECT_EQ(ParseStrictJson(text), nlohmann::json::parse(text)) << text;
    }
}
