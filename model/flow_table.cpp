// The people-flow table: reading and checking the data file, and reading values off it.
#include "model/flow_table.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <stdexcept>

namespace zf::flow {

extern const char kPeopleFlowCsv[];  // data/people-flow.csv, built in (people_flow_data.cpp)

namespace {

constexpr std::string_view kHeader =
    "D,horizontal_V,horizontal_q,doorway_q,stairs_down_V,stairs_down_q,stairs_up_V,stairs_up_q";
constexpr int kColumns = 8;

int Index(SegmentKind kind) { return static_cast<int>(kind); }

// y(x) linear between the points (xs, ys), xs rising; held at the ends.
double Linear(const std::vector<double>& xs, const std::vector<double>& ys, double x) {
    if (x <= xs.front()) return ys.front();
    if (x >= xs.back()) return ys.back();
    const auto upper = std::upper_bound(xs.begin(), xs.end(), x);
    const std::size_t k = static_cast<std::size_t>(upper - xs.begin());
    const double share = (x - xs[k - 1]) / (xs[k] - xs[k - 1]);
    return ys[k - 1] + share * (ys[k] - ys[k - 1]);
}

std::size_t MaxRow(const std::vector<double>& q) {
    return static_cast<std::size_t>(std::max_element(q.begin(), q.end()) - q.begin());
}

// The numbers of one line "a,b,c", or none when a field is not a finite positive number.
std::optional<std::vector<double>> Numbers(std::string_view line) {
    std::vector<double> out;
    while (true) {
        const std::size_t comma = line.find(',');
        const std::string_view field = line.substr(0, comma);
        double v = 0;
        const auto [end, ec] = std::from_chars(field.data(), field.data() + field.size(), v);
        if (ec != std::errc() || end != field.data() + field.size() || !std::isfinite(v) || v <= 0)
            return std::nullopt;
        out.push_back(v);
        if (comma == std::string_view::npos) return out;
        line.remove_prefix(comma + 1);
    }
}

std::string RowName(std::size_t row, double density) {
    return "строка " + std::to_string(row + 1) + " (D = " + std::to_string(density).substr(0, 4) + ")";
}

// Why the table breaks its own physics: densities must rise, q ≈ D·V on every row (V printed to
// whole m/min, q to a tenth: |q − D·V| ≤ 0.5·D + 0.05), and each q column must rise up to its
// largest value, so that a free flow's density can be read from its q.
std::string CheckTable(const FlowTable& t) {
    for (std::size_t r = 1; r < t.Density.size(); ++r)
        if (t.Density[r] <= t.Density[r - 1]) return RowName(r, t.Density[r]) + ": плотности D должны возрастать";
    for (int k = 0; k < kSegmentKindCount; ++k) {
        const auto kind = static_cast<SegmentKind>(k);
        const std::vector<double>& q = t.Intensity[k];
        for (std::size_t r = 0; r < t.Speed[k].size(); ++r) {
            const double dv = t.Density[r] * t.Speed[k][r];
            if (std::abs(q[r] - dv) > 0.5 * t.Density[r] + 0.05 + 1e-9)
                return RowName(r, t.Density[r]) + ", " + std::string(SegmentKindText(kind)) + ": q = " +
                       std::to_string(q[r]).substr(0, 5) + " не равно D·V = " + std::to_string(dv).substr(0, 5) +
                       " (опечатка в таблице)";
        }
        for (std::size_t r = 1; r <= MaxRow(q); ++r)
            if (q[r] <= q[r - 1])
                return RowName(r, t.Density[r]) + ", " + std::string(SegmentKindText(kind)) +
                       ": интенсивность q должна возрастать до наибольшей";
    }
    return {};
}

void AddRow(FlowTable& t, const std::vector<double>& v) {
    t.Density.push_back(v[0]);
    constexpr int speedColumn[kSegmentKindCount] = {1, -1, 4, 6};
    constexpr int intensityColumn[kSegmentKindCount] = {2, 3, 5, 7};
    for (int k = 0; k < kSegmentKindCount; ++k) {
        if (speedColumn[k] >= 0) t.Speed[k].push_back(v[speedColumn[k]]);
        t.Intensity[k].push_back(v[intensityColumn[k]]);
    }
}

}  // namespace

FlowTableRead ReadFlowTable(std::string_view csv) {
    FlowTable t;
    bool header = false;
    for (std::size_t line = 1; !csv.empty(); ++line) {
        const std::size_t eol = csv.find('\n');
        std::string_view text = csv.substr(0, eol);
        csv.remove_prefix(eol == std::string_view::npos ? csv.size() : eol + 1);
        if (!text.empty() && text.back() == '\r') text.remove_suffix(1);
        if (text.empty() || text.front() == '#') continue;
        const std::string where = "таблица движения людей, строка файла " + std::to_string(line);
        if (!header) {
            if (text != kHeader) return {std::nullopt, where + ": ожидались столбцы " + std::string(kHeader)};
            header = true;
            continue;
        }
        const std::optional<std::vector<double>> v = Numbers(text);
        if (!v || v->size() != kColumns)
            return {std::nullopt, where + ": нужно " + std::to_string(kColumns) + " положительных чисел через запятую"};
        AddRow(t, *v);
    }
    if (t.Density.size() < 2) return {std::nullopt, "таблица движения людей: нужно не меньше двух строк"};
    if (std::string error = CheckTable(t); !error.empty()) return {std::nullopt, "таблица движения людей, " + error};
    return {std::move(t), {}};
}

const FlowTable& PeopleFlowTable() {
    static const FlowTable table = [] {
        FlowTableRead read = ReadFlowTable(kPeopleFlowCsv);
        // The built-in table is checked by the tests; a broken one is a build fault.
        if (!read.Table) throw std::logic_error(read.Error);
        return std::move(*read.Table);
    }();
    return table;
}

double FlowTable::SpeedAt(SegmentKind kind, double density) const {
    const std::vector<double>& v = Speed[Index(kind)];
    return v.empty() ? 0.0 : Linear(Density, v, density);
}

double FlowTable::IntensityAt(SegmentKind kind, double density) const {
    const std::vector<double>& q = Intensity[Index(kind)];
    // Below the first row the first row's speed holds: q = D·V falls linearly to zero.
    if (density < Density.front()) return density * q.front() / Density.front();
    return Linear(Density, q, density);
}

double FlowTable::MaxIntensity(SegmentKind kind) const { return Intensity[Index(kind)][MaxRow(Intensity[Index(kind)])]; }

double FlowTable::DensityOfMax(SegmentKind kind) const { return Density[MaxRow(Intensity[Index(kind)])]; }

double FlowTable::FreeDensity(SegmentKind kind, double intensity) const {
    const std::vector<double>& q = Intensity[Index(kind)];
    if (intensity <= q.front()) return intensity * Density.front() / q.front();
    const std::size_t top = MaxRow(q);
    // Only the rising part of the column: the lower of the two densities a q fits.
    const std::vector<double> rising(q.begin(), q.begin() + static_cast<std::ptrdiff_t>(top) + 1);
    const std::vector<double> densities(Density.begin(), Density.begin() + static_cast<std::ptrdiff_t>(top) + 1);
    return Linear(rising, densities, intensity);
}

double FlowTable::CrowdIntensity(SegmentKind kind, double width) const {
    if (kind == SegmentKind::Doorway && width < kNarrowDoorWidth) return 2.5 + 3.75 * width;
    return Intensity[Index(kind)].back();
}

double FlowTable::CrowdSpeed(SegmentKind kind) const {
    const std::vector<double>& v = Speed[Index(kind)];
    return v.empty() ? 0.0 : v.back();
}

namespace {
constexpr std::string_view kKindKeys[kSegmentKindCount] = {"horizontal", "doorway", "stairs_down", "stairs_up"};
constexpr std::string_view kKindTexts[kSegmentKindCount] = {"горизонтальный путь", "дверной проем",
                                                            "лестница вниз", "лестница вверх"};
}  // namespace

std::string_view SegmentKindKey(SegmentKind kind) { return kKindKeys[Index(kind)]; }
std::string_view SegmentKindText(SegmentKind kind) { return kKindTexts[Index(kind)]; }

std::optional<SegmentKind> SegmentKindOfKey(std::string_view key) {
    for (int k = 0; k < kSegmentKindCount; ++k)
        if (kKindKeys[k] == key) return static_cast<SegmentKind>(k);
    return std::nullopt;
}

}  // namespace zf::flow
