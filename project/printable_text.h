#pragma once
// Text that comes from outside the program (a file name, a message quoting the input) as it is
// safe to show on a terminal: a control character would otherwise move the cursor, recolour or
// retitle the terminal, and a five-megabyte key would bury the message.

#include <cstddef>
#include <string>
#include <string_view>

namespace zf::project {

inline constexpr std::size_t kPrintedNameChars = 160;      // a file name in a message
inline constexpr std::size_t kPrintedMessageChars = 2000;  // a whole message of several lines

// `text` with every control character (C0, DEL, the C1 range) and every byte that is not part
// of valid UTF-8 written as \xNN, every direction control (the marks, embeddings, overrides and
// isolates) and line or paragraph separator written as \uNNNN, cut after `maxChars` characters
// with "…" added. Newlines and tabs are kept when `keepLineBreaks` (messages of several lines),
// escaped otherwise. Right-to-left letters stay as they are: only the controls are escaped, so
// no name can reorder or break the message, title or table cell it is shown in. The one routine
// of the runner's messages and of the windows' titles, messages and tables.
std::string PrintableText(std::string_view text, std::size_t maxChars = kPrintedNameChars,
                          bool keepLineBreaks = false);

}  // namespace zf::project
