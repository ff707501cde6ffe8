// `zonefire-cli report SCENARIO OUT.pdf` is `zonefire --report OUT.pdf SCENARIO` under another
// name: the same report, the same state line, the same refusals and exit codes, with neither a
// display nor Qt's widgets.
#include <gtest/gtest.h>

#include <QRegularExpression>
#include <QString>
#include <QTemporaryDir>

#include <filesystem>
#include <fstream>

#include "../cli/subprocess.h"
#include "pdf_text.h"

namespace {

const char* const kTwoRooms = R"({"SimTime": 30, "dt": 0.01,
    "rooms": [{"length": 5, "width": 4, "height": 3}, {"length": 6, "width": 5, "height": 3}],
    "openings": [{"rooms": [1, 2], "height": 2, "width": 0.9, "open": true}]})";

// The report's text without its date, which is the time of writing.
QString Undated(const std::string& pdf) {
    return Flat(PdfText(QString::fromStdString(pdf))).remove(QRegularExpression(QStringLiteral("\\d\\d\\.\\d\\d\\.\\d{4}( \\d\\d:\\d\\d)?")));
}

struct Case {
    const char* Name;
    const char* Scenario;   // the scenario file's text; nullptr: no scenario argument at all
    bool OutputIsScenario;  // the report's path names the scenario itself
    int ExitCode;
};

class CliReport : public testing::TestWithParam<Case> {
protected:
    ChildResult App(const std::string& pdf, const std::string& scenario) const {
        return GetParam().Scenario ? RunChild(ZONEFIRE_APP, {"--report", pdf, scenario}) : RunChild(ZONEFIRE_APP, {"--report", pdf});
    }
    ChildResult Cli(const std::string& pdf, const std::string& scenario) const {
        // No display, and a platform that would need one: the command picks its own.
        const QByteArray platform = qgetenv("QT_QPA_PLATFORM"), display = qgetenv("DISPLAY");
        qputenv("QT_QPA_PLATFORM", "xcb");
        qunsetenv("DISPLAY");
        const ChildResult run = GetParam().Scenario ? RunChild(ZONEFIRE_CLI, {"report", scenario, pdf})
                                                    : RunChild(ZONEFIRE_CLI, {"report", scenario});
        qputenv("QT_QPA_PLATFORM", platform);
        if (!display.isEmpty()) qputenv("DISPLAY", display);
        return run;
    }
    QTemporaryDir dir;
};

TEST_P(CliReport, GivesTheReportAndTheExitCodeOfZonefireReport) {
    const Case& c = GetParam();
    const std::string scenario = dir.filePath(QStringLiteral("s.json")).toStdString();
    std::ofstream(scenario) << (c.Scenario ? c.Scenario : kTwoRooms);
    const auto out = [&](const char* name) { return c.OutputIsScenario ? scenario : dir.filePath(name).toStdString(); };
    const ChildResult app = App(out("app.pdf"), scenario);
    const ChildResult cli = Cli(out("cli.pdf"), scenario);
    EXPECT_EQ(app.ExitCode, c.ExitCode) << app.Err;
    EXPECT_EQ(cli.ExitCode, c.ExitCode) << cli.Err;
    EXPECT_EQ(cli.Out, app.Out);  // the run's state line, or nothing
    if (c.ExitCode == 0) {
        EXPECT_EQ(Undated(out("cli.pdf")), Undated(out("app.pdf")));
        return;
    }
    EXPECT_FALSE(cli.Err.empty());
    if (c.Scenario) {
        EXPECT_EQ(cli.Err, app.Err);  // the same refusal, word for word
    }
    if (!c.OutputIsScenario) {
        EXPECT_FALSE(std::filesystem::exists(out("cli.pdf")));
    }
}

INSTANTIATE_TEST_SUITE_P(
    Cases, CliReport,
    testing::Values(Case{"completed", kTwoRooms, false, 0}, Case{"badScenario", R"({"dt": -1})", false, 2},
                    Case{"outputNamesTheScenario", kTwoRooms, true, 2}, Case{"noOutputNamed", nullptr, false, 2}),
    [](const testing::TestParamInfo<Case>& info) { return std::string(info.param.Name); });

}  // namespace
