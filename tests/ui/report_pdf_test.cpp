// The PDF report read back as a reviewer's tools read it: its text extracted with pdftotext
// holds every room's blocking time and verdict as the summary shows them, one chart per room
// and per factor that reached its limit, drawn as vector graphics; a stopped run says so on the
// first page; the headless command writes it with the runner's exit codes.
#include <gtest/gtest.h>

#include <QCryptographicHash>
#include <QDir>
#include <QFile>
#include <QLocale>
#include <QProcess>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QToolButton>

#include <filesystem>
#include <fstream>
#include <sstream>

#include "../cli/subprocess.h"
#include "model_accuracy.h"
#include "report_pdf.h"
#include "project/scenario_file.h"
#include "u_ShowResult.h"
#include "number_format.h"
#include "verdict_table.h"

namespace {

// Two rooms of the whole-model check at a coarse step, long enough for several limits.
const char* const kTwoRooms = R"({"SimTime": 120, "dt": 0.01,
    "rooms": [{"length": 5, "width": 4, "height": 3}, {"length": 6, "width": 5, "height": 3}],
    "openings": [{"rooms": [1, 2], "height": 2, "width": 0.9, "open": true}]})";

// The text of the pages first..last (0: to the end) as pdftotext gives it.
QString PdfText(const QString& pdf, bool layout = false, int first = 1, int last = 0) {
    QProcess p;
    QStringList args{QStringLiteral("-enc"), QStringLiteral("UTF-8"), QStringLiteral("-f"), QString::number(first)};
    if (last > 0) args << QStringLiteral("-l") << QString::number(last);
    if (layout) args << QStringLiteral("-layout");
    args << pdf << QStringLiteral("-");
    p.start(QStringLiteral("pdftotext"), args);
    EXPECT_TRUE(p.waitForFinished(30000));
    EXPECT_EQ(p.exitCode(), 0) << "pdftotext (poppler-utils) is needed: " << p.readAllStandardError().toStdString();
    return QString::fromUtf8(p.readAllStandardOutput());
}

// Words joined by single spaces, so a caption broken across lines reads whole.
QString Flat(QString text) { return text.replace(QRegularExpression(QStringLiteral("\\s+")), QStringLiteral(" ")); }

class ReportPdf : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(dir.isValid());
        ASSERT_EQ(zf::project::ReadScenario(kTwoRooms, zm), std::nullopt);
        description.FileName = QStringLiteral("two_rooms.json");
        description.FileBytes = QByteArray(kTwoRooms);
    }
    QString Write(const QString& name = QStringLiteral("report.pdf")) {
        const QString path = dir.filePath(name);
        const QString failure = WriteReportPdf(path, zm, description, charts);
        EXPECT_TRUE(failure.isEmpty()) << failure.toStdString();
        return path;
    }

    QTemporaryDir dir;
    zf::TzoneMath zm;
    ScenarioDescription description;
    TF_ShowResult charts;
};

TEST_F(ReportPdf, HoldsEveryRoomsBlockingTimeAndVerdictAsTheSummaryShowsThem) {
    ASSERT_TRUE(zm.Run());
    // Room 1 leaves in 20 s, room 2 needs far longer than any blocking time allows.
    description.Evacuation.Rooms = {zfreport::EvacuationInput{5, 15}, zfreport::EvacuationInput{30, 200}};
    const QString path = Write();
    const QString text = Flat(PdfText(path));
    const QString laidOut = PdfText(path, true);  // table rows stay lines
    const zfreport::VerdictSummary summary =
        zfreport::SummaryWithVerdict(zm, description.Evacuation, QLocale().decimalPoint().toStdString());
    ASSERT_EQ(summary.Table.Rows.size(), 2u);
    for (std::size_t i = 0; i < summary.Table.Rows.size(); ++i) {
        const auto& row = summary.Table.Rows[i];
        const QString room = QString::fromStdString(row.Room);
        const QString blocking = QString::fromStdString(row.Extra[0]);
        const QString verdict = QString::fromStdString(row.Extra.back());
        ASSERT_TRUE(summary.Verdict.Rooms[i].BlockingTime.has_value()) << "room " << i + 1 << " reached no limit";
        // The verdict table's row: room, t_бл, the factor, t_нэ + t_р, f·t_бл, margin, verdict.
        QStringList cells{QRegularExpression::escape(room)};
        for (const std::string& cell : row.Extra) cells << QRegularExpression::escape(QString::fromStdString(cell));
        const QRegularExpression line(cells.join(QStringLiteral("\\s+")));
        EXPECT_TRUE(laidOut.contains(line)) << line.pattern().toStdString() << "\n" << laidOut.toStdString();
        EXPECT_TRUE(text.contains(blocking)) << blocking.toStdString();
        EXPECT_TRUE(verdict == QStringLiteral("безопасно") || verdict == QStringLiteral("опасно")) << verdict.toStdString();
    }
    EXPECT_EQ(summary.Verdict.Rooms[1].Outcome, zfreport::Verdict::Unsafe);
    EXPECT_TRUE(text.contains(QString::fromStdString(summary.BuildingLine))) << summary.BuildingLine;
}

TEST_F(ReportPdf, OneVectorChartPerRoomForTemperatureLayerHeightAndEachReachedFactor) {
    ASSERT_TRUE(zm.Run());
    const QString path = Write();
    const QString text = Flat(PdfText(path));
    int expected = 0;
    for (int i = 0; i < zm.RoomCount(); ++i) {
        int reached = 0;
        for (int k = 0; k < zf::kHazardCount; ++k) {
            const double t = zm.Room(i).CritTimeOf(static_cast<zf::HazardKind>(k));
            if (t == 0) continue;
            ++reached;
            // Its caption names the room, the factor's chart and the critical time.
            const QString caption = QStringLiteral("Помещение №%1: %2; критическое значение достигнуто на %3 с")
                                        .arg(i + 1)
                                        .arg(TF_ShowResult::ChartTitle(true, k), QString::fromStdString(zfreport::GeneralNumberText(t, QLocale().decimalPoint().toStdString())));
            EXPECT_TRUE(text.contains(caption)) << caption.toStdString();
        }
        EXPECT_GT(reached, 0) << "room " << i + 1;
        expected += 2 + reached;  // layer temperature and height, then the factors
    }
    const auto figures = text.count(QRegularExpression(QStringLiteral("Рисунок \\d+\\. Помещение №")));
    EXPECT_EQ(figures, expected);
    // Each chart draws its own title as text: two occurrences, caption and chart, per chart.
    EXPECT_EQ(text.count(TF_ShowResult::ChartTitle(false, 2)), 2 * zm.RoomCount());

    // No picture in the file: the charts are lines and text.
    QProcess images;
    images.start(QStringLiteral("pdfimages"), {QStringLiteral("-list"), path});
    ASSERT_TRUE(images.waitForFinished(30000));
    const QStringList lines = QString::fromUtf8(images.readAllStandardOutput()).split('\n', Qt::SkipEmptyParts);
    EXPECT_EQ(lines.size(), 2) << lines.join('\n').toStdString();  // the header lines only
}

// The report ends with the model's limits and the validation's figures, whole: the charts'
// sizes set after the first layout must not leave the last pages out.
TEST_F(ReportPdf, EndsWithTheModelsLimitsAndTheValidationFigures) {
    ASSERT_TRUE(zm.Run());
    const QString text = Flat(PdfText(Write()));
    const qsizetype limits = text.indexOf(QStringLiteral("Модель и ее ограничения"));
    ASSERT_GE(limits, 0);
    const QString tail = text.mid(limits);
    for (const QString& paragraph : ModelLimitsText().split(QStringLiteral("\n\n"), Qt::SkipEmptyParts)) {
        const QString flat = Flat(paragraph);
        // The paragraph's first and last words, which a line break cannot split.
        EXPECT_TRUE(tail.contains(flat.left(30))) << flat.left(30).toStdString();
        EXPECT_TRUE(tail.contains(flat.right(20))) << flat.right(20).toStdString();
    }
    EXPECT_TRUE(tail.contains(QStringLiteral("validation/REPORT.md")));
}

// The run stops at its first refresh: the clock jumps past the refresh interval at every step.
std::int64_t FastClock() {
    static std::int64_t now = 0;
    return now += 250;
}
class StopAtFirstRefresh : public zf::RunView {
public:
    StopAtFirstRefresh() { TickMs = &FastClock; }
    bool ProgressVisible() override { return false; }
};

TEST_F(ReportPdf, AStoppedRunSaysSoOnTheFirstPage) {
    StopAtFirstRefresh view;
    ASSERT_TRUE(zm.Run(view));
    ASSERT_TRUE(zm.Stopped);
    const QString path = Write();
    const QString first = Flat(PdfText(path, false, 1, 1));
    EXPECT_TRUE(first.contains(QStringLiteral("расчет остановлен пользователем на шаге %1").arg(zm.Iter)))
        << first.toStdString();
    EXPECT_TRUE(first.contains(QStringLiteral("SHA-256")));
    const QString sha = QString::fromLatin1(QCryptographicHash::hash(description.FileBytes, QCryptographicHash::Sha256).toHex());
    EXPECT_TRUE(first.contains(sha)) << first.toStdString();
}

TEST_F(ReportPdf, AnUnwritablePlaceLeavesNoFileAndSaysWhy) {
    ASSERT_TRUE(zm.Run());
    const QString path = dir.filePath(QStringLiteral("missing/report.pdf"));
    const QString failure = WriteReportPdf(path, zm, description, charts);
    EXPECT_FALSE(failure.isEmpty());
    EXPECT_TRUE(failure.contains(path)) << failure.toStdString();
    EXPECT_FALSE(QFile::exists(path));
}

// The results window's "Отчет..." asks where to save and writes the report of the scenario
// shown, its name taken from the scenario file's.
TEST_F(ReportPdf, TheResultsWindowsButtonSavesTheReport) {
    ASSERT_TRUE(zm.Run());
    QString suggested;
    const QString chosen = dir.filePath(QStringLiteral("from_window"));  // no suffix: .pdf is added
    charts.SetSavePathAsker([&](const QString&, const QString& name, const QStringList&, QString*) {
        suggested = name;
        return chosen;
    });
    QString error;
    charts.SetErrorReporter([&](const QString& message) { error = message; });
    charts.SetDescription(description);
    charts.show();
    charts.PrepareResults(zm);
    charts.findChild<QToolButton*>(QStringLiteral("btnReport"))->click();
    EXPECT_EQ(suggested, QStringLiteral("two_rooms.pdf"));
    EXPECT_TRUE(error.isEmpty()) << error.toStdString();
    EXPECT_TRUE(Flat(PdfText(chosen + QStringLiteral(".pdf"), false, 1, 1)).contains(QStringLiteral("расчет завершен")));
    charts.hide();
}

// ---- zonefire --report ------------------------------------------------------------------------

TEST(ReportCommand, WritesTheReportWithoutADisplayAndTheRunnersExitCodes) {
    QTemporaryDir dir;
    const std::string scenario = dir.filePath(QStringLiteral("two.json")).toStdString();
    std::ofstream(scenario) << kTwoRooms;
    const std::string pdf = dir.filePath(QStringLiteral("out.pdf")).toStdString();
    // No display and no platform named: the command picks its platform itself.
    const QByteArray platform = qgetenv("QT_QPA_PLATFORM"), display = qgetenv("DISPLAY");
    qunsetenv("QT_QPA_PLATFORM");
    qunsetenv("DISPLAY");
    const ChildResult run = RunChild(ZONEFIRE_APP, {"--report", pdf, scenario});
    if (!platform.isEmpty()) qputenv("QT_QPA_PLATFORM", platform);
    if (!display.isEmpty()) qputenv("DISPLAY", display);
    ASSERT_EQ(run.ExitCode, 0) << run.Err;
    const QString text = Flat(PdfText(QString::fromStdString(pdf), false, 1, 1));
    EXPECT_TRUE(text.contains(QStringLiteral("расчет завершен"))) << text.toStdString();
    EXPECT_TRUE(text.contains(QStringLiteral("two.json")));

    std::ofstream(scenario) << R"({"dt": -1})";
    const std::string refused = dir.filePath(QStringLiteral("refused.pdf")).toStdString();
    const ChildResult bad = RunChild(ZONEFIRE_APP, {"--report", refused, scenario});
    EXPECT_EQ(bad.ExitCode, 2);
    EXPECT_NE(bad.Err.find("dt"), std::string::npos) << bad.Err;
    EXPECT_FALSE(std::filesystem::exists(refused));

    const ChildResult usage = RunChild(ZONEFIRE_APP, {"--report", pdf});
    EXPECT_EQ(usage.ExitCode, 2);
    EXPECT_NE(usage.Err.find("--report"), std::string::npos) << usage.Err;
}

}  // namespace
