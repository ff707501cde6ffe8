#pragma once
// The add-room dialog: length, width and height of a new room, in metres. Created once and
// reused, so it opens with the texts typed last time.

#include <QDialog>
#include <memory>

namespace Ui { class Tf_AddRoom; }

class Tf_AddRoom : public QDialog {
    Q_OBJECT
public:
    explicit Tf_AddRoom(QWidget* parent = nullptr);
    ~Tf_AddRoom() override;

    // The texts as typed; the main window converts them.
    QString LengthText() const;  // EditWidthX
    QString WidthText() const;   // EditWidthY
    QString HeightText() const;  // EditHeight
    // Fills the three fields, for editing a room in place.
    void SetTexts(const QString& length, const QString& width, const QString& height);

protected:
    void showEvent(QShowEvent* event) override;

private:
    std::unique_ptr<Ui::Tf_AddRoom> ui;
};
