// Frost and heat balls driven through the world core: a ball's flight and the
// frame it strikes in, what each kind does to what it strikes and the sound
// it chooses, wide terrain struck in any of its columns, balls that meet
// nothing and fly off the grid, and undo taking a ball away.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "engine/CSprite.h"
#include "sound/CSoundObject.h"
#include "tests/world/pieces/ObjectWorld.h"
#include "world/pieces/CElementDeviceGunshot.h"
#include "world/pieces/CElementObjectCrate.h"
#include "world/pieces/CElementTerrainGrass.h"
#include "world/pieces/CElementTerrainIce.h"

using objecttest::ObjectWorldTest;
using worldtest::Step;

namespace {

using Ball = CElementDeviceGunshot;

std::string SoundOf(const Ball* ball) {
    return ball->GetExplosionSound() ? ball->GetExplosionSound()->Name() : "";
}

// No grid cell holds the ball, counting gunshots too.
bool BallOffTheGrid(const Ball* ball) {
    for (int x = 0; x < CElement::kGridWidth; ++x)
        for (int y = 0; y < CElement::kGridHeight; ++y)
            if (CElement::GetElementAt(x, y, true) == ball) return false;
    return true;
}

bool IsLive(const CElement* e) {
    const auto& all = CElement::GetAllElements();
    return std::find(all.begin(), all.end(), e) != all.end();
}

}  // namespace

TEST_F(ObjectWorldTest, AFrostBallFliesSixPixelsAFrameAndFreezesTheFirstThingItsCentreReaches) {
    ASSERT_NO_FATAL_FAILURE(Build({"", "", "", "", "S", "#", "", "", "...........c", "############"}));
    auto* crate = At<CElementObjectCrate>(11, 8);
    ASSERT_NE(crate, nullptr);
    Ball* ball = new Ball(4, 8, Ball::KIND_FROST, false);
    EXPECT_FALSE(ball->HasHit());
    EXPECT_TRUE(ball->IsGunshot());
    EXPECT_FALSE(CElement::IsOccupied(4, 8));  // other pieces do not see a ball

    std::vector<std::string> shown;
    auto note = [&] {
        const std::string name = ball->GetSprite()->IsHidden() ? "(hidden)" : ball->GetSprite()->GetName();
        if (shown.empty() || shown.back() != name) shown.push_back(name);
    };
    Step();  // the world's first step only starts the flight
    note();
    EXPECT_EQ(ball->GetCurrentX(), 5);
    for (int frame = 1; frame <= 25; ++frame) {
        Step();
        note();
        EXPECT_EQ(ball->GetPixelX(), 96 + 6 * frame) << "frame " << frame;
        EXPECT_FALSE(ball->HasHit()) << "frame " << frame;
    }
    // Its centre enters the crate's column in the 26th frame of flight.
    Step();
    EXPECT_TRUE(ball->HasHit());
    EXPECT_TRUE(crate->IsFrozen());
    EXPECT_EQ(SoundOf(ball), "explode_frost.ogg");
    EXPECT_EQ(CElement::GetElementAt(11, 8), crate);
    EXPECT_TRUE(BallOffTheGrid(ball));
    const int stoppedAt = ball->GetPixelX();
    for (int i = 0; i < 40 && !ball->IsFinished(); ++i) {
        Step();
        note();
    }
    EXPECT_TRUE(ball->IsFinished());
    EXPECT_EQ(ball->GetPixelX(), stoppedAt);
    EXPECT_EQ(shown, (std::vector<std::string>{"Frostball moving right", "Frostball exploding", "(hidden)"}));
    // A finished ball stays in the list, ended.
    Step(5);
    EXPECT_TRUE(IsLive(ball));
    EXPECT_TRUE(ball->GetSprite()->IsHidden());
}

TEST_F(ObjectWorldTest, AHeatBallFiredPointBlankStrikesAtOnceAndSoundsLikeWhatItStrikes) {
    // Row 4: the hero. Rows 8, 10, 12, 14: wooden, inflated, frozen metal and
    // metal crates; row 16: ice.
    ASSERT_NO_FATAL_FAILURE(Build(
        {"", "", "", "", "S", "#", "", "", ".....c", "######", ".", "######", ".....C", "######", ".....C",
         "######"},
        {"", "", "", "", "", "", "", "", "", "", "", "", ".....f"}));
    auto* wood = At<CElementObjectCrate>(5, 8);
    auto* rubber = new CElementObjectCrate(5, 10, CElementObjectCrate::INFLATED, 0, true);
    auto* frozen = At<CElementObjectCrate>(5, 12);
    auto* metal = At<CElementObjectCrate>(5, 14);
    auto* ice = new CElementTerrainIce(5, 16, true);
    ASSERT_TRUE(wood && frozen && metal);
    ASSERT_TRUE(frozen->IsFrozen());
    CElement* hero = CElement::GetHero();

    struct Shot {
        CElement* target;
        const char* sound;
    };
    const Shot shots[] = {{wood, "explode_heat_wood.ogg"},    {rubber, "explode_heat_inflatable.ogg"},
                          {frozen, "explode_heat_ice.ogg"},   {metal, "explode_heat_metal.ogg"},
                          {ice, "explode_heat_ice.ogg"},      {hero, "explode_heat_metal.ogg"}};
    std::vector<Ball*> balls;
    for (const Shot& s : shots) {
        Ball* ball = new Ball(s.target->GetCurrentX(), s.target->GetCurrentY(), Ball::KIND_HEAT, true);
        EXPECT_TRUE(ball->HasHit()) << s.sound;
        EXPECT_EQ(SoundOf(ball), s.sound);
        balls.push_back(ball);
    }
    // Wood burns and rubber bursts: both leave the grid at once.
    EXPECT_TRUE(wood->explosionActive && rubber->explosionActive);
    EXPECT_TRUE(rubber->BurstsWhenHeated());
    EXPECT_FALSE(CElement::IsOccupied(5, 8) || CElement::IsOccupied(5, 10));
    // The frozen crate thaws, the metal one gets hot, the ice melts away.
    EXPECT_FALSE(frozen->IsFrozen());
    EXPECT_TRUE(frozen->steamActive);
    EXPECT_TRUE(metal->IsHeated());
    EXPECT_TRUE(ice->steamActive);
    EXPECT_FALSE(CElement::IsOccupied(5, 16));

    for (int i = 0; i < 80; ++i) Step();
    for (Ball* ball : balls) {
        EXPECT_TRUE(ball->IsFinished());
        EXPECT_TRUE(ball->GetSprite()->IsHidden());
        EXPECT_EQ(ball->GetSprite()->GetName(), std::string("Heatball exploding"));
    }
    EXPECT_TRUE(wood->IsDestroyed() && rubber->IsDestroyed());
}

TEST_F(ObjectWorldTest, ABallStrikesWideTerrainInAnyColumnAndABallThatMeetsNothingEndsOffTheGrid) {
    ASSERT_NO_FATAL_FAILURE(Build({"", "", "", "", "S", "#"}));
    new CElementTerrainGrass(10, 12, 5);  // columns 10 to 14
    Ball* fromRight = new Ball(20, 12, Ball::KIND_FROST, true);
    Ball* fromLeft = new Ball(3, 12, Ball::KIND_HEAT, false);
    Ball* offRight = new Ball(29, 8, Ball::KIND_FROST, false);
    Ball* offLeft = new Ball(2, 10, Ball::KIND_HEAT, true);
    for (int i = 0; i < 60; ++i) Step();

    EXPECT_TRUE(fromRight->HasHit() || fromRight->IsFinished());
    EXPECT_EQ(fromRight->GetCurrentX(), 14);
    EXPECT_EQ(SoundOf(fromRight), "explode_frost.ogg");
    EXPECT_TRUE(fromLeft->HasHit() || fromLeft->IsFinished());
    EXPECT_EQ(fromLeft->GetCurrentX(), 10);
    EXPECT_EQ(SoundOf(fromLeft), "explode_heat_metal.ogg");

    // Balls that meet nothing end three columns past the grid's edges,
    // without an explosion, and leave no trace in the grid.
    EXPECT_TRUE(offRight->IsFinished());
    EXPECT_EQ(offRight->GetCurrentX(), Ball::kLastColumnRight);
    EXPECT_TRUE(offLeft->IsFinished());
    EXPECT_EQ(offLeft->GetCurrentX(), Ball::kLastColumnLeft);
    for (Ball* ball : {offRight, offLeft}) {
        EXPECT_EQ(ball->GetExplosionSound(), nullptr);
        EXPECT_EQ(ball->GetSprite()->GetName(), std::string(ball->IsFacingLeft() ? "Heatball moving left"
                                                                                 : "Frostball moving right"));
    }
    for (Ball* ball : {fromRight, fromLeft, offRight, offLeft}) EXPECT_TRUE(BallOffTheGrid(ball));
}

TEST_F(ObjectWorldTest, UndoToAStepBeforeTheShotTakesTheBallAwayAndPutsTheBurnedCrateBack) {
    ASSERT_NO_FATAL_FAILURE(Build({"", "", "", "", "S...c", "#####"}));
    auto* crate = At<CElementObjectCrate>(4, 4);
    ASSERT_NE(crate, nullptr);
    Step();  // keeps the starting position
    Ball* ball = new Ball(4, 4, Ball::KIND_HEAT, true);
    EXPECT_TRUE(ball->HasHit());
    EXPECT_TRUE(IsLive(ball));
    Step(3);
    EXPECT_FALSE(CElement::IsOccupied(4, 4));

    CElement::LoadUndoStep(true);
    EXPECT_FALSE(IsLive(ball));
    EXPECT_EQ(CElement::GetElementAt(4, 4), crate);
    EXPECT_FALSE(crate->explosionActive);
    Step(40);
    EXPECT_FALSE(crate->IsDestroyed());
    EXPECT_EQ(CElement::GetElementAt(4, 4), crate);
}

TEST_F(ObjectWorldTest, ABallTurnsBackInATrampolinesCellAndStrikesWhatLiesBehindIt) {
    ASSERT_NO_FATAL_FAILURE(Build({"", "", "", "", "S", "#", "", "", "..c......T", "##########"}));
    auto* crate = At<CElementObjectCrate>(2, 8);
    ASSERT_NE(crate, nullptr);
    Ball* ball = new Ball(5, 8, Ball::KIND_FROST, false);
    int turnedAt = -1;
    for (int i = 0; i < 120 && !ball->HasHit() && !ball->IsFinished(); ++i) {
        Step();
        if (turnedAt < 0 && ball->IsFacingLeft()) turnedAt = ball->GetPreviousX();
    }
    EXPECT_EQ(turnedAt, 9);
    EXPECT_TRUE(ball->HasHit());
    EXPECT_EQ(ball->GetCurrentX(), 2);
    EXPECT_TRUE(crate->IsFrozen());
}

TEST_F(ObjectWorldTest, ABallPassesThroughATeleportPairAndStrikesBeyondThePartner) {
    ASSERT_NO_FATAL_FAILURE(Build({"", "", "", "", "S", "#", "", "", "", "###########", "", "", "...............c",
                                   "#########################"},
                                  {}, "teleport: blue 4 8\nteleport: blue 20 12\n"));
    auto* crate = At<CElementObjectCrate>(15, 12);
    ASSERT_NE(crate, nullptr);
    Ball* ball = new Ball(10, 8, Ball::KIND_FROST, true);
    bool passed = false;
    for (int i = 0; i < 150 && !ball->HasHit() && !ball->IsFinished(); ++i) {
        Step();
        if (ball->inPassage) passed = true;
    }
    EXPECT_TRUE(passed);
    EXPECT_TRUE(ball->HasHit());
    EXPECT_EQ(ball->GetCurrentY(), 12);
    EXPECT_EQ(ball->GetCurrentX(), 15);
    EXPECT_TRUE(crate->IsFrozen());
}
