// The base of every dialog that asks for one line of text (password prompt,
// profile name, score-board name, tutorial text). It owns the focus ring of
// text box, okay and cancel, the key repetition, the caret blink, the
// okay/cancel rules and the unloading; a subclass builds the look in
// LoadSprites (two sprites, okay with id 1, cancel with id 0, the text box,
// composed on the picture "baseTextEntryController.png") and may add a
// per-frame hook and its own button handling.
//
// The answer (GetValue) is 1 after okay, 0 after cancel or Escape.
#pragma once

#include <cstdint>
#include <memory>

#include "engine/CController.h"
#include "gui/CKeyRepeat.h"
#include "gui/CMenuKeys.h"

class CSprite;
class CGuiButton;
class CGuiTextbox;
class CInvalidMark;

class CControllerTextEntryBase : public CController, protected CMenuFocusRing {
public:
    enum ButtonId { BUTTON_CANCEL = 0, BUTTON_OKAY = 1 };
    static constexpr const char* kBaseImage = "baseTextEntryController.png";

    CControllerTextEntryBase();
    ~CControllerTextEntryBase() override;

    // Puts text into the text box.
    void SetText(const char* text);
    // The text box's text after okay with a text that is not empty; null
    // otherwise.
    const char* GetText() const;
    bool IsCancelled() const { return value == 0; }

    // The key repetition, for subclasses that take keys themselves.
    void StartKeyRepeat(bool released, int key);
    void RepeatKey();

    void GUICallback(int index, int value, bool dclick) override;
    void InputKey(bool released, int key) override;
    void InputMouseMove(int x, int y) override;
    void InputMouseClick(bool released, bool left, bool right, bool wheelUp, bool wheelDown) override;
    void Pump() override;

    // Builds the subclass's look; sets spritesBuilt.
    virtual void LoadSprites() = 0;
    // Once a frame while active, before the widgets are updated: steps the
    // mark of a refused entry, when the dialog has one.
    virtual void PumpInvalid();

    // Inspection (tests).
    CGuiTextbox* GetTextbox() const { return textbox.get(); }
    CGuiButton* GetOkayButton() const { return okay.get(); }
    CGuiButton* GetCancelButton() const { return cancel.get(); }
    bool IsTextboxFocused() const { return textboxFocused != 0; }
    bool AreSpritesBuilt() const { return spritesBuilt != 0; }
    const CKeyRepeat& GetKeyRepeat() const { return repeat; }
    CInvalidMark* GetMark() const { return mark.get(); }

protected:
    // Deletes the look and releases the composed picture.
    void UnloadSprites();
    // Pieces of the look the small dialogs share. The picture of the screen
    // below (blank without a display), dimmed, with a panel and a prompt
    // text painted on, registered as kBaseImage.
    static int ComposeBackdrop(const char* panel, int panelX, int panelY, int promptId, int promptX, int promptY,
                               int promptW, int promptH);
    // That picture as the first sprite (LAYER_CL0, at the screen's corner).
    void MakeBackground(int image, const char* debugName);
    // The parchment okay (the default button) and cancel buttons.
    void MakeButtons(int okayX, int okayY, int cancelX, int cancelY);
    // The large panel of the score-board name and password dialogs: the
    // backdrop with the panel in the middle of the screen and the prompt
    // (text promptId), the background sprite, the buttons and a one-line
    // field of maxLength characters, all centred on the panel.
    void BuildLargePanel(int promptId, const char* debugName, int maxLength, bool allowSpace);
    // Where the mark of a refused entry lies over that panel's prompt.
    static constexpr int kLargeMarkX = 250;
    static constexpr int kLargeMarkY = 215;
    // Keyboard focus: onto the text box, or onto a button (the pointer
    // follows in both cases).
    void FocusTextbox();
    void FocusButton(CGuiButton* button);
    // The ring of text box, okay and cancel, as the menu keys drive it.
    void TypeKey(int key, bool shift) override;
    void MoveFocus(bool backwards) override;
    bool IsTyping() const override { return textboxFocused != 0; }
    void Confirm() override;
    // The box has the keyboard while the pointer is on it; a button under
    // the pointer takes the keyboard from it.
    void FollowPointer();

    std::unique_ptr<CSprite> sprites[2];
    std::unique_ptr<CGuiButton> okay;
    std::unique_ptr<CGuiButton> cancel;
    std::unique_ptr<CGuiTextbox> textbox;
    // The mark a refused entry shows (the subclass makes it; may stay null).
    std::unique_ptr<CInvalidMark> mark;
    uint8_t spritesBuilt;
    uint8_t textboxFocused;
    CKeyRepeat repeat;
};
