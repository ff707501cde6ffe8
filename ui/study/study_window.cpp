#include "study_window.h"

#include <QBarCategoryAxis>
#include <QBarSeries>
#include <QBarSet>
#include <QChart>
#include <QChartView>
#include <QComboBox>
#include <QFile>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QHideEvent>
#include <QHeaderView>
#include <QJsonArray>
#include <QJsonDocument>
#include <QLabel>
#include <QLineSeries>
#include <QLocale>
#include <QPushButton>
#include <QSplitter>
#include <QTableWidget>
#include <QValueAxis>
#include <QVBoxLayout>
#include <algorithm>
#include <cmath>

#include "study_file.h"
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

QValueAxis* NewAxis(QChart* chart, Qt::Alignment where, const QString& title, double lo, double hi) {
    auto* axis = new QValueAxis(chart);
    axis->setTitleText(title);
    axis->setRange(lo, hi);
    chart->addAxis(axis, where);
    return axis;
}

}  // namespace

StudyWindow::StudyWindow(QWidget* parent) : QWidget(parent, Qt::Window) {
    setObjectName(QStringLiteral("StudyWindow"));
    setWindowTitle(QStringLiteral("Исследование"));
    RestoreWindowSize(this, kWindowKey, QSize(1000, 720));

    rooms_ = new QComboBox(this);
    rooms_->setObjectName(QStringLiteral("CBRoom"));
    stats_ = new QLabel(this);
    stats_->setObjectName(QStringLiteral("LabelStats"));
    stats_->setTextInteractionFlags(Qt::TextSelectableByMouse);
    stats_->setWordWrap(true);
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

    auto* top = new QHBoxLayout;
    top->addWidget(new QLabel(QStringLiteral("Помещение:"), this));
    top->addWidget(rooms_);
    top->addStretch();
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
    layout->addWidget(parts, 1);

    connect(rooms_, &QComboBox::currentIndexChanged, this, &StudyWindow::ShowRoom);
    connect(runs_, &QTableWidget::itemSelectionChanged, this, [this] { openRun_->setEnabled(!runs_->selectedItems().isEmpty()); });
    connect(runs_, &QTableWidget::cellDoubleClicked, this, &StudyWindow::OpenSelectedRun);
    connect(openRun_, &QPushButton::clicked, this, &StudyWindow::OpenSelectedRun);
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

void StudyWindow::DrawDistribution(int room) {
    // Blocking times of the completed runs; a run that reached no limit counts in the share
    // but has no time, so the distribution function ends at the share reached.
    std::vector<double> times;
    std::size_t completed = 0;
    for (const RunRow& row : rows_) {
        if (row.Status != RunStatus::Completed) continue;
        ++completed;
        if (const auto& t = row.Rooms[static_cast<std::size_t>(room)].Blocking) times.push_back(*t);
    }
    std::sort(times.begin(), times.end());
    const double hi = times.empty() ? 1.0 : times.back() * 1.05;

    QChart* cdf = cdfView_->chart();
    cdf->removeAllSeries();
    for (QAbstractAxis* axis : cdf->axes()) cdf->removeAxis(axis), delete axis;
    auto* x = NewAxis(cdf, Qt::AlignBottom, QStringLiteral("Время блокирования, с"), 0, hi);
    auto* y = NewAxis(cdf, Qt::AlignLeft, QStringLiteral("Доля расчетов"), 0, 1);
    auto* steps = new QLineSeries(cdf);
    steps->setName(QStringLiteral("доля t_бл ≤ t"));
    steps->append(0, 0);
    for (std::size_t k = 0; k < times.size(); ++k) {
        const double n = static_cast<double>(completed);
        steps->append(times[k], static_cast<double>(k) / n);
        steps->append(times[k], static_cast<double>(k + 1) / n);
    }
    steps->append(hi, completed ? static_cast<double>(times.size()) / static_cast<double>(completed) : 0.0);
    cdf->addSeries(steps);
    steps->attachAxis(x);
    steps->attachAxis(y);
    x->applyNiceNumbers();
    const QJsonObject b = summary_.value(QStringLiteral("rooms")).toArray().at(room).toObject().value(QStringLiteral("blocking_time")).toObject();
    for (const auto& [key, name] : {std::pair{"p5", "5-й"}, {"p50", "50-й"}, {"p95", "95-й"}}) {
        const QJsonValue v = b.value(QLatin1String(key));
        if (!v.isDouble()) continue;
        auto* line = new QLineSeries(cdf);
        line->setName(QString::fromUtf8(name) + ": " + Number(v.toDouble(), 1) + QStringLiteral(" с"));
        line->append(v.toDouble(), 0);
        line->append(v.toDouble(), 1);
        QPen pen = line->pen();
        pen.setStyle(Qt::DashLine);
        line->setPen(pen);
        cdf->addSeries(line);
        line->attachAxis(x);
        line->attachAxis(y);
    }

    // Histogram: √n bins (5 to 12, so the labels stay readable) across the reached times.
    QChart* histogram = histogramView_->chart();
    histogram->removeAllSeries();
    for (QAbstractAxis* axis : histogram->axes()) histogram->removeAxis(axis), delete axis;
    auto* counts = new QBarSet(QStringLiteral("Число расчетов"));
    auto* categories = new QBarCategoryAxis(histogram);
    categories->setTitleText(QStringLiteral("Время блокирования, с (середина интервала)"));
    double most = 1;
    if (!times.empty()) {
        const int bins = std::clamp(static_cast<int>(std::ceil(std::sqrt(static_cast<double>(times.size())))), 5, 12);
        const double lo = times.front(), width = std::max((times.back() - lo) / bins, 1e-9);
        std::vector<int> bin(static_cast<std::size_t>(bins));
        // Enough decimals that neighbouring bins' labels differ (a category axis merges equal ones).
        const int decimals = std::clamp(static_cast<int>(std::ceil(-std::log10(width))), 0, 9);
        for (double t : times) ++bin[static_cast<std::size_t>(std::min(bins - 1, static_cast<int>((t - lo) / width)))];
        for (int k = 0; k < bins; ++k) {
            *counts << bin[static_cast<std::size_t>(k)];
            categories->append(Number(lo + (k + 0.5) * width, decimals));
            most = std::max(most, static_cast<double>(bin[static_cast<std::size_t>(k)]));
        }
    }
    auto* bars = new QBarSeries(histogram);
    bars->setBarWidth(1.0);
    bars->append(counts);
    histogram->addSeries(bars);
    histogram->addAxis(categories, Qt::AlignBottom);
    bars->attachAxis(categories);
    auto* number = NewAxis(histogram, Qt::AlignLeft, QStringLiteral("Число расчетов"), 0, most);
    number->setLabelFormat(QStringLiteral("%d"));
    bars->attachAxis(number);
    histogram->legend()->hide();
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

void StudyWindow::hideEvent(QHideEvent* event) {
    if (!event->spontaneous()) SaveWindowSize(this, kWindowKey);
    QWidget::hideEvent(event);
}
