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

struct TakeBackTotals {
    int movesTakenBack = 0;
    int takenBackMidway = 0;
    int endsTakenBack = 0;
    int endsReplayed = 0;
};

// Plays one level's solution with its moves taken back, as the test below
// describes: each pass of Play hands over the records due, or steps the
// world and then takes back what is due to be taken back.
class CTakeBackReplay {
public:
    CTakeBackReplay(CWorldRun* run, const std::vector<ReplayKey>& keys, CUndoWatch* watch, TakeBackTotals* totals)
        : run_(run), keys_(keys), watch_(watch), totals_(totals), frameLimit_(4 * keys.back().frame + 4000) {}

    // Until the end has been taken back and played again (or cannot be),
    // an undo brings back something else than its step, or the frame limit.
    void Play() {
        while (run_->GetFrame() < frameLimit_ && watch_->GetDifference().empty()) {
            if (HandOverDueRecords()) continue;
            StepWorld();
            if (TakeBackMidway()) continue;
            if (run_->IsEnded() && !TakeBackTheEnd()) break;
        }
    }
    bool IsEndTakenBack() const { return endTakenBack_; }
    // Whether the run is to have reached the exit: not when its end was
    // taken back to a step that cannot be played again.
    bool ShouldHaveExited() const { return shouldHaveExited_; }

private:
    // Where the step last saved can be played again from: the next record to
    // hand over and the solution's frame; invalid for a step saved inside a
    // world step.
    struct Resume {
        bool valid = false;
        size_t record = 0;
        int time = 0;
    };

    // Hands over the records due by the solution's clock. The first time a
    // record saves a step a new move begins: the move before it is taken
    // back and true returned (the new move's record is handed over again
    // after the first undo, or play resumes where the move before began).
    // Handed over again, it marks where its move can be replayed from and
    // when it is to be taken back midway.
    bool HandOverDueRecords() {
        for (; next_ < keys_.size() && keys_[next_].frame <= time_; ++next_) {
            const int saves = watch_->GetSaves();
            run_->ApplyKey(keys_[next_].key, keys_[next_].released);
            if (watch_->GetSaves() == saves) continue;
            midwayIn_ = 0;
            if (next_ >= takenBackTo_) {
                takenBackTo_ = next_ + 1;
                Undo();
                if (last_.valid && Undo()) {
                    ResumeAt(last_);
                    ++totals_->movesTakenBack;
                }
                return true;
            }
            last_ = {true, next_, time_};
            if (next_ >= midwayTo_) {
                midwayTo_ = next_ + 1;
                midwayIn_ = 1 + totals_->movesTakenBack % 6;
            }
        }
        return false;
    }

    // One world step. The step saved at the very start of the first world
    // step plays again from that step.
    void StepWorld() {
        const int saves = watch_->GetSaves();
        const bool firstStep = run_->GetFrame() == 0;
        run_->StepFrame();
        ++time_;
        if (watch_->GetSaves() > saves) last_ = {firstStep, next_, time_ - 1}, midwayIn_ = 0;
    }

    // A few frames into a move, while things are on their way.
    bool TakeBackMidway() {
        if (midwayIn_ == 0 || --midwayIn_ > 0 || !last_.valid || run_->IsEnded() || !Undo()) return false;
        ResumeAt(last_);
        ++totals_->takenBackMidway;
        return true;
    }

    // The level ended: the end is taken back once, as the score page does,
    // and played again when its step can be. False: play stops here.
    bool TakeBackTheEnd() {
        if (endTakenBack_) return false;
        endTakenBack_ = true;
        ++totals_->endsTakenBack;
        CElement::ClearLevelExited();
        CElement::LoadUndoStep(true);
        shouldHaveExited_ = last_.valid;
        if (!shouldHaveExited_) return false;
        ResumeAt(last_);
        ++totals_->endsReplayed;
        return true;
    }

    // True when the undo went back to a step (and was compared with it).
    bool Undo() {
        const int compared = watch_->GetCompared();
        CElement::LoadUndoStep(false);
        return watch_->GetCompared() > compared;
    }

    void ResumeAt(const Resume& resume) { next_ = resume.record, time_ = resume.time; }

    CWorldRun* run_;
    const std::vector<ReplayKey>& keys_;
    CUndoWatch* watch_;
    TakeBackTotals* totals_;
    const int frameLimit_;
    Resume last_;
    size_t next_ = 0;         // the next record to hand over
    int time_ = 1;            // the solution's frame
    size_t takenBackTo_ = 0;  // records below it began moves already taken back
    size_t midwayTo_ = 0;     // records below it began moves already timed for a midway undo
    int midwayIn_ = 0;        // frames until the midway undo; 0 for none
    bool endTakenBack_ = false;
    bool shouldHaveExited_ = true;
};

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
    TakeBackTotals totals;
    int levels = 0;
    for (int s = 0; s < CLevelSet::kSetCount; ++s) {
        CLevelSet* set = CLevelSet::GetSet(s);
        for (int i = 0; i < set->GetLevelCount(); ++i) {
            CLevel* level = set->GetLevel(i);
            if (level->GetSolution().empty()) continue;
            CWorldRun run(level);
            run.SetKeys({});
            std::string error;
            ASSERT_TRUE(run.Start(&error)) << kSetNames[s] << ":" << i << ": " << error;
            if (!HoldsTeleportsButtonsOrBots()) continue;
            ++levels;
            CTakeBackReplay replay(&run, level->GetSolution(), &watch, &totals);
            replay.Play();
            ASSERT_EQ(watch.GetDifference(), "")
                << kSetNames[s] << ":" << i << ", frame " << run.GetFrame() << ": undo did not bring back the "
                << watch.GetDifference();
            EXPECT_TRUE(replay.IsEndTakenBack()) << kSetNames[s] << ":" << i;
            if (replay.ShouldHaveExited()) {
                EXPECT_EQ(run.GetResult(), "exited") << kSetNames[s] << ":" << i << " after " << run.GetFrame();
            }
        }
    }
    printf("%d levels with teleports, buttons or bots: %d moves taken back and made again (%d also midway), %d "
           "ends taken back and %d of them played to the exit again, %d undos compared whole with their step\n",
           levels, totals.movesTakenBack, totals.takenBackMidway, totals.endsTakenBack, totals.endsReplayed,
           watch.GetCompared());
    EXPECT_GT(totals.movesTakenBack, levels);
    EXPECT_GT(totals.takenBackMidway, levels);
    EXPECT_GT(totals.endsReplayed, levels / 2);
}
