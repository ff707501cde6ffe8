#pragma once
// The fire-load library: typical fire loads from the published tables (a name, what the load
// is, the table it comes from and the eight fire-load inputs of the main window), shipped as
// data/fire-loads.csv and built into the program. Every row is checked when the table is read:
// the columns and their units, each number against the range a real fire load can have.

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "project/document.h"

namespace zf::project {

struct FireLoad {
    std::string Name;         // as the file names it: "fire_load": "Магазин"
    std::string Description;  // what burns, as the table describes it
    std::string Source;       // the table the row comes from
    double Qn = 0;            // lower heat of combustion [J/kg] (the table gives kJ/kg)
    double Vlin = 0;          // linear flame-spread speed [m/s]; 0: the whole area burns at once
    double PsiUd = 0;         // specific mass burning rate [kg/(m²·s)]
    double D = 0;             // smoke-generating ability [Np·m²/kg]
    double Lo2 = 0;           // oxygen consumed per kg burnt [kg/kg]
    double Lco2 = 0;          // CO2 released per kg burnt [kg/kg]
    double Lco = 0;           // CO released per kg burnt [kg/kg]
    double Lhcl = 0;          // HCl released per kg burnt [kg/kg]
};

// Reads the library's CSV text (a header naming the eleven columns with their units, then one
// load a line; "," between cells, a decimal point, quotes around a cell holding a comma).
// On success stores the rows in `out` and returns std::nullopt; otherwise returns one message
// in Russian naming the line, the column and the range, and leaves `out` as it was.
std::optional<std::string> ReadFireLoadTable(std::string_view text, std::vector<FireLoad>& out);

// The library built into the program, read once on first use. Empty when the built-in text is
// refused (the tests prove it is not); BuiltInFireLoadError then says why.
const std::vector<FireLoad>& BuiltInFireLoads();
const std::optional<std::string>& BuiltInFireLoadError();

// The row of that exact name, or nullptr.
const FireLoad* FindFireLoad(std::string_view name);

// The file keys of the row's eight inputs ("Qn", "Vlin", ...), in the table's order.
std::vector<std::string_view> FireLoadKeys();

// Puts the row's eight inputs into the parameters; the rest stay as they are.
void ApplyFireLoad(const FireLoad& load, Parameters& params);

// The file keys ("Qn", "Vlin", ...) whose value in `params` differs from the row's: what the
// engineer changed after choosing it.
std::vector<std::string_view> ChangedFromFireLoad(const Parameters& params, const FireLoad& load);

// What the report says of the fire-load inputs' origin: the library row named `name` and its
// source, and which inputs were changed after choosing it. Empty for no name.
std::string FireLoadNote(std::string_view name, const Parameters& params);

// "ключ \"fire_load\": ..." when the name is not in the library, with the closest names.
std::string UnknownFireLoadMessage(std::string_view name);

}  // namespace zf::project
