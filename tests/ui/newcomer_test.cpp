// A newcomer's way in, driven as a user does: the fire-load library's dialog fills the fields
// and names the row in the saved file and the report, "Файл → Примеры" opens each example, F1
// shows the guide, "О программе" gives the version, and every field's label carries its unit.
#include <gtest/gtest.h>

#include <QAction>
#include <QApplication>
#include <QDialog>
#include <QFile>
#include <QGroupBox>
#include <QIcon>
#include <QImage>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMenu>
#include <QMessageBox>
#include <QPushButton>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

#include "editor_driver.h"
#include "guide_window.h"
#include "project/examples.h"
#include "project/fire_loads.h"
#include "project/program_info.h"
#include "project/scenario_file.h"

namespace {

class NewcomerTest : public EditorTest {
protected:
    void SetUp() override {
        QStandardPaths::setTestModeEnabled(true);
        EditorTest::SetUp();
    }
    QAction* Action(const char* name) const { return main_->findChild<QAction*>(QString::fromLatin1(name)); }
    QString Field(const char* name) const { return Find<QLineEdit>(name)->text(); }

    // Answers the fire-load dialog: types `search`, checks what the list keeps, picks `row`.
    void PickFireLoad(const QString& search, const QString& row, int expectShown) {
        WhenModal("TFireLoadDialog", [=](QWidget* d) {
            d->findChild<QLineEdit*>("EditFireLoadSearch")->setText(search);
            auto* list = d->findChild<QListWidget*>("ListFireLoads");
            int shown = 0;
            for (int i = 0; i < list->count(); ++i) shown += list->item(i)->isHidden() ? 0 : 1;
            EXPECT_EQ(shown, expectShown);
            const auto found = list->findItems(row, Qt::MatchExactly);
            ASSERT_EQ(found.size(), 1);
            list->setCurrentItem(found.front());
            EXPECT_TRUE(d->findChild<QLabel*>("FireLoadDetails")->text().contains(QStringLiteral("Дж/кг")));
            QTest::mouseClick(d->findChild<QPushButton*>("BtnFireLoadFill"), Qt::LeftButton);
        });
    }
};

TEST_F(NewcomerTest, TheFireLoadDialogSearchesFillsTheFieldsAndTheNameIsSavedWithTheBuilding) {
    // "склад" in any case: the rows whose name or description holds it.
    int expected = 0;
    for (const auto& row : zf::project::BuiltInFireLoads())
        expected += QString::fromStdString(row.Name + " " + row.Description).contains(QStringLiteral("склад"), Qt::CaseInsensitive);
    ASSERT_GT(expected, 1);
    PickFireLoad(QStringLiteral("СКЛАД"), QStringLiteral("Хлопок в тюках"), expected);
    Action("ActFireLoad")->trigger();
    const zf::project::FireLoad* row = zf::project::FindFireLoad("Хлопок в тюках");
    ASSERT_NE(row, nullptr);
    EXPECT_EQ(main_->FireLoadName(), QStringLiteral("Хлопок в тюках"));
    const zf::project::Document document = main_->CurrentDocument();
    EXPECT_TRUE(zf::project::ChangedFromFireLoad(document.Params, *row).empty());
    EXPECT_EQ(NumberFromText(Field("Edit1")), 16700000);
    EXPECT_EQ(Field("Edit10"), QStringLiteral("0,97"));  // Nu is not the library's
    EXPECT_TRUE(main_->IsModified());

    QTemporaryDir dir;
    ASSERT_TRUE(main_->SaveFile(dir.filePath("loaded.json")));
    QFile file(dir.filePath("loaded.json"));
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    const QByteArray text = file.readAll();
    EXPECT_TRUE(text.contains("\"fire_load\": \"Хлопок в тюках\"")) << text.toStdString();
    ASSERT_TRUE(main_->FileNew());
    EXPECT_TRUE(main_->FireLoadName().isEmpty());
    ASSERT_TRUE(main_->OpenFile(dir.filePath("loaded.json")));
    EXPECT_EQ(main_->FireLoadName(), QStringLiteral("Хлопок в тюках"));
}

TEST_F(NewcomerTest, EveryLibraryRowFillsTheEightFireLoadFields) {
    for (const auto& row : zf::project::BuiltInFireLoads()) {
        ASSERT_TRUE(main_->FillFireLoad(QString::fromStdString(row.Name))) << row.Name;
        EXPECT_TRUE(zf::project::ChangedFromFireLoad(main_->CurrentDocument().Params, row).empty()) << row.Name;
    }
    EXPECT_FALSE(main_->FillFireLoad(QStringLiteral("Нет такой нагрузки")));
}

TEST_F(NewcomerTest, CancellingTheFireLoadDialogChangesNothing) {
    const QString before = Field("Edit1");
    WhenModal("TFireLoadDialog", [](QWidget* d) { qobject_cast<QDialog*>(d)->reject(); });
    EXPECT_FALSE(main_->ChooseFireLoad());
    EXPECT_EQ(Field("Edit1"), before);
    EXPECT_TRUE(main_->FireLoadName().isEmpty());
}

TEST_F(NewcomerTest, TheExamplesMenuOpensEveryExampleUnsavedWithItsTitle) {
    auto* menu = main_->findChild<QMenu*>("MenuExamples");
    ASSERT_NE(menu, nullptr);
    ASSERT_EQ(menu->actions().size(), static_cast<qsizetype>(std::size(zf::project::kExampleFiles)));
    for (QAction* action : menu->actions()) {
        EXPECT_FALSE(action->statusTip().isEmpty()) << action->text().toStdString();  // the note
        action->trigger();
        const zf::project::Document document = main_->CurrentDocument();
        EXPECT_EQ(QString::fromStdString(document.Title), action->text());
        EXPECT_GT(document.Rooms.size(), 1u);
        EXPECT_FALSE(main_->FireLoadName().isEmpty());
        EXPECT_TRUE(main_->FilePath().isEmpty());  // saving asks where
    }
}

TEST_F(NewcomerTest, F1ShowsTheGuide) {
    ASSERT_FALSE(GuidePath().isEmpty());
    QAction* guide = Action("ActGuide");
    ASSERT_NE(guide, nullptr);
    EXPECT_EQ(guide->shortcut(), QKeySequence(Qt::Key_F1));
    guide->trigger();
    auto* window = main_->findChild<TGuideWindow*>("GuideWindow");
    ASSERT_NE(window, nullptr);
    EXPECT_TRUE(window->isVisible());
    EXPECT_TRUE(window->Text().contains(QStringLiteral("Руководство пользователя")));
    EXPECT_TRUE(window->Text().contains(QStringLiteral("4π·3²")));
}

TEST_F(NewcomerTest, AboutGivesTheVersionSetInTheBuild) {
    QString shown;
    WhenModal("QMessageBox", [&shown](QWidget* box) {
        shown = qobject_cast<QMessageBox*>(box)->text();
        qobject_cast<QMessageBox*>(box)->accept();
    });
    Action("ActAbout")->trigger();
    EXPECT_TRUE(shown.startsWith(QStringLiteral("zonefire ") + QString::fromUtf8(zf::project::ProgramVersion().data())));
}

// The icon of the menu entry and the windows draws (the resource is the installed SVG file).
TEST_F(NewcomerTest, TheProgramsIconDraws) {
    const QImage icon = QIcon(QStringLiteral(":/icons/zonefire.svg")).pixmap(64, 64).toImage();
    ASSERT_FALSE(icon.isNull());
    // The smoke layer's grey and the flame's orange are both there.
    bool grey = false, orange = false;
    for (int y = 0; y < icon.height(); ++y)
        for (int x = 0; x < icon.width(); ++x) {
            const QColor c = icon.pixelColor(x, y);
            grey = grey || (c.red() == 0x7d && c.green() == 0x87 && c.blue() == 0x91);
            orange = orange || (c.red() == 0xe8 && c.green() == 0x53 && c.blue() == 0x1f);
        }
    EXPECT_TRUE(grey);
    EXPECT_TRUE(orange);
}

// Every number field of the main window and of the two dialogs names its unit (Nu its
// dimensionless share), so J/kg and K cannot be mistaken for MJ/kg and °C.
TEST_F(NewcomerTest, EveryFieldsLabelNamesItsUnit) {
    for (QGroupBox* group : main_->findChildren<QGroupBox*>())
        for (QLabel* label : group->findChildren<QLabel*>())
            if (!label->text().isEmpty()) {
                EXPECT_TRUE(label->text().contains(QLatin1Char(','))) << label->text().toStdString();
            }
    EXPECT_EQ(Find<QLabel>("Label5")->text(), QStringLiteral("Qн, Дж/кг"));
    EXPECT_EQ(Find<QLabel>("Label14")->text(), QStringLiteral("T0, К"));
    // The dialogs write the unit after each field.
    for (QWidget* dialog : {static_cast<QWidget*>(addRoom_), static_cast<QWidget*>(addDoor_)})
        for (QLineEdit* field : dialog->findChildren<QLineEdit*>()) {
            auto* unit = dialog->findChild<QLabel*>(field->objectName() + QStringLiteral("Unit"));
            ASSERT_NE(unit, nullptr) << field->objectName().toStdString();
            EXPECT_EQ(unit->text(), QStringLiteral("м"));
        }
}

}  // namespace
