#include "dialog_fields.h"

#include <QFormLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>

#include "number_text.h"

#include "model/number_text.h"

void AppendUnit(QLineEdit* field, const QString& unit) {
    // The form is nested in the dialog's layout: find the one that holds the field.
    QFormLayout* form = nullptr;
    for (QFormLayout* f : field->parentWidget()->findChildren<QFormLayout*>())
        if (f->indexOf(field) >= 0) form = f;
    if (form == nullptr) return;
    int row = -1;
    QFormLayout::ItemRole role{};
    form->getWidgetPosition(field, &row, &role);
    if (row < 0) return;
    form->removeWidget(field);
    auto* line = new QHBoxLayout;
    line->setContentsMargins(0, 0, 0, 0);
    line->addWidget(field);
    auto* label = new QLabel(unit, field->parentWidget());
    label->setObjectName(field->objectName() + QStringLiteral("Unit"));
    line->addWidget(label);
    form->setLayout(row, QFormLayout::FieldRole, line);
}

void FocusWithTextSelected(QLineEdit* field) {
    field->setFocus(Qt::OtherFocusReason);
    field->selectAll();
}

QString DefaultSizeText(double metres) { return QString::fromStdString(zf::PlainNumberText(metres, ",")); }

bool CheckNumberFields(QWidget* dialog, std::initializer_list<QLineEdit*> fields) {
    for (QLineEdit* field : fields) {
        QString caption = field->objectName();
        for (const QLabel* label : dialog->findChildren<QLabel*>())
            if (label->buddy() == field) caption = label->text().remove(u'&').trimmed();
        if (const auto* unit = dialog->findChild<QLabel*>(field->objectName() + QStringLiteral("Unit")))
            caption += QStringLiteral(", ") + unit->text();
        try {
            NumberFromText(field->text(), caption);
        } catch (const ConversionError& error) {
            QMessageBox::critical(dialog, dialog->windowTitle(), error.Message());
            FocusWithTextSelected(field);
            return false;
        }
    }
    return true;
}
