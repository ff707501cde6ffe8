#pragma once
// Number texts: the one home of the conversions of a double to text, for files other programs
// read and for people (the windows' general number format).

#include <optional>
#include <string>
#include <string_view>

namespace zf {

// The shortest text that reads back to the same double ("0.05", "1e-05"); decimal point
// whatever the locale; non-finite values as "nan", "inf", "-inf". For files other programs read.
std::string NumberText(double v);
// The same text appended to `out`, for writers of millions of numbers.
void AppendNumberText(std::string& out, double v);

// General number format, for people: the shortest text with up to 15 significant digits and
// the given decimal separator; scientific form (1E-5, 2,5E-6, 1E20) for magnitudes below
// 0.0001 or with more than 15 digits before the separator; 0 gives "0"; NAN, INF, -INF.
std::string GeneralNumberText(double v, std::string_view decimalSeparator);

// Plain notation, never an exponent, with the given decimal separator. With `decimals`, that
// many digits after the separator, correctly rounded ("0,01450" for 0.0145 and 5 decimals);
// without, the shortest digits that read back to the same double ("0,0145", "0,00001").
// For fields a person edits, which take digits and one separator; "nan", "inf", "-inf".
std::string PlainNumberText(double v, std::string_view decimalSeparator, std::optional<int> decimals = std::nullopt);

// The windows' number format in a message: general, decimal comma, and the digits before it
// grouped by threes with a space ("1 000 000", "0,0001", "2,5E-320").
std::string MessageNumberText(double v);

}  // namespace zf
