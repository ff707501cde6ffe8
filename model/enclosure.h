#pragma once
// The enclosure a smoke layer loses heat to: the wall materials with their sources, a surface
// as a stack of material layers, and the choice of surfaces for the building and each room.
// Inputs only; the conduction through a surface is in wall_conduction.h, the layer's loss in
// heat_loss.h.

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace zf {

// A wall material with constant properties (no temperature dependence, no moisture).
struct Material {
    std::string_view Key;      // the scenario file's name
    std::string_view Russian;  // the window's name
    double k = 0;              // thermal conductivity [W/(m·K)]
    double rho = 0;            // density [kg/m³]
    double c = 0;              // specific heat [J/(kg·K)]
    std::string_view Source;   // where the values come from
};

// Typical handbook values at room temperature.
inline constexpr Material kMaterials[] = {
    {"concrete", "бетон", 1.6, 2300, 900,
     "EN 1992-1-2 §3.3: normal-weight concrete at 20 °C (k between the limits 1.36 and 2.0; c = 900 dry)"},
    {"brick", "кирпич", 0.69, 1600, 840, "Drysdale, An Introduction to Fire Dynamics, Table 2.1 (common brick)"},
    {"gypsum_board", "гипсокартон", 0.16, 800, 1090,
     "ASHRAE Handbook — Fundamentals, material properties of building assemblies (gypsum board)"},
    {"insulating_board", "теплоизоляционная плита (керамоволокно/минвата)", 0.08, 250, 1070,
     "manufacturers' data for alumino-silicate (ceramic-fibre) board at 100–300 °C mean temperature"},
    {"calcium_silicate_board", "плита из силиката кальция (маринит)", 0.12, 737, 1200,
     "Hamins et al., NIST SP 1013-1 (2005), set-up values for Marinite I"},
    {"steel_sheet", "стальной лист", 45, 7850, 460,
     "CIBSE Guide A Table 3.36; Drysdale, Table 2.1 (mild steel)"},
    {"aluminium_sheet", "алюминиевый лист", 230, 2700, 880, "CIBSE Guide A Table 3.36 (aluminium)"},
};

// The material of a key of kMaterials; null for an unknown key.
const Material* FindMaterial(std::string_view key);
// "concrete, brick, ...": the known keys, for a message.
std::string KnownMaterialKeys();

// One layer of a surface: a material of the table (Key set) or a custom one (Key empty).
struct SurfaceLayer {
    std::string Key;        // material key; empty: custom properties
    double k = 0;           // [W/(m·K)]
    double rho = 0;         // [kg/m³]
    double c = 0;           // [J/(kg·K)]
    double Thickness = 0;   // [m]

    bool operator==(const SurfaceLayer&) const = default;
};

enum class BackFace { Ambient, Adiabatic };

// A ceiling or the walls: 1 to kMaxSurfaceLayers layers, the exposed one first.
struct Surface {
    std::vector<SurfaceLayer> Layers;
    BackFace Back = BackFace::Ambient;
    bool Multilayer = false;  // written as "layers" even with one layer (the file's own form)

    bool operator==(const Surface&) const = default;
};

inline constexpr int kMaxSurfaceLayers = 4;
inline constexpr double kMaxSurfaceInterval = 1.0;  // [s]: longer than the walls' quickest response
inline constexpr double kMaxLayerThickness = 1.0;  // [m]

// A surface of one layer of a table material.
Surface MaterialSurface(std::string_view key, double thickness);

// Why a surface cannot be used (Russian, naming the layer), or empty: 1..4 layers, thickness
// finite with 0 < L ≤ 1 m, k, rho, c finite and positive.
std::string SurfaceRefusal(const Surface& s);

// A room's own choice, overriding the building's.
struct RoomSurfaces {
    std::optional<Surface> Walls;
    std::optional<Surface> Ceiling;

    bool operator==(const RoomSurfaces&) const = default;
};

// The heat-loss option: on when Enabled; the building's walls (required) and ceiling, and
// per room (by index) its overrides.
struct HeatLossOptions {
    bool Enabled = false;
    Surface Walls;
    std::optional<Surface> Ceiling;
    std::vector<RoomSurfaces> Rooms;
    // How often the surfaces' conduction advances [s]: 0, every step; otherwise every
    // round(SurfaceInterval/dt) steps (at least 1) with the mean of those steps' fluxes. Every
    // 0.1 s saves most of the conduction's cost and moves the validation results by at most
    // 3·10⁻⁵ of their value; the layer's own loss is still computed every step.
    double SurfaceInterval = 0;

    bool operator==(const HeatLossOptions&) const = default;
};

// The surfaces of room `index`: walls = the room's, else the building's; ceiling = the room's,
// else the room's walls (if it has its own), else the building's ceiling, else its walls.
struct ResolvedSurfaces {
    Surface Ceiling;
    Surface Walls;
};
ResolvedSurfaces ResolveSurfaces(const HeatLossOptions& options, int index);

}  // namespace zf
