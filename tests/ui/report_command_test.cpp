// zonefire --report under the faults a report must survive: a full disk, a folder that takes no
// file, a closed output, a report path that names the scenario itself, an endless input, and
// text the engineer typed that looks like markup or turns the writing direction.
#include <gtest/gtest.h>

#include <sys/stat.h>
#include <unistd.h>

#include <QString>
#include <QTemporaryDir>

#include <filesystem>
#include <fstream>

#include "../cli/subprocess.h"
#include "../cli/test_files.h"
#include "pdf_text.h"

namespace fs = std::filesystem;

namespace {

const char* const kScenario = R"({"SimTime": 60, "dt": 0.01,
    "rooms": [{"length": 5, "width": 4, "height": 3}, {"length": 6, "width": 5, "height": 3}],
    "openings": [{"rooms": [1, 2], "height": 2, "width": 0.9, "open": true}]})";

// A folder with the scenario, and the report command on it.
class ReportFaults : public testing::Test {
protected:
    void SetUp() override { zftest::WriteFile(Path("s.json"), kScenario); }
    std::string Path(const std::string& name) const { return (dir_ / name).string(); }
    ChildResult Report(const std::string& pdf, const ChildOptions& options = {}, const std::string& scenario = "") const {
        return RunChild(ZONEFIRE_APP, {"--report", pdf, scenario.empty() ? Path("s.json") : scenario}, options);
    }
    // Every entry of the folder but the scenario.
    std::vector<std::string> Others() const {
        std::vector<std::string> names;
        for (const auto& entry : fs::directory_iterator(dir_.Path()))
            if (entry.path().filename() != "s.json") names.push_back(entry.path().filename().string());
        return names;
    }

    zftest::TempDir dir_;
};

// How many charts a report holds: each has one time axis, titled "t, с".
int Charts(const std::string& pdf) { return static_cast<int>(PdfText(QString::fromStdString(pdf)).count(QStringLiteral("t, с"))); }

}  // namespace

TEST_F(ReportFaults, AFullDiskLeavesThePreviousReportAndNoPartOfTheNewOne) {
    zftest::WriteFile(Path("r.pdf"), "the previous report");
    ChildOptions full;
    full.FileSizeLimit = 20000;  // far below the report's size: the disk fills while it is written
    const ChildResult run = Report(Path("r.pdf"), full);
    EXPECT_EQ(run.ExitCode, 3) << run.Err;
    EXPECT_NE(run.Err.find("r.pdf"), std::string::npos) << run.Err;
    EXPECT_EQ(zftest::ReadFile(Path("r.pdf")), "the previous report");
    EXPECT_EQ(Others(), std::vector<std::string>{"r.pdf"});  // no temporary left behind
    EXPECT_EQ(run.Out, "");  // no word of a finished report

    const ChildResult device = Report("/dev/full");
    EXPECT_EQ(device.ExitCode, 3) << device.Err;
    EXPECT_NE(device.Err.find("/dev/full"), std::string::npos) << device.Err;
}

// A folder the program may not create files in: one without write permission, or, for the
// superuser whom permissions do not bind, /sys. Refused before the run.
TEST_F(ReportFaults, AFolderThatTakesNoFileIsRefusedBeforeTheRun) {
    fs::create_directory(Path("locked"));
    fs::permissions(Path("locked"), fs::perms::owner_read | fs::perms::owner_exec);
    const fs::path folder = geteuid() == 0 ? fs::path("/sys") : fs::path(Path("locked"));
    const ChildResult run = Report((folder / "r.pdf").string());
    fs::permissions(Path("locked"), fs::perms::owner_all);
    EXPECT_EQ(run.ExitCode, 3) << run.Err;
    EXPECT_NE(run.Err.find("r.pdf"), std::string::npos) << run.Err;
    EXPECT_EQ(run.Out, "");  // nothing was computed
    EXPECT_FALSE(fs::exists(folder / "r.pdf"));
}

TEST_F(ReportFaults, AClosedOrFullOutputExitsThreeAndTheReportStaysWhole) {
    for (const ChildStream stream : {ChildStream::Closed, ChildStream::Full}) {
        ChildOptions options;
        options.StdoutIs = stream;
        const ChildResult run = Report(Path("r.pdf"), options);
        EXPECT_EQ(run.ExitCode, 3) << run.Err;
        EXPECT_NE(run.Err.find("стандартный вывод"), std::string::npos) << run.Err;
        const std::string pdf = zftest::ReadFile(Path("r.pdf"));
        EXPECT_TRUE(pdf.starts_with("%PDF-"));
        EXPECT_TRUE(pdf.ends_with("%%EOF\n"));
        EXPECT_EQ(pdf.find("расчет завершен: "), std::string::npos);  // the state line went nowhere near it
    }
}

TEST_F(ReportFaults, APathNamingTheScenarioIsRefusedBeforeTheRun) {
    fs::create_directory(Path("sub"));
    fs::create_symlink(Path("s.json"), Path("link.pdf"));
    fs::create_hard_link(Path("s.json"), Path("hard.pdf"));
    for (const std::string& pdf : {Path("s.json"), Path("link.pdf"), Path("hard.pdf"), Path("sub/../s.json")}) {
        const ChildResult run = Report(pdf);
        EXPECT_EQ(run.ExitCode, 2) << pdf << ": " << run.Err;
        EXPECT_NE(run.Err.find("это файл сценария"), std::string::npos) << run.Err;
        EXPECT_EQ(run.Out, "");
        EXPECT_EQ(zftest::ReadFile(Path("s.json")), kScenario);
    }
}

TEST_F(ReportFaults, AnEndlessScenarioIsRefusedPastSixteenMegabytes) {
    ChildOptions bounded;
#if !defined(__SANITIZE_ADDRESS__)  // the address sanitizer reserves more address space than that
    bounded.MemoryLimit = 1L << 30;
#endif
    const ChildResult run = Report(Path("r.pdf"), bounded, "/dev/zero");
    EXPECT_EQ(run.Signal, 0);
    EXPECT_EQ(run.ExitCode, 2) << run.Err;
    EXPECT_NE(run.Err.find("16 МБ"), std::string::npos) << run.Err;
    EXPECT_FALSE(fs::exists(Path("r.pdf")));
}

// A room named like the report's chart placeholder, markup in the title, a right-to-left
// override and a control character in names: all printed as typed, no chart added, and the
// captions after a right-to-left name read in their own direction.
TEST_F(ReportFaults, TypedTextIsPrintedLiterally) {
    ASSERT_EQ(Report(Path("plain.pdf")).ExitCode, 0);
    zftest::WriteFile(Path("typed.json"), R"({"SimTime": 60, "dt": 0.01, "title": "<b>Склад</b> &amp; @@chart 0 0 0@@",
        "rooms": [{"length": 5, "width": 4, "height": 3, "name": "\ue000chart 1 0 0\ue000"},
                  {"length": 6, "width": 5, "height": 3, "name": "\u202eЗеркало\u0007"}],
        "openings": [{"rooms": [1, 2], "height": 2, "width": 0.9, "open": true}]})");
    const ChildResult run = Report(Path("typed.pdf"), {}, Path("typed.json"));
    ASSERT_EQ(run.ExitCode, 0) << run.Err;
    EXPECT_EQ(Charts(Path("typed.pdf")), Charts(Path("plain.pdf")));
    const QString text = Flat(PdfText(QString::fromStdString(Path("typed.pdf"))));
    EXPECT_TRUE(text.contains(QStringLiteral("<b>Склад</b> &amp; @@chart 0 0 0@@"))) << text.toStdString();
    EXPECT_TRUE(text.contains(QStringLiteral("chart 1 0 0"))) << text.toStdString();
    // Every caption after the overridden name goes on left to right, as in the plain report.
    const QString plain = Flat(PdfText(QString::fromStdString(Path("plain.pdf"))));
    const QString caption = QStringLiteral(": График зависимости температуры газовой среды");
    EXPECT_EQ(text.count(caption), plain.count(caption)) << text.toStdString();
    EXPECT_TRUE(text.contains(QStringLiteral("Рисунок 6. Помещение №2 — "))) << text.toStdString();
}
