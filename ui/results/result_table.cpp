#include "result_table.h"

#include <QFontMetrics>
#include <QHeaderView>
#include <QPalette>
#include <QStyle>
#include <QTableView>
#include <algorithm>

#include "number_text.h"

namespace {

const char* const kTimeColumn = "Время (t), с.";

}  // namespace

QVariant TResultGridModel::data(const QModelIndex& index, int role) const {
    if (!index.isValid()) return {};
    const QPointF& row = Rows_[index.row()];
    const double value = index.column() == 0 ? row.x() : row.y();
    // The sample's time as it is (rows may be 0,05 s apart), in 15 digits that hide the noise of
    // summing steps; a value to four significant digits, whole in the tip and in what is copied.
    if (index.column() == 0 && (role == Qt::DisplayRole || role == Qt::EditRole)) return FormatGeneral(value);
    if (index.column() == 1 && role == Qt::DisplayRole) return FormatShown(value);
    if (index.column() == 1 && (role == Qt::EditRole || role == Qt::ToolTipRole)) return FormatExact(value);
    if (role == Qt::TextAlignmentRole) return QVariant::fromValue(Qt::AlignRight | Qt::AlignVCenter);
    // The time column is drawn like the header: it labels the rows.
    if (role == Qt::BackgroundRole && index.column() == 0) return QPalette().button();
    return {};
}

QVariant TResultGridModel::headerData(int section, Qt::Orientation orientation, int role) const {
    if (orientation == Qt::Horizontal && role == Qt::DisplayRole)
        return section == 0 ? QString(kTimeColumn) : ValueTitle_;
    return QAbstractTableModel::headerData(section, orientation, role);
}

int TResultGridModel::WidestText(int column, const QFontMetrics& metrics) const {
    int widest = 0;
    for (const QPointF& row : Rows_)
        widest = std::max(widest, metrics.horizontalAdvance(column == 0 ? FormatGeneral(row.x()) : FormatShown(row.y())));
    return widest;
}

void SetUpResultGrid(QTableView* grid, TResultGridModel* model) {
    grid->setModel(model);
    grid->verticalHeader()->setMinimumSectionSize(1);
    grid->verticalHeader()->setDefaultSectionSize(18);
    grid->verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    grid->horizontalHeader()->setSectionResizeMode(QHeaderView::Interactive);
    FitResultColumns(grid, *model);
}

void FitResultColumns(QTableView* grid, const TResultGridModel& model) {
    const QHeaderView* header = grid->horizontalHeader();
    // The cell's text margins on both sides, the grid line and a little air.
    const int margins = 2 * (grid->style()->pixelMetric(QStyle::PM_FocusFrameHMargin, nullptr, grid) + 1) + 6;
    int column = 0;
    for (int narrowest : {64, 104}) {
        const int cells = model.WidestText(column, grid->fontMetrics()) + margins;
        grid->setColumnWidth(column, std::max({narrowest, header->sectionSizeHint(column), cells}));
        ++column;
    }
}
