#include "engine/CController.h"

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <ctime>

#include "engine/CDraw.h"
#include "engine/CInput.h"
#include "engine/DataFolder.h"
#include "engine/Log.h"
#include "engine/Utilities.h"
#include "gui/CGuiButtonBase.h"
#include "platform/Platform.h"
#include "sound/CSound.h"
#include "sound/CSoundObject.h"

CController* CController::current = nullptr;
int CController::currentId = 0;
int CController::previousId = 0;
uint8_t CController::running = 1;
CProfile* CController::profile = nullptr;
CSoundObject* CController::soundRollover = nullptr;
CSoundObject* CController::soundClick = nullptr;
CSoundObject* CController::soundClickScreen = nullptr;
uint8_t CController::modShift = 0;
uint8_t CController::modCtrl = 0;
uint8_t CController::modAlt = 0;
uint8_t CController::modRShift = 0;
uint8_t CController::modLShift = 0;
uint8_t CController::modRCtrl = 0;
uint8_t CController::modLCtrl = 0;
uint8_t CController::modRAlt = 0;
uint8_t CController::modLAlt = 0;

namespace {

void SetMenuFrameRate() { CDraw::SetFrameRate(-1); }

void SetPresentSuspended(bool on) { CDraw::SetPresentSuspended(on); }

}  // namespace

CController::CController()
    : parent(nullptr),
      active(0),
      id(0),
      mouseX(GetMouseX()),
      mouseY(GetMouseY()),
      result(0),
      value(0) {}

CController::~CController() {
    // A screen deleted while still current must not stay reachable.
    if (current == this) current = nullptr;
}

void CController::GUICallback(int index, int val, bool dclick) {
    DebugLog(DBG_DEBUG, "CController::GUICallback(index=%i,value=%i,dclick=%i) to controller %i (VIRTUAL METHOD)\n",
             index, val, dclick ? 1 : 0, id);
}

void CController::InputMouseMove(int, int) {}

void CController::InputMouseClick(bool released, bool left, bool right, bool, bool) {
    if (left)
        DebugLog(DBG_DEBUG, "Left Mouse Click:  Released?  %i\n", released ? 1 : 0);
    else if (right)
        DebugLog(DBG_DEBUG, "Right Mouse Click:  Released?  %i\n", released ? 1 : 0);
}

void CController::MakeCurrent() {
    active = 1;
    previousId = currentId;
    currentId = id;
    current = this;
    ClearModKeys();
    menuKeys.Release();
    CGuiButtonBase::OnLeftButton(true, false);
}

void CController::Activate(CController* parentScreen) {
    MakeCurrent();
    if (parentScreen) parent = parentScreen;
}

void CController::OpenChild(CController* child) {
    if (!child) return;
    result = 0;
    active = 0;
    SetMenuFrameRate();
    child->MakeCurrent();
    child->parent = this;
}

void CController::PumpCurrent() {
    if (!current) return;
    current->Pump();
    CController* s = current;  // the pump may have opened a child
    if (!s) return;
    const int r = s->result;
    SetPresentSuspended(r != 0);
    if (r == 0) return;
    CloseScreen(s, r);
}

void CController::Close(int r) { CloseScreen(this, r); }

void CController::CloseScreen(CController* s, int r) {
    s->active = 0;
    s->result = 0;
    SetMenuFrameRate();
    CController* p = s->parent;
    if (!p) {
        running = 0;
        return;
    }
    // The rule of the results (kCloseBack, kCloseQuit, kCloseToBrowser).
    if (r == kCloseQuit || r == kCloseToBrowser)
        p->result = r;
    else if (r > 0)
        p->result = r - 1;
    p->MakeCurrent();
}

void CController::PollInput() {
    CInput::PumpEvents(this);
    if (active) menuKeys.Repeat();
}

bool CController::InputModKey(bool released, int key) {
    const uint8_t held = released ? 0 : 1;
    switch (key) {
    case KEY_RSHIFT: modRShift = held; break;
    case KEY_LSHIFT: modLShift = held; break;
    case KEY_RCTRL: modRCtrl = held; break;
    case KEY_LCTRL: modLCtrl = held; break;
    case KEY_RALT: modRAlt = held; break;
    case KEY_LALT: modLAlt = held; break;
    default: return false;
    }
    modAlt = (modLAlt || modRAlt) ? 1 : 0;
    modCtrl = (modLCtrl || modRCtrl) ? 1 : 0;
    modShift = (modLShift || modRShift) ? 1 : 0;
    DebugLog(DBG_DEBUG, "CController::InputModKey:  Modifier Updates:  ALT=%i  CTRL=%i  SHIFT=%i\n", modAlt, modCtrl,
             modShift);
    return true;
}

void CController::ClearModKeys() {
    modShift = modCtrl = modAlt = 0;
    modRShift = modLShift = modRCtrl = modLCtrl = modRAlt = modLAlt = 0;
}

bool CController::CaptureScreen(bool released, int key) {
    if (key != KEY_KP0) return false;
    if (released) return true;
    char stamp[16] = {0};
    time_t now = time(nullptr);
    struct tm local;
    if (localtime_r(&now, &local)) strftime(stamp, 14, "%y%m%d_%H%M%S", &local);
    // An installed game writes into the player's pictures folder; in the run
    // folder, into the working folder.
    std::string folder, why;
    bool made = false;
    if (!PrepareCaptureFolder(&folder, &made, &why)) {
        DebugLog(DBG_WARNING, "Screen capture: not saved: %s\n", EscapeControls(why).c_str());
        return true;
    }
    // Two captures in one second (or two copies of the game in one folder)
    // each get a file of their own: the name is claimed before the picture
    // is written, never written over an earlier capture.
    std::string name;
    bool claimed = false;
    for (int n = 1; n <= 99 && !claimed; ++n) {
        name = folder + "capture_" + stamp + (n == 1 ? "" : "_" + std::to_string(n)) + ".bmp";
        const int fd = open(name.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0644);
        if (fd >= 0) {
            close(fd);
            claimed = true;
        } else if (errno != EEXIST) {
            break;
        }
    }
    if (!claimed) {
        DebugLog(DBG_WARNING, "Screen capture: no file can be made for it in '%s' (%s)\n",
                 folder.empty() ? "." : EscapeControls(folder).c_str(), strerror(errno));
    } else if (CDraw::SaveScreenBMP(name.c_str())) {
        printf("Screen captured:  %s\n", EscapeControls(name).c_str());
        fflush(stdout);
        return true;
    } else {
        // The capture that could not be written has said why.
        unlink(name.c_str());
    }
    // A folder made for this capture alone goes with it.
    if (made) rmdir(folder.c_str());
    return true;
}

void CController::LoadSounds() {
    soundRollover = new CSoundObject("rollover_v1-2.ogg", false);
    soundClick = new CSoundObject("click_v1-2.ogg", false);
    soundClickScreen = new CSoundObject("click_v1-3.ogg", false);
}

void CController::UnloadSounds() {
    delete soundRollover;
    delete soundClick;
    delete soundClickScreen;
    soundRollover = soundClick = soundClickScreen = nullptr;
}

void CController::PlayInterfaceSound(CSoundObject* sound) {
    if (!sound) return;
    CSound::Play(sound, false, 0, 0);
}

void CController::ResetStack() {
    current = nullptr;
    currentId = 0;
    previousId = 0;
    running = 1;
    ClearModKeys();
}

void CController::LogOpening(const char* name) {
    static const char* const kRule = "=============================================\n";
    DebugLog(DBG_DEBUG, "%s", kRule);
    DebugLog(DBG_DEBUG, "Loading Controller:  %s\n", name ? name : "");
    DebugLog(DBG_DEBUG, "%s", kRule);
}
