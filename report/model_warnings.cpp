#include "model_warnings.h"

#include <algorithm>
#include <cmath>

#include "model/number_text.h"

namespace zfreport {

namespace {

// The upper-layer temperature of the last recorded sample [K]; NaN when nothing was recorded.
double FinalLayerTemperature(const zf::TRoom& room, int samples) {
    if (samples <= 0 || room.Samples.empty()) return std::nan("");
    const std::size_t last = std::min(room.Samples.size(), static_cast<std::size_t>(samples)) - 1;
    return room.Samples[last].T2;
}

}  // namespace

std::vector<int> RoomsHotterThanFireRoom(const zf::TzoneMath& zm) {
    std::vector<int> rooms;
    if (zm.Rooms.size() < 2) return rooms;
    const double fire = FinalLayerTemperature(*zm.Rooms.front(), zm.SampleCount);
    for (std::size_t i = 1; i < zm.Rooms.size(); ++i)
        if (FinalLayerTemperature(*zm.Rooms[i], zm.SampleCount) > fire) rooms.push_back(static_cast<int>(i));
    return rooms;
}

std::string HotterThanFireRoomWarning(const zf::TzoneMath& zm) {
    const std::vector<int> rooms = RoomsHotterThanFireRoom(zm);
    if (rooms.empty()) return {};
    std::string names;
    for (int i : rooms) names += (names.empty() ? "" : ", ") + std::string("№") + std::to_string(i + 1);
    std::string text = std::string(rooms.size() > 1 ? "В помещениях " : "В помещении ") + names +
                       " температура верхнего слоя к концу расчета выше, чем в помещении очага пожара (№1). "
                       "Тепло в эти помещения приходит только из помещения очага, так что это погрешность модели, а не свойство здания.";
    if (!zm.Options.ConsistentOutflow)
        text += " Вероятная причина — энергия, которую эталонная модель создает в проемах с меняющимся направлением "
                "потока. Включите «Согласованный уход газов через проемы» (меню «Правка» → «Модели расчета...»; в файле "
                "сценария — ключ \"consistent_outflow\") или уменьшите шаг расчета и сравните результаты.";
    else
        text += " Уменьшите шаг расчета и сравните результаты.";
    return text;
}

std::string GuardEnergyWarning(const zf::TzoneMath& zm) {
    if (!zm.Options.HeatLoss.Enabled) return {};
    const double share = zm.GuardEnergyFraction();
    if (!(share > kGuardEnergyWarnShare)) return {};
    return "Балансы слоев дыма в этом здании численно ненадежны: поправка, удерживающая остывший слой на "
           "плотности наружного воздуха, добавила " + zf::PlainNumberText(100 * share, ",", 1) +
           " % тепла пожара (допустимо до 1 %). Уменьшите шаг расчета.";
}

std::vector<std::string> RunWarnings(const zf::TzoneMath& zm) {
    std::vector<std::string> all;
    for (std::string w : {HotterThanFireRoomWarning(zm), GuardEnergyWarning(zm)})
        if (!w.empty()) all.push_back(std::move(w));
    return all;
}

}  // namespace zfreport
