// Crates in the world: heat, cold, landing and sliding, built from level
// sources and stepped like the play screen steps them.
#include <gtest/gtest.h>

#include "engine/CDraw.h"
#include "tests/world/pieces/ObjectWorld.h"
#include "world/pieces/CElementObjectCrate.h"

using objecttest::ObjectWorldTest;
using worldtest::Step;

TEST_F(ObjectWorldTest, HeatBurnsWoodAwayAndAHotMetalCrateCoolsOnceItHasPassedItsHeat) {
    // Row 4: a hot metal crate next to a wooden one. Row 8: a wooden crate
    // that a heat shot hits.
    ASSERT_NO_FATAL_FAILURE(Build(
        {
            "",
            "",
            "",
            "",
            "S..Cc",
            "#####",
            "",
            "",
            "......c",
            "......#",
        },
        {"", "", "", "", "...h"}));
    auto* hotCrate = At<CElementObjectCrate>(3, 4);
    auto* wood = At<CElementObjectCrate>(4, 4);
    auto* shotWood = At<CElementObjectCrate>(6, 8);
    ASSERT_TRUE(hotCrate && wood && shotWood);
    EXPECT_TRUE(hotCrate->IsHeated());
    EXPECT_EQ(SpriteName(hotCrate), "Crate (Metal,Heated) Idle");
    // A wooden crate on an even column shows the other grain.
    EXPECT_EQ(wood->GetSprite()->GetFrameImage(0), CDraw::FindImage("cratestill0b.tga"));

    Step();  // the heat pass: the hot crate sets its neighbour alight and cools
    EXPECT_TRUE(wood->explosionActive);
    EXPECT_TRUE(CElement::GetElementAt(4, 4)->IsNull());
    EXPECT_FALSE(hotCrate->IsHeated());
    EXPECT_TRUE(hotCrate->cooling);
    EXPECT_EQ(SpriteName(hotCrate), "Crate (Metal) Cooling");
    EXPECT_TRUE(wood->GetSprite()->IsHidden());

    EXPECT_TRUE(CElement::Heat(shotWood, true, false));
    // Seven cooling pictures, two frames each; the fire takes longer.
    EXPECT_TRUE(StepUntil([&] { return !hotCrate->cooling; }, 20));
    EXPECT_EQ(SpriteName(hotCrate), "Crate (Metal) Idle");
    EXPECT_TRUE(StepUntil([&] { return wood->IsDestroyed() && shotWood->IsDestroyed(); }, 60));
    EXPECT_TRUE(CElement::GetElementAt(6, 8)->IsNull());
    EXPECT_TRUE(shotWood->GetSprite()->IsHidden());
    // Burned crates stay gone and leave the cooled one alone.
    Step(20);
    EXPECT_TRUE(wood->GetSprite()->IsHidden());
    EXPECT_FALSE(hotCrate->GetSprite()->IsHidden());
    EXPECT_EQ(CElement::GetElementAt(3, 4), hotCrate);
}

TEST_F(ObjectWorldTest, AHotMetalCrateLandsWithItsHotSquashStaysHotOnPlainFloorAndFrostCoolsIt) {
    ASSERT_NO_FATAL_FAILURE(Build(
        {
            "",
            "",
            "......C",
            "",
            "",
            "",
            "S......",
            "#######",
        },
        {"", "", "......h"}));
    auto* crate = At<CElementObjectCrate>(6, 2);
    ASSERT_NE(crate, nullptr);
    const std::vector<std::string> fall{"Crate (Metal,Heated) Idle", "Crate (Metal,Heated) Falling Left",
                                        "Crate (Metal,Heated) Squashed", "Crate (Metal,Heated) Idle"};
    EXPECT_EQ(ShownSprites(crate, 80), fall);
    EXPECT_EQ(crate->GetCurrentY(), 6);
    EXPECT_TRUE(crate->IsHeated());  // the floor takes no heat
    EXPECT_TRUE(CElement::Freeze(crate));
    const std::vector<std::string> cooled{"Crate (Metal,Heated) Idle", "Crate (Metal) Cooling", "Crate (Metal) Idle"};
    EXPECT_EQ(ShownSprites(crate, 30), cooled);
    EXPECT_FALSE(crate->IsHeated() || crate->cooling);
}

TEST_F(ObjectWorldTest, AFrozenCrateSlidesOnIceUntilACrateStopsItWhileAPlainOneMovesOneCell) {
    ASSERT_NO_FATAL_FAILURE(Build(
        {
            "",
            "",
            "",
            "",
            "S...c......c",
            "#~~~~~~~~~~#",
            "",
            "",
            "....c.......",
            "############",
        },
        {
            "", "", "", "", "....f",
        }));
    auto* frozen = At<CElementObjectCrate>(4, 4);
    auto* wall = At<CElementObjectCrate>(11, 4);
    auto* plain = At<CElementObjectCrate>(4, 8);
    ASSERT_TRUE(frozen && wall && plain);
    EXPECT_TRUE(frozen->IsFrozen());
    EXPECT_EQ(SpriteName(frozen), "Crate (Wooden,Frozen) Idle");
    Step();

    // Ice and frost together: even a push that is not forced moves it.
    EXPECT_TRUE(frozen->PushRight(false, false));
    // On grass a crate needs a forced push, and stops after one cell.
    EXPECT_FALSE(plain->PushRight(false, false));
    EXPECT_TRUE(plain->PushRight(true, false));
    EXPECT_TRUE(StepUntil([&] { return !frozen->MOVING && frozen->GetCurrentX() == 10; }, 120));
    Step(16);
    EXPECT_EQ(frozen->GetCurrentX(), 10);
    EXPECT_EQ(wall->GetCurrentX(), 11);  // bumped, but it stands on grass
    EXPECT_EQ(plain->GetCurrentX(), 5);
    EXPECT_FALSE(plain->MOVING);
    EXPECT_EQ(SpriteName(frozen), "Crate (Wooden,Frozen) Idle");
    EXPECT_EQ(CElement::GetElementAt(10, 4), frozen);
}
