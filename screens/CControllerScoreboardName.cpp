#include "screens/CControllerScoreboardName.h"

#include "engine/CMouse.h"
#include "gui/CGuiTextbox.h"
#include "gui/CInvalidMark.h"

CControllerScoreboardName::CControllerScoreboardName(bool invalidMark_) : invalidMark(invalidMark_) { LoadSprites(); }

void CControllerScoreboardName::LoadSprites() {
    if (spritesBuilt) return;
    const int image = ComposeBackdrop("profile_entername_mainbig.png", 212, 205, 3002, 227, 240, 300, 60);
    MakeBackground(image, "Text Entry Controller (SCOREBOARDNAME_LSPRITE_BACKGROUND)");
    if (invalidMark) {
        mark = new CInvalidMark("scoreboard_user_invalid", 1411, 227, 215, "Text Entry Controller (ptrSInvalid)");
        mark->Start(kMarkHold);
    }
    MakeButtons(301, 327, 383, 327);
    textbox = new CGuiTextbox(kNameLength, 290, 285, 6, 4, "profile_entername_textbox.png", "profilenternamecursor.png",
                              true, false, false);
    HideMousePointer(-1);
    spritesBuilt = 1;
}
