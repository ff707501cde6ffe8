// runs.csv and the study's summary.

#include "study_table.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <limits>
#include <numeric>

#include <nlohmann/json.hpp>

#include "critical_times.h"
#include "number_format.h"
#include "verdict.h"
#include "model/number_text.h"
#include "model/room.h"

namespace zfcli::study {
namespace {

constexpr double kNotReached = std::numeric_limits<double>::infinity();

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

// The cells of every record of a CSV text (quoted cells may hold commas, quotes, line ends).
std::vector<std::vector<std::string>> CsvRecords(const std::string& text) {
    std::vector<std::vector<std::string>> records;
    std::vector<std::string> cells(1);
    bool quoted = false;
    for (std::size_t i = 0; i < text.size(); ++i) {
        const char c = text[i];
        if (quoted) {
            if (c == '"' && i + 1 < text.size() && text[i + 1] == '"') cells.back() += '"', ++i;
            else if (c == '"') quoted = false;
            else cells.back() += c;
        } else if (c == '"') {
            quoted = true;
        } else if (c == ',') {
            cells.emplace_back();
        } else if (c == '\n') {
            records.push_back(std::move(cells));
            cells.assign(1, {});
        } else {
            cells.back() += c;
        }
    }
    // A last record without its line end was cut short: it is not returned.
    return records;
}

std::optional<double> ParseNumber(const std::string& text) {
    double v = 0;
    const auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), v);
    if (ec != std::errc() || end != text.data() + text.size() || !std::isfinite(v)) return std::nullopt;
    return v;
}

// An input's drawn text as a number that orders its values.
double InputRank(const VariedInput& input, const std::string& text) {
    if (!input.ChoiceTexts.empty() && input.Kind == InputKind::Plume) {
        const auto it = std::find(input.ChoiceTexts.begin(), input.ChoiceTexts.end(), text);
        return static_cast<double>(it - input.ChoiceTexts.begin());
    }
    if (input.Kind == InputKind::OpenState) return text == "true" ? 1.0 : 0.0;
    return ParseNumber(text).value_or(std::numeric_limits<double>::quiet_NaN());
}

bool ValidInput(const VariedInput& input, const std::string& text) {
    if (input.Kind == InputKind::Number) return ParseNumber(text).has_value();
    if (input.Kind == InputKind::OpenState) return text == "true" || text == "false";
    return std::find(input.ChoiceTexts.begin(), input.ChoiceTexts.end(), text) != input.ChoiceTexts.end();
}

// ---- Statistics of one room ----------------------------------------------------------------

struct Influence {
    std::string Input;
    std::optional<double> Correlation;
};

struct RoomStats {
    std::uint64_t Completed = 0, Stopped = 0, Failed = 0;
    std::uint64_t Reached = 0;
    std::optional<double> Mean, Low, High;  // mean of the reached blocking times and its 95 % interval
    std::optional<double> P5, P50, P95;
    std::optional<double> ShareReached;
    bool HasVerdict = false;
    std::optional<double> ShareUnsafe, ShareUndetermined;
    std::vector<Influence> Ranking;  // strongest influence first
};

RoomStats StatsOfRoom(const Study& study, const std::vector<RunRow>& rows, std::size_t room) {
    RoomStats s;
    std::vector<double> blocking;  // completed runs, +∞ where not reached
    std::vector<std::vector<double>> inputs(study.Inputs.size());
    std::uint64_t unsafe = 0, undetermined = 0;
    for (const RunRow& row : rows) {
        if (row.Status == RunStatus::Stopped) ++s.Stopped;
        if (row.Status == RunStatus::Failed) ++s.Failed;
        if (row.Status != RunStatus::Completed) continue;
        ++s.Completed;
        const RoomRow& r = row.Rooms[room];
        blocking.push_back(r.Blocking.value_or(kNotReached));
        for (std::size_t j = 0; j < inputs.size(); ++j) inputs[j].push_back(InputRank(study.Inputs[j], row.Inputs[j]));
        unsafe += r.Verdict == "unsafe";
        undetermined += r.Verdict == "undetermined";
    }
    s.HasVerdict = study.RoomHasEvacuation[room];
    if (s.Completed > 0) {
        const double n = static_cast<double>(s.Completed);
        if (s.HasVerdict) {
            s.ShareUnsafe = static_cast<double>(unsafe) / n;
            s.ShareUndetermined = static_cast<double>(undetermined) / n;
        }
        std::vector<double> sorted = blocking;
        std::sort(sorted.begin(), sorted.end());
        s.Reached = static_cast<std::uint64_t>(std::count_if(sorted.begin(), sorted.end(), [](double v) { return std::isfinite(v); }));
        s.ShareReached = static_cast<double>(s.Reached) / n;
        s.P5 = stats::Percentile(sorted, 5);
        s.P50 = stats::Percentile(sorted, 50);
        s.P95 = stats::Percentile(sorted, 95);
        if (s.Reached > 0) {
            // Mean and sample deviation of the reached times, summed in run order.
            const double m = static_cast<double>(s.Reached);
            double sum = 0;
            for (double v : blocking)
                if (std::isfinite(v)) sum += v;
            s.Mean = sum / m;
            if (s.Reached > 1) {
                double squares = 0;
                for (double v : blocking)
                    if (std::isfinite(v)) squares += (v - *s.Mean) * (v - *s.Mean);
                const double half = stats::StudentT975(s.Reached - 1) * std::sqrt(squares / (m - 1) / m);
                s.Low = *s.Mean - half;
                s.High = *s.Mean + half;
            }
        }
    }
    for (std::size_t j = 0; j < inputs.size(); ++j)
        s.Ranking.push_back({study.Inputs[j].Path, stats::RankCorrelation(inputs[j], blocking)});
    std::stable_sort(s.Ranking.begin(), s.Ranking.end(), [](const Influence& a, const Influence& b) {
        const double x = a.Correlation ? std::fabs(*a.Correlation) : -1, y = b.Correlation ? std::fabs(*b.Correlation) : -1;
        return x > y;
    });
    return s;
}

nlohmann::ordered_json OrNull(const std::optional<double>& v) {
    return v ? nlohmann::ordered_json(*v) : nlohmann::ordered_json(nullptr);
}

// A number for people: fixed decimals, a decimal comma, a minus sign.
std::string Fixed(double v, int decimals) {
    std::string text = zf::PlainNumberText(v, ",", decimals);
    if (text.find_first_not_of("-0,") == std::string::npos && text[0] == '-') text.erase(0, 1);  // no "−0,0"
    if (!text.empty() && text[0] == '-') text.replace(0, 1, "−");
    return text;
}

std::string Seconds(const std::optional<double>& v) { return v ? Fixed(*v, 1) : std::string("не достигнуто"); }
std::string Percent(double share) { return Fixed(100 * share, 1) + " %"; }

std::uint64_t CountStatus(const std::vector<RunRow>& rows, RunStatus status) {
    return static_cast<std::uint64_t>(std::count_if(rows.begin(), rows.end(), [&](const RunRow& r) { return r.Status == status; }));
}

std::uint64_t PlannedRuns(const Study& study, const Share& share) {
    const auto [first, last] = RunsOfShard(study.Runs, share);
    return last + 1 - first;
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
        if (study.RoomHasEvacuation[static_cast<std::size_t>(r - 1)]) header += "," + room + "verdict";
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
        if (study.RoomHasEvacuation[r]) line += "," + room.Verdict;
    }
    return line + "\n";
}

std::optional<std::string> ParseCsv(const Study& study, const std::string& text, std::vector<RunRow>& rows) {
    const auto records = CsvRecords(text);
    if (records.empty()) return "файл пуст";
    std::string header;
    for (std::size_t k = 0; k < records[0].size(); ++k) header += (k ? "," : "") + CsvCell(records[0][k]);
    if (header != CsvHeader(study)) return "строка 1: столбцы не совпадают со столбцами исследования";
    const std::size_t inputs = study.Inputs.size();
    for (std::size_t line = 1; line < records.size(); ++line) {
        const auto& cells = records[line];
        const std::string where = "строка " + std::to_string(line + 1) + ": ";
        if (cells.size() != records[0].size()) return where + "число значений не совпадает с числом столбцов";
        RunRow row;
        std::size_t c = 0;
        const auto run = ParseNumber(cells[c++]);
        if (!run || *run < 1 || *run > static_cast<double>(study.Runs) || *run != std::floor(*run))
            return where + "неверный номер расчета";
        row.Run = static_cast<std::uint64_t>(*run);
        for (std::size_t j = 0; j < inputs; ++j, ++c) {
            if (!ValidInput(study.Inputs[j], cells[c])) return where + "неверное значение " + study.Inputs[j].Path;
            row.Inputs.push_back(cells[c]);
        }
        const std::string& status = cells[c++];
        if (status == "completed") row.Status = RunStatus::Completed;
        else if (status == "stopped") row.Status = RunStatus::Stopped;
        else if (status == "failed") row.Status = RunStatus::Failed;
        else return where + "неверное состояние расчета";
        const auto step = ParseNumber(cells[c++]);
        if (!step || *step < 0 || *step != std::floor(*step) || *step > std::numeric_limits<int>::max())
            return where + "неверный номер шага";
        row.Step = static_cast<int>(*step);
        row.Fault = cells[c++];
        for (int r = 0; r < study.RoomCount; ++r) {
            RoomRow room;
            if (!cells[c].empty()) {
                room.Blocking = ParseNumber(cells[c]);
                if (!room.Blocking) return where + "неверное время блокирования";
            }
            ++c;
            room.Factors = cells[c++];
            for (double& t : room.Times) {
                if (!cells[c].empty()) {
                    const auto v = ParseNumber(cells[c]);
                    if (!v || *v <= 0) return where + "неверное критическое время";
                    t = *v;
                }
                ++c;
            }
            if (study.RoomHasEvacuation[static_cast<std::size_t>(r)]) room.Verdict = cells[c++];
            row.Rooms.push_back(std::move(room));
        }
        rows.push_back(std::move(row));
    }
    return std::nullopt;
}

std::pair<std::uint64_t, std::uint64_t> RunsOfShard(std::uint64_t runs, const Share& share) {
    // 128-bit products: runs·index cannot overflow.
    const auto bound = [&](std::uint64_t i) {
        return static_cast<std::uint64_t>(static_cast<unsigned __int128>(runs) * i / share.Count);
    };
    return {bound(share.Index - 1) + 1, bound(share.Index)};
}

namespace stats {

double StudentT975(std::uint64_t df) {
    // Exact table for few degrees of freedom, where the expansion below is poor.
    static constexpr double kTable[] = {12.706204736174698, 4.302652729749464, 3.182446305284263, 2.7764451051977934,
                                        2.570581835636314,  2.4469118511449692, 2.3646242515927844, 2.306004135204166,
                                        2.2621571628540993, 2.2281388519649385};
    if (df >= 1 && df <= 10) return kTable[df - 1];
    // Cornish–Fisher expansion of t about the normal quantile z in powers of 1/df.
    const double z = 1.959963984540054, v = static_cast<double>(df);
    const double z3 = z * z * z, z5 = z3 * z * z, z7 = z5 * z * z, z9 = z7 * z * z;
    const double g1 = (z3 + z) / 4;
    const double g2 = (5 * z5 + 16 * z3 + 3 * z) / 96;
    const double g3 = (3 * z7 + 19 * z5 + 17 * z3 - 15 * z) / 384;
    const double g4 = (79 * z9 + 776 * z7 + 1482 * z5 - 1920 * z3 - 945 * z) / 92160;
    return z + g1 / v + g2 / (v * v) + g3 / (v * v * v) + g4 / (v * v * v * v);
}

std::optional<double> Percentile(const std::vector<double>& sorted, double p) {
    if (sorted.empty()) return std::nullopt;
    const double position = static_cast<double>(sorted.size() - 1) * p / 100;
    const auto below = static_cast<std::size_t>(std::floor(position));
    const double fraction = position - static_cast<double>(below);
    const double lo = sorted[below];
    if (fraction == 0) return std::isfinite(lo) ? std::optional<double>(lo) : std::nullopt;
    const double hi = sorted[below + 1];
    if (!std::isfinite(hi)) return std::nullopt;
    return lo + fraction * (hi - lo);
}

namespace {
std::vector<double> AverageRanks(const std::vector<double>& v) {
    std::vector<std::size_t> order(v.size());
    std::iota(order.begin(), order.end(), 0);
    std::stable_sort(order.begin(), order.end(), [&](std::size_t a, std::size_t b) { return v[a] < v[b]; });
    std::vector<double> ranks(v.size());
    for (std::size_t i = 0; i < order.size();) {
        std::size_t j = i;
        while (j + 1 < order.size() && v[order[j + 1]] == v[order[i]]) ++j;
        const double rank = (static_cast<double>(i) + static_cast<double>(j)) / 2 + 1;  // mean of ranks i+1..j+1
        for (std::size_t k = i; k <= j; ++k) ranks[order[k]] = rank;
        i = j + 1;
    }
    return ranks;
}
}  // namespace

std::optional<double> RankCorrelation(const std::vector<double>& x, const std::vector<double>& y) {
    if (x.size() != y.size() || x.size() < 3) return std::nullopt;
    const std::vector<double> rx = AverageRanks(x), ry = AverageRanks(y);
    const double mean = (static_cast<double>(x.size()) + 1) / 2;  // mean of the ranks 1..n
    double sxy = 0, sxx = 0, syy = 0;
    for (std::size_t i = 0; i < x.size(); ++i) {
        sxy += (rx[i] - mean) * (ry[i] - mean);
        sxx += (rx[i] - mean) * (rx[i] - mean);
        syy += (ry[i] - mean) * (ry[i] - mean);
    }
    if (sxx == 0 || syy == 0) return std::nullopt;
    return sxy / std::sqrt(sxx * syy);
}

}  // namespace stats

std::string SummaryJson(const Study& study, const std::vector<RunRow>& rows, const Share& share) {
    using nlohmann::ordered_json;
    ordered_json top;
    top["runs"] = study.Runs;
    if (share.Count > 1) top["shard"] = std::to_string(share.Index) + "/" + std::to_string(share.Count);
    top["runs_planned"] = PlannedRuns(study, share);
    top["runs_done"] = rows.size();
    top["completed"] = CountStatus(rows, RunStatus::Completed);
    top["stopped"] = CountStatus(rows, RunStatus::Stopped);
    top["failed"] = CountStatus(rows, RunStatus::Failed);
    top["seed"] = study.Seed;
    top["sampling"] = study.Method == Sampling::MonteCarlo ? "monte-carlo" : "latin-hypercube";
    top["inputs"] = ordered_json::array();
    for (const VariedInput& input : study.Inputs) top["inputs"].push_back(input.Path);
    top["rooms"] = ordered_json::array();
    for (int r = 0; r < study.RoomCount; ++r) {
        const RoomStats s = StatsOfRoom(study, rows, static_cast<std::size_t>(r));
        ordered_json room;
        room["room"] = r + 1;
        room["completed"] = s.Completed;
        room["failed"] = s.Failed;
        ordered_json blocking;
        blocking["mean"] = OrNull(s.Mean);
        blocking["ci95"] = s.Low ? ordered_json::array({*s.Low, *s.High}) : ordered_json(nullptr);
        blocking["p5"] = OrNull(s.P5);
        blocking["p50"] = OrNull(s.P50);
        blocking["p95"] = OrNull(s.P95);
        blocking["share_reached"] = OrNull(s.ShareReached);
        room["blocking_time"] = blocking;
        room["share_unsafe"] = OrNull(s.ShareUnsafe);
        room["share_undetermined"] = OrNull(s.ShareUndetermined);
        room["influence"] = ordered_json::array();
        for (const Influence& i : s.Ranking)
            room["influence"].push_back(ordered_json{{"input", i.Input}, {"rank_correlation", OrNull(i.Correlation)}});
        top["rooms"].push_back(room);
    }
    return top.dump(2) + "\n";
}

std::string SummaryText(const Study& study, const std::vector<RunRow>& rows, const Share& share) {
    std::string t = "Исследование неопределенности времени блокирования путей эвакуации\n";
    t += "Расчетов: выполнено " + std::to_string(rows.size()) + " из " + std::to_string(PlannedRuns(study, share));
    if (share.Count > 1) t += " (доля " + std::to_string(share.Index) + " из " + std::to_string(share.Count) + ")";
    t += "; завершено " + std::to_string(CountStatus(rows, RunStatus::Completed)) + ", с ошибкой " +
         std::to_string(CountStatus(rows, RunStatus::Failed));
    if (const auto stopped = CountStatus(rows, RunStatus::Stopped)) t += ", остановлено " + std::to_string(stopped);
    t += "\nВыборка: " + std::string(study.Method == Sampling::MonteCarlo ? "Монте-Карло" : "латинский гиперкуб") +
         ", зерно " + std::to_string(study.Seed) + "\n";
    t += "Изменяемые параметры:";
    for (const VariedInput& input : study.Inputs) t += " " + input.Path;
    if (study.Inputs.empty()) t += " нет";
    t += "\nСтатистика — по завершенным расчетам; среднее — по расчетам, в которых время блокирования достигнуто.\n";
    for (int r = 0; r < study.RoomCount; ++r) {
        const RoomStats s = StatsOfRoom(study, rows, static_cast<std::size_t>(r));
        t += "\n" + zf::RoomTitle(r) + "\n";
        t += "  Расчетов завершено: " + std::to_string(s.Completed) + ", с ошибкой: " + std::to_string(s.Failed) + "\n";
        if (!s.ShareReached) {
            t += "  Нет завершенных расчетов.\n";
            continue;
        }
        t += "  Время блокирования t_бл достигнуто в " + Percent(*s.ShareReached) + " расчетов\n";
        if (s.Mean) {
            t += "  Среднее t_бл: " + Fixed(*s.Mean, 1) + " с";
            if (s.Low) t += " (95 % доверительный интервал " + Fixed(*s.Low, 1) + "…" + Fixed(*s.High, 1) + " с)";
            t += "\n";
        }
        t += "  Процентили t_бл, с: 5-й " + Seconds(s.P5) + "; 50-й " + Seconds(s.P50) + "; 95-й " + Seconds(s.P95) + "\n";
        if (s.HasVerdict)
            t += "  Вывод об эвакуации «" + std::string(zfreport::VerdictText(zfreport::Verdict::Unsafe)) + "»: " +
                 Percent(*s.ShareUnsafe) + " расчетов; «" + std::string(zfreport::VerdictText(zfreport::Verdict::Undetermined)) +
                 "»: " + Percent(*s.ShareUndetermined) + "\n";
        if (!s.Ranking.empty()) {
            t += "  Влияние на t_бл (ранговая корреляция Спирмена):\n";
            for (const Influence& i : s.Ranking)
                t += "    " + i.Input + ": " + (i.Correlation ? Fixed(*i.Correlation, 2) : std::string("не определена")) + "\n";
        }
    }
    return t;
}

}  // namespace zfcli::study
