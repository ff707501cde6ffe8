// Shards and their merge end to end: the shard numbers as batch systems give them, and a merge
// that never mixes studies, versions or a shard twice, never passes over missing runs and
// never replaces a fuller result unasked.

#include <gtest/gtest.h>

#include <filesystem>

#include <nlohmann/json.hpp>

#include "study_cli.h"

namespace fs = std::filesystem;
using namespace zftest;

namespace {

// Shards 1…3 of a six-run study in s1, s2, s3, and the study computed whole in "whole".
class StudyMerge : public testing::Test {
protected:
    void SetUp() override {
        WriteFile(tmp_ / "study.json", TwoRoomStudy(6, "monte-carlo"));
        for (int i = 1; i <= 3; ++i)
            ASSERT_EQ(Cli({"study", Study(), "--out", Dir("s" + std::to_string(i)), "--shard", std::to_string(i) + "/3", "--quiet"}).ExitCode, 0);
        ASSERT_EQ(Cli({"study", Study(), "--out", Dir("whole"), "--quiet"}).ExitCode, 0);
    }
    std::string Study() const { return (tmp_ / "study.json").string(); }
    std::string Dir(const std::string& name) const { return (tmp_ / name).string(); }

    TempDir tmp_;
};

struct BadMerge {
    const char* Name;
    std::function<std::vector<std::string>(const TempDir&)> Args;  // after "merge"
    int Exit;
    std::string Said;
};

void PrintTo(const BadMerge& c, std::ostream* os) { *os << c.Name; }

class StudyMergeRefused : public StudyMerge, public testing::WithParamInterface<BadMerge> {};

std::string In(const TempDir& t, const std::string& name) { return (t / name).string(); }

}  // namespace

TEST_F(StudyMerge, TheShardsInAnyOrderGiveTheWholeStudysBytes) {
    ASSERT_EQ(Cli({"merge", Dir("m"), Dir("s3"), Dir("s1"), Dir("s2")}).ExitCode, 0);
    ExpectSameOutputs(Dir("whole"), Dir("m"));
}

TEST_F(StudyMerge, ZeroBasedShardNumbersAreTheSameShards) {
    for (int i = 0; i < 3; ++i) {
        const std::string dir = Dir("z" + std::to_string(i));
        const ChildResult run = Cli({"study", Study(), "--out", dir, "--shard", std::to_string(i) + "/3", "--shard-index-base", "0", "--quiet"});
        ASSERT_EQ(run.ExitCode, 0) << run.Err;
        EXPECT_EQ(ReadFile(fs::path(dir) / "runs.csv"), ReadFile(fs::path(Dir("s" + std::to_string(i + 1))) / "runs.csv"));
    }
    for (const std::vector<std::string>& bad : {std::vector<std::string>{"--shard", "3/3", "--shard-index-base", "0"},
                                                std::vector<std::string>{"--shard", "0/3"},
                                                std::vector<std::string>{"--shard", "1/3", "--shard-index-base", "2"},
                                                std::vector<std::string>{"--shard-index-base", "0"}}) {
        std::vector<std::string> args = {"study", Study(), "--out", Dir("bad")};
        args.insert(args.end(), bad.begin(), bad.end());
        const ChildResult run = Cli(args);
        EXPECT_EQ(run.ExitCode, 2) << bad[1];
        EXPECT_NE(run.Err.find("--shard"), std::string::npos) << run.Err;
    }
    EXPECT_FALSE(fs::exists(Dir("bad")));
}

TEST_P(StudyMergeRefused, WithNothingWritten) {
    std::vector<std::string> args = {"merge"};
    for (const std::string& a : GetParam().Args(tmp_)) args.push_back(a);
    const ChildResult run = Cli(args);
    EXPECT_EQ(run.ExitCode, GetParam().Exit) << run.Err;
    EXPECT_NE(run.Err.find(GetParam().Said), std::string::npos) << run.Err;
    EXPECT_FALSE(fs::exists(tmp_ / "m" / "runs.csv"));
    EXPECT_FALSE(fs::exists(tmp_ / "m" / "summary.txt"));
}

INSTANTIATE_TEST_SUITE_P(
    Shards, StudyMergeRefused,
    testing::Values(
        BadMerge{"MissingRunsAreNamed", [](const TempDir& t) { return std::vector<std::string>{In(t, "m"), In(t, "s1"), In(t, "s2")}; }, 1,
                 "не хватает расчетов 5–6 из 1…6"},
        BadMerge{"TheSameShardTwice",
                 [](const TempDir& t) { return std::vector<std::string>{In(t, "m"), In(t, "s1"), In(t, "s2"), In(t, "s3"), In(t, "s1")}; }, 2,
                 "задан дважды"},
        BadMerge{"TheSameShardThroughALinkAndDots",
                 [](const TempDir& t) {
                     fs::create_directory_symlink(t / "s2", t / "link");
                     return std::vector<std::string>{In(t, "m"), In(t, "s1"), In(t, "s2"), In(t, "s3"), In(t, "link"), In(t, "s1/../s2")};
                 },
                 2, "задан дважды"},
        BadMerge{"AShardOfAnotherStudy",
                 [](const TempDir& t) {
                     WriteFile(t / "other.json", TwoRoomStudy(6, "latin-hypercube"));
                     EXPECT_EQ(Cli({"study", In(t, "other.json"), "--out", In(t, "o3"), "--shard", "3/3", "--quiet"}).ExitCode, 0);
                     return std::vector<std::string>{In(t, "m"), In(t, "s1"), In(t, "s2"), In(t, "o3")};
                 },
                 2, "другого исследования"},
        BadMerge{"AShardOfAnotherVersion",
                 [](const TempDir& t) {
                     auto json = nlohmann::json::parse(ReadFile(t / "s2" / "study.json"));
                     json["zonefire_version"] = "0.0.1-old";
                     WriteFile(t / "s2" / "study.json", json.dump(2) + "\n");
                     return std::vector<std::string>{In(t, "m"), In(t, "s1"), In(t, "s2"), In(t, "s3")};
                 },
                 2, "версии 0.0.1-old"},
        BadMerge{"IntoOneOfTheShards", [](const TempDir& t) { return std::vector<std::string>{In(t, "s1"), In(t, "s1"), In(t, "s2"), In(t, "s3")}; },
                 2, "один из каталогов долей"}),
    [](const testing::TestParamInfo<BadMerge>& info) { return std::string(info.param.Name); });

TEST_F(StudyMerge, APartialMergeNeverReplacesAFullerResultUnasked) {
    ASSERT_EQ(Cli({"merge", Dir("m"), Dir("s1"), Dir("s2"), Dir("s3")}).ExitCode, 0);
    const auto full = Snapshot(Dir("m"));
    const ChildResult partial = Cli({"merge", "--partial", Dir("m"), Dir("s1"), Dir("s2")});
    EXPECT_EQ(partial.ExitCode, 2) << partial.Err;
    EXPECT_NE(partial.Err.find("--force"), std::string::npos) << partial.Err;
    EXPECT_EQ(Snapshot(Dir("m")), full);
    // Asked for, it is done, and the summary says how many runs it covers.
    const ChildResult forced = Cli({"merge", "--partial", "--force", Dir("m"), Dir("s1"), Dir("s2")});
    EXPECT_EQ(forced.ExitCode, 1) << forced.Err;
    EXPECT_NE(forced.Err.find("5–6"), std::string::npos) << forced.Err;
    EXPECT_NE(ReadFile(fs::path(Dir("m")) / "summary.txt").find("выполнено 4 из 6"), std::string::npos);
    // A partial merge into a new folder needs no --force.
    EXPECT_EQ(Cli({"merge", "--partial", Dir("p"), Dir("s1")}).ExitCode, 1);
    EXPECT_EQ(RowsOf(Dir("p")).size(), 2u);
}

TEST(StudyRun, BadStudiesAreRefusedWithoutResults) {
    TempDir tmp;
    WriteFile(tmp / "bad.json", R"({"base_file": "missing.json", "runs": 3, "seed": 1, "sampling": "monte-carlo", "vary": []})");
    const ChildResult bad = Cli({"study", (tmp / "bad.json").string(), "--out", (tmp / "out").string()});
    EXPECT_EQ(bad.ExitCode, 2);
    EXPECT_NE(bad.Err.find("base_file"), std::string::npos) << bad.Err;
    EXPECT_FALSE(fs::exists(tmp / "out"));

    const ChildResult usage = Cli({"study", (tmp / "bad.json").string(), "--out", (tmp / "out").string(), "--shard", "4/3"});
    EXPECT_EQ(usage.ExitCode, 2);
    EXPECT_NE(usage.Err.find("--shard"), std::string::npos);
}
