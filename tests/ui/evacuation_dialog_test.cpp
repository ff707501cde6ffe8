// The "Эвакуация..." dialog: a table of the rooms with t_нэ and t_р, the safety factor, and
// entries refused with a message naming the room.
#include <QDialogButtonBox>
#include <QLineEdit>
#include <QPushButton>
#include <QTableWidget>
#include <gtest/gtest.h>

#include "u_Evacuation.h"

namespace {

class EvacuationDialog : public ::testing::Test {
protected:
    void SetUp() override {
        dialog.SetErrorReporter([this](const QString& m) { reported = m; });
        grid = dialog.findChild<QTableWidget*>("GridEvacuation");
        factor = dialog.findChild<QLineEdit*>("EditSafetyFactor");
        ASSERT_NE(grid, nullptr);
        ASSERT_NE(factor, nullptr);
    }
    void Type(int row, int col, const QString& text) { grid->item(row, col)->setText(text); }
    QString Refusal() {
        QString why;
        EXPECT_FALSE(dialog.Inputs(&why).has_value());
        return why;
    }

    TF_Evacuation dialog;
    QTableWidget* grid = nullptr;
    QLineEdit* factor = nullptr;
    QString reported;
};

TEST_F(EvacuationDialog, ShowsTheRoomsAndReadsTypedTimesWithEitherDecimalMark) {
    zfreport::EvacuationInputs given;
    given.Rooms = {zfreport::EvacuationInput{10, 20.5}};
    given.SafetyFactor = 0.8;
    dialog.Show(given, 3);
    ASSERT_EQ(grid->rowCount(), 3);
    EXPECT_EQ(grid->item(2, 0)->text(), QString("Помещение №3"));
    EXPECT_EQ(grid->item(0, 2)->text(), QString("20,5"));
    EXPECT_EQ(grid->item(1, 1)->text(), QString(""));
    EXPECT_EQ(factor->text(), QString("0,8"));

    Type(1, 1, "0");
    Type(1, 2, "0");     // zero inputs are inputs
    Type(2, 1, "1.25");  // a point as well as a comma
    Type(2, 2, "3,5");
    factor->setText("1");
    QString why;
    const auto inputs = dialog.Inputs(&why);
    ASSERT_TRUE(inputs.has_value()) << why.toStdString();
    ASSERT_EQ(inputs->Rooms.size(), 3u);
    EXPECT_EQ(inputs->Rooms[0], (zfreport::EvacuationInput{10, 20.5}));
    EXPECT_EQ(inputs->Rooms[1], (zfreport::EvacuationInput{0, 0}));
    EXPECT_EQ(inputs->Rooms[2], (zfreport::EvacuationInput{1.25, 3.5}));
    EXPECT_EQ(inputs->SafetyFactor, 1.0);

    Type(0, 1, "");
    Type(0, 2, "");
    EXPECT_FALSE(dialog.Inputs(nullptr)->Rooms[0].has_value());  // an empty row: no inputs
}

TEST_F(EvacuationDialog, RefusesBadEntriesNamingTheRoomAndStaysOpen) {
    dialog.Show({}, 2);
    Type(1, 1, "5");
    EXPECT_TRUE(Refusal().startsWith("Помещение №2: задайте оба времени"));
    Type(1, 2, "-3");
    EXPECT_TRUE(Refusal().startsWith("Помещение №2: время эвакуации t_р")) << Refusal().toStdString();
    Type(1, 2, "abc");
    EXPECT_EQ(Refusal(), QString("Помещение №2: t_р «abc» — не число"));
    Type(1, 2, "7");
    factor->setText("0");
    EXPECT_TRUE(Refusal().contains("больше 0"));
    factor->setText("1,2");
    EXPECT_TRUE(Refusal().contains("не больше 1"));

    // "Принять" with a refused entry: the message, and the dialog is not accepted.
    dialog.show();
    dialog.findChild<QDialogButtonBox*>()->button(QDialogButtonBox::Ok)->click();
    EXPECT_TRUE(reported.contains("коэффициент безопасности")) << reported.toStdString();
    EXPECT_TRUE(dialog.isVisible());
    factor->setText("0,9");
    dialog.findChild<QDialogButtonBox*>()->button(QDialogButtonBox::Ok)->click();
    EXPECT_EQ(dialog.result(), QDialog::Accepted);
}

}  // namespace
