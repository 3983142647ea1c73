// Shared by the sprite, painter's order, renderer, pointer and background
// tests: a headless screen, solid test images, a screen with a chosen id, a
// fake clock, and world sprites placed by cell.
#pragma once

#include <SDL.h>
#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>
#include <vector>

#include "engine/CController.h"
#include "engine/CDraw.h"
#include "engine/CRender.h"
#include "engine/CSprite.h"

namespace spritetest {

// A screen that only carries an id, to make the renderer see the play
// screen, the editor or a menu.
class IdScreen : public CController {
public:
    explicit IdScreen(int screenId) { id = screenId; }
    void InputKey(bool, int) override {}
    void Pump() override {}
};

// Opens the display for one test (EndWorld closes it again).
inline bool OpenVideo() {
    // Presented by dirty rectangles, whatever an earlier test forced.
    CDraw::ForceFullFlip(0);
    if (SDL_WasInit(SDL_INIT_VIDEO) && SDL_GetVideoSurface() && CDraw::GetScreen() == SDL_GetVideoSurface())
        return true;
    if (!SDL_WasInit(SDL_INIT_VIDEO) && SDL_InitSubSystem(SDL_INIT_VIDEO) != 0) return false;
    CDraw::SetFullscreenOption([]() { return false; }, []() {});
    CDraw::ForceFullFlip(0);
    CDraw::SetVideoMode();
    return CDraw::HasScreen() && CDraw::GetScreen() == SDL_GetVideoSurface();
}

// A solid w x h image; with alpha it keeps per-pixel alpha, without it is
// an opaque picture whose whole-surface alpha a fade can change.
inline int MakeImage(const char* name, int w, int h, Uint8 r, Uint8 g, Uint8 b, bool withAlpha = true) {
    SDL_Surface* s = SDL_CreateRGBSurface(SDL_SWSURFACE, w, h, 32, 0x00FF0000, 0x0000FF00, 0x000000FF,
                                          withAlpha ? 0xFF000000 : 0);
    SDL_FillRect(s, nullptr, SDL_MapRGBA(s->format, r, g, b, 255));
    return CDraw::LoadSurface(s, name);
}

struct Rgb {
    int r, g, b;
};

inline Rgb ScreenPixel(int x, int y) {
    SDL_Surface* s = CDraw::GetScreen();
    SDL_LockSurface(s);
    const uint32_t p = CDraw::GetPixel(s, x, y);
    SDL_UnlockSurface(s);
    Uint8 r, g, b;
    SDL_GetRGB(p, s->format, &r, &g, &b);
    return Rgb{r, g, b};
}

inline std::vector<uint8_t> ScreenBytes() {
    SDL_Surface* s = CDraw::GetScreen();
    SDL_LockSurface(s);
    const size_t n = static_cast<size_t>(s->pitch) * static_cast<size_t>(s->h);
    std::vector<uint8_t> out(n);
    std::memcpy(out.data(), s->pixels, n);
    SDL_UnlockSurface(s);
    return out;
}

inline void SetScreenBytes(const std::vector<uint8_t>& bytes) {
    SDL_Surface* s = CDraw::GetScreen();
    SDL_LockSurface(s);
    std::memcpy(s->pixels, bytes.data(), bytes.size());
    SDL_UnlockSurface(s);
}

inline void ClearScreen() {
    SDL_Surface* s = CDraw::GetScreen();
    SDL_FillRect(s, nullptr, 0);
}

// Fake clock for fades.
inline uint32_t& FakeNow() {
    static uint32_t now = 1000;
    return now;
}
inline uint32_t FakeClock() { return FakeNow(); }

enum Moves { STILL = 0, LEFT = 1, RIGHT = 2, UP = 4, DOWN = 8 };

// A world sprite with its tile extent and pixel rectangle set directly: tx,
// ty as the sprite keeps them (bottom row, or top row for terrain), size in
// cells, moving flags, and previous cells (defaulting to the current ones).
struct Placed {
    SpriteLayer type;
    int tx, ty;
    int tw = 1, th = 1;
    int moves = STILL;
    int ptx = -1000, pty = -1000;
    // Extra pixels on every side of the pixel rectangle (to make pixel
    // rectangles overlap where tiles do not).
    int grow = 0;
};

inline CSprite* MakePlaced(const Placed& p) {
    CSprite* s = new CSprite(29, 20, p.type, 0, true, p.tw, p.th);
    CSpriteState st = s->GetState();
    const int top = p.type == LAYER_TERRAIN ? p.ty : p.ty - p.th + 1;
    st.x = p.tx * 24 - p.grow;
    st.y = top * 24 - p.grow;
    st.w = p.tw * 24 + 2 * p.grow;
    st.h = p.th * 24 + 2 * p.grow;
    st.prevX = st.x;
    st.prevY = st.y;
    st.prevW = st.w;
    st.prevH = st.h;
    st.tileX = p.tx;
    st.tileY = p.ty;
    st.prevTileX = p.ptx == -1000 ? p.tx : p.ptx;
    st.prevTileY = p.pty == -1000 ? p.ty : p.pty;
    st.movingLeft = (p.moves & LEFT) ? 1 : 0;
    st.movingRight = (p.moves & RIGHT) ? 1 : 0;
    st.movingUp = (p.moves & UP) ? 1 : 0;
    st.movingDown = (p.moves & DOWN) ? 1 : 0;
    st.hidden = 1;
    st.prevHidden = 1;
    s->SetState(st);
    return s;
}

// Deletes every sprite still on the live or set-aside list and empties the
// renderer and the image store.
inline void ResetWorld() {
    std::vector<CSprite*> all = GetSpriteList();
    for (CSprite* s : GetSetAsideSpriteList()) all.push_back(s);
    for (CSprite* s : all) delete s;
    CRender::Reset();
    CDraw::FreeImageStore();
    CSprite::SetClock(nullptr);
    CController::ResetStack();
}

// After a test: the world emptied and the display closed, so that the next
// test finds none, as a test run on its own does.
inline void EndWorld() {
    ResetWorld();
    CDraw::CloseScreen();
}

}  // namespace spritetest
