// The modal box for a message with one button, or a yes/no question with two.
// The opener makes it with two string-table ids, opens it as its child and,
// once it has closed, asks IsConfirmed whether the confirming button was
// chosen.
#pragma once

#include <cstdint>
#include <string>

#include "engine/CController.h"

class CSprite;
class CGuiButton;

class CControllerMessage : public CController {
public:
    enum ButtonId { BUTTON_CANCEL = 0, BUTTON_OKAY = 1 };

    // A text id of -1 draws nothing there; bodyArgument fills the body's
    // placeholder.
    CControllerMessage(int titleId, int bodyId, bool twoButtons, int bodyArgument);
    // The same with a text for the body's placeholder (a message that came
    // from elsewhere, drawn as the text it is).
    CControllerMessage(int titleId, int bodyId, bool twoButtons, const char* bodyText);
    ~CControllerMessage() override;

    bool IsConfirmed() const { return value == 1; }

    void GUICallback(int index, int value, bool dclick) override;
    void InputKey(bool released, int key) override;
    void InputMouseMove(int x, int y) override;
    void InputMouseClick(bool released, bool left, bool right, bool wheelUp, bool wheelDown) override;
    void Pump() override;

    // Inspection (tests).
    CGuiButton* GetOkayButton() const { return okay; }
    // The text given for the body's placeholder.
    const std::string& GetBodyText() const { return bodyText; }
    CGuiButton* GetCancelButton() const { return cancel; }

private:
    void LoadSprites(int titleId, int bodyId, const char* bodyText);

    CSprite* dimmer;
    CSprite* background;
    CGuiButton* okay;
    CGuiButton* cancel;
    uint8_t twoButtons;
    uint8_t spritesBuilt;
    std::string bodyText;
};
