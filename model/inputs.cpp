// The allowed range of an input, worded once for the file reader, the writer, the windows and
// the engine's check.

#include "model/inputs.h"

#include <cmath>

#include "model/number_text.h"

namespace zf {

std::string RangeText(std::string_view unitName, double min, double max, bool minExcluded) {
    const std::string unit = unitName.empty() ? std::string() : " " + std::string(unitName);
    const std::string from = (minExcluded ? "больше " : "не меньше ") + MessageNumberText(min);
    if (max == kNoUpperLimit) return from + unit;
    if (minExcluded) return from + " и не больше " + MessageNumberText(max) + unit;
    return "от " + MessageNumberText(min) + " до " + MessageNumberText(max) + unit;
}

std::string RangeText(const Input& input) { return RangeText(input.Unit, input.Min, input.Max); }

std::string GivenNumberText(double value) {
    return std::isfinite(value) ? MessageNumberText(value) : std::string("не конечное число");
}

std::string OutOfRange(const Input& input, double value) {
    if (std::isfinite(value) && value >= input.Min && value <= input.Max) return {};
    return std::string(input.Name) + " — допустимо " + RangeText(input) + ", задано " + GivenNumberText(value);
}

}  // namespace zf
