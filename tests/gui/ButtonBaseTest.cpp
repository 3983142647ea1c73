// The widget registry: focus moves, activation by key and by the left button.
#include <gtest/gtest.h>

#include "gui/CGuiButtonBase.h"
#include "tests/gui/FakeWidget.h"
#include "tests/gui/GuiTestSupport.h"

namespace {

class ButtonBaseTest : public ::testing::Test {
protected:
    void SetUp() override {
        CGuiButtonBase::ResetState();
        CController::ResetStack();
    }
};

TEST_F(ButtonBaseTest, IndexesFollowConstructionOrder) {
    RecordingOwner owner;
    FakeWidget a(10, &owner), b(11, &owner), c(12, &owner);
    EXPECT_EQ(a.GetIndex(), 0);
    EXPECT_EQ(b.GetIndex(), 1);
    EXPECT_EQ(c.GetIndex(), 2);
    EXPECT_EQ(CGuiButtonBase::GetRegistrySize(), 3u);
}

TEST_F(ButtonBaseTest, IndexesStayUniqueAfterRemovals) {
    RecordingOwner owner;
    auto* a = new FakeWidget(10, &owner);
    FakeWidget b(11, &owner);
    delete a;
    FakeWidget c(12, &owner);
    EXPECT_NE(b.GetIndex(), c.GetIndex());
    EXPECT_LT(b.GetIndex(), c.GetIndex());
    // Focus order is still the order of construction.
    CGuiButtonBase::MoveFocus(false);
    EXPECT_EQ(CGuiButtonBase::GetFocusedButton(), &b);
    CGuiButtonBase::MoveFocus(false);
    EXPECT_EQ(CGuiButtonBase::GetFocusedButton(), &c);
}

TEST_F(ButtonBaseTest, MoveFromNoFocusAndWrap) {
    RecordingOwner owner;
    FakeWidget a(1, &owner), b(2, &owner), c(3, &owner);
    CGuiButtonBase::MoveFocus(false);
    EXPECT_EQ(CGuiButtonBase::GetFocusIndex(), 0);
    CGuiButtonBase::MoveFocus(true);
    EXPECT_EQ(CGuiButtonBase::GetFocusIndex(), 2);
    CGuiButtonBase::MoveFocus(false);
    EXPECT_EQ(CGuiButtonBase::GetFocusIndex(), 0);
    CGuiButtonBase::ResetState();
    CGuiButtonBase::MoveFocus(true);
    EXPECT_EQ(CGuiButtonBase::GetFocusIndex(), 2);
    EXPECT_EQ(c.warps, 2);
}

TEST_F(ButtonBaseTest, MovesSkipHiddenAndNoKeyFocusWidgets) {
    RecordingOwner owner;
    FakeWidget a(1, &owner), b(2, &owner), c(3, &owner), d(4, &owner);
    b.Hide();
    c.SetNoKeyFocus(true);
    CGuiButtonBase::MoveFocus(false);
    EXPECT_EQ(CGuiButtonBase::GetFocusedButton(), &a);
    CGuiButtonBase::MoveFocus(false);
    EXPECT_EQ(CGuiButtonBase::GetFocusedButton(), &d);
    CGuiButtonBase::MoveFocus(true);
    EXPECT_EQ(CGuiButtonBase::GetFocusedButton(), &a);
    EXPECT_EQ(b.warps + c.warps, 0);
}

TEST_F(ButtonBaseTest, MoveEndsWhenEveryWidgetIsHidden) {
    RecordingOwner owner;
    FakeWidget a(1, &owner), b(2, &owner);
    a.Hide();
    b.SetNoKeyFocus(true);
    CGuiButtonBase::MoveFocus(false);
    EXPECT_EQ(CGuiButtonBase::GetFocusIndex(), -1);
    CGuiButtonBase::MoveFocus(true);
    EXPECT_EQ(CGuiButtonBase::GetFocusIndex(), -1);
    EXPECT_EQ(a.warps + b.warps, 0);
}

TEST_F(ButtonBaseTest, MoveWithNoWidgetsDoesNothing) {
    CGuiButtonBase::MoveFocus(false);
    EXPECT_EQ(CGuiButtonBase::GetFocusIndex(), -1);
}

TEST_F(ButtonBaseTest, UpdateAllGivesFocusToFirstWidgetUnderPointer) {
    RecordingOwner owner;
    FakeWidget a(1, &owner), b(2, &owner), c(3, &owner);
    b.over = true;
    c.over = true;
    CGuiButtonBase::UpdateAll();
    EXPECT_EQ(CGuiButtonBase::GetFocusedButton(), &b);
    b.over = false;
    c.over = false;
    CGuiButtonBase::UpdateAll();
    EXPECT_EQ(CGuiButtonBase::GetFocusIndex(), -1);
    EXPECT_EQ(CGuiButtonBase::GetFocusedButton(), nullptr);
}

TEST_F(ButtonBaseTest, KeyActivatesFocusedElseFirstVisibleDefault) {
    RecordingOwner owner;
    FakeWidget a(1, &owner), b(2, &owner, true), c(3, &owner, true);
    CGuiButtonBase::ActivateFocused(true);
    EXPECT_EQ(owner.reports, std::vector<int>{200});
    b.Hide();
    CGuiButtonBase::ActivateFocused(true);
    EXPECT_EQ(owner.reports, (std::vector<int>{200, 300}));
    a.over = true;
    CGuiButtonBase::UpdateAll();
    CGuiButtonBase::ActivateFocused(true);
    EXPECT_EQ(owner.reports, (std::vector<int>{200, 300, 100}));
}

TEST_F(ButtonBaseTest, NoDefaultMeansNothingHappens) {
    RecordingOwner owner;
    FakeWidget a(1, &owner);
    CGuiButtonBase::ActivateFocused(true);
    EXPECT_TRUE(owner.reports.empty());
}

TEST_F(ButtonBaseTest, ReleaseWidgetActsOnReleaseNotPress) {
    RecordingOwner owner;
    FakeWidget a(1, &owner);
    a.over = true;
    CGuiButtonBase::UpdateAll();
    CGuiButtonBase::OnLeftButton(false, true);
    EXPECT_TRUE(owner.reports.empty());
    CGuiButtonBase::OnLeftButton(true, true);
    EXPECT_EQ(owner.reports, std::vector<int>{100});
}

TEST_F(ButtonBaseTest, PressWidgetActsOnPress) {
    RecordingOwner owner;
    FakeWidget dot(5, &owner, false, false);
    dot.over = true;
    CGuiButtonBase::UpdateAll();
    CGuiButtonBase::OnLeftButton(false, true);
    EXPECT_EQ(owner.reports, std::vector<int>{500});
    CGuiButtonBase::OnLeftButton(true, true);
    EXPECT_EQ(owner.reports.size(), 1u);
}

TEST_F(ButtonBaseTest, PressOnOneReleaseOnAnotherActivatesTheSecond) {
    RecordingOwner owner;
    FakeWidget a(1, &owner), b(2, &owner);
    a.over = true;
    CGuiButtonBase::UpdateAll();
    CGuiButtonBase::OnLeftButton(false, true);
    a.over = false;
    b.over = true;
    CGuiButtonBase::UpdateAll();
    CGuiButtonBase::OnLeftButton(true, true);
    EXPECT_EQ(owner.reports, std::vector<int>{200});
}

TEST_F(ButtonBaseTest, ReleaseWithoutPressActivatesNothing) {
    RecordingOwner owner;
    FakeWidget a(1, &owner);
    a.over = true;
    CGuiButtonBase::UpdateAll();
    CGuiButtonBase::OnLeftButton(true, true);
    EXPECT_TRUE(owner.reports.empty());
    // A screen switch clears the held state without activating.
    CGuiButtonBase::OnLeftButton(false, true);
    CGuiButtonBase::OnLeftButton(true, false);
    EXPECT_FALSE(CGuiButtonBase::IsLeftHeld());
    EXPECT_TRUE(owner.reports.empty());
}

TEST_F(ButtonBaseTest, RepeatedPressChangesNothing) {
    RecordingOwner owner;
    FakeWidget dot(5, &owner, false, false);
    dot.over = true;
    CGuiButtonBase::UpdateAll();
    CGuiButtonBase::OnLeftButton(false, true);
    CGuiButtonBase::OnLeftButton(false, true);
    EXPECT_EQ(owner.reports.size(), 1u);
}

TEST_F(ButtonBaseTest, DestroyedWidgetLeavesRegistry) {
    RecordingOwner owner;
    {
        FakeWidget a(1, &owner);
        EXPECT_EQ(CGuiButtonBase::GetRegistrySize(), 1u);
    }
    EXPECT_EQ(CGuiButtonBase::GetRegistrySize(), 0u);
}

}  // namespace
