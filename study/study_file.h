#pragma once
// The study file: a base scenario, how many runs, the seed, the sampling and the inputs to vary
// with their distributions.
//
//   {"base": {...scenario...}          or  "base_file": "two_rooms.json" (relative to the study),
//    "runs": 200, "seed": 1, "sampling": "monte-carlo" | "latin-hypercube",
//    "vary": [
//      {"input": "Vlin", "distribution": "uniform", "min": 0.008, "max": 0.014},
//      {"input": "PsiUd", "distribution": "normal", "mean": 0.0145, "sd": 0.002, "min": 0.005},
//      {"input": "D", "distribution": "lognormal", "median": 270, "factor": 1.5},
//      {"input": "rooms[2].length", "distribution": "triangular", "min": 5, "mode": 6, "max": 8},
//      {"input": "openings[1].open", "distribution": "bernoulli", "p": 0.8},
//      {"input": "plume", "distribution": "choice", "values": ["tanaka", "mccaffrey"], "weights": [3, 1]},
//      {"input": "heat_loss.walls.material", "distribution": "choice", "values": ["gypsum_board", "brick"]},
//      {"input": "heat_loss.walls.thickness", "distribution": "uniform", "min": 0.01, "max": 0.02},
//      {"input": "evacuation_routes[1].people", "distribution": "triangular", "min": 40, "mode": 60, "max": 90},
//      {"input": "evacuation_routes[1].projection", "distribution": "choice", "values": [0.1, 0.125]},
//      {"input": "evacuation_routes[1].start_delay", "distribution": "uniform", "min": 60, "max": 360}]}
//
// Inputs: a top-level number of the scenario file (Qn, Vlin, PsiUd, fire_area_max, D, Lo2, Lco,
// Lco2, Lhcl, Nu, T0, hr, SimTime, dt; SamplesPerSec as a choice of whole numbers; the safety
// factor "safety_factor", whose law must keep every draw in 0 < f ≤ 1); a room's length, width
// or height ("rooms[i]....", 1-based); a room's evacuation inputs
// ("rooms[i].evacuation.start_delay|duration", seconds); an opening's width, height or open
// state ("openings[k]....", 1-based, counted as in the scenario's list); the plume correlation;
// with the heat-loss option in the base, the material (a choice of the table's keys) or the
// thickness (0 < L ≤ 1 m in every draw) of a surface of one layer the base gives: the
// building's ("heat_loss.walls|ceiling.material|thickness") or a room's own
// ("rooms[i].walls|ceiling.material|thickness"); an escape route's people count N (N ≥ 0 in
// every draw), the projection f of one person (0 < f ≤ 1 m² in every draw) or its start delay
// t_нэ (seconds, ≥ 0 in every draw): "evacuation_routes[i].people|projection|start_delay",
// 1-based, of a route the base gives. Each run's row then carries per route t_р, P_э and the
// route's verdict, and the summary their distributions.
// Varying one evacuation input of a room the base gives none sets the other to 0 (a varied
// duration alone: people start leaving at once). A room has a verdict in every run when the
// base gives it evacuation inputs or one of them is varied.
// Distributions and their parameters: uniform (min, max); normal (mean, sd; optional min and
// max truncate it); lognormal (mu, sigma of ln X, or median and factor = 95th percentile /
// median); triangular (min, mode, max); bernoulli (p of true, for "open" only); choice (values,
// optional weights).

#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "project/document.h"
#include "study_random.h"

namespace zfcli::study {

// What an input sets in the scenario.
enum class InputKind {
    Number,     // a number
    OpenState,  // an opening's "open": true or false
    Plume,      // "tanaka" or "mccaffrey"
    Material,   // a wall material's key of the table ("concrete", ...)
};

struct VariedInput {
    std::string Path;  // as written in the study: "Vlin", "rooms[2].length"
    InputKind Kind = InputKind::Number;
    Distribution Law;
    std::vector<std::string> ChoiceTexts;  // for a choice: each value as runs.csv writes it
    std::vector<double> ChoiceNumbers;     // for a choice of numbers: the values
    // Where the value goes: a top-level key (Room and Opening −1), a room's key (its 0-based
    // index; Evacuation: inside its "evacuation") or an opening's key.
    int Room = -1;
    int Opening = -1;
    int Route = -1;  // an escape route's key: its 0-based index
    bool Evacuation = false;
    std::string Surface;  // "walls" or "ceiling" for a surface of the heat-loss option, else empty
    std::string Key;
};

// One drawn value of an input.
struct Draw {
    std::string Text;  // as runs.csv and the scenario write it: "0.0121", "true", "tanaka"
    double Rank = 0;   // the value ordered as a number: itself, 1/0 for open/shut, a choice's index
};

struct Study {
    zf::project::Document Base;  // the base scenario
    std::uint64_t Runs = 0;
    std::uint64_t Seed = 0;
    Sampling Method = Sampling::MonteCarlo;
    std::vector<VariedInput> Inputs;
    int RoomCount = 0;
    int RouteCount = 0;  // the base's escape routes, each judged in every run
    std::vector<bool> RoomHasEvacuation;  // the base or a varied input gives the room evacuation inputs
    // The whole study with the base written in, in one fixed layout: what an output folder
    // keeps, so a resumed study or a merge can tell whether it holds the same study.
    std::string Canonical;
};

// Most runs a study may ask for.
inline constexpr std::uint64_t kMaxRuns = 10'000'000;

// Reads a study file's text; "base_file" is taken relative to `studyDir`. Returns a message
// in Russian naming the key or the entry of "vary" (by its 1-based number and input) that is
// wrong, or std::nullopt when `out` is a study ready to run.
std::optional<std::string> ReadStudy(std::string_view text, const std::filesystem::path& studyDir, Study& out);

// The draws of run `run` (1-based) of every varied input, in the order of "vary".
std::vector<Draw> DrawsOfRun(const Study& study, const Sampler& sampler, std::uint64_t run);

// The building of a run: the base with the draws set.
zf::project::Document ScenarioOfRun(const Study& study, const std::vector<Draw>& draws);

// The scenario of a run: the base with the draws set, in the scenario file's text. This is the
// text that run reads and computes and what --emit-scenario prints. Throws
// std::invalid_argument naming the key when a draw cannot stand in a scenario file (a negative
// size drawn from a normal distribution, say).
std::string ScenarioText(const Study& study, const std::vector<Draw>& draws);

}  // namespace zfcli::study
