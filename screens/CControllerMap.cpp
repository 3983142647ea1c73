#include "screens/CControllerMap.h"

#include <SDL.h>

#include <cstdio>
#include <string>

#include "engine/CDraw.h"
#include "engine/CMouse.h"
#include "engine/COscillator.h"
#include "engine/CRender.h"
#include "engine/CSprite.h"
#include "engine/FontRender.h"
#include "engine/Log.h"
#include "engine/Utilities.h"
#include "gui/CControllerGame.h"
#include "gui/CControllerMessage.h"
#include "gui/CControllerMessageTutorial.h"
#include "gui/CGuiButton.h"
#include "gui/CGuiButtonMapDot.h"
#include "gui/GuiSprites.h"
#include "gui/GuiText.h"
#include "players/CProfile.h"
#include "screens/CControllerMain.h"
#include "screens/CControllerScoreboard.h"
#include "screens/CControllerSetSelect.h"
#include "screens/LevelDotLayouts.h"
#include "sound/CSound.h"
#include "world/CLevel.h"
#include "world/CLevelSet.h"

namespace {

const char* const kRule = "=============================================\n";
// Names, headings and counts: the general text style.
const int kTextPlain = 300;
// The player's name in the top-left panel.
const int kNameBoxW = 170;
// The first visit's help arrow, in the middle of its box.
const int kHelpArrowX = 684;

// The two pictures of each set button, rebuilt with the set's name and
// completion painted in.
const char* const kSetButtonImages[] = {
    "map_buttonlevelset_base_reg.png", "map_buttonlevelset_roll_reg.png", "map_buttonlevelset_base_adv.png",
    "map_buttonlevelset_roll_adv.png", "map_buttonlevelset_base_kid.png", "map_buttonlevelset_roll_kid.png",
};

struct MapButton {
    int id;
    int x, y;
    const char* stem;  // base, rollover and shadow: stem + "base.png" ...
    const char* text;  // null: none
    int textDy;
};

const MapButton kButtons[CControllerMap::kButtonCount] = {
    {CControllerMap::BUTTON_SET_REGULAR, 19, 42, "map_buttonlevelset_", nullptr, 0},
    {CControllerMap::BUTTON_SET_ADVANCED, 19, 66, "map_buttonlevelset_", nullptr, 0},
    {CControllerMap::BUTTON_SET_KIDS, 19, 90, "map_buttonlevelset_", nullptr, 0},
    {CControllerMap::BUTTON_RESET_REGULAR, 203, 45, "map_buttonchangereset_", "map_buttonchangereset_textreset.png", 0},
    {CControllerMap::BUTTON_RESET_ADVANCED, 203, 69, "map_buttonchangereset_", "map_buttonchangereset_textreset.png", 0},
    {CControllerMap::BUTTON_RESET_KIDS, 203, 93, "map_buttonchangereset_", "map_buttonchangereset_textreset.png", 0},
    {CControllerMap::BUTTON_CHANGE_SET, 648, 16, "map_buttonchangereset_", "map_buttonchangereset_textchange.png", 0},
    {CControllerMap::BUTTON_SCORES, 698, 85, "map_buttonhighscores_", "map_buttonhighscores_text.png", 0},
    {CControllerMap::BUTTON_PLAY, 637, 509, "map_buttonlowerright_", "map_buttonlowerright_textplay.png", 4},
    {CControllerMap::BUTTON_MANAGER, 637, 533, "map_buttonlowerright_", "map_buttonlowerright_textlevelmanager.png", 4},
    {CControllerMap::BUTTON_MAIN_MENU, 637, 557, "map_buttonlowerright_", "map_buttonlowerright_textmainmenu.png", 4},
};

int SlotOf(int buttonId) {
    for (int i = 0; i < CControllerMap::kButtonCount; ++i)
        if (kButtons[i].id == buttonId) return i;
    return -1;
}

std::unique_ptr<CSprite> MakeMapSprite(SpriteLayer layer, int frameDelay, const char* debugName, int x, int y) {
    auto s = std::make_unique<CSprite>(layer, frameDelay, false);
    s->SetName(debugName);
    s->SetPosition(x, y, false);
    return s;
}

void PlayShown(CSprite* s) {
    s->Show(kSpriteNotDrawn, kSpriteNotDrawn);
    s->Play(true);
}

}  // namespace

CControllerMap::CControllerMap()
    : helpBobber(nullptr),
      spritesLoaded(0),
      setChoicePending(0),
      dotsAppear(1),
      explanationShown(0),
      pendingConfirmation(0),
      dotCounter(0),
      currentSet(0),
      currentLevel(0),
      smokeCounter(0),
      smokeLimit(20),
      level(nullptr),
      message(nullptr),
      game(nullptr),
      setSelect(nullptr),
      explanation(nullptr),
      scoreboard(nullptr) {
    id = CONTROLLER_MAP;
    menuKeys.SetBack(CMenuKeys::Back::kCloses);
    menuKeys.SetList(this);
    CreateSprites();
    CProfile* profile = GetProfile();
    bool started = false;
    for (int set = 0; set < CLevelSet::kSetCount && profile; ++set)
        if (profile->IsLevelSolved(set, 0)) started = true;
    if (!started) {
        // A new player picks a set first, over the map.
        FreezeFor("Set Selector");
        setSelect = std::make_unique<CControllerSetSelect>();
        setChoicePending = 1;
    }
}

CControllerMap::~CControllerMap() {
    DebugLog(DBG_MILESTONE, "ID_900:  SHUTDOWN:  C%i Started\n", id);
    ReleaseAll(message, game, setSelect, explanation, scoreboard);
    UnloadResources();
    DebugLog(DBG_MILESTONE, "ID_900:  SHUTDOWN:  C%i Completed\n", id);
}

CLevelSet* CControllerMap::CurrentLevelSet() const { return CLevelSet::GetSet(currentSet); }

CGuiButton* CControllerMap::GetButton(int buttonId) const {
    const int slot = SlotOf(buttonId);
    return slot < 0 ? nullptr : buttons[slot].get();
}

CGuiButtonMapDot* CControllerMap::GetDot(int levelIndex) const {
    return levelIndex >= 0 && levelIndex < dotCounter ? dots[levelIndex].get() : nullptr;
}

CController* CControllerMap::GetChild() const {
    if (message) return message.get();
    if (game) return game.get();
    if (setSelect) return setSelect.get();
    if (scoreboard) return scoreboard.get();
    return explanation.get();
}

// ------------------------------------------------------------------ building

void CControllerMap::CreateSprites() {
    if (spritesLoaded) return;
    CProfile* profile = GetProfile();
    currentSet = profile ? profile->GetCurrentSet() : 0;
    if (!profile) {
        currentLevel = 0;
    } else if (dotsAppear && profile->IsSetCompleted(-1)) {
        profile->SetCurrentLevel(0);
        currentLevel = 0;
    } else {
        currentLevel = profile->UnlockNextLevel();
    }
    CLevelSet* set = CurrentLevelSet();
    level = set ? set->SetCurrentLevel(currentLevel) : nullptr;
    CSound::PlayMapMusic();

    CSprite* s;
    sprites[SPRITE_BACKGROUND] = MakeMapSprite(LAYER_CL0, 0, "Map (MAP_LSPRITE_BACKGROUND)", 0, 0);
    s = sprites[SPRITE_BACKGROUND].get();
    s->AddFrame("map_background.jpg");
    s->Show(kSpriteNotDrawn, kSpriteNotDrawn);
    sprites[SPRITE_LEGEND_TUTORIAL] = MakeMapSprite(LAYER_CL2, 2, "Map (MAP_LSPRITE_LEGEND_TUTORIAL)", 45, 149);
    s = sprites[SPRITE_LEGEND_TUTORIAL].get();
    s->AddFrames("star_base", 0, 59, ".png", 1);
    s->SetLooping(true);
    PlayShown(s);
    sprites[SPRITE_LEGEND_REGULAR] = MakeMapSprite(LAYER_CL1, 0, "Map (MAP_LSPRITE_LEGEND_REGULAR)", 45, 177);
    s = sprites[SPRITE_LEGEND_REGULAR].get();
    s->AddFrame("mapdotregularcompletedbase.png");
    s->Show(kSpriteNotDrawn, kSpriteNotDrawn);
    sprites[SPRITE_VOLCANO_FRONT] =
        MakeMapSprite(LAYER_CL3, 0, "Map (MAP_LSPRITE_VOLCANO_FRONT)", kMapVolcanoX, kMapVolcanoY);
    s = sprites[SPRITE_VOLCANO_FRONT].get();
    s->AddFrame("mainmenu_volcanofront.png");
    s->Show(kSpriteNotDrawn, kSpriteNotDrawn);
    sprites[SPRITE_VOLCANO_GLOW] = MakeMapSprite(LAYER_CL1, 4, "Map (MAP_LSPRITE_VOLCANO_GLOW)", 299, 112);
    s = sprites[SPRITE_VOLCANO_GLOW].get();
    CControllerMain::AddVolcanoGlowFrames(s);
    s->SetLooping(true);
    PlayShown(s);
    sprites[SPRITE_VOLCANO_SMOKE] = MakeMapSprite(LAYER_CL2, 2, "Map (MAP_LSPRITE_VOLCANO_SMOKE)", 252, -30);
    s = sprites[SPRITE_VOLCANO_SMOKE].get();
    s->AddFrames("mainmenu_smoke", 5, 54, ".png", 1);
    sprites[SPRITE_SET_NAME] = MakeMapSprite(LAYER_CL4, 0, "Map (MAP_LSPRITE_SET_NAME)", 515, 15);
    s = sprites[SPRITE_SET_NAME].get();
    s->AddFrame("map_buttonlevelset_textregular.png");
    s->AddFrame("map_buttonlevelset_textadvanced.png");
    s->AddFrame("map_buttonlevelset_textkids.png");
    s->Show(kSpriteNotDrawn, kSpriteNotDrawn);
    // The name on one line in its box, set smaller when it is too wide (as
    // the main menu's welcome panel does), and centred in the box's height.
    const char* name = profile ? profile->GetProfileName(-1) : "";
    const FontFitted fitted = FontFitTyped(FontFitRequest(kTextPlain, FontFit::kSmaller, name, kNameBoxW));
    sprites[SPRITE_PROFILE_NAME] = MakeText(name, kNameBoxW, 20, 3, "map_text_profile_name.png", 44, 10, LAYER_CL_TEXT,
                                            fitted.pointSize);

    for (int i = 0; i < kButtonCount; ++i) {
        const MapButton& m = kButtons[i];
        const std::string stem = m.stem;
        auto b = std::make_unique<CGuiButton>(m.x, m.y, m.id, this, (stem + "base.png").c_str(),
                                              (stem + "shadow.png").c_str(), (stem + "rollover.png").c_str(), nullptr,
                                              m.id == BUTTON_PLAY, 2, 2);
        if (m.text) b->SetText(m.text, 0, m.textDy, 0, 0, 2, 2);
        if (m.id == BUTTON_SCORES) b->SetDisableImage("map_buttonhighscores_fade.png", 0, 0);
        buttons[i] = std::move(b);
    }
    GetButton(BUTTON_PLAY)->WarpMouseTo();

    UpdateLevelTexts();
    CreateDots();
    HideMousePointer(kHideUntilNextUpdate);
    spritesLoaded = 1;
}

std::unique_ptr<CSprite> CControllerMap::MakeText(const char* text, int boxW, int boxH, int align,
                                                  const char* imageName, int x, int y, SpriteLayer layer,
                                                  int pointSize) {
    CDraw::UnloadImage(imageName);
    // Names and level headings are drawn as they stand, never as markup.
    SDL_Surface* surface = FontRenderStringTyped(boxW, boxH, align, kTextPlain, text, nullptr, pointSize);
    const int image = surface ? CDraw::LoadSurface(surface, imageName) : -1;
    return MakeGuiSprite(image, layer, "Map (MAP_LSPRITE_TEXT)", x, y, true);
}

void CControllerMap::UpdateLevelTexts() {
    CProfile* profile = GetProfile();
    sprites[SPRITE_SET_NAME]->SetFrame(currentSet);
    for (int slot : {SPRITE_LEVEL_NAME, SPRITE_LEVEL_STEPS, SPRITE_SET_STEPS}) sprites[slot].reset();
    const std::string name = CLevelSet::GetLevelLabel(currentSet, currentLevel) + ". " +
                             (level ? level->GetHeadingText() : "");
    // The level's name starts under the set's name, as far in from the
    // panel's torn edge.
    sprites[SPRITE_LEVEL_NAME] = MakeText(name.c_str(), 270, 30, 0, "map_text_level_name.png", 516, 40, LAYER_CL5);
    const int steps = profile ? profile->GetLevelSteps(-1, -1, false) : 0;
    const std::string best = steps < 1 ? "Incomplete" : GroupThousands(steps);
    sprites[SPRITE_LEVEL_STEPS] = MakeText(best.c_str(), 100, 30, 0, "map_text_level_steps.png", 600, 77, LAYER_CL5);
    const std::string total = GroupThousands(profile ? profile->GetSetSteps(-1) : 0);
    sprites[SPRITE_SET_STEPS] = MakeText(total.c_str(), 200, 20, 0, "map_text_set_steps.png", 600, 100, LAYER_CL5);
    for (int set = 0; set < CLevelSet::kSetCount; ++set) CreateSetButtons(set, set);
    CGuiButton* scores = GetButton(BUTTON_SCORES);
    // Tutorial levels are not scored.
    if (IsTutorialLevel(currentSet, currentLevel)) {
        scores->Disable();
    } else {
        scores->Enable();
    }
}

void CControllerMap::CreateSetButtons(int button, int set) {
    CGuiButton* b = buttons[SlotOf(BUTTON_SET_REGULAR) + button].get();
    const char* baseName = kSetButtonImages[set * 2];
    const char* rollName = kSetButtonImages[set * 2 + 1];
    // The old pictures go first, so that the new ones can take their names.
    b->SetBaseImage(nullptr);
    b->SetRolloverImage(nullptr);
    CDraw::UnloadImage(baseName);
    CDraw::UnloadImage(rollName);
    CProfile* profile = GetProfile();
    char percent[16];
    snprintf(percent, sizeof percent, "%i%%", profile ? profile->GetSetPercent(set) : 0);
    // The percentage ends at x 165 of the plate: measured first, so that it
    // can be centred in the plate's height as the set's name is.
    SDL_FreeSurface(FontRenderStringTyped(165, 22, 4, kTextPlain, percent));
    const int percentW = FontGetTextEndX();
    const char* plate = set == currentSet ? "map_buttonlevelset_rollover.png" : "map_buttonlevelset_base.png";
    for (const char* name : {baseName, rollName}) {
        const int image = CDraw::CopyImage(name == baseName ? plate : "map_buttonlevelset_rollover.png", name, 0);
        const int w = CDraw::GetWidth(image);
        const int h = CDraw::GetHeight(image);
        // A pixel down from the middle: the plate's rim begins a row into
        // its picture, and the words keep clear of it.
        BlitString(2100 + set, image, w, h, 4, 11, 1);
        BlitTypedString(kTextPlain, image, percentW, h, 4, 165 - percentW, 1, percent);
    }
    b->SetBaseImage(baseName);
    b->SetRolloverImage(rollName);
    b->GetRolloverSprite()->Hide();
}

void CControllerMap::DeleteDots() {
    ReleaseAll(dots);
    dotCounter = 0;
}

void CControllerMap::CreateDots() {
    DeleteDots();
    CLevelSet* set = CurrentLevelSet();
    int count = GetLevelDotCount(currentSet);
    if (set && set->GetLevelCount() < count) count = set->GetLevelCount();
    if (count > kMaxDots) count = kMaxDots;
    for (int n = 0; n < count; ++n) {
        const DotPosition p = GetLevelDotPosition(currentSet, n);
        CreateDot(p.x, p.y);
    }
    DebugLog(DBG_TICK, "MAP:  Dots Created\n");
    dotsAppear = 0;
    GetButton(BUTTON_PLAY)->WarpMouseTo();
}

void CControllerMap::CreateDot(int x, int y) {
    const int n = dotCounter;
    CProfile* profile = GetProfile();
    const int kind = IsTutorialLevel(currentSet, n) ? CGuiButtonMapDot::KIND_STAR : CGuiButtonMapDot::KIND_DOT;
    int state = CGuiButtonMapDot::STATE_LOCKED;
    if (profile && profile->IsLevelSolved(currentSet, n)) {
        state = CGuiButtonMapDot::STATE_COMPLETED;
    } else if (profile && !profile->IsLevelLocked(currentSet, n)) {
        state = CGuiButtonMapDot::STATE_PLAYABLE;
    }
    int anim = CGuiButtonMapDot::ANIM_IDLE;
    int delay = -1;
    if (n == currentLevel) {
        if (ExplanationDue()) {
            anim = CGuiButtonMapDot::ANIM_SELECTED;
        } else {
            // The current level waits twice as long as its neighbours.
            anim = CGuiButtonMapDot::ANIM_APPEAR_SELECT;
            delay = dotsAppear ? n : 10;
        }
    } else if (dotsAppear) {
        anim = CGuiButtonMapDot::ANIM_APPEAR;
        delay = n / 2;
    }
    dots[n] = std::make_unique<CGuiButtonMapDot>(x, y, n, this, kind, state, anim, delay, false);
    if (kind == CGuiButtonMapDot::KIND_STAR) {
        const DotPosition star = GetStarCentre(currentSet, n);
        const DotBox post = GetStarPostBox(currentSet, n);
        dots[n]->PlaceStar(star.x, star.y, ("mapstarpost" + std::to_string(n) + ".png").c_str(), post.x, post.y);
    }
    ++dotCounter;
}

void CControllerMap::DeleteHelpOverlay() {
    for (int slot : {SPRITE_HELP_BOX, SPRITE_HELP_TEXT, SPRITE_HELP_ARROW, SPRITE_HELP_ARROW_SHADOW}) {
        sprites[slot].reset();
    }
}

void CControllerMap::CreateHelpOverlay() {
    DeleteHelpOverlay();
    CProfile* profile = GetProfile();
    if (!profile) return;
    for (int set = 0; set < CLevelSet::kSetCount; ++set)
        if (profile->IsLevelSolved(set, 0)) return;
    // Over the sea right of the island, clear of every set's dots, with its
    // arrow pointing down at Play.
    sprites[SPRITE_HELP_BOX] =
        MakeGuiSprite("mapoverviewboxlockedmain.png", LAYER_CL_LOGO0, "Map (MAP_LSPRITE_HELP_BOX)", 614, 380, true);
    sprites[SPRITE_HELP_TEXT] =
        MakeGuiSprite("maphelptext.png", LAYER_CL_LOGO0, "Map (MAP_LSPRITE_HELP_TEXT)", 624, 387, true);
    sprites[SPRITE_HELP_ARROW] =
        MakeGuiSprite("maphelparrow.png", LAYER_CL_LOGO2, "Map (MAP_LSPRITE_HELP_ARROW)", kHelpArrowX, 448, true);
    sprites[SPRITE_HELP_ARROW_SHADOW] = MakeGuiSprite(
        "maphelparrowshadow.png", LAYER_CL_LOGO1, "Map (MAP_LSPRITE_HELP_ARROW_SHADOW)", kHelpArrowX + 4, 449, true);
    if (!helpBobber) {
        helpBobber = std::make_unique<COscillator>();
        helpBobber->Init(0, 6, 3.5f, 5.2f, rand() % 24);
    }
}

// ------------------------------------------------------------------ per frame

void CControllerMap::UpdateAnimations() {
    CSprite* smoke = sprites[SPRITE_VOLCANO_SMOKE].get();
    if (smoke) {
        if (smokeCounter <= smokeLimit) {
            ++smokeCounter;
        } else if (smoke->IsFinished()) {
            smoke->Rewind();
            smoke->Hide();
            smokeCounter = 0;
            smokeLimit = RandomInt(30.0f, 60.0f);
        } else if (smoke->IsHidden() || smoke->IsStopped()) {
            PlayShown(smoke);
        }
    }
    if (helpBobber && sprites[SPRITE_HELP_ARROW]) {
        helpBobber->Step();
        sprites[SPRITE_HELP_ARROW]->SetPosition(kHelpArrowX, 448 + helpBobber->GetValue(), false);
        sprites[SPRITE_HELP_ARROW_SHADOW]->SetPosition(kHelpArrowX + 4, 449 + helpBobber->GetValue(), false);
    }
}

bool CControllerMap::ExplanationDue() const {
    CProfile* profile = GetProfile();
    return !explanationShown && currentSet == 0 && (currentLevel == 1 || currentLevel == 2) && profile &&
           profile->GetPreviousLevel() == 0;
}

void CControllerMap::ShowWidgets() {
    for (const auto& b : buttons)
        if (b) b->Show();
    for (const auto& d : dots)
        if (d) d->Show();
}

void CControllerMap::HideWidgets() {
    for (const auto& b : buttons)
        if (b) b->Hide();
    for (const auto& d : dots)
        if (d) d->Hide();
}

void CControllerMap::FreezeFor(const char* name) {
    HideMousePointer(kHideUntilNextUpdate);
    CRender::Render(true);
    CRender::Swap(true);
    HideWidgets();
    LogOpening(name);
}

void CControllerMap::UnloadResources() {
    if (!spritesLoaded) return;
    DebugLog(DBG_TICK, "MAP:  Unloading Resources\n");
    ShowHourglass(true);
    ReleaseAll(sprites);
    DebugLog(DBG_TICK, "MAP:  Sprites unloaded\n");
    ReleaseAll(buttons);
    DebugLog(DBG_TICK, "MAP:  Buttons unloaded\n");
    DeleteDots();
    DebugLog(DBG_TICK, "MAP:  Map Dots unloaded\n");
    helpBobber.reset();
    DebugLog(DBG_TICK, "MAP:  Arrow Bouncer unloaded\n");
    for (const char* name : kSetButtonImages) CDraw::UnloadImage(name);
    DebugLog(DBG_TICK, "MAP:  Level Set Images unloaded\n");
    spritesLoaded = 0;
}

// ------------------------------------------------------------------ actions

void CControllerMap::ChooseSet(int set) {
    CProfile* profile = GetProfile();
    if (!profile) return;
    profile->SetCurrentSet(set);
    currentSet = set;
    currentLevel = profile->IsSetCompleted(set) ? 0 : profile->UnlockNextLevel();
    CLevelSet* levelSet = CurrentLevelSet();
    level = levelSet ? levelSet->SetCurrentLevel(currentLevel) : nullptr;
    UpdateLevelTexts();
    dotsAppear = 1;
    CreateDots();
}

void CControllerMap::SelectLevel(int levelIndex) {
    CProfile* profile = GetProfile();
    if (profile) profile->SetCurrentLevel(levelIndex);
    currentLevel = levelIndex;
    CLevelSet* set = CurrentLevelSet();
    level = set ? set->SetCurrentLevel(levelIndex) : nullptr;
    UpdateLevelTexts();
}

void CControllerMap::PlayCurrentLevel() {
    CLevelSet* set = CurrentLevelSet();
    // The pack must hold the level (the map never offers one it lacks).
    if (!set || currentLevel >= set->GetLevelCount()) return;
    UnloadResources();
    LogOpening("Game");
    game = std::make_unique<CControllerGame>(set);
    OpenChild(game.get());
}

void CControllerMap::StepSelection(bool down, bool page, bool toEnd, bool) {
    if (currentLevel < 0 || currentLevel >= dotCounter) return;
    int chosen = currentLevel;
    int steps = toEnd ? dotCounter : page ? kTrackPage : 1;
    for (int n = chosen + (down ? 1 : -1); steps > 0 && n >= 0 && n < dotCounter; n += down ? 1 : -1) {
        if (!dots[n]->IsOpen()) continue;
        chosen = n;
        --steps;
    }
    // The dot's focus chooses it as a click does, and shows where it is.
    CGuiButtonBase::GiveKeyFocus(dots[chosen].get());
}

void CControllerMap::GUICallback(int index, int val, bool dclick) {
    switch (index) {
    case BUTTON_SET_REGULAR:
    case BUTTON_SET_ADVANCED:
    case BUTTON_SET_KIDS:
        if (index - BUTTON_SET_REGULAR != currentSet) ChooseSet(index - BUTTON_SET_REGULAR);
        return;
    case BUTTON_CHANGE_SET: ChooseSet((currentSet + 1) % CLevelSet::kSetCount); return;
    case BUTTON_RESET_REGULAR:
    case BUTTON_RESET_ADVANCED:
    case BUTTON_RESET_KIDS:
        pendingConfirmation = index - BUTTON_RESET_REGULAR + 1;
        FreezeFor("Message");
        message = std::make_unique<CControllerMessage>(2202, 2304 + index - BUTTON_RESET_REGULAR, true, 0);
        OpenChild(message.get());
        return;
    case BUTTON_SCORES:
        FreezeFor("Scoreboard");
        scoreboard = std::make_unique<CControllerScoreboard>(SCOREBOARD_LEVEL_MAP, false);
        OpenChild(scoreboard.get());
        return;
    case BUTTON_PLAY: PlayCurrentLevel(); return;
    case BUTTON_MANAGER:
        value = kAnswerManager;
        result = kCloseBack;
        return;
    case BUTTON_MAIN_MENU: result = kCloseBack; return;
    default: break;
    }
    if (index < 0 || index >= dotCounter) return;
    if (val == -1) {
        // A locked level: a click tells why; a double click does nothing.
        if (dclick) return;
        pendingConfirmation = 4;
        FreezeFor("Message");
        message = std::make_unique<CControllerMessage>(2203, 2307, false, 0);
        OpenChild(message.get());
        return;
    }
    if (dclick) {
        if (index != currentLevel) SelectLevel(index);
        PlayCurrentLevel();
        return;
    }
    SelectLevel(index);
}

// ------------------------------------------------------------------ input

void CControllerMap::InputKey(bool released, int key) {
    InputMenuKey(released, key);
}

void CControllerMap::InputMouseMove(int x, int y) {
    mouseX = x;
    mouseY = y;
    UpdateMousePointer();
}

void CControllerMap::InputMouseClick(bool released, bool left, bool, bool, bool) {
    if (left && !released && CGuiButtonBase::GetFocusIndex() == -1) PlayInterfaceSound(GetSoundClickScreen());
}

void CControllerMap::Pump() {
    if (GetPreviousId() == CONTROLLER_MAP) {
        PollInput();
        if (active && spritesLoaded) UpdateAnimations();
        if (active) CGuiButtonBase::UpdateAll();
        return;
    }
    if (setChoicePending) {
        setChoicePending = 0;
        OpenChild(setSelect.get());
        return;
    }

    // A child came back, or the map has just opened.
    if (CRender::IsSwapped()) CRender::Swap(true);
    ShowWidgets();
    DebugLog(DBG_DEBUG, "Loading Controller:  Map\n");
    CProfile* profile = GetProfile();
    switch (GetPreviousId()) {
    case CONTROLLER_GAME:
        DebugLog(DBG_TICK, "Removing GAME\n");
        game.reset();
        DebugLog(DBG_TICK, "GAME removal completed\n");
        break;
    case CONTROLLER_MESSAGE:
        if (message && message->IsConfirmed() && pendingConfirmation >= 1 && pendingConfirmation <= 3 && profile) {
            currentSet = pendingConfirmation - 1;
            if (currentSet == 0) explanationShown = 0;
            profile->ResetSet(currentSet);
            profile->SetCurrentLevel(0);
            currentLevel = 0;
            CLevelSet* set = CurrentLevelSet();
            level = set ? set->SetCurrentLevel(0) : nullptr;
            UpdateLevelTexts();
            dotsAppear = 1;
        }
        pendingConfirmation = 0;
        message.reset();
        if (dotsAppear) {
            CreateHelpOverlay();
            CreateDots();
        }
        break;
    case CONTROLLER_LEVELSET:
        if (setSelect && profile) {
            profile->SetCurrentSet(setSelect->GetValue());
            currentSet = profile->GetCurrentSet();
            currentLevel = profile->UnlockNextLevel();
            dotsAppear = 1;
            setSelect.reset();
            CLevelSet* set = CurrentLevelSet();
            level = set ? set->SetCurrentLevel(currentLevel) : nullptr;
            CreateHelpOverlay();
            UpdateLevelTexts();
            CreateDots();
        }
        break;
    case CONTROLLER_SCOREBOARD: scoreboard.reset(); break;
    case CONTROLLER_TUTORIAL_MESSAGE: explanation.reset(); break;
    default: break;
    }
    // Back from the play screen: the profile picks the next level.
    if (!spritesLoaded && result == 0) CreateSprites();
    HideMousePointer(kHideUntilNextUpdate);
    SetPreviousId(CONTROLLER_MAP);
    if (spritesLoaded && result == 0 && ExplanationDue()) {
        explanationShown = 1;
        FreezeFor("Message Tutorial");
        explanation = std::make_unique<CControllerMessageTutorial>();
        OpenChild(explanation.get());
    }
}
