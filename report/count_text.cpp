#include "count_text.h"

namespace zfreport {

std::string_view CountNoun(long long n, const NounForms& noun) {
    // The magnitude decides; |LLONG_MIN| is formed unsigned so it does not overflow.
    const unsigned long long magnitude = n < 0 ? 0ULL - static_cast<unsigned long long>(n) : static_cast<unsigned long long>(n);
    const unsigned long long lastTwo = magnitude % 100, last = magnitude % 10;
    if (lastTwo >= 11 && lastTwo <= 14) return noun.Many;
    if (last == 1) return noun.One;
    if (last >= 2 && last <= 4) return noun.Few;
    return noun.Many;
}

std::string CountText(long long n, const NounForms& noun) {
    std::string text = std::to_string(n);
    text += ' ';
    text += CountNoun(n, noun);
    return text;
}

}  // namespace zfreport
