#include "tests/screens/ScreenTest.h"

#include <algorithm>
#include <cstdlib>
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
#include "engine/ResourceFiles.h"
#include "engine/Utilities.h"
#include "gui/CControllerMessage.h"
#include "gui/CGuiButtonBase.h"
#include "gui/CGuiListbox.h"
#include "players/CProfile.h"
#include "players/ScoreClient.h"
#include "screens/CControllerIntro.h"
#include "sound/CSound.h"
#include "tests/support/TestSupport.h"
#include "world/CElement.h"
#include "world/CLevelSet.h"

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
    bool sound = false;
};
World* g_world = nullptr;

// The box around the pixels of s from (x0, y0) up to (x1, y1) that takes
// accepts (by colour and alpha), all zero when it accepts none.
template <class Takes>
SDL_Rect BoxOfPixels(SDL_Surface* s, int x0, int y0, int x1, int y1, Takes takes) {
    int left = x1, top = y1, right = x0, bottom = y0;
    for (int y = y0; s && y < y1; ++y)
        for (int x = x0; x < x1; ++x) {
            Uint8 r, g, b, a;
            SDL_GetRGBA(CDraw::GetPixel(s, x, y), s->format, &r, &g, &b, &a);
            if (!takes(r, g, b, a)) continue;
            left = std::min(left, x);
            top = std::min(top, y);
            right = std::max(right, x + 1);
            bottom = std::max(bottom, y + 1);
        }
    SDL_Rect box = {0, 0, 0, 0};
    if (right <= left) return box;
    box.x = static_cast<Sint16>(left);
    box.y = static_cast<Sint16>(top);
    box.w = static_cast<Uint16>(right - left);
    box.h = static_cast<Uint16>(bottom - top);
    return box;
}

}  // namespace

void ScreenTest::StartWorld(bool withSound) {
    g_world = new World;
    InitDebugLog(false);
    EnableDebugCategory(DBG_ERROR);
    CDraw::SetUrlDir(false);
    LoadParameters();
    InitDirectories();
    FontInit("./", kStringTableFile);
    if (withSound) {
        setenv("SDL_AUDIODRIVER", "dummy", 1);
        CSound::Init(true);
        g_world->sound = CSound::IsReady();
    }
    g_world->profile.reset(new CProfile());
    CController::SetProfile(g_world->profile.get());
    CInput::SetInputProfile(g_world->profile.get());
    CDraw::SetSettings(g_world->profile.get());
    // Windowed, in the file too, so that a profile read back from it does
    // not switch the display.
    g_world->profile->SetFullscreen(false);
    g_world->profile->Save();
    CDraw::SetClock(FakeTicks, FakeDelay);
    CSprite::SetClock(FakeTicks);
    CControllerIntro::SetClock(FakeTicks);
    g_world->draw.reset(new CDraw());
    g_world->render.reset(new CRender());
    g_world->input.reset(new CInput());
    preloadImages();
    if (g_world->sound) {
        CSound::SetLoadFromDirectory(false);
        CSound::loadSound();
        CSound::CreateMusic();
        CController::LoadSounds();
    }
    g_world->mouse.reset(new CMouse());
    CLevelSet::LoadAll();
    ResetAllScoreBoards();
}

void ScreenTest::StopWorld() {
    CLevelSet::FreeAll();
    g_world->mouse.reset();
    if (g_world->sound) {
        CController::UnloadSounds();
        CSound::DeleteMusic();
        CSound::Shutdown();
    }
    g_world->input.reset();
    g_world->render.reset();
    g_world->draw.reset();
    FontQuit();
    CController::SetProfile(nullptr);
    CInput::SetInputProfile(nullptr);
    CDraw::SetSettings(nullptr);
    g_world->profile.reset();
    CDraw::SetClock(nullptr, nullptr);
    CSprite::SetClock(nullptr);
    CControllerIntro::SetClock(nullptr);
    ResetDirectories();
    delete g_world;
    g_world = nullptr;
}

void ScreenTest::SetUp() {
    // Screens draw some choices at random (a page's message, a dot's bob):
    // each test starts from the same draw, whichever tests ran before it.
    srand(1);
    CController::ResetStack();
    CGuiButtonBase::ResetState();
    DrainEvents();
    // The pointer starts over no widget, wherever the last test left it.
    SetMouseX(0);
    SetMouseY(0);
}

void ScreenTest::TearDown() {
    DrainEvents();
    CController::ResetStack();
    // A test that ends with a page open over a frozen screen leaves the
    // renderer swapped: the next screen's sprites would go to the list set
    // aside and never be stepped or drawn. Bring the live list back, as a
    // returning parent does.
    if (CRender::IsSwapped()) CRender::Swap(true);
}

CProfile& ScreenTest::Profile() { return *g_world->profile; }

bool ScreenTest::StartNewPlayer() {
    if (!Profile().ResetProfiles()) return false;
    Profile().Reset();
    Profile().SetOptionDefaults();
    Profile().SetFullscreen(0);
    Profile().SetDefaultKeys();
    CElement::SetProfile(&Profile());
    return true;
}

void ScreenTest::ForgetPlayer() {
    CElement::SetProfile(nullptr);
    Profile().Reset();
    Profile().SetOptionDefaults();
}

std::string ScreenTest::HomeFolder() { return g_world->home.Path(); }

uint32_t& ScreenTest::Now() { return g_now; }

void ScreenTest::Frame() {
    CController::PumpCurrent();
    PlaceMousePointer();
    CSound::Update();
    CRender::Render(true);
    CDraw::Present(true, true);
}

void ScreenTest::Frames(int n) {
    for (int i = 0; i < n && CController::IsRunning(); ++i) Frame();
}

void ScreenTest::RunFor(int ms) {
    const uint32_t end = g_now + static_cast<uint32_t>(ms);
    while (g_now < end && CController::IsRunning()) Frame();
}

void ScreenTest::Click(int x, int y) {
    // While the game moves the pointer itself, motion is relative: put the
    // pointer there the way keyboard focus does.
    if (GetSystemPointer())
        PushPointerMotion(x, y);
    else
        WarpMouse(x, y);
    Frame();
    PushButton(true, SDL_BUTTON_LEFT, x, y);
    PushButton(false, SDL_BUTTON_LEFT, x, y);
}

uint32_t ScreenTest::ScreenPixel(int x, int y) { return CDraw::GetPixel(CDraw::GetScreen(), x, y); }

std::unique_ptr<CControllerIntro> ScreenTest::SkipIntro() {
    std::unique_ptr<CControllerIntro> intro(new CControllerIntro());
    intro->Activate(nullptr);
    RunFor(1000);
    TapKey(SDLK_SPACE);
    Frame();
    EXPECT_EQ(CController::GetCurrentId(), CONTROLLER_MAIN);
    return intro;
}

void ScreenTest::Answer(CControllerMessage* box, bool okay) {
    ASSERT_NE(box, nullptr);
    box->GUICallback(okay ? CControllerMessage::BUTTON_OKAY : CControllerMessage::BUTTON_CANCEL, 0, false);
    Frame();
    Frame();
}

SDL_Rect ScreenTest::InkSpan(int x0, int y0, int x1, int y1) {
    return BoxOfPixels(CDraw::GetScreen(), x0, y0, x1, y1,
                       [](Uint8 r, Uint8 g, Uint8 b, Uint8) { return r + g + b < 360 && b >= r + 20; });
}

SDL_Rect ScreenTest::OpaqueBox(const char* image) {
    const int id = CDraw::GetImage(image);
    SDL_Surface* s = CDraw::GetSurface(id);
    const SDL_Rect box =
        BoxOfPixels(s, 0, 0, s ? s->w : 0, s ? s->h : 0, [](Uint8, Uint8, Uint8, Uint8 a) { return a >= 32; });
    CDraw::ReleaseImage(id);
    return box;
}

std::vector<int> ScreenTest::MovesWhileDownHeld(const CGuiListbox* list, int* firstRow) {
    PushKey(true, SDLK_DOWN);
    Frame();
    int last = list->GetSelectedIndex();
    *firstRow = last;
    std::vector<int> moves;
    for (int f = 1; f <= 12; ++f) {
        Frame();
        if (list->GetSelectedIndex() != last) moves.push_back(f);
        last = list->GetSelectedIndex();
    }
    return moves;
}

std::vector<std::string> ScreenTest::FirstCells(const CGuiListbox* list) {
    std::vector<std::string> rows;
    for (int r = 0; r < list->GetRowCount(); ++r) rows.push_back(list->GetCell(r, 0));
    return rows;
}
