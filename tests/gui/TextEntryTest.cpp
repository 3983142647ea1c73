// The text-entry dialog base, driven through a minimal dialog on blank
// pictures: the okay and cancel rules, key repetition, the focus ring of
// text box, okay and cancel, and the caret blink that follows the focus.
#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "engine/CDraw.h"
#include "engine/CSprite.h"
#include "engine/FontRender.h"
#include "engine/ResourceFiles.h"
#include "gui/CControllerTextEntryBase.h"
#include "gui/CGuiButton.h"
#include "gui/CGuiTextbox.h"
#include "tests/gui/GuiTestSupport.h"

namespace {

// The smallest dialog a subclass can make: the base's look on blank pictures.
class TestDialog : public CControllerTextEntryBase {
public:
    TestDialog() { LoadSprites(); }
    void LoadSprites() override {
        if (spritesBuilt) return;
        const int base = CDraw::CopyImage("te_page.png", kBaseImage, 0);
        sprites[0] = std::make_unique<CSprite>(LAYER_CL0, 0, false);
        sprites[0]->AddFrame(base);
        sprites[0]->Show(kSpriteNotDrawn, kSpriteNotDrawn);
        okay = std::make_unique<CGuiButton>(301, 327, BUTTON_OKAY, this, "te_button.png", nullptr, "te_button.png",
                                            nullptr, true, 0, 0);
        cancel = std::make_unique<CGuiButton>(383, 327, BUTTON_CANCEL, this, "te_button.png", nullptr, "te_button.png",
                                              nullptr, false, 0, 0);
        textbox = std::make_unique<CGuiTextbox>(15, 290, 285, 6, 4, "te_field.png", "te_caret.png", true, false, false);
        spritesBuilt = 1;
    }
    void PumpInvalid() override { ++hookCalls; }
    int hookCalls = 0;
};

class TextEntryTest : public WidgetTest {
protected:
    static void SetUpTestSuite() {
        OpenDisplay();
        FontInit("./", kStringTableFile);
        RegisterBlank("te_page.png", 800, 600);
        RegisterBlank("te_button.png", 70, 30);
        RegisterBlank("te_field.png", 172, 26);
        RegisterBlank("te_caret.png", 3, 20);
    }
    static void TearDownTestSuite() { FontQuit(); }
    void SetUp() override {
        WidgetTest::SetUp();
        PointAt(5, 5);
        root.Activate(nullptr);
        dialog = std::make_unique<TestDialog>();
        root.OpenChild(dialog.get());
    }
    void TearDown() override {
        dialog.reset();
        WidgetTest::TearDown();
        CController::ResetStack();
    }
    // One frame of the frame loop (the dialog may close in it).
    static void Frame() { CController::PumpCurrent(); }
    const char* Text() const { return dialog->GetTextbox()->GetText(); }
    bool CaretShown() const { return !dialog->GetTextbox()->GetCursorSprite()->IsHidden(); }

    RecordingOwner root{23};
    std::unique_ptr<TestDialog> dialog;
};

TEST_F(TextEntryTest, OkayNeedsSomethingBesidesBlanks) {
    EXPECT_EQ(dialog->GetID(), CONTROLLER_TEXT_ENTRY);
    EXPECT_TRUE(dialog->IsTextboxFocused());
    dialog->GUICallback(CControllerTextEntryBase::BUTTON_OKAY, 0, false);
    Frame();
    EXPECT_EQ(CController::GetCurrent(), dialog.get());
    dialog->SetText("   ");
    TapKey(SDLK_RETURN);  // the default button: okay
    Frame();
    EXPECT_EQ(CController::GetCurrent(), dialog.get());
    EXPECT_EQ(dialog->GetText(), nullptr);

    dialog->SetText(" a");
    TapKey(SDLK_RETURN);
    Frame();
    EXPECT_EQ(CController::GetCurrent(), &root);
    EXPECT_FALSE(dialog->IsCancelled());
    EXPECT_STREQ(dialog->GetText(), " a");
}

TEST_F(TextEntryTest, EscapeCancelsEvenWhileTyping) {
    TapKey(SDLK_h);
    TapKey(SDLK_i);
    Frame();
    EXPECT_STREQ(Text(), "hi");
    TapKey(SDLK_ESCAPE);
    Frame();
    EXPECT_EQ(CController::GetCurrent(), &root);
    EXPECT_TRUE(dialog->IsCancelled());
    EXPECT_EQ(dialog->GetText(), nullptr);
}

TEST_F(TextEntryTest, HeldKeyRepeatsAfterElevenFramesThenEveryThird) {
    PushKey(true, SDLK_a);
    std::string lengths;
    for (int f = 1; f <= 20; ++f) {
        Frame();
        lengths += std::to_string(strlen(Text())) + " ";
    }
    // Typed at the press; the press frame counts as the first of eleven, so
    // the key comes again in frame 11, then in 14, 17 and 20.
    EXPECT_EQ(lengths, "1 1 1 1 1 1 1 1 1 1 2 2 2 3 3 3 4 4 4 5 ");
    PushKey(false, SDLK_a);
    for (int f = 0; f < 20; ++f) Frame();
    EXPECT_STREQ(Text(), "aaaaa");
    EXPECT_EQ(dialog->GetKeyRepeat().Key(), -1);
    // A second key takes over the repetition from the first.
    PushKey(true, SDLK_b);
    Frame();
    PushKey(true, SDLK_c);
    for (int f = 0; f < 11; ++f) Frame();
    EXPECT_STREQ(Text(), "aaaaabcc");
    PushKey(false, SDLK_b);  // not the repeated key: no effect
    for (int f = 0; f < 3; ++f) Frame();
    EXPECT_STREQ(Text(), "aaaaabccc");
}

TEST_F(TextEntryTest, FocusRingRunsTextOkayCancelAndBack) {
    CGuiButton* okay = dialog->GetOkayButton();
    CGuiButton* cancel = dialog->GetCancelButton();
    const auto focusName = [&]() -> std::string {
        if (dialog->IsTextboxFocused()) return "text";
        if (CGuiButtonBase::GetFocusedButton() == okay) return "okay";
        if (CGuiButtonBase::GetFocusedButton() == cancel) return "cancel";
        return "none";
    };
    std::string forward = focusName();
    for (SDLKey k : {SDLK_TAB, SDLK_DOWN, SDLK_RIGHT, SDLK_TAB}) {
        TapKey(k);
        Frame();  // the key moves the pointer
        Frame();  // the widgets see it there
        forward += " " + focusName();
    }
    EXPECT_EQ(forward, "text okay cancel text okay");
    EXPECT_EQ(GetMouseX(), okay->GetCentreX());
    EXPECT_EQ(GetMouseY(), okay->GetCentreY());

    std::string backward = focusName();
    for (SDLKey k : {SDLK_UP, SDLK_LEFT, SDLK_UP}) {
        TapKey(k);
        Frame();
        Frame();
        backward += " " + focusName();
    }
    EXPECT_EQ(backward, "okay text cancel okay");
    // Typing reaches the box only while it has the focus.
    TapKey(SDLK_x);
    Frame();
    EXPECT_STREQ(Text(), "");
    // Return on the focused okay with an empty box: refused, still open.
    TapKey(SDLK_RETURN);
    Frame();
    EXPECT_EQ(CController::GetCurrent(), dialog.get());
}

TEST_F(TextEntryTest, CaretBlinksOnlyWhileTheBoxHasTheFocus) {
    std::string pattern;
    for (int f = 0; f < 17; ++f) {
        Frame();
        pattern += CaretShown() ? '#' : '.';
    }
    EXPECT_EQ(pattern, "#######..........");
    EXPECT_EQ(dialog->hookCalls, 17);
    // The pointer onto cancel takes the focus off the box and hides the caret.
    for (int f = 0; f < 3; ++f) Frame();
    EXPECT_TRUE(CaretShown());
    PushPointerMotion(dialog->GetCancelButton()->GetCentreX(), dialog->GetCancelButton()->GetCentreY());
    Frame();  // the button takes the focus
    PushPointerMotion(dialog->GetCancelButton()->GetCentreX() + 1, dialog->GetCancelButton()->GetCentreY());
    Frame();  // the box sees that a button has it
    EXPECT_FALSE(dialog->IsTextboxFocused());
    for (int f = 0; f < 20; ++f) {
        Frame();
        EXPECT_FALSE(CaretShown()) << f;
    }
    // Back over the box: it has the keyboard again.
    PushPointerMotion(300, 290);
    Frame();
    EXPECT_TRUE(dialog->IsTextboxFocused());
}

TEST_F(TextEntryTest, ClosingFreesTheWholeLook) {
    const size_t widgets = CGuiButtonBase::GetRegistrySize();
    EXPECT_GE(CDraw::FindImage(CControllerTextEntryBase::kBaseImage), 0);
    dialog.reset();
    EXPECT_EQ(CGuiButtonBase::GetRegistrySize(), widgets - 2);
    EXPECT_LT(CDraw::FindImage(CControllerTextEntryBase::kBaseImage), 0);
    EXPECT_LT(CDraw::FindImage("x290_y285_te_field.png"), 0);
}

}  // namespace
