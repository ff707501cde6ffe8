// A study's output folder end to end: one user at a time, nothing of anyone else's replaced,
// no summary left looking current after a kill, failed runs reported and never safe, and the
// default number of jobs taken from the cores the process may use.

#include <gtest/gtest.h>

#include <sys/file.h>

#include <algorithm>
#include <csignal>
#include <filesystem>

#include <nlohmann/json.hpp>

#include "study_cli.h"
#include "study_pool.h"

namespace fs = std::filesystem;
using namespace zftest;
using namespace zfcli::study;

namespace {

// Long runs (a 0.001 s step), so a study is still running when the test acts on it.
std::string LongStudy(int runs) { return TwoRoomStudy(runs, "latin-hypercube", fs::path("study") / "two_rooms_dt0001.json"); }

std::size_t Lines(const fs::path& file) {
    const std::string text = ReadFile(file);
    return static_cast<std::size_t>(std::count(text.begin(), text.end(), '\n'));
}

// Holds once runs.csv has the header and `rows` rows.
std::function<bool(const ChildResult&)> AfterRows(const fs::path& out, std::size_t rows) {
    return [out, rows](const ChildResult&) { return Lines(out / "runs.csv") >= rows + 1; };
}

}  // namespace

TEST(StudyFolder, OneStudyResumeOrMergeAtATimeAndTheLockGoesWithAKill) {
    TempDir tmp;
    WriteFile(tmp / "study.json", LongStudy(60));
    const std::string study = (tmp / "study.json").string(), out = (tmp / "out").string();
    std::vector<ChildResult> meanwhile;
    ChildOptions first;
    first.InterruptSignal = SIGKILL;
    first.InterruptWhen = [&](const ChildResult& sofar) {
        if (!AfterRows(tmp / "out", 1)(sofar)) return false;
        // The first study is running: each of these must be refused at once.
        meanwhile.push_back(Cli({"study", study, "--out", out, "--quiet"}));
        meanwhile.push_back(Cli({"study", study, "--out", out, "--resume", "--quiet"}));
        meanwhile.push_back(Cli({"merge", out, (tmp / "elsewhere").string()}));
        meanwhile.push_back(Cli({"merge", (tmp / "merged").string(), out}));
        return true;
    };
    const ChildResult killed = Cli({"study", study, "--out", out, "--jobs", "1", "--quiet"}, first);
    ASSERT_EQ(killed.Signal, SIGKILL) << "the study ended before the test acted; make its runs longer";
    ASSERT_EQ(meanwhile.size(), 4u);
    for (const ChildResult& refused : meanwhile) {
        EXPECT_EQ(refused.ExitCode, 2) << refused.Err;
        EXPECT_NE(refused.Err.find("каталог " + out + " занят"), std::string::npos) << refused.Err;
        EXPECT_LT(refused.Seconds, 5.0);
    }
    EXPECT_FALSE(fs::exists(tmp / "merged" / "runs.csv"));
    // The kill released the lock: the study resumes.
    const ChildResult resumed = Cli({"study", study, "--out", out, "--resume", "--quiet"});
    EXPECT_EQ(resumed.ExitCode, 0) << resumed.Err;
}

struct Foreign {
    const char* Name;
    std::function<void(const fs::path& out, const std::string& otherStudy)> Plant;
    std::string Named;  // what the refusal names
};

void PrintTo(const Foreign& c, std::ostream* os) { *os << c.Name; }

class StudyFolderForeign : public testing::TestWithParam<Foreign> {};

TEST_P(StudyFolderForeign, IsRefusedByNameAndLeftAsItWas) {
    TempDir tmp;
    WriteFile(tmp / "study.json", TwoRoomStudy(4, "monte-carlo"));
    WriteFile(tmp / "other.json", TwoRoomStudy(5, "monte-carlo"));
    fs::create_directory(tmp / "out");
    GetParam().Plant(tmp / "out", (tmp / "other.json").string());
    auto before = Snapshot(tmp / "out");
    before.erase("study.lock");
    for (const bool resume : {false, true}) {
        std::vector<std::string> args = {"study", (tmp / "study.json").string(), "--out", (tmp / "out").string(), "--quiet"};
        if (resume) args.push_back("--resume");
        const ChildResult run = Cli(args);
        EXPECT_EQ(run.ExitCode, 2) << run.Err;
        EXPECT_NE(run.Err.find(GetParam().Named), std::string::npos) << run.Err;
    }
    auto after = Snapshot(tmp / "out");
    after.erase("study.lock");  // the lock file, empty
    EXPECT_EQ(after, before);
}

INSTANTIATE_TEST_SUITE_P(
    Folders, StudyFolderForeign,
    testing::Values(
        Foreign{"ASummaryOfTheUsers", [](const fs::path& out, const std::string&) { WriteFile(out / "summary.txt", "мои заметки\n"); },
                "summary.txt"},
        Foreign{"ATableOfTheUsers", [](const fs::path& out, const std::string&) { WriteFile(out / "runs.csv", "a,b\n1,2\n"); },
                "runs.csv"},
        Foreign{"AFolderNamedLikeTheTable", [](const fs::path& out, const std::string&) { fs::create_directory(out / "runs.csv"); },
                "runs.csv"},
        Foreign{"ALinkNamedLikeTheSummary",
                [](const fs::path& out, const std::string& other) { fs::create_symlink(other, out / "summary.json"); }, "summary.json"},
        Foreign{"AnotherStudysResults",
                [](const fs::path& out, const std::string& other) {
                    ASSERT_EQ(Cli({"study", other, "--out", out.string(), "--quiet"}).ExitCode, 0);
                },
                "другого исследования"},
        Foreign{"AnotherVersionsResults",
                [](const fs::path& out, const std::string&) {
                    const std::string study = (out.parent_path() / "study.json").string();
                    ASSERT_EQ(Cli({"study", study, "--out", out.string(), "--quiet"}).ExitCode, 0);
                    auto json = nlohmann::json::parse(ReadFile(out / "study.json"));
                    json["zonefire_version"] = "0.0.1-old";
                    WriteFile(out / "study.json", json.dump(2) + "\n");
                },
                "версии 0.0.1-old"}),
    [](const testing::TestParamInfo<Foreign>& info) { return std::string(info.param.Name); });

TEST(StudyFolder, AResumeRemovesTheOldSummaryAtOnceSoAKillLeavesNoneLookingCurrent) {
    TempDir tmp;
    WriteFile(tmp / "study.json", LongStudy(60));
    const std::string study = (tmp / "study.json").string(), out = (tmp / "out").string();
    ChildOptions stop;
    stop.InterruptWhen = AfterRows(tmp / "out", 2);
    ASSERT_EQ(Cli({"study", study, "--out", out, "--jobs", "1", "--quiet"}, stop).ExitCode, 130);
    const std::size_t stopped = Lines(tmp / "out" / "runs.csv") - 1;
    ASSERT_NE(ReadFile(tmp / "out" / "summary.txt").find("выполнено " + std::to_string(stopped) + " из 60"), std::string::npos);

    ChildOptions kill;
    kill.InterruptSignal = SIGKILL;
    kill.InterruptWhen = AfterRows(tmp / "out", stopped + 2);
    ASSERT_EQ(Cli({"study", study, "--out", out, "--jobs", "1", "--resume", "--quiet"}, kill).Signal, SIGKILL);
    EXPECT_FALSE(fs::exists(tmp / "out" / "summary.txt"));
    EXPECT_FALSE(fs::exists(tmp / "out" / "summary.json"));

    ASSERT_EQ(Cli({"study", study, "--out", out, "--resume", "--quiet"}).ExitCode, 0);
    EXPECT_NE(ReadFile(tmp / "out" / "summary.txt").find("выполнено 60 из 60"), std::string::npos);
    EXPECT_EQ(nlohmann::json::parse(ReadFile(tmp / "out" / "summary.json"))["runs_done"], 60);
}

// Draws of the example study whose runs fail late (step 181 091 of 200 000) with an overflow of
// the heat loss while no factor has blocked room 2 and its people would be out in time: a
// verdict of "safe" from a run that never finished.
TEST(StudyFolder, FailedRunsAreListedWithInputsAndStepAndNeverSafe) {
    TempDir tmp;
    WriteFile(tmp / "study.json", R"({"base_file": ")" + (kExamples / "study" / "two_rooms_dt0001.json").string() + R"(",
        "runs": 2, "seed": 1, "sampling": "monte-carlo", "vary": [
        {"input": "Vlin", "distribution": "choice", "values": [0.010910921875054384]},
        {"input": "PsiUd", "distribution": "choice", "values": [0.0168877987697476]},
        {"input": "D", "distribution": "choice", "values": [284.82581943365955]},
        {"input": "openings[1].width", "distribution": "choice", "values": [1.0181590201464366]},
        {"input": "openings[1].open", "distribution": "choice", "values": [false]},
        {"input": "plume", "distribution": "choice", "values": ["mccaffrey"]},
        {"input": "rooms[2].evacuation.start_delay", "distribution": "choice", "values": [42.98025120976246]},
        {"input": "rooms[2].evacuation.duration", "distribution": "choice", "values": [23.85190414114781]}]})");
    const ChildResult run = Cli({"study", (tmp / "study.json").string(), "--out", (tmp / "out").string()});
    ASSERT_EQ(run.ExitCode, 0) << run.Err;
    for (const RunRow& row : RowsOf(tmp / "out")) {
        ASSERT_EQ(row.Status, RunStatus::Failed);
        EXPECT_GT(row.Step, 100000);
        EXPECT_EQ(row.Rooms[1].Verdict, "undetermined") << "run " << row.Run;
        EXPECT_NE(row.Rooms[1].VerdictReason.find("прерван на шаге " + std::to_string(row.Step)), std::string::npos)
            << row.Rooms[1].VerdictReason;
    }
    const auto summary = nlohmann::json::parse(ReadFile(tmp / "out" / "summary.json"));
    EXPECT_EQ(summary["failed"], 2);
    const auto& verdict = summary["rooms"][1]["verdict"];
    EXPECT_EQ(verdict["safe"], 0);
    EXPECT_EQ(verdict["failed"], 2);
    EXPECT_TRUE(verdict["share_safe"].is_null());
    ASSERT_EQ(summary["failed_runs"].size(), 2u);
    EXPECT_EQ(summary["failed_runs"][1]["run"], 2);
    EXPECT_GT(summary["failed_runs"][1]["step"].get<int>(), 100000);
    EXPECT_EQ(summary["failed_runs"][1]["inputs"]["plume"], "mccaffrey");
    EXPECT_NE(run.Out.find("№2, шаг "), std::string::npos) << run.Out;
    EXPECT_NE(run.Out.find("openings[1].open = false"), std::string::npos) << run.Out;
}

TEST(StudyJobs, DefaultIsTheCoresAllowedBoundedBySlurmsAllocation) {
    struct Case {
        unsigned Cores;
        const char* Slurm;
        unsigned Jobs;
    };
    for (const Case& c : {Case{8, nullptr, 8}, Case{8, "2", 2}, Case{2, "16", 2}, Case{0, nullptr, 1}, Case{4, "0", 4},
                          Case{4, "x", 4}, Case{4, "", 4}, Case{4, "99999999", 4}})
        EXPECT_EQ(DefaultJobs(c.Cores, c.Slurm), c.Jobs) << c.Cores << " cores, SLURM_CPUS_PER_TASK " << (c.Slurm ? c.Slurm : "unset");
}

TEST(StudyJobs, TheCheckReportsTheJobsOfTheAffinityAndTheAllocation) {
    TempDir tmp;
    WriteFile(tmp / "study.json", TwoRoomStudy(4, "monte-carlo"));
    const std::string study = (tmp / "study.json").string();
    const ChildResult pinned = RunChild("/usr/bin/taskset", {"-c", "0", kCli, "study", study, "--check"});
    ASSERT_EQ(pinned.ExitCode, 0) << pinned.Err;
    EXPECT_NE(pinned.Out.find("одновременных расчетов по умолчанию здесь: 1"), std::string::npos) << pinned.Out;
    const ChildResult allocated = RunChild("/usr/bin/env", {"SLURM_CPUS_PER_TASK=1", kCli, "study", study, "--check"});
    ASSERT_EQ(allocated.ExitCode, 0) << allocated.Err;
    EXPECT_NE(allocated.Out.find("одновременных расчетов по умолчанию здесь: 1"), std::string::npos) << allocated.Out;
    EXPECT_NE(allocated.Out.find("4 расчета, 6 изменяемых параметров, 2 помещения"), std::string::npos) << allocated.Out;
    EXPECT_FALSE(fs::exists(tmp / "out"));
}
