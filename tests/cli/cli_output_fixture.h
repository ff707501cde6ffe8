#pragma once
// What cli_output_test.cpp and cli_streams_test.cpp share: their includes, helpers and fixture.

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


inline const std::string kCli = ZONEFIRE_CLI;
inline const fs::path kExamples = ZONEFIRE_EXAMPLES;

// A short run: a few hundredths of a second, two rooms.
inline const std::string kShort = R"({"dt": 0.01, "SimTime": 20, "rooms": [{}, {}], "openings": [{"rooms": [1, 2]}]})";

// Two rooms run for over ten seconds, to be stopped or killed part-way.
inline const std::string kLong = R"({"SimTime": 2000, "dt": 0.0001, "rooms": [{"length": 5, "width": 4, "height": 3},
    {"length": 6, "width": 5, "height": 3}], "openings": [{"rooms": [1, 2]}]})";

// Many rooms and 2000 samples: at 50 rooms and dt 0.05 s a twentieth of a second to compute
// and half a second to write (8 MB of JSON and as much CSV), so a kill or a second run can
// land mid-write.
inline std::string ManyRooms(int rooms, double dt = 0.05, double length = 5) {
    std::string text = R"({"SimTime": 200, "dt": )" + std::to_string(dt) + R"(, "rooms": [)";
    for (int i = 0; i < rooms; ++i) text += (i ? ", " : "") + std::string(R"({"length": )") + std::to_string(length) + "}";
    return text + "]}";
}

// Names in `folder` that do not start with a dot (the temporary files are hidden).
inline std::set<std::string> VisibleNames(const fs::path& folder) {
    std::set<std::string> names;
    for (const auto& entry : fs::directory_iterator(folder))
        if (entry.path().filename().string()[0] != '.') names.insert(entry.path().filename().string());
    return names;
}

inline std::set<std::string> CsvNames(int rooms) {
    std::set<std::string> names{"status"};
    for (int i = 1; i <= rooms; ++i) names.insert("room_" + std::to_string(i) + ".csv");
    return names;
}

inline std::string FirstLine(const std::string& text) { return text.substr(0, text.find('\n')); }

inline bool Contains(const std::string& text, const std::string& part) { return text.find(part) != std::string::npos; }

// A folder with a scenario s.json and the outputs of a finished run of it: r.json and csv/.
// The runner's progress line on a terminal ("t = 0 с, шаг 2000 из ..."), written at its first
// refresh, once its stop handlers and its outputs' temporaries are in place.
inline bool ShowsProgress(const ChildResult& sofar) { return sofar.Err.find("шаг ") != std::string::npos; }

// What the runner writes to erase the progress line when its run has ended.
inline constexpr const char* kProgressErased = "\r\x1b[K";

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
