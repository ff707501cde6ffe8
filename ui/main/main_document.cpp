// The main window's building as a document: the rooms with their names and the openings as
// one value, the editor's operations as undoable steps on it, the whole building replaced, the
// unsaved changes and the caption that shows them.
#include <QSignalBlocker>
#include <QTableWidget>
#include <QUndoCommand>
#include <QUndoStack>

#include "main_fields.h"
#include "number_text.h"
#include "project/scenario_file.h"
#include "u_main.h"
#include "ui_u_main.h"
#include "model/room.h"

using zf::project::Document;
using zfmain::Field;
using zfmain::Fields;

// One editor operation in the history: the building before and after it. Undo and redo put
// the whole building back, which keeps every face of the opening matrix in its place.
// The matrix's current cell goes back with it, so the grids show what they showed.
class TBuildingEdit : public QUndoCommand {
public:
    struct State {
        Document Building;
        QPoint Cell;  // the matrix's current cell: x = column, y = row
    };
    TBuildingEdit(Tf_main& window, const QString& text, State before, State after)
        : QUndoCommand(text), window_(window), before_(std::move(before)), after_(std::move(after)) {}

    void undo() override { window_.SetBuilding(before_.Building, before_.Cell); }
    void redo() override {
        // The operation itself made the first "after"; QUndoStack::push calls redo once.
        if (done_) window_.SetBuilding(after_.Building, after_.Cell);
        done_ = true;
    }

private:
    Tf_main& window_;
    State before_;
    State after_;
    bool done_ = false;
};


Document Tf_main::Building() const {
    Document building;
    // What the engineer writes of the building and the safety factor change with the rooms,
    // in the same history.
    for (const zf::project::ObjectField& field : zf::project::kObjectFields) building.*field.Text = document_.*field.Text;
    building.Notes = document_.Notes;
    building.SafetyFactor = document_.SafetyFactor;
    // The inputs no field shows (the critical values) change in the same history.
    for (const zf::Input& input : zf::kInputs)
        if (input.Widget.empty()) building.Params.*input.Field = document_.Params.*input.Field;
    // The model options change with the rooms too (a room keeps its own walls and ceiling).
    building.ConsistentOutflow = document_.ConsistentOutflow;
    building.HeatLoss = document_.HeatLoss;
    building.Routes = document_.Routes;  // the escape routes change in the same history
    // Names are kept per room beside the scenario; a room added to the scenario directly has none.
    building.Rooms = roomInfo_;
    building.Rooms.resize(static_cast<std::size_t>(zm->RoomCount()));
    for (int k = 0; k < zm->RoomCount(); ++k) {
        const zf::TRoom& room = *zm->Rooms[static_cast<std::size_t>(k)];
        auto& info = building.Rooms[static_cast<std::size_t>(k)];
        info.Length = room.Length;
        info.Width = room.Width;
        info.Height = room.Height;
    }
    building.Openings = zf::project::Capture(*zm).Openings;
    return building;
}

void Tf_main::SetBuilding(const Document& building, QPoint cell) {
    Document document = building;
    document.Params = zf::project::Capture(*zm).Params;
    auto fresh = std::make_unique<zf::TzoneMath>();
    zf::project::Apply(document, *fresh);
    zm = std::move(fresh);
    roomInfo_ = building.Rooms;
    for (const zf::project::ObjectField& field : zf::project::kObjectFields) document_.*field.Text = building.*field.Text;
    document_.Notes = building.Notes;
    document_.SafetyFactor = building.SafetyFactor;
    for (const zf::Input& input : zf::kInputs)
        if (input.Widget.empty()) document_.Params.*input.Field = building.Params.*input.Field;
    document_.ConsistentOutflow = building.ConsistentOutflow;
    document_.HeatLoss = building.HeatLoss;
    document_.Routes = building.Routes;
    FillGridRoom();
    FillGridMatrix();
    if (cell.y() >= 1 && cell.x() >= 1 && cell.y() < ui->GridMatrix->rowCount() && cell.x() < ui->GridMatrix->columnCount())
        ui->GridMatrix->setCurrentCell(cell.y(), cell.x());
    ShowCurrentCellProems();
}

Document Tf_main::CurrentDocument() const {
    Document document = document_;
    for (const Field& f : Fields(*this)) document.Params.*f.Value = NumberFromText(f.Edit->text());
    document.Params.UseTanaka = ui->rbTanaka->isChecked();
    Document building = Building();
    document.Rooms = std::move(building.Rooms);
    document.Openings = std::move(building.Openings);
    return document;
}

bool Tf_main::IsModified() const {
    try {
        return CurrentDocument() != saved_;
    } catch (const ConversionError&) {
        return true;  // a field holding no number was typed after the last save
    }
}

void Tf_main::Edit(const QString& text, const std::function<void()>& operation) {
    const auto state = [this] {
        return TBuildingEdit::State{Building(), QPoint(ui->GridMatrix->currentColumn(), ui->GridMatrix->currentRow())};
    };
    TBuildingEdit::State before = state();
    roomInfo_.resize(static_cast<std::size_t>(zm->RoomCount()));
    operation();
    TBuildingEdit::State after = state();
    if (after.Building != before.Building)
        undo_->push(new TBuildingEdit(*this, text, std::move(before), std::move(after)));
}

void Tf_main::ReplaceBuilding(const Document& document, const QString& path) {
    document_ = document;
    {
        // One caption update at the end, not one per field.
        for (const Field& f : Fields(*this)) {
            const QSignalBlocker quietField(f.Edit);
            f.Edit->setText(zfmain::ExactNumberText(document.Params.*f.Value));
        }
        const QSignalBlocker quietTanaka(ui->rbTanaka);
        (document.Params.UseTanaka ? ui->rbTanaka : ui->rbMcCaffrey)->setChecked(true);
        zm = std::make_unique<zf::TzoneMath>();
        zf::project::Apply(document, *zm);
        roomInfo_ = document.Rooms;
        undo_->clear();
    }
    filePath_ = path;
    objectInfoAsked_ = false;
    FillGridMatrix();
    FillGridRoom();
    ShowCurrentCellProems();
    saved_ = CurrentDocument();
    UpdateCaption();
}

void Tf_main::UpdateCaption() {
    if (undo_ == nullptr || zm == nullptr) return;  // during construction
    // The designed text, the file's name, and "*" while there are unsaved changes.
    const bool modified = IsModified();
    setWindowTitle(designedCaption_ + (filePath_.isEmpty() ? QString() : QStringLiteral(" — ") + zfmain::DisplayName(filePath_)) +
                   (modified ? QStringLiteral("*") : QString()));
}

void Tf_main::UpdateActions() { restoreAction_->setEnabled(HasLastCalculation()); }

