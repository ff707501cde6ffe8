// The main window's "Сведения об объекте...": the texts of the report's title page, in a dialog
// of their own, changed in the building's history; asked for once before a report that would
// print "не указано".

#include "object_info_dialog.h"
#include "u_main.h"

namespace {

bool AnyMissing(const zf::project::Document& document) {
    for (const zf::project::ObjectField& field : zf::project::kObjectFields)
        if ((document.*field.Text).empty()) return true;
    return false;
}

}  // namespace

void Tf_main::btnObjectInfoClick() {
    TF_ObjectInfo dialog(this);
    dialog.Show(document_);
    if (dialog.exec() != QDialog::Accepted) return;
    zf::project::Document chosen = document_;
    dialog.Store(chosen);
    Edit(QStringLiteral("изменение сведений об объекте"), [&] {
        for (const zf::project::ObjectField& field : zf::project::kObjectFields) document_.*field.Text = chosen.*field.Text;
    });
    UpdateCaption();
}

void Tf_main::AskObjectInfoOnce(zf::project::Document& document) {
    if (objectInfoAsked_ || !AnyMissing(document)) return;
    objectInfoAsked_ = true;
    zf::project::Document chosen = document;
    bool changed = false;
    if (objectInfoAsker_) {
        changed = objectInfoAsker_(chosen);
    } else {
        TF_ObjectInfo dialog(this, true);
        dialog.Show(chosen);
        if (dialog.exec() == QDialog::Accepted) {
            dialog.Store(chosen);
            changed = true;
        }
    }
    if (!changed) return;
    Edit(QStringLiteral("изменение сведений об объекте"), [&] {
        for (const zf::project::ObjectField& field : zf::project::kObjectFields) {
            document_.*field.Text = chosen.*field.Text;
            document.*field.Text = chosen.*field.Text;
        }
    });
    UpdateCaption();
}
