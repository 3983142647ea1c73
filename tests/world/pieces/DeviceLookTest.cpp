// What the devices show: every picture their sprites name is there to draw
// in the game's world, for every colour and for the hero's inflatable portals.
#include <gtest/gtest.h>

#include <string>

#include "engine/CSprite.h"
#include "tests/world/pieces/DeviceWorld.h"
#include "world/pieces/CElementDeviceTeleport.h"

namespace {

using DeviceLookTest = devicetest::DeviceWorldTest;

TEST_F(DeviceLookTest, EveryDeviceFrameHasAPicture) {
    Build({"b.y.r.B.Y.R.T",
           "#######################"},
          "teleport: blue 14 22\nteleport: yellow 17 22\nteleport: red 20 22\n");
    for (int colour = 0; colour < TELEPORT_COLOURS; ++colour) new CElementDeviceTeleport(3 * colour, 10, colour, true);
    int sprites = 0;
    for (CSprite* s : GetSpriteList()) {
        ++sprites;
        for (int i = 0; i < s->GetFrameCount(); ++i)
            EXPECT_GE(s->GetFrameImage(i), 0) << s->GetName() << " frame " << i;
    }
    // Buttons 2 each, a blue gate 8, the others 11, a trampoline 12, a
    // level's portal 13, an inflatable one 14.
    EXPECT_GE(sprites, 3 * 2 + 8 + 2 * 11 + 12 + 3 * 13 + 3 * 14);
}

}  // namespace
