// Random levels and random key records, under AddressSanitizer and UBSan:
// the world's invariants hold after every frame, and taking back a move and
// making it again gives the very same world.
#include <gtest/gtest.h>

#include <chrono>
#include <cstdio>
#include <random>
#include <string>
#include <vector>

#include "world/CElement.h"
#include "world/CElementAIProfessor.h"
#include "world/CHeadlessWorld.h"
#include "world/CLevel.h"
#include "world/CWorldRun.h"
#include "world/SolutionKeys.h"

namespace {

// The tiles the generator scatters over the level; every piece that exists.
const uint32_t kLooseTiles[] = {
    OBJECT_WCRATE, OBJECT_MCRATE, OBJECT_WBARREL, OBJECT_MBARREL, OBJECT_LMAGNET, OBJECT_RMAGNET,
    TERRAIN_ICE,   TERRAIN_BRIDGE, TERRAIN_SAND,  TERRAIN_GRASS,
};

// A level the builder accepts: ground, a few ledges, ladders, the two tubes
// on terrain with room above, and loose pieces anywhere.
CLevel MakeRandomLevel(std::mt19937* rng) {
    auto rnd = [rng](int lo, int hi) { return std::uniform_int_distribution<int>(lo, hi)(*rng); };
    CLevel level;
    for (int x = 0; x < CLevel::kWidth; ++x) level.SetTile(rnd(0, 9) == 0 ? TERRAIN_ICE : TERRAIN_GRASS, x, 23);
    const int ledges = rnd(2, 6);
    for (int i = 0; i < ledges; ++i) {
        const int y = rnd(8, 21), x0 = rnd(0, 28), w = rnd(2, 10);
        const uint32_t code = rnd(0, 3) == 0 ? TERRAIN_SAND : TERRAIN_GRASS;
        for (int x = x0; x < x0 + w && x < CLevel::kWidth; ++x) level.SetTile(code, x, y);
    }
    const int ladders = rnd(0, 3);
    for (int i = 0; i < ladders; ++i) {
        const int x = rnd(0, 31), top = rnd(5, 18);
        for (int y = top; y < 23; ++y) level.SetLadder(LADDER, x, y);
    }
    const int loose = rnd(3, 25);
    for (int i = 0; i < loose; ++i) {
        const int x = rnd(0, 31), y = rnd(2, 22);
        if (level.GetTile(x, y) == NONE)
            level.SetTile(kLooseTiles[rnd(0, sizeof(kLooseTiles) / sizeof(kLooseTiles[0]) - 1)], x, y);
    }
    // Tubes on row 22 over the ground, with nothing above them.
    const int start = rnd(0, 14), exit = rnd(17, 31);
    for (int x : {start, exit}) {
        level.SetTile(TERRAIN_GRASS, x, 23);
        for (int y = 0; y < 23; ++y) level.SetTile(NONE, x, y), level.SetLadder(NONE, x, y);
    }
    level.SetTile(DEVICE_TUBE_START, start, 22);
    level.SetTile(DEVICE_TUBE_END, exit, 22);
    // Some cells frozen or heated.
    for (int i = rnd(0, 4); i > 0; --i) level.SetTileState(rnd(0, 1) ? TILE_STATE_FROZEN : TILE_STATE_HEATED, rnd(0, 31), rnd(0, 22));
    return level;
}

const int kKeyCodes[] = {SOLUTION_KEY_LEFT, SOLUTION_KEY_RIGHT, SOLUTION_KEY_UP, SOLUTION_KEY_DOWN, SOLUTION_KEY_TURN,
                         SOLUTION_KEY_POWERUP_FIRST, SOLUTION_KEY_POWERUP_FIRST + 1};

// Presses with their releases, in frame order.
std::vector<ReplayKey> MakeRandomKeys(std::mt19937* rng, int frames) {
    auto rnd = [rng](int lo, int hi) { return std::uniform_int_distribution<int>(lo, hi)(*rng); };
    std::vector<ReplayKey> presses;
    for (int f = rnd(1, 30); f < frames; f += rnd(1, 40)) {
        const int code = kKeyCodes[rnd(0, sizeof(kKeyCodes) / sizeof(kKeyCodes[0]) - 1)];
        presses.push_back({f, code, false});
        presses.push_back({f + rnd(1, 60), code, true});
    }
    std::stable_sort(presses.begin(), presses.end(), [](const ReplayKey& a, const ReplayKey& b) { return a.frame < b.frame; });
    return presses;
}

// Everything of the world that play can see, for comparing two worlds.
std::string DescribeWorld() {
    std::string out;
    char buf[256];
    for (CElement* e : CElement::GetAllElements()) {
        snprintf(buf, sizeof(buf), "%s@%d,%d/%d,%d px%d,%d m%d f%d s%d p%d l%d fr%d h%d d%d c%d g%d sl%d wl%d wr%d t%d|",
                 e->GetTypeName(), e->x, e->y, e->prevX, e->prevY, e->pixelX, e->pixelY, e->MOVING, e->FALLING,
                 e->SLIDING, e->PUSHING, e->LANDING, e->FROZEN, e->HEATED, e->destroyed, e->cooling, e->gravity,
                 e->slidable, e->WASMOVINGLEFT, e->WASMOVINGRIGHT, e->TRAMP);
        out += buf;
    }
    for (int x = 0; x < CElement::kGridWidth; ++x)
        for (int y = 0; y < CElement::kGridHeight; ++y) {
            CElement* e = CElement::GetElementAt(x, y, true);
            snprintf(buf, sizeof(buf), "%d", e->IsNull() ? -1 : e->type);
            out += buf;
        }
    snprintf(buf, sizeof(buf), " steps%d", CElement::GetStepCount());
    return out + buf;
}

bool WorldAtRest() {
    for (CElement* e : CElement::GetAllElements())
        if (e->MOVING || e->FALLING || e->SLIDING) return false;
    return true;
}

class WorldProperty : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        std::string error;
        ASSERT_TRUE(CHeadlessWorld::Start(ZORV_RUN_DIR, &error)) << error;
    }
};

}  // namespace

TEST_F(WorldProperty, RandomLevelsAndKeysKeepTheWorldWhole) {
    const auto began = std::chrono::steady_clock::now();
    int levels = 0;
    long frames = 0;
    for (unsigned seed = 1; seed <= 150; ++seed) {
        std::mt19937 rng(seed);
        CLevel level = MakeRandomLevel(&rng);
        CWorldRun run(&level);
        run.SetKeys(MakeRandomKeys(&rng, 600));
        std::string error;
        ASSERT_TRUE(run.Start(&error)) << "seed " << seed << ": " << error;
        run.Run(600, true);
        ASSERT_EQ(run.GetFailure(), "") << "seed " << seed;
        ++levels;
        frames += run.GetFrame();
    }
    const double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - began).count();
    printf("%d random levels, %ld frames with the invariant check after each, in %.2f s\n", levels, frames, seconds);
}

TEST_F(WorldProperty, UndoThenTheSameKeysGivesTheSameWorld) {
    int compared = 0;
    for (unsigned seed = 100; seed < 160; ++seed) {
        std::mt19937 rng(seed);
        CLevel level = MakeRandomLevel(&rng);
        CWorldRun run(&level);
        run.SetKeys({});
        std::string error;
        ASSERT_TRUE(run.Start(&error)) << error;
        // Let the hero arrive and everything settle.
        for (int i = 0; i < 400 && !(i > 120 && WorldAtRest()); ++i) run.StepFrame();
        if (run.IsEnded() || !WorldAtRest()) continue;
        // The first save after building equals the starting step and is
        // skipped; a press and release in one frame spends that skip.
        run.ApplyKey(SOLUTION_KEY_LEFT, false);
        run.ApplyKey(SOLUTION_KEY_LEFT, true);
        const std::string before = DescribeWorld();
        // One move: a direction held for a while, then everything settles.
        const int code = kKeyCodes[std::uniform_int_distribution<int>(0, 3)(rng)];
        const int hold = std::uniform_int_distribution<int>(1, 30)(rng);
        auto makeMove = [&]() {
            run.ApplyKey(code, false);
            for (int i = 0; i < hold; ++i) run.StepFrame();
            run.ApplyKey(code, true);
            for (int i = 0; i < 300 && !WorldAtRest(); ++i) run.StepFrame();
            for (int i = 0; i < 3; ++i) run.StepFrame();
        };
        makeMove();
        if (run.IsEnded() || CElement::IsProfessorCaught() || CElement::IsProfessorFallen()) continue;
        const std::string after = DescribeWorld();
        if (after == before) continue;  // the move did nothing: nothing to undo
        CElement::LoadUndoStep(false);
        std::string what;
        ASSERT_TRUE(CWorldRun::CheckWorld(&what)) << "seed " << seed << ": " << what;
        ASSERT_EQ(DescribeWorld(), before) << "seed " << seed << ": undo did not restore the world";
        makeMove();
        ASSERT_EQ(DescribeWorld(), after) << "seed " << seed << ": the same move after undo went elsewhere";
        ++compared;
    }
    printf("%d moves taken back and made again\n", compared);
    EXPECT_GT(compared, 10);
}
