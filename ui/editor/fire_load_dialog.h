#pragma once
// "Типовая пожарная нагрузка": the fire-load library as a list with a search field. Choosing a
// row and pressing "Заполнить поля" hands its name back; the main window fills its fire-load
// fields from the row and records the name in the building.

#include <QDialog>
#include <QString>

class QLabel;
class QLineEdit;
class QListWidget;

class TFireLoadDialog : public QDialog {
    Q_OBJECT
public:
    explicit TFireLoadDialog(QWidget* parent = nullptr);

    // Selects the row of that name (the building's current load) when it is in the list.
    void SelectName(const QString& name);
    // The selected row's name; empty when none is selected.
    QString ChosenName() const;

private:
    void Filter(const QString& text);
    void ShowDetails();

    QLineEdit* search_;
    QListWidget* list_;
    QLabel* details_;
};
