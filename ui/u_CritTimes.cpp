#include "u_CritTimes.h"

#include <QHeaderView>
#include <QLocale>
#include <QLayout>
#include <QPushButton>
#include <QScreen>
#include <QScrollBar>
#include <algorithm>

#include "critical_times.h"
#include "result_export.h"
#include "ui_u_CritTimes.h"
#include "model/scenario.h"

TF_CritTimes::TF_CritTimes(QWidget* parent) : QDialog(parent), ui(std::make_unique<Ui::TF_CritTimes>()) {
    ui->setupUi(this);
    // The runner's legend line, one statement a line.
    QString legend = QString::fromUtf8(zfreport::kCriticalTimesLegend.data(),
                                       static_cast<qsizetype>(zfreport::kCriticalTimesLegend.size()));
    ui->LabelLegend->setText(legend.replace(QStringLiteral("; "), QStringLiteral("\n")));
    ui->GridCritTimes->verticalHeader()->setDefaultSectionSize(18);
    ui->GridCritTimes->verticalHeader()->setMinimumSectionSize(1);
    AddCopyRowsAction(ui->GridCritTimes);
    ui->ButtonsCritTimes->button(QDialogButtonBox::Close)->setText(QStringLiteral("Закрыть"));
    connect(ui->ButtonsCritTimes, &QDialogButtonBox::rejected, this, &QDialog::reject);
}

TF_CritTimes::~TF_CritTimes() = default;

void TF_CritTimes::Fill(const zf::TzoneMath& zm, const QStringList& factorTips) {
    const zfreport::CriticalTimesTable summary =
        zfreport::CriticalTimesSummary(zm, QLocale().decimalPoint().toStdString());
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
    for (int r = 0; r < grid->rowCount(); ++r) {
        const zfreport::CriticalTimesRow& row = summary.Rows[static_cast<std::size_t>(r)];
        // The room's name labels the row, drawn like the header.
        auto* room = new QTableWidgetItem(QString::fromStdString(row.Room));
        room->setFlags(Qt::ItemIsEnabled | Qt::ItemIsSelectable);
        room->setBackground(headerBrush);
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
    }
    FitToTable();
}

// The dialog as large as the whole table, up to most of the screen; beyond that it scrolls.
void TF_CritTimes::FitToTable() {
    QTableWidget* grid = ui->GridCritTimes;
    QHeaderView* columns = grid->horizontalHeader();
    columns->resizeSections(QHeaderView::ResizeToContents);
    for (int c = 1; c < grid->columnCount(); ++c) grid->setColumnWidth(c, std::max(grid->columnWidth(c), 64));
    const int frame = 2 * grid->frameWidth();
    const int height = columns->sizeHint().height() + grid->verticalHeader()->length() + frame;
    int width = columns->length() + frame;
    const QSize screen = this->screen() != nullptr ? this->screen()->availableSize() : QSize(1024, 768);
    const int maxHeight = screen.height() * 2 / 3;
    if (height > maxHeight) width += grid->verticalScrollBar()->sizeHint().width();
    grid->setMinimumSize(std::min(width, screen.width() * 9 / 10), std::min(height, maxHeight));
    // No more than the table needs: its minimum is its whole size.
    layout()->activate();
    resize(minimumSizeHint());
}
