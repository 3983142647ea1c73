// The front-end screens on the real resource files, headless: everything
// main brings up before the first screen (a private HOME, the profile,
// display, renderer, input, images, pointer, fonts, level pack and score
// boards; optionally the sound system on SDL's dummy driver too), frames
// paced by a fake clock, and input pushed as SDL events, so screens are
// driven the way a player drives them. Up once per suite, down at its end;
// each test starts on an empty screen stack, widget state and event queue,
// with the pointer in the corner, and ends with the renderer's own sprite
// list live again.
#pragma once

#include <gtest/gtest.h>

#include <SDL.h>

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "tests/support/InputEvents.h"

class CControllerIntro;
class CControllerMessage;
class CGuiListbox;
class CProfile;

class ScreenTest : public ::testing::Test {
public:
    static void SetUpTestSuite() { StartWorld(false); }
    static void TearDownTestSuite() { StopWorld(); }
    // withSound: the sound system, the sound pack, the music and the
    // interface sounds, as at start-up.
    static void StartWorld(bool withSound);
    static void StopWorld();
    void SetUp() override;
    void TearDown() override;

    static CProfile& Profile();
    // The shared profile as a new player's, the only player: fresh progress,
    // the default options in a window, the default keys, and the world
    // playing for it (false when the player list could not be reset).
    // ForgetPlayer puts progress and options back and takes the profile from
    // the world.
    static bool StartNewPlayer();
    static void ForgetPlayer();
    // The suite's private HOME.
    static std::string HomeFolder();
    // The fake clock (milliseconds) that pacing, sprites and the intro read;
    // the frame pacing advances it.
    static uint32_t& Now();
    // One pass of the frame loop; n passes (fewer if the program stops);
    // passes until the clock has advanced by ms (or the program stops).
    static void Frame();
    static void Frames(int n);
    static void RunFor(int ms);
    // Keys and text are queued as tests/support/InputEvents.h queues them.
    // The pointer goes to (x, y) and a frame shows the hover; then the left
    // button's press and release there are queued.
    static void Click(int x, int y);
    static uint32_t ScreenPixel(int x, int y);
    // Starts the intro and skips it with a key once its logo is in: the main
    // menu is then the current screen (the intro's GetMainMenu).
    static std::unique_ptr<CControllerIntro> SkipIntro();
    // Chooses okay or cancel in the open message box; two frames close it
    // and let its opener see it come back.
    static void Answer(CControllerMessage* box, bool okay);
    // The first cell of every row of a list box, in order.
    static std::vector<std::string> FirstCells(const CGuiListbox* list);
    // Down pressed and held over the list of the current screen: the row
    // after the first frame, then the frames of the next twelve at which the
    // selection moved. The key stays held.
    static std::vector<int> MovesWhileDownHeld(const CGuiListbox* list, int* firstRow);
    // The part of a resource picture that is not see-through (alpha 32 and
    // more), relative to its top-left corner; all zero when nothing is.
    static SDL_Rect OpaqueBox(const char* image);
    // The screen's columns from x0 up to x1 and rows from y0 up to y1 that
    // hold the dark blue ink of text, as drawn by the last frame: the box
    // around it, all zero when there is none.
    static SDL_Rect InkSpan(int x0, int y0, int x1, int y1);
};
