// The enclosure's inputs: the material table's look-up, the check of a surface and the
// resolution of a room's surfaces.

#include <cmath>

#include "model/enclosure.h"

namespace zf {

const Material* FindMaterial(std::string_view key) {
    for (const Material& m : kMaterials)
        if (m.Key == key) return &m;
    return nullptr;
}

std::string KnownMaterialKeys() {
    std::string text;
    for (const Material& m : kMaterials) {
        if (!text.empty()) text += ", ";
        text += m.Key;
    }
    return text;
}

Surface MaterialSurface(std::string_view key, double thickness) {
    Surface s;
    const Material* m = FindMaterial(key);
    SurfaceLayer layer;
    layer.Key = std::string(key);
    if (m != nullptr) {
        layer.k = m->k;
        layer.rho = m->rho;
        layer.c = m->c;
    }
    layer.Thickness = thickness;
    s.Layers.push_back(layer);
    return s;
}

namespace {

bool Positive(double v) { return std::isfinite(v) && v > 0; }

}  // namespace

std::string SurfaceRefusal(const Surface& s) {
    if (s.Layers.empty() || s.Layers.size() > static_cast<std::size_t>(kMaxSurfaceLayers))
        return "число слоев должно быть от 1 до " + std::to_string(kMaxSurfaceLayers) + ", задано " +
               std::to_string(s.Layers.size()) + "; уберите лишние слои";
    for (std::size_t i = 0; i < s.Layers.size(); ++i) {
        const SurfaceLayer& l = s.Layers[i];
        const std::string which = "слой " + std::to_string(i + 1) + ": ";
        if (!Positive(l.Thickness) || l.Thickness > kMaxLayerThickness)
            return which + "толщина должна быть больше 0 и не больше 1 м";
        if (!Positive(l.k)) return which + "теплопроводность k должна быть положительным числом, Вт/(м·К)";
        if (!Positive(l.rho)) return which + "плотность rho должна быть положительным числом, кг/м³";
        if (!Positive(l.c)) return which + "теплоемкость c должна быть положительным числом, Дж/(кг·К)";
    }
    return {};
}

ResolvedSurfaces ResolveSurfaces(const HeatLossOptions& options, int index) {
    const RoomSurfaces none;
    const RoomSurfaces& own = index >= 0 && static_cast<std::size_t>(index) < options.Rooms.size()
                                  ? options.Rooms[static_cast<std::size_t>(index)]
                                  : none;
    ResolvedSurfaces r;
    r.Walls = own.Walls ? *own.Walls : options.Walls;
    if (own.Ceiling)
        r.Ceiling = *own.Ceiling;
    else if (own.Walls)
        r.Ceiling = *own.Walls;
    else if (options.Ceiling)
        r.Ceiling = *options.Ceiling;
    else
        r.Ceiling = options.Walls;
    return r;
}

}  // namespace zf
