#pragma once
// A count with its noun, as Russian agrees them: 1 помещение, 2 помещения, 5 помещений,
// 11 помещений, 21 помещение. The form follows the last two digits: 11–14 take the "many" form,
// otherwise a last digit of 1 takes the "one" form and 2–4 the "few" form. The same rule serves
// the genitive after "из" or "не более" with the genitive forms (из 1 расчета, из 5 расчетов).

#include <string>
#include <string_view>

namespace zfreport {

// The three forms a noun (or a noun with its adjective) takes after a number.
struct NounForms {
    std::string_view One;   // after 1, 21, 101: помещение
    std::string_view Few;   // after 2–4, 22–24: помещения
    std::string_view Many;  // after 0, 5–20, 25–30, 111–114: помещений
};

// The words the program counts, in the nominative after a number.
inline constexpr NounForms kRoomsWord{"помещение", "помещения", "помещений"};
inline constexpr NounForms kOpeningsWord{"проем", "проема", "проемов"};
inline constexpr NounForms kRunsWord{"расчет", "расчета", "расчетов"};
inline constexpr NounForms kRoutesWord{"путь", "пути", "путей"};
inline constexpr NounForms kSegmentsWord{"участок", "участка", "участков"};
inline constexpr NounForms kPeopleWord{"человек", "человека", "человек"};
inline constexpr NounForms kStepsWord{"шаг", "шага", "шагов"};
inline constexpr NounForms kLayersWord{"слой", "слоя", "слоев"};
inline constexpr NounForms kCellsWord{"ячейка", "ячейки", "ячеек"};
inline constexpr NounForms kVaryingInputsWord{"изменяемый параметр", "изменяемых параметра", "изменяемых параметров"};
// The same words in the genitive ("из 21 расчета", "из 5 расчетов").
inline constexpr NounForms kRunsGenitive{"расчета", "расчетов", "расчетов"};
inline constexpr NounForms kCompletedRunsGenitive{"завершенного расчета", "завершенных расчетов", "завершенных расчетов"};

// The form of the noun that agrees with n (n may be negative: its magnitude decides).
std::string_view CountNoun(long long n, const NounForms& noun);

// n and its agreeing noun, apart by a space: "21 помещение".
std::string CountText(long long n, const NounForms& noun);

}  // namespace zfreport
