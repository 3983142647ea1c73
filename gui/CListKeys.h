// The keys of a screen whose keyboard drives one list (the menu keys of
// the level manager, the players and the editor's load dialog, and the
// level map's track of levels, CMenuKeys): Up or Left and Down or Right
// move one row, Page Up and Page Down one page, Home and End to the ends,
// the pointer put onto the list first. A held row or page key moves again
// on the sixth frame of its hold and then every second frame.
#pragma once

#include <cstdint>

// What the list keys move: a list box's selection, or the level the map
// has chosen along its track.
class CKeyList {
public:
    // One row on (down) or back, a page, or to the end; warp: a press (not
    // a repeat), which puts the pointer onto the list first.
    virtual void StepSelection(bool down, bool page, bool toEnd, bool warp) = 0;
    // Return or Space: true when the list holds the focus and took the key.
    virtual bool ActivateIfFocused() { return false; }

protected:
    ~CKeyList() = default;
};

class CListKeys {
public:
    // A key of the screen: true when it is one of the list's keys (it has
    // then acted on the list).
    bool HandleKey(CKeyList* list, bool released, int key);
    // Once a frame while the screen is active.
    void Repeat(CKeyList* list);
    // Forgets the held keys (a child screen took the keyboard).
    void Release();
    int GetHoldCount() const { return holdCount; }

    static void Move(CKeyList* list, bool down, bool page, bool toEnd, bool warp);

private:
    uint8_t upHeld = 0, downHeld = 0, pageUpHeld = 0, pageDownHeld = 0;
    int holdCount = 0;
};
