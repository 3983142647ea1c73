// Random levels for the tests that run the whole world over what no shipped
// level holds: every piece scattered over a level the editor could have
// made, and random key records to play it with.
#pragma once

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <random>
#include <vector>

#include "world/CLevel.h"
#include "world/SolutionKeys.h"

namespace worldtest {

// The pieces the generator scatters anywhere over the level.
inline const uint32_t kLooseTiles[] = {
    OBJECT_WCRATE,  OBJECT_MCRATE,  OBJECT_WBARREL, OBJECT_MBARREL, OBJECT_LMAGNET, OBJECT_RMAGNET, TERRAIN_ICE,
    TERRAIN_BRIDGE, TERRAIN_SAND,   TERRAIN_GRASS,  DEVICE_GATE_B,  DEVICE_GATE_Y,  DEVICE_GATE_R,  BOT_HANG,
    BOT_LEFT,       BOT_RIGHT,      TUTORIAL,
};
// The pieces that stand on ground.
inline const uint32_t kGroundTiles[] = {DEVICE_BUTTON_B, DEVICE_BUTTON_Y, DEVICE_BUTTON_R, DEVICE_TRAMPOLINE,
                                        BOT_LEFT,        BOT_RIGHT};
// Every power-up.
inline const uint32_t kPowerupTiles[] = {POWERUP_FROSTGUN, POWERUP_HEATGUN, POWERUP_WHISTLE,
                                         POWERUP_TELEPORT, POWERUP_BRIDGE,  POWERUP_EMP,
                                         POWERUP_CRATE,    POWERUP_BARREL,  POWERUP_MAGNET};

template <size_t N>
uint32_t Pick(const uint32_t (&codes)[N], int i) {
    return codes[static_cast<size_t>(i) % N];
}

// A level the editor could have made: ground, a few ledges, ladders (some
// with a platform), the two tubes on terrain with room above, pieces
// anywhere, pieces on ground, power-ups along the floor and pairs of
// portals standing on terrain.
inline CLevel MakeRandomLevel(std::mt19937* rng) {
    auto rnd = [rng](int lo, int hi) { return std::uniform_int_distribution<int>(lo, hi)(*rng); };
    CLevel level;
    for (int x = 0; x < CLevel::kWidth; ++x) level.SetTile(rnd(0, 9) == 0 ? TERRAIN_ICE : TERRAIN_GRASS, x, 23);
    const int ledges = rnd(2, 6);
    for (int i = 0; i < ledges; ++i) {
        const int y = rnd(8, 21), x0 = rnd(0, 28), w = rnd(2, 10);
        const uint32_t code = rnd(0, 3) == 0 ? TERRAIN_SAND : TERRAIN_GRASS;
        for (int x = x0; x < x0 + w && x < CLevel::kWidth; ++x) level.SetTile(code, x, y);
    }
    const int ladders = rnd(0, 3);
    for (int i = 0; i < ladders; ++i) {
        const int x = rnd(0, 31), top = rnd(5, 18);
        for (int y = top; y < 23; ++y) level.SetLadder(LADDER, x, y);
        if (rnd(0, 1) == 0) level.SetTile(PLATFORM, x, top);
    }
    const int loose = rnd(3, 25);
    for (int i = 0; i < loose; ++i) {
        const int x = rnd(0, 31), y = rnd(2, 22);
        if (level.GetTile(x, y) != NONE) continue;
        const uint32_t code = Pick(kLooseTiles, rnd(0, 1000));
        level.SetTile(code, x, y);
        if (code == TUTORIAL) level.SetTutorialText(x, y, "Mind the gap.");
    }
    const int grounded = rnd(0, 8);
    for (int i = 0; i < grounded; ++i) {
        const int x = rnd(0, 31), y = rnd(2, 22);
        if (level.GetTile(x, y) == NONE && level.IsTerrain(x, y + 1))
            level.SetTile(Pick(kGroundTiles, rnd(0, 1000)), x, y);
    }
    // Tubes on row 22 over the ground, with nothing above them; in half the
    // levels the exit is a few steps away, so that random keys end more of
    // them.
    const int start = rnd(0, 14), exit = rnd(0, 1) ? rnd(17, 31) : start + rnd(3, 6);
    for (int x : {start, exit}) {
        level.SetTile(TERRAIN_GRASS, x, 23);
        for (int y = 0; y < 23; ++y) level.SetTile(NONE, x, y), level.SetLadder(NONE, x, y);
    }
    // Power-ups along the floor, most of them a step or two from the
    // entrance tube, where the hero's first moves collect them.
    for (int i = rnd(1, 5); i > 0; --i) {
        const int x = rnd(0, 2) == 0 ? rnd(0, 31) : start + (rnd(0, 1) ? 1 : -1) * rnd(1, 2);
        if (x >= 0 && x < CLevel::kWidth && x != start && x != exit)
            level.SetTile(Pick(kPowerupTiles, rnd(0, 1000)), x, 22);
    }
    // Portals: a pair of some colours, each on terrain under either column,
    // clear of the tubes' columns and of each other, its two by two cells
    // emptied.
    std::vector<TeleportCell> portals;
    for (int colour = 0; colour < CLevel::kTeleportColours; ++colour) {
        if (rnd(0, 2) == 0) continue;
        for (int placed = 0, tries = 0; placed < 2 && tries < 40; ++tries) {
            const int x = rnd(-1, 31), y = rnd(3, 22);
            if (!level.IsTerrain(x, y + 1) && !level.IsTerrain(x + 1, y + 1)) continue;
            if (x + 1 >= start && x <= start) continue;
            if (x + 1 >= exit && x <= exit) continue;
            bool overlaps = false;
            for (const TeleportCell& p : portals)
                overlaps = overlaps || (std::abs(p.x - x) < 2 && std::abs(p.y - y) < 2);
            if (overlaps) continue;
            for (int cx = x; cx <= x + 1; ++cx)
                for (int cy = y - 1; cy <= y; ++cy) level.SetTile(NONE, cx, cy), level.SetLadder(NONE, cx, cy);
            level.SetTeleport(DEVICE_LTELEPORT_B + colour, x, y);
            portals.push_back({x, y});
            ++placed;
        }
    }
    level.SetTile(DEVICE_TUBE_START, start, 22);
    level.SetTile(DEVICE_TUBE_END, exit, 22);
    // Some cells frozen or heated.
    for (int i = rnd(0, 4); i > 0; --i)
        level.SetTileState(rnd(0, 1) ? TILE_STATE_FROZEN : TILE_STATE_HEATED, rnd(0, 31), rnd(0, 22));
    return level;
}

// The four moves first; walking comes up more often than the rest.
inline const int kKeyCodes[] = {SOLUTION_KEY_LEFT,  SOLUTION_KEY_RIGHT, SOLUTION_KEY_UP,   SOLUTION_KEY_DOWN,
                                SOLUTION_KEY_LEFT,  SOLUTION_KEY_RIGHT, SOLUTION_KEY_TURN, SOLUTION_KEY_POWERUP_FIRST,
                                SOLUTION_KEY_POWERUP_FIRST + 1,         SOLUTION_KEY_POWERUP_FIRST + 2};

// Presses with their releases, in frame order.
inline std::vector<ReplayKey> MakeRandomKeys(std::mt19937* rng, int frames) {
    auto rnd = [rng](int lo, int hi) { return std::uniform_int_distribution<int>(lo, hi)(*rng); };
    std::vector<ReplayKey> presses;
    for (int f = rnd(1, 30); f < frames; f += rnd(1, 30)) {
        const int code = kKeyCodes[rnd(0, sizeof(kKeyCodes) / sizeof(kKeyCodes[0]) - 1)];
        presses.push_back({f, code, false});
        presses.push_back({f + rnd(1, 60), code, true});
    }
    std::stable_sort(presses.begin(), presses.end(),
                     [](const ReplayKey& a, const ReplayKey& b) { return a.frame < b.frame; });
    return presses;
}

}  // namespace worldtest
