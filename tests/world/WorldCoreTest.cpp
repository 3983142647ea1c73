// The world core on its own: test-only elements (a floor, a block, a barrel,
// a walker standing in for the hero and a catcher standing in for a bot)
// exercise movement, the world checks, the world step, undo and heat and
// cold without any of the game's pieces.
#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <string>
#include <vector>

#include "tests/support/StandInFloor.h"
#include "tests/support/StandInHero.h"
#include "tests/support/WorldTestSupport.h"
#include "world/CElement.h"
#include "world/CElementAI.h"
#include "world/CWorldRun.h"

using worldtest::StandInFloor;
using worldtest::StandInHero;
using worldtest::Step;
using worldtest::WorldTest;

namespace {

// A movable block: falls, slides and is pushed; freezable; wooden or metal.
class TestBlock : public CElement {
public:
    TestBlock(int x, int y, bool metal = false) : CElement(x, y, 1) {
        type = ELEMENT_OBJECT;
        typeObject = OBJECT_KIND_CRATE;
        occupiesGrid = gravity = slidable = dynamic = freezable = 1;
        if (metal) {
            heatable = 1;
            METALLIC = 1;
        } else {
            burnable = 1;
        }
        SetElementAt(x, y, this);
    }
    int GetSlide() override { return FROZEN ? -1 : 0; }
    int GetSurfaceFriction() override { return FROZEN && !TRAMP ? -1 : 0; }
};

// A barrel rolls: its own slide value is -1 while nothing rides it.
class TestBarrel : public TestBlock {
public:
    TestBarrel(int x, int y) : TestBlock(x, y, true) { typeObject = OBJECT_KIND_BARREL; }
    int GetSlide() override { return (FROZEN ? -1 : 0) - (ridden ? 0 : 1); }
};

// Stands in for a bot: it never moves by itself.
class TestCatcher : public CElementAI {
public:
    TestCatcher(int x, int y) : CElementAI(x, y) {
        typeAI = AI_BOT;
        SetElementAt(x, y, this);
    }
};

// A ledge of ground three cells wide: one element in three grid cells.
class TestLedge : public CElement {
public:
    TestLedge(int x, int y) : CElement(x, y, 3) {
        type = ELEMENT_TERRAIN;
        typeTerrain = TERRAIN_KIND_GRASS;
        occupiesGrid = 1;
        for (int i = 0; i < 3; ++i) SetElementAt(x + i, y, this);
    }
};

// Reaches into the world's shared lists and grid to break them on purpose.
class WorldTamper : public CElement {
public:
    static std::vector<CElement*>& Elements() { return allElements; }
    static void Store(int x, int y, CElement* e) { grid[x * kGridHeight + y] = e; }
    static void Unlist(CElement* e) { allElements.erase(std::find(allElements.begin(), allElements.end(), e)); }
};

void FloorRow(int y, int from, int to, int surface = 0) {
    for (int x = from; x <= to; ++x) new StandInFloor(x, y, surface);
}

}  // namespace

TEST_F(WorldTest, LookupsOutsideTheGridGiveTheNullElementAndWritesAreDropped) {
    CElement* nullElement = CElement::GetNullElement();
    ASSERT_NE(nullElement, nullptr);
    EXPECT_EQ(CElement::GetElementAt(32, 5), nullElement);
    EXPECT_EQ(CElement::GetElementAt(3, -1), nullElement);
    TestBlock* block = new TestBlock(3, 5);
    CElement::SetElementAt(32, 5, block);
    CElement::SetElementAt(-1, 0, block);
    CElement::ClearElementAt(40, 40);
    CElement::ClearElementAt(-3, 2);
    EXPECT_FALSE(CElement::IsOccupied(32, 5));
    EXPECT_EQ(CElement::GetElementAt(3, 5), block);
    // A fresh element starts at rest with its holders on the Null Element.
    EXPECT_EQ(block->GetPixelX(), 72);
    EXPECT_EQ(block->GetPixelY(), 120);
    EXPECT_EQ(block->GetMagnetHolderA(), nullElement);
    EXPECT_EQ(block->landingFrame, -1);
    EXPECT_TRUE(block->GetTrampolineFlagA() && block->GetTrampolineFlagB());
}

TEST_F(WorldTest, APushedBlockCrossesItsCellInEightFramesAndFallsOffTheLedge) {
    FloorRow(11, 0, 5);
    StandInHero* walker = new StandInHero(4, 10);
    TestBlock* block = new TestBlock(5, 10);
    Step();  // the first step only saves the starting position
    walker->KEYS[CElementAI::KEY_RIGHT] = 1;
    Step();  // the walker pushes: both start their move this frame
    walker->KEYS[CElementAI::KEY_RIGHT] = 0;
    EXPECT_TRUE(block->MOVING);
    EXPECT_EQ(block->GetCurrentX(), 6);
    EXPECT_EQ(CElement::GetElementAt(6, 10), block);
    int pixels[8];
    for (int i = 0; i < 8; ++i) {
        Step();
        pixels[i] = block->GetPixelX();
    }
    EXPECT_EQ(pixels[0], 123);
    EXPECT_EQ(pixels[7], 144);
    // At rest over the gap it began to fall in the same frame it arrived.
    EXPECT_TRUE(block->FALLING);
    EXPECT_EQ(block->GetCurrentY(), 11);
    EXPECT_EQ(CElement::GetStepCount(), 1);
    // It falls through the open rows below and out of the grid, stopping at
    // the lowest fall row.
    Step(8 * 20);
    EXPECT_EQ(block->GetCurrentY(), CElement::kLowestFallRow);
    EXPECT_FALSE(block->MOVING);
}

TEST_F(WorldTest, ABlockLandsInTheFrameItReachesTheFloorAndKeepsLandedForThatFrame) {
    FloorRow(12, 0, 31);
    new StandInHero(0, 11);
    TestBlock* block = new TestBlock(5, 9);
    Step();  // starting position saved; the block begins to fall
    EXPECT_TRUE(block->FALLING);
    int landedAt = -1;
    for (int i = 0; i < 40 && landedAt < 0; ++i) {
        Step();
        if (block->landed) landedAt = static_cast<int>(worldtest::g_frame);
    }
    // Two cells, eight frames each, from frame 1: at rest in frame 17.
    EXPECT_EQ(landedAt, 17);
    EXPECT_EQ(block->landingFrame, 17);
    EXPECT_TRUE(block->LANDING);
    Step();
    EXPECT_FALSE(block->landed);
}

TEST_F(WorldTest, StackedBlocksOverAGapFallTogetherWhateverTheirListOrder) {
    FloorRow(20, 0, 31);
    new StandInHero(0, 19);
    TestBlock* upper = new TestBlock(7, 10);  // first in the list
    TestBlock* lower = new TestBlock(7, 11);
    Step();
    EXPECT_TRUE(upper->FALLING);
    EXPECT_TRUE(lower->FALLING);
    EXPECT_EQ(upper->GetCurrentY(), 11);
    EXPECT_EQ(lower->GetCurrentY(), 12);
}

TEST_F(WorldTest, ABlockBumpedOnIceSlidesUntilSandStopsIt) {
    // Plain ground, ice from column 6 to 12, then sand.
    FloorRow(11, 0, 5);
    FloorRow(11, 6, 12, -1);
    FloorRow(11, 13, 31, 1);
    StandInHero* walker = new StandInHero(4, 10);
    TestBlock* block = new TestBlock(5, 10);
    block->FROZEN = 1;  // frozen: slippery itself, slides on plain ground too
    Step();
    walker->KEYS[CElementAI::KEY_RIGHT] = 1;
    Step();
    walker->KEYS[CElementAI::KEY_RIGHT] = 0;
    Step(8 * 12);
    // Frozen on sand: own -1 plus sand +1 is 0, so it stops on the first
    // sand cell.
    EXPECT_EQ(block->GetCurrentX(), 13);
    EXPECT_FALSE(block->MOVING);
    EXPECT_FALSE(block->SLIDING);
}

TEST_F(WorldTest, ASlidingBlockStopsAgainstAStandingOneAndBumpsItOn) {
    FloorRow(11, 0, 31, -1);
    FloorRow(21, 0, 31, -1);
    new StandInHero(0, 10);
    TestBlock* first = new TestBlock(3, 10);
    TestBlock* second = new TestBlock(8, 10);
    TestBlock* toTheLeft = new TestBlock(4, 20);
    first->FROZEN = second->FROZEN = toTheLeft->FROZEN = 1;
    Step();
    first->WASMOVINGRIGHT = 1;  // as if pushed
    toTheLeft->WASMOVINGLEFT = 1;
    Step(8 * 30);
    // The first stops beside the second, which slides on to the wall; the
    // one on the lower row slides left into the first column and stops there.
    EXPECT_EQ(first->GetCurrentX(), 7);
    EXPECT_EQ(second->GetCurrentX(), 31);
    EXPECT_EQ(toTheLeft->GetCurrentX(), 0);
    EXPECT_TRUE(toTheLeft->IsAtRest());
}

TEST_F(WorldTest, ABarrelUnderAFallingBlockIsSquishedAside) {
    FloorRow(12, 0, 31);
    new StandInHero(0, 11);
    TestBarrel* barrel = new TestBarrel(10, 11);
    TestBlock* block = new TestBlock(10, 10);
    // A bot frozen into a block of ice weighs like one, and so does a
    // wrecked one; a live bot stands on its barrel.
    TestBarrel* underIce = new TestBarrel(20, 11);
    TestCatcher* frozenBot = new TestCatcher(20, 10);
    frozenBot->FROZEN = 1;
    TestBarrel* underWreck = new TestBarrel(15, 11);
    TestCatcher* wreck = new TestCatcher(15, 10);
    wreck->destroyed = 1;
    TestBarrel* ridden = new TestBarrel(25, 11);
    TestCatcher* liveBot = new TestCatcher(25, 10);
    Step();
    EXPECT_EQ(barrel->GetCurrentX(), 11);  // pushed right: the block was not moving left
    EXPECT_EQ(block->GetCurrentY(), 11);
    EXPECT_TRUE(block->FALLING);
    EXPECT_EQ(underIce->GetCurrentX(), 21);
    EXPECT_EQ(frozenBot->GetCurrentY(), 11);
    EXPECT_EQ(underWreck->GetCurrentX(), 16);
    EXPECT_EQ(wreck->GetCurrentY(), 11);
    EXPECT_EQ(ridden->GetCurrentX(), 25);
    EXPECT_EQ(liveBot->GetCurrentY(), 10);
}

TEST_F(WorldTest, TheLeftBotCatchesAHeroStandingBetweenTwo) {
    FloorRow(11, 0, 31);
    StandInHero* hero = new StandInHero(5, 10);
    TestCatcher* left = new TestCatcher(4, 10);
    TestCatcher* right = new TestCatcher(6, 10);
    Step();
    EXPECT_TRUE(CElement::IsProfessorCaught());
    EXPECT_TRUE(left->caughtFromLeft);
    EXPECT_TRUE(hero->caughtFromLeft);
    EXPECT_FALSE(right->caughtFromRight);
    EXPECT_FALSE(hero->gravity);
}

TEST_F(WorldTest, UndoRestoresTheStepBeforeEachMoveAndKeepsOnlyFive) {
    FloorRow(11, 0, 31);
    StandInHero* walker = new StandInHero(2, 10);
    Step();
    // Six moves to the right, each saved before it starts.
    for (int move = 0; move < 6; ++move) {
        CElement::SaveUndoStep();
        walker->KEYS[CElementAI::KEY_RIGHT] = 1;
        Step();
        walker->KEYS[CElementAI::KEY_RIGHT] = 0;
        Step(8);
    }
    EXPECT_EQ(walker->GetCurrentX(), 8);
    EXPECT_EQ(CElement::GetUndoCount(), 5);
    // The first move's save was skipped (it equalled the starting step), so
    // the ring holds the starting step and the steps before moves 2..5... it
    // keeps the last five of them.
    const int expected[] = {7, 6, 5, 4, 3};
    for (int x : expected) {
        CElement::LoadUndoStep(false);
        EXPECT_EQ(walker->GetCurrentX(), x);
        EXPECT_EQ(walker->GetPixelX(), x * 24);
        EXPECT_EQ(CElement::GetElementAt(x, 10), walker);
        EXPECT_FALSE(CElement::IsOccupied(x + 1, 10));
    }
    // The last step stays: an unforced undo does nothing, a forced one
    // restores it again.
    walker->x = 20;
    CElement::LoadUndoStep(false);
    EXPECT_EQ(walker->GetCurrentX(), 20);
    CElement::LoadUndoStep(true);
    EXPECT_EQ(walker->GetCurrentX(), 3);
}

TEST_F(WorldTest, UndoDeletesSpawnedElementsTheStepDoesNotKnow) {
    FloorRow(11, 0, 31);
    new StandInHero(2, 10);
    Step();
    CElement::SaveUndoStep();  // skipped: equals the starting step
    TestBlock* before = new TestBlock(10, 10);
    CElement::RegisterSpawned(before);
    Step();
    CElement::SaveUndoStep();
    TestBlock* after = new TestBlock(12, 10);
    CElement::RegisterSpawned(after);
    Step();
    const size_t withBoth = CElement::GetAllElements().size();
    CElement::LoadUndoStep(false);
    EXPECT_EQ(CElement::GetAllElements().size(), withBoth - 1);
    EXPECT_EQ(CElement::GetElementAt(10, 10), before);
    EXPECT_FALSE(CElement::IsOccupied(12, 10));
    for (CElement* e : CElement::GetAllElements()) EXPECT_NE(e, static_cast<CElement*>(after));
}

// The lists own their elements: a new world deletes those of the one
// before, unloaded or not, and starts with the Null Element alone.
TEST_F(WorldTest, ANewWorldDeletesTheElementsOfTheOneBefore) {
    static int alive = 0;
    struct Counted : TestBlock {
        Counted(int x, int y) : TestBlock(x, y) { ++alive; }
        ~Counted() override { --alive; }
    };
    new Counted(3, 5);
    new Counted(4, 5);
    CElement::ResetWorld();
    EXPECT_EQ(alive, 0);
    EXPECT_EQ(CElement::GetAllElements(), std::vector<CElement*>{CElement::GetNullElement()});
    EXPECT_FALSE(CElement::IsOccupied(3, 5));
}

TEST_F(WorldTest, HeatAndColdChangeMaterials) {
    FloorRow(11, 0, 31);
    new StandInHero(0, 10);
    TestBlock* wood = new TestBlock(5, 10);
    TestBlock* metal = new TestBlock(7, 10, true);
    TestBlock* frozen = new TestBlock(9, 10);
    Step();
    // Wood burns away: off the grid, still in the list, no longer falling.
    EXPECT_TRUE(CElement::Heat(wood, false, false));
    EXPECT_TRUE(wood->explosionActive);
    EXPECT_FALSE(CElement::IsOccupied(5, 10));
    EXPECT_FALSE(wood->gravity);
    // Metal turns hot; freezing a hot element cools it instead.
    EXPECT_TRUE(CElement::Heat(metal, true, false));
    EXPECT_TRUE(metal->HEATED);
    EXPECT_FALSE(metal->effectSilent);
    EXPECT_TRUE(CElement::Freeze(metal));
    EXPECT_FALSE(metal->HEATED);
    EXPECT_TRUE(metal->cooling);
    EXPECT_FALSE(metal->FROZEN);
    // A frozen element that is heated thaws, and a shot's heat is silent.
    EXPECT_TRUE(CElement::Freeze(frozen));
    EXPECT_TRUE(frozen->FROZEN);
    EXPECT_TRUE(CElement::Heat(frozen, true, false));
    EXPECT_FALSE(frozen->FROZEN);
    EXPECT_TRUE(frozen->thawing);
    EXPECT_TRUE(frozen->effectSilent);
    EXPECT_TRUE(CElement::IsOccupied(9, 10));
}

TEST_F(WorldTest, AHotBlockBurnsAWoodenNeighbourAndCoolsInTheSamePass) {
    FloorRow(11, 0, 31);
    new StandInHero(0, 10);
    TestBlock* hot = new TestBlock(5, 10, true);
    TestBlock* wood = new TestBlock(6, 10);
    TestBlock* metal = new TestBlock(4, 10, true);
    CElement::Heat(hot, false, false);
    Step();
    EXPECT_TRUE(wood->explosionActive);
    EXPECT_FALSE(hot->HEATED);
    EXPECT_TRUE(hot->cooling);
    EXPECT_FALSE(metal->HEATED);  // metal beside it takes no heat
}

TEST_F(WorldTest, TheWorldIsNotSteppedWithoutExactlyOneHero) {
    FloorRow(11, 0, 31);
    TestBlock* block = new TestBlock(5, 5);
    Step();
    EXPECT_FALSE(block->FALLING);
    EXPECT_EQ(CElement::GetUndoCount(), 0);
}

TEST_F(WorldTest, TheWorldCheckNamesEachBrokenInvariant) {
    FloorRow(11, 0, 31);
    TestLedge* ledge = new TestLedge(10, 8);
    StandInHero* hero = new StandInHero(2, 10);
    TestBlock* block = new TestBlock(5, 10);
    TestBlock* other = new TestBlock(7, 10);
    CElement* nullElement = CElement::GetNullElement();
    Step(3);
    // Each row breaks the world one way, and mends it again.
    struct Row {
        const char* expected;
        std::function<void()> breakWorld, mend;
    };
    const Row rows[] = {
        {"grid cell (9,3) holds a stale copy of the Crate Object at (5,10)",
         [&] { CElement::SetElementAt(9, 3, block); }, [] { CElement::ClearElementAt(9, 3); }},
        {"grid cell (13,8) holds a stale copy of the Grass Terrain at (10,8)",
         [&] { CElement::SetElementAt(13, 8, ledge); }, [] { CElement::ClearElementAt(13, 8); }},
        {"Crate Object at (5,10) is listed twice in the world", [&] { WorldTamper::Elements().push_back(block); },
         [] { WorldTamper::Elements().pop_back(); }},
        {"Crate Object at (7,10) rests at pixel (170,240), off its cell", [&] { other->pixelX += 2; },
         [&] { other->pixelX -= 2; }},
        {"an empty grid cell at (20,4)", [] { WorldTamper::Store(20, 4, nullptr); },
         [&] { WorldTamper::Store(20, 4, nullElement); }},
        {"Crate Object at (5,10) is not in its grid cell", [] { CElement::ClearElementAt(5, 10); },
         [&] { CElement::SetElementAt(5, 10, block); }},
        {"grid cell (7,10) holds an element that is not in the world", [&] { WorldTamper::Unlist(other); },
         [&] { WorldTamper::Elements().push_back(other); }},
        {"grid cell (5,10) holds a destroyed Crate Object", [&] { block->destroyed = 1; },
         [&] { block->destroyed = 0; }},
        {"Crate Object outside the grid at (5,27)", [&] { block->y = 27; }, [&] { block->y = 10; }},
        {"Crate Object at (5,10) holds a magnet link to an element not in the world",
         [&] {
             WorldTamper::Unlist(other);
             CElement::ClearElementAt(7, 10);
             block->SetMagnetHolder(other, true);
         },
         [&] {
             block->ClearMagnetHolderA();
             CElement::SetElementAt(7, 10, other);
             WorldTamper::Elements().push_back(other);
         }},
        {"2 heroes", [&] { block->type = ELEMENT_AI, block->typeAI = AI_PROFESSOR; },
         [&] { block->type = ELEMENT_OBJECT, block->typeAI = 0; }},
        {"the hero pointer does not name the hero", [&] { CElement::SetHero(block); },
         [&] { CElement::SetHero(hero); }},
    };
    std::string what;
    ASSERT_TRUE(CWorldRun::CheckWorld(&what)) << what;
    for (const Row& row : rows) {
        row.breakWorld();
        what.clear();
        EXPECT_FALSE(CWorldRun::CheckWorld(&what)) << row.expected;
        EXPECT_EQ(what, row.expected);
        row.mend();
        ASSERT_TRUE(CWorldRun::CheckWorld(&what)) << "after " << row.expected << ": " << what;
    }
}

// The undo ring's own conditions, each alone. A step is saved unless the
// hero is caught, exiting, singed or fallen (each flag a row; a destroyed
// exit tube does not stop it). An undo loads unless the level has ended or
// nothing is saved, and an unforced one also unless nothing changed since
// the kept step came back (force makes the difference).
TEST_F(WorldTest, UndoSavesAndLoadsUnlessEachOfItsConditionsAloneSaysNo) {
    FloorRow(11, 0, 31);
    StandInHero* walker = new StandInHero(2, 10);
    Step();  // the starting step
    CElement::SaveUndoStep();  // equal to it: skipped
    struct SaveRow {
        const char* what;
        LevelEndFlag flag;  // LEVELEND_COUNT: none
        bool saves;
    };
    for (const SaveRow& row : {SaveRow{"nothing set", LEVELEND_COUNT, true}, {"caught", LEVELEND_CAUGHT, false},
                               {"exiting", LEVELEND_EXITING, false}, {"singed", LEVELEND_SINGED, false},
                               {"fallen", LEVELEND_FELL, false}, {"exit tube destroyed", LEVELEND_TUBE_DESTROYED, true}}) {
        SCOPED_TRACE(row.what);
        const int before = CElement::GetUndoCount();
        if (row.flag != LEVELEND_COUNT) CElement::SetLevelEndFlag(row.flag, true);
        CElement::SaveUndoStep();
        if (row.flag != LEVELEND_COUNT) CElement::SetLevelEndFlag(row.flag, false);
        EXPECT_EQ(CElement::GetUndoCount(), before + (row.saves ? 1 : 0));
    }
    ASSERT_EQ(CElement::GetUndoCount(), 3);

    // Moved away after the last step, then taken back: a load happened when
    // the walker stands at 2 again.
    auto moved = [&] { walker->x = 9; };
    auto loaded = [&] { return walker->GetCurrentX() == 2; };
    moved();
    CElement::SetLevelEndFlag(LEVELEND_ENDED, true);
    CElement::LoadUndoStep(true);
    EXPECT_FALSE(loaded()) << "the level has ended";
    CElement::ClearLevelExited();
    CElement::LoadUndoStep(false);
    EXPECT_TRUE(loaded()) << "nothing stops it";
    CElement::LoadUndoStep(false);
    CElement::LoadUndoStep(false);  // the kept step, again: count 1, nothing changed since
    ASSERT_EQ(CElement::GetUndoCount(), 1);
    moved();
    CElement::LoadUndoStep(false);
    EXPECT_FALSE(loaded()) << "unforced, nothing changed since the kept step came back";
    CElement::LoadUndoStep(true);
    EXPECT_TRUE(loaded()) << "forced";
}
