// The escape routes' calculation sheet.
#include "route_sheet.h"

#include <algorithm>

#include "model/number_text.h"
#include "route_verdict.h"

namespace zfreport {

namespace {

using zf::flow::SegmentKind;

struct Writer {
    std::string_view Sep;
    std::string operator()(double v, int decimals) const { return zf::PlainNumberText(v, Sep, decimals); }
};

// The rows of the table a value was read between: "D 0,2: V 60, q 12,0; D 0,3: V 47, q 14,1".
std::string RowText(const zf::flow::FlowTable& t, SegmentKind kind, std::size_t row, const Writer& w) {
    std::string text = "D " + w(t.Density[row], row + 1 == t.Density.size() ? 1 : 2);
    if (row + 1 == t.Density.size()) text = "D ≥ " + w(t.Density[row], 1);
    const auto& v = t.Speed[static_cast<std::size_t>(kind)];
    if (!v.empty()) text += ": V " + w(v[row], 0) + ", q ";
    else text += ": q ";
    return text + w(t.Intensity[static_cast<std::size_t>(kind)][row], 1);
}

std::string RowsUsed(const zf::flow::FlowTable& t, SegmentKind kind, const zf::flow::SegmentFlow& f, const Writer& w) {
    if (f.Crowd && f.NarrowDoor) return "проем уже 1,6 м при D ≥ 0,9: q = 2,5 + 3,75·δ = " + w(f.Intensity, 2);
    if (f.Crowd) return RowText(t, kind, t.Density.size() - 1, w);
    if (f.Density <= t.Density.front()) return RowText(t, kind, 0, w) + " (ниже первой строки — ее V)";
    if (f.Density >= t.Density.back()) return RowText(t, kind, t.Density.size() - 1, w);
    const auto upper = std::upper_bound(t.Density.begin(), t.Density.end(), f.Density);
    const std::size_t k = static_cast<std::size_t>(upper - t.Density.begin());
    return RowText(t, kind, k - 1, w) + "; " + RowText(t, kind, k, w);
}

std::string Formula(const zf::flow::Segment& s, const zf::flow::SegmentFlow& f, bool first, double qmax, const Writer& w) {
    if (first)
        return "D = N·f/(l·δ) = " + w(f.Area, 3) + "/(" + w(s.Length, 2) + "·" + w(s.Width, 2) + ") = " + w(f.Density, 3);
    const double rate = f.Arriving * s.Width;  // Σ q·δ [m²/min]
    std::string text = "q = Σq·δ/δ = " + w(rate, 3) + "/" + w(s.Width, 2) + " = " + w(f.Arriving, 3);
    if (!f.Crowd) return text + " ≤ q_max " + w(qmax, 1);
    return text + " > q_max " + w(qmax, 1) + ": скопление; Δt = N·f·[1/(q·δ) − 1/Σq·δ] = " + w(f.Area, 3) + "·[1/(" +
           w(f.Intensity, 2) + "·" + w(s.Width, 2) + ") − 1/" + w(rate, 3) + "] = " + w(f.Delay, 4);
}

std::vector<std::string> SheetRow(const std::vector<zf::flow::Route>& routes, const zf::flow::FlowResult& flow,
                                  const zf::flow::Place& at, const Writer& w) {
    const zf::flow::FlowTable& t = zf::flow::PeopleFlowTable();
    const zf::flow::Segment& s = routes[static_cast<std::size_t>(at.Route)].Segments[static_cast<std::size_t>(at.Segment)];
    const zf::flow::SegmentFlow& f = flow.Segments[static_cast<std::size_t>(at.Route)][static_cast<std::size_t>(at.Segment)];
    const bool door = s.Kind == SegmentKind::Doorway;
    return {std::to_string(at.Route + 1) + "." + std::to_string(at.Segment + 1),
            std::string(zf::flow::SegmentKindText(s.Kind)),
            door ? "—" : w(s.Length, 2),
            w(s.Width, 2),
            s.Room < 0 ? "—" : "№" + std::to_string(s.Room + 1),
            RowsUsed(t, s.Kind, f, w),
            Formula(s, f, at.Segment == 0, t.MaxIntensity(s.Kind), w),
            (f.Crowd ? "≥ " : "") + w(f.Density, 3),
            door ? "—" : w(f.Speed, 2),
            w(f.Intensity, 2),
            w(f.Time, 4),
            w(f.Delay, 4)};
}

std::vector<std::string> Totals(const RunVerdict& verdict, std::size_t r, const Writer& w) {
    const zf::flow::RouteFlow& path = verdict.Flow.Routes[r];
    const RouteVerdict& v = verdict.Routes[r];
    std::string sum;
    for (const zf::flow::Place& at : path.Path) {
        const auto& f = verdict.Flow.Segments[static_cast<std::size_t>(at.Route)][static_cast<std::size_t>(at.Segment)];
        if (f.Time + f.Delay > 0) sum += (sum.empty() ? "" : " + ") + w(f.Time + f.Delay, 4);
    }
    std::vector<std::string> lines{
        "tр = Σ(l/V + Δt) = " + (sum.empty() ? w(0, 4) : sum) + " = " + w(path.Time, 4) + " мин (" + w(v.Time, 1) + " с)",
        "tск = " + w(path.CrowdTime, 4) + " мин (" + std::string(CrowdTimeDefinition()) + ")",
        "Pэ = " + ProbabilityText(v.Probability, w.Sep) + (v.ProbabilityReason.empty() ? "" : " (" + v.ProbabilityReason + ")")};
    for (const RouteRoom& room : v.Rooms)
        lines.push_back("помещение №" + std::to_string(room.Room + 1) + ": tнэ + t выхода = " + w(v.StartDelay, 1) + " + " +
                        w(room.LeaveTime, 1) + " = " + w(v.StartDelay + room.LeaveTime, 1) + " с, f·tбл = " +
                        (room.Verdict.Allowed ? w(*room.Verdict.Allowed, 1) + " с" : "—") + " — " +
                        std::string(room.Verdict.Outcome ? VerdictText(*room.Verdict.Outcome) : "не определено"));
    return lines;
}

}  // namespace

std::vector<RouteSheet> RouteSheets(const RunVerdict& verdict, const std::vector<zf::flow::Route>& routes,
                                    std::string_view sep) {
    const Writer w{sep};
    std::vector<RouteSheet> sheets;
    for (std::size_t r = 0; r < verdict.Routes.size() && r < routes.size(); ++r) {
        const zf::flow::Route& route = routes[r];
        RouteSheet sheet;
        sheet.Title = "Путь " + std::to_string(r + 1) + (route.Name.empty() ? "" : " «" + route.Name + "»") +
                      ": N = " + w(route.People, 0) + " чел., f = " + w(route.Projection, 3) + " м², tнэ = " +
                      w(route.StartDelay, 1) + " с";
        sheet.Cells.push_back({"Участок", "Вид", "l, м", "δ, м", "Помещение", "Строки таблицы", "Расчет", "D", "V, м/мин",
                               "q, м/мин", "l/V, мин", "Δt, мин"});
        for (const zf::flow::Place& at : verdict.Flow.Routes[r].Path) sheet.Cells.push_back(SheetRow(routes, verdict.Flow, at, w));
        sheet.Totals = Totals(verdict, r, w);
        sheets.push_back(std::move(sheet));
    }
    return sheets;
}

}  // namespace zfreport
