#pragma once
// A captioned list of radio buttons whose items can be renamed, appended and removed while
// the program runs; exactly one item is selected once any has been.
#include <QGroupBox>
#include <QList>

class QButtonGroup;
class QRadioButton;
class QVBoxLayout;

class TRadioGroup : public QGroupBox {
    Q_OBJECT
public:
    explicit TRadioGroup(QWidget* parent = nullptr);

    int ItemCount() const { return static_cast<int>(Items_.size()); }
    QString ItemText(int index) const;            // empty for an index out of range
    void SetItemText(int index, const QString& text);
    void AppendItem(const QString& text);
    // Removes one item. When it was the selected one, the selection moves to the item that
    // now stands last.
    void RemoveItem(int index);
    QRadioButton* Item(int index) const;          // null for an index out of range

    int ItemIndex() const;                        // the selected item, -1 if none
    void SetItemIndex(int index);                 // selects without emitting Clicked

signals:
    // The user chose an item (mouse or keyboard). Changes made by the program emit nothing.
    void Clicked(int index);

private:
    QButtonGroup* Group_;
    QVBoxLayout* Layout_;
    QList<QRadioButton*> Items_;
};
