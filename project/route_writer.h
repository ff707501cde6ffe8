#pragma once
// The escape routes of a finished run as the runner prints them and writes them in its JSON:
// per route t_р, t_ск (with its definition), P_э and the verdict room by room; per segment the
// inputs and D, V, q, the time to cross and the crowd's delay.

#include <ostream>
#include <string>
#include <vector>

#include "model/people_flow.h"
#include "verdict.h"

namespace zf::project {

// The routes' text for the runner (decimal point), after the critical-times table, naming the
// rooms whose t_р is typed; empty when the scenario has no routes. Names are made printable.
std::string RoutesReport(const zfreport::RunVerdict& verdict, const zfreport::EvacuationInputs& evacuation);

// The JSON members ",\n \"evacuation_routes\": [...]" (and the refusal or t_ск's definition);
// nothing when the scenario has no routes. Times of a route in seconds, of a segment in minutes
// (the table's unit); a value never reached is null.
void WriteJsonRoutes(std::ostream& out, const zfreport::RunVerdict& verdict,
                     const std::vector<zf::flow::Route>& routes);

}  // namespace zf::project
