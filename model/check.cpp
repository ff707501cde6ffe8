// The input check before a run: inputs that are bound to fail before any result exists are
// refused with a message naming the field (by its label in the main window) and the room.

#include <climits>
#include <cmath>
#include <string>

#include "model/constants.h"
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

}  // namespace

std::string TzoneMath::CheckInputs() const {
    struct Field {
        double value;
        const char* label;
    };
    const Field fields[] = {
        {Qn, "Qн, Дж/кг"},  {Vlin, "Vлин, м/с"}, {PsiUd, "Psi уд, кг/м2*с"}, {D, "D, Нп*м2/кг"},
        {Lo2, "Lo2, кг/кг"}, {Lco, "Lco, кг/кг"}, {Lco2, "Lco2, кг/кг"},      {Lhcl, "Lhcl, кг/кг"},
        {Nu, "Nu"},          {T0, "T0, К"},       {hr, "hr, м"},              {SimTime, "Моделир., c:"},
        {dt, "Шаг, c:"}};
    for (const Field& f : fields)
        if (!std::isfinite(f.value)) return std::string("Значение поля \"") + f.label + "\" не является конечным числом.";

    if (!std::isfinite(Options.FireAreaMax))
        return "Наибольшая площадь, занимаемая пожарной нагрузкой, не является конечным числом.";
    if (Options.FireAreaMax < 0)
        return "Наибольшая площадь, занимаемая пожарной нагрузкой, не может быть отрицательной, задано " +
               Num(Options.FireAreaMax) + " м² (0 - без ограничения).";
    if (dt <= 0) return "Шаг расчета (\"Шаг, c:\") должен быть больше нуля, задано " + Num(dt) + ".";
    if (T0 <= 0)
        return "Температура наружного воздуха (\"T0, К\") должна быть больше нуля, задано " + Num(T0) + ".";
    if (!std::isfinite(kAirDensityTimesT / T0))
        return "Температура наружного воздуха (\"T0, К\") " + Num(T0) +
               " К слишком мала: плотность наружного воздуха не выражается числом.";
    if (SamplesPerSec <= 0)
        return "Число записей результатов в секунду должно быть больше нуля, задано " + Num(SamplesPerSec) + ".";

    const double steps = std::nearbyint(SimTime / dt);
    if (!(steps <= INT_MAX && steps >= INT_MIN))
        return "Слишком много шагов расчета: время моделирования " + Num(SimTime) + " с при шаге " + Num(dt) +
               " с дает " + Num(steps) + " шагов, допустимо не более " + Num(INT_MAX) + ".";
    const double perSample = std::nearbyint((1.0 / SamplesPerSec) / dt);
    if (!(perSample <= INT_MAX))
        return "Шаг расчета " + Num(dt) + " с слишком мал: на одну запись результатов (" + Num(1.0 / SamplesPerSec) +
               " с) приходится более " + Num(INT_MAX) + " шагов.";
    const double samples = std::nearbyint(SimTime * SamplesPerSec);
    if (!(samples <= INT_MAX))
        return "Слишком много записей результатов: " + Num(samples) + ", допустимо не более " +
               Num(INT_MAX) + ". Уменьшите время моделирования.";
    if (perSample > 0 && steps > 1) {
        const double recorded = std::floor((steps - 1) / perSample) + 1;
        const double bytes = recorded * static_cast<double>(Rooms.size()) * sizeof(ResultSample);
        if (bytes > kMaxSampleBytes)
            return "Слишком много записей результатов (" + Num(recorded) + " на помещение): " +
                   "уменьшите время моделирования или увеличьте шаг расчета.";
    }

    for (std::size_t i = 0; i < Rooms.size(); ++i) {
        const TRoom& r = *Rooms[i];
        const int n = static_cast<int>(i);
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
        if (hr >= r.Height)
            return RoomTitle(n) + ": высота рабочей зоны (\"hr, м\") " + Num(hr) + " м не ниже высоты помещения " +
                   Num(r.Height) + " м.";
    }
    return {};
}

}  // namespace zf
