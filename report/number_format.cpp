#include "number_format.h"

#include "model/number_text.h"

namespace zfreport {

// The model holds the conversions; the report's names stay for its callers.
std::string NumberText(double v) { return zf::NumberText(v); }

std::string GeneralNumberText(double v, std::string_view decimalSeparator) {
    return zf::GeneralNumberText(v, decimalSeparator);
}

}  // namespace zfreport
