// The scenario file reader: defaults, where every key lands, the opening matrix, and one clear
// message for every kind of bad input.

#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <vector>

#include <nlohmann/json.hpp>

#include "project/scenario_file.h"

using zf::project::ReadScenario;

TEST(ScenarioFile, MissingKeysTakeTheMainWindowsInitialValues) {
    zf::TzoneMath zm;
    ASSERT_EQ(ReadScenario(R"({"rooms": [{}], "openings": [{"rooms": [1, 1]}]})", zm), std::nullopt);
    EXPECT_EQ(zm.Qn, 13800000);
    EXPECT_EQ(zm.Vlin, 0.0108);
    EXPECT_EQ(zm.PsiUd, 0.0145);
    EXPECT_EQ(zm.D, 270);
    EXPECT_EQ(zm.Lo2, 1.03);
    EXPECT_EQ(zm.Lco, 0.0022);
    EXPECT_EQ(zm.Lco2, 0.203);
    EXPECT_EQ(zm.Lhcl, 0.014);
    EXPECT_EQ(zm.Nu, 0.97);
    EXPECT_EQ(zm.T0, 293);
    EXPECT_EQ(zm.hr, 1.7);
    EXPECT_EQ(zm.SimTime, 200);
    EXPECT_EQ(zm.dt, 0.0001);
    EXPECT_EQ(zm.SamplesPerSec, 10);
    EXPECT_TRUE(zm.UseTanaka);
    // The add-room and add-opening dialogs' initial texts.
    ASSERT_EQ(zm.RoomCount(), 1);
    EXPECT_EQ(zm.Room(0).Length, 4);
    EXPECT_EQ(zm.Room(0).Width, 5);
    EXPECT_EQ(zm.Room(0).Height, 3);
    ASSERT_EQ(zm.Cell(0, 0).size(), 1u);
    EXPECT_EQ(zm.Cell(0, 0)[0]->Height, 2);
    EXPECT_EQ(zm.Cell(0, 0)[0]->Width, 0.9);
    EXPECT_TRUE(zm.Cell(0, 0)[0]->IsOpen);
    EXPECT_EQ(zm.Cell(0, 0)[0]->Mu, 0.64);
}

TEST(ScenarioFile, EveryKeyIsStoredInItsOwnField) {
    zf::TzoneMath zm;
    ASSERT_EQ(ReadScenario(R"({"Qn": 1, "Vlin": 2, "PsiUd": 3, "D": 4, "Lo2": 5, "Lco": 6, "Lco2": 7,
        "Lhcl": 8, "Nu": 9, "T0": 10, "hr": 1.5, "SimTime": 12, "dt": 0.5, "SamplesPerSec": 2,
        "plume": "mccaffrey", "rooms": [{"length": 7, "width": 8, "height": 9}]})",
                           zm),
              std::nullopt);
    const double stored[] = {zm.Qn, zm.Vlin, zm.PsiUd, zm.D, zm.Lo2, zm.Lco, zm.Lco2, zm.Lhcl, zm.Nu, zm.T0};
    for (int i = 0; i < 10; ++i) EXPECT_EQ(stored[i], i + 1) << "field " << i;
    EXPECT_EQ(zm.hr, 1.5);
    EXPECT_EQ(zm.SimTime, 12);
    EXPECT_EQ(zm.dt, 0.5);
    EXPECT_EQ(zm.SamplesPerSec, 2);
    EXPECT_FALSE(zm.UseTanaka);
    EXPECT_EQ(zm.Room(0).Length, 7);
    EXPECT_EQ(zm.Room(0).Width, 8);
    EXPECT_EQ(zm.Room(0).Height, 9);
}

TEST(ScenarioFile, FireAreaLimitIsOptionalAndAbsentMeansNone) {
    zf::TzoneMath absent, zero, given;
    ASSERT_EQ(ReadScenario(R"({"rooms": [{}]})", absent), std::nullopt);
    ASSERT_EQ(ReadScenario(R"({"rooms": [{}], "fire_area_max": 0})", zero), std::nullopt);
    ASSERT_EQ(ReadScenario(R"({"rooms": [{}], "fire_area_max": 0.75})", given), std::nullopt);
    EXPECT_EQ(absent.Options.FireAreaMax, 0);
    EXPECT_EQ(zero.Options.FireAreaMax, 0);
    EXPECT_EQ(given.Options.FireAreaMax, 0.75);
}

TEST(ScenarioFile, DoorwaysAreTwinFacesInMirroredCellsInListOrder) {
    zf::TzoneMath zm;
    ASSERT_EQ(ReadScenario(R"({"rooms": [{}, {}, {}], "openings": [
        {"rooms": [1, 3], "height": 2.1, "width": 1.1, "open": false},
        {"rooms": [2, 2], "height": 1.5, "width": 1.2},
        {"rooms": [3, 1], "height": 1.8, "width": 0.7}]})",
                           zm),
              std::nullopt);
    // Both doorways between rooms 1 and 3, whichever way round they were written, sit at the
    // same entry of the two mirrored cells.
    ASSERT_EQ(zm.Cell(0, 2).size(), 2u);
    ASSERT_EQ(zm.Cell(2, 0).size(), 2u);
    const double heights[] = {2.1, 1.8}, widths[] = {1.1, 0.7};
    for (std::size_t k = 0; k < 2; ++k) {
        for (const zf::TProems* cell : {&zm.Cell(0, 2), &zm.Cell(2, 0)}) {
            EXPECT_EQ((*cell)[k]->Height, heights[k]);
            EXPECT_EQ((*cell)[k]->Width, widths[k]);
        }
        EXPECT_NE(zm.Cell(0, 2)[k].get(), zm.Cell(2, 0)[k].get());  // two faces, not one shared
    }
    EXPECT_FALSE(zm.Cell(2, 0)[0]->IsOpen);
    EXPECT_EQ(zm.Cell(2, 0)[0]->Mu, 0.08);
    EXPECT_TRUE(zm.Cell(0, 2)[1]->IsOpen);
    // An opening to the outside has one face, on the diagonal.
    ASSERT_EQ(zm.Cell(1, 1).size(), 1u);
    EXPECT_EQ(zm.Cell(1, 1)[0]->Width, 1.2);
    for (int i = 0; i < 3; ++i)
        for (int j = 0; j < 3; ++j)
            if (!((i == 0 && j == 2) || (i == 2 && j == 0) || (i == 1 && j == 1))) {
                EXPECT_TRUE(zm.Cell(i, j).empty()) << "cell " << i << ", " << j;
            }
}

TEST(ScenarioFile, IntegralSamplesPerSecondMayBeWrittenAsAReal) {
    zf::TzoneMath zm;
    ASSERT_EQ(ReadScenario(R"({"rooms": [{}], "SamplesPerSec": 20.0})", zm), std::nullopt);
    EXPECT_EQ(zm.SamplesPerSec, 20);
}

TEST(ScenarioFile, AnUnknownKeyFarFromEveryKnownOneGetsNoGuess) {
    zf::TzoneMath zm;
    const auto message = ReadScenario(R"({"rooms": [{}], "colour": "red"})", zm);
    ASSERT_TRUE(message);
    EXPECT_NE(message->find("неизвестный ключ \"colour\""), std::string::npos) << *message;
    EXPECT_EQ(message->find("возможно"), std::string::npos) << *message;
}

TEST(ScenarioFile, CountsTheEngineRefusesAreRefusedWithItsMessage) {
    zf::TzoneMath zm;
    const auto message = ReadScenario(R"({"rooms": [{}], "SimTime": 1e9})", zm);
    ASSERT_TRUE(message);
    EXPECT_EQ(*message, zm.CheckInputs());
}

TEST(ScenarioFile, DeeplyNestedTextIsRefusedWithoutExhaustingTheStack) {
    for (const std::string& text : {std::string(200000, '['), "{\"x\": " + std::string(200000, '[') +
                                                                    std::string(200000, ']') + "}"}) {
        zf::TzoneMath zm;
        const auto message = ReadScenario(text, zm);
        ASSERT_TRUE(message);
        EXPECT_NE(message->find("вложенность"), std::string::npos) << *message;
    }
}

std::string ManyRooms(int n) {
    std::string rooms;
    for (int i = 0; i < n; ++i) rooms += i ? ", {}" : "{}";
    return R"({"rooms": [)" + rooms + "]}";
}

// ---- Hostile input: bounded, linear, and never echoed whole ---------------------------------

std::optional<std::string> Refusal(const std::string& text) {
    zf::TzoneMath zm;
    return ReadScenario(text, zm);
}

TEST(ScenarioFile, TextPastItsLimitOrWithANulByteIsRefused) {
    const auto tooLong = Refusal(R"({"rooms": [{}], "notes": ")" + std::string(zf::project::kMaxTextBytes, 'a') + "\"}");
    ASSERT_TRUE(tooLong);
    EXPECT_NE(tooLong->find("слишком велик"), std::string::npos) << *tooLong;
    // Nothing after a NUL is dropped silently: the byte itself is the error, with its place.
    const auto nul = Refusal(std::string("{\"rooms\": [{}]}\n\0{\"dt\": 0}", 27));
    ASSERT_TRUE(nul);
    EXPECT_NE(nul->find("нулевой байт"), std::string::npos) << *nul;
    EXPECT_NE(nul->find("строке 2, столбце 1"), std::string::npos) << *nul;
    const auto escaped = Refusal(R"({"rooms": [{"name": "a\u0000b"}]})");
    ASSERT_TRUE(escaped);
    EXPECT_NE(escaped->find("ключ \"rooms[1].name\": строка содержит нулевой символ"), std::string::npos) << *escaped;
}

// 300 000 small objects, far more than any scenario: read through to the unknown key. How the
// reader's time grows with the text is measured by BM_ReadManyObjects (bench/run_bench.cpp).
TEST(ScenarioFile, AHugeListUnderAnUnknownKeyIsReadThroughAndRefused) {
    std::string values;
    for (int i = 0; i < 300000; ++i) values += i ? R"(,{"rooms": [1, 1]})" : R"({"rooms": [1, 1]})";
    const auto message = Refusal(R"({"rooms": [{}], "list": [)" + values + "]}");
    ASSERT_TRUE(message);
    EXPECT_NE(message->find("неизвестный ключ \"list\""), std::string::npos) << *message;
}

TEST(ScenarioFile, OpeningsAndRoomsPastTheirLimitsAreRefusedWhileReading) {
    std::string openings;
    for (int i = 0; i <= zf::project::kMaxOpenings; ++i) openings += i ? R"(,{"rooms": [1, 1]})" : R"({"rooms": [1, 1]})";
    const auto many = Refusal(R"({"rooms": [{}], "openings": [)" + openings + "]}");
    ASSERT_TRUE(many);
    EXPECT_NE(many->find("ключ \"openings\": слишком много проемов, допустимо не более 10000"), std::string::npos) << *many;
    // At the limit the openings are read.
    openings.erase(openings.rfind(",{"));
    EXPECT_EQ(Refusal(R"({"rooms": [{}], "openings": [)" + openings + "]}"), std::nullopt);
    // The count is taken as the list is read: a list far past the limit is refused before its
    // first malformed element further on.
    std::string rooms = ManyRooms(zf::project::kMaxRooms + 1);
    rooms.erase(rooms.size() - 2);  // "]}"
    const auto refused = Refusal(rooms + ", nonsense");
    ASSERT_TRUE(refused);
    EXPECT_NE(refused->find("слишком много помещений"), std::string::npos) << *refused;
}

TEST(ScenarioFile, EchoedTextIsCutAndItsControlCharactersEscaped) {
    const std::string huge(5 << 20, 'k');
    const std::string cases[] = {
        R"({"rooms": [{}], ")" + huge + R"(": 1})",           // unknown key
        R"({"rooms": [{}], "plume": ")" + huge + R"("})",     // unknown plume
        R"({"rooms": [{}], "dt": ")" + huge + R"("})",        // string for a number
        R"({"rooms": [{}], "plume": ")" + huge,               // unterminated string
        R"({"rooms": [{}], "dt": )" + std::string(300, '1') + "e999}",  // infinite number
    };
    for (const std::string& text : cases) {
        const auto message = Refusal(text);
        ASSERT_TRUE(message);
        EXPECT_LT(message->size(), 400u) << message->substr(0, 400);
        EXPECT_NE(message->find("…"), std::string::npos) << *message;
    }
    // A key holding a terminal's escape sequence, raw (malformed JSON) or written as JSON
    // escapes (an unknown key), reaches the message escaped.
    for (const char* text : {"{\"rooms\": [{}], \"\x1b]0;title\x07\": 1}", R"({"rooms": [{}], "\u001b]0;title\u0007": 1})"}) {
        const auto message = Refusal(text);
        ASSERT_TRUE(message);
        EXPECT_EQ(message->find('\x1b'), std::string::npos) << *message;
        EXPECT_EQ(message->find('\x07'), std::string::npos) << *message;
    }
    const auto unknown = Refusal(R"({"rooms": [{}], "\u001b]0;title\u0007": 1})");
    EXPECT_NE(unknown->find(R"(неизвестный ключ "\u001b]0;title\u0007")"), std::string::npos) << *unknown;
}

TEST(ScenarioFile, ARefusedDocumentLeavesTheOneGivenAsItWas) {
    zf::project::Document document;
    document.Title = "прежнее здание";
    document.Rooms = {{7, 8, 9, "Зал", {}, {}, {}}};
    const zf::project::Document before = document;
    for (const char* text : {R"({"rooms": [{}], "dt": -1})", R"({"version": 6})", "{"})
        EXPECT_TRUE(zf::project::ReadDocument(text, document)) << text;
    EXPECT_EQ(document, before);
}

TEST(ScenarioFile, AFileWithoutFormatAndVersionIsReadAsTheFirstVersion) {
    zf::project::Document withThem, without;
    ASSERT_EQ(zf::project::ReadDocument(R"({"format": "zonefire-scenario", "version": 1, "rooms": [{}]})", withThem),
              std::nullopt);
    ASSERT_EQ(zf::project::ReadDocument(R"({"rooms": [{}]})", without), std::nullopt);
    EXPECT_EQ(withThem, without);
}

TEST(ScenarioFile, ANewerVersionIsRefusedBeforeItsUnknownKeys) {
    const auto message = Refusal(R"({"format": "zonefire-scenario", "version": 6, "rooms": [{"floor": 3}], "wind": 1})");
    ASSERT_TRUE(message);
    EXPECT_NE(message->find("более новой версией программы (версия формата 6)"), std::string::npos) << *message;
    EXPECT_NE(message->find("не выше 5"), std::string::npos) << *message;
}

// ---- Bad input: one message naming the key, the room or the opening ------------------------

struct BadFile {
    const char* Name;
    std::string Text;
    std::vector<std::string> Says;  // every one of these appears in the message
};

void PrintTo(const BadFile& c, std::ostream* os) { *os << c.Name; }

class BadScenarioFile : public testing::TestWithParam<BadFile> {};

TEST_P(BadScenarioFile, IsRefusedWithAMessageNamingTheCulprit) {
    zf::TzoneMath zm;
    const auto message = ReadScenario(GetParam().Text, zm);
    ASSERT_TRUE(message) << "accepted: " << GetParam().Text;
    for (const std::string& part : GetParam().Says)
        EXPECT_NE(message->find(part), std::string::npos) << "missing «" << part << "» in: " << *message;
    // Whatever bytes the file held, the message is text a terminal or a JSON writer can take:
    // the strict serialiser throws on ill-formed UTF-8.
    EXPECT_NO_THROW(nlohmann::json(*message).dump()) << "not valid UTF-8: " << *message;
}

const BadFile kBadFiles[] = {
    // Format, version and the engineer's texts
    {"OtherFormat", R"({"format": "zonefire-results", "rooms": [{}]})", {"ключ \"format\"", "не файл сценария", "\"zonefire-results\""}},
    // A runner's result of either version names itself and its version.
    {"ResultFileOfVersionTwo", R"({"format": "zonefire-result", "version": 2, "completed": true, "rooms": []})",
     {"файл результата расчета", "версия формата результата 2", "а не сценарий"}},
    {"ResultFileOfVersionOne", R"({"completed": true, "stopped": false, "iter": 5, "StepCount": 6, "rooms": []})",
     {"файл результата расчета", "версия формата результата 1, текущая 2"}},
    {"VersionZero", R"({"version": 0, "rooms": [{}]})", {"ключ \"version\"", "целое число от 1", "число 0"}},
    {"VersionAsString", R"({"version": "1", "rooms": [{}]})", {"ключ \"version\"", "строка \"1\""}},
    {"FractionalVersion", R"({"version": 1.5, "rooms": [{}]})", {"ключ \"version\"", "1.5"}},
    {"TitleAsNumber", R"({"title": 5, "rooms": [{}]})", {"ключ \"title\"", "ожидается строка"}},
    {"NotesAsArray", R"({"notes": ["a"], "rooms": [{}]})", {"ключ \"notes\"", "ожидается строка", "массив"}},
    {"RoomNameAsNumber", R"({"rooms": [{}, {"name": 2}]})", {"помещение №2, ключ \"name\"", "ожидается строка"}},
    {"RoomNameTypo", R"({"rooms": [{"nmae": "Зал"}]})", {"помещение №1", "\"nmae\"", "\"name\""}},
    // Typos
    {"UnknownKey", R"({"rooms": [{}], "Qm": 1})", {"неизвестный ключ \"Qm\"", "\"Qn\""}},
    {"KeyInWrongCase", R"({"rooms": [{}], "DT": 0.01})", {"неизвестный ключ \"DT\"", "\"dt\""}},
    {"UnknownRoomKey", R"({"rooms": [{}, {"lenght": 3}]})", {"помещение №2", "\"lenght\"", "\"length\""}},
    {"UnknownOpeningKey", R"({"rooms": [{}], "openings": [{"rooms": [1, 1], "heigth": 2}]})",
     {"проем №1", "\"heigth\"", "\"height\""}},
    {"DuplicateKey", R"({"rooms": [{}], "dt": 0.01, "dt": 0.02})", {"\"dt\"", "дважды"}},
    {"DuplicateRoomKey", R"({"rooms": [{"width": 3, "width": 4}]})", {"\"rooms[1].width\"", "дважды", "(строка 1)"}},
    // Wrong types
    {"NumberAsString", R"({"rooms": [{}], "dt": "0.01"})", {"ключ \"dt\"", "ожидается число", "строка \"0.01\""}},
    {"NumberAsBoolean", R"({"rooms": [{}], "Qn": true})", {"ключ \"Qn\"", "ожидается число"}},
    {"NumberAsNull", R"({"rooms": [{}], "hr": null})", {"ключ \"hr\"", "null"}},
    {"RoomSizeAsString", R"({"rooms": [{}, {"width": "5"}]})", {"помещение №2, ключ \"width\"", "ожидается число"}},
    {"OpeningSizeAsArray", R"({"rooms": [{}], "openings": [{"rooms": [1, 1]}, {"rooms": [1, 1], "height": [2]}]})",
     {"проем №2, ключ \"height\"", "массив"}},
    {"OpenAsNumber", R"({"rooms": [{}], "openings": [{"rooms": [1, 1], "open": 1}]})",
     {"проем №1, ключ \"open\"", "true или false"}},
    {"PlumeAsNumber", R"({"rooms": [{}], "plume": 1})", {"ключ \"plume\"", "ожидается строка"}},
    {"SamplesPerSecFractional", R"({"rooms": [{}], "SamplesPerSec": 2.5})", {"ключ \"SamplesPerSec\"", "целое"}},
    {"SamplesPerSecZero", R"({"rooms": [{}], "SamplesPerSec": 0})", {"ключ \"SamplesPerSec\"", "не меньше 1"}},
    {"SamplesPerSecHuge", R"({"rooms": [{}], "SamplesPerSec": 3e9})", {"ключ \"SamplesPerSec\""}},
    {"TopIsArray", R"([{"rooms": [{}]}])", {"объектом JSON", "массив"}},
    {"RoomsIsObject", R"({"rooms": {"length": 4}})", {"ключ \"rooms\"", "ожидается массив"}},
    {"RoomIsNumber", R"({"rooms": [{}, 3]})", {"помещение №2", "ожидается объект"}},
    {"OpeningsIsString", R"({"rooms": [{}], "openings": "1-2"})", {"ключ \"openings\"", "ожидается массив"}},
    {"OpeningIsArray", R"({"rooms": [{}, {}], "openings": [[1, 2]]})", {"проем №1", "ожидается объект"}},
    // Negative and infinite numbers (JSON has no NaN: it is a syntax error)
    {"NegativeTime", R"({"rooms": [{}], "SimTime": -1})", {"ключ \"SimTime\"", "неотрицательное", "-1"}},
    {"NegativeRoomSize", R"({"rooms": [{"length": -4}]})", {"помещение №1, ключ \"length\"", "неотрицательное"}},
    {"NegativeOpeningWidth", R"({"rooms": [{}], "openings": [{"rooms": [1, 1], "width": -0.9}]})",
     {"проем №1, ключ \"width\"", "неотрицательное"}},
    {"InfiniteNumber", "{\"rooms\": [{}],\n \"Vlin\": 1e400}",
     {"ключ \"Vlin\"", "1e400", "строке 2, столбце 10", "бесконечность"}},
    {"NegativeInfiniteRoomSize", R"({"rooms": [{"height": -1e309}]})", {"ключ \"rooms[1].height\"", "-1e309", "бесконечность"}},
    {"NaN", R"({"rooms": [{}], "D": NaN})", {"JSON", "строке 1, столбце 22"}},
    // Room numbers of openings
    {"RoomNumberBeyondLast", R"({"rooms": [{}, {}], "openings": [{"rooms": [1, 2]}, {"rooms": [3, 1]}]})",
     {"проем №2, ключ \"rooms\"", "номером 3", "1…2"}},
    {"RoomNumberZero", R"({"rooms": [{}], "openings": [{"rooms": [0, 1]}]})", {"проем №1", "номером 0"}},
    {"RoomNumberNegative", R"({"rooms": [{}], "openings": [{"rooms": [1, -1]}]})", {"проем №1", "номером -1"}},
    {"RoomNumberFractional", R"({"rooms": [{}, {}], "openings": [{"rooms": [1, 1.5]}]})", {"проем №1", "целым"}},
    {"RoomNumberHuge", R"({"rooms": [{}], "openings": [{"rooms": [1, 18446744073709551615]}]})",
     {"проем №1", "номером 18446744073709551615"}},
    {"ThreeRoomNumbers", R"({"rooms": [{}, {}], "openings": [{"rooms": [1, 2, 2]}]})", {"проем №1", "пара"}},
    {"RoomNumbersNotAList", R"({"rooms": [{}, {}], "openings": [{"rooms": 2}]})", {"проем №1", "пара"}},
    {"OpeningWithoutRooms", R"({"rooms": [{}], "openings": [{"height": 2}]})", {"проем №1", "не задан ключ \"rooms\""}},
    // Plume
    {"UnknownPlume", R"({"rooms": [{}], "plume": "McCaffrey"})", {"ключ \"plume\"", "\"McCaffrey\"", "\"mccaffrey\""}},
    // A building that cannot be computed
    {"NoRoomsKey", R"({"dt": 0.01})", {"ключ \"rooms\"", "нет ни одного помещения"}},
    {"EmptyRoomList", R"({"rooms": []})", {"нет ни одного помещения"}},
    {"TooManyRooms", ManyRooms(zf::project::kMaxRooms + 1), {"ключ \"rooms\"", "слишком много помещений"}},
    {"ZeroStep", R"({"rooms": [{}], "dt": 0})", {"ключ \"dt\"", "больше нуля"}},
    {"ZeroOutsideTemperature", R"({"rooms": [{}], "T0": 0})", {"ключ \"T0\"", "больше нуля"}},
    {"ZeroRoomHeight", R"({"rooms": [{}, {"height": 0}]})", {"помещение №2, ключ \"height\"", "больше нуля"}},
    {"WorkingZoneAboveACeiling", R"({"rooms": [{}, {"height": 1.5}], "hr": 1.7})",
     {"помещение №2, ключ \"height\"", "\"hr\""}},
    // Malformed JSON: the place, counted in lines and characters
    {"TrailingComma", "{\n  \"rooms\": [{}],\n  \"dt\": 0.01,\n}", {"JSON", "строке 4, столбце 1"}},
    {"MissingValue", "{\n  \"rooms\": [{}],\n  \"SimTime\": ,\n}", {"JSON", "строке 3, столбце 14"}},
    {"Unterminated", R"({"rooms": [{}])", {"JSON", "строке 1, столбце 15"}},
    {"EmptyText", "", {"JSON", "строке 1, столбце 1"}},
    {"ColumnCountsCharactersNotBytes", R"({"plume": "танака" x})", {"JSON", "строке 1, столбце 20"}},
    {"InvalidUtf8", "{\"plume\": \"\xff\"}", {"JSON", "строке 1"}},
    {"InvalidUtf8OutsideAString", "{\"rooms\": [{}],\n \"dt\": \xd0\xff}", {"JSON", "строке 2, столбце 8"}},
    {"TruncatedUtf8", "{\"plume\": \"\xd0", {"JSON", "строке 1"}},
    {"Utf8OfASurrogate", "{\"plume\": \"\xed\xa0\x80\"}", {"JSON", "строке 1"}},
    // The fire load's area limit: an area, so neither negative nor infinite
    {"NegativeFireAreaMax", R"({"rooms": [{}], "fire_area_max": -1})", {"\"fire_area_max\"", "-1"}},
    {"InfiniteFireAreaMax", R"({"rooms": [{}], "fire_area_max": 1e400})", {"\"fire_area_max\""}},
    {"FireAreaMaxAsText", R"({"rooms": [{}], "fire_area_max": "0.5"})", {"\"fire_area_max\"", "число"}},
};

INSTANTIATE_TEST_SUITE_P(, BadScenarioFile, testing::ValuesIn(kBadFiles),
                         [](const testing::TestParamInfo<BadFile>& info) { return std::string(info.param.Name); });
