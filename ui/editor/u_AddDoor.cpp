#include "u_AddDoor.h"

#include <QShowEvent>

#include "dialog_fields.h"
#include "model/defaults.h"
#include "ui_u_AddDoor.h"

namespace {
// A fixed-size dialog frame: title and close button only (closing it is Cancel).
constexpr Qt::WindowFlags kDialogFlags = Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint | Qt::CustomizeWindowHint |
                                         Qt::WindowTitleHint | Qt::WindowCloseButtonHint;
}  // namespace

Tf_AddDoor::Tf_AddDoor(QWidget* parent)
    : QDialog(parent, kDialogFlags), ui(std::make_unique<Ui::Tf_AddDoor>()) {
    ui->setupUi(this);
    // "Принять" gives OK, "Отменить", Escape and the title-bar close button give Cancel.
    // A field that holds no number keeps the dialog open, named and focused.
    connect(ui->btnOk, &QPushButton::clicked, this, [this] {
        if (CheckNumberFields(this, {ui->EditWidth, ui->EditHeight})) accept();
    });
    connect(ui->btnCancel, &QPushButton::clicked, this, &QDialog::reject);
    // Sizes are in metres.
    AppendUnit(ui->EditWidth, QStringLiteral("м"));
    AppendUnit(ui->EditHeight, QStringLiteral("м"));
    using D = zf::ScenarioDefaults;
    SetEntry(D::OpeningOpen, DefaultSizeText(D::OpeningHeight), DefaultSizeText(D::OpeningWidth));
}

Tf_AddDoor::~Tf_AddDoor() = default;

void Tf_AddDoor::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    // Every opening starts at the first field, its text ready to be typed over.
    if (!event->spontaneous()) FocusWithTextSelected(ui->EditWidth);
}

bool Tf_AddDoor::IsOpen() const { return ui->CBOpenDoor->isChecked(); }
QString Tf_AddDoor::HeightText() const { return ui->EditHeight->text(); }
QString Tf_AddDoor::WidthText() const { return ui->EditWidth->text(); }

void Tf_AddDoor::SetEntry(bool isOpen, const QString& height, const QString& width) {
    ui->CBOpenDoor->setChecked(isOpen);
    ui->EditHeight->setText(height);
    ui->EditWidth->setText(width);
}
