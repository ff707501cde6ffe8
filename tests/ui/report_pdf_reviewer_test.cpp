// The PDF report, continued: zonefire --report, and what a reviewer of the report asked for.
#include "report_pdf_fixture.h"

namespace {

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
    const qsizetype charts = text.lastIndexOf(QStringLiteral("4. Графики"));  // the section, after the contents
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

// A failed run's title page says what failed, with the value it came out with, and what to do,
// in the fault's own sentences (one full stop each).
TEST(ReportText, AFailedRunsStateNamesTheFaultsValueAndWhatToDo) {
    zf::TzoneMath zm;
    // McCaffrey's plume without heat release: 0 / 0 in step 1.
    ASSERT_EQ(zf::project::ReadScenario(R"({"plume": "mccaffrey", "Vlin": 0, "rooms": [{}, {}],
                                            "openings": [{"rooms": [1, 2]}]})", zm), std::nullopt);
    ASSERT_FALSE(zm.Run());
    const QString state = RunStateText(zm);
    EXPECT_TRUE(state.contains(QString::fromStdString(zf::DescribeFault(zm.LastFault)))) << state.toStdString();
    EXPECT_TRUE(state.contains(QStringLiteral("получено значение: не число"))) << state.toStdString();
    EXPECT_TRUE(state.contains(QStringLiteral("Проверьте параметры горючей нагрузки"))) << state.toStdString();
    EXPECT_FALSE(state.contains(QStringLiteral(".."))) << state.toStdString();
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
                                  QStringLiteral("Вывод по эвакуации"), QStringLiteral("5. Область применения и ограничения"), QStringLiteral("6. Проверка модели")};
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
