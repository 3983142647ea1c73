#include "gui/CGuiCheckbox.h"

#include "engine/CController.h"
#include "engine/CInput.h"
#include "engine/CMouse.h"
#include "engine/CSprite.h"
#include "engine/Rect.h"
#include "gui/CGuiButton.h"
#include "gui/GuiSprites.h"

CGuiCheckbox::CGuiCheckbox(int x_, int y_, int id_, CController* owner_)
    : CGuiButtonBase(x_, y_, id_, owner_, false), checked(1) {
    sprites[LOOK_UNCHECKED] =
        MakeGuiSprite("checkbox_base.png", LAYER_CL_BUTTON, "GUI Checkbox Unchecked", x, y, false);
    sprites[LOOK_UNCHECKED_ROLLOVER] =
        MakeGuiSprite("checkbox_rollover.png", LAYER_CL_ROLL, "GUI Checkbox Unchecked Rollover", x, y, false);
    sprites[LOOK_CHECKED] =
        MakeGuiSprite("checkbox_basecheck.png", LAYER_CL_BUTTON, "GUI Checkbox Checked", x, y, true);
    sprites[LOOK_CHECKED_ROLLOVER] =
        MakeGuiSprite("checkbox_rollovercheck.png", LAYER_CL_ROLL, "GUI Checkbox Checked Rollover", x, y, false);
}

CGuiCheckbox::~CGuiCheckbox() { ReleaseAll(sprites); }

void CGuiCheckbox::SetChecked(bool on) {
    checked = on ? 1 : 0;
    for (const std::unique_ptr<CSprite>& s : sprites) s->Hide();
    Plain()->Show(kSpriteNotDrawn, kSpriteNotDrawn);
}

void CGuiCheckbox::Update() {
    if (hidden) return;
    if (!CaptureFocus()) {
        Plain()->Show(kSpriteNotDrawn, kSpriteNotDrawn);
        Rollover()->Hide();
        return;
    }
    if (sprites[LOOK_UNCHECKED_ROLLOVER]->IsHidden() && sprites[LOOK_CHECKED_ROLLOVER]->IsHidden())
        CController::PlayInterfaceSound(CController::GetSoundRollover());
    Plain()->Hide();
    CSprite* roll = Rollover();
    roll->Show(kSpriteNotDrawn, kSpriteNotDrawn);
    // Held down, the box sinks a little; it flips only on the release.
    const int sink = leftHeld ? 2 : 0;
    roll->SetPosition(x + sink, y + sink, false);
}

bool CGuiCheckbox::Activate(bool, bool force) {
    if (index != focusIndex && !force) return false;
    checked = checked ? 0 : 1;
    if (checked) {
        sprites[LOOK_UNCHECKED]->Hide();
        sprites[LOOK_UNCHECKED_ROLLOVER]->Hide();
        sprites[LOOK_CHECKED]->Show(kSpriteNotDrawn, kSpriteNotDrawn);
    } else {
        sprites[LOOK_UNCHECKED]->Show(kSpriteNotDrawn, kSpriteNotDrawn);
        sprites[LOOK_UNCHECKED_ROLLOVER]->Hide();
        sprites[LOOK_CHECKED]->Hide();
    }
    sprites[LOOK_CHECKED_ROLLOVER]->Hide();
    CController::PlayInterfaceSound(CController::GetSoundClick());
    if (owner) owner->GUICallback(id, checked, false);
    return true;
}

void CGuiCheckbox::Hide() {
    if (!hidden)
        for (const std::unique_ptr<CSprite>& s : sprites) s->Hide();
    hidden = 1;
}

void CGuiCheckbox::Show() {
    if (hidden) Plain()->Show(kSpriteNotDrawn, kSpriteNotDrawn);
    hidden = 0;
}

bool CGuiCheckbox::IsMouseOver() {
    if (hidden) return false;
    const Rect r = sprites[LOOK_UNCHECKED]->GetRect();
    const int mx = GetMouseX();
    const int my = GetMouseY();
    return mx >= r.x && mx <= r.x + r.w && my >= r.y && my <= r.y + r.h;
}

void CGuiCheckbox::WarpMouseTo() {
    const Rect r = sprites[LOOK_UNCHECKED]->GetRect();
    WarpMouse(r.x + r.w / 2, r.y + r.h / 2);
    HideMousePointer(1);
}
