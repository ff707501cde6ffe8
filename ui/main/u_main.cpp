#include "shown_name.h"
#include "u_main.h"

#include <QAction>
#include <QApplication>
#include <QCloseEvent>
#include <QElapsedTimer>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QMenuBar>
#include <QMessageBox>
#include <QPushButton>
#include <QScreen>
#include <QSignalBlocker>
#include <QStatusBar>
#include <QStyleOptionButton>
#include <QStylePainter>
#include <QTableWidget>
#include <QUndoStack>
#include <algorithm>
#include <vector>

#include "dialog_fields.h"
#include "number_text.h"
#include "project/element_inputs.h"
#include "project/scenario_file.h"
#include "study_window.h"
#include "u_AddDoor.h"
#include "u_AddRoom.h"
#include "u_Evacuation.h"
#include "u_ShowResult.h"
#include "u_progress.h"
#include "ui_u_main.h"

namespace {

constexpr int kClientWidth = 841;        // main window client area [px]
constexpr int kClientHeight = 523;       // [px]
constexpr int kGridRowHeight = 18;       // row height of the three grids [px]
constexpr int kMatrixColumnWidth = 24;   // adjacency matrix column width [px]
constexpr int kNumberColumnWidth = 32;   // "№" column of the rooms and openings grids [px]
constexpr int kValueColumnWidth = 72;    // value columns of the rooms and openings grids [px]
constexpr int kOpenColumnWidth = 100;    // "Открытый (0/1)" column [px]


void PrepareGrid(QTableWidget* grid, int columnWidth) {
    grid->verticalHeader()->setMinimumSectionSize(kGridRowHeight);
    grid->verticalHeader()->setDefaultSectionSize(kGridRowHeight);
    grid->verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    grid->horizontalHeader()->setMinimumSectionSize(std::min(columnWidth, kMatrixColumnWidth));
    grid->horizontalHeader()->setDefaultSectionSize(columnWidth);
    grid->horizontalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    // The header views stand in for the header row and column (see ShowHeaderCells): shown in
    // the cells' size, passive like them, so a click on them selects nothing.
    for (QHeaderView* header : {grid->horizontalHeader(), grid->verticalHeader()}) {
        header->setSectionsClickable(false);
        header->setHighlightSections(false);
        header->setDefaultAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    }
    grid->horizontalHeader()->setFixedHeight(kGridRowHeight);
    grid->horizontalHeader()->setVisible(true);
}

// The header row (and with `column` the header column) keeps its cells as row 0 (column 0),
// where the handlers find them, but is drawn by the grid's header views, which never scroll:
// with many rooms the room numbers stay beside the cells they name.
void ShowHeaderCells(QTableWidget* grid, bool column) {
    QStringList top;
    for (int c = 0; c < grid->columnCount(); ++c) top << (grid->item(0, c) ? grid->item(0, c)->text() : QString());
    grid->setHorizontalHeaderLabels(top);
    grid->setRowHidden(0, true);
    if (!column) return;
    QStringList side;
    for (int r = 0; r < grid->rowCount(); ++r) side << (grid->item(r, 0) ? grid->item(r, 0)->text() : QString());
    grid->setVerticalHeaderLabels(side);
    grid->setColumnHidden(0, true);
}

// Row 0 and column 0 are the fixed header row and column: drawn like headers, and they can
// neither become current nor be selected, so clicks and arrow keys stay in the data cells.
void SetCell(QTableWidget* grid, int row, int col, const QString& text) {
    auto* item = new QTableWidgetItem(text);
    if (row == 0 || col == 0) {
        item->setFlags(Qt::NoItemFlags);
        item->setBackground(grid->palette().button());
        item->setForeground(grid->palette().buttonText());
    } else {
        item->setFlags(Qt::ItemIsEnabled | Qt::ItemIsSelectable);
    }
    grid->setItem(row, col, item);
}

// The current cell of a grid is a data cell or none: a grid without data cells has none, and a
// grid that gains data cells while its current cell is none or a header moves it to the first
// data row or column (so the first room makes matrix cell 1, 1 current).
void KeepCurrentInData(QTableWidget* grid) {
    if (grid->rowCount() < 2 || grid->columnCount() < 2) {
        grid->setCurrentItem(nullptr);
        return;
    }
    const int row = grid->currentRow();
    const int col = grid->currentColumn();
    if (row < 1 || col < 1) grid->setCurrentCell(std::max(row, 1), std::max(col, 1));
}

}  // namespace

void ShowErrorMessage(QWidget* parent, const QString& text) {
    // The application's title (the program's name), as for any error the program reports;
    // the main window's caption is a sentence, too long for a message box.
    QMessageBox box(QMessageBox::Critical, QApplication::applicationDisplayName(), text, QMessageBox::Ok, parent);
    box.exec();
}

bool ShowRunFailure(QWidget* parent, const zf::TzoneMath& zm, bool offerRestore) {
    QMessageBox box(QMessageBox::Warning, QApplication::applicationDisplayName(),
                    QStringLiteral("Ошибка при выполнении расчета!\r\n(на итерации №%1)").arg(zm.Iter),
                    QMessageBox::Ok, parent);
    // What failed, with its value, and what to do, in the box itself.
    box.setInformativeText(QString::fromStdString(zf::DescribeFault(zm.LastFault)));
    QPushButton* restore = nullptr;
    if (offerRestore) {
        restore = box.addButton(QStringLiteral("Вернуть здание последнего расчета"), QMessageBox::AcceptRole);
        restore->setObjectName(QStringLiteral("btnRestoreBuilding"));
        box.setEscapeButton(QMessageBox::Ok);  // closing the box is still "OK"
    }
    box.exec();
    return restore != nullptr && box.clickedButton() == restore;
}

// The three grids: fixed rows, header cells in view, whole rows selected in the two lists.
void Tf_main::SetUpGrids() {
    PrepareGrid(ui->GridRoom, kValueColumnWidth);
    PrepareGrid(ui->GridMatrix, kMatrixColumnWidth);
    PrepareGrid(ui->GridProem, kValueColumnWidth);
    // The matrix's header column is as wide as its other columns.
    ui->GridMatrix->verticalHeader()->setFixedWidth(kMatrixColumnWidth);
    ui->GridMatrix->verticalHeader()->setVisible(true);
    ui->GridRoom->setSelectionBehavior(QAbstractItemView::SelectRows);
    ui->GridProem->setSelectionBehavior(QAbstractItemView::SelectRows);
    ui->GridMatrix->setSelectionBehavior(QAbstractItemView::SelectItems);
    ui->GridRoom->setColumnCount(4);
    ui->GridRoom->setColumnWidth(0, kNumberColumnWidth);
    ui->GridProem->setColumnCount(4);
    ui->GridProem->setColumnWidth(0, kNumberColumnWidth);
    ui->GridProem->setColumnWidth(3, kOpenColumnWidth);

}

// "Fmax, м²": the largest floor area the fire load occupies; the burning circle grows no
// further (0: no limit, the whole floor of the fire room can burn). A field of the fire load,
// set in the free space under the plume choice, beside "Расчет", so that no control moves.
// Its caption and tip, like every field's, come from the input table (CreateMenus).
void Tf_main::AddFireAreaField() {
    auto* label = new QLabel(ui->centralwidget);
    label->setObjectName(QStringLiteral("LabelFireAreaMax"));
    label->setGeometry(632, 428, 88, 16);
    EditFireAreaMax = new QLineEdit(ui->centralwidget);  // its text: CreateMenus, from the defaults
    EditFireAreaMax->setObjectName(QStringLiteral("EditFireAreaMax"));
    EditFireAreaMax->setGeometry(632, 446, 80, 20);
    label->setBuddy(EditFireAreaMax);
    // In the tab order after the last field of the fire load.
    setTabOrder(ui->Edit10, EditFireAreaMax);
}

void Tf_main::FormCreate() {
    zm = std::make_unique<zf::TzoneMath>();
    roomInfo_.clear();
    ShowProemGrid(false);
    FillGridRoom();
    FillGridMatrix();
}

zf::TzoneMath& Tf_main::Scenario() { return *zm; }

void Tf_main::NewScenario() {
    zm = std::make_unique<zf::TzoneMath>();
    roomInfo_.clear();
    FillGridMatrix();
    FillGridRoom();
    ShowProemGrid(false);
}

void Tf_main::ShowProemGrid(bool shown) {
    // "Проемы отсутствуют" stands in the grid's place whenever the grid is hidden.
    ui->GridProem->setVisible(shown);
    ui->Label4->setVisible(!shown);
}

void Tf_main::FillGridRoom() {
    QTableWidget* grid = ui->GridRoom;
    const int n = zm->RoomCount();
    grid->setRowCount(n + 1);
    SetCell(grid, 0, 0, QStringLiteral("№"));
    for (int c = 1; const auto& input : zf::project::kRoomInputs) SetCell(grid, 0, c++, InputText(input.Caption));
    for (int k = 1; k <= n; ++k) {
        const zf::TRoom& room = zm->Room(k - 1);
        SetCell(grid, k, 0, QString::number(k));
        SetCell(grid, k, 1, FormatGeneral(room.Length));
        SetCell(grid, k, 2, FormatGeneral(room.Width));
        SetCell(grid, k, 3, FormatGeneral(room.Height));
        // A room's name, where the file gave one, is shown without changing the grid.
        const auto info = static_cast<std::size_t>(k - 1);
        if (info < roomInfo_.size() && !roomInfo_[info].Name.empty()) {
            const QString name = ShownName(QString::fromStdString(roomInfo_[info].Name));
            for (int c = 0; c < 4; ++c) grid->item(k, c)->setToolTip(name);
        }
    }
    ShowHeaderCells(grid, false);
    KeepCurrentInData(grid);
}

void Tf_main::FillGridMatrix() {
    QTableWidget* grid = ui->GridMatrix;
    const int n = zm->RoomCount();
    const int oldRow = grid->currentRow();
    const int oldCol = grid->currentColumn();
    {
        // Resizing moves the current cell in steps; only where it ends up matters.
        const QSignalBlocker quiet(grid);
        grid->setRowCount(n + 1);
        grid->setColumnCount(n + 1);
        SetCell(grid, 0, 0, QString());
        for (int k = 1; k <= n; ++k) {
            SetCell(grid, 0, k, QString::number(k));
            SetCell(grid, k, 0, QString::number(k));
        }
        for (int c = 1; c <= n; ++c) {
            for (int r = 1; r <= n; ++r) {
                const auto count = zm->Cell(r - 1, c - 1).size();
                SetCell(grid, r, c, count == 0 ? QStringLiteral("-") : QString::number(count));
            }
        }
        ShowHeaderCells(grid, true);
        KeepCurrentInData(grid);
    }
    if (grid->currentRow() != oldRow || grid->currentColumn() != oldCol)
        GridMatrixSelectCell(grid->currentColumn(), grid->currentRow());
}

void Tf_main::FillGridProem(int row, int col) {
    ShowProemGrid(false);
    QTableWidget* grid = ui->GridProem;
    const int n = zm->RoomCount();
    const zf::TProems* cell = (row >= 0 && col >= 0 && row < n && col < n) ? &zm->Cell(row, col) : nullptr;
    const int m = cell ? static_cast<int>(cell->size()) : 0;
    grid->setRowCount(m + 1);
    SetCell(grid, 0, 0, QStringLiteral("№"));
    for (int c = 1; const auto& input : zf::project::kOpeningInputs) SetCell(grid, 0, c++, InputText(input.Caption));
    SetCell(grid, 0, 3, QStringLiteral("Открытый (0/1)"));
    for (int k = 1; k <= m; ++k) {
        const zf::TProem& face = *(*cell)[static_cast<std::size_t>(k - 1)];
        SetCell(grid, k, 0, QString::number(k));
        SetCell(grid, k, 1, FormatGeneral(face.Height));
        SetCell(grid, k, 2, FormatGeneral(face.Width));
        SetCell(grid, k, 3, face.IsOpen ? QStringLiteral("1") : QStringLiteral("0"));
    }
    ShowHeaderCells(grid, false);
    KeepCurrentInData(grid);
    if (m > 0) ShowProemGrid(true);
}

void Tf_main::GridMatrixSelectCell(int col, int row) {
    ShowProemGrid(false);
    const int n = zm->RoomCount();
    if (col < 1 || row < 1 || col > n || row > n) return;
    if (zm->Cell(row - 1, col - 1).empty()) return;
    ShowProemGrid(true);
    FillGridProem(row - 1, col - 1);
}

void Tf_main::ShowCurrentCellProems() {
    GridMatrixSelectCell(ui->GridMatrix->currentColumn(), ui->GridMatrix->currentRow());
}

