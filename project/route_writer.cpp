// The runner's text and JSON of the escape routes.
#include "route_writer.h"

#include <sstream>

#include "model/number_text.h"
#include "printable_text.h"
#include "result_writer.h"
#include "route_verdict.h"

namespace zf::project {

namespace {

constexpr double kSecondsPerMinute = 60;

std::string Num(double v, int decimals) { return zf::PlainNumberText(v, ".", decimals); }

std::string RouteTitle(const zf::flow::Route& route, std::size_t r) {
    std::string title = "Путь " + std::to_string(r + 1);
    if (!route.Name.empty()) title += " «" + PrintableText(route.Name) + "»";
    return title;
}

// One row per segment: the inputs, then what the table gave.
std::string SegmentTable(const zf::flow::Route& route, const std::vector<zf::flow::SegmentFlow>& flows) {
    std::vector<std::vector<std::string>> rows{
        {"  участок", "вид", "l, м", "δ, м", "помещение", "D", "V, м/мин", "q, м/мин", "l/V, мин", "Δt, мин"}};
    for (std::size_t i = 0; i < route.Segments.size(); ++i) {
        const zf::flow::Segment& s = route.Segments[i];
        const zf::flow::SegmentFlow& f = flows[i];
        const bool door = s.Kind == zf::flow::SegmentKind::Doorway;
        rows.push_back({"  " + std::to_string(i + 1), std::string(zf::flow::SegmentKindText(s.Kind)),
                        door ? "—" : Num(s.Length, 2), Num(s.Width, 2), s.Room < 0 ? "—" : "№" + std::to_string(s.Room + 1),
                        (f.Crowd ? "≥ " : "") + Num(f.Density, 3), door ? "—" : Num(f.Speed, 2), Num(f.Intensity, 2),
                        Num(f.Time, 3), f.Crowd ? Num(f.Delay, 3) : "0"});
    }
    return FormatTable(rows);
}

std::string RoomLines(const zfreport::RouteVerdict& v) {
    std::string text;
    for (const zfreport::RouteRoom& r : v.Rooms) {
        const zfreport::RoomVerdict& rv = r.Verdict;
        text += "  помещение №" + std::to_string(r.Room + 1) + ": последний человек выходит через " +
                Num(r.LeaveTime, 1) + " с; tнэ + t = " + Num(v.StartDelay + r.LeaveTime, 1) + " с, tбл = " +
                (rv.BlockingTime ? Num(*rv.BlockingTime, 1) + " с" : "не достигнуто") + ", запас " +
                zfreport::MarginText(rv, ".") + ", " +
                std::string(rv.Outcome ? zfreport::VerdictText(*rv.Outcome) : "—") +
                (rv.Reason.empty() ? "" : " (" + rv.Reason + ")") + "\n";
    }
    return text;
}

std::string TypedTimesLine(const zfreport::EvacuationInputs& evacuation) {
    std::string rooms;
    for (std::size_t i = 0; i < evacuation.Rooms.size(); ++i)
        if (evacuation.Rooms[i]) rooms += (rooms.empty() ? "№" : ", №") + std::to_string(i + 1);
    if (rooms.empty()) return {};
    return "Время эвакуации tр помещений " + rooms + " введено вручную (не рассчитано по путям эвакуации).\n";
}

}  // namespace

std::string RoutesReport(const zfreport::RunVerdict& verdict, const zfreport::EvacuationInputs& evacuation) {
    // Without routes the runner's text stays as it was: every t_р is typed.
    if (evacuation.Routes.empty()) return {};
    std::string text = "\nПути эвакуации (упрощенная аналитическая модель движения людского потока):\n";
    if (!verdict.RoutesRefused.empty()) text += "пути не рассчитаны: " + verdict.RoutesRefused + "\n";
    for (std::size_t r = 0; r < verdict.Routes.size(); ++r) {
        const zf::flow::Route& route = evacuation.Routes[r];
        const zfreport::RouteVerdict& v = verdict.Routes[r];
        text += RouteTitle(route, r) + ": N = " + Num(route.People, 0) + ", f = " + Num(route.Projection, 3) +
                " м², tнэ = " + Num(route.StartDelay, 1) + " с\n";
        text += SegmentTable(route, verdict.Flow.Segments[r]);
        text += "  tр = " + Num(v.Time / kSecondsPerMinute, 3) + " мин (" + Num(v.Time, 1) + " с), tск = " +
                Num(v.CrowdTime / kSecondsPerMinute, 3) + " мин, Pэ = " + zfreport::ProbabilityText(v.Probability, ".") +
                (v.ProbabilityReason.empty() ? "" : " (" + v.ProbabilityReason + ")") + "; вывод: " +
                std::string(v.Outcome ? zfreport::VerdictText(*v.Outcome) : "—") + "\n";
        text += RoomLines(v);
    }
    if (!verdict.Routes.empty()) text += std::string(zfreport::CrowdTimeDefinition()) + ".\n";
    return text + TypedTimesLine(evacuation);
}

}  // namespace zf::project
