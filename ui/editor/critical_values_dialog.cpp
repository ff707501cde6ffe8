#include "critical_values_dialog.h"

#include <QDialogButtonBox>
#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QLocale>
#include <QMessageBox>
#include <QPushButton>
#include <QVBoxLayout>

#include "dialog_fields.h"
#include "model/number_text.h"

namespace {

// A value as the field shows it for editing: the shortest digits that read back to it, plain
// notation, the locale's decimal separator.
QString EditText(double value) {
    return QString::fromStdString(zf::PlainNumberText(value, QLocale().decimalPoint().toStdString()));
}

QString FieldName(const zf::Input& input) { return QStringLiteral("Edit") + InputText(input.Key); }

}  // namespace

std::vector<const zf::Input*> TF_CriticalValues::Rows() {
    std::vector<const zf::Input*> rows{&zf::InputOf("hr")};
    for (const zf::Input& input : zf::kInputs)
        if (input.Group == zf::InputGroup::Critical) rows.push_back(&input);
    return rows;
}

TF_CriticalValues::TF_CriticalValues(QWidget* parent) : QDialog(parent) {
    setWindowTitle(QStringLiteral("Критические значения"));
    setObjectName(QStringLiteral("f_CriticalValues"));
    auto* layout = new QVBoxLayout(this);
    auto* intro = new QLabel(QStringLiteral(
        "Опасные факторы пожара сравниваются с критическими значениями на высоте рабочей зоны; время, когда "
        "значение достигнуто, — критическое время. Измененные значения сохраняются в файле здания и отмечаются "
        "в отчете."), this);
    intro->setWordWrap(true);
    layout->addWidget(intro);
    auto* grid = new QGridLayout;
    int row = 0;
    for (const zf::Input* input : Rows()) {
        auto* label = new QLabel(InputText(input->Name), this);
        auto* edit = new QLineEdit(this);
        edit->setObjectName(FieldName(*input));
        label->setBuddy(edit);
        const QString tip = input->Help.empty() ? InputText(input->Name) : InputText(input->Name) + QStringLiteral(": ") + InputText(input->Help);
        label->setToolTip(tip);
        edit->setToolTip(tip + QStringLiteral(" (допустимо ") + QString::fromStdString(zf::RangeText(*input)) + ')');
        auto* unit = new QLabel(InputText(input->UnitOrDash()), this);
        unit->setObjectName(FieldName(*input) + QStringLiteral("Unit"));
        grid->addWidget(label, row, 0);
        grid->addWidget(edit, row, 1);
        grid->addWidget(unit, row, 2);
        if (input->Group == zf::InputGroup::Critical)
            grid->addWidget(new QLabel(input->ReachedFalling ? QStringLiteral("опасно не выше") : QStringLiteral("опасно не ниже"), this),
                            row, 3);
        fields_.emplace_back(input, edit);
        ++row;
    }
    layout->addLayout(grid);
    auto* buttons = new QDialogButtonBox(this);
    QPushButton* defaults = buttons->addButton(QStringLiteral("По умолчанию"), QDialogButtonBox::ResetRole);
    defaults->setObjectName(QStringLiteral("btnDefaults"));
    defaults->setToolTip(QStringLiteral("Вернуть значения, принятые в программе"));
    QPushButton* ok = buttons->addButton(QStringLiteral("Принять"), QDialogButtonBox::AcceptRole);
    ok->setObjectName(QStringLiteral("btnOk"));
    ok->setDefault(true);
    buttons->addButton(QStringLiteral("Отменить"), QDialogButtonBox::RejectRole)->setObjectName(QStringLiteral("btnCancel"));
    connect(defaults, &QPushButton::clicked, this, &TF_CriticalValues::ShowDefaults);
    connect(buttons, &QDialogButtonBox::accepted, this, &TF_CriticalValues::TryAccept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    layout->addWidget(buttons);
}

void TF_CriticalValues::Show(const zf::Parameters& values) {
    for (const auto& [input, edit] : fields_) edit->setText(EditText(values.*input->Field));
    if (!fields_.empty()) FocusWithTextSelected(fields_.front().second);
}

void TF_CriticalValues::ShowDefaults() {
    for (const auto& [input, edit] : fields_) edit->setText(EditText(input->Default));
}

std::optional<zf::Parameters> TF_CriticalValues::Values(const zf::Parameters& base, QString* refusal) const {
    zf::Parameters values = base;
    for (const auto& [input, edit] : fields_) {
        const std::optional<double> value = InputFieldValue(edit, *input, refusal);
        if (!value) return std::nullopt;
        values.*input->Field = *value;
    }
    return values;
}

void TF_CriticalValues::TryAccept() {
    QString refusal;
    if (Values(zf::Parameters{}, &refusal)) {
        accept();
        return;
    }
    QMessageBox::critical(this, windowTitle(), refusal);
    // The first field refused takes the focus, its text selected for retyping.
    for (const auto& [input, edit] : fields_)
        if (!InputFieldValue(edit, *input, nullptr)) {
            FocusWithTextSelected(edit);
            break;
        }
}
