#pragma once
// The power function of the physics: exponent 0 gives 1, a base of 0 with a positive exponent
// gives 0, otherwise base^e = exp(e·ln(base)). A negative base, or 0 with a negative exponent,
// is an arithmetic fault (invalid operation / division by zero in the logarithm).

#include <cmath>

namespace zf {

inline double Power(double base, double exponent) {
    if (exponent == 0) return 1;
    if (base == 0 && exponent > 0) return 0;
    return std::exp(exponent * std::log(base));
}

}  // namespace zf
