// Reading and writing the escape routes of a scenario file.
#include "project/route_file.h"

#include <algorithm>
#include <cmath>
#include <stdexcept>

#include <nlohmann/json.hpp>

#include "project/element_inputs.h"
#include "project/file_text.h"

namespace zf::project {
namespace {

using nlohmann::json;

constexpr std::string_view kRouteKeys[] = {"name", kRouteInputs[0].Key, kRouteInputs[1].Key, kRouteInputs[2].Key,
                                           "segments", "joins"};
static_assert(std::size(kRouteInputs) == 3 && std::size(kSegmentInputs) == 2, "a new number needs its key above");
constexpr std::string_view kSegmentKeys[] = {"kind", kSegmentInputs[0].Key, kSegmentInputs[1].Key, "room"};
constexpr std::string_view kJoinKeys[] = {"route", "segment"};

std::string RouteOwner(std::size_t r) { return "путь " + std::to_string(r + 1); }
std::string SegmentOwner(std::size_t r, std::size_t s) { return RouteOwner(r) + ", участок " + std::to_string(s + 1); }

template <std::size_t N>
void RequireObject(const json& v, const std::string_view (&keys)[N], const std::string& owner) {
    if (!v.is_object()) throw RouteRefused{owner + ": ожидается объект, а задано: " + CutText(v.dump()), &v};
    for (const auto& item : v.items())
        if (std::find(std::begin(keys), std::end(keys), item.key()) == std::end(keys)) {
            std::string known;
            for (std::string_view k : keys) known += (known.empty() ? "" : ", ") + Quoted(k);
            throw RouteRefused{owner + ": неизвестный ключ " + Quoted(item.key()) + " (допустимы " + known + ")", &item.value()};
        }
}

const json* Find(const json& object, std::string_view key) {
    const auto it = object.find(std::string(key));
    return it == object.end() ? nullptr : &*it;
}

// A finite number ≥ 0 (a required key when `required`).
double ReadNumber(const json& object, std::string_view key, double fallback, const std::string& owner, bool required) {
    const json* v = Find(object, key);
    if (!v) {
        if (required) throw RouteRefused{owner + ": не задан ключ " + Quoted(key), &object};
        return fallback;
    }
    if (!v->is_number() || !std::isfinite(v->get<double>()) || v->get<double>() < 0)
        throw RouteRefused{Place(owner, key) + ": ожидается неотрицательное конечное число, а задано: " + CutText(v->dump()), v};
    return v->get<double>() == 0 ? 0.0 : v->get<double>();
}

// An element's number of its table: read (required when the row or `required` says so) and
// refused outside its range, naming the key.
template <class Owner>
void ReadInput(const json& object, const ElementInput<Owner>& input, Owner& into, const std::string& owner,
               bool required = false) {
    into.*input.Field = ReadNumber(object, input.Key, input.Default, owner, required || input.Required);
    if (const std::string why = OutOfRange(input, into.*input.Field); !why.empty())
        throw RouteRefused{Place(owner, input.Key) + ": " + why, Find(object, input.Key)};
}

// A 1-based number → 0-based index.
int ReadIndex(const json& object, std::string_view key, const std::string& owner) {
    const json* v = Find(object, key);
    if (!v) throw RouteRefused{owner + ": не задан ключ " + Quoted(key), &object};
    if (!v->is_number_unsigned() || v->get<std::uint64_t>() < 1 || v->get<std::uint64_t>() > 1000000)
        throw RouteRefused{Place(owner, key) + ": ожидается номер (целое число от 1), а задано: " + CutText(v->dump()), v};
    return static_cast<int>(v->get<std::uint64_t>()) - 1;
}

double ReadProjection(const json& route, const std::string& owner) {
    const json* v = Find(route, "projection");
    if (!v || !v->is_string()) {
        zf::flow::Route read;
        ReadInput(route, *RowOf(kRouteInputs, "projection"), read, owner);
        return read.Projection;
    }
    for (const PeopleKind& kind : kPeopleKinds)
        if (v->get_ref<const std::string&>() == kind.Key) return kind.Projection;
    throw RouteRefused{Place(owner, "projection") + ": неизвестный вид людей " + Quoted(v->get_ref<const std::string&>()) +
                       " (допустимы \"adult_summer\", \"adult_winter\", \"teenager\" или число, м²)", v};
}

zf::flow::Segment ReadSegment(const json& v, const std::string& owner) {
    RequireObject(v, kSegmentKeys, owner);
    zf::flow::Segment s;
    const json* kind = Find(v, "kind");
    if (!kind) throw RouteRefused{owner + ": не задан ключ \"kind\"", &v};
    const auto known = kind->is_string() ? zf::flow::SegmentKindOfKey(kind->get_ref<const std::string&>()) : std::nullopt;
    if (!known)
        throw RouteRefused{Place(owner, "kind") + ": неизвестный вид участка " + CutText(kind->dump()) +
                           " (допустимы \"horizontal\", \"doorway\", \"stairs_down\", \"stairs_up\")", kind};
    s.Kind = *known;
    // A doorway takes no time of its own: its length may be left out.
    for (const ElementInput<zf::flow::Segment>& input : kSegmentInputs)
        ReadInput(v, input, s, owner, input.Field == &zf::flow::Segment::Length && s.Kind != zf::flow::SegmentKind::Doorway);
    if (Find(v, "room")) s.Room = ReadIndex(v, "room", owner);
    return s;
}

zf::flow::Route ReadRoute(const json& v, std::size_t r) {
    const std::string owner = RouteOwner(r);
    RequireObject(v, kRouteKeys, owner);
    zf::flow::Route route;
    if (const json* name = Find(v, "name")) {
        if (!name->is_string()) throw RouteRefused{Place(owner, "name") + ": ожидается строка", name};
        route.Name = name->get<std::string>();
    }
    for (const ElementInput<zf::flow::Route>& input : kRouteInputs) {
        if (input.Field == &zf::flow::Route::Projection) route.Projection = ReadProjection(v, owner);
        else ReadInput(v, input, route, owner);
    }
    const json* segments = Find(v, "segments");
    if (!segments || !segments->is_array())
        throw RouteRefused{Place(owner, "segments") + ": ожидается массив участков", segments ? segments : &v};
    for (const json& s : *segments) route.Segments.push_back(ReadSegment(s, SegmentOwner(r, route.Segments.size())));
    if (const json* joins = Find(v, "joins")) {
        const std::string place = Place(owner, "joins");
        RequireObject(*joins, kJoinKeys, place);
        route.JoinsInto = zf::flow::Join{ReadIndex(*joins, "route", place), ReadIndex(*joins, "segment", place)};
    }
    return route;
}

std::string Number(double value, const std::string& owner, std::string_view key) {
    if (!std::isfinite(value) || value < 0)
        throw std::invalid_argument(Place(owner, key) + ": число " + NumberText(value) +
                                    " нельзя записать в файл сценария (ожидается неотрицательное конечное число)");
    return NumberText(value == 0 ? 0.0 : value);
}

// ", \"key\": value" for every number of the element's table.
template <class Owner, std::size_t N>
std::string Numbers(const ElementInput<Owner> (&table)[N], const Owner& from, const std::string& owner) {
    std::string text;
    for (const ElementInput<Owner>& input : table)
        text += ", " + JsonString(input.Key) + ": " + Number(from.*input.Field, owner, input.Key);
    return text;
}

std::string WriteSegment(const zf::flow::Segment& s, const std::string& owner) {
    std::string text = "{\"kind\": \"" + std::string(zf::flow::SegmentKindKey(s.Kind)) + "\"" + Numbers(kSegmentInputs, s, owner);
    if (s.Room < -1) throw std::invalid_argument(Place(owner, "room") + ": нет помещения с номером " + std::to_string(s.Room + 1));
    if (s.Room >= 0) text += ", \"room\": " + std::to_string(s.Room + 1);
    return text + "}";
}

std::string WriteRoute(const zf::flow::Route& route, std::size_t r) {
    const std::string owner = RouteOwner(r);
    std::string text = "{";
    if (!route.Name.empty()) text += "\"name\": " + JsonString(route.Name) + ", ";
    text += Numbers(kRouteInputs, route, owner).substr(2);
    std::string segments;
    for (std::size_t s = 0; s < route.Segments.size(); ++s)
        segments += (s ? ", " : "") + WriteSegment(route.Segments[s], SegmentOwner(r, s));
    text += ", \"segments\": [" + segments + "]";
    if (route.JoinsInto) {
        if (route.JoinsInto->Route < 0 || route.JoinsInto->Segment < 0)
            throw std::invalid_argument(Place(owner, "joins") + ": номер пути и участка должен быть не меньше 1");
        text += ", \"joins\": {\"route\": " + std::to_string(route.JoinsInto->Route + 1) +
                ", \"segment\": " + std::to_string(route.JoinsInto->Segment + 1) + "}";
    }
    return text + "}";
}

}  // namespace

std::vector<zf::flow::Route> ReadRoutes(const json& value) {
    if (!value.is_array())
        throw RouteRefused{"ключ \"evacuation_routes\": ожидается массив путей, а задано: " + CutText(value.dump()), &value};
    std::vector<zf::flow::Route> routes;
    for (const json& route : value) routes.push_back(ReadRoute(route, routes.size()));
    return routes;
}

std::vector<std::string> WriteRoutes(const std::vector<zf::flow::Route>& routes) {
    std::vector<std::string> lines;
    for (std::size_t r = 0; r < routes.size(); ++r) lines.push_back(WriteRoute(routes[r], r));
    return lines;
}

}  // namespace zf::project
