// The study window on a study computed by zonefire-cli: each room's distribution and
// histogram against the study's own files, the summary's figures, and a run opened as a
// building giving exactly the scenario the study computed.

#include <gtest/gtest.h>
#include <QBarSeries>
#include <QBarSet>
#include <QChart>
#include <QChartView>
#include <QComboBox>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QLabel>
#include <QLineSeries>
#include <QLocale>
#include <QPushButton>
#include <QSignalSpy>
#include <QTableWidget>
#include <filesystem>
#include <fstream>

#include "../cli/subprocess.h"
#include "../cli/test_files.h"
#include "study_window.h"

namespace fs = std::filesystem;
using zftest::ReadFile;
using zftest::TempDir;
using zftest::WriteFile;

namespace {

class StudyFolder : public ::testing::Test {
protected:
    void SetUp() override {
        dir_ = tmp_.Path();
        study_ = dir_ / "study.json";
        std::ofstream(study_) << R"({"base_file": ")" << (fs::path(ZONEFIRE_EXAMPLES) / "two_rooms_dt001.json").string()
                              << R"(", "runs": 15, "seed": 11, "sampling": "latin-hypercube", "vary": [
            {"input": "Vlin", "distribution": "uniform", "min": 0.006, "max": 0.016},
            {"input": "SimTime", "distribution": "choice", "values": [60, 200], "weights": [1, 2]}]})";
        const ChildResult run = RunChild(ZONEFIRE_CLI, {"study", study_.string(), "--out", (dir_ / "out").string(), "--quiet"});
        ASSERT_EQ(run.ExitCode, 0) << run.Err;
        summary_ = QJsonDocument::fromJson(QByteArray::fromStdString(ReadFile(dir_ / "out" / "summary.json"))).object();
    }

    QJsonObject Blocking(int room) const {
        return summary_["rooms"].toArray()[room].toObject()["blocking_time"].toObject();
    }

    TempDir tmp_;
    fs::path dir_, study_;
    QJsonObject summary_;
};

QLineSeries* LineSeries(QChartView* view, int k) { return qobject_cast<QLineSeries*>(view->chart()->series().value(k)); }

}  // namespace

TEST_F(StudyFolder, ShowsEachRoomsDistributionWithTheSummarysPercentiles) {
    StudyWindow window;
    ASSERT_EQ(window.OpenStudy(QString::fromStdString((dir_ / "out" / "summary.json").string())), std::nullopt);
    auto* rooms = window.findChild<QComboBox*>("CBRoom");
    auto* cdf = window.findChild<QChartView*>("ChartCdf");
    auto* histogram = window.findChild<QChartView*>("ChartHistogram");
    auto* stats = window.findChild<QLabel*>("LabelStats");
    ASSERT_TRUE(rooms && cdf && histogram && stats);
    ASSERT_EQ(rooms->count(), 2);

    for (int room : {0, 1}) {
        window.ShowRoom(room);
        const QJsonObject b = Blocking(room);
        // Runs of 60 s leave room 2 unreached in some runs: the function ends at the share reached.
        QLineSeries* steps = LineSeries(cdf, 0);
        ASSERT_NE(steps, nullptr);
        EXPECT_DOUBLE_EQ(steps->points().back().y(), b["share_reached"].toDouble()) << "room " << room + 1;
        // The distribution function rises monotonically.
        const auto points = steps->points();
        for (int k = 1; k < points.size(); ++k) ASSERT_GE(points[k].y(), points[k - 1].y());
        // A dashed line at each percentile the summary gives.
        int lines = 0;
        for (const char* key : {"p5", "p50", "p95"}) {
            if (!b[key].isDouble()) continue;
            QLineSeries* line = LineSeries(cdf, ++lines);
            ASSERT_NE(line, nullptr);
            EXPECT_DOUBLE_EQ(line->points().front().x(), b[key].toDouble());
        }
        EXPECT_EQ(cdf->chart()->series().size(), 1 + lines);
        // The histogram holds every reached time once.
        auto* bars = qobject_cast<QBarSeries*>(histogram->chart()->series().value(0));
        ASSERT_NE(bars, nullptr);
        double counted = 0;
        for (int k = 0; k < bars->barSets()[0]->count(); ++k) counted += bars->barSets()[0]->at(k);
        const double completed = summary_["rooms"].toArray()[room].toObject()["completed"].toDouble();
        EXPECT_DOUBLE_EQ(counted, std::round(b["share_reached"].toDouble() * completed));
        // The figures in words, with the decimal comma.
        const QString p50 = b["p50"].isDouble() ? QLocale().toString(b["p50"].toDouble(), 'f', 1) : QString("не достигнуто");
        EXPECT_TRUE(stats->text().contains("50-й " + p50)) << stats->text().toStdString();
        EXPECT_TRUE(stats->text().contains("Данных об эвакуации")) << stats->text().toStdString();
    }
    EXPECT_LT(Blocking(1)["share_reached"].toDouble(), 1.0);  // the study exercises an unreached share
}

TEST_F(StudyFolder, ARunOpensAsTheBuildingTheStudyComputed) {
    StudyWindow window;
    ASSERT_EQ(window.OpenStudy(QString::fromStdString((dir_ / "out" / "summary.json").string())), std::nullopt);
    auto* runs = window.findChild<QTableWidget*>("TableRuns");
    auto* open = window.findChild<QPushButton*>("BOpenRun");
    ASSERT_TRUE(runs && open);
    EXPECT_EQ(runs->rowCount(), 15);
    EXPECT_FALSE(open->isEnabled());
    runs->selectRow(6);
    ASSERT_TRUE(open->isEnabled());
    QSignalSpy opened(&window, &StudyWindow::OpenRunAsBuilding);
    open->click();
    ASSERT_EQ(opened.count(), 1);
    const ChildResult emitted = RunChild(ZONEFIRE_CLI, {"study", study_.string(), "--emit-scenario", "7"});
    ASSERT_EQ(emitted.ExitCode, 0);
    EXPECT_EQ(opened[0][0].toString().toStdString(), emitted.Out);
    EXPECT_TRUE(opened[0][1].toString().contains("расчет №7"));
}

// A study with evacuation inputs: the shares of the summary in words, and each run's verdict in
// the words of the other windows.
TEST(StudyWindowVerdicts, ShowTheSharesAndEachRunsVerdict) {
    TempDir tmp;
    const fs::path study = tmp.Path() / "study.json";
    std::ofstream(study) << R"({"base_file": ")" << (fs::path(ZONEFIRE_EXAMPLES) / "two_rooms_dt001.json").string()
                         << R"(", "runs": 12, "seed": 4, "sampling": "latin-hypercube", "vary": [
        {"input": "rooms[2].evacuation.duration", "distribution": "uniform", "min": 20, "max": 160},
        {"input": "SimTime", "distribution": "choice", "values": [50, 200]}]})";
    const ChildResult run = RunChild(ZONEFIRE_CLI, {"study", study.string(), "--out", (tmp.Path() / "out").string(), "--quiet"});
    ASSERT_EQ(run.ExitCode, 0) << run.Err;
    const QJsonObject room2 = QJsonDocument::fromJson(QByteArray::fromStdString(ReadFile(tmp.Path() / "out" / "summary.json")))
                                  .object()["rooms"].toArray()[1].toObject();

    StudyWindow window;
    ASSERT_EQ(window.OpenStudy(QString::fromStdString((tmp.Path() / "out" / "summary.json").string())), std::nullopt);
    window.ShowRoom(1);
    const QString stats = window.findChild<QLabel*>("LabelStats")->text();
    const QJsonObject verdict = room2["verdict"].toObject();
    const QString safe = QLocale().toString(100 * verdict["share_safe"].toDouble(), 'f', 1);
    EXPECT_TRUE(stats.contains(QStringLiteral("«безопасно» — %1, «опасно» — %2 (расчетов с выводом: %3; доля «безопасно» — %4 %)")
                                   .arg(verdict["safe"].toInteger())
                                   .arg(verdict["unsafe"].toInteger())
                                   .arg(verdict["safe"].toInteger() + verdict["unsafe"].toInteger())
                                   .arg(safe)))
        << stats.toStdString();
    EXPECT_TRUE(stats.contains(QStringLiteral("«не определено»: завершенных расчетов — %1").arg(verdict["undetermined"].toInteger())))
        << stats.toStdString();

    // The verdict column counts the same shares as the summary.
    auto* runs = window.findChild<QTableWidget*>("TableRuns");
    ASSERT_EQ(runs->rowCount(), 12);
    int unsafeRuns = 0, undeterminedRuns = 0;
    for (int i = 0; i < runs->rowCount(); ++i) {
        const QString verdict = runs->item(i, 4)->text();
        EXPECT_TRUE(verdict == "безопасно" || verdict == "опасно" || verdict == "не определено") << verdict.toStdString();
        unsafeRuns += verdict == "опасно";
        undeterminedRuns += verdict == "не определено";
    }
    EXPECT_GT(unsafeRuns, 0);
    EXPECT_GT(undeterminedRuns, 0);
    EXPECT_EQ(verdict["unsafe"].toInteger(), unsafeRuns);
    EXPECT_EQ(verdict["undetermined"].toInteger(), undeterminedRuns);
    EXPECT_DOUBLE_EQ(verdict["share_safe"].toDouble(), (12.0 - unsafeRuns - undeterminedRuns) / (12.0 - undeterminedRuns));
    // Room 1 has no evacuation inputs: no verdict.
    window.ShowRoom(0);
    EXPECT_TRUE(window.findChild<QLabel*>("LabelStats")->text().contains("Данных об эвакуации"));
    EXPECT_EQ(runs->item(0, 4)->text(), "");
}

TEST_F(StudyFolder, AFolderThatIsNotAWholeStudyIsRefusedByFile) {
    StudyWindow window;
    const fs::path out = dir_ / "out";
    auto refusal = [&] { return window.OpenStudy(QString::fromStdString((out / "summary.json").string())).value_or("(opened)"); };
    std::ofstream(out / "runs.csv", std::ios::app) << "99,x\n";
    EXPECT_TRUE(refusal().startsWith("runs.csv, строка 17")) << refusal().toStdString();
    fs::remove(out / "study.json");
    EXPECT_TRUE(refusal().startsWith("study.json")) << refusal().toStdString();
    std::ofstream(out / "summary.json") << "[1, 2]";
    EXPECT_TRUE(refusal().contains("не сводка исследования")) << refusal().toStdString();
    // The window still shows nothing it could not read.
    EXPECT_EQ(window.findChild<QComboBox*>("CBRoom")->count(), 0);
}

// A study of an escape route's N: the window gives t_р and P_э of the route as the summary
// does, and hides the line in a study without routes.
TEST(StudyWindowRoutes, ShowTheRoutesTimeAndProbabilityFromTheSummary) {
    TempDir tmp;
    const fs::path study = tmp.Path() / "study.json";
    std::ofstream(study) << R"({"base": {"SimTime": 120, "dt": 0.01, "rooms": [{}, {}], "openings": [{"rooms": [1, 2]}],
        "evacuation_routes": [{"name": "Зал", "people": 60, "start_delay": 20,
          "segments": [{"kind": "horizontal", "length": 20, "width": 2, "room": 2}, {"kind": "doorway", "width": 1.0, "room": 2}]}]},
        "runs": 6, "seed": 3, "sampling": "latin-hypercube", "vary": [
        {"input": "evacuation_routes[1].people", "distribution": "uniform", "min": 10, "max": 100}]})";
    const ChildResult run = RunChild(ZONEFIRE_CLI, {"study", study.string(), "--out", (tmp.Path() / "out").string(), "--quiet"});
    ASSERT_EQ(run.ExitCode, 0) << run.Err;
    const QJsonObject route = QJsonDocument::fromJson(QByteArray::fromStdString(ReadFile(tmp.Path() / "out" / "summary.json")))
                                  .object()["routes"].toArray()[0].toObject();
    const QJsonObject time = route["evacuation_time"].toObject();

    StudyWindow window;
    ASSERT_EQ(window.OpenStudy(QString::fromStdString((tmp.Path() / "out" / "summary.json").string())), std::nullopt);
    auto* routes = window.findChild<QLabel*>("LabelRoutes");
    ASSERT_NE(routes, nullptr);
    EXPECT_FALSE(routes->isHidden());
    const QString text = routes->text();
    EXPECT_TRUE(text.startsWith(QStringLiteral("Путь 1 «Зал»: t_р — расчетов 6, среднее %1 с")
                                    .arg(QLocale().toString(time["mean"].toDouble(), 'f', 1))))
        << text.toStdString();
    EXPECT_TRUE(text.contains(QStringLiteral("5/50/95-й: %1;").arg(QLocale().toString(time["p5"].toDouble(), 'f', 1))))
        << text.toStdString();
    EXPECT_TRUE(text.contains(QStringLiteral("P_э — расчетов %1").arg(route["probability"].toObject()["count"].toInteger())))
        << text.toStdString();
    EXPECT_TRUE(text.endsWith(QStringLiteral("расчетов без вывода: %1").arg(route["runs_without_verdict"].toInteger())))
        << text.toStdString();
}

TEST_F(StudyFolder, AStudyWithoutRoutesShowsNoRoutesLine) {
    StudyWindow window;
    ASSERT_EQ(window.OpenStudy(QString::fromStdString((dir_ / "out" / "summary.json").string())), std::nullopt);
    EXPECT_TRUE(window.findChild<QLabel*>("LabelRoutes")->isHidden());
}
