#include "screens/CControllerManager.h"

#include <SDL.h>

#include <algorithm>
#include <cstring>
#include <string>

#include "engine/CDraw.h"
#include "engine/CMouse.h"
#include "engine/CRender.h"
#include "engine/CSprite.h"
#include "engine/FontRender.h"
#include "engine/Log.h"
#include "engine/Parameters.h"
#include "engine/Utilities.h"
#include "gui/CControllerMessage.h"
#include "gui/CGuiButton.h"
#include "gui/CGuiListbox.h"
#include "gui/SaveFailureNotice.h"
#include "platform/Platform.h"
#include "gui/CControllerGame.h"
#include "players/CProfile.h"
#include "world/CLevel.h"
#include "world/CLevelRules.h"
#include "gui/GuiSprites.h"

namespace {

const char* const kBaseImage = "baseManager.png";
const char* const kRule = "=============================================\n";

// An extra level is played on its own: no set, no recording, no playback.
std::unique_ptr<CController> OpenPlayScreen(CLevel* level) {
    return std::make_unique<CControllerGame>(level, false, false, false);
}

// Tests put a stand-in here, or nothing to leave the play button inert.
CControllerManager::GameScreenFactory g_gameFactory = OpenPlayScreen;

struct ButtonLook {
    int x, y;
    const char* base;
    const char* shadow;
    const char* rollover;
};

// The sort buttons stand under the list's two columns, flush with its left
// and right edges; play and remove share the middle of the column below them.
const ButtonLook kButtons[CControllerManager::BUTTON_COUNT] = {
    {432, 145, "levelmanager_button_arrow1base.png", "levelmanager_button_arrowshadow.png",
     "levelmanager_button_arrow1rollover.png"},
    {432, 348, "levelmanager_button_arrow2base.png", "levelmanager_button_arrowshadow.png",
     "levelmanager_button_arrow2rollover.png"},
    {17, 522, "levelmanager_button_namebase.png", "levelmanager_button_dateshadow.png",
     "levelmanager_button_namerollover.png"},
    {318, 522, "levelmanager_button_datebase.png", "levelmanager_button_dateshadow.png",
     "levelmanager_button_daterollover.png"},
    {504, 268, "levelmanager_button_playbase.png", "levelmanager_button_playshadow.png",
     "levelmanager_button_playrollover.png"},
    {632, 268, "levelmanager_button_removebase.png", "levelmanager_button_playshadow.png",
     "levelmanager_button_removerollover.png"},
    {553, 374, "levelmanager_button_morelevelsbase.png", "levelmanager_button_resetshadow.png",
     "levelmanager_button_morelevelsrollover.png"},
    {553, 428, "levelmanager_button_resetbase.png", "levelmanager_button_resetshadow.png",
     "levelmanager_button_resetrollover.png"},
    {553, 482, "levelmanager_button_mapbase.png", "levelmanager_button_resetshadow.png",
     "levelmanager_button_maprollover.png"},
    {553, 536, "levelmanager_button_mainmenubase.png", "levelmanager_button_resetshadow.png",
     "levelmanager_button_mainmenurollover.png"},
};

struct DetailLook {
    const char* debugName;
    const char* imageName;
    int boxW, boxH, align;
    int x, y;
    int fitW;  // the widest text that stays clear of the panel's rim
};

// The style the sprite's plain text frames are drawn in.
constexpr int kDetailTextId = 300;

// The values below the name stand in one column beside their labels, which
// the panel's picture paints ending a little left of them.
const DetailLook kDetails[CControllerManager::DETAIL_COUNT] = {
    {"Level Manager (MANAGER_LSPRITE_TEXT_NAME)", "lmanager_text_name.png", 300, 30, 2, 489, 39, 280},
    {"Level Manager (MANAGER_LSPRITE_TEXT_FILE)", "lmanager_text_file.png", 200, 30, 0, 570, 97, 192},
    {"Level Manager (MANAGER_LSPRITE_TEXT_DATE)", "lmanager_text_date.png", 200, 30, 0, 570, 124, 192},
    {"Level Manager (MANAGER_LSPRITE_TEXT_PLAYED)", "lmanager_text_played.png", 30, 30, 0, 570, 175, 30},
    {"Level Manager (MANAGER_LSPRITE_TEXT_COMPLETED)", "lmanager_text_completed.png", 30, 30, 0, 570, 202, 30},
};

// Text ids of the refusals: the list's short mark and the message body. A
// vanished file is never listed, so it has no mark.
constexpr int kRefusalMark[] = {0, 503, 504, 505, 506, 0};
constexpr int kRefusalBody[] = {0, 2330, 2331, 2350, 2351, 2356};
constexpr int kRefusedTitle = 2218;


std::string FormatTime(time_t t, const char* format) {
    struct tm local;
    char text[64] = {0};
    if (localtime_r(&t, &local)) strftime(text, sizeof text, format, &local);
    return text;
}

}  // namespace

void CControllerManager::SetGameScreenFactory(GameScreenFactory factory) { g_gameFactory = factory; }

CControllerManager::CControllerManager()
    : base(nullptr),
      panel(nullptr),
      level(nullptr),
      game(nullptr),
      message(nullptr),
      pendingAction(PENDING_NONE),
      spritesBuilt(0),
      sort(SORT_TITLE_UP),
      shownEntry(-1) {
    id = CONTROLLER_MANAGER;
    menuKeys.SetBack(CMenuKeys::Back::kCloses);
    CreateLists();
    FillLevelList();
    CreateSprites();
}

CControllerManager::~CControllerManager() {
    DebugLog(DBG_DEBUG, "CControllerManager:  Destroying CControllerManager...\n");
    ReleaseAll(message, game, level);
    UnloadSprites();
    menuKeys.SetList(nullptr);
    ReleaseAll(lists);
}

CGuiListbox* CControllerManager::GetList(int which) const {
    return which >= 0 && which < SORT_COUNT ? lists[which].get() : nullptr;
}

CSprite* CControllerManager::GetDetailSprite(int which) const {
    return which >= 0 && which < DETAIL_COUNT ? details[which].get() : nullptr;
}

int CControllerManager::GetMessageTitle() const { return message ? message->GetTitleId() : -1; }
int CControllerManager::GetMessageBody() const { return message ? message->GetBodyId() : -1; }

CGuiButton* CControllerManager::GetButton(int buttonId) const {
    return buttonId >= 0 && buttonId < BUTTON_COUNT ? buttons[buttonId].get() : nullptr;
}

// ---------------------------------------------------------------- the levels

int CControllerManager::CheckLevelFile(const std::string& fileName, CLevel* into) {
    CLevel scratch;
    CLevel* level = into ? into : &scratch;
    const std::string path = CLevel::PathFor(fileName.c_str());
    if (!level->Load(fileName.c_str())) {
        if (CLevel::IsFileMissing(fileName.c_str())) {
            DebugLog(DBG_WARNING, "CControllerManager:  Level file '%s' is no longer there\n", path.c_str());
            return LEVEL_MISSING;
        }
        DebugLog(DBG_WARNING, "CControllerManager:  Refusing level file '%s' (cannot be read)\n", path.c_str());
        return LEVEL_DAMAGED;
    }
    std::string why;
    const CLevelRules::Fault fault = CLevelRules::FindPlayFault(*level, &why);
    if (fault == CLevelRules::FAULT_NONE) return LEVEL_PLAYABLE;
    DebugLog(DBG_WARNING, "CControllerManager:  Refusing level file '%s' (%s)\n", path.c_str(), why.c_str());
    switch (fault) {
    case CLevelRules::FAULT_ENTRANCES: return LEVEL_ENTRANCES;
    case CLevelRules::FAULT_EXITS: return LEVEL_EXITS;
    default: return LEVEL_NO_ENTRANCE;
    }
}

void CControllerManager::AddLevelEntry(const std::string& fileName, const std::string& title, time_t time,
                                       int refusal) {
    LevelEntry e;
    e.fileName = fileName;
    e.title = title;
    e.time = time;
    e.dateKey = FormatTime(time, "%Y-%m-%d");
    e.dateText = FormatTime(time, "%B %d, %Y");
    e.refusal = refusal;
    entries.push_back(e);
}

void CControllerManager::CreateLists() {
    for (int s = 0; s < SORT_COUNT; ++s) {
        lists[s] = std::make_unique<CGuiListbox>(18, 68, LIST_FIRST + s, this, 409, 436, 22, 19,
                                                 "levelmanager_listbox.jpg", "levelmanager_selector.png", 2, 9, 5, 8);
        lists[s]->AddColumn(309);
        lists[s]->AddColumn(93);
        lists[s]->Hide();
    }
    menuKeys.SetList(lists[sort].get());
}

void CControllerManager::FillLevelList() {
    entries.clear();
    for (const std::string& name : CLevel::ListFileNames()) {
        CLevel level;
        const int refusal = CheckLevelFile(name, &level);
        if (refusal == LEVEL_MISSING) continue;
        if (refusal == LEVEL_PLAYABLE)
            DebugLog(DBG_DEBUG, "CControllerManager:  Listing level file '%s'\n", CLevel::PathFor(name.c_str()).c_str());
        // A level without a heading, or one that cannot be read, goes by its
        // file name.
        std::string title = refusal == LEVEL_DAMAGED ? std::string() : level.GetHeadingText();
        if (title.empty()) title = name;
        AddLevelEntry(name, title, CLevel::GetFileTime(name.c_str()), refusal);
    }

    std::vector<int> byDate(entries.size()), byTitle(entries.size());
    for (size_t i = 0; i < entries.size(); ++i) byDate[i] = byTitle[i] = static_cast<int>(i);
    // Both orders keep the order of arrival among equals.
    std::stable_sort(byDate.begin(), byDate.end(), [this](int a, int b) { return entries[a].time < entries[b].time; });
    std::vector<std::string> keys;
    for (const LevelEntry& e : entries) keys.push_back(ToUpper(e.title));
    std::stable_sort(byTitle.begin(), byTitle.end(), [&keys](int a, int b) { return keys[a] < keys[b]; });

    const std::vector<int> orders[SORT_COUNT] = {byDate, std::vector<int>(byDate.rbegin(), byDate.rend()), byTitle,
                                                 std::vector<int>(byTitle.rbegin(), byTitle.rend())};
    for (int s = 0; s < SORT_COUNT; ++s) {
        lists[s]->Clear();
        for (int i : orders[s]) {
            const LevelEntry& e = entries[static_cast<size_t>(i)];
            const std::string second =
                e.refusal == LEVEL_PLAYABLE ? e.dateKey : FontGetEntry(kRefusalMark[e.refusal]).text.Utf8();
            lists[s]->AddRow(i, {e.title, second});
        }
    }
}

// ---------------------------------------------------------------- sprites

void CControllerManager::CreateSprites() {
    if (spritesBuilt) return;
    const int backdrop = CDraw::CopyImage("mainmenu_background.jpg", kBaseImage, 0);
    CDraw::DrawImageOnto("mainmenu_smoke2.png", backdrop, 401, -29);
    CDraw::DrawImageOnto("mainmenu_volcanofront.png", backdrop, 421, 167);
    CDraw::DrawImageOnto("dimmer.png", backdrop, 0, 0);
    base = std::make_unique<CSprite>(LAYER_CL0, 0, false);
    base->SetName("Manager Controller (MANAGER_LSPRITE_DIMMER)");
    base->AddFrame(backdrop);
    base->SetPosition(0, 0, false);
    base->Show(kSpriteNotDrawn, kSpriteNotDrawn);

    panel = std::make_unique<CSprite>(LAYER_CL1, 0, false);
    panel->SetName("Profile Controller (MANAGER_LSPRITE_BACKGROUND)");
    panel->AddFrame("levelmanager_main.png");
    panel->SetPosition(5, 11, false);
    panel->Show(kSpriteNotDrawn, kSpriteNotDrawn);

    for (int i = 0; i < BUTTON_COUNT; ++i) {
        // Without a page of levels to open there is no More levels.
        if (i == BUTTON_MORE_LEVELS && !UseMoreLevels()) continue;
        const ButtonLook& b = kButtons[i];
        // Return with no button in focus plays the selected level.
        buttons[i] = std::make_unique<CGuiButton>(b.x, b.y, i, this, b.base, b.shadow, b.rollover, nullptr,
                                                  i == BUTTON_PLAY, 0, 0);
    }
    if (!g_gameFactory) buttons[BUTTON_PLAY]->Disable();

    for (int i = 0; i < DETAIL_COUNT; ++i) {
        details[i] = std::make_unique<CSprite>(LAYER_CL_TEXT, 0, false);
        details[i]->SetName(kDetails[i].debugName);
        details[i]->SetPosition(kDetails[i].x, kDetails[i].y, false);
    }
    spritesBuilt = 1;
    ShowWidgets();
    ShowLevelDetails(lists[sort]->GetRowCount() > 0 ? lists[sort]->GetSelectedRowId() : -1);
    HideMousePointer(kHideUntilNextUpdate);
}

void CControllerManager::UnloadSprites() {
    if (!spritesBuilt) return;
    ShowHourglass(true);
    ReleaseAll(base, panel, details, buttons);
    for (const auto& l : lists) l->Hide();
    CDraw::UnloadImage(kBaseImage);
    spritesBuilt = 0;
}

void CControllerManager::ShowWidgets() {
    // With no level listed, the buttons that act on the list are not shown.
    const bool listed = lists[sort]->GetRowCount() > 0;
    for (int i = 0; i < BUTTON_COUNT; ++i) {
        if (!buttons[i]) continue;
        if (listed || (i != BUTTON_UP && i != BUTTON_DOWN && i != BUTTON_PLAY && i != BUTTON_REMOVE))
            buttons[i]->Show();
        else
            buttons[i]->Hide();
    }
    lists[sort]->Show();
}

void CControllerManager::HideWidgets() {
    for (const auto& b : buttons)
        if (b) b->Hide();
    for (const auto& l : lists) l->Hide();
}

void CControllerManager::HideDetails() {
    shownEntry = -1;
    for (const auto& s : details)
        if (s) s->Hide();
}

void CControllerManager::ShowLevelDetails(int entry) {
    if (entry < 0 || entry >= static_cast<int>(entries.size()) || entries[static_cast<size_t>(entry)].removed) {
        HideDetails();
        return;
    }
    shownEntry = entry;
    if (!spritesBuilt) return;
    const LevelEntry& e = entries[static_cast<size_t>(entry)];
    LevelRecord record;
    if (CProfile* profile = GetProfile()) record = profile->GetLevelRecord(e.fileName);
    const std::string texts[DETAIL_COUNT] = {e.title, e.fileName, e.dateText, record.played ? "Yes" : "No",
                                             record.completed ? "Yes" : "No"};
    for (int i = 0; i < DETAIL_COUNT; ++i) {
        const DetailLook& d = kDetails[i];
        // A long title or file name ends in "..." before the panel's rim
        // instead of being cut mid-letter by its box.
        const std::string shown =
            FontFitTyped(FontFitRequest(kDetailTextId, FontFit::kCutEnd, texts[i].c_str(), d.fitW)).shown;
        details[i]->AddTextFrame(shown.c_str(), d.boxW, d.boxH, d.align, d.imageName, true);
        details[i]->Show(kSpriteNotDrawn, kSpriteNotDrawn);
    }
}

// ---------------------------------------------------------------- actions

void CControllerManager::SwitchSort(int newSort) {
    if (newSort == sort) return;
    ShowHourglass(true);
    CGuiListbox* from = lists[sort].get();
    from->Hide();
    const bool any = from->GetRowCount() > 0;
    const int rowId = from->GetSelectedRowId();
    sort = newSort;
    menuKeys.SetList(lists[sort].get());
    lists[sort]->Show();
    if (any) lists[sort]->SelectRowById(rowId);
    HideMousePointer(kHideUntilNextUpdate);
}

void CControllerManager::OpenMessage(int titleId, int bodyId, bool question, int pending, const char* bodyText,
                                     int advice) {
    HideMousePointer(kHideUntilNextUpdate);
    CRender::Render(true);
    CRender::Swap(true);
    HideWidgets();
    LogOpening("Message");
    pendingAction = pending;
    message = bodyText ? std::make_unique<CControllerMessage>(titleId, bodyId, question, bodyText, nullptr, advice)
                       : std::make_unique<CControllerMessage>(titleId, bodyId, question, 0);
    OpenChild(message.get());
}

void CControllerManager::PlayEntry(int entry) {
    if (entry < 0 || entry >= static_cast<int>(entries.size()) || entries[static_cast<size_t>(entry)].removed) return;
    LevelEntry& e = entries[static_cast<size_t>(entry)];
    // The file is read again: it may have changed since it was listed.
    auto candidate = std::make_unique<CLevel>();
    e.refusal = CheckLevelFile(e.fileName, candidate.get());
    if (e.refusal != LEVEL_PLAYABLE) {
        if (e.refusal == LEVEL_MISSING) DropEntry(entry);
        OpenMessage(kRefusedTitle, kRefusalBody[e.refusal], false, PENDING_NONE);
        return;
    }
    std::unique_ptr<CController> screen = g_gameFactory ? g_gameFactory(candidate.get()) : nullptr;
    if (!screen) {
        DebugLog(DBG_DEBUG, "CControllerManager:  No play screen to open for '%s'\n", e.fileName.c_str());
        return;
    }
    level = std::move(candidate);
    game = std::move(screen);
    HideMousePointer(kHideUntilNextUpdate);
    UnloadSprites();
    LogOpening("Game");
    OpenChild(game.get());
}

void CControllerManager::RemoveSelected() {
    CGuiListbox* list = lists[sort].get();
    if (list->GetRowCount() == 0) return;
    const int entry = list->GetSelectedRowId();
    const std::string& name = entries[static_cast<size_t>(entry)].fileName;
    int error = 0;
    if (!CLevel::Remove(name.c_str(), &error)) {
        // Which file, and why (a folder that may not be written, say), and
        // what helps.
        const std::string why = AwayFileText(CLevel::PathFor(name.c_str()), strerror(error));
        OpenMessage(2219, 2332, false, PENDING_NONE, why.c_str(), AdviceFor(error));
        return;
    }
    DropEntry(entry);
}

void CControllerManager::DropEntry(int entry) {
    entries[static_cast<size_t>(entry)].removed = true;
    for (const auto& l : lists) l->DeleteRowById(entry);
    // Painted at once: a message box opened next shows the list without it.
    CGuiListbox* list = lists[sort].get();
    list->Refresh();
    if (list->GetRowCount() > 0)
        ShowLevelDetails(list->GetSelectedRowId());
    else
        HideDetails();
    if (!message) ShowWidgets();
}

void CControllerManager::GUICallback(int index, int reported, bool dclick) {
    if (message || game) return;
    switch (index) {
    case BUTTON_UP: CListKeys::Move(lists[sort].get(), false, false, false, false); break;
    case BUTTON_DOWN: CListKeys::Move(lists[sort].get(), true, false, false, false); break;
    case BUTTON_SORT_TITLE: SwitchSort(sort == SORT_TITLE_UP ? SORT_TITLE_DOWN : SORT_TITLE_UP); break;
    case BUTTON_SORT_DATE: SwitchSort(sort == SORT_DATE_DOWN ? SORT_DATE_UP : SORT_DATE_DOWN); break;
    case BUTTON_PLAY:
        if (lists[sort]->GetRowCount() > 0) PlayEntry(lists[sort]->GetSelectedRowId());
        break;
    case BUTTON_REMOVE:
        if (lists[sort]->GetRowCount() > 0) OpenMessage(2205, 2334, true, PENDING_REMOVE);
        break;
    case BUTTON_MORE_LEVELS: OpenMessage(2204, 2308, true, PENDING_MORE_LEVELS); break;
    case BUTTON_RESET: OpenMessage(2206, 2333, true, PENDING_RESET); break;
    case BUTTON_MAP:
        value = kAnswerMap;  // the answer the main menu reads
        result = kCloseBack;
        break;
    case BUTTON_MAIN_MENU: result = kCloseBack; break;
    default:
        if (index >= LIST_FIRST && index < LIST_FIRST + SORT_COUNT) {
            if (dclick)
                PlayEntry(reported);
            else
                ShowLevelDetails(reported);
        }
        break;
    }
}

void CControllerManager::InputKey(bool released, int key) {
    InputMenuKey(released, key);
    if (!released && key == SDLK_p && lists[sort]->GetRowCount() > 0) GUICallback(BUTTON_PLAY, 0, false);
}

void CControllerManager::InputMouseMove(int x, int y) {
    mouseX = x;
    mouseY = y;
    UpdateMousePointer();
}

void CControllerManager::InputMouseClick(bool released, bool left, bool, bool wheelUp, bool wheelDown) {
    if (left && !released && CGuiButtonBase::GetFocusIndex() == -1) PlayInterfaceSound(GetSoundClickScreen());
    if (message || game) return;
    if (wheelUp) CListKeys::Move(lists[sort].get(), false, false, false, false);
    if (wheelDown) CListKeys::Move(lists[sort].get(), true, false, false, false);
}

void CControllerManager::ReturnFromMessage() {
    const bool confirmed = message->IsConfirmed();
    const int pending = pendingAction;
    message.reset();
    pendingAction = PENDING_NONE;
    if (!confirmed) return;
    switch (pending) {
    case PENDING_RESET:
        if (CProfile* profile = GetProfile()) profile->ClearLevelRecords();
        if (lists[sort]->GetRowCount() > 0) ShowLevelDetails(lists[sort]->GetSelectedRowId());
        break;
    case PENDING_REMOVE: RemoveSelected(); break;
    case PENDING_MORE_LEVELS:
        // The game ends only when the page could really be opened.
        if (PlatformOpenURL(kMoreLevelsURL))
            result = kCloseToBrowser;
        else
            ErrorLog(false, "CControllerManager:  Cannot open '%s'\n", kMoreLevelsURL);
        break;
    default: break;
    }
}

void CControllerManager::Pump() {
    if (GetPreviousId() == CONTROLLER_MANAGER) {
        PollInput();
        if (active) CGuiButtonBase::UpdateAll();
        return;
    }
    // A child has just closed, or the screen has just become current.
    if (CRender::IsSwapped()) {
        CRender::Swap(true);
        ShowWidgets();
    }
    if (message && GetPreviousId() == CONTROLLER_MESSAGE) ReturnFromMessage();
    if (game && GetPreviousId() == CONTROLLER_GAME) {
        ReleaseAll(game, level);
    }
    // What the player just did may have saved the profile.
    if (CController::GetCurrent() == this && result == 0 && TakeSaveFailureNotice()) {
        const ProgressMessage why = SaveFailureMessage(GetProfile()->GetSaveFailure());
        OpenMessage(why.title, why.body, false, PENDING_NONE, why.text.c_str(), why.advice);
    }
    if (CController::GetCurrent() != this) return;
    if (!spritesBuilt && result == 0) CreateSprites();
    HideMousePointer(kHideUntilNextUpdate);
    SetPreviousId(CONTROLLER_MANAGER);
}
