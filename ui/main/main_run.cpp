// "Расчет": the editor's building and fields copied into a scenario of the run's own, checked,
// run with the progress window, and shown in the results window or the failure message. The
// editor keeps its building, its unsaved edits, its file and its history whatever the outcome.

#include <QApplication>
#include <QElapsedTimer>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>

#include "dialog_fields.h"
#include "number_text.h"
#include "model/input_warnings.h"
#include "project/scenario_file.h"
#include "u_ShowResult.h"
#include "u_main.h"
#include "u_progress.h"
#include "ui_u_main.h"

bool Tf_main::ConfirmInputWarnings(const zf::TzoneMath& run) {
    const std::vector<zf::InputWarning> warnings = zf::InputWarnings(run);
    if (warnings.empty()) return true;
    QStringList lines;
    for (const zf::InputWarning& warning : warnings) lines << QStringLiteral("• ") + QString::fromStdString(warning.Message);
    QMessageBox box(QMessageBox::Warning, QApplication::applicationDisplayName(),
                    QStringLiteral("Значения похожи на ошибку ввода или единиц измерения:\n\n%1\n\n"
                                   "«Исправить» вернет к вводу; «Считать всё равно» начнет расчет с этими значениями.")
                        .arg(lines.join(QStringLiteral("\n\n"))),
                    QMessageBox::NoButton, this);
    box.setObjectName(QStringLiteral("InputWarningsBox"));
    QPushButton* runAnyway = box.addButton(QStringLiteral("Считать всё равно"), QMessageBox::AcceptRole);
    runAnyway->setObjectName(QStringLiteral("btnRunAnyway"));
    QPushButton* fix = box.addButton(QStringLiteral("Исправить"), QMessageBox::RejectRole);
    fix->setObjectName(QStringLiteral("btnFix"));
    box.setDefaultButton(fix);  // Enter and closing the box return to the editor
    box.setEscapeButton(fix);
    box.exec();
    if (box.clickedButton() == runAnyway) return true;
    FocusWarned(warnings.front());
    return false;
}

// "Исправить": the field where the value is typed, the room's row or the opening's matrix cell.
void Tf_main::FocusWarned(const zf::InputWarning& warning) {
    switch (warning.Subject) {
        case zf::WarningSubject::HeatOfCombustion: return FocusWithTextSelected(ui->Edit1);
        case zf::WarningSubject::InitialTemperature: return FocusWithTextSelected(ui->Edit9);
        case zf::WarningSubject::Room:
            ui->GridRoom->setCurrentCell(warning.Room + 1, 1);
            return ui->GridRoom->setFocus();
        case zf::WarningSubject::Opening:
        case zf::WarningSubject::FireRoomSealed: {
            const int col = warning.Subject == zf::WarningSubject::Opening ? warning.Column : warning.Room;
            ui->GridMatrix->setCurrentCell(warning.Room + 1, col + 1);
            return ui->GridMatrix->setFocus();
        }
    }
}

bool Tf_main::ReadParameterFields() {
    // The fields of the input table, in its order.
    for (const zf::Input& input : zf::kInputs) {
        auto* field = input.Widget.empty() ? nullptr : findChild<QLineEdit*>(InputText(input.Widget));
        if (field == nullptr) continue;
        try {
            NumberFromText(field->text(), InputText(input.Label));
        } catch (const ConversionError& error) {
            ShowErrorMessage(this, error.Message());
            FocusWithTextSelected(field);
            return false;
        }
    }
    return true;
}

void Tf_main::TBXButton1Click() {
    QElapsedTimer clock;
    clock.start();
    if (!ReadParameterFields()) return;
    const zf::project::Document document = CurrentDocument();
    auto run = std::make_unique<zf::TzoneMath>();
    zf::project::Apply(document, *run);
    // Inputs bound to fail before any result exists are refused before the run, naming the
    // field or the room.
    if (const std::string refusal = run->CheckInputs(); !refusal.empty()) {
        ShowErrorMessage(this, QString::fromStdString(refusal));
        return;
    }
    // Values that look typed in another unit: the engineer decides.
    if (!ConfirmInputWarnings(*run)) return;
    KeepLastCalculation();
    run_ = std::move(run);  // the results window reads it until the next run
    bool completed;
    Running_ = true;
    if (f_progress != nullptr) {
        TProgressRunView view(*f_progress, this);
        view.TickMs = runTickMs_;
        completed = run_->Run(view);
    } else {
        completed = run_->Run();
    }
    Running_ = false;
    if (QuitRequested_) {  // the user closed the main window during the run and confirmed
        close();
        return;
    }
    if (completed) {
        ui->TimeCalc->setText(QString::number(clock.elapsed()));
        if (F_ShowResult != nullptr) {
            // What the report says of the building beyond the model: its title, notes, names
            // and file, and the evacuation inputs the verdict judges.
            F_ShowResult->SetDescription(Description(document));
            F_ShowResult->PrepareResults(*run_);
            F_ShowResult->exec();
            restoreRequested_ = F_ShowResult->TakeRestoreRequest();
        }
    } else {
        restoreRequested_ = ShowRunFailure(this, *run_, true);
    }
    AfterCalculation();
}
