// Why a run failed, in words an engineer can act on.

#include <cmath>
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

// The unit of the value RunFault::Value holds for the quantity.
const char* UnitOf(Quantity q) {
    switch (q) {
        case Quantity::BurningArea: return "м²";
        case Quantity::HeatRelease:
        case Quantity::HeatLoss: return "Вт";
        case Quantity::PlumeFlow:
        case Quantity::Inflow:
        case Quantity::OpeningFlow: return "кг/с";
        case Quantity::PredictedInterface:
        case Quantity::Interface:
        case Quantity::Visibility: return "м";
        case Quantity::PredictedDensity:
        case Quantity::Density:
        case Quantity::Oxygen:
        case Quantity::CO:
        case Quantity::CO2:
        case Quantity::HCl: return "кг/м³";
        case Quantity::PredictedTemperature:
        case Quantity::Temperature:
        case Quantity::WorkingZoneTemperature: return "К";
        case Quantity::Radiation: return "Вт/м²";
        default: return "";
    }
}

// "; получено значение: бесконечность К", or nothing when the fault holds no value.
std::string ValueText(const RunFault& f) {
    if (!f.Value) return {};
    const double v = *f.Value;
    std::string text = std::isnan(v)   ? "не число (результат неопределенной операции)"
                       : std::isinf(v) ? (v > 0 ? "бесконечность" : "минус бесконечность")
                                       : MessageNumberText(v);
    if (!std::isnan(v) && *UnitOf(f.What) != '\0') text += std::string(" ") + UnitOf(f.What);
    return "; получено значение: " + text;
}

// What the engineer can do about a fault in the quantity: the fire's own quantities come from
// the fire load; a sample too large to record from a room's sizes; the others from the
// building and the step.
const char* AdviceFor(Quantity q) {
    switch (q) {
        case Quantity::BurningArea:
        case Quantity::HeatRelease:
        case Quantity::PlumeFlow:
            return "Проверьте параметры горючей нагрузки (Qн, Vлин, ψуд, η) и выбор расчета конвективной колонки.";
        case Quantity::Sampling:
            return "Проверьте размеры помещений: значения слишком велики, чтобы их записать.";
        default:
            return "Проверьте размеры помещений и проемов и температуру наружного воздуха или уменьшите шаг расчета.";
    }
}

}  // namespace

std::string DescribeFault(const RunFault& f) {
    if (!f.Failed()) return {};
    switch (f.Kind) {
        case FaultKind::NoFireRoom:
            return "В здании нет ни одного помещения: негде развиваться пожару. Добавьте помещение очага пожара.";
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
               " не определен (" + KindText(f.Kind) + ValueText(f) + "); слой стал нефизичным на шаге №" +
               std::to_string(f.Step) + ". " + kAvoidAdvice;
    if (f.What == Quantity::HeatLoss)
        return RoomTitle(f.Room) + ": не удалось вычислить " + QuantityText(f.What) + " на шаге №" +
               std::to_string(f.Step) + " (" + KindText(f.Kind) + ValueText(f) +
               "): температура газа в зоне задымления стала нефизичной. " + kAvoidAdvice;
    std::string text = f.Room >= 0 ? RoomTitle(f.Room) + ": не" : "Не";
    if (f.What == Quantity::None)
        return text + " удалось выполнить шаг расчета №" + std::to_string(f.Step) + ": " + KindText(f.Kind) + ". " +
               AdviceFor(f.What);
    text += std::string(" удалось вычислить ") + QuantityText(f.What);
    if (f.What == Quantity::OpeningFlow) text += opening;
    return text + ": " + KindText(f.Kind) + ValueText(f) + " (шаг №" + std::to_string(f.Step) + "). " + AdviceFor(f.What);
}

}  // namespace zf
