// The devices with the hero and crates, run by the level run with keys as
// the play screen runs a level: a crate on a button opens the gate the hero
// walks through, gates break on what stands in them as they shut, the hero
// and a crate pass a teleport pair, a third portal spoils a pair, the hero
// is flung back by a trampoline, and undo takes back the buttons and gates.
#include <gtest/gtest.h>

#include <string>

#include "tests/world/pieces/DeviceWorld.h"
#include "world/SolutionKeys.h"
#include "world/pieces/CElementDeviceButton.h"
#include "world/pieces/CElementDeviceGate.h"
#include "world/pieces/CElementDeviceTeleport.h"
#include "world/pieces/CElementDeviceTrampoline.h"
#include "world/pieces/CElementObjectCrate.h"

namespace {

using DeviceScenarioTest = devicetest::DeviceRunTest;

TEST_F(DeviceScenarioTest, CrateOnBlueButtonOpensTheGateTheHeroWalksThrough) {
    // The hero pushes the crate left onto the button, then walks right
    // through the opened gate to the exit.
    Load({"bc.S...B...E",
          "#############"});
    CElementDeviceGate* gate = Find<CElementDeviceGate>(7, 22);
    ASSERT_TRUE(gate);
    EXPECT_TRUE(WalkTo(SOLUTION_KEY_LEFT, 1));
    EXPECT_NE(Find<CElementObjectCrate>(0, 22), nullptr);
    ASSERT_TRUE(RunUntil([&] { return gate->IsOpen(); }, 10));
    Press(SOLUTION_KEY_RIGHT);
    EXPECT_EQ(RunToEnd(), "exited");
}

TEST_F(DeviceScenarioTest, HeroWalkingOverAButtonIntoItsGateBreaksTheGateBehindHim) {
    Load({"S.bB...E",
          "########"});
    CElementDeviceGate* gate = Find<CElementDeviceGate>(3, 22);
    Press(SOLUTION_KEY_RIGHT);
    ASSERT_TRUE(RunUntil([&] { return hero_->GetCurrentX() == 3; }));
    EXPECT_TRUE(RunUntil([&] { return gate->IsBroken(); }, 3)) << "the button came up with the hero in the gate";
    EXPECT_EQ(RunToEnd(), "exited");
    EXPECT_TRUE(gate->IsBroken());
}

TEST_F(DeviceScenarioTest, CrateShovedIntoTheGateAsTheHeroLeavesTheButtonBreaksIt) {
    // Red button at 2, a crate at 3 before the red gate at 4.
    Load({"S.rcR....E",
          "##########"});
    CElementDeviceGate* gate = Find<CElementDeviceGate>(4, 22);
    CElementObjectCrate* crate = Find<CElementObjectCrate>(3, 22);
    ASSERT_TRUE(gate && crate);
    Press(SOLUTION_KEY_RIGHT);
    ASSERT_TRUE(RunUntil([&] { return crate->GetCurrentX() == 4; }));
    Release(SOLUTION_KEY_RIGHT);
    EXPECT_TRUE(RunUntil([&] { return gate->IsBroken(); }, 3));
    RunUntil([&] { return !hero_->IsMoving() && !crate->IsMoving(); });
    EXPECT_EQ(CElement::GetElementAt(4, 22), crate) << "the crate keeps the broken gate's cell";
    EXPECT_EQ(hero_->GetCurrentX(), 3);
    // The broken gate no longer blocks: the crate goes on through.
    EXPECT_TRUE(WalkTo(SOLUTION_KEY_RIGHT, 4));
    EXPECT_EQ(crate->GetCurrentX(), 5);
}

TEST_F(DeviceScenarioTest, HeroWalksThroughAPortalAndBackFacingOn) {
    // Portal P at (1, 22) on the lower floor, Q at (20, 17) on a ledge.
    Load({"...................#####", "", "", "", "....S...E", "##########"},
         "teleport: blue 1 22\nteleport: blue 20 17\n");
    EXPECT_TRUE(WalkTo(SOLUTION_KEY_LEFT, 2));  // into P's right column
    Press(SOLUTION_KEY_LEFT);
    ASSERT_TRUE(RunUntil([&] { return hero_->GetCurrentY() == 17; }, 40));
    Release(SOLUTION_KEY_LEFT);
    EXPECT_EQ(hero_->GetCurrentX(), 20) << "out of Q's left column";
    RunUntil([&] { return !hero_->IsMoving(); });
    EXPECT_EQ(CElement::GetElementAt(20, 17), hero_);
    EXPECT_TRUE(hero_->IsFacingLeft());
    // Back: from Q's left column out of P's right one, and on to the exit.
    Press(SOLUTION_KEY_RIGHT);
    ASSERT_TRUE(RunUntil([&] { return hero_->GetCurrentY() == 22; }, 40));
    EXPECT_EQ(hero_->GetCurrentX(), 2);
    EXPECT_FALSE(hero_->IsFacingLeft());
    EXPECT_EQ(RunToEnd(), "exited");
}

TEST_F(DeviceScenarioTest, HeroShovesACrateThroughAPortal) {
    Load({"...................#####", "", "", "", "...c.S..E", "##########"},
         "teleport: blue 1 22\nteleport: blue 20 17\n");
    CElementObjectCrate* crate = Find<CElementObjectCrate>(3, 22);
    ASSERT_TRUE(crate);
    Press(SOLUTION_KEY_LEFT);
    ASSERT_TRUE(RunUntil([&] { return crate->GetCurrentY() == 17; }, 100));
    Release(SOLUTION_KEY_LEFT);
    EXPECT_EQ(crate->GetCurrentX(), 20);
    RunUntil([&] { return !crate->IsMoving() && !hero_->IsMoving(); });
    EXPECT_EQ(CElement::GetElementAt(20, 17), crate);
    EXPECT_TRUE(crate->IsFacingLeft());
    EXPECT_EQ(hero_->GetCurrentX(), 2) << "the hero follows into the portal's column";
    EXPECT_EQ(hero_->GetCurrentY(), 22);
}

TEST_F(DeviceScenarioTest, ThirdPortalOfAColourLetsTheHeroWalkPastThemAll) {
    Load({"...................#####", "", "", "", "....S...E", "##########"},
         "teleport: blue 1 22\nteleport: blue 20 17\nteleport: blue 6 22\n");
    EXPECT_TRUE(WalkTo(SOLUTION_KEY_LEFT, 0));
    EXPECT_EQ(hero_->GetCurrentY(), 22);
    EXPECT_TRUE(WalkTo(SOLUTION_KEY_RIGHT, 7));
    EXPECT_EQ(hero_->GetCurrentY(), 22);
}

TEST_F(DeviceScenarioTest, TrampolineFlingsTheHeroBackToTheCellHeCameFrom) {
    Load({"S..T...E",
          "########"});
    CElementDeviceTrampoline* tramp = Find<CElementDeviceTrampoline>(3, 22);
    ASSERT_TRUE(tramp);
    Press(SOLUTION_KEY_RIGHT);
    ASSERT_TRUE(RunUntil([&] { return hero_->GetCurrentX() == 3; }));
    Release(SOLUTION_KEY_RIGHT);
    EXPECT_TRUE(RunUntil([&] { return tramp->IsStretchedLeft(); }, 2));
    ASSERT_TRUE(RunUntil([&] { return hero_->GetCurrentX() == 2; }, 40)) << "flung back left";
    RunUntil([&] { return !hero_->IsMoving() && !hero_->leftTrampoline; }, 200);
    EXPECT_EQ(hero_->GetCurrentX(), 2);
    EXPECT_EQ(hero_->GetCurrentY(), 22);
    EXPECT_FALSE(hero_->IsFacingLeft()) << "he lands facing the trampoline";
    EXPECT_FALSE(tramp->IsStretchedLeft());
}

TEST_F(DeviceScenarioTest, UndoTakesBackTheHerosMovesWithTheButtonsAndGates) {
    Load({"bc.S...B...E",
          "#############"});
    CElementDeviceButton* button = Find<CElementDeviceButton>(0, 22);
    CElementDeviceGate* gate = Find<CElementDeviceGate>(7, 22);
    CElementObjectCrate* crate = Find<CElementObjectCrate>(1, 22);
    EXPECT_TRUE(WalkTo(SOLUTION_KEY_LEFT, 1));  // pushing the crate onto the button
    ASSERT_TRUE(RunUntil([&] { return gate->IsOpen(); }, 10));
    EXPECT_TRUE(WalkTo(SOLUTION_KEY_RIGHT, 4));  // a step saved with the gate open
    EXPECT_TRUE(WalkTo(SOLUTION_KEY_LEFT, 3));

    CElement::LoadUndoStep(false);
    EXPECT_EQ(hero_->GetCurrentX(), 4);
    EXPECT_TRUE(button->IsPressed());
    EXPECT_EQ(CElementDeviceButton::GetPressedCount(BUTTON_BLUE), 1);
    EXPECT_TRUE(gate->IsOpen());
    CElement::LoadUndoStep(false);
    EXPECT_EQ(hero_->GetCurrentX(), 1) << "as before the walk right";
    EXPECT_TRUE(gate->IsOpen());
    CElement::LoadUndoStep(false);
    EXPECT_EQ(hero_->GetCurrentX(), 3);
    EXPECT_EQ(crate->GetCurrentX(), 1);
    EXPECT_FALSE(button->IsPressed());
    EXPECT_EQ(CElementDeviceButton::GetPressedCount(BUTTON_BLUE), 0);
    EXPECT_FALSE(gate->IsOpen());
    EXPECT_EQ(CElement::GetElementAt(7, 22), gate);
    // The world runs on from the restored start as from the level's start.
    EXPECT_TRUE(WalkTo(SOLUTION_KEY_LEFT, 1));
    EXPECT_TRUE(RunUntil([&] { return gate->IsOpen(); }, 10));
}

}  // namespace
