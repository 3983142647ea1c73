#include "gui/CControllerGame.h"

#include "engine/CBackground.h"
#include "engine/CDraw.h"
#include "engine/CInput.h"
#include "engine/CMouse.h"
#include "engine/CRender.h"
#include "engine/CSprite.h"
#include "engine/Log.h"
#include "gui/CControllerInGame.h"
#include "gui/CControllerMessage.h"
#include "gui/CGuiButton.h"
#include "gui/CGuiCounter.h"
#include "screens/CControllerScoreboard.h"
#include "screens/CControllerStory.h"
#include "players/CProfile.h"
#include "sound/CSound.h"
#include "world/CElement.h"
#include "world/CElementAIProfessor.h"
#include "world/CLevel.h"
#include "world/CLevelRules.h"
#include "world/CLevelBuilder.h"
#include "world/CLevelSet.h"
#include "world/SolutionKeys.h"
#include "gui/GuiSprites.h"

namespace {

const char* const kRule = "=============================================\n";
const char* const kStars = "***********************************************************\n";


// The order in which a key is compared with the bindings; the first match
// wins, so restart and undo beat everything and a power-up beats a direction.
const int kBindingOrder[] = {KEYACTION_RESTART, KEYACTION_UNDO, 7, 8, 9, 10, 11, 12, 13, 14, 15,
                             KEYACTION_TURN, KEYACTION_LEFT, KEYACTION_RIGHT, KEYACTION_UP, KEYACTION_DOWN};

// The fixed solution code a binding records as.
int SolutionCodeOf(int binding) {
    switch (binding) {
        case KEYACTION_LEFT: return SOLUTION_KEY_LEFT;
        case KEYACTION_RIGHT: return SOLUTION_KEY_RIGHT;
        case KEYACTION_UP: return SOLUTION_KEY_UP;
        case KEYACTION_DOWN: return SOLUTION_KEY_DOWN;
        case KEYACTION_TURN: return SOLUTION_KEY_TURN;
        default: return SOLUTION_KEY_POWERUP_FIRST + (binding - 7);
    }
}

// Blink period of the replay sign: hidden 16 frames, shown 35.
constexpr int kBlinkShowFrom = 16;
constexpr int kBlinkPeriod = 51;

}  // namespace

CControllerGame::CControllerGame(CLevelSet* set) { Init(set, set ? set->GetCurrentLevel() : nullptr, false, false, false); }

CControllerGame::CControllerGame(CLevel* level_, bool record_, bool replay_, bool editorTest_) {
    Init(nullptr, level_, record_, replay_, editorTest_);
}

void CControllerGame::Init(CLevelSet* set, CLevel* level_, bool record_, bool replay_, bool editorTest_) {
    id = CONTROLLER_GAME;
    replayIndicator = nullptr;
    menuButton = nullptr;
    background = nullptr;
    hero = nullptr;
    stepCounter = nullptr;
    levelSet = set;
    level = level_;
    message = nullptr;
    storyPending = 0;
    record = record_ ? 1 : 0;
    replay = replay_ ? 1 : 0;
    editorTest = editorTest_ ? 1 : 0;
    startFramePending = 1;
    startFrame = 0;
    currentFrame = 0;
    blinkCounter = 0;
    CProfile* profile = GetProfile();
    if (set && profile) {
        levelIndex = profile->GetCurrentLevel();
        setIndex = profile->GetCurrentSet();
    } else {
        levelIndex = -1;
        setIndex = -1;
    }
    modifiedBeforePlay = level && level->IsModified() ? 1 : 0;
    if (record && level) {
        // A recording that does not reach the exit gives this back.
        previousSolution = level->GetSolution();
        previousSolutionRecorded = level->IsSolutionRecorded() ? 1 : 0;
    }
    CreateSprites();
    if (!editorTest) CSound::PlayStageMusic(false);
    CElement::SetStepCount(0);
    stepCounter = std::make_unique<CGuiCounter>(720, 569, 5, "Step Counter 03.png", -10, -5);
    if (profile && !profile->IsStepCounterEnabled()) stepCounter->Hide();
    DebugLog(DBG_MILESTONE, "ID_100:  GAME:  Level Load Started  (%i,%s,%s)\n", profile ? profile->GetCurrentLevel() : -1,
             level ? level->GetFileName() : "", level ? level->GetHeadingText() : "");
    LoadLevel(level);
    DebugLog(DBG_MILESTONE, "ID_100:  GAME:  Level Load Completed\n");
    // A story before the level opens on the first frame; the last story
    // waits for the hero to leave through the exit.
    storyPending = LoadStoryController(false) ? 1 : 0;
}

CControllerGame::~CControllerGame() {
    DebugLog(DBG_MILESTONE, "ID_900:  SHUTDOWN:  C%i Started\n", id);
    ReleaseAll(inGameChild, postGameChild, storyChild, message, quitQuestion);
    if (record && level && !recordingFinished) {
        level->ClearSolution();
        for (const ReplayKey& k : previousSolution) level->AddReplayKey(k.frame, k.key, k.released);
        if (previousSolutionRecorded) level->SetSolutionRecorded();
    }
    // The world lives as long as the screen that plays it (and only the
    // world this screen built: another may stand by now).
    if (CElement::GetWorldGeneration() == worldGeneration) CElement::UnloadElements();
    ReleaseAll(replayIndicator, menuButton, stepCounter, background);
    DebugLog(DBG_MILESTONE, "ID_900:  SHUTDOWN:  C%i Completed\n", id);
}

void CControllerGame::CreateSprites() {
    replayIndicator = std::make_unique<CSprite>(LAYER_MOUSE, 0, false);
    replayIndicator->SetName("Game Controller (GAME_LSPRITE_REPLAY)");
    replayIndicator->AddFrame("show_solution.tga");
    replayIndicator->SetPosition(259, 15, false);
    replayIndicator->Hide();
    menuButton =
        std::make_unique<CGuiButton>(742, 9, BUTTON_MENU, this, "ingame_menubutton.tga", nullptr,
                                     "ingame_menubutton_selected.tga", "ingame_menubutton_selected.tga", false, 0, 0);
}

void CControllerGame::LoadLevel(CLevel* lvl) {
    startFramePending = 1;
    resumeStep = 1;
    heldKeys = 0;
    if (lvl) {
        if (record) lvl->ClearSolution();
        if (replay) lvl->ResetReplay();
    }
    DebugLog(DBG_TICK, "CGame:  Setup SOlutions\n");
    background.reset();
    background = std::make_unique<CBackground>(lvl ? lvl->GetBackground() : CLevel::kDefaultBackground);
    hero = dynamic_cast<CElementAIProfessor*>(CLevelBuilder::Build(lvl));
    worldGeneration = CElement::GetWorldGeneration();
}

void CControllerGame::Restart() {
    DebugLog(DBG_DEBUG, "CControllerGame:  Restarting level...\n");
    background.reset();
    CElement::UnloadElements();
    CRender::ClearDirtyLists();
    LoadLevel(level);
    CElement::SetStepCount(0);
}

void CControllerGame::Suspend() {
    CSound::FadeOutEffects();
    HideMousePointer(kHideUntilNextUpdate);
    if (replayIndicator) replayIndicator->Hide();
    if (menuButton) menuButton->Hide();
    if (hero) {
        hero->KeyTurn(true);
        hero->KeyUp(true);
        hero->KeyDown(true);
        hero->KeyLeft(true);
        hero->KeyRight(true);
    }
    CRender::Render(true);
    CRender::Swap(true);
}

void CControllerGame::LoadInGameController() {
    if (editorTest) {
        result = kCloseBack;
        return;
    }
    Suspend();
    LogOpening("In Game Menu");
    int mode = 2;
    if (levelSet) mode = IsTutorialLevel(setIndex, levelIndex) ? 1 : 0;
    inGameChild = std::make_unique<CControllerInGame>(mode, level);
    OpenChild(inGameChild.get());
}

void CControllerGame::InterruptPlayback() { LoadInGameController(); }

bool CControllerGame::AskBeforeClosing() {
    const bool recording = record && !recordingFinished && level && !level->GetSolution().empty();
    if (!editorTest || CInput::IsTerminating() || !(modifiedBeforePlay || recording)) return false;
    if (!startFramePending) {
        // The world does not step while the question is open: the play goes
        // on from this step, and the keys held now are let go at it, in the
        // world (Suspend) and in the recording alike.
        resumeStep = static_cast<int32_t>(CDraw::GetFrame()) - startFrame;
        for (int b = KEYACTION_LEFT; b <= KEYACTION_TURN; ++b)
            if (record && (heldKeys & (1u << b))) level->AddReplayKey(resumeStep, SolutionCodeOf(b), true);
        heldKeys = 0;
    }
    Suspend();
    LogOpening("Message");
    quitQuestion = std::make_unique<CControllerMessage>(kUnsavedTitle, kUnsavedBody, true, 0);
    OpenChild(quitQuestion.get());
    return true;
}

bool CControllerGame::HasRoomToRecord(int binding, bool released) const {
    int held = 0;
    for (int b = KEYACTION_LEFT; b <= KEYACTION_TURN; ++b)
        if (b != binding && (heldKeys & (1u << b))) ++held;
    const long needed = released ? 1 : 2 + held;
    return static_cast<long>(level->GetSolution().size()) + needed <= level->SolutionRoom();
}

void CControllerGame::StopFullRecording() {
    recordingFull = 1;
    int presses = 0;
    for (const ReplayKey& k : level->GetSolution()) presses += k.released ? 0 : 1;
    DebugLog(DBG_WARNING, "CControllerGame:  The recording is full after %i key presses (%i records)\n", presses,
             static_cast<int>(level->GetSolution().size()));
    Suspend();
    LogOpening("Message");
    message = std::make_unique<CControllerMessage>(kRecordingFullTitle, kRecordingFullBody, false, presses);
    OpenChild(message.get());
}

bool CControllerGame::LoadStoryController(bool openNow) {
    CProfile* profile = GetProfile();
    if (!levelSet || !profile || !profile->IsStoryEnabled()) return false;
    const int type = GetStoryType(setIndex, levelIndex);
    if (type < 0) return false;
    if (type == kLastStory && !CElement::IsProfessorExiting()) return false;
    Suspend();
    DebugLog(DBG_DEBUG, "Loading Story Controller (type=%i)\n", type);
    storyChild = std::make_unique<CControllerStory>(type);
    if (openNow) OpenChild(storyChild.get());
    return true;
}

void CControllerGame::GUICallback(int index, int, bool) {
    if (index != BUTTON_MENU) return;
    LoadInGameController();
}

void CControllerGame::InputKey(bool released, int key) {
    HideMousePointer(kHideUntilNextUpdate);
    if (!replay) {
        ProcessKey(released, key);
        return;
    }
    if (CaptureScreen(released, key)) return;
    if (!released) InterruptPlayback();
}

void CControllerGame::ProcessKey(bool released, int key) {
    if (replay) {
        // A stored solution speaks in the fixed solution codes.
        ApplySolutionKey(hero, key, released);
        return;
    }
    CProfile* profile = GetProfile();
    int binding = -1;
    if (profile) {
        for (int b : kBindingOrder) {
            if (profile->GetKeyBinding(b) == key) {
                binding = b;
                break;
            }
        }
    }
    if (binding < 0) {
        if (CaptureScreen(released, key)) return;
        if (!released) LoadInGameController();
        return;
    }
    if (binding == KEYACTION_RESTART) {
        if (!released) {
            replay = 0;
            Restart();
        }
        return;
    }
    if (binding == KEYACTION_UNDO) {
        if (!released && !record) CElement::LoadUndoStep(false);
        return;
    }
    // A solution the level file has no room for could be saved but never
    // opened again: the recording ends before it outgrows the file.
    if (record && level && (recordingFull || !HasRoomToRecord(binding, released))) {
        if (!recordingFull) StopFullRecording();
        return;
    }
    if (hero) {
        switch (binding) {
            case KEYACTION_TURN: hero->KeyTurn(released); break;
            case KEYACTION_LEFT: hero->KeyLeft(released); break;
            case KEYACTION_RIGHT: hero->KeyRight(released); break;
            case KEYACTION_UP: hero->KeyUp(released); break;
            case KEYACTION_DOWN: hero->KeyDown(released); break;
            default:
                if (!released) hero->UsePowerup(binding - 7);
                break;
        }
    }
    if (record && level) {
        currentFrame = static_cast<int32_t>(CDraw::GetFrame());
        level->AddReplayKey(currentFrame - startFrame, SolutionCodeOf(binding), released);
        if (binding <= KEYACTION_TURN) heldKeys = released ? heldKeys & ~(1u << binding) : heldKeys | (1u << binding);
    }
}

void CControllerGame::InputMouseMove(int x, int y) {
    mouseX = x;
    mouseY = y;
    UpdateMousePointer();
    if (hero) hero->MouseHover();
}

void CControllerGame::InputMouseClick(bool released, bool left, bool right, bool wheelUp, bool wheelDown) {
    if (replay) {
        if (!released && (left || right || wheelUp || wheelDown)) InterruptPlayback();
        return;
    }
    // While recording every action must be a key.
    if (record || !left || !hero) return;
    if (CGuiButtonBase::GetFocusedButton()) return;
    hero->MouseClick(mouseX, mouseY, released);
}

void CControllerGame::EndLevel() {
    CProfile* profile = GetProfile();
    const bool success = !CElement::IsProfessorCaught() && !CElement::IsProfessorSinged() &&
                         !CElement::IsProfessorFallen() && !CElement::IsExitTubeDestroyed();
    if (editorTest) {
        if (record && success) {
            level->SetSolutionRecorded();
            recordingFinished = 1;
        }
        result = kCloseBack;
        return;
    }
    DebugLog(DBG_DEBUG, "%s", kStars);
    DebugLog(DBG_DEBUG, "*  LEVEL EXITED                                           *\n");
    int type;
    if (CElement::IsProfessorCaught()) {
        DebugLog(DBG_DEBUG, "*  --> Professor caught                                   *\n");
        type = SCOREBOARD_LOST;
    } else if (CElement::IsProfessorSinged()) {
        DebugLog(DBG_DEBUG, "*  --> Professor singed                                   *\n");
        type = SCOREBOARD_SINGED;
    } else if (CElement::IsProfessorFallen()) {
        DebugLog(DBG_DEBUG, "*  --> Professor fallen                                   *\n");
        type = SCOREBOARD_LOST;
    } else if (CElement::IsExitTubeDestroyed()) {
        DebugLog(DBG_DEBUG, "*  --> Exit tube destroyed                                *\n");
        type = SCOREBOARD_LOST;
    } else {
        type = levelSet ? SCOREBOARD_SOLVED : SCOREBOARD_SOLVED_NO_SET;
        DebugLog(DBG_DEBUG, "*  --> Professor Successfully Exited                      *\n");
        if (record) recordingFinished = 1;
        if (profile) {
            if (!levelSet) {
                profile->RecordCustomLevelSteps(level ? level->GetFileName() : "");
            } else {
                profile->RecordSetLevelSteps();
            }
        }
    }
    DebugLog(DBG_DEBUG, "%s", kStars);
    if (type == SCOREBOARD_SOLVED && IsLastLevelOfSet(setIndex, levelIndex)) {
        if (profile) profile->SetSetCompleted(1, setIndex);
        // The ending first; the board follows when it closes.
        if (LoadStoryController(true)) return;
    }
    OpenPostGame(type);
}

void CControllerGame::OpenPostGame(int type) {
    Suspend();
    DebugLog(DBG_DEBUG, "=============================================\n");
    DebugLog(DBG_DEBUG, "Loading Post Game Controller (type=%i)\n", type);
    DebugLog(DBG_DEBUG, "=============================================\n");
    auto board = std::make_unique<CControllerScoreboard>(type, levelSet == nullptr);
    board->SetSolutionAvailable(level && !level->GetSolution().empty());
    postGameChild = std::move(board);
    OpenChild(postGameChild.get());
}

void CControllerGame::Pump() {
    CProfile* profile = GetProfile();
    if (GetPreviousId() != id) {
        // A child has just closed, or the screen has just opened.
        if (storyPending) {
            storyPending = 0;
            OpenChild(storyChild.get());
            return;
        }
        bool storyClosed = false;
        if (CRender::IsSwapped()) CRender::Swap(true);
        if (menuButton) menuButton->Show();
        LogOpening("Game");
        if (GetPreviousId() == CONTROLLER_INGAME_MENU && inGameChild) {
            const int answer = inGameChild->GetValue();
            inGameChild.reset();
            if (answer == CControllerInGame::ANSWER_UNDO) {
                CElement::LoadUndoStep(true);
                replay = 0;
            } else if (answer == CControllerInGame::ANSWER_RESTART) {
                replay = 0;
                Restart();
            } else if (answer == CControllerInGame::ANSWER_SHOW_SOLUTION) {
                replay = 1;
                Restart();
            } else {
                replay = 0;
            }
            if (profile && stepCounter) {
                if (profile->IsStepCounterEnabled()) {
                    stepCounter->Show();
                } else {
                    stepCounter->Hide();
                }
            }
        } else if (GetPreviousId() == CONTROLLER_STORY && storyChild) {
            storyChild.reset();
            storyClosed = true;
        } else if (GetPreviousId() == CONTROLLER_SCOREBOARD && postGameChild) {
            const int answer = postGameChild->GetValue();
            postGameChild.reset();
            if (answer == POSTGAME_UNDO) {
                CElement::ClearLevelExited();
                CElement::LoadUndoStep(true);
                replay = 0;
            } else if (answer == POSTGAME_RESTART) {
                replay = 0;
                Restart();
            } else if (answer == POSTGAME_REPLAY) {
                replay = 1;
                Restart();
            }
        } else if (GetPreviousId() == CONTROLLER_MESSAGE && message) {
            message.reset();
            result = kCloseBack;
        } else if (GetPreviousId() == CONTROLLER_MESSAGE && quitQuestion) {
            // Yes ends the game; no goes on with the test, but ends a
            // playback (as any key does).
            if (quitQuestion->IsConfirmed()) result = kCloseQuit;
            if (result == 0 && replay) result = kCloseBack;
            if (result == 0) startFramePending = 1;
            quitQuestion.reset();
        }
        HideMousePointer(kHideUntilNextUpdate);
        CDraw::SetFrameRate(replay || !profile ? -1 : profile->GetGameSpeed());
        if (storyClosed && CElement::IsProfessorExiting()) {
            OpenPostGame(SCOREBOARD_SOLVED);
            return;
        }
        CSound::FadeInLoopingEffects();
        if (result == 0 && !editorTest) CSound::PlayStageMusic(true);
        SetPreviousId(id);
        // A level the world cannot play (no entrance tube, or two of a
        // tube) is refused, not played without a hero or with two.
        if (!hero && result == 0 && !message) {
            Suspend();
            LogOpening("Message");
            const bool missing = !level || CLevelRules::FindPlayFault(*level) == CLevelRules::FAULT_NO_ENTRANCE;
            message = std::make_unique<CControllerMessage>(missing ? 2207 : 2218, 2311, false, 0);
            OpenChild(message.get());
        }
        return;
    }

    if (startFramePending) {
        startFrame = static_cast<int32_t>(CDraw::GetFrame()) - resumeStep;
        DebugLog(DBG_CGAME, "Initializing startFrame to %i\n", startFrame);
        currentFrame = static_cast<int32_t>(CDraw::GetFrame());
        startFramePending = 0;
    }

    PollInput();
    if (result == kCloseQuit && AskBeforeClosing()) return;
    if (!active) return;

    if (!replay) {
        replayIndicator->Hide();
    } else {
        if (++blinkCounter >= kBlinkPeriod) {
            blinkCounter = 0;
            replayIndicator->Hide();
        } else if (blinkCounter >= kBlinkShowFrom && replayIndicator->IsHidden()) {
            replayIndicator->Show(kSpriteNotDrawn, kSpriteNotDrawn);
        }
        ReplayKey k = level ? level->GetReplayKey() : ReplayKey{};
        currentFrame = static_cast<int32_t>(CDraw::GetFrame());
        const int n = currentFrame - startFrame;
        if (k.frame < n) {
            DebugLog(DBG_CGAME, "CControllerGame::Pump()   Playback completed at frame %i\n", n);
            replay = 0;
        } else {
            while (replay && k.frame == n) {
                DebugLog(DBG_CGAME, "CControllerGame::Pump()   Frame %i:  Using replay key %i  (released = %i)\n", n,
                         k.key, k.released ? 1 : 0);
                ProcessKey(k.released, k.key);
                if (!level->AdvanceReplay()) break;
                k = level->GetReplayKey();
            }
        }
    }

    if (hero) {
        CElement::UpdateWorld();
        stepCounter->SetValue(CElement::GetStepCount());
        stepCounter->Update();
        if (CElement::IsLevelExited()) EndLevel();
    }
    CGuiButtonBase::UpdateAll();
}
