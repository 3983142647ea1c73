#include "screens/CControllerSetSelect.h"

#include "engine/CDraw.h"
#include "engine/CMouse.h"
#include "engine/CSprite.h"
#include "engine/Log.h"
#include "gui/CGuiButton.h"
#include "gui/GuiSprites.h"

namespace {

const char* const kBaseName = "baseSetSelectController.png";

struct SetButton {
    int y;
    const char* description;
    const char* base;
    const char* shadow;
    const char* rollover;
};

const SetButton kButtons[CControllerSetSelect::BUTTON_COUNT] = {
    {239, "lvlset_desc_regular.png", "lvlset_buttonregular_base.png", "lvlset_buttonregular_shadow.png",
     "lvlset_buttonregular_roll.png"},
    {309, "lvlset_desc_advanced.png", "lvlset_buttonadvanced_base.png", "lvlset_buttonadvanced_shadow.png",
     "lvlset_buttonadvanced_roll.png"},
    {379, "lvlset_desc_kids.png", "lvlset_buttonkids_base.png", "lvlset_buttonkids_shadow.png",
     "lvlset_buttonkids_roll.png"},
};

}  // namespace

CControllerSetSelect::CControllerSetSelect()
    : dimmer(nullptr), background(nullptr), professor(nullptr), buttons{}, loaded(0) {
    id = CONTROLLER_LEVELSET;
    // A set must be chosen: Escape does not close.
    menuKeys.SetBack(CMenuKeys::Back::kStays);
    LoadSprites();
}

CControllerSetSelect::~CControllerSetSelect() {
    DebugLog(DBG_DEBUG, "CControllerSetSelect:  Destroying CControllerSetSelect...\n");
    UnloadSprites();
}

void CControllerSetSelect::LoadSprites() {
    if (loaded) return;
    dimmer = MakeDimmer(LAYER_CL1, "Set Select Controller (SETSELECT_LSPRITE_DIMMER)");
    const int base = CDraw::CopyImage("confirmation_parch.png", kBaseName, 0);
    CDraw::DrawImageOnto("lvlset_heading.png", base, kHeadingX - kBoxX, 44);
    for (int i = 0; i < BUTTON_COUNT; ++i)
        CDraw::DrawImageOnto(kButtons[i].description, base, kDescriptionX - kBoxX, GetDescriptionY(i) - kBoxY);
    background =
        MakeGuiSprite(base, LAYER_CL2, "Set Select Controller (SETSELECT_LSPRITE_BACKGROUND)", kBoxX, kBoxY, true);
    professor = MakeGuiSprite("lvlset_prof.png", LAYER_CL3, "Set Select Controller (SETSELECT_LSPRITE_PROF)",
                              kBoxX + 360, 88, true);
    for (int i = 0; i < BUTTON_COUNT; ++i) {
        const SetButton& b = kButtons[i];
        // Return with no set in focus takes the first, the one a newcomer
        // starts with.
        buttons[i] = std::make_unique<CGuiButton>(kBoxX + 42, b.y, i, this, b.base, b.shadow, b.rollover, nullptr,
                                                  i == BUTTON_REGULAR, 0, 0);
    }
    HideMousePointer(kHideUntilNextUpdate);
    loaded = 1;
}

int CControllerSetSelect::GetDescriptionY(int set) {
    // A description's text is centred in its 66-pixel picture, which stands
    // centred on its 40-pixel button.
    return set >= 0 && set < BUTTON_COUNT ? kButtons[set].y + 20 - 33 : 0;
}

void CControllerSetSelect::UnloadSprites() {
    ShowHourglass(true);
    if (!loaded) return;
    ReleaseAll(dimmer, background, professor, buttons);
    CDraw::UnloadImage(kBaseName);
    loaded = 0;
}

void CControllerSetSelect::GUICallback(int index, int, bool) {
    value = index;
    result = kCloseBack;
}
