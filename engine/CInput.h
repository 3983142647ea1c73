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
    static void PumpEvents(CController* screen);

    // The profile whose full-screen option Alt+Enter toggles.
    static void SetInputProfile(CProfile* profile);
    static CProfile* GetInputProfile();

    // Back to the start values (tests).
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
