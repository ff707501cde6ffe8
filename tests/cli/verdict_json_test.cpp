// The runner's JSON verdict read back against the critical times the same document reports,
// on generated buildings: the blocking time is the smallest reached critical time, its factors
// are every key reached at that time, and the evacuation fields follow from those numbers.

#include <gtest/gtest.h>

#include <algorithm>
#include <iostream>
#include <random>
#include <sstream>
#include <string>
#include <vector>

#include <nlohmann/json.hpp>

#include "../model/test_buildings.h"
#include "result_writer.h"

using nlohmann::json;

namespace {

// A building of 1 to 5 rooms, each joined to an earlier one by a doorway, some also to the
// outside; coarse step, short run, so some rooms reach limits and some do not.
void Generate(std::mt19937& rng, zf::TzoneMath& zm) {
    auto real = [&](double lo, double hi) { return std::uniform_real_distribution<double>(lo, hi)(rng); };
    auto chance = [&](double p) { return std::bernoulli_distribution(p)(rng); };
    testing_zf::SetDefaultInputs(zm);
    zm.dt = 0.05;
    zm.SimTime = std::uniform_int_distribution<int>(0, 1)(rng) ? 30 : 90;
    zm.hr = real(1.0, 2.0);
    zm.UseTanaka = chance(0.5);
    const int rooms = std::uniform_int_distribution<int>(1, 5)(rng);
    for (int i = 0; i < rooms; ++i) {
        zm.AddRoom(real(2, 8), real(2, 8), real(2.5, 4));
        if (i > 0) {
            const int other = std::uniform_int_distribution<int>(0, i - 1)(rng);
            testing_zf::AddDoorway(zm, other, i, real(1.8, 2.2), real(0.7, 1.5), chance(0.8));
        }
        if (chance(0.3)) zm.AddProem(i, i, real(1.5, 2.2), real(0.7, 1.2), chance(0.5));
    }
}

// Evacuation inputs for some of the rooms, from nothing to a few minutes.
zfreport::EvacuationInputs RandomInputs(std::mt19937& rng, int rooms) {
    zfreport::EvacuationInputs inputs;
    inputs.SafetyFactor = std::uniform_int_distribution<int>(0, 2)(rng) == 0 ? 1.0 : 0.8;
    for (int i = 0; i < rooms; ++i) {
        if (std::bernoulli_distribution(0.25)(rng)) {
            inputs.Rooms.emplace_back();
            continue;
        }
        std::uniform_real_distribution<double> seconds(0, 60);
        inputs.Rooms.push_back(zfreport::EvacuationInput{seconds(rng), seconds(rng)});
    }
    return inputs;
}

// The room's smallest reached critical time, 0 when it reaches none. A time never reached is
// null, never 0 ("reached at once").
double SmallestTime(const json& room) {
    double smallest = 0;
    for (const auto& [key, t] : room["critical_times"].items()) {
        EXPECT_TRUE(t.is_null() || t.get<double>() > 0) << key;
        if (!t.is_null() && (smallest == 0 || t.get<double>() < smallest)) smallest = t.get<double>();
    }
    return smallest;
}

// The blocking time is the smallest reached critical time; its factors are every key reached then.
void ExpectBlocking(const json& room, double smallest) {
    std::vector<std::string> keys;
    for (const auto& [key, t] : room["critical_times"].items())
        if (smallest > 0 && !t.is_null() && t.get<double>() == smallest) keys.push_back(key);
    std::vector<std::string> factors = room["blocking_factors"].get<std::vector<std::string>>();
    std::sort(factors.begin(), factors.end());
    std::sort(keys.begin(), keys.end());  // the document's key order is not ours
    EXPECT_EQ(factors, keys);
    if (smallest > 0)
        EXPECT_EQ(room["blocking_time"].get<double>(), smallest);
    else
        EXPECT_TRUE(room["blocking_time"].is_null());
}

// What the run gives a room's evacuation to be judged by.
struct Judged {
    bool Ran;         // the run completed
    double Smallest;  // the room's blocking time, 0 when never blocked [s]
    double F;         // the safety factor
    double EndTime;   // the run's last step [s]
};

// The verdict the room's evacuation fields must give, each field checked on the way.
std::string ExpectedVerdict(const json& e, const zfreport::EvacuationInput& given, const Judged& j) {
    const double required = e["required"].get<double>();
    EXPECT_EQ(required, given.StartDelay + given.Duration);
    if (!j.Ran) {
        // A failed run judges nothing and says why.
        EXPECT_TRUE(e["margin"].is_null());
        EXPECT_NE(e["reason"].get<std::string>().find("расчет"), std::string::npos);
        return "undetermined";
    }
    if (j.Smallest > 0) {
        EXPECT_EQ(e["allowed"].get<double>(), j.F * j.Smallest);
        // The margin as the tables show it: tenths of a second, never above the true one.
        const double margin = e["margin"].get<double>(), exact = e["allowed"].get<double>() - required;
        EXPECT_LE(margin, exact + 1e-6);
        EXPECT_GT(margin, exact - 0.1 - 1e-6);
        EXPECT_NEAR(margin * 10, std::round(margin * 10), 1e-6);
        const bool safe = required <= j.F * j.Smallest;
        if (!safe) {
            EXPECT_LT(margin, 0);
        }
        return safe ? "safe" : "unsafe";
    }
    EXPECT_TRUE(e["allowed"].is_null());
    EXPECT_TRUE(e["margin"].is_null());
    return required <= j.F * j.EndTime ? "safe" : "undetermined";
}

// The building's verdict is its worst room's (safe < undetermined < unsafe; −1 for no room
// judged), with a reason exactly when it is undetermined.
void ExpectBuildingVerdict(const json& doc, int worst) {
    const char* const words[] = {"safe", "undetermined", "unsafe"};
    EXPECT_EQ(doc.contains("evacuation_verdict_reason"), worst == 1);
    if (worst < 0)
        EXPECT_FALSE(doc.contains("evacuation_verdict"));
    else
        EXPECT_EQ(doc["evacuation_verdict"], words[worst]);
}

}  // namespace

TEST(VerdictJson, AgreesWithTheCriticalTimesItReportsOnGeneratedBuildings) {
    std::mt19937 rng(20261207);
    int blocked = 0, unblocked = 0, ties = 0;
    int verdicts[3] = {0, 0, 0};  // safe, undetermined, unsafe
    for (int building = 0; building < 24; ++building) {
        SCOPED_TRACE("building " + std::to_string(building));
        zf::TzoneMath zm;
        Generate(rng, zm);
        const bool ran = zm.Run();
        const zfreport::EvacuationInputs inputs = RandomInputs(rng, zm.RoomCount());
        std::ostringstream out;
        zf::project::WriteJson(out, zm, zf::project::OutcomeOf(ran, zm), "", inputs);
        const json doc = json::parse(out.str());
        const double endTime = zm.Iter * zm.dt;  // a completed run's last step; never stopped here
        const double f = inputs.SafetyFactor;

        int worst = -1;  // the building's verdict: the worst room's, safe < undetermined < unsafe
        for (int i = 0; i < zm.RoomCount(); ++i) {
            SCOPED_TRACE("room " + std::to_string(i + 1));
            const json& room = doc["rooms"][i];
            const double smallest = SmallestTime(room);
            ExpectBlocking(room, smallest);
            if (smallest > 0) {
                ++blocked;
                ties += room["blocking_factors"].size() > 1;
            } else {
                ++unblocked;
            }
            const auto given = inputs.Room(i);
            ASSERT_EQ(room.contains("evacuation"), given.has_value());
            if (!given) continue;
            const json& e = room["evacuation"];
            const std::string expected = ExpectedVerdict(e, *given, {ran, smallest, f, endTime});
            EXPECT_EQ(e["verdict"], expected);
            const int rank = expected == "safe" ? 0 : expected == "undetermined" ? 1 : 2;
            ++verdicts[rank];
            worst = std::max(worst, rank);
        }
        ExpectBuildingVerdict(doc, worst);
    }
    // The generated buildings did exercise both sides of every rule.
    EXPECT_GT(blocked, 0);
    EXPECT_GT(unblocked, 0);
    EXPECT_GT(verdicts[0], 0);
    EXPECT_GT(verdicts[2], 0);
    std::cout << "rooms blocked " << blocked << ", never blocked " << unblocked << ", ties " << ties
              << "; verdicts safe " << verdicts[0] << ", undetermined " << verdicts[1] << ", unsafe "
              << verdicts[2] << '\n';
}
