// The project file's writer and round trips: every example and random buildings saved, opened
// back and saved again; the document against the model it builds.

#include <gtest/gtest.h>

#include <cmath>
#include <filesystem>
#include <fstream>
#include <limits>
#include <random>
#include <sstream>
#include <stdexcept>

#include "project/document.h"
#include "project/scenario_file.h"

namespace fs = std::filesystem;
using namespace zf::project;
using zf::TzoneMath;

namespace {

std::string ReadFile(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

// Every field of two scenarios' inputs and opening matrices equal, to the bit.
void ExpectSameScenario(zf::TzoneMath& a, zf::TzoneMath& b) {
    for (const zf::Input& input : zf::kInputs) EXPECT_EQ(input.In(a), input.In(b)) << input.Key;
    EXPECT_EQ(a.SamplesPerSec, b.SamplesPerSec);
    EXPECT_EQ(a.UseTanaka, b.UseTanaka);
    ASSERT_EQ(a.RoomCount(), b.RoomCount());
    for (int i = 0; i < a.RoomCount(); ++i) {
        EXPECT_EQ(a.Room(i).Length, b.Room(i).Length);
        EXPECT_EQ(a.Room(i).Width, b.Room(i).Width);
        EXPECT_EQ(a.Room(i).Height, b.Room(i).Height);
        for (int j = 0; j < a.RoomCount(); ++j) {
            ASSERT_EQ(a.Cell(i, j).size(), b.Cell(i, j).size()) << "cell " << i << ", " << j;
            for (std::size_t k = 0; k < a.Cell(i, j).size(); ++k) {
                EXPECT_EQ(a.Cell(i, j)[k]->Height, b.Cell(i, j)[k]->Height);
                EXPECT_EQ(a.Cell(i, j)[k]->Width, b.Cell(i, j)[k]->Width);
                EXPECT_EQ(a.Cell(i, j)[k]->IsOpen, b.Cell(i, j)[k]->IsOpen);
            }
        }
    }
}

// Save → open gives the same document, and saving that gives the same bytes.
void ExpectRoundTrip(const Document& document) {
    const std::string saved = WriteDocument(document);
    Document opened;
    ASSERT_EQ(ReadDocument(saved, opened), std::nullopt) << saved;
    EXPECT_EQ(opened, document) << saved;
    EXPECT_EQ(WriteDocument(opened), saved);
}

// Numbers of every kind a double can hold that a file may: integral, decimal fractions that
// are not exact in binary, tiny, huge, subnormal.
double RandomNumber(std::mt19937_64& rng) {
    switch (std::uniform_int_distribution<int>(0, 6)(rng)) {
        case 0: return std::uniform_int_distribution<int>(0, 100)(rng);
        case 1: return std::uniform_int_distribution<int>(1, 999)(rng) / 100.0;
        case 2: return 0.1 + 0.2;
        case 3: return std::numeric_limits<double>::denorm_min() * std::uniform_int_distribution<int>(1, 1000)(rng);
        case 4: return std::numeric_limits<double>::max() / std::uniform_int_distribution<int>(1, 1000)(rng);
        case 5: return std::ldexp(std::uniform_real_distribution<double>(0.5, 1)(rng), std::uniform_int_distribution<int>(-60, 60)(rng));
        default: return std::uniform_real_distribution<double>(0, 10)(rng);
    }
}

// A text with what a name or a note may hold: Cyrillic, quotes, backslashes, line breaks,
// tabs and other control characters.
std::string RandomText(std::mt19937_64& rng) {
    static const char* const kPieces[] = {"Коридор", " ", "\"", "\\", "\n", "\t", "\x01", "№3", "a/b", "ё", "\x7f", "}"};
    std::string text;
    for (int n = std::uniform_int_distribution<int>(0, 6)(rng); n > 0; --n)
        text += kPieces[std::uniform_int_distribution<std::size_t>(0, std::size(kPieces) - 1)(rng)];
    return text;
}

Document RandomDocument(std::mt19937_64& rng) {
    Document d;
    d.Title = RandomText(rng);
    d.Notes = RandomText(rng);
    // Any number the file holds, within each input's range (the critical values have one).
    for (const zf::Input& input : zf::kInputs) {
        double& value = d.Params.*input.Field;
        do value = RandomNumber(rng);
        while (value < input.Min || value > input.Max);
    }
    d.Params.SamplesPerSec = std::uniform_int_distribution<int>(1, 1000)(rng);
    d.Params.UseTanaka = rng() % 2 == 0;
    const int rooms = std::uniform_int_distribution<int>(0, 8)(rng);
    for (int i = 0; i < rooms; ++i) d.Rooms.push_back({RandomNumber(rng), RandomNumber(rng), RandomNumber(rng), RandomText(rng), {}, {}, {}});
    if (rooms > 0) {
        std::uniform_int_distribution<int> room(0, rooms - 1);
        for (int n = std::uniform_int_distribution<int>(0, 12)(rng); n > 0; --n) {
            const int from = room(rng);
            const int to = rng() % 3 == 0 ? from : room(rng);  // a third to the outside
            d.Openings.push_back({from, to, RandomNumber(rng), RandomNumber(rng), rng() % 2 == 0});
        }
    }
    return d;
}

// The document as Capture lists it: doorways by their upper face, row by row, in the order
// their faces were added to each cell; no names.
Document Canonical(Document d) {
    d.Title.clear();
    d.Notes.clear();
    for (Room& room : d.Rooms) room.Name.clear();
    for (Opening& o : d.Openings)
        if (o.From > o.To) std::swap(o.From, o.To);
    std::stable_sort(d.Openings.begin(), d.Openings.end(), [](const Opening& a, const Opening& b) {
        return std::pair(a.From, a.To) < std::pair(b.From, b.To);
    });
    return d;
}

}  // namespace

TEST(ProjectFile, EveryExampleSavedAndOpenedGivesTheSameScenarioAndTheSameBytes) {
    int examples = 0;
    for (const auto& entry : fs::recursive_directory_iterator(ZONEFIRE_EXAMPLES)) {
        if (entry.path().extension() != ".json") continue;
        SCOPED_TRACE(entry.path().string());
        const std::string original = ReadFile(entry.path());
        Document document;
        if (ReadDocument(original, document)) continue;  // not a scenario (a study, say)
        ++examples;
        ExpectRoundTrip(document);
        // The saved file runs as the original does: the engine gets the same inputs.
        zf::TzoneMath fromOriginal, fromSaved;
        ASSERT_EQ(ReadScenario(original, fromOriginal), std::nullopt);
        ASSERT_EQ(ReadScenario(WriteDocument(document), fromSaved), std::nullopt);
        ExpectSameScenario(fromOriginal, fromSaved);
    }
    EXPECT_GE(examples, 3);
}

TEST(ProjectFile, RandomBuildingsSavedAndOpenedGiveTheSameDocumentAndTheSameBytes) {
    std::mt19937_64 rng(20261207);
    for (int i = 0; i < 300; ++i) {
        SCOPED_TRACE("building " + std::to_string(i));
        const Document document = RandomDocument(rng);
        ExpectRoundTrip(document);
        if (HasFatalFailure()) return;
        // The model built from it gives the building back, each doorway once.
        zf::TzoneMath built;
        Apply(document, built);
        EXPECT_EQ(Capture(built), Canonical(document));
        // Applying the captured building rebuilds the same opening matrix.
        zf::TzoneMath rebuilt;
        Apply(Capture(built), rebuilt);
        ExpectSameScenario(built, rebuilt);
    }
}

TEST(ProjectFile, IsLaidOutOneKeyAndOneRoomOrOpeningPerLine) {
    Document d;
    d.Title = "Этаж 2";
    d.Params.dt = 0.01;
    d.Rooms = {{5, 4, 3, "Очаг", {}, {}, {}}, {6, 2.5, 3, "", {}, {}, {}}};
    d.Openings = {{0, 1, 2, 0.9, true}, {1, 1, 1.5, 1.2, false}};
    EXPECT_EQ(WriteDocument(d),
              "{\n"
              "  \"format\": \"zonefire-scenario\",\n"
              "  \"version\": 1,\n"
              "  \"title\": \"Этаж 2\",\n"
              "  \"Qn\": 13800000,\n  \"Vlin\": 0.0108,\n  \"PsiUd\": 0.0145,\n  \"D\": 270,\n"
              "  \"Lo2\": 1.03,\n  \"Lco\": 0.0022,\n  \"Lco2\": 0.203,\n  \"Lhcl\": 0.014,\n"
              "  \"Nu\": 0.97,\n  \"T0\": 293,\n  \"hr\": 1.7,\n  \"SimTime\": 200,\n  \"dt\": 0.01,\n"
              "  \"SamplesPerSec\": 10,\n"
              "  \"plume\": \"tanaka\",\n"
              "  \"rooms\": [\n"
              "    {\"length\": 5, \"width\": 4, \"height\": 3, \"name\": \"Очаг\"},\n"
              "    {\"length\": 6, \"width\": 2.5, \"height\": 3}\n"
              "  ],\n"
              "  \"openings\": [\n"
              "    {\"rooms\": [1, 2], \"height\": 2, \"width\": 0.9, \"open\": true},\n"
              "    {\"rooms\": [2, 2], \"height\": 1.5, \"width\": 1.2, \"open\": false}\n"
              "  ]\n"
              "}\n");
}

TEST(ProjectFile, FireAreaLimitIsWrittenOnlyWhenSetAndReachesTheRun) {
    Document d;
    d.Rooms = {{5, 4, 3, "", {}, {}, {}}};
    // No limit: the file is as it was before the key existed.
    EXPECT_EQ(WriteDocument(d).find("fire_area_max"), std::string::npos);
    d.Params.FireAreaMax = 0.5;
    const std::string text = WriteDocument(d);
    EXPECT_NE(text.find("  \"PsiUd\": 0.0145,\n  \"fire_area_max\": 0.5,\n"), std::string::npos) << text;
    Document back;
    ASSERT_EQ(ReadDocument(text, back), std::nullopt);
    EXPECT_EQ(back, d);
    zf::TzoneMath zm;
    Apply(back, zm);
    EXPECT_EQ(zm.Options.FireAreaMax, 0.5);
    EXPECT_EQ(Capture(zm).Params.FireAreaMax, 0.5);
}

TEST(ProjectFile, NumbersAreWrittenInTheShortestTextThatReadsBack) {
    Document d;
    d.Params.Vlin = 0.1 + 0.2;  // not 0.3: the text must keep every bit
    d.Params.Lhcl = 2.3e-05;
    d.Params.Qn = -0.0;         // a negative zero is written as 0
    const std::string text = WriteDocument(d);
    EXPECT_NE(text.find("\"Vlin\": 0.30000000000000004,"), std::string::npos) << text;
    EXPECT_NE(text.find("\"Lhcl\": 2.3e-05,"), std::string::npos) << text;
    EXPECT_NE(text.find("\"Qn\": 0,"), std::string::npos) << text;
}

TEST(ProjectFile, WhatNoFileCouldReadBackIsRefusedByTheWriterNamingTheKey) {
    struct Case {
        const char* Name;
        void (*Spoil)(Document&);
        const char* Says;
    };
    const Case cases[] = {
        {"infinite", [](Document& d) { d.Params.SimTime = std::numeric_limits<double>::infinity(); }, "ключ \"SimTime\""},
        {"not a number", [](Document& d) { d.Rooms[1].Width = std::nan(""); }, "помещение №2, ключ \"width\""},
        {"negative", [](Document& d) { d.Openings[0].Height = -2; }, "проем №1, ключ \"height\""},
        {"no samples", [](Document& d) { d.Params.SamplesPerSec = 0; }, "ключ \"SamplesPerSec\""},
        {"missing room", [](Document& d) { d.Openings[0].To = 2; }, "проем №1, ключ \"rooms\": нет помещения с номером 3"},
    };
    for (const Case& c : cases) {
        Document d;
        d.Rooms = {{}, {}};
        d.Openings = {{0, 1}};
        c.Spoil(d);
        try {
            WriteDocument(d);
            ADD_FAILURE() << c.Name << ": written";
        } catch (const std::invalid_argument& e) {
            EXPECT_NE(std::string(e.what()).find(c.Says), std::string::npos) << c.Name << ": " << e.what();
        }
    }
}

TEST(ProjectFile, TitleNotesAndNamesAreKeptAndEmptyOnesLeftOut) {
    Document d;
    d.Title = "Склад";
    d.Notes = "строка 1\nстрока 2 \"в кавычках\"";
    d.Rooms = {{4, 5, 3, "Коридор", {}, {}, {}}, {4, 5, 3, "", {}, {}, {}}};
    ExpectRoundTrip(d);
    const std::string text = WriteDocument(d);
    EXPECT_NE(text.find(R"("notes": "строка 1\nстрока 2 \"в кавычках\"")"), std::string::npos) << text;
    EXPECT_EQ(text.find("\"name\": \"\""), std::string::npos) << text;
    EXPECT_EQ(WriteDocument(Document{}).find("title"), std::string::npos);
}

TEST(ProjectFile, ABuildingTheEditorCanHoldButNotRunIsOpenedAndItsRunRefused) {
    // An empty building, and a room lower than the working zone after "hr" was raised.
    for (const char* text : {R"({"rooms": []})", R"({"hr": 2.5, "rooms": [{"height": 2}]})"}) {
        Document document;
        EXPECT_EQ(ReadDocument(text, document), std::nullopt) << text;
        ExpectRoundTrip(document);
        const auto refusal = RunRefusal(document);
        ASSERT_TRUE(refusal) << text;
        zf::TzoneMath zm;
        EXPECT_EQ(ReadScenario(text, zm), refusal);
    }
}
