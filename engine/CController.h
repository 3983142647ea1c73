// The base class of every screen and the stack of screens: exactly one screen
// is current; a screen opens a child over itself, and when the child's result
// becomes non-zero it closes and its parent is current again.
#pragma once

#include <cstdint>

#include "gui/CMenuKeys.h"

class CProfile;
class CSoundObject;

// The ids the screens set in their constructors.
enum ControllerId {
    CONTROLLER_NONE = 0,
    CONTROLLER_INTRO = 2,
    CONTROLLER_MAIN = 3,
    CONTROLLER_GAME = 5,
    CONTROLLER_EDITOR = 6,
    CONTROLLER_EDITOR_PALETTE = 7,
    CONTROLLER_EDITOR_LOAD = 8,
    CONTROLLER_EDITOR_SAVE = 9,
    CONTROLLER_MESSAGE = 10,
    CONTROLLER_EDITOR_HELP = 11,
    CONTROLLER_MAP = 13,
    CONTROLLER_STORY = 14,
    CONTROLLER_INSTRUCTIONS = 15,
    CONTROLLER_CREDITS = 16,
    CONTROLLER_PROFILES = 17,
    CONTROLLER_OPTIONS = 18,
    CONTROLLER_TEXT_ENTRY = 20,
    CONTROLLER_INGAME_MENU = 21,
    CONTROLLER_MANAGER = 22,
    CONTROLLER_SCOREBOARD = 23,
    CONTROLLER_PASSWORD = 25,
    CONTROLLER_CONTROLS = 26,
    CONTROLLER_OPTIONS_PASSWORD = 27,
    CONTROLLER_LEVELSET = 29,
    CONTROLLER_TUTORIAL_MESSAGE = 31,
};

// SDL 1.2 key symbols the stack and the screens compare against.
enum ControllerKey {
    KEY_TAB = 9,
    KEY_RETURN = 13,
    KEY_ESCAPE = 27,
    KEY_SPACE = 32,
    KEY_KP0 = 256,
    KEY_UP = 273,
    KEY_DOWN = 274,
    KEY_RIGHT = 275,
    KEY_LEFT = 276,
    KEY_RSHIFT = 303,
    KEY_LSHIFT = 304,
    KEY_RCTRL = 305,
    KEY_LCTRL = 306,
    KEY_RALT = 307,
    KEY_LALT = 308,
};

class CController {
public:
    CController();
    virtual ~CController();

    // Widgets report activation here (index = the widget id the screen chose).
    virtual void GUICallback(int index, int value, bool dclick);
    // key is an SDL 1.2 key symbol.
    virtual void InputKey(bool released, int key) = 0;
    virtual void InputMouseMove(int x, int y);
    virtual void InputMouseClick(bool released, bool left, bool right, bool wheelUp, bool wheelDown);
    // Once a frame while this screen is current.
    virtual void Pump() = 0;

    // A screen's result: 0 while it stays open. Any other result closes it
    // at the end of the frame, and its opener receives one in turn:
    // - a positive n closes this screen and the n - 1 screens under it, one
    //   a frame (each opener receives n - 1): kCloseBack returns to the
    //   opener, which stays;
    // - kCloseQuit and kCloseToBrowser pass on unchanged down to the first
    //   screen, and the game ends. kCloseQuit is the player's quit (or the
    //   window's close button, or a terminate signal): a screen holding
    //   unsaved work may ask before it goes. kCloseToBrowser follows a web
    //   page the game opened, and nothing asks.
    static constexpr int kCloseBack = 1;
    static constexpr int kCloseQuit = -1;
    static constexpr int kCloseToBrowser = -2;

    void SetResult(int r) { result = r; }
    int GetResult() const { return result; }
    int GetID() const { return id; }
    bool IsActive() const { return active != 0; }
    int GetValue() const { return value; }
    CController* GetParent() const { return parent; }

    static CController* GetCurrent() { return current; }
    static int GetCurrentId() { return currentId; }
    static int GetPreviousId() { return previousId; }
    // Screens note here that they have seen their child come back.
    static void SetPreviousId(int previous) { previousId = previous; }
    static bool IsRunning() { return running != 0; }
    static void Quit() { running = 0; }
    static void SetProfile(CProfile* p) { profile = p; }
    static CProfile* GetProfile() { return profile; }

    // Makes this screen current; the root screen is activated with no parent.
    void Activate(CController* parentScreen);
    // Called on the opening screen: the child becomes current over it.
    void OpenChild(CController* child);
    // Once a frame from the frame loop: pumps the current screen and closes
    // it when its result is non-zero.
    static void PumpCurrent();
    // Closes this screen at once with result r.
    void Close(int r);
    // Drains the SDL event queue into this screen's input handlers.
    void PollInput();

    // Shift, ctrl and alt keys only update the modifier flags: returns true
    // for them (the key goes no further), false for every other key.
    static bool InputModKey(bool released, int key);
    static void ClearModKeys();

    // The menu keys as this screen configured them (menuKeys), for InputKey.
    void InputMenuKey(bool released, int key) { menuKeys.Input(*this, released, key, modShift != 0); }
    // Writes the opening of a screen to the debug log, framed by rules:
    // "Loading Controller:  <name>".
    static void LogOpening(const char* name);
    // The screenshot key (keypad 0): true when key was that key.
    bool CaptureScreen(bool released, int key);

    // The three interface sounds, made once at start-up and freed at shut-down.
    static void LoadSounds();
    static void UnloadSounds();
    static CSoundObject* GetSoundRollover() { return soundRollover; }
    static CSoundObject* GetSoundClick() { return soundClick; }
    static CSoundObject* GetSoundClickScreen() { return soundClickScreen; }
    // Plays one of them once; nothing when it does not exist.
    static void PlayInterfaceSound(CSoundObject* sound);

    // Back to the program's start state: no screen, running, flags clear (tests).
    static void ResetStack();

    // Held modifier keys: either key of a pair, then each key on its own.
    static uint8_t modShift, modCtrl, modAlt;
    static uint8_t modRShift, modLShift, modRCtrl, modLCtrl, modRAlt, modLAlt;

protected:
    CController* parent;
    uint8_t active;
    int id;
    int mouseX, mouseY;
    int result;
    int value;
    // Escape's back action, the list and the focus ring the menu keys drive.
    CMenuKeys menuKeys;

private:
    // The common end of Activate, OpenChild and the close rule.
    void MakeCurrent();
    static void CloseScreen(CController* s, int r);

    static CController* current;
    static int currentId;
    static int previousId;
    static uint8_t running;
    static CProfile* profile;
    static CSoundObject* soundRollover;
    static CSoundObject* soundClick;
    static CSoundObject* soundClickScreen;
};
