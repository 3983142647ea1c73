// The level solver's speed in positions per second: the example levels of
// the level-design tools solved through the undo ring and by building the
// world again for every position, and a yard of crates whose exit cannot be
// reached, searched to a bound of positions. Start from the run folder:
// ./bench_Solver
#include <benchmark/benchmark.h>

#include <string>

#include "tools/design/CSolver.h"
#include "tools/levels/CLevelSource.h"
#include "world/CHeadlessWorld.h"
#include "world/CLevel.h"

namespace {

// Four crates, two holes and two ledges with ladders; the exit stands on a
// pillar nobody can climb, so every position is searched.
const char* const kYard =
    "heading: Crate Yard\n"
    "background: 2\n"
    "tiles:\n"
    "................................\n................................\n................................\n"
    "................................\n................................\n................................\n"
    "................................\n................................\n................................\n"
    "................................\n................................\n................................\n"
    "................................\n................................\n................................\n"
    "................................\n"
    ".............................E..\n"
    "............................###.\n"
    "....######...........#####..###.\n"
    "............................###.\n"
    "............................###.\n"
    ".S.....c...c....c....c......###.\n"
    "######.#########..#######.######\n"
    "################################\n"
    "ladders:\n"
    "................................\n................................\n................................\n"
    "................................\n................................\n................................\n"
    "................................\n................................\n................................\n"
    "................................\n................................\n................................\n"
    "................................\n................................\n................................\n"
    "................................\n................................\n"
    "...H......H.........H.....H.....\n"
    "...=......=.........=.....=.....\n"
    "...H......H.........H.....H.....\n"
    "...H......H.........H.....H.....\n"
    "...H......H.........H.....H.....\n"
    "................................\n................................\n";

bool Prepare(benchmark::State& state, CLevel* level, const std::string& example) {
    std::string error;
    if (!CHeadlessWorld::Start(ZORV_RUN_DIR, &error)) {
        state.SkipWithError(error.c_str());
        return false;
    }
    const bool read = example.empty()
                          ? CLevelSource::Parse(kYard, level, &error)
                          : CLevelSource::ParseFile(
                                std::string(ZORV_SOURCE_DIR) + "/tools/design/examples/" + example + ".txt", level,
                                &error);
    if (!read) state.SkipWithError(error.c_str());
    return read;
}

void Solve(benchmark::State& state, const std::string& example, bool undo, long maxStates) {
    CLevel level;
    if (!Prepare(state, &level, example)) return;
    SolverOptions options;
    options.undo = undo;
    options.maxStates = maxStates;
    long positions = 0;
    double seconds = 0;
    long frames = 0;
    for (auto _ : state) {
        const SolverResult r = CSolver(&level, options).Solve();
        positions += r.found;
        seconds += r.seconds;
        frames += r.frames;
        benchmark::DoNotOptimize(r.commands.data());
    }
    state.counters["positions"] = static_cast<double>(positions) / static_cast<double>(state.iterations());
    state.counters["positions/s"] = seconds > 0 ? static_cast<double>(positions) / seconds : 0;
    state.counters["frames/s"] = seconds > 0 ? static_cast<double>(frames) / seconds : 0;
}

void PushThroughUndo(benchmark::State& state) { Solve(state, "push", true, 200000); }
void PushRebuilding(benchmark::State& state) { Solve(state, "push", false, 200000); }
void FallThroughUndo(benchmark::State& state) { Solve(state, "fall", true, 200000); }
void Yard1000Positions(benchmark::State& state) { Solve(state, "", true, 1000); }

}  // namespace

BENCHMARK(PushThroughUndo)->Unit(benchmark::kMillisecond);
BENCHMARK(PushRebuilding)->Unit(benchmark::kMillisecond)->Iterations(2);
BENCHMARK(FallThroughUndo)->Unit(benchmark::kMillisecond);
BENCHMARK(Yard1000Positions)->Unit(benchmark::kMillisecond)->Iterations(2);
BENCHMARK_MAIN();
