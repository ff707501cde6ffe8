// The corpus of 400 generated buildings gives the same results, to the bit, as when its
// fingerprints were recorded: every sample, critical time, count, and every failed run's step,
// room, quantity and kind of fault.

#include <gtest/gtest.h>

#include <fstream>
#include <sstream>
#include <thread>
#include <string>
#include <vector>

#include "corpus.h"

namespace {

std::vector<std::string> RecordedOutcomes() {
    std::ifstream in(ZONEFIRE_CORPUS_FINGERPRINTS);
    std::vector<std::string> lines;
    std::string line;
    while (std::getline(in, line)) {
        const std::size_t space = line.find(' ');
        if (space != std::string::npos) lines.push_back(line.substr(space + 1));
    }
    return lines;
}

}  // namespace

// With the run's speed machinery (reuse of unchanged rooms, deferred heat loss, products
// formed once per run) and without it: the machinery changes no bit.
class Corpus : public testing::TestWithParam<bool> {};

TEST_P(Corpus, EveryBuildingGivesItsRecordedResults) {
    const std::vector<std::string> recorded = RecordedOutcomes();
    ASSERT_EQ(static_cast<int>(recorded.size()), testing_zf::kCorpusSize) << ZONEFIRE_CORPUS_FINGERPRINTS;
    int completed = 0, failed = 0, stopped = 0;
    for (int b = 0; b < testing_zf::kCorpusSize; ++b) {
        const std::string outcome = testing_zf::RunCorpusBuilding(b, GetParam());
        EXPECT_EQ(outcome, recorded[static_cast<std::size_t>(b)]) << "building " << b;
        completed += outcome.rfind("completed", 0) == 0;
        failed += outcome.rfind("failed", 0) == 0;
        stopped += outcome.rfind("stopped", 0) == 0;
    }
    // The corpus reaches every outcome in numbers.
    EXPECT_GT(completed, 200);
    EXPECT_GT(failed, 40);
    EXPECT_GT(stopped, 20);
}

INSTANTIATE_TEST_SUITE_P(SpeedMachinery, Corpus, testing::Bool(),
                         [](const testing::TestParamInfo<bool>& info) { return info.param ? "On" : "Off"; });

// Runs share nothing: two different buildings, one of which fails and computes steps again,
// run at once on two threads give what each gives alone.
TEST(CorpusThreads, RunsOnTwoThreadsAtOnceGiveTheirSerialResults) {
    const std::vector<std::string> recorded = RecordedOutcomes();
    ASSERT_EQ(static_cast<int>(recorded.size()), testing_zf::kCorpusSize);
    // A failed and a completed building, each of a few thousand steps.
    int failedBuilding = -1, completedBuilding = -1;
    for (int b = 0; b < testing_zf::kCorpusSize; ++b) {
        const std::string& r = recorded[static_cast<std::size_t>(b)];
        const int steps = std::stoi(r.substr(r.find(' ') + 1));
        if (failedBuilding < 0 && r.rfind("failed", 0) == 0 && steps > 1000) failedBuilding = b;
        if (completedBuilding < 0 && r.rfind("completed", 0) == 0 && steps > 1000) completedBuilding = b;
    }
    ASSERT_GE(failedBuilding, 0);
    ASSERT_GE(completedBuilding, 0);
    std::string outcomes[2][4];
    auto work = [&](int slot, int building) {
        for (std::string& outcome : outcomes[slot]) outcome = testing_zf::RunCorpusBuilding(building);
    };
    std::thread first(work, 0, failedBuilding);
    std::thread second(work, 1, completedBuilding);
    first.join();
    second.join();
    for (const std::string& outcome : outcomes[0]) EXPECT_EQ(outcome, recorded[static_cast<std::size_t>(failedBuilding)]);
    for (const std::string& outcome : outcomes[1])
        EXPECT_EQ(outcome, recorded[static_cast<std::size_t>(completedBuilding)]);
}
