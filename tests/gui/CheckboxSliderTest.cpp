// The options screen's two small widgets on blank pictures: the check box
// (looks, hover, press and release, keys) and the level slider (its bar, its
// limits, its grey veil).
#include <gtest/gtest.h>

#include <memory>

#include "engine/CSprite.h"
#include "gui/CGuiButton.h"
#include "gui/CGuiCheckbox.h"
#include "gui/CGuiSlider.h"
#include "tests/gui/GuiTestSupport.h"

namespace {

class CheckboxSliderTest : public WidgetTest {
protected:
    static void SetUpTestSuite() {
        OpenDisplay();
        for (const char* n : {"checkbox_base.png", "checkbox_rollover.png", "checkbox_basecheck.png",
                              "checkbox_rollovercheck.png"})
            RegisterBlank(n, 22, 22);
        RegisterBlank("slider_shadow.png", 116, 20);
        RegisterBlank("slider_frame.png", 112, 16);
        RegisterBlank("slider_value.png", 112, 16);
        RegisterBlank("slider_greyout.png", 152, 20);
    }
    // Which looks are shown, as a string of four flags.
    static std::string Looks(const CGuiCheckbox& c) {
        std::string s;
        for (int i = 0; i < CGuiCheckbox::LOOK_COUNT; ++i) s += c.GetSprite(i)->IsHidden() ? '-' : 'x';
        return s;
    }
};

// Flags in the order unchecked, unchecked rollover, checked, checked rollover.
TEST_F(CheckboxSliderTest, CheckboxFlipsOnTheReleaseAndReportsTheNewState) {
    RecordingOwner owner;
    CGuiCheckbox box(300, 200, 21, &owner);
    EXPECT_EQ(Looks(box), "--x-");
    box.SetChecked(false);
    EXPECT_EQ(Looks(box), "x---");
    EXPECT_TRUE(owner.reports.empty());

    // Hover: the rollover of the current state, in place.
    PointAt(322, 222);  // the far corner counts
    CGuiButtonBase::UpdateAll();
    EXPECT_EQ(CGuiButtonBase::GetFocusedButton(), &box);
    EXPECT_EQ(Looks(box), "-x--");
    // Held: it sinks by two pixels and does not flip yet.
    CGuiButtonBase::OnLeftButton(false, true);
    CGuiButtonBase::UpdateAll();
    EXPECT_EQ(box.GetSprite(CGuiCheckbox::LOOK_UNCHECKED_ROLLOVER)->GetX(false), 302);
    EXPECT_EQ(box.GetSprite(CGuiCheckbox::LOOK_UNCHECKED_ROLLOVER)->GetY(false), 202);
    EXPECT_TRUE(owner.reports.empty());
    // Released: ticked, reported as 1; the next frame shows the ticked rollover.
    CGuiButtonBase::OnLeftButton(true, true);
    EXPECT_EQ(owner.reports, std::vector<int>{2110});
    EXPECT_EQ(Looks(box), "--x-");
    CGuiButtonBase::UpdateAll();
    EXPECT_EQ(Looks(box), "---x");
    EXPECT_EQ(box.GetSprite(CGuiCheckbox::LOOK_CHECKED_ROLLOVER)->GetX(false), 300);

    // By key: 0, then 1 again.
    CGuiButtonBase::ActivateFocused(true);
    CGuiButtonBase::UpdateAll();
    CGuiButtonBase::ActivateFocused(true);
    EXPECT_EQ(owner.reports, (std::vector<int>{2110, 2100, 2110}));

    // Off the box: the plain look of the state.
    PointAt(323, 200);
    CGuiButtonBase::UpdateAll();
    EXPECT_EQ(CGuiButtonBase::GetFocusIndex(), -1);
    EXPECT_EQ(Looks(box), "--x-");
    // Hidden: nothing shows and nothing is taken; shown again in its state.
    box.Hide();
    EXPECT_EQ(Looks(box), "----");
    PointAt(310, 210);
    CGuiButtonBase::UpdateAll();
    EXPECT_EQ(CGuiButtonBase::GetFocusIndex(), -1);
    box.Show();
    EXPECT_EQ(Looks(box), "--x-");
}

TEST_F(CheckboxSliderTest, SliderBarLimitsAndGreyVeil) {
    CGuiSlider s(395, 125);
    EXPECT_EQ(s.GetValue(), 11);
    EXPECT_EQ(s.GetBar()->GetWidth(false), 112);
    s.Increase();
    EXPECT_EQ(s.GetValue(), 11);
    s.Decrease();
    EXPECT_EQ(s.GetValue(), 10);
    EXPECT_EQ(s.GetBar()->GetWidth(false), 102);
    s.SetValue(1);
    EXPECT_EQ(s.GetBar()->GetWidth(false), 12);
    s.Decrease();
    s.Decrease();
    EXPECT_EQ(s.GetValue(), 0);
    EXPECT_EQ(s.GetBar()->GetWidth(false), 0);

    // Disabled: the veil covers the gauge from 18 pixels further left, the
    // steps do nothing, SetValue still moves the bar.
    EXPECT_TRUE(s.GetGreyOut()->IsHidden());
    s.SetDisabled(true);
    EXPECT_FALSE(s.GetGreyOut()->IsHidden());
    EXPECT_EQ(s.GetGreyOut()->GetX(false), 377);
    s.Increase();
    EXPECT_EQ(s.GetValue(), 0);
    s.SetValue(5);
    EXPECT_EQ(s.GetBar()->GetWidth(false), 52);
    s.SetDisabled(false);
    EXPECT_TRUE(s.GetGreyOut()->IsHidden());
    s.Increase();
    EXPECT_EQ(s.GetValue(), 6);
}

}  // namespace
