// The runner's outputs, continued: standard streams closed, full or cut; write errors with
// their reasons; the input refused past its limits.
#include "cli_output_fixture.h"

namespace {

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

}  // namespace
