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

    bool operator==(const EvacuationInputs&) const = default;
    // The room's inputs, none when the room has none or lies beyond the list.
    std::optional<EvacuationInput> Room(int index) const;
    bool Any() const;  // at least one room has inputs
};

// Why an input is refused ("" when it is acceptable): a start delay or a duration must be
// finite and ≥ 0; the safety factor must lie in (0, 1]. `who` names the room in the message.
std::string CheckEvacuationInput(const EvacuationInput& input, std::string_view who);
std::string CheckSafetyFactor(double f);

enum class Verdict {
    Safe,          // people are out in time
    Unsafe,        // the route is blocked before people are out
    Undetermined,  // no factor blocked the route, but the run ended before people were out
};

// "safe", "unsafe", "undetermined": the words of the runner's JSON.
std::string_view VerdictKey(Verdict v);
// "безопасно", "опасно", "не определено": the words of the windows and the report.
std::string_view VerdictText(Verdict v);
// The hazard factor in words, e.g. "повышенная температура" (by HazardKind).
std::string_view HazardFactorText(zf::HazardKind kind);

// What an undetermined verdict tells the user to do.
inline constexpr std::string_view kUndeterminedAdvice =
    "ни один ОФП не достиг критического значения до конца расчета, а эвакуация длится дольше; "
    "увеличьте время моделирования";

// The verdict of one room.
struct RoomVerdict {
    std::optional<double> BlockingTime;     // t_бл, the smallest reached critical time [s]
    std::vector<zf::HazardKind> BlockingFactors;  // every factor reached at exactly t_бл, in HazardKind order
    std::optional<EvacuationInput> Evacuation;  // the inputs judged, if any
    std::optional<double> Required;  // t_нэ + t_р [s]
    std::optional<double> Allowed;   // f · t_бл [s]; none without t_бл
    std::optional<double> Margin;    // Allowed − Required [s]; none without Allowed
    std::optional<Verdict> Outcome;  // none without evacuation inputs
};

// One room judged from its critical times by HazardKind (0: the limit was not reached), the
// time the run reached, t_end [s], its evacuation inputs and the safety factor f:
//  - with t_бл: safe when required ≤ f · t_бл, otherwise unsafe;
//  - without t_бл: safe when required ≤ f · t_end, otherwise undetermined.
RoomVerdict JudgeRoom(const std::array<double, zf::kHazardCount>& critTimes, double endTime,
                      const std::optional<EvacuationInput>& evacuation, double safetyFactor);

// The building's verdict: unsafe if any room is unsafe, else undetermined if any room is,
// else safe; none when no room has a verdict.
std::optional<Verdict> BuildingVerdictOf(const std::vector<RoomVerdict>& rooms);

// t_end, the simulated time a run reached [s]: SimTime when it completed; the last completed
// step's time when it was stopped (step Iter) or failed (in step Iter, so Iter − 1). Critical
// times are stamped the same way, Iter·dt.
double RunEndTime(const zf::TzoneMath& zm);

// The whole verdict of a finished run.
struct RunVerdict {
    double EndTime = 0;       // t_end [s]
    double SafetyFactor = kDefaultSafetyFactor;  // f [-]
    std::vector<RoomVerdict> Rooms;  // in room order
    std::optional<Verdict> Building;
};

// Every room of the scenario judged after its run (the critical times read in place).
RunVerdict JudgeRun(const zf::TzoneMath& zm, const EvacuationInputs& inputs);

// A room's critical times by HazardKind.
std::array<double, zf::kHazardCount> CriticalTimesOf(const zf::TRoom& room);

}  // namespace zfreport
