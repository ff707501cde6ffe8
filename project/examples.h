#pragma once
// The example buildings "Файл → Примеры" offers, in its order: files in examples/ (installed in
// share/zonefire/examples), each with a title and a note saying what it shows.

#include <string_view>

namespace zf::project {

inline constexpr std::string_view kExampleFiles[] = {
    "office_floor.json",      // an office floor: open-plan office, corridor, meeting room, stair
    "corridor_rooms.json",    // a hotel corridor with rooms off it
    "two_storey_stair.json",  // a stair two storeys high fed by a ground-floor corridor
    "warehouse.json",         // a high warehouse with a staff room
};

}  // namespace zf::project
