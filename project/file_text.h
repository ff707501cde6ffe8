#pragma once
// Pieces of text shared by the scenario file's reader, writer and messages.

#include <cstddef>
#include <string>
#include <string_view>

namespace zf::project {

// Characters of a user's text quoted in a message; longer text is cut and ends in "…".
inline constexpr std::size_t kQuotedChars = 40;

// The first `maxChars` characters of UTF-8 text (never splitting a character), followed by
// "…" when anything was cut off.
std::string CutText(std::string_view text, std::size_t maxChars = kQuotedChars);

// A string as a JSON string literal: quoted, with quotes, backslashes and control characters
// escaped, other characters (Cyrillic included) kept as UTF-8; ill-formed UTF-8 becomes U+FFFD.
std::string JsonString(std::string_view text);

// A user's text for a message: cut to kQuotedChars characters, then quoted and escaped as a
// JSON string, so neither its length nor a control character can garble the message.
std::string Quoted(std::string_view text);

// The shortest text that reads back to the same double ("0.0001", "13800000", "2.3e-05").
std::string NumberText(double value);

// Where a value sits: "ключ \"dt\"" at the top, "помещение №2, ключ \"length\"" inside a list.
std::string Place(const std::string& owner, std::string_view key);

// "помещение №3" and "проем №2" for 0-based indices.
std::string RoomOwner(std::size_t index);
std::string OpeningOwner(std::size_t index);

}  // namespace zf::project
