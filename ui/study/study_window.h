#pragma once
// The window of a parameter study's results: per room, the blocking time's cumulative
// distribution and histogram over the study's completed runs, with the percentiles and the
// share of unsafe verdicts from its summary, the escape routes' evacuation time t_р and
// probability of evacuation P_э over the runs, and the list of runs, any of which can be opened
// as a building.

#include <QJsonObject>
#include <QWidget>

#include "study_table.h"

class QBarSeries;
class QChartView;
class QComboBox;
class QLabel;
class QLineSeries;
class QPushButton;
class QTableWidget;

class StudyWindow : public QWidget {
    Q_OBJECT
public:
    explicit StudyWindow(QWidget* parent = nullptr);

    // Reads summary.json at `summaryPath` and runs.csv and study.json beside it. Returns a
    // message naming the file and what is wrong with it; the window then shows what it showed.
    std::optional<QString> OpenStudy(const QString& summaryPath);

    // The room shown (0-based).
    void ShowRoom(int room);

    // The study's PDF report to `path` (what "Отчет в PDF..." writes after asking where).
    // Returns why it was not written, empty when written.
    QString WriteReport(const QString& path) const;

signals:
    // "Открыть как здание": the scenario of the selected run, as the study computed it, with
    // a title naming the run.
    void OpenRunAsBuilding(const QString& scenarioJson, const QString& title);

protected:
    void hideEvent(QHideEvent* event) override;  // keeps the window's size

private:
    void MakeWidgets();
    void LayOut();
    void OpenSelectedRun();
    void AskAndWriteReport();
    void FillRuns();
    void DrawDistribution(int room);
    QString StatsText(int room) const;
    QString RoutesText() const;

    QComboBox* rooms_;
    QLabel* stats_;
    QLabel* routes_;  // t_р and P_э of each escape route over the runs
    QChartView* cdfView_;
    QChartView* histogramView_;
    QTableWidget* runs_;
    QPushButton* openRun_;
    QPushButton* report_;  // "Отчет в PDF...": the study's report

    QString folder_;
    zfcli::study::Study study_;
    std::vector<zfcli::study::RunRow> rows_;
    QJsonObject summary_;
};
