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

#include "tests/support/RandomLevels.h"
#include "tests/support/UndoWatch.h"
#include "world/CElement.h"
#include "world/CElementAIProfessor.h"
#include "world/CHeadlessWorld.h"
#include "world/CLevel.h"
#include "world/CWorldRun.h"
#include "world/SolutionKeys.h"

namespace {

using worldtest::kKeyCodes;
using worldtest::MakeRandomKeys;
using worldtest::MakeRandomLevel;

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
