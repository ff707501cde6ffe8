#pragma once
// The evacuation verdict of a run. An escape route stays passable until its blocking time
// t_бл, the earliest time at which any hazard factor reaches its critical value at the
// working-zone height. People must be out by a safety share f of it:
//     t_нэ + t_р ≤ f · t_бл
// (t_нэ: start delay of the evacuation [s], t_р: its duration [s], f: safety factor, 0,8 by
// default). The windows, the runner and the PDF report all take the verdict from here.

#include <array>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "model/people_flow.h"
#include "model/scenario.h"

namespace zfreport {

// Safety factor f used when the scenario gives none [-].
inline constexpr double kDefaultSafetyFactor = 0.8;

// A room's evacuation: how long people take to start leaving and to leave.
struct EvacuationInput {
    double StartDelay = 0;  // t_нэ, start delay of the evacuation [s]
    double Duration = 0;    // t_р, evacuation time [s]

    bool operator==(const EvacuationInput&) const = default;
};

// The evacuation inputs of a building: per room (in room order) optional, plus the safety
// factor f. A room with no entry, or an empty one, has no verdict.
struct EvacuationInputs {
    std::vector<std::optional<EvacuationInput>> Rooms;
    double SafetyFactor = kDefaultSafetyFactor;  // f, 0 < f ≤ 1 [-]
    // The escape routes: t_р computed from the people's flow (route_verdict.h).
    std::vector<zf::flow::Route> Routes;

    bool operator==(const EvacuationInputs&) const = default;
    // The room's inputs, none when the room has none or lies beyond the list.
    std::optional<EvacuationInput> Room(int index) const;
    bool Any() const;  // at least one room has inputs, or there is a route
};

// Why an input is refused ("" when it is acceptable): a start delay or a duration must be
// finite and ≥ 0; the safety factor must lie in (0, 1]. `who` names the room in the message.
std::string CheckEvacuationInput(const EvacuationInput& input, std::string_view who);
std::string CheckSafetyFactor(double f);

// A verdict's status. "безопасно" needs a run that completed and whose simulated time covers
// what people need; anything less is "не определено" with its reason, never a guess.
enum class Verdict {
    Safe,          // people are out in time
    Unsafe,        // the route is blocked before people are out
    Undetermined,  // the run cannot tell (stopped, failed, no step, or too short): see the reason
};

// "safe", "unsafe", "undetermined": the words of the runner's JSON.
std::string_view VerdictKey(Verdict v);
// "безопасно", "опасно", "не определено": the words of the windows and the report.
std::string_view VerdictText(Verdict v);
// The hazard factor in words, e.g. "повышенная температура" (by zf::HazardKind).
std::string_view HazardFactorText(zf::HazardKind kind);

// How a run ended, the ground its verdict stands on.
enum class RunEnd {
    Completed,  // every step computed
    Stopped,    // stopped by the user (or a signal) before its last step
    Failed,     // an arithmetic fault, or a failure before the first step
};

// How far a run got.
struct RunReach {
    RunEnd End = RunEnd::Completed;
    int Step = 0;     // the last step computed; for a failed run the step that failed (0: none began)
    double Time = 0;  // t_end, the simulated time reached: the last computed step's time [s]
};

// The reach of a finished run: Iter·dt for a completed or stopped run, (Iter − 1)·dt for a
// failed one, the product's rounding noise taken off at the microsecond (critical times are
// stamped the same way, step × dt).
RunReach RunReachOf(const zf::TzoneMath& zm);

// Why a run cannot carry any verdict, in Russian ("расчет остановлен на 41,2 с", "расчет
// прерван на шаге 1", ...); empty for a completed run of at least one step.
std::string RunShortfall(const RunReach& reach);

// The verdict of one room.
struct RoomVerdict {
    std::optional<double> BlockingTime;     // t_бл, the smallest reached critical time [s]
    std::vector<zf::HazardKind> BlockingFactors;  // every factor reached at exactly t_бл, in zf::HazardKind order
    std::optional<EvacuationInput> Evacuation;  // the inputs judged, if any
    std::optional<double> Required;  // t_нэ + t_р [s]
    std::optional<double> Allowed;   // f · t_бл [s]; none without t_бл
    std::optional<double> Margin;    // f · t_бл − (t_нэ + t_р) [s]; only with "безопасно" or "опасно"
    std::optional<Verdict> Outcome;  // none without evacuation inputs
    std::string Reason;              // why "не определено", in Russian; empty otherwise
};

// One room judged from its critical times by zf::HazardKind (0: the limit was not reached),
// how far the run got, its evacuation inputs and the safety factor f:
//  - a stopped or failed run, or one of no step: undetermined, for any inputs;
//  - with t_бл: safe when t_нэ + t_р ≤ f · t_бл, otherwise unsafe;
//  - without t_бл (every limit beyond the simulated time): safe when t_нэ + t_р ≤ f · t_end,
//    otherwise undetermined, the run being shorter than (t_нэ + t_р) / f.
RoomVerdict JudgeRoom(const std::array<double, zf::kHazardCount>& critTimes, const RunReach& reach,
                      const std::optional<EvacuationInput>& evacuation, double safetyFactor);

// The building's verdict: unsafe if any room is unsafe, else undetermined if any room is,
// else safe; none when no room has a verdict.
std::optional<Verdict> BuildingVerdictOf(const std::vector<RoomVerdict>& rooms);

// The note over a stopped or failed run's results, the same in the windows and the report:
// "Расчет остановлен на 41,2 с: показаны результаты до этого времени" (or "прерван ошибкой"),
// with t_end written as `reachedText` ("41,2") in the number format of the window or report;
// empty for a completed run.
std::string RunEndBanner(const RunReach& reach, std::string_view reachedText);

// t_end of a finished run [s] (RunReachOf(zm).Time).
double RunEndTime(const zf::TzoneMath& zm);

// The margin as people read it, the same in every window, table, report and file: rounded
// down to a tenth of a second, so it is never shown larger than it is and "опасно" never
// reads 0 [s].
double ShownMargin(double margin);
// "+20,0 с", "−4,1 с", "0,0 с" for a room with a verdict of safe or unsafe; "—" otherwise.
std::string MarginText(const RoomVerdict& room, std::string_view decimalSeparator);

// One room a route's path crosses.
struct RouteRoom {
    int Room = 0;          // 0-based
    double LeaveTime = 0;  // the time the last person of the route leaves it, from the start of movement [s]
    RoomVerdict Verdict;   // against its own t_бл
    std::optional<double> Probability;  // P_э with this room's t_бл
};

struct RouteVerdict {
    double Time = 0;        // t_р [s]
    double CrowdTime = 0;   // t_ск [s]
    double StartDelay = 0;  // t_нэ [s]
    std::vector<RouteRoom> Rooms;
    std::optional<Verdict> Outcome;     // the worst of its rooms
    std::string Reason;                 // why "не определено", in Russian
    std::optional<double> Probability;  // P_э: the lowest of its rooms; none when it cannot be told
    std::string ProbabilityReason;      // why P_э is not given
};

// The whole verdict of a finished run.
struct RunVerdict {
    RunReach Reach;
    double EndTime = 0;       // t_end [s]
    double SafetyFactor = kDefaultSafetyFactor;  // f [-]
    std::vector<RoomVerdict> Rooms;  // in room order
    zf::flow::FlowResult Flow;         // the routes' flows, by route and segment
    std::vector<RouteVerdict> Routes;  // by route; empty when the routes were refused
    std::string RoutesRefused;         // why the routes were not computed, in Russian; empty otherwise
    std::optional<Verdict> Building;   // the worst of the rooms' and the routes'
    std::string Reason;  // why the building's verdict is "не определено", in Russian; empty otherwise
};

// Every room of the scenario judged after its run (the critical times read in place). The one
// judge of every window, table, report, file and study.
RunVerdict JudgeRun(const zf::TzoneMath& zm, const EvacuationInputs& inputs);

// A room's critical times by zf::HazardKind.
std::array<double, zf::kHazardCount> CriticalTimesOf(const zf::TRoom& room);

}  // namespace zfreport
