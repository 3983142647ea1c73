// The world step on a busy level: one world step alone, one with every
// sprite's animation step (what a play frame adds before drawing), and a
// whole 1,000-frame headless run including building the level. Start from
// the run folder (SDL_VIDEODRIVER=dummy): ./bench_WorldStep
#include <benchmark/benchmark.h>

#include <string>
#include <vector>

#include "engine/CBackground.h"
#include "engine/CController.h"
#include "engine/CDraw.h"
#include "engine/CRender.h"
#include "engine/CSprite.h"
#include "world/CElement.h"
#include "world/CHeadlessWorld.h"
#include "world/CLevel.h"
#include "world/CWorldRun.h"
#include "world/SolutionKeys.h"

namespace {

// Ground, four ledges of grass, sand and ice, stacks of crates and barrels,
// bridges, magnets, ladders; the hero walks right, then left, then right.
CLevel MakeBusyLevel() {
    CLevel level;
    for (int x = 0; x < CLevel::kWidth; ++x) level.SetTile(TERRAIN_GRASS, x, 23);
    const uint32_t ledgeCodes[] = {TERRAIN_GRASS, TERRAIN_SAND, TERRAIN_ICE, TERRAIN_GRASS};
    for (int i = 0; i < 4; ++i)
        for (int x = 2 + i * 7; x < 7 + i * 7; ++x) level.SetTile(ledgeCodes[i], x, 18 - i * 3);
    const uint32_t loose[] = {OBJECT_WCRATE, OBJECT_MCRATE, OBJECT_WBARREL, OBJECT_MBARREL};
    for (int x = 3; x < 30; x += 2)
        for (int y = 19; y < 23; ++y) level.SetTile(loose[(x + y) % 4], x, y);
    for (int x = 1; x < 31; x += 5) level.SetTile(TERRAIN_BRIDGE, x, 12);
    level.SetTile(OBJECT_LMAGNET, 20, 11);
    level.SetTile(OBJECT_MCRATE, 19, 11);
    for (int y = 10; y < 23; ++y) level.SetLadder(LADDER, 30, y);
    level.SetTile(DEVICE_TUBE_START, 0, 22);
    level.SetTile(DEVICE_TUBE_END, 31, 22);
    return level;
}

std::vector<ReplayKey> WalkKeys() {
    return {{60, SOLUTION_KEY_RIGHT, false}, {400, SOLUTION_KEY_RIGHT, true}, {401, SOLUTION_KEY_LEFT, false},
            {700, SOLUTION_KEY_LEFT, true},  {701, SOLUTION_KEY_RIGHT, false}};
}

bool Start(benchmark::State& state) {
    std::string error;
    if (CHeadlessWorld::Start(ZORV_RUN_DIR, &error)) return true;
    state.SkipWithError(error.c_str());
    return false;
}

void Steps(benchmark::State& state, bool withSprites) {
    if (!Start(state)) return;
    CLevel level = MakeBusyLevel();
    CWorldRun run(&level);
    run.SetKeys(WalkKeys());
    std::string error;
    if (!run.Start(&error)) {
        state.SkipWithError(error.c_str());
        return;
    }
    for (int i = 0; i < 60; ++i) run.StepFrame();
    long frames = 0;
    for (auto _ : state) {
        CElement::UpdateWorld();
        if (withSprites) UpdateAllSprites();
        if (++frames % 900 == 0) {
            state.PauseTiming();
            run.Start(&error);
            for (int i = 0; i < 60; ++i) run.StepFrame();
            state.ResumeTiming();
        }
    }
    state.counters["elements"] = static_cast<double>(CElement::GetAllElements().size());
    state.SetItemsProcessed(state.iterations());
}

void WorldStep(benchmark::State& state) { Steps(state, false); }
void WorldStepWithSprites(benchmark::State& state) { Steps(state, true); }

// The renderer cuts the play screen's dirty rectangles in its own way; it
// knows the screen by its id.
class PlayScreen : public CController {
public:
    PlayScreen() { id = CONTROLLER_GAME; }
    void InputKey(bool, int) override {}
    void Pump() override {}
};

// A whole play frame short of the wait: the world step, every sprite's step,
// the dirty rectangles drawn and put on the (dummy) display.
void PlayFrame(benchmark::State& state) {
    if (!Start(state)) return;
    PlayScreen screen;
    screen.Activate(nullptr);
    CLevel level = MakeBusyLevel();
    CWorldRun run(&level);
    run.SetKeys(WalkKeys());
    std::string error;
    if (!run.Start(&error)) {
        state.SkipWithError(error.c_str());
        return;
    }
    CBackground background(level.GetBackground());
    CRender::AddFullScreenDirtyRect();
    CDraw::ToggleFPSLock();  // measure the work, not the wait
    for (int i = 0; i < 60; ++i) run.StepFrame();
    long frames = 0;
    for (auto _ : state) {
        CElement::UpdateWorld();
        CRender::Render(true);
        CDraw::Present(true, true);
        if (++frames % 900 == 0) {
            state.PauseTiming();
            run.Start(&error);
            for (int i = 0; i < 60; ++i) run.StepFrame();
            state.ResumeTiming();
        }
    }
    CDraw::ToggleFPSLock();
    CController::ResetStack();
}

void HeadlessRun1000Frames(benchmark::State& state) {
    if (!Start(state)) return;
    CLevel level = MakeBusyLevel();
    for (auto _ : state) {
        CWorldRun run(&level);
        run.SetKeys(WalkKeys());
        std::string error;
        run.Start(&error);
        for (int i = 0; i < 1000; ++i) run.StepFrame();
        benchmark::DoNotOptimize(run.GetFrame());
    }
}

}  // namespace

BENCHMARK(WorldStep)->Unit(benchmark::kMicrosecond);
BENCHMARK(WorldStepWithSprites)->Unit(benchmark::kMicrosecond);
BENCHMARK(PlayFrame)->Unit(benchmark::kMicrosecond);
BENCHMARK(HeadlessRun1000Frames)->Unit(benchmark::kMillisecond);
BENCHMARK_MAIN();
