// The input module: drains the SDL event queue into the current screen and
// keeps the program's idea of the mouse position.
#pragma once

#include <cstdint>

class CController;
class CProfile;

class CInput {
public:
    // Switches SDL's Unicode translation of key events off.
    CInput();
    ~CInput();

    // Takes every pending event and hands it to screen, until the queue is
    // empty or the screen stops being active (the event taken then is dropped).
    // The window's close button sets the screen's result to
    // CController::kCloseQuit; so does every pump once a terminate signal has
    // come (see CatchTerminateSignals).
    static void PumpEvents(CController* screen);

    // Takes the first press of Escape waiting on SDL's queue off it,
    // leaving every other event where it was; true when there was one. A
    // wait that holds the frame loop (a request to the score server) asks
    // it, so that Escape ends the wait and nothing else is lost.
    static bool TakeEscapePress();

    // SDL turns SIGTERM and SIGINT into the same quit event as the window's
    // close button, but the two must be told apart: a close can be answered
    // with a question (the editor asks before unsaved work is lost), while a
    // terminate signal (a logout, a shutdown) must end the game without
    // waiting for anyone. So our own handler takes SIGTERM, SIGINT and SIGHUP
    // and only notes that the game must end; SDL installs its handlers only
    // where none is set, so this is called before SDL starts.
    static void CatchTerminateSignals();
    // True once such a signal has come: screens end without asking, keeping
    // what they would lose (the editor writes a recovery file).
    static bool IsTerminating();

    // The profile whose full-screen option Alt+Enter toggles.
    static void SetInputProfile(CProfile* profile);
    static CProfile* GetInputProfile();

    // Back to the start values, the terminate note too (tests).
    static void Reset();
};

// The integer mouse position handed to screens, (0, 0) until the first motion.
int GetMouseX();
int GetMouseY();
void SetMouseX(int x);
void SetMouseY(int y);
// The fractional position that relative motion accumulates into while the
// system pointer is off.
void SetMouseFloatX(int x);
void SetMouseFloatY(int y);
float GetMouseFloatX();
float GetMouseFloatY();

// Factor on relative motion (1.0 at start).
void SetMouseSpeed(float speed);
float GetMouseSpeed();
// true: the position follows the system pointer; false: relative motion
// scaled by the mouse speed moves it (input is grabbed by the caller).
void SetSystemPointer(bool on);
bool GetSystemPointer();
