#pragma once
// A building as the project file holds it: the model inputs of the main window (parameter
// fields, plume choice, rooms, openings) plus what only the engineer reads (a title, notes, a
// name per room). A plain value: copied for undo and for "the building of the last
// calculation", compared whole in tests, turned into a runnable scenario by Apply.
//
// Adding a key to the file:
// - a top-level number (a model input or a number of RunOptions): a row of zf::kInputs and its
//   member in Parameters (model/inputs.h); the reader, the writer, Apply, Capture, the study
//   keys, the runner's help, the report and the windows all walk that table;
// - a number of a room, an opening, an escape route or segment, or of the heat-loss surfaces:
//   its member here (or in the model's Segment, Route, SurfaceLayer) and a row of its table in
//   project/element_inputs.h; the reader (range and refusal), the writer, the runner's help and
//   --inputs, the study keys, the report's captions and the editor's grid captions walk it;
// - a model switch: its member here and a row of kModelSwitches (element_inputs.h); a true/false
//   switch names its member there and the reader and writer walk it, a switch with settings of
//   its own (heat_loss) needs its lines in the reader's ReadTop and the writer's WriteTop;
// - anything else: a field here (in Document or Room), its key in the reader's list of known
//   keys, one line in the reader's ReadTop / ReadRoom and one in the writer's WriteTop /
//   WriteRoom (scenario_file.cpp). A key the engine does not read needs nothing in Apply.

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "model/defaults.h"
#include "model/inputs.h"
#include "model/scenario.h"
#include "verdict.h"

namespace zf::project {

// The file's "format" and "version" keys. A file without them is read as version 1; a file of
// a later version is refused. A file is written as the lowest version that holds its keys:
// version 5 when it holds the object's address, organisation or author ("address", ...),
// version 4 when it holds escape routes ("evacuation_routes"), version 3 when a critical value differs from its default ("critical_temperature", ...),
// version 2 when it uses the model options ("consistent_outflow", "heat_loss", a room's "walls"
// or "ceiling"), else version 1; so files without them stay byte for byte as they were, and an
// older program refuses a file it would misread with "обновите программу".
inline constexpr std::string_view kFormatName = "zonefire-scenario";
inline constexpr int kFormatVersion = 5;         // the latest the reader reads
inline constexpr int kPlainFormatVersion = 1;    // written when no model option is used
inline constexpr int kOptionsFormatVersion = 2;  // model options
inline constexpr int kCriticalFormatVersion = 3;  // a critical value of its own
inline constexpr int kRoutesFormatVersion = 4;    // escape routes ("evacuation_routes")
inline constexpr int kObjectFormatVersion = 5;    // the object's address, organisation, author

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

// Defaults of a missing key: the two dialogs' fields (the parameters' own: model/inputs.h).
using ScenarioDefaults = zf::ScenarioDefaults;

// The main window's parameter fields, plume choice and critical values (model/inputs.h).
using Parameters = zf::Parameters;

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
    double SurfaceInterval = 0;  // [s]; 0: the surfaces advance every step

    bool operator==(const BuildingSurfaces&) const = default;
};

struct Document {
    std::string Title;  // the object's name: free text for the engineer; empty: none
    // The report's title page: where the object is and who made the calculation; empty: none.
    std::string Address;
    std::string Organisation;
    std::string Author;
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
    // "evacuation_routes": the escape routes, whose t_р is computed from the people's flow
    // (model/people_flow.h); rooms keep their typed t_р beside them.
    std::vector<zf::flow::Route> Routes;

    // Whether the file needs version 2: a model option is used.
    bool UsesModelOptions() const;
    // Whether the address, organisation or author is given: the file needs version 5.
    bool UsesObjectInfo() const { return !Address.empty() || !Organisation.empty() || !Author.empty(); }
    // Whether a critical value differs from its default: the file needs version 3.
    bool UsesOwnCriticalValues() const;
    // The version the file of this document is written as: the lowest that holds its keys.
    int FormatVersion() const;

    bool operator==(const Document&) const = default;
    // The rooms' evacuation inputs and the safety factor, as the verdict takes them.
    zfreport::EvacuationInputs Evacuation() const;
};

// The texts of the object and of who made the calculation, as the file keys them, the report's
// title page prints them and "Сведения об объекте" edits them.
struct ObjectField {
    std::string_view Key;      // the file's key
    std::string_view Caption;  // the title page's and the dialog's caption
    std::string Document::*Text;
};
inline constexpr ObjectField kObjectFields[] = {
    {"title", "Объект", &Document::Title},
    {"address", "Адрес объекта", &Document::Address},
    {"organisation", "Организация", &Document::Organisation},
    {"author", "Исполнитель", &Document::Author},
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
