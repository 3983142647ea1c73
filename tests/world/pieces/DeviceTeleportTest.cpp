// Teleports in small built levels: which cells a portal answers for, boxes
// and a walker passing a pair, pairs that are not usable, portals that fall,
// where an inflatable portal may open, the glow and fade of the spiral, and
// undo of the pairs, glows and holds.
#include <gtest/gtest.h>

#include <string>

#include "engine/CSprite.h"
#include "tests/world/pieces/DeviceWorld.h"
#include "world/pieces/CElementDeviceTeleport.h"

using devicetest::Box;
using devicetest::DeviceWorldTest;
using worldtest::Step;

namespace {

class TeleportTest : public DeviceWorldTest {
protected:
    // Two blue portals: P anchored at (5, 20) and Q at (20, 15), each on a
    // grass floor.
    void BuildPair(const std::string& more = "") {
        std::vector<std::string> rows(9);
        rows[0] = "";                                  // row 15
        rows[1] = "...............###########";        // row 16: Q's floor
        rows[6] = "###########";                       // row 21: P's floor
        Build(rows, "teleport: blue 5 20\nteleport: blue 20 15\n" + more);
        p_ = CElementDeviceTeleport::GetPortals(TELEPORT_BLUE).at(0);
        q_ = CElementDeviceTeleport::GetPortals(TELEPORT_BLUE).at(1);
    }
    static const char* Spiral(CElementDeviceTeleport* t) { return t->GetPortalSprite()->GetName(); }

    CElementDeviceTeleport* p_ = nullptr;
    CElementDeviceTeleport* q_ = nullptr;
};

TEST_F(TeleportTest, SideFlagPicksThePortalColumnAndOnlyTheAnchorRowLeadsThrough) {
    BuildPair();
    ASSERT_EQ(p_->GetCurrentX(), 5);
    ASSERT_EQ(q_->GetCurrentY(), 15);
    // Side false is the portal's left column, side true its right column.
    EXPECT_EQ(CElementDeviceTeleport::GetPartner(5, 20, false), q_);
    EXPECT_EQ(CElementDeviceTeleport::GetPartner(6, 20, true), q_);
    EXPECT_EQ(CElementDeviceTeleport::GetPartner(20, 15, false), p_);
    EXPECT_EQ(CElementDeviceTeleport::GetPartner(21, 15, true), p_);
    EXPECT_EQ(CElementDeviceTeleport::GetPartner(6, 20, false), nullptr);
    EXPECT_EQ(CElementDeviceTeleport::GetPartner(5, 20, true), nullptr);
    EXPECT_EQ(CElementDeviceTeleport::GetPartner(5, 19, false), nullptr) << "only the anchor row";
    // CheckTeleport also answers for the row above the anchor.
    EXPECT_TRUE(CElementDeviceTeleport::CheckTeleport(5, 20, false, false, false));
    EXPECT_TRUE(CElementDeviceTeleport::CheckTeleport(5, 19, false, false, false));
    EXPECT_TRUE(CElementDeviceTeleport::CheckTeleport(6, 19, true, false, false));
    EXPECT_FALSE(CElementDeviceTeleport::CheckTeleport(5, 18, false, false, false));
    EXPECT_FALSE(CElementDeviceTeleport::CheckTeleport(5, 21, false, false, false));
    EXPECT_FALSE(CElementDeviceTeleport::CheckTeleport(6, 20, false, false, false));
    // The glow goes to the portal found (right) and its partner (left).
    EXPECT_TRUE(CElementDeviceTeleport::CheckTeleport(6, 20, true, true, true));
    EXPECT_EQ(p_->GetGlowTimerRight(), 4);
    EXPECT_EQ(q_->GetGlowTimerLeft(), 4);
    EXPECT_EQ(p_->GetGlowTimerLeft(), 0);
    // The world's side lookups go through the pair.
    EXPECT_EQ(CElement::GetSideXAt(6, 20, true, true), 20);
    EXPECT_EQ(CElement::GetSideYAt(6, 20, true, true), 15);
    EXPECT_EQ(CElement::GetSideXAt(5, 20, false, true), 21);
    // A portal below a cell, usable or not, by the column on that side.
    EXPECT_TRUE(CElementDeviceTeleport::IsTeleportBelow(5, 19, false));
    EXPECT_TRUE(CElementDeviceTeleport::IsTeleportBelow(6, 19, true));
    EXPECT_FALSE(CElementDeviceTeleport::IsTeleportBelow(6, 19, false));
    EXPECT_FALSE(CElementDeviceTeleport::IsTeleportBelow(5, 20, false));
}

TEST_F(TeleportTest, BoxPushedIntoAPortalComesOutOfItsPartnerMovingOn) {
    BuildPair();
    Step();
    Box* box = new Box(7, 20);
    ASSERT_TRUE(box->PushLeft(true, false));  // into P's right column: a plain move
    StepUntil([box] { return !box->IsMoving(); }, 20);
    ASSERT_EQ(box->GetCurrentX(), 6);
    ASSERT_TRUE(box->PushLeft(true, false));  // on through P: out of Q
    EXPECT_EQ(box->GetCurrentX(), 20);
    EXPECT_EQ(box->GetCurrentY(), 15);
    EXPECT_EQ(box->GetPreviousX(), 21);
    EXPECT_TRUE(CElement::GetElementAt(6, 20)->IsNull());
    EXPECT_EQ(CElement::GetElementAt(20, 15), box);
    Step();
    // Something passing makes both spirals spin.
    EXPECT_STREQ(Spiral(p_), "Teleport Portal - Active (Blue)");
    EXPECT_STREQ(Spiral(q_), "Teleport Portal - Active (Blue)");
    StepUntil([box] { return !box->IsMoving(); }, 20);
    EXPECT_EQ(box->GetPixelX(), 20 * 24);
    EXPECT_TRUE(box->IsFacingLeft());
    // Pushed on, it goes on leaving Q the way it came out.
    ASSERT_TRUE(box->PushLeft(true, false));
    StepUntil([box] { return !box->IsMoving(); }, 20);
    EXPECT_EQ(box->GetCurrentX(), 19);
    EXPECT_EQ(box->GetCurrentY(), 15);
}

TEST_F(TeleportTest, WalkerWalksThroughAPairBothWays) {
    std::vector<std::string> rows(9);
    rows[1] = "...............###########";
    rows[6] = "###########";
    Build(rows, "teleport: blue 5 20\nteleport: blue 20 15\n", 8, 20);
    Step();
    walker_->KEYS[CElementAI::KEY_LEFT] = 1;
    ASSERT_TRUE(StepUntil([&] { return walker_->GetCurrentY() == 15; }, 200));
    EXPECT_EQ(walker_->GetCurrentX(), 20);
    walker_->KEYS[CElementAI::KEY_LEFT] = 0;
    StepUntil([&] { return !walker_->IsMoving(); }, 20);
    EXPECT_EQ(CElement::GetElementAt(20, 15), walker_);
    // Back again: right out of Q's left column comes out in P's right one.
    walker_->KEYS[CElementAI::KEY_RIGHT] = 1;
    ASSERT_TRUE(StepUntil([&] { return walker_->GetCurrentY() == 20; }, 40));
    EXPECT_EQ(walker_->GetCurrentX(), 6);
    walker_->KEYS[CElementAI::KEY_RIGHT] = 0;
    StepUntil([&] { return !walker_->IsMoving(); }, 20);
    EXPECT_EQ(CElement::GetElementAt(6, 20), walker_);
}

TEST_F(TeleportTest, ThirdPortalOfAColourMakesThePairUnusable) {
    BuildPair("teleport: blue 25 20\n");
    Step();
    EXPECT_TRUE(CElementDeviceTeleport::IsPairUnusable(TELEPORT_BLUE));
    EXPECT_EQ(CElementDeviceTeleport::GetPartner(5, 20, false), nullptr);
    EXPECT_FALSE(CElementDeviceTeleport::CheckTeleport(5, 20, false, false, false));
    Box* box = new Box(6, 20);
    ASSERT_TRUE(box->PushLeft(true, false));
    EXPECT_EQ(box->GetCurrentX(), 5) << "a plain move";
    EXPECT_EQ(box->GetCurrentY(), 20);
    // Every portal of the colour winds its spiral down once and hides it.
    EXPECT_STREQ(Spiral(p_), "Teleport Portal - Disable (Blue)");
    StepUntil([&] { return p_->GetPortalSprite()->IsFinished(); }, 40);
    Step();
    EXPECT_TRUE(p_->GetPortalSprite()->IsHidden());
    EXPECT_TRUE(q_->GetPortalSprite()->IsHidden());
}

TEST_F(TeleportTest, PortalThatLosesItsFloorBreaksAndThePairStopsAtOnce) {
    BuildPair();
    Step();
    ASSERT_FALSE(CElementDeviceTeleport::IsPairUnusable(TELEPORT_BLUE));
    EXPECT_FALSE(q_->CanFall(false));
    // Q's floor goes from under both its columns.
    CElement::ClearElementAt(20, 16);
    CElement::ClearElementAt(21, 16);
    EXPECT_TRUE(q_->CanFall(false));
    Step();
    EXPECT_TRUE(q_->IsDestroyed());
    EXPECT_TRUE(CElementDeviceTeleport::IsPairUnusable(TELEPORT_BLUE));
    EXPECT_EQ(CElementDeviceTeleport::GetPartner(5, 20, false), nullptr);
    EXPECT_TRUE(q_->GetPortalSprite()->IsHidden());
    EXPECT_STREQ(q_->GetFrontSprite()->GetName(), "Teleport Front Breaking (Blue)");
    EXPECT_STREQ(Spiral(p_), "Teleport Portal - Disable (Blue)");
    // It falls no further than its one cell and stays broken.
    StepUntil([&] { return !q_->IsMoving(); }, 20);
    Step(40);
    EXPECT_EQ(q_->GetCurrentY(), 16);
    EXPECT_TRUE(q_->IsDestroyed());
    EXPECT_TRUE(q_->GetFrontSprite()->IsHidden());
}

TEST_F(TeleportTest, InflatablePortalsOpenOnlyWhereTheyWouldStand) {
    // Row 21: sand at 10, 11 and 13; row 22: grass at 10..13; row 23: grass
    // at 0..9. A red portal stands at (5, 22).
    Build({"..........::.:",
           "..........####",
           "##########...."},
          "teleport: red 5 22\n");
    // Both columns on the floor: yes, whichever way the hero faces.
    EXPECT_TRUE(CElementDeviceTeleport::CanPlaceAt(1, 22, false));
    EXPECT_TRUE(CElementDeviceTeleport::CanPlaceAt(2, 22, true));
    // Over a portal's column, in its two rows or the row below them: no.
    EXPECT_FALSE(CElementDeviceTeleport::CanPlaceAt(5, 22, false));
    EXPECT_FALSE(CElementDeviceTeleport::CanPlaceAt(6, 22, true));
    EXPECT_FALSE(CElementDeviceTeleport::CanPlaceAt(5, 21, false));
    EXPECT_FALSE(CElementDeviceTeleport::CanPlaceAt(5, 23, false));
    EXPECT_TRUE(CElementDeviceTeleport::CanPlaceAt(5, 22, true)) << "the other column";
    EXPECT_TRUE(CElementDeviceTeleport::CanPlaceAt(7, 22, false));
    // One column over the floor's edge stands on the other, when that
    // column's own cell is free.
    EXPECT_TRUE(CElementDeviceTeleport::CanPlaceAt(9, 22, false));
    EXPECT_FALSE(CElementDeviceTeleport::CanPlaceAt(9, 21, false)) << "its one floored column is buried in sand";
    EXPECT_FALSE(CElementDeviceTeleport::CanPlaceAt(13, 21, false)) << "likewise on the left";
    EXPECT_TRUE(CElementDeviceTeleport::CanPlaceAt(11, 21, false)) << "both columns floored";
    // Nothing below either column: no.
    EXPECT_FALSE(CElementDeviceTeleport::CanPlaceAt(15, 22, false));
}

TEST_F(TeleportTest, SpiralSpinsWhileSomethingPassesThenFadesBackToIdle) {
    BuildPair();
    Step();
    EXPECT_STREQ(Spiral(p_), "Teleport Portal - Inactive (Blue)");
    CElementDeviceTeleport::CheckTeleport(6, 20, true, false, true);
    Step();
    EXPECT_TRUE(p_->IsGlowRight());
    EXPECT_TRUE(q_->IsGlowLeft());
    EXPECT_STREQ(Spiral(p_), "Teleport Portal - Active (Blue)");
    EXPECT_STREQ(Spiral(q_), "Teleport Portal - Active (Blue)");
    // After the hold, one fade step every three updates.
    const char* expected[] = {"Teleport Portal - Alpha-10 (Blue)", "Teleport Portal - Alpha-50 (Blue)",
                              "Teleport Portal - Alpha-70 (Blue)", "Teleport Portal - Inactive (Blue)"};
    int frames = 0;
    for (const char* name : expected) {
        const char* before = Spiral(p_);
        int n = 0;
        while (Spiral(p_) == before && n < 40) {
            Step();
            ++n;
        }
        EXPECT_STREQ(Spiral(p_), name);
        if (frames > 0) {
            EXPECT_EQ(n, 3) << name;
        }
        frames += n;
    }
    EXPECT_FALSE(p_->IsGlowLeft() || p_->IsGlowRight());
    Step(20);
    EXPECT_STREQ(Spiral(p_), "Teleport Portal - Inactive (Blue)");
}

TEST_F(TeleportTest, HeroMadePortalsInflateSwitchOnAsAPairAndGoWithUndo) {
    std::vector<std::string> rows(3);
    rows[2] = "##############";
    Build(rows);
    Step();  // the starting position is stored
    CElement::SaveUndoStep();
    auto* first = new CElementDeviceTeleport(2, 22, TELEPORT_YELLOW, true);
    EXPECT_TRUE(first->IsStarting());
    EXPECT_STREQ(first->GetSprite()->GetName(), "Teleport Inflation (yellow)");
    ASSERT_EQ(CElement::GetSpawned().size(), 1u);
    StepUntil([&] { return first->GetSprite() == nullptr; }, 40);
    Step(10);
    // Alone it waits, frame up, spiral not yet on.
    EXPECT_FALSE(first->GetBackSprite()->IsHidden());
    EXPECT_TRUE(first->GetPortalSprite()->IsHidden());
    EXPECT_TRUE(first->IsStarting());

    CElement::SaveUndoStep();  // one portal
    auto* second = new CElementDeviceTeleport(9, 22, TELEPORT_YELLOW, true);
    ASSERT_FALSE(CElementDeviceTeleport::IsPairUnusable(TELEPORT_YELLOW));
    ASSERT_TRUE(StepUntil([&] { return !first->IsStarting() && !second->IsStarting(); }, 60));
    EXPECT_STREQ(Spiral(first), "Teleport Portal - Inactive (Yellow)");
    EXPECT_FALSE(first->GetPortalSprite()->IsHidden());
    EXPECT_EQ(CElementDeviceTeleport::GetPartner(2, 22, false), second);

    CElement::LoadUndoStep(false);  // back to one portal: the second goes
    ASSERT_EQ(CElementDeviceTeleport::GetPortals(TELEPORT_YELLOW).size(), 1u);
    EXPECT_EQ(CElementDeviceTeleport::GetPortals(TELEPORT_YELLOW)[0], first);
    EXPECT_EQ(CElementDeviceTeleport::GetPartner(2, 22, false), nullptr);
    CElement::LoadUndoStep(true);  // back to none
    EXPECT_TRUE(CElementDeviceTeleport::GetPortals(TELEPORT_YELLOW).empty());
    EXPECT_TRUE(CElement::GetSpawned().empty());
}

TEST_F(TeleportTest, UndoBringsBackThePairsAndTheirGlows) {
    BuildPair();
    Step();
    CElement::SaveUndoStep();
    CElementDeviceTeleport::CheckTeleport(5, 20, false, false, true);
    Step();
    ASSERT_TRUE(p_->IsGlowRight() && q_->IsGlowLeft());
    CElement::SaveUndoStep();  // glowing
    Step(30);
    ASSERT_FALSE(p_->IsGlowRight());
    ASSERT_STRNE(Spiral(p_), "Teleport Portal - Active (Blue)");
    CElement::LoadUndoStep(false);
    EXPECT_TRUE(p_->IsGlowRight());
    EXPECT_TRUE(q_->IsGlowLeft());
    EXPECT_EQ(q_->GetGlowTimerLeft(), 0) << "timers start afresh";
    EXPECT_STREQ(Spiral(p_), "Teleport Portal - Active (Blue)");
    EXPECT_FALSE(p_->GetPortalSprite()->IsHidden());
    EXPECT_EQ(CElementDeviceTeleport::GetPartner(5, 20, false), q_);

    // Saved while the spiral holds after the glow, it holds for what was left
    // of the hold again after the undo before it fades.
    ASSERT_TRUE(StepUntil([&] { return !p_->IsGlowRight(); }, 20));
    Step(2);
    ASSERT_STREQ(Spiral(p_), "Teleport Portal - Active (Blue)");
    CElement::SaveUndoStep();  // holding
    auto updatesToFade = [&] {
        int n = 0;
        for (; n < 40 && std::string(Spiral(p_)) == "Teleport Portal - Active (Blue)"; ++n) Step();
        return n;
    };
    const int hold = updatesToFade();
    EXPECT_GT(hold, 1);
    Step(30);
    CElement::LoadUndoStep(false);
    EXPECT_STREQ(Spiral(p_), "Teleport Portal - Active (Blue)");
    EXPECT_EQ(updatesToFade(), hold);
}

}  // namespace
