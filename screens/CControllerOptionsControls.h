// The key bindings of the current profile: sixteen boxes, each captioned
// with the name of its key. The player clicks a box, then presses the key
// for it. The screen edits a copy of the bindings and writes it into the
// profile only on Save; a key taken by one box is taken from every other.
#pragma once

#include <cstdint>
#include <memory>

#include "screens/CControllerPage.h"
#include "players/CProfile.h"

class CSprite;
class CGuiButton;

class CControllerOptionsControls : public CControllerPage {
public:
    enum WidgetId { BUTTON_DEFAULTS = 100, BUTTON_SAVE = 101, BUTTON_CANCEL = 102 };
    static constexpr int kBoxes = KEYACTION_COUNT;
    static constexpr int kButtons = 3;
    // The box a key's name is drawn in, inside its key box.
    static constexpr int kCaptionWidth = 122;
    static constexpr int kCaptionHeight = 22;
    static constexpr int kBlinkStart = 8;

    CControllerOptionsControls();
    ~CControllerOptionsControls() override;

    void GUICallback(int index, int value, bool dclick) override;
    void InputKey(bool released, int key) override;
    void Pump() override;

    // The name shown for an SDL key symbol (at most 19 characters);
    // "UNKNOWN" for every key without one.
    static const char* GetKeyName(int key);

    // Inspection (tests).
    int GetWorkingKey(int box) const { return box >= 0 && box < kBoxes ? workingKeys[box] : 0; }
    int GetSelectedBox() const { return selectedBox; }
    CGuiButton* GetBox(int box) const { return box >= 0 && box < kBoxes ? boxes[box].get() : nullptr; }
    CGuiButton* GetButton(int widgetId) const;
    CSprite* GetCursor() const { return cursor.get(); }

private:
    void CreateSprites();
    void UnloadSprites();
    void DrawCaption(int box);
    void DropCaption(int box);

    std::unique_ptr<CSprite> dimmer;
    std::unique_ptr<CSprite> background;
    std::unique_ptr<CSprite> cursor;
    std::unique_ptr<CGuiButton> buttons[kButtons];
    std::unique_ptr<CGuiButton> boxes[kBoxes];
    int32_t workingKeys[kBoxes];
    int selectedBox;
    int blinkCounter;
    uint8_t built;
};
