// Whole runs of the calculation: the main window's defaults on the two-room building (both
// plume correlations), corridor buildings of 10 and 50 rooms at a coarser step, and the chains
// of 10 and 50 rooms of examples/chain10.json and chain50.json (dt 0.001 s, 200 s), to show
// how the cost of one room's step changes as rooms are added.
//
//   build/bench/run_bench --benchmark_repetitions=5 --benchmark_report_aggregates_only=true
//
// "room_step" is the processor time of one room's step [s]; the run time is in milliseconds.
// BM_ReadManyObjects shows the scenario reader's cost growing in proportion to the text.

#include <benchmark/benchmark.h>

#include <fstream>
#include <iterator>
#include <memory>
#include <string>

#include "project/scenario_file.h"
#include "test_buildings.h"
#include "model/scenario.h"

namespace {

// A progress view that does nothing, as the command-line runner's would.
class SilentView : public zf::RunView {};

// The main window's default inputs with the given plume, step and time.
void SetDefaults(zf::TzoneMath& zm, bool tanaka, double dt, double simTime) {
    testing_zf::SetDefaultInputs(zm);
    zm.dt = dt;
    zm.SimTime = simTime;
    zm.UseTanaka = tanaka;
}

using testing_zf::AddDoorway;

// Fire room 5 × 4 × 3 m and a second room 6 × 5 × 3 m joined by an open doorway 2 × 0.9 m.
std::unique_ptr<zf::TzoneMath> TwoRooms(bool tanaka) {
    auto zm = std::make_unique<zf::TzoneMath>();
    SetDefaults(*zm, tanaka, 0.0001, 200);
    zm->AddRoom(5, 4, 3);
    zm->AddRoom(6, 5, 3);
    AddDoorway(*zm, 0, 1, 2.0, 0.9, true);
    return zm;
}

// The fire room and rooms 2.. open off a corridor (room 1); every other door is closed,
// every third room has a window, the corridor a door to the outside.
std::unique_ptr<zf::TzoneMath> Corridor(int rooms) {
    auto zm = std::make_unique<zf::TzoneMath>();
    SetDefaults(*zm, true, 0.001, 200);
    const int offices = rooms - 1;  // the fire room included
    zm->AddRoom(5, 4, 3);                          // fire room
    zm->AddRoom(2.0 * ((offices + 1) / 2), 2, 3);  // corridor, 4 m of wall per pair of rooms
    AddDoorway(*zm, 0, 1, 2.0, 0.9, true);
    zm->AddProem(1, 1, 2.1, 1.2, false);
    for (int i = 2; i < rooms; ++i) {
        zm->AddRoom(4 + 0.5 * (i % 3), 3.5, 3);
        AddDoorway(*zm, 1, i, 2.0, 0.9, i % 2 == 0);
        if (i % 3 == 0) zm->AddProem(i, i, 2.3, 1.4, true);
    }
    return zm;
}

void Measure(benchmark::State& state, std::unique_ptr<zf::TzoneMath> (*make)(int), int arg) {
    double roomSteps = 0;
    for (auto _ : state) {
        state.PauseTiming();
        std::unique_ptr<zf::TzoneMath> zm = make(arg);
        SilentView view;
        state.ResumeTiming();
        if (!zm) {
            state.SkipWithError("the example building could not be read");
            break;
        }
        if (!zm->Run(view)) state.SkipWithError("the run failed");
        roomSteps = static_cast<double>(zm->RoomCount()) * (zm->StepCount - 1);
        benchmark::DoNotOptimize(zm->Rooms[0]->Samples.data());
    }
    state.counters["room_step"] = benchmark::Counter(
        roomSteps, benchmark::Counter::kIsIterationInvariantRate | benchmark::Counter::kInvert);
}

// A building of the examples folder, read as the runner reads it.
std::unique_ptr<zf::TzoneMath> FromExample(int rooms) {
    const std::string path = std::string(ZONEFIRE_EXAMPLES) + "/chain" + std::to_string(rooms) + ".json";
    std::ifstream in(path);
    const std::string text((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    auto zm = std::make_unique<zf::TzoneMath>();
    if (zf::project::ReadScenario(text, *zm)) return nullptr;
    return zm;
}

std::unique_ptr<zf::TzoneMath> MakeTwoRooms(int tanaka) { return TwoRooms(tanaka != 0); }

void BM_DefaultsTanaka(benchmark::State& state) { Measure(state, MakeTwoRooms, 1); }
void BM_DefaultsMcCaffrey(benchmark::State& state) { Measure(state, MakeTwoRooms, 0); }
void BM_Corridor(benchmark::State& state) {
    Measure(state, Corridor, static_cast<int>(state.range(0)));
}

BENCHMARK(BM_DefaultsTanaka)->Unit(benchmark::kMillisecond)->Iterations(2);
BENCHMARK(BM_DefaultsMcCaffrey)->Unit(benchmark::kMillisecond)->Iterations(2);
void BM_Chain(benchmark::State& state) { Measure(state, FromExample, static_cast<int>(state.range(0))); }

BENCHMARK(BM_Corridor)->Arg(2)->Arg(10)->Arg(50)->Unit(benchmark::kMillisecond)->Iterations(2);
BENCHMARK(BM_Chain)->Arg(10)->Arg(50)->Unit(benchmark::kMillisecond)->Iterations(2);

// Reading a scenario with N unknown small objects, far more than any scenario holds: the
// reader's cost should grow in proportion to the text (the fitted complexity reads "N"); a
// reader whose cost grows with the square takes minutes at 300 000.
void BM_ReadManyObjects(benchmark::State& state) {
    std::string values;
    for (int i = 0; i < state.range(0); ++i) values += i ? R"(,{"rooms": [1, 1]})" : R"({"rooms": [1, 1]})";
    const std::string text = R"({"rooms": [{}], "list": [)" + values + "]}";
    for (auto _ : state) {
        zf::TzoneMath zm;
        benchmark::DoNotOptimize(zf::project::ReadScenario(text, zm));  // refused: unknown key "list"
    }
    state.SetComplexityN(state.range(0));
}
BENCHMARK(BM_ReadManyObjects)->RangeMultiplier(4)->Range(4096, 262144)->Unit(benchmark::kMillisecond)
    ->Complexity(benchmark::oN);

}  // namespace

BENCHMARK_MAIN();
