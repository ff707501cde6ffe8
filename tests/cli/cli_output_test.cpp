// zonefire-cli's outputs under hostile and careless use, end to end: paths refused before the
// run, results replaced whole or not at all (signals, a kill, two runs at once), the CSV
// folder holding one run's files, closed or full standard streams, a broken pipe, and
// endless or oversized input.

#include <gtest/gtest.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <csignal>
#include <cstring>
#include <filesystem>
#include <functional>
#include <map>
#include <set>
#include <thread>

#include <nlohmann/json.hpp>

#include "subprocess.h"
#include "test_files.h"

namespace fs = std::filesystem;
using nlohmann::json;
using zftest::ReadFile;
using zftest::Snapshot;
using zftest::TempDir;
using zftest::WriteFile;

namespace {

const std::string kCli = ZONEFIRE_CLI;
const fs::path kExamples = ZONEFIRE_EXAMPLES;

// A short run: a few hundredths of a second, two rooms.
const std::string kShort = R"({"dt": 0.01, "SimTime": 20, "rooms": [{}, {}], "openings": [{"rooms": [1, 2]}]})";

// Two rooms run for over ten seconds, to be stopped or killed part-way.
const std::string kLong = R"({"SimTime": 2000, "dt": 0.0001, "rooms": [{"length": 5, "width": 4, "height": 3},
    {"length": 6, "width": 5, "height": 3}], "openings": [{"rooms": [1, 2]}]})";

// Many rooms and 2000 samples: at 50 rooms and dt 0.05 s a twentieth of a second to compute
// and half a second to write (8 MB of JSON and as much CSV), so a kill or a second run can
// land mid-write.
std::string ManyRooms(int rooms, double dt = 0.05, double length = 5) {
    std::string text = R"({"SimTime": 200, "dt": )" + std::to_string(dt) + R"(, "rooms": [)";
    for (int i = 0; i < rooms; ++i) text += (i ? ", " : "") + std::string(R"({"length": )") + std::to_string(length) + "}";
    return text + "]}";
}

// Names in `folder` that do not start with a dot (the temporary files are hidden).
std::set<std::string> VisibleNames(const fs::path& folder) {
    std::set<std::string> names;
    for (const auto& entry : fs::directory_iterator(folder))
        if (entry.path().filename().string()[0] != '.') names.insert(entry.path().filename().string());
    return names;
}

std::set<std::string> CsvNames(int rooms) {
    std::set<std::string> names{"status"};
    for (int i = 1; i <= rooms; ++i) names.insert("room_" + std::to_string(i) + ".csv");
    return names;
}

std::string FirstLine(const std::string& text) { return text.substr(0, text.find('\n')); }

bool Contains(const std::string& text, const std::string& part) { return text.find(part) != std::string::npos; }

// A folder with a scenario s.json and the outputs of a finished run of it: r.json and csv/.
// The runner's progress line on a terminal ("t = 0 с, шаг 2000 из ..."), written at its first
// refresh, once its stop handlers and its outputs' temporaries are in place.
bool ShowsProgress(const ChildResult& sofar) { return sofar.Err.find("шаг ") != std::string::npos; }

// What the runner writes to erase the progress line when its run has ended.
constexpr const char* kProgressErased = "\r\x1b[K";

struct PreviousRun {
    TempDir dir;
    std::map<std::string, std::string> before;
    explicit PreviousRun(const std::string& scenario = kShort) {
        WriteFile(dir / "s.json", scenario);
        const ChildResult run = RunChild(kCli, {Path("s.json"), "--json", Path("r.json"), "--csv", Path("csv")});
        EXPECT_EQ(run.ExitCode, 0) << run.Err;
        before = Snapshot(dir.Path());
    }
    std::string Path(const std::string& name) const { return (dir / name).string(); }
    // The next run reads `scenario` from s.json; the snapshot counts it.
    void UseScenario(const std::string& scenario) {
        WriteFile(dir / "s.json", scenario);
        before = Snapshot(dir.Path());
    }
};

}  // namespace

// ---- Outputs refused before the run: exit 2, a message naming them, nothing touched ---------

struct RefusedOutput {
    const char* Name;
    std::function<void(const TempDir&)> Setup;  // plants files beside the previous run's
    std::vector<std::string> Args;              // "{dir}" is replaced by the folder
    std::vector<std::string> Says;              // every part must be in the message
};

void PrintTo(const RefusedOutput& c, std::ostream* os) { *os << c.Name; }

class RefusedOutputOfCli : public testing::TestWithParam<RefusedOutput> {};

TEST_P(RefusedOutputOfCli, SaysWhyAndLeavesEveryFileAsItWas) {
    PreviousRun previous;
    if (GetParam().Setup) GetParam().Setup(previous.dir);
    const auto before = Snapshot(previous.dir.Path());
    std::vector<std::string> args;
    for (std::string arg : GetParam().Args) {
        if (const auto at = arg.find("{dir}"); at != std::string::npos) arg.replace(at, 5, previous.Path(""));
        args.push_back(arg);
    }
    const ChildResult run = RunChild(kCli, args);
    EXPECT_EQ(run.ExitCode, 2) << run.Err;
    for (const std::string& part : GetParam().Says) EXPECT_TRUE(Contains(run.Err, part)) << part << '\n' << run.Err;
    EXPECT_EQ(run.Out, "");  // nothing was run
    EXPECT_EQ(Snapshot(previous.dir.Path()), before);  // no file changed, none added (no temporary left)
}

const RefusedOutput kRefusedOutputs[] = {
    {"BadCsvPathKeepsTheJson", nullptr, {"{dir}s.json", "--json", "{dir}r.json", "--csv", "/dev/full"}, {"/dev/full"}},
    {"CsvOntoAFileKeepsTheJson", nullptr, {"{dir}s.json", "--json", "{dir}r.json", "--csv", "{dir}s.json"},
     {"s.json", "не каталог"}},
    {"JsonIsTheScenario", nullptr, {"{dir}s.json", "--json", "{dir}s.json"}, {"--json", "s.json", "файл сценария"}},
    {"JsonIsALinkToTheScenario", [](const TempDir& d) { fs::create_symlink("s.json", d / "link.json"); },
     {"{dir}s.json", "--json", "{dir}link.json"}, {"link.json", "файл сценария", "s.json"}},
    {"ScenarioIsALinkToTheJson", [](const TempDir& d) { fs::create_symlink("s.json", d / "link.json"); },
     {"{dir}link.json", "--json", "{dir}s.json"}, {"файл сценария", "link.json"}},
    {"JsonIsAHardLinkToTheScenario", [](const TempDir& d) { fs::create_hard_link(d / "s.json", d / "hard.json"); },
     {"{dir}s.json", "--json", "{dir}hard.json"}, {"hard.json", "файл сценария", "s.json"}},
    {"JsonIsAFolder", nullptr, {"{dir}s.json", "--json", "{dir}csv"}, {"csv", "каталог"}},
    {"CsvFolderHoldsAFileOfTheUser", [](const TempDir& d) { WriteFile(d / "csv/notes.txt", "keep me"); },
     {"{dir}s.json", "--csv", "{dir}csv"}, {"csv", "notes.txt"}},
    {"CsvFolderHoldsASubfolder", [](const TempDir& d) { fs::create_directory(d / "csv/room_9.csv"); },
     {"{dir}s.json", "--csv", "{dir}csv"}, {"room_9.csv"}},
    {"CsvIsTheCurrentFolderWithTheScenario", nullptr, {"{dir}s.json", "--csv", "{dir}."}, {"--csv", "s.json"}},
    {"JsonInsideTheCsvFolder", nullptr, {"{dir}s.json", "--json", "{dir}csv/r.json", "--csv", "{dir}csv"},
     {"csv/r.json", "--csv"}},
    {"JsonAndCsvThePath", nullptr, {"{dir}s.json", "--json", "{dir}new", "--csv", "{dir}new"}, {"один и тот же"}},
};

INSTANTIATE_TEST_SUITE_P(, RefusedOutputOfCli, testing::ValuesIn(kRefusedOutputs),
                         [](const testing::TestParamInfo<RefusedOutput>& info) { return std::string(info.param.Name); });

// ---- Stopped by a signal: the results so far, each output replaced whole ------------------

class StopSignal : public testing::TestWithParam<int> {};

TEST_P(StopSignal, StopsLikeCtrlCAndWritesWholeOutputsMarkedStopped) {
    PreviousRun previous;
    previous.UseScenario(kLong);
    ChildOptions options;
    options.StderrOnTerminal = true;  // for the progress line: the run is under way
    options.InterruptWhen = ShowsProgress;
    options.InterruptSignal = GetParam();
    const ChildResult run =
        RunChild(kCli, {previous.Path("s.json"), "--json", previous.Path("r.json"), "--csv", previous.Path("csv")},
                 options);
    EXPECT_EQ(run.ExitCode, 128 + GetParam()) << run.Err;
    EXPECT_TRUE(Contains(run.Out, "Расчет остановлен на шаге")) << run.Out;
    const json doc = json::parse(ReadFile(previous.dir / "r.json"));
    EXPECT_EQ(doc["stopped"], true);
    // Stopped at a refresh, short of the last step (the whole run takes far longer).
    EXPECT_GT(doc["iter"].get<int>(), 0);
    EXPECT_LT(doc["iter"].get<int>(), doc["StepCount"].get<int>() - 1);
    EXPECT_EQ(VisibleNames(previous.dir / "csv"), CsvNames(2));
    EXPECT_EQ(FirstLine(ReadFile(previous.dir / "csv/status")), "stopped");
    EXPECT_EQ(VisibleNames(previous.dir.Path()), (std::set<std::string>{"s.json", "r.json", "csv"}));
    EXPECT_EQ(Snapshot(previous.dir.Path()).size(), previous.before.size());  // no temporary left
}

INSTANTIATE_TEST_SUITE_P(, StopSignal, testing::Values(SIGTERM, SIGHUP),
                         [](const testing::TestParamInfo<int>& info) { return std::string(strsignal(info.param)).substr(0, 4); });

TEST(Cli, HelpNamesTheExitCodesOfOutputFailureAndSignalsAndTheStatusFile) {
    const ChildResult help = RunChild(kCli, {"--help"});
    for (const char* part : {"3 — ", "143", "129", "status", "completed", "stopped", "failed", "16 МБ"})
        EXPECT_TRUE(Contains(help.Out, part)) << part;
}

// ---- Killed part-way: the previous outputs or the new ones, never a mix or a cut ------------

TEST(KilledRun, DuringTheRunLeavesThePreviousOutputsUntouched) {
    PreviousRun previous;
    previous.UseScenario(kLong);
    ChildOptions options;
    options.StderrOnTerminal = true;
    options.InterruptWhen = ShowsProgress;  // the outputs' temporaries are made by then
    options.InterruptSignal = SIGKILL;
    const ChildResult run =
        RunChild(kCli, {previous.Path("s.json"), "--json", previous.Path("r.json"), "--csv", previous.Path("csv")},
                 options);
    ASSERT_EQ(run.Signal, SIGKILL);
    auto after = Snapshot(previous.dir.Path());
    std::erase_if(after, [](const auto& entry) { return entry.first[0] == '.'; });  // a kill leaves its temporaries
    EXPECT_EQ(after, previous.before);
}

// Ctrl-C pressed twice: the program ends at once, by the signal, without writing, and takes
// its temporary file and folder with it. Its stdout is stalled (a paused pager), so after the
// first Ctrl-C it waits to print the table, before any file is written, when the second comes:
// the first once the progress line shows, the second once the stopped run has erased it.
TEST(KilledRun, ByASecondCtrlCLeavesThePreviousOutputsAndNoTemporaries) {
    PreviousRun previous;
    previous.UseScenario(kLong);
    ChildOptions options;
    options.StdoutIs = ChildStream::Stalled;
    options.StderrOnTerminal = true;
    options.InterruptWhen = ShowsProgress;
    options.SecondInterruptWhen = [](const ChildResult& sofar) {
        return sofar.Err.find(kProgressErased) != std::string::npos;
    };
    const ChildResult run =
        RunChild(kCli, {previous.Path("s.json"), "--json", previous.Path("r.json"), "--csv", previous.Path("csv")},
                 options);
    ASSERT_EQ(run.Signal, SIGINT) << run.Err;
    EXPECT_EQ(Snapshot(previous.dir.Path()), previous.before);
}

TEST(KilledRun, WhileWritingLeavesEitherTheWholePreviousOrTheWholeNewOutputs) {
    PreviousRun previous;
    WriteFile(previous.dir / "s.json", ManyRooms(50));
    const std::string oldJson = ReadFile(previous.dir / "r.json");
    const auto oldCsv = Snapshot(previous.dir / "csv");
    int sawNewJson = 0, sawNewCsv = 0;
    // The computation takes about 0.05 s, the writing about half a second: kill at points
    // across it, then let one run finish (−1: no kill), whose outputs must pass the same checks.
    for (const int ms : {80, 160, 240, 320, 450, 600, -1}) {
        ChildOptions options;
        options.InterruptAfterMs = ms;
        options.InterruptSignal = SIGKILL;
        RunChild(kCli, {previous.Path("s.json"), "--json", previous.Path("r.json"), "--csv", previous.Path("csv"),
                        "--quiet"},
                 options);
        const std::string jsonText = ReadFile(previous.dir / "r.json");
        if (jsonText != oldJson) {
            const json doc = json::parse(jsonText);  // throws on a cut file
            EXPECT_EQ(doc["completed"], true);
            EXPECT_EQ(doc["rooms"].size(), 50u);
            ++sawNewJson;
        }
        const auto csv = Snapshot(previous.dir / "csv");
        if (csv != oldCsv) {
            std::set<std::string> names;
            for (const auto& [name, text] : csv) {
                names.insert(name);
                if (name != "status") {
                    EXPECT_EQ(std::count(text.begin(), text.end(), '\n'), 2001) << name << " at " << ms;
                }
            }
            EXPECT_EQ(names, CsvNames(50)) << "killed at " << ms << " ms";
            EXPECT_EQ(FirstLine(csv.at("status")), "completed");
            ++sawNewCsv;
        }
    }
    // At least the unkilled run replaced them (a kill after its end may have too).
    EXPECT_GT(sawNewJson, 0);
    EXPECT_GT(sawNewCsv, 0);
}

// ---- Two runs at once on the same outputs: one run's files, whole -------------------------

TEST(TwoRunsAtOnce, LeaveOneRunsWholeJsonAndOneRunsWholeCsvFolder) {
    TempDir dir;
    // B writes less but computes ten times as long (a twentieth of the step), so it ends last:
    // written in place, its shorter file would lie over the start of A's, and A's extra rooms
    // would stay in the folder.
    WriteFile(dir / "a.json", ManyRooms(50));
    WriteFile(dir / "b.json", ManyRooms(30, 0.0025, 7));
    // Each run alone, for reference.
    for (const char* name : {"a", "b"}) {
        const ChildResult run = RunChild(kCli, {(dir / (std::string(name) + ".json")).string(), "--json",
                                                (dir / (std::string(name) + "_r.json")).string(), "--csv",
                                                (dir / (std::string(name) + "_csv")).string()});
        ASSERT_EQ(run.ExitCode, 0) << run.Err;
    }
    const std::string jsonA = ReadFile(dir / "a_r.json"), jsonB = ReadFile(dir / "b_r.json");
    const auto csvA = Snapshot(dir / "a_csv"), csvB = Snapshot(dir / "b_csv");
    for (int round = 0; round < 2; ++round) {
        ChildResult runA, runB;
        auto start = [&](const char* name, ChildResult& result) {
            return std::thread([&, name] {
                result = RunChild(kCli, {(dir / (std::string(name) + ".json")).string(), "--json",
                                         (dir / "r.json").string(), "--csv", (dir / "csv").string()});
            });
        };
        std::thread a = start("a", runA), b = start("b", runB);
        a.join();
        b.join();
        EXPECT_EQ(runA.ExitCode, 0) << runA.Err;
        EXPECT_EQ(runB.ExitCode, 0) << runB.Err;
        const std::string jsonText = ReadFile(dir / "r.json");
        EXPECT_TRUE(jsonText == jsonA || jsonText == jsonB) << "a mix of both runs, " << jsonText.size() << " bytes";
        const auto csv = Snapshot(dir / "csv");
        EXPECT_TRUE(csv == csvA || csv == csvB) << "the CSV folder mixes runs: " << csv.size() << " files";
    }
    // Neither run left a temporary file or folder behind.
    for (const auto& entry : fs::directory_iterator(dir.Path()))
        EXPECT_NE(entry.path().filename().string()[0], '.') << entry.path();
}

// ---- The CSV folder holds exactly one run's files ----------------------------------------

TEST(CsvFolder, ASmallerRunRemovesTheRoomsOfTheOlderOne) {
    PreviousRun previous(ManyRooms(5));
    ASSERT_EQ(VisibleNames(previous.dir / "csv"), CsvNames(5));
    WriteFile(previous.dir / "s.json", kShort);
    const ChildResult run = RunChild(kCli, {previous.Path("s.json"), "--csv", previous.Path("csv")});
    ASSERT_EQ(run.ExitCode, 0) << run.Err;
    EXPECT_EQ(VisibleNames(previous.dir / "csv"), CsvNames(2));
    EXPECT_EQ(ReadFile(previous.dir / "csv/status"), "completed\nРасчет завершен: шаг 1999 из 1999.\n");
}

TEST(CsvFolder, ALinkPlantedInsideIsReplacedNeverFollowed) {
    PreviousRun previous;
    WriteFile(previous.dir / "victim.txt", "precious");
    fs::remove(previous.dir / "csv/room_1.csv");
    fs::create_symlink(previous.dir / "victim.txt", previous.dir / "csv/room_1.csv");
    fs::create_symlink(previous.dir / "victim.txt", previous.dir / "csv/room_7.csv");
    const ChildResult run = RunChild(kCli, {previous.Path("s.json"), "--csv", previous.Path("csv")});
    ASSERT_EQ(run.ExitCode, 0) << run.Err;
    EXPECT_EQ(ReadFile(previous.dir / "victim.txt"), "precious");
    EXPECT_FALSE(fs::is_symlink(previous.dir / "csv/room_1.csv"));
    EXPECT_EQ(ReadFile(previous.dir / "csv/room_1.csv"), previous.before.at("csv/room_1.csv"));
    EXPECT_EQ(VisibleNames(previous.dir / "csv"), CsvNames(2));
}

TEST(CsvFolder, AFailedRunSaysSoInItsStatusFile) {
    TempDir dir;
    // A step longer than the 0.1 s sampling interval fails at once.
    WriteFile(dir / "s.json", R"({"dt": 0.3, "rooms": [{}, {}], "openings": [{"rooms": [1, 2]}]})");
    const ChildResult run = RunChild(kCli, {(dir / "s.json").string(), "--csv", (dir / "csv").string()});
    ASSERT_EQ(run.ExitCode, 1) << run.Err;
    const std::string status = ReadFile(dir / "csv/status");
    EXPECT_EQ(FirstLine(status), "failed");
    EXPECT_TRUE(Contains(status, "Расчет прерван ошибкой на шаге")) << status;
}

TEST(CsvFolder, ANewFolderGetsTheUsualPermissionsAndAFolderThroughALinkIsReplacedWhereItIs) {
    TempDir dir;
    WriteFile(dir / "s.json", kShort);
    fs::create_directory(dir / "real");
    fs::create_directory_symlink("real", dir / "csv");
    const ChildResult run = RunChild(kCli, {(dir / "s.json").string(), "--csv", (dir / "csv").string()});
    ASSERT_EQ(run.ExitCode, 0) << run.Err;
    EXPECT_TRUE(fs::is_symlink(dir / "csv"));
    EXPECT_EQ(VisibleNames(dir / "real"), CsvNames(2));
    struct stat st {};
    ASSERT_EQ(stat((dir / "real").c_str(), &st), 0);
    const mode_t mask = umask(0);
    umask(mask);
    EXPECT_EQ(st.st_mode & 0777, 0777 & ~mask);  // not the temporary folder's private 0700
}

// ---- Standard streams closed, full or cut -------------------------------------------------

TEST(StandardStreams, AClosedStdoutIsRefusedBeforeTheRunAndNeverReachesTheJsonFile) {
    PreviousRun previous;
    ChildOptions options;
    options.StdoutIs = ChildStream::Closed;
    const ChildResult run = RunChild(kCli, {previous.Path("s.json"), "--json", previous.Path("r.json")}, options);
    EXPECT_EQ(run.ExitCode, 3);
    EXPECT_TRUE(Contains(run.Err, "стандартный вывод закрыт")) << run.Err;
    EXPECT_EQ(Snapshot(previous.dir.Path()), previous.before);
}

TEST(StandardStreams, AClosedStderrNeverReachesTheJsonFile) {
    TempDir dir;
    WriteFile(dir / "s.json", R"({"dt": 0.3, "rooms": [{}, {}], "openings": [{"rooms": [1, 2]}]})");
    ChildOptions options;
    options.StderrIs = ChildStream::Closed;
    const ChildResult run = RunChild(kCli, {(dir / "s.json").string(), "--json", (dir / "r.json").string()}, options);
    EXPECT_EQ(run.ExitCode, 1);  // the run fails, and its message goes nowhere
    const json doc = json::parse(ReadFile(dir / "r.json"));
    EXPECT_EQ(doc["completed"], false);
}

TEST(StandardStreams, AClosedStdinIsNotAnEmptyScenario) {
    ChildOptions options;
    options.StdinIs = ChildStream::Closed;
    const ChildResult run = RunChild(kCli, {"-"}, options);
    EXPECT_EQ(run.ExitCode, 2);
    EXPECT_TRUE(Contains(run.Err, "стандартный ввод закрыт")) << run.Err;
}

// A full stdout (ENOSPC) and a broken pipe (EPIPE, where SIGPIPE used to end the program).
TEST(StandardStreams, AFullOrBrokenStdoutIsAnOutputFailureWithItsReasonAndTheFilesAreStillWritten) {
    for (const auto& [stream, err] : {std::pair{ChildStream::Full, ENOSPC}, std::pair{ChildStream::ClosedPipe, EPIPE}}) {
        TempDir dir;
        WriteFile(dir / "s.json", kShort);
        ChildOptions options;
        options.StdoutIs = stream;
        const ChildResult run = RunChild(
            kCli, {(dir / "s.json").string(), "--json", (dir / "r.json").string(), "--csv", (dir / "csv").string()},
            options);
        EXPECT_EQ(run.Signal, 0);
        EXPECT_EQ(run.ExitCode, 3);
        EXPECT_TRUE(Contains(run.Err, "таблицу критических времен: " + std::string(std::strerror(err)))) << run.Err;
        EXPECT_EQ(json::parse(ReadFile(dir / "r.json"))["completed"], true);
        EXPECT_EQ(VisibleNames(dir / "csv"), CsvNames(2));
    }
}

TEST(StandardStreams, JsonOnAFullOrBrokenStdoutIsAnOutputFailure) {
    TempDir dir;
    WriteFile(dir / "s.json", kShort);
    for (const ChildStream stream : {ChildStream::Full, ChildStream::ClosedPipe}) {
        ChildOptions options;
        options.StdoutIs = stream;
        const ChildResult run = RunChild(kCli, {(dir / "s.json").string(), "--json", "-"}, options);
        EXPECT_EQ(run.Signal, 0);
        EXPECT_EQ(run.ExitCode, 3);
        EXPECT_TRUE(Contains(run.Err, "JSON")) << run.Err;
        EXPECT_TRUE(Contains(run.Err, "Расчет завершен")) << "the table goes to stderr: " << run.Err;
    }
}

TEST(StandardStreams, JsonNamedByStdoutsOwnPathKeepsStdoutOneJsonDocument) {
    TempDir dir;
    WriteFile(dir / "s.json", kShort);
    const ChildResult run = RunChild(kCli, {(dir / "s.json").string(), "--json", "/dev/stdout"});
    ASSERT_EQ(run.ExitCode, 0) << run.Err;
    EXPECT_EQ(json::parse(run.Out)["completed"], true);  // the table went to stderr
    EXPECT_TRUE(Contains(run.Err, "Расчет завершен")) << run.Err;
}

TEST(StandardStreams, HelpOnAFullStdoutIsAnOutputFailure) {
    ChildOptions options;
    options.StdoutIs = ChildStream::Full;
    EXPECT_EQ(RunChild(kCli, {"--help"}, options).ExitCode, 3);
}

// ---- Write errors say why, with their own exit code ---------------------------------------

TEST(WriteErrors, AFullDeviceAsTheJsonFileSaysNoSpaceAndExitsWithThree) {
    TempDir dir;
    WriteFile(dir / "s.json", kShort);
    const ChildResult run = RunChild(kCli, {(dir / "s.json").string(), "--json", "/dev/full"});
    EXPECT_EQ(run.ExitCode, 3);
    EXPECT_TRUE(Contains(run.Err, "/dev/full")) << run.Err;
    EXPECT_TRUE(Contains(run.Err, std::strerror(ENOSPC))) << run.Err;
    EXPECT_TRUE(Contains(run.Out, "Расчет завершен")) << "the table is still printed";
}

// A file-size limit (a quota, say) makes the big files fail part-way: each output says why,
// keeps its previous contents and leaves no temporary behind; the table is still printed.
TEST(WriteErrors, AFileSizeLimitFailsEachBigOutputWithItsReasonAndKeepsThePreviousOnes) {
    PreviousRun previous;
    previous.UseScenario(ManyRooms(50));
    ChildOptions options;
    options.FileSizeLimit = 100000;  // far below the JSON and each room file of 50 rooms
    const ChildResult run =
        RunChild(kCli, {previous.Path("s.json"), "--json", previous.Path("r.json"), "--csv", previous.Path("csv")},
                 options);
    EXPECT_EQ(run.Signal, 0);
    EXPECT_EQ(run.ExitCode, 3);
    EXPECT_TRUE(Contains(run.Err, "r.json: не удалось записать: " + std::string(std::strerror(EFBIG)))) << run.Err;
    EXPECT_TRUE(Contains(run.Err, "room_1.csv: не удалось записать: " + std::string(std::strerror(EFBIG)))) << run.Err;
    EXPECT_TRUE(Contains(run.Out, "Расчет завершен")) << run.Out;
    EXPECT_EQ(Snapshot(previous.dir.Path()), previous.before);
}

// A folder the program may not create files in: one without write permission, or, for the
// superuser whom permissions do not bind, /sys. The reason is the one the system gives there.
TEST(WriteErrors, AFolderThatRefusesNewFilesIsRefusedBeforeTheRunWithTheReason) {
    TempDir dir;
    WriteFile(dir / "s.json", kShort);
    fs::create_directory(dir / "locked");
    fs::permissions(dir / "locked", fs::perms::owner_read | fs::perms::owner_exec);
    const fs::path folder = geteuid() == 0 ? fs::path("/sys") : dir / "locked";
    const int probe = open((folder / "zonefire-probe").c_str(), O_WRONLY | O_CREAT | O_EXCL, 0600);
    ASSERT_LT(probe, 0) << folder << " takes new files";
    const std::string reason = std::strerror(errno);
    const ChildResult run = RunChild(kCli, {(dir / "s.json").string(), "--json", (folder / "r.json").string()});
    fs::permissions(dir / "locked", fs::perms::owner_all);
    EXPECT_EQ(run.ExitCode, 2);
    EXPECT_TRUE(Contains(run.Err, "r.json")) << run.Err;
    EXPECT_TRUE(Contains(run.Err, reason)) << run.Err;
    EXPECT_EQ(run.Out, "");
}

// ---- Input: bounded, and file names printed safely ----------------------------------------

TEST(Input, AnEndlessSourceIsRefusedPastSixteenMegabytesWithoutFillingTheMemory) {
    const ChildResult zero = RunChild(kCli, {"/dev/zero"});
    EXPECT_EQ(zero.ExitCode, 2);
    EXPECT_TRUE(Contains(zero.Err, "16 МБ")) << zero.Err;  // exit 2: it ended by itself, not killed

    ChildOptions options;
    options.Stdin = std::string((std::size_t{16} << 20) + 1, ' ');
    const ChildResult piped = RunChild(kCli, {"-"}, options);
    EXPECT_EQ(piped.ExitCode, 2);
    EXPECT_TRUE(Contains(piped.Err, "16 МБ")) << piped.Err;
}

TEST(Input, ALargeFileIsRefusedAndOneJustUnderTheBoundIsRead) {
    TempDir dir;
    // Spaces around a valid scenario: the whole file has to be read for it to run.
    const std::string body = kShort;
    const std::size_t bound = std::size_t{16} << 20;
    WriteFile(dir / "under.json", std::string(bound - body.size(), ' ') + body);
    WriteFile(dir / "over.json", std::string(bound + 1 - body.size(), ' ') + body);
    EXPECT_EQ(RunChild(kCli, {(dir / "under.json").string(), "--quiet"}).ExitCode, 0);
    const ChildResult over = RunChild(kCli, {(dir / "over.json").string()});
    EXPECT_EQ(over.ExitCode, 2);
    EXPECT_TRUE(Contains(over.Err, "16 МБ")) << over.Err;
}

TEST(Input, ATerminalEscapeInAFileNameIsPrintedEscapedAndALongNameCut) {
    TempDir dir;
    const std::string hostile = (dir / "\x1b]0;owned\x07\x1b[2J.json").string();
    const ChildResult run = RunChild(kCli, {hostile});
    EXPECT_EQ(run.ExitCode, 2);
    EXPECT_EQ(run.Err.find('\x1b'), std::string::npos) << run.Err;
    EXPECT_EQ(run.Err.find('\x07'), std::string::npos) << run.Err;
    EXPECT_TRUE(Contains(run.Err, "\\x1b]0;owned\\x07")) << run.Err;

    const ChildResult longName = RunChild(kCli, {std::string(100000, 'a')});
    EXPECT_EQ(longName.ExitCode, 2);
    EXPECT_LT(longName.Err.size(), 1000u) << "the name is cut";
    EXPECT_TRUE(Contains(longName.Err, "…"));
}

TEST(Input, AHugeKeyOrStringIsNotEchoedWhole) {
    TempDir dir;
    const std::string huge(1'000'000, 'k');  // far past any readable message
    WriteFile(dir / "key.json", R"({"rooms": [{}], ")" + huge + R"(": 1})");
    WriteFile(dir / "string.json", R"({"rooms": [{}], "plume": ")" + huge + R"("})");
    for (const char* name : {"key.json", "string.json"}) {
        const ChildResult run = RunChild(kCli, {(dir / name).string()});
        EXPECT_EQ(run.ExitCode, 2) << name;
        EXPECT_LT(run.Err.size(), 5000u) << name;
        EXPECT_TRUE(Contains(run.Err, name)) << run.Err.substr(0, 200);
    }
}
