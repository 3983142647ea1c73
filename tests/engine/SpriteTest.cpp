// The sprite: frames and their image references, the animation steps, fades,
// the clip window, cells, dirty marking, the snapshot, and the live and
// set-aside lists.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <string>
#include <type_traits>

#include "engine/CDraw.h"
#include "engine/CMouse.h"
#include "engine/CRender.h"
#include "engine/CSprite.h"
#include "engine/CInput.h"
#include "engine/FontRender.h"
#include <SDL_ttf.h>
#include "platform/Platform.h"
#include "tests/support/TestSupport.h"
#include "engine/Utilities.h"
#include "tests/engine/SpriteTestSupport.h"

using namespace spritetest;

namespace {

class SpriteTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(OpenVideo());
        ResetWorld();
        FakeNow() = 1000;
        CSprite::SetClock(FakeClock);
    }
    void TearDown() override { EndWorld(); }

    // A sprite with `frames` frames of w x h, on layer type.
    CSprite* Make(SpriteLayer type, int frames, int w = 40, int h = 30, int delay = 1) {
        CSprite* s = new CSprite(29, 20, type, delay, false, 1, 1);
        for (int i = 0; i < frames; ++i) s->AddFrame(MakeImage(nullptr, w, h, 200, 0, 0));
        return s;
    }
};

TEST_F(SpriteTest, NewSpriteIsHiddenOnTheLiveListWithNoFrames) {
    CSprite s(LAYER_OBJECT, 1, false);
    EXPECT_TRUE(s.IsHidden());
    EXPECT_EQ(s.GetFrameCount(), 0);
    EXPECT_EQ(GetSpriteList().back(), &s);
    EXPECT_EQ(s.GetOriginX(), 0);
}

// A sprite keeps its own copy of its debug name: screens build names in
// passing (a prefix, the slot, a bracket), and the log reads them much later.
TEST_F(SpriteTest, KeepsItsOwnCopyOfItsName) {
    CSprite s(LAYER_OBJECT, 1, false);
    std::string built = std::string("Editor Help Controller (") + "EDITORHELP_LSPRITE_DIMMER" + ")";
    s.SetName(built.c_str());
    built.replace(0, built.size(), built.size(), '#');  // the caller's text changes or goes
    EXPECT_STREQ(s.GetName(), "Editor Help Controller (EDITORHELP_LSPRITE_DIMMER)");
    s.SetName(nullptr);
    EXPECT_STREQ(s.GetName(), "");
}

TEST_F(SpriteTest, OriginIsStoredRelativeToTheBoardCorner) {
    CSprite s(40, 27, LAYER_OBJECT, 1, false, 2, 3);
    EXPECT_EQ(s.GetOriginX(), 11);
    EXPECT_EQ(s.GetOriginY(), 7);
    s.SetOriginX(29);
    EXPECT_EQ(s.GetOriginX(), 0);
    s.ResetOriginX();
    EXPECT_EQ(s.GetOriginX(), 11);
    EXPECT_EQ(s.GetTileWidth(), 2);
    EXPECT_EQ(s.GetTileHeight(), 3);
}

TEST_F(SpriteTest, FramelessSpriteIsInert) {
    CSprite s(LAYER_OBJECT, 1, false);
    s.Show(10, 10);
    EXPECT_TRUE(s.IsHidden());
    s.SetFrame(7);
    EXPECT_EQ(s.GetFrame(), 0);
    s.SetFadeIn(100, 0, 255);
    EXPECT_FALSE(s.IsFading());
    s.SetPosition(50, 50, false);
    s.Update();
    s.Draw();
    s.DrawPart(Rect{0, 0, 800, 600});
    EXPECT_TRUE(CRender::GetDirtyRects().empty());
    EXPECT_EQ(s.GetFrameImage(0), -1);
}

TEST_F(SpriteTest, AddFrameSetsVisibleAndFullSizeToTheLastFrame) {
    CSprite* s = Make(LAYER_OBJECT, 1, 40, 30);
    s->AddFrame(MakeImage(nullptr, 50, 20, 0, 0, 0));
    EXPECT_EQ(s->GetWidth(true), 50);
    EXPECT_EQ(s->GetWidth(false), 50);
    EXPECT_EQ(s->GetHeight(true), 20);
}

TEST_F(SpriteTest, OwnFramesCountAndReleaseReferences) {
    MakeImage("crate.png", 24, 24, 1, 2, 3);
    ASSERT_EQ(CDraw::GetRefCount("crate.png"), 1);
    CSprite* s = new CSprite(LAYER_OBJECT, 0, false);
    s->AddFrame("crate.png", 2);
    EXPECT_EQ(CDraw::GetRefCount("crate.png"), 3);
    EXPECT_EQ(s->GetFrameCount(), 2);
    delete s;
    EXPECT_EQ(CDraw::GetRefCount("crate.png"), 1);
}

TEST_F(SpriteTest, SharedFramesCountNothing) {
    const int id = MakeImage("barrel.png", 24, 24, 1, 2, 3);
    CSprite* s = new CSprite(LAYER_OBJECT, 0, true);
    s->AddFrame("barrel.png");
    EXPECT_EQ(s->GetFrameImage(0), id);
    EXPECT_EQ(CDraw::GetRefCount("barrel.png"), 1);
    delete s;
    EXPECT_EQ(CDraw::GetRefCount("barrel.png"), 1);
    EXPECT_NE(CDraw::GetSurface(id), nullptr);
}

TEST_F(SpriteTest, AddFramesCountsUpAndDown) {
    for (int i = 0; i < 6; ++i) {
        char name[32];
        snprintf(name, sizeof(name), "walk%i.png", i);
        MakeImage(name, 24, 24, 0, 0, 0);
    }
    CSprite up(LAYER_OBJECT, 1, true), down(LAYER_OBJECT, 1, true), one(LAYER_OBJECT, 1, true),
        stuck(LAYER_OBJECT, 1, true);
    up.AddFrames("walk", 0, 5, ".png", 2);
    down.AddFrames("walk", 5, 0, ".png", 2);
    one.AddFrames("walk", 3, 3, ".png", 1);
    stuck.AddFrames("walk", 0, 2, ".png", 0);  // must end
    ASSERT_EQ(up.GetFrameCount(), 3);
    EXPECT_EQ(up.GetFrameImage(1), CDraw::FindImage("walk2.png"));
    ASSERT_EQ(down.GetFrameCount(), 3);
    EXPECT_EQ(down.GetFrameImage(0), CDraw::FindImage("walk5.png"));
    EXPECT_EQ(down.GetFrameImage(2), CDraw::FindImage("walk1.png"));
    EXPECT_EQ(one.GetFrameCount(), 1);
    EXPECT_EQ(stuck.GetFrameCount(), 3);
}

TEST_F(SpriteTest, ShownSpriteMarksOnlyItsNewPlace) {
    CSprite* s = Make(LAYER_TUBE_ARROW, 1);
    s->SetPosition(100, 50, false);
    s->Show(kSpriteNotDrawn, kSpriteNotDrawn);
    s->Update();
    ASSERT_EQ(CRender::GetDirtyRects().size(), 1u);
    EXPECT_EQ(CRender::GetDirtyRects()[0], (Rect{100, 50, 40, 30}));
}

TEST_F(SpriteTest, MovingOverlappingMarksTheUnion) {
    CSprite* s = Make(LAYER_OBJECT, 1);
    s->SetPosition(100, 50, false);
    s->Show(kSpriteNotDrawn, kSpriteNotDrawn);
    s->Update();
    CRender::ClearDirtyLists();
    s->SetPosition(110, 55, false);
    s->Update();
    ASSERT_EQ(CRender::GetDirtyRects().size(), 1u);
    EXPECT_EQ(CRender::GetDirtyRects()[0], (Rect{100, 50, 50, 35}));
}

TEST_F(SpriteTest, MovingFarMarksNewThenOld) {
    CSprite* s = Make(LAYER_OBJECT, 1);
    s->SetPosition(100, 50, false);
    s->Show(kSpriteNotDrawn, kSpriteNotDrawn);
    s->Update();
    CRender::ClearDirtyLists();
    s->SetPosition(300, 50, false);
    s->Update();
    ASSERT_EQ(CRender::GetDirtyRects().size(), 2u);
    EXPECT_EQ(CRender::GetDirtyRects()[0], (Rect{300, 50, 40, 30}));
    EXPECT_EQ(CRender::GetDirtyRects()[1], (Rect{100, 50, 40, 30}));
}

TEST_F(SpriteTest, UnchangedSpriteMarksNothing) {
    CSprite* s = Make(LAYER_OBJECT, 1);
    s->Show(kSpriteNotDrawn, kSpriteNotDrawn);
    s->Update();
    CRender::ClearDirtyLists();
    s->Update();
    EXPECT_TRUE(CRender::GetDirtyRects().empty());
    s->ForceRedraw();
    s->Update();
    EXPECT_EQ(CRender::GetDirtyRects().size(), 1u);
}

TEST_F(SpriteTest, HidingMarksThePlaceItLeaves) {
    CSprite* s = Make(LAYER_OBJECT, 1);
    s->SetPosition(10, 20, false);
    s->Show(kSpriteNotDrawn, kSpriteNotDrawn);
    s->Update();
    CRender::ClearDirtyLists();
    s->Hide();
    s->Update();
    ASSERT_EQ(CRender::GetDirtyRects().size(), 1u);
    EXPECT_EQ(CRender::GetDirtyRects()[0], (Rect{10, 20, 40, 30}));
}

// A sprite marks its whole frame dirty, but its rectangle, the one that
// overlaps others, is its clip window: one that only touches it, or a hidden
// sprite, overlaps nothing.
TEST_F(SpriteTest, DirtyRectanglesTakeTheFullFrameOverlapsTheClipWindow) {
    CSprite* s = new CSprite(39, 25, LAYER_OBJECT, 0, false, 1, 1);  // origin (10, 5)
    s->AddFrame(MakeImage(nullptr, 40, 30, 0, 0, 0));
    s->SetClipWidth(10);
    s->SetPosition(100, 50, false);
    s->Show(kSpriteNotDrawn, kSpriteNotDrawn);
    s->Update();
    ASSERT_EQ(CRender::GetDirtyRects().size(), 1u);
    EXPECT_EQ(CRender::GetDirtyRects()[0], (Rect{90, 45, 40, 30}));
    EXPECT_EQ(s->GetRect(), (Rect{90, 45, 10, 30}));
    CSprite* other = Make(LAYER_OBJECT, 1, 5, 5);  // origin (0, 0)
    other->SetPosition(99, 74, false);
    EXPECT_TRUE(SpritesOverlap(s, other));
    EXPECT_TRUE(SpriteOverlapsRect(s, other->GetRect()));
    other->SetPosition(100, 74, false);
    EXPECT_FALSE(SpritesOverlap(s, other));
    EXPECT_FALSE(SpriteOverlapsRect(s, other->GetRect()));
    s->Hide();
    EXPECT_FALSE(SpriteOverlapsRect(s, s->GetRect()));
}

TEST_F(SpriteTest, NewOriginRepaintsTheOldAndTheNewPlace) {
    CSprite* s = Make(LAYER_OBJECT, 1);
    s->SetPosition(100, 50, false);
    s->Show(kSpriteNotDrawn, kSpriteNotDrawn);
    s->Update();
    CRender::ClearDirtyLists();
    s->SetOriginX(29);  // unchanged: nothing
    EXPECT_TRUE(CRender::GetDirtyRects().empty());
    s->SetOriginX(39);  // the picture moves 10 pixels left
    s->Update();
    ASSERT_EQ(CRender::GetDirtyRects().size(), 2u);
    EXPECT_EQ(CRender::GetDirtyRects()[0], (Rect{100, 50, 40, 30}));
    EXPECT_EQ(CRender::GetDirtyRects()[1], (Rect{90, 50, 40, 30}));
}

TEST_F(SpriteTest, NewLayerRepaintsTheSprite) {
    CSprite* s = Make(LAYER_OBJECT, 1);
    s->Show(kSpriteNotDrawn, kSpriteNotDrawn);
    s->Update();
    CRender::ClearDirtyLists();
    s->SetType(LAYER_OBJECT);
    s->Update();
    EXPECT_TRUE(CRender::GetDirtyRects().empty());
    s->SetType(LAYER_OVERLAY);
    s->Update();
    EXPECT_EQ(CRender::GetDirtyRects().size(), 1u);
    s->RestoreType();
    EXPECT_EQ(s->GetType(), LAYER_OBJECT);
}

TEST_F(SpriteTest, ShowSetsPreviousPositionOnlyForWorldLayers) {
    CSprite* world = Make(LAYER_TUBE_ARROW, 1);
    CSprite* screen = Make(LAYER_BACKGROUND, 1);
    world->Show(7, 8);
    screen->Show(7, 8);
    EXPECT_EQ(world->GetPrevX(false), 7);
    EXPECT_EQ(world->GetPrevY(false), 8);
    EXPECT_EQ(screen->GetPrevX(false), 0);
    EXPECT_EQ(screen->GetPrevY(false), 0);
}

TEST_F(SpriteTest, DestroyingAHiddenSpriteMarksNothing) {
    CSprite* s = Make(LAYER_OBJECT, 1);
    delete s;
    EXPECT_TRUE(CRender::GetDirtyRects().empty());
    CSprite* v = Make(LAYER_OBJECT, 1);
    v->SetPosition(5, 6, false);
    v->Show(kSpriteNotDrawn, kSpriteNotDrawn);
    delete v;
    ASSERT_EQ(CRender::GetDirtyRects().size(), 1u);
    EXPECT_EQ(CRender::GetDirtyRects()[0], (Rect{5, 6, 40, 30}));
}

TEST_F(SpriteTest, FrameDelayZeroNeverAnimates) {
    CSprite* s = Make(LAYER_OBJECT, 3, 40, 30, 0);
    s->Show(0, 0);
    s->Play(true);
    EXPECT_EQ(s->GetAnimationState(), 0);
    for (int i = 0; i < 5; ++i) s->Update();
    EXPECT_EQ(s->GetFrame(), 0);
}

TEST_F(SpriteTest, ThreeFramesDelayTwoForward) {
    CSprite* s = Make(LAYER_OBJECT, 3, 40, 30, 2);
    s->Show(0, 0);
    s->Rewind();
    s->Play(true);
    const int expected[] = {0, 0, 1, 1, 2, 2, 2, 2};
    for (int u = 1; u <= 8; ++u) {
        s->Update();
        EXPECT_EQ(s->GetFrame(), expected[u - 1]) << "update " << u;
        if (u < 7) {
            EXPECT_FALSE(s->IsFinished()) << "update " << u;
            EXPECT_TRUE(s->IsPlayingForward()) << "update " << u;
        } else {
            EXPECT_TRUE(s->IsFinished()) << "update " << u;
            EXPECT_TRUE(s->IsStopped()) << "update " << u;
        }
    }
}

TEST_F(SpriteTest, BackwardEndsOnFrameZeroStillPlayingBackward) {
    CSprite* s = Make(LAYER_OBJECT, 3, 40, 30, 1);
    s->Show(0, 0);
    s->SetFrame(2);
    s->Play(false);
    for (int i = 0; i < 6; ++i) s->Update();
    EXPECT_EQ(s->GetFrame(), 0);
    EXPECT_TRUE(s->IsFinished());
    EXPECT_TRUE(s->IsPlayingBackward());
}

TEST_F(SpriteTest, LoopingWrapsBothWays) {
    CSprite* s = Make(LAYER_OBJECT, 3, 40, 30, 1);
    s->Show(0, 0);
    s->SetLooping(true);
    s->Play(true);
    for (int i = 0; i < 4; ++i) s->Update();  // 0 0->1 1->2 2->0
    EXPECT_EQ(s->GetFrame(), 0);
    EXPECT_FALSE(s->IsFinished());
    s->Play(false);
    s->Update();
    EXPECT_EQ(s->GetFrame(), 2);
}

TEST_F(SpriteTest, HiddenSpritesDoNotAnimate) {
    CSprite* s = Make(LAYER_OBJECT, 3, 40, 30, 1);
    s->Play(true);
    for (int i = 0; i < 5; ++i) s->Update();
    EXPECT_EQ(s->GetFrame(), 0);
}

TEST_F(SpriteTest, FinishAndSetFrame) {
    CSprite* s = Make(LAYER_OBJECT, 3);
    s->Finish();
    EXPECT_EQ(s->GetFrame(), 2);
    EXPECT_TRUE(s->IsFinished());
    s->SetFrame(7);
    EXPECT_EQ(s->GetFrame(), 1);
    s->SetFrame(-1);  // taken as a large unsigned number
    EXPECT_EQ(s->GetFrame(), static_cast<int>(0xFFFFFFFFu % 3u));
    s->Rewind();
    EXPECT_EQ(s->GetFrame(), 0);
    EXPECT_FALSE(s->IsFinished());
}

TEST_F(SpriteTest, FadeOutMidpointAndEnd) {
    CSprite* s = Make(LAYER_OBJECT, 1);
    s->Show(0, 0);
    s->SetFadeOut(1000, 255, 0);
    EXPECT_TRUE(s->IsFading());
    FakeNow() += 500;
    EXPECT_EQ(s->GetFadeAlpha(FakeNow()), 127);
    s->Update();
    EXPECT_EQ(CDraw::GetSurface(s->GetFrameImage(0))->format->alpha, 127);
    EXPECT_FALSE(s->IsHidden());
    FakeNow() += 500;
    s->Update();
    EXPECT_FALSE(s->IsFading());
    EXPECT_TRUE(s->IsHidden());
    EXPECT_EQ(CDraw::GetSurface(s->GetFrameImage(0))->format->alpha, 0);
}

TEST_F(SpriteTest, FadeInMidpointAndEnd) {
    CSprite* s = Make(LAYER_OBJECT, 1);
    s->SetFadeIn(1000, 0, 255);
    EXPECT_FALSE(s->IsHidden());
    EXPECT_EQ(CDraw::GetSurface(s->GetFrameImage(0))->format->alpha, 0);
    FakeNow() += 500;
    s->Update();
    EXPECT_EQ(CDraw::GetSurface(s->GetFrameImage(0))->format->alpha, 127);
    FakeNow() += 600;
    s->Update();
    EXPECT_FALSE(s->IsFading());
    EXPECT_FALSE(s->IsHidden());
    EXPECT_EQ(CDraw::GetSurface(s->GetFrameImage(0))->format->alpha, 255);
}

TEST_F(SpriteTest, FadeRunsStraightFromStartToEndAlpha) {
    CSprite* s = Make(LAYER_OBJECT, 1);
    s->SetFadeOut(1000, 200, 100);
    FakeNow() += 250;
    EXPECT_EQ(s->GetFadeAlpha(FakeNow()), 175);
    FakeNow() += 250;
    EXPECT_EQ(s->GetFadeAlpha(FakeNow()), 150);
    FakeNow() += 500;
    s->Update();
    EXPECT_EQ(CDraw::GetSurface(s->GetFrameImage(0))->format->alpha, 100);
    s->SetFadeIn(0, 300, -20);  // clamped, and over at once
    EXPECT_EQ(s->GetFadeAlpha(FakeNow()), 0);
}

TEST_F(SpriteTest, FadeEndIsRepaintedByTheRendererNotBlitted) {
    CSprite* s = Make(LAYER_OBJECT, 1);
    s->SetPosition(30, 40, false);
    s->Show(0, 0);
    s->Update();
    CRender::ClearDirtyLists();
    s->SetFadeIn(100, 0, 255);
    FakeNow() += 200;
    s->Update();
    ASSERT_EQ(CRender::GetDirtyRects().size(), 1u);
    EXPECT_EQ(CRender::GetDirtyRects()[0], (Rect{30, 40, 40, 30}));
}

TEST_F(SpriteTest, ClipWindowIsLimitedToTheFrame) {
    CSprite* s = Make(LAYER_OBJECT, 1, 40, 30);
    s->SetClipWidth(500);
    EXPECT_EQ(s->GetWidth(false), 40);
    s->SetClipX(-5);
    EXPECT_EQ(s->GetClipX(), 0);
    s->SetClipX(99);
    EXPECT_EQ(s->GetClipX(), 40);
    s->SetClipHeight(10);
    EXPECT_EQ(s->GetHeight(false), 10);
    s->SetType(LAYER_OVERLAY);
    s->ResetClip();
    EXPECT_EQ(s->GetClipX(), 0);
    EXPECT_EQ(s->GetHeight(false), 30);
    EXPECT_EQ(s->GetType(), LAYER_OBJECT);
}

TEST_F(SpriteTest, CellsFollowTheDirectionOfMovement) {
    CSprite* s = Make(LAYER_OBJECT, 1);
    s->SetPosition(48, 48, false);
    s->Show(48, 48);
    s->Update();
    EXPECT_EQ(s->GetTileX(), 2);
    EXPECT_EQ(s->GetPrevTileX(), 2);
    s->SetPosition(51, 45, false);  // right and up
    s->Update();
    EXPECT_TRUE(s->IsMovingRight());
    EXPECT_TRUE(s->IsMovingUp());
    EXPECT_EQ(s->GetTileX(), 3);
    EXPECT_EQ(s->GetPrevTileX(), 2);
    EXPECT_EQ(s->GetTileY(), 1);
    EXPECT_EQ(s->GetPrevTileY(), 2);
    s->SetPosition(51, 45, false);
    s->Update();
    EXPECT_FALSE(s->IsMoving());
}

TEST_F(SpriteTest, TileExtentOfTerrainCountsDown) {
    CSprite terrain(29, 20, LAYER_TERRAIN, 0, true, 2, 3);
    CSprite crate(29, 20, LAYER_OBJECT, 0, true, 2, 3);
    CSpriteState st = terrain.GetState();
    st.tileX = 4;
    st.tileY = 5;
    terrain.SetState(st);
    st.type = LAYER_OBJECT;
    crate.SetState(st);
    EXPECT_EQ(terrain.GetTopTile(false), 5);
    EXPECT_EQ(terrain.GetBottomTile(false), 7);
    EXPECT_EQ(crate.GetTopTile(false), 3);
    EXPECT_EQ(crate.GetBottomTile(false), 5);
    EXPECT_EQ(crate.GetRightTile(false), 5);
}

TEST_F(SpriteTest, HiddenSpritesDoNotCountAsMovingExceptTeleportPassers) {
    CSprite* s = Make(LAYER_OBJECT, 1);
    CSprite* passer = Make(LAYER_TELEPORT_PASSER, 1);
    s->SetPosition(30, 0, false);
    passer->SetPosition(0, 0, false);
    s->Update();
    passer->Update();
    EXPECT_FALSE(s->IsMoving());
    EXPECT_TRUE(passer->IsMovingRight());
}

// Every field of a state comes back as it was given, each byte its own
// value; but a frame the sprite does not have is taken as its first.
TEST_F(SpriteTest, StateRoundTrip) {
    static_assert(std::has_unique_object_representations_v<CSpriteState>, "states compare by their bytes");
    CSprite* s = Make(LAYER_OBJECT, 3);
    CSpriteState given;
    unsigned char* bytes = reinterpret_cast<unsigned char*>(&given);
    for (size_t i = 0; i < sizeof given; ++i) bytes[i] = static_cast<unsigned char>(i + 1);
    given.frame = 2;
    s->SetState(given);
    const CSpriteState back = s->GetState();
    EXPECT_EQ(memcmp(&back, &given, sizeof given), 0);
    given.frame = 3;
    s->SetState(given);
    EXPECT_EQ(s->GetFrame(), 0);
}

TEST_F(SpriteTest, MouseOverIncludesTheEdgesAndMargins) {
    CSprite* s = Make(LAYER_CL_BUTTON, 1, 40, 30);
    s->SetPosition(100, 100, false);
    SetMouseX(140);
    SetMouseY(130);
    EXPECT_TRUE(s->IsMouseOver(0, 0));
    SetMouseX(141);
    EXPECT_FALSE(s->IsMouseOver(0, 0));
    EXPECT_TRUE(s->IsMouseOver(1, 0));
    SetMouseX(0);
    SetMouseY(0);
}

TEST_F(SpriteTest, SwapListsKeepsOnlyThePointerLive) {
    MakeImage("mousepointer.tga", 16, 16, 255, 255, 255);
    MakeImage("hourglass.tga", 32, 32, 255, 255, 0);
    CMouse* mouse = new CMouse();
    CSprite* a = Make(LAYER_OBJECT, 1);
    CSprite* b = Make(LAYER_OBJECT, 1);
    SwapSpriteLists(false);
    ASSERT_EQ(GetSpriteList().size(), 2u);
    EXPECT_EQ(GetSpriteList()[0], CMouse::GetArrow());
    EXPECT_EQ(GetSpriteList()[1], CMouse::GetHourglass());
    ASSERT_EQ(GetSetAsideSpriteList().size(), 2u);
    CSprite* child = Make(LAYER_OBJECT, 1);
    SwapSpriteLists(true);
    ASSERT_EQ(GetSpriteList().size(), 4u);
    EXPECT_EQ(GetSpriteList()[0], a);
    EXPECT_EQ(GetSpriteList()[1], b);
    EXPECT_EQ(GetSpriteList()[2], CMouse::GetArrow());
    EXPECT_EQ(GetSpriteList()[3], CMouse::GetHourglass());
    EXPECT_TRUE(GetSetAsideSpriteList().empty());
    delete child;
    delete mouse;
}

TEST_F(SpriteTest, SpriteDeletedWhileSetAsideLeavesBothLists) {
    CSprite* a = Make(LAYER_OBJECT, 1);
    SwapSpriteLists(false);
    ASSERT_EQ(GetSetAsideSpriteList().size(), 1u);
    delete a;
    EXPECT_TRUE(GetSetAsideSpriteList().empty());
    SwapSpriteLists(true);
    EXPECT_TRUE(GetSpriteList().empty());
}

TEST_F(SpriteTest, RemoveAndAddBackKeepsReferencesBalanced) {
    MakeImage("lamp.png", 24, 24, 1, 1, 1);
    CSprite* s = new CSprite(LAYER_OBJECT, 0, false);
    s->AddFrame("lamp.png");
    RemoveSprite(s);
    RemoveSprite(s);  // not on the list any more: ignored
    EXPECT_TRUE(GetSpriteList().empty());
    AddSpriteToList(s);
    AddSpriteToList(s);
    EXPECT_EQ(GetSpriteList().size(), 1u);
    EXPECT_EQ(CDraw::GetRefCount("lamp.png"), 2);
    delete s;
    EXPECT_EQ(CDraw::GetRefCount("lamp.png"), 1);
}

TEST_F(SpriteTest, DrawPartBlitsOnlyInsideTheRectangle) {
    ClearScreen();
    CSprite* s = new CSprite(LAYER_OBJECT, 0, false);
    s->AddFrame(MakeImage(nullptr, 40, 30, 255, 0, 0));
    s->SetPosition(100, 100, false);
    s->Show(0, 0);
    s->DrawPart(Rect{110, 110, 10, 10});
    EXPECT_EQ(ScreenPixel(115, 115).r, 255);
    EXPECT_EQ(ScreenPixel(105, 105).r, 0);
    EXPECT_EQ(ScreenPixel(125, 115).r, 0);
    s->Hide();
    s->DrawPart(Rect{100, 100, 40, 30});
    EXPECT_EQ(ScreenPixel(105, 105).r, 0);
}

TEST_F(SpriteTest, DrawPartHonoursTheClipOffset) {
    ClearScreen();
    SDL_Surface* img = SDL_CreateRGBSurface(SDL_SWSURFACE, 40, 10, 32, 0xFF0000, 0xFF00, 0xFF, 0);
    SDL_Rect left = {0, 0, 20, 10}, right = {20, 0, 20, 10};
    SDL_FillRect(img, &left, SDL_MapRGB(img->format, 255, 0, 0));
    SDL_FillRect(img, &right, SDL_MapRGB(img->format, 0, 255, 0));
    CSprite* s = new CSprite(LAYER_OBJECT, 0, false);
    s->AddFrame(CDraw::LoadSurface(img, nullptr));
    s->SetClipX(20);
    s->SetClipWidth(20);
    s->SetPosition(0, 0, false);
    s->Show(0, 0);
    s->DrawPart(Rect{0, 0, 800, 600});
    EXPECT_EQ(ScreenPixel(5, 5).g, 255);
    EXPECT_EQ(ScreenPixel(25, 5).g, 0);  // nothing beyond the window
}

TEST_F(SpriteTest, TextFrameIsRenderedIntoItsBoxAndReplacedByName) {
    const std::string run = ZORV_RUN_DIR;
    if (!PlatformFileExists(run + "/resource5.dat")) GTEST_SKIP() << "resources not built";
    CScopedCwd cwd(run);
    ASSERT_EQ(TTF_Init(), 0);
    FontSetFolder("./");
    FontLoadStringFile("resource5.dat");
    CSprite* s = new CSprite(LAYER_CL_TEXT, 0, false);
    s->AddTextFrame("Hello", 186, 29, 3, "label_text.png", true);
    ASSERT_EQ(s->GetFrameCount(), 1);
    const int first = s->GetFrameImage(0);
    EXPECT_EQ(first, CDraw::FindImage("label_text.png"));
    EXPECT_EQ(s->GetWidth(true), 186);
    EXPECT_EQ(s->GetHeight(true), 29);
    s->SetPosition(10, 10, false);
    s->Show(kSpriteNotDrawn, kSpriteNotDrawn);
    s->Update();
    CRender::ClearDirtyLists();
    // The same name again: the old picture is let go and replaced, and both
    // the old area and the new one are repainted.
    s->AddTextFrame(static_cast<const char*>(nullptr), 100, 20, 0, "label_text.png", true);
    ASSERT_EQ(s->GetFrameCount(), 1);
    s->Update();
    ASSERT_EQ(CRender::GetDirtyRects().size(), 2u);
    EXPECT_EQ(CRender::GetDirtyRects()[0], (Rect{10, 10, 186, 29}));
    EXPECT_EQ(CRender::GetDirtyRects()[1], (Rect{10, 10, 100, 20}));
    EXPECT_EQ(CDraw::GetSurface(first), nullptr);
    EXPECT_EQ(s->GetFrameImage(0), CDraw::FindImage("label_text.png"));
    EXPECT_EQ(s->GetWidth(true), 100);
    delete s;
    EXPECT_EQ(CDraw::FindImage("label_text.png"), -1);
    FontQuit();
    FontResetStyle();
}

}  // namespace
