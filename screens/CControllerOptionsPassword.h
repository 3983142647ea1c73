// The options screen's dialog that changes the profile's password: the
// current password in the first box, the new one in the second, both shown
// as one "*" per character (the boxes keep the real text). The change is stored only when the first box matches the
// current password exactly; an empty second box removes the password.
#pragma once

#include <cstdint>
#include <memory>
#include <string>

#include "engine/CController.h"
#include "gui/CKeyRepeat.h"
#include "gui/CTwoBoxFocus.h"

class CSprite;
class CGuiButton;
class CGuiTextbox;
class CInvalidMark;

class CControllerOptionsPassword : public CController {
public:
    enum ButtonId { BUTTON_CANCEL = 0, BUTTON_OKAY = 1 };
    static constexpr int kMarkHold = 40;

    explicit CControllerOptionsPassword(const char* currentPassword);
    ~CControllerOptionsPassword() override;

    bool IsAccepted() const { return accepted != 0; }

    void GUICallback(int index, int value, bool dclick) override;
    void InputKey(bool released, int key) override;
    void InputMouseMove(int x, int y) override;
    void InputMouseClick(bool released, bool left, bool right, bool wheelUp, bool wheelDown) override;
    void Pump() override;

    // Inspection (tests).
    CGuiTextbox* GetBox(int i) const { return i == 0 || i == 1 ? boxes[i].get() : nullptr; }
    CGuiButton* GetOkayButton() const { return okay.get(); }
    CGuiButton* GetCancelButton() const { return cancel.get(); }
    CInvalidMark* GetMark() const { return mark.get(); }
    int GetFocusedBox() const { return focus.GetFocusedBox(); }

private:
    void CreateSprites();
    void UnloadSprites();

    std::unique_ptr<CSprite> dimmer;
    std::unique_ptr<CSprite> background;
    std::unique_ptr<CInvalidMark> mark;
    std::unique_ptr<CGuiTextbox> boxes[2];
    std::unique_ptr<CGuiButton> okay;
    std::unique_ptr<CGuiButton> cancel;
    std::string currentPassword;
    uint8_t accepted;
    CTwoBoxFocus focus;
    CKeyRepeat repeat;
    uint8_t spritesBuilt;
};
