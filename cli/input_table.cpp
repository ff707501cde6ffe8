#include "input_table.h"

#include <cmath>
#include <nlohmann/json.hpp>

#include "model/constants.h"
#include "model/inputs.h"
#include "project/element_inputs.h"

namespace zfcli {

namespace {

using nlohmann::ordered_json;

const char* GroupKey(zf::InputGroup group) {
    switch (group) {
        case zf::InputGroup::FireLoad: return "fire_load";
        case zf::InputGroup::Initial: return "initial";
        case zf::InputGroup::Critical: return "critical";
    }
    return "";
}

ordered_json Row(const zf::Input& input) {
    ordered_json row;
    row["key"] = input.Key;
    row["symbol"] = input.Symbol;
    row["name"] = input.Name;
    row["unit"] = input.Unit;
    row["default"] = input.Default;
    row["min"] = input.Min;
    row["max"] = std::isinf(input.Max) ? ordered_json(nullptr) : ordered_json(input.Max);
    row["group"] = GroupKey(input.Group);
    row["help"] = input.Help;
    return row;
}

ordered_json Row(const zf::project::ElementRow& input) {
    ordered_json row;
    row["path"] = input.Path;
    row["caption"] = input.Caption;
    row["name"] = input.Name;
    row["unit"] = input.Unit;
    row["default"] = input.Default;
    row["min"] = input.Min;
    row["min_excluded"] = input.MinExcluded;
    row["max"] = std::isinf(input.Max) ? ordered_json(nullptr) : ordered_json(input.Max);
    row["required"] = input.Required;
    row["help"] = input.Help;
    return row;
}

ordered_json Constant(double value, const char* unit, const char* meaning) {
    return ordered_json{{"value", value}, {"unit", unit}, {"meaning", meaning}};
}

// The constants a reader of the results needs to turn the working-zone values back into the
// layer's (zf:: constants, model/constants.h).
ordered_json Constants() {
    ordered_json c;
    c["air_density_times_temperature"] =
        Constant(zf::kAirDensityTimesT, "кг·К/м³", "плотность наружного воздуха ρ0 = (ρ·T) / T0");
    c["oxygen_mass_fraction"] = Constant(zf::kO2MassFraction, "кг/кг", "массовая доля кислорода в воздухе");
    c["profile_exponent"] =
        Constant(zf::kProfileExponent, "", "показатель профиля рабочей зоны F = z·e^(1,4·z), z = (hr − Yk)/(H − Yk)");
    c["visibility_constant"] = Constant(zf::kVisibilityConst, "Нп", "дальность видимости = 2,38 / (F·оптическая плотность)");
    c["max_visibility"] = Constant(zf::kMaxVisibility, "м", "наибольшая дальность видимости");
    return c;
}

}  // namespace

std::string InputTableJson() {
    ordered_json doc;
    doc["format"] = kInputTableFormat;
    doc["version"] = kInputTableVersion;
    doc["inputs"] = ordered_json::array();
    for (const zf::Input& input : zf::kInputs) doc["inputs"].push_back(Row(input));
    doc["element_inputs"] = ordered_json::array();
    for (const zf::project::ElementRow& input : zf::project::ElementRows()) doc["element_inputs"].push_back(Row(input));
    doc["model_switches"] = ordered_json::array();
    for (const zf::project::ModelSwitch& option : zf::project::kModelSwitches)
        doc["model_switches"].push_back({{"key", option.Key}, {"caption", option.Caption}, {"help", option.Help}});
    doc["constants"] = Constants();
    return doc.dump(1, ' ', false) + "\n";
}

}  // namespace zfcli
