#include "verdict_table.h"

#include <cmath>

#include "number_format.h"

namespace zfreport {

namespace {

// "№2, №3" of the rooms with the given verdict.
std::string RoomsWith(const RunVerdict& verdict, Verdict which) {
    std::string list;
    for (std::size_t i = 0; i < verdict.Rooms.size(); ++i) {
        if (verdict.Rooms[i].Outcome != which) continue;
        if (!list.empty()) list += ", ";
        list += "№" + std::to_string(i + 1);
    }
    return list;
}

// "1, 3" of the escape routes with the given verdict.
std::string RoutesWith(const RunVerdict& verdict, Verdict which) {
    std::string list;
    for (std::size_t i = 0; i < verdict.Routes.size(); ++i)
        if (verdict.Routes[i].Outcome == which) list += (list.empty() ? "" : ", ") + std::to_string(i + 1);
    return list;
}

// Whether an escape route judged room i.
bool OnARoute(const RunVerdict& verdict, std::size_t i) {
    for (const RouteVerdict& route : verdict.Routes)
        for (const RouteRoom& room : route.Rooms)
            if (room.Room == static_cast<int>(i)) return true;
    return false;
}

// "№1, №3–№5": the rooms without evacuation inputs and on no route, runs of three or more as a range.
std::string RoomsUnchecked(const RunVerdict& verdict) {
    std::vector<std::size_t> rooms;
    for (std::size_t i = 0; i < verdict.Rooms.size(); ++i)
        if (!verdict.Rooms[i].Outcome && !OnARoute(verdict, i)) rooms.push_back(i + 1);
    std::string list;
    for (std::size_t at = 0; at < rooms.size();) {
        std::size_t end = at;
        while (end + 1 < rooms.size() && rooms[end + 1] == rooms[end] + 1) ++end;
        if (!list.empty()) list += ", ";
        list += "№" + std::to_string(rooms[at]);
        if (end - at >= 2) {
            list += "–№" + std::to_string(rooms[end]);
        } else if (end > at) {
            list += ", №" + std::to_string(rooms[end]);
        }
        at = end + 1;
    }
    return list;
}

}  // namespace

std::string BlockingFactorsText(const std::vector<zf::HazardKind>& factors) {
    if (factors.empty()) return "—";
    std::string text;
    for (zf::HazardKind k : factors) {
        if (!text.empty()) text += ", ";
        text += HazardFactorText(k);
    }
    return text;
}

std::string OptionalTimeText(const std::optional<double>& seconds, std::string_view decimalSeparator) {
    if (!seconds) return "—";
    // f·t_бл and the margin are products and differences of times: shown to the microsecond,
    // so 8,2 − 8 reads 0,2 and not 0,199999999999999 (far finer than any step).
    constexpr double kMicrosecondsPerSecond = 1e6;
    const double shown = std::round(*seconds * kMicrosecondsPerSecond) / kMicrosecondsPerSecond;
    return GeneralNumberText(shown == 0 ? 0.0 : shown, decimalSeparator);
}

std::string AllowedHeader(double safetyFactor, std::string_view decimalSeparator) {
    return GeneralNumberText(safetyFactor, decimalSeparator) + "·t_бл";
}

std::string VerdictLegend(double safetyFactor, std::string_view decimalSeparator) {
    return "t_бл — время блокирования путей эвакуации: наименьшее из критических времен помещения, с; "
           "t_нэ + t_р — время начала эвакуации и время эвакуации, с; запас = " +
           AllowedHeader(safetyFactor, decimalSeparator) +
           " − (t_нэ + t_р), с, в меньшую сторону до 0" + std::string(decimalSeparator) +
           "1 с, только при выводе «безопасно» или «опасно»";
}

std::string BuildingVerdictLine(const RunVerdict& verdict, std::string_view decimalSeparator) {
    const std::string head = "Вывод по зданию: ";
    if (!verdict.Building)
        return head + "не сделан — время начала эвакуации t_нэ и время эвакуации t_р не заданы ни для одного помещения";
    const std::string f = GeneralNumberText(verdict.SafetyFactor, decimalSeparator);
    // The building's verdict covers only the rooms with evacuation inputs: the others are named,
    // so that "безопасно" is never read as a verdict on rooms nobody checked.
    const std::string unchecked = RoomsUnchecked(verdict);
    const std::string why = verdict.Routes.empty() ? "время эвакуации не задано" : "время эвакуации не задано, путей эвакуации нет";
    const std::string scope = unchecked.empty() ? "" : "; не проверены (" + why + "): " + unchecked;
    switch (*verdict.Building) {
        case Verdict::Safe:
            return head + std::string(VerdictText(Verdict::Safe)) + " — во всех помещениях с заданным временем эвакуации t_нэ + t_р ≤ " + f +
                   "·t_бл" + scope;
        case Verdict::Unsafe: {
            const std::string rooms = RoomsWith(verdict, Verdict::Unsafe), routes = RoutesWith(verdict, Verdict::Unsafe);
            std::string what;
            if (!rooms.empty()) what = "помещения " + rooms + ": t_нэ + t_р > " + f + "·t_бл";
            if (!routes.empty())
                what += (what.empty() ? "" : "; ") + std::string("пути эвакуации ") + routes +
                        ": люди покидают помещение пути позже " + f + "·t_бл этого помещения";
            return head + std::string(VerdictText(Verdict::Unsafe)) + " — " + what + scope;
        }
        case Verdict::Undetermined:
            return head + std::string(VerdictText(Verdict::Undetermined)) + " — " + verdict.Reason + scope;
    }
    return head;
}

VerdictSummary SummaryWithVerdict(const zf::TzoneMath& zm, const EvacuationInputs& inputs, std::string_view decimalSeparator,
                                  const std::vector<std::string>& roomNames) {
    VerdictSummary s;
    s.Table = CriticalTimesSummary(zm, decimalSeparator, roomNames);
    s.Verdict = JudgeRun(zm, inputs);
    s.WithEvacuation = inputs.Any();
    s.Table.Header.insert(s.Table.Header.end(), {"t_бл", "Определяющий ОФП"});
    if (s.WithEvacuation) {
        s.Table.Header.insert(s.Table.Header.end(), {"t_нэ + t_р", AllowedHeader(inputs.SafetyFactor, decimalSeparator),
                                                     "Запас", "Вывод"});
        s.VerdictColumn = static_cast<int>(s.Table.Header.size()) - 1;
    }
    for (std::size_t i = 0; i < s.Table.Rows.size(); ++i) {
        const RoomVerdict& v = s.Verdict.Rooms[i];
        std::vector<std::string>& extra = s.Table.Rows[i].Extra;
        extra = {OptionalTimeText(v.BlockingTime, decimalSeparator), BlockingFactorsText(v.BlockingFactors)};
        if (!s.WithEvacuation) continue;
        extra.push_back(OptionalTimeText(v.Required, decimalSeparator));
        extra.push_back(OptionalTimeText(v.Allowed, decimalSeparator));
        extra.push_back(MarginText(v, decimalSeparator));
        extra.push_back(v.Outcome ? std::string(VerdictText(*v.Outcome)) : std::string(kNotChecked));
    }
    s.BuildingLine = BuildingVerdictLine(s.Verdict, decimalSeparator);
    s.Legend = std::string(kCriticalTimesLegend) + "; " + VerdictLegend(inputs.SafetyFactor, decimalSeparator);
    return s;
}

}  // namespace zfreport
