#pragma once
// The escape routes as an engineer's calculation sheet: per route its people, then a row per
// segment of its path with the inputs, the rows of the people-flow table used, the formula with
// its numbers, and D, V, q, l/V and Δt; then t_р as the sum, t_ск with its definition, P_э and
// the verdict room by room. The PDF report prints it; the texts carry no Qt.

#include <string>
#include <string_view>
#include <vector>

#include "model/people_flow.h"
#include "verdict.h"

namespace zfreport {

struct RouteSheet {
    std::string Title;                            // "Путь 1 «Зал»: N = 100 чел., f = 0,125 м², tнэ = 30 с"
    std::vector<std::vector<std::string>> Cells;  // a header row, then a row per segment of the path
    std::vector<std::string> Totals;              // t_р, t_ск, P_э, then a line per room
};

// The sheets of a run's routes (those computed: none when the routes were refused).
std::vector<RouteSheet> RouteSheets(const RunVerdict& verdict, const std::vector<zf::flow::Route>& routes,
                                    std::string_view decimalSeparator);

}  // namespace zfreport
