#include "step_check.h"

#include <algorithm>
#include <cmath>

#include "critical_times.h"
#include "model/number_text.h"

namespace zfreport {

namespace {

std::optional<double> Reached(double t) { return t > 0 ? std::optional<double>(t) : std::nullopt; }

// The room's blocking time: its smallest reached critical time [s]; none when none was reached.
std::optional<double> BlockingTime(const zf::TRoom& r) {
    std::optional<double> earliest;
    for (int k = 0; k < zf::kHazardCount; ++k)
        if (const auto t = Reached(r.CritTimeOf(static_cast<zf::HazardKind>(k))); t && (!earliest || *t < *earliest))
            earliest = t;
    return earliest;
}

StepCheckRow Compare(int room, std::string factor, std::optional<double> coarse, std::optional<double> fine) {
    StepCheckRow row{room, std::move(factor), coarse, fine, std::nullopt, false};
    if (coarse && fine) {
        row.Shift = std::abs(*coarse - *fine) / *fine;
        row.TooLarge = *row.Shift > kStepCheckLimit;
    } else {
        row.TooLarge = coarse.has_value() != fine.has_value();  // reached at one step only
    }
    return row;
}

std::string TimeText(const std::optional<double>& t) { return t ? zf::PlainNumberText(*t, ",", 2) : "—"; }

}  // namespace

bool StepCheck::TooLarge() const {
    return !CoarseCompleted || !FineCompleted ||
           std::any_of(Rows.begin(), Rows.end(), [](const StepCheckRow& r) { return r.TooLarge; });
}

double StepCheck::LargestShift() const {
    double largest = 0;
    for (const StepCheckRow& r : Rows)
        if (r.Shift) largest = std::max(largest, *r.Shift);
    return largest;
}

StepCheck CompareSteps(const zf::TzoneMath& coarse, bool coarseOk, const zf::TzoneMath& fine, bool fineOk) {
    StepCheck check;
    check.Step = coarse.dt;
    check.CoarseCompleted = coarseOk && !coarse.Stopped;
    check.FineCompleted = fineOk && !fine.Stopped;
    if (!coarseOk) check.CoarseFault = zf::DescribeFault(coarse.LastFault);
    if (!fineOk) check.FineFault = zf::DescribeFault(fine.LastFault);
    const std::size_t rooms = std::min(coarse.Rooms.size(), fine.Rooms.size());
    for (std::size_t i = 0; i < rooms; ++i) {
        const zf::TRoom& a = *coarse.Rooms[i];
        const zf::TRoom& b = *fine.Rooms[i];
        for (int k = 0; k < zf::kHazardCount; ++k) {
            const auto kind = static_cast<zf::HazardKind>(k);
            check.Rows.push_back(Compare(static_cast<int>(i), std::string(kHazardShortNames[k]), Reached(a.CritTimeOf(kind)),
                                         Reached(b.CritTimeOf(kind))));
        }
        check.Rows.push_back(Compare(static_cast<int>(i), "t_бл", BlockingTime(a), BlockingTime(b)));
    }
    return check;
}

std::string StepCheckText(const StepCheck& c) {
    const std::string dt = zf::MessageNumberText(c.Step), half = zf::MessageNumberText(c.Step / 2);
    std::string text;
    if (!c.CoarseCompleted || !c.FineCompleted) {
        text = "Проверка шага не завершена: расчет с шагом " + (c.CoarseCompleted ? half : dt) +
               " с не дошел до конца. " + (c.CoarseCompleted ? c.FineFault : c.CoarseFault) + "\n";
    } else if (c.TooLarge()) {
        text = "Шаг расчета " + dt + " с слишком велик: при шаге " + half + " с критические времена сдвигаются более чем на " +
               zf::PlainNumberText(100 * kStepCheckLimit, ",", 0) + " % (наибольший сдвиг " +
               zf::PlainNumberText(100 * c.LargestShift(), ",", 1) + " %) или достигаются только при одном из шагов. "
               "Уменьшите шаг и повторите проверку.\n";
    } else {
        text = "Шаг расчета " + dt + " с достаточен: при шаге " + half + " с критические времена и время блокирования "
               "сдвигаются не более чем на " + zf::PlainNumberText(100 * c.LargestShift(), ",", 1) + " % (допустимо " +
               zf::PlainNumberText(100 * kStepCheckLimit, ",", 0) + " %).\n";
    }
    text += "Помещение | фактор | t при шаге " + dt + " с | t при шаге " + half + " с | сдвиг, %\n";
    for (const StepCheckRow& r : c.Rows) {
        if (!r.Coarse && !r.Fine) continue;  // reached in neither run: nothing moved
        text += "№" + std::to_string(r.Room + 1) + " | " + r.Factor + " | " + TimeText(r.Coarse) + " | " + TimeText(r.Fine) +
                " | " + (r.Shift ? zf::PlainNumberText(100 * *r.Shift, ",", 1) : std::string("—")) +
                (r.TooLarge ? " | слишком велик" : "") + "\n";
    }
    return text;
}

std::string StepCheckCsv(const StepCheck& c, const std::string& caseName) {
    std::string csv;
    auto number = [](const std::optional<double>& v) { return v ? zf::NumberText(*v) : std::string(); };
    for (const StepCheckRow& r : c.Rows)
        csv += caseName + "," + std::to_string(r.Room + 1) + "," + r.Factor + "," + number(r.Coarse) + "," + number(r.Fine) + "," +
               number(r.Shift) + "," + (r.TooLarge ? "1" : "0") + "\n";
    return csv;
}

}  // namespace zfreport
