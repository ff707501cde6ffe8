// The building editor driven through its windows: the add-room and add-opening dialogs are
// answered from inside their own event loops, grids are clicked and read by (row, column)
// with row 0 and column 0 the header row and column.
#include <gtest/gtest.h>

#include <QApplication>
#include <QCheckBox>
#include <QGroupBox>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QMenuBar>
#include <QMessageBox>
#include <QPushButton>
#include <QRadioButton>
#include <QScrollBar>
#include <QSignalSpy>
#include <QTableWidget>
#include <QTest>
#include <QTimer>
#include <QToolButton>
#include <functional>
#include <memory>

#include "number_text.h"
#include "u_AddDoor.h"
#include "u_AddRoom.h"
#include "u_main.h"

#include "editor_driver.h"

namespace {

TEST_F(EditorTest, EmptyBuildingOffersNothingToSelect) {
    QTableWidget* matrix = Grid("GridMatrix");
    EXPECT_EQ(matrix->rowCount(), 1);
    EXPECT_EQ(matrix->columnCount(), 1);
    EXPECT_EQ(Text(matrix, 0, 0), "");
    EXPECT_EQ(Text(Grid("GridRoom"), 0, 1), "Длина, м");
    EXPECT_FALSE(ProemGridShown());
    EXPECT_EQ(Find<QLabel>("Label4")->text(), "Проемы отсутствуют");

    QSignalSpy doorDialog(addDoor_, &QDialog::finished);
    WhenModal("Tf_AddDoor", [](QWidget* d) { Close(d, false); });  // in case it wrongly opens
    Press("btnAddDoor");
    Press("btnDelRoom");
    Press("TBXButton2");
    EXPECT_EQ(doorDialog.count(), 0);
    EXPECT_EQ(main_->Scenario().RoomCount(), 0);
}

TEST_F(EditorTest, FirstRoomLetsTheOpeningButtonAddAnOutsideOpeningOfRoom1) {
    AddRoom("4", "5", "3");
    QTableWidget* matrix = Grid("GridMatrix");
    ASSERT_EQ(main_->Scenario().RoomCount(), 1);
    EXPECT_EQ(matrix->currentRow(), 1);
    EXPECT_EQ(matrix->currentColumn(), 1);
    EXPECT_EQ(Text(matrix, 0, 1), "1");
    EXPECT_EQ(Text(matrix, 1, 0), "1");
    EXPECT_EQ(Text(matrix, 1, 1), "-");

    AddOpening("2", "0,9", false);
    ASSERT_EQ(main_->Scenario().Cell(0, 0).size(), 1u);
    EXPECT_FALSE(main_->Scenario().Cell(0, 0)[0]->IsOpen);
    EXPECT_EQ(Text(matrix, 1, 1), "1");
    ASSERT_TRUE(ProemGridShown());
    EXPECT_EQ(Text(Grid("GridProem"), 1, 2), "0,9");
    EXPECT_EQ(Text(Grid("GridProem"), 1, 3), "0");
    ExpectGridsShowScenario();
}

TEST_F(EditorTest, DoorwayShowsInBothMirroredCellsOutsideOpeningInOne) {
    AddRoom("4", "5", "3");
    AddRoom("6", "5", "3");
    QTableWidget* matrix = Grid("GridMatrix");
    Click(matrix, 1, 2);
    AddOpening("2", "0,9");
    EXPECT_EQ(Text(matrix, 1, 2), "1");
    EXPECT_EQ(Text(matrix, 2, 1), "1");
    zf::TzoneMath& zm = main_->Scenario();
    ASSERT_EQ(zm.Cell(1, 0).size(), 1u);
    EXPECT_NE(zm.Cell(0, 1)[0].get(), zm.Cell(1, 0)[0].get());  // two faces, one per room

    Click(matrix, 1, 1);
    AddOpening("1,5", "1");
    EXPECT_EQ(Text(matrix, 1, 1), "1");
    EXPECT_EQ(Text(matrix, 2, 2), "-");
    EXPECT_EQ(Text(matrix, 1, 2), "1");
    ExpectGridsShowScenario();
}

TEST_F(EditorTest, DeletingTheMiddleRoomOfAChainRenumbersTheLastOne) {
    AddRoom("4", "5", "3");
    AddRoom("6", "5", "3");
    AddRoom("8", "5", "3");
    QTableWidget* matrix = Grid("GridMatrix");
    Click(matrix, 1, 2);
    AddOpening("2", "0,9");
    Click(matrix, 2, 3);
    AddOpening("2", "0,9");
    Click(matrix, 3, 3);
    AddOpening("1", "1");
    Click(matrix, 1, 2);  // shows the doorway 1-2

    Click(Grid("GridRoom"), 2, 1);
    Press("btnDelRoom");
    EXPECT_FALSE(ProemGridShown());  // cell 1, 2 is now the empty cell of rooms 1 and 3
    zf::TzoneMath& zm = main_->Scenario();
    ASSERT_EQ(zm.RoomCount(), 2);
    EXPECT_EQ(zm.Room(1).Length, 8);
    EXPECT_EQ(Text(matrix, 1, 2), "-");
    EXPECT_EQ(Text(matrix, 2, 1), "-");
    EXPECT_EQ(Text(matrix, 2, 2), "1");  // the former room 3's outside opening
    EXPECT_EQ(Text(Grid("GridRoom"), 2, 1), "8");
    ExpectGridsShowScenario();
}

TEST_F(EditorTest, DeletingTheSecondOfThreeOpeningsDeletesItsTwin) {
    AddRoom("4", "5", "3");
    AddRoom("6", "5", "3");
    Click(Grid("GridMatrix"), 1, 2);
    for (const char* height : {"1", "2", "3"}) AddOpening(height, "0,9");
    QTableWidget* proems = Grid("GridProem");
    ASSERT_EQ(proems->rowCount(), 4);

    Click(proems, 2, 1);
    Press("TBXButton2");
    zf::TzoneMath& zm = main_->Scenario();
    ASSERT_EQ(zm.Cell(0, 1).size(), 2u);
    ASSERT_EQ(zm.Cell(1, 0).size(), 2u);
    EXPECT_EQ(zm.Cell(0, 1)[1]->Height, 3);
    EXPECT_EQ(zm.Cell(1, 0)[1]->Height, 3);
    EXPECT_EQ(Text(Grid("GridMatrix"), 2, 1), "2");
    EXPECT_EQ(Text(proems, 1, 1), "1");
    EXPECT_EQ(Text(proems, 2, 1), "3");
    ExpectGridsShowScenario();
}

TEST_F(EditorTest, HeaderAndEmptyCellsHideTheOpenings) {
    AddRoom("4", "5", "3");
    AddRoom("6", "5", "3");
    QTableWidget* matrix = Grid("GridMatrix");
    Click(matrix, 1, 2);
    AddOpening("2", "0,9");
    for (auto [row, col] : {std::pair{2, 2}, {0, 1}, {1, 0}, {0, 0}}) {
        main_->GridMatrixSelectCell(2, 1);
        ASSERT_TRUE(ProemGridShown());
        main_->GridMatrixSelectCell(col, row);
        EXPECT_FALSE(ProemGridShown()) << row << ", " << col;
    }
    Click(matrix, 2, 2);
    EXPECT_FALSE(ProemGridShown());
    EXPECT_TRUE(Find<QLabel>("Label4")->isVisible());
    Click(matrix, 1, 2);
    EXPECT_TRUE(ProemGridShown());
    Click(matrix, 0, 1);  // a header cell cannot become current, by mouse or by key
    QTest::keyClick(matrix, Qt::Key_Up);
    EXPECT_EQ(matrix->currentRow(), 1);
    EXPECT_EQ(matrix->currentColumn(), 2);
    EXPECT_TRUE(ProemGridShown());

    Click(Grid("GridProem"), 1, 1);
    Press("TBXButton2");  // the cell loses its last opening
    EXPECT_FALSE(ProemGridShown());
    EXPECT_EQ(Text(matrix, 1, 2), "-");
}

TEST_F(EditorTest, CancelChangesNothingAndTheDialogsKeepWhatWasTyped) {
    WhenModal("Tf_AddRoom", [](QWidget* d) {
        Type(d, "EditWidthX", "7");
        Close(d, false);
    });
    Press("btnAddRoom");
    EXPECT_EQ(main_->Scenario().RoomCount(), 0);
    QString shown;
    WhenModal("Tf_AddRoom", [&shown](QWidget* d) {
        shown = d->findChild<QLineEdit*>("EditWidthX")->text();
        d->close();  // the title-bar close button
    });
    Press("btnAddRoom");
    EXPECT_EQ(shown, "7");
    EXPECT_EQ(main_->Scenario().RoomCount(), 0);

    AddRoom("4", "5", "3");
    WhenModal("Tf_AddDoor", [](QWidget* d) {
        Type(d, "EditWidth", "1,25");
        d->findChild<QCheckBox*>("CBOpenDoor")->setChecked(false);
        QTest::keyClick(d, Qt::Key_Escape);
    });
    Press("btnAddDoor");
    bool open = true;
    WhenModal("Tf_AddDoor", [&](QWidget* d) {
        shown = d->findChild<QLineEdit*>("EditWidth")->text();
        open = d->findChild<QCheckBox*>("CBOpenDoor")->isChecked();
        Close(d, false);
    });
    Press("btnAddDoor");
    EXPECT_EQ(shown, "1,25");
    EXPECT_FALSE(open);
    EXPECT_TRUE(main_->Scenario().Cell(0, 0).empty());
    ExpectGridsShowScenario();
}

// A field that holds no number keeps its dialog open: the message names the field and what it
// takes, the field gets the focus, and nothing is added.
struct BadDialogEntry {
    const char* dialog;
    const char* fields[3];
    const char* texts[3];
    const char* focused;
    const char* says;
};

class EditorEntry : public EditorTest, public ::testing::WithParamInterface<BadDialogEntry> {};

TEST_P(EditorEntry, ABadNumberKeepsTheDialogOpenOnItsField) {
    const BadDialogEntry& c = GetParam();
    AddRoom("4", "5", "3");
    Click(Grid("GridMatrix"), 1, 1);
    QMessageBox::Icon icon = QMessageBox::NoIcon;
    QString text, focused;
    bool stillOpen = false;
    WhenModal(c.dialog, [&](QWidget* d) {
        for (int i = 0; i < 3 && c.fields[i] != nullptr; ++i) Type(d, c.fields[i], QString::fromUtf8(c.texts[i]));
        WhenModal("QMessageBox", [&](QWidget* w) {
            auto* box = static_cast<QMessageBox*>(w);
            icon = box->icon();
            text = box->text();
            box->button(QMessageBox::Ok)->click();
        });
        Close(d, true);  // returns once the message is answered
        stillOpen = d->isVisible();
        focused = d->focusWidget() != nullptr ? d->focusWidget()->objectName() : QString();
        Close(d, false);
    });
    Press(std::string(c.dialog) == "Tf_AddRoom" ? "btnAddRoom" : "btnAddDoor");
    EXPECT_EQ(icon, QMessageBox::Critical);
    EXPECT_TRUE(text.contains(QString::fromUtf8(c.says))) << text.toStdString();
    EXPECT_TRUE(stillOpen);
    EXPECT_EQ(focused, QString::fromLatin1(c.focused));
    EXPECT_EQ(main_->Scenario().RoomCount(), 1);
    EXPECT_TRUE(main_->Scenario().Cell(0, 0).empty());
    ExpectGridsShowScenario();
}

INSTANTIATE_TEST_SUITE_P(
    Texts, EditorEntry,
    ::testing::Values(
        BadDialogEntry{"Tf_AddRoom", {"EditWidthX", "EditWidthY", "EditHeight"}, {"4", "1,2,3", "3"}, "EditWidthY",
                       "Поле «Ширина, м»: «1,2,3» — не число"},
        BadDialogEntry{"Tf_AddRoom", {"EditWidthX", "EditWidthY", "EditHeight"}, {"-5", "4", "3"}, "EditWidthX",
                       "Поле «Длина, м»: отрицательное значение «-5» не имеет смысла"},
        BadDialogEntry{"Tf_AddRoom", {"EditWidthX", "EditWidthY", "EditHeight"}, {"4", "5", ""}, "EditHeight",
                       "Поле «Высота, м»: значение не задано"},
        BadDialogEntry{"Tf_AddDoor", {"EditHeight", "EditWidth", nullptr}, {"2", "0..9", ""}, "EditWidth",
                       "Поле «Ширина, м»: «0..9» — не число"}),
    [](const ::testing::TestParamInfo<BadDialogEntry>& info) { return "Case" + std::to_string(info.index); });

// Spaces around a number, and a power of ten with a Latin or a Cyrillic e, are read as typed.
TEST_F(EditorTest, SpacesAndPowersOfTenEnterAsTyped) {
    AddRoom(" 5 ", "1e1", "3,5E0");
    ASSERT_EQ(main_->Scenario().RoomCount(), 1);
    const zf::TRoom& room = main_->Scenario().Room(0);
    EXPECT_EQ(room.Length, 5);
    EXPECT_EQ(room.Width, 10);
    EXPECT_EQ(room.Height, 3.5);
}

TEST_F(EditorTest, PointAndCommaGiveTheSameValueShownWithTheLocaleSeparator) {
    for (const QLocale& locale : {QLocale(QLocale::Russian, QLocale::Russia), QLocale::c()}) {
        const QLocale saved;
        QLocale::setDefault(locale);
        main_->NewScenario();
        AddRoom("0.0108", "0,0108", "3");
        QLocale::setDefault(saved);
        ASSERT_EQ(main_->Scenario().RoomCount(), 1);
        EXPECT_EQ(main_->Scenario().Room(0).Length, 0.0108);
        EXPECT_EQ(main_->Scenario().Room(0).Width, 0.0108);
        const QString shown = QStringLiteral("0%1").arg(locale.decimalPoint()) + "0108";
        EXPECT_EQ(Text(Grid("GridRoom"), 1, 1), shown);
        EXPECT_EQ(Text(Grid("GridRoom"), 1, 2), shown);
    }
}

TEST_F(EditorTest, NewScenarioEmptiesTheBuildingAndKeepsTheDialogTexts) {
    AddRoom("9", "5", "3");
    Click(Grid("GridMatrix"), 1, 1);
    AddOpening("2", "0,9");
    zf::TzoneMath* before = &main_->Scenario();
    main_->NewScenario();
    EXPECT_NE(&main_->Scenario(), before);
    EXPECT_EQ(main_->Scenario().RoomCount(), 0);
    EXPECT_EQ(Grid("GridRoom")->rowCount(), 1);
    EXPECT_EQ(Grid("GridMatrix")->rowCount(), 1);
    EXPECT_FALSE(ProemGridShown());
    EXPECT_EQ(addRoom_->LengthText(), "9");
}

// The thirteen parameter fields: label, tool tip shared by label and field, initial text, and
// their order in the two group boxes.

}  // namespace
