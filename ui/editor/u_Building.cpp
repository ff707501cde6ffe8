#include "u_Building.h"

#include <QDialogButtonBox>
#include <QFormLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTableWidget>
#include <QVBoxLayout>

#include "number_text.h"
#include "model/scenario.h"
#include "project/element_inputs.h"

namespace {

constexpr int kRoomColumn = 0;  // "Помещение №N", read only
constexpr int kSizeColumn = 1;  // "6 × 4 × 3", read only
constexpr int kNameColumn = 2;  // the name, edited in place

QTableWidgetItem* ReadOnlyCell(const QString& text, const QBrush& background) {
    auto* item = new QTableWidgetItem(text);
    item->setFlags(Qt::ItemIsEnabled | Qt::ItemIsSelectable);
    item->setBackground(background);
    return item;
}

// "Длина × ширина × высота, м", from the room's table.
std::string RoomSizesCaption() {
    return zf::project::SizesCaption(zf::project::kRoomInputs);
}

}  // namespace

TF_Building::TF_Building(QWidget* parent) : QDialog(parent) {
    setObjectName(QStringLiteral("TF_Building"));
    setWindowTitle(QStringLiteral("Здание"));
    title_ = new QLineEdit(this);
    title_->setObjectName(QStringLiteral("EditTitle"));
    title_->setPlaceholderText(QStringLiteral("например, «Склад №3, первый этаж»"));
    notes_ = new QPlainTextEdit(this);
    notes_->setObjectName(QStringLiteral("EditNotes"));
    notes_->setTabChangesFocus(true);
    notes_->setFixedHeight(90);
    rooms_ = new QTableWidget(0, 3, this);
    rooms_->setObjectName(QStringLiteral("GridRoomNames"));
    rooms_->setHorizontalHeaderLabels(
        {QStringLiteral("Помещение"), QString::fromStdString(RoomSizesCaption()), QStringLiteral("Название")});
    rooms_->verticalHeader()->setVisible(false);
    rooms_->verticalHeader()->setDefaultSectionSize(20);
    rooms_->horizontalHeader()->setSectionResizeMode(kNameColumn, QHeaderView::Stretch);
    // The header of the current cell's column is not drawn bold: the three titles look alike.
    rooms_->horizontalHeader()->setHighlightSections(false);
    rooms_->setEditTriggers(QAbstractItemView::AllEditTriggers);
    rooms_->setMinimumSize(520, 200);
    rooms_->resizeColumnToContents(kRoomColumn);  // the titles whole before any room is shown
    rooms_->resizeColumnToContents(kSizeColumn);

    auto* form = new QFormLayout;
    form->addRow(QStringLiteral("&Название здания:"), title_);
    form->addRow(QStringLiteral("&Примечания:"), notes_);
    auto* hint = new QLabel(QStringLiteral("Названия помещений (помещение №1 — помещение с очагом пожара):"), this);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    buttons->setObjectName(QStringLiteral("ButtonsBuilding"));
    buttons->button(QDialogButtonBox::Ok)->setText(QStringLiteral("Принять"));
    buttons->button(QDialogButtonBox::Cancel)->setText(QStringLiteral("Отменить"));
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(form);
    layout->addWidget(hint);
    layout->addWidget(rooms_, 1);
    layout->addWidget(buttons);
}

void TF_Building::Show(const std::string& title, const std::string& notes, const std::vector<RoomRow>& rooms) {
    title_->setText(QString::fromStdString(title));
    notes_->setPlainText(QString::fromStdString(notes));
    rooms_->clearContents();
    rooms_->setRowCount(static_cast<int>(rooms.size()));
    const QBrush header = palette().button();
    for (int r = 0; r < rooms_->rowCount(); ++r) {
        const RoomRow& room = rooms[static_cast<std::size_t>(r)];
        rooms_->setItem(r, kRoomColumn, ReadOnlyCell(QString::fromStdString(zf::RoomTitle(r)), header));
        const QString size = FormatGeneral(room.Length) + QStringLiteral(" × ") + FormatGeneral(room.Width) +
                             QStringLiteral(" × ") + FormatGeneral(room.Height);
        rooms_->setItem(r, kSizeColumn, ReadOnlyCell(size, header));
        rooms_->setItem(r, kNameColumn, new QTableWidgetItem(QString::fromStdString(room.Name)));
    }
    rooms_->resizeColumnToContents(kRoomColumn);
    rooms_->resizeColumnToContents(kSizeColumn);
    if (rooms_->rowCount() > 0) rooms_->setCurrentCell(0, kNameColumn);
    title_->setFocus();
}

// The texts exactly as typed: a dialog accepted unchanged leaves the building unchanged, even
// where the file gave surrounding spaces or a last empty line.
std::string TF_Building::Title() const { return title_->text().toStdString(); }
std::string TF_Building::Notes() const { return notes_->toPlainText().toStdString(); }

std::vector<std::string> TF_Building::Names() const {
    std::vector<std::string> names;
    for (int r = 0; r < rooms_->rowCount(); ++r) {
        const QTableWidgetItem* item = rooms_->item(r, kNameColumn);
        names.push_back(item != nullptr ? item->text().toStdString() : std::string());
    }
    return names;
}
