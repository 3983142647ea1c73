// Floor buttons and gates in small built levels: boxes pushed on and off
// buttons open and close the gates of their colour, two buttons hold a gate,
// a gate shutting on something breaks, a magnet keeps a gate shut, and undo
// brings back the buttons' counts and the gates' states and looks.
#include <gtest/gtest.h>

#include <string>

#include "engine/CSprite.h"
#include "tests/world/pieces/DeviceWorld.h"
#include "world/pieces/CElementDeviceButton.h"
#include "world/pieces/CElementDeviceGate.h"

using devicetest::Box;
using devicetest::DeviceWorldTest;
using worldtest::Step;

namespace {

class ButtonGateTest : public DeviceWorldTest {
protected:
    CElementDeviceButton* ButtonAt(int x, int y) { return Find<CElementDeviceButton>(x, y); }
    CElementDeviceGate* GateAt(int x, int y) { return Find<CElementDeviceGate>(x, y); }
    // A box moved one cell right by a push, carried to its end.
    static void PushRight(Box* box) {
        ASSERT_TRUE(box->PushRight(true, false));
        devicetest::DeviceWorldTest::StepUntil([box] { return !box->IsMoving(); }, 20);
    }
    static void PushLeft(Box* box) {
        ASSERT_TRUE(box->PushLeft(true, false));
        devicetest::DeviceWorldTest::StepUntil([box] { return !box->IsMoving(); }, 20);
    }
    static bool InGrid(CElement* e) { return CElement::GetElementAt(e->GetCurrentX(), e->GetCurrentY(), true) == e; }
};

TEST_F(ButtonGateTest, BoxOnBlueButtonOpensOnlyBlueGatesAndTakingItOffClosesThem) {
    // Blue button b at column 2; a blue gate B at 6 and 9; a red gate R at 8.
    Build({"..b...B.RB",
           "##########"});
    Step();
    Box* box = new Box(1, 22);
    CElementDeviceButton* button = ButtonAt(2, 22);
    CElementDeviceGate* blue = GateAt(6, 22);
    CElementDeviceGate* blue2 = GateAt(9, 22);
    CElementDeviceGate* red = GateAt(8, 22);
    ASSERT_TRUE(button && blue && blue2 && red);
    EXPECT_TRUE(InGrid(blue) && InGrid(red));
    EXPECT_EQ(red->GetColour(), BUTTON_RED);
    EXPECT_FALSE(blue->HasLights());
    EXPECT_TRUE(red->HasLights());

    // The box takes the button's cell when its move starts; the button goes
    // down in the third update that finds the cell taken.
    ASSERT_TRUE(box->PushRight(true, false));
    Step(2);
    EXPECT_FALSE(button->IsPressed());
    EXPECT_EQ(button->GetPressCount(), 2);
    Step();
    EXPECT_TRUE(button->IsPressed());
    EXPECT_EQ(CElementDeviceButton::GetPressedCount(BUTTON_BLUE), 1);
    ASSERT_TRUE(StepUntil([&] { return blue->IsOpen(); }, 2));
    EXPECT_TRUE(blue2->IsOpen());
    EXPECT_FALSE(red->IsOpen());
    EXPECT_TRUE(CElement::GetElementAt(6, 22)->IsNull()) << "an open gate leaves the grid";
    EXPECT_TRUE(InGrid(red));
    EXPECT_STREQ(blue->GetShownFront()->GetName(), "Gate (Front) Opening");

    // Off the button: released in the first update with the cell empty; the
    // gates shut and stand in the grid again.
    StepUntil([box] { return !box->IsMoving(); }, 20);
    ASSERT_TRUE(box->PushRight(true, false));
    Step();
    EXPECT_FALSE(button->IsPressed());
    EXPECT_EQ(CElementDeviceButton::GetPressedCount(BUTTON_BLUE), 0);
    ASSERT_TRUE(StepUntil([&] { return !blue->IsOpen() && !blue2->IsOpen(); }, 2));
    EXPECT_TRUE(InGrid(blue) && InGrid(blue2));
    EXPECT_FALSE(blue->IsBroken());
    EXPECT_STREQ(blue->GetShownBack()->GetName(), "Gate (Back) Closing");
    // The box, pushed on, stops at the closed gate.
    StepUntil([box] { return !box->IsMoving(); }, 20);
    PushRight(box);
    PushRight(box);
    EXPECT_EQ(box->GetCurrentX(), 5);
    EXPECT_FALSE(box->PushRight(true, false));
}

TEST_F(ButtonGateTest, TwoButtonsOfOneColourHoldTheGateWhileEitherIsPressed) {
    // Yellow buttons at 2 and 5, a yellow gate at 9; boxes start beside them.
    Build({"..y..y...Y",
           "##########"});
    Step();
    Box* a = new Box(1, 22);
    Box* b = new Box(4, 22);
    CElementDeviceGate* gate = GateAt(9, 22);
    ASSERT_TRUE(gate);
    PushRight(a);
    PushRight(b);
    Step(3);
    EXPECT_EQ(CElementDeviceButton::GetPressedCount(BUTTON_YELLOW), 2);
    EXPECT_TRUE(gate->IsOpen());

    PushLeft(a);  // one button comes up: the other holds the gate open
    Step(3);
    EXPECT_EQ(CElementDeviceButton::GetPressedCount(BUTTON_YELLOW), 1);
    EXPECT_TRUE(gate->IsOpen());

    PushRight(b);  // the second one comes up too: the gate shuts
    Step(2);
    EXPECT_EQ(CElementDeviceButton::GetPressedCount(BUTTON_YELLOW), 0);
    EXPECT_FALSE(gate->IsOpen());
    EXPECT_FALSE(gate->IsBroken());
}

TEST_F(ButtonGateTest, ButtonCountsOccupiedUpdatesAcrossShortVisitsAndIgnoresBridges) {
    Build({"..r...R",
           "#######"});
    Step();
    CElementDeviceButton* button = ButtonAt(2, 22);
    CElementDeviceGate* gate = GateAt(6, 22);
    Box* box = new Box(10, 10);
    box->gravity = 0;
    // Two short visits of one and two updates: the count is kept between
    // them, so the button goes down during the second.
    CElement::SetElementAt(2, 22, box);
    Step();
    CElement::ClearElementAt(2, 22);
    Step();
    EXPECT_EQ(button->GetPressCount(), 1);
    EXPECT_FALSE(button->IsPressed());
    CElement::SetElementAt(2, 22, box);
    Step(2);
    EXPECT_TRUE(button->IsPressed());
    EXPECT_EQ(button->GetPressCount(), 0);
    Step();
    EXPECT_TRUE(gate->IsOpen());

    // A bridge lying in the cell keeps a pressed button down and presses
    // nothing by itself.
    CElement::ClearElementAt(2, 22);
    CElement* bridge = new Box(11, 10);
    bridge->gravity = 0;
    bridge->type = ELEMENT_TERRAIN;
    bridge->typeTerrain = TERRAIN_KIND_BRIDGE;
    CElement::SetElementAt(2, 22, bridge);
    Step(5);
    EXPECT_TRUE(button->IsPressed()) << "the cell counts as occupied";
    EXPECT_EQ(button->GetPressCount(), 0);
    CElement::ClearElementAt(2, 22);
    Step();
    EXPECT_FALSE(button->IsPressed());
    CElement::SetElementAt(2, 22, bridge);
    Step(5);
    EXPECT_FALSE(button->IsPressed());
    EXPECT_EQ(button->GetPressCount(), 0);
}

TEST_F(ButtonGateTest, GateShuttingOnSomethingInItsCellBreaksForGood) {
    // A blue button at 2 and a blue gate at 6; a box holds the button while a
    // second box and the walker stand in the open gates' cells.
    Build({"..b...B.B",
           "#########"},
          "", 7, 22);
    Step();
    Box* weight = new Box(1, 22);
    CElementDeviceGate* gate = GateAt(6, 22);
    CElementDeviceGate* gate2 = GateAt(8, 22);
    PushRight(weight);
    Step(2);
    ASSERT_TRUE(gate->IsOpen() && gate2->IsOpen());
    Box* blocker = new Box(5, 22);
    PushRight(blocker);
    ASSERT_EQ(CElement::GetElementAt(6, 22), blocker);
    walker_->KEYS[CElementAI::KEY_RIGHT] = 1;
    StepUntil([&] { return walker_->GetCurrentX() == 8; }, 5);
    walker_->KEYS[CElementAI::KEY_RIGHT] = 0;
    StepUntil([&] { return !walker_->IsMoving(); }, 20);
    ASSERT_EQ(CElement::GetElementAt(8, 22), walker_);

    PushLeft(weight);  // the button comes up: both gates must shut
    Step();
    EXPECT_TRUE(gate->IsBroken());
    EXPECT_TRUE(gate2->IsBroken());
    EXPECT_EQ(CElement::GetElementAt(6, 22), blocker) << "the box keeps its cell";
    EXPECT_EQ(CElement::GetElementAt(8, 22), walker_) << "so does the hero";
    EXPECT_STREQ(gate->GetShownFront()->GetName(), "Gate (Front) Breaking");

    // Broken is final: the cell stays passable whatever the buttons do.
    PushRight(blocker);
    EXPECT_EQ(blocker->GetCurrentX(), 7);
    PushRight(weight);
    Step(5);
    PushLeft(weight);
    Step(5);
    EXPECT_TRUE(gate->IsBroken());
    EXPECT_TRUE(CElement::GetElementAt(6, 22)->IsNull());
}

TEST_F(ButtonGateTest, MagnetHeldGateStaysShutAndOpensOnceLetGo) {
    Build({"..r...R",
           "#######"});
    Step();
    CElementDeviceGate* gate = GateAt(6, 22);
    Box* magnet = new Box(7, 22);
    gate->SetMagnetHolder(magnet, false);
    Box* weight = new Box(1, 22);
    PushRight(weight);
    Step(2);
    ASSERT_TRUE(CElementDeviceButton::IsColourPressed(BUTTON_RED));
    EXPECT_FALSE(gate->IsOpen());
    EXPECT_TRUE(gate->IsHeldShown());
    EXPECT_EQ(CElement::GetElementAt(6, 22), gate);
    EXPECT_STREQ(gate->GetShownBack()->GetName(), "Gate (Back) Magnet Held");
    EXPECT_STREQ(gate->GetShownLight()->GetName(), "Gate Lights (Red) Magnet Held");

    // Releasing the colour clears the held look's flag, so that the next
    // press shudders the gate again.
    PushLeft(weight);
    Step();
    EXPECT_FALSE(gate->IsHeldShown());
    PushRight(weight);
    Step(3);
    EXPECT_TRUE(gate->IsHeldShown());

    // An undo back into the held look, after the colour was let go, keeps
    // it at rest: the gate does not shudder again for the same press.
    ASSERT_TRUE(StepUntil([&] { return gate->GetShownBack()->IsFinished(); }, 40));
    CElement::SaveUndoStep();  // skipped: the world's first step is stored already
    CElement::SaveUndoStep();  // pressed, the gate held
    PushLeft(weight);
    Step();
    ASSERT_FALSE(gate->IsHeldShown());
    CElement::LoadUndoStep(false);
    Step(2);
    EXPECT_TRUE(gate->IsHeldShown());
    EXPECT_STREQ(gate->GetShownBack()->GetName(), "Gate (Back) Magnet Held");
    EXPECT_TRUE(gate->GetShownBack()->IsFinished()) << "the gate shuddered again";

    // The magnet lets go while the colour is pressed: the gate opens in the
    // next update.
    gate->ClearMagnetHolderB();
    Step();
    EXPECT_TRUE(gate->IsOpen());
    EXPECT_FALSE(gate->IsHeldShown());
    EXPECT_TRUE(CElement::GetElementAt(6, 22)->IsNull());
}

TEST_F(ButtonGateTest, UndoBringsBackButtonCountsAndGateStates) {
    Build({"..b...B",
           "#######"});
    Step();  // the world's first step stores the starting position
    CElementDeviceButton* button = ButtonAt(2, 22);
    CElementDeviceGate* gate = GateAt(6, 22);
    Box* box = new Box(2, 21);  // falls onto the button
    StepUntil([&] { return gate->IsOpen() && !box->IsMoving(); }, 40);
    ASSERT_TRUE(button->IsPressed());
    CElement::SaveUndoStep();  // skipped: the world's first step is stored already
    CElement::SaveUndoStep();  // pressed, the gate open
    PushRight(box);
    Step(3);
    ASSERT_FALSE(gate->IsOpen());
    ASSERT_EQ(CElementDeviceButton::GetPressedCount(BUTTON_BLUE), 0);

    CElement::LoadUndoStep(false);
    EXPECT_TRUE(button->IsPressed());
    EXPECT_EQ(CElementDeviceButton::GetPressedCount(BUTTON_BLUE), 1);
    EXPECT_TRUE(gate->IsOpen());
    EXPECT_TRUE(CElement::GetElementAt(6, 22)->IsNull());
    EXPECT_EQ(box->GetCurrentX(), 2);
    // The step's look comes back at rest, without replaying the animation.
    EXPECT_STREQ(gate->GetShownBack()->GetName(), "Gate (Back) Opening");
    EXPECT_TRUE(gate->GetShownBack()->IsFinished());
    Step(3);
    EXPECT_TRUE(gate->IsOpen()) << "the restored press holds";

    CElement::LoadUndoStep(true);  // the starting position
    EXPECT_FALSE(button->IsPressed());
    EXPECT_EQ(button->GetPressCount(), 0);
    EXPECT_EQ(CElementDeviceButton::GetPressedCount(BUTTON_BLUE), 0);
    EXPECT_FALSE(gate->IsOpen());
    EXPECT_EQ(CElement::GetElementAt(6, 22), gate);
}

}  // namespace
