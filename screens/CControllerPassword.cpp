#include "screens/CControllerPassword.h"

#include "engine/CMouse.h"
#include "gui/CGuiTextbox.h"
#include "gui/CInvalidMark.h"

CControllerPassword::CControllerPassword(const char* expected) : expectedPassword(expected ? expected : "") {
    id = CONTROLLER_PASSWORD;
    LoadSprites();
}

void CControllerPassword::LoadSprites() {
    if (spritesBuilt) return;
    BuildLargePanel(3003, "Text Entry Controller (PASSWORD_LSPRITE_BACKGROUND)", 10, false);
    mark = std::make_unique<CInvalidMark>("password_invalid", LAYER_CL1, kLargeMarkX, kLargeMarkY,
                                          "Text Entry Controller (ptrSInvalid)");
    textbox->SetMasked(true);
    HideMousePointer(kHideUntilNextUpdate);
    spritesBuilt = 1;
}

void CControllerPassword::GUICallback(int index, int, bool) {
    if (index == BUTTON_CANCEL) {
        value = 0;
        result = kCloseBack;
    } else if (index == BUTTON_OKAY) {
        if (expectedPassword == textbox->GetText()) {
            value = 1;
            result = kCloseBack;
            return;
        }
        mark->Start(kMarkHold);
        textbox->SetText("");
        FocusTextbox();
    }
}
