// The settings of the current profile: game speed, effects and music
// volume, mouse speed, the pointer mode, full screen and the three play
// flags, with buttons to restore the defaults, to open the key bindings and
// to go back. Every change acts on the profile at once; the profile file is
// written when the screen is left (back button or Escape).
#pragma once

#include <cstdint>
#include <memory>

#include "screens/CControllerPage.h"

class CSprite;
class CGuiButton;
class CGuiCheckbox;
class CGuiSlider;
class CSoundObject;
class CControllerOptionsControls;
class CControllerOptionsPassword;

class CControllerOptions : public CControllerPage {
public:
    enum WidgetId {
        BUTTON_SPEED_DOWN = 0,
        BUTTON_SPEED_UP = 1,
        BUTTON_EFFECTS_DOWN = 2,
        BUTTON_EFFECTS_UP = 3,
        BUTTON_MUSIC_DOWN = 4,
        BUTTON_MUSIC_UP = 5,
        BUTTON_MOUSE_DOWN = 6,
        BUTTON_MOUSE_UP = 7,
        CHECK_SYSTEM_POINTER = 20,
        CHECK_FULLSCREEN = 21,
        CHECK_STORY = 22,
        CHECK_STEP_COUNTER = 23,
        CHECK_TUTORIALS = 24,
        BUTTON_PASSWORD = 100,
        BUTTON_CONTROLS = 101,
        BUTTON_BACK = 102,
        BUTTON_DEFAULTS = 103,
    };
    enum SliderSlot { SLIDER_SPEED, SLIDER_EFFECTS, SLIDER_MUSIC, SLIDER_MOUSE, SLIDER_COUNT };
    static constexpr int kSliderButtons = 8;
    static constexpr int kCheckboxes = 5;
    static constexpr int kBottomButtons = 4;
    static constexpr int kMouseSpeeds = 12;

    CControllerOptions();
    ~CControllerOptions() override;

    void GUICallback(int index, int value, bool dclick) override;
    void InputKey(bool released, int key) override;
    void Pump() override;

    // The mouse-speed slider position of a factor: the entry equal to it, 0
    // when none is.
    static int MouseSpeedIndex(float speed);
    static float MouseSpeedAt(int index);

    // Inspection (tests).
    bool IsBuilt() const { return built != 0; }
    CGuiSlider* GetSlider(int slot) const;
    CGuiCheckbox* GetCheckbox(int widgetId) const;
    CGuiButton* GetButton(int widgetId) const;
    CSoundObject* GetSample() const { return sample.get(); }
    CControllerOptionsControls* GetControls() const { return controls.get(); }

private:
    void CreateSprites();
    void UnloadSprites();
    void Refresh();
    void SetMouseSpeedEnabled(bool on);
    void OpenControls();
    void OpenPassword();
    // Opens a child over this screen, which lets go of its sprites meanwhile.
    void OpenChildScreen(CController* child);

    std::unique_ptr<CSprite> dimmer;
    std::unique_ptr<CSprite> background;
    std::unique_ptr<CGuiButton> sliderButtons[kSliderButtons];
    std::unique_ptr<CGuiButton> bottomButtons[kBottomButtons];
    std::unique_ptr<CGuiCheckbox> checkboxes[kCheckboxes];
    std::unique_ptr<CGuiSlider> sliders[SLIDER_COUNT];
    std::unique_ptr<CSoundObject> sample;
    uint8_t built;
    std::unique_ptr<CControllerOptionsControls> controls;
    std::unique_ptr<CControllerOptionsPassword> passwordDialog;
};
