// Names from outside the program (a file's, a room's) as the runner prints them: a
// right-to-left override would reorder the message or the table line it is printed in, a
// newline would forge a line of its own; both are printed escaped.

#include <gtest/gtest.h>

#include <string>

#include "subprocess.h"
#include "test_files.h"

namespace {

const std::string kCli = ZONEFIRE_CLI;
using zftest::TempDir;
using zftest::WriteFile;

bool Contains(const std::string& text, const std::string& part) { return text.find(part) != std::string::npos; }

}  // namespace

TEST(PrintedNames, DirectionOverridesAndNewlinesInNamesArePrintedEscaped) {
    TempDir dir;
    const std::string name = "evil\xe2\x80\xaenosj.\nfake line.json";
    WriteFile(dir / name, R"({"SimTime": 1, "dt": 0.1, "rooms": [{"name": "Зал\u202eКладовая\nстрока"}],
                              "openings": [{"rooms": [1, 1]}], "Qn": "x"})");
    const ChildResult refused = RunChild(kCli, {(dir / name).string()});
    EXPECT_EQ(refused.ExitCode, 2);
    EXPECT_EQ(refused.Err.find("\xe2\x80\xae"), std::string::npos) << refused.Err;
    EXPECT_TRUE(Contains(refused.Err, "evil\\u202enosj.\\x0afake line.json")) << refused.Err;

    WriteFile(dir / "named.json", R"({"SimTime": 1, "dt": 0.1, "rooms": [{"name": "Зал\u202eКладовая\nстрока"}],
                                     "openings": [{"rooms": [1, 1]}]})");
    const ChildResult run = RunChild(kCli, {(dir / "named.json").string(), "--quiet"});
    EXPECT_EQ(run.ExitCode, 0) << run.Err;
    EXPECT_EQ(run.Out.find("\xe2\x80\xae"), std::string::npos) << run.Out;
    EXPECT_TRUE(Contains(run.Out, "Зал\\u202eКладовая\\x0aстрока")) << run.Out;
}

