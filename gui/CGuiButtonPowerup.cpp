#include "gui/CGuiButtonPowerup.h"

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

void CGuiButtonPowerup::Take(std::unique_ptr<CSprite>* slot, CSprite* sprite, const char* debugName) {
    if (slot->get() != sprite) slot->reset(sprite);
    if (!sprite) return;
    sprite->SetName(debugName);
    sprite->SetPosition(x, y, false);
    sprite->Play(true);
    sprite->Hide();
}

void CGuiButtonPowerup::SetBaseSprite(CSprite* s) { Take(&base, s, "GUI Powerup Button Base"); }
void CGuiButtonPowerup::SetRolloverSprite(CSprite* s) { Take(&rollover, s, "GUI Powerup Button Rollover"); }
void CGuiButtonPowerup::SetClickSprite(CSprite* s) { Take(&click, s, "GUI Powerup Button Click"); }
void CGuiButtonPowerup::SetTextSprite(CSprite* s) { Take(&text, s, "GUI Powerup Button Text"); }

void CGuiButtonPowerup::SetContent(CSprite* baseSprite, CSprite* rolloverSprite, CSprite* clickSprite,
                                   CSprite* textSprite, int value_) {
    hasContent = 1;
    used = 0;
    hovering = 0;
    value = value_;
    SetBaseSprite(baseSprite);
    SetRolloverSprite(rolloverSprite);
    SetClickSprite(clickSprite);
    SetTextSprite(textSprite);
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
