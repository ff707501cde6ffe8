// The corpus of 400 generated buildings gives the same results, to the bit, as when its
// fingerprints were recorded: every sample, critical time, count, and every failed run's step,
// room, quantity and kind of fault.

#include <gtest/gtest.h>

#include <fstream>
#include <sstream>
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

TEST(Corpus, EveryBuildingGivesItsRecordedResults) {
    const std::vector<std::string> recorded = RecordedOutcomes();
    ASSERT_EQ(static_cast<int>(recorded.size()), testing_zf::kCorpusSize) << ZONEFIRE_CORPUS_FINGERPRINTS;
    int completed = 0, failed = 0, stopped = 0;
    for (int b = 0; b < testing_zf::kCorpusSize; ++b) {
        const std::string outcome = testing_zf::RunCorpusBuilding(b);
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
