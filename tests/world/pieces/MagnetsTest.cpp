// Magnets in the world: holding metal over a gap, letting go at an EMP and
// grabbing again after it, pushing a facing magnet away, and undo across a
// magnet's hold with a spawned magnet that undo deletes.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "tests/world/pieces/ObjectWorld.h"
#include "world/CElementAIBot.h"
#include "world/pieces/CElementObjectCrate.h"
#include "world/pieces/CElementObjectMagnet.h"

using objecttest::ObjectWorldTest;
using worldtest::Step;

namespace {

bool Holds(CElementObjectMagnet* magnet, CElement* held) {
    // A magnet facing left holds on its left-hand link, the held element on
    // its right-hand one; the other way round for a magnet facing right.
    const bool left = magnet->IsFaceLeft();
    return magnet->GetMagnetHolder(left) == held && held->GetMagnetHolder(!left) == magnet;
}

bool HoldsNothing(CElementObjectMagnet* magnet) {
    return magnet->GetMagnetHolderA()->IsNull() && magnet->GetMagnetHolderB()->IsNull();
}

bool IsLive(CElement* e) {
    const auto& all = CElement::GetAllElements();
    return std::find(all.begin(), all.end(), e) != all.end();
}

}  // namespace

TEST_F(ObjectWorldTest, AMagnetHoldsMetalOverAGapUntilAnEMPAndGrabsAgainFiveUpdatesLater) {
    // Row 4: a metal crate over a gap beside a magnet's face, and a wooden
    // crate beside another. Row 8: a metal crate standing beside a magnet
    // facing right. Everything that falls lands on row 12's floor.
    ASSERT_NO_FATAL_FAILURE(Build({
        "",
        "",
        "",
        "",
        "S....C<....c<",
        "#.....#......#",
        "",
        "",
        "...>C.",
        "#####",
        "",
        "",
        "",
        "##############",
    }));
    auto* overGap = At<CElementObjectCrate>(5, 4);
    auto* holder = At<CElementObjectMagnet>(6, 4);
    auto* wood = At<CElementObjectCrate>(11, 4);
    auto* woodMagnet = At<CElementObjectMagnet>(12, 4);
    auto* standing = At<CElementObjectCrate>(4, 8);
    auto* rightFacing = At<CElementObjectMagnet>(3, 8);
    ASSERT_TRUE(overGap && holder && wood && woodMagnet && standing && rightFacing);
    EXPECT_TRUE(holder->IsFaceLeft());
    EXPECT_FALSE(rightFacing->IsFaceLeft());

    Step(80);
    EXPECT_TRUE(Holds(holder, overGap));
    EXPECT_EQ(overGap->GetCurrentY(), 4);  // held in the air
    EXPECT_EQ(SpriteName(overGap), "Crate (Metal) Idle");
    EXPECT_TRUE(Holds(rightFacing, standing));
    EXPECT_EQ(wood->GetCurrentY(), 12);  // wood is not grabbed: it fell
    EXPECT_TRUE(HoldsNothing(woodMagnet));

    CElementObjectMagnet::ActivateEMP();
    EXPECT_TRUE(HoldsNothing(holder) && HoldsNothing(rightFacing));
    EXPECT_FALSE(overGap->IsMagnetHeld() || standing->IsMagnetHeld());
    EXPECT_EQ(holder->GetEmpCountdown(), CElementObjectMagnet::kEmpSteps);
    for (int update = 1; update <= 5; ++update) {
        Step();
        EXPECT_TRUE(HoldsNothing(rightFacing)) << "update " << update;
        EXPECT_EQ(rightFacing->MAGNETIC != 0, update == 5) << "update " << update;
        if (update == 1) {
            EXPECT_FALSE(holder->spriteEMP->IsHidden());  // the EMP crackles over the magnet
        }
    }
    Step();  // the next attraction pass
    EXPECT_TRUE(Holds(rightFacing, standing));
    // The crate it held dropped at once and lies on the floor now.
    EXPECT_TRUE(StepUntil([&] { return overGap->GetCurrentY() == 12 && !overGap->MOVING; }, 100));
    EXPECT_TRUE(HoldsNothing(holder));
}

TEST_F(ObjectWorldTest, MagnetsFacingEachOtherPushEachOtherApartWhereTheyCanMove) {
    ASSERT_NO_FATAL_FAILURE(Build({
        "",
        "",
        "",
        "",
        "S...><....",
        "##########",
        "",
        "",
        "...c><....",
        "##########",
    }));
    auto* right = At<CElementObjectMagnet>(4, 4);
    auto* left = At<CElementObjectMagnet>(5, 4);
    auto* blocked = At<CElementObjectMagnet>(4, 8);
    auto* free = At<CElementObjectMagnet>(5, 8);
    ASSERT_TRUE(right && left && blocked && free);
    Step(40);
    EXPECT_EQ(right->GetCurrentX(), 3);
    EXPECT_EQ(left->GetCurrentX(), 6);
    // A crate on grass does not give way: only the other magnet moves.
    EXPECT_EQ(blocked->GetCurrentX(), 4);
    EXPECT_EQ(free->GetCurrentX(), 6);
    EXPECT_EQ(CElement::GetElementAt(3, 8)->GetCurrentX(), 3);
    EXPECT_TRUE(HoldsNothing(right) && HoldsNothing(left) && HoldsNothing(blocked) && HoldsNothing(free));
}

TEST_F(ObjectWorldTest, UndoAcrossAMagnetsHoldRestoresPlacesAndLinksAndForgetsASpawnedMagnet) {
    ASSERT_NO_FATAL_FAILURE(Build({
        "",
        "",
        "",
        "",
        "S....C<.",
        "#.....##",
        "",
        "",
        "",
        "",
        "",
        "",
        "########",
    }));
    auto* crate = At<CElementObjectCrate>(5, 4);
    auto* magnet = At<CElementObjectMagnet>(6, 4);
    ASSERT_TRUE(crate && magnet);
    Step();                     // the starting position is saved
    CElement::SaveUndoStep();   // the first move's save is skipped: nothing changed yet
    EXPECT_TRUE(Holds(magnet, crate));

    // An inflatable magnet put down beside the first one grabs it: the
    // first magnet's right-hand link now leads to the new one.
    auto* spawned = new CElementObjectMagnet(7, 4, 1, 0, true);
    EXPECT_EQ(SpriteName(spawned), "Magnet Inflating Left");
    Step(20);
    EXPECT_TRUE(Holds(spawned, magnet));
    EXPECT_EQ(SpriteName(spawned), "Magnet (Left,Inflated) Idle");
    CElement::SaveUndoStep();  // a second step, with the spawned magnet in it
    EXPECT_EQ(CElementObjectMagnet::GetMagnets().size(), 2u);

    CElementObjectMagnet::ActivateEMP();
    EXPECT_TRUE(StepUntil([&] { return crate->GetCurrentY() == 11 && !crate->MOVING; }, 100));

    // Back to the second step: the crate hangs again, the spawned magnet stays.
    CElement::LoadUndoStep(false);
    EXPECT_EQ(crate->GetCurrentY(), 4);
    EXPECT_TRUE(Holds(magnet, crate));
    EXPECT_TRUE(Holds(spawned, magnet));
    EXPECT_TRUE(magnet->MAGNETIC);
    EXPECT_EQ(magnet->GetEmpCountdown(), 0);
    EXPECT_EQ(CElement::GetElementAt(5, 4), crate);

    // Back to the start: the spawned magnet is deleted and nothing keeps it.
    const size_t objectsBefore = CElementObject::GetObjects().size();
    CElement::LoadUndoStep(false);
    EXPECT_EQ(CElementObjectMagnet::GetMagnets(), std::vector<CElementObjectMagnet*>{magnet});
    for (int k = 0; k < CElement::kUndoSlots; ++k)
        for (CElementObjectMagnet* m : CElementObjectMagnet::GetSavedMagnets(k)) EXPECT_TRUE(IsLive(m)) << k;
    for (CElement* e : CElement::GetAllElements()) {
        EXPECT_TRUE(IsLive(e->GetMagnetHolderA()) || e->GetMagnetHolderA() == CElement::GetNullElement());
        EXPECT_TRUE(IsLive(e->GetMagnetHolderB()) || e->GetMagnetHolderB() == CElement::GetNullElement());
    }
    // Only the deleted magnet left the object list.
    EXPECT_EQ(CElementObject::GetObjects().size(), objectsBefore - 1);
    // The starting position was saved before the first attraction pass: no
    // links yet, and the next pass grabs before anything falls.
    EXPECT_TRUE(HoldsNothing(magnet));
    EXPECT_EQ(crate->GetCurrentY(), 4);
    Step(30);
    EXPECT_EQ(crate->GetCurrentY(), 4);
    EXPECT_TRUE(Holds(magnet, crate));
}

TEST_F(ObjectWorldTest, AMagnetHoldsMetalThroughATeleportPairAndClingsToALadderPlatform) {
    // The magnet at (6, 20) stands in the right column of the blue portal at
    // (5, 20); its face looks through the pair into the left column of the
    // partner at (20, 15), where a metal crate stands over open space. A
    // second magnet hangs in the air facing a ladder platform at (9, 12).
    std::string ladders = "ladders:\n";
    for (int y = 0; y < CElement::kGridHeight; ++y) {
        std::string row(CElement::kGridWidth, '.');
        if (y >= 10 && y <= 14) row[9] = y == 12 ? '=' : 'H';
        ladders += row + "\n";
    }
    ASSERT_NO_FATAL_FAILURE(Build(
        {
            "", "", "", "", "", "", "", "", "", "", "", "",
            "..........<",
            "",
            "",
            "....................C",
            ".....................######",
            "",
            "",
            "",
            "S.....<",
            "###########",
            "",
            "################################",
        },
        {}, ladders + "teleport: blue 5 20\nteleport: blue 20 15\n"));
    auto* magnet = At<CElementObjectMagnet>(6, 20);
    auto* crate = At<CElementObjectCrate>(20, 15);
    auto* clinging = At<CElementObjectMagnet>(10, 12);
    ASSERT_TRUE(magnet && crate && clinging);
    Step(40);
    EXPECT_TRUE(Holds(magnet, crate));
    EXPECT_EQ(crate->GetCurrentY(), 15);
    EXPECT_EQ(clinging->GetMagnetHolderA(), clinging);  // held by the platform
    EXPECT_EQ(clinging->GetCurrentY(), 12);

    CElementObjectMagnet::ActivateEMP();
    EXPECT_TRUE(StepUntil([&] { return crate->GetCurrentY() == 22 && !crate->MOVING; }, 120));
    EXPECT_TRUE(StepUntil([&] { return clinging->GetCurrentY() == 20 && !clinging->MOVING; }, 120));  // on the floor
}

// Undo into an EMP's pause: the magnet stays off for what was left of the
// pause when the step was saved, frame for frame as it did the first time,
// and then grabs the crate beside it (a pause that undo forgot would switch
// it on at once).
TEST_F(ObjectWorldTest, AnUndoIntoAnEMPPauseKeepsTheMagnetOffForWhatWasLeftOfIt) {
    ASSERT_NO_FATAL_FAILURE(Build({"", "", "", "", "S..>C.", "######"}));
    auto* magnet = At<CElementObjectMagnet>(3, 4);
    auto* crate = At<CElementObjectCrate>(4, 4);
    ASSERT_TRUE(magnet && crate);
    Step(40);
    ASSERT_TRUE(Holds(magnet, crate));
    // The step the world saved when it was built stands for the hero's
    // first move, which saves nothing.
    CElement::SaveUndoStep();
    CElementObjectMagnet::ActivateEMP();
    Step();
    const int steps = CElement::GetUndoCount();
    CElement::SaveUndoStep();
    ASSERT_EQ(CElement::GetUndoCount(), steps + 1);
    auto watch = [&] {
        std::vector<std::string> seen;
        for (int i = 0; i < 6; ++i) {
            Step();
            seen.push_back(std::string(magnet->MAGNETIC ? "on" : "off") + (Holds(magnet, crate) ? ", holds" : ""));
        }
        return seen;
    };
    const std::vector<std::string> first = watch();
    EXPECT_EQ(first.front(), "off");
    EXPECT_EQ(first.back(), "on, holds");
    Step(20);
    CElement::LoadUndoStep(false);
    EXPECT_EQ(watch(), first);
}

// What a magnet grabs beside its face, each row differing from the first in
// one thing: metal at rest is held; wood is not; a magnet facing the same
// way is held like metal, one facing it is not (they push apart); a bot is
// metal, but not while it catches (it is immune then).
TEST_F(ObjectWorldTest, AMagnetGrabsWhatStandsStillBesideItsFaceEachConditionARow) {
    ASSERT_NO_FATAL_FAILURE(Build({"S", "#", "", "", "..>C", "####", "..>c", "####", "..>>", "####", "..><..",
                                   "######", "..>(", "####", "..>(", "####"}));
    CElementAIBot* catching = At<CElementAIBot>(3, 14);
    ASSERT_NE(catching, nullptr);
    catching->caughtFromLeft = 1;
    struct Row {
        const char* what;
        int y;
        bool held;
    };
    const Row rows[] = {{"metal crate", 4, true},        {"wooden crate", 6, false},
                        {"magnet facing the same way", 8, true}, {"magnet facing it", 10, false},
                        {"bot", 12, true},               {"bot catching", 14, false}};
    std::vector<std::pair<CElementObjectMagnet*, CElement*>> pairs;
    for (const Row& row : rows) {
        pairs.emplace_back(At<CElementObjectMagnet>(2, row.y), CElement::GetElementAt(3, row.y));
        ASSERT_TRUE(pairs.back().first && !pairs.back().second->IsNull()) << row.what;
    }
    for (int frame = 0; frame < 3; ++frame) {
        Step();
        for (size_t i = 0; i < pairs.size(); ++i) {
            SCOPED_TRACE(std::string(rows[i].what) + ", frame " + std::to_string(frame));
            EXPECT_EQ(Holds(pairs[i].first, pairs[i].second), rows[i].held);
        }
    }
}
