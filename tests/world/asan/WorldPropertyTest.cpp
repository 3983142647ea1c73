// Random levels with every piece and random key records, under
// AddressSanitizer and UBSan: the world's invariants hold after every frame,
// after every undo of a burst that runs the undo ring past its end and after
// the undo that takes back the end of a level, after which the level runs
// on; every undo brings back the whole world digest of the step it goes back
// to; and taking back a move and making it again gives the very same world.
#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <cstdio>
#include <random>
#include <string>
#include <vector>

#include "tests/support/UndoWatch.h"
#include "world/CElement.h"
#include "world/CElementAIProfessor.h"
#include "world/CHeadlessWorld.h"
#include "world/CLevel.h"
#include "world/CWorldRun.h"
#include "world/SolutionKeys.h"

namespace {

// The pieces the generator scatters anywhere over the level.
const uint32_t kLooseTiles[] = {
    OBJECT_WCRATE,  OBJECT_MCRATE,  OBJECT_WBARREL, OBJECT_MBARREL, OBJECT_LMAGNET, OBJECT_RMAGNET, TERRAIN_ICE,
    TERRAIN_BRIDGE, TERRAIN_SAND,   TERRAIN_GRASS,  DEVICE_GATE_B,  DEVICE_GATE_Y,  DEVICE_GATE_R,  BOT_HANG,
    BOT_LEFT,       BOT_RIGHT,      TUTORIAL,
};
// The pieces that stand on ground.
const uint32_t kGroundTiles[] = {DEVICE_BUTTON_B, DEVICE_BUTTON_Y, DEVICE_BUTTON_R, DEVICE_TRAMPOLINE,
                                 BOT_LEFT,        BOT_RIGHT};
// Every power-up.
const uint32_t kPowerupTiles[] = {POWERUP_FROSTGUN, POWERUP_HEATGUN, POWERUP_WHISTLE, POWERUP_TELEPORT, POWERUP_BRIDGE,
                                  POWERUP_EMP,      POWERUP_CRATE,   POWERUP_BARREL,  POWERUP_MAGNET};

template <size_t N>
uint32_t Pick(const uint32_t (&codes)[N], int i) {
    return codes[static_cast<size_t>(i) % N];
}

// A level the editor could have made: ground, a few ledges, ladders (some
// with a platform), the two tubes on terrain with room above, pieces
// anywhere, pieces on ground, power-ups along the floor and pairs of
// portals standing on terrain.
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
        if (rnd(0, 1) == 0) level.SetTile(PLATFORM, x, top);
    }
    const int loose = rnd(3, 25);
    for (int i = 0; i < loose; ++i) {
        const int x = rnd(0, 31), y = rnd(2, 22);
        if (level.GetTile(x, y) != NONE) continue;
        const uint32_t code = Pick(kLooseTiles, rnd(0, 1000));
        level.SetTile(code, x, y);
        if (code == TUTORIAL) level.SetTutorialText(x, y, "Mind the gap.");
    }
    const int grounded = rnd(0, 8);
    for (int i = 0; i < grounded; ++i) {
        const int x = rnd(0, 31), y = rnd(2, 22);
        if (level.GetTile(x, y) == NONE && level.IsTerrain(x, y + 1))
            level.SetTile(Pick(kGroundTiles, rnd(0, 1000)), x, y);
    }
    // Tubes on row 22 over the ground, with nothing above them; in half the
    // levels the exit is a few steps away, so that random keys end more of
    // them.
    const int start = rnd(0, 14), exit = rnd(0, 1) ? rnd(17, 31) : start + rnd(3, 6);
    for (int x : {start, exit}) {
        level.SetTile(TERRAIN_GRASS, x, 23);
        for (int y = 0; y < 23; ++y) level.SetTile(NONE, x, y), level.SetLadder(NONE, x, y);
    }
    // Power-ups along the floor, most of them a step or two from the
    // entrance tube, where the hero's first moves collect them.
    for (int i = rnd(1, 5); i > 0; --i) {
        const int x = rnd(0, 2) == 0 ? rnd(0, 31) : start + (rnd(0, 1) ? 1 : -1) * rnd(1, 2);
        if (x >= 0 && x < CLevel::kWidth && x != start && x != exit)
            level.SetTile(Pick(kPowerupTiles, rnd(0, 1000)), x, 22);
    }
    // Portals: a pair of some colours, each on terrain under either column,
    // clear of the tubes' columns and of each other, its two by two cells
    // emptied.
    std::vector<TeleportCell> portals;
    for (int colour = 0; colour < CLevel::kTeleportColours; ++colour) {
        if (rnd(0, 2) == 0) continue;
        for (int placed = 0, tries = 0; placed < 2 && tries < 40; ++tries) {
            const int x = rnd(-1, 31), y = rnd(3, 22);
            if (!level.IsTerrain(x, y + 1) && !level.IsTerrain(x + 1, y + 1)) continue;
            if (x + 1 >= start && x <= start) continue;
            if (x + 1 >= exit && x <= exit) continue;
            bool overlaps = false;
            for (const TeleportCell& p : portals)
                overlaps = overlaps || (std::abs(p.x - x) < 2 && std::abs(p.y - y) < 2);
            if (overlaps) continue;
            for (int cx = x; cx <= x + 1; ++cx)
                for (int cy = y - 1; cy <= y; ++cy) level.SetTile(NONE, cx, cy), level.SetLadder(NONE, cx, cy);
            level.SetTeleport(DEVICE_LTELEPORT_B + colour, x, y);
            portals.push_back({x, y});
            ++placed;
        }
    }
    level.SetTile(DEVICE_TUBE_START, start, 22);
    level.SetTile(DEVICE_TUBE_END, exit, 22);
    // Some cells frozen or heated.
    for (int i = rnd(0, 4); i > 0; --i) level.SetTileState(rnd(0, 1) ? TILE_STATE_FROZEN : TILE_STATE_HEATED, rnd(0, 31), rnd(0, 22));
    return level;
}

// The four moves first; walking comes up more often than the rest.
const int kKeyCodes[] = {SOLUTION_KEY_LEFT,  SOLUTION_KEY_RIGHT, SOLUTION_KEY_UP,   SOLUTION_KEY_DOWN,
                         SOLUTION_KEY_LEFT,  SOLUTION_KEY_RIGHT, SOLUTION_KEY_TURN, SOLUTION_KEY_POWERUP_FIRST,
                         SOLUTION_KEY_POWERUP_FIRST + 1, SOLUTION_KEY_POWERUP_FIRST + 2};

// Presses with their releases, in frame order.
std::vector<ReplayKey> MakeRandomKeys(std::mt19937* rng, int frames) {
    auto rnd = [rng](int lo, int hi) { return std::uniform_int_distribution<int>(lo, hi)(*rng); };
    std::vector<ReplayKey> presses;
    for (int f = rnd(1, 30); f < frames; f += rnd(1, 30)) {
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

TEST_F(WorldProperty, RandomLevelsAndKeysKeepTheWorldWholeThroughUndoAndAfterTheEnd) {
    const auto began = std::chrono::steady_clock::now();
    CUndoWatch watch;
    int levels = 0, bursts = 0, pastFullRing = 0, afterEnd = 0, movesAfterEnd = 0;
    long frames = 0;
    for (unsigned seed = 1; seed <= 150; ++seed) {
        std::mt19937 rng(seed);
        CLevel level = MakeRandomLevel(&rng);
        CWorldRun run(&level);
        run.SetKeys(MakeRandomKeys(&rng, 600));
        std::string error;
        ASSERT_TRUE(run.Start(&error)) << "seed " << seed << ": " << error;
        // The world's invariants, and after an undo the whole world as it
        // was when the step it went back to was saved.
        auto check = [&](const char* when) {
            std::string what;
            if (CWorldRun::CheckWorld(&what) && watch.GetDifference().empty()) return true;
            ADD_FAILURE() << "seed " << seed << ", frame " << run.GetFrame() << ", " << when << ": "
                          << (what.empty() ? "undo did not bring back " + watch.GetDifference() : what);
            return false;
        };
        // Six undos in a row, more than the ring holds, the last one forced,
        // while the keys play on: once at a random frame, and a while after
        // the ring has filled up, when further moves have overwritten its
        // oldest steps.
        const int burstAt = std::uniform_int_distribution<int>(150, 550)(rng);
        const int fullFor = std::uniform_int_distribution<int>(10, 120)(rng);
        int loadsAfterEnd = 0, framesFull = 0, savesAtUndo = -1;
        bool endTakenBack = false;
        while (run.GetFrame() < 600) {
            run.StepFrame();
            framesFull = CElement::GetUndoCount() == CElement::kUndoSlots ? framesFull + 1 : 0;
            if (!check("after a step")) return;
            ASSERT_FALSE(endTakenBack && run.IsEnded())
                << "seed " << seed << ": the level ended again in the frame after the undo that took back its end";
            endTakenBack = false;
            // A move made after the undo that took back the end: the level
            // runs again.
            if (savesAtUndo >= 0 && watch.GetSaves() > savesAtUndo) {
                ++movesAfterEnd;
                savesAtUndo = -1;
            }
            if (run.GetFrame() == burstAt || framesFull == fullFor) {
                const bool fullRing = CElement::GetUndoCount() == CElement::kUndoSlots;
                const int compared = watch.GetCompared();
                for (int i = 0; i < 6; ++i) {
                    CElement::LoadUndoStep(i == 5);
                    if (!check("after an undo")) return;
                }
                ++bursts;
                // On a full ring every one of the six goes back, the last
                // one past the ring's oldest step.
                if (fullRing && watch.GetCompared() - compared == 6) ++pastFullRing;
            }
            if (!run.IsEnded()) continue;
            // The score page takes back the move that ended the level.
            if (++loadsAfterEnd > 2) break;
            CElement::ClearLevelExited();
            CElement::LoadUndoStep(true);
            if (!check("after the undo that followed the end")) return;
            ++afterEnd;
            endTakenBack = true;
            savesAtUndo = watch.GetSaves();
        }
        ++levels;
        frames += run.GetFrame();
    }
    const double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - began).count();
    printf("%d random levels x %ld frames in all, with %d bursts of six undos (%d past a full ring), %d undos after "
           "the end (%d followed by a move), %d undos compared whole with their step, in %.2f s\n",
           levels, frames, bursts, pastFullRing, afterEnd, movesAfterEnd, watch.GetCompared(), seconds);
    // The run reached every case it is there for.
    EXPECT_GT(bursts, 0);
    EXPECT_GT(pastFullRing, 0);
    EXPECT_GT(afterEnd, 0);
    EXPECT_GT(movesAfterEnd, 0);
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
