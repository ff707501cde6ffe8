#include "project/file_text.h"

#include <algorithm>
#include <cctype>
#include <vector>

#include <nlohmann/json.hpp>

namespace zf::project {
namespace {

// Edit distance, to suggest the known key a typo was meant to be.
std::size_t Distance(std::string_view a, std::string_view b) {
    std::vector<std::size_t> row(b.size() + 1);
    for (std::size_t j = 0; j <= b.size(); ++j) row[j] = j;
    for (std::size_t i = 1; i <= a.size(); ++i) {
        std::size_t diagonal = row[0];
        row[0] = i;
        for (std::size_t j = 1; j <= b.size(); ++j) {
            const std::size_t substitution = diagonal + (a[i - 1] == b[j - 1] ? 0 : 1);
            diagonal = row[j];
            row[j] = std::min({row[j] + 1, row[j - 1] + 1, substitution});
        }
    }
    return row[b.size()];
}

std::string Lower(std::string_view s) {
    std::string lower(s);
    for (char& c : lower) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return lower;
}

}  // namespace

std::string_view KeySuggestion(std::string_view key, std::span<const std::string_view> known) {
    // No known key is longer than 16 characters: a far longer key is no typo of one.
    if (key.size() > 32) return {};
    std::string_view best;
    std::size_t bestDistance = 3;
    for (std::string_view k : known) {
        const std::size_t d = Lower(key) == Lower(k) ? 0 : Distance(key, k);
        if (d < bestDistance) bestDistance = d, best = k;
    }
    return best;
}


std::size_t CharCount(std::string_view text) {
    std::size_t chars = 0;
    for (const char byte : text) chars += IsUtf8Continuation(byte) ? 0 : 1;
    return chars;
}

std::size_t Utf8SequenceLength(std::string_view text, std::size_t at) {
    const auto byte = [&](std::size_t k) { return static_cast<unsigned char>(text[k]); };
    const unsigned char lead = byte(at);
    // The length follows from the lead byte; C0, C1 and F5..FF begin no well-formed sequence
    // (C0 and C1 only overlong forms of ASCII, F5.. code points beyond U+10FFFF).
    const std::size_t length = lead < 0x80 ? 1 : lead < 0xC2 ? 0 : lead < 0xE0 ? 2 : lead < 0xF0 ? 3 : lead < 0xF5 ? 4 : 0;
    if (length == 0 || at + length > text.size()) return 0;
    // The range of the second byte rules out the overlong forms of three and four bytes (E0,
    // F0), the surrogates U+D800..U+DFFF (ED) and the code points beyond U+10FFFF (F4).
    const unsigned char low = lead == 0xE0 ? 0xA0 : lead == 0xF0 ? 0x90 : 0x80;
    const unsigned char high = lead == 0xED ? 0x9F : lead == 0xF4 ? 0x8F : 0xBF;
    if (length > 1 && (byte(at + 1) < low || byte(at + 1) > high)) return 0;
    for (std::size_t k = 2; k < length; ++k)
        if (!IsUtf8Continuation(text[at + k])) return 0;
    return length;
}

std::string CutText(std::string_view text, std::size_t maxChars) {
    std::size_t chars = 0;
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (IsUtf8Continuation(text[i])) continue;
        if (chars++ == maxChars) return std::string(text.substr(0, i)) + "…";
    }
    return std::string(text);
}

std::string JsonString(std::string_view text) {
    return nlohmann::json(std::string(text)).dump(-1, ' ', false, nlohmann::json::error_handler_t::replace);
}

std::string Quoted(std::string_view text) { return JsonString(CutText(text)); }

std::string Place(const std::string& owner, std::string_view key) {
    return (owner.empty() ? "" : owner + ", ") + "ключ " + Quoted(key);
}

std::string RoomOwner(std::size_t index) { return "помещение №" + std::to_string(index + 1); }
std::string OpeningOwner(std::size_t index) { return "проем №" + std::to_string(index + 1); }

}  // namespace zf::project
