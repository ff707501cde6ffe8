// The editor, continued: the parameter fields in order with their labels and tips, their first
// texts, the window's size and icons, headers in view, dialogs and keys.
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

struct FieldCase {
    const char* edit;
    const char* label;
    const char* tip;
    const char* text;
    const char* group;
};

class ParameterFields : public ::testing::TestWithParam<std::vector<FieldCase>> {};

TEST_P(ParameterFields, StandInOrderWithLabelsTipsAndInitialTexts) {
    Tf_main window;
    int lastY = -1;
    for (const FieldCase& f : GetParam()) {
        auto* edit = window.findChild<QLineEdit*>(f.edit);
        ASSERT_NE(edit, nullptr) << f.edit;
        EXPECT_EQ(edit->text(), QString::fromUtf8(f.text)) << f.edit;
        EXPECT_EQ(edit->toolTip(), QString::fromUtf8(f.tip)) << f.edit;
        auto* group = qobject_cast<QGroupBox*>(edit->parentWidget());
        ASSERT_NE(group, nullptr) << f.edit;
        EXPECT_EQ(group->title(), QString::fromUtf8(f.group)) << f.edit;
        const QLabel* label = nullptr;
        for (const QLabel* l : group->findChildren<QLabel*>())
            if (l->buddy() == edit) label = l;
        ASSERT_NE(label, nullptr) << f.edit;
        EXPECT_EQ(label->text(), QString::fromUtf8(f.label)) << f.edit;
        EXPECT_EQ(label->toolTip(), edit->toolTip()) << f.edit;
        window.show();  // lays the group boxes out
        EXPECT_GT(edit->y(), lastY) << f.edit;
        lastY = edit->y();
    }
}

INSTANTIATE_TEST_SUITE_P(
    Groups, ParameterFields,
    ::testing::Values(
        std::vector<FieldCase>{
            {"Edit1", "Qн, Дж/кг", "Низшая теплота сгорания горючей нагрузки", "13800000", " Параметры горючей нагрузки "},
            {"Edit2", "Vлин, м/с", "Линейная скорость распространения пламени по поверхности горючей нагрузки", "0,0108",
             " Параметры горючей нагрузки "},
            {"Edit3", "Psi уд, кг/м2*с", "Удельная массовая скорость выгорания горючей нагрузки", "0,01450",
             " Параметры горючей нагрузки "},
            {"Edit4", "D, Нп*м2/кг", "Величина удельного дымовыделения (дымообразующая способность горючей нагрузки)",
             "270", " Параметры горючей нагрузки "},
            {"Edit5", "Lo2, кг/кг", "Удельное потребление кислорода на сгорание 1 кг горючей нагрузки", "1,0300",
             " Параметры горючей нагрузки "},
            {"Edit6", "Lco, кг/кг", "Удельное выделение угарного газа с 1 кг горючей нагрузки", "0,00220",
             " Параметры горючей нагрузки "},
            {"Edit7", "Lco2, кг/кг", "Удельное выделение углекислого газа с 1 кг горючей нагрузки", "0,20300",
             " Параметры горючей нагрузки "},
            {"Edit8", "Lhcl, кг/кг", "Удельное выделение хлороводорода с 1 кг горючей нагрузки", "0,01400",
             " Параметры горючей нагрузки "},
            {"Edit10", "Nu, доли ед.", "Коэффициент полноты сгорания горючего материала", "0,97", " Параметры горючей нагрузки "}},
        std::vector<FieldCase>{
            {"Edit9", "T0, К", "Температура наружного воздуха", "293", " Начальные условия "},
            {"Edithr", "hr, м", "Высота рабочей зоны", "1,7", " Начальные условия "},
            {"Edit12", "Моделир., c:", "Время моделирования", "200", " Начальные условия "},
            {"Edit11", "Шаг, c:", "Шаг расчета", "0,0001", " Начальные условия "}}));

// The texts the fields and the two dialogs first show are a new building's defaults: read as
// the calculation reads them, they give exactly the values a building file without those keys
// gets. "Файл → Новый" shows them again.
TEST_F(EditorTest, FirstTextsAreTheDefaultsOfANewBuilding) {
    const zf::project::Document fresh;  // a file with no keys: every value its default
    auto expectDefaults = [&](const char* when) {
        const zf::project::Document shown = main_->CurrentDocument();  // the fields, read
        EXPECT_EQ(shown.Params, fresh.Params) << when;
        EXPECT_EQ(Find<QLineEdit>("EditFireAreaMax")->text(), "0") << when;
        EXPECT_TRUE(Find<QRadioButton>("rbTanaka")->isChecked()) << when;
    };
    expectDefaults("at start");
    // Each field differs from its default before the new building.
    for (const char* name : {"Edit1", "Edit2", "Edit3", "Edit4", "Edit5", "Edit6", "Edit7", "Edit8", "Edit9",
                             "Edit10", "Edithr", "Edit11", "Edit12", "EditFireAreaMax"})
        Find<QLineEdit>(name)->setText("7");
    ASSERT_NE(main_->CurrentDocument().Params, fresh.Params);
    WhenModal("QMessageBox", [](QWidget* box) {  // "save the changes?": no
        static_cast<QMessageBox*>(box)->button(QMessageBox::Discard)->click();
    });
    ASSERT_TRUE(main_->FileNew());
    expectDefaults("after Файл → Новый");

    const zf::project::Room room;
    EXPECT_EQ(NumberFromText(addRoom_->LengthText()), room.Length);
    EXPECT_EQ(NumberFromText(addRoom_->WidthText()), room.Width);
    EXPECT_EQ(NumberFromText(addRoom_->HeightText()), room.Height);
    const zf::project::Opening opening;
    EXPECT_EQ(NumberFromText(addDoor_->HeightText()), opening.Height);
    EXPECT_EQ(NumberFromText(addDoor_->WidthText()), opening.Width);
    EXPECT_EQ(addDoor_->IsOpen(), opening.Open);
    // As the dialogs have always shown them.
    EXPECT_EQ(QStringList({addRoom_->LengthText(), addRoom_->WidthText(), addRoom_->HeightText(),
                           addDoor_->HeightText(), addDoor_->WidthText()}),
              QStringList({"4", "5", "3", "2", "0,9"}));
}

TEST_F(EditorTest, WindowHasItsFixedSizeGridsIconsAndPlumeChoice) {
    // The designed client area keeps its size below the menu bar; the hint line sits below it.
    EXPECT_EQ(main_->centralWidget()->size(), QSize(841, 523));
    auto* hint = Find<QLabel>("LabelHint");
    EXPECT_TRUE(hint->isVisible());
    EXPECT_GE(hint->mapTo(main_.get(), QPoint(0, 0)).y(), 523 + main_->menuBar()->height());
    EXPECT_TRUE(hint->text().contains("Помещение 1 — помещение с очагом пожара"));
    EXPECT_TRUE(hint->text().contains("диагонали матрицы"));
    EXPECT_GE(main_->height(), 523 + main_->menuBar()->height() + hint->sizeHint().height());
    EXPECT_EQ(main_->width(), 841);
    EXPECT_EQ(main_->minimumSize(), main_->maximumSize());
    EXPECT_EQ(main_->windowTitle(), "Расчет времени блокировки с использованием зонной модели (тестовая версия)");
    EXPECT_EQ(Grid("GridRoom")->geometry(), QRect(16, 24, 281, 449));
    EXPECT_EQ(Grid("GridMatrix")->geometry(), QRect(336, 24, 281, 209));
    EXPECT_EQ(Grid("GridProem")->geometry(), QRect(336, 280, 281, 193));
    for (const char* button : {"btnAddRoom", "btnDelRoom", "btnAddDoor", "TBXButton2"})
        EXPECT_FALSE(Find<QToolButton>(button)->icon().isNull()) << button;
    auto* calc = Find<QPushButton>("TBXButton1");
    EXPECT_EQ(calc->text(), "Расчет");
    EXPECT_FALSE(calc->icon().isNull());
    auto* plume = Find<QGroupBox>("RadioTanaka");
    EXPECT_EQ(plume->title(), " Расчет произв. конвект. колонки ");
    const auto items = plume->findChildren<QRadioButton*>();
    ASSERT_EQ(items.size(), 2);
    EXPECT_EQ(items[0]->text(), "Зависимость Танака");
    EXPECT_TRUE(items[0]->isChecked());
    EXPECT_EQ(items[1]->text(), "Зависимость МакКефри");
    EXPECT_TRUE(Find<QLabel>("TimeCalc")->isHidden());
}

// Twenty-five rooms overflow both grids. Scrolled to their ends, the header row and column still
// show the room numbers of the cells beside them, and a click reaches the cell the handlers
// address as drawn (row 0 and column 0 the headers).
TEST_F(EditorTest, HeadersStayInViewWhenTheGridsScroll) {
    constexpr int n = 25;
    for (int k = 1; k <= n; ++k) AddRoom(QString::number(k), "5", "3");
    QTableWidget* matrix = Grid("GridMatrix");
    QApplication::processEvents();
    matrix->verticalScrollBar()->setValue(matrix->verticalScrollBar()->maximum());
    matrix->horizontalScrollBar()->setValue(matrix->horizontalScrollBar()->maximum());
    ASSERT_GT(matrix->verticalScrollBar()->value(), 0);
    ASSERT_GT(matrix->horizontalScrollBar()->value(), 0);
    for (QHeaderView* header : {matrix->horizontalHeader(), matrix->verticalHeader()}) {
        ASSERT_TRUE(header->isVisible());
        const Qt::Orientation along = header->orientation();
        // The first row or column in view is a room's, and its header names that room.
        const int first = along == Qt::Horizontal ? matrix->columnAt(1) : matrix->rowAt(1);
        EXPECT_GT(first, 1);
        EXPECT_EQ(matrix->model()->headerData(first, along).toString(), QString::number(first));
        const int cellAt = along == Qt::Horizontal ? matrix->columnViewportPosition(first) : matrix->rowViewportPosition(first);
        EXPECT_EQ(header->sectionViewportPosition(first), cellAt);  // right beside its cells
    }
    EXPECT_TRUE(matrix->isRowHidden(0));  // drawn once, by the header view
    EXPECT_EQ(Text(matrix, 0, n), QString::number(n));  // and still there for the handlers

    Click(matrix, n, n - 1);
    EXPECT_EQ(matrix->currentRow(), n);
    EXPECT_EQ(matrix->currentColumn(), n - 1);
    AddOpening("2", "0,9");
    EXPECT_EQ(main_->Scenario().Cell(n - 1, n - 2).size(), 1u);  // the last two rooms
    EXPECT_EQ(main_->Scenario().Cell(n - 2, n - 1).size(), 1u);
    EXPECT_EQ(Text(matrix, n, n - 1), "1");
    Click(matrix, 0, n - 1);  // the header row is no cell to select
    EXPECT_EQ(matrix->currentRow(), n);

    QTableWidget* rooms = Grid("GridRoom");
    rooms->verticalScrollBar()->setValue(rooms->verticalScrollBar()->maximum());
    ASSERT_GT(rooms->verticalScrollBar()->value(), 0);
    ASSERT_TRUE(rooms->horizontalHeader()->isVisible());
    EXPECT_EQ(rooms->model()->headerData(1, Qt::Horizontal).toString(), "Длина, м");
    EXPECT_EQ(rooms->model()->headerData(0, Qt::Horizontal).toString(), "№");
    Click(rooms, n, 1);
    EXPECT_EQ(rooms->currentRow(), n);
    Press("btnDelRoom");
    ASSERT_EQ(main_->Scenario().RoomCount(), n - 1);
    EXPECT_EQ(main_->Scenario().Room(n - 2).Length, n - 1);  // the last room went
    ExpectGridsShowScenario();
}

// Each dialog opens at its first field with the text selected, so typing replaces it, and
// Enter presses "Принять". The sizes are marked as metres.
TEST_F(EditorTest, DialogsOpenAtTheFirstFieldSelectedAndEnterAccepts) {
    for (int round = 0; round < 2; ++round) {  // also at the second opening of the same dialog
        WhenModal("Tf_AddRoom", [](QWidget* d) {
            auto* first = d->findChild<QLineEdit*>("EditWidthX");
            EXPECT_EQ(d->focusWidget(), first);
            EXPECT_EQ(first->selectedText(), first->text());
            QTest::keyClicks(first, "7");
            QTest::keyClick(first, Qt::Key_Return);
        });
        Press("btnAddRoom");
    }
    ASSERT_EQ(main_->Scenario().RoomCount(), 2);
    EXPECT_EQ(main_->Scenario().Room(1).Length, 7);

    WhenModal("Tf_AddDoor", [](QWidget* d) {
        auto* first = d->findChild<QLineEdit*>("EditWidth");
        EXPECT_EQ(d->focusWidget(), first);
        EXPECT_EQ(first->selectedText(), "0,9");
        QTest::keyClicks(first, "1,2");
        QTest::keyClick(first, Qt::Key_Enter);  // the keypad's Enter too
    });
    Click(Grid("GridMatrix"), 1, 2);
    Press("btnAddDoor");
    ASSERT_EQ(main_->Scenario().Cell(0, 1).size(), 1u);
    EXPECT_EQ(main_->Scenario().Cell(0, 1)[0]->Width, 1.2);

    for (auto [dialog, fields] : {std::pair<QWidget*, QStringList>{addRoom_, {"EditWidthX", "EditWidthY", "EditHeight"}},
                                  std::pair<QWidget*, QStringList>{addDoor_, {"EditWidth", "EditHeight"}}}) {
        for (const QString& field : fields) {
            auto* unit = dialog->findChild<QLabel*>(field + "Unit");
            ASSERT_NE(unit, nullptr) << field.toStdString();
            EXPECT_EQ(unit->text(), "м");
            // On the field's own line, right after it.
            auto* edit = dialog->findChild<QLineEdit*>(field);
            dialog->adjustSize();
            EXPECT_GT(unit->geometry().left(), edit->geometry().right());
            EXPECT_LT(std::abs(unit->geometry().center().y() - edit->geometry().center().y()), 4);
        }
    }
}

// Insert and Delete in the grids press the four buttons, whose tool tips name the keys.
TEST_F(EditorTest, InsertAndDeleteInTheGridsAddAndDeleteRoomsAndOpenings) {
    for (auto [button, key] : {std::pair{"btnAddRoom", "Ins"}, {"btnDelRoom", "Del"}, {"btnAddDoor", "Ins"},
                               {"TBXButton2", "Del"}})
        EXPECT_TRUE(Find<QToolButton>(button)->toolTip().contains(key)) << button;
    // A key reaches the grid with the focus in the active window: after a dialog, the main one.
    auto focus = [this](QTableWidget* grid) {
        // The headless platform leaves a closed dialog the active window; a window manager
        // would hand activation back to the main window.
        QApplication::setActiveWindow(main_.get());
        ASSERT_EQ(QApplication::activeWindow(), main_.get());
        grid->setFocus();
    };
    QTableWidget* rooms = Grid("GridRoom");
    QTableWidget* matrix = Grid("GridMatrix");
    for (const char* length : {"4", "6"}) {
        WhenModal("Tf_AddRoom", [length](QWidget* d) {
            Type(d, "EditWidthX", length);
            Close(d, true);
        });
        focus(rooms);
        QTest::keyClick(rooms, Qt::Key_Insert);
    }
    ASSERT_EQ(main_->Scenario().RoomCount(), 2);

    Click(matrix, 1, 2);
    focus(matrix);
    WhenModal("Tf_AddDoor", [](QWidget* d) { Close(d, true); });
    QTest::keyClick(matrix, Qt::Key_Insert);
    ASSERT_EQ(main_->Scenario().Cell(0, 1).size(), 1u);
    focus(matrix);
    QTest::keyClick(matrix, Qt::Key_Delete);
    EXPECT_TRUE(main_->Scenario().Cell(0, 1).empty());
    EXPECT_EQ(main_->Scenario().RoomCount(), 2);  // Delete in the matrix is no room's

    Click(rooms, 1, 1);
    focus(rooms);
    QTest::keyClick(rooms, Qt::Key_Delete);
    ASSERT_EQ(main_->Scenario().RoomCount(), 1);
    EXPECT_EQ(main_->Scenario().Room(0).Length, 6);
    ExpectGridsShowScenario();
}

}  // namespace
