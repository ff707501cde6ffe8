// "Расчет" with values that look typed in another unit: a warning with exactly "Считать всё
// равно" and "Исправить". "Исправить" runs nothing and puts the focus where the value is typed;
// "Считать всё равно" runs the building as it stands.
#include <gtest/gtest.h>

#include <QMessageBox>
#include <QPushButton>

#include "editor_driver.h"
#include "u_ShowResult.h"
#include "u_progress.h"

namespace {

struct WarnedCase {
    const char* Name;
    const char* Field;  // a parameter field given Text, or nullptr
    const char* Text;
    bool Window;        // the second room gets a window to the outside
    const char* Says;   // a piece of the box's text
    const char* Focus;  // the widget that has the focus after "Исправить"
    int Row, Column;    // its current cell, for a grid
};

void PrintTo(const WarnedCase& c, std::ostream* os) { *os << c.Name; }

class UnitWarningBox : public EditorTest, public testing::WithParamInterface<WarnedCase> {
protected:
    void SetUp() override {
        EditorTest::SetUp();
        runAnyway_ = false;
        progress_ = std::make_unique<Tf_progress>();
        results_ = new TF_ShowResult(main_.get());
        main_->SetRunWindows(progress_.get(), results_);
        Find<QLineEdit>("Edit11")->setText("0,01");  // a short run
        Find<QLineEdit>("Edit12")->setText("1");
        if (GetParam().Field) Find<QLineEdit>(GetParam().Field)->setText(QString::fromUtf8(GetParam().Text));
        AddRoom("5", "4", "3");
        AddRoom("6", "5", "3");
        Click(Grid("GridMatrix"), 1, 2);
        AddOpening("2", "0,9");
        if (GetParam().Window) {
            Click(Grid("GridMatrix"), 2, 2);
            AddOpening("2", "1,2", false);
        }
        Click(Grid("GridRoom"), 1, 1);
    }
    void TearDown() override {
        EditorTest::TearDown();
        main_.reset();
        progress_.reset();
    }
    // Presses "Расчет" and answers the warning with the button of that text; returns the
    // box's text and its buttons' texts.
    QString Calculate(const QString& answer, QStringList& buttons) {
        QString text;
        WhenModal("QMessageBox", [&](QWidget* w) {
            auto* box = static_cast<QMessageBox*>(w);
            text = box->text();
            for (QAbstractButton* b : box->buttons()) buttons << b->text();
            for (QAbstractButton* b : box->buttons())
                if (b->text() == answer) return QTest::mouseClick(b, Qt::LeftButton);
        });
        QTest::mouseClick(Find<QPushButton>("TBXButton1"), Qt::LeftButton);
        return text;
    }

    std::unique_ptr<Tf_progress> progress_;
    TF_ShowResult* results_ = nullptr;
};

TEST_P(UnitWarningBox, FixReturnsToTheValueAndRunsNothing) {
    QStringList buttons;
    const QString text = Calculate(QStringLiteral("Исправить"), buttons);
    EXPECT_TRUE(text.contains(QString::fromUtf8(GetParam().Says))) << text.toStdString();
    buttons.sort();
    EXPECT_EQ(buttons, QStringList({QStringLiteral("Исправить"), QStringLiteral("Считать всё равно")}));
    EXPECT_EQ(main_->LastRun(), nullptr);
    QWidget* focus = main_->focusWidget();
    ASSERT_NE(focus, nullptr);
    EXPECT_EQ(focus->objectName(), GetParam().Focus);
    if (auto* grid = qobject_cast<QTableWidget*>(focus)) {
        EXPECT_EQ(grid->currentRow(), GetParam().Row);
        EXPECT_EQ(grid->currentColumn(), GetParam().Column);
    }
    EXPECT_EQ(main_->Scenario().RoomCount(), 2);
}

TEST_P(UnitWarningBox, RunAnywayRunsTheBuildingAsItStands) {
    bool shown = false;
    WhenModal("TF_ShowResult", [&](QWidget* window) {
        shown = true;
        window->close();
    });
    QStringList buttons;
    Calculate(QStringLiteral("Считать всё равно"), buttons);
    EXPECT_TRUE(shown);
    ASSERT_NE(main_->LastRun(), nullptr);
}

INSTANTIATE_TEST_SUITE_P(
    Slips, UnitWarningBox,
    testing::Values(
        WarnedCase{"Megajoules", "Edit1", "13,8", true, "13,8 МДж/кг вводится как 13 800 000", "Edit1", 0, 0},
        WarnedCase{"Celsius", "Edit9", "20", true, "20 °C — это 293 К", "Edit9", 0, 0},
        WarnedCase{"NoWayOut", nullptr, "", false, "нет пути наружу", "GridMatrix", 1, 1}),
    [](const testing::TestParamInfo<WarnedCase>& info) { return std::string(info.param.Name); });

}  // namespace
