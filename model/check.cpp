// The input check before a run: inputs that are bound to fail before any result exists are
// refused with a message naming the field (by its label in the main window) and the room.

#include <climits>
#include <cmath>
#include <string>

#include "model/constants.h"
#include "model/inputs.h"
#include "model/number_text.h"
#include "model/scenario.h"

namespace zf {

namespace {

// Numbers in the windows' format, as the user reads them in the main window.
std::string Num(double v) { return MessageNumberText(v); }

// The largest room the check accepts in any dimension [m]: beyond it the input is a typing
// slip, not a building, and its volumes overflow the averaging of the samples.
constexpr double kMaxRoomSize = 1000;

// The recorded samples must stay well inside the machine's memory.
constexpr double kMaxSampleBytes = 2.0 * 1024 * 1024 * 1024;

// A model input that is no finite number, or a step, temperature, limit or recording rate
// that cannot be used.
std::string RefusedNumber(const TzoneMath& z) {
    // The scenario's inputs by the captions of their fields; the area limit has words of its own.
    for (const Input& input : kInputs) {
        if (input.Model == nullptr) continue;
        const double value = z.*input.Model;
        if (!std::isfinite(value))
            return "Значение поля \"" + std::string(input.Label) + "\" не является конечным числом.";
        // A critical value outside its range is a slip, not a criterion.
        if (input.Group == InputGroup::Critical)
            if (const std::string why = OutOfRange(input, value); !why.empty())
                return "Критическое значение (\"" + std::string(input.Label) + "\"): " + why + ".";
    }

    const double areaMax = z.Options.FireAreaMax;  // [m²]
    if (!std::isfinite(areaMax))
        return "Наибольшая площадь, занимаемая пожарной нагрузкой, не является конечным числом.";
    if (areaMax < 0)
        return "Наибольшая площадь, занимаемая пожарной нагрузкой, не может быть отрицательной, задано " +
               Num(areaMax) + " м² (0 - без ограничения).";
    if (z.dt <= 0) return "Шаг расчета (\"Шаг, c:\") должен быть больше нуля, задано " + Num(z.dt) + ".";
    if (z.T0 <= 0)
        return "Температура наружного воздуха (\"T0, К\") должна быть больше нуля, задано " + Num(z.T0) + ".";
    if (!std::isfinite(OutsideAirDensity(z.T0)))
        return "Температура наружного воздуха (\"T0, К\") " + Num(z.T0) +
               " К слишком мала: плотность наружного воздуха не выражается числом.";
    if (z.SamplesPerSec <= 0)
        return "Число записей результатов в секунду должно быть больше нуля, задано " + Num(z.SamplesPerSec) + ".";
    return {};
}

// Steps, steps per sample and samples that do not fit the run's counts or the memory.
std::string RefusedCounts(const TzoneMath& z) {
    const double steps = std::nearbyint(z.SimTime / z.dt);
    if (!(steps <= INT_MAX && steps >= INT_MIN))
        return "Слишком много шагов расчета: время моделирования " + Num(z.SimTime) + " с при шаге " + Num(z.dt) +
               " с дает " + Num(steps) + " шагов, допустимо не более " + Num(INT_MAX) + ".";
    const double perSample = std::nearbyint((1.0 / z.SamplesPerSec) / z.dt);
    if (!(perSample <= INT_MAX))
        return "Шаг расчета " + Num(z.dt) + " с слишком мал: на одну запись результатов (" +
               Num(1.0 / z.SamplesPerSec) + " с) приходится более " + Num(INT_MAX) + " шагов.";
    const double samples = std::nearbyint(z.SimTime * z.SamplesPerSec);
    if (!(samples <= INT_MAX))
        return "Слишком много записей результатов: " + Num(samples) + ", допустимо не более " +
               Num(INT_MAX) + ". Уменьшите время моделирования.";
    if (perSample > 0 && steps > 1) {
        const double recorded = std::floor((steps - 1) / perSample) + 1;
        const double bytes = recorded * static_cast<double>(z.Rooms.size()) * sizeof(ResultSample);
        if (bytes > kMaxSampleBytes)
            return "Слишком много записей результатов (" + Num(recorded) + " на помещение): " +
                   "уменьшите время моделирования или увеличьте шаг расчета.";
    }
    return {};
}

// Room n's sizes, and the working zone below its ceiling.
std::string RefusedRoom(const TzoneMath& z, int n) {
    const TRoom& r = *z.Rooms[static_cast<std::size_t>(n)];
    const struct {
        double value;
        const char* what;
    } sizes[] = {{r.Length, "длина"}, {r.Width, "ширина"}, {r.Height, "высота"}};
    for (const auto& s : sizes) {
        if (!std::isfinite(s.value)) return RoomTitle(n) + ": " + s.what + " не является конечным числом.";
        if (s.value <= 0)
            return RoomTitle(n) + ": " + s.what + " должна быть больше нуля, задано " + Num(s.value) + " м.";
        if (s.value > kMaxRoomSize)
            return RoomTitle(n) + ": " + s.what + " " + Num(s.value) + " м больше " + Num(kMaxRoomSize) +
                   " м: проверьте размеры помещения.";
    }
    if (z.hr >= r.Height)
        return RoomTitle(n) + ": высота рабочей зоны (\"hr, м\") " + Num(z.hr) + " м не ниже высоты помещения " +
               Num(r.Height) + " м.";
    return {};
}

}  // namespace

std::string TzoneMath::CheckInputs() const {
    if (std::string why = RefusedNumber(*this); !why.empty()) return why;
    if (std::string why = RefusedCounts(*this); !why.empty()) return why;
    for (int n = 0; n < RoomCount(); ++n)
        if (std::string why = RefusedRoom(*this, n); !why.empty()) return why;
    return {};
}

}  // namespace zf
