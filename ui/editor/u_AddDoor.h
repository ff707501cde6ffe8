#pragma once
// The add-opening dialog: width and height of a new doorway or outside opening, in metres,
// and whether it is open. Created once and reused, so it opens with the last entry.

#include <QDialog>
#include <memory>

namespace Ui { class Tf_AddDoor; }

class Tf_AddDoor : public QDialog {
    Q_OBJECT
public:
    explicit Tf_AddDoor(QWidget* parent = nullptr);
    ~Tf_AddDoor() override;

    // The entry as typed; the main window converts the texts.
    bool IsOpen() const;         // CBOpenDoor
    QString HeightText() const;  // EditHeight
    QString WidthText() const;   // EditWidth
    // Fills the entry, for editing an opening in place.
    void SetEntry(bool isOpen, const QString& height, const QString& width);

protected:
    void showEvent(QShowEvent* event) override;

private:
    std::unique_ptr<Ui::Tf_AddDoor> ui;
};
