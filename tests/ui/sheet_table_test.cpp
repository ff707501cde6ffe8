// Tables that answer a spreadsheet user's keys: a row's number selects the row, Enter and F2
// start editing, Tab moves on, Ctrl+C and Ctrl+V copy and paste blocks of cells with decimal
// commas; in the main window a pasted block changes or adds rooms and openings in one step.

#include <QApplication>
#include <QClipboard>
#include <QComboBox>
#include <QHeaderView>
#include <QLineEdit>
#include <QMessageBox>
#include <QTest>
#include <QUndoStack>
#include <memory>

#include "editor_driver.h"
#include "routes_dialog.h"
#include "sheet_table.h"

namespace {

// The table's window active and the table in focus: the window's shortcuts (Ctrl+C, Ctrl+V)
// reach only the focused widget of the active window.
void Focus(QWidget* table) {
    QApplication::setActiveWindow(table->window());
    ASSERT_TRUE(QTest::qWaitForWindowActive(table->window()));
    table->setFocus();
}

// An editor open in one of the table's cells.
bool Editing(const QTableWidget* table) {
    for (const QLineEdit* editor : table->viewport()->findChildren<QLineEdit*>())
        if (editor->isVisible()) return true;
    return false;
}

// Pasted texts: lines of tab-separated cells, a number's point turned into the comma.
struct PastedText {
    const char* name;
    const char* text;
    std::vector<QStringList> cells;
};
void PrintTo(const PastedText& c, std::ostream* os) { *os << c.name; }

class CellsOfPastedText : public ::testing::TestWithParam<PastedText> {};

TEST_P(CellsOfPastedText, ReadAsTheSpreadsheetWroteThem) {
    EXPECT_EQ(CellsOfText(QString::fromUtf8(GetParam().text)), GetParam().cells);
}

INSTANTIATE_TEST_SUITE_P(
    Texts, CellsOfPastedText,
    ::testing::Values(PastedText{"point_becomes_comma", "0.9\t2\n", {{"0,9", "2"}}},
                      PastedText{"comma_kept_crlf_dropped", "1,5\t3\r\n4\t5\r\n", {{"1,5", "3"}, {"4", "5"}}},
                      PastedText{"exponent_with_point", "2.5e-3\n", {{"2,5e-3"}}},
                      PastedText{"words_and_dates_kept", "Коридор\t1.2.3\t.\n", {{"Коридор", "1.2.3", "."}}},
                      PastedText{"spaces_trimmed_empty_cell_kept", " 7.25 \t\t3\n\n", {{"7,25", "", "3"}}}),
    [](const ::testing::TestParamInfo<PastedText>& info) { return std::string(info.param.name); });

// A plain editable table of 3 × 3 numbers with its third column hidden.
std::unique_ptr<QTableWidget> NumberTable() {
    auto table = std::make_unique<QTableWidget>(3, 4);
    for (int r = 0; r < 3; ++r)
        for (int c = 0; c < 4; ++c) table->setItem(r, c, new QTableWidgetItem(QStringLiteral("%1,5").arg(10 * r + c)));
    table->item(2, 0)->setFlags(Qt::ItemIsEnabled | Qt::ItemIsSelectable);  // read only
    table->setColumnHidden(2, true);
    MakeSheetLike(table.get());
    table->show();
    Focus(table.get());
    return table;
}

TEST(SheetTable, CopiesTheSelectedBlockWithDecimalCommasAndWithoutHiddenColumns) {
    auto table = NumberTable();
    table->setCurrentCell(0, 1);
    table->selectionModel()->select(QItemSelection(table->model()->index(0, 1), table->model()->index(1, 3)),
                                    QItemSelectionModel::ClearAndSelect);
    QTest::keyClick(table.get(), Qt::Key_C, Qt::ControlModifier);
    EXPECT_EQ(QApplication::clipboard()->text(), QString("1,5\t3,5\n11,5\t13,5\n"));
}

TEST(SheetTable, PastesFromTheCurrentCellSkippingHiddenAndReadOnlyCells) {
    auto table = NumberTable();
    table->setCurrentCell(1, 0);
    QApplication::clipboard()->setText(QStringLiteral("0.25\t7\t8\t9\n1.5\t2\n"));
    QTest::keyClick(table.get(), Qt::Key_V, Qt::ControlModifier);
    EXPECT_EQ(table->item(1, 0)->text(), QString("0,25"));
    EXPECT_EQ(table->item(1, 1)->text(), QString("7"));
    EXPECT_EQ(table->item(1, 2)->text(), QString("12,5"));  // hidden: skipped
    EXPECT_EQ(table->item(1, 3)->text(), QString("8"));     // the fourth cell found no column
    EXPECT_EQ(table->item(2, 0)->text(), QString("20,5"));  // read only
    EXPECT_EQ(table->item(2, 1)->text(), QString("2"));
}

// The keys that move and edit, each with what it must do from cell (0, 0).
struct KeyCase {
    const char* name;
    Qt::Key key;
    Qt::KeyboardModifiers modifiers;
    bool editing;    // an editor is open afterwards
    int row, column; // the current cell afterwards
};
void PrintTo(const KeyCase& c, std::ostream* os) { *os << c.name; }
class SheetKeysOnTable : public ::testing::TestWithParam<KeyCase> {};

TEST_P(SheetKeysOnTable, MoveOrEditAsASpreadsheetDoes) {
    const KeyCase c = GetParam();
    auto table = NumberTable();
    table->setCurrentCell(0, c.key == Qt::Key_Backtab ? 1 : 0);
    QTest::keyClick(table.get(), c.key, c.modifiers);
    EXPECT_EQ(Editing(table.get()), c.editing);
    EXPECT_EQ(table->currentRow(), c.row);
    EXPECT_EQ(table->currentColumn(), c.column);
}

INSTANTIATE_TEST_SUITE_P(
    Keys, SheetKeysOnTable,
    ::testing::Values(KeyCase{"Return", Qt::Key_Return, Qt::NoModifier, true, 0, 0},
                      KeyCase{"Enter", Qt::Key_Enter, Qt::KeypadModifier, true, 0, 0},
                      KeyCase{"F2", Qt::Key_F2, Qt::NoModifier, true, 0, 0},
                      KeyCase{"Tab", Qt::Key_Tab, Qt::NoModifier, false, 0, 1},
                      KeyCase{"ShiftTab", Qt::Key_Backtab, Qt::ShiftModifier, false, 0, 0}),
    [](const ::testing::TestParamInfo<KeyCase>& info) { return std::string(info.param.name); });

TEST(SheetTable, AClickOnARowNumberSelectsTheRow) {
    auto table = NumberTable();
    QHeaderView* numbers = table->verticalHeader();
    QTest::mouseClick(numbers->viewport(), Qt::LeftButton, {},
                      QPoint(numbers->width() / 2, numbers->sectionViewportPosition(1) + numbers->sectionSize(1) / 2));
    EXPECT_TRUE(table->selectionModel()->isRowSelected(1, {}));
    EXPECT_EQ(table->currentRow(), 1);
}

// In the routes window Enter edits the cell instead of closing the window through OK.
TEST(SheetTable, EnterInTheRoutesWindowEditsInsteadOfClosing) {
    TF_Routes routes;
    zf::flow::Route route;
    route.People = 20;
    route.Segments.push_back({});
    routes.Show({route}, 1);
    routes.show();
    auto* table = routes.findChild<QTableWidget*>("TableRoutes");
    table->setFocus();
    table->setCurrentCell(0, routes_columns::People);
    QTest::keyClick(table, Qt::Key_Return);
    EXPECT_TRUE(routes.isVisible());
    EXPECT_TRUE(Editing(table));
}

// The main window's grids: a pasted block of rooms, from the current row on.
struct RoomPaste {
    const char* name;
    int row, column;       // the rooms grid's current cell (row 1: room 1; column 1: length)
    const char* clipboard;
    const char* rooms;     // every room's length, width, height afterwards
    bool refused;          // a message says why and nothing changed
};
void PrintTo(const RoomPaste& c, std::ostream* os) { *os << c.name; }
class PasteIntoRooms : public EditorTest, public ::testing::WithParamInterface<RoomPaste> {};

QString Rooms(zf::TzoneMath& zm) {
    QStringList rooms;
    for (int k = 0; k < zm.RoomCount(); ++k)
        rooms << QStringLiteral("%1 %2 %3").arg(zm.Room(k).Length).arg(zm.Room(k).Width).arg(zm.Room(k).Height);
    return rooms.join(QStringLiteral("; "));
}

TEST_P(PasteIntoRooms, ChangesAndAddsRoomsInOneUndoableStep) {
    const RoomPaste c = GetParam();
    AddRoom("5", "4", "3");
    AddRoom("6", "5", "3");
    const QString before = Rooms(main_->Scenario());
    const int steps = main_->UndoStack()->count();
    QTableWidget* grid = Grid("GridRoom");
    Focus(grid);
    grid->setCurrentCell(c.row, c.column);
    QApplication::clipboard()->setText(QString::fromUtf8(c.clipboard));
    QString message;
    if (c.refused) WhenModal("QMessageBox", [&](QWidget* box) {
            message = static_cast<QMessageBox*>(box)->text();
            static_cast<QMessageBox*>(box)->accept();
        });
    QTest::keyClick(grid, Qt::Key_V, Qt::ControlModifier);
    EXPECT_EQ(Rooms(main_->Scenario()), QString::fromUtf8(c.rooms));
    EXPECT_EQ(message.isEmpty(), !c.refused) << message.toStdString();
    ExpectGridsShowScenario();
    ASSERT_EQ(main_->UndoStack()->count(), steps + (c.refused ? 0 : 1));
    if (!c.refused) main_->UndoStack()->undo();
    EXPECT_EQ(Rooms(main_->Scenario()), before);
}

INSTANTIATE_TEST_SUITE_P(
    Blocks, PasteIntoRooms,
    ::testing::Values(RoomPaste{"height_of_room_2", 2, 3, "2.8\n", "5 4 3; 6 5 2.8", false},
                      RoomPaste{"two_rows_from_room_2_adds_room_3", 2, 1, "7\t6\t3.5\n2,5\t2\t2.7\n", "5 4 3; 7 6 3.5; 2.5 2 2.7", false},
                      RoomPaste{"new_room_short_of_a_size_refused", 2, 1, "7\t6\t3\n2\t2\n", "5 4 3; 6 5 3", true},
                      RoomPaste{"a_word_refused", 1, 1, "пять\t4\t3\n", "5 4 3; 6 5 3", true}),
    [](const ::testing::TestParamInfo<RoomPaste>& info) { return std::string(info.param.name); });

TEST_F(EditorTest, APastedOpeningGoesIntoTheMatrixCellAndItsTwin) {
    AddRoom("5", "4", "3");
    AddRoom("6", "5", "3");
    QTableWidget* matrix = Grid("GridMatrix");
    Click(matrix, 1, 2);
    Focus(matrix);
    QApplication::clipboard()->setText(QStringLiteral("2\t0.9\t1\n2.1\t1.2\t0\n"));
    QTest::keyClick(matrix, Qt::Key_V, Qt::ControlModifier);
    ASSERT_EQ(main_->Scenario().Cell(0, 1).size(), 2u);
    ASSERT_EQ(main_->Scenario().Cell(1, 0).size(), 2u);
    EXPECT_EQ(main_->Scenario().Cell(1, 0)[1]->Width, 1.2);
    EXPECT_FALSE(main_->Scenario().Cell(0, 1)[1]->IsOpen);
    ExpectGridsShowScenario();
}

TEST_F(EditorTest, AnOpenFlagOtherThanZeroOrOneIsRefused) {
    AddRoom("5", "4", "3");
    Click(Grid("GridMatrix"), 1, 1);
    Focus(Grid("GridMatrix"));
    QApplication::clipboard()->setText(QStringLiteral("2\t0,9\t2\n"));
    QString message;
    WhenModal("QMessageBox", [&](QWidget* box) {
        message = static_cast<QMessageBox*>(box)->text();
        static_cast<QMessageBox*>(box)->accept();
    });
    QTest::keyClick(Grid("GridMatrix"), Qt::Key_V, Qt::ControlModifier);
    EXPECT_TRUE(main_->Scenario().Cell(0, 0).empty());
    EXPECT_TRUE(message.contains(QStringLiteral("ожидается 1 (открыт) или 0 (закрыт)"))) << message.toStdString();
}

TEST_F(EditorTest, EnterOnARoomOpensItsDialogAndARowNumberSelectsIt) {
    AddRoom("5", "4", "3");
    AddRoom("6", "5", "3");
    QTableWidget* grid = Grid("GridRoom");
    Focus(grid);
    // The number of room 2, a cell drawn like a header.
    QTest::mouseClick(grid->viewport(), Qt::LeftButton, {}, grid->visualItemRect(grid->item(2, 0)).center());
    EXPECT_EQ(grid->currentRow(), 2);
    EXPECT_TRUE(grid->selectionModel()->isRowSelected(2, {}));
    QString title, length;
    WhenModal("Tf_AddRoom", [&](QWidget* d) {
        title = d->windowTitle();
        length = d->findChild<QLineEdit*>("EditWidthX")->text();
        Close(d, false);
    });
    QTest::keyClick(grid, Qt::Key_Return);
    EXPECT_EQ(title, QString("Помещение №2"));
    EXPECT_EQ(length, QString("6"));
}

}  // namespace
