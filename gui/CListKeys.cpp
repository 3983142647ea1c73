#include "gui/CListKeys.h"

#include "engine/CController.h"

namespace {
// SDL 1.2 key symbols.
constexpr int kHome = 278, kEnd = 279, kPageUp = 280, kPageDown = 281;
}  // namespace

void CListKeys::Move(CKeyList* list, bool down, bool page, bool toEnd, bool warp) {
    if (list) list->StepSelection(down, page, toEnd, warp);
}

bool CListKeys::HandleKey(CKeyList* list, bool released, int key) {
    const uint8_t press = released ? 0 : 1;
    switch (key) {
    case KEY_UP:
    case KEY_LEFT:
        upHeld = press;
        if (press) Move(list, false, false, false, true);
        return true;
    case KEY_DOWN:
    case KEY_RIGHT:
        downHeld = press;
        if (press) Move(list, true, false, false, true);
        return true;
    case kPageUp:
        pageUpHeld = press;
        if (press) Move(list, false, true, false, true);
        return true;
    case kPageDown:
        pageDownHeld = press;
        if (press) Move(list, true, true, false, true);
        return true;
    case kHome:
        if (press) Move(list, false, false, true, true);
        return true;
    case kEnd:
        if (press) Move(list, true, false, true, true);
        return true;
    default: return false;
    }
}

void CListKeys::Repeat(CKeyList* list) {
    const bool down = downHeld || pageDownHeld;
    const bool up = upHeld || pageUpHeld;
    if (!down && !up) {
        holdCount = 0;
        return;
    }
    if (holdCount > 4) {
        if (down)
            Move(list, true, pageDownHeld != 0, false, false);
        else
            Move(list, false, pageUpHeld != 0, false, false);
        --holdCount;
    } else {
        ++holdCount;
    }
}

void CListKeys::Release() { upHeld = downHeld = pageUpHeld = pageDownHeld = 0; }
