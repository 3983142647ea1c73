// The on/off box of the options screen. A release of the left button over
// the focused box, or Enter or Space while it is focused, flips it and
// reports GUICallback(id, new state, 0) to its screen. A new box is ticked;
// screens show the stored option with SetChecked, which reports nothing.
#pragma once

#include <cstdint>
#include <memory>

#include "gui/CGuiButtonBase.h"

class CController;
class CSprite;

class CGuiCheckbox : public CGuiButtonBase {
public:
    enum Look { LOOK_UNCHECKED, LOOK_UNCHECKED_ROLLOVER, LOOK_CHECKED, LOOK_CHECKED_ROLLOVER, LOOK_COUNT };

    CGuiCheckbox(int x, int y, int id, CController* owner);
    ~CGuiCheckbox() override;

    void SetChecked(bool on);
    bool IsChecked() const { return checked != 0; }

    void Update() override;
    bool Activate(bool byKey, bool force) override;
    void Hide() override;
    void Show() override;
    bool IsMouseOver() override;
    void WarpMouseTo() override;

    // Inspection of the looks (tests).
    CSprite* GetSprite(int look) const { return look >= 0 && look < LOOK_COUNT ? sprites[look].get() : nullptr; }

private:
    CSprite* Plain() const { return sprites[checked ? LOOK_CHECKED : LOOK_UNCHECKED].get(); }
    CSprite* Rollover() const { return sprites[checked ? LOOK_CHECKED_ROLLOVER : LOOK_UNCHECKED_ROLLOVER].get(); }

    std::unique_ptr<CSprite> sprites[LOOK_COUNT];
    uint8_t checked;
};
