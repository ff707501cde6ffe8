#include "project/input_help.h"

#include "model/inputs.h"
#include "model/number_text.h"
#include "project/element_inputs.h"
#include "project/file_text.h"

namespace zf::project {
namespace {

// The words of `text` in lines of at most `width` characters, the first after `first`
// spaces, the others after `indent`. A word longer than a line stands alone.
std::string Wrapped(const std::string& text, std::size_t width, std::size_t first, std::size_t indent) {
    std::string out, line(first, ' ');
    bool empty = true;  // the line holds no word yet
    std::size_t from = 0;
    while (from <= text.size()) {
        std::size_t to = text.find(' ', from);
        if (to == std::string::npos) to = text.size();
        const std::string word = text.substr(from, to - from);
        from = to + 1;
        if (word.empty()) continue;
        if (!empty && CharCount(line) + 1 + CharCount(word) > width) {
            out += line + "\n";
            line = std::string(indent, ' ');
            empty = true;
        }
        line += (empty ? "" : " ") + word;
        empty = false;
    }
    return out + line + "\n";
}

std::string Entry(const Input& input) {
    std::string text = std::string(input.Key) + " — " + std::string(input.Name);
    if (!input.Unit.empty()) text += ", " + std::string(input.Unit);
    text += "; по умолчанию " + GeneralNumberText(input.Default, ",");
    if (input.Min != 0 || input.Max != kNoUpperLimit) text += "; допустимо " + RangeText(input);
    if (!input.Help.empty()) text += "; " + std::string(input.Help);
    return text;
}

std::string Entry(const ElementRow& row) {
    std::string text = row.Path + " — " + std::string(row.Name);
    if (!row.Unit.empty()) text += ", " + std::string(row.Unit);
    text += row.Required ? "; обязательно" : "; по умолчанию " + GeneralNumberText(row.Default, ",");
    if (row.Min != 0 || row.Max != kNoUpperLimit || row.MinExcluded)
        text += "; допустимо " + zf::RangeText(row.Unit, row.Min, row.Max, row.MinExcluded);
    if (!row.Help.empty()) text += "; " + std::string(row.Help);
    return text;
}

}  // namespace

std::string InputKeysHelp(std::size_t width) {
    std::string text;
    for (const Input& input : kInputs) text += Wrapped(Entry(input), width, 2, 6);
    return text;
}

std::string ElementKeysHelp(std::size_t width) {
    std::string text;
    for (const ElementRow& row : ElementRows()) text += Wrapped(Entry(row), width, 2, 6);
    return text;
}

std::string ModelSwitchesHelp(std::size_t width) {
    std::string text;
    for (const ModelSwitch& option : kModelSwitches)
        text += Wrapped(std::string(option.Key) + " " + std::string(option.Value) + " — " + std::string(option.Caption) + ". " +
                            std::string(option.Help),
                        width, 2, 6);
    return text;
}

}  // namespace zf::project
