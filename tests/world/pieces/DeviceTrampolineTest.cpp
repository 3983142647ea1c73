// Trampolines in small built levels: what comes in is flung back the way it
// came once its landing cell has been free for four updates in a row, not
// when it sticks to its floor or hangs on a magnet, through a teleport when
// a portal covers the landing side; undo brings the canvas and grid back.
#include <gtest/gtest.h>

#include <string>

#include "engine/CSprite.h"
#include "tests/world/pieces/DeviceWorld.h"
#include "world/pieces/CElementDeviceTrampoline.h"

using devicetest::Box;
using devicetest::DeviceWorldTest;
using worldtest::Step;

namespace {

class TrampolineTest : public DeviceWorldTest {
protected:
    CElementDeviceTrampoline* TrampolineAt(int x, int y) { return Find<CElementDeviceTrampoline>(x, y); }
    static void Settle(CElement* e) { StepUntil([e] { return !e->IsMoving(); }, 20); }
    static const char* Canvas(CElementDeviceTrampoline* t) { return t->GetCanvasSprite()->GetName(); }
};

TEST_F(TrampolineTest, BoxComingInIsFlungBackInTheFourthUpdateWithAFreeLandingCell) {
    Build({".....T",
           "##########"});
    Step();
    CElementDeviceTrampoline* tramp = TrampolineAt(5, 22);
    ASSERT_TRUE(tramp);
    EXPECT_TRUE(CElementDeviceTrampoline::IsTrampolineAt(5, 22));
    EXPECT_TRUE(CElement::GetElementAt(5, 22)->IsNull()) << "a resting trampoline keeps out of the grid";
    Box* box = new Box(4, 22);
    ASSERT_TRUE(box->PushRight(true, false));
    Step();
    EXPECT_TRUE(tramp->IsStretchedLeft());
    EXPECT_STREQ(Canvas(tramp), "Trampoline Canvas - Stretched Left");
    Settle(box);
    ASSERT_EQ(box->GetCurrentX(), 5);
    EXPECT_EQ(tramp->GetPushCount(), 1) << "the update of the arrival counts";
    Step(2);
    EXPECT_FALSE(box->IsMoving());
    EXPECT_EQ(tramp->GetPushCount(), 3);
    Step();
    EXPECT_TRUE(box->IsMovingLeft()) << "flung in the fourth update";
    EXPECT_EQ(tramp->GetPushCount(), 0);
    Step();
    EXPECT_FALSE(tramp->IsStretchedLeft()) << "the canvas lets go once the cell is empty";
    EXPECT_STREQ(Canvas(tramp), "Trampoline Canvas - Unstretched Left");
    Settle(box);
    EXPECT_EQ(box->GetCurrentX(), 4);
    EXPECT_TRUE(box->IsFacingLeft());
    Step(10);
    EXPECT_EQ(box->GetCurrentX(), 4) << "on plain ground it stops there";

    // Coming in moving left, it is flung back to the right.
    Box* other = new Box(6, 22);
    ASSERT_TRUE(other->PushLeft(true, false));
    Step();
    EXPECT_TRUE(tramp->IsStretchedRight());
    EXPECT_STREQ(tramp->GetFrontSprite()->GetName(), "Trampoline Front - Stretched Right");
    Settle(other);
    ASSERT_TRUE(StepUntil([other] { return other->IsMovingRight(); }, 10));
    Settle(other);
    EXPECT_EQ(other->GetCurrentX(), 6);
    EXPECT_FALSE(other->IsFacingLeft());
}

TEST_F(TrampolineTest, LandingCellTakenRestartsTheCount) {
    Build({".....T",
           "##########"});
    Step();
    CElementDeviceTrampoline* tramp = TrampolineAt(5, 22);
    Box* box = new Box(6, 22);
    ASSERT_TRUE(box->PushLeft(true, false));
    Box* blocker = new Box(7, 22);  // waits beside the trampoline, in the landing cell after the box left it
    (void)blocker;
    Settle(box);
    ASSERT_TRUE(blocker->PushLeft(true, false));
    Settle(blocker);
    ASSERT_EQ(CElement::GetElementAt(6, 22), blocker);
    Step(10);
    EXPECT_EQ(tramp->GetPushCount(), 0) << "the blocker on plain ground does not give way";
    EXPECT_EQ(box->GetCurrentX(), 5);
    ASSERT_TRUE(blocker->PushRight(true, false));  // the landing cell is free from now on
    Step(3);
    EXPECT_EQ(tramp->GetPushCount(), 3);
    EXPECT_FALSE(box->IsMoving());
    Step();
    EXPECT_TRUE(box->IsMovingRight());
}

TEST_F(TrampolineTest, NothingIsFlungOffAStickyFloorOrOutOfAMagnetsHold) {
    // One trampoline on sand, one on grass.
    Build({".....T.....T",
           "#####:######"});
    Step();
    CElementDeviceTrampoline* onSand = TrampolineAt(5, 22);
    CElementDeviceTrampoline* onGrass = TrampolineAt(11, 22);
    Box* stuck = new Box(4, 22);
    Box* held = new Box(10, 22);
    ASSERT_TRUE(stuck->PushRight(true, false));
    ASSERT_TRUE(held->PushRight(true, false));
    Settle(stuck);
    Settle(held);
    held->SetMagnetHolder(stuck, true);
    Step(12);
    EXPECT_EQ(stuck->GetCurrentX(), 5);
    EXPECT_EQ(held->GetCurrentX(), 11);
    EXPECT_TRUE(onSand->IsStretchedLeft());
    EXPECT_TRUE(onGrass->IsStretchedLeft());
    // Let go, it is flung.
    held->ClearMagnetHolderA();
    ASSERT_TRUE(StepUntil([held] { return held->IsMovingLeft(); }, 6));
    EXPECT_FALSE(CElementDeviceTrampoline::IsTrampolineAt(-1, 22));
    EXPECT_FALSE(CElementDeviceTrampoline::IsTrampolineAt(5, 24));
}

TEST_F(TrampolineTest, FlingLandsThroughATeleportCoveringTheTrampolinesSide) {
    // The trampoline stands in the right column of portal P at (6, 20); Q is
    // at (20, 15). A box leaving Q's left column rightwards comes out of P
    // into the trampoline, and is flung back out through Q.
    std::vector<std::string> rows(9);
    rows[1] = "...............###########";  // row 16
    rows[5] = ".......T";                    // row 20
    rows[6] = "###########";                 // row 21
    Build(rows, "teleport: blue 6 20\nteleport: blue 20 15\n");
    Step();
    CElementDeviceTrampoline* tramp = TrampolineAt(7, 20);
    ASSERT_TRUE(tramp);
    Box* box = new Box(20, 15);
    ASSERT_TRUE(box->PushRight(true, false));
    EXPECT_EQ(box->GetCurrentX(), 7);
    EXPECT_EQ(box->GetCurrentY(), 20);
    Settle(box);
    ASSERT_TRUE(StepUntil([box] { return box->IsMovingLeft(); }, 10));
    EXPECT_EQ(box->GetCurrentX(), 20);
    EXPECT_EQ(box->GetCurrentY(), 15);
    Settle(box);
    EXPECT_EQ(CElement::GetElementAt(20, 15), box);
    EXPECT_TRUE(CElement::GetElementAt(6, 20)->IsNull());
}

TEST_F(TrampolineTest, TrampolineThatLosesItsFloorBreaksAndFreesItsCell) {
    Build({".....T",
           "##########"});
    Step();
    CElementDeviceTrampoline* tramp = TrampolineAt(5, 22);
    CElement::ClearElementAt(5, 23);
    Step();
    EXPECT_TRUE(tramp->IsDestroyed());
    EXPECT_FALSE(CElementDeviceTrampoline::IsTrampolineAt(5, 22));
    EXPECT_STREQ(Canvas(tramp), "Trampoline Canvas Breaking");
    Step(30);
    EXPECT_TRUE(tramp->GetCanvasSprite()->IsHidden());
    EXPECT_FALSE(CElementDeviceTrampoline::IsTrampolineAt(5, 23));
}

TEST_F(TrampolineTest, UndoBringsBackGridCanvasAndCount) {
    Build({".....T",
           "##########"});
    Step();
    CElementDeviceTrampoline* tramp = TrampolineAt(5, 22);
    Box* box = new Box(4, 22);
    ASSERT_TRUE(box->PushRight(true, false));
    Settle(box);
    Step();
    ASSERT_EQ(tramp->GetPushCount(), 2);
    CElement::SaveUndoStep();  // skipped: the starting position is stored
    CElement::SaveUndoStep();  // stretched, the count at 2
    Settle(box);
    ASSERT_TRUE(StepUntil([tramp] { return !tramp->IsStretchedLeft(); }, 10));
    CElement::ClearElementAt(5, 23);
    Step();
    ASSERT_FALSE(CElementDeviceTrampoline::IsTrampolineAt(5, 22));

    CElement::LoadUndoStep(false);
    EXPECT_TRUE(CElementDeviceTrampoline::IsTrampolineAt(5, 22));
    EXPECT_FALSE(tramp->IsDestroyed());
    EXPECT_TRUE(tramp->IsStretchedLeft());
    EXPECT_EQ(tramp->GetPushCount(), 2);
    EXPECT_STREQ(Canvas(tramp), "Trampoline Canvas - Stretched Left");
    EXPECT_FALSE(tramp->GetCanvasSprite()->IsHidden());
    EXPECT_EQ(box->GetCurrentX(), 5);
    // The world goes on from there: two more free updates fling the box.
    Step();
    EXPECT_FALSE(box->IsMoving());
    Step();
    EXPECT_TRUE(box->IsMovingLeft());
}

}  // namespace
