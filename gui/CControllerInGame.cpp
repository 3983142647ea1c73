#include "gui/CControllerInGame.h"

#include "engine/CDraw.h"
#include "engine/CMouse.h"
#include "engine/CRender.h"
#include "engine/CSprite.h"
#include "engine/Log.h"
#include "gui/CControllerGame.h"
#include "gui/CControllerMessage.h"
#include "gui/CGuiButton.h"
#include "gui/GuiSprites.h"
#include "gui/GuiText.h"
#include "players/CProfile.h"
#include "screens/CControllerInstructions.h"
#include "screens/CControllerOptions.h"
#include "screens/CControllerPassword.h"
#include "screens/CControllerScoreboard.h"
#include "world/CLevel.h"

namespace {

const char* const kRule = "=============================================\n";
const char* const kParchment = "baseInGameController.png";


const char* const kRowText[CControllerInGame::ROW_COUNT] = {
    "p2d_button_resumetext.png",       "p2d_button_restarttext.png",  "p2d_button_undotext.png",
    "p2d_button_solutiontext.png",     "p2d_button_instructionstext.png", "p2d_button_settingstext.png",
    "p2d_button_scorestext.png",       "p2d_button_maptext.png",      "p2d_button_managertext.png",
    "p2d_button_maintext.png",         "p2d_button_quittext.png",
};

// The rows of each mode, top to bottom; -1 ends a list.
const int kModeRows[3][11] = {
    {0, 1, 2, 3, 4, 5, 6, 7, 9, 10, -1},
    {0, 1, 2, 3, 4, 5, 7, 9, 10, -1, -1},
    {0, 1, 2, 3, 4, 5, 8, 9, 10, -1, -1},
};

constexpr int kRowX = 307;
constexpr int kRowTop = 175;
constexpr int kRowPitch = 30;

}  // namespace

CControllerInGame::CControllerInGame(int mode_, CLevel* level_)
    : dimmer(nullptr),
      background(nullptr),
      level(level_),
      messageChild(nullptr),
      pageChild(nullptr),
      passwordChild(nullptr),
      spritesBuilt(0),
      mode(mode_ < 0 || mode_ > 2 ? MODE_SINGLE : mode_),
      pendingAction(PENDING_NONE),
      solutionConfirmed(0) {
    id = CONTROLLER_INGAME_MENU;
    menuKeys.SetBack(CMenuKeys::Back::kCloses);
    CreateSprites();
}

CControllerInGame::~CControllerInGame() {
    DebugLog(DBG_DESTRUCT, "CControllerInGame:  Destroying CControllerInGame...\n");
    ReleaseAll(messageChild, pageChild, passwordChild);
    UnloadSprites();
}

void CControllerInGame::CreateSprites() {
    if (!spritesBuilt) {
        dimmer = std::make_unique<CSprite>(LAYER_CL1, 0, false);
        dimmer->SetName("InGame Controller (INGAME_LSPRITE_DIMMER)");
        dimmer->AddFrame("dimmer.png");
        dimmer->SetPosition(0, 0, false);
        dimmer->Show(kSpriteNotDrawn, kSpriteNotDrawn);

        CDraw::UnloadImage(kParchment);
        const int parchment = CDraw::CopyImage("parchment_profpenny.png", kParchment, 0);
        const int w = CDraw::GetWidth(parchment);
        BlitTypedString(100, parchment, w, 40, 2, 0, 70, level ? level->GetHeadingText() : "");
        BlitString(1501, parchment, w, 40, 2, 0, 100);
        background = std::make_unique<CSprite>(LAYER_CL2, 0, false);
        background->SetName("InGame Controller (INGAME_LSPRITE_BACKGROUND)");
        background->AddFrame(kParchment);
        background->SetPosition(57, 23, false);
        background->Show(kSpriteNotDrawn, kSpriteNotDrawn);

        int slot = 0;
        for (int row : kModeRows[mode]) {
            if (row < 0) break;
            // Return with no row in focus resumes.
            rows[row] = std::make_unique<CGuiButton>(kRowX, kRowTop + kRowPitch * slot, row, this,
                                                     "p2d_button_base.png", nullptr, "p2d_button_select.png",
                                                     "p2d_button_select.png", row == ROW_RESUME, 0, 0);
            rows[row]->SetText(kRowText[row], 0, 0, 0, 0, 0, 0);
            ++slot;
        }
        spritesBuilt = 1;
    }
    HideMousePointer(kHideUntilNextUpdate);
}

void CControllerInGame::UnloadSprites() {
    ReleaseAll(dimmer, background, rows);
    CDraw::UnloadImage(kParchment);
    spritesBuilt = 0;
}

// The child is made only after the menu has gone: the page it builds then
// hides the hourglass that covered the hand-over.
void CControllerInGame::PrepareChild(const char* name) {
    if (dimmer) dimmer->Hide();
    HideMousePointer(kHideUntilNextUpdate);
    CRender::Render(true);
    ShowHourglass(true);
    UnloadSprites();
    LogOpening(name);
}

void CControllerInGame::OpenMessage(int titleId, int bodyId, int action, bool question) {
    pendingAction = action;
    PrepareChild("Message");
    messageChild = std::make_unique<CControllerMessage>(titleId, bodyId, question, 0);
    OpenChild(messageChild.get());
}

void CControllerInGame::GUICallback(int index, int, bool) {
    value = ANSWER_RESUME;
    switch (index) {
        case ROW_RESUME: result = CControllerGame::kCloseToOpener; break;
        case ROW_RESTART:
            value = ANSWER_RESTART;
            result = CControllerGame::kCloseToOpener;
            break;
        case ROW_UNDO:
            value = ANSWER_UNDO;
            result = CControllerGame::kCloseToOpener;
            break;
        case ROW_SOLUTION:
            // Restarting to play back nothing would only puzzle the player.
            if (level && level->GetSolution().empty())
                OpenMessage(kNoSolutionTitle, kNoSolutionBody, PENDING_NONE, false);
            else
                OpenMessage(2215, 2324, PENDING_SOLUTION, true);
            break;
        case ROW_INSTRUCTIONS:
            if (pageChild) break;
            PrepareChild("Instructions");
            pageChild = std::make_unique<CControllerInstructions>(0);
            OpenChild(pageChild.get());
            break;
        case ROW_SETTINGS:
            if (pageChild) break;
            PrepareChild("Options");
            pageChild = std::make_unique<CControllerOptions>();
            OpenChild(pageChild.get());
            break;
        case ROW_SCORES:
            if (pageChild) break;
            PrepareChild("Scoreboard");
            pageChild = std::make_unique<CControllerScoreboard>(SCOREBOARD_LEVEL_MENU, false);
            OpenChild(pageChild.get());
            break;
        case ROW_MAP:
        case ROW_MANAGER: result = CControllerGame::kCloseToLevelChoice; break;
        case ROW_MAIN: result = CControllerGame::kCloseToMainMenu; break;
        case ROW_QUIT: OpenMessage(2214, 2323, PENDING_QUIT, true); break;
        default: break;
    }
}

void CControllerInGame::InputKey(bool released, int key) {
    InputMenuKey(released, key);
    if (!released && result == 0) {
        if (key == 'r') GUICallback(ROW_RESTART, 0, false);
        if (key == 'u') GUICallback(ROW_UNDO, 0, false);
    }
}

void CControllerInGame::InputMouseMove(int x, int y) {
    mouseX = x;
    mouseY = y;
    UpdateMousePointer();
}

void CControllerInGame::InputMouseClick(bool released, bool left, bool, bool, bool) {
    if (left && !released && !CGuiButtonBase::GetFocusedButton()) PlayInterfaceSound(GetSoundClickScreen());
}

void CControllerInGame::Pump() {
    if (GetPreviousId() == id) {
        PollInput();
        if (active) CGuiButtonBase::UpdateAll();
        return;
    }
    // A child has just closed, or the menu has just opened.
    LogOpening("Main Menu");
    if (GetPreviousId() == CONTROLLER_MESSAGE && messageChild) {
        if (messageChild->IsConfirmed()) {
            if (pendingAction == PENDING_QUIT) result = kCloseQuit;
            if (pendingAction == PENDING_SOLUTION) solutionConfirmed = 1;
        }
        messageChild.reset();
        pendingAction = PENDING_NONE;
    }
    if ((GetPreviousId() == CONTROLLER_INSTRUCTIONS || GetPreviousId() == CONTROLLER_OPTIONS ||
         GetPreviousId() == CONTROLLER_SCOREBOARD) &&
        pageChild) {
        pageChild.reset();
    }
    if (GetPreviousId() == CONTROLLER_PASSWORD && passwordChild) {
        // The solution plays once the password is given.
        if (!passwordChild->IsCancelled()) {
            value = ANSWER_SHOW_SOLUTION;
            result = kCloseBack;
        }
        passwordChild.reset();
    }
    if (!spritesBuilt && result == 0) CreateSprites();
    HideMousePointer(kHideUntilNextUpdate);
    SetPreviousId(id);
    if (solutionConfirmed) {
        solutionConfirmed = 0;
        CProfile* profile = GetProfile();
        if (!profile || !profile->HasPassword() || mode == MODE_TUTORIAL) {
            value = ANSWER_SHOW_SOLUTION;
            result = kCloseBack;
        } else {
            PrepareChild("Password");
            passwordChild = std::make_unique<CControllerPassword>(profile->GetPassword());
            OpenChild(passwordChild.get());
        }
    }
}
