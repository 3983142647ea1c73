// What main brings up before the first screen, for screen tests on the real
// resource files, headless: a private HOME, the profile, display, renderer,
// input, images, pointer, fonts, level pack and score boards, with frames
// paced by a fake clock. Up once per suite, Down at its end.
#pragma once

#include <SDL.h>
#include <gtest/gtest.h>

#include <cstdint>

class CProfile;

namespace ScreenWorld {

void Up();
void Down();
CProfile& Profile();
// Where the profile's files live.
const char* ProfileDir();

// The fake clock (milliseconds), which the frame pacing advances.
uint32_t& Ticks();
// One pass of the frame loop; n passes; passes until the clock has
// advanced by ms.
void Frame();
void Frames(int n);
void RunFor(int ms);
// Queues key and pointer events as the player makes them.
void PushKey(bool down, SDLKey sym, SDLMod mod = KMOD_NONE);
void TapKey(SDLKey sym);
void TypeText(const char* text);
// A left click at (x, y): motion, a frame for the hover, press, release.
void Click(int x, int y);

}  // namespace ScreenWorld

// A suite on that world: up for the suite, an empty screen stack, widget
// state and event queue, and the pointer in the corner for each test.
class ScreenWorldTest : public ::testing::Test {
protected:
    static void SetUpTestSuite() { ScreenWorld::Up(); }
    static void TearDownTestSuite() { ScreenWorld::Down(); }
    void SetUp() override;
    void TearDown() override;
};
