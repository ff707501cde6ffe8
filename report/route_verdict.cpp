// The escape routes judged room by room, and the probability of evacuation.
#include "route_verdict.h"

#include <algorithm>
#include <cmath>

#include "model/number_text.h"

namespace zfreport {

namespace {

constexpr double kSecondsPerMinute = 60;

// The worse of two outcomes: unsafe, then undetermined, then safe.
int Severity(const std::optional<Verdict>& v) {
    if (!v) return 0;
    switch (*v) {
        case Verdict::Safe: return 1;
        case Verdict::Undetermined: return 2;
        case Verdict::Unsafe: return 3;
    }
    return 0;
}

RouteRoom JudgeRouteRoom(const zf::TzoneMath& zm, const RunReach& reach, int room, double leave,
                         const RouteVerdict& route, double safetyFactor) {
    RouteRoom r;
    r.Room = room;
    r.LeaveTime = leave;
    r.Verdict = JudgeRoom(CriticalTimesOf(*zm.Rooms[static_cast<std::size_t>(room)]), reach,
                          EvacuationInput{route.StartDelay, leave}, safetyFactor);
    return r;
}

// The route's worst room, and the lowest P_э over its rooms (none when a room cannot tell and
// no room gives 0).
void Summarise(RouteVerdict& v, const RunReach& reach) {
    bool unknown = false;
    for (RouteRoom& r : v.Rooms) {
        if (Severity(r.Verdict.Outcome) > Severity(v.Outcome)) {
            v.Outcome = r.Verdict.Outcome;
            v.Reason = r.Verdict.Reason;
        }
        std::string why;
        const std::optional<double> p =
            EvacuationProbability(r.LeaveTime, v.StartDelay, v.CrowdTime, r.Verdict.BlockingTime, reach, &why);
        r.Probability = p;
        if (!p) {
            unknown = true;
            if (v.ProbabilityReason.empty()) v.ProbabilityReason = why;
        } else if (!v.Probability || *p < *v.Probability) {
            v.Probability = p;
        }
    }
    if (unknown && v.Probability != 0.0) v.Probability.reset();
    if (v.Probability) v.ProbabilityReason.clear();
}

}  // namespace

std::optional<double> EvacuationProbability(double tr, double tne, double tck, std::optional<double> tbl,
                                            const RunReach& reach, std::string* reason) {
    const auto fail = [&](std::string why) -> std::optional<double> {
        if (reason) *reason = std::move(why);
        return std::nullopt;
    };
    if (tck > kLongestCrowd) return 0.0;  // crowds too long: no one counts on getting out
    if (std::string shortfall = RunShortfall(reach); !shortfall.empty()) return fail(shortfall);
    if (!tbl) {
        // No limit was reached while the run lasted: t_бл > t_end.
        if (tr + tne <= kProbabilityShare * reach.Time) return kCertainEvacuation;
        return fail("время моделирования меньше (t_р + t_нэ)/0,8 = " + zf::GeneralNumberText((tr + tne) / 0.8, ",") +
                    " с (увеличьте время моделирования)");
    }
    const double allowed = kProbabilityShare * *tbl;  // 0.8·t_бл [s]
    if (tr >= allowed) return 0.0;
    if (tr + tne <= allowed) return kCertainEvacuation;
    // Part of the start delay overlaps the blocking: the share of people who start in time.
    return kCertainEvacuation * (allowed - tr) / tne;
}

std::vector<RouteVerdict> JudgeRoutes(const zf::TzoneMath& zm, const RunReach& reach,
                                      const std::vector<zf::flow::Route>& routes, const zf::flow::FlowResult& flow,
                                      double safetyFactor) {
    std::vector<RouteVerdict> out;
    for (std::size_t r = 0; r < routes.size(); ++r) {
        RouteVerdict v;
        v.Time = flow.Routes[r].Time * kSecondsPerMinute;
        v.CrowdTime = flow.Routes[r].CrowdTime * kSecondsPerMinute;
        v.StartDelay = routes[r].StartDelay;
        std::vector<std::pair<int, double>> rooms = zf::flow::RoomLeaveTimes(routes, flow.Routes[r]);
        // No room given: the route's end against the fire room.
        if (rooms.empty()) rooms.emplace_back(0, flow.Routes[r].Time);
        for (const auto& [room, minutes] : rooms)
            if (room < zm.RoomCount())
                v.Rooms.push_back(JudgeRouteRoom(zm, reach, room, minutes * kSecondsPerMinute, v, safetyFactor));
        Summarise(v, reach);
        out.push_back(std::move(v));
    }
    return out;
}

std::string ProbabilityText(const std::optional<double>& probability, std::string_view decimalSeparator) {
    if (!probability) return "—";
    if (*probability == 0) return "0";
    return zf::PlainNumberText(*probability, decimalSeparator, 3);
}

std::vector<std::string> RouteSummaryLines(const RunVerdict& verdict, std::string_view sep) {
    std::vector<std::string> lines;
    if (!verdict.RoutesRefused.empty()) lines.push_back("Пути эвакуации не рассчитаны: " + verdict.RoutesRefused);
    for (std::size_t r = 0; r < verdict.Routes.size(); ++r) {
        const RouteVerdict& v = verdict.Routes[r];
        lines.push_back("Путь " + std::to_string(r + 1) + ": tр = " + zf::PlainNumberText(v.Time / kSecondsPerMinute, sep, 3) +
                        " мин (" + zf::PlainNumberText(v.Time, sep, 1) + " с), tск = " +
                        zf::PlainNumberText(v.CrowdTime / kSecondsPerMinute, sep, 3) + " мин, Pэ = " +
                        ProbabilityText(v.Probability, sep) + " — " +
                        std::string(v.Outcome ? VerdictText(*v.Outcome) : "не определено"));
    }
    return lines;
}

std::string_view CrowdTimeDefinition() {
    return "t_ск — наибольшая длительность плотного потока (D > 0,5) на пути: скопление перед участком "
           "существует N·f/(q_{D=0,9}·δ) плюс время прохода участка; плотный начальный участок — время его прохода l/V";
}

}  // namespace zfreport
