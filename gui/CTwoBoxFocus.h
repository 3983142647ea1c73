// The keyboard focus of a dialog with two text boxes and okay and cancel
// (the password change, the editor's save dialog): the ring first box,
// second box, okay, cancel; a box that takes the focus gets the pointer and
// shows its caret at once, a button the keyboard focus by its warp. Return
// in a box presses okay once the boxes that okay needs (SetNeeded) hold
// text, and else goes to the box that still needs it; in a dialog that
// names none, Return walks from box to box and onto okay. On the buttons it
// activates the focused one, or the dialog's default when the pointer left
// every button (a click on nothing without one).
#pragma once

#include "gui/CMenuKeys.h"

class CGuiButton;
class CGuiTextbox;

class CTwoBoxFocus : public CMenuFocusRing {
public:
    enum { FOCUS_BUTTONS = -1 };

    void Attach(CGuiTextbox* first, CGuiTextbox* second, CGuiButton* okay, CGuiButton* cancel);
    // The boxes okay needs filled in.
    void SetNeeded(bool first, bool second);
    // 0 or 1: that box has the keyboard; FOCUS_BUTTONS: the buttons have it.
    int GetFocusedBox() const { return focused; }
    CGuiTextbox* GetFocusedTextbox() const { return focused >= 0 ? boxes[focused] : nullptr; }
    void FocusBox(int i);
    void FocusButton(CGuiButton* button);
    // The ring as the menu keys drive it: a press goes to the focused box
    // first; Return walks from box to box and onto okay, then acts.
    void TypeKey(int key, bool shift) override;
    void MoveFocus(bool backwards) override;
    bool IsTyping() const override { return focused != FOCUS_BUTTONS; }
    void Confirm() override;
    // The box under the pointer takes the keyboard; a button under it takes
    // the keyboard from both boxes.
    void FollowPointer();
    bool IsPointerOnBox() const;
    // Once a frame: the focused box's caret blinks, and okay takes the
    // default's look only while Return would press it.
    void Blink();

private:
    void HideCarets();
    // The box okay still needs, the one after the focused box first; -1
    // for none.
    int NeededEmptyBox() const;
    // Okay looks like the default only while Return would press it.
    void UpdateDefault();

    CGuiTextbox* boxes[2] = {nullptr, nullptr};
    CGuiButton* okay = nullptr;
    CGuiButton* cancel = nullptr;
    int focused = 0;
    bool needsNamed = false;
    bool needed[2] = {false, false};
};
