// What main brings up before the first screen, for screen tests on the real
// resource files, headless: a private HOME, the profile, display, renderer,
// input, images, pointer, fonts, level pack and score boards, with frames
// paced by a fake clock. Up once per suite, Down at its end.
#pragma once

#include <SDL.h>

#include <cstdint>

class CProfile;

namespace ScreenWorld {

void Up();
void Down();
CProfile& Profile();
// Where the profile's files live.
const char* ProfileDir();

// One pass of the frame loop; n passes.
void Frame();
void Frames(int n);
// Queues key and pointer events as the player makes them.
void PushKey(bool down, SDLKey sym, SDLMod mod = KMOD_NONE);
void TapKey(SDLKey sym);
void TypeText(const char* text);
void PushMotion(int x, int y);
// A left click at (x, y): motion, a frame for the hover, press, release.
void Click(int x, int y);
// Empties the event queue.
void Drain();

}  // namespace ScreenWorld
