// The animation series of the hero and the bots as the game shows them: the
// pictures of the image pack, placed by the game's own sprite origins.
#include <gtest/gtest.h>

#include <cmath>
#include <string>

#include "tests/support/LevelRunTest.h"
#include "tests/support/WorldTestSupport.h"
#include "world/CElementAIBot.h"
#include "world/CElementAIProfessor.h"

namespace {

// The hero's states that the switches below name.
enum HeroState {
    kStandMiddle = 0,
    kStandLeft = 1,
    kStandRight = 2,
    kRunLeft = 3,
    kRunRight = 4,
    kFall = 7,
    kPushLeft = 8,
    kPushRight = 9,
    kHotStepLeft = 10,
    kHotStepRight = 11,
    kSlideLeft = 18,
    kSlideRight = 20,
    kLand = 35,
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
    kFrozen = 54,
    kSinged = 55,
    kThawing = 56,
};

class FigureSeriesTest : public worldtest::LevelRunTest {};

}  // namespace

// When play switches a figure from one series to the next, the figure's
// drawn middle moves by what the world moved it in that frame, to within
// 2 px: it does not hop sideways. The switch shows the new series from its
// first frame, after any frame of a looping series or after the last frame of
// one that plays once.
TEST_F(FigureSeriesTest, EverySwitchPlayMakesMovesTheFigureOnlyAsTheWorldDoes) {
    ASSERT_NO_FATAL_FAILURE(Load("heading: Series\nbackground: 1\n" +
                                 worldtest::PictureSection("tiles", {"S....(", "######"})));
    CElementAIBot* bot = dynamic_cast<CElementAIBot*>(CElement::GetElementAt(5, 22));
    ASSERT_NE(bot, nullptr);
    using Bot = CElementAIBot;

    struct Switch {
        bool hero;     // else a bot
        int from, to;  // states
        int world;     // px the world moves the figure in the frame of the switch
    };
    const Switch switches[] = {
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
        // He walks off a ledge, falls, lands and turns back to his side.
        {true, kRunLeft, kFall, -3},
        {true, kRunRight, kFall, 3},
        {true, kFall, kLand, 0},
        {true, kLand, kTurnLeft, 0},
        {true, kLand, kTurnRight, 0},
        {true, kTurnLeft, kStandLeft, 0},
        {true, kTurnRight, kStandRight, 0},
        // He steps back from something hot, and stands again.
        {true, kStandLeft, kHotStepLeft, 0},
        {true, kStandRight, kHotStepRight, 0},
        {true, kHotStepLeft, kStandLeft, 0},
        {true, kHotStepRight, kStandRight, 0},
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
    for (const Switch& s : switches) {
        CSprite* const* table = s.hero ? hero_->stateSprites : bot->stateSprites;
        const CSprite* from = table[s.from];
        const CSprite* to = table[s.to];
        ASSERT_TRUE(from && to && from->GetFrameCount() > 0 && to->GetFrameCount() > 0);
        const double after = worldtest::DrawnMiddle(to, 0) + s.world;
        const int first = from->IsLooping() ? 0 : from->GetFrameCount() - 1;
        for (int f = first; f < from->GetFrameCount(); ++f) {
            const double moved = after - worldtest::DrawnMiddle(from, f);
            EXPECT_LE(std::fabs(moved - s.world), 2.0)
                << from->GetName() << " (frame " << f << ") to " << to->GetName() << ": the figure moves "
                << moved << " px where the world moves it " << s.world << " px";
        }
    }
}
