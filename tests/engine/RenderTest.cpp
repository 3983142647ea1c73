// The dirty-rectangle renderer: marking, merging, clipping and cutting the
// rectangles, painting in order on the headless screen, the swap, and a
// scripted scene whose dirty-rectangle picture must equal a full redraw after
// every frame.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <vector>

#include "engine/CDraw.h"
#include "engine/CInput.h"
#include "engine/CMouse.h"
#include "engine/CRender.h"
#include "engine/CSprite.h"
#include "engine/Log.h"
#include "engine/Utilities.h"
#include "tests/engine/SpriteTestSupport.h"

using namespace spritetest;

namespace {

uint32_t g_ticks = 0;
uint32_t FastTicks() { return g_ticks += 100; }
void NoDelay(uint32_t) {}

class RenderTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(OpenVideo());
        ResetWorld();
        // The dirty-rectangle path, whatever a display test before chose.
        CDraw::ForceFullFlip(0);
        CDraw::SetClock(FastTicks, NoDelay);
        CDraw::SetPresentSuspended(false);
        FakeNow() = 1000;
        CSprite::SetClock(FakeClock);
        ClearScreen();
    }
    void TearDown() override {
        EndWorld();
        CDraw::SetClock(nullptr, nullptr);
    }

    static std::vector<Rect> Sorted(std::vector<Rect> v) {
        std::sort(v.begin(), v.end(), [](const Rect& a, const Rect& b) {
            return a.x != b.x ? a.x < b.x : a.y != b.y ? a.y < b.y : a.w != b.w ? a.w < b.w : a.h < b.h;
        });
        return v;
    }

    static std::vector<Rect> Optimized(std::initializer_list<Rect> in) {
        CRender::ClearDirtyLists();
        for (const Rect& r : in) CRender::AddDirtyRect(r.x, r.y, r.w, r.h);
        CRender::OptimizeDirtyRects();
        return CRender::GetDirtyRects();
    }

    // A visible sprite of one colour.
    static CSprite* Solid(SpriteLayer type, int x, int y, int w, int h, Uint8 r, Uint8 g, Uint8 b) {
        CSprite* s = new CSprite(29, 20, type, 0, false, 1, 1);
        s->AddFrame(MakeImage(nullptr, w, h, r, g, b));
        s->SetPosition(x, y, false);
        s->Show(kSpriteNotDrawn, kSpriteNotDrawn);
        return s;
    }
};

// ---- merging, clipping and cutting ----

TEST_F(RenderTest, MergeKeepsRectanglesWhoseUnionWastesArea) {
    EXPECT_EQ(Sorted(Optimized({{0, 0, 10, 10}, {5, 5, 10, 10}})), Sorted({{0, 0, 10, 10}, {5, 5, 10, 10}}));
}

TEST_F(RenderTest, MergeJoinsRectanglesWhoseUnionWastesNothing) {
    EXPECT_EQ(Optimized({{0, 0, 10, 10}, {0, 5, 10, 10}}), (std::vector<Rect>{{0, 0, 10, 15}}));
}

TEST_F(RenderTest, TouchingRectanglesAreNeverMerged) {
    EXPECT_EQ(Optimized({{0, 0, 10, 10}, {10, 0, 10, 10}}).size(), 2u);
    EXPECT_EQ(Optimized({{0, 0, 10, 10}, {0, 10, 10, 10}}).size(), 2u);
}

TEST_F(RenderTest, MergeRunsUntilNothingMoreJoins) {
    // The third joins the first two only after they have become one.
    EXPECT_EQ(Optimized({{0, 0, 10, 10}, {20, 0, 10, 10}, {5, 0, 20, 10}}), (std::vector<Rect>{{0, 0, 30, 10}}));
}

TEST_F(RenderTest, ClipsToTheScreen) {
    EXPECT_EQ(Optimized({{-10, 590, 30, 30}}), (std::vector<Rect>{{0, 590, 20, 10}}));
    EXPECT_EQ(Optimized({{790, -5, 30, 30}}), (std::vector<Rect>{{790, 0, 10, 25}}));
}

TEST_F(RenderTest, DropsRectanglesOffTheScreen) {
    EXPECT_TRUE(Optimized({{800, 0, 10, 10}, {0, 600, 10, 10}, {-20, 0, 10, 10}, {0, -20, 10, 10}}).empty());
    EXPECT_TRUE(Optimized({{-10, 0, 10, 10}}).empty());  // nothing left after clipping
}

TEST_F(RenderTest, LargeRectangleBecomesTheFullScreenOnMenus) {
    EXPECT_EQ(Optimized({{50, 0, 700, 600}, {1, 1, 5, 5}}), (std::vector<Rect>{{0, 0, 800, 600}}));
}

TEST_F(RenderTest, LargeRectangleBecomes625PiecesOnThePlayScreenAndEditor) {
    for (int id : {CONTROLLER_GAME, CONTROLLER_EDITOR}) {
        IdScreen screen(id);
        screen.Activate(nullptr);
        const std::vector<Rect> out = Optimized({{50, 0, 700, 600}});
        ASSERT_EQ(out.size(), 625u) << id;
        std::vector<Rect> expected;
        for (int c = 0; c < 25; ++c)
            for (int r = 0; r < 25; ++r) expected.push_back(Rect{c * 32, r * 24, 32, 24});
        EXPECT_EQ(Sorted(out), Sorted(expected)) << id;
        CController::ResetStack();
    }
}

TEST_F(RenderTest, PlayScreenCutsMediumRectanglesIntoPieces) {
    IdScreen game(CONTROLLER_GAME);
    game.Activate(nullptr);
    const std::vector<Rect> out = Optimized({{100, 100, 100, 60}});
    ASSERT_EQ(out.size(), 8u);
    std::vector<Rect> expected;
    for (int c = 0; c < 4; ++c)
        for (int r = 0; r < 2; ++r) expected.push_back(Rect{100 + c * 26, 100 + r * 31, 26, 31});
    EXPECT_EQ(out, expected);
    // Small ones stay whole; pieces are cut at the screen's edge.
    EXPECT_EQ(Optimized({{10, 10, 50, 100}}).size(), 1u);
    for (const Rect& r : Optimized({{700, 500, 100, 100}})) {
        EXPECT_LE(r.x + r.w, 800);
        EXPECT_LE(r.y + r.h, 600);
    }
}

TEST_F(RenderTest, PlayScreenPieceSizesFollowTheArea) {
    IdScreen game(CONTROLLER_GAME);
    game.Activate(nullptr);
    EXPECT_EQ(Optimized({{0, 0, 200, 100}})[0], (Rect{0, 0, 51, 51}));    // 20000: 50
    EXPECT_EQ(Optimized({{0, 0, 500, 460}})[0], (Rect{0, 0, 101, 116}));  // 230000: 100
}

TEST_F(RenderTest, FullScreenMarkReplacesTheList) {
    CRender::AddDirtyRect(1, 2, 3, 4);
    CRender::AddFullScreenDirtyRect();
    EXPECT_EQ(CRender::GetDirtyRects(), (std::vector<Rect>{{0, 0, 800, 600}}));
}

TEST_F(RenderTest, MoveMarkUsesTheUnionOnlyWhenPlacesOverlap) {
    CSprite* s = Solid(LAYER_OBJECT, 100, 100, 20, 20, 1, 1, 1);
    s->Update();
    CRender::ClearDirtyLists();
    s->SetPosition(120, 100, false);  // touches its old place only
    CRender::AddSpriteMoveDirtyRect(s);
    EXPECT_EQ(CRender::GetDirtyRects(), (std::vector<Rect>{{120, 100, 20, 20}, {100, 100, 20, 20}}));
}

TEST_F(RenderTest, DumpListsEveryRectangle) {
    EnableDebugCategory(DBG_DEBUG);
    ::testing::internal::CaptureStdout();
    CRender::DumpDirtyRects(DBG_DEBUG);  // empty: nothing printed
    CRender::AddDirtyRect(5, 6, 7, 8);
    CRender::DumpDirtyRects(DBG_DEBUG);
    const std::string out = ::testing::internal::GetCapturedStdout();
    DisableDebugCategory(DBG_DEBUG);
    EXPECT_NE(out.find("DIRTY RECTANGLES\n"), std::string::npos) << out;
    EXPECT_NE(out.find("   7 x 8 @ (5,6)\n"), std::string::npos) << out;
    EXPECT_EQ(out.find("DIRTY RECTANGLES"), out.rfind("DIRTY RECTANGLES"));
}

// ---- painting ----

TEST_F(RenderTest, OverlappingSpritesPaintInLayerOrder) {
    Solid(LAYER_BACKGROUND, 0, 0, 800, 600, 0, 0, 255);
    Solid(LAYER_MOUSE, 120, 120, 50, 50, 0, 255, 0);
    Solid(LAYER_CL_BUTTON, 100, 100, 50, 50, 255, 0, 0);
    CRender::Render(true);
    EXPECT_EQ(ScreenPixel(110, 110).r, 255);
    EXPECT_EQ(ScreenPixel(130, 130).g, 255);
    EXPECT_EQ(ScreenPixel(130, 130).r, 0);
    EXPECT_EQ(ScreenPixel(160, 160).g, 255);
    EXPECT_EQ(ScreenPixel(90, 90).b, 255);
}

TEST_F(RenderTest, MovedSpriteRepaintsOldAndNewPlaceAndNothingElse) {
    Solid(LAYER_BACKGROUND, 0, 0, 800, 600, 0, 0, 255);
    CSprite* s = Solid(LAYER_OBJECT, 100, 100, 30, 30, 255, 0, 0);
    CRender::Render(true);
    CRender::ClearDirtyLists();
    // Paint over everything; only the repainted areas may change.
    SDL_FillRect(CDraw::GetScreen(), nullptr, SDL_MapRGB(CDraw::GetScreen()->format, 255, 0, 255));
    s->SetPosition(300, 200, false);
    CRender::Render(true);
    EXPECT_EQ(CRender::GetDirtyRects(), (std::vector<Rect>{{300, 200, 30, 30}, {100, 100, 30, 30}}));
    const Rgb oldPlace = ScreenPixel(110, 110), newPlace = ScreenPixel(310, 210), outside = ScreenPixel(200, 150);
    EXPECT_EQ(oldPlace.b, 255);
    EXPECT_EQ(oldPlace.r, 0);
    EXPECT_EQ(newPlace.r, 255);
    EXPECT_EQ(newPlace.b, 0);
    EXPECT_EQ(outside.r, 255);
    EXPECT_EQ(outside.b, 255);
}

TEST_F(RenderTest, HiddenSpriteIsNeverDrawnInsideADirtyRectangle) {
    Solid(LAYER_BACKGROUND, 0, 0, 800, 600, 0, 0, 255);
    CSprite* s = Solid(LAYER_OBJECT, 100, 100, 30, 30, 255, 0, 0);
    s->Hide();
    CRender::AddDirtyRect(90, 90, 50, 50);
    CRender::Render(true);
    EXPECT_EQ(ScreenPixel(110, 110).r, 0);
    EXPECT_EQ(ScreenPixel(110, 110).b, 255);
}

TEST_F(RenderTest, DeletedSpriteIsRepaintedByWhatLiesBeneath) {
    Solid(LAYER_BACKGROUND, 0, 0, 800, 600, 0, 0, 255);
    CSprite* s = Solid(LAYER_OBJECT, 100, 100, 30, 30, 255, 0, 0);
    CRender::Render(true);
    CRender::ClearDirtyLists();
    EXPECT_EQ(ScreenPixel(110, 110).r, 255);
    delete s;
    CRender::Render(true);
    EXPECT_EQ(ScreenPixel(110, 110).r, 0);
    EXPECT_EQ(ScreenPixel(110, 110).b, 255);
}

TEST_F(RenderTest, FadeMidpointOnTheScreen) {
    Solid(LAYER_BACKGROUND, 0, 0, 800, 600, 0, 0, 0);
    CSprite* s = new CSprite(29, 20, LAYER_CL_BUTTON, 0, false, 1, 1);
    s->AddFrame(MakeImage(nullptr, 40, 40, 255, 255, 255, false));
    s->SetPosition(200, 200, false);
    s->SetFadeOut(1000, 255, 0);
    CRender::Render(true);
    CRender::ClearDirtyLists();
    EXPECT_GE(ScreenPixel(210, 210).r, 254);
    FakeNow() += 500;
    CRender::Render(true);
    EXPECT_NEAR(ScreenPixel(210, 210).r, 127, 2);
    CRender::ClearDirtyLists();
    FakeNow() += 500;
    CRender::Render(true);
    EXPECT_TRUE(s->IsHidden());
    EXPECT_EQ(ScreenPixel(210, 210).r, 0);
}

TEST_F(RenderTest, PresentPutsExactlyTheDirtyRectanglesOnTheDisplay) {
    Solid(LAYER_BACKGROUND, 0, 0, 800, 600, 0, 0, 255);
    CSprite* s = Solid(LAYER_OBJECT, 100, 100, 30, 30, 255, 0, 0);
    CRender::Render(true);
    CRender::ClearDirtyLists();
    s->SetPosition(400, 300, false);
    CRender::Render(true);
    const std::vector<Rect> dirty = CRender::GetDirtyRects();
    CDraw::Present(true, false);
    ASSERT_EQ(CDraw::GetLastPresentKind(), CDraw::kPresentedRects);
    const std::vector<SDL_Rect>& shown = CDraw::GetLastPresentRects();
    ASSERT_EQ(shown.size(), dirty.size());
    for (size_t i = 0; i < dirty.size(); ++i) {
        EXPECT_EQ(shown[i].x, dirty[i].x);
        EXPECT_EQ(shown[i].y, dirty[i].y);
        EXPECT_EQ(shown[i].w, dirty[i].w);
        EXPECT_EQ(shown[i].h, dirty[i].h);
    }
    EXPECT_TRUE(CRender::GetDirtyRects().empty());
}

// ---- swap ----

TEST_F(RenderTest, SwapFreezesThePictureAndBringsTheSpritesBack) {
    MakeImage("mousepointer.tga", 12, 12, 255, 255, 255);
    MakeImage("hourglass.tga", 32, 32, 255, 255, 0);
    CMouse* mouse = new CMouse();
    CSprite* bg = Solid(LAYER_BACKGROUND, 0, 0, 800, 600, 0, 0, 255);
    CSprite* crate = Solid(LAYER_OBJECT, 100, 100, 30, 30, 255, 0, 0);
    CRender::Render(true);
    CRender::ClearDirtyLists();

    CRender::Swap(true);
    ASSERT_TRUE(CRender::IsSwapped());
    CSprite* frozen = CRender::GetSwapSprite();
    ASSERT_NE(frozen, nullptr);
    EXPECT_EQ(frozen->GetType(), LAYER_SWAP);
    EXPECT_STREQ(frozen->GetName(), "Swap Image");
    EXPECT_FALSE(frozen->IsHidden());
    EXPECT_EQ(frozen->GetRect(), (Rect{0, 0, 800, 600}));
    ASSERT_EQ(GetSpriteList().size(), 3u);
    EXPECT_EQ(GetSpriteList()[0], CMouse::GetArrow());
    EXPECT_EQ(GetSpriteList()[2], frozen);
    const std::string firstName = CDraw::GetImageName(frozen->GetFrameImage(0));

    // The child draws over the frozen picture.
    CSprite* child = Solid(LAYER_CL_BUTTON, 300, 300, 20, 20, 0, 255, 0);
    CRender::Render(true);
    EXPECT_EQ(ScreenPixel(110, 110).r, 255);
    EXPECT_EQ(ScreenPixel(305, 305).g, 255);
    delete child;
    CRender::Render(true);
    CRender::ClearDirtyLists();

    CRender::Swap(true);
    EXPECT_FALSE(CRender::IsSwapped());
    EXPECT_EQ(CRender::GetSwapSprite(), nullptr);
    ASSERT_EQ(GetSpriteList().size(), 4u);
    EXPECT_EQ(GetSpriteList()[0], bg);
    EXPECT_EQ(GetSpriteList()[1], crate);
    EXPECT_EQ(GetSpriteList()[2], CMouse::GetArrow());
    // Dropping the frozen picture repaints the whole screen from the list.
    EXPECT_EQ(CRender::GetDirtyRects(), (std::vector<Rect>{{0, 0, 800, 600}}));

    CRender::Swap(true);
    const std::string secondName = CDraw::GetImageName(CRender::GetSwapSprite()->GetFrameImage(0));
    EXPECT_NE(firstName, secondName);
    CRender::Swap(true);
    delete mouse;
}

TEST_F(RenderTest, SwapWithoutSnapshotOnlySetsTheSpritesAside) {
    CSprite* crate = Solid(LAYER_OBJECT, 100, 100, 30, 30, 255, 0, 0);
    CRender::Swap(false);
    EXPECT_TRUE(CRender::IsSwapped());
    EXPECT_EQ(CRender::GetSwapSprite(), nullptr);
    EXPECT_TRUE(GetSpriteList().empty());
    CRender::Swap(false);
    EXPECT_FALSE(CRender::IsSwapped());
    ASSERT_EQ(GetSpriteList().size(), 1u);
    EXPECT_EQ(GetSpriteList()[0], crate);
}

// ---- the scripted scene ----

// A picture with a pattern, so that a repaint in the wrong place shows.
int PatternImage(int w, int h, int seed, bool withAlpha) {
    SDL_Surface* s = SDL_CreateRGBSurface(SDL_SWSURFACE, w, h, 32, 0x00FF0000, 0x0000FF00, 0x000000FF,
                                          withAlpha ? 0xFF000000 : 0);
    SDL_LockSurface(s);
    for (int y = 0; y < h; ++y) {
        for (int x = 0; x < w; ++x) {
            const Uint8 a = withAlpha ? static_cast<Uint8>((x * 5 + y * 3 + seed) % 2 ? 255 : 90) : 255;
            const uint32_t p = SDL_MapRGBA(s->format, static_cast<Uint8>((x * 7 + seed * 40) & 255),
                                           static_cast<Uint8>((y * 5 + seed * 90) & 255),
                                           static_cast<Uint8>((x + y + seed * 13) & 255), a);
            CDraw::PutPixel(s, x, y, p);
        }
    }
    SDL_UnlockSurface(s);
    return CDraw::LoadSurface(s, nullptr);
}

CSprite* PatternSprite(SpriteLayer type, int x, int y, int w, int h, int seed, bool withAlpha = true, int frames = 1) {
    CSprite* s = new CSprite(29 + seed % 3, 20 + seed % 2, type, 1, false, 1, 1);
    for (int i = 0; i < frames; ++i) s->AddFrame(PatternImage(w, h, seed + i, withAlpha));
    s->SetPosition(x, y, false);
    s->Show(kSpriteNotDrawn, kSpriteNotDrawn);
    return s;
}

void FirstDifference(const std::vector<uint8_t>& a, const std::vector<uint8_t>& b, int* x, int* y) {
    SDL_Surface* s = CDraw::GetScreen();
    for (size_t i = 0; i < a.size(); ++i) {
        if (a[i] != b[i]) {
            *y = static_cast<int>(i / static_cast<size_t>(s->pitch));
            *x = static_cast<int>((i % static_cast<size_t>(s->pitch)) / s->format->BytesPerPixel);
            return;
        }
    }
}

// Runs 60 frames of moving, animating, clipping, fading, hiding, deleting,
// creating and swapping sprites; after each, the picture the dirty
// rectangles built must equal a full redraw of the same sprites.
void RunScriptedScene() {
    MakeImage("mousepointer.tga", 12, 18, 250, 250, 250);
    MakeImage("hourglass.tga", 32, 32, 250, 250, 0);
    CMouse* mouse = new CMouse();
    SetMouseX(400);
    SetMouseY(300);

    CSprite* bg = PatternSprite(LAYER_BACKGROUND, 0, 0, 800, 600, 0, false);
    CSprite* terrain = PatternSprite(LAYER_TERRAIN, 240, 288, 96, 24, 2);
    CSprite* crate = PatternSprite(LAYER_OBJECT, 240, 264, 24, 24, 3);
    CSprite* walker = PatternSprite(LAYER_HERO, 100, 264, 24, 48, 4, true, 3);
    walker->SetLooping(true);
    walker->Play(true);
    CSprite* button = PatternSprite(LAYER_CL_BUTTON, 600, 500, 120, 40, 5);
    CSprite* roll = PatternSprite(LAYER_CL_ROLL, 610, 505, 100, 30, 6);
    CSprite* fader = PatternSprite(LAYER_CL_LOGO0, 300, 80, 200, 100, 7, false);
    CSprite* edge = PatternSprite(LAYER_CL_TOP, -20, 560, 60, 60, 8);
    CSprite* late = nullptr;
    CSprite* child = nullptr;

    std::vector<uint8_t> dirtyPicture = ScreenBytes();
    for (int frame = 0; frame < 60; ++frame) {
        SetScreenBytes(dirtyPicture);
        FakeNow() += 40;

        SetMouseX(400 + frame * 5);
        SetMouseY(300 - frame * 3);
        UpdateMousePointer();
        PlaceMousePointer();
        walker->SetPosition(100 + frame * 3, 264, false);
        if (frame % 10 == 3) crate->Hide();
        if (frame % 10 == 6) crate->Show(kSpriteNotDrawn, kSpriteNotDrawn);
        if (frame == 5) fader->SetFadeOut(600, 255, 40);
        if (frame == 25) fader->SetFadeIn(400, 40, 255);
        if (frame == 8) roll->SetClipWidth(50);
        if (frame == 12) roll->SetClipX(30);
        if (frame == 14) roll->ResetClip();
        if (frame == 15) edge->SetPosition(770, -10, false);
        if (frame == 18) {
            delete terrain;
            terrain = nullptr;
        }
        if (frame == 20) late = PatternSprite(LAYER_OBJECT, 260, 270, 30, 30, 9);
        if (frame > 20 && late) late->SetPosition(260 + (frame - 20) * 7, 270 - (frame - 20), false);
        if (frame == 28) HideMousePointer(2);
        if (frame == 30) {
            CRender::Swap(true);
            child = PatternSprite(LAYER_CL_BUTTON, 200, 200, 300, 150, 10);
        }
        if (frame > 30 && frame < 40 && child) child->SetPosition(200 + (frame - 30) * 9, 200, false);
        if (frame == 40) {
            delete child;
            child = nullptr;
        }
        if (frame == 42) CRender::Swap(true);
        if (frame == 50) button->SetPosition(590, 480, false);
        if (frame == 52) edge->SetOriginX(60);
        if (frame == 54) roll->SetType(LAYER_CL_SHADOW);  // now behind the button
        if (frame == 57) edge->ResetOriginX();

        CRender::Render(true);
        dirtyPicture = ScreenBytes();
        CRender::ClearDirtyLists();

        CRender::AddFullScreenDirtyRect();
        CRender::OptimizeDirtyRects();
        CRender::DrawDirty();
        const std::vector<uint8_t> full = ScreenBytes();
        CRender::ClearDirtyLists();
        if (full != dirtyPicture) {
            int x = -1, y = -1;
            FirstDifference(full, dirtyPicture, &x, &y);
            ADD_FAILURE() << "frame " << frame << ": dirty picture differs from a full redraw at (" << x << ","
                          << y << ")";
            break;
        }
    }
    (void)bg;
    delete mouse;
}

TEST_F(RenderTest, ScriptedSceneEqualsFullRedrawOnAMenu) { RunScriptedScene(); }

TEST_F(RenderTest, ScriptedSceneEqualsFullRedrawOnThePlayScreen) {
    IdScreen game(CONTROLLER_GAME);
    game.Activate(nullptr);
    RunScriptedScene();
}

}  // namespace
