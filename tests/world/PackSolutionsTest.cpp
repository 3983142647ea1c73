// Every level of the shipped pack that carries a solution plays it back to
// the exit through the level runner, with the world's invariants checked
// after every frame.
#include <gtest/gtest.h>

#include <cstdio>
#include <string>

#include "tests/support/WorldTestSupport.h"
#include "world/CLevel.h"
#include "world/CLevelSet.h"
#include "world/CWorldRun.h"

TEST(PackSolutions, EveryStoredSolutionReachesTheExit) {
    worldtest::EnsureHeadlessWorld();
    static const char* const kSetNames[CLevelSet::kSetCount] = {"reg", "adv", "kid"};
    int replayed = 0, levels = 0;
    for (int s = 0; s < CLevelSet::kSetCount; ++s) {
        CLevelSet* set = CLevelSet::GetSet(s);
        ASSERT_NE(set, nullptr);
        for (int i = 0; i < set->GetLevelCount(); ++i) {
            ++levels;
            CLevel* level = set->GetLevel(i);
            if (level->GetSolution().empty()) continue;
            CWorldRun run(level);
            std::string error;
            ASSERT_TRUE(run.Start(&error)) << kSetNames[s] << ":" << i << ": " << error;
            run.Run(20000, true);
            EXPECT_EQ(run.GetFailure(), "") << kSetNames[s] << ":" << i;
            EXPECT_EQ(run.GetResult(), "exited") << kSetNames[s] << ":" << i << " after " << run.GetFrame()
                                                << " frames";
            ++replayed;
        }
    }
    printf("%d of the pack's %d levels carry a solution; each was replayed to its exit\n", replayed, levels);
}
