// The front-end screens on the real resource files, headless: everything
// main brings up before the first screen (optionally the sound system on
// SDL's dummy driver too), frames driven by a fake clock, and input pushed
// as SDL events, so screens are driven the way a player drives them.
#pragma once

#include <gtest/gtest.h>

#include <SDL.h>

#include <cstdint>
#include <string>

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

    // The fake clock that pacing, sprites and the intro read.
    static uint32_t& Now();
    // One pass of the frame loop.
    static void Frame();
    // Frames until the clock has advanced by ms (or the program stops).
    static void RunFor(int ms);
    static void PushKey(bool down, SDLKey sym, SDLMod mod = KMOD_NONE);
    // A key pressed and released, then one frame.
    static void TapKey(SDLKey sym);
    // Pointer motion to (x, y) with the relative move (xrel, yrel).
    static void PushMotion(int x, int y, int xrel = 0, int yrel = 0);
    // The pointer moves to (x, y), the left button goes down and up there,
    // a frame after each step.
    static void Click(int x, int y);
    static uint32_t ScreenPixel(int x, int y);
    static CProfile* Profile();
    // The profile folder of the suite's private HOME.
    static std::string ProfileFolder();
};
