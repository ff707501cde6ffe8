#include "u_AddRoom.h"

#include <QShowEvent>

#include "dialog_fields.h"
#include "model/defaults.h"
#include "ui_u_AddRoom.h"

namespace {
// A fixed-size dialog frame: title and close button only (closing it is Cancel).
constexpr Qt::WindowFlags kDialogFlags = Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint | Qt::CustomizeWindowHint |
                                         Qt::WindowTitleHint | Qt::WindowCloseButtonHint;
}  // namespace

Tf_AddRoom::Tf_AddRoom(QWidget* parent)
    : QDialog(parent, kDialogFlags), ui(std::make_unique<Ui::Tf_AddRoom>()) {
    ui->setupUi(this);
    // "Принять" gives OK, "Отменить", Escape and the title-bar close button give Cancel.
    // A field that holds no number keeps the dialog open, named and focused.
    connect(ui->btnOk, &QPushButton::clicked, this, [this] {
        if (CheckNumberFields(this, {ui->EditWidthX, ui->EditWidthY, ui->EditHeight})) accept();
    });
    connect(ui->btnCancel, &QPushButton::clicked, this, &QDialog::reject);
    // Sizes are in metres.
    AppendUnit(ui->EditWidthX, QStringLiteral("м"));
    AppendUnit(ui->EditWidthY, QStringLiteral("м"));
    AppendUnit(ui->EditHeight, QStringLiteral("м"));
    using D = zf::ScenarioDefaults;
    SetTexts(DefaultSizeText(D::RoomLength), DefaultSizeText(D::RoomWidth), DefaultSizeText(D::RoomHeight));
}

Tf_AddRoom::~Tf_AddRoom() = default;

void Tf_AddRoom::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    // Every opening starts at the first field, its text ready to be typed over.
    if (!event->spontaneous()) FocusWithTextSelected(ui->EditWidthX);
}

QString Tf_AddRoom::LengthText() const { return ui->EditWidthX->text(); }
QString Tf_AddRoom::WidthText() const { return ui->EditWidthY->text(); }
QString Tf_AddRoom::HeightText() const { return ui->EditHeight->text(); }

void Tf_AddRoom::SetTexts(const QString& length, const QString& width, const QString& height) {
    ui->EditWidthX->setText(length);
    ui->EditWidthY->setText(width);
    ui->EditHeight->setText(height);
}
