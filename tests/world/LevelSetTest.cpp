// The three level sets: the tables of tutorial levels, story pages and last
// levels, the labels, the cursor, and filing levels by name prefix.
#include <gtest/gtest.h>

#include "world/CLevel.h"
#include "world/CLevelSet.h"

namespace {

class LevelSetTest : public ::testing::Test {
protected:
    void SetUp() override { CLevelSet::FreeAll(); }
    void TearDown() override { CLevelSet::FreeAll(); }

    static void Fill(const char* prefix, int count) {
        for (int i = 0; i < count; ++i) {
            auto* level = new CLevel();
            const std::string name = prefix + std::to_string(i);
            level->SetHeadingText(name.c_str());
            ASSERT_TRUE(CLevelSet::loadLevel(name, level));
        }
    }
};

TEST_F(LevelSetTest, LabelsCountTutorialsApart) {
    Fill("reg", 111);
    Fill("adv", 50);
    Fill("kid", 81);
    CLevelSet::BuildLevelLabels();
    EXPECT_EQ(CLevelSet::GetLevelLabel(0, 0), "1");
    EXPECT_EQ(CLevelSet::GetLevelLabel(0, 1), "T1");
    EXPECT_EQ(CLevelSet::GetLevelLabel(0, 2), "2");
    EXPECT_EQ(CLevelSet::GetLevelLabel(0, 3), "T2");
    EXPECT_EQ(CLevelSet::GetLevelLabel(0, 13), "8");
    EXPECT_EQ(CLevelSet::GetLevelLabel(0, 14), "T7");
    EXPECT_EQ(CLevelSet::GetLevelLabel(0, 90), "T26");
    EXPECT_EQ(CLevelSet::GetLevelLabel(0, 110), "85");
    EXPECT_EQ(CLevelSet::GetLevelLabel(1, 0), "1");
    EXPECT_EQ(CLevelSet::GetLevelLabel(1, 49), "50");
    EXPECT_EQ(CLevelSet::GetLevelLabel(2, 80), "81");
    // Outside the sets: no label rather than a stray read.
    EXPECT_EQ(CLevelSet::GetLevelLabel(0, 111), "");
    EXPECT_EQ(CLevelSet::GetLevelLabel(0, -1), "");
    EXPECT_EQ(CLevelSet::GetLevelLabel(3, 0), "");
}

TEST_F(LevelSetTest, PrefixChoosesTheSetAndOthersAreDropped) {
    ASSERT_TRUE(CLevelSet::loadLevel("kid07", new CLevel()));
    ASSERT_TRUE(CLevelSet::loadLevel("adv01", new CLevel()));
    EXPECT_FALSE(CLevelSet::loadLevel("xyz01", new CLevel()));
    EXPECT_FALSE(CLevelSet::loadLevel("re", new CLevel()));
    EXPECT_EQ(CLevelSet::GetSet(0)->GetLevelCount(), 0);
    EXPECT_EQ(CLevelSet::GetSet(1)->GetLevelCount(), 1);
    EXPECT_EQ(CLevelSet::GetSet(2)->GetLevelCount(), 1);
    EXPECT_EQ(CLevelSet::GetSet(3), nullptr);
    EXPECT_EQ(CLevelSet::GetSet(-1), nullptr);
}

TEST_F(LevelSetTest, CursorStaysInsideTheSet) {
    Fill("adv", 3);
    CLevelSet* set = CLevelSet::GetSet(1);
    EXPECT_EQ(set->GetCurrentIndex(), 0);
    EXPECT_STREQ(set->GetCurrentLevel()->GetHeadingText(), "adv0");
    EXPECT_STREQ(set->PreviousLevel()->GetHeadingText(), "adv0");
    EXPECT_EQ(set->GetCurrentIndex(), 0);
    EXPECT_STREQ(set->NextLevel()->GetHeadingText(), "adv1");
    EXPECT_STREQ(set->NextLevel()->GetHeadingText(), "adv2");
    EXPECT_STREQ(set->NextLevel()->GetHeadingText(), "adv2");
    EXPECT_EQ(set->GetCurrentIndex(), 2);
    EXPECT_STREQ(set->SetCurrentLevel(1)->GetHeadingText(), "adv1");
    EXPECT_STREQ(set->SetCurrentLevel(99)->GetHeadingText(), "adv2");
    EXPECT_STREQ(set->SetCurrentLevel(-5)->GetHeadingText(), "adv0");
    EXPECT_EQ(set->GetLevel(3), nullptr);
    // An empty set answers null instead of reading outside.
    CLevelSet* empty = CLevelSet::GetSet(0);
    EXPECT_EQ(empty->GetCurrentLevel(), nullptr);
    EXPECT_EQ(empty->NextLevel(), nullptr);
    EXPECT_EQ(empty->GetCurrentIndex(), 0);
}

TEST_F(LevelSetTest, FreeAllEmptiesButKeepsTheSets) {
    Fill("reg", 2);
    CLevelSet::BuildLevelLabels();
    CLevelSet* set = CLevelSet::GetSet(0);
    CLevelSet::FreeAll();
    EXPECT_EQ(CLevelSet::GetSet(0), set);
    EXPECT_EQ(set->GetLevelCount(), 0);
    EXPECT_EQ(CLevelSet::GetLevelLabel(0, 0), "");
}

}  // namespace
