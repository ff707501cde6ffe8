#include "model/number_text.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstdlib>

namespace zf {

void AppendNumberText(std::string& out, double v) {
    char buf[32];
    const auto result = std::to_chars(buf, buf + sizeof buf, v);
    out.append(buf, result.ptr);
}

std::string NumberText(double v) {
    std::string text;
    AppendNumberText(text, v);
    return text;
}

std::string GeneralNumberText(double v, std::string_view decimalSeparator) {
    if (std::isnan(v)) return "NAN";
    if (std::isinf(v)) return v > 0 ? "INF" : "-INF";
    if (v == 0) return "0";  // also -0

    // 15 significant digits, correctly rounded and independent of the C locale: d.ddd…de±x
    char buf[40];
    const auto printed = std::to_chars(buf, buf + sizeof buf, std::fabs(v), std::chars_format::scientific, 14);
    const std::string_view text(buf, static_cast<std::size_t>(printed.ptr - buf));
    const std::size_t ePos = text.find('e');
    std::string digits = std::string(1, text[0]) + std::string(text.substr(2, ePos - 2));
    const int exponent = std::atoi(std::string(text.substr(ePos + 1)).c_str());
    while (digits.size() > 1 && digits.back() == '0') digits.pop_back();

    const auto digitCount = static_cast<int>(digits.size());
    std::string out = v < 0 ? "-" : "";
    if (exponent < -4 || exponent >= 15) {
        // Scientific: the separator after the first digit, the shortest exponent, no plus.
        out += digits.substr(0, 1);
        if (digitCount > 1) out += std::string(decimalSeparator) + digits.substr(1);
        out += 'E' + std::to_string(exponent);
    } else if (exponent < 0) {
        out += '0' + std::string(decimalSeparator) + std::string(static_cast<std::size_t>(-exponent - 1), '0') + digits;
    } else if (digitCount <= exponent + 1) {
        out += digits + std::string(static_cast<std::size_t>(exponent + 1 - digitCount), '0');
    } else {
        const auto whole = static_cast<std::size_t>(exponent + 1);
        out += digits.substr(0, whole) + std::string(decimalSeparator) + digits.substr(whole);
    }
    return out;
}

std::string PlainNumberText(double v, std::string_view decimalSeparator, std::optional<int> decimals) {
    // The whole digits of the largest double are 309, the shortest fraction of the smallest
    // subnormal 324 digits: 330 characters hold either with the sign and the point.
    std::string text(330 + static_cast<std::size_t>(decimals ? std::max(*decimals, 0) : 0), '\0');
    char* const first = text.data();
    char* const last = first + text.size();
    const std::to_chars_result printed = decimals ? std::to_chars(first, last, v, std::chars_format::fixed, *decimals)
                                                  : std::to_chars(first, last, v, std::chars_format::fixed);
    text.resize(static_cast<std::size_t>(printed.ptr - first));
    if (const std::size_t point = text.find('.'); point != std::string::npos) text.replace(point, 1, decimalSeparator);
    return text;
}

std::string MessageNumberText(double v) {
    const std::string plain = GeneralNumberText(v, ",");
    if (plain.find('E') != std::string::npos) return plain;
    const std::size_t start = plain[0] == '-' ? 1 : 0;
    std::size_t end = plain.find(',');
    if (end == std::string::npos) end = plain.size();
    std::string out = plain.substr(0, start);
    for (std::size_t i = start; i < end; ++i) {
        if (i > start && (end - i) % 3 == 0) out += ' ';
        out += plain[i];
    }
    return out + plain.substr(end);
}

}  // namespace zf
