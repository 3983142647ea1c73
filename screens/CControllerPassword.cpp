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
    const int image = ComposeBackdrop("profile_entername_mainbig.png", 212, 205, 3003, 227, 240, 300, 60);
    MakeBackground(image, "Text Entry Controller (PASSWORD_LSPRITE_BACKGROUND)");
    mark = new CInvalidMark("password_invalid", 1411, 227, 215, "Text Entry Controller (ptrSInvalid)");
    MakeButtons(301, 327, 383, 327);
    textbox = new CGuiTextbox(10, 290, 285, 6, 4, "profile_entername_textbox.png", "profilenternamecursor.png", false,
                              false, false);
    textbox->SetMasked(true);
    HideMousePointer(-1);
    spritesBuilt = 1;
}

void CControllerPassword::GUICallback(int index, int, bool) {
    if (index == BUTTON_CANCEL) {
        value = 0;
        result = 1;
    } else if (index == BUTTON_OKAY) {
        if (expectedPassword == textbox->GetText()) {
            value = 1;
            result = 1;
            return;
        }
        mark->Start(kMarkHold);
        textbox->SetText("");
        FocusTextbox();
    }
}
