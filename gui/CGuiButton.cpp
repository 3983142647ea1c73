#include "gui/CGuiButton.h"

#include "engine/CController.h"
#include "engine/CInput.h"
#include "engine/CMouse.h"
#include "engine/CSprite.h"
#include "engine/Rect.h"
#include "gui/GuiSprites.h"

CGuiButton::CGuiButton(int x_, int y_, int id_, CController* owner_, const char* baseImage, const char* shadowImage,
                       const char* rolloverImage, const char* clickImage, bool isDefault_, int shadowDx_,
                       int shadowDy_)
    : CGuiButtonBase(x_, y_, id_, owner_, isDefault_),
      shadowDx(shadowDx_),
      shadowDy(shadowDy_),
      textDx(0),
      textDy(0),
      textHoverDx(0),
      textHoverDy(0),
      textPressedDx(0),
      textPressedDy(0),
      disabled(0),
      disableDx(0),
      disableDy(0),
      base(nullptr),
      rollover(nullptr),
      shadow(nullptr),
      disable(nullptr),
      click(nullptr),
      text(nullptr) {
    base = MakeSprite(baseImage, LAYER_CL_BUTTON, "GUI Button Base", x, y, true);
    if (shadowImage)
        shadow = MakeSprite(shadowImage, LAYER_CL_SHADOW, "GUI Button Shadow", x + shadowDx, y + shadowDy, true);
    rollover = MakeSprite(rolloverImage, LAYER_CL_ROLL, "GUI Button Rollover", x, y, false);
    if (clickImage) click = MakeSprite(clickImage, LAYER_CL_ROLL, "GUI Button Click", x, y, false);
}

CGuiButton::~CGuiButton() { ReleaseAll(base, rollover, shadow, disable, click, text); }

std::unique_ptr<CSprite> CGuiButton::MakeSprite(const char* image, SpriteLayer layer, const char* debugName, int px,
                                                int py, bool shown) {
    auto s = std::make_unique<CSprite>(layer, 0, false);
    s->SetName(debugName);
    if (image) s->AddFrame(image);
    s->SetPosition(px, py, false);
    if (shown) s->Show(kSpriteNotDrawn, kSpriteNotDrawn);
    return s;
}

void CGuiButton::PlaceText(int dx, int dy) {
    if (text) text->SetPosition(x + dx, y + dy, false);
}

void CGuiButton::SetText(const char* textImage, int dx, int dy, int hoverDx, int hoverDy, int pressedDx,
                         int pressedDy) {
    text.reset();
    if (!textImage) return;
    textDx = dx;
    textDy = dy;
    textHoverDx = dx + hoverDx;
    textHoverDy = dy + hoverDy;
    textPressedDx = dx + pressedDx;
    textPressedDy = dy + pressedDy;
    // A hidden (not disabled) button keeps its text hidden until Show.
    const bool shown = !(hidden && !disabled);
    text = MakeSprite(textImage, LAYER_CL_TEXT, "GUI Button Text", x + textDx, y + textDy, shown);
}

void CGuiButton::SetDisableImage(const char* image, int dx, int dy) {
    disable.reset();
    disableDx = dx;
    disableDy = dy;
    disable = MakeSprite(image, LAYER_CL_TEXT, "GUI Button Disable", x + dx, y + dy, disabled != 0);
}

void CGuiButton::Disable() {
    if (disabled) return;
    Hide();
    base->Show(kSpriteNotDrawn, kSpriteNotDrawn);
    if (shadow) shadow->Show(kSpriteNotDrawn, kSpriteNotDrawn);
    if (text) {
        PlaceText(textDx, textDy);
        text->Show(kSpriteNotDrawn, kSpriteNotDrawn);
    }
    if (disable) disable->Show(kSpriteNotDrawn, kSpriteNotDrawn);
    disabled = 1;
}

void CGuiButton::Enable() {
    if (!disabled) return;
    disabled = 0;
    if (disable) disable->Hide();
    Show();
}

void CGuiButton::SetPosition(int px, int py) {
    x = px;
    y = py;
    base->SetPosition(x, y, false);
    rollover->SetPosition(x, y, false);
    if (click) click->SetPosition(x, y, false);
    if (shadow) shadow->SetPosition(x + shadowDx, y + shadowDy, false);
    PlaceText(textDx, textDy);
    if (disable) disable->SetPosition(x + disableDx, y + disableDy, false);
}

void CGuiButton::SetBaseImage(const char* image) {
    base.reset();
    base = MakeSprite(image, LAYER_CL_BUTTON, "GUI Button Base", x, y, true);
}

void CGuiButton::SetRolloverImage(const char* image) {
    rollover.reset();
    rollover = MakeSprite(image, LAYER_CL_ROLL, "GUI Button Rollover", x, y, true);
}

void CGuiButton::SetClickImage(const char* image) {
    click.reset();
    click = MakeSprite(image, LAYER_CL_ROLL, "GUI Button Click", x, y, true);
}

int CGuiButton::GetCentreX() const { return base->GetX(false) + base->GetWidth(false) / 2; }
int CGuiButton::GetCentreY() const { return base->GetY(false) + base->GetHeight(false) / 2; }

void CGuiButton::ShowUnfocused() {
    base->Show(kSpriteNotDrawn, kSpriteNotDrawn);
    rollover->Hide();
    if (click) click->Hide();
    PlaceText(textDx, textDy);
}

void CGuiButton::ShowAsDefault(bool on) {
    // A focused button keeps its own look, a hidden one none.
    if (hidden || index == focusIndex) {
        defaultShown = 0;
        return;
    }
    if (on == (defaultShown != 0)) return;
    defaultShown = on ? 1 : 0;
    if (!on) {
        ShowUnfocused();
        return;
    }
    base->Hide();
    rollover->SetPosition(x, y, false);
    rollover->Show(kSpriteNotDrawn, kSpriteNotDrawn);
    PlaceText(textHoverDx, textHoverDy);
}

void CGuiButton::Update() {
    if (hidden) return;
    if (!CaptureFocus()) {
        // The default's look stays until the update of all widgets says.
        if (!defaultShown) ShowUnfocused();
        return;
    }
    if (rollover->IsHidden() && (!click || click->IsHidden()))
        CController::PlayInterfaceSound(CController::GetSoundRollover());
    base->Hide();
    rollover->Show(kSpriteNotDrawn, kSpriteNotDrawn);
    if (!leftHeld) {
        rollover->SetPosition(x, y, false);
        PlaceText(textHoverDx, textHoverDy);
        if (click) click->Hide();
        return;
    }
    if (!click) {
        rollover->SetPosition(x + 2, y + 2, false);
    } else {
        rollover->Hide();
        click->Show(kSpriteNotDrawn, kSpriteNotDrawn);
    }
    PlaceText(textPressedDx, textPressedDy);
}

void CGuiButton::Hide() {
    defaultShown = 0;
    if (!hidden) {
        base->Hide();
        if (shadow) shadow->Hide();
        rollover->Hide();
        if (click) click->Hide();
        if (text) text->Hide();
    }
    hidden = 1;
}

void CGuiButton::Show() {
    if (hidden) {
        base->Show(kSpriteNotDrawn, kSpriteNotDrawn);
        if (shadow) shadow->Show(kSpriteNotDrawn, kSpriteNotDrawn);
        if (text) text->Show(kSpriteNotDrawn, kSpriteNotDrawn);
        if (!disabled) hidden = 0;
    }
}

bool CGuiButton::IsMouseOver() {
    if (hidden) return false;
    const Rect r = base->GetRect();
    const int mx = GetMouseX();
    const int my = GetMouseY();
    return mx >= r.x && mx <= r.x + r.w && my >= r.y && my <= r.y + r.h;
}

void CGuiButton::WarpMouseTo() {
    const Rect r = base->GetRect();
    WarpMouse(r.x + r.w / 2, r.y + r.h / 2);
    HideMousePointer(1);
}
