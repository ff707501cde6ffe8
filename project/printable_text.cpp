#include "printable_text.h"

#include "project/file_text.h"

namespace zf::project {
namespace {

constexpr char kHex[] = "0123456789abcdef";

void AppendEscapedByte(std::string& out, unsigned char b) {
    out += "\\x";
    out += kHex[b >> 4];
    out += kHex[b & 0xF];
}

// The code point of a well-formed UTF-8 sequence of `n` bytes.
char32_t CodePoint(std::string_view s) {
    const auto byte = [&](std::size_t k) { return static_cast<char32_t>(static_cast<unsigned char>(s[k])); };
    if (s.size() == 1) return byte(0);
    char32_t c = byte(0) & (0xFF >> (s.size() + 1));
    for (std::size_t k = 1; k < s.size(); ++k) c = (c << 6) | (byte(k) & 0x3F);
    return c;
}

// The explicit direction controls (the Arabic letter mark, the left-to-right and right-to-left marks, the
// embeddings and overrides with their pop, the isolates with theirs); the line and paragraph
// separators, which break a title or a line as a newline does.
bool IsInvisibleControl(char32_t c) {
    return c == 0x061C || c == 0x200E || c == 0x200F || (c >= 0x202A && c <= 0x202E) ||
           (c >= 0x2066 && c <= 0x2069) || c == 0x2028 || c == 0x2029;
}

void AppendEscapedCodePoint(std::string& out, char32_t c) {
    out += "\\u";
    for (int shift = 12; shift >= 0; shift -= 4) out += kHex[(c >> shift) & 0xF];
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
        const std::size_t n = zf::project::Utf8SequenceLength(text, i);
        const char32_t c = n == 0 ? 0 : CodePoint(text.substr(i, n));
        if (n == 0) {
            AppendEscapedByte(out, lead);
            i += 1;
        } else if (n == 1 && (lead < 0x20 || lead == 0x7F)) {
            if (keepLineBreaks && (lead == '\n' || lead == '\t')) out += static_cast<char>(lead);
            else AppendEscapedByte(out, lead);
            i += 1;
        } else if (c >= 0x80 && c <= 0x9F) {
            // The C1 controls, which some terminals obey like ESC [.
            AppendEscapedByte(out, lead);
            AppendEscapedByte(out, static_cast<unsigned char>(text[i + 1]));
            i += 2;
        } else if (IsInvisibleControl(c)) {
            AppendEscapedCodePoint(out, c);
            i += n;
        } else {
            out.append(text.substr(i, n));
            i += n;
        }
        ++chars;
    }
    return out;
}

}  // namespace zf::project
