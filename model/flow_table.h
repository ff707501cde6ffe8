#pragma once
// The table of the simplified analytical model of people-flow movement: flow speed V [m/min]
// and flow intensity q = D·V [m/min] by flow density D [m²/m²] (the projection of the people on
// a segment over its area), per kind of segment. The table lives in one data file
// (data/people-flow.csv, built into the program) with its provenance; it is checked when read.
// Between rows the values are linear in D; below the first row the first row's speed holds,
// above the last (D ≥ 0.9, a crowd) the last row's.

#include <array>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace zf::flow {

enum class SegmentKind {
    Horizontal,  // a horizontal path (a room's floor, a corridor)
    Doorway,     // a doorway in a wall up to 0.7 m thick: no length, no time of its own
    StairsDown,
    StairsUp,
};
inline constexpr int kSegmentKindCount = 4;

// A crowded doorway narrower than this passes q = 2.5 + 3.75·δ [m/min] instead of the table's
// last row [m].
inline constexpr double kNarrowDoorWidth = 1.6;

struct FlowTable {
    std::vector<double> Density;  // D of each row, rising [m²/m²]; the last row stands for D ≥ 0.9
    // By kind: V of each row [m/min] (empty for a doorway) and q of each row [m/min].
    std::array<std::vector<double>, kSegmentKindCount> Speed;
    std::array<std::vector<double>, kSegmentKindCount> Intensity;

    // V and q at density D (linear between rows; D below the first row: the first row's V
    // and q = D·V; above the last: the last row).
    double SpeedAt(SegmentKind kind, double density) const;
    double IntensityAt(SegmentKind kind, double density) const;
    // q_max of a kind: the largest q of its column [m/min], and the density where it is reached.
    double MaxIntensity(SegmentKind kind) const;
    double DensityOfMax(SegmentKind kind) const;
    // The density of a free flow of intensity q ≤ q_max: of the two densities a q fits, the
    // lower one (a flow that is not crowded spreads out).
    double FreeDensity(SegmentKind kind, double intensity) const;
    // q and V of a crowd (D ≥ 0.9) on a segment of width δ: the last row, but a doorway
    // narrower than 1.6 m passes 2.5 + 3.75·δ.
    double CrowdIntensity(SegmentKind kind, double width) const;
    double CrowdSpeed(SegmentKind kind) const;
};

// The table read from the text of the data file, or why it is refused (a row that breaks
// q ≈ D·V, densities not rising, a missing column), naming the row and the column.
struct FlowTableRead {
    std::optional<FlowTable> Table;
    std::string Error;
};
FlowTableRead ReadFlowTable(std::string_view csv);

// The program's table (data/people-flow.csv), read and checked once.
const FlowTable& PeopleFlowTable();

// The kind's key in the scenario file ("horizontal", "doorway", "stairs_down", "stairs_up")
// and its name in Russian ("горизонтальный путь", ...).
std::string_view SegmentKindKey(SegmentKind kind);
std::string_view SegmentKindText(SegmentKind kind);
std::optional<SegmentKind> SegmentKindOfKey(std::string_view key);

}  // namespace zf::flow
