#pragma once
// The number inputs of the scenario file's list elements and of the model options, each
// described once, as the top-level numbers are in zf::kInputs (model/inputs.h): a room's sizes
// and evacuation times, an opening's sizes, an escape route's and a segment's numbers, the
// heat-loss settings and a wall layer's thickness and material; and the model switches. The
// scenario file's reader (range and refusal) and writer, the runner's help and --inputs, the
// study keys, the report's input tables and the editor's grid captions walk these tables: a
// new number of a room is one row here plus its member and the physics that reads it.

#include <array>
#include <cmath>
#include <initializer_list>
#include <limits>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "model/enclosure.h"
#include "model/inputs.h"
#include "model/number_text.h"
#include "model/people_flow.h"
#include "project/document.h"
#include "verdict.h"

namespace zf::project {

// One number of an element (a room, an opening, ...): its key in the element, its captions, unit,
// default, allowed range and where its value lives.
template <class Owner>
struct ElementInput {
    std::string_view Key;      // the key inside the element ("length"); the study's "rooms[i].length"
    std::string_view Caption;  // the grid's column, the report's column ("Длина, м")
    std::string_view Name;     // what it is, in words ("Длина помещения"): help, tool tips, refusals
    std::string_view Unit;     // written right ("м", "м²", "Вт/(м·К)"); "" for a count
    double Default;            // a new element's value, and a missing key's
    double Min;                // the allowed range, both ends included unless MinExcluded
    double Max;
    std::string_view Help;     // a sentence more for the runner's help; may be ""
    double Owner::*Field;
    bool MinExcluded = false;  // the value must be above Min (a thickness of 0 is no wall)
    bool Required = false;     // the element must give it: the reader refuses one without it
};


// A room's sizes, in the file's order ("rooms": [{"length", "width", "height"}]).
inline constexpr ElementInput<Room> kRoomInputs[] = {
    {"length", "Длина, м", "Длина помещения", "м", ScenarioDefaults::RoomLength, 0, kNoUpperLimit, "", &Room::Length},
    {"width", "Ширина, м", "Ширина помещения", "м", ScenarioDefaults::RoomWidth, 0, kNoUpperLimit, "", &Room::Width},
    {"height", "Высота, м", "Высота помещения", "м", ScenarioDefaults::RoomHeight, 0, kNoUpperLimit,
     "от пола до потолка; выше высоты рабочей зоны hr", &Room::Height},
};

// A room's typed evacuation times ("evacuation": {"start_delay", "duration"}): both or none.
inline constexpr ElementInput<zfreport::EvacuationInput> kEvacuationInputs[] = {
    {"start_delay", "t_нэ, с", "Время начала эвакуации", "с", 0, 0, kNoUpperLimit,
     "по таблице П4.1 приказа МЧС России № 1140", &zfreport::EvacuationInput::StartDelay, false, true},
    {"duration", "t_р, с", "Расчетное время эвакуации", "с", 0, 0, kNoUpperLimit, "введенное вручную",
     &zfreport::EvacuationInput::Duration, false, true},
};

// An opening's sizes, in the file's order ("openings": [{"rooms", "height", "width", "open"}]).
inline constexpr ElementInput<Opening> kOpeningInputs[] = {
    {"height", "Высота, м", "Высота проема", "м", ScenarioDefaults::OpeningHeight, 0, kNoUpperLimit,
     "верх проема над полом", &Opening::Height},
    {"width", "Ширина, м", "Ширина проема", "м", ScenarioDefaults::OpeningWidth, 0, kNoUpperLimit, "", &Opening::Width},
};

// An escape route's numbers ("evacuation_routes": [{"name", "people", "projection", "start_delay", ...}]).
// "projection" may also be written as a kind of people (kPeopleKinds, project/route_file.h).
inline constexpr ElementInput<zf::flow::Route> kRouteInputs[] = {
    {"people", "N, чел.", "Число людей N на первом участке пути", "чел.", 0, 0, kNoUpperLimit, "", &zf::flow::Route::People,
     false, true},
    {"projection", "f, м²", "Площадь горизонтальной проекции человека f", "м²", zf::flow::kAdultSummer, 0, kNoUpperLimit,
     "0,1 — взрослые в летней одежде (\"adult_summer\"), 0,125 — в зимней (\"adult_winter\"), 0,07 — подростки "
     "(\"teenager\"), или свое число",
     &zf::flow::Route::Projection},
    {"start_delay", "tнэ, с", "Время начала эвакуации tнэ", "с", 0, 0, kNoUpperLimit,
     "по таблице П4.1 приложения 4 приказа МЧС России № 1140 по классу функциональной пожарной опасности "
     "(например, 360 с для Ф1.1, Ф1.3, Ф1.4)",
     &zf::flow::Route::StartDelay},
};

// A segment's sizes ("segments": [{"kind", "length", "width", "room"}]); a doorway may leave
// out its length, which it does not use (the reader requires it of the other kinds).
inline constexpr ElementInput<zf::flow::Segment> kSegmentInputs[] = {
    {"length", "l, м", "Длина участка l", "м", 0, 0, kNoUpperLimit,
     "у проема не учитывается: проем своего времени не занимает", &zf::flow::Segment::Length},
    {"width", "δ, м", "Ширина участка δ", "м", 0, 0, kNoUpperLimit, "", &zf::flow::Segment::Width, false, true},
};

// The heat-loss option's own numbers ("heat_loss": {"walls", "ceiling", "surface_interval"}).
inline constexpr ElementInput<BuildingSurfaces> kHeatLossInputs[] = {
    {"surface_interval", "Прогрев стен, с", "Интервал прогрева стен и потолка", "с", 0, 0, kMaxSurfaceInterval,
     "0 — каждый шаг; например 0,1", &BuildingSurfaces::SurfaceInterval},
};

// A layer of a wall or ceiling: its thickness, and a custom material's properties
// ("material": {"k", "rho", "c"}).
inline constexpr ElementInput<SurfaceLayer> kLayerInputs[] = {
    {"thickness", "Толщина, м", "Толщина слоя", "м", 0, 0, kMaxLayerThickness, "", &SurfaceLayer::Thickness, true,
     true},
};
inline constexpr ElementInput<SurfaceLayer> kMaterialInputs[] = {
    {"k", "λ, Вт/(м·К)", "Теплопроводность материала", "Вт/(м·К)", 0, 0, kNoUpperLimit, "", &SurfaceLayer::k, true, true},
    {"rho", "ρ, кг/м³", "Плотность материала", "кг/м³", 0, 0, kNoUpperLimit, "", &SurfaceLayer::rho, true, true},
    {"c", "c, Дж/(кг·К)", "Удельная теплоемкость материала", "Дж/(кг·К)", 0, 0, kNoUpperLimit, "", &SurfaceLayer::c, true,
     true},
};

// A choice of physics the scenario turns on, off by default (the reference model).
struct ModelSwitch {
    std::string_view Key;      // the scenario file's key
    std::string_view Value;    // what the file gives to turn it on
    std::string_view Caption;  // the check box's text
    std::string_view Help;     // what it changes: the check box's tip, the runner's help
    bool (*On)(const Document&);
    // A true/false switch: the member the reader and the writer take it from ("key": true,
    // written only when on); none for a switch that carries settings of its own (heat_loss).
    bool Document::*Flag = nullptr;
};

inline constexpr ModelSwitch kModelSwitches[] = {
    {"consistent_outflow", "true", "Согласованный уход газов через проемы",
     "Уход газов из слоя учитывается при той температуре, с которой они переданы соседнему помещению: "
     "проемы с меняющимся направлением потока не создают энергию",
     [](const Document& d) { return d.ConsistentOutflow; }, &Document::ConsistentOutflow},
    {"heat_loss", "{walls, ceiling, surface_interval}", "Учитывать теплопотери в ограждающие конструкции",
     "Слой дыма отдает тепло потолку и стенам, которых касается (теплопроводность через материал; стены обязательны). "
     "Температура газа ниже, время блокирования по температуре позже; при пожаре у стены или в углу "
     "модель тогда занижает температуру на 11–25 %",
     [](const Document& d) { return d.HeatLoss.has_value(); }},
};

// The switch of a key; a key that is no row does not compile where the call is constant.
constexpr const ModelSwitch& SwitchOf(std::string_view key) {
    for (const ModelSwitch& option : kModelSwitches)
        if (option.Key == key) return option;
    throw "no model switch with this key";
}

// Every row of the tables above with its full path ("rooms[i].length", "heat_loss.walls.thickness"),
// in one shape for the walkers that list them all: the runner's help and --inputs, the tests.
struct ElementRow {
    std::string Path;
    std::string_view Caption, Name, Unit, Help;
    double Default, Min, Max;
    bool MinExcluded, Required;
};
std::vector<ElementRow> ElementRows();

// "от 0 до 1 м", "больше 0 м", "не меньше 0 м": the allowed range in words.
template <class Owner>
std::string RangeText(const ElementInput<Owner>& input) {
    return zf::RangeText(input.Unit, input.Min, input.Max, input.MinExcluded);
}

// Why `value` cannot be this input ("Высота помещения — допустимо не меньше 0 м, задано -1");
// empty when it is within the range.
template <class Owner>
std::string OutOfRange(const ElementInput<Owner>& input, double value) {
    const bool above = input.MinExcluded ? value > input.Min : value >= input.Min;
    if (std::isfinite(value) && above && value <= input.Max) return {};
    return std::string(input.Name) + " — допустимо " + RangeText(input) + ", задано " + zf::GivenNumberText(value);
}

// "Длина × ширина × высота, м": captions of rows that share a unit ("Длина, м", ...) joined in
// one column's caption, the later words in lower case.
std::string SizesCaption(std::span<const std::string_view> captions);
inline std::string SizesCaption(std::initializer_list<std::string_view> captions) {
    return SizesCaption(std::span<const std::string_view>(captions.begin(), captions.size()));
}
// The same for every row of a table, in its order.
template <class Owner, std::size_t N>
std::string SizesCaption(const ElementInput<Owner> (&table)[N]) {
    std::array<std::string_view, N> captions{};
    for (std::size_t i = 0; i < N; ++i) captions[i] = table[i].Caption;
    return SizesCaption(std::span<const std::string_view>(captions));
}

// The row of a key, nullptr for none.
template <class Owner, std::size_t N>
const ElementInput<Owner>* RowOf(const ElementInput<Owner> (&table)[N], std::string_view key) {
    for (const ElementInput<Owner>& row : table)
        if (row.Key == key) return &row;
    return nullptr;
}

}  // namespace zf::project
