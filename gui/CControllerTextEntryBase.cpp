#include "gui/CControllerTextEntryBase.h"

#include "engine/CDraw.h"
#include "engine/CMouse.h"
#include "engine/CSprite.h"
#include "engine/Log.h"
#include "gui/CGuiButton.h"
#include "gui/CGuiTextbox.h"
#include "gui/CInvalidMark.h"
#include "gui/GuiSprites.h"
#include "gui/GuiText.h"

namespace {

bool IsBlank(const char* text) {
    for (const char* c = text; c && *c; ++c)
        if (*c != ' ') return false;
    return true;
}

}  // namespace

CControllerTextEntryBase::CControllerTextEntryBase()
    : sprites{nullptr, nullptr},
      okay(nullptr),
      cancel(nullptr),
      textbox(nullptr),
      mark(nullptr),
      spritesBuilt(0),
      textboxFocused(1) {
    id = CONTROLLER_TEXT_ENTRY;
    value = 0;
    menuKeys.SetBack(CMenuKeys::Back::kWidget, BUTTON_CANCEL);
    menuKeys.SetFocusRing(this);
}

CControllerTextEntryBase::~CControllerTextEntryBase() {
    DebugLog(DBG_DESTRUCT, "CControllerTextEntryBase:  Destroying CControllerTextEntryBase...\n");
    UnloadSprites();
}

void CControllerTextEntryBase::UnloadSprites() {
    ShowHourglass(true);
    if (!spritesBuilt) return;
    ReleaseAll(sprites, okay, cancel, textbox, mark);
    CDraw::UnloadImage(kBaseImage);
    spritesBuilt = 0;
}

int CControllerTextEntryBase::ComposeBackdrop(const char* panel, int panelX, int panelY, int promptId, int promptX,
                                              int promptY, int promptW, int promptH) {
    int image = CDraw::CaptureScreen(kBaseImage);
    if (image < 0) image = CDraw::CreateSurface(800, 600, kBaseImage);
    CDraw::DrawImageOnto("dimmer.png", image, 0, 0);
    CDraw::DrawImageOnto(panel, image, panelX, panelY);
    BlitString(promptId, image, promptW, promptH, 2, promptX, promptY);
    return image;
}

void CControllerTextEntryBase::MakeBackground(int image, const char* debugName) {
    sprites[0] = MakeGuiSprite(image, LAYER_CL0, debugName, 0, 0, true);
}

void CControllerTextEntryBase::MakeButtons(int okayX, int okayY, int cancelX, int cancelY) {
    okay = std::make_unique<CGuiButton>(okayX, okayY, BUTTON_OKAY, this, "profile_button_okaybase.png",
                                        "profile_button_okayshadow.png", "profile_button_okayrollover.png", nullptr,
                                        true, 0, 0);
    cancel = std::make_unique<CGuiButton>(cancelX, cancelY, BUTTON_CANCEL, this, "profile_button_cancelbase.png",
                                          "profile_button_cancelshadow.png", "profile_button_cancelrollover.png",
                                          nullptr, false, 0, 0);
}

void CControllerTextEntryBase::BuildLargePanel(int promptId, const char* debugName, int maxLength, bool allowSpace) {
    // The panel (376 wide) and everything on it share the screen's middle
    // column, x 400: the prompt's 300-pixel box, the 172-pixel field and the
    // two 78-pixel buttons 82 apart.
    const int image = ComposeBackdrop("profile_entername_mainbig.png", 212, 205, promptId, kLargeMarkX, 240, 300, 60);
    MakeBackground(image, debugName);
    MakeButtons(320, 327, 402, 327);
    textbox = std::make_unique<CGuiTextbox>(maxLength, 314, 285, 6, 4, "profile_entername_textbox.png",
                                            "profilenternamecursor.png", allowSpace, false, false);
}

void CControllerTextEntryBase::SetText(const char* text) {
    if (textbox) textbox->SetText(text);
}

const char* CControllerTextEntryBase::GetText() const {
    if (value != 1 || !textbox || textbox->GetText()[0] == 0) return nullptr;
    return textbox->GetText();
}

void CControllerTextEntryBase::StartKeyRepeat(bool released, int key) { repeat.Note(released, key); }

void CControllerTextEntryBase::RepeatKey() {
    if (repeat.Step()) InputKey(false, repeat.Key());
}

void CControllerTextEntryBase::FocusTextbox() {
    textboxFocused = 1;
    if (textbox) textbox->WarpMouseTo();
}

void CControllerTextEntryBase::FocusButton(CGuiButton* button) {
    textboxFocused = 0;
    if (textbox) textbox->HideCursor();
    if (button) button->WarpMouseTo();
}

void CControllerTextEntryBase::MoveFocus(bool backwards) {
    const CGuiButtonBase* focused = CGuiButtonBase::GetFocusedButton();
    const bool onText = textboxFocused != 0;
    const bool onOkay = !onText && okay && focused == okay.get();
    const bool onCancel = !onText && cancel && focused == cancel.get();
    if (!backwards) {
        if (onText)
            FocusButton(okay.get());
        else if (onOkay)
            FocusButton(cancel.get());
        else
            FocusTextbox();
    } else {
        if (onCancel)
            FocusButton(okay.get());
        else if (onOkay)
            FocusTextbox();
        else
            FocusButton(cancel.get());
    }
}

void CControllerTextEntryBase::TypeKey(int key, bool shift) {
    if (textboxFocused && textbox) textbox->HandleKey(key, 0, shift);
}

void CControllerTextEntryBase::Confirm() { CGuiButtonBase::ActivateFocused(true); }

void CControllerTextEntryBase::InputKey(bool released, int key) {
    StartKeyRepeat(released, key);
    InputMenuKey(released, key);
}

void CControllerTextEntryBase::InputMouseMove(int x, int y) {
    mouseX = x;
    mouseY = y;
    UpdateMousePointer();
    FollowPointer();
}

void CControllerTextEntryBase::FollowPointer() {
    if (textbox && textbox->IsMouseOver()) {
        textboxFocused = 1;
    } else if (CGuiButtonBase::GetFocusIndex() != -1) {
        textboxFocused = 0;
        if (textbox) textbox->HideCursor();
    }
}

void CControllerTextEntryBase::InputMouseClick(bool released, bool left, bool, bool, bool) {
    // A click into the field is not a miss, though the field is no widget.
    if (left && !released && CGuiButtonBase::GetFocusIndex() == -1 && !(textbox && textbox->IsMouseOver()))
        PlayInterfaceSound(GetSoundClickScreen());
}

void CControllerTextEntryBase::GUICallback(int index, int, bool) {
    if (index == BUTTON_CANCEL) {
        value = 0;
        result = kCloseBack;
    } else if (index == BUTTON_OKAY) {
        if (!textbox || IsBlank(textbox->GetText())) {
            PlayInterfaceSound(GetSoundClickScreen());
            return;
        }
        value = 1;
        result = kCloseBack;
    }
}

void CControllerTextEntryBase::PumpInvalid() {
    if (mark) mark->Step();
}

void CControllerTextEntryBase::Pump() {
    PollInput();
    RepeatKey();
    if (!active) return;
    PumpInvalid();
    CGuiButtonBase::UpdateAll();
    // Motions queued behind keys may have been judged on last frame's focus.
    FollowPointer();
    if (textboxFocused && textbox) textbox->BlinkCursor();
}
