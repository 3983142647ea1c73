// What the devices show: every picture their sprites name is there to draw
// in the game's world, for every colour and for the hero's inflatable portals;
// and the colour, facing and kind the level builder gives each tile.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "engine/CSprite.h"
#include "tests/world/pieces/DeviceWorld.h"
#include "world/pieces/CElementDeviceButton.h"
#include "world/pieces/CElementDeviceGate.h"
#include "world/pieces/CElementDevicePowerup.h"
#include "world/pieces/CElementDeviceTeleport.h"
#include "world/pieces/CElementObjectMagnet.h"

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

TEST_F(DeviceLookTest, TheBuilderGivesEachTileItsColourFacingAndKind) {
    // Yellow and red gates and buttons, both magnets, a teleport power-up in
    // row 21 and one further right in row 22, yellow and red portal pairs.
    const std::vector<std::string> rows = {".....P", "Y.R.y.r.<.>..............P", "################################"};
    const std::string portals =
        "teleport: yellow 12 22\nteleport: yellow 15 22\nteleport: red 18 22\nteleport: red 21 22\n";
    struct Piece {
        int x, y;
        const char* kind;
        int colour;        // colour, magnet facing (1 left, 2 right) or power-up kind
        const char* look;  // a word of the name of the picture that tells it
    };
    const Piece pieces[] = {
        {0, 22, "Gate Device", BUTTON_YELLOW, "(Yellow)"},
        {2, 22, "Gate Device", BUTTON_RED, "(Red)"},
        {4, 22, "Button Device", BUTTON_YELLOW, "(Yellow)"},
        {6, 22, "Button Device", BUTTON_RED, "(Red)"},
        {8, 22, "Magnet Object", 1, "(Left"},
        {10, 22, "Magnet Object", 2, "(Right"},
        {12, 22, "Teleport Device", TELEPORT_YELLOW, "(Yellow)"},
        {15, 22, "Teleport Device", TELEPORT_YELLOW, "(Yellow)"},
        {18, 22, "Teleport Device", TELEPORT_RED, "(Red)"},
        {21, 22, "Teleport Device", TELEPORT_RED, "(Red)"},
        // The level's portals leave blue free: the power-up scanned first
        // (rows from the top) takes it, and the second finds no colour left
        // and falls back on blue.
        {5, 21, "Powerup Device", CElementDevicePowerup::KIND_TELEPORT_BLUE, "(Blue)"},
        {25, 22, "Powerup Device", CElementDevicePowerup::KIND_TELEPORT_BLUE, "(Blue)"},
    };
    // Without portals in the level the two take blue and yellow in that order.
    const Piece withoutPortals[] = {
        {5, 21, "Powerup Device", CElementDevicePowerup::KIND_TELEPORT_BLUE, "(Blue)"},
        {25, 22, "Powerup Device", CElementDevicePowerup::KIND_TELEPORT_YELLOW, "(Yellow)"},
    };
    auto check = [](const Piece& p) {
        SCOPED_TRACE(std::to_string(p.x) + "," + std::to_string(p.y));
        CElement* e = nullptr;
        for (CElement* each : CElement::GetAllElements())
            if (each->GetCurrentX() == p.x && each->GetCurrentY() == p.y && !each->IsTerrain()) e = each;
        ASSERT_NE(e, nullptr);
        EXPECT_STREQ(e->GetTypeName(), p.kind);
        int colour = -1;
        CSprite* look = e->GetSprite();
        if (auto* g = dynamic_cast<CElementDeviceGate*>(e)) colour = g->GetColour(), look = g->GetShownLight();
        if (auto* b = dynamic_cast<CElementDeviceButton*>(e)) colour = b->GetColour();
        if (auto* t = dynamic_cast<CElementDeviceTeleport*>(e)) colour = t->GetColour(), look = t->GetFrontSprite();
        if (auto* m = dynamic_cast<CElementObjectMagnet*>(e)) colour = m->IsFaceLeft() ? 1 : 2;
        if (auto* u = dynamic_cast<CElementDevicePowerup*>(e)) colour = u->GetKind(), look = u->GetIconSprite();
        EXPECT_EQ(colour, p.colour);
        if (e->IsMagnet()) {
            EXPECT_EQ(e->typeMagnet, p.colour);
        }
        ASSERT_NE(look, nullptr);
        EXPECT_NE(std::string(look->GetName()).find(p.look), std::string::npos) << look->GetName();
    };
    Build(rows, portals);
    for (const Piece& p : pieces) check(p);
    CElement::UnloadElements();
    Build(rows);
    for (const Piece& p : withoutPortals) check(p);
}

}  // namespace
