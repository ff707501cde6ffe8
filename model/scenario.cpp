// The scenario's editor operations: rooms, the opening matrix and its twin faces.

#include <cassert>

#include "model/constants.h"
#include "model/inputs.h"
#include "model/scenario.h"

namespace zf {

const char* ResultSample::Name(int i) {
    static const char* const kNames[kCount] = {"Fp",     "Gk", "Yk", "Ro2",  "T2",  "Gm",   "YkPred",
                                               "Tw",     "Lw", "O2w", "qRad", "COw", "CO2w", "HClw"};
    return (i >= 0 && i < kCount) ? kNames[i] : "";
}

std::string RoomTitle(int index) { return "Помещение №" + std::to_string(index + 1); }

void TProem::Init(bool isOpen) {
    IsOpen = isOpen;
    Mu = isOpen ? kMuOpen : kMuClosed;
}

TzoneMath::TzoneMath() {
    for (const Input& input : kInputs)
        if (input.Group == InputGroup::Critical) this->*input.Model = input.Default;
}

double TzoneMath::CritOf(HazardKind kind) const {
    switch (kind) {
        case hkTemperature: return CritT;
        case hkOxygen: return CritO2;
        case hkVisibility: return CritVis;
        case hkCO: return CritCO;
        case hkCO2: return CritCO2;
        case hkHCl: return CritHCl;
        case hkRadiation: return CritRad;
    }
    return 0;
}

bool TzoneMath::AddRoom(double length, double width, double height) {
    auto room = std::make_unique<TRoom>();
    room->Length = length;
    room->Width = width;
    room->Height = height;
    Rooms.push_back(std::move(room));
    // Grow the matrix to n × n: every old row gains a cell, then a new row of n empty cells.
    const std::size_t n = Rooms.size();
    for (auto& row : Proems) row.resize(n);
    Proems.resize(n);
    Proems.back().resize(n);
    return true;
}

void TzoneMath::DeleteRoom(int index) {
    if (index < 0 || index >= RoomCount()) return;
    const auto at = static_cast<std::ptrdiff_t>(index);
    Rooms.erase(Rooms.begin() + at);
    Proems.erase(Proems.begin() + at);  // row `index`, with its faces
    for (auto& row : Proems) row.erase(row.begin() + at);  // column `index`
    // The rooms after it keep their own surfaces.
    std::vector<RoomSurfaces>& own = Options.HeatLoss.Rooms;
    if (static_cast<std::size_t>(index) < own.size()) own.erase(own.begin() + at);
}

bool TzoneMath::AddProem(int row, int col, double height, double width, bool isOpen) {
    const int n = RoomCount();
    if (row < 0 || col < 0 || row >= n || col >= n) return false;
    auto face = std::make_unique<TProem>();
    face->Height = height;
    face->Width = width;
    face->Init(isOpen);
    Cell(row, col).push_back(std::move(face));
    return true;
}

void TzoneMath::DeleteProem(int row, int col, int k) {
    const int n = RoomCount();
    if (row < 0 || col < 0 || row >= n || col >= n) return;
    TProems& cell = Cell(row, col);
    if (k < 0 || k >= static_cast<int>(cell.size())) return;
    cell.erase(cell.begin() + k);
    if (row != col) {
        TProems& twins = Cell(col, row);
        if (k < static_cast<int>(twins.size())) twins.erase(twins.begin() + k);
    }
}

bool TzoneMath::EditRoom(int index, double length, double width, double height) {
    if (index < 0 || index >= RoomCount()) return false;
    TRoom& room = Room(index);
    room.Length = length;
    room.Width = width;
    room.Height = height;
    room.FArea = 0;  // the cached area and perimeter follow the new sizes on their next use
    room.FPerim = 0;
    return true;
}

bool TzoneMath::EditProem(int row, int col, int k, double height, double width, bool isOpen) {
    const int n = RoomCount();
    if (row < 0 || col < 0 || row >= n || col >= n) return false;
    if (k < 0 || k >= static_cast<int>(Cell(row, col).size())) return false;
    // A doorway's two faces are one opening seen from each room: they change together.
    for (TProems* cell : {&Cell(row, col), &Cell(col, row)}) {
        if (k >= static_cast<int>(cell->size())) continue;
        TProem& face = *(*cell)[static_cast<std::size_t>(k)];
        face.Height = height;
        face.Width = width;
        face.Init(isOpen);
    }
    return true;
}

}  // namespace zf
