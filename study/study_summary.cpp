// The study's summary over the rows of runs.csv: summary.json and summary.txt.

#include <algorithm>
#include <cmath>
#include <limits>

#include <nlohmann/json.hpp>

#include "study_table.h"
#include "verdict.h"
#include "model/number_text.h"
#include "model/room.h"

namespace zfcli::study {
namespace {

using nlohmann::ordered_json;

constexpr double kNotReached = std::numeric_limits<double>::infinity();

struct Influence {
    std::string Input;
    std::optional<double> Correlation;
};

// The blocking time of one room over the completed runs, and what influences it.
struct RoomStats {
    std::uint64_t Reached = 0;
    std::optional<double> Mean, Low, High;  // mean of the reached blocking times and its 95 % interval
    std::optional<double> P5, P50, P95;
    std::optional<double> ShareReached;
    std::vector<Influence> Ranking;  // strongest influence first
};

// Mean of the reached times (summed in run order) and its 95 % interval from Student's t.
void MeanAndInterval(const std::vector<double>& blocking, RoomStats& s) {
    if (s.Reached == 0) return;
    const double m = static_cast<double>(s.Reached);
    double sum = 0;
    for (double v : blocking)
        if (std::isfinite(v)) sum += v;
    s.Mean = sum / m;
    if (s.Reached < 2) return;
    double squares = 0;
    for (double v : blocking)
        if (std::isfinite(v)) squares += (v - *s.Mean) * (v - *s.Mean);
    const double half = stats::StudentT975(s.Reached - 1) * std::sqrt(squares / (m - 1) / m);
    s.Low = *s.Mean - half;
    s.High = *s.Mean + half;
}

RoomStats StatsOfRoom(const Study& study, const SummaryData& data, std::size_t room) {
    RoomStats s;
    const std::vector<double>& blocking = data.Blocking[room];
    if (!blocking.empty()) {
        std::vector<double> sorted = blocking;
        std::sort(sorted.begin(), sorted.end());
        s.Reached = static_cast<std::uint64_t>(std::count_if(sorted.begin(), sorted.end(), [](double v) { return std::isfinite(v); }));
        s.ShareReached = static_cast<double>(s.Reached) / static_cast<double>(blocking.size());
        s.P5 = stats::Percentile(sorted, 5);
        s.P50 = stats::Percentile(sorted, 50);
        s.P95 = stats::Percentile(sorted, 95);
        MeanAndInterval(blocking, s);
    }
    for (std::size_t j = 0; j < study.Inputs.size(); ++j)
        s.Ranking.push_back({study.Inputs[j].Path, stats::RankCorrelation(data.Ranks[j], blocking)});
    std::stable_sort(s.Ranking.begin(), s.Ranking.end(), [](const Influence& a, const Influence& b) {
        const double x = a.Correlation ? std::fabs(*a.Correlation) : -1, y = b.Correlation ? std::fabs(*b.Correlation) : -1;
        return x > y;
    });
    return s;
}

ordered_json OrNull(const std::optional<double>& v) { return v ? ordered_json(*v) : ordered_json(nullptr); }

// The share of `part` in `whole`, none of nothing.
std::optional<double> ShareOf(std::uint64_t part, std::uint64_t whole) {
    if (whole == 0) return std::nullopt;
    return static_cast<double>(part) / static_cast<double>(whole);
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

std::uint64_t PlannedRuns(const Study& study, const Share& share) {
    const auto [first, last] = RunsOfShard(study.Runs, share);
    return last + 1 - first;
}

std::string Said(zfreport::Verdict v) { return "«" + std::string(zfreport::VerdictText(v)) + "»"; }

ordered_json VerdictJson(const SummaryData& data, std::size_t room) {
    const SummaryData::RoomVerdicts& v = data.Verdicts[room];
    ordered_json j;
    j["safe"] = v.Safe;
    j["unsafe"] = v.Unsafe;
    j["undetermined"] = v.Undetermined;
    j["failed"] = data.Failed;
    // Shares among the runs that have a verdict: an undetermined or failed run is neither.
    j["share_safe"] = OrNull(ShareOf(v.Safe, v.Safe + v.Unsafe));
    j["share_unsafe"] = OrNull(ShareOf(v.Unsafe, v.Safe + v.Unsafe));
    return j;
}

std::string VerdictText(const SummaryData& data, std::size_t room) {
    using zfreport::Verdict;
    const SummaryData::RoomVerdicts& v = data.Verdicts[room];
    const std::uint64_t judged = v.Safe + v.Unsafe;
    std::string t = "  Вывод об эвакуации: " + Said(Verdict::Safe) + " — " + std::to_string(v.Safe) + ", " +
                    Said(Verdict::Unsafe) + " — " + std::to_string(v.Unsafe) + " (расчетов с выводом: " + std::to_string(judged);
    if (judged > 0) t += "; доля " + Said(Verdict::Safe) + " — " + Percent(*ShareOf(v.Safe, judged));
    t += "); " + Said(Verdict::Undetermined) + ": завершенных расчетов — " + std::to_string(v.Undetermined) +
         ", расчетов с ошибкой — " + std::to_string(data.Failed);
    return t + "\n";
}

ordered_json FailedRunsJson(const Study& study, const SummaryData& data) {
    ordered_json list = ordered_json::array();
    for (const SummaryData::FailedRun& f : data.FailedRuns) {
        ordered_json inputs = ordered_json::object();
        for (std::size_t j = 0; j < study.Inputs.size(); ++j) inputs[study.Inputs[j].Path] = f.Inputs[j];
        list.push_back(ordered_json{{"run", f.Run}, {"step", f.Step}, {"fault", f.Fault}, {"inputs", inputs}});
    }
    return list;
}

std::string FailedRunsText(const Study& study, const SummaryData& data) {
    if (data.FailedRuns.empty()) return {};
    std::string t = "\nРасчеты с ошибкой (вывод " + Said(zfreport::Verdict::Undetermined) +
                    ", в статистику не входят): " + std::to_string(data.FailedRuns.size()) + "\n";
    for (const SummaryData::FailedRun& f : data.FailedRuns) {
        t += "  №" + std::to_string(f.Run) + ", шаг " + std::to_string(f.Step) + ": " + f.Fault + "\n   ";
        for (std::size_t j = 0; j < study.Inputs.size(); ++j) t += " " + study.Inputs[j].Path + " = " + f.Inputs[j] + ";";
        if (study.Inputs.empty()) t += " входные данные базового сценария;";
        t.back() = '\n';
    }
    return t;
}

std::string RoomText(const Study& study, const SummaryData& data, std::size_t room) {
    const RoomStats s = StatsOfRoom(study, data, room);
    std::string t = "\n" + zf::RoomTitle(static_cast<int>(room)) + "\n";
    t += "  Расчетов завершено: " + std::to_string(data.Completed) + ", с ошибкой: " + std::to_string(data.Failed) + "\n";
    if (study.RoomHasEvacuation[room]) t += VerdictText(data, room);
    if (!s.ShareReached) return t + "  Нет завершенных расчетов.\n";
    t += "  Время блокирования t_бл достигнуто в " + Percent(*s.ShareReached) + " расчетов\n";
    if (s.Mean) {
        t += "  Среднее t_бл: " + Fixed(*s.Mean, 1) + " с";
        if (s.Low) t += " (95 % доверительный интервал " + Fixed(*s.Low, 1) + "…" + Fixed(*s.High, 1) + " с)";
        t += "\n";
    }
    t += "  Процентили t_бл, с: 5-й " + Seconds(s.P5) + "; 50-й " + Seconds(s.P50) + "; 95-й " + Seconds(s.P95) + "\n";
    if (!s.Ranking.empty()) {
        t += "  Влияние на t_бл (ранговая корреляция Спирмена):\n";
        for (const Influence& i : s.Ranking)
            t += "    " + i.Input + ": " + (i.Correlation ? Fixed(*i.Correlation, 2) : std::string("не определена")) + "\n";
    }
    return t;
}

SummaryData DataOf(const Study& study, const std::vector<RunRow>& rows) {
    SummaryData data(study);
    for (const RunRow& row : rows) data.Add(row);
    return data;
}

}  // namespace

SummaryData::SummaryData(const Study& study)
    : Blocking(static_cast<std::size_t>(study.RoomCount)),
      Ranks(study.Inputs.size()),
      Verdicts(static_cast<std::size_t>(study.RoomCount)),
      study_(study) {}

void SummaryData::Add(const RunRow& row) {
    ++Done;
    if (row.Status == RunStatus::Stopped) ++Stopped;
    if (row.Status == RunStatus::Failed) {
        ++Failed;
        FailedRuns.push_back({row.Run, row.Step, row.Fault, row.Inputs});
    }
    if (row.Status != RunStatus::Completed) return;
    ++Completed;
    for (std::size_t r = 0; r < Blocking.size(); ++r) {
        const RoomRow& room = row.Rooms[r];
        Blocking[r].push_back(room.Blocking.value_or(kNotReached));
        Verdicts[r].Safe += room.Verdict == zfreport::VerdictKey(zfreport::Verdict::Safe);
        Verdicts[r].Unsafe += room.Verdict == zfreport::VerdictKey(zfreport::Verdict::Unsafe);
        Verdicts[r].Undetermined += room.Verdict == zfreport::VerdictKey(zfreport::Verdict::Undetermined);
    }
    for (std::size_t j = 0; j < Ranks.size(); ++j) Ranks[j].push_back(InputRank(study_.Inputs[j], row.Inputs[j]));
}

std::string SummaryJson(const Study& study, const SummaryData& data, const Share& share) {
    ordered_json top;
    top["runs"] = study.Runs;
    if (share.Count > 1) top["shard"] = std::to_string(share.Index) + "/" + std::to_string(share.Count);
    top["runs_planned"] = PlannedRuns(study, share);
    top["runs_done"] = data.Done;
    top["completed"] = data.Completed;
    top["stopped"] = data.Stopped;
    top["failed"] = data.Failed;
    top["seed"] = study.Seed;
    top["sampling"] = study.Method == Sampling::MonteCarlo ? "monte-carlo" : "latin-hypercube";
    top["inputs"] = ordered_json::array();
    for (const VariedInput& input : study.Inputs) top["inputs"].push_back(input.Path);
    top["rooms"] = ordered_json::array();
    for (std::size_t r = 0; r < data.Blocking.size(); ++r) {
        const RoomStats s = StatsOfRoom(study, data, r);
        ordered_json room;
        room["room"] = r + 1;
        room["completed"] = data.Completed;
        room["failed"] = data.Failed;
        ordered_json blocking;
        blocking["mean"] = OrNull(s.Mean);
        blocking["ci95"] = s.Low ? ordered_json::array({*s.Low, *s.High}) : ordered_json(nullptr);
        blocking["p5"] = OrNull(s.P5);
        blocking["p50"] = OrNull(s.P50);
        blocking["p95"] = OrNull(s.P95);
        blocking["share_reached"] = OrNull(s.ShareReached);
        room["blocking_time"] = blocking;
        room["verdict"] = study.RoomHasEvacuation[r] ? VerdictJson(data, r) : ordered_json(nullptr);
        room["influence"] = ordered_json::array();
        for (const Influence& i : s.Ranking)
            room["influence"].push_back(ordered_json{{"input", i.Input}, {"rank_correlation", OrNull(i.Correlation)}});
        top["rooms"].push_back(room);
    }
    top["failed_runs"] = FailedRunsJson(study, data);
    return top.dump(2, ' ', false, ordered_json::error_handler_t::replace) + "\n";
}

std::string SummaryText(const Study& study, const SummaryData& data, const Share& share) {
    std::string t = "Исследование неопределенности времени блокирования путей эвакуации\n";
    t += "Сводка по расчетам: выполнено " + std::to_string(data.Done) + " из " + std::to_string(PlannedRuns(study, share));
    if (share.Count > 1) t += " (доля " + std::to_string(share.Index) + " из " + std::to_string(share.Count) + ")";
    t += "; завершено " + std::to_string(data.Completed) + ", с ошибкой " + std::to_string(data.Failed);
    if (data.Stopped) t += ", остановлено " + std::to_string(data.Stopped);
    t += "\nВыборка: " + std::string(study.Method == Sampling::MonteCarlo ? "Монте-Карло" : "латинский гиперкуб") +
         ", зерно " + std::to_string(study.Seed) + "\n";
    t += "Изменяемые параметры:";
    for (const VariedInput& input : study.Inputs) t += " " + input.Path;
    if (study.Inputs.empty()) t += " нет";
    t += "\nСтатистика — по завершенным расчетам; среднее — по расчетам, в которых время блокирования достигнуто.\n";
    t += "Доля " + Said(zfreport::Verdict::Safe) + " — среди расчетов с выводом; " + Said(zfreport::Verdict::Undetermined) +
         " и расчеты с ошибкой указаны отдельно.\n";
    for (std::size_t r = 0; r < data.Blocking.size(); ++r) t += RoomText(study, data, r);
    return t + FailedRunsText(study, data);
}

std::string SummaryJson(const Study& study, const std::vector<RunRow>& rows, const Share& share) {
    return SummaryJson(study, DataOf(study, rows), share);
}

std::string SummaryText(const Study& study, const std::vector<RunRow>& rows, const Share& share) {
    return SummaryText(study, DataOf(study, rows), share);
}

}  // namespace zfcli::study
