// The tutorials of the shipped regular set: each one is designed (not a
// generated stand-in), shows the sign text of its own number, and its stored
// solution walks the hero over that sign before he reaches the exit, in a few
// key presses.
#include <gtest/gtest.h>

#include <set>
#include <string>

#include "tests/support/WorldTestSupport.h"
#include "world/CElement.h"
#include "world/CLevel.h"
#include "world/CLevelSet.h"
#include "world/CWorldRun.h"
#include "world/pieces/SignDirective.h"

namespace {

// Tutorial Tn shows string-table text 5000 + n.
constexpr int kTutorialTextBase = 5000;
// A tutorial is solved in a few moves.
constexpr int kMostKeyPresses = 8;

}  // namespace

TEST(TutorialLevels, EachHeroReadsHisOwnSignOnTheWayToTheExit) {
    worldtest::EnsureHeadlessWorld();
    CLevelSet* set = CLevelSet::GetSet(0);
    ASSERT_NE(set, nullptr);
    std::set<std::string> headings;
    int tutorials = 0;
    for (int i = 0; i < set->GetLevelCount(); ++i) {
        if (!IsTutorialLevel(0, i)) continue;
        ++tutorials;
        SCOPED_TRACE("reg:" + std::to_string(i) + " (T" + std::to_string(tutorials) + ")");
        CLevel* level = set->GetLevel(i);
        EXPECT_TRUE(headings.insert(level->GetHeadingText()).second) << "a second tutorial is named "
                                                                     << level->GetHeadingText();

        int signs = 0, signX = -1, signY = -1;
        for (int x = 0; x < CLevel::kWidth; ++x) {
            for (int y = 0; y < CLevel::kHeight; ++y) {
                if (level->GetTile(x, y) != TUTORIAL) continue;
                ++signs;
                signX = x;
                signY = y;
                const char* text = level->GetTutorialText(x, y);
                ASSERT_NE(text, nullptr);
                const SignDirective d = ReadSignDirective(text);
                ASSERT_GE(d.parts, 1) << text;
                EXPECT_EQ(d.body, kTutorialTextBase + tutorials);
            }
        }
        EXPECT_EQ(signs, 1);

        int presses = 0;
        for (const ReplayKey& k : level->GetSolution()) presses += k.released ? 0 : 1;
        ASSERT_GT(presses, 0) << "no stored solution";
        EXPECT_LE(presses, kMostKeyPresses);

        CWorldRun run(level);
        std::string error;
        ASSERT_TRUE(run.Start(&error)) << error;
        int readAt = -1;
        while (!run.IsEnded() && run.GetFrame() < 20000) {
            run.StepFrame();
            const CElement* hero = CElement::GetHero();
            if (readAt < 0 && hero && hero->GetCurrentX() == signX && hero->GetCurrentY() == signY) {
                readAt = run.GetFrame();
            }
        }
        EXPECT_EQ(run.GetResult(), "exited");
        EXPECT_GE(readAt, 0) << "the hero never stands on the sign at (" << signX << "," << signY << ")";
    }
    EXPECT_EQ(tutorials, 26);
}
