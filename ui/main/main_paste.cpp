// Cells pasted into the rooms grid and the openings grid: a block copied from a spreadsheet
// (lengths, widths, heights; or heights, widths and 0/1) changes the rooms or openings from
// the current cell on and adds those past the last one, as one undoable step. Every value is
// read first, so a block with one bad cell changes nothing and the message names the cell.
#include <QTableWidget>
#include <algorithm>
#include <array>

#include "number_text.h"
#include "sheet_table.h"
#include "u_main.h"
#include "ui_u_main.h"
#include "model/room.h"

namespace {

// The values of a pasted block, row by row: a room's length, width and height, or an opening's
// height, width and open flag (1 or 0).
template <std::size_t Columns>
using Rows = std::vector<std::array<double, Columns>>;

QString Caption(const QTableWidget* grid, int column) {
    const QTableWidgetItem* head = grid->horizontalHeaderItem(column);
    return head ? head->text() : QString::number(column);
}

// The value of one pasted cell: a number, or for the open flag only 0 or 1.
double CellValue(const QString& text, const QString& where, bool flag) {
    const double value = NumberFromText(text, where);
    if (flag && value != 0 && value != 1)
        throw ConversionError(text, where + QStringLiteral(": ожидается 1 (открыт) или 0 (закрыт), вставлено «") + text +
                                        QStringLiteral("»"));
    return value;
}

}  // namespace

// Rooms from the current row; a row past the last room is added when its line gives all three
// sizes from the length column on.
void Tf_main::PasteRooms(const std::vector<QStringList>& cells) {
    const int n = zm->RoomCount();
    const int firstRoom = ui->GridRoom->currentRow() >= 1 ? ui->GridRoom->currentRow() - 1 : n;
    const int firstColumn = std::clamp(ui->GridRoom->currentColumn(), 1, 3);
    Rows<3> rows;
    try {
        for (std::size_t i = 0; i < cells.size(); ++i) {
            const int k = firstRoom + static_cast<int>(i);
            std::array<double, 3> size{};
            if (k < n) size = {zm->Room(k).Length, zm->Room(k).Width, zm->Room(k).Height};
            else if (firstColumn != 1 || cells[i].size() < 3)
                throw ConversionError(cells[i].join(' '), QStringLiteral("Помещение №%1: новому помещению нужны длина, ширина и высота — "
                                                                          "вставьте три столбца, начиная со столбца «Длина»").arg(k + 1));
            for (int j = 0; j < cells[i].size() && firstColumn + j <= 3; ++j)
                size[static_cast<std::size_t>(firstColumn - 1 + j)] =
                    CellValue(cells[i][j], QStringLiteral("Помещение №%1, «%2»").arg(k + 1).arg(Caption(ui->GridRoom, firstColumn + j)), false);
            rows.push_back(size);
        }
    } catch (const ConversionError& error) {
        ShowErrorMessage(this, error.Message());
        return;
    }
    Edit(QStringLiteral("вставка помещений"), [&] {
        for (std::size_t i = 0; i < rows.size(); ++i) {
            const int k = firstRoom + static_cast<int>(i);
            if (k < zm->RoomCount()) zm->EditRoom(k, rows[i][0], rows[i][1], rows[i][2]);
            else {
                zm->AddRoom(rows[i][0], rows[i][1], rows[i][2]);
                roomInfo_.emplace_back();
            }
        }
        FillGridRoom();
        FillGridMatrix();
    });
}

// Openings of the matrix's current cell from the current opening; a line past the last one
// adds an opening (and its twin across the matrix) when it gives height, width and 0/1.
void Tf_main::PasteOpenings(const std::vector<QStringList>& cells) {
    const int r = ui->GridMatrix->currentRow() - 1, c = ui->GridMatrix->currentColumn() - 1;
    if (r < 0 || c < 0 || r >= zm->RoomCount() || c >= zm->RoomCount()) return;
    const auto& cell = zm->Cell(r, c);
    const int n = static_cast<int>(cell.size());
    const bool shown = !ui->GridProem->isHidden();
    const int first = shown && ui->GridProem->currentRow() >= 1 ? ui->GridProem->currentRow() - 1 : n;
    const int firstColumn = shown ? std::clamp(ui->GridProem->currentColumn(), 1, 3) : 1;
    Rows<3> rows;
    try {
        for (std::size_t i = 0; i < cells.size(); ++i) {
            const int k = first + static_cast<int>(i);
            std::array<double, 3> values{};
            if (k < n) values = {cell[k]->Height, cell[k]->Width, cell[k]->IsOpen ? 1.0 : 0.0};
            else if (firstColumn != 1 || cells[i].size() < 3)
                throw ConversionError(cells[i].join(' '), QStringLiteral("Проем №%1: новому проему нужны высота, ширина и 1 или 0 "
                                                                          "(открыт или закрыт) — вставьте три столбца").arg(k + 1));
            for (int j = 0; j < cells[i].size() && firstColumn + j <= 3; ++j)
                values[static_cast<std::size_t>(firstColumn - 1 + j)] =
                    CellValue(cells[i][j], QStringLiteral("Проем №%1, «%2»").arg(k + 1).arg(Caption(ui->GridProem, firstColumn + j)),
                              firstColumn + j == 3);
            rows.push_back(values);
        }
    } catch (const ConversionError& error) {
        ShowErrorMessage(this, error.Message());
        return;
    }
    Edit(QStringLiteral("вставка проемов"), [&] {
        for (std::size_t i = 0; i < rows.size(); ++i) {
            const int k = first + static_cast<int>(i);
            const auto& v = rows[i];
            if (k < static_cast<int>(zm->Cell(r, c).size())) zm->EditProem(r, c, k, v[0], v[1], v[2] == 1);
            else {
                zm->AddProem(r, c, v[0], v[1], v[2] == 1);
                if (r != c) zm->AddProem(c, r, v[0], v[1], v[2] == 1);
            }
        }
        FillGridProem(r, c);
        FillGridMatrix();
    });
}

// Enter and F2 open a room's or an opening's dialog, Ctrl+C copies the selected cells and
// Ctrl+V pastes a block; a click on a room's number selects its row.
void Tf_main::MakeGridsSheetLike() {
    MakeSheetLike(ui->GridRoom, {[this] { EditRoom(ui->GridRoom->currentRow() - 1); },
                                 [this](const std::vector<QStringList>& cells) { PasteRooms(cells); }, false, 0});
    MakeSheetLike(ui->GridProem, {[this] {
                                      EditOpening(ui->GridMatrix->currentRow() - 1, ui->GridMatrix->currentColumn() - 1,
                                                  ui->GridProem->currentRow() - 1);
                                  },
                                  [this](const std::vector<QStringList>& cells) { PasteOpenings(cells); }, false, 0});
    // A pasted block of openings goes to the matrix's current cell, shown or not yet.
    MakeSheetLike(ui->GridMatrix, {{}, [this](const std::vector<QStringList>& cells) { PasteOpenings(cells); }, false});
}
