#pragma once
// The scenario file, read by the headless runner and opened and saved by the main window: a
// JSON object holding the main window's parameter fields, the plume correlation, the rooms and
// the openings, plus a title, notes and room names for the engineer. Every key is optional; a
// missing one takes the main window's initial value.
//
//   {"format": "zonefire-scenario", "version": 1, "title": "...", "notes": "...",
//    "Qn": 13800000, "Vlin": 0.0108, "PsiUd": 0.0145, "D": 270, "Lo2": 1.03, "Lco": 0.0022,
//    "Lco2": 0.203, "Lhcl": 0.014, "Nu": 0.97, "T0": 293, "hr": 1.7, "SimTime": 200,
//    "dt": 0.0001, "SamplesPerSec": 10, "plume": "tanaka" | "mccaffrey", "fire_area_max": 0.5,
//    "rooms": [{"length": 5, "width": 4, "height": 3, "name": "Коридор"}, ...],
//    "openings": [{"rooms": [1, 2], "height": 2, "width": 0.9, "open": true}, ...]}
//
// Rooms are added in list order (room 1 is the fire room). An opening's "rooms" holds two
// 1-based room numbers: [i, i] is an opening of room i to the outside, [i, j] a doorway
// between rooms i and j, added as the editor adds one (face in cell (i−1, j−1), then its twin
// in cell (j−1, i−1)). "fire_area_max" is the largest area the fire load occupies [m²]: the
// burning area grows no further; absent or 0 means no limit (and the writer leaves it out).
// "fire_load" names a typical fire load of the built-in library ("Магазин"): its eight inputs
// (Qn, Vlin, PsiUd, D, Lo2, Lco, Lco2, Lhcl) take the row's values, and any of those keys in
// the same file overrides the row's value. The writer writes the name and every value.

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "project/document.h"
#include "project/strict_json.h"
#include "model/scenario.h"

namespace zf::project {

// Reads a scenario file's text. On success stores the document in `out` and returns
// std::nullopt; otherwise returns one message in Russian naming the place (line and column),
// the key and, where one is concerned, the room or opening by its 1-based number ("помещение
// №2, ключ \"length\": ...") with its line, and leaves `out` as it was. Refuses text over
// kMaxTextBytes, what ReadStrictJson refuses (a NUL, a duplicate key, nesting beyond 64 levels,
// a number beyond a double's range), unknown keys (a known key in another case among them), a
// file of another format or a later version, more than
// kMaxRooms rooms or kMaxOpenings openings (before building them). Accepts what the editor can
// hold but not run (no room, a room lower than the working zone): RunRefusal tells those.
// Time and memory grow linearly with the text. Quoted input in a message is cut to a readable
// length with its control characters escaped. A pure function: never throws for any input (an
// allocation failure aside).
std::optional<std::string> ReadDocument(std::string_view text, Document& out);
// The same, the refusal as the reader makes it: the key path and line of the refused value
// (none for a refusal of the file as a whole) and the reason; ReadDocument gives its message.
std::optional<ReadRefusal> ReadDocumentOrRefusal(std::string_view text, Document& out);

// Reads a scenario file's text into `out`, which must be a freshly created scenario.
// Returns std::nullopt when the scenario is complete and passes RunRefusal and the engine's own
// check (TzoneMath::CheckInputs), so it can be run as it stands. Otherwise returns the message;
// `out` is then partly filled or untouched and must not be run.
std::optional<std::string> ReadScenario(std::string_view text, TzoneMath& out);

// The file's text of a document: one key per line, one room or opening per line, two-space
// indents, UTF-8, ending in a newline. Every number is written in the shortest text that reads
// back to the same double, so ReadDocument(WriteDocument(d)) == d and writing again gives the
// same bytes. Empty title, notes and names are left out. Throws std::invalid_argument naming
// the key when the document holds what ReadDocument would refuse (a number negative or not
// finite, fewer than one sample per second, an opening of a room the document lacks), so no
// file is written that cannot be opened again.
std::string WriteDocument(const Document& document);

// Every key the reader knows, at any level (top, room, evacuation, opening), in the reader's
// order: what a help text that lists the keys must name.
std::vector<std::string_view> KnownKeys();

}  // namespace zf::project
