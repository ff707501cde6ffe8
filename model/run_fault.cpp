// Why a run failed, in words an engineer can act on.

#include <string>

#include "model/room.h"
#include "model/run_fault.h"
#include "model/number_text.h"

namespace zf {

namespace {

// What avoids a layer that became non-physical: the heat-loss model (whose loss cannot
// overflow and whose neutral layer drives no flow) or a smaller step.
constexpr const char* kAvoidAdvice =
    "Включите учет теплопотерь в ограждающие конструкции (ключ \"heat_loss\") или уменьшите шаг расчета.";

std::string RoomName(int room) { return "помещения №" + std::to_string(room + 1); }

const char* KindText(FaultKind kind) {
    switch (kind) {
        case FaultKind::DivisionByZero: return "деление на ноль";
        case FaultKind::InvalidOperation: return "недопустимая операция (например, корень из отрицательного числа)";
        case FaultKind::Overflow: return "переполнение (число слишком велико)";
        case FaultKind::BadSampling: return "шаг расчета больше интервала записи результатов";
        case FaultKind::Preparation: return "недопустимые шаг, время моделирования или температура";
        case FaultKind::NoFireRoom: return "в здании нет ни одного помещения";
        case FaultKind::OutOfMemory: return "недостаточно памяти для записи результатов";
        case FaultKind::None: break;
    }
    return "";
}

const char* QuantityText(Quantity q) {
    switch (q) {
        case Quantity::BurningArea: return "площадь очага пожара";
        case Quantity::HeatRelease: return "мощность тепловыделения очага";
        case Quantity::PlumeFlow: return "производительность конвективной колонки";
        case Quantity::Inflow: return "поступление газа через проемы";
        case Quantity::HeatLoss: return "теплопотери в ограждающие конструкции";
        case Quantity::PredictedInterface: return "прогноз координаты задымленной зоны";
        case Quantity::PredictedDensity: return "прогноз плотности газа в зоне задымления";
        case Quantity::PredictedTemperature: return "прогноз температуры газа в зоне задымления";
        case Quantity::OpeningFlow: return "расход газов через проем";
        case Quantity::Interface: return "координата задымленной зоны";
        case Quantity::Density: return "плотность газа в зоне задымления";
        case Quantity::Temperature: return "температура газа в зоне задымления";
        case Quantity::WorkingZoneTemperature: return "температура в рабочей зоне";
        case Quantity::Visibility: return "дальность видимости в рабочей зоне";
        case Quantity::Oxygen: return "парциальная плотность кислорода в рабочей зоне";
        case Quantity::CO: return "парциальная плотность оксида углерода в рабочей зоне";
        case Quantity::CO2: return "парциальная плотность диоксида углерода в рабочей зоне";
        case Quantity::HCl: return "парциальная плотность хлороводорода в рабочей зоне";
        case Quantity::Radiation: return "тепловое излучение";
        case Quantity::Sampling: return "запись результатов";
        case Quantity::RunCounts: return "число шагов и записей расчета";
        case Quantity::FireRoomMissing: return "очаг пожара";
        case Quantity::None: break;
    }
    return "";
}

}  // namespace

std::string DescribeFault(const RunFault& f) {
    if (!f.Failed()) return {};
    switch (f.Kind) {
        case FaultKind::NoFireRoom:
            return "В здании нет ни одного помещения: негде развиваться пожару.";
        case FaultKind::BadSampling:
            return "Шаг расчета " + MessageNumberText(f.StepLength) + " с больше интервала записи результатов " +
                   MessageNumberText(f.SampleInterval) + " с: уменьшите шаг.";
        case FaultKind::Preparation:
            return "Расчет не начат: из шага расчета, времени моделирования и температуры наружного воздуха "
                   "не получить число шагов и плотность наружного воздуха (шаг и температура должны быть "
                   "положительными и не слишком малыми, число шагов - не слишком большим).";
        case FaultKind::OutOfMemory:
            return "Недостаточно памяти для записи результатов: уменьшите время моделирования или увеличьте шаг.";
        default: break;
    }
    std::string opening;  // which opening, for a flow
    if (f.What == Quantity::OpeningFlow && f.Column >= 0)
        opening = f.Column == f.Room ? " наружу (проем №" + std::to_string(f.Face + 1) + ")"
                                     : " в помещение №" + std::to_string(f.Column + 1);
    if (f.What == Quantity::OpeningFlow && f.DenserThanAir)
        return "Плотность газа в зоне задымления " + RoomName(f.Room) +
               " стала больше плотности наружного воздуха: расход газов через проем" + opening +
               " не определен (" + KindText(f.Kind) + "); слой стал нефизичным на шаге №" + std::to_string(f.Step) +
               ". " + kAvoidAdvice;
    if (f.What == Quantity::HeatLoss)
        return RoomTitle(f.Room) + ": не удалось вычислить " + QuantityText(f.What) + " на шаге №" +
               std::to_string(f.Step) + " (" + KindText(f.Kind) +
               "): температура газа в зоне задымления стала нефизичной. " + kAvoidAdvice;
    std::string text = f.Room >= 0 ? RoomTitle(f.Room) + ": не" : "Не";
    if (f.What == Quantity::None) return text + " удалось выполнить шаг расчета: " + KindText(f.Kind) + ".";
    text += std::string(" удалось вычислить ") + QuantityText(f.What);
    if (f.What == Quantity::OpeningFlow) text += opening;
    return text + ": " + KindText(f.Kind) + ".";
}

}  // namespace zf
