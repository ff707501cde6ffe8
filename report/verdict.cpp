#include "verdict.h"

#include <algorithm>
#include <cmath>
#include <limits>

#include "model/number_text.h"
#include "route_verdict.h"

namespace zfreport {

std::optional<EvacuationInput> EvacuationInputs::Room(int index) const {
    if (index < 0 || static_cast<std::size_t>(index) >= Rooms.size()) return std::nullopt;
    return Rooms[static_cast<std::size_t>(index)];
}

bool EvacuationInputs::Any() const {
    return !Routes.empty() || std::any_of(Rooms.begin(), Rooms.end(), [](const auto& r) { return r.has_value(); });
}

std::string CheckEvacuationInput(const EvacuationInput& input, std::string_view who) {
    auto refuse = [&](std::string_view what) {
        return std::string(who) + ": " + std::string(what) + " должно быть конечным неотрицательным числом, с";
    };
    if (!std::isfinite(input.StartDelay) || input.StartDelay < 0) return refuse("время начала эвакуации t_нэ");
    if (!std::isfinite(input.Duration) || input.Duration < 0) return refuse("время эвакуации t_р");
    return {};
}

std::string CheckSafetyFactor(double f) {
    // NaN fails both comparisons, so it is refused too.
    if (!(f > 0 && f <= 1)) return "коэффициент безопасности должен быть больше 0 и не больше 1";
    return {};
}

std::string_view VerdictKey(Verdict v) {
    switch (v) {
        case Verdict::Safe: return "safe";
        case Verdict::Unsafe: return "unsafe";
        case Verdict::Undetermined: return "undetermined";
    }
    return {};
}

std::string_view VerdictText(Verdict v) {
    switch (v) {
        case Verdict::Safe: return "безопасно";
        case Verdict::Unsafe: return "опасно";
        case Verdict::Undetermined: return "не определено";
    }
    return {};
}

std::string_view HazardFactorText(zf::HazardKind kind) {
    switch (kind) {
        case zf::hkTemperature: return "повышенная температура";
        case zf::hkOxygen: return "пониженное содержание кислорода";
        case zf::hkVisibility: return "потеря видимости в дыму";
        case zf::hkCO: return "оксид углерода";
        case zf::hkCO2: return "диоксид углерода";
        case zf::hkHCl: return "хлороводород";
        case zf::hkRadiation: return "тепловое излучение";
    }
    return {};
}

namespace {

// A time or a rate of the run without the rounding noise of a product of steps [s].
double WithoutProductNoise(double seconds) {
    constexpr double kMicrosecondsPerSecond = 1e6;
    return std::round(seconds * kMicrosecondsPerSecond) / kMicrosecondsPerSecond;
}

// A time in a Russian sentence, to the tenth of a second: rounded down for what the run
// reached, up for what people need, so the one never reads as reaching the other.
std::string TenthsText(double seconds, double (*round)(double)) {
    constexpr double kTenthsPerSecond = 10;
    return zf::GeneralNumberText(round(WithoutProductNoise(seconds) * kTenthsPerSecond) / kTenthsPerSecond, ",");
}

// Why a completed run is too short: its reach lies before (t_нэ + t_р) / f.
std::string TooShort(const RunReach& reach, double required, double f) {
    return "время моделирования " + TenthsText(reach.Time, std::floor) + " с меньше требуемого (t_нэ + t_р)/" +
           zf::GeneralNumberText(f, ",") + " = " + TenthsText(required / f, std::ceil) +
           " с (увеличьте время моделирования)";
}

}  // namespace

RunReach RunReachOf(const zf::TzoneMath& zm) {
    RunReach reach;
    reach.Step = zm.Iter;
    if (zm.LastFault.Failed()) {
        reach.End = RunEnd::Failed;
        reach.Time = WithoutProductNoise(std::max(zm.Iter - 1, 0) * zm.dt);
        return reach;
    }
    reach.End = zm.Stopped ? RunEnd::Stopped : RunEnd::Completed;
    reach.Time = WithoutProductNoise(zm.Iter * zm.dt);
    return reach;
}

std::string RunShortfall(const RunReach& reach) {
    switch (reach.End) {
        case RunEnd::Stopped:
            return "расчет остановлен на " + zf::GeneralNumberText(reach.Time, ",") + " с (выполните расчет до конца)";
        case RunEnd::Failed:
            if (reach.Step == 0) return "расчет не начат: ошибка при подготовке расчета";
            return "расчет прерван на шаге " + std::to_string(reach.Step) + " (устраните причину ошибки)";
        case RunEnd::Completed:
            if (reach.Step == 0) return "расчет не выполнил ни одного шага (увеличьте время моделирования)";
            return {};
    }
    return {};
}

std::string RunEndBanner(const RunReach& reach, std::string_view reachedText) {
    const std::string reached = std::string(reachedText) + " с";
    switch (reach.End) {
        case RunEnd::Stopped: return "Расчет остановлен на " + reached + ": показаны результаты до этого времени";
        case RunEnd::Failed:
            if (reach.Step == 0) return "Расчет не начат: ошибка при подготовке расчета, результатов нет";
            return "Расчет прерван ошибкой на " + reached + ": показаны результаты до этого времени";
        case RunEnd::Completed: return {};
    }
    return {};
}

RoomVerdict JudgeRoom(const std::array<double, zf::kHazardCount>& critTimes, const RunReach& reach,
                      const std::optional<EvacuationInput>& evacuation, double safetyFactor) {
    RoomVerdict v;
    // 0 is "not reached", never the blocking time.
    double earliest = std::numeric_limits<double>::infinity();
    for (double t : critTimes)
        if (t > 0 && std::isfinite(t)) earliest = std::min(earliest, t);
    if (std::isfinite(earliest)) {
        v.BlockingTime = earliest;
        for (int k = 0; k < zf::kHazardCount; ++k)
            if (critTimes[static_cast<std::size_t>(k)] == earliest) v.BlockingFactors.push_back(static_cast<zf::HazardKind>(k));
    }
    if (!evacuation) return v;

    v.Evacuation = evacuation;
    const double required = evacuation->StartDelay + evacuation->Duration;  // t_нэ + t_р [s]
    v.Required = required;
    if (v.BlockingTime) v.Allowed = safetyFactor * *v.BlockingTime;  // f · t_бл [s]
    // A run that did not run its course judges nothing: what it left uncomputed may block the
    // route sooner, or later.
    if (std::string shortfall = RunShortfall(reach); !shortfall.empty()) {
        v.Outcome = Verdict::Undetermined;
        v.Reason = std::move(shortfall);
    } else if (v.Allowed) {
        v.Margin = *v.Allowed - required;
        v.Outcome = required <= *v.Allowed ? Verdict::Safe : Verdict::Unsafe;
    } else if (required <= safetyFactor * reach.Time) {
        // No limit was reached while the run lasted, and people are out by f · t_end.
        v.Outcome = Verdict::Safe;
    } else {
        v.Outcome = Verdict::Undetermined;
        v.Reason = TooShort(reach, required, safetyFactor);
    }
    return v;
}

std::optional<Verdict> BuildingVerdictOf(const std::vector<RoomVerdict>& rooms) {
    auto any = [&](Verdict which) {
        return std::any_of(rooms.begin(), rooms.end(), [&](const RoomVerdict& r) { return r.Outcome == which; });
    };
    if (any(Verdict::Unsafe)) return Verdict::Unsafe;
    if (any(Verdict::Undetermined)) return Verdict::Undetermined;
    if (any(Verdict::Safe)) return Verdict::Safe;
    return std::nullopt;
}

double RunEndTime(const zf::TzoneMath& zm) { return RunReachOf(zm).Time; }

double ShownMargin(double margin) {
    constexpr double kTenthsPerSecond = 10;
    const double shown = std::floor(WithoutProductNoise(margin) * kTenthsPerSecond) / kTenthsPerSecond;
    return shown == 0 ? 0.0 : shown;  // no "-0"
}

std::string MarginText(const RoomVerdict& room, std::string_view decimalSeparator) {
    if (!room.Margin || (room.Outcome != Verdict::Safe && room.Outcome != Verdict::Unsafe)) return "—";
    double shown = ShownMargin(*room.Margin);
    // A margin rounded down to 0 may still be a hair's breadth negative: "опасно" shows its deficit.
    if (room.Outcome == Verdict::Unsafe && shown >= 0) shown = -0.1;
    std::string digits = zf::PlainNumberText(std::fabs(shown), decimalSeparator, 1);
    const char* sign = shown > 0 ? "+" : shown < 0 ? "−" : "";
    return sign + digits + " с";
}

std::array<double, zf::kHazardCount> CriticalTimesOf(const zf::TRoom& room) {
    std::array<double, zf::kHazardCount> times{};
    for (int k = 0; k < zf::kHazardCount; ++k) times[static_cast<std::size_t>(k)] = room.CritTimeOf(static_cast<zf::HazardKind>(k));
    return times;
}

namespace {

// The building's reason: the run's own when it ran short, else each undetermined room's.
std::string BuildingReason(const RunVerdict& run) {
    if (run.Building != Verdict::Undetermined) return {};
    if (std::string shortfall = RunShortfall(run.Reach); !shortfall.empty()) return shortfall;
    std::string reason;
    for (std::size_t i = 0; i < run.Rooms.size(); ++i) {
        if (run.Rooms[i].Outcome != Verdict::Undetermined) continue;
        if (!reason.empty()) reason += "; ";
        reason += "№" + std::to_string(i + 1) + ": " + run.Rooms[i].Reason;
    }
    for (std::size_t i = 0; i < run.Routes.size(); ++i) {
        if (run.Routes[i].Outcome != Verdict::Undetermined) continue;
        if (!reason.empty()) reason += "; ";
        reason += "путь " + std::to_string(i + 1) + ": " + run.Routes[i].Reason;
    }
    if (!run.RoutesRefused.empty()) reason += (reason.empty() ? "" : "; ") + run.RoutesRefused;
    return reason;
}

// The escape routes' flows and verdicts; routes the computation refuses get none, and say why.
void JudgeRunRoutes(const zf::TzoneMath& zm, const EvacuationInputs& inputs, RunVerdict& run) {
    if (inputs.Routes.empty()) return;
    const zf::flow::RouteCheck check = zf::flow::CheckRoutes(inputs.Routes, zm.RoomCount());
    if (!check.Refusals.empty()) {
        run.RoutesRefused = zf::flow::ProblemPlace(check.Refusals.front()) + ": " + check.Refusals.front().Text;
        return;
    }
    run.Flow = zf::flow::ComputeFlow(inputs.Routes);
    run.Routes = JudgeRoutes(zm, run.Reach, inputs.Routes, run.Flow, inputs.SafetyFactor);
}

}  // namespace

RunVerdict JudgeRun(const zf::TzoneMath& zm, const EvacuationInputs& inputs) {
    RunVerdict run;
    run.Reach = RunReachOf(zm);
    run.EndTime = run.Reach.Time;
    run.SafetyFactor = inputs.SafetyFactor;
    for (int i = 0; i < zm.RoomCount(); ++i)
        run.Rooms.push_back(JudgeRoom(CriticalTimesOf(*zm.Rooms[static_cast<std::size_t>(i)]), run.Reach,
                                      inputs.Room(i), inputs.SafetyFactor));
    JudgeRunRoutes(zm, inputs, run);
    std::vector<RoomVerdict> judged = run.Rooms;
    for (const RouteVerdict& route : run.Routes) {
        judged.emplace_back();
        judged.back().Outcome = route.Outcome;
    }
    if (!run.RoutesRefused.empty()) judged.push_back(RoomVerdict{.Outcome = Verdict::Undetermined});
    run.Building = BuildingVerdictOf(judged);
    run.Reason = BuildingReason(run);
    return run;
}

}  // namespace zfreport
