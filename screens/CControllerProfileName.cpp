#include "screens/CControllerProfileName.h"

#include "engine/CDraw.h"
#include "engine/CSprite.h"
#include "gui/CGuiButton.h"
#include "gui/CGuiTextbox.h"
#include "gui/GuiText.h"

CControllerProfileName::CControllerProfileName() { LoadSprites(); }

void CControllerProfileName::LoadSprites() {
    if (spritesBuilt) return;
    const int base = CDraw::CaptureScreen(kBaseImage);
    CDraw::DrawImageOnto("dimmer.png", base, 0, 0);
    // The panel (234 wide), the prompt's box, the field and the pair of
    // buttons all share the screen's middle column, x 400.
    CDraw::DrawImageOnto("profile_entername_mainsmall.png", base, 283, 369);
    BlitString(3001, base, 210, 60, 2, 295, 379);
    sprites[0] = std::make_unique<CSprite>(LAYER_CL0, 0, false);
    sprites[0]->SetName("Profile Name Controller (PROFILENAME_LSPRITE_BACKGROUND)");
    sprites[0]->AddFrame(base);
    sprites[0]->SetPosition(0, 0, false);
    sprites[0]->Show(kSpriteNotDrawn, kSpriteNotDrawn);
    MakeButtons(320, 444, 402, 444);
    textbox = std::make_unique<CGuiTextbox>(kMaxNameLength, 314, 407, 6, 4, "profile_entername_textbox.png",
                                            "profilenternamecursor.png", true, false, false);
    spritesBuilt = 1;
}
