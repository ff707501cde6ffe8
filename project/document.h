#pragma once
// A building as the project file holds it: the model inputs of the main window (parameter
// fields, plume choice, rooms, openings) plus what only the engineer reads (a title, notes, a
// name per room). A plain value: copied for undo and for "the building of the last
// calculation", compared whole in tests, turned into a runnable scenario by Apply.
//
// Adding a key to the file:
// - a top-level number that is a model input: a field in Parameters with its default, a row in
//   kNumberKeys (reader, writer, Apply and Capture all walk that table); a number that is a
//   model option (RunOptions) likewise, its row naming the option's member;
// - anything else: a field here (in Document or Room), its key in the reader's list of known
//   keys, one line in the reader's ReadTop / ReadRoom and one in the writer's WriteTop /
//   WriteRoom (scenario_file.cpp). A key the engine does not read needs nothing in Apply.

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "model/defaults.h"
#include "model/scenario.h"
#include "verdict.h"

namespace zf::project {

// The file's "format" and "version" keys. A file without them is read as version 1; a file of
// a later version is refused. A file is written as version 2 only when it uses the model
// options ("consistent_outflow", "heat_loss", a room's "walls" or "ceiling"), so files without
// them stay version 1 and byte for byte as they were.
inline constexpr std::string_view kFormatName = "zonefire-scenario";
inline constexpr int kFormatVersion = 2;      // the latest the reader reads
inline constexpr int kPlainFormatVersion = 1; // written when no model option is used

// The runner's result file: "format" and "version". Version 2 writes a critical time never
// reached as null; version 1 (without "format" and "version") wrote 0.
inline constexpr std::string_view kResultFormatName = "zonefire-result";
inline constexpr int kResultFormatVersion = 2;

// More rooms than this are refused: the opening matrix grows with the square of the count.
inline constexpr int kMaxRooms = 1000;
// More openings than this are refused before any is built: ten per room at the room limit.
inline constexpr int kMaxOpenings = 10000;
// A scenario is a few kilobytes; longer text is refused unread.
inline constexpr std::size_t kMaxTextBytes = std::size_t{16} << 20;

// Defaults of a missing key: the main window's initial texts and the two dialogs' fields.
using ScenarioDefaults = zf::ScenarioDefaults;

// The main window's parameter fields and plume choice, in the model's units.
struct Parameters {
    double Qn = ScenarioDefaults::Qn;
    double Vlin = ScenarioDefaults::Vlin;
    double PsiUd = ScenarioDefaults::PsiUd;
    double D = ScenarioDefaults::D;
    double Lo2 = ScenarioDefaults::Lo2;
    double Lco = ScenarioDefaults::Lco;
    double Lco2 = ScenarioDefaults::Lco2;
    double Lhcl = ScenarioDefaults::Lhcl;
    double Nu = ScenarioDefaults::Nu;
    double T0 = ScenarioDefaults::T0;
    double hr = ScenarioDefaults::hr;
    double SimTime = ScenarioDefaults::SimTime;
    double dt = ScenarioDefaults::dt;
    int SamplesPerSec = ScenarioDefaults::SamplesPerSec;
    bool UseTanaka = ScenarioDefaults::UseTanaka;
    // Largest area the fire load occupies [m²]; 0: no limit, the whole floor may burn.
    double FireAreaMax = ScenarioDefaults::FireAreaMax;

    bool operator==(const Parameters&) const = default;
};

// A top-level number key of the file: a finite, non-negative model input, or a model option
// (RunOptions) where Model is null. An optional key whose 0 means "not used" is left out of
// the file at 0, so files without it stay as they were.
struct NumberKey {
    std::string_view Key;
    double Parameters::*Field;
    double TzoneMath::*Model;
    double RunOptions::*Option = nullptr;
    bool OmittedAtZero = false;

    // The scenario's value of this key: its input, or its member of the scenario's options.
    double& In(TzoneMath& scenario) const { return Model ? scenario.*Model : scenario.Options.*Option; }
    double In(const TzoneMath& scenario) const { return Model ? scenario.*Model : scenario.Options.*Option; }
};

// In the order the writer puts them.
inline constexpr NumberKey kNumberKeys[] = {
    {"Qn", &Parameters::Qn, &TzoneMath::Qn},
    {"Vlin", &Parameters::Vlin, &TzoneMath::Vlin},
    {"PsiUd", &Parameters::PsiUd, &TzoneMath::PsiUd},
    {"fire_area_max", &Parameters::FireAreaMax, nullptr, &RunOptions::FireAreaMax, true},
    {"D", &Parameters::D, &TzoneMath::D},
    {"Lo2", &Parameters::Lo2, &TzoneMath::Lo2},
    {"Lco", &Parameters::Lco, &TzoneMath::Lco},
    {"Lco2", &Parameters::Lco2, &TzoneMath::Lco2},
    {"Lhcl", &Parameters::Lhcl, &TzoneMath::Lhcl},
    {"Nu", &Parameters::Nu, &TzoneMath::Nu},
    {"T0", &Parameters::T0, &TzoneMath::T0},
    {"hr", &Parameters::hr, &TzoneMath::hr},
    {"SimTime", &Parameters::SimTime, &TzoneMath::SimTime},
    {"dt", &Parameters::dt, &TzoneMath::dt},
};

struct Room {
    double Length = ScenarioDefaults::RoomLength;  // [m]
    double Width = ScenarioDefaults::RoomWidth;    // [m]
    double Height = ScenarioDefaults::RoomHeight;  // [m]
    std::string Name;                              // e.g. "Коридор"; empty: none
    // t_нэ and t_р of the people leaving the room; none: the room gets no evacuation verdict.
    std::optional<zfreport::EvacuationInput> Evacuation;
    // The room's own surfaces for the heat-loss option; none: the building's.
    std::optional<Surface> Walls;
    std::optional<Surface> Ceiling;

    bool operator==(const Room&) const = default;
};

// An opening of room From to room To, both 0-based; From == To is an opening to the outside.
// A doorway (From ≠ To) is two faces in the model, one in each room's cell.
struct Opening {
    int From = 0;
    int To = 0;
    double Height = ScenarioDefaults::OpeningHeight;  // top of the opening above the floor [m]
    double Width = ScenarioDefaults::OpeningWidth;    // [m]
    bool Open = ScenarioDefaults::OpeningOpen;

    bool operator==(const Opening&) const = default;
};

// The building's surfaces of "heat_loss": walls required, ceiling optional (else the walls').
struct BuildingSurfaces {
    Surface Walls;
    std::optional<Surface> Ceiling;

    bool operator==(const BuildingSurfaces&) const = default;
};

struct Document {
    std::string Title;  // free text for the engineer; empty: none
    std::string Notes;  // free text, several lines; empty: none
    // The typical fire load of the library the fire-load inputs were taken from ("Магазин");
    // empty: typed by hand. Inputs changed after choosing it keep the name (the report says
    // which were changed).
    std::string FireLoad;
    Parameters Params;
    std::vector<Room> Rooms;  // room 0 is the fire room
    std::vector<Opening> Openings;
    double SafetyFactor = zfreport::kDefaultSafetyFactor;  // f of t_нэ + t_р ≤ f·t_бл, 0 < f ≤ 1 [-]
    bool ConsistentOutflow = false;           // "consistent_outflow": true
    std::optional<BuildingSurfaces> HeatLoss; // "heat_loss": present = the heat-loss option on

    // Whether the file needs version 2: a model option is used.
    bool UsesModelOptions() const;

    bool operator==(const Document&) const = default;
    // The rooms' evacuation inputs and the safety factor, as the verdict takes them.
    zfreport::EvacuationInputs Evacuation() const;
};

// Puts the document's parameters, rooms and openings into `fresh`, a newly created scenario,
// as the editor would: rooms in order, each doorway as its face in cell (From, To) then its
// twin in (To, From). Every opening must name rooms of the document.
void Apply(const Document& document, TzoneMath& fresh);

// The building of a scenario: its parameters, rooms and openings. Each doorway is listed once,
// by its face in the upper cell (From < To); openings follow the cells row by row and their
// faces in cell order, so applying the result rebuilds the same opening matrix. Title, notes
// and names are left empty: the model does not hold them.
Document Capture(const TzoneMath& scenario);

// Why the document cannot be run, naming the file's key and the room ("помещение №2, ключ
// \"height\": ..."): no room, a zero time step or outside temperature, a room of zero size or
// not above the working zone. std::nullopt when none of these holds; the engine's own check
// (TzoneMath::CheckInputs) still follows.
std::optional<std::string> RunRefusal(const Document& document);

}  // namespace zf::project
