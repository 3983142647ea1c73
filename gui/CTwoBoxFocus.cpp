#include "gui/CTwoBoxFocus.h"

#include "engine/CController.h"
#include "gui/CGuiButton.h"
#include "gui/CGuiTextbox.h"

void CTwoBoxFocus::Attach(CGuiTextbox* first, CGuiTextbox* second, CGuiButton* okay_, CGuiButton* cancel_) {
    boxes[0] = first;
    boxes[1] = second;
    okay = okay_;
    cancel = cancel_;
}

void CTwoBoxFocus::SetNeeded(bool first, bool second) {
    needsNamed = true;
    needed[0] = first;
    needed[1] = second;
}

int CTwoBoxFocus::NeededEmptyBox() const {
    for (int step = 1; step <= 2; ++step) {
        const int i = (focused + step) % 2;
        if (needed[i] && boxes[i] && boxes[i]->GetText()[0] == '\0') return i;
    }
    return -1;
}

void CTwoBoxFocus::HideCarets() {
    for (CGuiTextbox* box : boxes)
        if (box) box->HideCursor();
}

void CTwoBoxFocus::FocusBox(int i) {
    focused = i;
    HideCarets();
    UpdateDefault();
    if (!boxes[i]) return;
    boxes[i]->WarpMouseTo();
    boxes[i]->RestartBlink();
}

void CTwoBoxFocus::FocusButton(CGuiButton* button) {
    focused = FOCUS_BUTTONS;
    HideCarets();
    UpdateDefault();
    if (button) button->WarpMouseTo();
}

void CTwoBoxFocus::MoveFocus(bool backwards) {
    int at = focused;
    if (at < 0) {
        const CGuiButtonBase* button = CGuiButtonBase::GetFocusedButton();
        at = button == okay ? 2 : button == cancel ? 3 : -1;
    }
    const int next = at < 0 ? (backwards ? 3 : 0) : (at + (backwards ? 3 : 1)) % 4;
    if (next < 2)
        FocusBox(next);
    else
        FocusButton(next == 2 ? okay : cancel);
}

void CTwoBoxFocus::TypeKey(int key, bool shift) {
    if (CGuiTextbox* box = GetFocusedTextbox()) box->HandleKey(key, 0, shift);
}

void CTwoBoxFocus::Confirm() {
    if (needsNamed && focused != FOCUS_BUTTONS) {
        const int empty = NeededEmptyBox();
        if (empty < 0) {
            if (okay) okay->Activate(true, true);
            return;
        }
        // Not yet: the box that needs the text takes the keyboard.
        if (empty == focused) CController::PlayInterfaceSound(CController::GetSoundClickScreen());
        FocusBox(empty);
        return;
    }
    if (focused == 0)
        FocusBox(1);
    else if (focused == 1)
        FocusButton(okay);
    else if (!CGuiButtonBase::ActivateFocused(true))
        CController::PlayInterfaceSound(CController::GetSoundClickScreen());
}

void CTwoBoxFocus::FollowPointer() {
    for (int i = 0; i < 2; ++i) {
        if (boxes[i] && boxes[i]->IsMouseOver()) {
            focused = i;
            if (boxes[1 - i]) boxes[1 - i]->HideCursor();
            return;
        }
    }
    if (CGuiButtonBase::GetFocusIndex() != -1) {
        HideCarets();
        focused = FOCUS_BUTTONS;
    }
}

bool CTwoBoxFocus::IsPointerOnBox() const {
    return (boxes[0] && boxes[0]->IsMouseOver()) || (boxes[1] && boxes[1]->IsMouseOver());
}

void CTwoBoxFocus::Blink() {
    if (CGuiTextbox* box = GetFocusedTextbox()) box->BlinkCursor();
    UpdateDefault();
}

void CTwoBoxFocus::UpdateDefault() {
    if (okay) okay->SetDefault(!IsTyping() || (needsNamed && NeededEmptyBox() < 0));
}
