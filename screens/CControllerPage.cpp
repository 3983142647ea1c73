#include "screens/CControllerPage.h"

#include "engine/CDraw.h"
#include "engine/CMouse.h"
#include "engine/CSprite.h"
#include "gui/CGuiButton.h"
#include "gui/CGuiButtonBase.h"
#include "gui/GuiSprites.h"

CControllerPage::CControllerPage() { menuKeys.SetBack(CMenuKeys::Back::kCloses); }

void CControllerPage::InputKey(bool released, int key) { InputMenuKey(released, key); }

void CControllerPage::InputMouseMove(int x, int y) {
    mouseX = x;
    mouseY = y;
    UpdateMousePointer();
}

void CControllerPage::InputMouseClick(bool released, bool left, bool, bool, bool) {
    if (left && !released && CGuiButtonBase::GetFocusIndex() == -1) PlayInterfaceSound(GetSoundClickScreen());
}

void CControllerPage::Pump() {
    PollInput();
    if (active) CGuiButtonBase::UpdateAll();
}

std::unique_ptr<CSprite> CControllerPage::MakeDimmer(SpriteLayer layer, const char* debugName) {
    return MakeGuiSprite("dimmer.png", layer, debugName, 0, 0, true);
}

int CControllerPage::CopyPage(const char* name) { return CDraw::CopyImage("parchment.png", name, 0); }

std::unique_ptr<CSprite> CControllerPage::MakePageSprite(int image, SpriteLayer layer, const char* debugName) {
    return MakeGuiSprite(image, layer, debugName, kPageX, kPageY, true);
}

std::unique_ptr<CGuiButton> CControllerPage::MakeParchmentButton(int x, int y, int widgetId, const char* caption,
                                                                 bool isDefault) {
    auto b = std::make_unique<CGuiButton>(x, y, widgetId, this, "p2d_button_base.png", nullptr, "p2d_button_select.png",
                                          "p2d_button_select.png", isDefault, 0, 0);
    b->SetText(caption, 0, 0, 0, 0, 0, 0);
    return b;
}
