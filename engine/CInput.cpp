#include "engine/CInput.h"

#include <SDL.h>

#include <signal.h>

#include <algorithm>

#include "engine/CController.h"
#include "engine/CDraw.h"
#include "engine/Log.h"
#include "gui/CGuiButtonBase.h"
#include "players/CProfile.h"


namespace {

int mouseX = 0;
int mouseY = 0;
float mouseFloatX = 0.0f;
float mouseFloatY = 0.0f;
bool systemPointer = true;
float mouseSpeed = 1.0f;
CProfile* inputProfile = nullptr;
volatile sig_atomic_t terminating = 0;

void NoteTerminate(int) { terminating = 1; }

float Clamp(float v, float lo, float hi) { return v < lo ? lo : (v > hi ? hi : v); }

void ToggleProfileFullscreen() {
    if (inputProfile) inputProfile->ToggleFullscreen();
}

void RedrawWholeScreen() {
    if (CDraw::HasScreen()) CDraw::Present(false, false);
}

// The system pointer's absolute position, handed to the screen when it moved.
void FollowSystemPointer(CController* screen, int x, int y) {
    if (x == mouseX && y == mouseY) return;
    mouseX = x;
    mouseY = y;
    screen->InputMouseMove(mouseX, mouseY);
}

void HandleMotion(CController* screen, const SDL_MouseMotionEvent& m) {
    if (systemPointer) {
        FollowSystemPointer(screen, m.x, m.y);
        return;
    }
    if (m.xrel == 0 && m.yrel == 0) return;
    mouseFloatX = Clamp(mouseFloatX + m.xrel * mouseSpeed, 0.0f, 800.0f);
    mouseFloatY = Clamp(mouseFloatY + m.yrel * mouseSpeed, 0.0f, 600.0f);
    mouseX = static_cast<int>(mouseFloatX);
    mouseY = static_cast<int>(mouseFloatY);
    screen->InputMouseMove(mouseX, mouseY);
}

// A button event carries the pointer's position. A touch screen, a tablet
// or a quick flick may bring it with no motion before it, or with the
// motion in the same frame: the press happens where it says, so the
// pointer goes there first, as a motion would take it. While the game moves
// the pointer itself (relative motion), the event's position is the system
// pointer's, not ours, and is left alone.
void FollowButtonPosition(CController* screen, const SDL_MouseButtonEvent& b) {
    if (systemPointer) FollowSystemPointer(screen, b.x, b.y);
}

void HandleButtonDown(CController* screen, int button) {
    switch (button) {
    case SDL_BUTTON_LEFT:
        CGuiButtonBase::OnLeftButton(false, true);
        screen->InputMouseClick(false, true, false, false, false);
        break;
    case SDL_BUTTON_MIDDLE: DebugLog(DBG_DEBUG, "Mouse Location:  (%i,%i)\n", mouseX, mouseY); break;
    case SDL_BUTTON_RIGHT: screen->InputMouseClick(false, false, true, false, false); break;
    case SDL_BUTTON_WHEELUP: screen->InputMouseClick(false, false, false, true, false); break;
    case SDL_BUTTON_WHEELDOWN: screen->InputMouseClick(false, false, false, false, true); break;
    default: break;
    }
}

void HandleButtonUp(CController* screen, int button) {
    if (button == SDL_BUTTON_LEFT) {
        CGuiButtonBase::OnLeftButton(true, true);
        screen->InputMouseClick(true, true, false, false, false);
    } else if (button == SDL_BUTTON_RIGHT) {
        screen->InputMouseClick(true, false, true, false, false);
    }
}

}  // namespace

CInput::CInput() { SDL_EnableUNICODE(0); }

CInput::~CInput() {}

void CInput::PumpEvents(CController* screen) {
    if (!screen) return;
    if (terminating) {
        screen->SetResult(CController::kCloseQuit);
        return;
    }
    SDL_Event e;
    while (SDL_PollEvent(&e)) {
        if (!screen->IsActive()) return;  // a handler opened a child: this event is dropped
        switch (e.type) {
        case SDL_ACTIVEEVENT:
            if (e.active.gain == 1) RedrawWholeScreen();
            break;
        case SDL_KEYDOWN: {
            const int key = e.key.keysym.sym;
            if (key == SDLK_RETURN && (e.key.keysym.mod & (KMOD_LALT | KMOD_RALT))) {
                ToggleProfileFullscreen();
                break;
            }
            if (CController::InputModKey(false, key)) break;
            screen->InputKey(false, key);
            break;
        }
        case SDL_KEYUP: {
            const int key = e.key.keysym.sym;
            if (!CController::InputModKey(true, key)) screen->InputKey(true, key);
            break;
        }
        case SDL_MOUSEMOTION: HandleMotion(screen, e.motion); break;
        case SDL_MOUSEBUTTONDOWN:
            FollowButtonPosition(screen, e.button);
            HandleButtonDown(screen, e.button.button);
            break;
        case SDL_MOUSEBUTTONUP:
            FollowButtonPosition(screen, e.button);
            HandleButtonUp(screen, e.button.button);
            break;
        case SDL_QUIT: screen->SetResult(CController::kCloseQuit); break;
        default: break;
        }
    }
}

bool CInput::TakeEscapePress() {
    SDL_PumpEvents();
    // SDL 1.2 keeps at most 128 events waiting.
    SDL_Event events[128];
    const int keys = SDL_PeepEvents(events, 128, SDL_PEEKEVENT, SDL_EVENTMASK(SDL_KEYDOWN));
    auto isEscape = [](const SDL_Event& e) { return e.type == SDL_KEYDOWN && e.key.keysym.sym == SDLK_ESCAPE; };
    if (std::none_of(events, events + std::max(keys, 0), isEscape)) return false;
    // Every event comes off the queue and goes back in its order, all but
    // the first Escape press.
    const int count = SDL_PeepEvents(events, 128, SDL_GETEVENT, SDL_ALLEVENTS);
    SDL_Event* const end = events + std::max(count, 0);
    SDL_Event* const escape = std::find_if(events, end, isEscape);
    if (escape != end) std::copy(escape + 1, end, escape);
    SDL_PeepEvents(events, static_cast<int>(end - events) - (escape != end ? 1 : 0), SDL_ADDEVENT, 0);
    return escape != end;
}

void CInput::CatchTerminateSignals() {
    struct sigaction action = {};
    action.sa_handler = NoteTerminate;
    sigemptyset(&action.sa_mask);
    for (int sig : {SIGTERM, SIGINT, SIGHUP}) sigaction(sig, &action, nullptr);
}

bool CInput::IsTerminating() { return terminating != 0; }

void CInput::SetInputProfile(CProfile* profile) { inputProfile = profile; }
CProfile* CInput::GetInputProfile() { return inputProfile; }

void CInput::Reset() {
    mouseX = mouseY = 0;
    mouseFloatX = mouseFloatY = 0.0f;
    systemPointer = true;
    mouseSpeed = 1.0f;
    inputProfile = nullptr;
    terminating = 0;
}

int GetMouseX() { return mouseX; }
int GetMouseY() { return mouseY; }
void SetMouseX(int x) { mouseX = x; }
void SetMouseY(int y) { mouseY = y; }
void SetMouseFloatX(int x) { mouseFloatX = static_cast<float>(x); }
void SetMouseFloatY(int y) { mouseFloatY = static_cast<float>(y); }
float GetMouseFloatX() { return mouseFloatX; }
float GetMouseFloatY() { return mouseFloatY; }
void SetMouseSpeed(float speed) { mouseSpeed = speed; }
float GetMouseSpeed() { return mouseSpeed; }
void SetSystemPointer(bool on) {
    if (on == systemPointer) return;
    systemPointer = on;
    if (!on) {
        // Relative motion goes on from where the pointer stands, not from
        // wherever it stood when the game last moved it itself.
        mouseFloatX = static_cast<float>(mouseX);
        mouseFloatY = static_cast<float>(mouseY);
    } else {
        // The system pointer takes over at the place the player sees.
        SDL_WarpMouse(static_cast<Uint16>(mouseX), static_cast<Uint16>(mouseY));
    }
}
bool GetSystemPointer() { return systemPointer; }
