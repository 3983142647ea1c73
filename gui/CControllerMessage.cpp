#include "gui/CControllerMessage.h"

#include <string>

#include "engine/CDraw.h"
#include "engine/CMouse.h"
#include "engine/CSprite.h"
#include "engine/FontRender.h"
#include "engine/Log.h"
#include "gui/CGuiButton.h"
#include "gui/GuiSprites.h"
#include "gui/GuiText.h"

namespace {
const char* const kBaseName = "baseMessageController.png";
}

CControllerMessage::CControllerMessage(int titleId, int bodyId, bool twoButtons_, int bodyArgument)
    : CControllerMessage(titleId, bodyId, twoButtons_, std::to_string(bodyArgument).c_str()) {}

CControllerMessage::CControllerMessage(int titleId_, int bodyId_, bool twoButtons_, const char* bodyText_,
                                       const char* bodyText2_, int adviceId_)
    : dimmer(nullptr),
      background(nullptr),
      okay(nullptr),
      cancel(nullptr),
      twoButtons(twoButtons_ ? 1 : 0),
      spritesBuilt(0),
      titleId(titleId_),
      bodyId(bodyId_),
      adviceId(adviceId_),
      bodyText(bodyText_ ? bodyText_ : ""),
      bodyText2(bodyText2_ ? bodyText2_ : "") {
    id = CONTROLLER_MESSAGE;
    // Escape answers no to a question and takes note of a message.
    menuKeys.SetBack(CMenuKeys::Back::kWidget, twoButtons ? BUTTON_CANCEL : BUTTON_OKAY);
    LoadSprites();
}

CControllerMessage::~CControllerMessage() {
    DebugLog(DBG_DEBUG, "CControllerMessage:  Destroying CControllerMessage...\n");
    if (!spritesBuilt) return;
    ShowHourglass(true);
    ReleaseAll(dimmer, background, okay, cancel);
    CDraw::UnloadImage(kBaseName);
}

void CControllerMessage::LoadSprites() {
    if (spritesBuilt) return;
    dimmer = std::make_unique<CSprite>(LAYER_CL1, 0, false);
    dimmer->SetName("Message Controller (MESSAGE_LSPRITE_DIMMER)");
    dimmer->AddFrame("dimmer.png");
    dimmer->SetPosition(0, 0, false);
    dimmer->Show(kSpriteNotDrawn, kSpriteNotDrawn);

    const int base = CDraw::CopyImage("confirmation_parch.png", kBaseName, 0);
    CDraw::DrawImageOnto("parchment_confirmation.png", base, 180, 100);
    const int width = CDraw::GetWidth(base);
    if (titleId != -1) BlitString(titleId, base, kTextWidth, 50, 2, (width - kTextWidth) / 2, 50);
    // The whole body shows, however long the texts given for it (a path, a
    // server's answer), in even lines that leave no word alone at the end.
    if (bodyId != -1) {
        FontFitRequest body(bodyId, FontFit::kLines, bodyText.c_str(), kTextWidth, 120);
        body.typed2 = bodyText2.c_str();
        // The advice is the game's own text, and holds no markup.
        const std::string advice = adviceId != -1 ? FontGetEntry(adviceId).text.Utf8() : "";
        body.typed3 = advice.c_str();
        body.balanced = true;
        BlitFittedString(body, base, 2, (width - kTextWidth) / 2, 200);
    }
    background = std::make_unique<CSprite>(LAYER_CL2, 0, false);
    background->SetName("Message Controller (MESSAGE_LSPRITE_BACKGROUND)");
    background->AddFrame(base);
    background->SetPosition(150, 88, false);
    background->Show(kSpriteNotDrawn, kSpriteNotDrawn);

    // The buttons (84 wide, a pair 11 apart) are centred on the box, which
    // stands in the middle of the screen.
    if (twoButtons) {
        okay = std::make_unique<CGuiButton>(310, 420, BUTTON_OKAY, this, "confirmation_buttonokaybase.png",
                                            "confirmation_buttonokayshadow.png", "confirmation_buttonokayroll.png",
                                            nullptr, false, 0, 0);
        cancel = std::make_unique<CGuiButton>(405, 420, BUTTON_CANCEL, this, "confirmation_buttoncancelbase.png",
                                              "confirmation_buttoncancelshadow.png",
                                              "confirmation_buttoncancelroll.png", nullptr, true, 0, 0);
    } else {
        okay = std::make_unique<CGuiButton>(358, 420, BUTTON_OKAY, this, "confirmation_buttonokaybase.png",
                                            "confirmation_buttonokayshadow.png", "confirmation_buttonokayroll.png",
                                            nullptr, true, 0, 0);
    }
    HideMousePointer(kHideUntilNextUpdate);
    spritesBuilt = 1;
}

void CControllerMessage::GUICallback(int index, int, bool) {
    if (index == BUTTON_CANCEL) {
        value = 0;
        result = kCloseBack;
    } else if (index == BUTTON_OKAY) {
        value = 1;
        result = kCloseBack;
    } else {
        value = 0;
    }
}

void CControllerMessage::InputKey(bool released, int key) {
    InputMenuKey(released, key);
}

void CControllerMessage::InputMouseMove(int x, int y) {
    mouseX = x;
    mouseY = y;
    UpdateMousePointer();
}

void CControllerMessage::InputMouseClick(bool released, bool left, bool, bool, bool) {
    if (left && !released && CGuiButtonBase::GetFocusIndex() == -1)
        PlayInterfaceSound(GetSoundClickScreen());
}

void CControllerMessage::Pump() {
    PollInput();
    if (active) CGuiButtonBase::UpdateAll();
}
