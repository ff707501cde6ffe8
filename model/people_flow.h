#pragma once
// The evacuation time from the building's escape routes, by the simplified analytical model of
// people-flow movement. A route is an ordered list of segments from the farthest place to the
// exit; its people start on its first segment. A route may end by joining a segment of another
// route (the flows merge there). Per segment the flow has a density D [m²/m²], a speed V and
// an intensity q = D·V [m/min] read from the table (model/flow_table.h):
//  - first segment:   D₁ = N·f / (l₁·δ₁), V₁ and q₁ from the table;
//  - next segment:    q_i = Σ_j q_j·δ_j / δ_i over the segments j flowing into i;
//  - q_i ≤ q_max:     V_i from the table by q_i on the low-density side (the flow spreads out);
//  - q_i > q_max:     a crowd forms before i; it moves at the D ≥ 0.9 row and delays the flow by
//                     Δt = N·f·[1/(q_{D=0.9}·δ_i) − 1/(Σ_j q_j·δ_j)] (N·f: the projection of
//                     every person passing that boundary);
//  - each segment takes l_i/V_i + Δt_i (a doorway only its Δt), and t_р = Σ (l_i/V_i + Δt_i)
//    along the route and on through the segments it joins.
// Times here are in minutes, the table's unit.

#include <optional>
#include <string>
#include <vector>

#include "model/flow_table.h"

namespace zf::flow {

// The horizontal projection f of one person [m²] of the usual kinds of people.
inline constexpr double kAdultSummer = 0.1;
inline constexpr double kAdultWinter = 0.125;
inline constexpr double kTeenager = 0.07;

// A density above this is a dense flow; t_ск counts how long one lasts [m²/m²].
inline constexpr double kDenseFlow = 0.5;
// A doorway in a wall thicker than this is a horizontal segment, not a doorway [m].
inline constexpr double kDoorwayMaxDepth = 0.7;

struct Segment {
    SegmentKind Kind = SegmentKind::Horizontal;
    double Length = 0;  // l [m]; a doorway's is not used (it takes no time of its own)
    double Width = 0;   // δ [m]
    int Room = -1;      // the building's room it lies in, 0-based; -1: none given

    bool operator==(const Segment&) const = default;
};

// Where a route's last segment flows: a segment of another route (both 0-based).
struct Join {
    int Route = 0;
    int Segment = 0;

    bool operator==(const Join&) const = default;
};

struct Route {
    std::string Name;         // "Лестница А"; empty: shown as "путь 1"
    double People = 0;        // N, people on the first segment at the start
    double Projection = kAdultSummer;  // f, horizontal projection of one person [m²]
    double StartDelay = 0;    // t_нэ, start delay of the evacuation [s]
    std::vector<Segment> Segments;
    std::optional<Join> JoinsInto;  // none: the last segment leads outside

    bool operator==(const Route&) const = default;
};

// A problem of the routes: refused (the computation cannot go on) or only warned about. Names
// the route, the segment (-1: the route itself) and the file's key.
struct RouteProblem {
    int Route = 0;
    int Segment = -1;
    std::string Key;   // "width", "joins", ...
    std::string Text;  // in Russian: what is wrong and what to do
};

struct RouteCheck {
    std::vector<RouteProblem> Refusals;
    std::vector<RouteProblem> Warnings;
};

// The refusals: a width not above 0, a length below 0 or not finite, N < 0, f not above 0, a
// first segment that is a doorway, a join to no segment (a flow that goes nowhere), into a
// first segment (its people would start in a flow) or that makes a cycle, a room the building
// does not have. The warnings: a route with no people, a segment longer than 10 km or narrower
// than 0.3 m, a doorway deeper than 0.7 m.
RouteCheck CheckRoutes(const std::vector<Route>& routes, int roomCount);

// "путь 2, участок 3, ключ \"width\"": where a problem lies (the route's name is the caller's to show).
std::string ProblemPlace(const RouteProblem& problem);

// The flow on one segment.
struct SegmentFlow {
    double Density = 0;    // D [m²/m²]
    double Speed = 0;      // V [m/min]; 0 on a doorway
    double Intensity = 0;  // q leaving the segment [m/min]
    double Arriving = 0;   // Σ_j q_j·δ_j / δ_i arriving before any crowd [m/min]; the first segment's own q
    double Area = 0;       // N·f of everyone crossing the segment [m²]
    bool Crowd = false;       // q arriving exceeded q_max: a crowd formed before the segment
    bool NarrowDoor = false;  // a crowded doorway narrower than 1.6 m: q = 2.5 + 3.75·δ
    double Time = 0;       // l/V, the time to cross [min]; 0 on a doorway
    double Delay = 0;      // Δt, the crowd's delay before the segment [min]
    double Dense = 0;      // how long a dense flow (D > 0.5) lasts there [min]; 0: none
};

struct Place {
    int Route = 0;
    int Segment = 0;
};

// One route's people from their start to the exit.
struct RouteFlow {
    std::vector<Place> Path;        // the segments crossed, in order, on through the joins
    std::vector<double> Finished;   // the time the last person leaves each segment of Path [min]
    double Time = 0;       // t_р = Σ (l/V + Δt) along Path [min]
    double CrowdTime = 0;  // t_ск, the longest a dense flow lasts on Path [min]
};

struct FlowResult {
    std::vector<std::vector<SegmentFlow>> Segments;  // by route, by segment
    std::vector<RouteFlow> Routes;
};

// The flows of routes that CheckRoutes does not refuse.
FlowResult ComputeFlow(const std::vector<Route>& routes, const FlowTable& table = PeopleFlowTable());

// The time the last person of a route leaves each room its path crosses [min]: pairs of
// (room, time), in the order the path leaves them; segments without a room are skipped.
std::vector<std::pair<int, double>> RoomLeaveTimes(const std::vector<Route>& routes, const RouteFlow& flow);

}  // namespace zf::flow
