// runs.csv: its rows written and read back.

#include "study_table.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <limits>
#include <sstream>

#include "critical_times.h"
#include "number_format.h"

namespace zfcli::study {
namespace {

const char* StatusText(RunStatus s) {
    switch (s) {
        case RunStatus::Completed: return "completed";
        case RunStatus::Stopped: return "stopped";
        case RunStatus::Failed: return "failed";
    }
    return "";
}

std::string CsvCell(const std::string& text) {
    if (text.find_first_of(",\"\r\n") == std::string::npos) return text;
    std::string quoted = "\"";
    for (char c : text) quoted += c == '"' ? std::string("\"\"") : std::string(1, c);
    return quoted + "\"";
}

std::string TimeCell(double seconds) { return seconds > 0 ? zfreport::NumberText(seconds) : std::string(); }

std::optional<double> ParseNumber(const std::string& text) {
    double v = 0;
    const auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), v);
    if (ec != std::errc() || end != text.data() + text.size() || !std::isfinite(v)) return std::nullopt;
    return v;
}

}  // namespace

double InputRank(const VariedInput& input, const std::string& text) {
    if (!input.ChoiceTexts.empty() && input.Kind == InputKind::Plume) {
        const auto it = std::find(input.ChoiceTexts.begin(), input.ChoiceTexts.end(), text);
        return static_cast<double>(it - input.ChoiceTexts.begin());
    }
    if (input.Kind == InputKind::OpenState) return text == "true" ? 1.0 : 0.0;
    return ParseNumber(text).value_or(std::numeric_limits<double>::quiet_NaN());
}

namespace {

bool ValidInput(const VariedInput& input, const std::string& text) {
    if (input.Kind == InputKind::Number) return ParseNumber(text).has_value();
    if (input.Kind == InputKind::OpenState) return text == "true" || text == "false";
    return std::find(input.ChoiceTexts.begin(), input.ChoiceTexts.end(), text) != input.ChoiceTexts.end();
}

bool ValidVerdict(const std::string& v) { return v.empty() || v == "safe" || v == "unsafe" || v == "undetermined"; }

// The rooms' cells of a record from cell `c` on into row.Rooms; what is wrong, if anything.
std::optional<std::string> ReadRoomCells(const Study& study, const std::vector<std::string>& cells, std::size_t& c, RunRow& row) {
    for (int r = 0; r < study.RoomCount; ++r) {
        RoomRow room;
        if (!cells[c].empty() && !(room.Blocking = ParseNumber(cells[c]))) return "неверное время блокирования";
        ++c;
        room.Factors = cells[c++];
        for (double& t : room.Times) {
            const auto v = cells[c].empty() ? std::optional<double>(0.0) : ParseNumber(cells[c]);
            if (!v || *v < 0 || (!cells[c].empty() && *v == 0)) return "неверное критическое время";
            t = *v;
            ++c;
        }
        if (study.RoomHasEvacuation[static_cast<std::size_t>(r)]) {
            room.Verdict = cells[c++];
            room.VerdictReason = cells[c++];
            if (!ValidVerdict(room.Verdict)) return "неверный вывод об эвакуации";
        }
        row.Rooms.push_back(std::move(room));
    }
    return std::nullopt;
}

// The escape routes' cells: t_р ≥ 0, 0 ≤ P_э ≤ 1, a verdict.
std::optional<std::string> ReadRouteCells(const Study& study, const std::vector<std::string>& cells, std::size_t& c, RunRow& row) {
    for (int k = 0; k < study.RouteCount; ++k) {
        RouteRow route;
        const std::string& time = cells[c++];
        const std::string& probability = cells[c++];
        route.Verdict = cells[c++];
        if (!time.empty() && (!(route.Time = ParseNumber(time)) || *route.Time < 0)) return "неверное время эвакуации по пути";
        if (!probability.empty() && (!(route.Probability = ParseNumber(probability)) || *route.Probability < 0 || *route.Probability > 1))
            return "неверная вероятность эвакуации по пути";
        if (!ValidVerdict(route.Verdict)) return "неверный вывод об эвакуации по пути";
        row.Routes.push_back(std::move(route));
    }
    return std::nullopt;
}

}  // namespace

std::string CsvHeader(const Study& study) {
    std::string header = "run";
    for (const VariedInput& input : study.Inputs) header += "," + CsvCell(input.Path);
    header += ",status,step,fault";
    for (int r = 1; r <= study.RoomCount; ++r) {
        const std::string room = "room" + std::to_string(r) + "_";
        header += "," + room + "blocking_time," + room + "blocking_factors";
        for (std::string_view name : zfreport::kHazardShortNames) header += "," + room + std::string(name);
        if (study.RoomHasEvacuation[static_cast<std::size_t>(r - 1)]) header += "," + room + "verdict," + room + "verdict_reason";
    }
    for (int k = 1; k <= study.RouteCount; ++k) {
        const std::string route = "route" + std::to_string(k) + "_";
        header += "," + route + "evacuation_time," + route + "probability," + route + "verdict";
    }
    return header;
}

std::string CsvRow(const Study& study, const RunRow& row) {
    std::string line = std::to_string(row.Run);
    for (const std::string& input : row.Inputs) line += "," + CsvCell(input);
    line += std::string(",") + StatusText(row.Status) + "," + std::to_string(row.Step) + "," + CsvCell(row.Fault);
    for (std::size_t r = 0; r < row.Rooms.size(); ++r) {
        const RoomRow& room = row.Rooms[r];
        line += "," + (room.Blocking ? zfreport::NumberText(*room.Blocking) : std::string()) + "," + room.Factors;
        for (double t : room.Times) line += "," + TimeCell(t);
        if (study.RoomHasEvacuation[r]) line += "," + room.Verdict + "," + CsvCell(room.VerdictReason);
    }
    for (const RouteRow& route : row.Routes)
        line += "," + (route.Time ? zfreport::NumberText(*route.Time) : std::string()) + "," +
                (route.Probability ? zfreport::NumberText(*route.Probability) : std::string()) + "," + route.Verdict;
    return line + "\n";
}

bool RunsCsvReader::Fail(std::string message) {
    error_ = std::move(message);
    return false;
}

bool RunsCsvReader::Record(std::vector<std::string>& cells) {
    cells.assign(1, {});
    std::size_t bytes = 0;
    bool quoted = false;
    for (int next; (next = in_.get()) != std::char_traits<char>::eof();) {
        const char c = static_cast<char>(next);
        if (++bytes > kMaxCsvRecordBytes)
            return Fail("строка " + std::to_string(line_ + 1) + ": длиннее " + std::to_string(kMaxCsvRecordBytes >> 20) +
                        " МБ — это не таблица расчетов");
        if (quoted) {
            if (c == '"' && in_.peek() == '"') cells.back() += '"', in_.get();
            else if (c == '"') quoted = false;
            else cells.back() += c;
        } else if (c == '"') {
            quoted = true;
        } else if (c == ',') {
            cells.emplace_back();
        } else if (c == '\n') {
            ++line_;
            return true;
        } else {
            cells.back() += c;
        }
    }
    if (in_.bad()) return Fail("строка " + std::to_string(line_ + 1) + ": не удалось прочитать");
    return false;  // the end, or a last record cut short
}

bool RunsCsvReader::Start() {
    std::vector<std::string> cells;
    if (!Record(cells)) return error_ ? false : Fail("файл пуст");
    std::string header;
    for (std::size_t k = 0; k < cells.size(); ++k) header += (k ? "," : "") + CsvCell(cells[k]);
    if (header != CsvHeader(study_)) return Fail("строка 1: столбцы не совпадают со столбцами исследования");
    columns_ = cells.size();
    return true;
}

bool RunsCsvReader::Next(RunRow& row) {
    std::vector<std::string> cells;
    if (error_ || !Record(cells)) return false;
    const std::string where = "строка " + std::to_string(line_) + ": ";
    if (cells.size() != columns_) return Fail(where + "число значений не совпадает с числом столбцов");
    row = RunRow{};
    std::size_t c = 0;
    const auto run = ParseNumber(cells[c++]);
    if (!run || *run < 1 || *run > static_cast<double>(study_.Runs) || *run != std::floor(*run))
        return Fail(where + "неверный номер расчета");
    row.Run = static_cast<std::uint64_t>(*run);
    for (const VariedInput& input : study_.Inputs) {
        if (!ValidInput(input, cells[c])) return Fail(where + "неверное значение " + input.Path);
        row.Inputs.push_back(cells[c++]);
    }
    const std::string& status = cells[c++];
    if (status == "completed") row.Status = RunStatus::Completed;
    else if (status == "stopped") row.Status = RunStatus::Stopped;
    else if (status == "failed") row.Status = RunStatus::Failed;
    else return Fail(where + "неверное состояние расчета");
    const auto step = ParseNumber(cells[c++]);
    if (!step || *step < 0 || *step != std::floor(*step) || *step > std::numeric_limits<int>::max())
        return Fail(where + "неверный номер шага");
    row.Step = static_cast<int>(*step);
    row.Fault = cells[c++];
    if (auto bad = ReadRoomCells(study_, cells, c, row)) return Fail(where + *bad);
    if (auto bad = ReadRouteCells(study_, cells, c, row)) return Fail(where + *bad);
    return true;
}

std::optional<std::string> ParseCsv(const Study& study, const std::string& text, std::vector<RunRow>& rows) {
    std::istringstream in(text);
    RunsCsvReader reader(study, in);
    if (!reader.Start()) return reader.Error();
    for (RunRow row; reader.Next(row);) rows.push_back(std::move(row));
    return reader.Error();
}

std::pair<std::uint64_t, std::uint64_t> RunsOfShard(std::uint64_t runs, const Share& share) {
    // 128-bit products: runs·index cannot overflow.
    const auto bound = [&](std::uint64_t i) {
        return static_cast<std::uint64_t>(static_cast<unsigned __int128>(runs) * i / share.Count);
    };
    return {bound(share.Index - 1) + 1, bound(share.Index)};
}

}  // namespace zfcli::study
