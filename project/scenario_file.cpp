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

#include "project/element_inputs.h"
#include "project/file_text.h"
#include "project/strict_json.h"
#include "project/surface_file.h"
#include "project/fire_loads.h"
#include "project/route_file.h"

namespace zf::project {
namespace {

using nlohmann::json;

// A refusal of the value `At` (its key path and line are found at the reader's boundary);
// thrown inside the reader, returned there as the reader's refusal.
struct BadInput {
    std::string Message;
    const json* At = nullptr;  // the refused value; null: the file as a whole
};

// Format and version come first: a later version may hold keys this one does not know. The
// number inputs follow in the input table's order (model/inputs.h).
constexpr std::string_view kOtherTopKeys[] = {"format", "version", "title", "address", "organisation", "author", "notes",
                                              "SamplesPerSec", "plume", "rooms", "openings", "safety_factor", "fire_load",
                                              "evacuation_routes"};
constexpr auto kTopKeys = [] {
    std::array<std::string_view, std::size(kOtherTopKeys) + std::size(zf::kInputs) + std::size(kModelSwitches)> keys{};
    std::size_t n = 0, before = 7;  // the keys before the inputs: format ... notes
    for (std::size_t i = 0; i < before; ++i) keys[n++] = kOtherTopKeys[i];
    for (const zf::Input& input : zf::kInputs) keys[n++] = input.Key;
    for (std::size_t i = before; i < std::size(kOtherTopKeys); ++i) keys[n++] = kOtherTopKeys[i];
    for (const ModelSwitch& option : kModelSwitches) keys[n++] = option.Key;
    return keys;
}();
// An element's keys: its numbers (project/element_inputs.h) among the others, in the file's order.
template <class Owner, std::size_t N, std::size_t B = 0, std::size_t A = 0>
constexpr auto KeysOf(const ElementInput<Owner> (&numbers)[N], std::array<std::string_view, B> before = {},
                      std::array<std::string_view, A> after = {}) {
    std::array<std::string_view, B + N + A> keys{};
    std::size_t n = 0;
    for (std::string_view key : before) keys[n++] = key;
    for (const ElementInput<Owner>& input : numbers) keys[n++] = input.Key;
    for (std::string_view key : after) keys[n++] = key;
    return keys;
}
constexpr auto kRoomKeys = KeysOf(kRoomInputs, std::array<std::string_view, 0>{},
                                  std::array<std::string_view, 4>{"name", "evacuation", "walls", "ceiling"});
constexpr auto kEvacuationKeys = KeysOf(kEvacuationInputs);
constexpr auto kOpeningKeys =
    KeysOf(kOpeningInputs, std::array<std::string_view, 1>{"rooms"}, std::array<std::string_view, 1>{"open"});

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

void RefuseUnknownKeys(const json& object, std::span<const std::string_view> known, const std::string& owner) {
    for (const auto& [key, value] : object.items()) {
        if (std::find(std::begin(known), std::end(known), key) != std::end(known)) continue;
        std::string message = (owner.empty() ? "" : owner + ": ") + "неизвестный ключ " + Quoted(key);
        if (const std::string_view best = KeySuggestion(key, known); !best.empty())
            message += " (возможно, имелся в виду " + Quoted(best) + ")";
        throw BadInput{message, &value};
    }
}

// ---- Parsing: linear in the text, limits checked while reading -----------------------------

// The lists of rooms and openings are counted as they are read, so a file of millions of them
// is refused before they are all built.
constexpr ListLimit kListLimits[] = {{"rooms", kMaxRooms, "помещений"}, {"openings", kMaxOpenings, "проемов"}};

StrictJson Parse(std::string_view text) {
    if (text.size() > kMaxTextBytes)
        throw JsonRefusal({{}, 0, 0, "файл сценария слишком велик (" + std::to_string(text.size()) +
                                         " байт), допустимо не более " + std::to_string(kMaxTextBytes) + " байт"});
    return ReadStrictJson(text, kListLimits);
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
    if (!v->is_number()) throw BadInput{Place(owner, key) + ": ожидается число, а задано: " + Describe(*v), v};
    const double x = v->get<double>();
    if (!std::isfinite(x) || x < 0)
        throw BadInput{Place(owner, key) + ": ожидается неотрицательное конечное число, а задано: " + v->dump(), v};
    return x == 0 ? 0.0 : x;  // −0 becomes 0
}

// An element's numbers of `table`, each in its range; a missing key keeps its default.
template <class Owner, std::size_t N>
void ReadNumbers(const json& object, const ElementInput<Owner> (&table)[N], Owner& into, const std::string& owner) {
    for (const ElementInput<Owner>& input : table) {
        into.*input.Field = ReadNumber(object, input.Key, input.Default, owner);
        if (const std::string why = OutOfRange(input, into.*input.Field); !why.empty())
            throw BadInput{Place(owner, input.Key) + ": " + why, Find(object, input.Key)};
    }
}

std::string ReadText(const json& object, std::string_view key, const std::string& owner = {}) {
    const json* v = Find(object, key);
    if (!v) return {};
    if (!v->is_string()) throw BadInput{Place(owner, key) + ": ожидается строка, а задано: " + Describe(*v), v};
    return v->get<std::string>();
}

int ReadSamplesPerSec(const json& object) {
    constexpr std::string_view key = "SamplesPerSec";
    const json* v = Find(object, key);
    if (!v) return ScenarioDefaults::SamplesPerSec;
    if (!v->is_number()) throw BadInput{Place({}, key) + ": ожидается целое число, а задано: " + Describe(*v), v};
    const double x = v->get<double>();
    if (!(x >= 1 && x <= std::numeric_limits<int>::max() && x == std::floor(x)))
        throw BadInput{Place({}, key) + ": ожидается целое число отсчетов в секунду не меньше 1, а задано: " + v->dump(), v};
    return static_cast<int>(x);
}

bool ReadUseTanaka(const json& object) {
    constexpr std::string_view key = "plume";
    const json* v = Find(object, key);
    if (!v) return ScenarioDefaults::UseTanaka;
    if (!v->is_string()) throw BadInput{Place({}, key) + ": ожидается строка, а задано: " + Describe(*v), v};
    const std::string& name = v->get_ref<const std::string&>();
    if (name == "tanaka") return true;
    if (name == "mccaffrey") return false;
    throw BadInput{Place({}, key) + ": неизвестная зависимость " + Quoted(name) +
                   " (допустимы \"tanaka\" и \"mccaffrey\")", v};
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
                           ", а задано: " + Describe(*format) + ")", format};
    }
    if (const json* version = Find(top, "version")) {
        if (!version->is_number_unsigned() || version->get<std::uint64_t>() < 1)
            throw BadInput{"ключ \"version\": ожидается номер версии формата (целое число от 1), а задано: " +
                           Describe(*version), version};
        if (version->get<std::uint64_t>() > static_cast<std::uint64_t>(kFormatVersion))
            throw BadInput{"файл записан более новой версией программы (версия формата " + version->dump() +
                           "), эта версия читает файлы версии не выше " + std::to_string(kFormatVersion) +
                           "; обновите программу", version};
    }
}

const json* ReadList(const json& object, std::string_view key) {
    const json* v = Find(object, key);
    if (v && !v->is_array()) throw BadInput{Place({}, key) + ": ожидается массив, а задано: " + Describe(*v), v};
    return v;
}

void RequireObject(const json& v, const std::string& owner) {
    if (!v.is_object()) throw BadInput{owner + ": ожидается объект, а задано: " + Describe(v), &v};
}

// A room's "evacuation": {"start_delay": t_нэ, "duration": t_р}, both seconds, finite, ≥ 0.
std::optional<zfreport::EvacuationInput> ReadEvacuation(const json& room, const std::string& owner) {
    const json* v = Find(room, "evacuation");
    if (!v) return std::nullopt;
    const std::string place = Place(owner, "evacuation");
    RequireObject(*v, place);
    RefuseUnknownKeys(*v, kEvacuationKeys, place);
    for (const ElementInput<zfreport::EvacuationInput>& input : kEvacuationInputs)
        if (!Find(*v, input.Key))
            throw BadInput{place + ": не задан ключ " + Quoted(input.Key) +
                           " (нужны оба: \"start_delay\" — время начала эвакуации, \"duration\" — время эвакуации, с)", v};
    zfreport::EvacuationInput evacuation;
    ReadNumbers(*v, kEvacuationInputs, evacuation, place);
    return evacuation;
}

// "safety_factor": f of t_нэ + t_р ≤ f·t_бл, above 0 and at most 1.
double ReadSafetyFactor(const json& top) {
    constexpr std::string_view key = "safety_factor";
    const json* v = Find(top, key);
    if (!v) return zfreport::kDefaultSafetyFactor;
    if (!v->is_number()) throw BadInput{Place({}, key) + ": ожидается число, а задано: " + Describe(*v), v};
    const double f = v->get<double>();
    if (const std::string bad = zfreport::CheckSafetyFactor(f); !bad.empty())
        throw BadInput{Place({}, key) + ": " + bad + ", а задано: " + v->dump(), v};
    return f;
}

bool ReadSwitch(const json& top, std::string_view key) {
    const json* v = Find(top, key);
    if (!v) return false;
    if (!v->is_boolean()) throw BadInput{Place({}, key) + ": ожидается true или false, а задано: " + Describe(*v), v};
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
    ReadNumbers(v, kRoomInputs, room, owner);
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
        throw BadInput{place + ": номер помещения должен быть целым числом, а задано: " + Describe(v), &v};
    const bool inRange = v.is_number_unsigned() && v.get<std::uint64_t>() >= 1 && v.get<std::uint64_t>() <= roomCount;
    if (!inRange) {
        throw BadInput{place + ": нет помещения с номером " + v.dump() +
                       (roomCount == 0 ? " (в сценарии нет помещений)"
                                       : " (помещения в сценарии: 1…" + std::to_string(roomCount) + ")"), &v};
    }
    return static_cast<int>(v.get<std::uint64_t>()) - 1;
}

Opening ReadOpening(const json& v, std::size_t roomCount, const std::string& owner) {
    RequireObject(v, owner);
    RefuseUnknownKeys(v, kOpeningKeys, owner);
    const json* rooms = Find(v, "rooms");
    if (!rooms) throw BadInput{owner + ": не задан ключ \"rooms\" (номера помещений [i, j]; [i, i] — проем наружу)", &v};
    if (!rooms->is_array() || rooms->size() != 2)
        throw BadInput{Place(owner, "rooms") + ": ожидается пара номеров помещений [i, j], а задано: " + Describe(*rooms), rooms};
    Opening opening;
    opening.From = ReadRoomNumber((*rooms)[0], roomCount, owner);
    opening.To = ReadRoomNumber((*rooms)[1], roomCount, owner);
    ReadNumbers(v, kOpeningInputs, opening, owner);
    if (const json* open = Find(v, "open")) {
        if (!open->is_boolean())
            throw BadInput{Place(owner, "open") + ": ожидается true или false, а задано: " + Describe(*open), open};
        opening.Open = open->get<bool>();
    }
    return opening;
}

Document ReadTop(const json& top) {
    if (!top.is_object()) throw BadInput{"сценарий должен быть объектом JSON {...}, а задано: " + Describe(top)};
    ReadFormatAndVersion(top);
    RefuseUnknownKeys(top, kTopKeys, {});
    Document document;
    for (const ObjectField& field : kObjectFields) document.*field.Text = ReadText(top, field.Key);
    document.Notes = ReadText(top, "notes");
    // A typical fire load first: the file's own numbers beside it override its values.
    document.FireLoad = ReadText(top, "fire_load");
    if (!document.FireLoad.empty()) {
        const FireLoad* load = FindFireLoad(document.FireLoad);
        if (load == nullptr) throw BadInput{UnknownFireLoadMessage(document.FireLoad), Find(top, "fire_load")};
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
    for (const ModelSwitch& option : kModelSwitches)
        if (option.Flag) document.*option.Flag = ReadSwitch(top, option.Key);
    if (const json* heatLoss = Find(top, "heat_loss")) document.HeatLoss = ReadHeatLoss(*heatLoss);
    if (const json* rooms = ReadList(top, "rooms"))
        for (const json& room : *rooms) document.Rooms.push_back(ReadRoom(room, RoomOwner(document.Rooms.size())));
    RefuseRoomSurfacesWithoutHeatLoss(document);
    if (const json* openings = ReadList(top, "openings"))
        for (const json& opening : *openings)
            document.Openings.push_back(
                ReadOpening(opening, document.Rooms.size(), OpeningOwner(document.Openings.size())));
    if (const json* routes = Find(top, "evacuation_routes")) document.Routes = ReadRoutes(*routes);
    return document;
}

}  // namespace

std::optional<ReadRefusal> ReadDocumentOrRefusal(std::string_view text, Document& out) {
    StrictJson parsed;
    try {
        parsed = Parse(text);
    } catch (const JsonRefusal& refused) {
        return refused.Refusal();
    }
    try {
        out = ReadTop(parsed.Value);
    } catch (const BadInput& bad) {
        return parsed.RefusalAt(bad.At, bad.Message);
    } catch (const SurfaceRefused& bad) {
        return parsed.RefusalAt(bad.At, bad.Message);
    } catch (const RouteRefused& bad) {
        return parsed.RefusalAt(bad.At, bad.Message);
    } catch (const json::exception& e) {
        return ReadRefusal{{}, 0, 0, "ошибка чтения JSON: " + JsonErrorReason(e.what())};
    }
    return std::nullopt;
}

std::optional<std::string> ReadDocument(std::string_view text, Document& out) {
    if (const auto refused = ReadDocumentOrRefusal(text, out)) return RefusalMessage(*refused);
    return std::nullopt;
}

std::vector<std::string_view> KnownKeys() {
    std::vector<std::string_view> keys;
    for (const auto& list : {std::span<const std::string_view>(kTopKeys), std::span<const std::string_view>(kRoomKeys),
                             std::span<const std::string_view>(kEvacuationKeys), std::span<const std::string_view>(kOpeningKeys),
                             std::span<const std::string_view>(kSurfaceFileKeys), std::span<const std::string_view>(kRouteFileKeys)})
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
