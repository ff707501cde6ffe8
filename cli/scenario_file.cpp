// Reading a scenario file: JSON text → a scenario ready to run, or one message naming the
// key (and the room or opening) that is wrong.

#include "scenario_file.h"

#include <algorithm>
#include <cctype>
#include <charconv>
#include <cmath>
#include <cstdint>
#include <limits>
#include <set>
#include <vector>

#include <nlohmann/json.hpp>

namespace zfcli {
namespace {

using nlohmann::json;

// The one message of a refused file; thrown inside the reader, returned at its boundary.
struct BadInput {
    std::string Message;
};

constexpr std::string_view kTopKeys[] = {"Qn",  "Vlin", "PsiUd",   "D",  "Lo2",           "Lco",
                                         "Lco2", "Lhcl", "Nu",      "T0", "hr",            "SimTime",
                                         "dt",  "SamplesPerSec", "plume", "rooms", "openings"};
constexpr std::string_view kRoomKeys[] = {"length", "width", "height"};
constexpr double kRoomDefaults[] = {ScenarioDefaults::RoomLength, ScenarioDefaults::RoomWidth,
                                    ScenarioDefaults::RoomHeight};
constexpr std::string_view kOpeningKeys[] = {"rooms", "height", "width", "open"};

// A user's text quoted and escaped as JSON, so control characters cannot garble the message.
std::string Quoted(std::string_view s) {
    return json(std::string(s)).dump(-1, ' ', false, json::error_handler_t::replace);
}

// What a value is, for "expected X, got Y": its kind and, when short, the value itself.
std::string Describe(const json& v) {
    const char* kind = "число";
    switch (v.type()) {
        case json::value_t::null: return "null";
        case json::value_t::object: kind = "объект"; break;
        case json::value_t::array: kind = "массив"; break;
        case json::value_t::string: kind = "строка"; break;
        case json::value_t::boolean: kind = "логическое значение"; break;
        default: break;
    }
    const std::string text = v.dump(-1, ' ', false, json::error_handler_t::replace);
    return text.size() <= 40 ? std::string(kind) + " " + text : kind;
}

// A number as the file would write it.
std::string Number(double v) {
    char buf[32];
    return std::string(buf, std::to_chars(buf, buf + sizeof buf, v).ptr);
}

// Where a value sits: "ключ \"dt\"" at the top, "помещение №2, ключ \"length\"" inside a list.
std::string Place(const std::string& owner, std::string_view key) {
    return (owner.empty() ? "" : owner + ", ") + "ключ " + Quoted(key);
}

// Edit distance, to suggest the known key a typo was meant to be.
std::size_t Distance(std::string_view a, std::string_view b) {
    std::vector<std::size_t> row(b.size() + 1);
    for (std::size_t j = 0; j <= b.size(); ++j) row[j] = j;
    for (std::size_t i = 1; i <= a.size(); ++i) {
        std::size_t diagonal = row[0];
        row[0] = i;
        for (std::size_t j = 1; j <= b.size(); ++j) {
            const std::size_t substitution = diagonal + (a[i - 1] == b[j - 1] ? 0 : 1);
            diagonal = row[j];
            row[j] = std::min({row[j] + 1, row[j - 1] + 1, substitution});
        }
    }
    return row[b.size()];
}

template <std::size_t N>
void RefuseUnknownKeys(const json& object, const std::string_view (&known)[N], const std::string& owner) {
    for (const auto& [key, value] : object.items()) {
        if (std::find(std::begin(known), std::end(known), key) != std::end(known)) continue;
        std::string message = (owner.empty() ? "" : owner + ": ") + "неизвестный ключ " + Quoted(key);
        // A case slip or one or two wrong letters: name the key that was probably meant.
        std::string_view best;
        std::size_t bestDistance = 3;
        for (std::string_view k : known) {
            std::string lower(key), lowerKnown(k);
            for (char& c : lower) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
            for (char& c : lowerKnown) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
            const std::size_t d = lower == lowerKnown ? 0 : Distance(key, k);
            if (d < bestDistance) bestDistance = d, best = k;
        }
        if (!best.empty()) message += " (возможно, имелся в виду " + Quoted(best) + ")";
        throw BadInput{message};
    }
}

const json* Find(const json& object, std::string_view key) {
    const auto it = object.find(std::string(key));
    return it == object.end() ? nullptr : &*it;
}

// A length, a time or a material property: a finite number, not negative.
double ReadNumber(const json& object, std::string_view key, double fallback, const std::string& owner = {}) {
    const json* v = Find(object, key);
    if (!v) return fallback;
    if (!v->is_number()) throw BadInput{Place(owner, key) + ": ожидается число, а задано: " + Describe(*v)};
    const double x = v->get<double>();
    if (!std::isfinite(x) || x < 0)
        throw BadInput{Place(owner, key) + ": ожидается неотрицательное конечное число, а задано: " + v->dump()};
    return x == 0 ? 0.0 : x;  // −0 becomes 0
}

int ReadSamplesPerSec(const json& object) {
    constexpr std::string_view key = "SamplesPerSec";
    const json* v = Find(object, key);
    if (!v) return ScenarioDefaults::SamplesPerSec;
    if (!v->is_number()) throw BadInput{Place({}, key) + ": ожидается целое число, а задано: " + Describe(*v)};
    const double x = v->get<double>();
    if (!(x >= 1 && x <= std::numeric_limits<int>::max() && x == std::floor(x)))
        throw BadInput{Place({}, key) + ": ожидается целое число отсчетов в секунду не меньше 1, а задано: " + v->dump()};
    return static_cast<int>(x);
}

bool ReadUseTanaka(const json& object) {
    constexpr std::string_view key = "plume";
    const json* v = Find(object, key);
    if (!v) return ScenarioDefaults::UseTanaka;
    if (!v->is_string()) throw BadInput{Place({}, key) + ": ожидается строка, а задано: " + Describe(*v)};
    const std::string& name = v->get_ref<const std::string&>();
    if (name == "tanaka") return true;
    if (name == "mccaffrey") return false;
    throw BadInput{Place({}, key) + ": неизвестная зависимость " + Quoted(name) +
                   " (допустимы \"tanaka\" и \"mccaffrey\")"};
}

const json* ReadList(const json& object, std::string_view key) {
    const json* v = Find(object, key);
    if (v && !v->is_array()) throw BadInput{Place({}, key) + ": ожидается массив, а задано: " + Describe(*v)};
    return v;
}

void RequireObject(const json& v, const std::string& owner) {
    if (!v.is_object()) throw BadInput{owner + ": ожидается объект, а задано: " + Describe(v)};
}

void ReadRooms(const json& top, zf::TzoneMath& out) {
    const json* rooms = ReadList(top, "rooms");
    // Without a fire room there is nothing to compute: the run would only fail in its first step.
    if (!rooms || rooms->empty())
        throw BadInput{"ключ \"rooms\": в сценарии нет ни одного помещения (помещение №1 — помещение очага пожара)"};
    if (rooms->size() > static_cast<std::size_t>(kMaxRooms))
        throw BadInput{"ключ \"rooms\": слишком много помещений (" + std::to_string(rooms->size()) +
                       "), допустимо не более " + std::to_string(kMaxRooms)};
    int number = 0;
    for (const json& room : *rooms) {
        const std::string owner = "помещение №" + std::to_string(++number);
        RequireObject(room, owner);
        RefuseUnknownKeys(room, kRoomKeys, owner);
        double size[3];
        for (int d = 0; d < 3; ++d) {
            size[d] = ReadNumber(room, kRoomKeys[d], kRoomDefaults[d], owner);
            if (size[d] == 0) throw BadInput{Place(owner, kRoomKeys[d]) + ": размер помещения должен быть больше нуля"};
        }
        if (out.hr >= size[2])
            throw BadInput{Place(owner, "height") + ": помещение высотой " + Number(size[2]) +
                           " м не выше рабочей зоны (ключ \"hr\": " + Number(out.hr) + " м)"};
        out.AddRoom(size[0], size[1], size[2]);
    }
}

// The room index (0-based) of one entry of an opening's "rooms".
int ReadRoomNumber(const json& v, int roomCount, const std::string& owner) {
    const std::string place = Place(owner, "rooms");
    if (!v.is_number_integer())
        throw BadInput{place + ": номер помещения должен быть целым числом, а задано: " + Describe(v)};
    const bool inRange = v.is_number_unsigned() && v.get<std::uint64_t>() >= 1 &&
                         v.get<std::uint64_t>() <= static_cast<std::uint64_t>(roomCount);
    if (!inRange) {
        throw BadInput{place + ": нет помещения с номером " + v.dump() +
                       (roomCount == 0 ? " (в сценарии нет помещений)"
                                       : " (помещения в сценарии: 1…" + std::to_string(roomCount) + ")")};
    }
    return static_cast<int>(v.get<std::uint64_t>()) - 1;
}

void ReadOpenings(const json& top, zf::TzoneMath& out) {
    const json* openings = ReadList(top, "openings");
    if (!openings) return;
    int number = 0;
    for (const json& opening : *openings) {
        const std::string owner = "проем №" + std::to_string(++number);
        RequireObject(opening, owner);
        RefuseUnknownKeys(opening, kOpeningKeys, owner);
        const json* rooms = Find(opening, "rooms");
        if (!rooms)
            throw BadInput{owner + ": не задан ключ \"rooms\" (номера помещений [i, j]; [i, i] — проем наружу)"};
        if (!rooms->is_array() || rooms->size() != 2)
            throw BadInput{Place(owner, "rooms") + ": ожидается пара номеров помещений [i, j], а задано: " +
                           Describe(*rooms)};
        const int row = ReadRoomNumber((*rooms)[0], out.RoomCount(), owner);
        const int col = ReadRoomNumber((*rooms)[1], out.RoomCount(), owner);
        const double height = ReadNumber(opening, "height", ScenarioDefaults::OpeningHeight, owner);
        const double width = ReadNumber(opening, "width", ScenarioDefaults::OpeningWidth, owner);
        bool isOpen = ScenarioDefaults::OpeningOpen;
        if (const json* v = Find(opening, "open")) {
            if (!v->is_boolean())
                throw BadInput{Place(owner, "open") + ": ожидается true или false, а задано: " + Describe(*v)};
            isOpen = v->get<bool>();
        }
        // A doorway is two faces, one per room, added in this order as the editor does.
        out.AddProem(row, col, height, width, isOpen);
        if (row != col) out.AddProem(col, row, height, width, isOpen);
    }
}

void ReadTop(const json& top, zf::TzoneMath& out) {
    if (!top.is_object()) throw BadInput{"сценарий должен быть объектом JSON {...}, а задано: " + Describe(top)};
    RefuseUnknownKeys(top, kTopKeys, {});
    out.Qn = ReadNumber(top, "Qn", ScenarioDefaults::Qn);
    out.Vlin = ReadNumber(top, "Vlin", ScenarioDefaults::Vlin);
    out.PsiUd = ReadNumber(top, "PsiUd", ScenarioDefaults::PsiUd);
    out.D = ReadNumber(top, "D", ScenarioDefaults::D);
    out.Lo2 = ReadNumber(top, "Lo2", ScenarioDefaults::Lo2);
    out.Lco = ReadNumber(top, "Lco", ScenarioDefaults::Lco);
    out.Lco2 = ReadNumber(top, "Lco2", ScenarioDefaults::Lco2);
    out.Lhcl = ReadNumber(top, "Lhcl", ScenarioDefaults::Lhcl);
    out.Nu = ReadNumber(top, "Nu", ScenarioDefaults::Nu);
    out.T0 = ReadNumber(top, "T0", ScenarioDefaults::T0);
    out.hr = ReadNumber(top, "hr", ScenarioDefaults::hr);
    out.SimTime = ReadNumber(top, "SimTime", ScenarioDefaults::SimTime);
    out.dt = ReadNumber(top, "dt", ScenarioDefaults::dt);
    out.SamplesPerSec = ReadSamplesPerSec(top);
    out.UseTanaka = ReadUseTanaka(top);
    // The engine's check refuses these too; here the message can name the file's key.
    if (out.dt == 0) throw BadInput{"ключ \"dt\": шаг расчета должен быть больше нуля"};
    if (out.T0 == 0) throw BadInput{"ключ \"T0\": температура наружного воздуха должна быть больше нуля"};
    ReadRooms(top, out);
    ReadOpenings(top, out);
}

// "строке 3, столбце 12" of the character at byte index `at` (0-based); columns count
// characters, not bytes, so a line with Cyrillic text is counted as an editor shows it.
std::string LineAndColumn(std::string_view text, std::size_t at) {
    at = std::min(at, text.size());
    std::size_t line = 1, lineStart = 0;
    for (std::size_t i = 0; i < at; ++i)
        if (text[i] == '\n') ++line, lineStart = i + 1;
    std::size_t column = 1;
    for (std::size_t i = lineStart; i < at; ++i)
        if ((static_cast<unsigned char>(text[i]) & 0xC0) != 0x80) ++column;
    return "строке " + std::to_string(line) + ", столбце " + std::to_string(column);
}

// The text with every byte that does not begin a well-formed UTF-8 sequence (a stray or
// truncated byte, an overlong form, a surrogate) replaced by U+FFFD.
std::string WellFormedUtf8(std::string_view text) {
    std::string result;
    result.reserve(text.size());
    for (std::size_t i = 0; i < text.size();) {
        const auto lead = static_cast<unsigned char>(text[i]);
        // Length of the sequence and the range of its second byte, which rules out overlong
        // forms, surrogates and code points beyond U+10FFFF.
        const std::size_t length = lead < 0x80 ? 1 : lead < 0xC2 ? 0 : lead < 0xE0 ? 2 : lead < 0xF0 ? 3 : lead < 0xF5 ? 4 : 0;
        const unsigned char low = lead == 0xE0 ? 0xA0 : lead == 0xF0 ? 0x90 : 0x80;
        const unsigned char high = lead == 0xED ? 0x9F : lead == 0xF4 ? 0x8F : 0xBF;
        bool wellFormed = length > 0 && i + length <= text.size();
        for (std::size_t k = 1; wellFormed && k < length; ++k) {
            const auto next = static_cast<unsigned char>(text[i + k]);
            wellFormed = k == 1 ? next >= low && next <= high : (next & 0xC0) == 0x80;
        }
        if (wellFormed) {
            result.append(text.substr(i, length));
            i += length;
        } else {
            result += "\xEF\xBF\xBD";
            ++i;
        }
    }
    return result;
}

// The parser's own explanation without its prefix and its byte-based position. It quotes the
// bytes last read as they stand, so a file that is not UTF-8 would garble the message.
std::string Reason(const std::string& what) {
    std::string reason = what;
    if (const auto bracket = reason.find("] "); bracket != std::string::npos) reason.erase(0, bracket + 2);
    if (const auto column = reason.find("column "); column != std::string::npos)
        if (const auto colon = reason.find(": ", column); colon != std::string::npos) reason.erase(0, colon + 2);
    return WellFormedUtf8(reason);
}

// Byte index where a number token stands outside any string; the parser names the token of
// an out-of-range number but not its place.
std::size_t FindNumberToken(std::string_view text, std::string_view token) {
    bool inString = false;
    for (std::size_t i = 0; i < text.size(); ++i) {
        const char c = text[i];
        if (inString) {
            if (c == '\\') ++i;
            else if (c == '"') inString = false;
        } else if (c == '"') {
            inString = true;
        } else if (text.substr(i, token.size()) == token &&
                   (i == 0 || std::string_view("0123456789.+-eE").find(text[i - 1]) == std::string_view::npos)) {
            return i;
        }
    }
    return text.size();
}

// "ключ \"dt\": " when the value at byte `at` follows a key, else nothing.
std::string KeyBefore(std::string_view text, std::size_t at) {
    constexpr std::string_view kSpace = " \t\r\n";
    const std::string_view before = text.substr(0, at);
    const std::size_t colon = before.find_last_not_of(kSpace);
    if (colon == std::string_view::npos || before[colon] != ':') return {};
    const std::size_t close = before.substr(0, colon).find_last_not_of(kSpace);
    if (close == std::string_view::npos || before[close] != '"') return {};
    const std::size_t open = before.substr(0, close).rfind('"');
    if (open == std::string_view::npos) return {};
    return Place({}, before.substr(open + 1, close - open - 1)) + ": ";
}

constexpr int kMaxDepth = 64;

json Parse(std::string_view text) {
    // The parser keeps the last of two equal keys; refuse them instead, since the first value
    // would be dropped without a word.
    std::vector<std::set<std::string>> keysOfOpenObjects;
    const json::parser_callback_t refuseDuplicates = [&](int depth, json::parse_event_t event, json& parsed) {
        // A scenario nests four levels deep; far deeper text is refused before printing a
        // value back (which recurses) could exhaust the stack.
        if (depth > kMaxDepth) throw BadInput{"слишком глубокая вложенность массивов и объектов JSON"};
        if (event == json::parse_event_t::object_start) keysOfOpenObjects.emplace_back();
        else if (event == json::parse_event_t::object_end) keysOfOpenObjects.pop_back();
        else if (event == json::parse_event_t::key && !keysOfOpenObjects.back().insert(parsed.get<std::string>()).second)
            throw BadInput{"ключ " + Quoted(parsed.get<std::string>()) + " задан дважды в одном объекте"};
        return true;
    };
    try {
        return json::parse(text.data(), text.data() + text.size(), refuseDuplicates);
    } catch (const json::parse_error& e) {
        throw BadInput{"ошибка в записи JSON в " + LineAndColumn(text, e.byte == 0 ? 0 : e.byte - 1) + ": " +
                       Reason(e.what())};
    } catch (const json::out_of_range& e) {
        // A number beyond the range of a double, such as 1e999, would be infinite.
        const std::string what = e.what();
        const auto open = what.find('\''), close = what.rfind('\'');
        const std::string token = open < close ? what.substr(open + 1, close - open - 1) : std::string();
        const std::size_t at = FindNumberToken(text, token);
        throw BadInput{KeyBefore(text, at) + "число " + token + " в " + LineAndColumn(text, at) +
                       " выходит за пределы чисел с плавающей точкой (бесконечность)"};
    }
}

}  // namespace

std::optional<std::string> ReadScenario(std::string_view text, zf::TzoneMath& out) {
    try {
        ReadTop(Parse(text), out);
    } catch (const BadInput& bad) {
        return bad.Message;
    } catch (const nlohmann::json::exception& e) {
        return "ошибка чтения JSON: " + Reason(e.what());
    }
    std::string refused = out.CheckInputs();
    if (!refused.empty()) return refused;
    return std::nullopt;
}

}  // namespace zfcli
