// Every level of the shipped pack that carries a solution plays it back to
// the exit through the level runner, with the world's invariants checked
// after every frame; and in the levels with teleports, buttons or bots every
// move of the solution is taken back and made again.
#include <gtest/gtest.h>

#include <cstdio>
#include <string>
#include <vector>

#include "tests/support/UndoWatch.h"
#include "tests/support/WorldTestSupport.h"
#include "world/CElement.h"
#include "world/CLevel.h"
#include "world/CLevelSet.h"
#include "world/CWorldRun.h"

namespace {

const char* const kSetNames[CLevelSet::kSetCount] = {"reg", "adv", "kid"};

bool HoldsTeleportsButtonsOrBots() {
    for (const CElement* e : CElement::GetAllElements())
        if (e->IsTeleport() || e->IsBot() || (e->IsDevice() && e->typeDevice == DEVICE_KIND_BUTTON)) return true;
    return false;
}

}  // namespace

TEST(PackSolutions, EveryStoredSolutionReachesTheExit) {
    worldtest::EnsureHeadlessWorld();
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

// The solution's records are handed over by the test, by their own frame
// clock, so that play can go back to where a move began. Each move is taken
// back twice: a few frames into it, while things are on their way, and once
// the next move begins (two undos: to the start of the new move, then to the
// start of the one before). After each undo the whole world must be as it
// was when that step was saved; then the records are handed over again from
// the start of the move taken back. The end is taken back too, as the score
// page does, and the level plays on to its exit again. A move that begins
// inside a world step (a key held through a power-up) cannot be replayed
// from its start: it is taken back only once the next move begins, and then
// not made again.
TEST(PackSolutions, EveryMoveTakenBackComesBackWholeAndTheSolutionStillExits) {
    worldtest::EnsureHeadlessWorld();
    CUndoWatch watch;
    int levels = 0, movesTakenBack = 0, takenBackMidway = 0, endsTakenBack = 0, endsReplayed = 0;
    for (int s = 0; s < CLevelSet::kSetCount; ++s) {
        CLevelSet* set = CLevelSet::GetSet(s);
        for (int i = 0; i < set->GetLevelCount(); ++i) {
            CLevel* level = set->GetLevel(i);
            const std::vector<ReplayKey>& keys = level->GetSolution();
            if (keys.empty()) continue;
            CWorldRun run(level);
            run.SetKeys({});
            std::string error;
            ASSERT_TRUE(run.Start(&error)) << kSetNames[s] << ":" << i << ": " << error;
            if (!HoldsTeleportsButtonsOrBots()) continue;
            ++levels;
            // Where the step last saved can be played again from: the next
            // record to hand over and the solution's frame; invalid for a
            // step saved inside a world step.
            struct Resume {
                bool valid = false;
                size_t record = 0;
                int time = 0;
            } last;
            auto undo = [&watch]() {
                const int compared = watch.GetCompared();
                CElement::LoadUndoStep(false);
                return watch.GetCompared() > compared;
            };
            size_t next = 0, takenBackTo = 0, midwayTo = 0;
            int time = 1, midwayIn = 0;
            bool endTakenBack = false, replaying = true;
            const int frameLimit = 4 * keys.back().frame + 4000;
            while (run.GetFrame() < frameLimit && watch.GetDifference().empty()) {
                bool rewound = false;
                for (; next < keys.size() && keys[next].frame <= time; ++next) {
                    const int saves = watch.GetSaves();
                    run.ApplyKey(keys[next].key, keys[next].released);
                    if (watch.GetSaves() == saves) continue;
                    midwayIn = 0;
                    if (next >= takenBackTo) {
                        // A new move begins: take back the one before it.
                        takenBackTo = next + 1;
                        undo();
                        if (last.valid && undo()) {
                            next = last.record, time = last.time;
                            ++movesTakenBack;
                        }
                        rewound = true;
                        break;
                    }
                    last = {true, next, time};
                    if (next >= midwayTo) {
                        midwayTo = next + 1;
                        midwayIn = 1 + movesTakenBack % 6;
                    }
                }
                if (rewound) continue;
                const int saves = watch.GetSaves();
                const bool firstStep = run.GetFrame() == 0;
                run.StepFrame();
                ++time;
                // The step saved at the very start of the first world step
                // plays again from that step.
                if (watch.GetSaves() > saves) last = {firstStep, next, time - 1}, midwayIn = 0;
                if (midwayIn > 0 && --midwayIn == 0 && last.valid && !run.IsEnded() && undo()) {
                    next = last.record, time = last.time;
                    ++takenBackMidway;
                    continue;
                }
                if (!run.IsEnded()) continue;
                if (endTakenBack) break;
                endTakenBack = true;
                ++endsTakenBack;
                CElement::ClearLevelExited();
                CElement::LoadUndoStep(true);
                replaying = last.valid;
                if (!replaying) break;
                next = last.record, time = last.time;
                ++endsReplayed;
            }
            ASSERT_EQ(watch.GetDifference(), "")
                << kSetNames[s] << ":" << i << ", frame " << run.GetFrame() << ": undo did not bring back the "
                << watch.GetDifference();
            EXPECT_TRUE(endTakenBack) << kSetNames[s] << ":" << i;
            if (replaying) {
                EXPECT_EQ(run.GetResult(), "exited") << kSetNames[s] << ":" << i << " after " << run.GetFrame();
            }
        }
    }
    printf("%d levels with teleports, buttons or bots: %d moves taken back and made again (%d also midway), %d "
           "ends taken back and %d of them played to the exit again, %d undos compared whole with their step\n",
           levels, movesTakenBack, takenBackMidway, endsTakenBack, endsReplayed, watch.GetCompared());
    EXPECT_GT(movesTakenBack, levels);
    EXPECT_GT(takenBackMidway, levels);
    EXPECT_GT(endsReplayed, levels / 2);
}
