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

RoomStats StatsOfRoom(const Study& study, const SummaryData& data, std::size_t room) {
    RoomStats s;
    const std::vector<double>& blocking = data.Blocking[room];
    if (!blocking.empty()) {
        const stats::Spread spread = stats::Describe(blocking);
        s.Reached = spread.Count;
        s.ShareReached = static_cast<double>(s.Reached) / static_cast<double>(blocking.size());
        s.P5 = spread.P5;
        s.P50 = spread.P50;
        s.P95 = spread.P95;
        s.Mean = spread.Mean;
        s.Low = spread.Low;
        s.High = spread.High;
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

ordered_json VerdictJson(const SummaryData& data, const SummaryData::RoomVerdicts& v) {
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

std::string VerdictText(const SummaryData& data, const SummaryData::RoomVerdicts& v) {
    using zfreport::Verdict;
    const std::uint64_t judged = v.Safe + v.Unsafe;
    std::string t = "  Вывод об эвакуации: " + Said(Verdict::Safe) + " — " + std::to_string(v.Safe) + ", " +
                    Said(Verdict::Unsafe) + " — " + std::to_string(v.Unsafe) + " (расчетов с выводом: " + std::to_string(judged);
    if (judged > 0) t += "; доля " + Said(Verdict::Safe) + " — " + Percent(*ShareOf(v.Safe, judged));
    t += "); " + Said(Verdict::Undetermined) + ": завершенных расчетов — " + std::to_string(v.Undetermined) +
         ", расчетов с ошибкой — " + std::to_string(data.Failed);
    return t + "\n";
}

// ---- The escape routes: t_р and P_э over the completed runs --------------------------------

ordered_json SpreadJson(const stats::Spread& s) {
    ordered_json j;
    j["count"] = s.Count;
    j["mean"] = OrNull(s.Mean);
    j["sd"] = OrNull(s.Sd);
    j["ci95"] = s.Low ? ordered_json::array({*s.Low, *s.High}) : ordered_json(nullptr);
    j["p5"] = OrNull(s.P5);
    j["p50"] = OrNull(s.P50);
    j["p95"] = OrNull(s.P95);
    j["min"] = OrNull(s.Min);
    j["max"] = OrNull(s.Max);
    return j;
}

// The runs done that gave the route neither "безопасно" nor "опасно": undetermined, failed, stopped.
std::uint64_t WithoutVerdict(const SummaryData& data, std::size_t route) {
    const SummaryData::RoomVerdicts& v = data.RouteVerdicts[route];
    return data.Done - v.Safe - v.Unsafe;
}

std::string RouteName(const Study& study, std::size_t route) {
    const std::string& name = study.Base.Routes[route].Name;
    return "Путь " + std::to_string(route + 1) + (name.empty() ? std::string() : " «" + name + "»");
}

ordered_json RoutesJson(const Study& study, const SummaryData& data) {
    ordered_json list = ordered_json::array();
    for (std::size_t k = 0; k < data.RouteTimes.size(); ++k) {
        ordered_json route;
        route["route"] = k + 1;
        route["name"] = study.Base.Routes[k].Name;
        route["evacuation_time"] = SpreadJson(stats::Describe(data.RouteTimes[k]));
        route["probability"] = SpreadJson(stats::Describe(data.RouteProbabilities[k]));
        route["verdict"] = VerdictJson(data, data.RouteVerdicts[k]);
        route["runs_without_verdict"] = WithoutVerdict(data, k);
        list.push_back(route);
    }
    return list;
}

// "среднее 128,4 (95 % …), стандартное отклонение 3,2; процентили: …" with `decimals` decimals.
std::string SpreadText(const stats::Spread& s, int decimals) {
    auto shown = [&](const std::optional<double>& v) { return v ? Fixed(*v, decimals) : std::string("—"); };
    std::string t = "расчетов — " + std::to_string(s.Count);
    if (!s.Mean) return t;
    t += "; среднее " + shown(s.Mean);
    if (s.Low) t += " (95 % доверительный интервал " + shown(s.Low) + "…" + shown(s.High) + ")";
    if (s.Sd) t += ", стандартное отклонение " + shown(s.Sd);
    t += "; процентили: 5-й " + shown(s.P5) + ", 50-й " + shown(s.P50) + ", 95-й " + shown(s.P95);
    return t + "; наименьшее " + shown(s.Min) + ", наибольшее " + shown(s.Max);
}

std::string RoutesText(const Study& study, const SummaryData& data) {
    std::string t;
    for (std::size_t k = 0; k < data.RouteTimes.size(); ++k) {
        t += "\n" + RouteName(study, k) + "\n";
        t += "  Время эвакуации t_р, с: " + SpreadText(stats::Describe(data.RouteTimes[k]), 1) + "\n";
        t += "  Вероятность эвакуации P_э: " + SpreadText(stats::Describe(data.RouteProbabilities[k]), 3) + "\n";
        t += VerdictText(data, data.RouteVerdicts[k]);
        t += "  Расчетов без вывода: " + std::to_string(WithoutVerdict(data, k)) + " из " + std::to_string(data.Done) + "\n";
    }
    return t;
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
    if (study.RoomHasEvacuation[room]) t += VerdictText(data, data.Verdicts[room]);
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
      RouteTimes(static_cast<std::size_t>(study.RouteCount)),
      RouteProbabilities(static_cast<std::size_t>(study.RouteCount)),
      RouteVerdicts(static_cast<std::size_t>(study.RouteCount)),
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
    for (std::size_t k = 0; k < RouteTimes.size() && k < row.Routes.size(); ++k) {
        const RouteRow& route = row.Routes[k];
        if (route.Time) RouteTimes[k].push_back(*route.Time);
        if (route.Probability) RouteProbabilities[k].push_back(*route.Probability);
        RouteVerdicts[k].Safe += route.Verdict == zfreport::VerdictKey(zfreport::Verdict::Safe);
        RouteVerdicts[k].Unsafe += route.Verdict == zfreport::VerdictKey(zfreport::Verdict::Unsafe);
        RouteVerdicts[k].Undetermined += route.Verdict == zfreport::VerdictKey(zfreport::Verdict::Undetermined);
    }
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
        room["verdict"] = study.RoomHasEvacuation[r] ? VerdictJson(data, data.Verdicts[r]) : ordered_json(nullptr);
        room["influence"] = ordered_json::array();
        for (const Influence& i : s.Ranking)
            room["influence"].push_back(ordered_json{{"input", i.Input}, {"rank_correlation", OrNull(i.Correlation)}});
        top["rooms"].push_back(room);
    }
    if (study.RouteCount > 0) top["routes"] = RoutesJson(study, data);
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
    t += RoutesText(study, data);
    return t + FailedRunsText(study, data);
}

std::string SummaryJson(const Study& study, const std::vector<RunRow>& rows, const Share& share) {
    return SummaryJson(study, DataOf(study, rows), share);
}

std::string SummaryText(const Study& study, const std::vector<RunRow>& rows, const Share& share) {
    return SummaryText(study, DataOf(study, rows), share);
}

}  // namespace zfcli::study
