#include "gui/CControllerMessageTutorial.h"

#include "engine/CMouse.h"
#include "engine/CSprite.h"
#include "engine/Log.h"
#include "gui/CGuiButton.h"
#include "gui/GuiSprites.h"

CControllerMessageTutorial::CControllerMessageTutorial() {
    id = CONTROLLER_TUTORIAL_MESSAGE;
    dimmer = MakeDimmer(LAYER_CL1, "Message Tutorial Controller (MESSAGETUT_LSPRITE_DIMMER)");
    background = MakeGuiSprite("mapstar_explain.png", LAYER_CL2,
                               "Message Tutorial Controller (MESSAGETUT_LSPRITE_BACKGROUND)", 199, 173, true);
    star = std::make_unique<CSprite>(LAYER_CL2, 2, false);
    star->SetName("Message Tutorial Controller (MESSAGETUT_LSPRITE_TUTORIAL)");
    star->AddFrames("star_base", 0, 59, ".png", 1);
    star->SetPosition(494, 233, false);
    star->SetLooping(true);
    star->Play(true);
    star->Show(kSpriteNotDrawn, kSpriteNotDrawn);
    okay = std::make_unique<CGuiButton>(498, 408, BUTTON_OKAY, this, "confirmation_buttonokaybase.png",
                                        "confirmation_buttonokayshadow.png", "confirmation_buttonokayroll.png", nullptr,
                                        true, 0, 0);
    HideMousePointer(kHideUntilNextUpdate);
}

CControllerMessageTutorial::~CControllerMessageTutorial() {
    DebugLog(DBG_DEBUG, "CControllerMessageTutorial:  Destroying CControllerMessageTutorial...\n");
    ShowHourglass(true);
    ReleaseAll(dimmer, background, star, okay);
}

void CControllerMessageTutorial::GUICallback(int, int, bool) { result = kCloseBack; }

