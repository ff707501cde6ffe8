// zonefire-cli's outputs under hostile and careless use, end to end: paths refused before the
// run, results replaced whole or not at all (signals, a kill, two runs at once), the CSV
// folder holding one run's files, closed or full standard streams, a broken pipe, and
// endless or oversized input.
#include "cli_output_fixture.h"

namespace {

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


}  // namespace
