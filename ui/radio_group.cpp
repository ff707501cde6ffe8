#include "radio_group.h"

#include <QButtonGroup>
#include <QRadioButton>
#include <QVBoxLayout>

TRadioGroup::TRadioGroup(QWidget* parent)
    : QGroupBox(parent), Group_(new QButtonGroup(this)), Layout_(new QVBoxLayout(this)) {
    Group_->setExclusive(true);
    Layout_->setSpacing(4);
    // buttonClicked comes from user input only (and click()), never from setChecked.
    connect(Group_, &QButtonGroup::buttonClicked, this, [this](QAbstractButton* button) {
        const int index = static_cast<int>(Items_.indexOf(static_cast<QRadioButton*>(button)));
        if (index >= 0) emit Clicked(index);
    });
}

QString TRadioGroup::ItemText(int index) const {
    const QRadioButton* item = Item(index);
    return item != nullptr ? item->text() : QString();
}

void TRadioGroup::SetItemText(int index, const QString& text) {
    if (QRadioButton* item = Item(index)) item->setText(text);
}

void TRadioGroup::AppendItem(const QString& text) {
    auto* item = new QRadioButton(text, this);
    item->setObjectName(objectName() + QStringLiteral("Item%1").arg(Items_.size()));
    Group_->addButton(item);
    Layout_->addWidget(item);
    Items_.append(item);
}

void TRadioGroup::RemoveItem(int index) {
    QRadioButton* item = Item(index);
    if (item == nullptr) return;
    const bool wasSelected = item->isChecked();
    Group_->removeButton(item);
    Items_.removeAt(index);
    Layout_->removeWidget(item);
    // Freed later, as the removal may happen inside a signal of this very button; still a
    // child until then, so it is freed with the group at the latest.
    item->hide();
    item->deleteLater();
    if (wasSelected && !Items_.isEmpty()) SetItemIndex(ItemCount() - 1);
}

QRadioButton* TRadioGroup::Item(int index) const {
    return (index >= 0 && index < Items_.size()) ? Items_[index] : nullptr;
}

int TRadioGroup::ItemIndex() const {
    for (int i = 0; i < Items_.size(); ++i)
        if (Items_[i]->isChecked()) return i;
    return -1;
}

void TRadioGroup::SetItemIndex(int index) {
    if (QRadioButton* item = Item(index)) item->setChecked(true);
}
