#pragma once
// The "Эвакуация..." dialog: per room the start delay t_нэ and the evacuation time t_р in
// seconds, and the building's safety factor f. A table of the rooms, apart from the designed
// grids. A room left empty has no evacuation verdict.

#include <QDialog>
#include <functional>
#include <memory>

#include "verdict.h"

namespace Ui { class TF_Evacuation; }

class TF_Evacuation : public QDialog {
    Q_OBJECT
public:
    explicit TF_Evacuation(QWidget* parent = nullptr);
    ~TF_Evacuation() override;

    // Shows `inputs` for `roomCount` rooms (rooms beyond the inputs empty).
    void Show(const zfreport::EvacuationInputs& inputs, int roomCount);
    // The inputs as typed, or why they are refused (the room and the column named): a time
    // must be a number ≥ 0, both or neither of a room's times given, 0 < f ≤ 1.
    std::optional<zfreport::EvacuationInputs> Inputs(QString* refusal) const;

    // OK keeps the dialog open while the entries are refused; the message goes to this
    // reporter (a message box unless replaced; tests answer without one).
    void SetErrorReporter(std::function<void(const QString&)> reporter);

private:
    void TryAccept();

    std::unique_ptr<Ui::TF_Evacuation> ui;
    std::function<void(const QString&)> ErrorReporter_;
};
