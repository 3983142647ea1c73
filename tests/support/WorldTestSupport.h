// Helpers for tests of the world: the headless world started once per test
// program (display on SDL's dummy driver, image caches, fonts, level pack),
// a frame counter the world's landings read while a test steps it, and the
// sections of small levels written in our level source format.
#pragma once

#include <gtest/gtest.h>

#include <SDL.h>

#include <algorithm>
#include <cstdint>
#include <string>
#include <vector>

#include "engine/CDraw.h"
#include "engine/CSprite.h"
#include "engine/ResourceFiles.h"
#include "engine/Utilities.h"
#include "tests/support/TestSupport.h"
#include "world/CElement.h"
#include "world/CHeadlessWorld.h"
#include "world/CLevel.h"
#include "world/CLevelSet.h"

namespace worldtest {

inline uint32_t g_frame = 0;
inline uint32_t TestFrame() { return g_frame; }

// Starts the headless world from the run folder the first time, with the
// profile folder (where the error log goes) in a private home, not in the
// run folder. Later calls bring the shipped levels back when a test of the
// level sets has emptied them, so that a test of the shipped levels finds
// them whichever tests ran before it in the same program.
inline void EnsureHeadlessWorld() {
    std::string error;
    if (CHeadlessWorld::IsStarted()) {
        if (CLevelSet::GetSet(0)->GetLevelCount() == 0) {
            ASSERT_TRUE(CLevelSet::LoadPack(std::string(ZORV_RUN_DIR) + "/" + kLevelPackFile, &error)) << error;
        }
        return;
    }
    static CScopedHome home;
    InitDirectories();
    NoteProgramWideSetUp();
    ASSERT_TRUE(CHeadlessWorld::Start(ZORV_RUN_DIR, &error)) << error;
}

// Ground from wall to wall on the bottom row, the entrance tube at column 2
// and the exit tube at exitColumn, both on the row above.
inline CLevel WalkLevel(int exitColumn) {
    CLevel level;
    for (int x = 0; x < CLevel::kWidth; ++x) level.SetTile(TERRAIN_GRASS, x, 23);
    level.SetTile(DEVICE_TUBE_START, 2, 22);
    level.SetTile(DEVICE_TUBE_END, exitColumn, 22);
    return level;
}

// One picture section of a level source ("tiles", "ladders", "states"): the
// given rows at the bottom of the grid (from its top with fromTop), each
// filled out with '.' to the grid's width; the other rows are empty.
inline std::string PictureSection(const std::string& name, const std::vector<std::string>& rows,
                                  bool fromTop = false) {
    const int count = static_cast<int>(rows.size());
    const int first = fromTop ? 0 : CLevel::kHeight - count;
    std::string text = name + ":\n";
    for (int y = 0; y < CLevel::kHeight; ++y) {
        const int i = y - first;
        std::string row = i >= 0 && i < count ? rows[static_cast<size_t>(i)] : "";
        row.resize(CLevel::kWidth, '.');
        text += row + "\n";
    }
    return text;
}

// The section of recorded keys ("frame key down|up" lines); nothing without
// lines.
inline std::string SolutionSection(const std::vector<std::string>& lines) {
    if (lines.empty()) return "";
    std::string text = "solution:\n";
    for (const std::string& line : lines) text += line + "\n";
    return text;
}

// Where a frame of a sprite draws its figure across: the middle of the
// picture's clearly opaque columns, in screen pixels from the sprite's
// position (the picture is placed by the sprite's origin, as on screen).
inline double FigureMiddle(const CSprite* sprite, int frame) {
    SDL_Surface* picture = CDraw::GetSurface(sprite->GetFrameImage(frame));
    int left = 1 << 20, right = -(1 << 20);
    for (int y = 0; picture && y < picture->h; ++y)
        for (int x = 0; x < picture->w; ++x) {
            Uint8 r, g, b, a;
            SDL_GetRGBA(CDraw::GetPixel(picture, x, y), picture->format, &r, &g, &b, &a);
            if (a >= 128) left = std::min(left, x), right = std::max(right, x);
        }
    return (left + right) / 2.0 - sprite->GetOriginX();
}

// Where a frame of a sprite draws the mass of its figure: the mean column of
// the picture's clearly opaque pixels, in screen pixels from the sprite's
// position. Unlike the middle of the drawing's extent, it follows the body
// and not a flung arm, a claw or the tail of a scarf.
inline double DrawnMiddle(const CSprite* sprite, int frame) {
    SDL_Surface* picture = CDraw::GetSurface(sprite->GetFrameImage(frame));
    double sum = 0;
    int count = 0;
    for (int y = 0; picture && y < picture->h; ++y)
        for (int x = 0; x < picture->w; ++x) {
            Uint8 r, g, b, a;
            SDL_GetRGBA(CDraw::GetPixel(picture, x, y), picture->format, &r, &g, &b, &a);
            if (a >= 128) sum += x, ++count;
        }
    return (count ? sum / count : 0.0) - sprite->GetOriginX();
}

// One world step at the next frame number.
inline void Step(int frames = 1) {
    for (int i = 0; i < frames; ++i) {
        ++g_frame;
        CElement::UpdateWorld();
        UpdateAllSprites();
    }
}

// A fresh, empty world for each test; every element is unloaded afterwards.
class WorldTest : public ::testing::Test {
protected:
    void SetUp() override {
        EnsureHeadlessWorld();
        g_frame = 0;
        CElement::SetFrameSource(TestFrame);
        CElement::SetProfile(nullptr);
        CElement::ResetWorld();
        CElement::SetStepCount(0);
    }
    void TearDown() override {
        CElement::UnloadElements();
        CElement::SetFrameSource(nullptr);
    }
    // The element of class T standing in cell (x, y), or null.
    template <class T>
    static T* At(int x, int y) {
        return dynamic_cast<T*>(CElement::GetElementAt(x, y));
    }
    // Steps until done() holds; false when it did not within maxFrames.
    template <class Done>
    static bool StepUntil(Done done, int maxFrames) {
        for (int i = 0; i < maxFrames; ++i) {
            if (done()) return true;
            Step();
        }
        return done();
    }
};

}  // namespace worldtest
