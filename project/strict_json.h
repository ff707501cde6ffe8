#pragma once
// Reading a JSON text that a person wrote, strictly, for every file of ours (scenario, study):
// refused are a key given twice in one object (a plain parser keeps the last value without a
// word), nesting deeper than any file of ours needs (before it can exhaust the stack of a
// recursive reader), a number beyond the range of a double (1e999 would be infinite, 1e-999
// would silently be 0), a NUL character, and a list past its limit (before it is all built).
// Every refusal has one shape, ReadRefusal: the key path ("vary[2].min",
// "rooms[1].length"; list items counted from 1, as the program's inputs are), the line and
// the reason; RefusalMessage makes the Russian text of it. Standard library and the JSON
// library only.

#include <cstddef>
#include <span>
#include <stdexcept>
#include <string>
#include <string_view>
#include <unordered_map>

#include <nlohmann/json.hpp>

namespace zf::project {

// Deepest nesting of arrays and objects a file may have.
inline constexpr std::size_t kMaxJsonDepth = 64;

// Why a reader refuses a text, and where.
struct ReadRefusal {
    std::string Path;        // key path of the refused value; empty: the text as a whole
    std::size_t Line = 0;    // 1-based; 0: not known
    std::size_t Column = 0;  // 1-based, in characters, for a syntax error; 0: the line is enough
    std::string Reason;      // Russian, naming the key as the user knows it and what to do
};

// The one text of a refusal: the reason, then where ("(строка 7)"; a syntax error "в строке 7,
// столбце 12", which its reason already says).
std::string RefusalMessage(const ReadRefusal& refusal);

// Thrown by the readers; what() is RefusalMessage(Refusal()).
class JsonRefusal : public std::runtime_error {
public:
    explicit JsonRefusal(ReadRefusal refusal);
    const ReadRefusal& Refusal() const { return refusal_; }

private:
    ReadRefusal refusal_;
};

// A list that may hold at most Max items, counted while it is read: "rooms" at the top.
struct ListLimit {
    std::string_view Path;
    std::size_t Max;
    const char* Items;  // what it holds, in the genitive plural: "помещений"
};

// A text read strictly, and the line each value began on (values of very large texts past the
// first kMaxRecordedLines take the line of their nearest recorded container).
struct StrictJson {
    nlohmann::json Value;
    std::unordered_map<std::string, std::size_t> Lines;  // key path → line

    // The line of the value at `path`, or of its nearest recorded container; 0 when none.
    std::size_t LineOf(std::string path) const;
    // The key path of a value inside Value ("" for Value itself or a value not in it): a
    // search through the text's values, for a refusal only.
    std::string PathOf(const nlohmann::json& value) const;
    // A refusal of that value: its path and line, and the reason.
    ReadRefusal RefusalAt(const nlohmann::json* value, std::string reason) const;
};

inline constexpr std::size_t kMaxRecordedLines = 200000;

// Parses `text` as one JSON value. Throws JsonRefusal for a syntax error, a duplicate key,
// nesting beyond kMaxJsonDepth, a number beyond a double's range, a NUL byte or character, a
// list past its limit. Time and memory grow linearly with the text; no recursion follows the
// nesting while reading.
StrictJson ReadStrictJson(std::string_view text, std::span<const ListLimit> limits = {});
nlohmann::json ParseStrictJson(std::string_view text);  // ReadStrictJson(text).Value

// "строка 7" of byte `at` of `text`, lines counted from 1.
std::string LineOf(std::string_view text, std::size_t at);

// The line (from 1) and column (from 1, in characters) of byte `at` of `text`.
std::pair<std::size_t, std::size_t> LineAndColumnOf(std::string_view text, std::size_t at);

// The JSON library's explanation of an error, without its prefix and byte-based position; a
// long token it quotes is cut, bytes that are not UTF-8 replaced.
std::string JsonErrorReason(const std::string& what);

}  // namespace zf::project
