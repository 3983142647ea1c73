// The input pump: events pushed on SDL's queue (dummy driver) reach the
// current screen's handlers by the pump's rules.
#include <gtest/gtest.h>

#include <SDL.h>
#include <signal.h>

#include <string>
#include <vector>

#include "engine/CController.h"
#include "engine/CDraw.h"
#include "engine/CInput.h"
#include "engine/Utilities.h"
#include "gui/CGuiButtonBase.h"
#include "players/CProfile.h"
#include "tests/support/InputEvents.h"
#include "tests/support/TestSupport.h"

namespace {

struct Call {
    std::string what;
    int a, b;
    bool operator==(const Call& o) const { return what == o.what && a == o.a && b == o.b; }
};

class RecordingScreen : public CController {
public:
    explicit RecordingScreen(int screenId) { id = screenId; }
    void InputKey(bool released, int key) override {
        calls.push_back({released ? "keyup" : "keydown", key, 0});
        if (!released && key == openOnKey && child) OpenChild(child);
    }
    void InputMouseMove(int x, int y) override { calls.push_back({"move", x, y}); }
    void InputMouseClick(bool released, bool left, bool right, bool up, bool down) override {
        int which = left ? 1 : right ? 3 : up ? 4 : down ? 5 : 0;
        calls.push_back({released ? "clickup" : "clickdown", which, 0});
    }
    void Pump() override { PollInput(); }
    int Result() const { return result; }
    std::vector<Call> calls;
    int openOnKey = -1;
    CController* child = nullptr;
};

int PendingEvents() {
    SDL_Event peek[64];
    return SDL_PeepEvents(peek, 64, SDL_PEEKEVENT, SDL_ALLEVENTS);
}

class InputTest : public ::testing::Test {
protected:
    static void SetUpTestSuite() { ASSERT_EQ(SDL_InitSubSystem(SDL_INIT_VIDEO), 0) << SDL_GetError(); }
    static void TearDownTestSuite() { CDraw::CloseScreen(); }
    void SetUp() override {
        DrainEvents();
        CController::ResetStack();
        CInput::Reset();
        CGuiButtonBase::ResetState();
    }
    void TearDown() override {
        DrainEvents();
        CController::ResetStack();
        CInput::Reset();
    }
};

TEST_F(InputTest, AltEnterNeverReachesTheKeyHandler) {
    RecordingScreen s(3);
    s.Activate(nullptr);
    PushKey(true, SDLK_RETURN, KMOD_LALT);
    PushKey(true, SDLK_RETURN, KMOD_RALT);
    s.Pump();
    EXPECT_TRUE(s.calls.empty());
    // The release after Alt+Enter does reach the screen.
    PushKey(false, SDLK_RETURN, KMOD_LALT);
    s.Pump();
    ASSERT_EQ(s.calls.size(), 1u);
    EXPECT_EQ(s.calls[0], (Call{"keyup", 13, 0}));
}

TEST_F(InputTest, AltEnterTogglesTheProfilesFullScreenOption) {
    CScopedHome home;
    ResetDirectories();
    InitDirectories();
    {
        CProfile profile;
        CInput::SetInputProfile(&profile);
        const bool before = profile.IsFullscreen() != 0;
        RecordingScreen s(3);
        s.Activate(nullptr);
        PushKey(true, SDLK_RETURN, KMOD_RALT);
        s.Pump();
        EXPECT_EQ(profile.IsFullscreen() != 0, !before);
        PushKey(true, SDLK_RETURN, KMOD_LALT);
        s.Pump();
        EXPECT_EQ(profile.IsFullscreen() != 0, before);
        EXPECT_TRUE(s.calls.empty());
        CInput::SetInputProfile(nullptr);
    }
    ResetDirectories();
}

TEST_F(InputTest, EnterWithoutAltReachesTheKeyHandler) {
    RecordingScreen s(3);
    s.Activate(nullptr);
    PushKey(true, SDLK_RETURN, KMOD_LCTRL);
    s.Pump();
    ASSERT_EQ(s.calls.size(), 1u);
    EXPECT_EQ(s.calls[0], (Call{"keydown", 13, 0}));
}

TEST_F(InputTest, ShiftOnlyChangesModifierFlags) {
    RecordingScreen s(3);
    s.Activate(nullptr);
    PushKey(true, SDLK_LSHIFT);
    s.Pump();
    EXPECT_TRUE(s.calls.empty());
    EXPECT_EQ(CController::modShift, 1);
    EXPECT_EQ(CController::modLShift, 1);
    PushKey(false, SDLK_LSHIFT);
    s.Pump();
    EXPECT_TRUE(s.calls.empty());
    EXPECT_EQ(CController::modShift, 0);
}

TEST_F(InputTest, OrdinaryKeysArePassedOnPressedAndReleased) {
    RecordingScreen s(3);
    s.Activate(nullptr);
    PushKey(true, SDLK_a);
    PushKey(false, SDLK_a);
    PushKey(true, SDLK_KP0);
    s.Pump();
    ASSERT_EQ(s.calls.size(), 3u);
    EXPECT_EQ(s.calls[0], (Call{"keydown", 'a', 0}));
    EXPECT_EQ(s.calls[1], (Call{"keyup", 'a', 0}));
    EXPECT_EQ(s.calls[2], (Call{"keydown", 256, 0}));
}

TEST_F(InputTest, RelativeMotionScaledAndClamped) {
    RecordingScreen s(3);
    s.Activate(nullptr);
    SetSystemPointer(false);
    SetMouseSpeed(2.0f);
    SetMouseFloatX(10);
    SetMouseFloatY(10);
    PushPointerMotion(0, 0, 3, -1);
    s.Pump();
    EXPECT_EQ(GetMouseX(), 16);
    EXPECT_EQ(GetMouseY(), 8);
    ASSERT_EQ(s.calls.size(), 1u);
    EXPECT_EQ(s.calls[0], (Call{"move", 16, 8}));

    PushPointerMotion(0, 0, 1000, 0);
    PushPointerMotion(0, 0, 0, 1000);
    s.Pump();
    EXPECT_EQ(GetMouseX(), 800);
    EXPECT_EQ(GetMouseY(), 600);
    PushPointerMotion(0, 0, -5000, -5000);
    s.Pump();
    EXPECT_EQ(GetMouseX(), 0);
    EXPECT_EQ(GetMouseY(), 0);
    // A reset goes back to the start: the system pointer's place, at speed 1.
    CInput::Reset();
    EXPECT_FLOAT_EQ(GetMouseSpeed(), 1.0f);
    PushPointerMotion(300, 200, 3, -1);
    s.Pump();
    EXPECT_EQ(GetMouseX(), 300);
    EXPECT_EQ(GetMouseY(), 200);
}

TEST_F(InputTest, SwitchingToRelativeMotionGoesOnFromThePointer) {
    RecordingScreen s(3);
    s.Activate(nullptr);
    PushPointerMotion(300, 200, 0, 0);
    s.Pump();
    SetMouseFloatX(5);  // where the game last moved the pointer itself
    SetMouseFloatY(5);
    SetSystemPointer(false);
    PushPointerMotion(0, 0, 4, -2);
    s.Pump();
    EXPECT_EQ(GetMouseX(), 304);
    EXPECT_EQ(GetMouseY(), 198);
}

TEST_F(InputTest, RelativeMotionOfZeroDoesNothingButUnchangedPositionStillReports) {
    RecordingScreen s(3);
    s.Activate(nullptr);
    SetSystemPointer(false);
    PushPointerMotion(0, 0, 0, 0);
    s.Pump();
    EXPECT_TRUE(s.calls.empty());
    // At the right edge a further push right still reports the position.
    SetMouseFloatX(800);
    PushPointerMotion(0, 0, 5, 0);
    s.Pump();
    ASSERT_EQ(s.calls.size(), 1u);
    EXPECT_EQ(s.calls[0], (Call{"move", 800, 0}));
}

TEST_F(InputTest, AbsoluteMotionAtStoredPositionGivesNoCall) {
    RecordingScreen s(3);
    s.Activate(nullptr);
    PushPointerMotion(100, 200, 100, 200);
    PushPointerMotion(100, 200, 0, 0);
    PushPointerMotion(101, 200, 1, 0);
    s.Pump();
    ASSERT_EQ(s.calls.size(), 2u);
    EXPECT_EQ(s.calls[0], (Call{"move", 100, 200}));
    EXPECT_EQ(s.calls[1], (Call{"move", 101, 200}));
    EXPECT_EQ(GetMouseX(), 101);
}

TEST_F(InputTest, ButtonsAndWheel) {
    RecordingScreen s(3);
    s.Activate(nullptr);
    PushButton(true, SDL_BUTTON_LEFT);
    PushButton(false, SDL_BUTTON_LEFT);
    PushButton(true, SDL_BUTTON_RIGHT);
    PushButton(false, SDL_BUTTON_RIGHT);
    PushButton(true, SDL_BUTTON_WHEELUP);
    PushButton(false, SDL_BUTTON_WHEELUP);
    PushButton(true, SDL_BUTTON_WHEELDOWN);
    PushButton(false, SDL_BUTTON_WHEELDOWN);
    s.Pump();
    std::vector<Call> expected = {{"clickdown", 1, 0}, {"clickup", 1, 0},   {"clickdown", 3, 0},
                                  {"clickup", 3, 0},   {"clickdown", 4, 0}, {"clickdown", 5, 0}};
    EXPECT_EQ(s.calls, expected);
}

TEST_F(InputTest, LeftButtonDrivesTheWidgetButtonState) {
    RecordingScreen s(3);
    s.Activate(nullptr);
    PushButton(true, SDL_BUTTON_LEFT);
    s.Pump();
    EXPECT_TRUE(CGuiButtonBase::IsLeftHeld());
    PushButton(false, SDL_BUTTON_LEFT);
    s.Pump();
    EXPECT_FALSE(CGuiButtonBase::IsLeftHeld());
}

TEST_F(InputTest, MiddleClickOnlyLogs) {
    RecordingScreen s(3);
    s.Activate(nullptr);
    PushButton(true, SDL_BUTTON_MIDDLE);
    PushButton(false, SDL_BUTTON_MIDDLE);
    s.Pump();
    EXPECT_TRUE(s.calls.empty());
    EXPECT_FALSE(CGuiButtonBase::IsLeftHeld());
}

// The window's close button and a terminate signal both close every screen;
// the signal is noted as such (screens end without asking then) and never
// becomes a quit event on SDL's queue.
TEST_F(InputTest, QuitClosesEveryScreen) {
    CInput::CatchTerminateSignals();
    for (const bool signal : {false, true}) {
        SCOPED_TRACE(signal ? "SIGTERM" : "close button");
        CController::ResetStack();
        CInput::Reset();
        RecordingScreen root(2), a(3), b(13);
        root.Activate(nullptr);
        root.OpenChild(&a);
        a.OpenChild(&b);
        if (signal) {
            ASSERT_EQ(raise(SIGTERM), 0);
            EXPECT_EQ(PendingEvents(), 0);
        } else {
            PushWindowClose();
        }
        int frames = 0;
        while (CController::IsRunning() && frames < 10) {
            CController::PumpCurrent();
            ++frames;
        }
        EXPECT_FALSE(CController::IsRunning());
        EXPECT_EQ(frames, 3);
        EXPECT_FALSE(root.IsActive());
        EXPECT_EQ(CInput::IsTerminating(), signal);
    }
}

TEST_F(InputTest, HandlerOpeningAChildDropsTheNextEvent) {
    RecordingScreen root(2), child(3);
    root.Activate(nullptr);
    root.openOnKey = SDLK_a;
    root.child = &child;
    PushKey(true, SDLK_a);
    PushKey(true, SDLK_b);  // taken and dropped
    PushKey(true, SDLK_c);
    PushKey(true, SDLK_d);
    root.Pump();
    ASSERT_EQ(root.calls.size(), 1u);
    EXPECT_EQ(PendingEvents(), 2);
    EXPECT_EQ(CController::GetCurrent(), &child);
    child.Pump();
    std::vector<Call> expected = {{"keydown", 'c', 0}, {"keydown", 'd', 0}};
    EXPECT_EQ(child.calls, expected);
}

// A wait that holds the frame loop (a score request) takes the first Escape
// press off the queue and nothing else: every other event, an Escape
// release and a later press too, reaches the screen in its order.
TEST_F(InputTest, AWaitTakesOnlyTheFirstEscapePress) {
    RecordingScreen s(3);
    s.Activate(nullptr);
    PushKey(true, SDLK_a);
    EXPECT_FALSE(CInput::TakeEscapePress());
    PushKey(true, SDLK_ESCAPE);
    PushPointerMotion(10, 20);
    PushKey(false, SDLK_ESCAPE);
    PushKey(true, SDLK_ESCAPE);
    EXPECT_TRUE(CInput::TakeEscapePress());
    s.Pump();
    const std::vector<Call> expected = {
        {"keydown", 'a', 0}, {"move", 10, 20}, {"keyup", 27, 0}, {"keydown", 27, 0}};
    EXPECT_EQ(s.calls, expected);
}

TEST_F(InputTest, InactiveScreenTakesOneEventAndStops) {
    RecordingScreen s(3);
    PushKey(true, SDLK_a);
    PushKey(true, SDLK_b);
    CInput::PumpEvents(&s);
    EXPECT_TRUE(s.calls.empty());
    EXPECT_EQ(PendingEvents(), 1);
}

}  // namespace
