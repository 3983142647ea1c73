// The level manager: the extra levels (the ".lvl" files of the levels
// folder) with their titles and dates, sortable by title or date either way,
// the current player's record of the selected one, and buttons to play it,
// remove its file, reset the records of every extra level, fetch more levels
// (only where the parameter file offers their page: USE_MORELEVELS 1) or go
// to the level map or the main menu. A button with nothing to act on is not
// shown. A file that cannot be read, or
// whose level the world cannot play (CLevelRules::FindPlayFault), is listed as
// refused and never played.
#pragma once

#include <cstdint>
#include <ctime>
#include <memory>
#include <string>
#include <vector>

#include "engine/CController.h"

class CSprite;
class CGuiButton;
class CGuiListbox;
class CControllerMessage;
class CLevel;

class CControllerManager : public CController {
public:
    enum WidgetId {
        BUTTON_UP = 0,
        BUTTON_DOWN = 1,
        BUTTON_SORT_TITLE = 2,
        BUTTON_SORT_DATE = 3,
        BUTTON_PLAY = 4,
        BUTTON_REMOVE = 5,
        BUTTON_MORE_LEVELS = 6,
        BUTTON_RESET = 7,
        BUTTON_MAP = 8,
        BUTTON_MAIN_MENU = 9,
        BUTTON_COUNT = 10,
        LIST_FIRST = 20,  // + the sort
    };
    enum Sort { SORT_DATE_UP = 0, SORT_DATE_DOWN = 1, SORT_TITLE_UP = 2, SORT_TITLE_DOWN = 3, SORT_COUNT = 4 };
    enum PendingAction { PENDING_NONE = 0, PENDING_RESET = 1, PENDING_REMOVE = 2, PENDING_MORE_LEVELS = 3 };
    enum Refusal {
        LEVEL_PLAYABLE = 0,
        LEVEL_DAMAGED = 1,
        LEVEL_NO_ENTRANCE = 2,
        LEVEL_ENTRANCES = 3,  // more than one entrance tube
        LEVEL_EXITS = 4,      // more than one exit tube
        LEVEL_MISSING = 5,    // deleted since it was listed (its row goes)
    };
    enum DetailSprite { DETAIL_NAME, DETAIL_FILE, DETAIL_DATE, DETAIL_PLAYED, DETAIL_COMPLETED, DETAIL_COUNT };

    struct LevelEntry {
        std::string fileName;  // without folder and extension, any length
        std::string title;
        std::string dateKey;   // "%Y-%m-%d"
        std::string dateText;  // "%B %d, %Y"
        time_t time = 0;
        int refusal = LEVEL_PLAYABLE;
        bool removed = false;
    };

    // The answer that asks the main menu for the level map.
    static constexpr int kAnswerMap = 13;
    static constexpr const char* kMoreLevelsURL = "https://vormak-games.example/zorv/levels";

    // Makes the play screen for a level played from here, for the manager to
    // own (with the level, which it deletes after the play screen has
    // closed). The game's play screen by default; tests set a stand-in, or
    // none, which leaves the play button disabled.
    using GameScreenFactory = std::unique_ptr<CController> (*)(CLevel* level);
    static void SetGameScreenFactory(GameScreenFactory factory);

    CControllerManager();
    ~CControllerManager() override;

    // Lists every level file of the levels folder, then fills the lists.
    void FillLevelList();
    void AddLevelEntry(const std::string& fileName, const std::string& title, time_t time, int refusal);
    // Replaces the five detail texts by those of entry (index into the
    // entries); hides them for an index that is not a listed entry.
    void ShowLevelDetails(int entry);
    // Whether the level file of fileName can be played: it is there, it
    // loads and the world can play its level. Loads it into level when given.
    static int CheckLevelFile(const std::string& fileName, CLevel* level);

    void GUICallback(int index, int value, bool dclick) override;
    void InputKey(bool released, int key) override;
    void InputMouseMove(int x, int y) override;
    void InputMouseClick(bool released, bool left, bool right, bool wheelUp, bool wheelDown) override;
    void Pump() override;

    // Inspection (tests).
    int GetSort() const { return sort; }
    CGuiListbox* GetList(int which) const;
    CGuiListbox* GetShownList() const { return GetList(sort); }
    const std::vector<LevelEntry>& GetEntries() const { return entries; }
    CSprite* GetDetailSprite(int which) const;
    CGuiButton* GetButton(int buttonId) const;
    CControllerMessage* GetMessage() const { return message.get(); }
    // The text ids of the open message box; -1 when none is open.
    int GetMessageTitle() const;
    int GetMessageBody() const;
    int GetPendingAction() const { return pendingAction; }
    CLevel* GetLevel() const { return level.get(); }
    CController* GetGame() const { return game.get(); }
    int GetHoldCount() const { return menuKeys.GetHoldCount(); }
    int GetShownEntry() const { return shownEntry; }

private:
    void CreateSprites();
    void UnloadSprites();
    void CreateLists();
    void SwitchSort(int newSort);
    void PlayEntry(int entry);
    void OpenMessage(int titleId, int bodyId, bool question, int pending, const char* bodyText = nullptr,
                     int advice = -1);
    void ReturnFromMessage();
    void RemoveSelected();
    // Takes a removed or vanished level off the lists.
    void DropEntry(int entry);
    void ShowWidgets();
    void HideWidgets();
    void HideDetails();

    std::unique_ptr<CSprite> base;
    std::unique_ptr<CSprite> panel;
    std::unique_ptr<CSprite> details[DETAIL_COUNT];
    std::unique_ptr<CGuiButton> buttons[BUTTON_COUNT];
    std::unique_ptr<CGuiListbox> lists[SORT_COUNT];
    std::vector<LevelEntry> entries;
    std::unique_ptr<CLevel> level;
    std::unique_ptr<CController> game;
    std::unique_ptr<CControllerMessage> message;
    int pendingAction;
    uint8_t spritesBuilt;
    int sort;
    int shownEntry;
};
