#include "tools/levels/CLevelGenerator.h"

#include <cstdint>
#include <cstdio>

#include "world/CLevel.h"

namespace {

// A small generator of our own, so that the pack is the same on every machine.
class Dice {
public:
    explicit Dice(uint32_t seed) : state_(seed * 2654435761u + 12345u) {}
    int Roll(int lo, int hi) {  // lo..hi inclusive
        state_ = state_ * 1664525u + 1013904223u;
        return lo + static_cast<int>((state_ >> 16) % static_cast<uint32_t>(hi - lo + 1));
    }

private:
    uint32_t state_;
};

const char* const kHeadings[] = {"Practice Walk %d", "Long Way Round %d", "Little Stroll %d"};

}  // namespace

void CLevelGenerator::Generate(int set, int index, int tutorialTextId, CLevel* level) {
    level->Clear();
    Dice dice(static_cast<uint32_t>(set * 1000 + index + 1));
    char heading[40];
    snprintf(heading, sizeof heading, kHeadings[(set >= 0 && set < 3) ? set : 0], index + 1);
    level->SetHeadingText(heading);
    level->SetBackground((index + set * 3) % CLevel::kBackgroundCount);

    // Solid ground over the full width, one to three rows deep.
    const int ground = CLevel::kHeight - 1 - dice.Roll(0, 2);
    for (int y = ground; y < CLevel::kHeight; ++y) {
        for (int x = 0; x < CLevel::kWidth; ++x) level->SetTile(TERRAIN_GRASS, x, y);
    }
    const int entrance = dice.Roll(1, 5);
    level->SetTile(DEVICE_TUBE_START, entrance, ground - 1);

    const bool terrace = set != 2 && dice.Roll(0, 1) == 1;
    if (!terrace) {
        level->SetTile(DEVICE_TUBE_END, dice.Roll(24, 30), ground - 1);
    } else {
        // A terrace on the right, reached by a ladder whose cell beside the
        // terrace carries a platform.
        const int top = ground - 4 - dice.Roll(0, 2);
        const int ladder = dice.Roll(16, 22);
        for (int x = ladder + 1; x < CLevel::kWidth; ++x) level->SetTile(TERRAIN_GRASS, x, top);
        for (int y = top - 1; y < ground; ++y) level->SetLadder(LADDER, ladder, y);
        level->SetTile(PLATFORM, ladder, top);
        level->SetTile(DEVICE_TUBE_END, dice.Roll(ladder + 3, 30), top - 1);
    }

    if (tutorialTextId > 0) {
        char text[48];
        snprintf(text, sizeof text, "#zqdefine %d-s-0#", tutorialTextId);
        level->SetTile(TUTORIAL, entrance + 2, ground - 1);
        level->SetTutorialText(entrance + 2, ground - 1, text);
    }
    level->SetModified(false);
}
