// zonefire-cli study and merge end to end: the same bytes whatever the threads or shards,
// emitted scenarios that reproduce their rows, stops, kills and resumes, failing runs and bad
// study files.

#include <gtest/gtest.h>

#include <algorithm>
#include <csignal>
#include <filesystem>
#include <functional>
#include <map>

#include <nlohmann/json.hpp>

#include "number_format.h"
#include "study_file.h"
#include "study_table.h"
#include "study_cli.h"

namespace fs = std::filesystem;
using namespace zftest;
using namespace zfcli::study;

TEST(StudyRun, SameBytesWithOneOrTwoJobsAndWholeOrInShards) {
    TempDir tmp;
    WriteFile(tmp / "study.json", TwoRoomStudy(24, "latin-hypercube"));
    const std::string study = (tmp / "study.json").string();
    const ChildResult one = Cli({"study", study, "--out", (tmp / "one").string(), "--jobs", "1"});
    ASSERT_EQ(one.ExitCode, 0) << one.Err;
    EXPECT_NE(one.Out.find("Помещение №2"), std::string::npos) << one.Out;
    ASSERT_EQ(Cli({"study", study, "--out", (tmp / "two").string(), "--jobs", "2"}).ExitCode, 0);
    ExpectSameOutputs(tmp / "one", tmp / "two");

    std::vector<std::string> merge = {"merge", (tmp / "merged").string()};
    for (int i = 1; i <= 3; ++i) {
        const std::string dir = (tmp / ("shard" + std::to_string(i))).string();
        const ChildResult shard = Cli({"study", study, "--out", dir, "--shard", std::to_string(i) + "/3", "--jobs", "2"});
        ASSERT_EQ(shard.ExitCode, 0) << shard.Err;
        EXPECT_EQ(RowsOf(dir).size(), 8u);
        merge.push_back(dir);
    }
    // The shards in any order give the same merged folder.
    std::swap(merge[2], merge[4]);
    const ChildResult merged = Cli(merge);
    ASSERT_EQ(merged.ExitCode, 0) << merged.Err;
    ExpectSameOutputs(tmp / "one", tmp / "merged");

    const std::vector<RunRow> rows = RowsOf(tmp / "one");
    ASSERT_EQ(rows.size(), 24u);
    for (std::size_t i = 0; i < rows.size(); ++i) EXPECT_EQ(rows[i].Run, i + 1);
}

TEST(StudyRun, EmittedScenariosReproduceTheirRowsThroughTheOrdinaryRunner) {
    TempDir tmp;
    WriteFile(tmp / "study.json", TwoRoomStudy(12, "monte-carlo"));
    ASSERT_EQ(Cli({"study", (tmp / "study.json").string(), "--out", (tmp / "out").string(), "--quiet"}).ExitCode, 0);
    const std::vector<RunRow> rows = RowsOf(tmp / "out");
    ASSERT_EQ(rows.size(), 12u);
    for (std::uint64_t run : {1u, 6u, 12u}) {
        const ChildResult emitted = Cli({"study", (tmp / "study.json").string(), "--emit-scenario", std::to_string(run)});
        ASSERT_EQ(emitted.ExitCode, 0) << emitted.Err;
        const fs::path scenario = tmp / ("run" + std::to_string(run) + ".json");
        WriteFile(scenario, emitted.Out);
        const fs::path result = tmp / ("run" + std::to_string(run) + "-result.json");
        ASSERT_EQ(Cli({scenario.string(), "--json", result.string(), "--quiet"}).ExitCode, 0);
        const auto json = nlohmann::json::parse(ReadFile(result));
        const RunRow& row = rows[run - 1];
        ASSERT_EQ(row.Status, RunStatus::Completed);
        for (int r = 0; r < 2; ++r) {
            const auto& times = json["rooms"][r]["critical_times"];
            const auto& mine = row.Rooms[static_cast<std::size_t>(r)].Times;
            // Same bits: the row's text reads back to the runner's double.
            const char* keys[] = {"T", "O2", "Vis", "CO", "CO2", "HCl", "Rad"};
            for (int k = 0; k < 7; ++k)
                EXPECT_EQ(mine[static_cast<std::size_t>(k)], times[keys[k]].is_null() ? 0.0 : times[keys[k]].get<double>()) << "run " << run << " room " << r + 1 << " " << keys[k];
        }
        // The drawn values are in the scenario as the row gives them.
        EXPECT_NE(emitted.Out.find("\"Vlin\": " + row.Inputs[0]), std::string::npos);
        EXPECT_NE(emitted.Out.find("\"plume\": \"" + row.Inputs[5] + "\""), std::string::npos);
    }
    const ChildResult beyond = Cli({"study", (tmp / "study.json").string(), "--emit-scenario", "13"});
    EXPECT_EQ(beyond.ExitCode, 2);
    EXPECT_NE(beyond.Err.find("1…12"), std::string::npos) << beyond.Err;
}

namespace {

// The run of the study emitted as a scenario and run by the ordinary runner gives the verdicts
// the study's row holds, "не определено" with the same reason, and only then; counted by room.
void ExpectTheOrdinaryRunnersVerdicts(const std::string& study, const RunRow& row, const fs::path& tmp,
                                      std::map<std::string, int> (&counts)[2]) {
    const ChildResult emitted = Cli({"study", study, "--emit-scenario", std::to_string(row.Run)});
    ASSERT_EQ(emitted.ExitCode, 0) << emitted.Err;
    const auto scenario = nlohmann::json::parse(emitted.Out);
    EXPECT_EQ(scenario["rooms"][0]["evacuation"]["duration"], 0);
    EXPECT_EQ(scenario["rooms"][1]["evacuation"]["start_delay"], 0);
    EXPECT_EQ(zfreport::NumberText(scenario["rooms"][1]["evacuation"]["duration"].get<double>()), row.Inputs[1]);
    const fs::path file = tmp / ("run" + std::to_string(row.Run) + ".json");
    WriteFile(file, emitted.Out);
    const ChildResult ordinary = Cli({file.string(), "--json", "-", "--quiet"});
    ASSERT_EQ(ordinary.ExitCode, 0) << ordinary.Err;
    const auto result = nlohmann::json::parse(ordinary.Out);
    ASSERT_EQ(row.Status, RunStatus::Completed);
    for (std::size_t r = 0; r < 2; ++r) {
        const std::string verdict = result["rooms"][r]["evacuation"]["verdict"];
        EXPECT_EQ(row.Rooms[r].Verdict, verdict) << "run " << row.Run << " room " << r + 1;
        const auto& evacuation = result["rooms"][r]["evacuation"];
        EXPECT_EQ(row.Rooms[r].VerdictReason, evacuation.contains("reason") ? evacuation["reason"].get<std::string>() : "");
        EXPECT_EQ(row.Rooms[r].VerdictReason.empty(), verdict != "undetermined") << "run " << row.Run;
        ++counts[r][verdict];
    }
}

// The signals come once runs.csv in `out` has rows of three runs: part-way, however fast the machine.
std::function<bool(const ChildResult&)> AfterThreeRuns(const fs::path& out) {
    return [out](const ChildResult&) {
        const std::string text = ReadFile(out / "runs.csv");
        return std::count(text.begin(), text.end(), '\n') >= 4;  // the header and three rows
    };
}

// Killed part-way (nothing is written at the end), the study leaves a valid runs.csv of some
// of its runs, in run order.
void ExpectAKillLeavesValidRows(const std::string& study, const fs::path& out, int runs) {
    ChildOptions kill;
    kill.InterruptWhen = AfterThreeRuns(out);
    kill.InterruptSignal = SIGKILL;
    const ChildResult killed = Cli({"study", study, "--out", out.string(), "--jobs", "1"}, kill);
    ASSERT_EQ(killed.Signal, SIGKILL) << "the study ended before the kill; make its runs longer";
    const std::vector<RunRow> left = RowsOf(out);
    EXPECT_LT(left.size(), static_cast<std::size_t>(runs));
    for (std::size_t i = 1; i < left.size(); ++i) EXPECT_LT(left[i - 1].Run, left[i].Run);
}

}  // namespace

TEST(StudyRun, VariedEvacuationInputsGiveTheOrdinaryRunnersVerdicts) {
    TempDir tmp;
    // The base has no evacuation inputs: room 1 gets a drawn start delay (and duration 0),
    // room 2 a drawn duration (and start delay 0). Room 2 is blocked after about 65 s, so in
    // runs cut short at 50 s an evacuation outlasting f·t_end is undetermined there.
    WriteFile(tmp / "study.json", R"({"base_file": ")" + (kExamples / "two_rooms_dt001.json").string() + R"(",
        "runs": 16, "seed": 11, "sampling": "latin-hypercube", "vary": [
        {"input": "rooms[1].evacuation.start_delay", "distribution": "uniform", "min": 0, "max": 30},
        {"input": "rooms[2].evacuation.duration", "distribution": "uniform", "min": 20, "max": 200},
        {"input": "SimTime", "distribution": "choice", "values": [50, 200]},
        {"input": "safety_factor", "distribution": "triangular", "min": 0.6, "mode": 0.8, "max": 1}]})");
    const std::string study = (tmp / "study.json").string();
    ASSERT_EQ(Cli({"study", study, "--out", (tmp / "out").string(), "--quiet"}).ExitCode, 0);
    EXPECT_NE(ReadFile(tmp / "out" / "runs.csv").find(",room1_verdict"), std::string::npos);
    EXPECT_NE(ReadFile(tmp / "out" / "runs.csv").find(",room2_verdict"), std::string::npos);
    const std::vector<RunRow> rows = RowsOf(tmp / "out");
    ASSERT_EQ(rows.size(), 16u);

    std::map<std::string, int> counts[2];
    for (const RunRow& row : rows) ExpectTheOrdinaryRunnersVerdicts(study, row, tmp.Path(), counts);
    // The study shows every outcome, so the comparison above means something.
    EXPECT_GT(counts[1]["safe"], 0);
    EXPECT_GT(counts[1]["unsafe"], 0);
    EXPECT_GT(counts[1]["undetermined"], 0);
    const auto summary = nlohmann::json::parse(ReadFile(tmp / "out" / "summary.json"));
    for (std::size_t r = 0; r < 2; ++r) {
        const auto& verdicts = summary["rooms"][r]["verdict"];
        for (const char* key : {"safe", "unsafe", "undetermined"}) EXPECT_EQ(verdicts[key], counts[r][key]) << "room " << r + 1 << " " << key;
        // The share of safe runs is among the runs with a verdict only.
        EXPECT_DOUBLE_EQ(verdicts["share_safe"].get<double>(),
                         counts[r]["safe"] / static_cast<double>(counts[r]["safe"] + counts[r]["unsafe"])) << "room " << r + 1;
    }
}

TEST(StudyRun, ResumeAfterAKillAndAfterCtrlCGivesTheWholeStudy) {
    TempDir tmp;
    // Enough runs that neither the kill nor the stop comes after the last one on a quiet machine.
    constexpr int kRuns = 120;
    // Runs of a tenth of a second or more, one at a time: the kill comes in the middle.
    const fs::path base = fs::path("study") / "two_rooms_dt0001.json";
    WriteFile(tmp / "study.json", TwoRoomStudy(kRuns, "latin-hypercube", base));
    const std::string study = (tmp / "study.json").string();
    ExpectAKillLeavesValidRows(study, tmp / "killed", kRuns);

    ChildOptions interrupt;
    interrupt.InterruptWhen = AfterThreeRuns(tmp / "stopped");
    const ChildResult stopped = Cli({"study", study, "--out", (tmp / "stopped").string(), "--jobs", "2"}, interrupt);
    ASSERT_EQ(stopped.ExitCode, 130) << stopped.Err;
    EXPECT_NE(stopped.Err.find("--resume"), std::string::npos) << stopped.Err;
    const std::size_t partial = RowsOf(tmp / "stopped").size();
    EXPECT_LT(partial, static_cast<std::size_t>(kRuns));
    EXPECT_NE(ReadFile(tmp / "stopped" / "summary.txt").find("выполнено " + std::to_string(partial) + " из " + std::to_string(kRuns)), std::string::npos);

    // Without --resume a folder with results is not touched.
    const ChildResult again = Cli({"study", study, "--out", (tmp / "stopped").string()});
    EXPECT_EQ(again.ExitCode, 2);
    EXPECT_NE(again.Err.find("--resume"), std::string::npos);

    ASSERT_EQ(Cli({"study", study, "--out", (tmp / "killed").string(), "--resume", "--quiet"}).ExitCode, 0);
    ASSERT_EQ(Cli({"study", study, "--out", (tmp / "stopped").string(), "--resume", "--quiet"}).ExitCode, 0);
    ASSERT_EQ(Cli({"study", study, "--out", (tmp / "whole").string(), "--quiet"}).ExitCode, 0);
    ExpectSameOutputs(tmp / "whole", tmp / "killed");
    ExpectSameOutputs(tmp / "whole", tmp / "stopped");

    // A different study is not resumed into this folder.
    WriteFile(tmp / "other.json", TwoRoomStudy(kRuns + 1, "latin-hypercube", base));
    const ChildResult other = Cli({"study", (tmp / "other.json").string(), "--out", (tmp / "whole").string(), "--resume"});
    EXPECT_EQ(other.ExitCode, 2);
    EXPECT_NE(other.Err.find("другого исследования"), std::string::npos) << other.Err;
}

TEST(StudyRun, FailingRunsAreRowsAndDoNotStopTheStudy) {
    TempDir tmp;
    // McCaffrey's plume with no flame spread divides by a zero heat release; a room lower than
    // the working zone is refused before its run.
    WriteFile(tmp / "study.json", R"({"base_file": ")" + (kExamples / "two_rooms_dt001.json").string() + R"(",
        "runs": 16, "seed": 5, "sampling": "monte-carlo", "vary": [
        {"input": "plume", "distribution": "choice", "values": ["mccaffrey"]},
        {"input": "Vlin", "distribution": "choice", "values": [0, 0.0108]},
        {"input": "rooms[2].height", "distribution": "choice", "values": [1.5, 3], "weights": [1, 3]}]})");
    const ChildResult run = Cli({"study", (tmp / "study.json").string(), "--out", (tmp / "out").string(), "--jobs", "2"});
    ASSERT_EQ(run.ExitCode, 0) << run.Err;
    const std::vector<RunRow> rows = RowsOf(tmp / "out");
    ASSERT_EQ(rows.size(), 16u);
    int failed = 0, refused = 0, completed = 0;
    for (const RunRow& row : rows) {
        if (row.Inputs[2] == "1.5") {
            EXPECT_EQ(row.Status, RunStatus::Failed);
            EXPECT_EQ(row.Step, 0);
            EXPECT_NE(row.Fault.find("помещение №2, ключ \"height\""), std::string::npos) << row.Fault;
            ++refused;
        } else if (row.Inputs[1] == "0") {
            EXPECT_EQ(row.Status, RunStatus::Failed);
            EXPECT_GT(row.Step, 0);
            EXPECT_FALSE(row.Fault.empty());
            ++failed;
        } else {
            EXPECT_EQ(row.Status, RunStatus::Completed);
            EXPECT_TRUE(row.Rooms[0].Blocking.has_value());
            ++completed;
        }
    }
    EXPECT_GT(failed, 0);
    EXPECT_GT(refused, 0);
    EXPECT_GT(completed, 0);
    const auto summary = nlohmann::json::parse(ReadFile(tmp / "out" / "summary.json"));
    EXPECT_EQ(summary["failed"], failed + refused);
    EXPECT_EQ(summary["rooms"][0]["completed"], completed);
}

TEST(StudyRun, ProgressLineOnlyOnATerminal) {
    TempDir tmp;
    WriteFile(tmp / "study.json", TwoRoomStudy(6, "monte-carlo"));
    ChildOptions terminal;
    terminal.StderrOnTerminal = true;
    const ChildResult shown = Cli({"study", (tmp / "study.json").string(), "--out", (tmp / "a").string()}, terminal);
    ASSERT_EQ(shown.ExitCode, 0);
    EXPECT_NE(shown.Err.find("Исследование: 6 из 6 расчетов"), std::string::npos) << shown.Err;
    EXPECT_NE(shown.Err.find("\r\x1b[K"), std::string::npos);  // the line is erased at the end
    const ChildResult quiet = Cli({"study", (tmp / "study.json").string(), "--out", (tmp / "b").string(), "--quiet"}, terminal);
    EXPECT_EQ(quiet.Err.find("Исследование:"), std::string::npos) << quiet.Err;
    const ChildResult piped = Cli({"study", (tmp / "study.json").string(), "--out", (tmp / "c").string()});
    EXPECT_EQ(zftest::WithoutWarnings(piped.Err), "");
}

TEST(StudyRun, TheRunnersHelpDescribesStudyAndMerge) {
    const ChildResult help = Cli({"--help"});
    ASSERT_EQ(help.ExitCode, 0);
    const ChildResult studyHelp = Cli({"study", "--help"});
    ASSERT_EQ(studyHelp.ExitCode, 0);
    // The runner's help holds the sub-commands' own help whole, after its own part.
    const auto at = help.Out.find(studyHelp.Out);
    ASSERT_NE(at, std::string::npos) << help.Out;
    EXPECT_NE(help.Out.find("--csv"), std::string::npos);
    for (const char* part : {"zonefire-cli study", "zonefire-cli merge", "--out", "--jobs", "--shard I/N", "--resume",
                             "--emit-scenario", "latin-hypercube", "rooms[i].evacuation.start_delay|duration", "safety_factor",
                             "bernoulli", "130 — исследование остановлено"})
        EXPECT_NE(studyHelp.Out.find(part), std::string::npos) << part;
    EXPECT_EQ(Cli({"merge", "--help"}).Out, studyHelp.Out);
}
