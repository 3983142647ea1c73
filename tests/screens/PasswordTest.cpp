// The two password dialogs on the real resources: a password set, asked
// for, changed and removed through the keyboard, wrong ones refused with the
// mark, and what the profile's files keep of it.
#include <gtest/gtest.h>

#include <SDL.h>

#include <algorithm>
#include <memory>

#include "engine/CController.h"
#include "engine/CDraw.h"
#include "engine/CSprite.h"
#include "gui/CGuiButton.h"
#include "gui/CGuiTextbox.h"
#include "gui/CInvalidMark.h"
#include "players/CProfile.h"
#include "screens/CControllerOptionsPassword.h"
#include "screens/CControllerPassword.h"
#include "tests/gui/GuiTestSupport.h"
#include "tests/screens/ScreenTest.h"

namespace {


class PasswordTest : public ScreenTest {
protected:
    void SetUp() override {
        ScreenTest::SetUp();
        root.Activate(nullptr);
        Profile().SetPassword("");
    }
    // The password the INFO file holds, read by a second profile object.
    static std::string StoredPassword() {
        CProfile other;
        return other.GetPassword();
    }
    RecordingOwner root{18};
};

TEST_F(PasswordTest, SetAskChangeAndRemove) {
    // Set: no password yet, so the empty first box matches.
    auto change = std::make_unique<CControllerOptionsPassword>("");
    root.OpenChild(change.get());
    Frames(2);
    EXPECT_EQ(change->GetFocusedBox(), 0);
    TapKey(SDLK_RETURN);  // to the new password's box
    TypeText("Sesame7");
    TapKey(SDLK_RETURN);  // onto okay
    Frames(3);
    EXPECT_STREQ(change->GetBox(1)->GetText(), "Sesame7");
    // Both boxes show a star per letter and keep the letters.
    for (int i = 0; i < 2; ++i) EXPECT_TRUE(change->GetBox(i)->IsMasked());
    EXPECT_EQ(change->GetBox(1)->GetShownText(), "*******");
    EXPECT_EQ(CGuiButtonBase::GetFocusedButton(), change->GetOkayButton());
    TapKey(SDLK_RETURN);
    Frame();
    EXPECT_EQ(CController::GetCurrent(), &root);
    EXPECT_TRUE(change->IsAccepted());
    EXPECT_STREQ(Profile().GetPassword(), "Sesame7");
    EXPECT_EQ(StoredPassword(), "Sesame7");
    change.reset();

    // Ask: a wrong entry empties the box and holds the mark for 30 frames.
    auto ask = std::make_unique<CControllerPassword>(Profile().GetPassword());
    root.OpenChild(ask.get());
    EXPECT_EQ(ask->GetID(), CONTROLLER_PASSWORD);
    EXPECT_TRUE(ask->GetTextbox()->IsMasked());
    TypeText("sesame7");
    TapKey(SDLK_RETURN);
    Frame();
    EXPECT_EQ(CController::GetCurrent(), ask.get());
    EXPECT_STREQ(ask->GetTextbox()->GetText(), "");
    CSprite* mark = ask->GetMark()->GetSprite();
    EXPECT_FALSE(mark->IsHidden());
    EXPECT_EQ(mark->GetFrame(), 0);
    Frames(28);  // 29 frames with the first picture standing
    EXPECT_TRUE(mark->IsStopped());
    Frame();
    EXPECT_TRUE(mark->IsPlayingForward());
    TypeText("Sesame7");
    TapKey(SDLK_RETURN);
    Frame();
    EXPECT_EQ(CController::GetCurrent(), &root);
    EXPECT_FALSE(ask->IsCancelled());
    ask.reset();

    // Change: a wrong current password is refused, the mark holds 40 frames.
    change = std::make_unique<CControllerOptionsPassword>(Profile().GetPassword());
    root.OpenChild(change.get());
    TypeText("guess");
    TapKey(SDLK_TAB);
    TypeText("other");
    Frame();
    change->GUICallback(CControllerOptionsPassword::BUTTON_OKAY, 0, false);
    Frame();
    EXPECT_EQ(CController::GetCurrent(), change.get());
    EXPECT_FALSE(change->IsAccepted());
    EXPECT_STREQ(change->GetBox(0)->GetText(), "");
    EXPECT_EQ(change->GetFocusedBox(), 0);
    EXPECT_EQ(change->GetMark()->GetDelay(), 39);
    EXPECT_STREQ(Profile().GetPassword(), "Sesame7");
    // Remove: the right current password and an empty new one.
    TypeText("Sesame7");
    Frame();
    change->GetBox(1)->SetText("");
    change->GUICallback(CControllerOptionsPassword::BUTTON_OKAY, 0, false);
    Frame();
    EXPECT_TRUE(change->IsAccepted());
    EXPECT_FALSE(Profile().HasPassword());
    EXPECT_EQ(StoredPassword(), "");
}

TEST_F(PasswordTest, PromptCancelsWithEscapeAndShowsStars) {
    Profile().SetPassword("abc");
    auto ask = std::make_unique<CControllerPassword>("abc");
    root.OpenChild(ask.get());
    TypeText("abcdefghijkl");  // ten at most, shown as stars
    Frames(2);
    EXPECT_STREQ(ask->GetTextbox()->GetText(), "abcdefghij");
    TapKey(SDLK_ESCAPE);
    Frame();
    EXPECT_EQ(CController::GetCurrent(), &root);
    EXPECT_TRUE(ask->IsCancelled());
    EXPECT_EQ(ask->GetText(), nullptr);
}

TEST_F(PasswordTest, ChangeDialogRingAndClicks) {
    auto change = std::make_unique<CControllerOptionsPassword>("");
    root.OpenChild(change.get());
    Frames(2);
    // Each label stands on one line, level with its field and short of it
    // (the page lies at 150, 88).
    SDL_Surface* page = CDraw::GetSurface(CDraw::FindImage("baseOptionsPasswordController.png"));
    ASSERT_NE(page, nullptr);
    for (int i = 0; i < 2; ++i) {
        const CSprite* field = change->GetBox(i)->GetTextSprite();
        const int top = field->GetY(false) - 88, bottom = top + field->GetHeight(true), left = field->GetX(false) - 150;
        int first = -1, last = -1, right = -1;
        for (int y = top - 14; y < bottom + 14; ++y)
            for (int x = 40; x < left; ++x) {
                Uint8 r, g, b;
                SDL_GetRGB(CDraw::GetPixel(page, x, y), page->format, &r, &g, &b);
                if (r + g + b >= 400) continue;
                if (first < 0) first = y;
                last = y;
                right = std::max(right, x);
            }
        ASSERT_GE(first, 0) << "no label beside field " << i;
        EXPECT_GE(first, top) << i;
        EXPECT_LT(last, bottom) << i;
        EXPECT_LE(last - first, 20) << "the label of field " << i << " takes more than a line";
        EXPECT_LT(right, left - 4) << i;
    }
    std::string ring;
    for (int i = 0; i < 4; ++i) {
        TapKey(SDLK_DOWN);
        Frames(2);
        const CGuiButtonBase* b = CGuiButtonBase::GetFocusedButton();
        ring += change->GetFocusedBox() >= 0 ? "box" + std::to_string(change->GetFocusedBox())
                : b == change->GetOkayButton() ? "okay"
                : b == change->GetCancelButton() ? "cancel"
                                                 : "none";
        ring += " ";
    }
    EXPECT_EQ(ring, "box1 okay cancel box0 ");
    // Cancel by a click leaves the password alone.
    Click(change->GetCancelButton()->GetCentreX(), change->GetCancelButton()->GetCentreY());
    Frame();
    EXPECT_EQ(CController::GetCurrent(), &root);
    EXPECT_FALSE(change->IsAccepted());
    EXPECT_FALSE(Profile().HasPassword());
}

}  // namespace
