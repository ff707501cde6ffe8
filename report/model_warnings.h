#pragma once
// What a finished run's own numbers say about its reliability, in the same Russian words for
// the results window, the summary, the JSON and the report.

#include <string>
#include <vector>

#include "model/scenario.h"

namespace zfreport {

// Rooms (indices, ascending) other than the fire room whose upper layer ends the run hotter
// than the fire room's: the known fault of the reference model on doorways whose flow
// reverses, which creates heat there.
std::vector<int> RoomsHotterThanFireRoom(const zf::TzoneMath& zm);

// The warning for those rooms, pointing to consistent outflow where it is off; empty when none.
std::string HotterThanFireRoomWarning(const zf::TzoneMath& zm);

// Above this share of the fire's heat the enthalpy the neutral-layer guard added makes the
// layer balances of the building numerically unreliable [-].
inline constexpr double kGuardEnergyWarnShare = 0.01;

// The warning when the guard added more than that share; empty otherwise or without heat loss.
std::string GuardEnergyWarning(const zf::TzoneMath& zm);

// Every warning of the run, in order.
std::vector<std::string> RunWarnings(const zf::TzoneMath& zm);

}  // namespace zfreport
