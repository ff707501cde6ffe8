#include "u_CritTimes.h"

#include <QHeaderView>
#include <QHideEvent>
#include <QLocale>
#include <QLayout>
#include <QPushButton>
#include <QScreen>
#include <QScrollBar>
#include <algorithm>

#include "route_verdict.h"
#include "verdict_table.h"
#include "result_export.h"
#include "run_warnings_label.h"
#include "ui_u_CritTimes.h"
#include "window_size.h"
#include "model/scenario.h"

namespace {

// The building's line, then each escape route's t_р, t_ск and P_э.
QString VerdictText(const zfreport::VerdictSummary& verdict) {
    std::string text = verdict.BuildingLine;
    for (const std::string& line : zfreport::RouteSummaryLines(verdict.Verdict, QLocale().decimalPoint().toStdString()))
        text += "\n" + line;
    return QString::fromStdString(text);
}

const char* const kWindowKey = "summary";  // where the dialog's size is kept

}  // namespace

TF_CritTimes::TF_CritTimes(QWidget* parent) : QDialog(parent), ui(std::make_unique<Ui::TF_CritTimes>()) {
    ui->setupUi(this);
    AllowMaximise(this);
    ui->GridCritTimes->verticalHeader()->setDefaultSectionSize(18);
    ui->GridCritTimes->verticalHeader()->setMinimumSectionSize(1);
    AddCopyRowsAction(ui->GridCritTimes);
    ui->ButtonsCritTimes->button(QDialogButtonBox::Close)->setText(QStringLiteral("Закрыть"));
    connect(ui->ButtonsCritTimes, &QDialogButtonBox::rejected, this, &QDialog::reject);
}

namespace {

// One room's row: its name drawn like the header, its critical times (the earliest in bold),
// then t_бл, its factor and the evacuation's columns, the verdict in its colour.
void FillRoomRow(QTableWidget* grid, int r, const zfreport::CriticalTimesRow& row, const zfreport::RoomVerdict& judged,
                 int verdictColumn, const QBrush& headerBrush) {
    auto* room = new QTableWidgetItem(QString::fromStdString(row.Room));
    room->setFlags(Qt::ItemIsEnabled | Qt::ItemIsSelectable);
    room->setBackground(headerBrush);
    room->setToolTip(room->text());  // whole, where the column elides it
    grid->setItem(r, 0, room);
    for (int k = 0; k < zf::kHazardCount; ++k) {
        auto* cell = new QTableWidgetItem(QString::fromStdString(row.Times[static_cast<std::size_t>(k)]));
        cell->setFlags(Qt::ItemIsEnabled | Qt::ItemIsSelectable);
        cell->setTextAlignment(Qt::AlignRight | Qt::AlignVCenter);
        if (row.Earliest[static_cast<std::size_t>(k)]) {
            QFont bold = cell->font();
            bold.setBold(true);
            cell->setFont(bold);
        }
        grid->setItem(r, k + 1, cell);
    }
    for (std::size_t e = 0; e < row.Extra.size(); ++e) {
        const int column = zf::kHazardCount + 1 + static_cast<int>(e);
        auto* cell = new QTableWidgetItem(QString::fromStdString(row.Extra[e]));
        cell->setFlags(Qt::ItemIsEnabled | Qt::ItemIsSelectable);
        // The factor's words read from the left; the times line up on the right.
        cell->setTextAlignment((e == 1 ? Qt::AlignLeft : Qt::AlignRight) | Qt::AlignVCenter);
        if (column == verdictColumn && judged.Outcome) cell->setBackground(VerdictColour(*judged.Outcome));
        if (column == verdictColumn && judged.Outcome == zfreport::Verdict::Undetermined)
            cell->setToolTip(QString::fromStdString(judged.Reason));
        grid->setItem(r, column, cell);
    }
}

}  // namespace

TF_CritTimes::~TF_CritTimes() = default;

void TF_CritTimes::Fill(const zf::TzoneMath& zm, const QStringList& factorTips, const zfreport::EvacuationInputs& evacuation,
                        const std::vector<std::string>& roomNames) {
    const zfreport::VerdictSummary verdict =
        zfreport::SummaryWithVerdict(zm, evacuation, QLocale().decimalPoint().toStdString(), roomNames);
    const zfreport::CriticalTimesTable& summary = verdict.Table;
    // The runner's legend lines, one statement a line.
    ui->LabelLegend->setText(QString::fromStdString(verdict.Legend).replace(QStringLiteral("; "), QStringLiteral("\n")));
    ui->LabelVerdict->setText(VerdictText(verdict));
    if (verdict.Verdict.Building)
        ui->LabelVerdict->setStyleSheet(QStringLiteral("font-weight: bold; background: %1; padding: 2px;")
                                            .arg(VerdictColour(*verdict.Verdict.Building).name()));
    else
        ui->LabelVerdict->setStyleSheet(QString());
    ShowRunNotes(zm);
    QTableWidget* grid = ui->GridCritTimes;
    grid->clear();
    grid->setColumnCount(static_cast<int>(summary.Header.size()));
    grid->setRowCount(static_cast<int>(summary.Rows.size()));
    for (int c = 0; c < grid->columnCount(); ++c) {
        auto* title = new QTableWidgetItem(QString::fromStdString(summary.Header[static_cast<std::size_t>(c)]));
        if (c > 0 && c - 1 < factorTips.size()) title->setToolTip(factorTips[c - 1]);
        grid->setHorizontalHeaderItem(c, title);
    }
    const QBrush headerBrush = palette().button();
    for (int r = 0; r < grid->rowCount(); ++r)
        FillRoomRow(grid, r, summary.Rows[static_cast<std::size_t>(r)], verdict.Verdict.Rooms[static_cast<std::size_t>(r)],
                    verdict.VerdictColumn, headerBrush);
    FitToTable();
}

// A stopped run's times are only those reached before the stop: the caption and a line say
// so. Where the run's own numbers show the model to be wrong, a warning above the table says so.
void TF_CritTimes::ShowRunNotes(const zf::TzoneMath& zm) {
    if (Caption_.isEmpty()) Caption_ = windowTitle();
    const QString stopped = StoppedRunNote(zm);
    setWindowTitle(stopped.isEmpty() ? Caption_ : Caption_ + QStringLiteral(" — ") + stopped);
    ShowRunEndBanner(*ui->LabelStopped, RunEndBannerText(zm));
    ShowRunWarnings(*ui->LabelModelWarnings, zm);
}

// The dialog as large as the whole table, within the screen; the room column gives up what
// the other columns need to be seen whole, its long names elided with the full name as the
// cell's tip. Beyond the screen's height the table scrolls. A size the user gave the dialog
// is kept when it is larger.
void TF_CritTimes::FitToTable() {
    QTableWidget* grid = ui->GridCritTimes;
    QHeaderView* columns = grid->horizontalHeader();
    columns->resizeSections(QHeaderView::ResizeToContents);
    for (int c = 1; c < grid->columnCount(); ++c) grid->setColumnWidth(c, std::max(grid->columnWidth(c), 64));
    const QSize screen = WithinScreen(this, QSize(1 << 20, 1 << 20));
    const int frame = 2 * grid->frameWidth();
    const QMargins margins = layout()->contentsMargins();
    const int scrollBar = grid->verticalScrollBar()->sizeHint().width();
    // Room for the window's own frame, which the window manager draws.
    constexpr int kWindowFrame = 16;
    const int others = columns->length() - grid->columnWidth(0);
    const int roomRoom = screen.width() - kWindowFrame - margins.left() - margins.right() - frame - scrollBar - others;
    const int narrowest = grid->fontMetrics().horizontalAdvance(QStringLiteral("Помещение №10…")) + 12;
    if (grid->columnWidth(0) > roomRoom) grid->setColumnWidth(0, std::max(roomRoom, narrowest));
    const int height = columns->sizeHint().height() + grid->verticalHeader()->length() + frame;
    const int maxHeight = screen.height() * 2 / 3;
    const int width = columns->length() + frame + (height > maxHeight ? scrollBar : 0);
    grid->setFixedSize(width, std::min(height, maxHeight));
    layout()->activate();
    // Labels that wrap their words need their height at the width the table sets.
    QSize fitted = minimumSizeHint();
    fitted.setHeight(std::max(fitted.height(), layout()->totalHeightForWidth(fitted.width())));
    // The table may be made smaller by hand: then it scrolls.
    grid->setMinimumSize(160, 60);
    grid->setMaximumSize(QWIDGETSIZE_MAX, QWIDGETSIZE_MAX);
    layout()->activate();
    resize(WithinScreen(this, fitted.expandedTo(SavedWindowSize(kWindowKey))));
}

void TF_CritTimes::hideEvent(QHideEvent* event) {
    if (!event->spontaneous()) SaveWindowSize(this, kWindowKey);
    QDialog::hideEvent(event);
}
