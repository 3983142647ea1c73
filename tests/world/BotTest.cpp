// Bots in the world, run headless frame by frame the way the play screen
// runs a level: small levels in our level source format, the hero steered
// by the level's recorded keys.
#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "tests/support/WorldTestSupport.h"
#include "tools/levels/CLevelSource.h"
#include "world/CElementAIBot.h"
#include "world/CElementAIProfessor.h"
#include "world/CLevel.h"
#include "world/CWorldRun.h"

namespace {

// The level source of a picture: rows from the top, each padded with empty
// cells to 32, missing rows empty; states likewise ('.' normal, 'f' frozen,
// 'h' heated); solution lines "frame key down|up".
std::string LevelSource(const std::vector<std::string>& rows, const std::vector<std::string>& states,
                        const std::vector<std::string>& solution) {
    auto picture = [](const std::vector<std::string>& lines) {
        std::string out;
        for (int y = 0; y < CElement::kGridHeight; ++y) {
            std::string row = y < static_cast<int>(lines.size()) ? lines[y] : "";
            row.resize(CElement::kGridWidth, '.');
            out += row + "\n";
        }
        return out;
    };
    std::string text = "heading: bots\nbackground: 0\ntiles:\n" + picture(rows);
    if (!states.empty()) text += "states:\n" + picture(states);
    if (!solution.empty()) {
        text += "solution:\n";
        for (const std::string& line : solution) text += line + "\n";
    }
    return text;
}

class BotTest : public worldtest::WorldTest {
protected:
    struct Level {
        std::vector<std::string> rows;
        std::vector<std::string> states;
        std::vector<std::string> solution;
    };

    void Start(const Level& level) {
        std::string error;
        ASSERT_TRUE(CLevelSource::Parse(LevelSource(level.rows, level.states, level.solution), &level_, &error))
            << error;
        run_ = std::make_unique<CWorldRun>(&level_);
        ASSERT_TRUE(run_->Start(&error)) << error;
        hero_ = dynamic_cast<CElementAIProfessor*>(CElement::GetHero());
        ASSERT_NE(hero_, nullptr);
    }

    void TearDown() override {
        run_.reset();
        worldtest::WorldTest::TearDown();
    }

    // Runs frames while every world invariant holds.
    void Frames(int n) {
        for (int i = 0; i < n; ++i) {
            run_->StepFrame();
            std::string what;
            ASSERT_TRUE(CWorldRun::CheckWorld(&what)) << "frame " << run_->GetFrame() << ": " << what;
        }
    }
    // Runs until the condition holds, at most maxFrames; true when it held.
    template <class Condition>
    bool RunUntil(int maxFrames, Condition done) {
        for (int i = 0; i < maxFrames && !done(); ++i) {
            Frames(1);
            if (HasFatalFailure()) return false;
        }
        return done();
    }

    static CElementAIBot* BotAt(int x, int y) { return dynamic_cast<CElementAIBot*>(CElement::GetElementAt(x, y)); }
    static std::string Shown(const CElement* e) { return e->GetSprite() ? e->GetSprite()->GetName() : ""; }

    CLevel level_;
    std::unique_ptr<CWorldRun> run_;
    CElementAIProfessor* hero_ = nullptr;
};

// The hero drops from a ledge into the row of a bot that faces him: the bot
// sees him, runs to him and catches him, and the level ends as caught. A bot
// that faces away from him never wakes, however close.
TEST_F(BotTest, ABotThatSeesTheHeroOnItsRowChasesAndCatchesHim) {
    ASSERT_NO_FATAL_FAILURE(Start({{
                                       "",
                                       "",
                                       "",
                                       "",
                                       "..S",
                                       "#####",
                                       "",
                                       "",
                                       "(.............(",
                                       "################",
                                   },
                                   {},
                                   {"60 right down", "80 right up"}}));
    CElementAIBot* chaser = BotAt(14, 8);
    CElementAIBot* facingAway = BotAt(0, 8);
    ASSERT_TRUE(chaser && facingAway);
    EXPECT_EQ(Shown(chaser), "Bot Stand Left");

    // On the ledge the hero is in another row: nobody sees him.
    ASSERT_NO_FATAL_FAILURE(Frames(80));
    EXPECT_FALSE(chaser->IsActive());
    EXPECT_EQ(hero_->GetCurrentY(), 4);

    EXPECT_TRUE(RunUntil(60, [&] { return chaser->IsActive(); }));
    EXPECT_EQ(hero_->GetCurrentY(), 8);
    EXPECT_TRUE(RunUntil(200, [&] { return CElement::IsProfessorCaught(); }));
    EXPECT_EQ(chaser->GetCurrentX(), hero_->GetCurrentX() + 1);
    EXPECT_TRUE(chaser->caughtFromRight && hero_->caughtFromRight);
    EXPECT_TRUE(RunUntil(400, [&] { return run_->IsEnded(); }));
    EXPECT_EQ(run_->GetResult(), "caught");
    EXPECT_EQ(Shown(chaser), "Bot Capture Right");
    EXPECT_FALSE(facingAway->IsActive());
    EXPECT_EQ(facingAway->GetCurrentX(), 0);
}

}  // namespace
