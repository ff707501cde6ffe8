#include "object_info_dialog.h"

#include <QDialogButtonBox>
#include <QFormLayout>
#include <QLabel>
#include <QLineEdit>
#include <QVBoxLayout>

TF_ObjectInfo::TF_ObjectInfo(QWidget* parent, bool forReport) : QDialog(parent) {
    setObjectName(QStringLiteral("ObjectInfo"));
    setWindowTitle(QStringLiteral("Сведения об объекте"));
    auto* layout = new QVBoxLayout(this);
    auto* note = new QLabel(forReport ? QStringLiteral("Эти сведения печатаются на титульном листе отчета. Заполните их "
                                                       "или нажмите «Отмена», чтобы сохранить отчет без них.")
                                      : QStringLiteral("Эти сведения печатаются на титульном листе отчета и хранятся в "
                                                       "файле здания."),
                            this);
    note->setObjectName(QStringLiteral("LabelObjectInfo"));
    note->setWordWrap(true);
    layout->addWidget(note);
    auto* form = new QFormLayout;
    for (const zf::project::ObjectField& field : zf::project::kObjectFields) {
        auto* edit = new QLineEdit(this);
        edit->setObjectName(QStringLiteral("Edit") + QString::fromUtf8(field.Key.data(), static_cast<qsizetype>(field.Key.size())));
        edit->setMinimumWidth(360);
        form->addRow(QString::fromUtf8(field.Caption.data(), static_cast<qsizetype>(field.Caption.size())) + QStringLiteral(":"), edit);
        fields_.emplace_back(&field, edit);
    }
    layout->addLayout(form);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    buttons->setObjectName(QStringLiteral("ObjectInfoButtons"));
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    layout->addWidget(buttons);
}

void TF_ObjectInfo::Show(const zf::project::Document& document) {
    for (const auto& [field, edit] : fields_) edit->setText(QString::fromStdString(document.*field->Text));
}

void TF_ObjectInfo::Store(zf::project::Document& document) const {
    for (const auto& [field, edit] : fields_) document.*field->Text = edit->text().trimmed().toStdString();
}
