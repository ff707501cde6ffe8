// The main window's "Критические значения...": the limits of the hazard factors and the
// working-zone height in a dialog of their own. The limits change with the building, in its
// history (undo and redo); the height goes back into its field.

#include <QLineEdit>
#include <QLocale>

#include "critical_values_dialog.h"
#include "dialog_fields.h"
#include "number_text.h"
#include "u_main.h"
#include "model/number_text.h"

void Tf_main::btnCriticalValuesClick() {
    zf::project::Document current;
    try {
        current = CurrentDocument();
    } catch (const ConversionError& error) {
        ShowErrorMessage(this, error.Message());
        return;
    }
    TF_CriticalValues dialog(this);
    dialog.Show(current.Params);
    if (dialog.exec() != QDialog::Accepted) return;
    const std::optional<zf::Parameters> chosen = dialog.Values(current.Params, nullptr);
    if (!chosen) return;
    Edit(QStringLiteral("Критические значения"), [&] {
        for (const zf::Input* input : TF_CriticalValues::Rows())
            if (input->Widget.empty()) document_.Params.*input->Field = (*chosen).*input->Field;
    });
    // An input with a field of its own (the working-zone height) is shown there.
    for (const zf::Input* input : TF_CriticalValues::Rows()) {
        if (input->Widget.empty() || (*chosen).*input->Field == current.Params.*input->Field) continue;
        if (auto* field = findChild<QLineEdit*>(InputText(input->Widget)))
            field->setText(QString::fromStdString(zf::PlainNumberText((*chosen).*input->Field, QLocale().decimalPoint().toStdString())));
    }
    UpdateCaption();
}
