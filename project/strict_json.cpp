// The strict JSON reader: the value built from the parser's events, refused as it is read.

#include "project/strict_json.h"

#include <algorithm>
#include <iterator>
#include <limits>
#include <vector>

#include "project/file_text.h"

namespace zf::project {
namespace {

using nlohmann::json;

// A character pointer that tells, as the parser advances it, how far the text has been read:
// the parser's events carry no position, so a value finds its line from this mark.
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

// "ключ \"rooms[2].length\": " for a value with a path, nothing for the text as a whole.
std::string KeyOf(const std::string& path) { return path.empty() ? std::string() : "ключ " + Quoted(path) + ": "; }

// Whether a number's text has a digit other than 0 before its exponent: then a value of 0
// means the number was too small for a double, not that it was zero.
bool NonZeroDigits(const std::string& text) {
    const std::size_t exponent = std::min(text.find_first_of("eE"), text.size());
    return text.find_first_of("123456789") < exponent;
}

// Builds the value from the parser's events and refuses as it goes. Each event is constant
// work but for a key lookup, logarithmic in the object's size; lines are counted once over
// the text, as the parser moves on.
class StrictBuilder {
public:
    StrictBuilder(std::string_view text, const char** mark, std::span<const ListLimit> limits)
        : text_(text), mark_(mark), limits_(limits) {}

    StrictJson Result;

    bool null() { return Put(json(nullptr)); }
    bool boolean(bool value) { return Put(json(value)); }
    bool number_integer(json::number_integer_t value) { return Put(json(value)); }
    bool number_unsigned(json::number_unsigned_t value) { return Put(json(value)); }
    bool number_float(json::number_float_t value, const json::string_t& text) {
        if (value == 0 && NonZeroDigits(text))
            Refuse(Path(), KeyOf(Path()) + "число " + CutText(text) +
                               " меньше наименьшего числа с плавающей точкой (4,9E-324) и прочиталось бы как 0; "
                               "напишите 0, если имелся в виду он");
        return Put(json(value));
    }
    bool string(json::string_t& value) {
        if (value.find('\0') != std::string::npos)
            Refuse(Path(), KeyOf(Path()) + "строка содержит нулевой символ (\\u0000)");
        return Put(json(std::move(value)));
    }
    bool binary(json::binary_t&) { return false; }  // JSON text holds none
    bool start_object(std::size_t) { return Open(json::object()); }
    bool start_array(std::size_t) { return Open(json::array()); }
    bool key(json::string_t& key) {
        key_ = std::move(key);
        if (open_.back().Value->contains(key_))
            Refuse(Path(), "ключ " + Quoted(Path()) + " задан дважды в одном объекте; оставьте одно значение");
        return true;
    }
    bool end_object() { return Close(); }
    bool end_array() { return Close(); }

    bool parse_error(std::size_t position, const std::string& token, const nlohmann::detail::exception& e) {
        // A number beyond the range of a double, such as 1e999, would be infinite; the parser
        // stops right after its token.
        const bool overflow = e.id == 406;
        const std::size_t at = overflow ? (position >= token.size() ? position - token.size() : 0)
                                        : (position == 0 ? 0 : position - 1);
        const auto [line, column] = LineAndColumnOf(text_, at);
        const std::string where = "в строке " + std::to_string(line) + ", столбце " + std::to_string(column);
        if (overflow)
            throw JsonRefusal({Path(), line, column, KeyOf(Path()) + "число " + CutText(token) + " " + where +
                                                         " выходит за пределы чисел с плавающей точкой (бесконечность)"});
        throw JsonRefusal({Path(), line, column, "ошибка в записи JSON " + where + ": " + JsonErrorReason(e.what())});
    }

private:
    struct Frame {
        json* Value;
        std::string Path;  // where this array or object stands: "vary[2]"
        std::size_t Limit = std::numeric_limits<std::size_t>::max();  // items an array may hold
        const char* Items = "";
    };

    [[noreturn]] void Refuse(std::string path, std::string reason) {
        throw JsonRefusal({std::move(path), Line(), 0, std::move(reason)});
    }

    // The line of the last character the parser has read.
    std::size_t Line() {
        const std::size_t read = static_cast<std::size_t>(*mark_ - text_.data());
        for (; counted_ + 1 < read; ++counted_)
            if (text_[counted_] == '\n') ++line_;
        return line_;
    }

    // The path of the next value inside the innermost open array or object.
    std::string Path() const {
        if (open_.empty()) return {};
        const Frame& parent = open_.back();
        if (parent.Value->is_array()) return parent.Path + "[" + std::to_string(parent.Value->size() + 1) + "]";
        return parent.Path.empty() ? key_ : parent.Path + "." + key_;
    }

    json* Store(json&& value) {
        if (open_.empty()) {
            Result.Value = std::move(value);
            return &Result.Value;
        }
        if (Result.Lines.size() < kMaxRecordedLines) Result.Lines.emplace(Path(), Line());
        Frame& parent = open_.back();
        if (!parent.Value->is_array()) return &((*parent.Value)[key_] = std::move(value));
        if (parent.Value->size() >= parent.Limit)
            Refuse(parent.Path, KeyOf(parent.Path) + "слишком много " + parent.Items + ", допустимо не более " +
                                    std::to_string(parent.Limit));
        parent.Value->push_back(std::move(value));
        return &parent.Value->back();
    }

    bool Put(json&& value) {
        Store(std::move(value));
        return true;
    }

    bool Open(json&& container) {
        Frame frame{nullptr, Path()};
        if (open_.size() >= kMaxJsonDepth)
            Refuse(frame.Path, "слишком глубокая вложенность массивов и объектов JSON" +
                                   (frame.Path.empty() ? std::string() : " в " + Quoted(frame.Path)) +
                                   ": допустимо не более " + std::to_string(kMaxJsonDepth) + " уровней");
        // A limited list is counted as it is read, so a file of millions of items is refused
        // before they are all built.
        if (container.is_array())
            for (const ListLimit& limit : limits_)
                if (limit.Path == frame.Path) frame.Limit = limit.Max, frame.Items = limit.Items;
        frame.Value = Store(std::move(container));
        open_.push_back(std::move(frame));
        return true;
    }

    bool Close() {
        open_.pop_back();
        return true;
    }

    std::string_view text_;
    const char** mark_;
    std::span<const ListLimit> limits_;
    std::vector<Frame> open_;
    std::string key_;
    std::size_t counted_ = 0;  // the text's bytes before this one were counted into line_
    std::size_t line_ = 1;
};

}  // namespace

StrictJson ReadStrictJson(std::string_view text, std::span<const ListLimit> limits) {
    // Text after a NUL would be lost to every reader that stops there; JSON has no place for one.
    if (const std::size_t nul = text.find('\0'); nul != std::string_view::npos) {
        const auto [line, column] = LineAndColumnOf(text, nul);
        throw JsonRefusal({{}, line, column,
                           "ошибка в записи JSON в строке " + std::to_string(line) + ", столбце " +
                               std::to_string(column) + ": нулевой байт"});
    }
    const char* mark = text.data();
    StrictBuilder builder(text, &mark, limits);
    json::sax_parse(MarkingIterator(text.data(), &mark), MarkingIterator(text.data() + text.size(), &mark), &builder);
    return std::move(builder.Result);
}

json ParseStrictJson(std::string_view text) { return ReadStrictJson(text).Value; }

}  // namespace zf::project
