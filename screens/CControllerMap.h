// The level map: every level of the three level sets is chosen and played
// from here. It shows the chosen set's levels as dots along a track on a
// painted island, with the player's progress (solved levels, the level to
// play next, the levels still locked, tutorial stars), the set's name, the
// current level's label and title, the best step count of that level and
// the set's total, three set buttons with their completion, a reset button
// per set, a button that cycles the set, a score button and Play, Level
// manager and Main menu in the lower right. The arrow keys step along the
// open levels in the order of the track (Page Up and Down ten of them, Home
// and End to the ends), the chosen dot taking the focus; Return plays it.
//
// Progress lives in the current player's profile: the map reads it, asks
// the profile to pick and unlock the level to play next, and resets a set on
// request; solving and scoring happen on the play screen. When it closes it
// can ask the main menu for the level manager (value 22).
#pragma once

#include <cstdint>
#include <memory>

#include "engine/CController.h"
#include "engine/CSprite.h"
#include "gui/CListKeys.h"

class CGuiButton;
class CGuiButtonMapDot;
class CControllerMessage;
class CControllerSetSelect;
class CControllerMessageTutorial;
class CLevel;
class CLevelSet;
class COscillator;

class CControllerMap : public CController, private CKeyList {
public:
    enum SpriteSlot {
        SPRITE_BACKGROUND,
        SPRITE_VOLCANO_FRONT,
        SPRITE_VOLCANO_GLOW,
        SPRITE_VOLCANO_SMOKE,
        SPRITE_SET_NAME,
        SPRITE_LEVEL_NAME,
        SPRITE_LEVEL_STEPS,
        SPRITE_SET_STEPS,
        SPRITE_PROFILE_NAME,
        SPRITE_HELP_BOX,
        SPRITE_HELP_TEXT,
        SPRITE_HELP_ARROW,
        SPRITE_HELP_ARROW_SHADOW,
        SPRITE_LEGEND_TUTORIAL,
        SPRITE_LEGEND_REGULAR,
        SPRITE_COUNT,
    };
    enum ButtonId {
        BUTTON_SET_REGULAR = 1000,
        BUTTON_SET_ADVANCED = 1001,
        BUTTON_SET_KIDS = 1002,
        BUTTON_RESET_REGULAR = 1003,
        BUTTON_RESET_ADVANCED = 1004,
        BUTTON_RESET_KIDS = 1005,
        BUTTON_CHANGE_SET = 1006,
        BUTTON_SCORES = 1007,
        BUTTON_PLAY = 1100,
        BUTTON_MANAGER = 1101,
        BUTTON_MAIN_MENU = 1102,
    };
    static constexpr int kButtonCount = 11;
    static constexpr int kMaxDots = 125;
    // The value the map leaves for the main menu when it asks for the level
    // manager (the manager's screen id).
    static constexpr int kAnswerManager = 22;
    // The open levels Page Up and Page Down step over.
    static constexpr int kTrackPage = 10;

    CControllerMap();
    ~CControllerMap() override;

    void GUICallback(int index, int value, bool dclick) override;
    void InputKey(bool released, int key) override;
    void InputMouseMove(int x, int y) override;
    void InputMouseClick(bool released, bool left, bool right, bool wheelUp, bool wheelDown) override;
    void Pump() override;

    // Inspection (tests).
    bool IsLoaded() const { return spritesLoaded != 0; }
    int GetCurrentSet() const { return currentSet; }
    int GetCurrentLevel() const { return currentLevel; }
    CLevel* GetLevel() const { return level; }
    CSprite* GetSprite(int slot) const { return slot >= 0 && slot < SPRITE_COUNT ? sprites[slot].get() : nullptr; }
    CGuiButton* GetButton(int buttonId) const;
    CGuiButtonMapDot* GetDot(int levelIndex) const;
    int GetDotCount() const { return dotCounter; }
    CController* GetChild() const;
    bool WasExplanationShown() const { return explanationShown != 0; }

private:
    void CreateSprites();
    void UpdateLevelTexts();
    void CreateSetButtons(int button, int set);
    void CreateDots();
    void CreateDot(int x, int y);
    void DeleteDots();
    void CreateHelpOverlay();
    void DeleteHelpOverlay();
    void UpdateAnimations();
    void UnloadResources();
    void ChooseSet(int set);
    void SelectLevel(int levelIndex);
    void PlayCurrentLevel();
    // The list keys: the chosen level steps along the open ones.
    void StepSelection(bool down, bool page, bool toEnd, bool warp) override;
    // Freezes the map's picture and hides its widgets before a child opens
    // over it.
    void FreezeFor(const char* childName);
    void ShowWidgets();
    void HideWidgets();
    bool ExplanationDue() const;
    CLevelSet* CurrentLevelSet() const;
    // A text sprite of string-table entry 300 with text drawn as it stands,
    // at pointSize (0: the entry's own).
    std::unique_ptr<CSprite> MakeText(const char* text, int boxW, int boxH, int align, const char* imageName, int x,
                                      int y, SpriteLayer layer, int pointSize = 0);

    std::unique_ptr<CSprite> sprites[SPRITE_COUNT];
    std::unique_ptr<CGuiButton> buttons[kButtonCount];
    std::unique_ptr<CGuiButtonMapDot> dots[kMaxDots];
    std::unique_ptr<COscillator> helpBobber;
    uint8_t spritesLoaded;
    uint8_t setChoicePending;
    uint8_t dotsAppear;
    uint8_t explanationShown;
    int pendingConfirmation;
    int dotCounter;
    int currentSet;
    int currentLevel;
    int smokeCounter;
    int smokeLimit;
    CLevel* level;

    std::unique_ptr<CControllerMessage> message;
    std::unique_ptr<CController> game;
    std::unique_ptr<CControllerSetSelect> setSelect;
    std::unique_ptr<CControllerMessageTutorial> explanation;
    std::unique_ptr<CController> scoreboard;
};
