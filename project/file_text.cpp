#include "project/file_text.h"

#include <charconv>

#include <nlohmann/json.hpp>

namespace zf::project {

std::string CutText(std::string_view text, std::size_t maxChars) {
    std::size_t chars = 0;
    for (std::size_t i = 0; i < text.size(); ++i) {
        // A byte 10xxxxxx continues a character; any other byte begins one.
        if ((static_cast<unsigned char>(text[i]) & 0xC0) == 0x80) continue;
        if (chars++ == maxChars) return std::string(text.substr(0, i)) + "…";
    }
    return std::string(text);
}

std::string JsonString(std::string_view text) {
    return nlohmann::json(std::string(text)).dump(-1, ' ', false, nlohmann::json::error_handler_t::replace);
}

std::string Quoted(std::string_view text) { return JsonString(CutText(text)); }

std::string NumberText(double value) {
    char buffer[32];  // the longest shortest form, "-2.2250738585072014e-308", has 24 characters
    return std::string(buffer, std::to_chars(buffer, buffer + sizeof buffer, value).ptr);
}

std::string Place(const std::string& owner, std::string_view key) {
    return (owner.empty() ? "" : owner + ", ") + "ключ " + Quoted(key);
}

std::string RoomOwner(std::size_t index) { return "помещение №" + std::to_string(index + 1); }
std::string OpeningOwner(std::size_t index) { return "проем №" + std::to_string(index + 1); }

}  // namespace zf::project
