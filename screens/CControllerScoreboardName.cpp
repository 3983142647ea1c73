#include "screens/CControllerScoreboardName.h"

#include "engine/CMouse.h"
#include "gui/CInvalidMark.h"

CControllerScoreboardName::CControllerScoreboardName(Mark mark_) : markKind(mark_) { LoadSprites(); }

void CControllerScoreboardName::LoadSprites() {
    if (spritesBuilt) return;
    BuildLargePanel(3002, "Text Entry Controller (SCOREBOARDNAME_LSPRITE_BACKGROUND)", kNameLength, true);
    if (markKind != Mark::kNone) {
        // Only a name the server holds already is "taken"; a name refused
        // for its characters, its length or a fault of the server is not.
        const char* prefix = markKind == Mark::kNameTaken ? "scoreboard_user_invalid" : "scoreboard_name_refused";
        mark = std::make_unique<CInvalidMark>(prefix, LAYER_CL1, kLargeMarkX, kLargeMarkY,
                                              "Text Entry Controller (ptrSInvalid)");
        mark->Start(kMarkHold);
    }
    HideMousePointer(kHideUntilNextUpdate);
    spritesBuilt = 1;
}
