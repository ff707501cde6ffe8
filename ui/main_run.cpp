// "Расчет": the editor's building and fields copied into a scenario of the run's own, checked,
// run with the progress window, and shown in the results window or the failure message. The
// editor keeps its building, its unsaved edits, its file and its history whatever the outcome.

#include <QElapsedTimer>
#include <QLabel>
#include <QLineEdit>

#include "dialog_fields.h"
#include "number_text.h"
#include "project/scenario_file.h"
#include "u_ShowResult.h"
#include "u_main.h"
#include "u_progress.h"
#include "ui_u_main.h"

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
