// The main window's model options: the "Модели..." dialog, the options put into the
// scenario before a run, and the step check of the building.

#include <QApplication>
#include <QMessageBox>

#include "model_options_dialog.h"
#include "number_text.h"
#include "step_check.h"
#include "u_main.h"

void Tf_main::btnModelOptionsClick() {
    if (f_ModelOptions == nullptr) f_ModelOptions = new TF_ModelOptions(this);
    ModelChoice shown;
    shown.ConsistentOutflow = document_.ConsistentOutflow;
    shown.HeatLoss = document_.HeatLoss;
    for (int k = 0; k < zm->RoomCount(); ++k) {
        const auto info = static_cast<std::size_t>(k);
        shown.Rooms.push_back(info < roomInfo_.size() ? zf::RoomSurfaces{roomInfo_[info].Walls, roomInfo_[info].Ceiling}
                                                      : zf::RoomSurfaces{});
    }
    f_ModelOptions->Show(shown, zm->RoomCount());
    if (f_ModelOptions->exec() != QDialog::Accepted) return;
    const auto choice = f_ModelOptions->Choice(nullptr);
    if (!choice) return;
    Edit(QStringLiteral("Модели расчета"), [&] {
        document_.ConsistentOutflow = choice->ConsistentOutflow;
        document_.HeatLoss = choice->HeatLoss;
        for (int k = 0; k < zm->RoomCount(); ++k) {
            auto& info = roomInfo_[static_cast<std::size_t>(k)];
            info.Walls = choice->Rooms[static_cast<std::size_t>(k)].Walls;
            info.Ceiling = choice->Rooms[static_cast<std::size_t>(k)].Ceiling;
        }
    });
    UpdateCaption();
}

// The building as it stands in the editor, run on two copies of its own: at the step dt and at
// dt/2. The editor keeps the building.
void Tf_main::CheckStep() {
    if (Running_) return;
    zf::project::Document document;
    try {
        document = CurrentDocument();
    } catch (const ConversionError& error) {
        ShowErrorMessage(this, error.Message());
        return;
    }
    zf::TzoneMath coarse, fine;
    zf::project::Apply(document, coarse);
    zf::project::Apply(document, fine);
    fine.dt = coarse.dt / 2;
    if (const std::string refusal = coarse.CheckInputs(); !refusal.empty()) {
        ShowErrorMessage(this, QString::fromStdString(refusal));
        return;
    }
    Running_ = true;
    QApplication::setOverrideCursor(Qt::WaitCursor);
    const bool coarseOk = coarse.Run();
    const bool fineOk = fine.Run();
    QApplication::restoreOverrideCursor();
    Running_ = false;
    lastStepCheck_ = QString::fromStdString(zfreport::StepCheckText(zfreport::CompareSteps(coarse, coarseOk, fine, fineOk)));
    QMessageBox box(QMessageBox::Information, QStringLiteral("Проверка шага расчета"), lastStepCheck_.section('\n', 0, 0),
                    QMessageBox::Ok, this);
    box.setObjectName(QStringLiteral("StepCheckBox"));
    box.setDetailedText(lastStepCheck_);
    box.exec();
}
