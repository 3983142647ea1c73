// Progress in the level sets: the unlock walk, set totals, recording a
// finish, the step counter and the records of extra levels.
#include "players/CProfile.h"
#include "tests/players/ProfileTestHelpers.h"

namespace {

using ProfileProgressTest = ProfileFilesFixture;

TEST_F(ProfileProgressTest, FreshProgressIsLockedAndTheWalkOpensLevelZero) {
    CProfile p;
    p.Reset();
    for (int set = 0; set < 3; ++set) {
        for (int level = 0; level < CProfile::GetSetLevelCount(set); ++level) {
            ASSERT_TRUE(p.IsLevelLocked(set, level));
            ASSERT_EQ(p.GetLevelSteps(set, level, true), -1);
        }
    }
    EXPECT_EQ(p.UnlockNextLevel(), 0);
    EXPECT_EQ(p.GetLevelSteps(0, 0, false), 0);
    EXPECT_FALSE(p.IsLevelLocked(0, 0));
    EXPECT_TRUE(p.IsLevelLocked(0, 1));
    EXPECT_EQ(CProfile::GetSetLevelCount(0), 111);
    EXPECT_EQ(CProfile::GetSetLevelCount(1), 50);
    EXPECT_EQ(CProfile::GetSetLevelCount(2), 81);
    EXPECT_EQ(CProfile::GetSetLevelCount(3), 0);
    EXPECT_EQ(CProfile::GetSetLevelCount(-1), 0);
}

TEST_F(ProfileProgressTest, TutorialLevelOpensWithTheNextOneAndTheOptionPicksWhichIsCurrent) {
    CProfile p;
    p.Reset();
    p.SetLevelSteps(20, 0, 0);
    p.SetTutorialLevelsEnabled(0);
    EXPECT_EQ(p.UnlockNextLevel(), 2);
    EXPECT_EQ(p.GetLevelSteps(0, 1, false), 0);
    EXPECT_EQ(p.GetLevelSteps(0, 2, false), 0);

    p.Reset();
    p.SetLevelSteps(20, 0, 0);
    EXPECT_EQ(p.UnlockNextLevel(), 1);
    EXPECT_EQ(p.GetPreviousLevel(), 0);
}

TEST_F(ProfileProgressTest, OpenTutorialWithTheNextLevelSolvedIsPassedOver) {
    CProfile p;
    p.Reset();
    p.SetLevelSteps(20, 0, 0);
    p.SetLevelSteps(0, 0, 1);
    p.SetLevelSteps(15, 0, 2);
    EXPECT_EQ(p.UnlockNextLevel(), 3);
    EXPECT_EQ(p.GetLevelSteps(0, 1, false), 0);
}

TEST_F(ProfileProgressTest, WalkNeverWipesTheResultOfTheLevelAfterATutorial) {
    CProfile p;
    p.Reset();
    p.SetLevelSteps(20, 0, 0);
    p.SetLevelSteps(15, 0, 2);  // tutorial level 1 still locked
    EXPECT_EQ(p.UnlockNextLevel(), 1);
    EXPECT_EQ(p.GetLevelSteps(0, 1, false), 0);
    EXPECT_EQ(p.GetLevelSteps(0, 2, false), 15);
}

TEST_F(ProfileProgressTest, SetTotalsCountOnlyTheUnbrokenRunOfNonTutorialLevels) {
    CProfile p;
    p.Reset();
    for (int level = 0; level < 12; ++level) p.SetLevelSteps(10 + level, 0, level);
    p.SetLevelSteps(0, 0, 12);
    p.SetLevelSteps(99, 0, 13);  // after the gap: not counted
    EXPECT_EQ(p.GetSetSolvedCount(0), 6);
    EXPECT_EQ(p.GetSetPercent(0), 7);
    EXPECT_EQ(p.GetSetSteps(0), 10 + 12 + 14 + 16 + 18 + 20);
    EXPECT_EQ(p.GetSetSolvedCount(1), 0);
    EXPECT_EQ(p.GetSetPercent(5), 0);
    p.CompleteSet(2, 1);
    EXPECT_EQ(p.GetSetPercent(2), 100);
    EXPECT_EQ(p.IsSetCompleted(2), 1);
    p.CompleteSet(1, 0x7FFFFFFF);
    EXPECT_EQ(p.GetSetSteps(1), 0x7FFFFFFF);  // clamped, never wrapped
}

TEST_F(ProfileProgressTest, CompletedSetStepsThroughInOrderSkippingTutorialsWhenAsked) {
    CProfile p;
    p.Reset();
    p.CompleteSet(0, 5);
    p.SetCurrentSet(0);
    p.SetCurrentLevel(110);
    EXPECT_EQ(p.UnlockNextLevel(), 0);
    p.SetTutorialLevelsEnabled(0);
    EXPECT_EQ(p.UnlockNextLevel(), 2);
    p.SetTutorialLevelsEnabled(1);
    EXPECT_EQ(p.UnlockNextLevel(), 3);
    EXPECT_EQ(p.GetLevelSteps(0, 3, false), 5);
}

TEST_F(ProfileProgressTest, ResetSetLocksEverythingButLevelZero) {
    CProfile p;
    p.CompleteSet(1, 7);
    p.ResetSet(1);
    EXPECT_EQ(p.IsSetCompleted(1), 0);
    EXPECT_EQ(p.GetCurrentSet(), 1);
    EXPECT_EQ(p.GetCurrentLevel(), 0);
    EXPECT_EQ(p.GetLevelSteps(1, 0, false), 0);
    EXPECT_TRUE(p.IsLevelLocked(1, 49));
}

TEST_F(ProfileProgressTest, FinishWithMoreStepsChangesNothingAndFewerStepsSaves) {
    CProfile p;
    p.SetCurrentSet(1);
    p.SetLevelSteps(50, 1, 0);
    ASSERT_TRUE(p.Save());
    const std::vector<uint8_t> before = ReadFileBytes(ProfilePath(0));
    p.SetStepCount(60);
    EXPECT_TRUE(p.RecordSetLevelSteps());
    EXPECT_EQ(p.GetStepCount(false), 50);
    EXPECT_EQ(p.GetLevelSteps(1, 0, false), 50);
    EXPECT_EQ(ReadFileBytes(ProfilePath(0)), before);

    p.SetStepCount(40);
    EXPECT_TRUE(p.RecordSetLevelSteps());
    EXPECT_EQ(p.GetLevelSteps(1, 0, false), 40);
    EXPECT_EQ(p.GetLevelSteps(1, 0, true), 40);
    EXPECT_EQ(I32At(ReadFileBytes(ProfilePath(0)), CProfileBase::kOptionsBlockSize + 508), 40);
}

TEST_F(ProfileProgressTest, StepCounterCapsOnSetButNotOnIncrement) {
    CProfile p;
    EXPECT_EQ(p.GetStepCount(true), 0);
    p.SetStepCount(123456);
    EXPECT_EQ(p.GetStepCount(true), 99999);
    p.IncrementStepCount();
    EXPECT_EQ(p.GetStepCount(true), 100000);
    p.SetStepCount(7);
    p.IncrementStepCount();
    EXPECT_EQ(p.GetStepCount(true), 8);
}

TEST_F(ProfileProgressTest, CustomLevelRecords) {
    CProfile p;
    p.SetStepCount(30);
    ASSERT_TRUE(p.RecordCustomLevelSteps("mine.lvl"));
    LevelRecord r = p.GetLevelRecord("mine.lvl");
    EXPECT_EQ(r.played, 1);
    EXPECT_EQ(r.completed, 1);
    EXPECT_EQ(r.bestSteps, 30);
    EXPECT_EQ(p.GetStepCount(false), 0);
    p.SetStepCount(45);
    ASSERT_TRUE(p.RecordCustomLevelSteps("mine.lvl"));
    EXPECT_EQ(p.GetLevelRecord("mine.lvl").bestSteps, 30);
    EXPECT_EQ(p.GetStepCount(false), 30);
    ASSERT_TRUE(p.SetLevelRecordPlayed("other.lvl", 1));
    r = p.GetLevelRecord("other.lvl");
    EXPECT_EQ(r.played, 1);
    EXPECT_EQ(r.completed, 0);
    r = p.TakeLevelRecord("other.lvl");
    EXPECT_EQ(r.played, 1);
    EXPECT_EQ(p.GetLevelRecord("other.lvl").played, 0);
    ASSERT_TRUE(p.ClearLevelRecords());
    EXPECT_TRUE(p.GetLevelRecords().empty());
}

TEST_F(ProfileProgressTest, OutOfRangeSetsAndLevelsAreIgnoredAndMinusOneMeansCurrent) {
    CProfile p;
    p.SetLevelSteps(5, 3, 0);
    p.SetLevelSteps(5, 0, 111);
    p.SetLevelSteps(5, -2, 0);
    EXPECT_EQ(p.GetLevelSteps(3, 0, true), -1);
    EXPECT_EQ(p.GetLevelSteps(0, 500, false), -1);
    EXPECT_TRUE(p.IsLevelLocked(9, 9));
    EXPECT_FALSE(p.IsLevelSolved(9, 9));
    p.SetCurrentSet(2);
    p.SetCurrentLevel(4);
    p.SetLevelSteps(17, -1, -1);
    EXPECT_EQ(p.GetLevelSteps(2, 4, false), 17);
    EXPECT_EQ(p.GetLevelSteps(-1, -1, true), 17);
    p.SetSetCompleted(1, -1);
    EXPECT_EQ(p.IsSetCompleted(2), 1);
    p.SetCurrentSet(7);
    EXPECT_EQ(p.UnlockNextLevel(), 0);
    EXPECT_FALSE(p.RecordSetLevelSteps());
    p.SetCurrentSet(0);
}

TEST_F(ProfileProgressTest, DefaultKeysAndOptionFlags) {
    CProfile p;
    p.SetKeyBinding(0, 300);
    p.SetStoryEnabled(0);
    p.Reset();
    EXPECT_EQ(p.GetKeyBinding(KEYACTION_RESTART), 114);
    EXPECT_EQ(p.GetKeyBinding(KEYACTION_TURN), 102);
    EXPECT_EQ(p.GetKeyBinding(KEYACTION_POWERUP1 + 8), 57);
    EXPECT_EQ(p.IsStoryEnabled(), 1);
    p.SetSoundVolume(3);
    p.SetGameSpeed(2);
    p.ResetOptions();
    EXPECT_EQ(p.GetSoundVolume(), 6);
    EXPECT_EQ(p.GetGameSpeed(), 6);
}

}  // namespace
