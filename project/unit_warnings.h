#pragma once
// The warnings of values that look like a slip (zf::InputWarnings) as the runner gives them: one
// line each on standard error; with --strict they refuse the input as an error would.

#include <string>

#include "model/scenario.h"
#include "project/document.h"

namespace zf::project {

// Prints "<where>: предупреждение: ..." on stderr for every warning of the scenario. Returns
// true when there was one and `strict` makes it a refusal, which is then printed too: the
// caller exits with the bad-input code without computing anything.
bool RefusedForWarnings(const zf::TzoneMath& scenario, const std::string& where, bool strict);
// The same for the escape routes' warnings (a route with no people, a segment longer than
// 10 km or narrower than 0.3 m, a deep doorway), each naming the route, segment and key.
bool RefusedForRouteWarnings(const zf::project::Document& document, const std::string& where, bool strict);

}  // namespace zf::project
