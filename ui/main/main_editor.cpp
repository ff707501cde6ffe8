// The main window's editor operations: add and delete a room, add and delete an opening, edit
// one in place, the rooms' evacuation inputs. Each is one undoable step (main_document.cpp).
#include <QApplication>
#include <QMessageBox>
#include <QTableWidget>

#include "critical_times.h"
#include "main_fields.h"
#include "number_text.h"
#include "u_AddDoor.h"
#include "u_AddRoom.h"
#include "routes_dialog.h"
#include "u_Evacuation.h"
#include "u_main.h"
#include "ui_u_main.h"
#include "model/room.h"
#include "model/route_rooms.h"

void Tf_main::btnAddRoomClick() {
    if (f_AddRoom == nullptr || f_AddRoom->exec() != QDialog::Accepted) return;
    // Every value is read before the scenario changes, so a bad entry adds nothing.
    double length = 0;  // [m]
    double width = 0;   // [m]
    double height = 0;  // [m]
    try {
        length = NumberFromText(f_AddRoom->LengthText());
        width = NumberFromText(f_AddRoom->WidthText());
        height = NumberFromText(f_AddRoom->HeightText());
    } catch (const ConversionError& error) {
        ShowErrorMessage(this, error.Message());
        return;
    }
    Edit(QStringLiteral("добавление помещения"), [&] {
        zm->AddRoom(length, width, height);
        roomInfo_.emplace_back();
        FillGridRoom();
        FillGridMatrix();
    });
}

void Tf_main::btnDelRoomClick() {
    const int k = ui->GridRoom->currentRow() - 1;
    if (k < 0 || k >= zm->RoomCount()) return;
    int unbound = 0;  // route segments that lay in the deleted room
    Edit(QStringLiteral("удаление помещения №%1").arg(k + 1), [&] {
        zm->DeleteRoom(k);
        if (k < static_cast<int>(roomInfo_.size())) roomInfo_.erase(roomInfo_.begin() + k);
        unbound = zf::flow::ForgetRoom(document_.Routes, k);
        FillGridRoom();
        FillGridMatrix();
        // The matrix cells have shifted under the current cell: show what it holds now, so the
        // delete-opening button never acts on an opening other than the one shown.
        ShowCurrentCellProems();
    });
    if (unbound > 0) {
        const QString text = QStringLiteral(
            "Помещение №%1 удалено. Участков путей эвакуации в нем: %2; теперь они не привязаны к помещению. "
            "Укажите их помещение в окне «Правка → Пути эвакуации...» или отмените удаление (Ctrl+Z).");
        QMessageBox box(QMessageBox::Information, QApplication::applicationDisplayName(), text.arg(k + 1).arg(unbound),
                        QMessageBox::Ok, this);
        box.exec();
    }
}

void Tf_main::btnAddDoorClick() {
    const int c = ui->GridMatrix->currentColumn() - 1;
    const int r = ui->GridMatrix->currentRow() - 1;
    if (r < 0 || c < 0 || r >= zm->RoomCount() || c >= zm->RoomCount()) return;
    if (f_AddDoor == nullptr || f_AddDoor->exec() != QDialog::Accepted) return;
    const bool isOpen = f_AddDoor->IsOpen();
    double height = 0;  // [m]
    double width = 0;   // [m]
    try {
        height = NumberFromText(f_AddDoor->HeightText());
        width = NumberFromText(f_AddDoor->WidthText());
    } catch (const ConversionError& error) {
        ShowErrorMessage(this, error.Message());
        return;
    }
    // A doorway is two faces, one seen from each room; an outside opening has one.
    Edit(QStringLiteral("добавление проема"), [&] {
        zm->AddProem(r, c, height, width, isOpen);
        if (r != c) zm->AddProem(c, r, height, width, isOpen);
        FillGridProem(r, c);
        FillGridMatrix();
    });
}

void Tf_main::TBXButton2Click() {
    const int r = ui->GridMatrix->currentRow() - 1;
    const int c = ui->GridMatrix->currentColumn() - 1;
    const int k = ui->GridProem->currentRow() - 1;
    if (r < 0 || c < 0 || k < 0 || r >= zm->RoomCount() || c >= zm->RoomCount()) return;
    if (k >= static_cast<int>(zm->Cell(r, c).size())) return;
    Edit(QStringLiteral("удаление проема"), [&] {
        zm->DeleteProem(r, c, k);  // and its twin in cell (c, r)
        FillGridMatrix();
        FillGridProem(r, c);
    });
}

void Tf_main::btnEvacuationClick() {
    if (f_Evacuation == nullptr) f_Evacuation = new TF_Evacuation(this);
    f_Evacuation->Show(Evacuation(), zm->RoomCount());
    if (f_Evacuation->exec() != QDialog::Accepted) return;
    const auto inputs = f_Evacuation->Inputs(nullptr);
    if (!inputs) return;
    // The safety factor belongs to the building like its title; the rooms' inputs are an
    // editor operation that can be undone.
    Edit(QStringLiteral("эвакуация"), [&] {
        document_.SafetyFactor = inputs->SafetyFactor;
        for (int k = 0; k < zm->RoomCount(); ++k) roomInfo_[static_cast<std::size_t>(k)].Evacuation = inputs->Room(k);
    });
    UpdateCaption();
}

void Tf_main::btnRoutesClick() {
    TF_Routes dialog(this);
    dialog.Show(document_.Routes, zm->RoomCount());
    if (dialog.exec() != QDialog::Accepted) return;
    const auto routes = dialog.Routes(nullptr);
    if (!routes) return;
    Edit(QStringLiteral("пути эвакуации"), [&] { document_.Routes = *routes; });
    UpdateCaption();
}

zfreport::EvacuationInputs Tf_main::Evacuation() const {
    zfreport::EvacuationInputs inputs;
    inputs.SafetyFactor = document_.SafetyFactor;
    for (int k = 0; k < zm->RoomCount(); ++k) {
        const auto info = static_cast<std::size_t>(k);
        inputs.Rooms.push_back(info < roomInfo_.size() ? roomInfo_[info].Evacuation : std::nullopt);
    }
    inputs.Routes = document_.Routes;
    return inputs;
}
void Tf_main::EditRoom(int k) {
    if (f_AddRoom == nullptr || k < 0 || k >= zm->RoomCount()) return;
    // The dialog is shared with "add room", which opens with the texts typed last time.
    const QString title = f_AddRoom->windowTitle();
    const QString texts[] = {f_AddRoom->LengthText(), f_AddRoom->WidthText(), f_AddRoom->HeightText()};
    const zf::TRoom& room = zm->Room(k);
    f_AddRoom->SetTexts(zfmain::ExactNumberText(room.Length), zfmain::ExactNumberText(room.Width), zfmain::ExactNumberText(room.Height));
    // The title names the room being changed ("Помещение №2 — Коридор") and its row stays
    // selected behind the dialog, so the user sees which room the numbers belong to.
    const std::string name = static_cast<std::size_t>(k) < roomInfo_.size() ? roomInfo_[static_cast<std::size_t>(k)].Name : std::string();
    f_AddRoom->setWindowTitle(QString::fromStdString(zfreport::RoomLabel(k, name)));
    ui->GridRoom->selectRow(k + 1);
    const bool accepted = f_AddRoom->exec() == QDialog::Accepted;
    const QString length = f_AddRoom->LengthText(), width = f_AddRoom->WidthText(), height = f_AddRoom->HeightText();
    f_AddRoom->SetTexts(texts[0], texts[1], texts[2]);
    f_AddRoom->setWindowTitle(title);
    if (!accepted) return;
    double size[3];
    try {
        size[0] = NumberFromText(length);
        size[1] = NumberFromText(width);
        size[2] = NumberFromText(height);
    } catch (const ConversionError& error) {
        ShowErrorMessage(this, error.Message());
        return;
    }
    Edit(QStringLiteral("изменение помещения №%1").arg(k + 1), [&] {
        zm->EditRoom(k, size[0], size[1], size[2]);
        FillGridRoom();
    });
}

void Tf_main::EditOpening(int row, int col, int k) {
    const int n = zm->RoomCount();
    if (f_AddDoor == nullptr || row < 0 || col < 0 || row >= n || col >= n) return;
    if (k < 0 || k >= static_cast<int>(zm->Cell(row, col).size())) return;
    const QString title = f_AddDoor->windowTitle();
    const bool wasOpen = f_AddDoor->IsOpen();
    const QString texts[] = {f_AddDoor->HeightText(), f_AddDoor->WidthText()};
    const zf::TProem& face = *zm->Cell(row, col)[static_cast<std::size_t>(k)];
    f_AddDoor->SetEntry(face.IsOpen, zfmain::ExactNumberText(face.Height), zfmain::ExactNumberText(face.Width));
    f_AddDoor->setWindowTitle(row == col ? QStringLiteral("Проем №%1 помещения №%2 наружу").arg(k + 1).arg(row + 1)
                                         : QStringLiteral("Проем №%1 между помещениями №%2 и №%3").arg(k + 1).arg(row + 1).arg(col + 1));
    const bool accepted = f_AddDoor->exec() == QDialog::Accepted;
    const bool isOpen = f_AddDoor->IsOpen();
    const QString height = f_AddDoor->HeightText(), width = f_AddDoor->WidthText();
    f_AddDoor->SetEntry(wasOpen, texts[0], texts[1]);
    f_AddDoor->setWindowTitle(title);
    if (!accepted) return;
    double h = 0, w = 0;
    try {
        h = NumberFromText(height);
        w = NumberFromText(width);
    } catch (const ConversionError& error) {
        ShowErrorMessage(this, error.Message());
        return;
    }
    // Both faces of a doorway change together.
    Edit(QStringLiteral("изменение проема"), [&] {
        zm->EditProem(row, col, k, h, w, isOpen);
        FillGridProem(row, col);
    });
}

