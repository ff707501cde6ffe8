// The PDF report read back as a reviewer's tools read it: its text extracted with pdftotext
// holds every room's blocking time and verdict as the summary shows them, one chart per room
// and per factor that reached its limit, drawn as vector graphics; a stopped run says so on the
// first page; the headless command writes it with the runner's exit codes.
#include "number_text.h"
#include "report_pdf_fixture.h"

namespace {

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
    // No picture in the file: the charts are lines and text.
    QProcess images;
    images.start(QStringLiteral("pdfimages"), {QStringLiteral("-list"), path});
    ASSERT_TRUE(images.waitForFinished(30000));
    const QStringList lines = QString::fromUtf8(images.readAllStandardOutput()).split('\n', Qt::SkipEmptyParts);
    EXPECT_EQ(lines.size(), 2) << lines.join('\n').toStdString();  // the header lines only
}

// The charts under their captions: no title of their own, axis titles with printed units, the
// working-zone height and each reached limit labelled with its value and unit.
TEST_F(ReportPdf, ChartsLabelTheirAxesAndLimitsWithPrintedUnits) {
    ASSERT_TRUE(zm.Run());
    const QString text = Flat(PdfText(Write()));
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
}

// The report ends with the model's limits and the validation's figures, whole: the charts'
// sizes set after the first layout must not leave the last pages out.
TEST_F(ReportPdf, EndsWithTheModelsLimitsAndTheValidationFigures) {
    ASSERT_TRUE(zm.Run());
    const QString text = Flat(PdfText(Write()));
    const qsizetype limits = text.lastIndexOf(QStringLiteral("Область применения и ограничения"));  // after the contents
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
    EXPECT_LT(first.indexOf(banner), first.indexOf(QStringLiteral("Объект")));
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


}  // namespace
