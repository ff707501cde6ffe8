// The escape routes in the runner's JSON result.
#include "route_writer.h"

#include "result_writer.h"
#include "route_verdict.h"

namespace zf::project {

namespace {

void WriteSegment(std::ostream& out, const zf::flow::Segment& s, const zf::flow::SegmentFlow& f) {
    out << "{\"kind\": \"" << zf::flow::SegmentKindKey(s.Kind) << "\", \"length\": ";
    WriteJsonNumber(out, s.Length);
    out << ", \"width\": ";
    WriteJsonNumber(out, s.Width);
    out << ", \"room\": ";
    if (s.Room >= 0) out << s.Room + 1;
    else out << "null";
    out << ", \"density\": ";
    WriteJsonNumber(out, f.Density);
    out << ", \"speed_m_per_min\": ";
    WriteJsonNumber(out, f.Speed);
    out << ", \"intensity_m_per_min\": ";
    WriteJsonNumber(out, f.Intensity);
    out << ", \"crowd\": " << (f.Crowd ? "true" : "false") << ", \"time_min\": ";
    WriteJsonNumber(out, f.Time);
    out << ", \"delay_min\": ";
    WriteJsonNumber(out, f.Delay);
    out << '}';
}

void WriteRoom(std::ostream& out, const zfreport::RouteRoom& r) {
    out << "{\"number\": " << r.Room + 1 << ", \"leave_time\": ";
    WriteJsonNumber(out, r.LeaveTime);
    out << ", \"blocking_time\": ";
    WriteJsonOptional(out, r.Verdict.BlockingTime);
    out << ", \"required\": ";
    WriteJsonOptional(out, r.Verdict.Required);
    out << ", \"allowed\": ";
    WriteJsonOptional(out, r.Verdict.Allowed);
    out << ", \"probability\": ";
    WriteJsonOptional(out, r.Probability);
    if (r.Verdict.Outcome) out << ", \"verdict\": \"" << zfreport::VerdictKey(*r.Verdict.Outcome) << '"';
    out << '}';
}

void WriteRoute(std::ostream& out, const zf::flow::Route& route, const zfreport::RouteVerdict& v,
                const std::vector<zf::flow::SegmentFlow>& flows, std::size_t r) {
    out << "{\"number\": " << r + 1;
    if (!route.Name.empty()) {
        out << ", \"name\": ";
        WriteJsonString(out, route.Name);
    }
    out << ", \"evacuation_time\": ";
    WriteJsonNumber(out, v.Time);
    out << ", \"crowd_time\": ";
    WriteJsonNumber(out, v.CrowdTime);
    out << ", \"start_delay\": ";
    WriteJsonNumber(out, v.StartDelay);
    out << ", \"probability\": ";
    WriteJsonOptional(out, v.Probability);
    if (!v.ProbabilityReason.empty()) {
        out << ", \"probability_reason\": ";
        WriteJsonString(out, v.ProbabilityReason);
    }
    if (v.Outcome) out << ", \"verdict\": \"" << zfreport::VerdictKey(*v.Outcome) << '"';
    if (!v.Reason.empty()) {
        out << ", \"reason\": ";
        WriteJsonString(out, v.Reason);
    }
    out << ",\n   \"rooms\": [";
    for (std::size_t k = 0; k < v.Rooms.size(); ++k) {
        out << (k ? ", " : "");
        WriteRoom(out, v.Rooms[k]);
    }
    out << "],\n   \"segments\": [";
    for (std::size_t i = 0; i < route.Segments.size(); ++i) {
        out << (i ? ",\n    " : "\n    ");
        WriteSegment(out, route.Segments[i], flows[i]);
    }
    out << "]}";
}

}  // namespace

void WriteJsonRoutes(std::ostream& out, const zfreport::RunVerdict& verdict, const std::vector<zf::flow::Route>& routes) {
    if (routes.empty()) return;
    if (!verdict.RoutesRefused.empty()) {
        out << ",\n \"evacuation_routes_refused\": ";
        WriteJsonString(out, verdict.RoutesRefused);
    }
    out << ",\n \"crowd_time_definition\": ";
    WriteJsonString(out, zfreport::CrowdTimeDefinition());
    out << ",\n \"evacuation_routes\": [";
    for (std::size_t r = 0; r < verdict.Routes.size(); ++r) {
        out << (r ? ",\n  " : "\n  ");
        WriteRoute(out, routes[r], verdict.Routes[r], verdict.Flow.Segments[r], r);
    }
    out << (verdict.Routes.empty() ? "]" : "\n ]");
}

}  // namespace zf::project
