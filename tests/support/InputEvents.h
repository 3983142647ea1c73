// Input queued as SDL brings it from the player: keys, text typed a key at a
// time, pointer motion, mouse buttons and the window's close button; and the
// queue emptied. The screen under test takes the events in on its next
// frames.
#pragma once

#include <SDL.h>
#include <gtest/gtest.h>

#include <cctype>

#include "engine/CInput.h"

inline void PushKey(bool down, SDLKey sym, SDLMod mod = KMOD_NONE) {
    SDL_Event e = {};
    e.type = down ? SDL_KEYDOWN : SDL_KEYUP;
    e.key.type = e.type;
    e.key.state = down ? SDL_PRESSED : SDL_RELEASED;
    e.key.keysym.sym = sym;
    e.key.keysym.mod = mod;
    EXPECT_EQ(SDL_PushEvent(&e), 0);
}

// A key pressed and released.
inline void TapKey(SDLKey sym, SDLMod mod = KMOD_NONE) {
    PushKey(true, sym, mod);
    PushKey(false, sym, mod);
}

// Each character a key tap; capitals with the left shift held around them.
inline void TypeText(const char* text) {
    for (const char* c = text; *c; ++c) {
        const bool upper = isupper(static_cast<unsigned char>(*c)) != 0;
        const SDLKey sym = static_cast<SDLKey>(tolower(static_cast<unsigned char>(*c)));
        if (upper) PushKey(true, SDLK_LSHIFT, KMOD_LSHIFT);
        TapKey(sym, upper ? KMOD_LSHIFT : KMOD_NONE);
        if (upper) PushKey(false, SDLK_LSHIFT);
    }
}

// A motion of the pointer to (x, y), by (xrel, yrel), as the mouse brings it.
inline void PushPointerMotion(int x, int y, int xrel = 0, int yrel = 0) {
    SDL_Event e = {};
    e.type = SDL_MOUSEMOTION;
    e.motion.type = SDL_MOUSEMOTION;
    e.motion.x = static_cast<Uint16>(x);
    e.motion.y = static_cast<Uint16>(y);
    e.motion.xrel = static_cast<Sint16>(xrel);
    e.motion.yrel = static_cast<Sint16>(yrel);
    EXPECT_EQ(SDL_PushEvent(&e), 0);
}

// A mouse button going down or up at (x, y). Like SDL's, the event carries
// the pointer's position: where the game has the pointer now, unless given
// (a press queued behind motions that the game has not seen yet).
inline void PushButton(bool down, int button, int x = -1, int y = -1) {
    if (x < 0 || y < 0) {
        x = GetMouseX();
        y = GetMouseY();
    }
    SDL_Event e = {};
    e.type = down ? SDL_MOUSEBUTTONDOWN : SDL_MOUSEBUTTONUP;
    e.button.type = e.type;
    e.button.button = static_cast<Uint8>(button);
    e.button.state = down ? SDL_PRESSED : SDL_RELEASED;
    e.button.x = static_cast<Uint16>(x);
    e.button.y = static_cast<Uint16>(y);
    EXPECT_EQ(SDL_PushEvent(&e), 0);
}

// The window's close button (the window manager's quit request).
inline void PushWindowClose() {
    SDL_Event e = {};
    e.type = SDL_QUIT;
    e.quit.type = SDL_QUIT;
    EXPECT_EQ(SDL_PushEvent(&e), 0);
}

inline void DrainEvents() {
    SDL_Event e;
    while (SDL_PollEvent(&e)) {
    }
}
