#include "screens/CControllerOptionsPassword.h"

#include "engine/CDraw.h"
#include "engine/CMouse.h"
#include "engine/CSprite.h"
#include "engine/FontRender.h"
#include "engine/Log.h"
#include "gui/CControllerTextEntryBase.h"
#include "gui/CGuiButton.h"
#include "gui/CGuiTextbox.h"
#include "gui/CInvalidMark.h"
#include "gui/GuiSprites.h"
#include "gui/GuiText.h"
#include "players/CProfile.h"

namespace {
const char* const kBaseName = "baseOptionsPasswordController.png";
// The space between the two words of a label.
const int kWordSpace = 5;
}

CControllerOptionsPassword::CControllerOptionsPassword(const char* current)
    : dimmer(nullptr),
      background(nullptr),
      mark(nullptr),
      boxes{nullptr, nullptr},
      okay(nullptr),
      cancel(nullptr),
      currentPassword(current ? current : ""),
      accepted(0),
      spritesBuilt(0) {
    id = CONTROLLER_OPTIONS_PASSWORD;
    CreateSprites();
    focus.Attach(boxes[0].get(), boxes[1].get(), okay.get(), cancel.get());
    menuKeys.SetFocusRing(&focus);
    menuKeys.SetBack(CMenuKeys::Back::kWidget, BUTTON_CANCEL);
    focus.FocusBox(0);
}

CControllerOptionsPassword::~CControllerOptionsPassword() {
    DebugLog(DBG_DESTRUCT, "CControllerOptionsPassword:  Destroying CControllerOptionsPassword...\n");
    UnloadSprites();
}

void CControllerOptionsPassword::CreateSprites() {
    if (spritesBuilt) return;
    dimmer = std::make_unique<CSprite>(LAYER_CL1, 0, false);
    dimmer->SetName("Options Password Controller (OPTIONSPASSWORD_LSPRITE_DIMMER)");
    dimmer->AddFrame("dimmer.png");
    dimmer->SetPosition(0, 0, false);
    dimmer->Show(kSpriteNotDrawn, kSpriteNotDrawn);

    const int page = CDraw::CopyImage("confirmation_parch.png", kBaseName, 0);
    const int width = CDraw::GetWidth(page);
    BlitString(2700, page, 450, 50, 2, (width - 450) / 2, 50);
    BlitString(2701, page, 350, 150, 2, (width - 350) / 2, 90);
    // Each label on one line ("Current" or "New", then "password:"), level
    // with its field (32 high, from page y 215 and 60 apart) and ending
    // short of it at page x 262.
    for (int i = 0; i < 2; ++i) {
        const int y = 221 + 60 * i;
        BlitString(2702 + i, page, 162, 20, 4, 100, y);
        const int after = FontGetTextEndX() + kWordSpace;
        BlitString(2704 + i, page, 162 - after, 20, 4, 100 + after, y);
    }
    background = std::make_unique<CSprite>(LAYER_CL2, 0, false);
    background->SetName("Options Password Controller (OPTIONSPASSWORD_LSPRITE_BACKGROUND)");
    background->AddFrame(page);
    background->SetPosition(150, 88, false);
    background->Show(kSpriteNotDrawn, kSpriteNotDrawn);

    mark = std::make_unique<CInvalidMark>("options_password_invalid", LAYER_CL3, 422, 335,
                                          "Options Password Controller (OPTIONSPASSWORD_LSPRITE_INVALID)");
    for (int i = 0; i < 2; ++i) {
        boxes[i] =
            std::make_unique<CGuiTextbox>(CProfileBase::kPasswordMax, 422, 303 + 60 * i, 15, 8, "password_entry.png",
                                          "profilenternamecursor.png", false, false, false);
        boxes[i]->SetMasked(true);
    }
    // The pair of buttons is centred on the box, as in a message box.
    okay = std::make_unique<CGuiButton>(310, 420, BUTTON_OKAY, this, "confirmation_buttonokaybase.png",
                                        "confirmation_buttonokayshadow.png", "confirmation_buttonokayroll.png", nullptr,
                                        true, 0, 0);
    cancel = std::make_unique<CGuiButton>(405, 420, BUTTON_CANCEL, this, "confirmation_buttoncancelbase.png",
                                          "confirmation_buttoncancelshadow.png", "confirmation_buttoncancelroll.png",
                                          nullptr, false, 0, 0);
    HideMousePointer(kHideUntilNextUpdate);
    spritesBuilt = 1;
}

void CControllerOptionsPassword::UnloadSprites() {
    ShowHourglass(true);
    if (!spritesBuilt) return;
    ReleaseAll(dimmer, background, mark, boxes[0], boxes[1], okay, cancel);
    CDraw::UnloadImage(kBaseName);
    spritesBuilt = 0;
}

void CControllerOptionsPassword::GUICallback(int index, int, bool) {
    accepted = 0;
    if (index == BUTTON_CANCEL) {
        result = kCloseBack;
    } else if (index == BUTTON_OKAY) {
        if (currentPassword == boxes[0]->GetText()) {
            accepted = 1;
            if (CProfile* p = GetProfile()) p->SetPassword(boxes[1]->GetText());
            result = kCloseBack;
            return;
        }
        mark->Start(kMarkHold);
        boxes[0]->SetText("");
        focus.FocusBox(0);
    }
}

void CControllerOptionsPassword::InputKey(bool released, int key) {
    repeat.Note(released, key);
    InputMenuKey(released, key);
}

void CControllerOptionsPassword::InputMouseMove(int x, int y) {
    mouseX = x;
    mouseY = y;
    UpdateMousePointer();
    focus.FollowPointer();
}

void CControllerOptionsPassword::InputMouseClick(bool released, bool left, bool, bool, bool) {
    if (left && !released && CGuiButtonBase::GetFocusIndex() == -1 && !focus.IsPointerOnBox())
        PlayInterfaceSound(GetSoundClickScreen());
}

void CControllerOptionsPassword::Pump() {
    PollInput();
    if (repeat.Step()) InputKey(false, repeat.Key());
    if (!active) return;
    mark->Step();
    CGuiButtonBase::UpdateAll();
    // Motions queued behind keys may have been judged on last frame's focus.
    focus.FollowPointer();
    focus.Blink();
}
