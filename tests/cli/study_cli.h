#pragma once
// zonefire-cli study and merge as a child process, for the tests that run them end to end: a
// study of the two-room example, the folder's outputs compared, its rows read back.

#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "study_file.h"
#include "study_table.h"
#include "subprocess.h"
#include "test_files.h"

namespace zftest {

inline const std::string kCli = ZONEFIRE_CLI;
inline const std::filesystem::path kExamples = ZONEFIRE_EXAMPLES;
inline const char* const kOutputs[] = {"study.json", "runs.csv", "summary.json", "summary.txt"};

// A study of the two-room example with every kind of input.
inline std::string TwoRoomStudy(int runs, const std::string& sampling,
                                const std::filesystem::path& example = "two_rooms_dt001.json") {
    return R"({"base_file": ")" + (kExamples / example).string() + R"(", "runs": )" + std::to_string(runs) +
           R"(, "seed": 2024, "sampling": ")" + sampling + R"(", "vary": [
        {"input": "Vlin", "distribution": "uniform", "min": 0.008, "max": 0.016},
        {"input": "PsiUd", "distribution": "normal", "mean": 0.0145, "sd": 0.002, "min": 0.008},
        {"input": "D", "distribution": "lognormal", "median": 270, "factor": 1.5},
        {"input": "rooms[2].length", "distribution": "triangular", "min": 5, "mode": 6, "max": 8},
        {"input": "openings[1].open", "distribution": "bernoulli", "p": 0.8},
        {"input": "plume", "distribution": "choice", "values": ["tanaka", "mccaffrey"], "weights": [3, 1]}]})";
}

inline ChildResult Cli(const std::vector<std::string>& args, const ChildOptions& options = {}) {
    return RunChild(kCli, args, options);
}

inline void ExpectSameOutputs(const std::filesystem::path& a, const std::filesystem::path& b) {
    for (const char* name : kOutputs) EXPECT_EQ(ReadFile(a / name), ReadFile(b / name)) << name << ": " << a << " vs " << b;
}

// The rows of a folder, read as a resume or a merge reads them.
inline std::vector<zfcli::study::RunRow> RowsOf(const std::filesystem::path& dir) {
    zfcli::study::Study study;
    EXPECT_EQ(zfcli::study::ReadStudy(ReadFile(dir / "study.json"), dir, study), std::nullopt);
    std::vector<zfcli::study::RunRow> rows;
    EXPECT_EQ(zfcli::study::ParseCsv(study, ReadFile(dir / "runs.csv"), rows), std::nullopt);
    return rows;
}

}  // namespace zftest
