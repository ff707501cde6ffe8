// The reader's refusal: its one message, and where a value of a read text stands (key path,
// line, column).

#include <algorithm>

#include "project/file_text.h"
#include "project/strict_json.h"

namespace zf::project {
namespace {

using nlohmann::json;

// The text with every byte that does not begin a well-formed UTF-8 sequence (a stray or
// truncated byte, an overlong form, a surrogate) replaced by U+FFFD.
std::string WellFormedUtf8(std::string_view text) {
    std::string result;
    result.reserve(text.size());
    for (std::size_t i = 0; i < text.size();) {
        if (const std::size_t length = Utf8SequenceLength(text, i); length > 0) {
            result.append(text.substr(i, length));
            i += length;
        } else {
            result += "\xEF\xBF\xBD";
            ++i;
        }
    }
    return result;
}

// The path of `target` inside `value`, whose own path is `path`; false when it is not there.
// The nesting is at most kMaxJsonDepth deep: the recursion is bounded.
bool FindPath(const json& value, const json& target, std::string& path) {
    if (&value == &target) return true;
    const std::size_t length = path.size();
    if (value.is_object()) {
        for (const auto& [key, member] : value.items()) {
            path += (length == 0 ? "" : ".") + key;
            if (FindPath(member, target, path)) return true;
            path.resize(length);
        }
    } else if (value.is_array()) {
        for (std::size_t i = 0; i < value.size(); ++i) {
            path += "[" + std::to_string(i + 1) + "]";
            if (FindPath(value[i], target, path)) return true;
            path.resize(length);
        }
    }
    return false;
}

}  // namespace

std::string RefusalMessage(const ReadRefusal& refusal) {
    // A syntax error's reason names its line and column where the sentence needs them.
    if (refusal.Line == 0 || refusal.Column != 0) return refusal.Reason;
    return refusal.Reason + " (строка " + std::to_string(refusal.Line) + ")";
}

JsonRefusal::JsonRefusal(ReadRefusal refusal)
    : std::runtime_error(RefusalMessage(refusal)), refusal_(std::move(refusal)) {}

std::size_t StrictJson::LineOf(std::string path) const {
    for (;;) {
        if (const auto it = Lines.find(path); it != Lines.end()) return it->second;
        if (path.empty()) return 0;
        const std::size_t cut = path.find_last_of(".[");
        path.resize(cut == std::string::npos ? 0 : cut);
    }
}

std::string StrictJson::PathOf(const json& value) const {
    std::string path;
    return FindPath(Value, value, path) ? path : std::string();
}

ReadRefusal StrictJson::RefusalAt(const json* value, std::string reason) const {
    ReadRefusal refusal;
    refusal.Reason = std::move(reason);
    if (value == nullptr) return refusal;
    refusal.Path = PathOf(*value);
    refusal.Line = LineOf(refusal.Path);
    return refusal;
}

std::string LineOf(std::string_view text, std::size_t at) {
    return "строка " + std::to_string(LineAndColumnOf(text, at).first);
}

std::pair<std::size_t, std::size_t> LineAndColumnOf(std::string_view text, std::size_t at) {
    at = std::min(at, text.size());
    std::size_t line = 1, lineStart = 0;
    for (std::size_t i = 0; i < at; ++i)
        if (text[i] == '\n') ++line, lineStart = i + 1;
    // Columns count characters, not bytes, so a line with Cyrillic text is counted as an
    // editor shows it.
    return {line, 1 + CharCount(text.substr(lineStart, at - lineStart))};
}

std::string JsonErrorReason(const std::string& what) {
    std::string reason = what;
    if (const auto bracket = reason.find("] "); bracket != std::string::npos) reason.erase(0, bracket + 2);
    if (const auto column = reason.find("column "); column != std::string::npos)
        if (const auto colon = reason.find(": ", column); colon != std::string::npos) reason.erase(0, colon + 2);
    // The token quoted as last read may be a whole long string: that is cut.
    constexpr std::string_view kLastRead = "last read: '";
    if (const auto last = reason.find(kLastRead); last != std::string::npos) {
        const std::size_t from = last + kLastRead.size();
        const std::size_t to = reason.size() > from && reason.back() == '\'' ? reason.size() - 1 : reason.size();
        reason = reason.substr(0, from) + CutText(WellFormedUtf8(std::string_view(reason).substr(from, to - from))) + "'";
    }
    return WellFormedUtf8(reason);
}

}  // namespace zf::project
