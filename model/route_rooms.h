#pragma once
// Escape routes stay on their rooms when the building loses a room: a route's segments name
// rooms by number, and every room after a deleted one moves up by one.

#include <vector>

#include "model/people_flow.h"

namespace zf::flow {

// Room `deleted` (0-based) leaves the building: a segment in a later room follows its room to
// the new number; a segment in the deleted room keeps no room (the route is then judged at its
// end). Returns how many segments lost their room, for the editor to say so.
inline int ForgetRoom(std::vector<Route>& routes, int deleted) {
    int unbound = 0;
    for (Route& route : routes)
        for (Segment& segment : route.Segments) {
            if (segment.Room == deleted) {
                segment.Room = -1;
                ++unbound;
            } else if (segment.Room > deleted) {
                --segment.Room;
            }
        }
    return unbound;
}

}  // namespace zf::flow
