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

#include "number_text.h"
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

// The evacuation button: the free column between the rooms grid (x 16..297) and the matrix
// (x 336..), from below the delete-room button down to the grids' bottom edge (y 473) [px].
constexpr QRect kEvacuationButton(299, 353, 34, 120);
constexpr QRect kModelOptionsButton(299, 96, 34, 120);  // in the same free column, under the room buttons

// A push button whose caption reads upwards, for a place narrower than its word.
class TVerticalButton : public QPushButton {
public:
    using QPushButton::QPushButton;

protected:
    void paintEvent(QPaintEvent*) override {
        QStylePainter painter(this);
        QStyleOptionButton option;
        initStyleOption(&option);
        option.text.clear();
        painter.drawControl(QStyle::CE_PushButton, option);
        painter.rotate(-90);
        // Rotated, the button's height is the caption's width.
        const QRect caption(-height(), 0, height(), width());
        painter.setPen(palette().color(isEnabled() ? QPalette::Active : QPalette::Disabled, QPalette::ButtonText));
        painter.drawText(caption, Qt::AlignCenter | Qt::TextShowMnemonic, text());
    }
};

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
    box.setDetailedText(QString::fromStdString(zf::DescribeFault(zm.LastFault)));
    QPushButton* restore = nullptr;
    if (offerRestore) {
        restore = box.addButton(QStringLiteral("Вернуть здание последнего расчета"), QMessageBox::AcceptRole);
        restore->setObjectName(QStringLiteral("btnRestoreBuilding"));
        box.setEscapeButton(QMessageBox::Ok);  // closing the box is still "OK"
    }
    box.exec();
    return restore != nullptr && box.clickedButton() == restore;
}

Tf_main::Tf_main(QWidget* parent)
    : QMainWindow(parent, Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                              Qt::WindowMinimizeButtonHint | Qt::WindowCloseButtonHint),
      ui(std::make_unique<Ui::Tf_main>()) {
    // The icons live in the static window library; their registration must be pulled in.
    Q_INIT_RESOURCE(resources);
    ui->setupUi(this);
    AddFireAreaField();  // before the menus: the file's fields include it
    CreateMenus();
    // One line of hint below the designed client area, which keeps its size and controls; the
    // menu bar sits above it.
    auto* hint = new QLabel(QStringLiteral("Помещение 1 — помещение с очагом пожара. Клетка на диагонали матрицы "
                                           "(строка и столбец одного помещения) — проемы наружу."),
                            statusBar());
    hint->setObjectName(QStringLiteral("LabelHint"));
    hint->setIndent(14);  // in line with the labels above it (16 px from the window's edge)
    statusBar()->setSizeGripEnabled(false);
    statusBar()->addWidget(hint, 1);
    centralWidget()->setFixedSize(kClientWidth, kClientHeight);
    setFixedSize(kClientWidth, kClientHeight + menuBar()->sizeHint().height() + statusBar()->sizeHint().height());
    if (const QScreen* screen = this->screen()) move(screen->availableGeometry().center() - rect().center());

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

    connect(ui->btnAddRoom, &QToolButton::clicked, this, &Tf_main::btnAddRoomClick);
    connect(ui->btnDelRoom, &QToolButton::clicked, this, &Tf_main::btnDelRoomClick);
    connect(ui->btnAddDoor, &QToolButton::clicked, this, &Tf_main::btnAddDoorClick);
    connect(ui->TBXButton2, &QToolButton::clicked, this, &Tf_main::TBXButton2Click);
    connect(ui->TBXButton1, &QPushButton::clicked, this, &Tf_main::TBXButton1Click);
    // In the free column between the rooms grid and the matrix, under the room buttons: the
    // designed controls stay where they are. The column is too narrow for the word across, so
    // it reads upwards, as a tab on the grid's edge does.
    auto* evacuation = new TVerticalButton(QStringLiteral("Эвакуация..."), ui->centralwidget);
    evacuation->setObjectName(QStringLiteral("btnEvacuation"));
    evacuation->setToolTip(QStringLiteral("Время начала эвакуации и время эвакуации по помещениям, коэффициент безопасности"));
    evacuation->setGeometry(kEvacuationButton);
    connect(evacuation, &QPushButton::clicked, this, &Tf_main::btnEvacuationClick);
    // Above it in the same column: the model options.
    auto* models = new TVerticalButton(QStringLiteral("Модели..."), ui->centralwidget);
    models->setObjectName(QStringLiteral("btnModelOptions"));
    models->setToolTip(QStringLiteral("Модели расчета: согласованный уход газов через проемы, теплопотери в ограждающие конструкции"));
    models->setGeometry(kModelOptionsButton);
    connect(models, &QPushButton::clicked, this, &Tf_main::btnModelOptionsClick);
    connect(ui->GridMatrix, &QTableWidget::currentCellChanged, this,
            [this](int row, int col, int, int) { GridMatrixSelectCell(col, row); });
    SetUpKeys();

    FormCreate();
    saved_ = CurrentDocument();  // the empty building with the initial fields: nothing to save
    UpdateCaption();
}

// Insert and Delete in the rooms grid add and delete a room, in the matrix and the openings
// grid an opening; each presses the button, so the key does exactly what a click does.
// "Расчет" takes Enter when it has the focus.
void Tf_main::SetUpKeys() {
    const struct {
        QToolButton* button;
        const char* tip;
        Qt::Key key;
        std::vector<QTableWidget*> grids;
        const char* where;
    } keys[] = {
        {ui->btnAddRoom, "Добавить помещение", Qt::Key_Insert, {ui->GridRoom}, "в списке помещений"},
        {ui->btnDelRoom, "Удалить выбранное помещение", Qt::Key_Delete, {ui->GridRoom}, "в списке помещений"},
        {ui->btnAddDoor, "Добавить проем в выбранную клетку матрицы", Qt::Key_Insert, {ui->GridMatrix, ui->GridProem},
         "в матрице и в списке проемов"},
        {ui->TBXButton2, "Удалить выбранный проем", Qt::Key_Delete, {ui->GridMatrix, ui->GridProem},
         "в матрице и в списке проемов"},
    };
    for (const auto& k : keys) {
        const QKeySequence sequence(k.key);
        for (QTableWidget* grid : k.grids) {
            auto* action = new QAction(k.button->objectName(), grid);
            action->setShortcut(sequence);
            action->setShortcutContext(Qt::WidgetShortcut);
            connect(action, &QAction::triggered, k.button, &QToolButton::click);
            grid->addAction(action);
        }
        k.button->setToolTip(QStringLiteral("%1 (%2 %3)")
                                 .arg(QString::fromUtf8(k.tip), sequence.toString(QKeySequence::NativeText),
                                      QString::fromUtf8(k.where)));
    }
    ui->TBXButton1->setAutoDefault(true);
}

bool Tf_main::AskStopAndQuit() {
    // The main window is disabled during the run, and so would be a box that belongs to it;
    // the progress window stays usable and on top, so the box belongs to it.
    QWidget* owner = f_progress != nullptr && f_progress->isVisible() ? static_cast<QWidget*>(f_progress) : nullptr;
    QMessageBox box(QMessageBox::Question, QApplication::applicationDisplayName(),
                    QStringLiteral("Прервать расчет и выйти из программы?"), QMessageBox::Yes | QMessageBox::No, owner);
    box.setDefaultButton(QMessageBox::No);
    return box.exec() == QMessageBox::Yes;
}

void Tf_main::closeEvent(QCloseEvent* event) {
    if (Running_) {
        // The window stays until the run has returned; it closes then (TBXButton1Click).
        event->ignore();
        if (!QuitRequested_ && AskStopAndQuit()) {
            QuitRequested_ = true;
            // The run takes the progress window's closing as the user's stop request.
            if (f_progress != nullptr) f_progress->close();
        }
        return;
    }
    // Unsaved changes are offered for saving first; cancelling keeps the window. After a run
    // stopped to quit, the building is already kept as the last calculation's (Ctrl+R).
    if (!QuitRequested_ && !MaybeSave()) {
        event->ignore();
        return;
    }
    QMainWindow::closeEvent(event);
    if (event->isAccepted()) emit Closed();
}

Tf_main::~Tf_main() {
    // The history is a child, destroyed after this window's members: its last signals must not
    // reach a half-destroyed window.
    if (undo_ != nullptr) undo_->disconnect(this);
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

void Tf_main::SetDialogs(Tf_AddRoom* addRoom, Tf_AddDoor* addDoor) {
    f_AddRoom = addRoom;
    f_AddDoor = addDoor;
}

void Tf_main::SetRunWindows(Tf_progress* progress, TF_ShowResult* results) {
    f_progress = progress;
    F_ShowResult = results;
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
    SetCell(grid, 0, 1, QStringLiteral("Длина, м"));
    SetCell(grid, 0, 2, QStringLiteral("Ширина, м"));
    SetCell(grid, 0, 3, QStringLiteral("Высота, м"));
    for (int k = 1; k <= n; ++k) {
        const zf::TRoom& room = zm->Room(k - 1);
        SetCell(grid, k, 0, QString::number(k));
        SetCell(grid, k, 1, FormatGeneral(room.Length));
        SetCell(grid, k, 2, FormatGeneral(room.Width));
        SetCell(grid, k, 3, FormatGeneral(room.Height));
        // A room's name, where the file gave one, is shown without changing the grid.
        const auto info = static_cast<std::size_t>(k - 1);
        if (info < roomInfo_.size() && !roomInfo_[info].Name.empty()) {
            const QString name = QString::fromStdString(roomInfo_[info].Name);
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
    SetCell(grid, 0, 1, QStringLiteral("Высота, м"));
    SetCell(grid, 0, 2, QStringLiteral("Ширина, м"));
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

void Tf_main::btnAddRoomClick() {
    if (f_AddRoom == nullptr || f_AddRoom->exec() != QDialog::Accepted) return;
    // Every value is read before the scenario changes, so a bad entry adds nothing.
    double length = 0;  // [m]
    double width = 0;   // [m]
    double height = 0;  // [m]
    try {
        length = NumberFromText(f_AddRoom->LengthText());
        width = NumberFromText(f_AddRoom->WidthText());
        height = NumberFromText(f_AddRoom->HeightText());
    } catch (const ConversionError& error) {
        ShowErrorMessage(this, error.Message());
        return;
    }
    Edit(QStringLiteral("добавление помещения"), [&] {
        zm->AddRoom(length, width, height);
        roomInfo_.emplace_back();
        FillGridRoom();
        FillGridMatrix();
    });
}

void Tf_main::btnDelRoomClick() {
    const int k = ui->GridRoom->currentRow() - 1;
    if (k < 0 || k >= zm->RoomCount()) return;
    Edit(QStringLiteral("удаление помещения №%1").arg(k + 1), [&] {
        zm->DeleteRoom(k);
        if (k < static_cast<int>(roomInfo_.size())) roomInfo_.erase(roomInfo_.begin() + k);
        FillGridRoom();
        FillGridMatrix();
        // The matrix cells have shifted under the current cell: show what it holds now, so the
        // delete-opening button never acts on an opening other than the one shown.
        ShowCurrentCellProems();
    });
}

void Tf_main::btnAddDoorClick() {
    const int c = ui->GridMatrix->currentColumn() - 1;
    const int r = ui->GridMatrix->currentRow() - 1;
    if (r < 0 || c < 0 || r >= zm->RoomCount() || c >= zm->RoomCount()) return;
    if (f_AddDoor == nullptr || f_AddDoor->exec() != QDialog::Accepted) return;
    const bool isOpen = f_AddDoor->IsOpen();
    double height = 0;  // [m]
    double width = 0;   // [m]
    try {
        height = NumberFromText(f_AddDoor->HeightText());
        width = NumberFromText(f_AddDoor->WidthText());
    } catch (const ConversionError& error) {
        ShowErrorMessage(this, error.Message());
        return;
    }
    // A doorway is two faces, one seen from each room; an outside opening has one.
    Edit(QStringLiteral("добавление проема"), [&] {
        zm->AddProem(r, c, height, width, isOpen);
        if (r != c) zm->AddProem(c, r, height, width, isOpen);
        FillGridProem(r, c);
        FillGridMatrix();
    });
}

void Tf_main::TBXButton2Click() {
    const int r = ui->GridMatrix->currentRow() - 1;
    const int c = ui->GridMatrix->currentColumn() - 1;
    const int k = ui->GridProem->currentRow() - 1;
    if (r < 0 || c < 0 || k < 0 || r >= zm->RoomCount() || c >= zm->RoomCount()) return;
    if (k >= static_cast<int>(zm->Cell(r, c).size())) return;
    Edit(QStringLiteral("удаление проема"), [&] {
        zm->DeleteProem(r, c, k);  // and its twin in cell (c, r)
        FillGridMatrix();
        FillGridProem(r, c);
    });
}

void Tf_main::btnEvacuationClick() {
    if (f_Evacuation == nullptr) f_Evacuation = new TF_Evacuation(this);
    f_Evacuation->Show(Evacuation(), zm->RoomCount());
    if (f_Evacuation->exec() != QDialog::Accepted) return;
    const auto inputs = f_Evacuation->Inputs(nullptr);
    if (!inputs) return;
    // The safety factor belongs to the building like its title; the rooms' inputs are an
    // editor operation that can be undone.
    Edit(QStringLiteral("эвакуация"), [&] {
        document_.SafetyFactor = inputs->SafetyFactor;
        for (int k = 0; k < zm->RoomCount(); ++k) roomInfo_[static_cast<std::size_t>(k)].Evacuation = inputs->Room(k);
    });
    UpdateCaption();
}

zfreport::EvacuationInputs Tf_main::Evacuation() const {
    zfreport::EvacuationInputs inputs;
    inputs.SafetyFactor = document_.SafetyFactor;
    for (int k = 0; k < zm->RoomCount(); ++k) {
        const auto info = static_cast<std::size_t>(k);
        inputs.Rooms.push_back(info < roomInfo_.size() ? roomInfo_[info].Evacuation : std::nullopt);
    }
    return inputs;
}
