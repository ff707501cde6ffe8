#pragma once
// "Модели расчета": the run's model options for the building. A check box for the
// energy-consistent doorway outflow; a check box "Учитывать теплопотери в ограждающие
// конструкции" with the building's wall and ceiling material and thickness; per room, its own
// walls and ceiling overriding the building's. Controls are made in code with object names
// tests find them by.

#include <QDialog>
#include <optional>
#include <vector>

#include "model/enclosure.h"
#include "project/document.h"

class QCheckBox;
class QComboBox;
class QLineEdit;
class QTableWidget;

// What the dialog edits: the options' part of the building.
struct ModelChoice {
    bool ConsistentOutflow = false;
    std::optional<zf::project::BuildingSurfaces> HeatLoss;
    std::vector<zf::RoomSurfaces> Rooms;  // per room, its own walls and ceiling
};

class TF_ModelOptions : public QDialog {
public:
    explicit TF_ModelOptions(QWidget* parent = nullptr);

    // Shows `choice` for `roomCount` rooms.
    void Show(const ModelChoice& choice, int roomCount);
    // The choice as entered; nullopt with `refusal` set (in Russian, naming the field) when a
    // thickness is no number or out of range.
    std::optional<ModelChoice> Choice(QString* refusal) const;

private:
    struct SurfaceFields {
        QComboBox* Material = nullptr;
        QLineEdit* Thickness = nullptr;
    };
    SurfaceFields AddSurfaceRow(class QGridLayout* grid, int row, const QString& caption, const QString& name,
                                bool inherit);
    void ShowSurface(SurfaceFields f, const std::optional<zf::Surface>& s);
    std::optional<zf::Surface> ReadSurface(SurfaceFields f, const QString& where, QString* refusal, bool& ok) const;
    void TryAccept();

    QCheckBox* consistent_ = nullptr;
    QCheckBox* heatLoss_ = nullptr;
    double OfferedInterval() const;
    QCheckBox* surfaceInterval_ = nullptr;  // the surfaces' conduction not every step
    SurfaceFields walls_, ceiling_;
    QTableWidget* rooms_ = nullptr;
    std::vector<SurfaceFields> roomWalls_, roomCeilings_;
    ModelChoice shown_;  // surfaces the fields cannot show (several layers, custom) stay as given
};
