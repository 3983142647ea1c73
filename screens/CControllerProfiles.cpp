#include "screens/CControllerProfiles.h"

#include <SDL.h>

#include <algorithm>
#include <string>
#include <vector>

#include "engine/CDraw.h"
#include "engine/CMouse.h"
#include "engine/CRender.h"
#include "engine/CSprite.h"
#include "engine/Log.h"
#include "engine/Utilities.h"
#include "gui/CControllerMessage.h"
#include "gui/CGuiButton.h"
#include "gui/CGuiListbox.h"
#include "gui/GuiSprites.h"
#include "gui/GuiText.h"
#include "gui/SaveFailureNotice.h"
#include "players/CProfile.h"
#include "screens/CControllerProfileName.h"

namespace {

const char* const kPanelImage = "profile_select_main.png";
const char* const kRule = "=============================================\n";

struct ButtonLook {
    int x, y;
    const char* base;
    const char* shadow;
    const char* rollover;
};

// The list's field (from x 302) and its arrows (to x 497) stand together
// centred on the panel's parchment, which runs from x 288 to 511; the
// buttons under them are centred on the panel's middle, x 400, as its title.
const ButtonLook kButtons[CControllerProfiles::BUTTON_COUNT] = {
    {473, 161, "profile_button_upbase.png", "profile_button_upshadow.png", "profile_button_uprollover.png"},
    {473, 205, "profile_button_downbase.png", "profile_button_downshadow.png", "profile_button_downrollover.png"},
    {320, 262, "profile_button_selectbase.png", "profile_button_selectshadow.png",
     "profile_button_selectrollover.png"},
    {402, 262, "profile_button_deletebase.png", "profile_button_deleteshadow.png",
     "profile_button_deleterollover.png"},
    {320, 297, "profile_button_renamebase.png", "profile_button_renameshadow.png",
     "profile_button_renamerollover.png"},
    {320, 332, "profile_button_addbase.png", "profile_button_addshadow.png", "profile_button_addrollover.png"},
};


}  // namespace

CControllerProfiles::CControllerProfiles()
    : dimmer(nullptr),
      background(nullptr),
      list(nullptr),
      selectedNumber(0),
      pendingAction(PENDING_NONE),
      renameMode(0),
      closeAfterNotice(0),
      nameDialog(nullptr),
      message(nullptr),
      spritesBuilt(0) {
    id = CONTROLLER_PROFILES;
    CreateSprites();
}

CControllerProfiles::~CControllerProfiles() {
    DebugLog(DBG_DESTRUCT, "CControllerProfiles:  Destroying CControllerProfiles...\n");
    ReleaseAll(message, nameDialog);
    UnloadSprites();
}

CGuiButton* CControllerProfiles::GetButton(int buttonId) const {
    return buttonId >= 0 && buttonId < BUTTON_COUNT ? buttons[buttonId].get() : nullptr;
}

void CControllerProfiles::CreateSprites() {
    if (spritesBuilt) return;
    const int panel = CDraw::GetImage(kPanelImage);
    BlitString(3000, panel, CDraw::GetWidth(panel) - 40, 60, 2, 20, 10);

    dimmer = std::make_unique<CSprite>(LAYER_CL0, 0, false);
    dimmer->SetName("Profile Controller (PROFILES_LSPRITE_DIMMER)");
    dimmer->AddFrame("dimmer.png");
    dimmer->SetPosition(0, 0, false);
    dimmer->Show(kSpriteNotDrawn, kSpriteNotDrawn);

    background = std::make_unique<CSprite>(LAYER_CL1, 0, false);
    background->SetName("Profile Controller (PROFILES_LSPRITE_BACKGROUND)");
    background->AddFrame(kPanelImage);
    background->SetPosition(282, 100, false);
    background->Show(kSpriteNotDrawn, kSpriteNotDrawn);

    for (int i = 0; i < BUTTON_COUNT; ++i) {
        const ButtonLook& b = kButtons[i];
        buttons[i] = std::make_unique<CGuiButton>(b.x, b.y, i, this, b.base, b.shadow, b.rollover, nullptr,
                                                  i == BUTTON_SELECT, 0, 0);
    }
    spritesBuilt = 1;
    BuildList();
    HideMousePointer(kHideUntilNextUpdate);
}

void CControllerProfiles::UnloadSprites() {
    if (!spritesBuilt) return;
    ShowHourglass(true);
    ReleaseAll(dimmer, background, buttons, list);
    menuKeys.SetList(nullptr);
    CDraw::UnloadImage(kPanelImage);
    spritesBuilt = 0;
}

void CControllerProfiles::BuildList() {
    CProfile* profile = GetProfile();
    list.reset();
    // The highlight's edge lies 5 pixels into the list; the names start 4
    // pixels inside it and end as far inside its other end, as in the other
    // lists, instead of touching its outline.
    list = std::make_unique<CGuiListbox>(299, 157, LIST_PROFILES, this, 161, 93, 4, 21, "profile_select_listbox.png",
                                         "profile_select_selector.png", 0, 5, 5, 5);
    list->AddColumn(154);
    menuKeys.SetList(list.get());
    if (!profile) return;
    struct Entry {
        std::string key;
        std::string name;
        int number;
    };
    std::vector<Entry> entries;
    for (int i = 0; i < profile->GetProfileCount(); ++i) {
        const char* name = profile->GetProfileNameAt(i);
        if (!name) break;
        entries.push_back({ToUpper(name), name, profile->GetProfileNumber(name)});
    }
    // By name regardless of case; equal names in the order they were made.
    std::stable_sort(entries.begin(), entries.end(), [](const Entry& a, const Entry& b) {
        return a.key != b.key ? a.key < b.key : a.number < b.number;
    });
    for (const Entry& e : entries) list->AddRow(e.number, {e.name});
    list->SelectRowById(profile->GetCurrentProfile());
    list->Refresh();
}

void CControllerProfiles::ClearForChild(const char* name) {
    HideMousePointer(kHideUntilNextUpdate);
    if (spritesBuilt) {
        dimmer->Hide();
        CRender::Render(true);
        UnloadSprites();
    }
    LogOpening(name);
}

void CControllerProfiles::OpenMessage(int titleId, int bodyId, bool question, int pending, const char* bodyText,
                                      const char* bodyText2, int advice) {
    ClearForChild("Message");
    pendingAction = pending;
    closeAfterNotice = 0;
    message =
        std::make_unique<CControllerMessage>(titleId, bodyId, question, bodyText ? bodyText : "", bodyText2, advice);
    OpenChild(message.get());
}

void CControllerProfiles::OpenNameDialog(bool rename) {
    renameMode = rename ? 1 : 0;
    ClearForChild("Profile Name");
    nameDialog = std::make_unique<CControllerProfileName>();
    OpenChild(nameDialog.get());
}

bool CControllerProfiles::IsNameTaken(const std::string& name) const {
    const CProfile* profile = GetProfile();
    for (int i = 0; profile && i < profile->GetProfileCount(); ++i) {
        const char* taken = profile->GetProfileNameAt(i);
        if (taken && name == taken) return true;
    }
    return false;
}

void CControllerProfiles::TellSwitchRefused(bool loading) {
    const CProfile* profile = GetProfile();
    if (!profile) return;
    // A player whose file cannot be reached now was not loaded; else the
    // current one could not be saved first.
    ProgressMessage m;
    if (loading && profile->GetLoadRefusal() == LoadRefusal::UNREACHABLE) {
        m = UnreachableMessage(profile->GetUnreachable());
    } else {
        TakeSaveFailureNotice();  // told here, with the reason
        m = SwitchRefusedMessage(profile->GetSaveFailure(), profile->GetProfileName(profile->GetCurrentProfile()));
    }
    OpenMessage(m.title, m.body, false, PENDING_SAVE_NOTICE, m.text.c_str(), m.text2.c_str(), m.advice);
}

bool CControllerProfiles::ShowSaveNotice(bool closeAfter) {
    if (!TakeSaveFailureNotice()) return false;
    const ProgressMessage why = SaveFailureMessage(GetProfile()->GetSaveFailure());
    OpenMessage(why.title, why.body, false, PENDING_SAVE_NOTICE, why.text.c_str(), nullptr, why.advice);
    closeAfterNotice = closeAfter ? 1 : 0;
    return true;
}

void CControllerProfiles::ChooseProfile(int number) {
    CProfile* profile = GetProfile();
    if (!profile) {
        result = kCloseBack;
        return;
    }
    // Choosing the current player keeps what it has in memory: reading its
    // file again would drop progress that is still waiting to be saved.
    if (number != profile->GetCurrentProfile()) {
        const std::string name = profile->GetProfileName(number);
        // The choice is written at once, so it holds even when the game
        // does not get to close normally.
        profile->LoadProfile(name.c_str());
        if (profile->GetCurrentProfile() == number) profile->WriteInfo();
    }
    if (profile->GetCurrentProfile() != number) {
        TellSwitchRefused(true);
        return;
    }
    if (!ShowSaveNotice(true)) result = kCloseBack;
}

void CControllerProfiles::GUICallback(int index, int reported, bool dclick) {
    if (message || nameDialog) return;
    switch (index) {
    case BUTTON_UP:
        if (list) list->MoveSelectionUp(false, false);
        break;
    case BUTTON_DOWN:
        if (list) list->MoveSelectionDown(false, false);
        break;
    case BUTTON_SELECT:
        if (list && list->GetRowCount() > 0) ChooseProfile(list->GetSelectedRowId());
        break;
    case BUTTON_DELETE: {
        // The list is out of sight while the question is open: it names the
        // player about to go.
        const CProfile* profile = GetProfile();
        const char* name = profile ? profile->GetProfileName(selectedNumber) : "";
        OpenMessage(2212, 2319, true, PENDING_DELETE, name);
        break;
    }
    case BUTTON_RENAME: OpenNameDialog(true); break;
    case BUTTON_ADD: OpenNameDialog(false); break;
    case LIST_PROFILES:
        if (dclick)
            ChooseProfile(reported);
        else
            selectedNumber = reported;
        break;
    default: break;
    }
}

void CControllerProfiles::InputKey(bool released, int key) { InputMenuKey(released, key); }

void CControllerProfiles::InputMouseMove(int x, int y) {
    mouseX = x;
    mouseY = y;
    UpdateMousePointer();
}

void CControllerProfiles::InputMouseClick(bool released, bool left, bool, bool wheelUp, bool wheelDown) {
    if (left && !released && CGuiButtonBase::GetFocusIndex() == -1) PlayInterfaceSound(GetSoundClickScreen());
    if (!list) return;
    if (wheelUp) list->MoveSelectionUp(false, false);
    if (wheelDown) list->MoveSelectionDown(false, false);
}

void CControllerProfiles::ReturnFromMessage() {
    const bool confirmed = message->IsConfirmed();
    const int pending = pendingAction;
    message.reset();
    pendingAction = PENDING_NONE;
    if (pending == PENDING_DELETE && confirmed) {
        CProfile* profile = GetProfile();
        if (profile) {
            const std::string name = profile->GetProfileName(selectedNumber);
            profile->DeleteProfile(name.c_str());
        }
        ShowSaveNotice(false);
    } else if (pending == PENDING_SAVE_NOTICE && closeAfterNotice) {
        closeAfterNotice = 0;
        result = kCloseBack;
    }
}

void CControllerProfiles::ReturnFromNameDialog() {
    const char* typed = nameDialog->GetText();
    const std::string name = typed ? typed : "";
    nameDialog.reset();
    CProfile* profile = GetProfile();
    if (name.empty() || !profile) return;  // cancelled
    const std::string old = profile->GetProfileName(selectedNumber);
    // Renaming a player to the name it has changes nothing.
    if (renameMode && name == old) return;
    if (IsNameTaken(name)) {
        OpenMessage(2211, 2318, false, PENDING_NAME_TAKEN);
        return;
    }
    if (renameMode) {
        profile->RenameProfile(old.c_str(), name.c_str());
    } else if (!profile->CreateProfile(name.c_str()) && !IsNameTaken(name)) {
        // Not made at all: the current player could not be saved first. (A
        // player made whose list could not be written is told below.)
        TellSwitchRefused(false);
        return;
    }
    ShowSaveNotice(false);
}

void CControllerProfiles::Pump() {
    if (GetPreviousId() == CONTROLLER_PROFILES) {
        PollInput();
        if (active) CGuiButtonBase::UpdateAll();
        return;
    }
    // A child has just closed, or the screen has just become current.
    if (message && GetPreviousId() == CONTROLLER_MESSAGE) ReturnFromMessage();
    if (nameDialog && GetPreviousId() == CONTROLLER_TEXT_ENTRY) ReturnFromNameDialog();
    // A child opened on the way (a notice, the name-taken message) keeps the
    // screen waiting for it.
    if (CController::GetCurrent() != this) return;
    if (!spritesBuilt && result == 0) CreateSprites();
    HideMousePointer(kHideUntilNextUpdate);
    SetPreviousId(CONTROLLER_PROFILES);
}
