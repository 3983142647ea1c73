// The menu keys, handled alike on every screen that has widgets. Tab, and Up
// or Left and Down or Right, move the keyboard focus; Shift+Tab, Up and Left
// move it backward. On a screen with a list the arrows, Page Up, Page Down,
// Home and End move the list's selection instead (on the level map, the
// level chosen along its track), and a held one repeats (CListKeys). Return
// and Space act on the focused widget (on a focused list, its selection, as
// a double click would), or else on the screen's default button (the widget
// made with isDefault, which looks focused meanwhile). Escape takes the
// screen's back action. Each key also hides the pointer, and the capture key
// takes its picture.
//
// What a screen configures, once it has built its widgets: its back action,
// its list, and for a dialog whose text boxes share the focus with its
// buttons, the ring that moves that focus.
#pragma once

#include <cstdint>

#include "gui/CListKeys.h"

class CController;

// The focus of a dialog whose text boxes take turns with its buttons.
class CMenuFocusRing {
public:
    // A press goes to the focused box before the menu keys see it.
    virtual void TypeKey(int key, bool shift) = 0;
    virtual void MoveFocus(bool backwards) = 0;
    // A box has the keyboard: Space is the text's.
    virtual bool IsTyping() const = 0;
    // Return, or Space while no box has the keyboard.
    virtual void Confirm() = 0;

protected:
    ~CMenuFocusRing() = default;
};

class CMenuKeys {
public:
    // Escape: the screen stays (the player must choose), closes, or reports
    // its back widget to GUICallback as that widget's click does.
    enum class Back { kStays, kCloses, kWidget };

    void SetBack(Back how, int widget = 0) {
        back = how;
        backWidget = widget;
    }
    // The list the arrows drive; null for none. A screen that deletes its
    // list clears it here first.
    void SetList(CKeyList* shown) { list = shown; }
    void SetFocusRing(CMenuFocusRing* focusRing) { ring = focusRing; }

    void Input(CController& screen, bool released, int key, bool shift);
    // Once a frame while the screen is active: a held list key repeats.
    void Repeat() { listKeys.Repeat(list); }
    // Forgets the held keys (the screen lost or took back the keyboard).
    void Release() { listKeys.Release(); }
    int GetHoldCount() const { return listKeys.GetHoldCount(); }

private:
    Back back = Back::kStays;
    int backWidget = 0;
    CKeyList* list = nullptr;
    CMenuFocusRing* ring = nullptr;
    CListKeys listKeys;
};
