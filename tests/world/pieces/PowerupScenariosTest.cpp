// Scenarios played by the hero through the level runner on small levels in
// our level source format, with recorded keys: he collects power-ups and
// fires frost and heat balls at ice, wood, rubber, a bot and a trampoline,
// and reads a sign.
#include <gtest/gtest.h>

#include <map>
#include <memory>
#include <string>
#include <vector>

#include "engine/CSprite.h"
#include "sound/CSoundObject.h"
#include "tests/support/LevelRunTest.h"
#include "tests/support/WorldTestSupport.h"
#include "tests/world/pieces/ObjectWorld.h"
#include "tools/levels/CLevelSource.h"
#include "world/CElementAIProfessor.h"
#include "world/CWorldRun.h"
#include "world/pieces/CElementDeviceGunshot.h"
#include "world/pieces/CElementDevicePowerup.h"
#include "world/pieces/CElementObjectCrate.h"
#include "world/pieces/CElementTutorial.h"

namespace {

using Ball = CElementDeviceGunshot;

class PowerupScenarioTest : public worldtest::LevelRunTest {
protected:
    void Start(const std::vector<std::string>& rows, const std::string& extra) {
        Load(objecttest::LevelSource(rows, {}, extra));
    }

    // Runs up to and including frame n (or until the level ends), checking
    // the world's invariants and noting every ball with the frame it was
    // fired in and whether it had struck by the end of that frame.
    void RunTo(int n) {
        while (run_->GetFrame() < n && !run_->IsEnded()) {
            Frame();
            for (CElement* e : CElement::GetAllElements()) {
                auto* ball = dynamic_cast<Ball*>(e);
                if (ball && !fired_.count(ball)) fired_[ball] = {run_->GetFrame(), ball->HasHit()};
            }
        }
    }

    std::vector<Ball*> Balls() const {
        std::vector<Ball*> balls;
        for (CElement* e : CElement::GetAllElements())
            if (auto* ball = dynamic_cast<Ball*>(e)) balls.push_back(ball);
        return balls;
    }

    struct Fired {
        int frame;
        bool struckAtOnce;
    };
    std::map<Ball*, Fired> fired_;
};

}  // namespace

TEST_F(PowerupScenarioTest, TheHeroCollectsHeatGunsAndMeltsIceBurnsWoodBurstsRubberAndShootsOffTheGrid) {
    // The hero walks over four heat guns and stops on the last (5). Ahead: a
    // block of ice (8) and a wooden crate (10). He fires at the ice, then at
    // the crate behind it, then point-blank into an inflatable crate set
    // down before him, turns and fires the last ball off the left edge.
    ASSERT_NO_FATAL_FAILURE(Start({"", "", "", "", "S.HHHH..~.c", "################"},
                                  "solution:\n"
                                  "10 right down\n84 right up\n"
                                  "110 slot1 down\n111 slot1 up\n"
                                  "170 slot1 down\n171 slot1 up\n"
                                  "300 slot1 down\n301 slot1 up\n"
                                  "360 turn down\n361 turn up\n"
                                  "380 slot1 down\n381 slot1 up\n"));
    CElement* ice = CElement::GetElementAt(8, 4);
    auto* wood = dynamic_cast<CElementObjectCrate*>(CElement::GetElementAt(10, 4));
    ASSERT_TRUE(ice->IsIce() && wood);

    ASSERT_NO_FATAL_FAILURE(RunTo(100));
    EXPECT_EQ(hero_->GetCurrentX(), 5);
    for (int x = 2; x <= 5; ++x) EXPECT_FALSE(CElementDevicePowerup::IsPowerupAt(x, 4)) << x;
    for (int p = 0; p < 4; ++p) EXPECT_EQ(hero_->GetInventory(p), CElementDevicePowerup::KIND_HEATGUN) << p;

    ASSERT_NO_FATAL_FAILURE(RunTo(165));  // the first ball melted the ice
    ASSERT_EQ(Balls().size(), 1u);
    EXPECT_EQ(Balls()[0]->GetCurrentX(), 8);
    EXPECT_EQ(Balls()[0]->GetExplosionSound()->Name(), "explode_heat_ice.ogg");
    EXPECT_FALSE(ice->occupiesGrid);  // melted away
    EXPECT_FALSE(CElement::IsOccupied(8, 4));
    EXPECT_FALSE(wood->explosionActive);

    ASSERT_NO_FATAL_FAILURE(RunTo(235));  // the second flew over the melted ice into the wood
    ASSERT_EQ(Balls().size(), 2u);
    EXPECT_EQ(Balls()[1]->GetCurrentX(), 10);
    EXPECT_EQ(Balls()[1]->GetExplosionSound()->Name(), "explode_heat_wood.ogg");
    EXPECT_TRUE(wood->explosionActive || wood->IsDestroyed());
    EXPECT_FALSE(CElement::IsOccupied(10, 4));

    // An inflatable crate stands before him, as his crate power-up sets one
    // down; fired into point-blank, the ball strikes in the frame it is fired.
    ASSERT_NO_FATAL_FAILURE(RunTo(280));
    auto* rubber = new CElementObjectCrate(6, 4, CElementObjectCrate::INFLATED, 0, false);
    ASSERT_NO_FATAL_FAILURE(RunTo(355));
    ASSERT_EQ(Balls().size(), 3u);
    Ball* pointBlank = Balls()[2];
    EXPECT_TRUE(fired_[pointBlank].struckAtOnce);
    EXPECT_EQ(pointBlank->GetCurrentX(), 6);
    EXPECT_EQ(pointBlank->GetExplosionSound()->Name(), "explode_heat_inflatable.ogg");
    EXPECT_TRUE(rubber->explosionActive || rubber->IsDestroyed());

    ASSERT_NO_FATAL_FAILURE(RunTo(480));  // the last flew left over the tube and off the grid
    ASSERT_EQ(Balls().size(), 4u);
    Ball* last = Balls()[3];
    EXPECT_TRUE(last->IsFacingLeft());
    EXPECT_EQ(last->GetCurrentX(), Ball::kLastColumnLeft);
    EXPECT_EQ(last->GetExplosionSound(), nullptr);
    EXPECT_EQ(hero_->GetInventory(0), 0);
    for (Ball* ball : Balls()) EXPECT_TRUE(ball->IsFinished());
    EXPECT_EQ(run_->GetResult(), "running");
}

TEST_F(PowerupScenarioTest, TheHeroCollectsAFrostGunAndFreezesTheBotComingForHim) {
    // A bot at the far end runs at the hero as soon as it sees him.
    ASSERT_NO_FATAL_FAILURE(Start({"", "", "", "", "S.F...........................(", "################################"},
                                  "solution:\n10 right down\n58 right up\n70 slot1 down\n71 slot1 up\n"));
    CElement* bot = CElement::GetElementAt(30, 4);
    ASSERT_TRUE(bot->IsBot());
    ASSERT_NO_FATAL_FAILURE(RunTo(69));
    EXPECT_EQ(hero_->GetCurrentX(), 2);
    EXPECT_EQ(hero_->GetInventory(0), CElementDevicePowerup::KIND_FROSTGUN);
    ASSERT_NO_FATAL_FAILURE(RunTo(400));
    ASSERT_EQ(Balls().size(), 1u);
    Ball* ball = Balls()[0];
    EXPECT_TRUE(ball->IsFinished());
    EXPECT_EQ(ball->GetExplosionSound()->Name(), "explode_frost.ogg");
    // It flew to meet the bot; frozen, the bot slides to a stop beside the
    // hero and cannot catch him.
    EXPECT_FALSE(fired_[ball].struckAtOnce);
    EXPECT_GT(ball->GetCurrentX(), 3);
    EXPECT_TRUE(bot->IsFrozen());
    EXPECT_GE(bot->GetCurrentX(), 3);
    EXPECT_FALSE(CElement::IsProfessorCaught());
    EXPECT_EQ(run_->GetResult(), "running");
}

TEST_F(PowerupScenarioTest, AFrostBallTurnsBackInATrampolineAndFreezesTheHeroWhoFiredIt) {
    ASSERT_NO_FATAL_FAILURE(Start({"", "", "", "", "S..F.....T", "##########"},
                                  "solution:\n10 right down\n66 right up\n75 slot1 down\n76 slot1 up\n"));
    ASSERT_NO_FATAL_FAILURE(RunTo(74));
    EXPECT_EQ(hero_->GetCurrentX(), 3);
    int turnedAt = -1;
    for (int f = 75; f <= 200 && turnedAt < 0; ++f) {
        ASSERT_NO_FATAL_FAILURE(RunTo(f));
        for (Ball* ball : Balls())
            if (ball->IsFacingLeft()) turnedAt = ball->GetPreviousX();
    }
    EXPECT_EQ(turnedAt, 9);
    ASSERT_NO_FATAL_FAILURE(RunTo(260));
    ASSERT_EQ(Balls().size(), 1u);
    EXPECT_EQ(Balls()[0]->GetCurrentX(), 3);
    EXPECT_TRUE(hero_->IsFrozen());
}

TEST_F(PowerupScenarioTest, ASignsBubbleShowsWhileTheHeroStandsAtItsCellAndHidesWhenHeLeaves) {
    ASSERT_NO_FATAL_FAILURE(Start({"", "", "", "", "S..?", "########"},
                                  "sign: 3 4 #zqdefine 5001-s-0#\n"
                                  "solution:\n10 right down\n70 right up\n120 right down\n130 right up\n"));
    CElementTutorial* sign = CElementTutorial::GetTutorialAt(3, 4);
    ASSERT_NE(sign, nullptr);
    CSprite* bubble = sign->GetBubbleSprite();
    ASSERT_NE(bubble, nullptr);
    RunTo(60);
    EXPECT_TRUE(bubble->IsHidden());
    RunTo(118);  // he stands on the sign
    EXPECT_EQ(hero_->GetCurrentX(), 3);
    EXPECT_TRUE(sign->IsActive());
    EXPECT_FALSE(bubble->IsHidden());
    EXPECT_EQ(bubble->GetFrame(), bubble->GetFrameCount() - 1);
    EXPECT_EQ(sign->GetIconFade(), 3);
    RunTo(170);  // he walked on
    EXPECT_GE(hero_->GetCurrentX(), 4);
    EXPECT_FALSE(sign->IsActive());
    EXPECT_TRUE(bubble->IsHidden());
    EXPECT_EQ(sign->GetIconFade(), 0);
}
