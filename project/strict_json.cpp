#include "project/strict_json.h"

#include <algorithm>
#include <iterator>
#include <vector>

#include "project/file_text.h"

namespace zf::project {
namespace {

using nlohmann::json;

// A character pointer that tells, as the parser advances it, how far the text has been read:
// the parser's events carry no position, so a refusal finds its line from this mark.
class MarkingIterator {
public:
    using iterator_category = std::input_iterator_tag;
    using value_type = char;
    using difference_type = std::ptrdiff_t;
    using pointer = const char*;
    using reference = const char&;

    MarkingIterator(const char* at, const char** mark) : at_(at), mark_(mark) {}
    reference operator*() const { return *at_; }
    MarkingIterator& operator++() {
        *mark_ = ++at_;
        return *this;
    }
    MarkingIterator operator++(int) {
        MarkingIterator before = *this;
        ++*this;
        return before;
    }
    bool operator==(const MarkingIterator& other) const { return at_ == other.at_; }
    bool operator!=(const MarkingIterator& other) const { return at_ != other.at_; }

private:
    const char* at_;
    const char** mark_;
};

// The parser's message without its "[json.exception.parse_error.101] parse error at line 1,
// column 5: " prefix, which repeats in English what the refusal says in Russian.
std::string Reason(const std::string& what) {
    const std::size_t colon = what.rfind(": ");
    return colon == std::string::npos ? what : what.substr(colon + 2);
}

// Builds the value from the parser's events and refuses as it goes.
class StrictBuilder {
public:
    StrictBuilder(std::string_view text, const char** mark) : text_(text), mark_(mark) {}

    json Result;

    bool null() { return Put(json(nullptr)); }
    bool boolean(bool value) { return Put(json(value)); }
    bool number_integer(json::number_integer_t value) { return Put(json(value)); }
    bool number_unsigned(json::number_unsigned_t value) { return Put(json(value)); }
    bool number_float(json::number_float_t value, const json::string_t&) { return Put(json(value)); }
    bool string(json::string_t& value) { return Put(json(std::move(value))); }
    bool binary(json::binary_t&) { return false; }  // JSON text holds none
    bool start_object(std::size_t) { return Open(json::object()); }
    bool start_array(std::size_t) { return Open(json::array()); }
    bool key(json::string_t& key) {
        key_ = std::move(key);
        if (open_.back().Value->contains(key_))
            throw JsonRefusal("ключ " + Quoted(Path(key_)) + " задан дважды в одном объекте (" + Here() +
                              "); оставьте одно значение");
        return true;
    }
    bool end_object() { return Close(); }
    bool end_array() { return Close(); }

    bool parse_error(std::size_t position, const std::string&, const nlohmann::detail::exception& e) {
        const std::size_t at = position == 0 ? 0 : position - 1;
        throw JsonRefusal("ошибка в записи JSON (" + LineOf(text_, at) + "): " + Reason(e.what()));
    }

private:
    struct Frame {
        json* Value;
        std::string Path;  // where this array or object stands: "vary[2]"
    };

    std::string Here() const { return LineOf(text_, static_cast<std::size_t>(*mark_ - text_.data())); }

    // The path of the next value inside the innermost open array or object.
    std::string Path(const std::string& key) const {
        if (open_.empty()) return {};
        const Frame& parent = open_.back();
        if (parent.Value->is_array()) return parent.Path + "[" + std::to_string(parent.Value->size() + 1) + "]";
        return parent.Path.empty() ? key : parent.Path + "." + key;
    }

    json* Store(json&& value) {
        if (open_.empty()) {
            Result = std::move(value);
            return &Result;
        }
        json& parent = *open_.back().Value;
        if (parent.is_array()) {
            parent.push_back(std::move(value));
            return &parent.back();
        }
        return &(parent[key_] = std::move(value));
    }

    bool Put(json&& value) {
        Store(std::move(value));
        return true;
    }

    bool Open(json&& container) {
        const std::string path = Path(key_);
        if (open_.size() >= kMaxJsonDepth)
            throw JsonRefusal("слишком глубокая вложенность массивов и объектов JSON в " + Quoted(path) + " (" + Here() +
                              "): допустимо не более " + std::to_string(kMaxJsonDepth) + " уровней");
        json* stored = Store(std::move(container));
        open_.push_back({stored, path});
        return true;
    }

    bool Close() {
        open_.pop_back();
        return true;
    }

    std::string_view text_;
    const char** mark_;
    std::vector<Frame> open_;
    std::string key_;
};

}  // namespace

std::string LineOf(std::string_view text, std::size_t at) {
    at = std::min(at, text.size());
    return "строка " + std::to_string(1 + std::count(text.begin(), text.begin() + static_cast<std::ptrdiff_t>(at), '\n'));
}

json ParseStrictJson(std::string_view text) {
    if (const std::size_t nul = text.find('\0'); nul != std::string_view::npos)
        throw JsonRefusal("ошибка в записи JSON (" + LineOf(text, nul) + "): нулевой байт");
    const char* mark = text.data();
    StrictBuilder builder(text, &mark);
    json::sax_parse(MarkingIterator(text.data(), &mark), MarkingIterator(text.data() + text.size(), &mark), &builder);
    return std::move(builder.Result);
}

}  // namespace zf::project
