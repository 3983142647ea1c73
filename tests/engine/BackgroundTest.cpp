// The level background: its picture by number, the hidden grid and the
// fallback for a number no picture exists for.
#include <gtest/gtest.h>

#include <string>

#include "engine/CBackground.h"
#include "engine/CDraw.h"
#include "engine/CSprite.h"
#include "tests/engine/SpriteTestSupport.h"

using namespace spritetest;

namespace {

class BackgroundTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(OpenVideo());
        ResetWorld();
        for (int i = 0; i < CBackground::kBackgroundCount; ++i) {
            char name[32];
            snprintf(name, sizeof(name), "background%i.jpg", i);
            MakeImage(name, 800, 600, static_cast<Uint8>(i * 30), 0, 0, false);
        }
        MakeImage("grid.png", 768, 576, 255, 255, 255);
    }
    void TearDown() override { EndWorld(); }
};

TEST_F(BackgroundTest, ShowsThePictureOfItsNumberAndHidesTheGrid) {
    CBackground bg(3);
    CSprite* pic = bg.GetBackgroundSprite();
    CSprite* grid = bg.GetGridSprite();
    EXPECT_EQ(pic->GetFrameImage(0), CDraw::FindImage("background3.jpg"));
    EXPECT_EQ(CDraw::GetRefCount("background3.jpg"), 2);
    EXPECT_EQ(pic->GetType(), LAYER_BACKGROUND);
    EXPECT_STREQ(pic->GetName(), "Background");
    EXPECT_FALSE(pic->IsHidden());
    EXPECT_EQ(pic->GetRect(), (Rect{0, 0, 800, 600}));
    EXPECT_EQ(grid->GetType(), LAYER_BACKGROUND_GRID);
    EXPECT_STREQ(grid->GetName(), "Background Debug Grid");
    EXPECT_TRUE(grid->IsHidden());
    EXPECT_EQ(grid->GetOriginX(), -14);
    EXPECT_EQ(grid->GetOriginY(), -13);
    EXPECT_EQ(grid->GetFrameImage(0), CDraw::FindImage("grid.png"));
}

// Each number its own picture, from 0 to the last; a number no picture
// exists for (one past either end, and far off) falls back to picture 0.
TEST_F(BackgroundTest, EachNumberShowsItsPictureAndAnUnknownOneFallsBackToZero) {
    const int last = CBackground::kBackgroundCount - 1;
    const struct {
        int number;
        int picture;
    } rows[] = {{0, 0}, {3, 3}, {last, last}, {last + 1, 0}, {-1, 0}, {1000, 0}};
    for (const auto& r : rows) {
        CBackground bg(r.number);
        const std::string name = "background" + std::to_string(r.picture) + ".jpg";
        EXPECT_EQ(bg.GetBackgroundSprite()->GetFrameImage(0), CDraw::FindImage(name.c_str())) << r.number;
    }
}

TEST_F(BackgroundTest, ToggleTwiceLeavesTheGridHidden) {
    CBackground bg(1);
    bg.ToggleGrid();
    EXPECT_FALSE(bg.GetGridSprite()->IsHidden());
    bg.ToggleGrid();
    EXPECT_TRUE(bg.GetGridSprite()->IsHidden());
}

TEST_F(BackgroundTest, FirstFrameDrawsTheWholePicture) {
    CBackground bg(2);
    bg.GetBackgroundSprite()->Update();
    EXPECT_EQ(CRender::GetDirtyRects(), (std::vector<Rect>{{0, 0, 800, 600}}));
}

TEST_F(BackgroundTest, DestructionReleasesBothPictures) {
    {
        CBackground bg(4);
        EXPECT_EQ(GetSpriteList().size(), 2u);
    }
    EXPECT_TRUE(GetSpriteList().empty());
    EXPECT_EQ(CDraw::GetRefCount("background4.jpg"), 1);
    EXPECT_EQ(CDraw::GetRefCount("grid.png"), 1);
    // It was visible: its place is repainted.
    EXPECT_EQ(CRender::GetDirtyRects().size(), 1u);
}

}  // namespace
