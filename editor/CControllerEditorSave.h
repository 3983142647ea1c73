// The editor's save dialog: a file name and a heading for the level, okay
// and cancel. It asks before it replaces a level file of that name and
// saves the editor's level itself; a name it cannot use and a write that
// fails are reported, and the dialog stays open with its texts.
#pragma once

#include <cstdint>
#include <memory>
#include <string>

#include "engine/CController.h"
#include "gui/CKeyRepeat.h"
#include "gui/CTwoBoxFocus.h"
#include "gui/SaveFailureNotice.h"

class CSprite;
class CGuiButton;
class CGuiTextbox;
class CControllerMessage;
class CLevel;

class CControllerEditorSave : public CController {
public:
    enum ButtonId { BUTTON_CANCEL = 0, BUTTON_OKAY = 1 };
    enum Focus { FOCUS_BUTTONS = -1, FOCUS_NAME = 0, FOCUS_HEADING = 1 };
    // A new name is typed up to this length.
    static constexpr int kMaxFileName = 16;
    static constexpr int kMaxHeading = 29;
    static constexpr const char* kBaseImage = "baseEditorSave.png";

    // level: the editor's level (not owned).
    explicit CControllerEditorSave(CLevel* level);
    ~CControllerEditorSave() override;

    // Saves under the typed name and heading, after the checks and the
    // question before replacing a file.
    void SaveFilename();

    // Why a level cannot be saved under a valid name (the body of the
    // message that says it, with the text for its placeholder), 0 when it
    // can: a name too long for the save's temporary file, or a levels folder
    // that is not a folder.
    static int Refusal(const std::string& name, std::string* argument);
    // The message that tells why level's last save failed (its argument the
    // file and the system's words) and what helps.
    static ProgressMessage WriteFailure(const CLevel& level);

    void GUICallback(int index, int value, bool dclick) override;
    void InputKey(bool released, int key) override;
    void InputMouseMove(int x, int y) override;
    void InputMouseClick(bool released, bool left, bool right, bool wheelUp, bool wheelDown) override;
    void Pump() override;

    // Inspection (tests).
    CGuiTextbox* GetNameBox() const { return nameBox.get(); }
    CGuiTextbox* GetHeadingBox() const { return headingBox.get(); }
    CGuiButton* GetOkayButton() const { return okay.get(); }
    CGuiButton* GetCancelButton() const { return cancel.get(); }
    CControllerMessage* GetMessage() const { return message.get(); }
    int GetFocus() const { return focus.GetFocusedBox(); }
    // The body text of the message box opened last.
    int GetMessageBody() const { return messageBody; }

private:
    void LoadSprites();
    void HideDialog();
    void ShowDialog();
    void OpenMessage(int titleId, int bodyId, bool question, const std::string& argument = std::string(),
                     int advice = -1);
    // Writes the level; closes on success, reports a failure.
    void Write(const std::string& name, const std::string& heading);

    std::unique_ptr<CSprite> sprites[2];
    std::unique_ptr<CGuiButton> okay;
    std::unique_ptr<CGuiButton> cancel;
    std::unique_ptr<CGuiTextbox> nameBox;
    std::unique_ptr<CGuiTextbox> headingBox;
    uint8_t spritesBuilt;
    CTwoBoxFocus focus;
    CKeyRepeat repeat;
    uint8_t askingOverwrite;
    uint8_t overwriteConfirmed;
    CLevel* level;
    std::unique_ptr<CControllerMessage> message;
    int messageBody = -1;
};
