// What a study reads is bounded and read strictly: an endless file, a deep nesting, a key given
// twice or a distribution that cannot be drawn is refused with its place, never a crash, never
// memory without end.

#include <gtest/gtest.h>

#include <csignal>
#include <filesystem>

#include "study_cli.h"
#include "study_texts.h"

namespace fs = std::filesystem;
using namespace zftest;

namespace {

// The child's memory: far more than a study needs, far less than an endless file would fill.
constexpr long kMemoryLimit = 1L << 30;

ChildOptions Bounded() {
    ChildOptions options;
#if !defined(__SANITIZE_ADDRESS__)  // the address sanitizer reserves more address space than that
    options.MemoryLimit = kMemoryLimit;
#endif
    options.TimeoutMs = 30000;
    return options;
}

struct BadInput {
    const char* Name;
    std::string Study;  // the study file's text; "{dev-zero}" for /dev/zero itself
    std::vector<std::string> Expected;
};

void PrintTo(const BadInput& c, std::ostream* os) { *os << c.Name; }

class StudyInputRefused : public testing::TestWithParam<BadInput> {};

std::string Deep(std::size_t depth) { return std::string(depth, '[') + std::string(depth, ']'); }

}  // namespace

TEST_P(StudyInputRefused, WithItsPlaceAndNothingWritten) {
    TempDir tmp;
    const BadInput& c = GetParam();
    std::string study = "/dev/zero";
    if (c.Study != "{dev-zero}") {
        WriteFile(tmp / "study.json", c.Study);
        study = (tmp / "study.json").string();
    }
    for (const std::vector<std::string>& args : {std::vector<std::string>{"study", study, "--out", (tmp / "out").string()},
                                                 std::vector<std::string>{"study", study, "--check"}}) {
        const ChildResult run = Cli(args, Bounded());
        EXPECT_EQ(run.Signal, 0) << run.Err;
        EXPECT_EQ(run.ExitCode, 2) << run.Err;
        for (const std::string& part : c.Expected) EXPECT_NE(run.Err.find(part), std::string::npos) << run.Err;
        EXPECT_FALSE(fs::exists(tmp / "out"));
    }
}

INSTANTIATE_TEST_SUITE_P(
    Studies, StudyInputRefused,
    testing::Values(
        BadInput{"EndlessStudyFile", "{dev-zero}", {"/dev/zero", "16 МБ"}},
        BadInput{"EndlessBaseFile", R"({"base_file": "/dev/zero", "runs": 2, "seed": 1, "sampling": "monte-carlo", "vary": []})",
                 {"base_file", "16 МБ"}},
        BadInput{"DeepNesting", "{\"runs\": 2,\n \"vary\": [" + Deep(100000) + "]}", {"\"vary[1]", "64", "строка 2"}},
        BadInput{"DeepInsideTheBase", "{" + kStudyBase.substr(0, kStudyBase.size() - 1) + ", \"notes\": " + Deep(100000) +
                                          "}, \"runs\": 2, \"seed\": 1, \"sampling\": \"monte-carlo\", \"vary\": []}",
                 {"\"base.notes", "64"}},
        BadInput{"KeyTwice", StudyText(R"({"input": "Vlin", "distribution": "uniform",
                 "min": 0.01, "max": 0.02, "max": 0.03})"), {"\"vary[1].max\"", "дважды", "строка 2"}},
        BadInput{"KeyTwiceInTheBase", "{" + kStudyBase.substr(0, kStudyBase.size() - 1) +
                                          ", \"dt\": 0.1}, \"runs\": 2, \"seed\": 1, \"sampling\": \"monte-carlo\", \"vary\": []}",
                 {"\"base.dt\"", "дважды"}},
        // A refusal inside an inline base names the study file's line, not the base's own text.
        BadInput{"InlineBaseWrongTypeOnItsLine",
                 "{\"runs\": 2, \"seed\": 1, \"sampling\": \"monte-carlo\", \"vary\": [],\n \"base\": {\"rooms\": [{},\n  {\"width\": \"5\"}]}}",
                 {"базовый сценарий: помещение №2, ключ \"width\"", "ожидается число", "(строка 3)"}},
        // A list index is written one way: "rooms[02]" could be a slip for 2 or for 20.
        BadInput{"IndexWithALeadingZero", StudyText(R"({"input": "rooms[02].length", "distribution": "uniform", "min": 4, "max": 6})"),
                 {"\"rooms[02].length\"", "ведущим нулем", "rooms[2]"}},
        BadInput{"OpeningIndexZeroZero", StudyText(R"({"input": "openings[00].width", "distribution": "uniform", "min": 1, "max": 2})"),
                 {"openings", "с номером 00"}}),
    [](const testing::TestParamInfo<BadInput>& info) { return std::string(info.param.Name); });

// Laws whose parameters cannot be drawn are refused before any run, with the entry and key.
TEST(StudyLaws, ParametersThatCannotBeDrawnAreRefusedByEntryAndKey) {
    struct Case {
        std::string Vary, Expected;
    };
    const std::vector<Case> cases = {
        {R"({"input": "Vlin", "distribution": "normal", "mean": 1, "sd": -0.5})", "параметр №1 (\"Vlin\"): ключ \"sd\""},
        {R"({"input": "Vlin", "distribution": "normal", "mean": 1, "sd": 1, "min": 3, "max": 2})", "параметр №1 (\"Vlin\")"},
        {R"({"input": "Vlin", "distribution": "uniform", "min": 0.02, "max": 0.01})", "ключ \"max\""},
        {R"({"input": "D", "distribution": "triangular", "min": 5, "mode": 4, "max": 6})", "min ≤ mode ≤ max"},
        {R"({"input": "D", "distribution": "lognormal", "mu": 5, "sigma": -1})", "ключ \"sigma\""},
        {R"({"input": "D", "distribution": "Uniform", "min": 1, "max": 2})", "неизвестное распределение \"Uniform\""},
        {R"({"input": "D", "distribution": 7})", "\"distribution\""},
        {R"({"input": "Vlin", "distribution": "uniform", "min": 0.01, "max": 1e400})", "\"vary[1].max\": число 1e400"},
    };
    for (const Case& c : cases) {
        const std::string message = Refusal(StudyText(c.Vary));
        EXPECT_NE(message.find(c.Expected), std::string::npos) << c.Vary << "\n" << message;
    }
}
