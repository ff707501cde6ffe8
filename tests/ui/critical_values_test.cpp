// "Критические значения...": the dialog shows the table's rows with their units, reads a
// decimal comma, refuses what is no number or out of range naming the field, and puts the
// program's values back; the main window keeps the limits with the building (saved, undone)
// and hands them to the run; the report marks a changed one.
#include <QAction>
#include <QApplication>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTimer>
#include <QUndoStack>
#include <gtest/gtest.h>

#include "critical_values_dialog.h"
#include "dialog_fields.h"
#include "editor_driver.h"
#include "pdf_text.h"
#include "project/scenario_file.h"
#include "report_pdf.h"
#include "u_main.h"

namespace {

class CriticalValuesDialog : public ::testing::Test {
protected:
    QLineEdit* Field(const char* key) {
        auto* edit = dialog.findChild<QLineEdit*>(QStringLiteral("Edit") + QString::fromLatin1(key));
        EXPECT_NE(edit, nullptr) << key;
        return edit;
    }
    TF_CriticalValues dialog;
};

// Every critical value and the working-zone height, each with its unit written right.
TEST_F(CriticalValuesDialog, ShowsEveryLimitAndTheWorkingZoneHeightWithItsUnit) {
    dialog.Show(zf::Parameters{});
    EXPECT_EQ(dialog.windowTitle(), "Критические значения");
    ASSERT_EQ(TF_CriticalValues::Rows().size(), 8u);
    for (const zf::Input* input : TF_CriticalValues::Rows()) {
        const QString name = QStringLiteral("Edit") + InputText(input->Key);
        const auto* unit = dialog.findChild<QLabel*>(name + QStringLiteral("Unit"));
        ASSERT_NE(unit, nullptr) << input->Key;
        EXPECT_EQ(unit->text(), InputText(input->UnitOrDash()));
    }
    EXPECT_EQ(Field("critical_temperature")->text(), "343");
    EXPECT_EQ(Field("critical_hcl")->text(), "0,000023");
    EXPECT_EQ(Field("hr")->text(), "1,7");
}

TEST_F(CriticalValuesDialog, ReadsEitherDecimalMarkAndPutsTheDefaultsBack) {
    dialog.Show(zf::Parameters{});
    Field("critical_temperature")->setText(" 323 ");
    Field("critical_visibility")->setText("10,5");
    Field("critical_co")->setText("0.002");
    Field("hr")->setText("1,5");
    const zf::Parameters base;
    const auto values = dialog.Values(base, nullptr);
    ASSERT_TRUE(values);
    EXPECT_EQ(values->CritT, 323);
    EXPECT_EQ(values->CritVis, 10.5);
    EXPECT_EQ(values->CritCO, 0.002);
    EXPECT_EQ(values->hr, 1.5);
    EXPECT_EQ(values->Vlin, base.Vlin);  // the rest as given
    QTest::mouseClick(dialog.findChild<QPushButton*>("btnDefaults"), Qt::LeftButton);
    EXPECT_EQ(dialog.Values(base, nullptr), base);
}

struct Refusal {
    const char* Key;
    const char* Typed;
    const char* Says;
};

class CriticalValueRefusal : public CriticalValuesDialog, public testing::WithParamInterface<Refusal> {};

// Nothing silently becomes 0 or slips past its range: the message names the field.
TEST_P(CriticalValueRefusal, NamesTheFieldAndWhatItTakes) {
    dialog.Show(zf::Parameters{});
    Field(GetParam().Key)->setText(QString::fromUtf8(GetParam().Typed));
    QString why;
    EXPECT_FALSE(dialog.Values(zf::Parameters{}, &why));
    EXPECT_TRUE(why.contains(QString::fromUtf8(GetParam().Says))) << why.toStdString();
}

INSTANTIATE_TEST_SUITE_P(
    , CriticalValueRefusal,
    testing::Values(Refusal{"critical_temperature", "", "Поле «Tкр, К»"}, Refusal{"critical_temperature", "abc", "Поле «Tкр, К»"},
                    Refusal{"critical_oxygen", "-0,1", "Поле «O2кр, кг/м³»"},
                    Refusal{"critical_temperature", "200", "допустимо от 273 до 1 273 К, задано 200"},
                    Refusal{"critical_visibility", "60", "допустимо от 0 до 50 м"},
                    Refusal{"critical_heat_flux", "1,2,3", "Поле «qкр, Вт/м²»"}));

class CriticalValuesWindow : public EditorTest {
protected:
    // Opens the dialog from the "Правка" menu and answers it with `fill`.
    void Change(std::function<void(QDialog*)> fill) {
        QTimer::singleShot(0, [fill] {
            auto* dialog = qobject_cast<QDialog*>(QApplication::activeModalWidget());
            ASSERT_NE(dialog, nullptr);
            fill(dialog);
        });
        auto* action = main_->findChild<QAction*>("ActCriticalValues");
        ASSERT_NE(action, nullptr);
        action->trigger();
    }
    static void Type(QDialog* dialog, const char* key, const char* text) {
        dialog->findChild<QLineEdit*>(QStringLiteral("Edit") + QString::fromLatin1(key))->setText(QString::fromUtf8(text));
    }
};

TEST_F(CriticalValuesWindow, AChangedLimitIsKeptWithTheBuildingSavedUndoneAndRun) {
    QTemporaryDir dir;
    Change([](QDialog* d) {
        Type(d, "critical_temperature", "323");
        Type(d, "hr", "1,5");
        d->findChild<QPushButton*>("btnOk")->click();
    });
    zf::project::Document shown = main_->CurrentDocument();
    EXPECT_EQ(shown.Params.CritT, 323);
    EXPECT_EQ(shown.Params.hr, 1.5);
    EXPECT_EQ(Find<QLineEdit>("Edithr")->text(), "1,5");
    EXPECT_TRUE(main_->IsModified());
    // The run's scenario judges by it.
    zf::TzoneMath run;
    zf::project::Apply(shown, run);
    EXPECT_EQ(run.CritT, 323);
    // Saved: the file holds the changed limit alone.
    const QString path = dir.filePath("b.json");
    ASSERT_TRUE(main_->SaveFile(path));
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    const std::string text = file.readAll().toStdString();
    EXPECT_NE(text.find("\"critical_temperature\": 323,"), std::string::npos) << text;
    EXPECT_EQ(text.find("critical_oxygen"), std::string::npos) << text;
    // Undone like any editor operation.
    main_->UndoStack()->undo();
    EXPECT_EQ(main_->CurrentDocument().Params.CritT, 343);
    main_->UndoStack()->redo();
    EXPECT_EQ(main_->CurrentDocument().Params.CritT, 323);
    // Opened again: the dialog shows it.
    ASSERT_TRUE(main_->FileNew());
    EXPECT_EQ(main_->CurrentDocument().Params.CritT, 343);
    ASSERT_TRUE(main_->OpenFile(path));
    EXPECT_EQ(main_->CurrentDocument().Params.CritT, 323);
    Change([](QDialog* d) {
        EXPECT_EQ(d->findChild<QLineEdit*>("Editcritical_temperature")->text(), "323");
        d->reject();
    });
}

// Cancelled, or accepted unchanged: nothing changes and no history is written.
TEST_F(CriticalValuesWindow, CancelledOrUnchangedLeavesTheBuildingAsItWas) {
    Change([](QDialog* d) {
        Type(d, "critical_temperature", "400");
        d->reject();
    });
    EXPECT_EQ(main_->CurrentDocument().Params.CritT, 343);
    Change([](QDialog* d) { d->findChild<QPushButton*>("btnOk")->click(); });
    EXPECT_EQ(main_->UndoStack()->count(), 0);
    EXPECT_FALSE(main_->IsModified());
}

// The report's table of critical values marks a changed one and gives its default beside it.
TEST(CriticalValuesReport, MarksAChangedLimitAndGivesItsDefault) {
    QTemporaryDir dir;
    const char* scenario = R"({"SimTime": 5, "dt": 0.01, "critical_temperature": 323, "rooms": [{}]})";
    zf::TzoneMath zm;
    ASSERT_EQ(zf::project::ReadScenario(scenario, zm), std::nullopt);
    ASSERT_TRUE(zm.Run());
    ScenarioDescription description;
    description.FileBytes = QByteArray(scenario);
    const QString path = dir.filePath("r.pdf");
    ASSERT_TRUE(WriteReportPdf(path, zm, description).isEmpty());
    const QString text = Flat(PdfText(path));
    EXPECT_TRUE(text.contains(QRegularExpression(QStringLiteral("323[\\s\\x{00A0}]?\\*")))) << text.toStdString();
    EXPECT_TRUE(text.contains(QStringLiteral("задано пользователем (по умолчанию 343)"))) << text.toStdString();
    EXPECT_TRUE(text.contains(QStringLiteral("критическое значение изменено пользователем")));
    // The other six, in the critical values' table (the inputs' table before it has its own).
    const qsizetype from = text.indexOf(QStringLiteral("Критические значения опасных факторов"));
    const QString table = text.mid(from, text.indexOf(QStringLiteral("Время эвакуации"), from) - from);
    EXPECT_EQ(table.count(QStringLiteral("значение программы по умолчанию")), 6);
}

}  // namespace
