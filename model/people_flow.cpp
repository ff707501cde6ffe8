// The people-flow computation: segment by segment along each route, routes that join another
// computed before it, then each route's time along its path to the exit.
#include "model/people_flow.h"

#include <algorithm>

namespace zf::flow {

namespace {

// What arrives at a segment: the projection of every person crossing it [m²] and the flows
// Σ q_j·δ_j [m²/min] of the segments flowing into it.
struct Inflow {
    double Area = 0;
    double Rate = 0;
};

// The first segment: D₁ = N·f / (l₁·δ₁), V₁ and q₁ from the table.
SegmentFlow StartSegment(const Segment& s, double area, const FlowTable& table) {
    SegmentFlow f;
    f.Area = area;
    f.Density = area / (s.Length * s.Width);
    f.Speed = table.SpeedAt(s.Kind, f.Density);
    f.Intensity = table.IntensityAt(s.Kind, f.Density);
    f.Arriving = f.Intensity;
    f.Time = s.Length / f.Speed;
    // A dense start lasts as long as its people take to cross the segment.
    if (f.Density > kDenseFlow) f.Dense = f.Time;
    return f;
}

// A segment fed by others: q_i = Σ q_j·δ_j / δ_i; a crowd when that exceeds q_max.
SegmentFlow NextSegment(const Segment& s, const Inflow& in, const FlowTable& table) {
    SegmentFlow f;
    f.Area = in.Area;
    f.Arriving = in.Rate / s.Width;
    if (f.Arriving <= table.MaxIntensity(s.Kind)) {
        f.Intensity = f.Arriving;
        f.Density = table.FreeDensity(s.Kind, f.Intensity);
        f.Speed = table.SpeedAt(s.Kind, f.Density);
    } else {
        f.Crowd = true;
        f.NarrowDoor = s.Kind == SegmentKind::Doorway && s.Width < kNarrowDoorWidth;
        f.Intensity = table.CrowdIntensity(s.Kind, s.Width);
        f.Density = table.Density.back();
        f.Speed = table.CrowdSpeed(s.Kind);
        // Δt = N·f·[1/(q_{D=0.9}·δ_i) − 1/(Σ_j q_j·δ_j)]: the crowd passes at its own rate
        // what arrives at the faster one.
        f.Delay = in.Area * (1.0 / (f.Intensity * s.Width) - 1.0 / in.Rate);
    }
    if (s.Kind != SegmentKind::Doorway) f.Time = s.Length / f.Speed;
    // The crowd lasts while everyone passes at the crowd's rate, then while they cross.
    if (f.Crowd) f.Dense = in.Area / (f.Intensity * s.Width) + f.Time;
    return f;
}

// Every route after the routes that join into it (the joins make no cycle: CheckRoutes).
std::vector<int> ComputeOrder(const std::vector<Route>& routes) {
    std::vector<int> incoming(routes.size(), 0);
    for (const Route& r : routes)
        if (r.JoinsInto) ++incoming[static_cast<std::size_t>(r.JoinsInto->Route)];
    std::vector<int> order;
    for (std::size_t r = 0; r < routes.size(); ++r)
        if (incoming[r] == 0) order.push_back(static_cast<int>(r));
    for (std::size_t k = 0; k < order.size(); ++k) {
        const Route& r = routes[static_cast<std::size_t>(order[k])];
        if (r.JoinsInto && --incoming[static_cast<std::size_t>(r.JoinsInto->Route)] == 0)
            order.push_back(r.JoinsInto->Route);
    }
    return order;
}

// What flows into segment i of route r: its own previous segment and the last segments of
// the routes that join it there.
Inflow InflowOf(const std::vector<Route>& routes, const FlowResult& result, int r, int i) {
    Inflow in;
    const auto add = [&](int route, int segment) {
        const SegmentFlow& f = result.Segments[static_cast<std::size_t>(route)][static_cast<std::size_t>(segment)];
        in.Area += f.Area;
        in.Rate += f.Intensity * routes[static_cast<std::size_t>(route)].Segments[static_cast<std::size_t>(segment)].Width;
    };
    if (i > 0) add(r, i - 1);
    for (std::size_t j = 0; j < routes.size(); ++j)
        if (routes[j].JoinsInto && routes[j].JoinsInto->Route == r && routes[j].JoinsInto->Segment == i)
            add(static_cast<int>(j), static_cast<int>(routes[j].Segments.size()) - 1);
    return in;
}

void ComputeRoute(const std::vector<Route>& routes, int r, const FlowTable& table, FlowResult& result) {
    const Route& route = routes[static_cast<std::size_t>(r)];
    std::vector<SegmentFlow>& flows = result.Segments[static_cast<std::size_t>(r)];
    flows.resize(route.Segments.size());
    for (std::size_t i = 0; i < route.Segments.size(); ++i) {
        const Segment& s = route.Segments[i];
        flows[i] = i == 0 ? StartSegment(s, route.People * route.Projection, table)
                          : NextSegment(s, InflowOf(routes, result, r, static_cast<int>(i)), table);
    }
}

RouteFlow PathOf(const std::vector<Route>& routes, const FlowResult& result, int r) {
    RouteFlow flow;
    double time = 0;
    for (Place at{r, 0};;) {
        const Route& route = routes[static_cast<std::size_t>(at.Route)];
        for (int i = at.Segment; i < static_cast<int>(route.Segments.size()); ++i) {
            const SegmentFlow& f = result.Segments[static_cast<std::size_t>(at.Route)][static_cast<std::size_t>(i)];
            time += f.Time + f.Delay;
            flow.Path.push_back({at.Route, i});
            flow.Finished.push_back(time);
            flow.CrowdTime = std::max(flow.CrowdTime, f.Dense);
        }
        if (!route.JoinsInto) break;
        at = {route.JoinsInto->Route, route.JoinsInto->Segment};
    }
    flow.Time = time;
    return flow;
}

}  // namespace

FlowResult ComputeFlow(const std::vector<Route>& routes, const FlowTable& table) {
    FlowResult result;
    result.Segments.resize(routes.size());
    for (int r : ComputeOrder(routes)) ComputeRoute(routes, r, table, result);
    for (std::size_t r = 0; r < routes.size(); ++r) result.Routes.push_back(PathOf(routes, result, static_cast<int>(r)));
    return result;
}

std::vector<std::pair<int, double>> RoomLeaveTimes(const std::vector<Route>& routes, const RouteFlow& flow) {
    std::vector<std::pair<int, double>> rooms;
    for (std::size_t k = 0; k < flow.Path.size(); ++k) {
        const Place& at = flow.Path[k];
        const int room = routes[static_cast<std::size_t>(at.Route)].Segments[static_cast<std::size_t>(at.Segment)].Room;
        if (room < 0) continue;
        const auto found = std::find_if(rooms.begin(), rooms.end(), [&](const auto& p) { return p.first == room; });
        if (found == rooms.end())
            rooms.emplace_back(room, flow.Finished[k]);
        else
            found->second = flow.Finished[k];
    }
    return rooms;
}

}  // namespace zf::flow
