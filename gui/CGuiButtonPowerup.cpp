#include "gui/CGuiButtonPowerup.h"

#include <utility>

#include "engine/CController.h"
#include "engine/CInput.h"
#include "engine/CMouse.h"
#include "engine/CSprite.h"
#include "engine/Rect.h"
#include "gui/GuiSprites.h"

namespace {

void ShowSprite(CSprite* s) {
    if (s) s->Show(kSpriteNotDrawn, kSpriteNotDrawn);
}

void HideSprite(CSprite* s) {
    if (s) s->Hide();
}

}  // namespace

CGuiButtonPowerup::CGuiButtonPowerup(int x_, int y_, int id_, CController* owner_)
    : CGuiButtonBase(x_, y_, id_, owner_, false),
      hasContent(0),
      used(0),
      hovering(0),
      value(0),
      base(nullptr),
      rollover(nullptr),
      click(nullptr),
      text(nullptr) {
    activateOnRelease = 0;
}

CGuiButtonPowerup::~CGuiButtonPowerup() { ReleaseAll(base, rollover, click, text); }

void CGuiButtonPowerup::Take(std::unique_ptr<CSprite>& slot, std::unique_ptr<CSprite> sprite, const char* debugName) {
    slot = std::move(sprite);
    if (!slot) return;
    slot->SetName(debugName);
    slot->SetPosition(x, y, false);
    slot->Play(true);
    slot->Hide();
}

void CGuiButtonPowerup::SetBaseSprite(std::unique_ptr<CSprite> s) {
    Take(base, std::move(s), "GUI Powerup Button Base");
}
void CGuiButtonPowerup::SetRolloverSprite(std::unique_ptr<CSprite> s) {
    Take(rollover, std::move(s), "GUI Powerup Button Rollover");
}
void CGuiButtonPowerup::SetClickSprite(std::unique_ptr<CSprite> s) {
    Take(click, std::move(s), "GUI Powerup Button Click");
}
void CGuiButtonPowerup::SetTextSprite(std::unique_ptr<CSprite> s) {
    Take(text, std::move(s), "GUI Powerup Button Text");
}

void CGuiButtonPowerup::SetContent(std::unique_ptr<CSprite> baseSprite, std::unique_ptr<CSprite> rolloverSprite,
                                   std::unique_ptr<CSprite> clickSprite, std::unique_ptr<CSprite> textSprite,
                                   int value_) {
    hasContent = 1;
    used = 0;
    hovering = 0;
    value = value_;
    SetBaseSprite(std::move(baseSprite));
    SetRolloverSprite(std::move(rolloverSprite));
    SetClickSprite(std::move(clickSprite));
    SetTextSprite(std::move(textSprite));
    if (!hidden) {
        ShowSprite(base.get());
        ShowSprite(text.get());
    }
}

void CGuiButtonPowerup::Clear() {
    hasContent = 0;
    used = 0;
    hovering = 0;
    ReleaseAll(base, rollover, click, text);
}

bool CGuiButtonPowerup::Activate(bool, bool force) {
    if (index != focusIndex && !force) return false;
    // A used or empty button never takes the focus, so only a forced call
    // reaches here without content; it reports nothing.
    if (!hasContent || used) return false;
    used = 1;
    HideSprite(rollover.get());
    HideSprite(text.get());
    ShowSprite(click.get());
    CController::PlayInterfaceSound(CController::GetSoundClick());
    if (owner) owner->GUICallback(id, value, false);
    value = 0;
    return true;
}

void CGuiButtonPowerup::Update() {
    if (!hasContent || hidden) return;
    if (used) {
        if (!click || click->IsHidden()) {
            Clear();
        } else if (click->IsFinished()) {
            click->Hide();
        }
        return;
    }
    if (!CaptureFocus()) {
        hovering = 0;
        ShowSprite(base.get());
        ShowSprite(text.get());
        HideSprite(rollover.get());
        HideSprite(click.get());
        return;
    }
    // The hover is remembered rather than read from the rollover, which stays
    // hidden while the base animates: the sound plays once per hover.
    if (!hovering) CController::PlayInterfaceSound(CController::GetSoundRollover());
    hovering = 1;
    // A base still animating keeps showing through the hover.
    if (!base || base->IsFinished()) {
        HideSprite(base.get());
        ShowSprite(rollover.get());
    }
}

void CGuiButtonPowerup::Hide() {
    if (!hidden) {
        HideSprite(base.get());
        HideSprite(rollover.get());
        HideSprite(click.get());
        HideSprite(text.get());
    }
    hidden = 1;
}

void CGuiButtonPowerup::Show() {
    if (hidden) {
        if (hasContent && !used) {
            ShowSprite(base.get());
            ShowSprite(text.get());
        }
        hidden = 0;
    }
}

bool CGuiButtonPowerup::IsMouseOver() {
    if (!hasContent || hidden || !base) return false;
    const Rect r = base->GetRect();
    const int mx = GetMouseX();
    const int my = GetMouseY();
    return mx >= r.x && mx <= r.x + r.w && my >= r.y && my <= r.y + r.h;
}

void CGuiButtonPowerup::WarpMouseTo() {
    if (!base) return;
    const Rect r = base->GetRect();
    WarpMouse(r.x + r.w / 2, r.y + r.h / 2);
    HideMousePointer(1);
}
