#pragma once
// The heat-loss keys of a scenario file: "heat_loss" at the top with the building's "walls"
// and "ceiling", and a room's own "walls" and "ceiling". A surface is
//   {"material": M, "thickness": L}  or  {"layers": [{"material": M, "thickness": L}, …]}
// (1 to 4 layers, the exposed one first) plus an optional "back": "ambient" | "adiabatic".
// M is a key of the material table or a custom {"k": …, "rho": …, "c": …}.

#include <optional>
#include <string>
#include <string_view>

#include <nlohmann/json_fwd.hpp>

#include "model/enclosure.h"
#include "project/document.h"

namespace zf::project {

// A refusal of a heat-loss key, naming the room and the key; the file reader turns it into
// its own message.
struct SurfaceRefused {
    std::string Message;
    const nlohmann::json* At = nullptr;  // the refused value, for its key path and line
};

// Reading: `owner` is "" at the top or "помещение №N". Throws SurfaceRefused.
BuildingSurfaces ReadHeatLoss(const nlohmann::json& value);
Surface ReadSurface(const nlohmann::json& value, const std::string& owner, const std::string& key);

// The keys of "heat_loss", a surface, a layer and a custom material, for the list of every key
// the reader knows.
inline constexpr std::string_view kSurfaceFileKeys[] = {"surface_interval", "material", "thickness", "layers",
                                                        "back", "k", "rho", "c"};

// Writing: one line of JSON. Throws std::invalid_argument for a surface the reader refuses.
std::string WriteHeatLoss(const BuildingSurfaces& surfaces);
std::string WriteSurface(const Surface& surface, const std::string& owner, const std::string& key);

}  // namespace zf::project
