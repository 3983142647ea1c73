#include "screens/CControllerMain.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <utility>

#include "engine/CDraw.h"
#include "engine/CInput.h"
#include "engine/CLinearMover.h"
#include "engine/CMouse.h"
#include "engine/CRender.h"
#include "engine/CSprite.h"
#include "engine/FontRender.h"
#include "engine/Log.h"
#include "engine/Parameters.h"
#include "engine/Utilities.h"
#include "gui/CControllerMessage.h"
#include "gui/CGuiButton.h"
#include "gui/GuiText.h"
#include "gui/SaveFailureNotice.h"
#include "players/CProfile.h"
#include "screens/CControllerManager.h"
#include "editor/CControllerEditor.h"
#include "editor/EditorRecovery.h"
#include "screens/CControllerMap.h"
#include "screens/CControllerProfiles.h"
#include "screens/CControllerCredits.h"
#include "screens/CControllerInstructions.h"
#include "screens/CControllerOptions.h"
#include "screens/CControllerScoreboard.h"
#include "sound/CSound.h"
#include "world/CLevelSet.h"
#include "gui/GuiSprites.h"

namespace {

// The lock file of a data folder that could not be locked, until told.
std::string unlockedLock;

const char* const kRule = "=============================================\n";
const char* const kOverlayName = "profileOverlay.png";
const int kTextWelcome = 1900;
const int kTextWelcomeLongName = 1901;
// The welcome panel's wooden rim, left and right of its parchment.
const int kPanelRim = 5;


// Which buttons open a screen that exists. A button whose screen is not built
// yet stays in view with the disabled look and does not react; set its flag
// to true when its screen lands. (One flag a line, a blank line between, so
// that buttons switched on one at a time merge without conflicts.)
constexpr bool kPlayEnabled = true;

constexpr bool kManagerEnabled = true;

constexpr bool kEditorEnabled = true;

constexpr bool kScoresEnabled = true;

constexpr bool kInstructionsEnabled = true;

constexpr bool kOptionsEnabled = true;

constexpr bool kCreditsEnabled = true;

constexpr bool kProfileEnabled = true;

// The maker's page and Quit need no screen of their own.
constexpr bool kMoreGamesEnabled = true;

constexpr bool kExitEnabled = true;

// Laid over a button whose screen does not exist yet.
const char* const kDisabledLook = "mainmenu_buttonfade.png";
const char* const kProfileDisabledLook = "profile_button_changefade.png";

struct MenuButton {
    int id;
    const char* text;
    bool enabled;
};

const MenuButton kMenuButtons[] = {
    {CControllerMain::BUTTON_PLAY, "mainmenu_text_playnow.png", kPlayEnabled},
    {CControllerMain::BUTTON_MANAGER, "mainmenu_text_levelmanager.png", kManagerEnabled},
    {CControllerMain::BUTTON_EDITOR, "mainmenu_text_leveleditor.png", kEditorEnabled},
    {CControllerMain::BUTTON_SCORES, "mainmenu_text_highscores.png", kScoresEnabled},
    {CControllerMain::BUTTON_INSTRUCTIONS, "mainmenu_text_instructions.png", kInstructionsEnabled},
    {CControllerMain::BUTTON_OPTIONS, "mainmenu_text_settings.png", kOptionsEnabled},
    {CControllerMain::BUTTON_CREDITS, "mainmenu_text_credits.png", kCreditsEnabled},
    {CControllerMain::BUTTON_MOREGAMES, "mainmenu_text_moregames.png", kMoreGamesEnabled},
    {CControllerMain::BUTTON_EXIT, "mainmenu_text_exit.png", kExitEnabled},
};

const char* const kCloudImages[CControllerMain::kCloudCount] = {
    "mainmenu_cloudbigA.png",    "mainmenu_cloudbigB.png",    "mainmenu_cloudbigC.png",
    "mainmenu_cloudbigD.png",    "mainmenu_cloudmediumA.png", "mainmenu_cloudmediumB.png",
    "mainmenu_cloudmediumC.png", "mainmenu_cloudsmallA.png",  "mainmenu_cloudsmallB.png",
    "mainmenu_cloudsmallC.png",  "mainmenu_cloudsmallD.png",  "mainmenu_cloudsmallE.png",
};

const char* const kCloudNames[CControllerMain::kCloudCount] = {
    "Main Menu (MAIN_LSPRITE_CLOUD_A)", "Main Menu (MAIN_LSPRITE_CLOUD_B)", "Main Menu (MAIN_LSPRITE_CLOUD_C)",
    "Main Menu (MAIN_LSPRITE_CLOUD_D)", "Main Menu (MAIN_LSPRITE_CLOUD_E)", "Main Menu (MAIN_LSPRITE_CLOUD_F)",
    "Main Menu (MAIN_LSPRITE_CLOUD_G)", "Main Menu (MAIN_LSPRITE_CLOUD_H)", "Main Menu (MAIN_LSPRITE_CLOUD_I)",
    "Main Menu (MAIN_LSPRITE_CLOUD_J)", "Main Menu (MAIN_LSPRITE_CLOUD_K)", "Main Menu (MAIN_LSPRITE_CLOUD_L)",
};

// Plays a one-shot animation from where it stands, making it visible.
void PlayShown(CSprite* s) {
    s->Show(kSpriteNotDrawn, kSpriteNotDrawn);
    s->Play(true);
}

void RewindHide(CSprite* s) {
    s->Rewind();
    s->Hide();
}

void RewindShow(CSprite* s) {
    s->Rewind();
    s->Show(kSpriteNotDrawn, kSpriteNotDrawn);
}

}  // namespace

void CControllerMain::AddVolcanoGlowFrames(CSprite* glow) {
    glow->AddFrames("mainmenu_glow", 1, 9, ".png", 1);
    glow->AddFrame("mainmenu_glow9.png", 2);
    glow->AddFrames("mainmenu_glow", 9, 1, ".png", 1);
    glow->AddFrame("mainmenu_glow1.png", 2);
}

CControllerMain::CControllerMain(std::unique_ptr<CSprite> introPicture_)
    : introPicture(std::move(introPicture_)),
      pose(0),
      idleCounter(0),
      idleLimit(20),
      raiseHold(0),
      raiseHoldLimit(0),
      lookUpHold(0),
      lookUpHoldLimit(0),
      lookDownHold(0),
      lookDownHoldLimit(0),
      smokeCounter(0),
      smokeLimit(20),
      message(nullptr),
      profiles(nullptr),
      manager(nullptr),
      instructions(nullptr),
      options(nullptr),
      credits(nullptr),
      scoreboard(nullptr),
      spritesLoaded(0) {
    id = CONTROLLER_MAIN;
    LoadSprites();
    if (introPicture) introPicture->SetFadeOut(1000, 255, 0);
}

CControllerMain::~CControllerMain() {
    DebugLog(DBG_MILESTONE, "ID_900:  SHUTDOWN:  C%i Started\n", id);
    ReleaseAll(message, notice, map, profiles, manager, editor, instructions, options, credits, scoreboard);
    UnloadSprites();
    DebugLog(DBG_MILESTONE, "ID_900:  SHUTDOWN:  C%i Completed\n", id);
}

std::unique_ptr<CSprite> CControllerMain::MakeSprite(SpriteLayer layer, int frameDelay, const char* debugName, int x,
                                                     int y) {
    auto s = std::make_unique<CSprite>(layer, frameDelay, false);
    s->SetName(debugName);
    s->SetPosition(x, y, false);
    return s;
}

void CControllerMain::LoadSprites() {
    if (spritesLoaded) return;
    CSound::PlayMainMusic();

    CSprite* s;
    sprites[SPRITE_BACKGROUND] = MakeSprite(LAYER_BACKGROUND, 0, "Main Menu (MAIN_LSPRITE_BACKGROUND)", 0, 0);
    s = sprites[SPRITE_BACKGROUND].get();
    s->AddFrame("mainmenu_background.jpg");
    s->Show(kSpriteNotDrawn, kSpriteNotDrawn);

    sprites[SPRITE_LEAVES] = MakeSprite(LAYER_MAIN_LEAVES, 0, "Main Menu (MAIN_LSPRITE_LEAVES)", 79, 235);

    s = sprites[SPRITE_LEAVES].get();
    s->AddFrame("mainmenu_leavescoconuts.png");
    s->Show(kSpriteNotDrawn, kSpriteNotDrawn);

    sprites[SPRITE_BODY] = MakeSprite(LAYER_MAIN_BODY, 0, "Main Menu (MAIN_LSPRITE_PROF_BODY)", 84, 226);

    s = sprites[SPRITE_BODY].get();
    s->AddFrame("mainmenu_profbody.png");
    s->Show(kSpriteNotDrawn, kSpriteNotDrawn);

    const char* head = "Main Menu (MAIN_LSPRITE_PROF_HEAD)";
    sprites[SPRITE_HEAD_RAISE] = MakeSprite(LAYER_MAIN_HEAD, 2, head, 61, 128);
    s = sprites[SPRITE_HEAD_RAISE].get();
    s->AddFrames("mainmenu_profhead", 0, 5, ".png", 1);
    s->AddFrame("mainmenu_profhead5.png", 4);
    s->Show(kSpriteNotDrawn, kSpriteNotDrawn);
    sprites[SPRITE_HEAD_LOWER] = MakeSprite(LAYER_MAIN_HEAD, 2, head, 61, 128);
    s = sprites[SPRITE_HEAD_LOWER].get();
    s->AddFrames("mainmenu_profhead", 5, 0, ".png", 1);
    sprites[SPRITE_HEAD_LOOKUP] = MakeSprite(LAYER_MAIN_HEAD, 2, head, 61, 128);
    s = sprites[SPRITE_HEAD_LOOKUP].get();
    s->AddFrames("mainmenu_profhead", 6, 15, ".png", 1);
    s->AddFrame("mainmenu_profhead15.png", 4);
    sprites[SPRITE_HEAD_LOOKDOWN] = MakeSprite(LAYER_MAIN_HEAD, 2, head, 61, 128);
    s = sprites[SPRITE_HEAD_LOOKDOWN].get();
    s->AddFrames("mainmenu_profhead", 15, 6, ".png", 1);
    sprites[SPRITE_HEAD_NOD] = MakeSprite(LAYER_MAIN_HEAD, 2, head, 61, 128);
    s = sprites[SPRITE_HEAD_NOD].get();
    s->AddFrames("mainmenu_profhead", 16, 26, ".png", 1);

    const char* larm = "Main Menu (MAIN_LSPRITE_PROF_LARM)";
    const char* rarm = "Main Menu (MAIN_LSPRITE_PROF_RARM)";
    sprites[SPRITE_LARM_RAISE] = MakeSprite(LAYER_MAIN_LEFT_ARM, 2, larm, 123, 184);
    s = sprites[SPRITE_LARM_RAISE].get();
    s->AddFrames("mainmenu_profleftarm", 0, 5, ".png", 1);
    s->Show(kSpriteNotDrawn, kSpriteNotDrawn);
    sprites[SPRITE_LARM_LOWER] = MakeSprite(LAYER_MAIN_LEFT_ARM, 2, larm, 123, 184);
    s = sprites[SPRITE_LARM_LOWER].get();
    s->AddFrames("mainmenu_profleftarm", 5, 0, ".png", 1);
    sprites[SPRITE_RARM_RAISE] = MakeSprite(LAYER_MAIN_RIGHT_ARM, 2, rarm, 126, 204);
    s = sprites[SPRITE_RARM_RAISE].get();
    s->AddFrames("mainmenu_profrightarm", 0, 5, ".png", 1);
    s->Show(kSpriteNotDrawn, kSpriteNotDrawn);
    sprites[SPRITE_RARM_LOWER] = MakeSprite(LAYER_MAIN_RIGHT_ARM, 2, rarm, 126, 204);
    s = sprites[SPRITE_RARM_LOWER].get();
    s->AddFrames("mainmenu_profrightarm", 5, 0, ".png", 1);

    sprites[SPRITE_VOLCANO_GLOW] =
        MakeSprite(LAYER_MAIN_VOLCANO_GLOW, 4, "Main Menu (MAIN_LSPRITE_VOLCANO_GLOW)", 453, 167);

    s = sprites[SPRITE_VOLCANO_GLOW].get();
    AddVolcanoGlowFrames(s);
    s->SetLooping(true);
    PlayShown(s);

    sprites[SPRITE_VOLCANO_SMOKE] =
        MakeSprite(LAYER_MAIN_VOLCANO_SMOKE, 2, "Main Menu (MAIN_LSPRITE_VOLCANO_SMOKE)", 401, -29);

    s = sprites[SPRITE_VOLCANO_SMOKE].get();
    s->AddFrames("mainmenu_smoke", 1, 54, ".png", 1);

    sprites[SPRITE_VOLCANO_FRONT] =
        MakeSprite(LAYER_MAIN_VOLCANO, 0, "Main Menu (MAIN_LSPRITE_VOLCANO_FRONT)", 421, 167);

    s = sprites[SPRITE_VOLCANO_FRONT].get();
    s->AddFrame("mainmenu_volcanofront.png");
    s->Show(kSpriteNotDrawn, kSpriteNotDrawn);

    for (int i = 0; i < kCloudCount; ++i) {
        clouds[i] = MakeSprite(LAYER_CL_CLOUD, 0, kCloudNames[i], 0, 0);
        clouds[i]->AddFrame(kCloudImages[i]);
        clouds[i]->Show(kSpriteNotDrawn, kSpriteNotDrawn);
        movers[i] = std::make_unique<CLinearMover>();
        StartCloud(i, false);
    }
    MoveClouds();

    const bool moreGames = UseMoreGames();
    int slot = 0;
    for (const MenuButton& m : kMenuButtons) {
        if (m.id == BUTTON_MOREGAMES && !moreGames) continue;
        // Return with no button in focus plays.
        auto b = std::make_unique<CGuiButton>(kButtonX, kButtonTop + kButtonPitch * slot, m.id, this,
                                              "mainmenu_buttonbase.png", nullptr, "mainmenu_buttonrollover.png",
                                              "mainmenu_buttonactive.png", m.id == BUTTON_PLAY, 0, 0);
        // The caption's box (170 x 26) centred on the plate (210 x 48), in
        // place under the pointer, a pixel down and right while pressed.
        b->SetText(m.text, 20, 11, 0, 0, 1, 1);
        if (!m.enabled) {
            b->SetDisableImage(kDisabledLook, 0, 0);
            b->Disable();
        }
        buttons[m.id] = std::move(b);
        ++slot;
    }
    BuildWelcomePanel();
    buttons[BUTTON_PROFILE] = std::make_unique<CGuiButton>(
        51, 41, BUTTON_PROFILE, this, "profile_button_changebase.png", "profile_button_changeshadow.png",
        "profile_button_changerollover.png", nullptr, false, 0, 0);
    if (!kProfileEnabled) {
        buttons[BUTTON_PROFILE]->SetDisableImage(kProfileDisabledLook, 0, 0);
        buttons[BUTTON_PROFILE]->Disable();
    }

    HideMousePointer(kHideUntilNextUpdate);
    spritesLoaded = 1;
}

void CControllerMain::BuildWelcomePanel() {
    sprites[SPRITE_PROFILE].reset();
    CDraw::UnloadImage(kOverlayName);
    const int panel = CDraw::CopyImage("profile_main.png", kOverlayName, 0);
    const char* name = "";
    if (CProfile* p = GetProfile()) name = p->GetProfileName(-1);
    const int w = CDraw::GetWidth(panel), h = CDraw::GetHeight(panel);
    // The greeting has one line above the change button, on the parchment
    // inside the rim. A name too long for it is shown alone, in the smaller
    // type of entry 1901, and smaller still when even that is too wide.
    FontFitRequest fit(kTextWelcome, FontFit::kSmaller, name, w - 2 * kPanelRim);
    fit.smallest = FontGetEntry(kTextWelcome).pointSize;
    FontFitted fitted = FontFitTyped(fit);
    if (!fitted.whole) {
        fit.textId = kTextWelcomeLongName;
        fit.smallest = kFontSmallestFitSize;
        fitted = FontFitTyped(fit);
    }
    BlitTypedString(fit.textId, panel, w, h, 2, 0, 5, name, nullptr, fitted.pointSize);
    sprites[SPRITE_PROFILE] = MakeSprite(LAYER_MAIN_PROFILE, 0, "Main Menu (MAIN_LSPRITE_PROFILE)", 6, 6);
    CSprite* s = sprites[SPRITE_PROFILE].get();
    s->AddFrame(panel);
    s->Show(kSpriteNotDrawn, kSpriteNotDrawn);
}

void CControllerMain::UnloadSprites() {
    if (!spritesLoaded && !introPicture) return;
    ShowHourglass(true);
    ReleaseAll(sprites, buttons);
    for (int i = 0; i < kCloudCount; ++i) {
        ReleaseAll(clouds[i], movers[i]);
    }
    introPicture.reset();
    CDraw::UnloadImage(kOverlayName);
    spritesLoaded = 0;
}

void CControllerMain::StartCloud(int i, bool fromRight) {
    const float x = fromRight ? 800.0f + RandomFloat(10.0f, 50.0f) : RandomFloat(-50.0f, 850.0f);
    const float y = RandomFloat(20.0f, 130.0f);
    const float dx = -RandomFloat(0.1f, 0.01f);
    movers[i]->Init(x, y, dx, 0.0f, 1);
}

void CControllerMain::MoveClouds() {
    for (int i = 0; i < kCloudCount; ++i) {
        if (!clouds[i] || !movers[i]) continue;
        if (movers[i]->GetX() + clouds[i]->GetWidth(false) < 0.0f) StartCloud(i, true);
        movers[i]->Step();
        clouds[i]->SetPosition(static_cast<int>(movers[i]->GetX()), static_cast<int>(movers[i]->GetY()), false);
    }
}

void CControllerMain::AnimateFigure() {
    CSprite* headRaise = sprites[SPRITE_HEAD_RAISE].get();
    CSprite* headLower = sprites[SPRITE_HEAD_LOWER].get();
    CSprite* headUp = sprites[SPRITE_HEAD_LOOKUP].get();
    CSprite* headDown = sprites[SPRITE_HEAD_LOOKDOWN].get();
    CSprite* headNod = sprites[SPRITE_HEAD_NOD].get();
    CSprite* lRaise = sprites[SPRITE_LARM_RAISE].get();
    CSprite* lLower = sprites[SPRITE_LARM_LOWER].get();
    CSprite* rRaise = sprites[SPRITE_RARM_RAISE].get();
    CSprite* rLower = sprites[SPRITE_RARM_LOWER].get();
    CSprite* smoke = sprites[SPRITE_VOLCANO_SMOKE].get();

    // 1. The head is up: hold, then either go back to rest or look up.
    if (headRaise->IsFinished()) {
        if (raiseHold <= raiseHoldLimit) {
            ++raiseHold;
        } else {
            raiseHold = 0;
            RewindHide(headRaise);
            if (pose <= 1) {
                RewindHide(lRaise);
                RewindHide(rRaise);
                PlayShown(headLower);
                PlayShown(lLower);
                PlayShown(rLower);
            } else {
                PlayShown(headUp);
            }
        }
    }
    // 2. Looking up: hold, then nod or look down again.
    if (headUp->IsFinished()) {
        if (lookUpHold <= lookUpHoldLimit) {
            ++lookUpHold;
        } else {
            lookUpHold = 0;
            RewindHide(headUp);
            if (pose == 3) {
                PlayShown(headNod);
            } else {
                pose = 0;
                PlayShown(headDown);
            }
        }
    }
    // 3. The nod ends by looking down.
    if (headNod->IsFinished()) {
        pose = 0;
        RewindHide(headNod);
        PlayShown(headDown);
    }
    // 4. Looked down: hold, then lower head and arms.
    if (headDown->IsFinished()) {
        if (lookDownHold <= lookDownHoldLimit) {
            ++lookDownHold;
        } else {
            lookDownHold = 0;
            RewindHide(headDown);
            RewindHide(lRaise);
            RewindHide(rRaise);
            PlayShown(headLower);
            PlayShown(lLower);
            PlayShown(rLower);
        }
    }
    // 5. At rest or busy: start a gesture when the idle time is up; back at
    // rest: the raising sprites stand ready on their first frames.
    if (!headLower->IsFinished()) {
        if (idleCounter == idleLimit) {
            raiseHoldLimit = RandomInt(15, 40);
            lookUpHoldLimit = RandomInt(15, 30);
            lookDownHoldLimit = RandomInt(10, 20);
            const int r = RandomInt(1, 10);
            pose = r < 5 ? 1 : (r <= 7 ? 2 : 3);
            PlayShown(headRaise);
            PlayShown(lRaise);
            PlayShown(rRaise);
        }
        ++idleCounter;
    } else {
        RewindHide(headLower);
        RewindHide(lLower);
        RewindHide(rLower);
        RewindShow(headRaise);
        RewindShow(lRaise);
        RewindShow(rRaise);
        idleCounter = 0;
        idleLimit = RandomInt(125, 250);
    }
    // 6. Puffs of smoke at random intervals.
    if (smokeCounter <= smokeLimit) {
        ++smokeCounter;
    } else if (smoke->IsFinished()) {
        RewindHide(smoke);
        smokeCounter = 0;
        smokeLimit = RandomInt(30, 60);
    } else if (smoke->IsHidden() || smoke->IsStopped()) {
        PlayShown(smoke);
    }
}

void CControllerMain::ShowButtons() {
    for (const auto& b : buttons)
        if (b) b->Show();
}

void CControllerMain::HideButtons() {
    for (const auto& b : buttons)
        if (b) b->Hide();
}

void CControllerMain::FreezeForChild() {
    HideMousePointer(kHideUntilNextUpdate);
    CRender::Render(true);
    CRender::Swap(true);
    HideButtons();
}

void CControllerMain::FreezeFor(const char* childName) {
    FreezeForChild();
    LogOpening(childName);
}

void CControllerMain::GUICallback(int index, int, bool) {
    switch (index) {
    case BUTTON_INSTRUCTIONS:
        if (instructions) break;
        FreezeFor("Instructions");
        instructions = std::make_unique<CControllerInstructions>(0);
        OpenChild(instructions.get());
        break;
    case BUTTON_OPTIONS:
        if (options) break;
        FreezeFor("Options");
        options = std::make_unique<CControllerOptions>();
        OpenChild(options.get());
        break;
    case BUTTON_CREDITS:
        if (credits) break;
        FreezeFor("Credits");
        credits = std::make_unique<CControllerCredits>();
        OpenChild(credits.get());
        break;
    case BUTTON_MOREGAMES:
        if (message) break;
        FreezeForChild();
        LogOpening("Message (Vormak Games)");
        message = std::make_unique<CControllerMessage>(2200, 2300, true, 0);
        OpenChild(message.get());
        break;
    case BUTTON_PLAY:
        if (map) break;
        OpenMap();
        break;
    case BUTTON_PROFILE:
        if (profiles) break;
        FreezeForChild();
        LogOpening("Profiles");
        profiles = std::make_unique<CControllerProfiles>();
        OpenChild(profiles.get());
        break;
    case BUTTON_MANAGER:
        if (manager) break;
        OpenManager();
        break;
    case BUTTON_EDITOR:
        if (editor) break;
        UnloadSprites();
        LogOpening("Level Editor");
        editor = std::make_unique<CControllerEditor>();
        OpenChild(editor.get());
        break;
    case BUTTON_SCORES:
        if (scoreboard) break;
        FreezeForChild();
        LogOpening("Scoreboard");
        scoreboard = std::make_unique<CControllerScoreboard>(SCOREBOARD_OVERALL, false);
        OpenChild(scoreboard.get());
        break;
    case BUTTON_EXIT: result = kCloseQuit; break;
    default:
        // The other buttons are disabled until their screens exist.
        break;
    }
}

ProgressMessage CControllerMain::DamageMessage(const DamageNotice& damage) {
    if (damage.kind == DamageKind::UNREACHABLE) return UnreachableMessage(damage);
    const int advice = AdviceFor(damage.error);
    if (damage.kind == DamageKind::LIST_AWAY)
        return ProgressMessage{kListAwayTitle, kListAwayBody, AwayFileText(damage.file, damage.why), "", advice};
    if (damage.kind == DamageKind::FOLDER_AWAY)
        return ProgressMessage{kFolderAwayTitle, kFolderAwayBody, AwayFileText(damage.file, damage.why), "", advice};
    if (damage.kind == DamageKind::NUMBER_TAKEN)
        return ProgressMessage{kNumberTakenTitle, kNumberTakenBody, damage.player, ShownPath(damage.file)};
    // The copy kept; else, when every name for one is taken, the names to
    // clear; else why none could be written.
    const std::string kept = ShownPath(damage.keptAs);
    const std::string copies = ShownPath(damage.file + CProfileBase::kDamagedSuffix);
    const bool listed = damage.kind != DamageKind::PROGRESS;
    ProgressMessage m;
    m.title = listed ? kListTitle : kDamagedTitle;
    if (damage.kind == DamageKind::LIST_MISSING) {
        m.body = kMissingListBody;
    } else if (!kept.empty()) {
        m.body = listed ? kDamagedListBody : kDamagedProgressBody;
        m.text2 = kept;
    } else if (damage.copyNamesTaken) {
        m.body = listed ? kDamagedListNoNameBody : kDamagedProgressNoNameBody;
        m.text2 = copies;
        m.advice = AdviceFor(kReasonCopyNamesTaken);
    } else {
        m.body = listed ? kDamagedListNoCopyBody : kDamagedProgressNoCopyBody;
        m.text2 = strerror(damage.error);
        m.advice = advice;
    }
    // The list's bodies have one placeholder, the copy's or the reason; a
    // player's two, the player and the copy or the reason.
    if (listed)
        m.text = m.text2, m.text2.clear();
    else
        m.text = damage.player;
    return m;
}

void CControllerMain::NoteUnlockedDataFolder(const std::string& lockPath) { unlockedLock = lockPath; }

bool CControllerMain::OpenNotice() {
    if (notice) return false;
    CProfile* profile = GetProfile();
    DamageNotice damage;
    if (profile && profile->TakeDamageNotice(&damage)) {
        FreezeForChild();
        LogOpening("Message (Damaged Profile)");
        const ProgressMessage m = DamageMessage(damage);
        notice = std::make_unique<CControllerMessage>(m.title, m.body, false, m.text.c_str(), m.text2.c_str(),
                                                      m.advice);
    } else if (!unlockedLock.empty()) {
        FreezeForChild();
        LogOpening("Message (Data Folder Not Locked)");
        notice =
            std::make_unique<CControllerMessage>(kUnlockedTitle, kUnlockedBody, false, ShownPath(unlockedLock).c_str());
        unlockedLock.clear();
    } else if (TakeSaveFailureNotice()) {
        // A save failed where no screen of its own told it (the settings,
        // a player's first file at start-up).
        FreezeForChild();
        LogOpening("Message (Progress Not Saved)");
        const ProgressMessage m = SaveFailureMessage(profile->GetSaveFailure());
        notice = std::make_unique<CControllerMessage>(m.title, m.body, false, m.text.c_str(), nullptr, m.advice);
    } else {
        return false;
    }
    OpenChild(notice.get());
    return true;
}

bool CControllerMain::HoldQuitForUnsavedProgress() {
    // A terminate signal ends the game without waiting for an answer.
    if (result >= 0 || quitAnyway || CInput::IsTerminating()) return false;
    CProfile* profile = GetProfile();
    if (!profile || profile->WriteInfo()) return false;
    heldQuit = result;
    result = 0;
    TakeSaveFailureNotice();  // told here
    // The menu comes back behind the question, whichever screen quit.
    if (!spritesLoaded) LoadSprites();
    FreezeForChild();
    LogOpening("Message (Quit Without Saving)");
    const ProgressMessage why = SaveFailureMessage(profile->GetSaveFailure());
    quitQuestion =
        std::make_unique<CControllerMessage>(kQuitUnsavedTitle, why.body, true, why.text.c_str(), nullptr, why.advice);
    OpenChild(quitQuestion.get());
    return true;
}

bool CControllerMain::OpenRecoveryNotice() {
    RecoveredLevels kept;
    if (notice || !TakeRecoveredLevels(&kept)) return false;
    std::string names;
    for (const std::string& name : kept.names)
        names += (names.empty() ? "" : ", ") + (kept.inDataFolder ? ShownPath(name) : name);
    int body = kept.recording ? kRecoveredRecordingBody : kRecoveredBody;
    if (kept.inDataFolder) body = kept.recording ? kRecoveredInDataRecordingBody : kRecoveredInDataBody;
    FreezeFor("Message (Recovered Level)");
    notice = std::make_unique<CControllerMessage>(kRecoveredTitle, body, false, names.c_str());
    OpenChild(notice.get());
    return true;
}

void CControllerMain::OpenMap() {
    UnloadSprites();
    LogOpening("Map");
    map = std::make_unique<CControllerMap>();
    OpenChild(map.get());
}

void CControllerMain::OpenManager() {
    UnloadSprites();
    LogOpening("Level Manager");
    manager = std::make_unique<CControllerManager>();
    OpenChild(manager.get());
}

void CControllerMain::InputKey(bool released, int key) {
    if (!released && key == 'q' && modAlt) result = kCloseQuit;
    InputMenuKey(released, key);
}

void CControllerMain::InputMouseMove(int x, int y) {
    mouseX = x;
    mouseY = y;
    if (introPicture && introPicture->IsFading())
        ShowHourglass(true);
    else
        UpdateMousePointer();
}

void CControllerMain::InputMouseClick(bool released, bool left, bool, bool, bool) {
    if (left && !released && CGuiButtonBase::GetFocusIndex() == -1) PlayInterfaceSound(GetSoundClickScreen());
}

void CControllerMain::Pump() {
    if (GetPreviousId() == CONTROLLER_MAIN) {
        PollInput();
        if (HoldQuitForUnsavedProgress()) return;
        // A damaged profile is told as soon as the picture left by the intro
        // has faded, and after the player list when it loaded another one.
        if (active && result == 0 && spritesLoaded && !(introPicture && introPicture->IsFading()) &&
            (OpenNotice() || OpenRecoveryNotice()))
            return;
        if (active && spritesLoaded) {
            AnimateFigure();
            MoveClouds();
        }
        if (active) CGuiButtonBase::UpdateAll();
        return;
    }

    // A child came back, or the menu has just opened.
    if (CRender::IsSwapped()) CRender::Swap(true);
    ShowButtons();
    // Buttons of screens that do not exist yet come back disabled.
    DebugLog(DBG_DEBUG, "Loading Controller:  Main Menu\n");
    if (GetPreviousId() == CONTROLLER_INSTRUCTIONS) {
        instructions.reset();
    } else if (GetPreviousId() == CONTROLLER_OPTIONS) {
        options.reset();
    } else if (GetPreviousId() == CONTROLLER_CREDITS) {
        credits.reset();
    }
    if (GetPreviousId() == CONTROLLER_MESSAGE && quitQuestion) {
        // Quit anyway; or stay, since a save tried again now would meet
        // the same reason: the player mends it, and the next quit saves.
        quitAnyway = quitQuestion->IsConfirmed();
        quitQuestion.reset();
        result = quitAnyway ? heldQuit : 0;
    } else if (GetPreviousId() == CONTROLLER_MESSAGE && notice) {
        notice.reset();
    } else if (GetPreviousId() == CONTROLLER_MESSAGE && message) {
        const bool confirmed = message->IsConfirmed();
        message.reset();
        if (confirmed) {
            OpenURL(GetMoreGamesURL());
            result = kCloseToBrowser;
        }
    }
    // The map and the level manager can ask for each other.
    int next = 0;
    if (GetPreviousId() == CONTROLLER_MAP && map) {
        DebugLog(DBG_TICK, "Removing MAP\n");
        next = map->GetValue();
        map.reset();
        DebugLog(DBG_TICK, "MAP removal completed\n");
    }
    if (GetPreviousId() == CONTROLLER_PROFILES && profiles) {
        BuildWelcomePanel();
        profiles.reset();
    }
    if (GetPreviousId() == CONTROLLER_MANAGER && manager) {
        next = manager->GetValue();
        manager.reset();
    }
    if (GetPreviousId() == CONTROLLER_EDITOR && editor) {
        editor.reset();
    }
    if (GetPreviousId() == CONTROLLER_SCOREBOARD) {
        scoreboard.reset();
    }
    if (HoldQuitForUnsavedProgress()) return;
    if (result == 0 && next == CControllerManager::kAnswerMap) {
        OpenMap();
        return;
    }
    if (result == 0 && next == CControllerMap::kAnswerManager) {
        // The manager plays the menu's music.
        CSound::PlayMainMusic();
        OpenManager();
        return;
    }
    if (!spritesLoaded && result == 0) LoadSprites();
    HideMousePointer(kHideUntilNextUpdate);
    SetPreviousId(CONTROLLER_MAIN);
}

CGuiButton* CControllerMain::GetButton(int buttonId) const {
    if (buttonId < 0 || buttonId >= BUTTON_COUNT) return nullptr;
    return buttons[buttonId].get();
}

CSprite* CControllerMain::GetSprite(int slot) const {
    if (slot < 0 || slot >= SPRITE_COUNT) return nullptr;
    return sprites[slot].get();
}

CSprite* CControllerMain::GetCloud(int i) const {
    if (i < 0 || i >= kCloudCount) return nullptr;
    return clouds[i].get();
}
