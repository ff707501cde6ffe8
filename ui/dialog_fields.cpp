#include "dialog_fields.h"

#include <QFormLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>

#include "number_text.h"

#include "model/inputs.h"
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

QString InputText(std::string_view text) { return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size())); }

void ShowInputCaption(QLineEdit* field, const zf::Input& input) {
    field->setToolTip(InputText(input.Name));
    for (QLabel* label : field->window()->findChildren<QLabel*>())
        if (label->buddy() == field) {
            label->setText(InputText(input.Label));
            label->setToolTip(InputText(input.Name));
        }
}

std::optional<double> InputFieldValue(QLineEdit* field, const zf::Input& input, QString* refusal) {
    try {
        const double value = NumberFromText(field->text(), InputText(input.Label));
        const std::string why = zf::OutOfRange(input, value);
        if (why.empty()) return value;
        if (refusal) *refusal = QStringLiteral("Поле «%1»: %2.").arg(InputText(input.Label), QString::fromStdString(why));
    } catch (const ConversionError& error) {
        if (refusal) *refusal = error.Message();
    }
    return std::nullopt;
}
