#pragma once
// The "Здание..." dialog: what the engineer writes about the building and the model does not
// read — its title, free notes and a name per room ("Коридор"). The rooms' sizes are shown
// beside the names so a room is recognised; only the names can be changed here.

#include <QDialog>
#include <string>
#include <vector>

class QLineEdit;
class QPlainTextEdit;
class QTableWidget;

class TF_Building : public QDialog {
    Q_OBJECT
public:
    explicit TF_Building(QWidget* parent = nullptr);

    // A room as the table lists it: its size [m] and its name (empty: none).
    struct RoomRow {
        double Length = 0;
        double Width = 0;
        double Height = 0;
        std::string Name;
    };
    // Fills the dialog; every room gets a row, the fire room first.
    void Show(const std::string& title, const std::string& notes, const std::vector<RoomRow>& rooms);

    // What the dialog holds now, by room for the names.
    std::string Title() const;
    std::string Notes() const;
    std::vector<std::string> Names() const;

private:
    QLineEdit* title_ = nullptr;
    QPlainTextEdit* notes_ = nullptr;
    QTableWidget* rooms_ = nullptr;
};
