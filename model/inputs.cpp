// The allowed range of an input, worded once for the file reader, the writer, the windows and
// the engine's check.

#include "model/inputs.h"

#include <cmath>

#include "model/number_text.h"

namespace zf {

std::string RangeText(const Input& input) {
    const std::string unit = input.Unit.empty() ? std::string() : " " + std::string(input.Unit);
    if (input.Max == kNoUpperLimit) return "не меньше " + MessageNumberText(input.Min) + unit;
    return "от " + MessageNumberText(input.Min) + " до " + MessageNumberText(input.Max) + unit;
}

std::string OutOfRange(const Input& input, double value) {
    if (std::isfinite(value) && value >= input.Min && value <= input.Max) return {};
    const std::string given = std::isfinite(value) ? MessageNumberText(value) : std::string("не конечное число");
    return std::string(input.Name) + " — допустимо " + RangeText(input) + ", задано " + given;
}

}  // namespace zf
