// A display surface on the dummy driver and blank pictures registered under
// the names the widgets ask for, so widgets can be built without the packs.
#pragma once

#include <SDL.h>
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "engine/CController.h"
#include "engine/CDraw.h"
#include "engine/CInput.h"
#include "gui/CGuiButtonBase.h"
#include "tests/support/InputEvents.h"

// Registers a w x h blank picture under name, once.
inline void RegisterBlank(const char* name, int w, int h) {
    if (CDraw::FindImage(name) >= 0) return;
    SDL_Surface* s = SDL_CreateRGBSurface(SDL_SWSURFACE, w, h, 32, 0x00ff0000, 0x0000ff00, 0x000000ff, 0xff000000);
    SDL_FillRect(s, nullptr, SDL_MapRGBA(s->format, 200, 100, 50, 255));
    CDraw::LoadSurface(s, name);
}

// A screen that records what its widgets report.
class RecordingOwner : public CController {
public:
    explicit RecordingOwner(int screenId = 99) {
        id = screenId;
        menuKeys.SetBack(CMenuKeys::Back::kCloses);
    }
    void GUICallback(int index, int value, bool dclick) override {
        reports.push_back(index * 100 + value * 10 + (dclick ? 1 : 0));
    }
    void InputKey(bool released, int key) override { InputMenuKey(released, key); }
    void Pump() override {
        PollInput();
        CGuiButtonBase::UpdateAll();
    }
    int Result() const { return result; }
    std::vector<int> reports;
};

// The start of every widget test: a display on the dummy driver, no focus,
// no current screen, no input pending, the pointer in the top left corner.
class WidgetTest : public ::testing::Test {
protected:
    static void OpenDisplay() {
        ASSERT_EQ(SDL_InitSubSystem(SDL_INIT_VIDEO), 0) << SDL_GetError();
        ASSERT_NE(SDL_SetVideoMode(800, 600, 32, SDL_SWSURFACE), nullptr);
    }
    void SetUp() override {
        CGuiButtonBase::ResetState();
        CController::ResetStack();
        CInput::Reset();
        DrainEvents();
        PointAt(0, 0);
    }
    void TearDown() override { DrainEvents(); }
    static void PointAt(int x, int y) {
        SetMouseX(x);
        SetMouseY(y);
    }
};
