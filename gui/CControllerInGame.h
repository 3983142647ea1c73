// The menu the play screen opens over a paused level: resume, restart, undo,
// show the solution, instructions, settings, the level's score board, back to
// the map or the level manager, the main menu, and quitting. Its choice goes
// back to the play screen as its answer, or it closes the play screen too.
#pragma once

#include <cstdint>
#include <memory>

#include "engine/CController.h"

class CGuiButton;
class CLevel;
class CSprite;
class CControllerMessage;
class CControllerPassword;

class CControllerInGame : public CController {
public:
    // Rows, by button id.
    enum Row {
        ROW_RESUME = 0,
        ROW_RESTART = 1,
        ROW_UNDO = 2,
        ROW_SOLUTION = 3,
        ROW_INSTRUCTIONS = 4,
        ROW_SETTINGS = 5,
        ROW_SCORES = 6,
        ROW_MAP = 7,
        ROW_MANAGER = 8,
        ROW_MAIN = 9,
        ROW_QUIT = 10,
        ROW_COUNT = 11,
    };
    // Answers for the play screen.
    enum Answer { ANSWER_RESUME = 0, ANSWER_RESTART = 1, ANSWER_SHOW_SOLUTION = 2, ANSWER_UNDO = 3 };
    // 0 a scored level of a set, 1 a tutorial level, 2 a level without a set.
    enum Mode { MODE_SET = 0, MODE_TUTORIAL = 1, MODE_SINGLE = 2 };

    // The notice for a level that has no recorded solution (the post-game
    // page shows it too).
    static constexpr int kNoSolutionTitle = 2221;
    static constexpr int kNoSolutionBody = 2341;

    CControllerInGame(int mode, CLevel* level);
    ~CControllerInGame() override;

    void GUICallback(int index, int value, bool dclick) override;
    void InputKey(bool released, int key) override;
    void InputMouseMove(int x, int y) override;
    void InputMouseClick(bool released, bool left, bool right, bool wheelUp, bool wheelDown) override;
    void Pump() override;

    // Inspection (tests): the row of a button id, or null in this mode.
    CGuiButton* GetRow(int row) const { return row >= 0 && row < ROW_COUNT ? rows[row].get() : nullptr; }

private:
    void CreateSprites();
    void UnloadSprites();
    void OpenMessage(int titleId, int bodyId, int action, bool question);
    // Readies the hand-over to a child: the menu lets go of its sprites.
    void PrepareChild(const char* name);

    enum PendingAction { PENDING_NONE = 0, PENDING_SOLUTION = 1, PENDING_QUIT = 2 };

    std::unique_ptr<CSprite> dimmer;
    std::unique_ptr<CSprite> background;
    std::unique_ptr<CGuiButton> rows[ROW_COUNT];
    CLevel* level;
    std::unique_ptr<CControllerMessage> messageChild;
    std::unique_ptr<CController> pageChild;  // the instructions, the settings or the level's board
    std::unique_ptr<CControllerPassword> passwordChild;
    uint8_t spritesBuilt;
    int32_t mode;
    int32_t pendingAction;
    uint8_t solutionConfirmed;
};
