// Helpers for the display, image store, pack and text tests: a headless
// video mode, small images made in memory, and image packs written byte by
// byte.
#pragma once

#include <SDL.h>
#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>
#include <string>
#include <utility>
#include <vector>

#include "engine/CDraw.h"
#include "engine/Utilities.h"
#include "tests/support/TestSupport.h"

namespace displaytest {


// An uncompressed 32-bit TGA, top-left origin, every pixel (r, g, b, a).
inline std::vector<uint8_t> MakeTga(int w, int h, uint8_t r, uint8_t g, uint8_t b, uint8_t a) {
    std::vector<uint8_t> out = {0, 0, 2, 0, 0, 0, 0, 0, 0, 0, 0, 0,
                                static_cast<uint8_t>(w), static_cast<uint8_t>(w >> 8),
                                static_cast<uint8_t>(h), static_cast<uint8_t>(h >> 8), 32, 0x28};
    for (int i = 0; i < w * h; ++i) {
        out.push_back(b);
        out.push_back(g);
        out.push_back(r);
        out.push_back(a);
    }
    return out;
}

// A 24-bit BMP file (the decoder recognises BMP whatever type is asked).
inline std::vector<uint8_t> MakeBmp(int w, int h, uint8_t r, uint8_t g, uint8_t b) {
    SDL_Surface* s = SDL_CreateRGBSurface(SDL_SWSURFACE, w, h, 24, 0xFF0000, 0x00FF00, 0x0000FF, 0);
    SDL_FillRect(s, nullptr, SDL_MapRGB(s->format, r, g, b));
    std::vector<uint8_t> buf(static_cast<size_t>(54 + (w * 3 + 3) / 4 * 4 * h + 1024));
    SDL_RWops* rw = SDL_RWFromMem(buf.data(), static_cast<int>(buf.size()));
    SDL_SaveBMP_RW(s, rw, 0);
    buf.resize(static_cast<size_t>(SDL_RWtell(rw)));
    SDL_RWclose(rw);
    SDL_FreeSurface(s);
    return buf;
}


inline bool NoFullscreen() { return false; }

// A headless 800 x 600 display with an empty store; the store, pacing and
// seams are put back after each test.
class DisplayTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_EQ(SDL_InitSubSystem(SDL_INIT_VIDEO), 0) << SDL_GetError();
        CDraw::SetFullscreenOption(NoFullscreen, nullptr);
        CDraw::SetVideoModeHook(nullptr);
        CDraw::SetVideoMode();
        ASSERT_TRUE(CDraw::HasScreen());
        CDraw::SetUrlDir(false);
        CDraw::FreeImageStore();
        CDraw::ResetDisplayState();
    }
    void TearDown() override {
        CDraw::FreeImageStore();
        CDraw::ResetDisplayState();
        CDraw::SetClock(nullptr, nullptr);
        CDraw::ForceFullFlip(-1);
        CDraw::SetFullscreenOption(nullptr, nullptr);
        CDraw::SetVideoModeHook(nullptr);
        CDraw::SetUrlDir(false);
        CDraw::CloseScreen();
    }

    // Binds bytes to a name as the preload does.
    static void AddFile(const std::string& name, const std::vector<uint8_t>& bytes) {
        uint8_t* data = new uint8_t[bytes.size() ? bytes.size() : 1];
        if (!bytes.empty()) memcpy(data, bytes.data(), bytes.size());
        CDraw::AddPreloadedImage(name, data, static_cast<uint32_t>(bytes.size()));
    }

    static uint8_t AlphaAt(ImageId id, int x, int y) {
        SDL_Surface* s = CDraw::GetSurface(id);
        const uint32_t p = CDraw::GetPixel(s, x, y);
        Uint8 r, g, b, a;
        SDL_GetRGBA(p, s->format, &r, &g, &b, &a);
        return a;
    }
};

}  // namespace displaytest
