#include "printable_text.h"

namespace zfcli {

namespace {

// Length of the valid UTF-8 sequence starting at `s[i]` (1 to 4), or 0 when it is not one
// (a stray continuation byte, an overlong form, a surrogate, beyond U+10FFFF, cut short).
std::size_t Utf8Length(std::string_view s, std::size_t i) {
    const auto byte = [&](std::size_t k) { return static_cast<unsigned char>(s[k]); };
    const unsigned char lead = byte(i);
    if (lead < 0x80) return 1;
    std::size_t n = 0;
    unsigned char low = 0x80, high = 0xBF;  // allowed range of the first continuation byte
    if (lead >= 0xC2 && lead <= 0xDF) n = 2;
    else if (lead == 0xE0) n = 3, low = 0xA0;
    else if (lead >= 0xE1 && lead <= 0xEC) n = 3;
    else if (lead == 0xED) n = 3, high = 0x9F;
    else if (lead >= 0xEE && lead <= 0xEF) n = 3;
    else if (lead == 0xF0) n = 4, low = 0x90;
    else if (lead >= 0xF1 && lead <= 0xF3) n = 4;
    else if (lead == 0xF4) n = 4, high = 0x8F;
    else return 0;
    if (i + n > s.size()) return 0;
    if (byte(i + 1) < low || byte(i + 1) > high) return 0;
    for (std::size_t k = 2; k < n; ++k)
        if (byte(i + k) < 0x80 || byte(i + k) > 0xBF) return 0;
    return n;
}

void AppendEscapedByte(std::string& out, unsigned char b) {
    static const char kHex[] = "0123456789abcdef";
    out += "\\x";
    out += kHex[b >> 4];
    out += kHex[b & 0xF];
}

}  // namespace

std::string PrintableText(std::string_view text, std::size_t maxChars, bool keepLineBreaks) {
    std::string out;
    std::size_t chars = 0;
    for (std::size_t i = 0; i < text.size();) {
        if (chars == maxChars) {
            out += "…";
            break;
        }
        const auto lead = static_cast<unsigned char>(text[i]);
        const std::size_t n = Utf8Length(text, i);
        if (n == 0) {
            AppendEscapedByte(out, lead);
            i += 1;
        } else if (n == 1 && (lead < 0x20 || lead == 0x7F)) {
            if (keepLineBreaks && (lead == '\n' || lead == '\t')) out += static_cast<char>(lead);
            else AppendEscapedByte(out, lead);
            i += 1;
        } else if (n == 2 && lead == 0xC2 && static_cast<unsigned char>(text[i + 1]) < 0xA0) {
            // U+0080..U+009F: the C1 controls, which some terminals obey like ESC [.
            AppendEscapedByte(out, lead);
            AppendEscapedByte(out, static_cast<unsigned char>(text[i + 1]));
            i += 2;
        } else {
            out.append(text.substr(i, n));
            i += n;
        }
        ++chars;
    }
    return out;
}

}  // namespace zfcli
