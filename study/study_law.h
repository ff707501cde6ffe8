#pragma once
// Reading one entry of a study's "vary": its distribution and parameters, checked before any
// run. Shared by the study file's reader; the messages name the entry and the key.

#include <optional>
#include <string>
#include <string_view>

#include <nlohmann/json.hpp>

#include "study_file.h"
#include "model/inputs.h"

namespace zfcli::study::law {

using nlohmann::json;

// A refusal of the study file: the Russian message, the entry and key named.
struct BadStudy {
    std::string Message;
};

// The safety factor f of the evacuation verdict, a top-level number outside the model's inputs.
inline constexpr std::string_view kSafetyFactor = "safety_factor";

template <class List>
bool Contains(const List& list, std::string_view key) {
    for (std::string_view k : list)
        if (k == key) return true;
    return false;
}

// A user's text quoted for a message, cut to a readable length.
std::string Quoted(std::string_view s);
// A JSON value for a message, cut to a readable length.
std::string Shown(const json& v);
const json* Find(const json& object, std::string_view key);
// Throws BadStudy{owner + what} unless `ok`.
void Require(bool ok, const std::string& owner, const std::string& what);
// Refuses a key of `object` that `known` lacks.
template <class List>
void RefuseUnknownKeys(const json& object, const List& known, const std::string& owner) {
    for (const auto& item : object.items())
        if (!Contains(known, item.key())) throw BadStudy{owner + "неизвестный ключ " + Quoted(item.key())};
}

// The distribution of `entry` and its parameters into input.Law (and the values of a choice).
// input.Kind and input.Key must be set. Throws BadStudy.
void ReadLaw(const json& entry, VariedInput& input, const std::string& owner);
// A varied safety factor's law must keep every draw in 0 < f ≤ 1. Throws BadStudy.
void RequireSafetyFactorLaw(const VariedInput& input, const std::string& owner);
// The same bounds for a wall or ceiling layer's thickness (0 < L ≤ 1 m).
void RequireThicknessLaw(const VariedInput& input, const std::string& owner);
void RequireLawWithin(const VariedInput& input, const std::string& owner, const std::string& why);
// A row of the input table with a range narrower than "not negative" (the critical values):
// every value the law can draw lies within it.
void RequireInputLaw(const VariedInput& input, const zf::Input& row, const std::string& owner);
// Every value the law can draw lies in [lo, hi] (hi may be zf::kNoUpperLimit); otherwise
// refused with `why` and what to change.
void RequireLawInRange(const VariedInput& input, const std::string& owner, const std::string& why, double lo, double hi);
// The bounds of an escape route's N (≥ 0), t_нэ (≥ 0 s) and f (0 < f ≤ 1 m²).
void RequireRouteLaw(const VariedInput& input, const std::string& owner);

}  // namespace zfcli::study::law
