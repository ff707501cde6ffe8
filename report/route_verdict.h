#pragma once
// The evacuation verdict of the escape routes and the probability of evacuation P_э.
//
// Each route's people are judged in every room their path crosses: the time the last of them
// leaves the room, after the start delay, against the room's own blocking time,
//     t_нэ + t_выхода ≤ f · t_бл(room),
// the same rule as a room's typed times (verdict.h). A route with no room given is judged at
// its end against the fire room (room 1). The route's verdict is its worst room's.
//
// P_э, with t_р the evacuation time, t_нэ the start delay, t_бл the blocking time and t_ск the
// longest a dense flow (D > 0.5) lasts on the route:
//  - 0.999                          when t_р + t_нэ ≤ 0.8·t_бл and t_ск ≤ 6 min;
//  - 0.999·(0.8·t_бл − t_р)/t_нэ    when t_р < 0.8·t_бл < t_р + t_нэ and t_ск ≤ 6 min;
//  - 0                              when t_р ≥ 0.8·t_бл, or t_ск > 6 min.
// A route's P_э is the lowest over its rooms.

#include <optional>
#include <string>
#include <vector>

#include "model/people_flow.h"
#include "verdict.h"

namespace zfreport {

// The share of t_бл the probability of evacuation allows (a fixed 0.8, whatever the safety
// factor of the verdict) [-].
inline constexpr double kProbabilityShare = 0.8;
// Crowds lasting longer than this make evacuation impossible, P_э = 0 [s].
inline constexpr double kLongestCrowd = 6 * 60;
// P_э of an evacuation that ends in time [-].
inline constexpr double kCertainEvacuation = 0.999;

// P_э of one room from t_р, t_нэ, t_ск [s] and its t_бл [s] (none: no limit reached while the
// run lasted); none when the run cannot tell (it ran short, or ended before 0.8 of t_бл could
// be reached and the people are not out by 0.8·t_end). `reason` says why, in Russian.
std::optional<double> EvacuationProbability(double evacuationTime, double startDelay, double crowdTime,
                                            std::optional<double> blockingTime, const RunReach& reach,
                                            std::string* reason = nullptr);

// The routes of a run judged: the flows computed (the routes must pass zf::flow::CheckRoutes),
// each room by its critical times.
std::vector<RouteVerdict> JudgeRoutes(const zf::TzoneMath& zm, const RunReach& reach,
                                      const std::vector<zf::flow::Route>& routes, const zf::flow::FlowResult& flow,
                                      double safetyFactor);

// "0,999", "0,412", "0": P_э as every window, table and report shows it; "—" when none.
std::string ProbabilityText(const std::optional<double>& probability, std::string_view decimalSeparator);

// One line per route as the summaries show it: "Путь 1: tр = 2,141 мин (128,4 с), tск =
// 2,000 мин, Pэ = 0,999 — безопасно"; or why the routes were not computed. Empty without routes.
std::vector<std::string> RouteSummaryLines(const RunVerdict& verdict, std::string_view decimalSeparator);

// The definition of t_ск printed beside it.
std::string_view CrowdTimeDefinition();

}  // namespace zfreport
