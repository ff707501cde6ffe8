#pragma once
// Pieces of text shared by the scenario file's reader, writer and messages.

#include <cstddef>
#include <span>
#include <string>
#include <string_view>

#include "model/number_text.h"  // NumberText: the numbers of the file and of its messages

namespace zf::project {

// Whether a byte continues a UTF-8 character (10xxxxxx) rather than beginning one.
constexpr bool IsUtf8Continuation(char byte) { return (static_cast<unsigned char>(byte) & 0xC0) == 0x80; }

// Characters of UTF-8 text, as an editor or a terminal counts them: every byte that does not
// continue a character begins one.
std::size_t CharCount(std::string_view text);

// Length of the well-formed UTF-8 sequence that starts at text[at] (1 to 4 bytes), or 0 where
// none does: a stray continuation byte, an overlong form, a surrogate, a code point beyond
// U+10FFFF, a sequence cut short by the end of the text.
std::size_t Utf8SequenceLength(std::string_view text, std::size_t at);

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

// Where a value sits: "ключ \"dt\"" at the top, "помещение №2, ключ \"length\"" inside a list.
std::string Place(const std::string& owner, std::string_view key);

// The known key a typo was probably meant to be: the same letters in another case, or one or
// two letters wrong. Empty when none is that close.
std::string_view KeySuggestion(std::string_view key, std::span<const std::string_view> known);

// "помещение №3" and "проем №2" for 0-based indices.
std::string RoomOwner(std::size_t index);
std::string OpeningOwner(std::size_t index);

}  // namespace zf::project
