#include "screens/CControllerScoreboardName.h"

#include "engine/CMouse.h"
#include "gui/CInvalidMark.h"

CControllerScoreboardName::CControllerScoreboardName(bool invalidMark_) : invalidMark(invalidMark_) { LoadSprites(); }

void CControllerScoreboardName::LoadSprites() {
    if (spritesBuilt) return;
    BuildLargePanel(3002, "Text Entry Controller (SCOREBOARDNAME_LSPRITE_BACKGROUND)", kNameLength, true);
    if (invalidMark) {
        mark = new CInvalidMark("scoreboard_user_invalid", 1411, kLargeMarkX, kLargeMarkY,
                                "Text Entry Controller (ptrSInvalid)");
        mark->Start(kMarkHold);
    }
    HideMousePointer(-1);
    spritesBuilt = 1;
}
