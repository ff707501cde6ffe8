// The study's PDF report read back as a reviewer reads it: its figures are the study summary's,
// no two words of a page lie on each other, tables and figures are numbered in order, and
// zonefire-cli study-report writes it or refuses what is not a study's folder.
#include <gtest/gtest.h>

#include <QLocale>
#include <QPushButton>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <filesystem>
#include <fstream>

#include <nlohmann/json.hpp>

#include "../cli/subprocess.h"
#include "../cli/test_files.h"
#include "pdf_text.h"
#include "study_window.h"

namespace fs = std::filesystem;
using nlohmann::json;

namespace {

// A word of a PDF page and its box [pt], as pdftotext -bbox-layout finds it.
struct Word {
    int Page = 0;
    double Left = 0, Top = 0, Right = 0, Bottom = 0;
    QString Text;
};

std::vector<Word> WordsOf(const QString& pdf) {
    QProcess p;
    p.start(QStringLiteral("pdftotext"), {QStringLiteral("-bbox-layout"), pdf, QStringLiteral("-")});
    EXPECT_TRUE(p.waitForFinished(30000));
    const QString xml = QString::fromUtf8(p.readAllStandardOutput());
    static const QRegularExpression tag(QStringLiteral(
        "<page |<word xMin=\"([\\d.]+)\" yMin=\"([\\d.]+)\" xMax=\"([\\d.]+)\" yMax=\"([\\d.]+)\">([^<]*)</word>"));
    std::vector<Word> words;
    int page = 0;
    for (auto it = tag.globalMatch(xml); it.hasNext();) {
        const QRegularExpressionMatch m = it.next();
        if (m.captured(0).startsWith(QStringLiteral("<page"))) ++page;
        else words.push_back({page, m.captured(1).toDouble(), m.captured(2).toDouble(), m.captured(3).toDouble(), m.captured(4).toDouble(), m.captured(5)});
    }
    return words;
}

// The hall's escape route with N, f and t_нэ varied (examples/study/hall_route_study.json), in
// fewer runs, computed and reported by zonefire-cli.
class StudyReport : public testing::Test {
protected:
    static void SetUpTestSuite() {
        dir_ = new zftest::TempDir;
        std::string study = zftest::ReadFile(fs::path(ZONEFIRE_EXAMPLES) / "study" / "hall_route_study.json");
        study.replace(study.find("\"runs\": 100"), 11, "\"runs\": 24");
        zftest::WriteFile(*dir_ / "study.json", study);
        const ChildResult run = RunChild(ZONEFIRE_CLI, {"study", (*dir_ / "study.json").string(), "--out", Out(), "--quiet"});
        ASSERT_EQ(run.ExitCode, 0) << run.Err;
        const ChildResult report = RunChild(ZONEFIRE_CLI, {"study-report", Out(), Pdf()});
        ASSERT_EQ(report.ExitCode, 0) << report.Err;
    }
    static void TearDownTestSuite() { delete dir_; }
    static std::string Out() { return (*dir_ / "out").string(); }
    static std::string Pdf() { return (*dir_ / "report.pdf").string(); }
    static json Summary() { return json::parse(zftest::ReadFile(fs::path(Out()) / "summary.json")); }
    // The report's text from `from` to the next `to`, rows on their lines, words apart by one space.
    static QString Between(const QString& from, const QString& to, bool layout = true) {
        const QString text = Flat(PdfText(QString::fromStdString(Pdf()), layout));
        const qsizetype start = text.indexOf(from);
        EXPECT_GE(start, 0) << from.toStdString();
        return text.mid(start, text.indexOf(to, start + from.size()) - start);
    }
    static inline zftest::TempDir* dir_ = nullptr;
};

QString Fixed(const json& v, int decimals) { return QLocale(QLocale::Russian).toString(v.get<double>(), 'f', decimals); }

}  // namespace

TEST_F(StudyReport, BlockingTimeFiguresAreTheSummarys) {
    const json summary = Summary();
    EXPECT_TRUE(Between(QStringLiteral("Таблица 1"), QStringLiteral("Таблица 2")).contains(QStringLiteral("Расчетов выполнено 24 Из них завершено 24")));
    for (int r = 0; r < 2; ++r) {
        const json& b = summary["rooms"][r]["blocking_time"];
        const QString table = Between(QStringLiteral("Время блокирования, помещение №%1").arg(r + 1), QStringLiteral("Рисунок"));
        EXPECT_TRUE(table.contains(QStringLiteral("Среднее ") + Fixed(b["mean"], 1))) << table.toStdString();
        EXPECT_TRUE(table.contains(QStringLiteral("5-й процентиль ") + Fixed(b["p5"], 1))) << table.toStdString();
        EXPECT_TRUE(table.contains(QStringLiteral("50-й процентиль (медиана) ") + Fixed(b["p50"], 1))) << table.toStdString();
        EXPECT_TRUE(table.contains(QStringLiteral("95-й процентиль ") + Fixed(b["p95"], 1))) << table.toStdString();
    }
}

TEST_F(StudyReport, RouteFiguresAndVerdictCountsAreTheSummarys) {
    const json route = Summary()["routes"][0];
    const json &t = route["evacuation_time"], &p = route["probability"];
    const QString table = Between(QStringLiteral("Время эвакуации и вероятность эвакуации, Путь 1 «Зал»"), QStringLiteral("Таблица"));
    for (const char* key : {"mean", "sd", "p5", "p95", "min", "max"}) {
        const QString name = QString::fromUtf8(key == std::string("mean") ? "Среднее" : key == std::string("sd") ? "Стандартное отклонение"
                                                 : key == std::string("p5") ? "5-й процентиль" : key == std::string("p95") ? "95-й процентиль"
                                                 : key == std::string("min") ? "Наименьшее" : "Наибольшее");
        EXPECT_TRUE(table.contains(name + " " + Fixed(t[key], 1) + " " + Fixed(p[key], 3))) << key << "\n" << table.toStdString();
    }
    EXPECT_TRUE(table.contains(QStringLiteral("Число значений %1 %2").arg(t["count"].get<int>()).arg(p["count"].get<int>())));
    const QString verdicts = Between(QStringLiteral("Вывод об эвакуации, Путь 1"), QStringLiteral("Рисунок"));
    EXPECT_TRUE(verdicts.contains(QStringLiteral("«опасно» %1").arg(route["verdict"]["unsafe"].get<int>()))) << verdicts.toStdString();
    EXPECT_TRUE(verdicts.contains(QStringLiteral("Без вывода, всего из 24 выполненных %1").arg(route["runs_without_verdict"].get<int>())))
        << verdicts.toStdString();
}

TEST_F(StudyReport, InputsDrawnValuesCountEveryCompletedRun) {
    const QString inputs = Between(QStringLiteral("Таблица 2 — Изменяемые входные данные"), QStringLiteral("Рисунок 1"));
    int counted = 0;
    static const QRegularExpression count(QStringLiteral("(?:20|40|60|80|100|120) — (\\d+)"));
    for (auto it = count.globalMatch(inputs.section(QStringLiteral("projection"), 0, 0)); it.hasNext();) counted += it.next().captured(1).toInt();
    EXPECT_EQ(counted, 24) << inputs.toStdString();
    const QString laws = Between(QStringLiteral("Таблица 2 — Изменяемые входные данные"), QStringLiteral("Рисунок 1"), false);
    EXPECT_TRUE(laws.contains(QStringLiteral("выбор из: 0,1 (вес 1), 0,125 (вес 1) 0,1 — 12; 0,125 — 12"))) << laws.toStdString();
    EXPECT_TRUE(Flat(PdfText(QString::fromStdString(Pdf()))).contains(
        QStringLiteral("Рисунок 1 — Гистограмма разыгранных значений evacuation_routes[1].start_delay")));
}

TEST_F(StudyReport, TablesAndFiguresAreNumberedInOrderAndReferenced) {
    const QString text = Flat(PdfText(QString::fromStdString(Pdf())));
    for (const QString& kind : {QStringLiteral("Таблица"), QStringLiteral("Рисунок")}) {
        int expected = 0;
        for (auto it = QRegularExpression(kind + QStringLiteral(" (\\d+) —")).globalMatch(text); it.hasNext();)
            EXPECT_EQ(it.next().captured(1).toInt(), ++expected) << kind.toStdString();
        EXPECT_GE(expected, 6) << kind.toStdString();
    }
    EXPECT_TRUE(text.contains(QStringLiteral("Распределение — в таблице 3 и на рисунках 2 и 3. Таблица 3 — Время блокирования, помещение №1")))
        << text.toStdString();
}

TEST_F(StudyReport, NoTwoWordsOverlapOnAnyPage) {
    const std::vector<Word> words = WordsOf(QString::fromStdString(Pdf()));
    ASSERT_GT(words.size(), 300u);
    QStringList overlaps;
    for (std::size_t i = 0; i < words.size(); ++i)
        for (std::size_t j = i + 1; j < words.size() && words[j].Page == words[i].Page; ++j) {
            const Word &a = words[i], &b = words[j];
            if (std::min(a.Right, b.Right) - std::max(a.Left, b.Left) > 0.5 && std::min(a.Bottom, b.Bottom) - std::max(a.Top, b.Top) > 0.5)
                overlaps << QStringLiteral("стр. %1: «%2» и «%3»").arg(a.Page).arg(a.Text, b.Text);
        }
    EXPECT_TRUE(overlaps.isEmpty()) << overlaps.join(QLatin1Char('\n')).toStdString();
}

TEST_F(StudyReport, TheStudyWindowWritesTheSameReport) {
    StudyWindow window;
    auto* button = window.findChild<QPushButton*>(QStringLiteral("BStudyReport"));
    ASSERT_NE(button, nullptr);
    EXPECT_FALSE(button->isEnabled());
    ASSERT_EQ(window.OpenStudy(QString::fromStdString(Out() + "/summary.json")), std::nullopt);
    EXPECT_TRUE(button->isEnabled());
    const QString path = QString::fromStdString((*dir_ / "window.pdf").string());
    ASSERT_EQ(window.WriteReport(path), QString());
    // The same pages but for the time of writing.
    const QRegularExpression made(QStringLiteral("\\d\\d\\.\\d\\d\\.\\d{4} \\d\\d:\\d\\d"));
    EXPECT_EQ(PdfText(path).remove(made), PdfText(QString::fromStdString(Pdf())).remove(made));
}

// ---- zonefire-cli study-report refuses what it cannot report ------------------------------

struct BadReport {
    const char* Name;
    std::function<std::vector<std::string>(const zftest::TempDir&)> Args;  // after "study-report"
    int ExitCode;
    std::string Said;
};

void PrintTo(const BadReport& c, std::ostream* os) { *os << c.Name; }

class StudyReportRefused : public testing::TestWithParam<BadReport> {};

TEST_P(StudyReportRefused, WithItsReasonAndNoFile) {
    zftest::TempDir tmp;
    fs::create_directories(tmp / "empty");
    const ChildResult run = RunChild(ZONEFIRE_CLI, [&] {
        std::vector<std::string> args{"study-report"};
        for (const std::string& a : GetParam().Args(tmp)) args.push_back(a);
        return args;
    }());
    EXPECT_EQ(run.ExitCode, GetParam().ExitCode) << run.Err;
    EXPECT_NE(run.Err.find(GetParam().Said), std::string::npos) << run.Err;
    EXPECT_FALSE(fs::exists(tmp / "r.pdf"));
}

INSTANTIATE_TEST_SUITE_P(
    Cases, StudyReportRefused,
    testing::Values(BadReport{"NoOutputNamed", [](const zftest::TempDir& t) { return std::vector<std::string>{(t / "empty").string()}; }, 2,
                              "Использование: zonefire-cli study-report КАТАЛОГ ОТЧЕТ.pdf"},
                    BadReport{"NotAStudysFolder",
                              [](const zftest::TempDir& t) { return std::vector<std::string>{(t / "empty").string(), (t / "r.pdf").string()}; }, 2,
                              "study.json"},
                    BadReport{"NoSuchFolder",
                              [](const zftest::TempDir& t) { return std::vector<std::string>{(t / "none").string(), (t / "r.pdf").string()}; }, 2,
                              "study.json"}),
    [](const testing::TestParamInfo<BadReport>& info) { return std::string(info.param.Name); });
