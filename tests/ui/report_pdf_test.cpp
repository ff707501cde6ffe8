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

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <sstream>

#include "../cli/subprocess.h"
#include "model_accuracy.h"
#include "model_notes.h"
#include "number_text.h"
#include "pdf_text.h"
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
        const QString failure = WriteReportPdf(path, zm, description);
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
        // On paper a room is "№1" (with its name, when it has one), which a narrow column keeps whole.
        const QString room = QStringLiteral("№%1").arg(i + 1);
        const QString blocking = QString::fromStdString(row.Extra[0]);
        const QString verdict = QString::fromStdString(row.Extra.back());
        ASSERT_TRUE(summary.Verdict.Rooms[i].BlockingTime.has_value()) << "room " << i + 1 << " reached no limit";
        // The verdict table's row: room, t_бл, the factor, t_нэ + t_р, f·t_бл, margin, verdict.
        QStringList cells{QRegularExpression::escape(room)};
        for (std::size_t c = 0; c < row.Extra.size(); ++c) {
            const QString cell = QString::fromStdString(row.Extra[c]);
            // The factor's words may wrap in their narrow column: its first word stands on the row.
            cells << (c == 1 ? QRegularExpression::escape(cell.section(QLatin1Char(' '), 0, 0)) + QStringLiteral("[^\\n]*?")
                             : QRegularExpression::escape(cell));
        }
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
    // The chart stands under its caption and repeats no title of its own.
    EXPECT_EQ(text.count(TF_ShowResult::ChartTitle(false, 2)), zm.RoomCount());
    // Axis titles with printed units; none of the window's "°K", "м2", "*" or trailing dots.
    for (const QString& title : {QStringLiteral("T2, К"), QStringLiteral("Yк, м"), QStringLiteral("t, с")})
        EXPECT_TRUE(text.contains(title)) << title.toStdString();
    for (const QString& wrong : {QStringLiteral("°K"), QStringLiteral("t, с."), QStringLiteral("кг/м3"), QStringLiteral("Вт*м")})
        EXPECT_FALSE(text.contains(wrong)) << wrong.toStdString();
    // The working-zone height on every interface-height chart, and each reached limit labelled
    // with its value and unit on its line.
    EXPECT_EQ(text.count(QStringLiteral("высота рабочей зоны hr = 1,7 м")), zm.RoomCount());
    const QString sep = QLocale().decimalPoint();
    const auto limitLabel = [&](zf::HazardKind k, const char* unit) {
        return QStringLiteral("критическое значение %1 %2")
            .arg(QString::fromStdString(zfreport::GeneralNumberText(zm.CritOf(k), sep.toStdString())), QString::fromUtf8(unit));
    };
    int temperatureCharts = 0, visibilityCharts = 0;
    for (int i = 0; i < zm.RoomCount(); ++i) {
        temperatureCharts += zm.Room(i).CritTimeOf(zf::hkTemperature) > 0;
        visibilityCharts += zm.Room(i).CritTimeOf(zf::hkVisibility) > 0;
    }
    ASSERT_GT(temperatureCharts + visibilityCharts, 0);
    EXPECT_EQ(text.count(limitLabel(zf::hkTemperature, "К")), temperatureCharts);
    EXPECT_EQ(text.count(limitLabel(zf::hkVisibility, "м")), visibilityCharts);

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
    QStringList paragraphs = ModelAccuracyNotes();
    paragraphs << ModelAccuracyIntro();
    for (const std::string& p : zfreport::ModelLimitsParagraphs()) paragraphs << QString::fromStdString(p);
    for (const QString& paragraph : paragraphs) {
        const QString flat = Flat(paragraph).replace(QChar(0x00A0), QLatin1Char(' '));
        // The paragraph's first and last words, which a line break cannot split.
        EXPECT_TRUE(tail.contains(flat.left(30))) << flat.left(30).toStdString();
        EXPECT_TRUE(tail.contains(flat.right(20))) << flat.right(20).toStdString();
    }
    // The figures as a table, row by row as the table lays them out; a scatter of 0 in words.
    const QString laidOut = PdfText(Write(QStringLiteral("again.pdf")), true);
    const auto table = ModelAccuracyTable();
    ASSERT_GT(table.size(), 1u);
    for (std::size_t r = 1; r < table.size(); ++r) {
        const auto& row = table[r];
        EXPECT_TRUE(laidOut.contains(QRegularExpression(QRegularExpression::escape(row[1]) + QStringLiteral("\\s+") +
                                                        QRegularExpression::escape(row[2]))))
            << row[0].toStdString();
    }
    EXPECT_FALSE(tail.contains(QStringLiteral("0,00"))) << "a scatter that reads like a fault";
    EXPECT_TRUE(tail.contains(QStringLiteral("в пределах погрешности опытов")));
    // The report stands on its own: no pointer into the program's source texts.
    EXPECT_FALSE(tail.contains(QStringLiteral("validation/REPORT.md")));
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
    // The banner the windows show, first of all.
    const zfreport::RunReach reach = zfreport::RunReachOf(zm);
    const QString banner = QString::fromStdString(zfreport::RunEndBanner(reach, FormatGeneral(reach.Time).toStdString()));
    ASSERT_TRUE(banner.startsWith(QStringLiteral("Расчет остановлен на "))) << banner.toStdString();
    EXPECT_TRUE(first.contains(banner)) << first.toStdString();
    EXPECT_LT(first.indexOf(banner), first.indexOf(QStringLiteral("Здание:")));
    const QString sha = QString::fromLatin1(QCryptographicHash::hash(description.FileBytes, QCryptographicHash::Sha256).toHex());
    EXPECT_TRUE(first.contains(sha)) << first.toStdString();
}

// People who would be out in 2 s are judged "безопасно" only by a run that ran its course: the
// stopped run's report gives "не определено" with the time it stopped at.
TEST_F(ReportPdf, AStoppedRunGivesNoVerdictButItsReason) {
    StopAtFirstRefresh view;
    ASSERT_TRUE(zm.Run(view));
    ASSERT_TRUE(zm.Stopped);
    description.Evacuation.Rooms = {zfreport::EvacuationInput{1, 1}, zfreport::EvacuationInput{1, 1}};
    const QString text = Flat(PdfText(Write()).replace(QChar(0x00A0), QLatin1Char(' ')));
    const std::string reason = zfreport::RunShortfall(zfreport::RunReachOf(zm));
    ASSERT_TRUE(reason.starts_with("расчет остановлен на ")) << reason;
    EXPECT_TRUE(text.contains(QString::fromStdString("Вывод по зданию: не определено — " + reason))) << text.toStdString();
    EXPECT_FALSE(text.contains(QStringLiteral("Вывод по зданию: безопасно"))) << text.toStdString();
}

TEST_F(ReportPdf, AnUnwritablePlaceLeavesNoFileAndSaysWhy) {
    ASSERT_TRUE(zm.Run());
    const QString path = dir.filePath(QStringLiteral("missing/report.pdf"));
    const QString failure = WriteReportPdf(path, zm, description);
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

// ---- What a reviewer of the report asked for -------------------------------------------------

// The title page says what was computed: a run of 120 s at 0,01 s computes steps 1 … 11 999
// (step 0 is the initial state), the last at 119,99 s; "12000 шагов, 120 с" would be wrong by
// one. The building's verdict names the rooms it does not cover, and the model's measured
// error for the governing factors stands next to it.
TEST_F(ReportPdf, TitlePageGivesTheStepsComputedAndTheVerdictsScope) {
    ASSERT_TRUE(zm.Run());
    description.Evacuation.Rooms = {zfreport::EvacuationInput{1, 2}};  // room 2 has no inputs
    const QString path = Write();
    const QString first = Flat(PdfText(path, false, 1, 1).replace(QChar(0x00A0), QLatin1Char(' ')));
    EXPECT_TRUE(first.contains(QStringLiteral("расчет завершен: 11 999 шагов по 0,01 с, до 119,99 с"))) << first.toStdString();
    EXPECT_TRUE(first.contains(QStringLiteral("не проверены (время эвакуации не задано): №2"))) << first.toStdString();
    const QString text = Flat(PdfText(path).replace(QChar(0x00A0), QLatin1Char(' ')));
    const QString laidOut = PdfText(path, true);
    EXPECT_TRUE(laidOut.contains(QRegularExpression(QStringLiteral("\\n\\s*№2\\s.*не проверено\\s*\\n")))) << laidOut.toStdString();
    // Between the verdict and the charts: the direction of the error for this run's factors.
    const qsizetype verdict = text.indexOf(QStringLiteral("Вывод по эвакуации"));
    const qsizetype charts = text.indexOf(QStringLiteral("4. Графики"));
    ASSERT_GE(verdict, 0);
    ASSERT_GT(charts, verdict);
    const QString results = text.mid(verdict, charts - verdict);
    const zfreport::RunVerdict run = zfreport::JudgeRun(zm, description.Evacuation);
    std::vector<zf::HazardKind> governing;
    for (const auto& room : run.Rooms)
        for (zf::HazardKind k : room.BlockingFactors)
            if (std::find(governing.begin(), governing.end(), k) == governing.end()) governing.push_back(k);
    std::sort(governing.begin(), governing.end());
    const QString direction = ErrorDirectionText(governing, zm.UseTanaka);
    ASSERT_FALSE(direction.isEmpty());
    EXPECT_TRUE(results.contains(Flat(direction).replace(QChar(0x00A0), QLatin1Char(' ')).left(120))) << results.toStdString();
}

TEST(ReportText, StepCountsReadAsRussianWritesThem) {
    const std::pair<long long, const char*> words[] = {{1, "1 шаг"},     {2, "2 шага"},       {4, "4 шага"},
                                                       {5, "5 шагов"},   {11, "11 шагов"},    {14, "14 шагов"},
                                                       {21, "21 шаг"},   {112, "112 шагов"},  {1004, "1004 шага"},
                                                       {9999, "9999 шагов"}, {19999, "19 999 шагов"}, {1234561, "1 234 561 шаг"}};
    for (const auto& [n, expected] : words) {
        QString text = GroupedCount(n) + QLatin1Char(' ') + StepsWord(n);
        EXPECT_EQ(text.replace(QChar(0x00A0), QLatin1Char(' ')), QString::fromUtf8(expected)) << n;
    }
}

// Under a process locale with the decimal point (LANG=C), the report still writes 0,9 and the
// critical times with the comma, its charts' axes included.
TEST_F(ReportPdf, NumbersTakeTheDecimalCommaWhateverTheProcessLocale) {
    ASSERT_TRUE(zm.Run());
    const QLocale before;
    QLocale::setDefault(QLocale::c());
    const QString path = Write();
    const QLocale during;
    QLocale::setDefault(before);
    EXPECT_EQ(during, QLocale::c());  // the report puts the process's locale back
    QString text = Flat(PdfText(path));
    EXPECT_TRUE(text.contains(QStringLiteral("0,9 × 2"))) << "the doorway";
    const zfreport::VerdictSummary summary = zfreport::SummaryWithVerdict(zm, {}, ",");
    int commas = 0;
    for (const auto& row : summary.Table.Rows) {
        EXPECT_TRUE(text.contains(QString::fromStdString(row.Extra[0]))) << row.Extra[0];
        commas += row.Extra[0].find(',') != std::string::npos;
    }
    EXPECT_GT(commas, 0);
    // No number with a point anywhere: the program's version and the date are the only
    // dotted figures a report holds.
    text.remove(ProgramVersion());
    text.remove(QRegularExpression(QStringLiteral("\\d\\d\\.\\d\\d\\.\\d{4}")));
    const QRegularExpression point(QStringLiteral("\\d\\.\\d"));
    EXPECT_FALSE(text.contains(point)) << text.mid(std::max<qsizetype>(0, text.indexOf(point) - 80), 160).toStdString();
}

// The gaps of each room's enclosure are listed with their width × height; a building without
// openings says in plain words that only those gaps let gas through.
TEST_F(ReportPdf, LeakOpeningsAreListedWithTheirSizesAndNamedRoomsWithTheirNames) {
    ASSERT_TRUE(zm.Run());
    description.RoomNames = {QStringLiteral("Кабинет")};
    const QString laidOut = PdfText(Write(), true);
    // 0,3·(5 + 4) = 2,7 m and 0,3·(6 + 5) = 3,3 m wide, 0,2 m high; a gap, not a "closed" opening.
    EXPECT_TRUE(laidOut.contains(QRegularExpression(QStringLiteral("\\n\\s*№1\\s+Кабинет\\s+2,7 × 0,2\\s*\\n"))))
        << laidOut.toStdString();
    EXPECT_TRUE(laidOut.contains(QRegularExpression(QStringLiteral("\\n\\s*№2\\s+3,3 × 0,2\\s*\\n"))));
    EXPECT_TRUE(Flat(laidOut).contains(QStringLiteral("Рисунок 1. Помещение №1 — Кабинет:"))) << laidOut.toStdString();

    zf::TzoneMath closed;
    ASSERT_EQ(zf::project::ReadScenario(R"({"SimTime": 5, "rooms": [{"length": 3, "width": 3, "height": 3}]})", closed),
              std::nullopt);
    ASSERT_TRUE(closed.Run());
    const QString path = dir.filePath(QStringLiteral("closed.pdf"));
    ASSERT_TRUE(WriteReportPdf(path, closed, {}).isEmpty());
    EXPECT_TRUE(Flat(PdfText(path)).contains(
        QStringLiteral("Проемов между помещениями и наружу нет (учтены только неплотности ограждений).")));
    EXPECT_TRUE(PdfText(path, true).contains(QRegularExpression(QStringLiteral("\\n\\s*№1\\s+1,8 × 0,2\\s*\\n"))));
}

// No page is left holding a line or two: a heading goes with what follows it, a paragraph is
// not split, and only the inputs start a page of their own. (Text drawn twice, once clipped,
// would also make a page look fuller to pdftotext than it is: the text must come once.)
TEST_F(ReportPdf, NoPageButTheLastIsNearlyEmpty) {
    ASSERT_TRUE(zm.Run());
    description.Evacuation.Rooms = {zfreport::EvacuationInput{5, 15}, zfreport::EvacuationInput{30, 200}};
    const QString path = Write();
    const QString whole = Flat(PdfText(path));
    const QString condition = QStringLiteral("Условие безопасной эвакуации");
    EXPECT_EQ(whole.count(condition), 1);
    const QStringList pages = PdfText(path).split(QLatin1Char('\f'), Qt::SkipEmptyParts);
    ASSERT_GT(pages.size(), 3);
    const QStringList headings = {QStringLiteral("1. Исходные данные"), QStringLiteral("Время эвакуации"),
                                  QStringLiteral("2. Здание"), QStringLiteral("Проемы"),
                                  QStringLiteral("Неплотности ограждений"), QStringLiteral("3. Результаты"),
                                  QStringLiteral("Вывод по эвакуации"), QStringLiteral("5. Модель и ее ограничения")};
    for (qsizetype p = 0; p + 1 < pages.size(); ++p) {
        // The footer alone is some 80 characters; a page of charts has their titles and captions.
        EXPECT_GT(Flat(pages[p]).size(), 300) << "page " << p + 1 << ": " << pages[p].toStdString();
        // A heading has something of its own below it on its page, not only the footer.
        const QStringList lines = pages[p].split(QLatin1Char('\n'), Qt::SkipEmptyParts);
        for (qsizetype i = 0; i < lines.size(); ++i) {
            if (!headings.contains(lines[i].trimmed())) continue;
            bool followed = false;
            for (qsizetype j = i + 1; j < lines.size(); ++j)
                followed |= !lines[j].contains(QStringLiteral("SHA-256")) && !lines[j].contains(QStringLiteral("стр. "));
            EXPECT_TRUE(followed) << "page " << p + 1 << " ends with " << lines[i].toStdString();
        }
    }
}

}  // namespace
