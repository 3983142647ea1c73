// The level editor: one screen over one level (held by its model, which
// keeps the editor's rules). The view shows the level's pieces on its
// background with a grid and a cursor that carries the current tool; keys,
// the mouse and the tool palette choose tools and run the commands: help,
// new level, load, save, save as, test, record a solution, play it back and
// leave. Unsaved work is never thrown away without asking: not by the
// window's close button either, which asks as Alt+Q does. A terminate signal
// (a logout) ends the game without asking; the editor then keeps unsaved
// work, a recording under way included, in a recovery file
// (editor/EditorRecovery.h).
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "editor/CArrowRepeat.h"
#include "editor/CEditorModel.h"
#include "editor/CEditorView.h"
#include "engine/CController.h"

class CControllerEditorPalette;
class CControllerEditorLoad;
class CControllerEditorSave;
class CControllerEditorHelp;
class CControllerEditorTutorial;
class CControllerGame;
class CControllerMessage;

class CControllerEditor : public CController {
public:
    // What a confirmed question does.
    enum PendingAction { PENDING_NONE = 5, PENDING_NEW = 6, PENDING_LOAD = 12, PENDING_LEAVE = 48, PENDING_QUIT = 49 };

    CControllerEditor();
    ~CControllerEditor() override;

    void InputKey(bool released, int key) override;
    void InputMouseMove(int x, int y) override;
    void InputMouseClick(bool released, bool left, bool right, bool wheelUp, bool wheelDown) override;
    void Pump() override;

    // Commands (the ALT keys and the palette's first column).
    void RunCommand(uint32_t code);
    void NewLevel(bool force);
    void SetBackground(int number);

    // Inspection (tests).
    CEditorModel& GetModel() { return model; }
    const CEditorView& GetView() const { return view; }
    CControllerEditorPalette* GetPalette() const { return palette.get(); }
    CControllerMessage* GetMessage() const { return message.get(); }
    CControllerGame* GetGame() const { return game.get(); }
    CControllerEditorLoad* GetLoadDialog() const { return load.get(); }
    CControllerEditorSave* GetSaveDialog() const { return save.get(); }
    CControllerEditorHelp* GetHelp() const { return help.get(); }
    CControllerEditorTutorial* GetTutorial() const { return tutorial.get(); }
    int GetPendingAction() const { return pending; }
    // The texts of the message box opened last.
    int GetMessageTitle() const { return messageTitle; }
    int GetMessageBody() const { return messageBody; }

private:
    // Openers of the children.
    void PrepareChild();
    void OpenMessage(int titleId, int bodyId, bool question, const std::string& argument = std::string(),
                     int advice = -1);
    void OpenPalette();
    void OpenHelp();
    void OpenTutorial(const char* text);
    void OpenLoad();
    void OpenSave();
    // Test (neither), record or play back, after the check before play.
    void OpenPlay(bool record, bool replay);
    bool CheckLevel();
    void Save();
    void AskLoad();
    void Leave();
    // The game is to end (kCloseQuit came from the window or a signal): a
    // signal ends it at once, keeping unsaved work; the close button asks
    // first when work is unsaved, unless the play screen has asked already.
    void EndGame(bool asked);
    void KeepUnsavedWork();
    // Acts on what a placement asked for.
    void HandleOutcome(EditorOutcome outcome);
    void ClearHeld();
    void ShowLevel();
    void LoadAccepted();
    // Children coming back; act: do what the child was opened for (not when
    // it closed because the game is ending).
    void ReturnFromChild(int childId, bool act);

    CEditorModel model;
    CEditorView view;
    std::unique_ptr<CControllerEditorPalette> palette;
    std::unique_ptr<CControllerGame> game;
    std::unique_ptr<CControllerEditorLoad> load;
    std::unique_ptr<CControllerEditorSave> save;
    std::unique_ptr<CControllerMessage> message;
    std::unique_ptr<CControllerEditorHelp> help;
    std::unique_ptr<CControllerEditorTutorial> tutorial;
    uint8_t leftHeld, rightHeld, upHeld, downHeld;
    int pending;
    int messageTitle = -1, messageBody = -1;
    uint8_t openPaletteOnFirstFrame;
    // Kept while the play screen runs.
    uint8_t savedModified;
    std::vector<ReplayKey> solutionBeforePlay;
    CArrowRepeat repeat;
};
