#include "gui/CMenuKeys.h"

#include "engine/CController.h"
#include "engine/CMouse.h"
#include "gui/CGuiButtonBase.h"

void CMenuKeys::Input(CController& screen, bool released, int key, bool shift) {
    HideMousePointer(kHideUntilNextUpdate);
    if (ring && !released) ring->TypeKey(key, shift);
    if (list && listKeys.HandleKey(list, released, key)) return;
    if (!released) {
        switch (key) {
        case KEY_TAB:
        case KEY_UP:
        case KEY_LEFT:
        case KEY_DOWN:
        case KEY_RIGHT: {
            const bool backwards = key == KEY_TAB ? shift : key == KEY_UP || key == KEY_LEFT;
            if (ring)
                ring->MoveFocus(backwards);
            else
                CGuiButtonBase::MoveFocus(backwards);
            break;
        }
        case KEY_SPACE:
        case KEY_RETURN:
            if (ring) {
                if (key == KEY_RETURN || !ring->IsTyping()) ring->Confirm();
            } else if (!list || !list->ActivateIfFocused()) {
                CGuiButtonBase::ActivateFocused(true);
            }
            break;
        case KEY_ESCAPE:
            if (back == Back::kCloses)
                screen.SetResult(CController::kCloseBack);
            else if (back == Back::kWidget)
                screen.GUICallback(backWidget, 0, false);
            break;
        default: break;
        }
    }
    screen.CaptureScreen(released, key);
}
