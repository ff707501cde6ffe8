// Reading the fire-load library: CSV text → checked rows, or one message naming the line and
// the column that is wrong.

#include "project/fire_loads.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <string>

#include "project/file_text.h"
#include "count_text.h"

namespace zf::project {

// The library's CSV text, built in from data/fire-loads.csv (fire_loads_data.cpp, generated).
extern const char kFireLoadCsv[];

namespace {

// A number column: its header (name and unit, as the table writes them), where the value goes,
// the factor to the program's unit, and the range a real fire load can have in the table's unit.
struct NumberColumn {
    std::string_view Header;
    double FireLoad::*Field;
    double ToProgramUnit;
    double Min;
    bool MinIncluded;
    double Max;
    const char* What;  // the quantity and its unit in the table, for the message
};

// Elements' molar masses [kg/kmol] for the yields no fuel can exceed.
constexpr double kMolarC = 12.011, kMolarO = 15.999, kMolarCl = 35.453, kMolarH = 1.008;

constexpr NumberColumn kNumberColumns[] = {
    // Solid and liquid fuels release at most about 50 MJ/kg (the lightest hydrocarbons).
    {"Qn_kJ_per_kg", &FireLoad::Qn, 1000.0, 1000, true, 50000, "низшая теплота сгорания, кДж/кг"},
    // 0 for liquids and loads that burn their whole area at once; flames spread well below 0,5 m/s.
    {"v_m_per_s", &FireLoad::Vlin, 1.0, 0, true, 0.5, "линейная скорость распространения пламени, м/с"},
    {"psi_kg_per_m2s", &FireLoad::PsiUd, 1.0, 0, false, 0.3, "удельная скорость выгорания, кг/(м²·с)"},
    {"Dm_Np_m2_per_kg", &FireLoad::D, 1.0, 0, false, 2000, "дымообразующая способность, Нп·м²/кг"},
    // Hydrogen burnt to water takes 16/2,016 ≈ 7,94 kg of oxygen per kg: no fuel takes more.
    {"LO2_kg_per_kg", &FireLoad::Lo2, 1.0, 0, false, kMolarO / (2 * kMolarH), "потребление кислорода, кг/кг"},
    // Pure carbon burnt to CO2 gives 44/12 kg per kg, to CO 28/12; pure chlorine gives
    // 36,5/35,5 kg of HCl per kg: a fuel with anything else in it gives less.
    {"LCO2_kg_per_kg", &FireLoad::Lco2, 1.0, 0, true, (kMolarC + 2 * kMolarO) / kMolarC, "выделение CO2, кг/кг"},
    {"LCO_kg_per_kg", &FireLoad::Lco, 1.0, 0, true, (kMolarC + kMolarO) / kMolarC, "выделение CO, кг/кг"},
    {"LHCl_kg_per_kg", &FireLoad::Lhcl, 1.0, 0, true, (kMolarH + kMolarCl) / kMolarCl, "выделение HCl, кг/кг"},
};
constexpr std::string_view kTextColumns[] = {"name", "description", "source_as_cited"};
constexpr std::size_t kColumnCount = std::size(kTextColumns) + std::size(kNumberColumns);

struct BadRow {
    std::string Message;
};

// One line's cells: "," between them, a cell in quotes may hold commas and doubled quotes.
std::vector<std::string> SplitCells(std::string_view line, const std::string& where) {
    std::vector<std::string> cells(1);
    bool quoted = false;
    for (std::size_t i = 0; i < line.size(); ++i) {
        const char c = line[i];
        if (quoted && c == '"' && i + 1 < line.size() && line[i + 1] == '"') {
            cells.back() += '"';
            ++i;
        } else if (c == '"' && (quoted || cells.back().empty())) {
            quoted = !quoted;
        } else if (c == ',' && !quoted) {
            cells.emplace_back();
        } else {
            cells.back() += c;
        }
    }
    if (quoted) throw BadRow{where + ": кавычка не закрыта"};
    return cells;
}

std::string Format(double x) {
    std::string text = std::to_string(x);
    while (text.size() > 1 && text.back() == '0') text.pop_back();
    if (!text.empty() && text.back() == '.') text.pop_back();
    return text;
}

double ReadCell(const std::string& cell, const NumberColumn& column, const std::string& where) {
    const std::string place = where + ", столбец \"" + std::string(column.Header) + "\" (" + column.What + ")";
    double x = 0;
    const auto [end, error] = std::from_chars(cell.data(), cell.data() + cell.size(), x);
    if (cell.empty() || error != std::errc() || end != cell.data() + cell.size() || !std::isfinite(x))
        throw BadRow{place + ": ожидается число с десятичной точкой, а задано: " + Quoted(cell)};
    const bool aboveMin = column.MinIncluded ? x >= column.Min : x > column.Min;
    if (!aboveMin || x > column.Max)
        throw BadRow{place + ": " + cell + " вне пределов " + (column.MinIncluded ? "[" : "(") + Format(column.Min) +
                     "; " + Format(column.Max) + "]"};
    return x * column.ToProgramUnit;
}

FireLoad ReadRow(const std::vector<std::string>& cells, const std::string& where) {
    if (cells.size() != kColumnCount)
        throw BadRow{where + ": " + zfreport::CountText(static_cast<long long>(cells.size()), zfreport::kCellsWord) + " вместо " + std::to_string(kColumnCount)};
    FireLoad load{cells[0], cells[1], cells[2]};
    if (load.Name.empty()) throw BadRow{where + ": не задано название (столбец \"name\")"};
    if (load.Source.empty()) throw BadRow{where + ": не указан источник (столбец \"source_as_cited\")"};
    for (std::size_t i = 0; i < std::size(kNumberColumns); ++i)
        load.*kNumberColumns[i].Field = ReadCell(cells[std::size(kTextColumns) + i], kNumberColumns[i], where);
    return load;
}

void CheckHeader(const std::vector<std::string>& cells) {
    std::vector<std::string_view> expected(std::begin(kTextColumns), std::end(kTextColumns));
    for (const NumberColumn& c : kNumberColumns) expected.push_back(c.Header);
    const bool same = cells.size() == expected.size() && std::equal(cells.begin(), cells.end(), expected.begin());
    if (!same) {
        std::string names;
        for (std::string_view e : expected) names += (names.empty() ? "" : ",") + std::string(e);
        throw BadRow{"строка 1: заголовок должен назвать столбцы с их единицами: " + names};
    }
}

std::vector<FireLoad> ReadTable(std::string_view text) {
    std::vector<FireLoad> rows;
    std::size_t lineNumber = 0;
    for (std::size_t from = 0; from < text.size();) {
        std::size_t to = text.find('\n', from);
        if (to == std::string_view::npos) to = text.size();
        std::string_view line = text.substr(from, to - from);
        from = to + 1;
        if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
        const std::string where = "строка " + std::to_string(++lineNumber);
        if (lineNumber == 1) {
            CheckHeader(SplitCells(line, where));
            continue;
        }
        if (line.empty()) continue;
        rows.push_back(ReadRow(SplitCells(line, where), where));
        for (std::size_t k = 0; k + 1 < rows.size(); ++k)
            if (rows[k].Name == rows.back().Name) throw BadRow{where + ": название " + Quoted(rows.back().Name) + " уже было"};
    }
    if (lineNumber == 0) throw BadRow{"таблица пуста"};
    return rows;
}

}  // namespace

std::optional<std::string> ReadFireLoadTable(std::string_view text, std::vector<FireLoad>& out) {
    try {
        out = ReadTable(text);
    } catch (const BadRow& bad) {
        return "библиотека пожарных нагрузок, " + bad.Message;
    }
    return std::nullopt;
}

namespace {

struct BuiltIn {
    std::vector<FireLoad> Rows;
    std::optional<std::string> Error;
    BuiltIn() { Error = ReadFireLoadTable(kFireLoadCsv, Rows); }
};

const BuiltIn& TheBuiltIn() {
    static const BuiltIn library;
    return library;
}

}  // namespace

const std::vector<FireLoad>& BuiltInFireLoads() { return TheBuiltIn().Rows; }
const std::optional<std::string>& BuiltInFireLoadError() { return TheBuiltIn().Error; }

const FireLoad* FindFireLoad(std::string_view name) {
    for (const FireLoad& load : BuiltInFireLoads())
        if (load.Name == name) return &load;
    return nullptr;
}

namespace {

// The row's inputs by the file key of the input each sets (model/inputs.h).
struct Link {
    std::string_view Key;
    double FireLoad::*Row;
    double Parameters::*Param() const { return zf::InputOf(Key).Field; }
};
constexpr Link kLinks[] = {
    {"Qn", &FireLoad::Qn},   {"Vlin", &FireLoad::Vlin}, {"PsiUd", &FireLoad::PsiUd}, {"D", &FireLoad::D},
    {"Lo2", &FireLoad::Lo2}, {"Lco", &FireLoad::Lco},   {"Lco2", &FireLoad::Lco2},   {"Lhcl", &FireLoad::Lhcl},
};

}  // namespace

std::vector<std::string_view> FireLoadKeys() {
    std::vector<std::string_view> keys;
    for (const Link& link : kLinks) keys.push_back(link.Key);
    return keys;
}

void ApplyFireLoad(const FireLoad& load, Parameters& params) {
    for (const Link& link : kLinks) params.*link.Param() = load.*link.Row;
}

std::vector<std::string_view> ChangedFromFireLoad(const Parameters& params, const FireLoad& load) {
    std::vector<std::string_view> keys;
    for (const Link& link : kLinks)
        if (params.*link.Param() != load.*link.Row) keys.push_back(link.Key);
    return keys;
}

std::string FireLoadNote(std::string_view name, const Parameters& params) {
    if (name.empty()) return {};
    const FireLoad* load = FindFireLoad(name);
    if (load == nullptr) return "Пожарная нагрузка названа «" + std::string(name) + "», но такой нет в библиотеке программы.";
    std::string note = "Параметры горючей нагрузки (Qн, Vлин, ψуд, D, LO2, LCO, LCO2, LHCl) взяты из библиотеки типовых "
                       "пожарных нагрузок: «" + load->Name + "» — " + load->Description + " (источник: " + load->Source + ").";
    const std::vector<std::string_view> changed = ChangedFromFireLoad(params, *load);
    if (changed.empty()) return note;
    note += " Изменены пользователем после выбора:";
    for (std::size_t i = 0; i < changed.size(); ++i) note += (i == 0 ? " " : ", ") + std::string(changed[i]);
    return note + ".";
}

std::string UnknownFireLoadMessage(std::string_view name) {
    return "ключ \"fire_load\": в библиотеке нет типовой пожарной нагрузки " + Quoted(name) +
           " (название пишется точно как в списке; список выводит zonefire-cli --fire-loads)";
}

}  // namespace zf::project
