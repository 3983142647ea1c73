// The hero in small levels of our level source format, run by the level run
// frame by frame as the play screen runs them: the records of the level's
// solution stamped with a frame go to the hero first, then the world steps,
// then every sprite animates once.
#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "engine/CInput.h"
#include "engine/CSprite.h"
#include "tests/support/LevelRunTest.h"
#include "tests/support/WorldTestSupport.h"
#include "tools/levels/CLevelSource.h"
#include "world/CElementAIProfessor.h"
#include "world/CLevel.h"
#include "world/CWorldRun.h"
#include "world/SolutionKeys.h"
#include "world/pieces/CElementDevicePowerup.h"
#include "world/pieces/CElementDeviceTeleport.h"

using worldtest::PictureSection;
using Hero = CElementAIProfessor;

constexpr int kUp = 273, kDown = 274, kRight = 275, kLeft = 276, kTurn = 102;

namespace {

// A level source of the given tile rows, followed by extra sections.
std::string LevelSource(const std::vector<std::string>& rows, const std::string& extra = "") {
    return "heading: Hero test\nbackground: 1\n" + PictureSection("tiles", rows) + extra;
}

class HeroTest : public worldtest::LevelRunTest {
protected:
    // Runs until the hero stands still after his arrival from the tube.
    void Arrive() {
        for (int i = 0; i < 200 && (hero_->arriving || hero_->IsMoving()); ++i) Frame();
        ASSERT_FALSE(hero_->arriving);
    }
    // Runs until the hero stands still in a cell.
    void Settle(int maxFrames = 400) {
        for (int i = 0; i < maxFrames && (hero_->IsMoving() || hero_->FALLING); ++i) Frame();
    }
    // Holds a direction until the hero's move into (x, y) has begun, lets go
    // and waits until he stands still.
    bool Walk(int code, int x, int y) {
        Press(code);
        const bool reached = RunUntil([&] { return At(x, y); });
        Release(code);
        Settle();
        return reached && RestsAt(x, y);
    }
    bool At(int x, int y) const { return hero_->GetCurrentX() == x && hero_->GetCurrentY() == y; }
    bool RestsAt(int x, int y) const { return At(x, y) && hero_->IsAtRest() && !hero_->IsMoving(); }
};

}  // namespace

TEST_F(HeroTest, WalksFromTheEntranceToTheExitAndTheLevelEndsAsExited) {
    Load(LevelSource({"..S....E..", "##########"}, "solution:\n1 right down\n"));
    EXPECT_EQ(hero_->animationState, 36);  // out of the entrance tube
    int exitingFrame = -1;
    bool endedWhileEntering = false;
    for (int i = 0; i < 400 && !CElement::IsLevelExited(); ++i) {
        Frame();
        if (exitingFrame < 0 && CElement::IsProfessorExiting()) {
            exitingFrame = Now();
            endedWhileEntering = CElement::IsLevelExited();
        }
    }
    ASSERT_TRUE(CElement::IsLevelExited());
    EXPECT_EQ(run_->GetResult(), "exited");
    EXPECT_GT(exitingFrame, 0);
    // The exit ends the level only once the tube animation has played out.
    EXPECT_FALSE(endedWhileEntering);
    EXPECT_GT(Now(), exitingFrame + 20);
    EXPECT_FALSE(CElement::IsProfessorFallen());
    EXPECT_FALSE(CElement::IsProfessorCaught());
    EXPECT_EQ(hero_->GetCurrentX(), 7);
    EXPECT_EQ(hero_->GetCurrentY(), 22);
    EXPECT_EQ(CElement::GetStepCount(), 5);
}

TEST_F(HeroTest, FallsOffALedgeLandsAndFallsOutOfTheBottomOfTheWorld) {
    Load(LevelSource(
        {
            "S",
            "###",
            "",
            "",
            "##########.###",  // a hole at column 10
        },
        "solution:\n1 right down\n"));
    bool walkedTheFloor = false;
    int lowestRow = 0;
    for (int i = 0; i < 600 && !CElement::IsLevelExited(); ++i) {
        Frame();
        if (hero_->GetCurrentX() == 6 && hero_->GetCurrentY() == 22 && !hero_->FALLING) walkedTheFloor = true;
        lowestRow = std::max(lowestRow, hero_->GetCurrentY());
    }
    ASSERT_TRUE(CElement::IsLevelExited());
    EXPECT_TRUE(walkedTheFloor);
    EXPECT_EQ(run_->GetResult(), "fallen");
    EXPECT_FALSE(CElement::IsProfessorExiting());
    EXPECT_EQ(lowestRow, CElement::kLowestFallRow);
    // Walking counts, falling does not: three cells off the ledge, seven
    // along the floor into the hole.
    EXPECT_EQ(CElement::GetStepCount(), 3 + 7);
}

TEST_F(HeroTest, ClimbsALadderUpAndDownAndStepsOffAtThePlatform) {
    // A ladder in column 4 from row 16 to the floor; its platform at row 17
    // continues the ledge on its right.
    Load(LevelSource({"", ".....####", "", "", "", "", "..S", "##########"}) +
         PictureSection("ladders", {"....H", "....=", "....H", "....H", "....H", "....H", "....H", ""}));
    Arrive();
    Press(kRight);
    ASSERT_TRUE(RunUntil([&] { return At(4, 22); }));
    Release(kRight);
    Press(kUp);
    bool climbedUp = false;
    ASSERT_TRUE(RunUntil([&] {
        climbedUp = climbedUp || hero_->animationState == 6;
        return RestsAt(4, 16);
    }));
    EXPECT_TRUE(climbedUp);
    Frames(10);  // the top of the ladder: up goes no further
    EXPECT_TRUE(RestsAt(4, 16));
    Release(kUp);
    ASSERT_TRUE(Walk(kRight, 5, 16));
    Frames(10);
    // The ledge carries him: he stands, he does not fall.
    EXPECT_TRUE(RestsAt(5, 16));
    EXPECT_FALSE(hero_->FALLING);

    ASSERT_TRUE(Walk(kLeft, 4, 16));
    Frames(5);
    EXPECT_TRUE(RestsAt(4, 16));  // standing on the platform
    Press(kDown);
    bool climbedDown = false;
    ASSERT_TRUE(RunUntil([&] {
        climbedDown = climbedDown || hero_->animationState == 5;
        return RestsAt(4, 22);
    }));
    EXPECT_TRUE(climbedDown);
    EXPECT_FALSE(hero_->FALLING);
    Release(kDown);
    // Two cells to the ladder, six up, one off and back on, six down.
    EXPECT_EQ(CElement::GetStepCount(), 2 + 6 + 1 + 1 + 6);

    // Each step of the climb down hangs him where the same step up does: he
    // does not hop sideways on the ladder when he turns back.
    const CSprite* down = hero_->stateSprites[5];
    const CSprite* up = hero_->stateSprites[6];
    ASSERT_EQ(down->GetFrameCount(), up->GetFrameCount());
    for (int i = 0; i < up->GetFrameCount(); ++i)
        EXPECT_NEAR(worldtest::FigureMiddle(down, i), worldtest::FigureMiddle(up, i), 1.0) << "step " << i;

    // Frozen halfway up, he no longer holds on: the block of ice drops.
    ASSERT_TRUE(Walk(kUp, 4, 20));
    ASSERT_TRUE(CElement::Freeze(hero_));
    EXPECT_TRUE(RunUntil([&] { return RestsAt(4, 22); }, 60));
}

TEST_F(HeroTest, UndoTakesBackTheLastWalkWithItsStepsAndOnlyPressesFromRestSaveSteps) {
    Load(LevelSource({"S", "##########"}));
    Arrive();
    EXPECT_EQ(CElement::GetUndoCount(), 1);  // the starting position
    // The first walk's step equals the starting position: its save is skipped.
    ASSERT_TRUE(Walk(kRight, 2, 22));
    EXPECT_EQ(CElement::GetStepCount(), 2);
    EXPECT_EQ(CElement::GetUndoCount(), 1);

    // A turn is no step; a press while moving, or while another key is
    // held, continues the step already saved.
    Press(kTurn);
    Release(kTurn);
    EXPECT_EQ(CElement::GetUndoCount(), 1);
    Press(kRight);
    EXPECT_EQ(CElement::GetUndoCount(), 2);
    Frame();
    ASSERT_TRUE(hero_->IsMoving());
    Press(kUp);
    Release(kUp);
    Release(kRight);
    Press(kLeft);  // still moving
    Release(kLeft);
    EXPECT_EQ(CElement::GetUndoCount(), 2);
    Settle();
    ASSERT_TRUE(RestsAt(3, 22));
    EXPECT_EQ(CElement::GetStepCount(), 3);

    CElement::LoadUndoStep(false);
    Frame();
    EXPECT_TRUE(RestsAt(2, 22));
    EXPECT_EQ(CElement::GetStepCount(), 2);
    EXPECT_FALSE(hero_->IsKeyHeld(CElementAI::KEY_RIGHT));
    CElement::LoadUndoStep(false);
    Frame();
    EXPECT_TRUE(RestsAt(0, 22));
    EXPECT_EQ(CElement::GetStepCount(), 0);
    // After undo he walks again from the restored cell.
    ASSERT_TRUE(Walk(kRight, 1, 22));
    EXPECT_TRUE(RestsAt(1, 22));
    EXPECT_EQ(CElement::GetStepCount(), 1);
}

TEST_F(HeroTest, AClickWalksHimToTheCellOneCellAtATimeAndADirectionKeyCancelsTheWalk) {
    Load(LevelSource({"S", "##########"}));
    Arrive();
    // Pixel (15 + 24 * 6 + 5, 15 + 24 * 22 + 5) lies in cell (6, 22).
    hero_->MouseClick(15 + 24 * 6 + 5, 15 + 24 * 22 + 5, false);
    hero_->MouseClick(15 + 24 * 6 + 5, 15 + 24 * 22 + 5, true);
    EXPECT_TRUE(hero_->IsMouseWalking());
    int lastX = 0;
    bool oneAtATime = true;
    ASSERT_TRUE(RunUntil([&] {
        const int x = hero_->GetCurrentX();
        if (x != lastX && x != lastX + 1) oneAtATime = false;
        lastX = x;
        return RestsAt(6, 22) && !hero_->IsMouseWalking();
    }));
    EXPECT_TRUE(oneAtATime);
    Frames(20);
    EXPECT_TRUE(RestsAt(6, 22));  // the walk ends on the target
    EXPECT_EQ(CElement::GetStepCount(), 6);

    // A click far to the left, cancelled by a press of right on the way.
    hero_->MouseClick(20, 15 + 24 * 22 + 5, false);
    EXPECT_EQ(hero_->GetMouseTargetX(), 0);
    ASSERT_TRUE(RunUntil([&] { return At(4, 22); }));
    Press(kRight);
    EXPECT_FALSE(hero_->IsMouseWalking());
    Release(kRight);
    Settle();
    Frames(20);
    EXPECT_TRUE(RestsAt(4, 22));
    EXPECT_FALSE(hero_->IsKeyHeld(CElementAI::KEY_LEFT));

    // Clicks outside the grid aim at its nearest cell.
    hero_->MouseClick(14, 14, false);
    EXPECT_EQ(hero_->GetMouseTargetX(), 0);
    EXPECT_EQ(hero_->GetMouseTargetY(), 0);
    hero_->MouseClick(799, 599, false);
    EXPECT_EQ(hero_->GetMouseTargetX(), 31);
    EXPECT_EQ(hero_->GetMouseTargetY(), 23);
}

TEST_F(HeroTest, AClickOnAHoveredInventoryIconUsesThatPowerupInsteadOfWalking) {
    Load(LevelSource({"S", "##########"}));
    Arrive();
    ASSERT_TRUE(hero_->addPowerup(Hero::POWERUP_KIND_WHISTLE));
    ASSERT_TRUE(hero_->addPowerup(Hero::POWERUP_KIND_EMP));
    Frames(20);  // the icons have played their arrival
    CSprite* emp = hero_->GetIconSprite(1, Hero::POWERUP_KIND_EMP);
    const Rect r = emp->GetRect();
    SetMouseX(r.x + r.w / 2);
    SetMouseY(r.y + r.h / 2);
    hero_->MouseHover();
    EXPECT_EQ(hero_->GetHoveredPosition(), 1);
    EXPECT_EQ(emp->GetFrame(), 4);  // lit up
    hero_->MouseClick(r.x + r.w / 2, r.y + r.h / 2, false);
    hero_->MouseClick(r.x + r.w / 2, r.y + r.h / 2, true);
    EXPECT_FALSE(hero_->IsMouseWalking());
    EXPECT_EQ(hero_->activePowerup, Hero::POWERUP_KIND_EMP);
    EXPECT_EQ(hero_->GetInventory(0), Hero::POWERUP_KIND_WHISTLE);
    EXPECT_EQ(hero_->GetInventory(1), Hero::POWERUP_KIND_NONE);

    // Off the icons the pointer hovers nothing and a click walks again.
    ASSERT_TRUE(RunUntil([&] { return !hero_->usingPowerup; }, 200));
    SetMouseX(400);
    SetMouseY(400);
    hero_->MouseHover();
    EXPECT_EQ(hero_->GetHoveredPosition(), -1);
    CSprite* whistle = hero_->GetIconSprite(0, Hero::POWERUP_KIND_WHISTLE);
    EXPECT_EQ(whistle->GetFrame(), whistle->GetFrameCount() - 1);
    hero_->MouseClick(15 + 24 * 3, 15 + 24 * 22, false);
    EXPECT_TRUE(hero_->IsMouseWalking());
    ASSERT_TRUE(RunUntil([&] { return RestsAt(3, 22) && !hero_->IsMouseWalking(); }));
}

TEST_F(HeroTest, UsingAPowerupIsRefusedOutOfRangeWhileMovingWithoutSupportAndUnderARoof) {
    // A ladder in column 3 that he can hang on, a roof over cell (8, 22).
    Load(LevelSource({"", "........#", "S", "##########"}) + PictureSection("ladders", {"...H", "...H", "...H", ""}));
    Arrive();
    ASSERT_TRUE(hero_->addPowerup(Hero::POWERUP_KIND_EMP));
    ASSERT_TRUE(hero_->addPowerup(Hero::POWERUP_KIND_WHISTLE));
    int undoSteps = CElement::GetUndoCount();
    auto use = [&](int position) {
        undoSteps = CElement::GetUndoCount();
        hero_->UsePowerup(position);
    };
    auto expectRefused = [&](const char* what) {
        EXPECT_EQ(hero_->GetInventory(0), Hero::POWERUP_KIND_EMP) << what;
        EXPECT_EQ(hero_->GetInventory(1), Hero::POWERUP_KIND_WHISTLE) << what;
        EXPECT_EQ(hero_->activePowerup, 0) << what;
        EXPECT_FALSE(hero_->usingPowerup) << what;
        EXPECT_EQ(CElement::GetUndoCount(), undoSteps) << what;
    };

    for (int position : {-1, 2, 9, 1000}) use(position);
    expectRefused("positions outside the inventory or empty");

    Press(kRight);
    Frame();
    ASSERT_TRUE(hero_->IsMoving());
    use(0);
    Release(kRight);
    expectRefused("while moving");
    Settle();

    // Up the ladder two cells: he hangs there with nothing below him.
    ASSERT_TRUE(Walk(kRight, 3, 22));
    ASSERT_TRUE(Walk(kUp, 3, 20));
    ASSERT_TRUE(RestsAt(3, 20));
    use(0);
    expectRefused("hanging on a ladder");

    Press(kDown);
    ASSERT_TRUE(RunUntil([&] { return RestsAt(3, 22); }));
    Release(kDown);
    ASSERT_TRUE(Walk(kRight, 8, 22));
    ASSERT_TRUE(RestsAt(8, 22));
    use(0);
    expectRefused("under a roof");

    // Out in the open the EMP works: the whistle moves up into position 0.
    ASSERT_TRUE(Walk(kLeft, 6, 22));
    Frames(10);
    use(0);
    EXPECT_EQ(hero_->GetInventory(0), Hero::POWERUP_KIND_WHISTLE);
    EXPECT_EQ(hero_->GetInventory(1), Hero::POWERUP_KIND_NONE);
    EXPECT_EQ(hero_->activePowerup, Hero::POWERUP_KIND_EMP);
    EXPECT_TRUE(hero_->usingPowerup);
    // The EMP acts in the eighteenth update after its use; the hero turns to
    // the viewer, sets it off and turns back before he is free again.
    Frames(17);
    EXPECT_EQ(hero_->activePowerup, Hero::POWERUP_KIND_EMP);
    Frame();
    EXPECT_EQ(hero_->activePowerup, 0);
    ASSERT_TRUE(RunUntil([&] { return !hero_->usingPowerup; }, 200));
    EXPECT_TRUE(RestsAt(6, 22));
    // The use saved a step first: undo gives the EMP back.
    CElement::LoadUndoStep(false);
    Frame();
    EXPECT_EQ(hero_->GetInventory(0), Hero::POWERUP_KIND_EMP);
    EXPECT_EQ(hero_->GetInventory(1), Hero::POWERUP_KIND_WHISTLE);
    EXPECT_FALSE(hero_->GetIconSprite(1, 0)->IsHidden());
    EXPECT_FALSE(hero_->GetIconSprite(0, Hero::POWERUP_KIND_EMP)->IsHidden());
    EXPECT_TRUE(hero_->GetIconSprite(0, Hero::POWERUP_KIND_WHISTLE)->IsHidden());
}

TEST_F(HeroTest, TheInventoryHoldsNinePowerupsAndRemovingOneMovesTheRestLeft) {
    Load(LevelSource({"S", "##########"}));
    Arrive();
    const int kinds[9] = {4, 8, 5, 6, 1, 2, 3, 7, 4};
    for (int kind : kinds) ASSERT_TRUE(hero_->addPowerup(kind));
    EXPECT_FALSE(hero_->addPowerup(Hero::POWERUP_KIND_WHISTLE));
    for (int p = 0; p < 9; ++p) {
        EXPECT_EQ(hero_->GetInventory(p), kinds[p]);
        EXPECT_FALSE(hero_->GetIconSprite(p, 0)->IsHidden()) << p;
        EXPECT_FALSE(hero_->GetIconSprite(p, kinds[p])->IsHidden()) << p;
    }

    // The first positions below and past the inventory use nothing.
    Frames(10);
    for (int outside : {-1, 9}) {
        hero_->UsePowerup(outside);
        EXPECT_FALSE(hero_->usingPowerup) << outside;
        for (int p = 0; p < 9; ++p) EXPECT_EQ(hero_->GetInventory(p), kinds[p]) << outside;
    }

    // Using the whistle at position 1 shifts everything after it one place.
    hero_->UsePowerup(1);
    const int after[9] = {4, 5, 6, 1, 2, 3, 7, 4, 0};
    for (int p = 0; p < 9; ++p) EXPECT_EQ(hero_->GetInventory(p), after[p]) << p;
    EXPECT_TRUE(hero_->GetIconSprite(1, Hero::POWERUP_KIND_WHISTLE)->IsHidden());
    EXPECT_FALSE(hero_->GetIconSprite(1, Hero::POWERUP_KIND_FROSTGUN)->IsHidden());
    EXPECT_TRUE(hero_->GetIconSprite(8, Hero::POWERUP_KIND_EMP)->IsHidden());
    EXPECT_TRUE(hero_->GetIconSprite(8, 0)->IsHidden());
    ASSERT_TRUE(RunUntil([&] { return !hero_->usingPowerup; }, 200));

    // The last position is used by its solution key, the digit 9.
    ASSERT_TRUE(hero_->addPowerup(Hero::POWERUP_KIND_WHISTLE));
    Press(SOLUTION_KEY_POWERUP_LAST);
    EXPECT_EQ(hero_->activePowerup, Hero::POWERUP_KIND_WHISTLE);
    EXPECT_EQ(hero_->GetInventory(8), Hero::POWERUP_KIND_NONE);
    ASSERT_TRUE(RunUntil([&] { return !hero_->usingPowerup; }, 200));
}

TEST_F(HeroTest, PushesACrateAlongButNotTwoInARow) {
    Load(LevelSource({"S..c.cc", "##########"}, "solution:\n1 right down\n"));
    CElement* first = CElement::GetElementAt(3, 22);
    ASSERT_TRUE(first->IsCrate());
    bool pushing = false;
    ASSERT_TRUE(RunUntil([&] {
        pushing = pushing || (hero_->animationState == 9 && hero_->IsMoving());
        return RestsAt(3, 22) && first->IsAtRest() && first->GetCurrentX() == 4;
    }));
    EXPECT_TRUE(pushing);
    Frames(60);  // right is still held: the crates in front do not give way
    EXPECT_TRUE(RestsAt(3, 22));
    EXPECT_EQ(CElement::GetElementAt(4, 22), first);
    EXPECT_TRUE(CElement::GetElementAt(5, 22)->IsCrate());
    EXPECT_TRUE(CElement::GetElementAt(6, 22)->IsCrate());
    EXPECT_EQ(CElement::GetStepCount(), 3);
    EXPECT_EQ(hero_->animationState, 9);  // he leans into them

    // He walks, and pushes a crate, into the grid's first and last columns,
    // and no further.
    const std::string floor(CElement::kGridWidth, '#');
    const struct {
        std::string row;
        const char* key;
        int crateAt, heroAt;
    } edges[] = {{std::string(28, '.') + "S.c", "right", 31, 30},
                 {".c.S", "left", 0, 1},
                 {std::string(29, '.') + "S", "right", -1, 31},
                 {"..S", "left", -1, 0}};
    for (const auto& e : edges) {
        Load(LevelSource({e.row, floor}, std::string("solution:\n1 ") + e.key + " down\n"));
        Frames(200);
        EXPECT_TRUE(RestsAt(e.heroAt, 22)) << e.row;
        if (e.crateAt < 0) continue;
        EXPECT_TRUE(CElement::GetElementAt(e.crateAt, 22)->IsCrate()) << e.row;
        EXPECT_TRUE(CElement::GetElementAt(e.crateAt, 22)->IsAtRest()) << e.row;
    }
}

TEST_F(HeroTest, AnInflatableCrateFillsTheCellHeFacesAndUndoTakesItAway) {
    Load(LevelSource({"S....#", "##########"}));
    Arrive();
    ASSERT_TRUE(hero_->addPowerup(Hero::POWERUP_KIND_CRATE));
    ASSERT_TRUE(hero_->addPowerup(Hero::POWERUP_KIND_BARREL));
    ASSERT_TRUE(Walk(kRight, 4, 22));
    Frames(5);
    // The wall in front leaves no room: refused, nothing used.
    hero_->UsePowerup(0);
    EXPECT_EQ(hero_->GetInventory(0), Hero::POWERUP_KIND_CRATE);
    EXPECT_FALSE(hero_->usingPowerup);

    Press(kTurn);
    Release(kTurn);
    Frames(10);
    ASSERT_TRUE(hero_->IsFacingLeft());
    hero_->UsePowerup(0);
    EXPECT_EQ(hero_->GetInventory(0), Hero::POWERUP_KIND_BARREL);
    ASSERT_TRUE(hero_->usingPowerup);
    // The hero holds the cell until the crate inflates there.
    EXPECT_EQ(CElement::GetElementAt(3, 22), hero_);
    Frames(7);
    EXPECT_EQ(CElement::GetElementAt(3, 22), hero_);
    Frame();
    CElement* crate = CElement::GetElementAt(3, 22);
    ASSERT_TRUE(crate->IsCrate());
    EXPECT_TRUE(crate->IsInflated());
    EXPECT_EQ(CElement::GetElementAt(4, 22), hero_);
    ASSERT_TRUE(RunUntil([&] { return !hero_->usingPowerup; }, 200));
    EXPECT_FALSE(hero_->IsInflated());

    CElement::LoadUndoStep(false);
    Frame();
    EXPECT_FALSE(CElement::GetElementAt(3, 22)->IsCrate());
    EXPECT_EQ(hero_->GetInventory(0), Hero::POWERUP_KIND_CRATE);
    EXPECT_EQ(hero_->GetInventory(1), Hero::POWERUP_KIND_BARREL);

    // At the right edge of the grid there is no cell in front to fill.
    Load(LevelSource({std::string(30, '.') + "S", std::string(32, '#')}));
    Arrive();
    ASSERT_TRUE(hero_->addPowerup(Hero::POWERUP_KIND_CRATE));
    ASSERT_TRUE(Walk(kRight, 31, 22));
    Frames(5);
    const size_t elements = CElement::GetAllElements().size();
    hero_->UsePowerup(0);
    EXPECT_EQ(hero_->GetInventory(0), Hero::POWERUP_KIND_CRATE);
    EXPECT_FALSE(hero_->usingPowerup);
    Frames(20);
    EXPECT_EQ(CElement::GetAllElements().size(), elements);
}

TEST_F(HeroTest, ABridgeGrowsOnePiecePerFrameAcrossTheGapUpToTheWall) {
    Load(LevelSource({"S..........#", "###......###"}));
    Arrive();
    ASSERT_TRUE(hero_->addPowerup(Hero::POWERUP_KIND_BRIDGE));
    ASSERT_TRUE(Walk(kRight, 2, 22));
    Frames(5);
    hero_->UsePowerup(0);
    ASSERT_TRUE(hero_->usingPowerup);
    EXPECT_EQ(CElement::GetElementAt(3, 23), hero_);  // held for the first piece
    Frames(8);
    // One piece each frame from column 3 on, until the ground at column 9.
    for (int column = 3; column <= 8; ++column) {
        EXPECT_TRUE(CElement::GetElementAt(column, 23)->IsBridge()) << column;
        EXPECT_FALSE(CElement::GetElementAt(column + 1, 23)->IsBridge()) << column;
        if (column < 8) {
            EXPECT_TRUE(hero_->IsInflated());
        }
        Frame();
    }
    EXPECT_EQ(hero_->activePowerup, 0);
    EXPECT_FALSE(hero_->IsInflated());
    ASSERT_TRUE(RunUntil([&] { return !hero_->usingPowerup; }, 200));
    // He walks across to the far side; each piece he leaves collapses.
    ASSERT_TRUE(Walk(kRight, 10, 22));
    EXPECT_TRUE(RestsAt(10, 22));
}

TEST_F(HeroTest, HeRefusesToStepOntoAHotCrateButStandingOnOneSingesHimAndEndsTheLevel) {
    // A hot metal crate fills a pit in the floor at column 5.
    Load(LevelSource({"S", "#####C####", "##########"}, PictureSection("states", {"", ".....h", ""}) +
                     "solution:\n1 right down\n"));
    ASSERT_TRUE(CElement::GetElementAt(5, 22)->IsHeated());
    ASSERT_TRUE(RunUntil([&] { return RestsAt(4, 21); }));
    bool hotStep = false;
    for (int i = 0; i < 60; ++i) {
        Frame();
        hotStep = hotStep || hero_->animationState == 11;
    }
    EXPECT_TRUE(hotStep);
    EXPECT_TRUE(RestsAt(4, 21));
    EXPECT_FALSE(hero_->IsHeated());
    EXPECT_FALSE(CElement::IsLevelExited());

    // Coming out of the tube onto a hot crate singes him.
    Load(LevelSource({"..S", "..C", "##########"}, PictureSection("states", {"", "..h", ""})));
    bool singedShown = false;
    ASSERT_TRUE(RunUntil([&] {
        singedShown = singedShown || hero_->animationState == 55;
        return CElement::IsLevelExited();
    }));
    EXPECT_TRUE(singedShown);
    EXPECT_TRUE(CElement::IsProfessorSinged());
    EXPECT_FALSE(CElement::IsProfessorExiting());
}

TEST_F(HeroTest, AFrozenHeroStandsStillUntilHeatThawsHim) {
    Load(LevelSource({"S", "##########"}));
    Arrive();
    ASSERT_TRUE(CElement::Freeze(hero_));
    Press(kRight);
    Frames(30);
    EXPECT_EQ(hero_->animationState, 54);
    EXPECT_TRUE(RestsAt(0, 22));
    ASSERT_TRUE(CElement::Heat(hero_, false, false));
    EXPECT_FALSE(hero_->IsFrozen());
    bool thawed = false;
    ASSERT_TRUE(RunUntil([&] {
        thawed = thawed || hero_->animationState == 56;
        return At(1, 22);
    }));
    EXPECT_TRUE(thawed);
    EXPECT_FALSE(CElement::IsProfessorSinged());
}

TEST_F(HeroTest, ATeleportPowerupOpensTwoPortalsThatHeThenWalksThrough) {
    Load(LevelSource({"S", "####################"}));
    Arrive();
    ASSERT_TRUE(hero_->addPowerup(Hero::POWERUP_KIND_TELEPORT_BLUE));
    ASSERT_TRUE(hero_->addPowerup(Hero::POWERUP_KIND_EMP));
    ASSERT_TRUE(Walk(kRight, 4, 22));
    Frames(5);
    // The first portal opens around him; its second stays in the inventory.
    hero_->UsePowerup(0);
    EXPECT_EQ(hero_->GetInventory(0), Hero::POWERUP_KIND_TELEPORT_BLUE + 1);
    EXPECT_EQ(hero_->GetInventory(1), Hero::POWERUP_KIND_EMP);
    EXPECT_TRUE(hero_->GetIconSprite(0, Hero::POWERUP_KIND_TELEPORT_BLUE)->IsHidden());
    EXPECT_FALSE(hero_->GetIconSprite(0, Hero::POWERUP_KIND_TELEPORT_BLUE + 1)->IsHidden());
    ASSERT_TRUE(RunUntil([&] { return !hero_->usingPowerup; }, 200));
    ASSERT_EQ(CElementDeviceTeleport::GetPortals(TELEPORT_BLUE).size(), 1u);
    EXPECT_EQ(CElementDeviceTeleport::GetPortals(TELEPORT_BLUE)[0]->GetCurrentX(), 4);
    ASSERT_TRUE(Walk(kRight, 12, 22));
    Frames(5);
    hero_->UsePowerup(0);
    EXPECT_EQ(hero_->GetInventory(0), Hero::POWERUP_KIND_EMP);
    EXPECT_EQ(hero_->GetInventory(1), Hero::POWERUP_KIND_NONE);
    EXPECT_TRUE(hero_->GetIconSprite(1, 0)->IsHidden());
    ASSERT_TRUE(RunUntil([&] { return !hero_->usingPowerup; }, 200));
    ASSERT_EQ(CElementDeviceTeleport::GetPortals(TELEPORT_BLUE).size(), 2u);
    EXPECT_EQ(CElementDeviceTeleport::GetPortals(TELEPORT_BLUE)[1]->GetCurrentX(), 12);

    // He stands in the left column of the second portal: a step right
    // takes him in and out of the first one, at column 5.
    Press(kRight);
    ASSERT_TRUE(RunUntil([&] { return hero_->IsMoving(); }));
    EXPECT_TRUE(hero_->inPassage);
    EXPECT_TRUE(At(5, 22));
    Release(kRight);
    Settle();
    EXPECT_TRUE(RestsAt(5, 22));
}

TEST_F(HeroTest, ABotCatchesHimAndTheLevelEndsOnceTheCatchHasPlayed) {
    Load(LevelSource({"S......(", "##########"}, "solution:\n1 right down\n"));
    int caughtFrame = -1;
    bool struggled = false;
    for (int i = 0; i < 800 && !CElement::IsLevelExited(); ++i) {
        Frame();
        if (caughtFrame < 0 && CElement::IsProfessorCaught()) caughtFrame = Now();
        struggled = struggled || hero_->animationState == 40;
    }
    ASSERT_TRUE(CElement::IsLevelExited());
    EXPECT_EQ(run_->GetResult(), "caught");
    EXPECT_TRUE(struggled);  // caught by the bot on his right
    EXPECT_GT(Now(), caughtFrame + 30);
}

TEST_F(HeroTest, HeCollectsNinePowerupsAndLeavesTheTenthWhereItLies) {
    Load(LevelSource({"SFHWIZKDNZW.#", "#############"}, "solution:\n1 right down\n"));
    ASSERT_TRUE(RunUntil([&] { return RestsAt(11, 22); }, 600));
    const int expected[9] = {5, 6, 8, 7, 4, 1, 2, 3, 4};
    for (int p = 0; p < 9; ++p) EXPECT_EQ(hero_->GetInventory(p), expected[p]) << p;
    for (int x = 1; x <= 9; ++x) EXPECT_FALSE(CElementDevicePowerup::IsPowerupAt(x, 22)) << x;
    // The whistle at column 10 found no room: it still lies there.
    EXPECT_TRUE(CElementDevicePowerup::IsPowerupAt(10, 22));
    EXPECT_EQ(CElementDevicePowerup::GetPowerupKindAt(10, 22), Hero::POWERUP_KIND_WHISTLE);

    // Once a position is free again, walking back over it collects it.
    Frames(5);
    hero_->UsePowerup(4);  // the EMP
    ASSERT_TRUE(RunUntil([&] { return !hero_->usingPowerup; }, 200));
    Press(kLeft);
    ASSERT_TRUE(RunUntil([&] { return At(10, 22) && hero_->IsNearlyAligned(); }));
    Release(kLeft);
    Frame();
    EXPECT_FALSE(CElementDevicePowerup::IsPowerupAt(10, 22));
    EXPECT_EQ(hero_->GetInventory(8), Hero::POWERUP_KIND_WHISTLE);
}

TEST_F(HeroTest, TheFrostGunFreezesTheCrateHeFacesAndTheHeatGunThawsIt) {
    Load(LevelSource({"S...c", "##########"}));
    Arrive();
    ASSERT_TRUE(hero_->addPowerup(Hero::POWERUP_KIND_FROSTGUN));
    ASSERT_TRUE(hero_->addPowerup(Hero::POWERUP_KIND_HEATGUN));
    ASSERT_TRUE(Walk(kRight, 1, 22));
    Frames(5);
    CElement* crate = CElement::GetElementAt(4, 22);
    ASSERT_TRUE(crate->IsCrate());
    hero_->UsePowerup(0);
    ASSERT_EQ(hero_->activePowerup, Hero::POWERUP_KIND_FROSTGUN);
    ASSERT_TRUE(RunUntil([&] { return crate->IsFrozen(); }, 100));
    ASSERT_TRUE(RunUntil([&] { return !hero_->usingPowerup; }, 200));
    hero_->UsePowerup(0);
    ASSERT_EQ(hero_->activePowerup, Hero::POWERUP_KIND_HEATGUN);
    // Heat on a frozen wooden crate thaws it; it does not burn yet.
    ASSERT_TRUE(RunUntil([&] { return !crate->IsFrozen(); }, 100));
    EXPECT_EQ(CElement::GetElementAt(4, 22), crate);
    EXPECT_TRUE(RestsAt(1, 22));
}

// A command asks for an undo step only at its start from rest: on a press,
// with no direction key held, the hero neither moving, falling nor frozen;
// busy with a power-up, he leaves the step pending. A row where all of
// that holds, and one for each condition alone failing.
TEST_F(HeroTest, OnlyAPressFromRestAsksForAnUndoStepEachConditionAlone) {
    struct Row {
        const char* what;
        void (*set)(CElementAIProfessor* hero);
        bool released;
        int saved;     // steps added
        bool pending;  // a step left for the update to take
    };
    const Row rows[] = {
        {"a press from rest", [](CElementAIProfessor*) {}, false, 1, false},
        {"a release", [](CElementAIProfessor*) {}, true, 0, false},
        {"another direction key held", [](CElementAIProfessor* h) { h->KEYS[CElementAI::KEY_UP] = 1; }, false, 0,
         false},
        {"moving", [](CElementAIProfessor* h) { h->MOVING = 1; }, false, 0, false},
        {"falling", [](CElementAIProfessor* h) { h->FALLING = 1; }, false, 0, false},
        {"frozen", [](CElementAIProfessor* h) { h->FROZEN = 1; }, false, 0, false},
        {"busy with a power-up", [](CElementAIProfessor* h) { h->usingPowerup = 1; }, false, 0, true},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.what);
        Load(LevelSource({"S", "##########"}));
        Arrive();
        // The first walk's step equals the starting position: after it, a
        // save is a new step.
        ASSERT_TRUE(Walk(kRight, 1, 22));
        const int before = CElement::GetUndoCount();
        ASSERT_FALSE(CElement::IsUndoSavePending());
        row.set(hero_);
        row.released ? Release(kLeft) : Press(kLeft);
        EXPECT_EQ(CElement::GetUndoCount(), before + row.saved);
        EXPECT_EQ(CElement::IsUndoSavePending(), row.pending);
        CElement::SetUndoSavePending(false);
    }
}
