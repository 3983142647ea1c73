// The push button's looks and reactions, on blank pictures.
#include <gtest/gtest.h>

#include "engine/CSprite.h"
#include "gui/CGuiButton.h"
#include "tests/gui/GuiTestSupport.h"

namespace {

class ButtonTest : public WidgetTest {
protected:
    static void SetUpTestSuite() {
        OpenDisplay();
        RegisterBlank("b_base.png", 100, 40);
        RegisterBlank("b_roll.png", 100, 40);
        RegisterBlank("b_click.png", 100, 40);
        RegisterBlank("b_shadow.png", 100, 40);
        RegisterBlank("b_text.png", 60, 20);
        RegisterBlank("b_off.png", 100, 40);
    }
    static CGuiButton* Make(RecordingOwner* owner, int id, int x, int y, bool withClick = false) {
        return new CGuiButton(x, y, id, owner, "b_base.png", "b_shadow.png", "b_roll.png",
                              withClick ? "b_click.png" : nullptr, false, 3, 4);
    }
};

TEST_F(ButtonTest, BuiltWithBaseAndShadowShown) {
    RecordingOwner owner;
    std::unique_ptr<CGuiButton> b(Make(&owner, 1, 100, 200));
    EXPECT_FALSE(b->GetBaseSprite()->IsHidden());
    EXPECT_FALSE(b->GetShadowSprite()->IsHidden());
    EXPECT_TRUE(b->GetRolloverSprite()->IsHidden());
    EXPECT_EQ(b->GetClickSprite(), nullptr);
    EXPECT_EQ(b->GetShadowSprite()->GetX(false), 103);
    EXPECT_EQ(b->GetShadowSprite()->GetY(false), 204);
    EXPECT_EQ(b->GetBaseSprite()->GetType(), LAYER_CL_BUTTON);
    EXPECT_EQ(b->GetShadowSprite()->GetType(), LAYER_CL_SHADOW);
    EXPECT_EQ(b->GetRolloverSprite()->GetType(), LAYER_CL_ROLL);
    EXPECT_STREQ(b->GetBaseSprite()->GetName(), "GUI Button Base");
    EXPECT_EQ(b->GetCentreX(), 150);
    EXPECT_EQ(b->GetCentreY(), 220);
}

TEST_F(ButtonTest, HoverShowsRolloverAndMovesText) {
    RecordingOwner owner;
    std::unique_ptr<CGuiButton> b(Make(&owner, 1, 100, 200));
    b->SetText("b_text.png", 24, 13, -10, -7, -4, -3);
    PointAt(150, 220);
    CGuiButtonBase::UpdateAll();
    EXPECT_EQ(CGuiButtonBase::GetFocusedButton(), b.get());
    EXPECT_TRUE(b->GetBaseSprite()->IsHidden());
    EXPECT_FALSE(b->GetRolloverSprite()->IsHidden());
    EXPECT_EQ(b->GetTextSprite()->GetX(false), 114);
    EXPECT_EQ(b->GetTextSprite()->GetY(false), 206);
    // Held without a click image: the rollover is pushed by (2, 2).
    CGuiButtonBase::OnLeftButton(false, true);
    CGuiButtonBase::UpdateAll();
    EXPECT_EQ(b->GetRolloverSprite()->GetX(false), 102);
    EXPECT_EQ(b->GetRolloverSprite()->GetY(false), 202);
    EXPECT_EQ(b->GetTextSprite()->GetX(false), 120);
    EXPECT_EQ(b->GetTextSprite()->GetY(false), 210);
    // Leaving: normal look again.
    PointAt(10, 10);
    CGuiButtonBase::UpdateAll();
    EXPECT_FALSE(b->GetBaseSprite()->IsHidden());
    EXPECT_TRUE(b->GetRolloverSprite()->IsHidden());
    EXPECT_EQ(b->GetTextSprite()->GetX(false), 124);
}

TEST_F(ButtonTest, HeldWithClickImageShowsIt) {
    RecordingOwner owner;
    std::unique_ptr<CGuiButton> b(Make(&owner, 1, 100, 200, true));
    PointAt(100, 200);  // the corner counts as over
    CGuiButtonBase::UpdateAll();
    CGuiButtonBase::OnLeftButton(false, true);
    CGuiButtonBase::UpdateAll();
    EXPECT_TRUE(b->GetRolloverSprite()->IsHidden());
    EXPECT_FALSE(b->GetClickSprite()->IsHidden());
}

TEST_F(ButtonTest, EdgesIncluded) {
    RecordingOwner owner;
    std::unique_ptr<CGuiButton> b(Make(&owner, 1, 100, 200));
    PointAt(200, 240);
    EXPECT_TRUE(b->IsMouseOver());
    PointAt(201, 240);
    EXPECT_FALSE(b->IsMouseOver());
    PointAt(99, 220);
    EXPECT_FALSE(b->IsMouseOver());
}

TEST_F(ButtonTest, OverlappingButtonsOnlyEarlierOneRollsOver) {
    RecordingOwner owner;
    std::unique_ptr<CGuiButton> a(Make(&owner, 1, 100, 200));
    std::unique_ptr<CGuiButton> b(Make(&owner, 2, 150, 220));
    PointAt(160, 230);
    CGuiButtonBase::UpdateAll();
    EXPECT_FALSE(a->GetRolloverSprite()->IsHidden());
    EXPECT_TRUE(b->GetRolloverSprite()->IsHidden());
    EXPECT_FALSE(b->GetBaseSprite()->IsHidden());
}

TEST_F(ButtonTest, ReleaseOverFocusedButtonReports) {
    RecordingOwner owner;
    std::unique_ptr<CGuiButton> b(Make(&owner, 7, 100, 200));
    PointAt(150, 220);
    CGuiButtonBase::UpdateAll();
    CGuiButtonBase::OnLeftButton(false, true);
    EXPECT_TRUE(owner.reports.empty());
    CGuiButtonBase::UpdateAll();
    CGuiButtonBase::OnLeftButton(true, true);
    EXPECT_EQ(owner.reports, std::vector<int>{700});
}

TEST_F(ButtonTest, DisabledStaysVisibleAndInert) {
    RecordingOwner owner;
    std::unique_ptr<CGuiButton> b(Make(&owner, 7, 100, 200));
    b->SetText("b_text.png", 24, 13, 0, 0, 0, 0);
    b->SetDisableImage("b_off.png", 1, 2);
    EXPECT_TRUE(b->GetDisableSprite()->IsHidden());
    b->Disable();
    EXPECT_TRUE(b->IsDisabled());
    EXPECT_TRUE(b->IsHidden());
    EXPECT_FALSE(b->GetBaseSprite()->IsHidden());
    EXPECT_FALSE(b->GetShadowSprite()->IsHidden());
    EXPECT_FALSE(b->GetTextSprite()->IsHidden());
    EXPECT_FALSE(b->GetDisableSprite()->IsHidden());
    // No focus, no reaction.
    PointAt(150, 220);
    CGuiButtonBase::UpdateAll();
    EXPECT_EQ(CGuiButtonBase::GetFocusIndex(), -1);
    EXPECT_TRUE(b->GetRolloverSprite()->IsHidden());
    CGuiButtonBase::OnLeftButton(false, true);
    CGuiButtonBase::OnLeftButton(true, true);
    EXPECT_TRUE(owner.reports.empty());
    // Hide changes nothing on a disabled button.
    b->Hide();
    EXPECT_FALSE(b->GetBaseSprite()->IsHidden());
    EXPECT_FALSE(b->GetDisableSprite()->IsHidden());
    // Show keeps it inert.
    b->Show();
    EXPECT_TRUE(b->IsHidden());
    // Enable brings it back.
    b->Enable();
    EXPECT_FALSE(b->IsDisabled());
    EXPECT_FALSE(b->IsHidden());
    EXPECT_TRUE(b->GetDisableSprite()->IsHidden());
    CGuiButtonBase::UpdateAll();
    EXPECT_EQ(CGuiButtonBase::GetFocusedButton(), b.get());
}

TEST_F(ButtonTest, DisabledButtonIsSkippedByFocusMoves) {
    RecordingOwner owner;
    std::unique_ptr<CGuiButton> a(Make(&owner, 1, 0, 0));
    std::unique_ptr<CGuiButton> b(Make(&owner, 2, 0, 100));
    std::unique_ptr<CGuiButton> c(Make(&owner, 3, 0, 200));
    b->Disable();
    PointAt(700, 500);
    CGuiButtonBase::MoveFocus(false);
    CGuiButtonBase::MoveFocus(false);
    EXPECT_EQ(CGuiButtonBase::GetFocusedButton(), c.get());
}

TEST_F(ButtonTest, HiddenButtonShowsNothingUntilShown) {
    RecordingOwner owner;
    std::unique_ptr<CGuiButton> b(Make(&owner, 1, 100, 200));
    b->SetText("b_text.png", 0, 0, 0, 0, 0, 0);
    b->Hide();
    EXPECT_TRUE(b->GetBaseSprite()->IsHidden());
    EXPECT_TRUE(b->GetShadowSprite()->IsHidden());
    EXPECT_TRUE(b->GetTextSprite()->IsHidden());
    PointAt(150, 220);
    CGuiButtonBase::UpdateAll();
    EXPECT_EQ(CGuiButtonBase::GetFocusIndex(), -1);
    b->Show();
    EXPECT_FALSE(b->GetBaseSprite()->IsHidden());
    EXPECT_FALSE(b->GetTextSprite()->IsHidden());
    EXPECT_FALSE(b->IsHidden());
}

TEST_F(ButtonTest, SetPositionMovesEverySprite) {
    RecordingOwner owner;
    std::unique_ptr<CGuiButton> b(Make(&owner, 1, 100, 200, true));
    b->SetText("b_text.png", 5, 6, 0, 0, 0, 0);
    b->SetDisableImage("b_off.png", 1, 2);
    b->SetPosition(300, 400);
    EXPECT_EQ(b->GetBaseSprite()->GetX(false), 300);
    EXPECT_EQ(b->GetRolloverSprite()->GetY(false), 400);
    EXPECT_EQ(b->GetClickSprite()->GetX(false), 300);
    EXPECT_EQ(b->GetShadowSprite()->GetX(false), 303);
    EXPECT_EQ(b->GetTextSprite()->GetX(false), 305);
    EXPECT_EQ(b->GetTextSprite()->GetY(false), 406);
    EXPECT_EQ(b->GetDisableSprite()->GetX(false), 301);
    EXPECT_EQ(b->GetX(), 300);
}

TEST_F(ButtonTest, KeyboardFocusWarpsPointerToCentre) {
    RecordingOwner owner;
    std::unique_ptr<CGuiButton> b(Make(&owner, 1, 100, 200));
    DrainEvents();
    CGuiButtonBase::MoveFocus(false);
    SDL_Event e;
    bool sawMotion = false;
    while (SDL_PollEvent(&e)) {
        if (e.type == SDL_MOUSEMOTION) {
            sawMotion = true;
            EXPECT_EQ(e.motion.x, 150);
            EXPECT_EQ(e.motion.y, 220);
        }
    }
    EXPECT_TRUE(sawMotion);
}

TEST_F(ButtonTest, DeletingButtonsFreesTheirSprites) {
    RecordingOwner owner;
    const size_t before = GetSpriteList().size();
    {
        std::unique_ptr<CGuiButton> b(Make(&owner, 1, 100, 200, true));
        b->SetText("b_text.png", 0, 0, 0, 0, 0, 0);
        b->SetDisableImage("b_off.png", 0, 0);
        EXPECT_EQ(GetSpriteList().size(), before + 6);
    }
    EXPECT_EQ(GetSpriteList().size(), before);
}

}  // namespace
