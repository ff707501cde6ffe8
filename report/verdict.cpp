#include "verdict.h"

#include <algorithm>
#include <cmath>
#include <limits>

namespace zfreport {

std::optional<EvacuationInput> EvacuationInputs::Room(int index) const {
    if (index < 0 || static_cast<std::size_t>(index) >= Rooms.size()) return std::nullopt;
    return Rooms[static_cast<std::size_t>(index)];
}

bool EvacuationInputs::Any() const {
    return std::any_of(Rooms.begin(), Rooms.end(), [](const auto& r) { return r.has_value(); });
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

RoomVerdict JudgeRoom(const std::array<double, zf::kHazardCount>& critTimes, double endTime,
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
    if (v.BlockingTime) {
        const double allowed = safetyFactor * *v.BlockingTime;  // f · t_бл [s]
        v.Allowed = allowed;
        v.Margin = allowed - required;
        v.Outcome = required <= allowed ? Verdict::Safe : Verdict::Unsafe;
    } else {
        // Nothing blocked the route while the run lasted: people who are out by f · t_end are
        // safe; otherwise the run ended too early to tell.
        v.Outcome = required <= safetyFactor * endTime ? Verdict::Safe : Verdict::Undetermined;
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

double RunEndTime(const zf::TzoneMath& zm) {
    if (zm.LastFault.Failed()) return std::max(zm.Iter - 1, 0) * zm.dt;
    if (zm.Stopped) return zm.Iter * zm.dt;
    return zm.SimTime;
}

std::array<double, zf::kHazardCount> CriticalTimesOf(const zf::TRoom& room) {
    std::array<double, zf::kHazardCount> times{};
    for (int k = 0; k < zf::kHazardCount; ++k) times[static_cast<std::size_t>(k)] = room.CritTimeOf(static_cast<zf::HazardKind>(k));
    return times;
}

RunVerdict JudgeRun(const zf::TzoneMath& zm, const EvacuationInputs& inputs) {
    RunVerdict run;
    run.EndTime = RunEndTime(zm);
    run.SafetyFactor = inputs.SafetyFactor;
    for (int i = 0; i < zm.RoomCount(); ++i)
        run.Rooms.push_back(JudgeRoom(CriticalTimesOf(*zm.Rooms[static_cast<std::size_t>(i)]), run.EndTime,
                                      inputs.Room(i), inputs.SafetyFactor));
    run.Building = BuildingVerdictOf(run.Rooms);
    return run;
}

}  // namespace zfreport
