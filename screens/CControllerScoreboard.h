// The score board: one screen with several pages over a dimmed picture of
// the screen it was opened from. The online pages show the boards the score
// client holds (the overall board of a level set, the board of one level)
// and fetch them from the server; the post-game pages show how a level
// ended, the step counts and the buttons that lead on.
//
// The play screen opens the post-game pages when a level ends:
//     CControllerScoreboard* board = new CControllerScoreboard(type, noSet);
//     OpenChild(board);
// with type SCOREBOARD_SINGED, SCOREBOARD_LOST, SCOREBOARD_SOLVED (a level
// of a set, after the profile recorded the result) or
// SCOREBOARD_SOLVED_NO_SET (noSet true, a level from the level manager).
// When the board comes back with kCloseToOpener (the play screen's
// closing results, CControllerGame::kCloseTo...) the play screen reads
// GetAnswer(): POSTGAME_RESTART, POSTGAME_REPLAY (restart and play the
// stored solution) or POSTGAME_UNDO; kCloseToLevelChoice and
// kCloseToMainMenu pass through it to the map (or the level manager) or the
// main menu.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "engine/CController.h"
#include "screens/CControllerScoreboardName.h"

class CSprite;
class CGuiButton;
class COscillator;
class CSoundObject;
class CScoreBoard;
class CControllerPassword;
class CControllerMessage;

enum ScoreboardType {
    SCOREBOARD_OVERALL = 0,       // overall board of the current set (main menu)
    SCOREBOARD_LEVEL_MAP = 1,     // board of the current level (level map)
    SCOREBOARD_LEVEL_MENU = 2,    // board of the current level (in-game menu)
    SCOREBOARD_SINGED = 3,        // level lost by burning
    SCOREBOARD_LOST = 4,          // caught, fallen, exit tube destroyed
    SCOREBOARD_SOLVED = 5,        // level of a set solved
    SCOREBOARD_LEVEL_SOLVED = 6,  // board of a solved level, after submitting
    SCOREBOARD_SOLVED_NO_SET = 7, // level without a set solved
};

class CControllerScoreboard : public CController {
public:
    enum ButtonId {
        BUTTON_RETRY = 1,
        BUTTON_CONTINUE = 2,
        BUTTON_SOLUTION = 3,
        BUTTON_INSTRUCTIONS = 4,
        BUTTON_BACK = 5,
        BUTTON_DOWNLOAD_LEVEL = 6,
        BUTTON_DOWNLOAD_ALL = 7,
        BUTTON_SUBMIT = 8,
        BUTTON_TAB_REGULAR = 9,
        BUTTON_TAB_ADVANCED = 10,
        BUTTON_TAB_KIDS = 11,
        BUTTON_UNDO = 14,
    };
    static constexpr int kButtonSlots = 6;
    static constexpr int kPageX = 57;
    static constexpr int kPageY = 23;
    static constexpr int kBoardRows = 10;
    static constexpr const char* kPageImage = "baseScoreboard.png";

    CControllerScoreboard(int type, bool noSet);
    ~CControllerScoreboard() override;

    // The post-game answer (PostGameResult).
    int GetAnswer() const { return value; }
    // The play screen tells a post-game page whether the level has a
    // recorded solution; without one its solution button says so.
    void SetSolutionAvailable(bool available) { solutionAvailable = available ? 1 : 0; }

    void GUICallback(int index, int value, bool dclick) override;
    void InputKey(bool released, int key) override;
    void InputMouseMove(int x, int y) override;
    void InputMouseClick(bool released, bool left, bool right, bool wheelUp, bool wheelDown) override;
    void Pump() override;

    // "%ist of %i", "%ind of %i", "%ird of %i" or "%ith of %i".
    static std::string FormatRank(int rank, int count);

    // Inspection (tests).
    int GetType() const { return type; }
    int GetSet() const { return set; }
    int GetLevel() const { return level; }
    bool IsLoaded() const { return loaded != 0; }
    CGuiButton* GetButton(int buttonId) const;
    CSprite* GetArrow(int i) const { return i == 0 ? arrow1.get() : arrow2.get(); }
    CSprite* GetBackground() const { return background.get(); }
    // The rows drawn by the last page build ("name|score"), and the own-rank
    // line ("" when none).
    const std::vector<std::string>& GetDrawnRows() const { return drawnRows; }
    const std::string& GetDrawnRankLine() const { return drawnRankLine; }
    // The other texts of the last page build: "id" or "id:value".
    const std::vector<std::string>& GetDrawnTexts() const { return drawnTexts; }
    CControllerScoreboardName* GetNameDialog() const { return nameDialog.get(); }
    CControllerPassword* GetPasswordPrompt() const { return passwordPrompt.get(); }
    CControllerMessage* GetMessage() const { return message.get(); }
    // The text the last message box was given for its body ("" for none).
    const std::string& GetMessageText() const { return messageText; }
    // The note that says the game waits for the score server and that
    // Escape gives up: on screen only while a request waits.
    static bool IsWaitNoteShown();

private:
    // What to open once the page is built again after a child came back.
    enum FollowUp { FOLLOW_NONE, FOLLOW_SUBMIT, FOLLOW_NAME_DIALOG, FOLLOW_MESSAGE };

    void LoadSprites();
    void UnloadSprites();
    void CreateButtons();
    CGuiButton* AddButton(int buttonId, int x, int y, const char* base, const char* shadow, const char* rollover);
    CGuiButton* AddParchmentButton(int buttonId, int x, int y, const char* text, bool isDefault = false);
    void BuildPage();
    void DrawBoard(int page, const CScoreBoard* board);
    // A centred text in the box (x, y, w x h) of the page, noted for tests.
    void PageText(int page, int textId, int x, int y, int w, int h, const char* value);
    void DrawLevelBoard(int page);
    void DrawPostGame(int page);

    // The level's score goes up first when the player has a name and has
    // solved it, then the level's board comes down; true when the board
    // came. A failure is noted (NoteFailure), and one that ends the action
    // keeps the download from being asked for.
    bool UploadAndDownloadLevel();
    void DownloadLevel();
    void DownloadAllSets();
    void Submit();
    void ShowSolution();
    // Notes the failure of the request just made (its message, or what
    // stands for it) unless an earlier failure of the same action is noted.
    // False when the request got no usable answer or the server said it is
    // too busy for this player: the action then sends none of its other
    // requests, since a server that let one wait out its whole time-out
    // would most likely let every further one do the same, and one that is
    // busy asked to be left alone for a while.
    bool NoteFailure();
    void Register(const char* name);
    void RunFollowUp();

    void PrepareChild(const char* name);
    void OpenNameDialog(const std::string& proposal, CControllerScoreboardName::Mark mark);
    // A one-button message box over the page, with the failure noted
    // (failureBody and failureText) under the title.
    void OpenMessage(int titleId);

    std::unique_ptr<CSprite> dimmer;
    std::unique_ptr<CSprite> background;
    std::unique_ptr<CSprite> arrow1;
    std::unique_ptr<CSprite> arrow2;
    std::unique_ptr<CGuiButton> buttons[kButtonSlots];
    std::unique_ptr<COscillator> oscillator;
    std::unique_ptr<CSoundObject> victory;
    uint8_t noSet;
    uint8_t solutionAvailable;
    uint8_t loaded;
    int type;
    int set;
    int level;
    int seed;
    std::unique_ptr<CControllerScoreboardName> nameDialog;
    std::unique_ptr<CControllerPassword> passwordPrompt;
    std::unique_ptr<CController> instructions;
    std::unique_ptr<CControllerMessage> message;

    // A failed request's message waiting to be shown: the body text id and
    // its value.
    int failureBody;
    std::string failureText;
    int failureAdvice = -1;
    std::string messageText;
    // The name typed last (kept when registration could not be finished),
    // and the mark of the name dialog to open next.
    std::string pendingName;
    CControllerScoreboardName::Mark pendingMark;
    bool nameAfterMessage;
    FollowUp followUp;

    std::vector<std::string> drawnRows;
    std::vector<std::string> drawnTexts;
    std::string drawnRankLine;
};

// What the play screen does after a post-game page closed with
// kCloseToOpener (GetAnswer): the id of the button the player chose there
// (the solution's once its password prompt let him through).
enum PostGameResult {
    POSTGAME_NONE = 0,
    POSTGAME_RESTART = CControllerScoreboard::BUTTON_RETRY,
    POSTGAME_REPLAY = CControllerScoreboard::BUTTON_SOLUTION,
    POSTGAME_UNDO = CControllerScoreboard::BUTTON_UNDO,
};
