// Reading and writing the heat-loss keys of a scenario file.

#include "project/surface_file.h"

#include <algorithm>
#include <cmath>
#include <stdexcept>

#include <nlohmann/json.hpp>

#include "project/element_inputs.h"
#include "project/file_text.h"

namespace zf::project {
namespace {

using nlohmann::json;

constexpr const char* kSurfaceKeys[] = {"material", "thickness", "layers", "back"};
constexpr const char* kLayerKeys[] = {"material", "thickness"};
constexpr const char* kCustomKeys[] = {"k", "rho", "c"};
constexpr const char* kHeatLossKeys[] = {"walls", "ceiling", "surface_interval"};

template <std::size_t N>
std::string KeyList(const char* const (&keys)[N]) {
    std::string text;
    for (const char* k : keys) text += (text.empty() ? "" : ", ") + Quoted(k);
    return text;
}

template <std::size_t N>
void RequireObjectWithKeys(const json& v, const char* const (&keys)[N], const std::string& place) {
    if (!v.is_object()) throw SurfaceRefused{place + ": ожидается объект, а задано: " + v.dump(), &v};
    for (const auto& item : v.items())
        if (std::find_if(std::begin(keys), std::end(keys), [&](const char* k) { return item.key() == k; }) == std::end(keys))
            throw SurfaceRefused{place + ": неизвестный ключ " + Quoted(item.key()) + " (допустимы " + KeyList(keys) + ")", &item.value()};
}

// A number of its table (project/element_inputs.h): required when the row says so, refused
// outside its range; a missing optional key keeps the default.
template <class Owner>
void ReadInput(const json& object, const ElementInput<Owner>& input, Owner& into, const std::string& place) {
    const auto it = object.find(std::string(input.Key));
    if (it == object.end()) {
        if (input.Required) throw SurfaceRefused{place + ": не задан ключ " + Quoted(input.Key), &object};
        into.*input.Field = input.Default;
        return;
    }
    const std::string at = place + ", ключ " + Quoted(input.Key) + ": ";
    if (!it->is_number()) throw SurfaceRefused{at + "ожидается число, а задано: " + it->dump(), &*it};
    if (const std::string why = OutOfRange(input, it->get<double>()); !why.empty()) throw SurfaceRefused{at + why, &*it};
    into.*input.Field = it->get<double>();
}

// "material" (a key of the table or a custom object) and "thickness" of one layer.
SurfaceLayer ReadLayer(const json& object, const std::string& place) {
    SurfaceLayer layer;
    const auto m = object.find("material");
    if (m == object.end()) throw SurfaceRefused{place + ": не задан ключ \"material\"", &object};
    if (m->is_string()) {
        const Material* known = FindMaterial(m->get<std::string>());
        if (known == nullptr)
            throw SurfaceRefused{place + ", ключ \"material\": неизвестный материал " + Quoted(m->get<std::string>()) +
                                 " (известны: " + KnownMaterialKeys() + "; или задайте {\"k\", \"rho\", \"c\"})", &*m};
        layer = SurfaceLayer{std::string(known->Key), known->k, known->rho, known->c, 0};
    } else {
        const std::string custom = place + ", ключ \"material\"";
        RequireObjectWithKeys(*m, kCustomKeys, custom);
        for (const ElementInput<SurfaceLayer>& input : kMaterialInputs) ReadInput(*m, input, layer, custom);
    }
    for (const ElementInput<SurfaceLayer>& input : kLayerInputs) ReadInput(object, input, layer, place);
    return layer;
}

}  // namespace

Surface ReadSurface(const json& value, const std::string& owner, const std::string& key) {
    const std::string place = Place(owner, key);
    RequireObjectWithKeys(value, kSurfaceKeys, place);
    Surface s;
    if (const auto layers = value.find("layers"); layers != value.end()) {
        if (value.contains("material") || value.contains("thickness"))
            throw SurfaceRefused{place + ": задайте либо \"layers\", либо \"material\" и \"thickness\", но не оба", &value};
        if (!layers->is_array() || layers->empty() || layers->size() > static_cast<std::size_t>(kMaxSurfaceLayers))
            throw SurfaceRefused{place + ", ключ \"layers\": ожидается от 1 до " + std::to_string(kMaxSurfaceLayers) +
                                 " слоев, а задано: " + (layers->is_array() ? std::to_string(layers->size()) : layers->dump()), &*layers};
        s.Multilayer = true;
        for (std::size_t i = 0; i < layers->size(); ++i) {
            const std::string layerPlace = place + ", слой " + std::to_string(i + 1);
            RequireObjectWithKeys((*layers)[i], kLayerKeys, layerPlace);
            s.Layers.push_back(ReadLayer((*layers)[i], layerPlace));
        }
    } else {
        s.Layers.push_back(ReadLayer(value, place));
    }
    if (const auto back = value.find("back"); back != value.end()) {
        if (*back == "adiabatic")
            s.Back = BackFace::Adiabatic;
        else if (*back != "ambient")
            throw SurfaceRefused{place + ", ключ \"back\": ожидается \"ambient\" или \"adiabatic\", а задано: " + back->dump(), &*back};
    }
    return s;
}

BuildingSurfaces ReadHeatLoss(const json& value) {
    const std::string place = Place({}, "heat_loss");
    RequireObjectWithKeys(value, kHeatLossKeys, place);
    BuildingSurfaces b;
    const auto walls = value.find("walls");
    if (walls == value.end())
        throw SurfaceRefused{place + ": не задан ключ \"walls\" (материал и толщина стен обязательны: от них зависит "
                             "время блокирования по температуре)", &value};
    b.Walls = ReadSurface(*walls, {}, "heat_loss.walls");
    if (const auto ceiling = value.find("ceiling"); ceiling != value.end())
        b.Ceiling = ReadSurface(*ceiling, {}, "heat_loss.ceiling");
    for (const ElementInput<BuildingSurfaces>& input : kHeatLossInputs) ReadInput(value, input, b, place);
    return b;
}

namespace {

// "\"key\": value, ..." for every number of the table.
template <class Owner, std::size_t N>
std::string Members(const ElementInput<Owner> (&table)[N], const Owner& from) {
    std::string text;
    for (const ElementInput<Owner>& input : table) text += (text.empty() ? "" : ", ") + JsonString(input.Key) + ": " + NumberText(from.*input.Field);
    return text;
}

std::string LayerText(const SurfaceLayer& l) {
    return "\"material\": " + (l.Key.empty() ? "{" + Members(kMaterialInputs, l) + "}" : JsonString(l.Key)) + ", " +
           Members(kLayerInputs, l);
}

}  // namespace

std::string WriteSurface(const Surface& s, const std::string& owner, const std::string& key) {
    if (const std::string bad = SurfaceRefusal(s); !bad.empty())
        throw std::invalid_argument(Place(owner, key) + ": " + bad);
    std::string text = "{";
    if (s.Multilayer || s.Layers.size() > 1) {
        text += "\"layers\": [";
        for (std::size_t i = 0; i < s.Layers.size(); ++i) text += (i ? ", {" : "{") + LayerText(s.Layers[i]) + "}";
        text += "]";
    } else {
        text += LayerText(s.Layers.front());
    }
    if (s.Back == BackFace::Adiabatic) text += ", \"back\": \"adiabatic\"";
    return text + "}";
}

std::string WriteHeatLoss(const BuildingSurfaces& b) {
    std::string text = "{\"walls\": " + WriteSurface(b.Walls, {}, "heat_loss.walls");
    if (b.Ceiling) text += ", \"ceiling\": " + WriteSurface(*b.Ceiling, {}, "heat_loss.ceiling");
    for (const ElementInput<BuildingSurfaces>& input : kHeatLossInputs)  // left out at its default
        if (b.*input.Field != input.Default) text += ", " + JsonString(input.Key) + ": " + NumberText(b.*input.Field);
    return text + "}";
}

}  // namespace zf::project
