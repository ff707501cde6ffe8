#include "study_window.h"

#include <QChart>
#include <QChartView>
#include <QComboBox>
#include <QFile>
#include <QFileDialog>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QHideEvent>
#include <QHeaderView>
#include <QJsonArray>
#include <QJsonDocument>
#include <QLabel>
#include <QLocale>
#include <QMessageBox>
#include <QPushButton>
#include <QSplitter>
#include <QTableWidget>
#include <QVBoxLayout>
#include <algorithm>

#include "study_charts.h"
#include "study_file.h"
#include "study_report.h"
#include "verdict.h"
#include "window_size.h"
#include "model/room.h"

using namespace zfcli::study;

namespace {

const char* const kWindowKey = "study";  // where the window's size is kept

std::optional<QString> ReadText(const QString& path, std::string& text) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) return QFileInfo(path).fileName() + ": " + file.errorString();
    text = file.readAll().toStdString();
    return std::nullopt;
}

QString Number(double v, int decimals) { return QLocale().toString(v, 'f', decimals); }

QString Seconds(const QJsonValue& v) { return v.isDouble() ? Number(v.toDouble(), 1) : QStringLiteral("не достигнуто"); }

QString Percent(const QJsonValue& v) { return Number(100 * v.toDouble(), 1) + QStringLiteral(" %"); }

const char* StatusText(RunStatus s) {
    switch (s) {
        case RunStatus::Completed: return "завершен";
        case RunStatus::Stopped: return "остановлен";
        case RunStatus::Failed: return "ошибка";
    }
    return "";
}

// A verdict of runs.csv ("unsafe") in the words of the other windows and the report ("опасно").
QString VerdictText(const std::string& key) {
    for (zfreport::Verdict v : {zfreport::Verdict::Safe, zfreport::Verdict::Unsafe, zfreport::Verdict::Undetermined})
        if (zfreport::VerdictKey(v) == key) return QString::fromUtf8(zfreport::VerdictText(v));
    return {};
}

QChart* NewChart(const QString& title) {
    auto* chart = new QChart;
    chart->setTitle(title);
    chart->legend()->setAlignment(Qt::AlignBottom);
    return chart;
}

}  // namespace

StudyWindow::StudyWindow(QWidget* parent) : QWidget(parent, Qt::Window) {
    setObjectName(QStringLiteral("StudyWindow"));
    setWindowTitle(QStringLiteral("Исследование"));
    RestoreWindowSize(this, kWindowKey, QSize(1000, 720));
    MakeWidgets();
    LayOut();
    connect(rooms_, &QComboBox::currentIndexChanged, this, &StudyWindow::ShowRoom);
    connect(runs_, &QTableWidget::itemSelectionChanged, this, [this] { openRun_->setEnabled(!runs_->selectedItems().isEmpty()); });
    connect(runs_, &QTableWidget::cellDoubleClicked, this, &StudyWindow::OpenSelectedRun);
    connect(openRun_, &QPushButton::clicked, this, &StudyWindow::OpenSelectedRun);
    connect(report_, &QPushButton::clicked, this, &StudyWindow::AskAndWriteReport);
}

// The room's list, the summary's words, the two charts, the runs' table and its button.
void StudyWindow::MakeWidgets() {
    rooms_ = new QComboBox(this);
    rooms_->setObjectName(QStringLiteral("CBRoom"));
    stats_ = new QLabel(this);
    stats_->setObjectName(QStringLiteral("LabelStats"));
    stats_->setTextInteractionFlags(Qt::TextSelectableByMouse);
    stats_->setWordWrap(true);
    routes_ = new QLabel(this);
    routes_->setObjectName(QStringLiteral("LabelRoutes"));
    routes_->setTextInteractionFlags(Qt::TextSelectableByMouse);
    routes_->setWordWrap(true);
    cdfView_ = new QChartView(NewChart(QStringLiteral("Функция распределения времени блокирования")), this);
    cdfView_->setObjectName(QStringLiteral("ChartCdf"));
    cdfView_->setRenderHint(QPainter::Antialiasing);
    histogramView_ = new QChartView(NewChart(QStringLiteral("Гистограмма времени блокирования")), this);
    histogramView_->setObjectName(QStringLiteral("ChartHistogram"));
    runs_ = new QTableWidget(0, 5, this);
    runs_->setObjectName(QStringLiteral("TableRuns"));
    runs_->setHorizontalHeaderLabels({QStringLiteral("Расчет"), QStringLiteral("Состояние"), QStringLiteral("t_бл, с"),
                                      QStringLiteral("Определяющий ОФП"), QStringLiteral("Эвакуация")});
    runs_->setSelectionBehavior(QAbstractItemView::SelectRows);
    runs_->setSelectionMode(QAbstractItemView::SingleSelection);
    runs_->setEditTriggers(QAbstractItemView::NoEditTriggers);
    runs_->verticalHeader()->hide();
    runs_->horizontalHeader()->setStretchLastSection(true);
    runs_->horizontalHeader()->setSectionResizeMode(QHeaderView::ResizeToContents);
    openRun_ = new QPushButton(QStringLiteral("Открыть расчет как здание"), this);
    openRun_->setObjectName(QStringLiteral("BOpenRun"));
    openRun_->setEnabled(false);
    report_ = new QPushButton(QStringLiteral("Отчет в PDF..."), this);
    report_->setObjectName(QStringLiteral("BStudyReport"));
    report_->setToolTip(QStringLiteral("Распределения времени блокирования, t_р, P_э и выводов с гистограммами, "
                                       "входные данные и число расчетов — в PDF"));
    report_->setEnabled(false);
}

// The charts side by side above the runs' table, both splitters keeping every part visible.
void StudyWindow::LayOut() {
    auto* top = new QHBoxLayout;
    top->addWidget(new QLabel(QStringLiteral("Помещение:"), this));
    top->addWidget(rooms_);
    top->addStretch();
    top->addWidget(report_);
    auto* charts = new QSplitter(Qt::Horizontal, this);
    charts->addWidget(cdfView_);
    charts->addWidget(histogramView_);
    auto* runsBox = new QWidget(this);
    auto* runsLayout = new QVBoxLayout(runsBox);
    runsLayout->setContentsMargins(0, 0, 0, 0);
    runsLayout->addWidget(runs_);
    runsLayout->addWidget(openRun_, 0, Qt::AlignRight);
    auto* parts = new QSplitter(Qt::Vertical, this);
    parts->addWidget(charts);
    parts->addWidget(runsBox);
    parts->setStretchFactor(0, 3);
    parts->setStretchFactor(1, 1);
    parts->setChildrenCollapsible(false);
    charts->setChildrenCollapsible(false);
    charts->setStretchFactor(0, 1);
    charts->setStretchFactor(1, 1);
    charts->setSizes({1, 1});  // halves of the width
    cdfView_->setMinimumSize(360, 300);
    histogramView_->setMinimumSize(360, 300);
    runs_->setMinimumHeight(150);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(top);
    layout->addWidget(stats_);
    layout->addWidget(routes_);
    layout->addWidget(parts, 1);
}

std::optional<QString> StudyWindow::OpenStudy(const QString& summaryPath) {
    const QString folder = QFileInfo(summaryPath).absolutePath();
    std::string summaryText, studyText, csv;
    if (auto bad = ReadText(summaryPath, summaryText)) return bad;
    QJsonParseError error;
    const QJsonDocument summary = QJsonDocument::fromJson(QByteArray::fromStdString(summaryText), &error);
    if (!summary.isObject() || !summary.object().value(QStringLiteral("rooms")).isArray())
        return QFileInfo(summaryPath).fileName() + QStringLiteral(": это не сводка исследования") +
               (error.error != QJsonParseError::NoError ? " (" + error.errorString() + ")" : QString());
    if (auto bad = ReadText(folder + "/study.json", studyText)) return bad;
    Study study;
    if (auto bad = ReadStudy(studyText, folder.toStdString(), study)) return "study.json: " + QString::fromStdString(*bad);
    if (auto bad = ReadText(folder + "/runs.csv", csv)) return bad;
    std::vector<RunRow> rows;
    if (auto bad = ParseCsv(study, csv, rows)) return "runs.csv, " + QString::fromStdString(*bad);
    if (summary.object().value(QStringLiteral("rooms")).toArray().size() != study.RoomCount)
        return QFileInfo(summaryPath).fileName() + QStringLiteral(": число помещений не совпадает с study.json");

    folder_ = folder;
    study_ = std::move(study);
    rows_ = std::move(rows);
    summary_ = summary.object();
    setWindowTitle(QStringLiteral("Исследование — ") + QFileInfo(folder).fileName());
    {
        const QSignalBlocker blocker(rooms_);
        rooms_->clear();
        for (int r = 0; r < study_.RoomCount; ++r) rooms_->addItem(QString::fromStdString(zf::RoomTitle(r)));
    }
    report_->setEnabled(true);
    routes_->setText(RoutesText());
    routes_->setVisible(!routes_->text().isEmpty());
    ShowRoom(0);
    return std::nullopt;
}

void StudyWindow::ShowRoom(int room) {
    if (room < 0 || room >= study_.RoomCount) return;
    if (rooms_->currentIndex() != room) rooms_->setCurrentIndex(room);  // comes back through the signal
    stats_->setText(StatsText(room));
    DrawDistribution(room);
    FillRuns();
}

QString StudyWindow::StatsText(int room) const {
    const QJsonObject s = summary_.value(QStringLiteral("rooms")).toArray().at(room).toObject();
    const QJsonObject b = s.value(QStringLiteral("blocking_time")).toObject();
    QString text = QStringLiteral("Расчетов завершено: %1, с ошибкой: %2. ")
                       .arg(s.value(QStringLiteral("completed")).toInteger())
                       .arg(s.value(QStringLiteral("failed")).toInteger());
    if (!b.value(QStringLiteral("share_reached")).isDouble()) return text + QStringLiteral("Нет завершенных расчетов.");
    text += QStringLiteral("t_бл достигнуто в ") + Percent(b.value(QStringLiteral("share_reached"))) + QStringLiteral(" расчетов");
    if (b.value(QStringLiteral("mean")).isDouble()) {
        text += QStringLiteral("; среднее ") + Seconds(b.value(QStringLiteral("mean"))) + QStringLiteral(" с");
        const QJsonArray ci = b.value(QStringLiteral("ci95")).toArray();
        if (ci.size() == 2)
            text += QStringLiteral(" (95 % доверительный интервал ") + Seconds(ci[0]) + "…" + Seconds(ci[1]) + QStringLiteral(" с)");
    }
    text += QStringLiteral(".\nПроцентили t_бл, с: 5-й ") + Seconds(b.value(QStringLiteral("p5"))) + QStringLiteral("; 50-й ") +
            Seconds(b.value(QStringLiteral("p50"))) + QStringLiteral("; 95-й ") + Seconds(b.value(QStringLiteral("p95"))) + ".";
    const QJsonObject v = s.value(QStringLiteral("verdict")).toObject();
    if (v.isEmpty()) return text + QStringLiteral("\nДанных об эвакуации из помещения нет.");
    // The shares are among the runs with a verdict; undetermined and failed runs are counted apart.
    const qint64 judged = v.value(QStringLiteral("safe")).toInteger() + v.value(QStringLiteral("unsafe")).toInteger();
    text += QStringLiteral("\nВывод об эвакуации «%1» — %2, «%3» — %4 (расчетов с выводом: %5")
                .arg(VerdictText("safe"))
                .arg(v.value(QStringLiteral("safe")).toInteger())
                .arg(VerdictText("unsafe"))
                .arg(v.value(QStringLiteral("unsafe")).toInteger())
                .arg(judged);
    if (v.value(QStringLiteral("share_safe")).isDouble())
        text += QStringLiteral("; доля «%1» — ").arg(VerdictText("safe")) + Percent(v.value(QStringLiteral("share_safe")));
    return text + QStringLiteral("); «%1»: завершенных расчетов — %2, расчетов с ошибкой — %3.")
                      .arg(VerdictText("undetermined"))
                      .arg(v.value(QStringLiteral("undetermined")).toInteger())
                      .arg(v.value(QStringLiteral("failed")).toInteger());
}

// One line per route: t_р [s] and P_э over the completed runs, and the runs without a verdict.
QString StudyWindow::RoutesText() const {
    auto spread = [](const QJsonObject& s, int decimals, const QString& unit) {
        QString text = QStringLiteral("расчетов %1").arg(s.value(QStringLiteral("count")).toInteger());
        if (!s.value(QStringLiteral("mean")).isDouble()) return text;
        auto n = [&](const char* key) { return Number(s.value(QLatin1String(key)).toDouble(), decimals); };
        text += QStringLiteral(", среднее %1%2").arg(n("mean"), unit);
        if (s.value(QStringLiteral("sd")).isDouble()) text += QStringLiteral(", ст. откл. %1%2").arg(n("sd"), unit);
        return text + QStringLiteral(", процентили 5/50/95-й: %1; %2; %3%4").arg(n("p5"), n("p50"), n("p95"), unit);
    };
    QStringList lines;
    for (const QJsonValue& v : summary_.value(QStringLiteral("routes")).toArray()) {
        const QJsonObject r = v.toObject();
        const QString name = r.value(QStringLiteral("name")).toString();
        // One pass of arg(): a name holding "%3" stays as typed.
        lines << QStringLiteral("Путь %1%2: t_р — %3; P_э — %4; расчетов без вывода: %5")
                     .arg(QString::number(r.value(QStringLiteral("route")).toInteger()),
                          name.isEmpty() ? QString() : QStringLiteral(" «%1»").arg(name),
                          spread(r.value(QStringLiteral("evacuation_time")).toObject(), 1, QStringLiteral(" с")),
                          spread(r.value(QStringLiteral("probability")).toObject(), 3, QString()),
                          QString::number(r.value(QStringLiteral("runs_without_verdict")).toInteger()));
    }
    return lines.join('\n');
}

void StudyWindow::DrawDistribution(int room) {
    // Blocking times of the completed runs; a run that reached no limit counts in the share
    // but has no time.
    std::vector<double> times;
    std::size_t completed = 0;
    for (const RunRow& row : rows_) {
        if (row.Status != RunStatus::Completed) continue;
        ++completed;
        if (const auto& t = row.Rooms[static_cast<std::size_t>(room)].Blocking) times.push_back(*t);
    }
    std::sort(times.begin(), times.end());
    const QJsonObject blocking = summary_.value(QStringLiteral("rooms")).toArray().at(room).toObject().value(QStringLiteral("blocking_time")).toObject();
    zfstudy::DrawCdf(cdfView_->chart(), times, completed, blocking);
    zfstudy::DrawHistogram(histogramView_->chart(), times);
}

void StudyWindow::FillRuns() {
    const int room = std::max(rooms_->currentIndex(), 0);
    runs_->setRowCount(static_cast<int>(rows_.size()));
    for (int i = 0; i < static_cast<int>(rows_.size()); ++i) {
        const RunRow& row = rows_[static_cast<std::size_t>(i)];
        const RoomRow& r = row.Rooms[static_cast<std::size_t>(room)];
        const QString cells[] = {QString::number(row.Run),
                                 QString::fromUtf8(StatusText(row.Status)) +
                                     (row.Status == RunStatus::Failed ? QStringLiteral(" на шаге %1").arg(row.Step) : QString()),
                                 r.Blocking ? Number(*r.Blocking, 2) : QStringLiteral("—"), QString::fromStdString(r.Factors),
                                 VerdictText(r.Verdict)};
        for (int c = 0; c < 5; ++c) {
            auto* item = new QTableWidgetItem(cells[c]);
            if (c == 1 && row.Status == RunStatus::Failed) item->setToolTip(QString::fromStdString(row.Fault));
            runs_->setItem(i, c, item);
        }
    }
}

void StudyWindow::OpenSelectedRun() {
    const QList<QTableWidgetItem*> selected = runs_->selectedItems();
    if (selected.isEmpty()) return;
    const RunRow& row = rows_[static_cast<std::size_t>(selected.front()->row())];
    const Sampler sampler(study_.Method, study_.Seed, study_.Runs, study_.Inputs.size());
    std::string scenario;
    try {
        scenario = ScenarioText(study_, DrawsOfRun(study_, sampler, row.Run));
    } catch (const std::invalid_argument&) {
        return;  // the run's draws make no scenario file; its row says why it failed
    }
    emit OpenRunAsBuilding(QString::fromStdString(scenario),
                           QStringLiteral("%1, расчет №%2").arg(QFileInfo(folder_).fileName()).arg(row.Run));
}

QString StudyWindow::WriteReport(const QString& path) const {
    return WriteStudyReportPdf(path, folder_).Failure;
}

void StudyWindow::AskAndWriteReport() {
    const QString path = QFileDialog::getSaveFileName(this, QStringLiteral("Отчет об исследовании"),
                                                      folder_ + QStringLiteral("/study_report.pdf"), QStringLiteral("PDF (*.pdf)"));
    if (path.isEmpty()) return;
    if (const QString failure = WriteReport(path); !failure.isEmpty())
        QMessageBox::warning(this, QStringLiteral("Отчет не записан"), failure + QStringLiteral("\nВыберите другое место или имя файла."));
}

void StudyWindow::hideEvent(QHideEvent* event) {
    if (!event->spontaneous()) SaveWindowSize(this, kWindowKey);
    QWidget::hideEvent(event);
}
