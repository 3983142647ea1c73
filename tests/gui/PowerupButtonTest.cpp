// The one-shot power-up button: empty until given content, reports its value
// once, plays the click animation and empties itself.
#include <gtest/gtest.h>

#include <memory>

#include "engine/CSprite.h"
#include "gui/CGuiButtonPowerup.h"
#include "tests/gui/GuiTestSupport.h"

namespace {

class PowerupButtonTest : public WidgetTest {
protected:
    static void SetUpTestSuite() {
        OpenDisplay();
        RegisterBlank("pu_a.png", 40, 40);
        RegisterBlank("pu_b.png", 40, 40);
    }
    // A two-frame animation (a still frame when frames is 1).
    static std::unique_ptr<CSprite> Anim(int frames) {
        auto s = std::make_unique<CSprite>(LAYER_CL_TEXT, 1, false);
        s->AddFrame("pu_a.png");
        if (frames > 1) s->AddFrame("pu_b.png");
        return s;
    }
    // Steps a sprite's animation to its end, as the renderer would.
    static void RunToEnd(CSprite* s) {
        for (int i = 0; i < 10 && !s->IsFinished(); ++i) s->Update();
    }
    static void Press() {
        CGuiButtonBase::UpdateAll();
        CGuiButtonBase::OnLeftButton(false, true);
        CGuiButtonBase::OnLeftButton(true, true);
    }
    RecordingOwner owner;
};

TEST_F(PowerupButtonTest, EmptyButtonNeitherTakesFocusNorReports) {
    CGuiButtonPowerup b(200, 300, 7, &owner);
    PointAt(210, 310);
    Press();
    EXPECT_EQ(CGuiButtonBase::GetFocusIndex(), -1);
    EXPECT_TRUE(owner.reports.empty());
    EXPECT_FALSE(b.IsMouseOver());
}

TEST_F(PowerupButtonTest, ValueIsReportedOnceAndTheButtonEmptiesAfterTheClick) {
    CGuiButtonPowerup b(200, 300, 7, &owner);
    b.SetContent(Anim(1), Anim(1), Anim(2), Anim(1), 5);
    ASSERT_TRUE(b.HasContent());
    EXPECT_FALSE(b.GetBaseSprite()->IsHidden());
    EXPECT_FALSE(b.GetTextSprite()->IsHidden());
    EXPECT_TRUE(b.GetRolloverSprite()->IsHidden());
    EXPECT_TRUE(b.GetClickSprite()->IsHidden());
    EXPECT_EQ(b.GetBaseSprite()->GetX(false), 200);
    EXPECT_STREQ(b.GetClickSprite()->GetName(), "GUI Powerup Button Click");

    // Hovering: the rollover replaces the base once the base has finished.
    PointAt(220, 320);
    CGuiButtonBase::UpdateAll();
    EXPECT_EQ(CGuiButtonBase::GetFocusIndex(), b.GetIndex());
    RunToEnd(b.GetBaseSprite());
    CGuiButtonBase::UpdateAll();
    EXPECT_TRUE(b.GetBaseSprite()->IsHidden());
    EXPECT_FALSE(b.GetRolloverSprite()->IsHidden());

    Press();
    ASSERT_EQ(owner.reports.size(), 1u);
    EXPECT_EQ(owner.reports[0], 7 * 100 + 5 * 10);
    EXPECT_TRUE(b.IsUsed());
    EXPECT_EQ(b.GetValue(), 0);
    EXPECT_FALSE(b.GetClickSprite()->IsHidden());
    EXPECT_TRUE(b.GetRolloverSprite()->IsHidden());
    EXPECT_TRUE(b.GetTextSprite()->IsHidden());

    // A second press during the click animation reports nothing.
    Press();
    EXPECT_EQ(owner.reports.size(), 1u);
    EXPECT_EQ(CGuiButtonBase::GetFocusIndex(), -1);

    // The click runs to its end, is hidden, and the next frame empties.
    CGuiButtonBase::UpdateAll();
    EXPECT_TRUE(b.HasContent());
    RunToEnd(b.GetClickSprite());
    CGuiButtonBase::UpdateAll();
    EXPECT_TRUE(b.HasContent());
    EXPECT_TRUE(b.GetClickSprite()->IsHidden());
    CGuiButtonBase::UpdateAll();
    EXPECT_FALSE(b.HasContent());
    EXPECT_EQ(b.GetBaseSprite(), nullptr);
    Press();
    EXPECT_EQ(owner.reports.size(), 1u);
}

TEST_F(PowerupButtonTest, ContentWithoutClickSpriteEmptiesInTheNextFrame) {
    CGuiButtonPowerup b(10, 10, 3, &owner);
    b.SetContent(Anim(1), nullptr, nullptr, nullptr, 9);
    PointAt(20, 20);
    Press();
    ASSERT_EQ(owner.reports.size(), 1u);
    EXPECT_EQ(owner.reports[0], 3 * 100 + 9 * 10);
    EXPECT_TRUE(b.HasContent());
    CGuiButtonBase::UpdateAll();
    EXPECT_FALSE(b.HasContent());
}

TEST_F(PowerupButtonTest, HiddenButtonIgnoresThePointerAndClearEmptiesIt) {
    CGuiButtonPowerup b(10, 10, 3, &owner);
    b.SetContent(Anim(1), Anim(1), nullptr, Anim(1), 2);
    b.Hide();
    EXPECT_TRUE(b.GetBaseSprite()->IsHidden());
    EXPECT_TRUE(b.GetTextSprite()->IsHidden());
    PointAt(20, 20);
    Press();
    EXPECT_TRUE(owner.reports.empty());
    b.Show();
    EXPECT_FALSE(b.GetBaseSprite()->IsHidden());
    // A new content replaces the old sprites.
    b.SetContent(Anim(1), nullptr, nullptr, nullptr, 4);
    EXPECT_EQ(b.GetRolloverSprite(), nullptr);
    b.Clear();
    EXPECT_FALSE(b.HasContent());
    Press();
    EXPECT_TRUE(owner.reports.empty());
}

}  // namespace
