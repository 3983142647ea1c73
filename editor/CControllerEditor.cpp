#include "editor/CControllerEditor.h"

#include <string>

#include "editor/CControllerEditorHelp.h"
#include "editor/CControllerEditorLoad.h"
#include "editor/CControllerEditorPalette.h"
#include "editor/CControllerEditorSave.h"
#include "editor/CControllerEditorTutorial.h"
#include "editor/EditorKeys.h"
#include "editor/EditorRecovery.h"
#include "engine/CDraw.h"
#include "engine/CInput.h"
#include "engine/CMouse.h"
#include "engine/CRender.h"
#include "engine/Log.h"
#include "gui/CControllerGame.h"
#include "gui/CControllerInGame.h"
#include "gui/CControllerMessage.h"
#include "gui/GuiSprites.h"
#include "gui/SaveFailureNotice.h"
#include "sound/CSound.h"

namespace {

// Message texts (title, body).
constexpr int kTitleTube = 2207, kBodyTube = 2311;
constexpr int kTitleTeleports = 2208, kBodyColourLimit = 2312, kBodyUnpaired = 2313;
constexpr int kTitleUnsaved = CControllerGame::kUnsavedTitle, kBodyUnsaved = CControllerGame::kUnsavedBody;
constexpr int kTitleOldLevel = 2210, kBodyOldLevel = 2317;
constexpr int kTitleRefused = 2218, kBodyDamaged = 2340, kBodyMissing = 2356;
constexpr int kTitleNotSaved = 2220;

// The palette's commands as the log names them.
const char* CommandName(uint32_t code) {
    switch (code) {
    case CTRL_HELP: return "Help";
    case FREEZE_MODE: return "Freeze";
    case HEAT_MODE: return "Heat";
    case CTRL_NEW: return "New Level";
    case CTRL_LOAD: return "Load Level";
    case CTRL_SAVE: return "Save Level";
    case CTRL_SAVE_AS: return "SaveAs Level";
    case CTRL_TEST: return "Test";
    case CTRL_RECORD: return "Record";
    case CTRL_PLAY: return "Play";
    case CTRL_EXIT: return "Quit";
    default: return nullptr;
    }
}

}  // namespace

CControllerEditor::CControllerEditor()
    : palette(nullptr),
      game(nullptr),
      load(nullptr),
      save(nullptr),
      message(nullptr),
      help(nullptr),
      tutorial(nullptr),
      leftHeld(0),
      rightHeld(0),
      upHeld(0),
      downHeld(0),
      pending(PENDING_NONE),
      openPaletteOnFirstFrame(1),
      savedModified(0) {
    id = CONTROLLER_EDITOR;
    CSound::FadeOutMusic();
    view.LoadSprites(model.GetLevel()->GetBackground());
    model.SetCursorType(NONE);
    view.UpdateCursor(model);
    palette = std::make_unique<CControllerEditorPalette>();
}

CControllerEditor::~CControllerEditor() {
    DebugLog(DBG_DESTRUCT, "CControllerEditor:  Destroying CControllerEditor...\n");
    ShowHourglass(true);
    ReleaseAll(game, load, save, message, help, tutorial, palette);
}

// ---- Openers ------------------------------------------------------------------

void CControllerEditor::ClearHeld() {
    leftHeld = rightHeld = upHeld = downHeld = 0;
    model.SetPlacingHeld(false);
    ClearModKeys();
}

void CControllerEditor::PrepareChild() {
    ClearHeld();
    view.HideCursor();
    // The picture set aside is the child's backdrop: no pointer on it, not
    // even the hourglass a closing message box leaves behind.
    HideMousePointer(kHideUntilNextUpdate);
    CRender::Render(true);
    CRender::Swap(true);
}

void CControllerEditor::OpenMessage(int titleId, int bodyId, bool question, const std::string& argument, int advice) {
    PrepareChild();
    LogOpening("Message");
    messageTitle = titleId;
    messageBody = bodyId;
    message = std::make_unique<CControllerMessage>(titleId, bodyId, question, argument.c_str(), nullptr, advice);
    OpenChild(message.get());
}

void CControllerEditor::OpenPalette() {
    PrepareChild();
    LogOpening("Palette");
    OpenChild(palette.get());
}

void CControllerEditor::OpenHelp() {
    PrepareChild();
    LogOpening("Editor Help");
    help = std::make_unique<CControllerEditorHelp>();
    OpenChild(help.get());
}

void CControllerEditor::OpenTutorial(const char* text) {
    PrepareChild();
    LogOpening("Editor Tutorial");
    tutorial = std::make_unique<CControllerEditorTutorial>(text);
    OpenChild(tutorial.get());
}

void CControllerEditor::OpenLoad() {
    PrepareChild();
    LogOpening("Editor Load");
    load = std::make_unique<CControllerEditorLoad>();
    OpenChild(load.get());
}

void CControllerEditor::OpenSave() {
    PrepareChild();
    LogOpening("Editor Save");
    save = std::make_unique<CControllerEditorSave>(model.GetLevel());
    OpenChild(save.get());
}

bool CControllerEditor::CheckLevel() {
    switch (model.CheckLevel()) {
    case EDITOR_CHECK_NO_TUBE: OpenMessage(kTitleTube, kBodyTube, false); return false;
    case EDITOR_CHECK_TELEPORT_UNPAIRED: OpenMessage(kTitleTeleports, kBodyUnpaired, false); return false;
    default: return true;
    }
}

void CControllerEditor::OpenPlay(bool record, bool replay) {
    if (!CheckLevel()) return;
    CLevel* level = model.GetLevel();
    // A playback of nothing would only look like a test.
    if (replay && level->GetSolution().empty()) {
        OpenMessage(CControllerInGame::kNoSolutionTitle, CControllerInGame::kNoSolutionBody, false);
        return;
    }
    savedModified = level->IsModified() ? 1 : 0;
    solutionBeforePlay = level->GetSolution();
    ClearHeld();
    view.HideCursor();
    view.HideGrid();
    CRender::Render(true);
    // The play screen builds its own world from the level.
    view.DestroyLevelSprites();
    model.DropPieces();
    LogOpening(record ? "Solution Record" : replay ? "Solution Playback" : "Tester");
    game = std::make_unique<CControllerGame>(level, record, replay, true);
    OpenChild(game.get());
}

// ---- Commands -----------------------------------------------------------------

void CControllerEditor::RunCommand(uint32_t code) {
    switch (code) {
    case CTRL_HELP: OpenHelp(); break;
    case CTRL_NEW: NewLevel(false); break;
    case CTRL_LOAD: AskLoad(); break;
    case CTRL_SAVE: Save(); break;
    case CTRL_SAVE_AS: OpenSave(); break;
    case CTRL_TEST: OpenPlay(false, false); break;
    case CTRL_RECORD: OpenPlay(true, false); break;
    case CTRL_PLAY: OpenPlay(false, true); break;
    case CTRL_EXIT: Leave(); break;
    default: break;
    }
}

void CControllerEditor::NewLevel(bool force) {
    if (!force && model.GetLevel()->IsModified()) {
        OpenMessage(kTitleUnsaved, kBodyUnsaved, true);
        pending = PENDING_NEW;
        return;
    }
    model.NewLevel();
    ShowLevel();
}

void CControllerEditor::SetBackground(int number) {
    model.GetLevel()->SetBackground(number);
    view.ChangeBackground(model.GetLevel()->GetBackground());
}

// A level that has a file already is saved under it at once; a new one
// asks for its name and heading.
void CControllerEditor::Save() {
    CLevel* level = model.GetLevel();
    if (!CLevel::IsValidName(level->GetFileName())) {
        OpenSave();
        return;
    }
    std::string argument;
    if (const int refusal = CControllerEditorSave::Refusal(level->GetFileName(), &argument)) {
        OpenMessage(kTitleNotSaved, refusal, false, argument);
        return;
    }
    if (level->Save()) {
        DebugLog(DBG_CEDITOR, "CControllerEditor:  Level saved as '%s'\n", level->GetFileName());
        return;
    }
    const ProgressMessage failure = CControllerEditorSave::WriteFailure(*level);
    OpenMessage(kTitleNotSaved, failure.body, false, failure.text, failure.advice);
}

void CControllerEditor::AskLoad() {
    if (model.GetLevel()->IsModified()) {
        OpenMessage(kTitleUnsaved, kBodyUnsaved, true);
        pending = PENDING_LOAD;
        return;
    }
    OpenLoad();
}

void CControllerEditor::Leave() {
    if (model.GetLevel()->IsModified()) {
        OpenMessage(kTitleUnsaved, kBodyUnsaved, true);
        pending = PENDING_LEAVE;
        return;
    }
    result = kCloseBack;
}

void CControllerEditor::EndGame(bool asked) {
    result = kCloseQuit;
    if (CInput::IsTerminating() || asked || !model.GetLevel()->IsModified()) return;
    result = 0;
    OpenMessage(kTitleUnsaved, kBodyUnsaved, true);
    pending = PENDING_QUIT;
}

// In test play the level's own modified flag is set aside, and a recording
// under way is kept as far as it went: the solution recorded so far.
void CControllerEditor::KeepUnsavedWork() {
    CLevel kept = *model.GetLevel();
    bool unsaved = kept.IsModified();
    bool recording = false;
    if (game) {
        recording = game->IsRecording() && !kept.IsSolutionRecorded() && !kept.GetSolution().empty();
        unsaved = savedModified || recording;
        if (!recording) {
            kept.ClearSolution();
            for (const ReplayKey& k : solutionBeforePlay) kept.AddReplayKey(k.frame, k.key, k.released);
        }
    }
    if (unsaved) KeepRecoveredLevel(kept, recording);
}

void CControllerEditor::ShowLevel() {
    view.Sync(model);
    view.ChangeBackground(model.GetLevel()->GetBackground());
}

void CControllerEditor::HandleOutcome(EditorOutcome outcome) {
    view.Sync(model);
    if (outcome == EDITOR_ASK_TUTORIAL_TEXT)
        OpenTutorial(model.GetLevel()->GetTutorialText(model.GetCursorX(), model.GetCursorY()));
    else if (outcome == EDITOR_TELEPORT_LIMIT)
        OpenMessage(kTitleTeleports, kBodyColourLimit, false);
}

// ---- Input --------------------------------------------------------------------

void CControllerEditor::InputKey(bool released, int key) {
    if (CaptureScreen(released, key)) return;
    const bool press = !released;
    switch (key) {
    case KEY_LEFT: leftHeld = press; break;
    case KEY_RIGHT: rightHeld = press; break;
    case KEY_UP: upHeld = press; break;
    case KEY_DOWN: downHeld = press; break;
    case KEY_RETURN:
    case KEY_SPACE:
        if (press)
            HandleOutcome(model.PressPlace());
        else
            model.ReleasePlace();
        break;
    default: break;
    }
    if (released) return;
    if (key == KEY_ESCAPE) {
        OpenPalette();
    } else if (key == EDITOR_KEY_BACKQUOTE) {
        view.ToggleGrid();
    } else if (modAlt) {
        const int command = EditorCommandForAltKey(key);
        if (command >= 0) RunCommand(static_cast<uint32_t>(command));
    } else if (key >= EDITOR_KEY_F1 && key <= EDITOR_KEY_F8) {
        SetBackground(key - EDITOR_KEY_F1);
        palette->SelectTool(EditorSwatchCode(key - EDITOR_KEY_F1));
    } else {
        const int tool = EditorToolForKey(key);
        if (tool >= 0) palette->SelectTool(static_cast<uint32_t>(tool));
    }
    // Whatever the key, the cursor carries the palette's choice.
    model.SetCursorType(palette->GetTool());
}

void CControllerEditor::InputMouseMove(int x, int y) {
    mouseX = x;
    mouseY = y;
    HandleOutcome(model.MoveCursorToPointer(x, y, modShift != 0, modCtrl != 0));
}

void CControllerEditor::InputMouseClick(bool released, bool left, bool right, bool, bool) {
    if (left) {
        if (released)
            model.ReleasePlace();
        else
            HandleOutcome(model.PressPlace());
    } else if (right && !released) {
        OpenPalette();
    }
}

// ---- Per frame ----------------------------------------------------------------

void CControllerEditor::Pump() {
    if (openPaletteOnFirstFrame) {
        // The editor starts with its toolbox on screen.
        SetPreviousId(id);
        openPaletteOnFirstFrame = 0;
        view.HideCursor();
        OpenChild(palette.get());
        return;
    }
    if (GetPreviousId() == id) {
        PollInput();
        if (result == kCloseQuit) {
            if (CInput::IsTerminating()) KeepUnsavedWork();
            EndGame(false);
            return;
        }
        if (!active) return;
        const int dx = (rightHeld && !leftHeld) - (leftHeld && !rightHeld);
        const int dy = (downHeld && !upHeld) - (upHeld && !downHeld);
        if (repeat.Step(leftHeld || rightHeld || upHeld || downHeld))
            HandleOutcome(model.MoveCursorBy(dx, dy, modShift != 0, modCtrl != 0));
        if (active) view.UpdateCursor(model);
        return;
    }
    const int childId = GetPreviousId();
    SetPreviousId(id);
    ClearHeld();
    view.ShowCursor();
    if (CRender::IsSwapped()) {
        CRender::Swap(true);
        CRender::AddFullScreenDirtyRect();
        CRender::Render(true);
        CDraw::Present(true, false);
    }
    LogOpening("Editor");
    // A child closed because the game is ending does nothing it was opened
    // for. Work is kept before the play screen gives a recording back.
    const bool ending = result == kCloseQuit;
    if (ending && CInput::IsTerminating()) KeepUnsavedWork();
    ReturnFromChild(childId, !ending);
    if (ending) EndGame(childId == CONTROLLER_GAME);
    HideMousePointer(kHideUntilNextUpdate);
}

void CControllerEditor::LoadAccepted() {
    const std::string name = load->GetFileName();
    DebugLog(DBG_CEDITOR, "Level selected:  '%s'\n", name.c_str());
    CLevel* level = model.GetLevel();
    // What the file held replaces the level; an old or damaged file leaves
    // an empty one behind, a file deleted since it was listed the level as
    // it was.
    const EditorLoad loaded = model.LoadLevel(name.c_str());
    if (loaded != EDITOR_LOADED) {
        ShowLevel();
        if (loaded == EDITOR_LOAD_OLD_VERSION) {
            DebugLog(DBG_CEDITOR, "Incompatible Level Version:  %i\n", model.GetReadVersion());
            OpenMessage(kTitleOldLevel, kBodyOldLevel, false);
        } else if (loaded == EDITOR_LOAD_MISSING) {
            OpenMessage(kTitleRefused, kBodyMissing, false);
        } else {
            OpenMessage(kTitleRefused, kBodyDamaged, false);
        }
        return;
    }
    model.LoadLevelPieces();
    ShowLevel();
    level->SetModified(false);
}

void CControllerEditor::ReturnFromChild(int childId, bool act) {
    CLevel* level = model.GetLevel();
    switch (childId) {
    case CONTROLLER_GAME: {
        // A recording that did not reach the exit has given the earlier
        // solution back; without one the level has none.
        if (!level->IsSolutionRecorded()) level->ClearSolution();
        const bool solutionChanged = !(level->GetSolution() == solutionBeforePlay);
        model.LoadLevelPieces();
        ShowLevel();
        level->SetModified(savedModified || solutionChanged);
        view.ShowCursor();
        view.ShowGrid();
        game.reset();
        break;
    }
    case CONTROLLER_EDITOR_PALETTE: {
        if (!act) break;
        const uint32_t code = palette->GetTool();
        model.SetCursorType(code);
        const int background = EditorSwatchBackground(code);
        if (background >= 0) {
            SetBackground(background);
        } else {
            if (const char* name = CommandName(code)) DebugLog(DBG_CEDITOR, "CONTROL:  %s\n", name);
            RunCommand(code);
        }
        view.UpdateCursor(model);
        break;
    }
    case CONTROLLER_EDITOR_LOAD:
        if (act && load && !load->IsCancelled() && !load->GetFileName().empty()) {
            LoadAccepted();
        } else {
            DebugLog(DBG_CEDITOR, "No level selected.\n");
        }
        load.reset();
        break;
    case CONTROLLER_EDITOR_SAVE: save.reset(); break;
    case CONTROLLER_MESSAGE: {
        const bool confirmed = act && message && message->IsConfirmed();
        message.reset();
        const int action = pending;
        pending = PENDING_NONE;
        if (!confirmed) break;
        if (action == PENDING_LOAD) OpenLoad();
        if (action == PENDING_NEW) NewLevel(true);
        if (action == PENDING_LEAVE) result = kCloseBack;
        if (action == PENDING_QUIT) result = kCloseQuit;
        break;
    }
    case CONTROLLER_EDITOR_HELP: help.reset(); break;
    case CONTROLLER_TEXT_ENTRY:
        if (act && tutorial && !tutorial->IsCancelled()) {
            model.PlaceTutorialSign(model.GetCursorX(), model.GetCursorY(), tutorial->GetSignText().c_str());
            view.Sync(model);
        } else {
            DebugLog(DBG_CEDITOR, "No message entered.\n");
        }
        tutorial.reset();
        break;
    default: break;
    }
}
