// The scenario reader refuses what it cannot read exactly, and every refusal has one shape: the
// key path of the refused value, its line and the reason, in one message. Each text is written
// over several lines so that the line is known and checked.

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "project/scenario_file.h"
#include "project/strict_json.h"

namespace {

using zf::project::ReadRefusal;

struct Case {
    const char* Name;
    std::string Text;
    std::string Path;   // of the refusal
    std::size_t Line;   // of the refusal
    std::vector<std::string> Says;  // in the message
};

void PrintTo(const Case& c, std::ostream* os) { *os << c.Name; }

class ReaderRefusal : public testing::TestWithParam<Case> {};

TEST_P(ReaderRefusal, NamesTheKeyPathAndTheLine) {
    zf::project::Document document;
    const std::optional<ReadRefusal> refusal = zf::project::ReadDocumentOrRefusal(GetParam().Text, document);
    ASSERT_TRUE(refusal) << "accepted";
    EXPECT_EQ(refusal->Path, GetParam().Path) << refusal->Reason;
    EXPECT_EQ(refusal->Line, GetParam().Line) << refusal->Reason;
    const std::optional<std::string> message = zf::project::ReadDocument(GetParam().Text, document);
    ASSERT_TRUE(message);
    EXPECT_EQ(*message, zf::project::RefusalMessage(*refusal));
    for (const std::string& part : GetParam().Says) EXPECT_NE(message->find(part), std::string::npos) << *message;
}

const std::string kTwoRooms = "{\"T0\": 293,\n \"rooms\": [{\"length\": 5},\n  {\"length\": 6,\n   \"width\": 5}],\n";
// The same rooms up to the second room's last key, which begins line 5.
const std::string kRoomKey = "{\"T0\": 293,\n \"rooms\": [{\"length\": 5},\n  {\"length\": 6,\n   \"height\": 3,\n   ";

INSTANTIATE_TEST_SUITE_P(
    Files, ReaderRefusal,
    testing::Values(
        Case{"TopKeyTwice", "{\"dt\": 0.01,\n \"rooms\": [{}],\n \"dt\": 0.02}", "dt", 3, {"\"dt\"", "дважды", "(строка 3)"}},
        Case{"OpeningKeyTwice", kTwoRooms + " \"openings\": [{\"rooms\": [1, 2]},\n  {\"rooms\": [2, 2], \"width\": 1,\n   \"width\": 2}]}",
             "openings[2].width", 7, {"\"openings[2].width\"", "дважды", "(строка 7)"}},
        Case{"KeyInTheWrongCase", "{\"rooms\": [{}],\n\n \"DT\": 0.01}", "DT", 3, {"неизвестный ключ \"DT\"", "\"dt\"", "(строка 3)"}},
        Case{"RoomKeyInTheWrongCase", kRoomKey + "\"Width\": 5}]}", "rooms[2].Width", 5,
             {"помещение №2", "неизвестный ключ \"Width\"", "\"width\"", "(строка 5)"}},
        Case{"NumberBeyondADouble", "{\"rooms\": [{}],\n \"Vlin\": 1e999}", "Vlin", 2, {"\"Vlin\"", "1e999", "строке 2", "бесконечность"}},
        Case{"NumberBelowTheSmallestDouble", "{\"rooms\": [{}],\n \"Vlin\": 1e-400}", "Vlin", 2,
             {"\"Vlin\"", "1e-400", "прочиталось бы как 0", "(строка 2)"}},
        Case{"SixtyFiveLevelsUnderAKey", "{\"rooms\": [{}],\n \"notes\": " + std::string(65, '[') + std::string(65, ']') + "}",
             "notes" + [] { std::string p; for (int i = 1; i < 64; ++i) p += "[1]"; return p; }(), 2,
             {"вложенность", "64", "(строка 2)"}},
        Case{"WrongTypeDeepInside", kRoomKey + "\"width\": \"5\"}]}", "rooms[2].width", 5,
             {"помещение №2, ключ \"width\"", "ожидается число", "(строка 5)"}},
        Case{"RoomNumberOfAnOpening", kTwoRooms + " \"openings\": [\n  {\"rooms\": [1, 3]}]}", "openings[1].rooms[2]", 6,
             {"проем №1, ключ \"rooms\"", "номером 3", "(строка 6)"}},
        Case{"NegativeSize", kTwoRooms + " \"openings\": [{\"rooms\": [1, 2],\n  \"width\": -0.9}]}", "openings[1].width", 6,
             {"проем №1, ключ \"width\"", "неотрицательное", "(строка 6)"}},
        Case{"SurfaceOfAnUnknownMaterial", "{\"rooms\": [{}],\n \"heat_loss\": {\"walls\":\n  {\"material\": \"wood\", \"thickness\": 0.1}}}",
             "heat_loss.walls.material", 3, {"неизвестный материал \"wood\"", "(строка 3)"}}),
    [](const testing::TestParamInfo<Case>& info) { return std::string(info.param.Name); });

// A refusal of the file as a whole names no key and no line.
TEST(ReaderRefusal, OfTheWholeFileHasNoPath) {
    zf::project::Document document;
    const auto refusal = zf::project::ReadDocumentOrRefusal(R"([{"rooms": [{}]}])", document);
    ASSERT_TRUE(refusal);
    EXPECT_EQ(refusal->Path, "");
    EXPECT_EQ(zf::project::RefusalMessage(*refusal), refusal->Reason);
}

}  // namespace
