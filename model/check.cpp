// The input check before a run: inputs that are bound to fail before any result exists, and
// buildings that cannot exist, are refused with a message naming the field (by its label in
// the main window), the room or the opening; values that look like a slip are warned of.

#include <algorithm>
#include <climits>
#include <cmath>
#include <string>
#include <vector>

#include "model/constants.h"
#include "model/input_warnings.h"
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

// "проема №2 клетки [1, 2] (дверь между помещениями 1 и 2)" or "проема №1 клетки [3, 3]
// (наружу)", as the main window's matrix and opening table show it; 0-based arguments.
std::string OpeningTitle(int row, int col, std::size_t k) {
    return "проема №" + std::to_string(k + 1) + " клетки [" + std::to_string(row + 1) + ", " + std::to_string(col + 1) +
           "]" + (row == col ? " (наружу)" : " (дверь между помещениями " + std::to_string(row + 1) + " и " +
                                                 std::to_string(col + 1) + ")");
}

// The longest and the shortest wall of a box room [m]: its length and its width.
double LongestWall(const TRoom& r) { return std::max(r.Length, r.Width); }
double ShortestWall(const TRoom& r) { return std::min(r.Length, r.Width); }

// One face of cell (row, col): sizes that are no length, and a width no wall of its rooms can
// hold. An opening between a room and itself cannot be written: cell (i, i) is room i's
// opening to the outside, and a doorway's two rooms are its cell's row and column.
std::string RefusedFace(const TzoneMath& z, int row, int col, std::size_t k) {
    const TProem& face = *z.Proems[static_cast<std::size_t>(row)][static_cast<std::size_t>(col)][k];
    const std::string title = OpeningTitle(row, col, k);
    if (!std::isfinite(face.Width) || !std::isfinite(face.Height))
        return "Размер " + title + " не является конечным числом.";
    if (face.Width < 0 || face.Height < 0)
        return "Размер " + title + " не может быть отрицательным: ширина " + Num(face.Width) + " м, высота " +
               Num(face.Height) + " м.";
    for (const int n : {row, col}) {
        const TRoom& r = *z.Rooms[static_cast<std::size_t>(n)];
        if (face.Width > LongestWall(r))
            return "Ширина " + title + " " + Num(face.Width) + " м больше обеих стен помещения №" +
                   std::to_string(n + 1) + " (" + Num(r.Length) + " и " + Num(r.Width) +
                   " м): такой проем в помещении не помещается. Исправьте ширину проема или размеры помещения.";
    }
    return {};
}

std::string RefusedOpenings(const TzoneMath& z) {
    const int n = z.RoomCount();
    for (int row = 0; row < n; ++row)
        for (int col = row; col < n; ++col)  // the cells below the diagonal hold the same doorways
            for (std::size_t k = 0; k < z.Proems[static_cast<std::size_t>(row)][static_cast<std::size_t>(col)].size(); ++k)
                if (std::string why = RefusedFace(z, row, col, k); !why.empty()) return why;
    return {};
}

}  // namespace

std::string TzoneMath::CheckInputs() const {
    if (std::string why = RefusedNumber(*this); !why.empty()) return why;
    if (std::string why = RefusedCounts(*this); !why.empty()) return why;
    for (int n = 0; n < RoomCount(); ++n)
        if (std::string why = RefusedRoom(*this, n); !why.empty()) return why;
    return RefusedOpenings(*this);
}

// ---- Warnings ------------------------------------------------------------------------------

namespace {

void WarnOfUnits(const TzoneMath& z, std::vector<InputWarning>& out) {
    if (z.Qn < kLeastHeatOfCombustion)
        out.push_back({WarningSubject::HeatOfCombustion, -1, -1,
                       "Теплота сгорания Qн = " + Num(z.Qn) + " Дж/кг меньше 1 МДж/кг: похоже, она введена в МДж/кг. "
                       "Поле Qн — в Дж/кг: " + Num(z.Qn) + " МДж/кг вводится как " + Num(z.Qn * 1e6) + "."});
    if (z.T0 < kLeastInitialTemperature)
        out.push_back({WarningSubject::InitialTemperature, -1, -1,
                       "Начальная температура T0 = " + Num(z.T0) + " К ниже 200 К: похоже, она введена в °C. "
                       "Поле T0 — в кельвинах: " + Num(z.T0) + " °C — это " + Num(z.T0 + 273) + " К."});
}

void WarnOfRooms(const TzoneMath& z, std::vector<InputWarning>& out) {
    for (int n = 0; n < z.RoomCount(); ++n) {
        const TRoom& r = *z.Rooms[static_cast<std::size_t>(n)];
        const double volume = r.Length * r.Width * r.Height;  // [m³]
        if (volume > kLargestRoomVolume)
            out.push_back({WarningSubject::Room, n, -1,
                           RoomTitle(n) + ": объем " + Num(volume) + " м³ больше 1 000 000 м³ (" + Num(r.Length) +
                               " × " + Num(r.Width) + " × " + Num(r.Height) +
                               " м): похоже, размеры введены не в метрах. Проверьте длину, ширину и высоту."});
    }
}

// A face wider than a room's shorter wall fits only in its longer one; one higher than a room
// reaches above its ceiling.
void WarnOfFace(const TzoneMath& z, int row, int col, std::size_t k, std::vector<InputWarning>& out) {
    const TProem& face = *z.Proems[static_cast<std::size_t>(row)][static_cast<std::size_t>(col)][k];
    const std::string title = OpeningTitle(row, col, k);
    for (const int n : row == col ? std::vector<int>{row} : std::vector<int>{row, col}) {
        const TRoom& r = *z.Rooms[static_cast<std::size_t>(n)];
        const std::string room = "помещения №" + std::to_string(n + 1);
        if (face.Width > ShortestWall(r))
            out.push_back({WarningSubject::Opening, row, col,
                           "Ширина " + title + " " + Num(face.Width) + " м больше короткой стены " + room + " (" +
                               Num(ShortestWall(r)) + " м): проем помещается только в длинной стене (" +
                               Num(LongestWall(r)) + " м). Проверьте ширину проема и размеры помещения."});
        if (face.Height > r.Height)
            out.push_back({WarningSubject::Opening, row, col,
                           "Высота " + title + " " + Num(face.Height) + " м больше высоты " + room + " (" +
                               Num(r.Height) + " м): верх проема выше потолка. Проверьте высоту проема."});
    }
}

void WarnOfOpenings(const TzoneMath& z, std::vector<InputWarning>& out) {
    const int n = z.RoomCount();
    for (int row = 0; row < n; ++row)
        for (int col = row; col < n; ++col)
            for (std::size_t k = 0; k < z.Proems[static_cast<std::size_t>(row)][static_cast<std::size_t>(col)].size(); ++k)
                WarnOfFace(z, row, col, k, out);
}

// Whether smoke can leave the building from the fire room through the engineer's openings,
// open or closed (a closed door leaks too): a walk along the doorways to a room with an
// opening to the outside. The run's own leak openings are not the engineer's and do not count.
bool FireRoomReachesOutside(const TzoneMath& z) {
    const std::size_t n = z.Rooms.size();
    std::vector<bool> seen(n, false);
    std::vector<std::size_t> next{0};
    seen[0] = true;
    while (!next.empty()) {
        const std::size_t i = next.back();
        next.pop_back();
        if (!z.Proems[i][i].empty()) return true;
        for (std::size_t j = 0; j < n; ++j)
            if (!seen[j] && !z.Proems[i][j].empty()) seen[j] = true, next.push_back(j);
    }
    return false;
}

}  // namespace

std::vector<InputWarning> InputWarnings(const TzoneMath& z) {
    std::vector<InputWarning> warnings;
    WarnOfUnits(z, warnings);
    WarnOfRooms(z, warnings);
    WarnOfOpenings(z, warnings);
    if (z.RoomCount() > 0 && !FireRoomReachesOutside(z))
        warnings.push_back({WarningSubject::FireRoomSealed, 0, -1,
                            "Из помещения очага пожара (помещение №1) нет пути наружу через проемы: ни у него, ни у "
                            "помещений, связанных с ним дверями, нет проема наружу (клетка [i, i] матрицы). Дым "
                            "уходит только через неплотности. Добавьте проем наружу или проверьте двери."});
    return warnings;
}

}  // namespace zf
