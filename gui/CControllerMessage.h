// The modal box for a message with one button, or a yes/no question with two.
// The opener makes it with two string-table ids, opens it as its child and,
// once it has closed, asks IsConfirmed whether the confirming button was
// chosen.
#pragma once

#include <cstdint>
#include <memory>
#include <string>

#include "engine/CController.h"

class CSprite;
class CGuiButton;

class CControllerMessage : public CController {
public:
    enum ButtonId { BUTTON_CANCEL = 0, BUTTON_OKAY = 1 };
    // The width title and body are set in, centred on the paper: inside its
    // rim, with room to spare.
    static constexpr int kTextWidth = 450;

    // A text id of -1 draws nothing there; bodyArgument fills the body's
    // placeholder.
    CControllerMessage(int titleId, int bodyId, bool twoButtons, int bodyArgument);
    // The same with a text for the body's placeholder (a message that came
    // from elsewhere, drawn as the text it is), and optionally a second one
    // for its second placeholder and the id of a text for its third (what
    // helps, as AdviceFor chose it).
    CControllerMessage(int titleId, int bodyId, bool twoButtons, const char* bodyText,
                       const char* bodyText2 = nullptr, int adviceId = -1);
    ~CControllerMessage() override;

    bool IsConfirmed() const { return value == 1; }

    void GUICallback(int index, int value, bool dclick) override;
    void InputKey(bool released, int key) override;
    void InputMouseMove(int x, int y) override;
    void InputMouseClick(bool released, bool left, bool right, bool wheelUp, bool wheelDown) override;
    void Pump() override;

    // Inspection (tests).
    CGuiButton* GetOkayButton() const { return okay.get(); }
    // The texts given for the body's placeholders, and the two text ids.
    const std::string& GetBodyText() const { return bodyText; }
    const std::string& GetBodyText2() const { return bodyText2; }
    int GetTitleId() const { return titleId; }
    int GetBodyId() const { return bodyId; }
    int GetAdviceId() const { return adviceId; }
    CGuiButton* GetCancelButton() const { return cancel.get(); }

private:
    void LoadSprites();

    std::unique_ptr<CSprite> dimmer;
    std::unique_ptr<CSprite> background;
    std::unique_ptr<CGuiButton> okay;
    std::unique_ptr<CGuiButton> cancel;
    uint8_t twoButtons;
    uint8_t spritesBuilt;
    int titleId;
    int bodyId;
    int adviceId;
    std::string bodyText;
    std::string bodyText2;
};
