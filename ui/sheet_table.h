#pragma once
// A table that answers the keys a spreadsheet user's hands expect: a click on a row's number
// selects the row; Enter and F2 start editing the current cell (or, in a table edited through
// a dialog, open that dialog); Tab and Shift+Tab move to the next and previous cell, Ctrl+Tab
// and Ctrl+Shift+Tab to the next and previous control of the window;
// Ctrl+C copies the selected cells and Ctrl+V pastes a block of cells from the current one.
// Copied numbers carry the decimal comma the table shows; pasted numbers may have a comma or a
// point and are shown with the comma.

#include <QString>
#include <QStringList>
#include <functional>
#include <vector>

class QTableWidget;

// The selected cells as a block: rows apart by line breaks, cells by tabs, hidden rows and
// columns left out, each cell its text as shown (a cell widget's current text).
QString SelectedCellsText(const QTableWidget* table);

// A block of cells as a spreadsheet puts it on the clipboard: lines of tab-separated cells,
// the last line break and a trailing empty line dropped; a number's decimal point becomes the
// locale's separator ("0.9" → "0,9"), any other text is kept as it is.
std::vector<QStringList> CellsOfText(const QString& text);

// Writes `cells` into the table from its current cell rightwards and downwards, as typed
// texts (each editable item's text, an editable combo box's text, a list combo box's item of
// that text); rows and columns past the table's end, and cells that cannot be edited, are
// skipped. Returns the number of cells written.
int PasteCells(QTableWidget* table, const std::vector<QStringList>& cells);

struct SheetKeys {
    // Where Enter and F2 go instead of the cell's editor (a table edited in a dialog); empty:
    // the cell's editor opens.
    std::function<void()> Edit;
    // Where a pasted block goes instead of the cells (a table whose rows are the building's
    // rooms: the paste is one editor step); empty: PasteCells.
    std::function<void(const std::vector<QStringList>&)> Paste;
    // A click on a row's number selects the row (off for a grid whose header stands for fixed
    // cells that select nothing, as the adjacency matrix's).
    bool RowHeaders = true;
    // A column of cells that stand for row numbers (a grid whose header row and column are
    // cells): a click on one selects its row and makes the row's first data cell current.
    // -1: none.
    int NumberColumn = -1;
};

// Gives the table the keys above.
void MakeSheetLike(QTableWidget* table, SheetKeys keys = {});
