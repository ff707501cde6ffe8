// The evacuation inputs in the scenario file: per room "evacuation": {"start_delay",
// "duration"}, at the top "safety_factor"; read, written back the same, bad values refused
// with a message naming the room.
#include <gtest/gtest.h>

#include <string>

#include "project/scenario_file.h"

using namespace zf::project;

namespace {

std::string WithRooms(const std::string& rooms, const std::string& top = "") {
    return R"({"rooms": [)" + rooms + "]" + top + "}";
}

std::string Refusal(const std::string& text) {
    Document d;
    const auto why = ReadDocument(text, d);
    EXPECT_TRUE(why.has_value()) << text;
    return why.value_or("");
}

}  // namespace

TEST(EvacuationKeys, ReadPerRoomWithTheSafetyFactorAndWrittenBackTheSame) {
    Document d;
    const std::string text = WithRooms(R"({"length": 5}, {"length": 6, "evacuation": {"start_delay": 30, "duration": 95.5}})",
                                       R"(, "safety_factor": 1)");
    ASSERT_EQ(ReadDocument(text, d), std::nullopt);
    ASSERT_EQ(d.Rooms.size(), 2u);
    EXPECT_FALSE(d.Rooms[0].Evacuation.has_value());
    ASSERT_TRUE(d.Rooms[1].Evacuation.has_value());
    EXPECT_EQ(*d.Rooms[1].Evacuation, (zfreport::EvacuationInput{30, 95.5}));
    EXPECT_EQ(d.SafetyFactor, 1.0);
    const zfreport::EvacuationInputs inputs = d.Evacuation();
    EXPECT_EQ(inputs.SafetyFactor, 1.0);
    EXPECT_EQ(inputs.Room(1), d.Rooms[1].Evacuation);

    const std::string written = WriteDocument(d);
    EXPECT_NE(written.find(R"("evacuation": {"start_delay": 30, "duration": 95.5})"), std::string::npos) << written;
    Document again;
    ASSERT_EQ(ReadDocument(written, again), std::nullopt);
    EXPECT_EQ(again, d);
}

TEST(EvacuationKeys, AbsentMeansNoInputsAndTheUsualFactorWhichIsNotWritten) {
    Document d;
    ASSERT_EQ(ReadDocument(WithRooms(R"({"length": 5})"), d), std::nullopt);
    EXPECT_FALSE(d.Evacuation().Any());
    EXPECT_EQ(d.SafetyFactor, 0.8);
    const std::string written = WriteDocument(d);
    EXPECT_EQ(written.find("safety_factor"), std::string::npos) << written;
    EXPECT_EQ(written.find("evacuation"), std::string::npos) << written;
}

TEST(EvacuationKeys, BadValuesRefusedNamingTheRoom) {
    const std::string negative = Refusal(WithRooms(R"({}, {"evacuation": {"start_delay": -1, "duration": 5}})"));
    EXPECT_NE(negative.find("помещение №2"), std::string::npos) << negative;
    EXPECT_NE(negative.find("start_delay"), std::string::npos) << negative;
    const std::string missing = Refusal(WithRooms(R"({"evacuation": {"start_delay": 1}})"));
    EXPECT_NE(missing.find("помещение №1"), std::string::npos) << missing;
    EXPECT_NE(missing.find("duration"), std::string::npos) << missing;
    const std::string text = Refusal(WithRooms(R"({"evacuation": {"start_delay": "1", "duration": 2}})"));
    EXPECT_NE(text.find("помещение №1"), std::string::npos) << text;
    const std::string unknown = Refusal(WithRooms(R"({"evacuation": {"start_delay": 1, "duration": 2, "dur": 3}})"));
    EXPECT_NE(unknown.find("dur"), std::string::npos) << unknown;
    EXPECT_NE(Refusal(WithRooms(R"({"evacuation": 5})")).find("помещение №1"), std::string::npos);
    for (const char* f : {"0", "-0.5", "1.5", "\"0.8\""})
        EXPECT_NE(Refusal(WithRooms("{}", std::string(R"(, "safety_factor": )") + f)).find("safety_factor"),
                  std::string::npos)
            << f;

    Document bad;
    bad.Rooms.push_back(Room{});
    bad.SafetyFactor = 0;
    EXPECT_THROW(WriteDocument(bad), std::invalid_argument);
    bad.SafetyFactor = 0.8;
    bad.Rooms[0].Evacuation = zfreport::EvacuationInput{1, -2};
    EXPECT_THROW(WriteDocument(bad), std::invalid_argument);
}
