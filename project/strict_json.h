#pragma once
// Reading a JSON text that a person wrote, strictly: a key given twice in one object is refused
// (a plain parser keeps the last value without a word), and so is nesting deeper than any file
// of ours needs, before it can exhaust the stack of a recursive reader. Each refusal names the
// key path ("vary[2].min", "base.rooms[1].length"; list items counted from 1, as the program's
// inputs are) and the line. Standard library and the JSON library only.

#include <cstddef>
#include <stdexcept>
#include <string>
#include <string_view>

#include <nlohmann/json.hpp>

namespace zf::project {

// Deepest nesting of arrays and objects a file may have.
inline constexpr std::size_t kMaxJsonDepth = 64;

// The text is refused; what() is the Russian message with the key path and the line.
class JsonRefusal : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// Parses `text` as one JSON value. Throws JsonRefusal for a syntax error (with line and
// column), a duplicate key, nesting beyond kMaxJsonDepth or a NUL byte. Time and memory grow
// linearly with the text; no recursion follows the nesting.
nlohmann::json ParseStrictJson(std::string_view text);

// "строка 7" of byte `at` of `text`, lines counted from 1.
std::string LineOf(std::string_view text, std::size_t at);

}  // namespace zf::project
