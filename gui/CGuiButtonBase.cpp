#include "gui/CGuiButtonBase.h"

#include <algorithm>

#include "engine/CController.h"

std::vector<CGuiButtonBase*> CGuiButtonBase::registry;
int CGuiButtonBase::focusIndex = -1;
uint8_t CGuiButtonBase::leftHeld = 0;

CGuiButtonBase::CGuiButtonBase(int x_, int y_, int id_, CController* owner_, bool isDefault_)
    : index(-1),
      owner(owner_),
      activateOnRelease(1),
      hidden(0),
      noKeyFocus(0),
      isDefault(isDefault_ ? 1 : 0),
      x(x_),
      y(y_),
      id(id_) {
    registry.push_back(this);
    index = static_cast<int>(registry.size()) - 1;
    focusIndex = -1;
}

CGuiButtonBase::~CGuiButtonBase() {
    auto it = std::find(registry.begin(), registry.end(), this);
    if (it == registry.end()) return;
    registry.erase(it);
    // Keep every index equal to the widget's place in the registry, so that a
    // widget made after a removal never shares its index with an older one.
    for (size_t i = 0; i < registry.size(); ++i) registry[i]->index = static_cast<int>(i);
    if (focusIndex >= static_cast<int>(registry.size())) focusIndex = -1;
}

bool CGuiButtonBase::Activate(bool byKey, bool force) {
    (void)byKey;
    if (index != focusIndex && !force) return false;
    CController::PlayInterfaceSound(CController::GetSoundClick());
    if (owner) owner->GUICallback(id, 0, false);
    return true;
}

bool CGuiButtonBase::IsMouseOver() { return false; }

void CGuiButtonBase::WarpMouseTo() {}

bool CGuiButtonBase::TakesPointerFocus() { return !hidden && IsMouseOver(); }

bool CGuiButtonBase::CaptureFocus() {
    if (focusIndex != -1 || !TakesPointerFocus()) return false;
    focusIndex = index;
    return true;
}

CGuiButtonBase* CGuiButtonBase::GetFocusedButton() {
    for (CGuiButtonBase* b : registry)
        if (b->index == focusIndex) return b;
    return nullptr;
}

CGuiButtonBase* CGuiButtonBase::GetDefaultButton() {
    for (CGuiButtonBase* b : registry)
        if (b->isDefault && !b->hidden) return b;
    return nullptr;
}

void CGuiButtonBase::UpdateAll() {
    focusIndex = -1;
    // A widget's Update may not add or remove widgets; walk by index anyway so
    // that a change of the registry cannot leave a dangling iterator.
    for (size_t i = 0; i < registry.size(); ++i) registry[i]->Update();
    // The player sees what Return presses.
    CGuiButtonBase* lit = focusIndex == -1 ? GetDefaultButton() : nullptr;
    for (size_t i = 0; i < registry.size(); ++i) registry[i]->ShowAsDefault(registry[i] == lit);
}

void CGuiButtonBase::FocusUnderPointer() {
    focusIndex = -1;
    for (CGuiButtonBase* b : registry)
        if (b->CaptureFocus()) return;
}

bool CGuiButtonBase::ActivateFocused(bool byKey) {
    const uint8_t wanted = leftHeld ? 0 : 1;
    for (size_t i = 0; i < registry.size(); ++i) {
        CGuiButtonBase* b = registry[i];
        if (b->activateOnRelease != wanted) continue;
        if (b->Activate(byKey, false)) return true;
    }
    if (!byKey) return false;
    CGuiButtonBase* fallback = GetDefaultButton();
    return fallback && fallback->Activate(byKey, true);
}

void CGuiButtonBase::OnLeftButton(bool released, bool activate) {
    const uint8_t rel = released ? 1 : 0;
    if (rel != leftHeld) return;
    leftHeld = released ? 0 : 1;
    if (!activate) return;
    // The pointer may have moved since the last update (a tap, a flick, a
    // move and a press in one frame): the click belongs where it is now.
    FocusUnderPointer();
    ActivateFocused(false);
}

void CGuiButtonBase::MoveFocus(bool backwards) {
    const int size = static_cast<int>(registry.size());
    if (size == 0) {
        focusIndex = -1;
        return;
    }
    // One full pass at most: when every widget is hidden or refuses key
    // focus, the move ends with nothing focused.
    for (int tries = 0; tries < size; ++tries) {
        focusIndex += backwards ? -1 : 1;
        if (focusIndex < 0) focusIndex = size - 1;
        if (focusIndex >= size) focusIndex = 0;
        CGuiButtonBase* b = GetFocusedButton();
        if (!b) return;
        if (b->hidden || b->noKeyFocus) continue;
        b->WarpMouseTo();
        return;
    }
    focusIndex = -1;
}

void CGuiButtonBase::GiveKeyFocus(CGuiButtonBase* b) {
    if (!b) return;
    focusIndex = b->index;
    b->WarpMouseTo();
}

void CGuiButtonBase::ResetState() {
    focusIndex = -1;
    leftHeld = 0;
}
