#include "tests/screens/ScreenWorld.h"

#include <cctype>
#include <memory>

#include "engine/CController.h"
#include "engine/CDraw.h"
#include "engine/CInput.h"
#include "engine/CMouse.h"
#include "engine/CRender.h"
#include "engine/CSprite.h"
#include "engine/FontRender.h"
#include "engine/ImagePack.h"
#include "engine/Log.h"
#include "engine/Parameters.h"
#include "engine/Utilities.h"
#include "gui/CGuiButtonBase.h"
#include "players/CProfile.h"
#include "players/ScoreClient.h"
#include "screens/CControllerIntro.h"
#include "tests/gui/GuiTestSupport.h"
#include "tests/support/TestSupport.h"
#include "world/CLevelSet.h"

namespace ScreenWorld {
namespace {

uint32_t g_now = 100000;
uint32_t FakeTicks() { return g_now; }
void FakeDelay(uint32_t ms) { g_now += ms ? ms : 1; }

struct World {
    CScopedHome home;
    std::unique_ptr<CProfile> profile;
    std::unique_ptr<CDraw> draw;
    std::unique_ptr<CRender> render;
    std::unique_ptr<CInput> input;
    std::unique_ptr<CMouse> mouse;
};
World* g_world = nullptr;

}  // namespace

void Up() {
    g_world = new World;
    InitDebugLog(false);
    EnableDebugCategory(DBG_ERROR);
    CDraw::SetUrlDir(false);
    LoadParameters();
    InitDirectories();
    FontInit("./", "resource5.dat");
    g_world->profile.reset(new CProfile());
    CController::SetProfile(g_world->profile.get());
    CInput::SetInputProfile(g_world->profile.get());
    CDraw::SetSettings(g_world->profile.get());
    g_world->profile->SetFullscreen(false);
    CDraw::SetClock(FakeTicks, FakeDelay);
    CSprite::SetClock(FakeTicks);
    CControllerIntro::SetClock(FakeTicks);
    g_world->draw.reset(new CDraw());
    g_world->render.reset(new CRender());
    g_world->input.reset(new CInput());
    preloadImages();
    g_world->mouse.reset(new CMouse());
    CLevelSet::LoadAll();
    ResetAllScoreBoards();
}

void Down() {
    CLevelSet::FreeAll();
    g_world->mouse.reset();
    g_world->input.reset();
    g_world->render.reset();
    g_world->draw.reset();
    FontQuit();
    CController::SetProfile(nullptr);
    CInput::SetInputProfile(nullptr);
    g_world->profile.reset();
    CDraw::SetClock(nullptr, nullptr);
    CSprite::SetClock(nullptr);
    CControllerIntro::SetClock(nullptr);
    ResetDirectories();
    delete g_world;
    g_world = nullptr;
}

CProfile& Profile() { return *g_world->profile; }
uint32_t& Ticks() { return g_now; }
const char* ProfileDir() { return GetProfileDir(); }

void Frame() {
    CController::PumpCurrent();
    PlaceMousePointer();
    CRender::Render(true);
    CDraw::Present(true, true);
}

void Frames(int n) {
    for (int i = 0; i < n && CController::IsRunning(); ++i) Frame();
}

void RunFor(int ms) {
    const uint32_t end = g_now + static_cast<uint32_t>(ms);
    while (g_now < end && CController::IsRunning()) Frame();
}

void PushKey(bool down, SDLKey sym, SDLMod mod) {
    SDL_Event e = {};
    e.type = down ? SDL_KEYDOWN : SDL_KEYUP;
    e.key.type = e.type;
    e.key.keysym.sym = sym;
    e.key.keysym.mod = mod;
    SDL_PushEvent(&e);
}

void TapKey(SDLKey sym) {
    PushKey(true, sym);
    PushKey(false, sym);
}

void TypeText(const char* text) {
    for (const char* c = text; *c; ++c) {
        const bool upper = isupper(static_cast<unsigned char>(*c)) != 0;
        const SDLKey sym = static_cast<SDLKey>(tolower(static_cast<unsigned char>(*c)));
        if (upper) PushKey(true, SDLK_LSHIFT);
        TapKey(sym);
        if (upper) PushKey(false, SDLK_LSHIFT);
    }
}

void Click(int x, int y) {
    PushPointerMotion(x, y);
    Frame();
    SDL_Event e = {};
    e.type = SDL_MOUSEBUTTONDOWN;
    e.button.type = e.type;
    e.button.button = SDL_BUTTON_LEFT;
    SDL_PushEvent(&e);
    e.type = SDL_MOUSEBUTTONUP;
    e.button.type = e.type;
    SDL_PushEvent(&e);
}

}  // namespace ScreenWorld

void ScreenWorldTest::SetUp() {
    CController::ResetStack();
    CGuiButtonBase::ResetState();
    DrainEvents();
    // The pointer starts over no widget, wherever the last test left it.
    SetMouseX(0);
    SetMouseY(0);
}

void ScreenWorldTest::TearDown() {
    DrainEvents();
    CController::ResetStack();
}
