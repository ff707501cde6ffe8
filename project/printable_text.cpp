#include "printable_text.h"

#include "project/file_text.h"

namespace zfcli {

namespace {

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
        const std::size_t n = zf::project::Utf8SequenceLength(text, i);
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
