// The level map's dot: a click selects an open level, a second click within
// the double-click time plays it, a locked level only says so; dots come
// into view with their entrance and cannot be reached before; tutorial stars
// stand above their dot and take the pointer there.
#include <gtest/gtest.h>

#include <string>

#include "engine/CSprite.h"
#include "gui/CGuiButtonMapDot.h"
#include "tests/gui/GuiTestSupport.h"

namespace {

using Dot = CGuiButtonMapDot;

class MapDotTest : public WidgetTest {
protected:
    static void SetUpTestSuite() {
        OpenDisplay();
        for (const char* look : {"locked", "lockedghosted", "completed", "incomplete"}) {
            const std::string stem = std::string("mapdotregular") + look;
            RegisterBlank((stem + "base.png").c_str(), 18, 18);
            RegisterBlank((stem + "rollover.png").c_str(), 18, 18);
            for (int i = 1; i <= 3; ++i) RegisterBlank((stem + "shrink" + std::to_string(i) + ".png").c_str(), 18, 18);
        }
        for (int i = 0; i <= 5; ++i)
            RegisterBlank(("mapdotregularselectedpulse" + std::to_string(i) + ".png").c_str(), 18, 18);
        for (int i = 0; i < 60; ++i) {
            RegisterBlank(("star_base" + std::to_string(i) + ".png").c_str(), 20, 26);
            RegisterBlank(("star_pulse" + std::to_string(i) + ".png").c_str(), 28, 26);
        }
        for (int i = 0; i < 14; ++i) RegisterBlank(("star_appear" + std::to_string(i) + ".png").c_str(), 20, 26);
        RegisterBlank("mapstarpost1.png", 12, 30);
        RegisterBlank("mapdotfocus.png", 30, 30);
    }
    // A frame of the map: the widgets update, and the shown sprites step as
    // the renderer steps them.
    static void Frame() {
        CGuiButtonBase::UpdateAll();
        UpdateAllSprites();
    }
    static void Press() {
        CGuiButtonBase::UpdateAll();
        CGuiButtonBase::OnLeftButton(false, true);
        CGuiButtonBase::OnLeftButton(true, true);
    }
    static bool Shows(Dot& d, CSprite* s) { return d.GetCurrentSprite() == s && !s->IsHidden(); }
    // The report of (id, value, dclick) as the recording owner keeps it.
    static int Report(int id, int value, bool dclick) { return id * 100 + value * 10 + (dclick ? 1 : 0); }

    RecordingOwner owner;
};

TEST_F(MapDotTest, AClickSelectsASecondPlaysAndALockedLevelOnlySaysSo) {
    Dot open(100, 200, 7, &owner, Dot::KIND_DOT, Dot::STATE_PLAYABLE, Dot::ANIM_IDLE, -1, false);
    Dot solved(140, 200, 8, &owner, Dot::KIND_DOT, Dot::STATE_COMPLETED, Dot::ANIM_IDLE, -1, false);
    Dot locked(180, 200, 9, &owner, Dot::KIND_DOT, Dot::STATE_LOCKED, Dot::ANIM_IDLE, -1, false);
    EXPECT_EQ(Dot::GetSelectedDotId(), -1);

    // Hovering lights the open dot; the hit box lies around its middle.
    PointAt(109, 209);
    Frame();
    EXPECT_EQ(open.GetAnim(), Dot::ANIM_ROLLOVER);
    PointAt(109, 218);
    Frame();
    EXPECT_EQ(open.GetAnim(), Dot::ANIM_IDLE);

    // First press: select (value 0 for a level not yet solved).
    PointAt(109, 209);
    Press();
    ASSERT_EQ(owner.reports.size(), 1u);
    EXPECT_EQ(owner.reports.back(), Report(7, 0, false));
    EXPECT_EQ(Dot::GetSelectedDotId(), 7);
    EXPECT_TRUE(Shows(open, open.GetPulseSprite()));
    EXPECT_TRUE(open.GetBaseSprite()->IsHidden());
    // A second press within the double-click time plays it.
    for (int i = 0; i < 10; ++i) Frame();
    Press();
    EXPECT_EQ(owner.reports.back(), Report(7, 0, true));
    // After the double-click time a press is a single click again.
    for (int i = 0; i < Dot::kDoubleClickFrames + 1; ++i) Frame();
    Press();
    EXPECT_EQ(owner.reports.back(), Report(7, 0, false));

    // A solved level reports value 1, and takes the selection: the other
    // dot's pulse goes back to its base picture in the next frame.
    PointAt(149, 209);
    Press();
    EXPECT_EQ(owner.reports.back(), Report(8, 1, false));
    Frame();
    EXPECT_EQ(Dot::GetSelectedDotId(), 8);
    EXPECT_TRUE(Shows(open, open.GetBaseSprite()));
    EXPECT_TRUE(open.GetPulseSprite()->IsHidden());

    // A locked level says so (value -1), twice if clicked twice, and is
    // never selected; it has no pulse to show.
    PointAt(189, 209);
    const size_t before = owner.reports.size();
    Press();
    Press();
    ASSERT_EQ(owner.reports.size(), before + 2);
    EXPECT_EQ(owner.reports.back(), Report(9, -1, false));
    EXPECT_EQ(locked.GetPulseSprite(), nullptr);
    EXPECT_EQ(Dot::GetSelectedDotId(), 8);

    // The keyboard skips the locked dot: from the solved one it wraps round
    // to the open one, whose single click it reports.
    PointAt(149, 209);
    for (int i = 0; i < Dot::kDoubleClickFrames + 1; ++i) Frame();
    ASSERT_EQ(CGuiButtonBase::GetFocusIndex(), solved.GetIndex());
    CGuiButtonBase::MoveFocus(false);
    EXPECT_EQ(CGuiButtonBase::GetFocusIndex(), open.GetIndex());
    EXPECT_EQ(owner.reports.back(), Report(7, 0, false));
    // Clicked, left and come back to at once by keys: each move chooses its
    // dot as a first click does; the focused one wears the ring.
    PointAt(109, 209);
    Press();
    CGuiButtonBase::MoveFocus(true);
    CGuiButtonBase::MoveFocus(false);
    EXPECT_EQ(owner.reports.back(), Report(7, 0, false));
    Frame();
    EXPECT_FALSE(open.GetRingSprite()->IsHidden());
    EXPECT_TRUE(solved.GetRingSprite()->IsHidden());
}

TEST_F(MapDotTest, DotsComeIntoViewInTurnAndCannotBeReachedBefore) {
    // Appearing after a delay of two frames.
    Dot later(100, 200, 1, &owner, Dot::KIND_DOT, Dot::STATE_PLAYABLE, Dot::ANIM_APPEAR, 2, false);
    PointAt(109, 209);
    for (int i = 0; i < 3; ++i) {
        Frame();
        EXPECT_TRUE(later.GetCurrentSprite()->IsHidden()) << i;
        EXPECT_FALSE(later.IsMouseOver());
    }
    // Showing the map again while it waits keeps it out of view.
    later.Hide();
    later.Show();
    EXPECT_TRUE(later.GetCurrentSprite()->IsHidden());
    Frame();
    EXPECT_FALSE(later.GetCurrentSprite()->IsHidden());
    EXPECT_FALSE(later.IsMouseOver());
    Press();
    EXPECT_TRUE(owner.reports.empty());
    for (int i = 0; i < 20 && later.GetAnim() == Dot::ANIM_APPEAR; ++i) Frame();
    // In: the pointer over it lights it up.
    EXPECT_EQ(later.GetAnim(), Dot::ANIM_ROLLOVER);
    EXPECT_TRUE(later.IsMouseOver());

    // The current level appears and then pulses, selected.
    Dot current(140, 200, 2, &owner, Dot::KIND_DOT, Dot::STATE_PLAYABLE, Dot::ANIM_APPEAR_SELECT, 0, false);
    EXPECT_EQ(Dot::GetSelectedDotId(), 2);
    for (int i = 0; i < 20 && current.GetAnim() == Dot::ANIM_APPEAR_SELECT; ++i) Frame();
    EXPECT_EQ(current.GetAnim(), Dot::ANIM_SELECTED);
    EXPECT_TRUE(Shows(current, current.GetPulseSprite()));
    // A locked level asked to appear selected only appears.
    Dot shut(180, 200, 3, &owner, Dot::KIND_DOT, Dot::STATE_LOCKED, Dot::ANIM_APPEAR_SELECT, 0, false);
    EXPECT_EQ(shut.GetAnim(), Dot::ANIM_IDLE);
    EXPECT_EQ(Dot::GetSelectedDotId(), 2);
}

TEST_F(MapDotTest, ATutorialStarStandsAboveItsDotAndTakesThePointerThere) {
    Dot star(100, 200, 5, &owner, Dot::KIND_STAR, Dot::STATE_PLAYABLE, Dot::ANIM_IDLE, -1, false);
    Dot below(100, 200, 6, &owner, Dot::KIND_DOT, Dot::STATE_PLAYABLE, Dot::ANIM_IDLE, -1, false);
    EXPECT_EQ(star.GetSpriteX(), 99);
    EXPECT_EQ(star.GetSpriteY(), 172);
    EXPECT_FALSE(star.GetBaseSprite()->IsStopped());  // it spins
    // The star's hit box is above the dot's.
    PointAt(109, 188);
    EXPECT_TRUE(star.IsMouseOver());
    EXPECT_FALSE(below.IsMouseOver());
    PointAt(109, 209);
    EXPECT_FALSE(star.IsMouseOver());
    EXPECT_TRUE(below.IsMouseOver());
    PointAt(109, 188);
    Press();
    EXPECT_EQ(owner.reports.back(), Report(5, 0, false));
    // Its pulse is wider, drawn four pixels further left.
    EXPECT_EQ(star.GetPulseSprite()->GetX(false), 95);
    EXPECT_TRUE(Shows(star, star.GetPulseSprite()));

    // Placed off upright, the star stands there on its post, which goes out
    // of view and back with it.
    star.PlaceStar(115, 180, "mapstarpost1.png", 104, 177);
    EXPECT_EQ(star.GetSpriteX(), 101);
    EXPECT_EQ(star.GetSpriteY(), 167);
    EXPECT_EQ(star.GetBaseSprite()->GetX(false), 105);
    ASSERT_NE(star.GetPostSprite(), nullptr);
    EXPECT_EQ(star.GetPostSprite()->GetX(false), 104);
    EXPECT_FALSE(star.GetPostSprite()->IsHidden());
    star.Hide();
    EXPECT_TRUE(star.GetPostSprite()->IsHidden());
    star.Show();
    EXPECT_FALSE(star.GetPostSprite()->IsHidden());

    // A star coming into view holds still until it is in; its post comes
    // with it.
    Dot waiting(200, 200, 7, &owner, Dot::KIND_STAR, Dot::STATE_LOCKED, Dot::ANIM_APPEAR_SELECT, 0, false);
    waiting.PlaceStar(209, 185, "mapstarpost1.png", 204, 182);
    EXPECT_EQ(waiting.GetAnim(), Dot::ANIM_APPEAR);
    EXPECT_TRUE(waiting.IsStarWaiting());
    EXPECT_TRUE(waiting.GetBaseSprite()->IsStopped());
    EXPECT_TRUE(waiting.GetPostSprite()->IsHidden());
    for (int i = 0; i < 3; ++i) Frame();
    EXPECT_FALSE(waiting.GetCurrentSprite()->IsHidden());
    EXPECT_FALSE(waiting.GetPostSprite()->IsHidden());
}

}  // namespace
