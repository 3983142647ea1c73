// The animation series of the hero and the bots as the game shows them: the
// pictures of the image pack, placed by the game's own sprite origins.
#include <gtest/gtest.h>

#include <cmath>
#include <set>
#include <string>
#include <vector>

#include "tests/support/LevelRunTest.h"
#include "tests/support/WorldTestSupport.h"
#include "world/CElementAIBot.h"
#include "world/CElementAIProfessor.h"
#include "world/SolutionKeys.h"

namespace {

// The hero's states that the switches below name.
enum HeroState {
    kStandMiddle = 0,
    kStandLeft = 1,
    kStandRight = 2,
    kRunLeft = 3,
    kRunRight = 4,
    kClimbDown = 5,
    kClimbUp = 6,
    kFall = 7,
    kPushLeft = 8,
    kPushRight = 9,
    kHotStepLeft = 10,
    kHotStepRight = 11,
    kHotPushLeft = 12,
    kHotPushRight = 13,
    kInflateLeft = 14,
    kInflateRight = 15,
    kInflateStandLeft = 16,
    kInflateStandRight = 17,
    kSlideLeft = 18,
    kUncoolSlideLeft = 19,  // facing right, struggling on ice or sliding left
    kSlideRight = 20,
    kUncoolSlideRight = 21,  // facing left, struggling on ice or sliding right
    kWhistle = 22,
    kEmp = 23,
    kFrostGunLeft = 24,
    kFrostGunRight = 25,
    kHeatGunLeft = 26,
    kHeatGunRight = 27,
    kLand = 35,
    kTubeEntrance = 36,
    kTubeExit = 37,
    kLadderJumpLeft = 38,
    kLadderJumpRight = 39,
    kCaughtOnLeft = 40,   // a bot on his right shoves him to the left
    kCaughtOnRight = 41,  // a bot on his left
    kCrawlLeft = 44,
    kCrawlRight = 45,
    kStunLeft = 46,
    kStunRight = 47,
    kUnstunLeft = 48,
    kUnstunRight = 49,
    kTurnLeft = 50,
    kTurnRight = 51,
    kUnturnLeft = 52,
    kUnturnRight = 53,
    kFrozen = 54,
    kSinged = 55,
    kThawing = 56,
    kFallLeft = 57,  // kFall and kLand face right
    kLandLeft = 58,
    kIdle = CElementAIProfessor::kIdleState,  // the first idle; the others follow it
};

class FigureSeriesTest : public worldtest::LevelRunTest {
protected:
    // The hero, and a bot five cells on.
    void LoadHeroAndBot() {
        ASSERT_NO_FATAL_FAILURE(Load("heading: Series\nbackground: 1\n" +
                                     worldtest::PictureSection("tiles", {"S....(", "######"})));
        bot_ = dynamic_cast<CElementAIBot*>(CElement::GetElementAt(5, 22));
        ASSERT_NE(bot_, nullptr);
    }
    CElementAIBot* bot_ = nullptr;
};

}  // namespace

// When play switches a figure from one series to the next, the figure's
// drawn middle moves by what the world moved it in that frame, to within
// 2 px: it does not hop sideways. The switch shows the new series from its
// first frame, after any frame of a looping series or after the last frame of
// one that plays once. A series switched to itself is held within itself:
// every frame against its first.
TEST_F(FigureSeriesTest, EverySwitchPlayMakesMovesTheFigureOnlyAsTheWorldDoes) {
    ASSERT_NO_FATAL_FAILURE(LoadHeroAndBot());
    using Bot = CElementAIBot;

    struct Switch {
        bool hero;     // else a bot
        int from, to;  // states
        int world;     // px the world moves the figure in the frame of the switch
    };
    std::vector<Switch> switches = {
        // He comes out of the entrance tube, and walks into the exit.
        {true, kTubeEntrance, kStandMiddle, 0},
        {true, kRunLeft, kTubeExit, -3},
        {true, kRunRight, kTubeExit, 3},
        // Standing, he turns from the viewer to either side, and back.
        {true, kStandMiddle, kStandLeft, 0},
        {true, kStandMiddle, kStandRight, 0},
        {true, kStandLeft, kStandRight, 0},
        {true, kStandRight, kStandLeft, 0},
        // The hero sets off, walks, walks into a crate and pushes it.
        {true, kStandMiddle, kRunLeft, 0},
        {true, kStandMiddle, kRunRight, 0},
        {true, kStandLeft, kRunLeft, 0},
        {true, kStandRight, kRunRight, 0},
        {true, kRunLeft, kStandLeft, -3},
        {true, kRunRight, kStandRight, 3},
        {true, kRunLeft, kPushLeft, -3},
        {true, kRunRight, kPushRight, 3},
        {true, kStandLeft, kPushLeft, 0},
        {true, kStandRight, kPushRight, 0},
        {true, kPushLeft, kStandLeft, 0},
        {true, kPushRight, kStandRight, 0},
        {true, kPushLeft, kRunLeft, -3},
        {true, kPushRight, kRunRight, 3},
        // Under something low he crawls on, and stands up again beyond it.
        {true, kRunLeft, kCrawlLeft, -3},
        {true, kRunRight, kCrawlRight, 3},
        {true, kCrawlLeft, kRunLeft, -3},
        {true, kCrawlRight, kRunRight, 3},
        // Onto ice he slides, and stops on it.
        {true, kRunLeft, kSlideLeft, -3},
        {true, kRunRight, kSlideRight, 3},
        {true, kSlideLeft, kStandLeft, 0},
        {true, kSlideRight, kStandRight, 0},
        // On ice a held key gets him nowhere: he struggles where he stands,
        // facing the key's way, and stands again when he lets it go; sliding,
        // he struggles the same way against the slide.
        {true, kStandMiddle, kUncoolSlideLeft, 0},
        {true, kStandMiddle, kUncoolSlideRight, 0},
        {true, kStandRight, kUncoolSlideLeft, 0},
        {true, kStandLeft, kUncoolSlideRight, 0},
        {true, kUncoolSlideLeft, kStandRight, 0},
        {true, kUncoolSlideRight, kStandLeft, 0},
        {true, kSlideLeft, kUncoolSlideLeft, -3},
        {true, kSlideRight, kUncoolSlideRight, 3},
        {true, kUncoolSlideLeft, kSlideLeft, -3},
        {true, kUncoolSlideRight, kSlideRight, 3},
        // He climbs off a ladder at its top or foot and stands, and steps
        // onto it from where he stands.
        {true, kClimbUp, kStandLeft, 0},
        {true, kClimbUp, kStandRight, 0},
        {true, kClimbDown, kStandLeft, 0},
        {true, kClimbDown, kStandRight, 0},
        {true, kStandLeft, kClimbUp, 0},
        {true, kStandRight, kClimbUp, 0},
        {true, kStandLeft, kClimbDown, 0},
        {true, kStandRight, kClimbDown, 0},
        // He jumps sideways off a ladder he hangs on, or onto one from the
        // side, and lands standing, walking on, hanging or falling.
        {true, kClimbDown, kLadderJumpLeft, 0},
        {true, kClimbDown, kLadderJumpRight, 0},
        {true, kClimbUp, kLadderJumpLeft, 0},
        {true, kClimbUp, kLadderJumpRight, 0},
        {true, kRunLeft, kLadderJumpLeft, -3},
        {true, kRunRight, kLadderJumpRight, 3},
        {true, kLadderJumpLeft, kStandLeft, -3},
        {true, kLadderJumpRight, kStandRight, 3},
        {true, kLadderJumpLeft, kRunLeft, -3},
        {true, kLadderJumpRight, kRunRight, 3},
        {true, kLadderJumpLeft, kClimbDown, -3},
        {true, kLadderJumpRight, kClimbDown, 3},
        {true, kLadderJumpLeft, kFallLeft, -3},
        {true, kLadderJumpRight, kFall, 3},
        // He walks off a ledge, falls and lands facing the way he went, and
        // turns back to his side.
        {true, kRunLeft, kFallLeft, -3},
        {true, kRunRight, kFall, 3},
        {true, kFallLeft, kLandLeft, 0},
        {true, kFall, kLand, 0},
        {true, kLandLeft, kTurnLeft, 0},
        {true, kLand, kTurnRight, 0},
        {true, kTurnLeft, kStandLeft, 0},
        {true, kTurnRight, kStandRight, 0},
        // He steps back from something hot, and stands again.
        {true, kStandLeft, kHotStepLeft, 0},
        {true, kStandRight, kHotStepRight, 0},
        {true, kHotStepLeft, kStandLeft, 0},
        {true, kHotStepRight, kStandRight, 0},
        // He leans on something hot, pulls back, shakes his hands and stands
        // again, in his place all along.
        {true, kStandLeft, kHotPushLeft, 0},
        {true, kStandRight, kHotPushRight, 0},
        {true, kRunLeft, kHotPushLeft, -3},
        {true, kRunRight, kHotPushRight, 3},
        {true, kHotPushLeft, kHotPushLeft, 0},
        {true, kHotPushRight, kHotPushRight, 0},
        {true, kHotPushLeft, kStandLeft, 0},
        {true, kHotPushRight, kStandRight, 0},
        // Something lands on him: knocked down, he gets up again.
        {true, kStandLeft, kStunLeft, 0},
        {true, kStandRight, kStunRight, 0},
        {true, kUnstunLeft, kStandLeft, 0},
        {true, kUnstunRight, kStandRight, 0},
        // Singed where he stands.
        {true, kStandLeft, kSinged, 0},
        {true, kStandRight, kSinged, 0},
        // Frozen, thawed, and standing again.
        {true, kFrozen, kThawing, 0},
        {true, kThawing, kStandLeft, 0},
        {true, kThawing, kStandRight, 0},
        // A bot catches him, from either side, standing or running.
        {true, kStandLeft, kCaughtOnLeft, 0},
        {true, kStandRight, kCaughtOnLeft, 0},
        {true, kRunLeft, kCaughtOnLeft, 0},
        {true, kRunRight, kCaughtOnLeft, 0},
        {true, kStandLeft, kCaughtOnRight, 0},
        {true, kStandRight, kCaughtOnRight, 0},
        {true, kRunLeft, kCaughtOnRight, 0},
        {true, kRunRight, kCaughtOnRight, 0},
        // Power-ups where he stands: inflating, then standing with the
        // inflatable out of his hands; the guns; the EMP and the whistle
        // facing the viewer, turned to and from his side.
        {true, kStandLeft, kInflateLeft, 0},
        {true, kStandRight, kInflateRight, 0},
        {true, kInflateStandLeft, kStandLeft, 0},
        {true, kInflateStandRight, kStandRight, 0},
        {true, kStandLeft, kFrostGunLeft, 0},
        {true, kStandRight, kFrostGunRight, 0},
        {true, kFrostGunLeft, kStandLeft, 0},
        {true, kFrostGunRight, kStandRight, 0},
        {true, kStandLeft, kHeatGunLeft, 0},
        {true, kStandRight, kHeatGunRight, 0},
        {true, kHeatGunLeft, kStandLeft, 0},
        {true, kHeatGunRight, kStandRight, 0},
        {true, kStandLeft, kUnturnLeft, 0},
        {true, kStandRight, kUnturnRight, 0},
        {true, kUnturnLeft, kEmp, 0},
        {true, kUnturnRight, kEmp, 0},
        {true, kUnturnLeft, kWhistle, 0},
        {true, kUnturnRight, kWhistle, 0},
        {true, kEmp, kTurnLeft, 0},
        {true, kEmp, kTurnRight, 0},
        {true, kWhistle, kTurnLeft, 0},
        {true, kWhistle, kTurnRight, 0},
        {true, kTurnLeft, kStandMiddle, 0},
        {true, kTurnRight, kStandMiddle, 0},
        // A bot sets off, runs, pushes, stops, and catches him: running
        // left it catches him from his right.
        {false, Bot::ST_STAND_LEFT, Bot::ST_RUN_LEFT, 0},
        {false, Bot::ST_STAND_RIGHT, Bot::ST_RUN_RIGHT, 0},
        {false, Bot::ST_RUN_LEFT, Bot::ST_STAND_LEFT, -3},
        {false, Bot::ST_RUN_RIGHT, Bot::ST_STAND_RIGHT, 3},
        {false, Bot::ST_RUN_LEFT, Bot::ST_PUSH_LEFT, -3},
        {false, Bot::ST_RUN_RIGHT, Bot::ST_PUSH_RIGHT, 3},
        {false, Bot::ST_PUSH_LEFT, Bot::ST_STAND_LEFT, 0},
        {false, Bot::ST_PUSH_RIGHT, Bot::ST_STAND_RIGHT, 0},
        {false, Bot::ST_RUN_LEFT, Bot::ST_CAPTURE_RIGHT, -3},
        {false, Bot::ST_RUN_RIGHT, Bot::ST_CAPTURE_LEFT, 3},
    };
    // Standing still he plays an idle, from any of his stands, and turns back
    // to his side after it (or to the viewer, still at the level's start).
    for (int idle = kIdle; idle < kIdle + CElementAIProfessor::kIdleCount; ++idle)
        for (const Switch& s : {Switch{true, kStandMiddle, idle, 0}, Switch{true, kStandLeft, idle, 0},
                                Switch{true, kStandRight, idle, 0}, Switch{true, idle, kStandMiddle, 0},
                                Switch{true, idle, kTurnLeft, 0}, Switch{true, idle, kTurnRight, 0}})
            switches.push_back(s);
    auto sprite = [&](bool hero, int state) -> const CSprite* {
        if (!hero) return bot_->stateSprites[state];
        return state >= kIdle ? hero_->idleSprites[state - kIdle] : hero_->stateSprites[state];
    };
    for (const Switch& s : switches) {
        const CSprite* from = sprite(s.hero, s.from);
        const CSprite* to = sprite(s.hero, s.to);
        ASSERT_TRUE(from && to && from->GetFrameCount() > 0 && to->GetFrameCount() > 0);
        const double after = worldtest::DrawnMiddle(to, 0) + s.world;
        const int first = from->IsLooping() || from == to ? 0 : from->GetFrameCount() - 1;
        // The frame of the series switched from after which the figure hops furthest.
        int worst = first;
        double worstMoved = s.world;
        for (int f = first; f < from->GetFrameCount(); ++f) {
            const double moved = after - worldtest::DrawnMiddle(from, f);
            if (std::fabs(moved - s.world) > std::fabs(worstMoved - s.world)) worst = f, worstMoved = moved;
        }
        EXPECT_LE(std::fabs(worstMoved - s.world), 2.0)
            << from->GetName() << " (frame " << worst << ") to " << to->GetName() << ": the figure moves "
            << worstMoved << " px where the world moves it " << s.world << " px";
    }
}

// Standing, facing either way or the viewer, the hero stands on his cell's
// middle, as every bot does.
TEST_F(FigureSeriesTest, TheHeroStandsOnHisCellsMiddleAsABotDoes) {
    ASSERT_NO_FATAL_FAILURE(LoadHeroAndBot());
    const double middle = (worldtest::DrawnMiddle(bot_->stateSprites[CElementAIBot::ST_STAND_LEFT], 0) +
                           worldtest::DrawnMiddle(bot_->stateSprites[CElementAIBot::ST_STAND_RIGHT], 0)) / 2;
    for (int state : {kStandMiddle, kStandLeft, kStandRight})
        EXPECT_NEAR(worldtest::DrawnMiddle(hero_->stateSprites[state], 0), middle, 2.0)
            << hero_->stateSprites[state]->GetName();
}

// Walking off a ledge he falls, and lands, facing the way he went: he does
// not turn round in the air.
TEST_F(FigureSeriesTest, HeFallsAndLandsFacingTheWayHeWent) {
    struct Way {
        const char* name;
        int key, fall, land;
    };
    for (const Way& way : {Way{"left", SOLUTION_KEY_LEFT, kFallLeft, kLandLeft},
                           Way{"right", SOLUTION_KEY_RIGHT, kFall, kLand}}) {
        SCOPED_TRACE(way.name);
        ASSERT_NO_FATAL_FAILURE(Load("heading: Fall\nbackground: 1\n" +
                                     worldtest::PictureSection("tiles", {"....S....", "...###...", ".........",
                                                                         ".........", "#########"})));
        ASSERT_TRUE(RunUntil([&] { return !hero_->arriving && !hero_->IsMoving(); }));
        Press(way.key);
        ASSERT_TRUE(RunUntil([&] { return hero_->FALLING != 0; }));
        Release(way.key);
        std::set<int> falling, landing;
        const bool stood = RunUntil([&] {
            if (hero_->FALLING) falling.insert(hero_->animationState);
            if (hero_->LANDING) landing.insert(hero_->animationState);
            return !hero_->FALLING && !hero_->LANDING && !hero_->turnPending;
        });
        ASSERT_TRUE(stood);
        EXPECT_EQ(falling, std::set<int>{way.fall});
        EXPECT_EQ(landing, std::set<int>{way.land});
    }
}
