// Bots in the world, run headless frame by frame the way the play screen
// runs a level: small levels in our level source format, the hero steered
// by the level's recorded keys.
#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "tests/support/LevelRunTest.h"
#include "tests/support/WorldTestSupport.h"
#include "tests/world/pieces/ObjectWorld.h"
#include "tools/levels/CLevelSource.h"
#include "world/CElementAIBot.h"
#include "world/CElementAIProfessor.h"
#include "world/CLevel.h"
#include "world/CWorldRun.h"

namespace {

// The hero starts on a ledge above the row of two bots facing left: one at
// the far right, one at the left edge, facing away from where he comes down.
const std::vector<std::string> kLedgeOverTwoBots = {
    "", "", "", "", "..S", "#####", "", "", "(.............(", "################",
};

class BotTest : public worldtest::LevelRunTest {
protected:
    struct Level {
        std::vector<std::string> rows;
        std::vector<std::string> states;
        std::vector<std::string> solution;
        std::string more = {};  // further sections, such as teleports
    };

    // Pictures padded to the grid, then the further sections and the
    // recorded keys.
    void Start(const Level& level) {
        Load(objecttest::LevelSource(level.rows, level.states) + level.more +
             worldtest::SolutionSection(level.solution));
    }

    static CElementAIBot* BotAt(int x, int y) { return dynamic_cast<CElementAIBot*>(CElement::GetElementAt(x, y)); }
    static std::string Shown(const CElement* e) { return e->GetSprite() ? e->GetSprite()->GetName() : ""; }
};

// The hero drops from a ledge into the row of a bot that faces him: the bot
// sees him, runs to him and catches him, and the level ends as caught. A bot
// that faces away from him never wakes, however close.
TEST_F(BotTest, ABotThatSeesTheHeroOnItsRowChasesAndCatchesHim) {
    ASSERT_NO_FATAL_FAILURE(Start({kLedgeOverTwoBots, {}, {"60 right down", "80 right up"}}));
    CElementAIBot* chaser = BotAt(14, 8);
    CElementAIBot* facingAway = BotAt(0, 8);
    ASSERT_TRUE(chaser && facingAway);
    for (const CSprite* s : chaser->stateSprites) {
        ASSERT_NE(s, nullptr);
        EXPECT_GT(s->GetFrameCount(), 0) << s->GetName();
    }
    EXPECT_EQ(Shown(chaser), "Bot Stand Left");
    // Whatever it does, it stands on the middle of its cell: each state,
    // drawn facing left and facing right, is centred where standing is.
    using Bot = CElementAIBot;
    auto middle = [&](int left, int right) {
        return (worldtest::FigureMiddle(chaser->stateSprites[left], 0) +
                worldtest::FigureMiddle(chaser->stateSprites[right], 0)) / 2;
    };
    const double standing = middle(Bot::ST_STAND_LEFT, Bot::ST_STAND_RIGHT);
    for (const auto& [left, right] :
         {std::pair{Bot::ST_RUN_LEFT, Bot::ST_RUN_RIGHT}, {Bot::ST_PUSH_LEFT, Bot::ST_PUSH_RIGHT},
          {Bot::ST_STUN_LEFT, Bot::ST_STUN_RIGHT}, {Bot::ST_EMP_LEFT, Bot::ST_EMP_RIGHT},
          {Bot::ST_MAGNET_LEFT, Bot::ST_MAGNET_RIGHT}, {Bot::ST_SLIDE_LEFT, Bot::ST_SLIDE_RIGHT},
          {Bot::ST_CRAWL_LEFT, Bot::ST_CRAWL_RIGHT}, {Bot::ST_MELTING_LEFT, Bot::ST_MELTING_RIGHT},
          {Bot::ST_COOLING_LEFT, Bot::ST_COOLING_RIGHT}})
        EXPECT_NEAR(middle(left, right), standing, 1.0) << chaser->stateSprites[left]->GetName();

    // On the ledge the hero is in another row: nobody sees him.
    ASSERT_NO_FATAL_FAILURE(Frames(80));
    EXPECT_FALSE(chaser->IsActive());
    EXPECT_EQ(hero_->GetCurrentY(), 4);

    EXPECT_TRUE(RunUntil([&] { return chaser->IsActive(); }, 60));
    EXPECT_EQ(hero_->GetCurrentY(), 8);
    EXPECT_TRUE(RunUntil([&] { return CElement::IsProfessorCaught(); }, 200));
    EXPECT_EQ(chaser->GetCurrentX(), hero_->GetCurrentX() + 1);
    EXPECT_TRUE(chaser->caughtFromRight && hero_->caughtFromRight);
    EXPECT_TRUE(RunUntil([&] { return run_->IsEnded(); }, 400));
    EXPECT_EQ(run_->GetResult(), "caught");
    EXPECT_EQ(Shown(chaser), "Bot Capture Right");
    EXPECT_FALSE(facingAway->IsActive());
    EXPECT_EQ(facingAway->GetCurrentX(), 0);

    // Its view reaches the grid's first and last columns.
    for (const auto& [bot, hero] : {std::pair{20, 31}, {11, 0}}) {
        std::string row(CElement::kGridWidth, '.');
        row[bot] = bot < hero ? ')' : '(';
        row[hero] = 'S';
        ASSERT_NO_FATAL_FAILURE(Start({{"", "", "", "", row, std::string(CElement::kGridWidth, '#')}, {}, {}}));
        CElementAIBot* watcher = BotAt(bot, 4);
        ASSERT_NE(watcher, nullptr);
        EXPECT_TRUE(RunUntil([&] { return watcher->IsActive(); }, 5)) << "the hero in column " << hero;
    }
}

// A bot on a step sees the hero one row down over the step's edge, but only
// where the cell above him is open: under a bridge he is hidden, one cell on
// he is seen. Frozen, right at the foot of the step, he is a block of ice
// it does not see, until heat thaws him.
TEST_F(BotTest, ABotSeesTheHeroOneRowDownOnlyWhereTheCellAboveHimIsOpen) {
    ASSERT_NO_FATAL_FAILURE(Start({{"", "", "", "..........(", ".........S#", "###########"}, {}, {}}));
    CElementAIBot* watcher = BotAt(10, 3);
    ASSERT_NE(watcher, nullptr);
    ASSERT_TRUE(CElement::Freeze(hero_));
    ASSERT_NO_FATAL_FAILURE(Frames(100));
    EXPECT_FALSE(watcher->IsActive());
    EXPECT_EQ(watcher->GetCurrentX(), 10);
    ASSERT_TRUE(CElement::Heat(hero_, false, false));
    EXPECT_TRUE(RunUntil([&] { return watcher->IsActive(); }, 60));

    ASSERT_NO_FATAL_FAILURE(Start({{
                                       "",
                                       "",
                                       "",
                                       ".._.......(",
                                       "..S.......#",
                                       "###########",
                                   },
                                   {},
                                   {"60 right down", "62 right up"}}));
    CElementAIBot* bot = BotAt(10, 3);
    ASSERT_NE(bot, nullptr);
    ASSERT_TRUE(CElement::GetElementAt(2, 3)->IsBridge());
    ASSERT_NO_FATAL_FAILURE(Frames(59));
    EXPECT_FALSE(bot->IsActive());
    EXPECT_TRUE(RunUntil([&] { return bot->IsActive(); }, 10));
    EXPECT_EQ(hero_->GetCurrentX(), 3);
    EXPECT_TRUE(RunUntil([&] { return run_->IsEnded(); }, 300));
    EXPECT_EQ(run_->GetResult(), "caught");
}

// The ladders section of a level source: one ladder in a column.
std::string LadderColumn(int column, int top, int bottom) {
    std::string out = "ladders:\n";
    for (int y = 0; y < CElement::kGridHeight; ++y) {
        std::string row(CElement::kGridWidth, '.');
        if (y >= top && y <= bottom) row[column] = 'H';
        out += row + "\n";
    }
    return out;
}

// The hero, seen from afar, climbs a ladder to a ledge; the bot follows him
// up the same ladder, climbing, steps off at the top and catches him there.
TEST_F(BotTest, ABotFollowsTheHeroUpALadder) {
    ASSERT_NO_FATAL_FAILURE(Start({{
                                       "",
                                       "",
                                       "",
                                       "",
                                       "",
                                       "######",
                                       "",
                                       "",
                                       "..S...........................(",
                                       "################################",
                                   },
                                   {},
                                   {"60 right down", "90 right up", "92 up down", "124 up up", "126 left down",
                                    "140 left up"},
                                   LadderColumn(6, 4, 8)}));
    CElementAIBot* bot = BotAt(30, 8);
    ASSERT_NE(bot, nullptr);
    ASSERT_NO_FATAL_FAILURE(Frames(1));
    EXPECT_TRUE(bot->IsActive());
    EXPECT_TRUE(RunUntil([&] { return bot->GetCurrentX() == 6 && bot->IsMovingUp(); }, 300));
    ASSERT_NO_FATAL_FAILURE(Frames(1));
    EXPECT_EQ(Shown(bot), "Bot Climb");
    EXPECT_EQ(hero_->GetCurrentY(), 4);
    EXPECT_TRUE(RunUntil([&] { return run_->IsEnded(); }, 300));
    EXPECT_EQ(run_->GetResult(), "caught");
    EXPECT_EQ(bot->GetCurrentX(), hero_->GetCurrentX() + 1);
    EXPECT_EQ(bot->GetCurrentY(), 4);
}

// A crate between the bot and the hero hides him; once the hero has pushed
// it down a hole the bot sees him at once.
TEST_F(BotTest, ABotDoesNotSeeThroughACrate) {
    ASSERT_NO_FATAL_FAILURE(Start({{
                                       "",
                                       "",
                                       "",
                                       "",
                                       "..S.c.....(",
                                       "#####.##########",
                                       "################",
                                   },
                                   {},
                                   {"60 right down", "62 right up", "150 right down", "152 right up"}}));
    CElementAIBot* bot = BotAt(10, 4);
    ASSERT_NE(bot, nullptr);
    ASSERT_NO_FATAL_FAILURE(Frames(149));
    EXPECT_EQ(hero_->GetCurrentX(), 3);
    EXPECT_FALSE(bot->IsActive());
    EXPECT_EQ(bot->GetCurrentX(), 10);

    EXPECT_TRUE(RunUntil([&] { return bot->IsActive(); }, 30));
    EXPECT_TRUE(CElement::GetElementAt(5, 5)->IsCrate());  // the crate filled the hole
    EXPECT_TRUE(RunUntil([&] { return run_->IsEnded(); }, 300));
    EXPECT_EQ(run_->GetResult(), "caught");
}

// A closed gate hides the hero just as a crate does, and a bot does not see
// through a teleport: the view that enters a portal ends there. Once the
// hero stands on the blue button the gate opens and the bot behind it comes
// for him; the bot that looks at him through a portal never sees him.
TEST_F(BotTest, ABotDoesNotSeeThroughAClosedGateOrIntoAPortal) {
    ASSERT_NO_FATAL_FAILURE(Start({{
                                       "",
                                       "",
                                       "",
                                       "",
                                       ")..S.b..B.(",
                                       "################",
                                       "",
                                       "",
                                       "",
                                       "",
                                       "",
                                       "....................##",
                                   },
                                   {},
                                   {"60 right down", "70 right up"},
                                   "teleport: blue 1 4\nteleport: blue 20 10\n"}));
    CElementAIBot* behindGate = BotAt(10, 4);
    CElementAIBot* throughPortal = BotAt(0, 4);
    ASSERT_TRUE(behindGate && throughPortal);
    ASSERT_TRUE(CElement::GetElementAt(8, 4)->IsGate());
    ASSERT_NO_FATAL_FAILURE(Frames(59));
    EXPECT_FALSE(behindGate->IsActive());
    EXPECT_FALSE(throughPortal->IsActive());

    EXPECT_TRUE(RunUntil([&] { return behindGate->IsActive(); }, 60));
    EXPECT_EQ(hero_->GetCurrentX(), 5);
    EXPECT_TRUE(CElement::GetElementAt(8, 4)->IsNull());  // the gate stands open
    EXPECT_TRUE(RunUntil([&] { return run_->IsEnded(); }, 300));
    EXPECT_EQ(run_->GetResult(), "caught");
    EXPECT_EQ(behindGate->GetCurrentX(), 6);
    EXPECT_FALSE(throughPortal->IsActive());
    EXPECT_EQ(throughPortal->GetCurrentX(), 0);
}

// A hanging bot stays on its ceiling while the hero passes beside it and
// lets go the moment he is right below with nothing between them; it drops
// in its activating picture, lands and catches him.
TEST_F(BotTest, AHangingBotDropsWhenTheHeroIsRightBelowIt) {
    ASSERT_NO_FATAL_FAILURE(Start({{
                                       "",
                                       "",
                                       "........#",
                                       "........v",
                                       "",
                                       "",
                                       "..S",
                                       "################",
                                   },
                                   {},
                                   {"60 right down", "110 right up"}}));
    CElementAIBot* bot = BotAt(8, 3);
    ASSERT_NE(bot, nullptr);
    EXPECT_EQ(Shown(bot), "Bot Deactivated - Hanging");
    // Beside its column the hero passes unseen.
    EXPECT_TRUE(RunUntil([&] { return hero_->GetCurrentX() == 7; }, 120));
    EXPECT_FALSE(bot->IsActive());
    EXPECT_FALSE(bot->HasGravity());

    EXPECT_TRUE(RunUntil([&] { return bot->IsActive(); }, 20));
    EXPECT_EQ(hero_->GetCurrentX(), 8);
    ASSERT_NO_FATAL_FAILURE(Frames(1));
    EXPECT_TRUE(bot->HasGravity());
    EXPECT_TRUE(bot->IsActivationFall());
    EXPECT_EQ(Shown(bot), "Bot Activating");
    EXPECT_TRUE(RunUntil([&] { return bot->GetCurrentY() == 6 && !bot->MOVING; }, 60));
    EXPECT_FALSE(bot->IsActivationFall());
    EXPECT_TRUE(RunUntil([&] { return run_->IsEnded(); }, 300));
    EXPECT_EQ(run_->GetResult(), "caught");
    EXPECT_TRUE(bot->caughtFromLeft);

    // Right below it, in the next row, he is seen all the same.
    ASSERT_NO_FATAL_FAILURE(Start({{"", "", "........#", "........v", "..S", "################"},
                                   {},
                                   {"60 right down", "110 right up"}}));
    CElementAIBot* low = BotAt(8, 3);
    ASSERT_NE(low, nullptr);
    EXPECT_TRUE(RunUntil([&] { return hero_->GetCurrentX() == 7; }, 120));
    EXPECT_FALSE(low->IsActive());
    EXPECT_TRUE(RunUntil([&] { return low->IsActive(); }, 20));
    EXPECT_EQ(hero_->GetCurrentX(), 8);
}

// The EMP knocks every standing bot out for as long as its stunned picture
// plays and leaves a hanging bot hanging; the whistle wakes them all, also
// the bots that could not see the hero and the hanging one, which drops. A
// second EMP makes them forget him: down in their row they cannot see him
// on his ledge, so they stay where the EMP caught them.
TEST_F(BotTest, TheEmpStunsEveryBotUntilItsStunnedPictureHasPlayedAndTheWhistleWakesThemAll) {
    ASSERT_NO_FATAL_FAILURE(Start({{
                                       "",
                                       "",
                                       "........................#",
                                       "........................v",
                                       "..S",
                                       "#####",
                                       "",
                                       "",
                                       "................(..........)",
                                       "################################",
                                   },
                                   {},
                                   {"60 slot1 down", "61 slot1 up", "130 slot1 down", "131 slot1 up", "190 slot1 down",
                                    "191 slot1 up"}}));
    EXPECT_TRUE(hero_->addPowerup(CElementAIProfessor::POWERUP_KIND_EMP));
    EXPECT_TRUE(hero_->addPowerup(CElementAIProfessor::POWERUP_KIND_WHISTLE));
    EXPECT_TRUE(hero_->addPowerup(CElementAIProfessor::POWERUP_KIND_EMP));
    CElementAIBot* below = BotAt(16, 8);   // faces the hero's column from another row
    CElementAIBot* away = BotAt(27, 8);    // faces away
    CElementAIBot* hanging = BotAt(24, 3);
    ASSERT_TRUE(below && away && hanging);
    const std::vector<CElementAIBot*>& bots = CElementAIBot::GetBots();

    // The EMP acts some frames after it is used, once the hero faces us.
    EXPECT_TRUE(RunUntil([&] { return below->IsEmpStunned(); }, 100));
    const int empFrame = run_->GetFrame();
    EXPECT_TRUE(away->IsEmpStunned());
    EXPECT_FALSE(hanging->IsEmpStunned());
    for (CElementAIBot* bot : bots) EXPECT_TRUE(bot->empActive);  // the sparks play on every bot
    ASSERT_NO_FATAL_FAILURE(Frames(1));
    EXPECT_EQ(Shown(below), "Bot EMPed Left");
    EXPECT_EQ(Shown(away), "Bot EMPed Right");
    EXPECT_EQ(Shown(hanging), "Bot Deactivated - Hanging");
    EXPECT_TRUE(RunUntil([&] { return !below->IsEmpStunned(); }, 40));
    // Five pictures, two steps each.
    EXPECT_EQ(run_->GetFrame() - empFrame, 11);
    EXPECT_FALSE(away->IsEmpStunned());
    EXPECT_EQ(Shown(below), "Bot Stand Left");
    for (CElementAIBot* bot : bots) EXPECT_FALSE(bot->IsActive());

    // The whistle: every bot comes for the hero.
    EXPECT_TRUE(RunUntil([&] { return below->IsActive(); }, 60));
    for (CElementAIBot* bot : bots) EXPECT_TRUE(bot->IsActive());
    ASSERT_NO_FATAL_FAILURE(Frames(1));
    EXPECT_TRUE(hanging->HasGravity());
    EXPECT_EQ(Shown(hanging), "Bot Activating");
    // They make for the hero's column, until the second EMP stops them.
    EXPECT_TRUE(RunUntil([&] { return below->IsEmpStunned(); }, 100));
    EXPECT_LT(below->GetCurrentX(), 16);
    EXPECT_LT(away->GetCurrentX(), 27);
    EXPECT_EQ(hanging->GetCurrentY(), 8);

    // The second EMP: every bot is knocked out and forgets the hero.
    for (CElementAIBot* bot : bots) EXPECT_FALSE(bot->IsActive());
    EXPECT_TRUE(RunUntil([&] { return !below->IsEmpStunned() && !below->MOVING; }, 40));
    std::vector<int> columns;
    for (CElementAIBot* bot : bots) columns.push_back(bot->GetCurrentX());
    ASSERT_NO_FATAL_FAILURE(Frames(100));
    for (size_t i = 0; i < bots.size(); ++i) {
        EXPECT_FALSE(bots[i]->IsActive());
        EXPECT_FALSE(bots[i]->IsEmpStunned());
        EXPECT_EQ(bots[i]->GetCurrentX(), columns[i]);
    }
}

// Knocked out by the EMP, a bot neither looks for the hero nor chases him
// while its stunned picture plays, though he stands in full view on its row;
// once it has come round it sees him again and comes for him.
TEST_F(BotTest, AnEmpedBotLooksForTheHeroAgainOnlyOnceItHasComeRound) {
    const std::string ground(CElement::kGridWidth, '#');
    ASSERT_NO_FATAL_FAILURE(
        Start({{"", "", "", "", "..S...........................(", ground}, {}, {"70 slot1 down", "71 slot1 up"}}));
    EXPECT_TRUE(hero_->addPowerup(CElementAIProfessor::POWERUP_KIND_EMP));
    CElementAIBot* bot = BotAt(30, 4);
    ASSERT_NE(bot, nullptr);
    // It sees him come out of the tube and runs for him, until the EMP.
    EXPECT_TRUE(RunUntil([&] { return bot->IsActive(); }, 5));
    EXPECT_TRUE(RunUntil([&] { return bot->IsEmpStunned(); }, 120));
    const int empFrame = Now();
    auto looking = [bot] {
        return bot->IsActive() || bot->IsKeyHeld(CElementAI::KEY_LEFT) || bot->IsKeyHeld(CElementAI::KEY_RIGHT) ||
               bot->IsKeyHeld(CElementAI::KEY_UP) || bot->IsKeyHeld(CElementAI::KEY_DOWN);
    };
    int knockedOut = 0;
    for (; bot->IsEmpStunned() && !looking() && knockedOut < 40; ++knockedOut) ASSERT_NO_FATAL_FAILURE(Frame());
    EXPECT_FALSE(looking()) << "it looked for the hero " << Now() - empFrame << " frames into the EMP";
    EXPECT_EQ(knockedOut, 11);
    EXPECT_EQ(hero_->GetCurrentY(), 4);
    EXPECT_TRUE(RunUntil([&] { return bot->IsActive(); }, 1));
    EXPECT_TRUE(RunUntil([&] { return CElement::IsProfessorCaught(); }, 200));
}

// Heat wrecks a bot for good: a bot made hot never stirs, though it faces
// the hero, and stays a wreck after it has cooled. Frost stops a bot: a
// frozen bot cannot catch the hero standing right beside it, and a frozen
// hanging bot falls from its ceiling; thawed, a frozen bot is awake and
// catches him.
TEST_F(BotTest, AHotBotIsWreckedForGoodAndAFrozenOneCatchesTheHeroOnlyOnceThawed) {
    ASSERT_NO_FATAL_FAILURE(Start({{
                                       "",
                                       "",
                                       "",
                                       "............#",
                                       "............v",
                                       "",
                                       ")..S....(",
                                       "################",
                                   },
                                   {
                                       "",
                                       "",
                                       "",
                                       "",
                                       "............f",
                                       "",
                                       "h.......f",
                                   },
                                   {"60 right down", "86 right up"}}));
    CElementAIBot* hot = BotAt(0, 6);
    CElementAIBot* frozen = BotAt(8, 6);
    CElementAIBot* frozenHanging = BotAt(12, 4);
    ASSERT_TRUE(hot && frozen && frozenHanging);
    ASSERT_NO_FATAL_FAILURE(Frames(1));
    EXPECT_TRUE(hot->IsDestroyed());
    EXPECT_EQ(Shown(hot), "Bot (HEATED_RIGHT)");
    EXPECT_EQ(Shown(frozen), "Bot Frozen");
    EXPECT_TRUE(frozenHanging->HasGravity());
    EXPECT_FALSE(frozenHanging->IsActivationFall());
    EXPECT_TRUE(RunUntil([&] { return frozenHanging->GetCurrentY() == 6 && !frozenHanging->MOVING; }, 40));
    EXPECT_EQ(Shown(frozenHanging), "Bot Frozen");

    // The hero walks up to the frozen bot, in full view of the hot one.
    EXPECT_TRUE(RunUntil([&] { return hero_->GetCurrentX() == 7 && !hero_->MOVING; }, 120));
    ASSERT_NO_FATAL_FAILURE(Frames(100));
    EXPECT_FALSE(CElement::IsProfessorCaught());
    EXPECT_EQ(frozen->GetCurrentX(), 8);
    EXPECT_EQ(hot->GetCurrentX(), 0);
    EXPECT_FALSE(hot->IsActive());

    // Cooled, the wreck stays a wreck.
    EXPECT_TRUE(CElement::Freeze(hot));
    ASSERT_NO_FATAL_FAILURE(Frames(1));
    EXPECT_EQ(Shown(hot), "Bot (COOLING_RIGHT)");
    EXPECT_TRUE(RunUntil([&] { return !hot->cooling; }, 30));
    ASSERT_NO_FATAL_FAILURE(Frames(1));
    EXPECT_EQ(Shown(hot), "Bot (COOLED_RIGHT)");
    EXPECT_TRUE(hot->IsDestroyed());
    // Nor does an EMP make it look like a live bot again.
    hot->Emp();
    ASSERT_NO_FATAL_FAILURE(Frames(1));
    EXPECT_FALSE(hot->IsEmpStunned());
    EXPECT_EQ(Shown(hot), "Bot (COOLED_RIGHT)");

    // Thawed, the bot beside the hero catches him at once.
    EXPECT_TRUE(CElement::Heat(frozen, false, false));
    EXPECT_TRUE(RunUntil([&] { return CElement::IsProfessorCaught(); }, 5));
    EXPECT_TRUE(frozen->caughtFromRight);
    EXPECT_TRUE(RunUntil([&] { return run_->IsEnded(); }, 300));
    EXPECT_EQ(run_->GetResult(), "caught");
    EXPECT_EQ(hot->GetCurrentX(), 0);
}

// A crate pushed off a ledge lands on a bot's head and crushes it: it shows
// its crushed picture (an undo brings back the frame it went down) and, even
// woken by the whistle, cannot walk out from under the crate. Once the crate
// has burned away it goes for the hero.
TEST_F(BotTest, ACrateDroppedOnABotCrushesItUntilTheCrateIsGone) {
    ASSERT_NO_FATAL_FAILURE(Start({{
                                       "",
                                       "",
                                       "..S.c",
                                       "#####",
                                       "",
                                       "",
                                       ".....)",
                                       "################",
                                   },
                                   {},
                                   {"60 right down", "62 right up", "80 right down", "82 right up", "120 slot1 down",
                                    "121 slot1 up"}}));
    EXPECT_TRUE(hero_->addPowerup(CElementAIProfessor::POWERUP_KIND_WHISTLE));
    CElementAIBot* bot = BotAt(5, 6);
    ASSERT_NE(bot, nullptr);
    EXPECT_TRUE(RunUntil([&] { return bot->STUN != 0; }, 120));
    CElement* crate = CElement::GetElementAt(5, 5);
    EXPECT_TRUE(crate->IsCrate());
    // An undo to a step saved in the frame it went down gives it back as that
    // frame left it: down, its count before the stunned picture under way.
    const int count = bot->stunCount;
    EXPECT_GT(count, 0);
    const int steps = CElement::GetUndoCount();
    CElement::SaveUndoStep();
    ASSERT_EQ(CElement::GetUndoCount(), steps + 1);
    ASSERT_NO_FATAL_FAILURE(Frames(3));
    CElement::LoadUndoStep(false);
    EXPECT_TRUE(bot->STUN);
    EXPECT_EQ(bot->stunCount, count);
    ASSERT_NO_FATAL_FAILURE(Frames(10));
    EXPECT_EQ(Shown(bot), "Bot Stun Right");

    EXPECT_TRUE(RunUntil([&] { return bot->IsActive(); }, 60));
    ASSERT_NO_FATAL_FAILURE(Frames(100));
    EXPECT_EQ(bot->GetCurrentX(), 5);
    EXPECT_TRUE(bot->STUN);
    EXPECT_EQ(Shown(bot), "Bot Stun Right");

    EXPECT_TRUE(CElement::Heat(crate, false, false));
    EXPECT_TRUE(RunUntil([&] { return bot->MOVING; }, 20));
    // Below the hero's column it can get no nearer.
    EXPECT_EQ(hero_->GetCurrentX(), 4);
    EXPECT_EQ(bot->GetCurrentX(), 4);
    EXPECT_TRUE(RunUntil([&] { return !bot->MOVING; }, 40));
    ASSERT_NO_FATAL_FAILURE(Frames(20));
    EXPECT_EQ(bot->GetCurrentX(), 4);
    EXPECT_FALSE(bot->STUN);
    EXPECT_EQ(Shown(bot), "Bot Stand Left");
}

// Undo after the hero has been caught brings the world back to the step
// saved when he last started to move: the hero and the chasing bot where
// they stood, nobody caught, the bot still awake and running for him;
// played on, the bot comes for him again.
TEST_F(BotTest, UndoAfterTheCatchBringsTheHeroAndTheBotBackToTheSavedStep) {
    ASSERT_NO_FATAL_FAILURE(
        Start({kLedgeOverTwoBots, {}, {"60 right down", "80 right up", "120 left down", "122 left up"}}));
    CElementAIBot* bot = BotAt(14, 8);
    ASSERT_NE(bot, nullptr);
    ASSERT_NO_FATAL_FAILURE(Frames(119));
    ASSERT_TRUE(bot->IsActive());
    const int botX = bot->GetCurrentX(), botPixelX = bot->GetPixelX(), heroX = hero_->GetCurrentX();
    ASSERT_TRUE(bot->IsKeyHeld(CElementAI::KEY_LEFT));
    EXPECT_EQ(heroX, 5);
    EXPECT_TRUE(RunUntil([&] { return run_->IsEnded(); }, 300));
    ASSERT_EQ(run_->GetResult(), "caught");
    EXPECT_EQ(hero_->GetCurrentX(), 4);
    EXPECT_LT(bot->GetCatchDelay(), CElementAIBot::kCatchDelay);

    // As the play screen takes back a lost move.
    CElement::ClearLevelExited();
    CElement::LoadUndoStep(true);
    EXPECT_FALSE(CElement::IsProfessorCaught());
    EXPECT_EQ(hero_->GetCurrentX(), heroX);
    EXPECT_EQ(hero_->GetCurrentY(), 8);
    EXPECT_TRUE(hero_->HasGravity());
    EXPECT_EQ(CElement::GetElementAt(heroX, 8), hero_);
    EXPECT_EQ(bot->GetCurrentX(), botX);
    EXPECT_EQ(bot->GetPixelX(), botPixelX);
    EXPECT_FALSE(bot->caughtFromLeft || bot->caughtFromRight || hero_->caughtFromLeft || hero_->caughtFromRight);
    EXPECT_TRUE(bot->IsActive());
    EXPECT_EQ(bot->GetCatchDelay(), CElementAIBot::kCatchDelay);
    // Its keys are its brain's, not a player's: held as they were.
    EXPECT_TRUE(bot->IsKeyHeld(CElementAI::KEY_LEFT));

    EXPECT_TRUE(RunUntil([&] { return run_->IsEnded(); }, 400));
    EXPECT_EQ(run_->GetResult(), "caught");
    EXPECT_EQ(bot->GetCurrentX(), heroX + 1);
}

}  // namespace
