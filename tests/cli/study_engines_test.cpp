// The recipes for the engines engineers run studies on: GNU Parallel on one machine, proven
// byte-identical with the study computed whole; and the Slurm script's submissions, read from a
// recording sbatch (scripts/check-cluster.sh runs it on a real one-node cluster).

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>

#include "study_cli.h"

namespace fs = std::filesystem;
using namespace zftest;

namespace {

const fs::path kRecipes = kExamples / "study";

bool OnPath(const std::string& program) {
    return RunChild("/bin/sh", {"-c", "command -v " + program + " >/dev/null"}).ExitCode == 0;
}

ChildResult Recipe(const std::string& script, const std::vector<std::string>& args, const std::string& path = "") {
    std::vector<std::string> all = {"ZONEFIRE_CLI=" + kCli};
    if (!path.empty()) all.push_back("PATH=" + path + ":" + std::getenv("PATH"));
    all.push_back("/bin/sh");
    all.push_back((kRecipes / script).string());
    all.insert(all.end(), args.begin(), args.end());
    ChildOptions options;
    options.TimeoutMs = 300000;
    return RunChild("/usr/bin/env", all, options);
}

}  // namespace

TEST(StudyEngines, GnuParallelShardsMergeToTheOneMachineBytesAndResume) {
    if (!OnPath("parallel")) GTEST_SKIP() << "GNU Parallel is not installed (scripts/deps.sh installs it)";
    TempDir tmp;
    WriteFile(tmp / "study.json", TwoRoomStudy(12, "latin-hypercube"));
    ASSERT_EQ(Cli({"study", (tmp / "study.json").string(), "--out", (tmp / "one").string(), "--quiet"}).ExitCode, 0);
    const ChildResult run = Recipe("parallel_study.sh", {(tmp / "study.json").string(), (tmp / "out").string(), "3", "2"});
    ASSERT_EQ(run.ExitCode, 0) << run.Out << run.Err;
    ExpectSameOutputs(tmp / "one", tmp / "out" / "all");
    // A shard lost (its node died, say) is computed again by the same command, alone.
    fs::remove_all(tmp / "out" / "shard-1");
    const auto kept = ReadFile(tmp / "out" / "shard-2" / "runs.csv");
    const ChildResult again = Recipe("parallel_study.sh", {(tmp / "study.json").string(), (tmp / "out").string(), "3", "2"});
    ASSERT_EQ(again.ExitCode, 0) << again.Out << again.Err;
    ExpectSameOutputs(tmp / "one", tmp / "out" / "all");
    EXPECT_EQ(ReadFile(tmp / "out" / "shard-2" / "runs.csv"), kept);
}

// A recording sbatch: each call's arguments on a line of calls.txt, a job number out.
class SlurmScript : public testing::Test {
protected:
    void SetUp() override {
        fs::create_directory(tmp_ / "bin");
        WriteFile(tmp_ / "bin" / "sbatch", "#!/bin/sh\necho \"$*\" >>\"" + (tmp_ / "calls.txt").string() +
                                               "\"\nn=$(wc -l <\"" + (tmp_ / "calls.txt").string() + "\")\necho $((1000 + n))\n");
        fs::permissions(tmp_ / "bin" / "sbatch", fs::perms::owner_all);
        WriteFile(tmp_ / "study.json", TwoRoomStudy(12, "monte-carlo"));
    }
    std::string Calls() const { return ReadFile(tmp_ / "calls.txt"); }

    TempDir tmp_;
};

TEST_F(SlurmScript, ChecksTheStudyBeforeItSubmitsAnything) {
    WriteFile(tmp_ / "bad.json", R"({"runs": 2, "runs": 3})");
    const ChildResult run = Recipe("slurm_study.sh", {(tmp_ / "bad.json").string(), (tmp_ / "out").string(), "4", "2"}, (tmp_ / "bin").string());
    EXPECT_EQ(run.ExitCode, 2);
    EXPECT_NE(run.Err.find("дважды"), std::string::npos) << run.Err;
    EXPECT_FALSE(fs::exists(tmp_ / "calls.txt"));
}

TEST_F(SlurmScript, SubmitsZeroBasedTasksWithAppendedLogsAndAMergeThatCannotPendForever) {
    const ChildResult run = Recipe("slurm_study.sh", {(tmp_ / "study.json").string(), (tmp_ / "out").string(), "4", "2"}, (tmp_ / "bin").string());
    ASSERT_EQ(run.ExitCode, 0) << run.Err;
    const std::string calls = Calls();
    const std::string array = calls.substr(0, calls.find('\n')), merge = calls.substr(calls.find('\n') + 1);
    for (const char* part : {"--array=0-3", "--cpus-per-task=2", "--requeue", "--signal=B:USR1@", "--open-mode=append", "shard-%A_%a.log"})
        EXPECT_NE(array.find(part), std::string::npos) << part << " in " << array;
    for (const char* part : {"--dependency=afterany:1001", "--kill-on-invalid-dep=yes", " merge ", "/shard-0\"", "/shard-3\""})
        EXPECT_NE(merge.find(part), std::string::npos) << part << " in " << merge;
    // It says how to follow the jobs and where the results go.
    for (const char* part : {"squeue -j 1001,1002", "sacct", "/out/all", "TASKS"}) EXPECT_NE(run.Out.find(part), std::string::npos) << part;
    // The task itself: its shard with Slurm's 0-based number, resumed, requeued near the limit.
    const std::string task = ReadFile(tmp_ / "out" / "logs" / "shard-task.sh");
    for (const char* part : {"--shard-index-base 0", "--resume", "scontrol requeue", "trap"})
        EXPECT_NE(task.find(part), std::string::npos) << part;

    // Submitting some shards again (a cancelled task): only those tasks, the merge of all.
    fs::remove(tmp_ / "calls.txt");
    ASSERT_EQ(Recipe("slurm_study.sh", {(tmp_ / "study.json").string(), (tmp_ / "out").string(), "4", "2", "2"}, (tmp_ / "bin").string()).ExitCode, 0);
    EXPECT_NE(Calls().find("--array=2 "), std::string::npos) << Calls();
    EXPECT_NE(Calls().find("/shard-3\""), std::string::npos) << Calls();
}
