// Barrels in the world: rolling on after a push, stopping at obstacles and on
// sand, and the cooling animation that turns on with a rolling barrel and
// that undo takes up where it was.
#include <gtest/gtest.h>

#include "tests/world/pieces/ObjectWorld.h"
#include "world/CElementAIProfessor.h"
#include "world/pieces/CElementObjectBarrel.h"

using objecttest::ObjectWorldTest;
using worldtest::Step;

TEST_F(ObjectWorldTest, APushedBarrelRollsOnUntilACrateOrSandStopsIt) {
    ASSERT_NO_FATAL_FAILURE(Build({
        "",
        "",
        "",
        "",
        "S...o.......c",
        "#############",
        "",
        "",
        "..o..........",
        "#######::::::",
    }));
    auto* toCrate = At<CElementObjectBarrel>(4, 4);
    auto* toSand = At<CElementObjectBarrel>(2, 8);
    auto* crate = CElement::GetElementAt(12, 4);
    ASSERT_TRUE(toCrate && toSand && crate->IsCrate());
    Step();
    EXPECT_EQ(SpriteName(toCrate), "Barrel (Wooden) Idle");
    EXPECT_TRUE(toCrate->GetSprite()->IsStopped());

    // A barrel rolls on plain ground: a push need not be forced.
    EXPECT_TRUE(toCrate->PushRight(false, false));
    EXPECT_TRUE(toSand->PushRight(false, false));
    Step(12);
    EXPECT_TRUE(toCrate->GetSprite()->IsPlayingForward());  // turning the way it rolls
    EXPECT_GT(toCrate->GetRollPhase(), 0);
    EXPECT_TRUE(StepUntil([&] { return !toCrate->MOVING && !toSand->MOVING; }, 200));
    Step(16);
    EXPECT_EQ(toCrate->GetCurrentX(), 11);  // against the crate, which stands on grass
    EXPECT_EQ(crate->GetCurrentX(), 12);
    EXPECT_EQ(toSand->GetCurrentX(), 7);  // the first sand cell holds it
    EXPECT_FALSE(toCrate->MOVING || toSand->MOVING);
    EXPECT_TRUE(toCrate->GetSprite()->IsStopped());

    // Rolled back to the left it turns the other way.
    EXPECT_TRUE(toCrate->PushLeft(false, false));
    Step(3);
    EXPECT_TRUE(toCrate->GetSprite()->IsPlayingBackward());
}

TEST_F(ObjectWorldTest, AHotMetalBarrelCooledWhileRollingEndsOnTheRollPhaseItsCoolingTurnedTo) {
    ASSERT_NO_FATAL_FAILURE(Build({
        "",
        "",
        "",
        "",
        "S..O...................c",
        "########################",
    }));
    auto* barrel = At<CElementObjectBarrel>(3, 4);
    ASSERT_NE(barrel, nullptr);
    EXPECT_TRUE(CElement::Heat(barrel, false, false));
    Step();
    EXPECT_EQ(SpriteName(barrel), "Barrel (Metal,Heated) Idle");
    barrel->GetSprite()->SetFrame(3);
    EXPECT_TRUE(barrel->PushRight(false, false));
    EXPECT_TRUE(CElement::Freeze(barrel));  // frost on a hot barrel cools it

    // Step by hand to read the phase before the sprites move on.
    int steps = 0;
    do {
        ++worldtest::g_frame;
        CElement::UpdateWorld();
        if (steps == 0) {
            EXPECT_EQ(barrel->GetCoolingState(), CElementObjectBarrel::COOLING_MOVING_RIGHT);
            EXPECT_EQ(SpriteName(barrel), "Barrel (Metal,Cooling) Right Roll");
        }
        if (barrel->GetCoolingState() == CElementObjectBarrel::COOLING_NONE) break;
        EXPECT_TRUE(barrel->MOVING);  // it cools while it rolls
        UpdateAllSprites();
    } while (++steps < 40);
    // Seven cooling pictures turning one phase each: 3 + 6.
    EXPECT_EQ(SpriteName(barrel), "Barrel (Metal) Idle");
    EXPECT_EQ(barrel->GetSprite()->GetFrame(), 1);
    EXPECT_EQ(barrel->GetRollPhase(), 1);
    EXPECT_FALSE(barrel->cooling || barrel->IsHeated());
}

TEST_F(ObjectWorldTest, ABarrelThatStopsCoolingAtRestKeepsThePhaseItHadWhenCoolingBegan) {
    ASSERT_NO_FATAL_FAILURE(Build({
        "",
        "",
        "",
        "",
        "S..O",
        "####",
    }));
    auto* barrel = At<CElementObjectBarrel>(3, 4);
    ASSERT_NE(barrel, nullptr);
    EXPECT_TRUE(CElement::Heat(barrel, false, false));
    Step();
    barrel->GetSprite()->SetFrame(5);
    EXPECT_TRUE(CElement::Freeze(barrel));
    Step();
    EXPECT_EQ(barrel->GetCoolingState(), CElementObjectBarrel::COOLING_IDLE);
    EXPECT_EQ(SpriteName(barrel), "Barrel (Metal,Cooling) Idle");
    Step(2);
    CElement::SaveUndoStep();  // skipped: the world's first step is stored already
    CElement::SaveUndoStep();  // cooling
    auto updatesToCool = [&] {
        int n = 0;
        for (; n < 30 && barrel->GetCoolingState() != CElementObjectBarrel::COOLING_NONE; ++n) Step();
        return n;
    };
    const int cooling = updatesToCool();
    EXPECT_GT(cooling, 0);
    EXPECT_EQ(SpriteName(barrel), "Barrel (Metal) Idle");
    EXPECT_EQ(barrel->GetRollPhase(), 5);

    // An undo into the cooling takes it up where it was: it ends as many
    // updates later, on the same phase.
    CElement::LoadUndoStep(false);
    EXPECT_EQ(SpriteName(barrel), "Barrel (Metal,Cooling) Idle");
    EXPECT_EQ(updatesToCool(), cooling);
    EXPECT_EQ(SpriteName(barrel), "Barrel (Metal) Idle");
    EXPECT_EQ(barrel->GetRollPhase(), 5);
}

TEST_F(ObjectWorldTest, ABarrelOnIceTurnsUnderAnActorWalkingOnItWithoutGoingAnywhere) {
    ASSERT_NO_FATAL_FAILURE(Build({
        "",
        "",
        "",
        "..S",
        "..o",
        "~~~~",
    }));
    auto* hero = dynamic_cast<CElementAI*>(CElement::GetHero());
    auto* barrel = At<CElementObjectBarrel>(2, 4);
    ASSERT_TRUE(hero && barrel);
    // The hero takes no keys while he comes out of the entrance tube.
    auto* professor = dynamic_cast<CElementAIProfessor*>(hero);
    EXPECT_TRUE(StepUntil([&] { return !professor || !professor->arriving; }, 100));
    hero->KEYS[CElementAI::KEY_RIGHT] = 1;
    Step(4);
    EXPECT_TRUE(barrel->GetSprite()->IsPlayingBackward());  // his feet push it back
    hero->KEYS[CElementAI::KEY_RIGHT] = 0;
    hero->KEYS[CElementAI::KEY_LEFT] = 1;
    Step(4);
    EXPECT_TRUE(barrel->GetSprite()->IsPlayingForward());
    hero->KEYS[CElementAI::KEY_LEFT] = 0;
    EXPECT_EQ(barrel->GetCurrentX(), 2);
    EXPECT_EQ(hero->GetCurrentX(), 2);
}
