// The profile screen the main menu opens over itself: the players by name in
// a list box, with buttons to choose, delete, rename and add a player. Every
// change goes through the profile list, which writes the INFO file after
// each one; the screen is left only by choosing a player.
#pragma once

#include <cstdint>
#include <memory>
#include <string>

#include "engine/CController.h"

class CSprite;
class CGuiButton;
class CGuiListbox;
class CControllerMessage;
class CControllerProfileName;

class CControllerProfiles : public CController {
public:
    enum WidgetId {
        BUTTON_UP = 0,
        BUTTON_DOWN = 1,
        BUTTON_SELECT = 2,
        BUTTON_DELETE = 3,
        BUTTON_RENAME = 4,
        BUTTON_ADD = 5,
        BUTTON_COUNT = 6,
        LIST_PROFILES = 20,
    };
    enum PendingAction {
        PENDING_NONE = 0,
        PENDING_NAME_TAKEN = 1,
        PENDING_DELETE = 2,
        // The notice that a save failed; closes the screen afterwards when
        // the player was chosen.
        PENDING_SAVE_NOTICE = 3,
    };

    CControllerProfiles();
    ~CControllerProfiles() override;

    void GUICallback(int index, int value, bool dclick) override;
    void InputKey(bool released, int key) override;
    void InputMouseMove(int x, int y) override;
    void InputMouseClick(bool released, bool left, bool right, bool wheelUp, bool wheelDown) override;
    void Pump() override;

    // Inspection (tests).
    CGuiListbox* GetList() const { return list.get(); }
    CGuiButton* GetButton(int buttonId) const;
    int GetSelectedNumber() const { return selectedNumber; }
    int GetPendingAction() const { return pendingAction; }
    CControllerMessage* GetMessage() const { return message.get(); }
    CControllerProfileName* GetNameDialog() const { return nameDialog.get(); }
    bool AreSpritesBuilt() const { return spritesBuilt != 0; }

private:
    void CreateSprites();
    void UnloadSprites();
    void BuildList();
    // Makes the chosen player current and closes, unless the switch was
    // refused because the outgoing player could not be saved or the chosen
    // one's file cannot be reached now.
    void ChooseProfile(int number);
    void OpenMessage(int titleId, int bodyId, bool question, int pending, const char* bodyText = nullptr,
                     const char* bodyText2 = nullptr, int advice = -1);
    void OpenNameDialog(bool rename);
    // Clears the stage for a child: the menu's frozen picture shows through.
    void ClearForChild(const char* name);
    // Opens the save-failure notice when there is one to tell; true then.
    bool ShowSaveNotice(bool closeAfter);
    // Tells the player that another player could not take over: the current
    // one cannot be saved (and why), or, after loading a player, that one's
    // file cannot be reached now.
    void TellSwitchRefused(bool loading);
    // Whether a player of exactly this name (case counts) exists.
    bool IsNameTaken(const std::string& name) const;
    void ReturnFromMessage();
    void ReturnFromNameDialog();

    std::unique_ptr<CSprite> dimmer;
    std::unique_ptr<CSprite> background;
    std::unique_ptr<CGuiButton> buttons[BUTTON_COUNT];
    std::unique_ptr<CGuiListbox> list;
    int selectedNumber;
    int pendingAction;
    uint8_t renameMode;
    uint8_t closeAfterNotice;
    std::unique_ptr<CControllerProfileName> nameDialog;
    std::unique_ptr<CControllerMessage> message;
    uint8_t spritesBuilt;
};
