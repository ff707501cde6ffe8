#include "sheet_table.h"

#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QComboBox>
#include <QHeaderView>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QLocale>
#include <QRegularExpression>
#include <QTableWidget>
#include <algorithm>
#include <set>

namespace {

QString ShownText(const QTableWidget* table, int row, int column) {
    if (const auto* box = qobject_cast<const QComboBox*>(table->cellWidget(row, column))) return box->currentText();
    const QTableWidgetItem* item = table->item(row, column);
    return item ? item->text() : QString();
}

// A plain decimal number written with a point: "12.5", "-0.9", "1.5e-3".
bool IsPointNumber(const QString& text) {
    static const QRegularExpression number(QStringLiteral("^[+-]?\\d*\\.\\d+([eE][+-]?\\d+)?$"));
    return number.match(text).hasMatch();
}

// Writes one pasted text into the cell; false when the cell takes no typing.
bool WriteCell(QTableWidget* table, int row, int column, const QString& text) {
    if (auto* box = qobject_cast<QComboBox*>(table->cellWidget(row, column))) {
        if (box->isEditable()) {
            box->setEditText(text);
            return true;
        }
        const int index = box->findText(text);
        if (index >= 0) box->setCurrentIndex(index);
        return index >= 0;
    }
    QTableWidgetItem* item = table->item(row, column);
    if (item == nullptr) {
        if (!(table->editTriggers() & QAbstractItemView::EditKeyPressed)) return false;
        item = new QTableWidgetItem;
        table->setItem(row, column, item);
    }
    if (!(item->flags() & Qt::ItemIsEditable)) return false;
    item->setText(text);
    return true;
}

// Enter and F2 on the table: its own view only reports Enter as an activation and lets it go
// on to the dialog, whose default button would close it.
class TSheetEnter : public QObject {
public:
    TSheetEnter(QTableWidget* table, std::function<void()> edit) : QObject(table), table_(table), edit_(std::move(edit)) {}

protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() != QEvent::KeyPress || watched != table_) return QObject::eventFilter(watched, event);
        const int key = static_cast<QKeyEvent*>(event)->key();
        // Tab stays among the cells; Ctrl+Tab leaves the table for the next control.
        if ((key == Qt::Key_Tab || key == Qt::Key_Backtab) && (static_cast<QKeyEvent*>(event)->modifiers() & Qt::ControlModifier)) {
            LeaveTable(key == Qt::Key_Tab && !(static_cast<QKeyEvent*>(event)->modifiers() & Qt::ShiftModifier));
            return true;
        }
        const bool enter = key == Qt::Key_Return || key == Qt::Key_Enter;
        const Qt::KeyboardModifiers modifiers = static_cast<QKeyEvent*>(event)->modifiers() & ~Qt::KeypadModifier;
        if (!(enter || (key == Qt::Key_F2 && edit_)) || modifiers != Qt::NoModifier)
            return QObject::eventFilter(watched, event);
        if (edit_) edit_();
        else if (table_->currentIndex().isValid()) table_->edit(table_->currentIndex());
        return true;
    }

private:
    // The focus to the next (or previous) control of the window that takes it from Tab.
    void LeaveTable(bool forward) {
        QWidget* w = table_;
        do {
            w = forward ? w->nextInFocusChain() : w->previousInFocusChain();
        } while (w != table_ && !(w->window() == table_->window() && (w->focusPolicy() & Qt::TabFocus) && w->isVisible() &&
                                  w->isEnabled() && !table_->isAncestorOf(w)));
        w->setFocus(forward ? Qt::TabFocusReason : Qt::BacktabFocusReason);
    }

    QTableWidget* table_;
    std::function<void()> edit_;
};

// A press on a number cell, which takes no selection of its own, selects its row.
class TSheetNumbers : public QObject {
public:
    TSheetNumbers(QTableWidget* table, int column) : QObject(table), table_(table), viewport_(table->viewport()), column_(column) {}

protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() != QEvent::MouseButtonPress || watched != viewport_) return QObject::eventFilter(watched, event);
        const QModelIndex at = table_->indexAt(static_cast<QMouseEvent*>(event)->position().toPoint());
        if (!at.isValid() || at.column() != column_) return QObject::eventFilter(watched, event);
        int first = column_ + 1;
        while (first < table_->columnCount() && table_->isColumnHidden(first)) ++first;
        if (first < table_->columnCount())
            table_->setCurrentCell(at.row(), first, QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
        return true;
    }

private:
    QTableWidget* table_;
    QObject* viewport_;  // as it was when the filter was put on it
    int column_;
};

}  // namespace

QString SelectedCellsText(const QTableWidget* table) {
    std::set<int> rows, columns;
    for (const QModelIndex& index : table->selectionModel()->selectedIndexes()) {
        if (table->isRowHidden(index.row()) || table->isColumnHidden(index.column())) continue;
        rows.insert(index.row());
        columns.insert(index.column());
    }
    if (rows.empty() && table->currentIndex().isValid()) {
        rows.insert(table->currentRow());
        columns.insert(table->currentColumn());
    }
    QStringList lines;
    for (int r : rows) {
        QStringList cells;
        for (int c : columns) {
            QString text = ShownText(table, r, c);
            text.replace(QLatin1Char('\t'), QLatin1Char(' ')).replace(QLatin1Char('\n'), QLatin1Char(' '));
            cells << text;
        }
        lines << cells.join(QLatin1Char('\t'));
    }
    return lines.isEmpty() ? QString() : lines.join(QLatin1Char('\n')) + QLatin1Char('\n');
}

std::vector<QStringList> CellsOfText(const QString& text) {
    QStringList lines = QString(text).remove(QLatin1Char('\r')).split(QLatin1Char('\n'));
    while (!lines.isEmpty() && lines.last().isEmpty()) lines.removeLast();
    const QString separator = QLocale().decimalPoint();
    std::vector<QStringList> cells;
    for (const QString& line : lines) {
        QStringList row = line.split(QLatin1Char('\t'));
        for (QString& cell : row) {
            cell = cell.trimmed();
            if (IsPointNumber(cell)) cell.replace(QLatin1Char('.'), separator);
        }
        cells.push_back(row);
    }
    return cells;
}

int PasteCells(QTableWidget* table, const std::vector<QStringList>& cells) {
    const int top = std::max(table->currentRow(), 0), left = std::max(table->currentColumn(), 0);
    int written = 0;
    int row = top;
    for (const QStringList& line : cells) {
        while (row < table->rowCount() && table->isRowHidden(row)) ++row;
        if (row >= table->rowCount()) break;
        int column = left;
        for (const QString& text : line) {
            while (column < table->columnCount() && table->isColumnHidden(column)) ++column;
            if (column >= table->columnCount()) break;
            written += WriteCell(table, row, column, text) ? 1 : 0;
            ++column;
        }
        ++row;
    }
    return written;
}

void MakeSheetLike(QTableWidget* table, SheetKeys keys) {
    // A row's number in the header selects the row, as a spreadsheet's does.
    if (keys.RowHeaders) table->verticalHeader()->setSectionsClickable(true);
    table->setTabKeyNavigation(true);
    if (!keys.Edit) table->setEditTriggers(table->editTriggers() | QAbstractItemView::EditKeyPressed);
    // An open editor takes its own Enter (it commits); the filter sees only the table's keys.
    table->installEventFilter(new TSheetEnter(table, keys.Edit));
    if (keys.NumberColumn >= 0) table->viewport()->installEventFilter(new TSheetNumbers(table, keys.NumberColumn));
    auto* copy = new QAction(QStringLiteral("Копировать"), table);
    copy->setObjectName(QStringLiteral("ActCopyCells"));
    copy->setShortcut(QKeySequence::Copy);
    copy->setShortcutContext(Qt::WidgetShortcut);
    QObject::connect(copy, &QAction::triggered, table, [table] { QApplication::clipboard()->setText(SelectedCellsText(table)); });
    table->addAction(copy);
    auto* paste = new QAction(QStringLiteral("Вставить"), table);
    paste->setObjectName(QStringLiteral("ActPasteCells"));
    paste->setShortcut(QKeySequence::Paste);
    paste->setShortcutContext(Qt::WidgetShortcut);
    QObject::connect(paste, &QAction::triggered, table, [table, put = keys.Paste] {
        const std::vector<QStringList> cells = CellsOfText(QApplication::clipboard()->text());
        if (cells.empty()) return;
        if (put) put(cells);
        else PasteCells(table, cells);
    });
    table->addAction(paste);
}
