#pragma once
// The scenario file's escape routes, "evacuation_routes": a list of routes
//   {"name": "Лестница А", "people": 60, "projection": 0.1 | "adult_summer" | "adult_winter" |
//    "teenager", "start_delay": 360,
//    "segments": [{"kind": "horizontal" | "doorway" | "stairs_down" | "stairs_up",
//                  "length": 30, "width": 2, "room": 1}, ...],
//    "joins": {"route": 2, "segment": 3}}
// people: N on the first segment; projection: f [m²] or its kind; start_delay: t_нэ [s];
// room: 1-based, optional; joins: the 1-based route and segment the last segment flows into,
// optional (none: the route leads outside). What the computation refuses (a zero width, a
// cycle of joins, ...) is read and then refused before a run (RunRefusal), naming the route,
// the segment and the key, so the engineer can open the file and mend it.

#include <string>
#include <string_view>
#include <vector>

#include <nlohmann/json_fwd.hpp>

#include "model/people_flow.h"

namespace zf::project {

// A refusal of a route's key; the file reader turns it into its own message.
struct RouteRefused {
    std::string Message;
    const nlohmann::json* At = nullptr;  // the refused value, for its key path and line
};

// Throws RouteRefused for a value of the wrong type, a number below zero or not finite, an
// unknown key or kind.
std::vector<zf::flow::Route> ReadRoutes(const nlohmann::json& value);

// The keys of a route, a segment and a join, for the list of every key the reader knows.
inline constexpr std::string_view kRouteFileKeys[] = {"name", "people", "projection", "start_delay", "segments", "joins",
                                                      "kind", "length", "width", "room", "route", "segment"};

// One route per line. Throws std::invalid_argument for a route the reader refuses.
std::vector<std::string> WriteRoutes(const std::vector<zf::flow::Route>& routes);

// The kinds of people and their projection f: "adult_summer" 0.1, "adult_winter" 0.125,
// "teenager" 0.07 [m²], with their names in Russian.
struct PeopleKind {
    std::string_view Key;
    std::string_view Text;
    double Projection;
};
inline constexpr PeopleKind kPeopleKinds[] = {{"adult_summer", "взрослые в летней одежде", zf::flow::kAdultSummer},
                                              {"adult_winter", "взрослые в зимней одежде", zf::flow::kAdultWinter},
                                              {"teenager", "подростки", zf::flow::kTeenager}};

}  // namespace zf::project
