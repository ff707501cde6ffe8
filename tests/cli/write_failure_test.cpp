// Every command of the runner says when it could not write what it was asked to, and ends with
// code 3: a closed standard output, a full device (/dev/full) or a broken pipe where it writes
// its text, a file-size limit (a disk that fills up) where it writes its files. No file it
// leaves looks complete when it is not.

#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "study_cli.h"

namespace fs = std::filesystem;
using zftest::Cli;
using zftest::TempDir;
using zftest::WriteFile;

namespace {

struct StdoutCase {
    const char* Name;
    std::vector<std::string> Args;  // "{study}" and "{out}" stand for the study file and a folder
    ChildStream Stdout;
    const char* Says;  // on stderr
};

void PrintTo(const StdoutCase& c, std::ostream* os) { *os << c.Name; }

class StudyStdout : public testing::TestWithParam<StdoutCase> {};

TEST_P(StudyStdout, FailsWithCodeThree) {
    TempDir dir;
    WriteFile(dir / "study.json", zftest::TwoRoomStudy(2, "monte-carlo", "two_rooms_dt001.json"));
    std::vector<std::string> args;
    for (const std::string& a : GetParam().Args)
        args.push_back(a == "{study}" ? (dir / "study.json").string() : a == "{out}" ? (dir / "out").string() : a);
    ChildOptions options;
    options.StdoutIs = GetParam().Stdout;
    const ChildResult r = Cli(args, options);
    EXPECT_EQ(r.ExitCode, 3) << r.Err;
    EXPECT_NE(r.Err.find(GetParam().Says), std::string::npos) << r.Err;
}

INSTANTIATE_TEST_SUITE_P(
    Commands, StudyStdout,
    testing::Values(
        StdoutCase{"StudyStdoutClosed", {"study", "{study}", "--out", "{out}", "--quiet"}, ChildStream::Closed,
                   "стандартный вывод закрыт"},
        StdoutCase{"StudySummaryOnAFullDevice", {"study", "{study}", "--out", "{out}", "--quiet"}, ChildStream::Full,
                   "не удалось вывести сводку"},
        StdoutCase{"StudySummaryIntoABrokenPipe", {"study", "{study}", "--out", "{out}", "--quiet"}, ChildStream::ClosedPipe,
                   "не удалось вывести сводку"},
        StdoutCase{"EmittedScenarioOnAFullDevice", {"study", "{study}", "--emit-scenario", "1"}, ChildStream::Full,
                   "не удалось вывести сценарий расчета"},
        StdoutCase{"CheckIntoABrokenPipe", {"study", "{study}", "--check"}, ChildStream::ClosedPipe,
                   "не удалось вывести итог проверки"},
        StdoutCase{"StudyHelpOnAFullDevice", {"study", "--help"}, ChildStream::Full, "не удалось вывести справку"},
        StdoutCase{"MergeHelpIntoABrokenPipe", {"merge", "--help"}, ChildStream::ClosedPipe, "не удалось вывести справку"}),
    [](const testing::TestParamInfo<StdoutCase>& info) { return std::string(info.param.Name); });

// A disk that fills up while the folder is written (a file-size limit stands for it): code 3,
// and no summary, the file that marks a folder complete, is left.
TEST(StudyFiles, AFullDiskLeavesNoSummary) {
    TempDir dir;
    WriteFile(dir / "study.json", zftest::TwoRoomStudy(4, "monte-carlo", "two_rooms_dt001.json"));
    ASSERT_EQ(Cli({"study", (dir / "study.json").string(), "--out", (dir / "a").string(), "--quiet"}).ExitCode, 0);
    ChildOptions limited;
    limited.FileSizeLimit = 600;  // smaller than the folder's study.json
    const ChildResult study = Cli({"study", (dir / "study.json").string(), "--out", (dir / "b").string(), "--quiet"}, limited);
    EXPECT_EQ(study.ExitCode, 3) << study.Err;
    EXPECT_FALSE(fs::exists(dir / "b" / "summary.json"));
    EXPECT_FALSE(fs::exists(dir / "b" / "summary.txt"));
    const ChildResult merge = Cli({"merge", (dir / "m").string(), (dir / "a").string()}, limited);
    EXPECT_EQ(merge.ExitCode, 3) << merge.Err;
    EXPECT_FALSE(fs::exists(dir / "m" / "summary.json"));
    EXPECT_FALSE(fs::exists(dir / "m" / "summary.txt"));
}

}  // namespace
