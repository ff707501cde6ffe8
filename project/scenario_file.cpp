// Reading a scenario file: JSON text → a document, or one message naming the key (and the
// room or opening) that is wrong.

#include "project/scenario_file.h"

#include <algorithm>
#include <array>
#include <cctype>
#include <cmath>
#include <cstdint>
#include <limits>
#include <span>
#include <vector>

#include <nlohmann/json.hpp>

#include "project/file_text.h"
#include "project/surface_file.h"
#include "project/fire_loads.h"

namespace zf::project {
namespace {

using nlohmann::json;

// The one message of a refused file; thrown inside the reader, returned at its boundary.
struct BadInput {
    std::string Message;
};

// Format and version come first: a later version may hold keys this one does not know. The
// number inputs follow in the input table's order (model/inputs.h).
constexpr std::string_view kOtherTopKeys[] = {"format", "version", "title", "notes", "SamplesPerSec", "plume",
                                              "rooms", "openings", "safety_factor", "fire_load",
                                              "consistent_outflow", "heat_loss"};
constexpr auto kTopKeys = [] {
    std::array<std::string_view, std::size(kOtherTopKeys) + std::size(zf::kInputs)> keys{};
    std::size_t n = 0;
    for (std::size_t i = 0; i < 4; ++i) keys[n++] = kOtherTopKeys[i];
    for (const zf::Input& input : zf::kInputs) keys[n++] = input.Key;
    for (std::size_t i = 4; i < std::size(kOtherTopKeys); ++i) keys[n++] = kOtherTopKeys[i];
    return keys;
}();
constexpr std::string_view kRoomKeys[] = {"length", "width", "height", "name", "evacuation", "walls", "ceiling"};
constexpr std::string_view kEvacuationKeys[] = {"start_delay", "duration"};
constexpr std::string_view kOpeningKeys[] = {"rooms", "height", "width", "open"};

// A scenario nests four levels deep; far deeper text is refused while it is read, before
// anything that recurses (printing, destruction) meets it.
constexpr std::size_t kMaxDepth = 64;

// ---- Messages ----------------------------------------------------------------------------

// What a value is, for "expected X, got Y": its kind and, when short, the value itself.
std::string Describe(const json& v) {
    switch (v.type()) {
        case json::value_t::null: return "null";
        case json::value_t::string: return "строка " + Quoted(v.get_ref<const std::string&>());
        case json::value_t::boolean: return "логическое значение " + v.dump();
        case json::value_t::object:
        case json::value_t::array: {
            const char* kind = v.is_object() ? "объект" : "массив";
            // Only a short container is printed; a long one is named by its kind alone.
            if (v.size() > 4) return kind;
            const std::string text = v.dump(-1, ' ', false, json::error_handler_t::replace);
            return text.size() <= kQuotedChars ? std::string(kind) + " " + text : kind;
        }
        default: return "число " + v.dump();
    }
}

// "строке 3, столбце 12" of the character at byte index `at` (0-based); columns count
// characters, not bytes, so a line with Cyrillic text is counted as an editor shows it.
std::string LineAndColumn(std::string_view text, std::size_t at) {
    at = std::min(at, text.size());
    std::size_t line = 1, lineStart = 0;
    for (std::size_t i = 0; i < at; ++i)
        if (text[i] == '\n') ++line, lineStart = i + 1;
    const std::size_t column = 1 + CharCount(text.substr(lineStart, at - lineStart));
    return "строке " + std::to_string(line) + ", столбце " + std::to_string(column);
}

// The text with every byte that does not begin a well-formed UTF-8 sequence (a stray or
// truncated byte, an overlong form, a surrogate) replaced by U+FFFD.
std::string WellFormedUtf8(std::string_view text) {
    std::string result;
    result.reserve(text.size());
    for (std::size_t i = 0; i < text.size();) {
        if (const std::size_t length = Utf8SequenceLength(text, i); length > 0) {
            result.append(text.substr(i, length));
            i += length;
        } else {
            result += "\xEF\xBF\xBD";
            ++i;
        }
    }
    return result;
}

// The parser's own explanation without its prefix and its byte-based position. The token it
// quotes as last read may be a whole long string: that is cut. It quotes bytes as they stand,
// so a file that is not UTF-8 would garble the message; those bytes are replaced.
std::string Reason(const std::string& what) {
    std::string reason = what;
    if (const auto bracket = reason.find("] "); bracket != std::string::npos) reason.erase(0, bracket + 2);
    if (const auto column = reason.find("column "); column != std::string::npos)
        if (const auto colon = reason.find(": ", column); colon != std::string::npos) reason.erase(0, colon + 2);
    constexpr std::string_view kLastRead = "last read: '";
    if (const auto last = reason.find(kLastRead); last != std::string::npos) {
        const std::size_t from = last + kLastRead.size();
        const std::size_t to = reason.size() > from && reason.back() == '\'' ? reason.size() - 1 : reason.size();
        reason = reason.substr(0, from) + CutText(WellFormedUtf8(std::string_view(reason).substr(from, to - from))) + "'";
    }
    return WellFormedUtf8(reason);
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

std::string Lower(std::string_view s) {
    std::string lower(s);
    for (char& c : lower) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return lower;
}

// The known key a typo was probably meant to be: the same letters in another case, or one or
// two letters wrong. Empty when none is that close.
std::string_view Suggestion(std::string_view key, std::span<const std::string_view> known) {
    // No known key is longer than 16 characters: a far longer key is no typo of one.
    if (key.size() > 32) return {};
    std::string_view best;
    std::size_t bestDistance = 3;
    for (std::string_view k : known) {
        const std::size_t d = Lower(key) == Lower(k) ? 0 : Distance(key, k);
        if (d < bestDistance) bestDistance = d, best = k;
    }
    return best;
}

void RefuseUnknownKeys(const json& object, std::span<const std::string_view> known, const std::string& owner) {
    for (const auto& [key, value] : object.items()) {
        if (std::find(std::begin(known), std::end(known), key) != std::end(known)) continue;
        std::string message = (owner.empty() ? "" : owner + ": ") + "неизвестный ключ " + Quoted(key);
        if (const std::string_view best = Suggestion(key, known); !best.empty())
            message += " (возможно, имелся в виду " + Quoted(best) + ")";
        throw BadInput{message};
    }
}

// ---- Parsing: linear in the text, limits checked while reading -----------------------------

// Builds the JSON value from the parser's events, refusing while it reads: a duplicate key
// (the parser would keep the last value without a word), nesting beyond kMaxDepth, more rooms
// or openings than allowed, a NUL character in a string. The parser's own loop keeps no
// recursion; each event is constant work (a key lookup is logarithmic in the object's size).
class Builder {
public:
    explicit Builder(std::string_view text) : text_(text) {}

    json Result;

    bool null() { return Put(json(nullptr)); }
    bool boolean(bool value) { return Put(json(value)); }
    bool number_integer(json::number_integer_t value) { return Put(json(value)); }
    bool number_unsigned(json::number_unsigned_t value) { return Put(json(value)); }
    bool number_float(json::number_float_t value, const json::string_t&) { return Put(json(value)); }
    bool string(json::string_t& value) {
        if (value.find('\0') != std::string::npos)
            throw BadInput{Where() + "строка содержит нулевой символ (\\u0000)"};
        return Put(json(std::move(value)));
    }
    bool binary(json::binary_t&) { return false; }  // JSON text holds none
    bool start_object(std::size_t) { return Open(json::object()); }
    bool start_array(std::size_t) { return Open(json::array()); }
    bool key(json::string_t& key) {
        if (open_.back().Value->contains(key))
            throw BadInput{"ключ " + Quoted(key) + " задан дважды в одном объекте"};
        key_ = std::move(key);
        return true;
    }
    bool end_object() { return Close(); }
    bool end_array() { return Close(); }

    bool parse_error(std::size_t position, const std::string& token, const nlohmann::detail::exception& e) {
        if (e.id == 406) {
            // A number beyond the range of a double, such as 1e999, would be infinite; the
            // parser stops right after its token.
            const std::size_t at = position >= token.size() ? position - token.size() : 0;
            throw BadInput{KeyBefore(at) + "число " + CutText(token) + " в " + LineAndColumn(text_, at) +
                           " выходит за пределы чисел с плавающей точкой (бесконечность)"};
        }
        throw BadInput{"ошибка в записи JSON в " + LineAndColumn(text_, position == 0 ? 0 : position - 1) + ": " +
                       Reason(e.what())};
    }

private:
    struct Open_ {
        json* Value;
        std::size_t Limit;  // most elements allowed (the lists "rooms" and "openings")
        const char* Key;    // the list's key and what it holds, for the refusal past the limit
        const char* Items;
    };

    // "ключ \"dt\": " when the value at byte `at` follows a key, else nothing.
    std::string KeyBefore(std::size_t at) const {
        constexpr std::string_view kSpace = " \t\r\n";
        const std::string_view before = text_.substr(0, at);
        const std::size_t colon = before.find_last_not_of(kSpace);
        if (colon == std::string_view::npos || before[colon] != ':') return {};
        const std::size_t close = before.substr(0, colon).find_last_not_of(kSpace);
        if (close == std::string_view::npos || before[close] != '"') return {};
        const std::size_t open = before.substr(0, close).rfind('"');
        if (open == std::string_view::npos) return {};
        return Place({}, before.substr(open + 1, close - open - 1)) + ": ";
    }

    // The key of the value being read, when it is a member of an object.
    std::string Where() const {
        return !open_.empty() && open_.back().Value->is_object() ? Place({}, key_) + ": " : std::string();
    }

    // Stores a value in the innermost open object or array; returns where it landed.
    json* Store(json&& value) {
        if (open_.empty()) {
            Result = std::move(value);
            return &Result;
        }
        Open_& parent = open_.back();
        if (parent.Value->is_array()) {
            if (parent.Value->size() >= parent.Limit)
                throw BadInput{Place({}, parent.Key) + ": слишком много " + parent.Items + ", допустимо не более " +
                               std::to_string(parent.Limit)};
            parent.Value->push_back(std::move(value));
            return &parent.Value->back();
        }
        return &((*parent.Value)[key_] = std::move(value));
    }

    bool Put(json&& value) {
        Store(std::move(value));
        return true;
    }

    bool Open(json&& container) {
        if (open_.size() >= kMaxDepth) throw BadInput{"слишком глубокая вложенность массивов и объектов JSON"};
        // The lists of rooms and openings are counted as they are read, so a file of millions
        // of them is refused before they are all built.
        Open_ frame{nullptr, std::numeric_limits<std::size_t>::max(), "", ""};
        if (open_.size() == 1 && container.is_array()) {
            if (key_ == "rooms") frame = {nullptr, kMaxRooms, "rooms", "помещений"};
            if (key_ == "openings") frame = {nullptr, kMaxOpenings, "openings", "проемов"};
        }
        frame.Value = Store(std::move(container));
        open_.push_back(frame);
        return true;
    }

    bool Close() {
        open_.pop_back();
        return true;
    }

    std::string_view text_;
    std::vector<Open_> open_;
    std::string key_;
};

json Parse(std::string_view text) {
    if (text.size() > kMaxTextBytes)
        throw BadInput{"файл сценария слишком велик (" + std::to_string(text.size()) + " байт), допустимо не более " +
                       std::to_string(kMaxTextBytes) + " байт"};
    // Text after a NUL would be lost to every reader that stops there; JSON has no place for one.
    if (const std::size_t nul = text.find('\0'); nul != std::string_view::npos)
        throw BadInput{"ошибка в записи JSON в " + LineAndColumn(text, nul) + ": нулевой байт"};
    Builder builder(text);
    json::sax_parse(text.data(), text.data() + text.size(), &builder);
    return std::move(builder.Result);
}

// ---- Values --------------------------------------------------------------------------------

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

std::string ReadText(const json& object, std::string_view key, const std::string& owner = {}) {
    const json* v = Find(object, key);
    if (!v) return {};
    if (!v->is_string()) throw BadInput{Place(owner, key) + ": ожидается строка, а задано: " + Describe(*v)};
    return v->get<std::string>();
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

// A runner's result opened as a scenario: say what it is and of which version (version 1 had
// no "format" key, but its top-level "completed" and "StepCount" mark it).
void RefuseResultFile(const json& top) {
    const json* format = Find(top, "format");
    std::string version;
    if (format && format->is_string() && format->get_ref<const std::string&>() == kResultFormatName) {
        const json* v = Find(top, "version");
        version = v ? v->dump() : "?";
    } else if (!format && Find(top, "completed") && Find(top, "StepCount")) {
        version = "1";
    } else {
        return;
    }
    throw BadInput{"это файл результата расчета (версия формата результата " + version + ", текущая " +
                   std::to_string(kResultFormatVersion) + "), а не сценарий: откройте файл сценария, по которому он рассчитан"};
}

// "format" names this program's scenario files; "version" is the layout's number. A file
// without them predates both and is read as version 1.
void ReadFormatAndVersion(const json& top) {
    RefuseResultFile(top);
    if (const json* format = Find(top, "format")) {
        if (!format->is_string() || format->get_ref<const std::string&>() != kFormatName)
            throw BadInput{"ключ \"format\": это не файл сценария (ожидается " + JsonString(kFormatName) +
                           ", а задано: " + Describe(*format) + ")"};
    }
    if (const json* version = Find(top, "version")) {
        if (!version->is_number_unsigned() || version->get<std::uint64_t>() < 1)
            throw BadInput{"ключ \"version\": ожидается номер версии формата (целое число от 1), а задано: " +
                           Describe(*version)};
        if (version->get<std::uint64_t>() > static_cast<std::uint64_t>(kFormatVersion))
            throw BadInput{"файл записан более новой версией программы (версия формата " + version->dump() +
                           "), эта версия читает файлы версии не выше " + std::to_string(kFormatVersion) +
                           "; обновите программу"};
    }
}

const json* ReadList(const json& object, std::string_view key) {
    const json* v = Find(object, key);
    if (v && !v->is_array()) throw BadInput{Place({}, key) + ": ожидается массив, а задано: " + Describe(*v)};
    return v;
}

void RequireObject(const json& v, const std::string& owner) {
    if (!v.is_object()) throw BadInput{owner + ": ожидается объект, а задано: " + Describe(v)};
}

// A room's "evacuation": {"start_delay": t_нэ, "duration": t_р}, both seconds, finite, ≥ 0.
std::optional<zfreport::EvacuationInput> ReadEvacuation(const json& room, const std::string& owner) {
    const json* v = Find(room, "evacuation");
    if (!v) return std::nullopt;
    const std::string place = Place(owner, "evacuation");
    RequireObject(*v, place);
    RefuseUnknownKeys(*v, kEvacuationKeys, place);
    for (std::string_view key : kEvacuationKeys)
        if (!Find(*v, key))
            throw BadInput{place + ": не задан ключ " + Quoted(key) +
                           " (нужны оба: \"start_delay\" — время начала эвакуации, \"duration\" — время эвакуации, с)"};
    return zfreport::EvacuationInput{ReadNumber(*v, "start_delay", 0, place), ReadNumber(*v, "duration", 0, place)};
}

// "safety_factor": f of t_нэ + t_р ≤ f·t_бл, above 0 and at most 1.
double ReadSafetyFactor(const json& top) {
    constexpr std::string_view key = "safety_factor";
    const json* v = Find(top, key);
    if (!v) return zfreport::kDefaultSafetyFactor;
    if (!v->is_number()) throw BadInput{Place({}, key) + ": ожидается число, а задано: " + Describe(*v)};
    const double f = v->get<double>();
    if (const std::string bad = zfreport::CheckSafetyFactor(f); !bad.empty())
        throw BadInput{Place({}, key) + ": " + bad + ", а задано: " + v->dump()};
    return f;
}

bool ReadSwitch(const json& top, std::string_view key) {
    const json* v = Find(top, key);
    if (!v) return false;
    if (!v->is_boolean()) throw BadInput{Place({}, key) + ": ожидается true или false, а задано: " + Describe(*v)};
    return v->get<bool>();
}

// A room's surfaces serve only the heat-loss option: without it they would be read and ignored.
void RefuseRoomSurfacesWithoutHeatLoss(const Document& d) {
    if (d.HeatLoss) return;
    for (std::size_t i = 0; i < d.Rooms.size(); ++i)
        if (d.Rooms[i].Walls || d.Rooms[i].Ceiling)
            throw BadInput{Place(RoomOwner(i), d.Rooms[i].Walls ? "walls" : "ceiling") +
                           ": поверхности помещения заданы, а учет теплопотерь не включен; добавьте ключ "
                           "\"heat_loss\" с материалом стен здания или уберите этот ключ"};
}

Room ReadRoom(const json& v, const std::string& owner) {
    RequireObject(v, owner);
    RefuseUnknownKeys(v, kRoomKeys, owner);
    Room room;
    room.Length = ReadNumber(v, "length", ScenarioDefaults::RoomLength, owner);
    room.Width = ReadNumber(v, "width", ScenarioDefaults::RoomWidth, owner);
    room.Height = ReadNumber(v, "height", ScenarioDefaults::RoomHeight, owner);
    room.Name = ReadText(v, "name", owner);
    room.Evacuation = ReadEvacuation(v, owner);
    if (const json* walls = Find(v, "walls")) room.Walls = ReadSurface(*walls, owner, "walls");
    if (const json* ceiling = Find(v, "ceiling")) room.Ceiling = ReadSurface(*ceiling, owner, "ceiling");
    return room;
}

// The room index (0-based) of one entry of an opening's "rooms".
int ReadRoomNumber(const json& v, std::size_t roomCount, const std::string& owner) {
    const std::string place = Place(owner, "rooms");
    if (!v.is_number_integer())
        throw BadInput{place + ": номер помещения должен быть целым числом, а задано: " + Describe(v)};
    const bool inRange = v.is_number_unsigned() && v.get<std::uint64_t>() >= 1 && v.get<std::uint64_t>() <= roomCount;
    if (!inRange) {
        throw BadInput{place + ": нет помещения с номером " + v.dump() +
                       (roomCount == 0 ? " (в сценарии нет помещений)"
                                       : " (помещения в сценарии: 1…" + std::to_string(roomCount) + ")")};
    }
    return static_cast<int>(v.get<std::uint64_t>()) - 1;
}

Opening ReadOpening(const json& v, std::size_t roomCount, const std::string& owner) {
    RequireObject(v, owner);
    RefuseUnknownKeys(v, kOpeningKeys, owner);
    const json* rooms = Find(v, "rooms");
    if (!rooms) throw BadInput{owner + ": не задан ключ \"rooms\" (номера помещений [i, j]; [i, i] — проем наружу)"};
    if (!rooms->is_array() || rooms->size() != 2)
        throw BadInput{Place(owner, "rooms") + ": ожидается пара номеров помещений [i, j], а задано: " + Describe(*rooms)};
    Opening opening;
    opening.From = ReadRoomNumber((*rooms)[0], roomCount, owner);
    opening.To = ReadRoomNumber((*rooms)[1], roomCount, owner);
    opening.Height = ReadNumber(v, "height", ScenarioDefaults::OpeningHeight, owner);
    opening.Width = ReadNumber(v, "width", ScenarioDefaults::OpeningWidth, owner);
    if (const json* open = Find(v, "open")) {
        if (!open->is_boolean())
            throw BadInput{Place(owner, "open") + ": ожидается true или false, а задано: " + Describe(*open)};
        opening.Open = open->get<bool>();
    }
    return opening;
}

Document ReadTop(const json& top) {
    if (!top.is_object()) throw BadInput{"сценарий должен быть объектом JSON {...}, а задано: " + Describe(top)};
    ReadFormatAndVersion(top);
    RefuseUnknownKeys(top, kTopKeys, {});
    Document document;
    document.Title = ReadText(top, "title");
    document.Notes = ReadText(top, "notes");
    // A typical fire load first: the file's own numbers beside it override its values.
    document.FireLoad = ReadText(top, "fire_load");
    if (!document.FireLoad.empty()) {
        const FireLoad* load = FindFireLoad(document.FireLoad);
        if (load == nullptr) throw BadInput{UnknownFireLoadMessage(document.FireLoad)};
        ApplyFireLoad(*load, document.Params);
    }
    for (const zf::Input& input : zf::kInputs) {
        const double value = ReadNumber(top, input.Key, document.Params.*input.Field);
        if (const std::string why = zf::OutOfRange(input, value); !why.empty()) throw BadInput{Place({}, input.Key) + ": " + why};
        document.Params.*input.Field = value;
    }
    document.Params.SamplesPerSec = ReadSamplesPerSec(top);
    document.Params.UseTanaka = ReadUseTanaka(top);
    document.SafetyFactor = ReadSafetyFactor(top);
    document.ConsistentOutflow = ReadSwitch(top, "consistent_outflow");
    if (const json* heatLoss = Find(top, "heat_loss")) document.HeatLoss = ReadHeatLoss(*heatLoss);
    if (const json* rooms = ReadList(top, "rooms"))
        for (const json& room : *rooms) document.Rooms.push_back(ReadRoom(room, RoomOwner(document.Rooms.size())));
    RefuseRoomSurfacesWithoutHeatLoss(document);
    if (const json* openings = ReadList(top, "openings"))
        for (const json& opening : *openings)
            document.Openings.push_back(
                ReadOpening(opening, document.Rooms.size(), OpeningOwner(document.Openings.size())));
    return document;
}

}  // namespace

std::optional<std::string> ReadDocument(std::string_view text, Document& out) {
    try {
        out = ReadTop(Parse(text));
    } catch (const BadInput& bad) {
        return bad.Message;
    } catch (const SurfaceRefused& bad) {
        return bad.Message;
    } catch (const json::exception& e) {
        return "ошибка чтения JSON: " + Reason(e.what());
    }
    return std::nullopt;
}

std::vector<std::string_view> KnownKeys() {
    std::vector<std::string_view> keys;
    for (const auto& list : {std::span<const std::string_view>(kTopKeys), std::span<const std::string_view>(kRoomKeys),
                             std::span<const std::string_view>(kEvacuationKeys), std::span<const std::string_view>(kOpeningKeys),
                             std::span<const std::string_view>(kSurfaceFileKeys)})
        for (std::string_view key : list)
            if (std::find(keys.begin(), keys.end(), key) == keys.end()) keys.push_back(key);
    return keys;
}

std::optional<std::string> ReadScenario(std::string_view text, TzoneMath& out) {
    Document document;
    if (auto refused = ReadDocument(text, document)) return refused;
    if (auto refused = RunRefusal(document)) return refused;
    Apply(document, out);
    std::string refused = out.CheckInputs();
    if (!refused.empty()) return refused;
    return std::nullopt;
}

}  // namespace zf::project
