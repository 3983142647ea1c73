// The pointer sprites: creation, the hide count frame by frame, the
// hourglass, placing and warping.
#include <gtest/gtest.h>

#include <SDL.h>

#include "engine/CInput.h"
#include "engine/CMouse.h"
#include "engine/CSprite.h"
#include "tests/engine/SpriteTestSupport.h"

using namespace spritetest;

namespace {

class MouseTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(OpenVideo());
        ResetWorld();
        CInput::Reset();
        // Events a display test before left (a new video mode moves the
        // pointer) are none of these tests' business.
        SDL_Event e;
        while (SDL_PollEvent(&e)) {
        }
        MakeImage("mousepointer.tga", 16, 24, 255, 255, 255);
        MakeImage("hourglass.tga", 32, 32, 255, 255, 0);
        mouse = new CMouse();
    }
    void TearDown() override {
        delete mouse;
        SDL_Event e;
        while (SDL_PollEvent(&e)) {
        }
        CInput::Reset();
        EndWorld();
    }
    static bool ArrowShown() { return !CMouse::GetArrow()->IsHidden(); }
    CMouse* mouse = nullptr;
};

TEST_F(MouseTest, StartsHiddenAndTheFirstUpdateShowsTheArrow) {
    ASSERT_NE(CMouse::GetArrow(), nullptr);
    EXPECT_STREQ(CMouse::GetArrow()->GetName(), "Global Mouse Pointer");
    EXPECT_STREQ(CMouse::GetHourglass()->GetName(), "Global Hourglass Pointer");
    EXPECT_EQ(CMouse::GetArrow()->GetType(), LAYER_MOUSE);
    EXPECT_EQ(CMouse::GetHourglass()->GetType(), LAYER_MOUSE);
    EXPECT_TRUE(IsMousePointerHidden());
    EXPECT_EQ(CMouse::GetHideCount(), -1);
    UpdateMousePointer();
    EXPECT_TRUE(ArrowShown());
    EXPECT_TRUE(CMouse::GetHourglass()->IsHidden());
}

TEST_F(MouseTest, SmallerHideCountNeverShortensAPendingOne) {
    HideMousePointer(5);
    HideMousePointer(2);
    EXPECT_EQ(CMouse::GetHideCount(), 5);
    for (int i = 1; i <= 6; ++i) {
        UpdateMousePointer();
        EXPECT_FALSE(ArrowShown()) << "update " << i;
    }
    UpdateMousePointer();
    EXPECT_TRUE(ArrowShown());
}

TEST_F(MouseTest, HideForOneFrameLastsTwoUpdates) {
    UpdateMousePointer();
    HideMousePointer(1);
    EXPECT_TRUE(IsMousePointerHidden());
    UpdateMousePointer();
    UpdateMousePointer();
    EXPECT_FALSE(ArrowShown());
    UpdateMousePointer();
    EXPECT_TRUE(ArrowShown());
}

TEST_F(MouseTest, HideMinusOneLastsUntilTheNextUpdate) {
    UpdateMousePointer();
    HideMousePointer(kHideUntilNextUpdate);
    EXPECT_TRUE(IsMousePointerHidden());
    UpdateMousePointer();
    EXPECT_TRUE(ArrowShown());
}

TEST_F(MouseTest, HourglassWhileTheArrowIsHiddenKeepsTheArrowHidden) {
    ShowHourglass(true);
    EXPECT_FALSE(CMouse::GetHourglass()->IsHidden());
    EXPECT_FALSE(ArrowShown());
    EXPECT_FALSE(IsMousePointerHidden());
}

TEST_F(MouseTest, HourglassReplacesAVisibleArrowUntilTheNextUpdate) {
    UpdateMousePointer();
    ShowHourglass(false);
    EXPECT_FALSE(ArrowShown());
    EXPECT_FALSE(CMouse::GetHourglass()->IsHidden());
    UpdateMousePointer();
    EXPECT_TRUE(ArrowShown());
    EXPECT_TRUE(CMouse::GetHourglass()->IsHidden());
}

TEST_F(MouseTest, PlacesTheArrowAtTheMouseAndCentresTheHourglass) {
    SetMouseX(100);
    SetMouseY(100);
    PlaceMousePointer();
    EXPECT_EQ(CMouse::GetArrow()->GetX(false), 100);
    EXPECT_EQ(CMouse::GetArrow()->GetY(false), 100);
    EXPECT_EQ(CMouse::GetHourglass()->GetX(false), 90);
    EXPECT_EQ(CMouse::GetHourglass()->GetY(false), 85);
}

TEST_F(MouseTest, WarpClampsToTheScreenInRelativeMode) {
    SetSystemPointer(false);
    WarpMouse(-5, 700);
    EXPECT_EQ(GetMouseX(), 0);
    EXPECT_EQ(GetMouseY(), 600);
    EXPECT_EQ(GetMouseFloatX(), 0.0f);
    WarpMouse(900, 300);
    EXPECT_EQ(GetMouseX(), 800);
    EXPECT_EQ(GetMouseY(), 300);
    SDL_Event e;
    int motions = 0;
    while (SDL_PollEvent(&e)) {
        if (e.type == SDL_MOUSEMOTION) {
            ++motions;
            EXPECT_EQ(e.motion.xrel, 1);
            EXPECT_EQ(e.motion.yrel, 1);
        }
    }
    EXPECT_EQ(motions, 2);
}

TEST_F(MouseTest, SystemPointerTakesOverWhereTheGamesPointerStands) {
    SetSystemPointer(false);
    SetMouseX(304);
    SetMouseY(198);
    SetSystemPointer(true);
    SDL_Event e;
    bool warped = false;
    while (SDL_PollEvent(&e))
        if (e.type == SDL_MOUSEMOTION && e.motion.x == 304 && e.motion.y == 198) warped = true;
    EXPECT_TRUE(warped);
}

TEST_F(MouseTest, WarpFollowsTheSystemPointerWithAnAbsoluteMotion) {
    SetSystemPointer(true);
    WarpMouse(900, -3);
    SDL_Event e;
    bool seen = false;
    while (SDL_PollEvent(&e)) {
        if (e.type == SDL_MOUSEMOTION && e.motion.x == 800 && e.motion.y == 0) seen = true;
    }
    EXPECT_TRUE(seen);
}

TEST_F(MouseTest, DetachAndAttach) {
    CSprite other(LAYER_OBJECT, 0, false);
    DetachMousePointer();
    ASSERT_EQ(GetSpriteList().size(), 1u);
    AttachMousePointer();
    ASSERT_EQ(GetSpriteList().size(), 3u);
    EXPECT_EQ(GetSpriteList()[1], CMouse::GetArrow());
    EXPECT_EQ(GetSpriteList()[2], CMouse::GetHourglass());
}

TEST_F(MouseTest, DestructionTakesBothSpritesAway) {
    delete mouse;
    mouse = nullptr;
    EXPECT_EQ(CMouse::GetArrow(), nullptr);
    EXPECT_TRUE(GetSpriteList().empty());
    EXPECT_TRUE(IsMousePointerHidden());
    UpdateMousePointer();  // nothing to show, no crash
    PlaceMousePointer();
}

}  // namespace
