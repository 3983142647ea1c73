#include "screens/CControllerOptions.h"

#include "engine/CDraw.h"
#include "engine/CMouse.h"
#include "engine/CRender.h"
#include "engine/CSprite.h"
#include "engine/Log.h"
#include "gui/CGuiButton.h"
#include "gui/CGuiCheckbox.h"
#include "gui/CGuiSlider.h"
#include "gui/GuiSprites.h"
#include "gui/GuiText.h"
#include "players/CProfile.h"
#include "screens/CControllerOptionsControls.h"
#include "screens/CControllerOptionsPassword.h"
#include "sound/CSound.h"
#include "sound/CSoundObject.h"

namespace {

const char* const kPageName = "baseOptionsController.png";

const float kMouseSpeedTable[CControllerOptions::kMouseSpeeds] = {0.15f, 0.4f, 0.6f, 0.8f, 0.9f, 1.0f,
                                                                   1.1f,  1.2f, 1.4f, 1.7f, 2.0f, 3.0f};

// One row per slider: its y; the minus button stands left of it, the plus
// button right, both two pixels lower. The rows are a form, captions ending
// left of the controls, centred on the page as a whole: from the widest
// caption to the plus buttons.
const int kSliderY[CControllerOptions::SLIDER_COUNT] = {125, 150, 175, 225};
const int kSliderX = 441;
const int kMinusX = 423;
const int kPlusX = 556;
// The right edge of the slider captions, and the left edge of the captions
// of the check boxes below the form, on the page (which lies at 57, 23).
const int kSliderCaptionRight = 351;
const int kBoxCaptionX = 233;

struct CheckboxPlace {
    int id, x, y;
};
const CheckboxPlace kCheckboxPlaces[CControllerOptions::kCheckboxes] = {
    {CControllerOptions::CHECK_SYSTEM_POINTER, 419, 248}, {CControllerOptions::CHECK_FULLSCREEN, 488, 298},
    {CControllerOptions::CHECK_STORY, 488, 323},          {CControllerOptions::CHECK_STEP_COUNTER, 488, 348},
    {CControllerOptions::CHECK_TUTORIALS, 488, 373},
};

struct BottomButton {
    int id, y;
    const char* text;
};
// Top to bottom, which is also the order of keyboard focus.
const BottomButton kBottomPlaces[CControllerOptions::kBottomButtons] = {
    {CControllerOptions::BUTTON_DEFAULTS, 415, "p2d_button_defaulttext.png"},
    {CControllerOptions::BUTTON_CONTROLS, 445, "p2d_button_controlstext.png"},
    {CControllerOptions::BUTTON_PASSWORD, 475, "p2d_button_passwordtext.png"},
    {CControllerOptions::BUTTON_BACK, 505, "p2d_button_backmenutext.png"},
};

// Captions painted on the page, in page coordinates (the page lies at 57, 23);
// the title is centred on the whole page.
void PaintCaptions(int page) {
    BlitString(2400, page, CDraw::GetWidth(page), 40, 2, 0, 35);
    const int sliderCaptionY[5] = {100, 125, 150, 200, 225};
    for (int i = 0; i < 5; ++i)
        BlitString(2401 + i, page, 305, 26, 1, kSliderCaptionRight - 305, sliderCaptionY[i]);
    const int boxCaptions[4] = {2406, 2409, 2408, 2407};
    for (int i = 0; i < 4; ++i) BlitString(boxCaptions[i], page, 200, 26, 0, kBoxCaptionX, 275 + 25 * i);
}

}  // namespace

int CControllerOptions::MouseSpeedIndex(float speed) {
    for (int i = 0; i < kMouseSpeeds; ++i)
        if (kMouseSpeedTable[i] == speed) return i;
    return 0;
}

float CControllerOptions::MouseSpeedAt(int index) {
    if (index < 0) index = 0;
    if (index >= kMouseSpeeds) index = kMouseSpeeds - 1;
    return kMouseSpeedTable[index];
}

CControllerOptions::CControllerOptions()
    : dimmer(nullptr), background(nullptr), sample(nullptr), built(0), controls(nullptr) {
    id = CONTROLLER_OPTIONS;
    CreateSprites();
}

CControllerOptions::~CControllerOptions() {
    DebugLog(DBG_DESTRUCT, "CControllerOptions:  Destroying CControllerOptions...\n");
    ReleaseAll(controls, passwordDialog);
    UnloadSprites();
}

void CControllerOptions::CreateSprites() {
    if (built) return;
    const int page = CopyPage(kPageName);
    PaintCaptions(page);
    dimmer = MakeDimmer(LAYER_CL0, "Options Controller (OPTIONS_LSPRITE_DIMMER)");
    background = MakePageSprite(page, LAYER_CL1, "Options Controller (OPTIONS_LSPRITE_BACKGROUND)");

    for (int slot = 0; slot < SLIDER_COUNT; ++slot) {
        const int y = kSliderY[slot];
        sliders[slot] = std::make_unique<CGuiSlider>(kSliderX, y);
        sliderButtons[2 * slot] = std::make_unique<CGuiButton>(
            kMinusX, y + 2, 2 * slot, this, "slider_button_minusbase.png", "slider_button_minusshadow.png",
            "slider_button_minusrollover.png", nullptr, false, 1, 1);
        sliderButtons[2 * slot + 1] = std::make_unique<CGuiButton>(
            kPlusX, y + 2, 2 * slot + 1, this, "slider_button_plusbase.png", "slider_button_plusshadow.png",
            "slider_button_plusrollover.png", nullptr, false, 1, 1);
    }
    for (int i = 0; i < kCheckboxes; ++i)
        checkboxes[i] =
            std::make_unique<CGuiCheckbox>(kCheckboxPlaces[i].x, kCheckboxPlaces[i].y, kCheckboxPlaces[i].id, this);
    // Return with nothing in focus goes back, keeping the options.
    for (const BottomButton& b : kBottomPlaces)
        bottomButtons[b.id - BUTTON_PASSWORD] =
            MakeParchmentButton(kFootButtonX, b.y, b.id, b.text, b.id == BUTTON_BACK);

    Refresh();
    sample = std::make_unique<CSoundObject>("trampoline_rebound.ogg", false);
    HideMousePointer(kHideUntilNextUpdate);
    built = 1;
}

void CControllerOptions::UnloadSprites() {
    if (!built) return;
    ReleaseAll(dimmer, background, sliderButtons, bottomButtons, checkboxes, sliders);
    CDraw::UnloadImage(kPageName);
    sample.reset();
    built = 0;
}

void CControllerOptions::Refresh() {
    CProfile* p = GetProfile();
    if (!p) return;
    sliders[SLIDER_SPEED]->SetValue(p->GetGameSpeed());
    sliders[SLIDER_EFFECTS]->SetValue(p->GetSoundVolume());
    sliders[SLIDER_MUSIC]->SetValue(p->GetMusicVolume());
    sliders[SLIDER_MOUSE]->SetValue(MouseSpeedIndex(p->GetMouseSpeed()));
    SetMouseSpeedEnabled(p->GetSystemPointer() == 0);
    const uint8_t states[kCheckboxes] = {p->GetSystemPointer(), p->IsFullscreen(), p->IsStoryEnabled(),
                                         p->IsStepCounterEnabled(), p->IsTutorialLevelsEnabled()};
    for (int i = 0; i < kCheckboxes; ++i) checkboxes[i]->SetChecked(states[i] != 0);
}

// The mouse speed only matters while the game moves the pointer itself.
void CControllerOptions::SetMouseSpeedEnabled(bool on) {
    sliders[SLIDER_MOUSE]->SetDisabled(!on);
    for (int id : {BUTTON_MOUSE_DOWN, BUTTON_MOUSE_UP}) {
        if (on)
            sliderButtons[id]->Enable();
        else
            sliderButtons[id]->Disable();
    }
}

void CControllerOptions::GUICallback(int index, int value, bool) {
    CProfile* p = GetProfile();
    if (!p || !built) return;
    if (index >= BUTTON_SPEED_DOWN && index <= BUTTON_MOUSE_UP) {
        CGuiSlider* slider = sliders[index / 2].get();
        if (index % 2)
            slider->Increase();
        else
            slider->Decrease();
        const int v = slider->GetValue();
        switch (index / 2) {
        case SLIDER_SPEED: p->SetGameSpeed(v); break;
        case SLIDER_EFFECTS:
            p->SetSoundVolume(v);
            CSound::Play(sample.get(), false, 0, 0.0f);
            break;
        case SLIDER_MUSIC: p->SetMusicVolume(v); break;
        default: p->SetMouseSpeed(MouseSpeedAt(v)); break;
        }
        return;
    }
    const uint8_t on = value != 0 ? 1 : 0;
    switch (index) {
    case CHECK_SYSTEM_POINTER:
        p->SetSystemPointer(on);
        SetMouseSpeedEnabled(!on);
        break;
    case CHECK_FULLSCREEN: p->SetFullscreen(on); break;
    case CHECK_STORY: p->SetStoryEnabled(on); break;
    case CHECK_STEP_COUNTER: p->SetStepCounterEnabled(on); break;
    case CHECK_TUTORIALS: p->SetTutorialLevelsEnabled(on); break;
    case BUTTON_CONTROLS: OpenControls(); break;
    case BUTTON_PASSWORD: OpenPassword(); break;
    case BUTTON_BACK:
        p->Save();
        result = kCloseBack;
        break;
    case BUTTON_DEFAULTS:
        p->ResetOptions();
        Refresh();
        break;
    default: break;
    }
}

void CControllerOptions::OpenControls() {
    if (controls || passwordDialog) return;
    controls = std::make_unique<CControllerOptionsControls>();
    OpenChildScreen(controls.get());
}

void CControllerOptions::OpenPassword() {
    if (controls || passwordDialog) return;
    CProfile* p = GetProfile();
    passwordDialog = std::make_unique<CControllerOptionsPassword>(p ? p->GetPassword() : "");
    OpenChildScreen(passwordDialog.get());
}

void CControllerOptions::OpenChildScreen(CController* child) {
    if (dimmer) dimmer->Hide();
    HideMousePointer(kHideUntilNextUpdate);
    CRender::Render(true);
    UnloadSprites();
    DebugLog(DBG_DEBUG, "=============================================\n");
    DebugLog(DBG_DEBUG, "Loading Controller:  Options Controls\n");
    DebugLog(DBG_DEBUG, "=============================================\n");
    OpenChild(child);
}

// Escape leaves like the back button: the profile file is written first.
void CControllerOptions::InputKey(bool released, int key) {
    if (!released && key == KEY_ESCAPE)
        if (CProfile* p = GetProfile()) p->Save();
    CControllerPage::InputKey(released, key);
}

void CControllerOptions::Pump() {
    if (GetPreviousId() == CONTROLLER_OPTIONS) {
        CControllerPage::Pump();
        // Alt+Enter switches the display behind the screen's back: the box
        // follows it.
        CProfile* p = GetProfile();
        CGuiCheckbox* full = built ? checkboxes[CHECK_FULLSCREEN - CHECK_SYSTEM_POINTER].get() : nullptr;
        if (p && full && full->IsChecked() != (p->IsFullscreen() != 0)) full->SetChecked(p->IsFullscreen() != 0);
        return;
    }
    // A child has just closed, or this screen has just become current.
    if (GetPreviousId() == CONTROLLER_CONTROLS && controls) {
        controls.reset();
    }
    if (GetPreviousId() == CONTROLLER_OPTIONS_PASSWORD && passwordDialog) {
        passwordDialog.reset();
    }
    // Rebuilding refreshes the widgets, so changes made in the child show.
    if (!built && result == 0) CreateSprites();
    HideMousePointer(kHideUntilNextUpdate);
    SetPreviousId(CONTROLLER_OPTIONS);
}

CGuiSlider* CControllerOptions::GetSlider(int slot) const {
    return slot >= 0 && slot < SLIDER_COUNT ? sliders[slot].get() : nullptr;
}

CGuiCheckbox* CControllerOptions::GetCheckbox(int widgetId) const {
    const int i = widgetId - CHECK_SYSTEM_POINTER;
    return i >= 0 && i < kCheckboxes ? checkboxes[i].get() : nullptr;
}

CGuiButton* CControllerOptions::GetButton(int widgetId) const {
    if (widgetId >= BUTTON_SPEED_DOWN && widgetId <= BUTTON_MOUSE_UP) return sliderButtons[widgetId].get();
    const int i = widgetId - BUTTON_PASSWORD;
    return i >= 0 && i < kBottomButtons ? bottomButtons[i].get() : nullptr;
}
