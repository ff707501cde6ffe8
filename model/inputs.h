#pragma once
// The building's number inputs, each described once: its file key, its captions in Russian,
// unit, default, allowed range and help, and where its value lives (the editor's Parameters,
// the scenario TzoneMath, or the scenario's RunOptions). The main window's fields and the
// critical-values dialog, the scenario file's reader and writer, Apply and Capture, the
// runner's help, the study keys, the report's input tables and the engine's input check all
// walk this table: a new number input is one row here plus the physics that reads it.
//
// The numbers of rooms, openings, escape routes and the heat-loss surfaces, and the model
// switches, are described in the same way in project/element_inputs.h (their members live in
// the project's document). Not rows anywhere: the whole number SamplesPerSec, the plume choice
// and the safety factor, which have shapes of their own (project/document.h).

#include <limits>
#include <string>
#include <string_view>

#include "model/defaults.h"
#include "model/scenario.h"

namespace zf {

// Where the editor shows an input.
enum class InputGroup {
    FireLoad,  // the main window's " Параметры горючей нагрузки "
    Initial,   // the main window's " Начальные условия "
    Critical,  // the dialog "Критические значения": the limits of the seven hazard factors
};

struct Parameters;

inline constexpr double kNoUpperLimit = std::numeric_limits<double>::infinity();

struct Input {
    std::string_view Key;     // the scenario file's key, the study's "input", the runner's help
    std::string_view Label;   // the field's caption as the window shows it ("Vлин, м/с")
    std::string_view Symbol;  // the report's symbol ("Vлин")
    std::string_view Name;    // what it is, in words: the field's tool tip, the report's line
    std::string_view Unit;    // written right ("кг/(м²·с)"); "" for a ratio
    double Default;           // a new building's value, and a missing key's
    double Min;               // the allowed range, both ends included
    double Max;
    std::string_view Help;    // a sentence more for the runner's help and the dialog's tip; may be ""
    InputGroup Group;
    std::string_view Widget;  // the main window's field (object name); "" when a dialog holds it
    int FirstTextDecimals;    // digits after the comma of the field's first text ("0,01450")
    double Parameters::*Field;           // the editor's value
    double TzoneMath::*Model = nullptr;  // the scenario's input, or
    double RunOptions::*Option = nullptr;  // the scenario's model option
    // Left out of the file at its default, so that files without it stay as they were.
    bool OmittedAtDefault = false;
    // A critical value reached from above (oxygen, visibility: "не выше"); else from below.
    bool ReachedFalling = false;

    // The scenario's value of this input.
    double& In(TzoneMath& scenario) const { return Model ? scenario.*Model : scenario.Options.*Option; }
    double In(const TzoneMath& scenario) const { return Model ? scenario.*Model : scenario.Options.*Option; }
    // "м/с", or "—" for a ratio: what a table's unit column shows.
    std::string_view UnitOrDash() const { return Unit.empty() ? std::string_view("—") : Unit; }
};

// The main window's parameter fields and plume choice, and the critical values, in the
// model's units. A new object holds every input's default.
struct Parameters {
    double Qn, Vlin, PsiUd, FireAreaMax, D, Lo2, Lco, Lco2, Lhcl, Nu;  // the fire load
    double T0, hr, SimTime, dt;                                       // initial conditions, the run
    double CritT, CritO2, CritVis, CritCO, CritCO2, CritHCl, CritRad;  // the critical values
    int SamplesPerSec = ScenarioDefaults::SamplesPerSec;  // recorded samples per second [1/s]
    bool UseTanaka = ScenarioDefaults::UseTanaka;         // plume correlation: Tanaka (true) or McCaffrey

    Parameters();
    bool operator==(const Parameters&) const = default;
};

// In the order the file's writer puts them; the critical values last, written only when they
// differ from their defaults.
inline constexpr Input kInputs[] = {
    {"Qn", "Qн, Дж/кг", "Qн", "Низшая теплота сгорания горючей нагрузки", "Дж/кг", 13800000, 0, kNoUpperLimit, "",
     InputGroup::FireLoad, "Edit1", 0, &Parameters::Qn, &TzoneMath::Qn},
    {"Vlin", "Vлин, м/с", "Vлин", "Линейная скорость распространения пламени по поверхности горючей нагрузки", "м/с",
     0.0108, 0, kNoUpperLimit, "", InputGroup::FireLoad, "Edit2", 4, &Parameters::Vlin, &TzoneMath::Vlin},
    {"PsiUd", "Psi уд, кг/м2*с", "ψуд", "Удельная массовая скорость выгорания горючей нагрузки", "кг/(м²·с)", 0.0145, 0,
     kNoUpperLimit, "", InputGroup::FireLoad, "Edit3", 5, &Parameters::PsiUd, &TzoneMath::PsiUd},
    {"fire_area_max", "Fmax, м²", "Fmax", "Наибольшая площадь, занимаемая пожарной нагрузкой (0 — без ограничения: может гореть вся площадь пола)", "м²",
     0, 0, kNoUpperLimit, "",
     InputGroup::FireLoad, "EditFireAreaMax", 0, &Parameters::FireAreaMax, nullptr, &RunOptions::FireAreaMax, true},
    {"D", "D, Нп*м2/кг", "D", "Величина удельного дымовыделения (дымообразующая способность горючей нагрузки)",
     "Нп·м²/кг", 270, 0, kNoUpperLimit, "", InputGroup::FireLoad, "Edit4", 0, &Parameters::D, &TzoneMath::D},
    {"Lo2", "Lo2, кг/кг", "LO2", "Удельное потребление кислорода на сгорание 1 кг горючей нагрузки", "кг/кг", 1.03, 0,
     kNoUpperLimit, "", InputGroup::FireLoad, "Edit5", 4, &Parameters::Lo2, &TzoneMath::Lo2},
    {"Lco", "Lco, кг/кг", "LCO", "Удельное выделение угарного газа с 1 кг горючей нагрузки", "кг/кг", 0.0022, 0,
     kNoUpperLimit, "", InputGroup::FireLoad, "Edit6", 5, &Parameters::Lco, &TzoneMath::Lco},
    {"Lco2", "Lco2, кг/кг", "LCO2", "Удельное выделение углекислого газа с 1 кг горючей нагрузки", "кг/кг", 0.203, 0,
     kNoUpperLimit, "", InputGroup::FireLoad, "Edit7", 5, &Parameters::Lco2, &TzoneMath::Lco2},
    {"Lhcl", "Lhcl, кг/кг", "LHCl", "Удельное выделение хлороводорода с 1 кг горючей нагрузки", "кг/кг", 0.014, 0,
     kNoUpperLimit, "", InputGroup::FireLoad, "Edit8", 5, &Parameters::Lhcl, &TzoneMath::Lhcl},
    {"Nu", "Nu, доли ед.", "η", "Коэффициент полноты сгорания горючего материала", "", 0.97, 0, kNoUpperLimit, "",
     InputGroup::FireLoad, "Edit10", 2, &Parameters::Nu, &TzoneMath::Nu},
    {"T0", "T0, К", "T0", "Температура наружного воздуха", "К", 293, 0, kNoUpperLimit,
     "и начальная температура в помещениях", InputGroup::Initial, "Edit9", 0, &Parameters::T0, &TzoneMath::T0},
    {"hr", "hr, м", "hr", "Высота рабочей зоны", "м", 1.7, 0, kNoUpperLimit,
     "высота над полом, на которой опасные факторы сравниваются с критическими значениями", InputGroup::Initial,
     "Edithr", 1, &Parameters::hr, &TzoneMath::hr},
    {"SimTime", "Моделир., c:", "tмод", "Время моделирования", "с", 200, 0, kNoUpperLimit, "", InputGroup::Initial,
     "Edit12", 0, &Parameters::SimTime, &TzoneMath::SimTime},
    {"dt", "Шаг, c:", "dt", "Шаг расчета", "с", 0.0001, 0, kNoUpperLimit, "", InputGroup::Initial, "Edit11", 4,
     &Parameters::dt, &TzoneMath::dt},
    // The limits of the hazard factors at the working-zone height, in the results window's
    // order (HazardKind).
    {"critical_temperature", "Tкр, К", "Tкр", "Критическая температура газа", "К", 343.0, 273, 1273,
     "343 К = 70 °C", InputGroup::Critical, "", 0, &Parameters::CritT,
     &TzoneMath::CritT, nullptr, true},
    {"critical_oxygen", "O2кр, кг/м³", "O2кр", "Критическая парциальная плотность кислорода", "кг/м³", 0.226, 0, 1,
     "опасно значение не выше критического; в наружном воздухе при 293 К — 0,278 кг/м³",
     InputGroup::Critical, "", 0, &Parameters::CritO2, &TzoneMath::CritO2, nullptr, true, true},
    {"critical_visibility", "lкр, м", "lкр", "Критическая дальность видимости в дыму", "м", 20.0, 0, 50,
     "опасно значение не выше критического; не больше 50 м — видимости в чистом воздухе", InputGroup::Critical,
     "", 0, &Parameters::CritVis, &TzoneMath::CritVis, nullptr, true, true},
    {"critical_co", "COкр, кг/м³", "COкр", "Критическая парциальная плотность оксида углерода", "кг/м³", 0.00116, 0, 1,
     "", InputGroup::Critical, "", 0, &Parameters::CritCO,
     &TzoneMath::CritCO, nullptr, true},
    {"critical_co2", "CO2кр, кг/м³", "CO2кр", "Критическая парциальная плотность диоксида углерода", "кг/м³", 0.11, 0, 1,
     "", InputGroup::Critical, "", 0, &Parameters::CritCO2,
     &TzoneMath::CritCO2, nullptr, true},
    {"critical_hcl", "HClкр, кг/м³", "HClкр", "Критическая парциальная плотность хлороводорода", "кг/м³", 2.3e-05, 0, 1,
     "", InputGroup::Critical, "", 0, &Parameters::CritHCl,
     &TzoneMath::CritHCl, nullptr, true},
    {"critical_heat_flux", "qкр, Вт/м²", "qкр", "Критическая плотность теплового потока излучения", "Вт/м²", 1400.0, 0, 100000,
     "поток излучения пожара на расстоянии 3 м от очага", InputGroup::Critical, "", 0, &Parameters::CritRad,
     &TzoneMath::CritRad, nullptr, true},
};

// The row of a key; a key that is no row does not compile where the call is constant.
constexpr const Input& InputOf(std::string_view key) {
    for (const Input& input : kInputs)
        if (input.Key == key) return input;
    throw "no input with this key";
}

// The row whose scenario value is `model`, nullptr for none.
inline const Input* InputOf(double TzoneMath::*model) {
    for (const Input& input : kInputs)
        if (input.Model == model) return &input;
    return nullptr;
}

// "от 273 до 1 273 К", "не меньше 0 м/с", "больше 0 и не больше 1 м": the allowed range in words.
std::string RangeText(std::string_view unit, double min, double max, bool minExcluded = false);
std::string RangeText(const Input& input);

// "5 000", or "не конечное число": a refused value as a message shows it.
std::string GivenNumberText(double value);

// Why `value` cannot be this input ("Температура — допустимо от 273 до 1 273 К, задано
// 5 000"); empty when it is within the range.
std::string OutOfRange(const Input& input, double value);

inline Parameters::Parameters() {
    for (const Input& input : kInputs) this->*input.Field = input.Default;
}

}  // namespace zf
