// zonefire-cli end to end: the program run on the example files and on bad ones, its outputs
// compared with the engine run in this process on the same scenario.

#include <gtest/gtest.h>
#include <stdlib.h>

#include <cmath>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <memory>
#include <sstream>

#include <nlohmann/json.hpp>

#include "result_writer.h"
#include "project/scenario_file.h"
#include "subprocess.h"
#include "test_files.h"

namespace fs = std::filesystem;
using nlohmann::json;

namespace {

const std::string kCli = ZONEFIRE_CLI;
const fs::path kExamples = ZONEFIRE_EXAMPLES;

using zftest::ReadFile;
using zftest::TempDir;
using zftest::WriteFile;

bool SameBits(double a, double b) { return std::memcmp(&a, &b, sizeof a) == 0; }

// The engine run in this process on the same scenario text.
std::unique_ptr<zf::TzoneMath> RunInProcess(const std::string& text, zf::RunView* view = nullptr) {
    auto zm = std::make_unique<zf::TzoneMath>();
    EXPECT_EQ(zf::project::ReadScenario(text, *zm), std::nullopt);
    zf::RunView quiet;
    zm->Run(view ? *view : quiet);
    return zm;
}

// Every count, critical time and sample of the program's JSON equals the in-process run's.
void ExpectSameResults(const json& doc, const zf::TzoneMath& zm) {
    EXPECT_EQ(doc["iter"], zm.Iter);
    EXPECT_EQ(doc["StepCount"], zm.StepCount);
    EXPECT_EQ(doc["StepsPerSample"], zm.StepsPerSample);
    EXPECT_EQ(doc["SampleCount"], zm.SampleCount);
    ASSERT_EQ(doc["rooms"].size(), static_cast<std::size_t>(zm.RoomCount()));
    for (int i = 0; i < zm.RoomCount(); ++i) {
        const zf::TRoom& r = *zm.Rooms[static_cast<std::size_t>(i)];
        const json& room = doc["rooms"][i];
        for (int k = 0; k < zf::kHazardCount; ++k) {
            const std::string key(zfreport::kHazardShortNames[static_cast<std::size_t>(k)]);
            // Never reached (0 in the room) is null in the file.
            const json& t = room["critical_times"][key];
            EXPECT_TRUE(SameBits(t.is_null() ? 0.0 : t.get<double>(), r.CritTimeOf(static_cast<zf::HazardKind>(k))))
                << "room " << i + 1 << ' ' << key;
            EXPECT_FALSE(!t.is_null() && t.get<double>() == 0) << "room " << i + 1 << ' ' << key;
        }
        for (int e = 0; e < zf::ResultSample::kCount; ++e) {
            const json& series = room["samples"][zf::ResultSample::Name(e)];
            ASSERT_EQ(series.size(), r.Samples.size());
            for (std::size_t m = 0; m < r.Samples.size(); ++m)
                ASSERT_TRUE(SameBits(series[m].get<double>(), r.Samples[m][e]))
                    << "room " << i + 1 << ' ' << zf::ResultSample::Name(e) << '[' << m << ']';
        }
    }
}

std::string ExpectedReport(const zf::TzoneMath& zm, zf::project::RunOutcome outcome) {
    return zf::project::CriticalTimesReport(zm) + zf::project::OutcomeLine(outcome, zm) + "\n" + zf::project::WarningLines(zm);
}

int LineCount(const std::string& text) { return static_cast<int>(std::count(text.begin(), text.end(), '\n')); }

// Two rooms of the whole-model check, run long enough to be stopped by hand.
std::string LongRun() {
    return R"({"SimTime": 2000, "dt": 0.0001, "rooms": [{"length": 5, "width": 4, "height": 3},
        {"length": 6, "width": 5, "height": 3}], "openings": [{"rooms": [1, 2]}]})";
}

}  // namespace

// ---- The example files ----------------------------------------------------------------------

class ExampleFile : public testing::TestWithParam<const char*> {};

TEST_P(ExampleFile, PrintsAndWritesWhatTheEngineComputes) {
    const fs::path scenario = kExamples / GetParam();
    const auto zm = RunInProcess(ReadFile(scenario));
    TempDir dir;
    const ChildResult run = RunChild(kCli, {scenario.string(), "--json", (dir / "out.json").string(), "--csv",
                                            (dir / "csv").string()});
    ASSERT_EQ(run.ExitCode, 0) << run.Err;
    EXPECT_EQ(run.Out, ExpectedReport(*zm, zf::project::RunOutcome::Completed));
    EXPECT_EQ(zftest::WithoutWarnings(run.Err), "");  // stderr is a pipe here, not a terminal: no progress line

    const json doc = json::parse(ReadFile(dir / "out.json"));
    EXPECT_EQ(doc["completed"], true);
    EXPECT_EQ(doc["stopped"], false);
    ExpectSameResults(doc, *zm);

    for (int i = 1; i <= zm->RoomCount(); ++i) {
        const std::string csv = ReadFile(dir / ("csv/room_" + std::to_string(i) + ".csv"));
        EXPECT_EQ(LineCount(csv), zm->SampleCount + 1) << "room " << i;
        EXPECT_EQ(csv.substr(0, csv.find('\n')), "t,Fp,Gk,Yk,Ro2,T2,Gm,YkPred,Tw,Lw,O2w,qRad,COw,CO2w,HClw");
    }
    EXPECT_FALSE(fs::exists(dir / ("csv/room_" + std::to_string(zm->RoomCount() + 1) + ".csv")));
}

INSTANTIATE_TEST_SUITE_P(, ExampleFile, testing::Values("two_rooms_dt001.json", "five_rooms_corridor.json"),
                         [](const testing::TestParamInfo<const char*>& info) {
                             std::string name = info.param;
                             name = name.substr(0, name.find('.'));
                             std::erase(name, '_');
                             return name;
                         });

// Two rooms, Tanaka, dt 0.01: the whole-model check's numbers for the fire room and the second
// room at 60 s. A sample averages 0.1 s (60.00 … 60.09 s), hence the tolerances.
TEST(Examples, TwoRoomsMatchTheWholeModelCheck) {
    TempDir dir;
    const ChildResult run =
        RunChild(kCli, {(kExamples / "two_rooms_dt001.json").string(), "--json", (dir / "out.json").string()});
    ASSERT_EQ(run.ExitCode, 0) << run.Err;
    const json doc = json::parse(ReadFile(dir / "out.json"));
    const int m = 600;
    ASSERT_NEAR(doc["sample_times"][m].get<double>(), 60.05, 1e-9);
    const json& fire = doc["rooms"][0]["samples"];
    const json& second = doc["rooms"][1]["samples"];
    EXPECT_NEAR(fire["Yk"][m].get<double>(), 0.622, 0.005);
    EXPECT_NEAR(fire["T2"][m].get<double>(), 365, 1);
    EXPECT_NEAR(fire["Gk"][m].get<double>(), 1.99, 0.02);
    EXPECT_NEAR(fire["Gm"][m].get<double>(), 1.89, 0.02);
    EXPECT_NEAR(second["Yk"][m].get<double>(), 1.95, 0.01);
    EXPECT_NEAR(second["T2"][m].get<double>(), 343, 1);
    EXPECT_EQ(second["Gm"][m].get<double>(), 0);  // nothing flows back while the fire room's layer is lower
    // Both layers reach the floor between 80 s and 90 s.
    for (const json* room : {&fire, &second}) {
        EXPECT_GT((*room)["Yk"][800].get<double>(), 0);
        EXPECT_EQ((*room)["Yk"][900].get<double>(), 0);
    }
}

// The main window's default step: two million steps, one sample per thousand.
TEST(Examples, TwoRoomsAtTheDefaultStepWritesJsonToStdout) {
    const ChildResult run = RunChild(kCli, {(kExamples / "two_rooms.json").string(), "--json", "-"});
    ASSERT_EQ(run.ExitCode, 0) << run.Err;
    const json doc = json::parse(run.Out);  // stdout holds nothing but the JSON
    EXPECT_EQ(doc["completed"], true);
    EXPECT_EQ(doc["iter"], 1999999);
    EXPECT_EQ(doc["StepCount"], 2000000);
    EXPECT_EQ(doc["StepsPerSample"], 1000);
    EXPECT_EQ(doc["SampleCount"], 2000);
    EXPECT_EQ(doc["sample_times"].size(), 2000u);
    EXPECT_NEAR(doc["rooms"][0]["samples"]["Yk"][600].get<double>(), 0.622, 0.01);
    // The table went to stderr instead.
    EXPECT_NE(run.Err.find("Помещение №2"), std::string::npos) << run.Err;
    EXPECT_NE(run.Err.find("Расчет завершен: шаг 1999999 из 1999999."), std::string::npos) << run.Err;
}

TEST(Cli, ReadsTheScenarioFromStdin) {
    const std::string text = ReadFile(kExamples / "two_rooms_dt001.json");
    const auto zm = RunInProcess(text);
    ChildOptions options;
    options.Stdin = text;
    const ChildResult run = RunChild(kCli, {"-"}, options);
    ASSERT_EQ(run.ExitCode, 0) << run.Err;
    EXPECT_EQ(run.Out, ExpectedReport(*zm, zf::project::RunOutcome::Completed));
}

// ---- A failed run ---------------------------------------------------------------------------

// The runner says what failed, with the value it came out with, and what to do.
TEST(Cli, AFailedRunNamesTheFaultsValueAndWhatToDo) {
    // McCaffrey's plume without heat release: 0 / 0 in step 1.
    const std::string text = R"({"plume": "mccaffrey", "Vlin": 0, "rooms": [{}, {}], "openings": [{"rooms": [1, 2]}]})";
    ChildOptions options;
    options.Stdin = text;
    const ChildResult run = RunChild(kCli, {"-"}, options);
    EXPECT_EQ(run.ExitCode, 1);
    EXPECT_NE(run.Err.find("производительность конвективной колонки: деление на ноль; получено значение: не число"),
              std::string::npos) << run.Err;
    EXPECT_NE(run.Err.find("Проверьте параметры горючей нагрузки"), std::string::npos) << run.Err;
}

TEST(Cli, AFailedRunReportsTheStepAndTheFaultAndStillWritesItsOutputs) {
    // A step longer than the 0.1 s sampling interval leaves no sample to record into.
    const std::string text = R"({"dt": 0.3, "rooms": [{}, {}], "openings": [{"rooms": [1, 2]}]})";
    const auto zm = RunInProcess(text);
    ASSERT_TRUE(zm->LastFault.Failed());
    TempDir dir;
    WriteFile(dir / "s.json", text);
    const ChildResult run = RunChild(kCli, {(dir / "s.json").string(), "--json", (dir / "out.json").string(),
                                            "--csv", (dir / "csv").string()});
    EXPECT_EQ(run.ExitCode, 1);
    EXPECT_EQ(zftest::WithoutWarnings(run.Err), "Ошибка при выполнении расчета!\n(на итерации №" + std::to_string(zm->Iter) + ")\n" +
                           zf::DescribeFault(zm->LastFault) + "\n");
    EXPECT_EQ(run.Out, ExpectedReport(*zm, zf::project::RunOutcome::Failed));
    const json doc = json::parse(ReadFile(dir / "out.json"));
    EXPECT_EQ(doc["completed"], false);
    EXPECT_EQ(doc["stopped"], false);
    EXPECT_EQ(doc["iter"], zm->Iter);
    EXPECT_EQ(doc["error"], zf::DescribeFault(zm->LastFault));
    ExpectSameResults(doc, *zm);
    EXPECT_TRUE(fs::exists(dir / "csv/room_2.csv"));
}

// ---- Ctrl-C ---------------------------------------------------------------------------------

// Stops the in-process run at a chosen step: every step is a refresh, the n-th one says stop.
class StopAtStep final : public zf::RunView {
public:
    explicit StopAtStep(int step) : step_(step) {
        TickMs = [] {
            static std::int64_t now = 0;
            return now += 1000;
        };
    }
    bool ProgressVisible() override { return ++refreshes_ < step_; }

private:
    int step_;
    int refreshes_ = 0;
};

TEST(Cli, CtrlCStopsAtTheNextRefreshAndWritesTheResultsSoFar) {
    TempDir dir;
    WriteFile(dir / "long.json", LongRun());
    ChildOptions options;
    options.StderrOnTerminal = true;
    // Ctrl-C once the progress line shows: the run is under way, its stop handler installed.
    options.InterruptWhen = [](const ChildResult& sofar) { return sofar.Err.find("шаг ") != std::string::npos; };
    const ChildResult run = RunChild(kCli, {(dir / "long.json").string(), "--json", (dir / "out.json").string(),
                                            "--csv", (dir / "csv").string()},
                                     options);
    ASSERT_EQ(run.ExitCode, 130) << run.Err;  // stopped short of its last step: iter below
    EXPECT_NE(run.Err.find("шаг "), std::string::npos) << "no progress line on the terminal";
    // The progress line counts the steps as the last line does: 2000 s at 0.1 ms.
    EXPECT_NE(run.Err.find(" из 19999999"), std::string::npos) << run.Err;
    EXPECT_EQ(run.Err.find(" из 20000000"), std::string::npos) << run.Err;
    EXPECT_NE(run.Out.find("Расчет остановлен на шаге"), std::string::npos) << run.Out;

    const json doc = json::parse(ReadFile(dir / "out.json"));
    EXPECT_EQ(doc["completed"], false);
    EXPECT_EQ(doc["stopped"], true);
    const int iter = doc["iter"];
    ASSERT_GT(iter, 0);
    ASSERT_LT(iter, 19999999);
    EXPECT_EQ(LineCount(ReadFile(dir / "csv/room_1.csv")), doc["SampleCount"].get<int>() + 1);

    // The partial results are those of the engine stopped at the same step.
    StopAtStep stop(iter);
    const auto zm = RunInProcess(LongRun(), &stop);
    ASSERT_TRUE(zm->Stopped);
    ASSERT_EQ(zm->Iter, iter);
    EXPECT_EQ(doc["sample_times"].size(), static_cast<std::size_t>(zm->SampleCount));
    ExpectSameResults(doc, *zm);
    EXPECT_EQ(run.Out, ExpectedReport(*zm, zf::project::RunOutcome::Stopped));
}

TEST(Cli, QuietKeepsTheTerminalFreeOfProgress) {
    TempDir dir;
    WriteFile(dir / "long.json", LongRun());
    ChildOptions options;
    options.StderrOnTerminal = true;
    // No progress line to wait for: Ctrl-C once the JSON's temporary file is made, which is
    // after the stop handler is installed and before the run.
    options.InterruptWhen = [&dir](const ChildResult&) {
        for (const auto& entry : fs::directory_iterator(dir.Path()))
            if (entry.path().filename().string().starts_with(".out.json.tmp-")) return true;
        return false;
    };
    const ChildResult run =
        RunChild(kCli, {(dir / "long.json").string(), "--quiet", "--json", (dir / "out.json").string()}, options);
    EXPECT_EQ(run.ExitCode, 130);
    EXPECT_EQ(zftest::WithoutWarnings(run.Err), "");
    EXPECT_EQ(json::parse(ReadFile(dir / "out.json"))["stopped"], true);
}

// A run whose recorded samples (1,7 GB: 15 000 000 of 112 bytes) pass the input check but not
// the child's memory limit of 1 GB fails before its first step: the runner says the run was
// not started and why, with no step counts, and its outputs say "failed" as for any failure.
TEST(Cli, ARunThatFailsBeforeItsFirstStepSaysItWasNotStarted) {
#if defined(__SANITIZE_ADDRESS__)
    GTEST_SKIP() << "the address sanitizer reserves more address space than the limit";
#endif
    TempDir dir;
    WriteFile(dir / "big.json", R"({"SimTime": 1500000, "dt": 0.1, "SamplesPerSec": 10,
        "rooms": [{"length": 5, "width": 4, "height": 3}]})");
    ChildOptions options;
    options.MemoryLimit = 1L << 30;
    const ChildResult run = RunChild(
        kCli, {(dir / "big.json").string(), "--json", (dir / "out.json").string(), "--csv", (dir / "csv").string()},
        options);
    EXPECT_EQ(run.ExitCode, 1) << run.Err;
    EXPECT_EQ(zftest::WithoutWarnings(run.Err), "Ошибка при подготовке расчета, расчет не начат!\n"
                       "Недостаточно памяти для записи результатов: уменьшите время моделирования или увеличьте шаг.\n");
    EXPECT_TRUE(run.Out.ends_with("\nРасчет не начат: ошибка при подготовке, ни один шаг не выполнен.\n")) << run.Out;
    EXPECT_EQ(run.Out.find("на шаге"), std::string::npos) << run.Out;
    const json doc = json::parse(ReadFile(dir / "out.json"));
    EXPECT_EQ(doc["completed"], false);
    EXPECT_EQ(doc["stopped"], false);
    EXPECT_EQ(doc["iter"], 0);
    EXPECT_TRUE(ReadFile(dir / "csv/status").starts_with("failed\nРасчет не начат: ")) << ReadFile(dir / "csv/status");
}

// ---- Bad input: a message, exit code 2, nothing run or written --------------------------------

struct BadRun {
    const char* Name;
    std::string Scenario;  // written to s.json; empty: the file is not created
    std::vector<std::string> Args;  // "{dir}" is replaced by the temporary directory
    std::string Says;
};

void PrintTo(const BadRun& c, std::ostream* os) { *os << c.Name; }

class BadRunOfCli : public testing::TestWithParam<BadRun> {};

TEST_P(BadRunOfCli, SaysWhyAndExitsWithTwoWithoutRunning) {
    TempDir dir;
    const std::string root = (dir / "").string();
    if (!GetParam().Scenario.empty()) WriteFile(dir / "s.json", GetParam().Scenario);
    std::vector<std::string> args;
    for (std::string arg : GetParam().Args) {
        if (const auto at = arg.find("{dir}"); at != std::string::npos) arg.replace(at, 5, root);
        args.push_back(arg);
    }
    const ChildResult run = RunChild(kCli, args);
    EXPECT_EQ(run.ExitCode, 2);
    EXPECT_NE(run.Err.find(GetParam().Says), std::string::npos) << run.Err;
    EXPECT_EQ(LineCount(run.Err) > 0, true);
    EXPECT_EQ(run.Out, "");  // no table: nothing was run
    EXPECT_FALSE(fs::exists(dir / "out.json"));
    EXPECT_FALSE(fs::exists(dir / "csv"));
}

const std::string kGood = R"({"dt": 0.01, "SimTime": 1, "rooms": [{}]})";

const BadRun kBadRuns[] = {
    {"MissingFile", "", {"{dir}missing.json", "--json", "{dir}out.json"}, "missing.json: не удалось открыть"},
    {"Directory", "", {"{dir}", "--csv", "{dir}csv"}, "это каталог"},
    {"MalformedJson", "{\"rooms\": [{}],\n \"dt\": 0.01,,\n}", {"{dir}s.json", "--json", "{dir}out.json"},
     "s.json: ошибка в записи JSON в строке 2, столбце 13"},
    {"UnknownKey", R"({"rooms": [{}], "SimTme": 1})", {"{dir}s.json", "--csv", "{dir}csv"}, "\"SimTime\""},
    {"OpeningToAMissingRoom", R"({"rooms": [{}], "openings": [{"rooms": [1, 2]}]})",
     {"{dir}s.json", "--json", "{dir}out.json", "--csv", "{dir}csv"}, "проем №1, ключ \"rooms\""},
    {"RefusedByTheEngineCheck", R"({"rooms": [{}], "SimTime": 1e9})", {"{dir}s.json", "--json", "{dir}out.json"},
     "шагов"},
    {"NoScenario", "", {"--quiet"}, "не задан файл сценария"},
    {"UnknownOption", kGood, {"{dir}s.json", "--jsn", "{dir}out.json"}, "неизвестный параметр --jsn"},
    {"JsonWithoutFile", kGood, {"{dir}s.json", "--json"}, "после --json"},
    {"CsvWithoutDirectory", kGood, {"{dir}s.json", "--csv"}, "после --csv"},
    {"TwoScenarios", kGood, {"{dir}s.json", "{dir}s.json"}, "лишний аргумент"},
    {"JsonIntoAMissingDirectory", kGood, {"{dir}s.json", "--json", "{dir}no/such/out.json"}, "out.json"},
    {"CsvOntoAFile", kGood, {"{dir}s.json", "--csv", "{dir}s.json"}, "каталог"},
    {"JsonTwice", kGood, {"{dir}s.json", "--json", "{dir}out.json", "--json", "{dir}b.json"}, "--json задан дважды"},
    {"CsvTwice", kGood, {"{dir}s.json", "--csv", "{dir}csv", "--csv", "{dir}b"}, "--csv задан дважды"},
};

INSTANTIATE_TEST_SUITE_P(, BadRunOfCli, testing::ValuesIn(kBadRuns),
                         [](const testing::TestParamInfo<BadRun>& info) { return std::string(info.param.Name); });

TEST(Cli, HelpAndVersion) {
    const ChildResult help = RunChild(kCli, {"--help"});
    EXPECT_EQ(help.ExitCode, 0);
    for (const char* option : {"--json", "--csv", "--quiet", "130"})
        EXPECT_NE(help.Out.find(option), std::string::npos) << option;
    // Every key the scenario reader knows is named, so the list cannot fall behind the reader.
    for (std::string_view key : zf::project::KnownKeys())
        EXPECT_NE(help.Out.find(key), std::string::npos) << key;
    const ChildResult version = RunChild(kCli, {"--version"});
    EXPECT_EQ(version.ExitCode, 0);
    EXPECT_EQ(version.Out.rfind("zonefire-cli ", 0), 0u) << version.Out;
}
