// The game brought up as main brings it up, short of the frame loop, on the
// real resource files and headless, with frames driven by a fake clock: the
// fixture the screen tests share.
#pragma once

#include <gtest/gtest.h>

#include <SDL.h>

#include <memory>
#include <string>
#include <vector>

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
#include "gui/CControllerMessage.h"
#include "gui/CGuiButtonBase.h"
#include "gui/CGuiListbox.h"
#include "players/CProfile.h"
#include "screens/CControllerIntro.h"
#include "tests/support/TestSupport.h"

inline uint32_t g_now = 100000;
inline uint32_t FakeTicks() { return g_now; }
inline void FakeDelay(uint32_t ms) { g_now += ms ? ms : 1; }

// Everything main brings up before the first screen, once for the suite.
struct World {
    CScopedHome home;
    std::unique_ptr<CProfile> profile;
    std::unique_ptr<CDraw> draw;
    std::unique_ptr<CRender> render;
    std::unique_ptr<CInput> input;
    std::unique_ptr<CMouse> mouse;
};
inline World* g_world = nullptr;

class ScreensTest : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
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
    }
    static void TearDownTestSuite() {
        g_world->mouse.reset();
        g_world->input.reset();
        g_world->render.reset();
        g_world->draw.reset();
        FontQuit();
        g_world->profile.reset();
        CDraw::SetClock(nullptr, nullptr);
        CSprite::SetClock(nullptr);
        CControllerIntro::SetClock(nullptr);
        delete g_world;
        g_world = nullptr;
    }
    void SetUp() override {
        CController::ResetStack();
        CGuiButtonBase::ResetState();
        SDL_Event e;
        while (SDL_PollEvent(&e)) {
        }
    }
    void TearDown() override { CController::ResetStack(); }

    // One pass of the frame loop.
    static void Frame() {
        CController::PumpCurrent();
        PlaceMousePointer();
        CRender::Render(true);
        CDraw::Present(true, true);
    }
    // Frames until the clock has advanced by ms.
    static void RunFor(int ms) {
        const uint32_t end = g_now + static_cast<uint32_t>(ms);
        while (g_now < end && CController::IsRunning()) Frame();
    }
    static uint32_t ScreenPixel(int x, int y) { return CDraw::GetPixel(CDraw::GetScreen(), x, y); }
    // Chooses okay or cancel in the open message box; two frames close it
    // and let its opener see it come back.
    static void Answer(CControllerMessage* box, bool okay) {
        ASSERT_NE(box, nullptr);
        box->GUICallback(okay ? CControllerMessage::BUTTON_OKAY : CControllerMessage::BUTTON_CANCEL, 0, false);
        Frame();
        Frame();
    }
    // The first cell of every row of a list box, in order.
    static std::vector<std::string> FirstCells(const CGuiListbox* list) {
        std::vector<std::string> rows;
        for (int r = 0; r < list->GetRowCount(); ++r) rows.push_back(list->GetCell(r, 0));
        return rows;
    }
    static void PushKey(bool down, SDLKey sym, SDLMod mod = KMOD_NONE) {
        SDL_Event e = {};
        e.type = down ? SDL_KEYDOWN : SDL_KEYUP;
        e.key.type = e.type;
        e.key.keysym.sym = sym;
        e.key.keysym.mod = mod;
        SDL_PushEvent(&e);
    }
};
