// The painter's order: one case per named rule (each case is a pair of
// sprites placed so that this rule is the first to answer), the fixed
// precedence, the three ordering steps, and a randomised check that the sort
// always ends with a permutation of its input.
#include <gtest/gtest.h>

#include <algorithm>
#include <random>
#include <string>
#include <vector>

#include "engine/CController.h"
#include "engine/CSprite.h"
#include "engine/Log.h"
#include "engine/PaintersOrder.h"
#include "tests/engine/SpriteTestSupport.h"

using namespace spritetest;

namespace {

enum Fn { FIXED, BASIC, FULL };

// A row's test is named by its rule's words run together ("FIXED CL_TOP"
// is FixedClTop) unless it gives a name of its own.
struct RuleCase {
    const char* rule;  // the rule that must answer
    Placed n, r;
    int expected;
    const char* name = nullptr;
    Fn fn = FULL;
    bool force = false;
    bool ignoreFar = false;
};

// Shorthands: a 1 x 1 sprite at a cell, and the same with more.
Placed P(SpriteLayer type, int tx, int ty) { return Placed{type, tx, ty}; }
Placed PW(SpriteLayer type, int tx, int ty, int tw) {
    Placed p{type, tx, ty};
    p.tw = tw;
    return p;
}
Placed PM(SpriteLayer type, int tx, int ty, int moves, int ptx = -1000, int pty = -1000) {
    Placed p{type, tx, ty};
    p.moves = moves;
    p.ptx = ptx;
    p.pty = pty;
    return p;
}
Placed PG(SpriteLayer type, int tx, int ty, int grow) {
    Placed p{type, tx, ty};
    p.grow = grow;
    return p;
}

const RuleCase kCases[] = {
    // ---- the fixed precedence ----
    {"FIXED MOUSE", P(LAYER_MOUSE, 0, 0), P(LAYER_CL_TOP, 0, 0), 1, nullptr, FIXED},
    {"FIXED MOUSE", P(LAYER_FLASH, 0, 0), P(LAYER_MOUSE, 0, 0), -1, "FixedMouseFlashBehindPointer", FIXED},
    {"FIXED CL_TOP", P(LAYER_CL_TOP, 0, 0), P(LAYER_CL_LOGO4, 0, 0), 1, nullptr, FIXED},
    {"FIXED MOUSE", P(LAYER_CL_TOP, 0, 0), P(LAYER_MOUSE, 0, 0), -1, "FixedClTopBehindMouse", FIXED},
    {"FIXED CL_LOGO4", P(LAYER_CL_LOGO4, 0, 0), P(LAYER_CL_LOGO3, 0, 0), 1, nullptr, FIXED},
    {"FIXED CL_LOGO3", P(LAYER_CL_LOGO3, 0, 0), P(LAYER_CL_LOGO2, 0, 0), 1, nullptr, FIXED},
    {"FIXED CL_LOGO2", P(LAYER_CL_LOGO2, 0, 0), P(LAYER_CL_LOGO1, 0, 0), 1, nullptr, FIXED},
    {"FIXED CL_LOGO1", P(LAYER_CL_LOGO1, 0, 0), P(LAYER_CL_LOGO0, 0, 0), 1, nullptr, FIXED},
    {"FIXED CL_LOGO0", P(LAYER_CL_LOGO0, 0, 0), P(LAYER_CL_TEXT, 0, 0), 1, nullptr, FIXED},
    {"FIXED CL_TEXT", P(LAYER_CL_TEXT, 0, 0), P(LAYER_CL_ROLL, 0, 0), 1, nullptr, FIXED},
    {"FIXED CL_ROLL", P(LAYER_CL_ROLL, 0, 0), P(LAYER_CL_BUTTON, 0, 0), 1, nullptr, FIXED},
    {"FIXED CL_BUTTON", P(LAYER_CL_BUTTON, 0, 0), P(LAYER_CL_SHADOW, 0, 0), 1, nullptr, FIXED},
    {"FIXED CL_SHADOW", P(LAYER_CL_SHADOW, 0, 0), P(LAYER_CL5, 0, 0), 1, nullptr, FIXED},
    {"FIXED CL5", P(LAYER_CL5, 0, 0), P(LAYER_CL4, 0, 0), 1, nullptr, FIXED},
    {"FIXED CL4", P(LAYER_CL4, 0, 0), P(LAYER_CL3, 0, 0), 1, nullptr, FIXED},
    {"FIXED CL3", P(LAYER_CL3, 0, 0), P(LAYER_CL2, 0, 0), 1, nullptr, FIXED},
    {"FIXED CL2", P(LAYER_CL2, 0, 0), P(LAYER_CL1, 0, 0), 1, nullptr, FIXED},
    {"FIXED CL1", P(LAYER_CL1, 0, 0), P(LAYER_CL0, 0, 0), 1, nullptr, FIXED},
    {"FIXED CL0", P(LAYER_CL0, 0, 0), P(LAYER_MAIN_LEAVES, 0, 0), 1, nullptr, FIXED},
    {"FIXED MAIN", P(LAYER_MAIN_LEAVES, 0, 0), P(LAYER_MAIN_PROFILE, 0, 0), 1, nullptr, FIXED},
    {"FIXED MAIN", P(LAYER_MAIN_PROFILE, 0, 0), P(LAYER_MAIN_VOLCANO_GLOW, 0, 0), -1, "FixedMainLastIsBehind", FIXED},
    {"FIXED CL_CLOUD_ABOVE", P(LAYER_CL_CLOUD, 0, 5), P(LAYER_CL_CLOUD, 3, 5), 1, "FixedClCloudAboveEqualEdges", FIXED},
    {"FIXED CL_CLOUD_ABOVE", P(LAYER_CL_CLOUD, 0, 4), P(LAYER_CL_CLOUD, 0, 5), -1, "FixedClCloudHigherIsBehind", FIXED},
    {"FIXED CL_CLOUD", P(LAYER_CL_CLOUD, 0, 0), P(LAYER_GUI_TOP, 0, 0), 1, nullptr, FIXED},
    {"FIXED GUIT", P(LAYER_GUI_TOP, 0, 0), P(LAYER_GUI_BOTTOM, 0, 0), 1, nullptr, FIXED},
    {"FIXED GUIB", P(LAYER_GUI_BOTTOM, 0, 0), P(LAYER_PALETTE_SELECTOR, 0, 0), 1, nullptr, FIXED},
    {"FIXED PALETTE", P(LAYER_PALETTE_DIMMER, 0, 0), P(LAYER_EDITOR_PLACER, 0, 0), 1, nullptr, FIXED},
    {"FIXED PLACER", P(LAYER_EDITOR_PLACER, 0, 0), P(LAYER_POWERUP_TOP, 0, 0), 1, nullptr, FIXED},
    {"FIXED POWERUP", P(LAYER_POWERUP_TOP, 0, 0), P(LAYER_TELEPORT_GLOW_RIGHT, 0, 0), 1, "FixedPowerupOverlay", FIXED},
    {"FIXED GLOW", P(LAYER_TELEPORT_GLOW_RIGHT, 0, 0), P(LAYER_CAUGHT, 0, 0), 1, nullptr, FIXED},
    {"FIXED CAUGHT", P(LAYER_CAUGHT, 0, 0), P(LAYER_EXPLOSION_COLD, 0, 0), 1, nullptr, FIXED},
    {"FIXED EXPLODE", P(LAYER_EXPLOSION_HOT, 0, 0), P(LAYER_EMP, 0, 0), 1, nullptr, FIXED},
    {"FIXED EMP", P(LAYER_EMP, 0, 0), P(LAYER_OVERLAY, 0, 0), 1, nullptr, FIXED},
    {"FIXED OVERLAY", P(LAYER_OVERLAY, 0, 0), P(LAYER_TUTORIAL_SIGN, 0, 0), 1, nullptr, FIXED},
    {"FIXED TUTORIAL", P(LAYER_TUTORIAL_SIGN, 0, 0), P(LAYER_POWERUP_CAPTION, 0, 0), 1, nullptr, FIXED},
    {"FIXED POWERUP", P(LAYER_POWERUP_ICON, 0, 0), P(LAYER_OBJECT, 0, 0), 1, "FixedPowerupOverWorld", FIXED},
    {"FIXED POWERUP", P(LAYER_OBJECT, 0, 0), P(LAYER_POWERUP_ICON, 0, 0), -1, "FixedPowerupWorldBehind", FIXED},
    {"FIXED TUBE", P(LAYER_TUBE_ARROW, 0, 0), P(LAYER_OBJECT, 0, 0), 1, nullptr, FIXED},
    // Two layers of the world, neither in the fixed precedence: no fixed
    // rule answers (no rule named), the world's rules decide.
    {"", P(LAYER_OBJECT, 0, 0), P(LAYER_BOT, 0, 0), 0, "FixedUnlistedLayers", FIXED},
    // ---- the basic rules (presort) ----
    {"FIXED SWAP", P(LAYER_SWAP, 0, 0), P(LAYER_TERRAIN, 0, 0), -1, "BasicFixedSwap", BASIC},
    {"FIXED BACKGROUND", P(LAYER_TERRAIN, 0, 0), P(LAYER_BACKGROUND, 0, 0), 1, "BasicFixedBackground", BASIC},
    {"FIXED GRID", P(LAYER_BACKGROUND_GRID, 0, 0), P(LAYER_OBJECT, 0, 0), -1, "BasicFixedGrid", BASIC},
    {"LADDER OVERRIDE", P(LAYER_LADDER_SEGMENT, 3, 4), P(LAYER_LADDER_PLATFORM, 3, 5), -1, "LadderOnPlatform", BASIC},
    {"LADDER OVERRIDE", P(LAYER_LADDER_SEGMENT, 3, 4), P(LAYER_OBJECT, 9, 9), 1, nullptr, BASIC},
    {"TELEPORT OVERRIDE", P(LAYER_TELEPORT_FRONT, 3, 5), P(LAYER_TELEPORT_GHOST, 4, 5), -1, "OverrideGhost", BASIC},
    {"TELEPORT LGLOW OVERRIDE", P(LAYER_TELEPORT_GLOW_LEFT, 3, 5), P(LAYER_OBJECT, 9, 9), 1, nullptr, BASIC},
    {"TELEPORT OVERRIDE", P(LAYER_OBJECT, 3, 5), P(LAYER_TELEPORT_FRONT, 3, 5), 1, "TeleportOverrideSharing", BASIC},
    {"TRAMP OVERRIDE", P(LAYER_TRAMPOLINE_FRONT, 3, 5), P(LAYER_OBJECT, 3, 5), -1, nullptr, BASIC},
    {"GATE OVERRIDE", P(LAYER_GATE_FRONT, 3, 5), P(LAYER_OBJECT, 3, 5), -1, "GateOverrideFront", BASIC},
    {"GATE OVERRIDE", P(LAYER_GATE_BACK, 3, 5), P(LAYER_OBJECT, 3, 5), 1, "GateOverrideBack", BASIC},
    {"BUTTON OVERRIDE", P(LAYER_FLOOR_BUTTON, 3, 5), P(LAYER_OBJECT, 4, 5), 1, nullptr, BASIC},
    {"BASIC RIGHT", P(LAYER_OBJECT, 5, 5), P(LAYER_OBJECT, 3, 5), -1, nullptr, BASIC},
    {"BASIC LEFT", P(LAYER_OBJECT, 1, 5), P(LAYER_OBJECT, 3, 5), 1, nullptr, BASIC},
    {"BASIC ABOVE", P(LAYER_OBJECT, 3, 3), P(LAYER_OBJECT, 3, 5), 1, nullptr, BASIC},
    {"BASIC FALLOUT", P(LAYER_OBJECT, 3, 5), P(LAYER_OBJECT, 3, 5), 1, nullptr, BASIC},
    {"BASIC BELOW", P(LAYER_OBJECT, 3, 7), P(LAYER_OBJECT, 3, 5), -1, nullptr, BASIC},
    // ---- the full comparison ----
    {"FIXED SWAP", P(LAYER_OBJECT, 0, 0), P(LAYER_SWAP, 0, 0), 1, "FullFixedSwap"},
    {"FIXED BACKGROUND", P(LAYER_BACKGROUND, 0, 0), P(LAYER_OBJECT, 9, 9), -1, "FullFixedBackground"},
    {"FIXED GRID", P(LAYER_OBJECT, 0, 0), P(LAYER_BACKGROUND_GRID, 0, 0), 1, "FullFixedGrid"},
    {"HACK LADDER_ABOVE-PLATFORM", P(LAYER_LADDER_SEGMENT, 3, 4), P(LAYER_LADDER_PLATFORM, 3, 5), -1},
    {"HACK LADDER_ABOVE-PLATFORM", P(LAYER_LADDER_PLATFORM, 3, 5), P(LAYER_LADDER_SEGMENT, 3, 4), 1, "HackMirror"},
    {"FIXED MOUSE", P(LAYER_MOUSE, 0, 0), P(LAYER_OBJECT, 9, 9), 1, "FarPairFixed"},
    // A tutorial sign stands behind the hero, a bot or an object on or by
    // its cell, and in front of everything else there as before.
    {"TUTORIAL BEHIND ACTOR", P(LAYER_TUTORIAL_SIGN, 3, 5), P(LAYER_HERO, 3, 5), -1, "TutorialBehindHero"},
    {"TUTORIAL BEHIND ACTOR", P(LAYER_HERO, 3, 5), P(LAYER_TUTORIAL_SIGN, 3, 5), 1, "TutorialBehindHeroMirror"},
    {"TUTORIAL BEHIND ACTOR", P(LAYER_TUTORIAL_SIGN, 3, 5), P(LAYER_HERO_IN_TUBE, 3, 5), -1, "TutorialHeroInTube"},
    {"TUTORIAL BEHIND ACTOR", P(LAYER_BOT, 4, 5), P(LAYER_TUTORIAL_SIGN, 3, 5), 1, "TutorialBehindBotBeside"},
    {"TUTORIAL BEHIND ACTOR", P(LAYER_TUTORIAL_SIGN, 3, 5), P(LAYER_OBJECT, 3, 5), -1, "TutorialBehindObject"},
    {"FIXED TUTORIAL", P(LAYER_TUTORIAL_SIGN, 3, 5), P(LAYER_TERRAIN, 3, 5), 1, "TutorialOverTerrain"},
    {"FIXED TUTORIAL", P(LAYER_TUTORIAL_SIGN, 3, 5), P(LAYER_HERO, 9, 5), 1, "TutorialFarFromHero"},
    {"NOT INTERSECTING!!!", P(LAYER_OBJECT, 0, 0), P(LAYER_OBJECT, 5, 0), 0},
    {"NI POSITION 1", P(LAYER_OBJECT, 14, 5), P(LAYER_OBJECT, 10, 10), 1, nullptr, FULL, true},
    {"NI POSITION 2", P(LAYER_OBJECT, 10, 5), P(LAYER_OBJECT, 10, 10), 1, nullptr, FULL, true},
    {"NI POSITION 3", P(LAYER_OBJECT, 5, 5), P(LAYER_OBJECT, 10, 10), 1, nullptr, FULL, true},
    {"NI POSITION 4", P(LAYER_OBJECT, 14, 10), P(LAYER_OBJECT, 10, 10), 1, nullptr, FULL, true},
    {"NI POSITION 6", P(LAYER_OBJECT, 5, 10), P(LAYER_OBJECT, 10, 10), -1, nullptr, FULL, true},
    {"NI POSITION 6 (IGNORED)", P(LAYER_OBJECT, 5, 10), P(LAYER_OBJECT, 10, 10), 0, nullptr, FULL, true, true},
    {"NI POSITION 7", P(LAYER_OBJECT, 14, 15), P(LAYER_OBJECT, 10, 10), 1, nullptr, FULL, true},
    {"NI POSITION 8", P(LAYER_OBJECT, 10, 15), P(LAYER_OBJECT, 10, 10), -1, nullptr, FULL, true},
    {"NI POSITION 8 (IGNORED)", P(LAYER_OBJECT, 10, 15), P(LAYER_OBJECT, 10, 10), 0, nullptr, FULL, true, true},
    {"NI POSITION 9", P(LAYER_OBJECT, 5, 15), P(LAYER_OBJECT, 10, 10), -1, nullptr, FULL, true},
    {"NI POSITION 9 (IGNORED)", P(LAYER_OBJECT, 5, 15), P(LAYER_OBJECT, 10, 10), 0, nullptr, FULL, true, true},
    {"TELEPORT FRONT-TERRAIN A", P(LAYER_TELEPORT_FRONT, 3, 6), PW(LAYER_TERRAIN, 3, 5, 2), -1},
    {"TELEPORT FRONT-TERRAIN B", P(LAYER_TELEPORT_FRONT, 3, 4), PW(LAYER_TERRAIN, 3, 5, 2), 1},
    {"TELEPORT FRONT-TERRAIN C", PW(LAYER_TERRAIN, 3, 4, 2), P(LAYER_TELEPORT_FRONT, 3, 5), 1},
    {"TELEPORT FRONT-TERRAIN D", PW(LAYER_TERRAIN, 3, 6, 2), P(LAYER_TELEPORT_FRONT, 3, 5), -1},
    {"EDITOR TELEPORT-TERRAIN", P(LAYER_EDITOR_TELEPORT, 3, 6), PW(LAYER_EDITOR_TERRAIN, 3, 5, 2), -1},
    {"EDITOR TELEPORT-TERRAIN", PW(LAYER_EDITOR_TERRAIN, 3, 4, 2), P(LAYER_EDITOR_TELEPORT, 3, 5), 1, "EditorMirror"},
    {"EDITOR TELEPORT", P(LAYER_EDITOR_TELEPORT, 3, 5), P(LAYER_OBJECT, 3, 5), 1},
    {"EDITOR LADDER", P(LAYER_EDITOR_LADDER, 3, 5), P(LAYER_OBJECT, 3, 5), -1},
    {"EDITOR LADDER", P(LAYER_EDITOR_LADDER, 3, 4), P(LAYER_EDITOR_TERRAIN, 3, 5), 1, "EditorLadderAboveTerrain"},
    {"EDITOR DEFAULT", P(LAYER_EDITOR_ELEMENT, 3, 5), P(LAYER_OBJECT, 3, 4), -1},
    {"BOT VICINITY IGNORE", PG(LAYER_BOT, 0, 0, 100), P(LAYER_OBJECT, 5, 0), 0},
    {"BRIDGE COLLAPSE A LEFT|BELOW", P(LAYER_BRIDGE_COLLAPSE, 2, 5), P(LAYER_OBJECT, 4, 5), -1, "BridgeCollapseA"},
    {"BRIDGE COLLAPSE B LEFT|BELOW", P(LAYER_BRIDGE_COLLAPSE, 4, 5), P(LAYER_OBJECT, 4, 5), 1, "BridgeCollapseB"},
    {"BRIDGE COLLAPSE C RIGHT|ABOVE", P(LAYER_OBJECT, 5, 5), P(LAYER_BRIDGE_COLLAPSE, 4, 5), 1, "BridgeCollapseC"},
    {"BRIDGE COLLAPSE D RIGHT|ABOVE", P(LAYER_OBJECT, 4, 5), P(LAYER_BRIDGE_COLLAPSE, 4, 5), -1, "BridgeCollapseD"},
    {"SAME-TILE-C", P(LAYER_TRAMPOLINE_BACK, 3, 5), P(LAYER_LADDER_PLATFORM, 3, 5), -1},
    {"SAME-TILE-C", P(LAYER_LADDER_PLATFORM, 3, 5), P(LAYER_TELEPORT_BACK, 3, 5), -1, "SameTileCFront"},
    {"SAME-TILE-B Teleport", P(LAYER_TELEPORT_FRONT, 3, 5), PM(LAYER_OBJECT, 3, 5, RIGHT), 1},
    {"SAME-TILE-B GUNSHOT", P(LAYER_TERRAIN, 3, 5), P(LAYER_GUNSHOT, 3, 5), -1},
    {"SAME-TILE-B Ahead", P(LAYER_TERRAIN, 3, 5), P(LAYER_OBJECT, 3, 5), 1},
    {"SAME-TILE-B Behind", P(LAYER_FLOOR_BUTTON, 3, 5), P(LAYER_OBJECT, 3, 5), -1},
    {"SAME-TILE-A Teleport", PM(LAYER_OBJECT, 3, 5, LEFT), P(LAYER_TELEPORT_FRONT, 3, 5), -1},
    {"SAME-TILE-A GUNSHOT", P(LAYER_GUNSHOT, 3, 5), P(LAYER_OBJECT, 3, 5), 1},
    {"SAME-TILE-A Behind", P(LAYER_BOT, 3, 5), P(LAYER_OBJECT, 3, 5), -1, "SameTileABehindBotOnObject"},
    {"SAME-TILE-A Behind", P(LAYER_OBJECT, 3, 5), P(LAYER_BOT, 3, 5), -1, "SameTileABehindObjectOnBot"},
    {"SAME-TILE-A Ahead", P(LAYER_OBJECT, 3, 5), P(LAYER_FLOOR_BUTTON, 3, 5), 1},
    {"TELEPORT-ACTUAL A", PM(LAYER_TELEPORT_PASSER, 5, 5, RIGHT, 4, 5), P(LAYER_OBJECT, 4, 5), 1},
    {"TELEPORT-ACTUAL B", P(LAYER_OBJECT, 4, 5), PM(LAYER_TELEPORT_PASSER, 5, 5, RIGHT, 4, 5), -1},
    {"LADDER-TERRAIN ABOVE", P(LAYER_LADDER_SEGMENT, 3, 4), P(LAYER_TERRAIN, 3, 5), 1},
    {"LADDER-TERRAIN BELOW", P(LAYER_TERRAIN, 3, 6), P(LAYER_LADDER_SEGMENT, 3, 5), -1},
    {"LADDER-TERRAIN RIGHT", P(LAYER_TERRAIN, 4, 5), P(LAYER_LADDER_SEGMENT, 3, 5), 1},
    {"LADDER-TERRAIN LEFT", P(LAYER_TERRAIN, 2, 5), P(LAYER_LADDER_SEGMENT, 3, 5), -1},
    {"LADDER-LADDER RIGHT", P(LAYER_LADDER_SEGMENT, 4, 5), P(LAYER_LADDER_SEGMENT, 3, 5), 1},
    {"LADDER-LADDER LEFT", P(LAYER_LADDER_SEGMENT, 2, 5), P(LAYER_LADDER_SEGMENT, 3, 5), -1},
    {"LADDER-LADDER ABOVE", P(LAYER_LADDER_SEGMENT, 3, 4), P(LAYER_LADDER_SEGMENT, 3, 5), -1},
    {"LADDER-LADDER BELOW", P(LAYER_LADDER_SEGMENT, 3, 6), P(LAYER_LADDER_SEGMENT, 3, 5), 1},
    {"LADDER DEFAULT", P(LAYER_LADDER_SEGMENT, 3, 4), P(LAYER_OBJECT, 3, 5), -1},
    {"LADDER DEFAULT", P(LAYER_OBJECT, 3, 5), P(LAYER_LADDER_SEGMENT, 3, 4), 1, "LadderDefaultMirror"},
    {"GATE LIGHTS", P(LAYER_GATE_LIGHTS, 3, 4), P(LAYER_OBJECT, 3, 5), 1},
    {"GATE FRONT-FRONT", P(LAYER_GATE_FRONT, 3, 4), P(LAYER_GATE_FRONT, 3, 5), 1},
    {"GATE FRONT", P(LAYER_OBJECT, 3, 5), P(LAYER_GATE_FRONT, 3, 4), -1},
    {"GATE BACK-TERRAIN", P(LAYER_GATE_BACK, 3, 4), P(LAYER_TERRAIN, 3, 5), 1},
    {"GATE BACK-BACK", P(LAYER_GATE_BACK, 3, 6), P(LAYER_GATE_BACK_CLOSING, 3, 5), -1},
    {"GATE BACK A/R", P(LAYER_GATE_BACK, 4, 4), P(LAYER_OBJECT, 3, 5), 1},
    {"GATE BACK CLOSED A/R", P(LAYER_GATE_BACK_CLOSING, 4, 5), P(LAYER_OBJECT, 3, 5), 1},
    {"GATE BACK DEFAULT", P(LAYER_GATE_BACK, 2, 6), P(LAYER_OBJECT, 3, 5), -1},
    {"TUBE-BUTTON BELOW", PG(LAYER_FLOOR_BUTTON, 2, 5, 12), P(LAYER_OBJECT, 3, 5), -1},
    {"TELEPORT-LMOVER", P(LAYER_TELEPORT_PORTAL, 3, 6), PM(LAYER_OBJECT, 3, 5, LEFT), -1, "TeleportLMover"},
    {"TELEPORT FRONT-GHOST", P(LAYER_TELEPORT_FRONT, 3, 5), PM(LAYER_TELEPORT_GHOST, 4, 5, RIGHT), 1},
    {"TELEPORT FRONT RIGHT", P(LAYER_TELEPORT_FRONT, 5, 5), P(LAYER_OBJECT, 3, 5), 1},
    {"TELEPORT FRONT RIGHT", P(LAYER_OBJECT, 1, 5), P(LAYER_TELEPORT_FRONT, 3, 5), -1, "TeleportFrontRightMirror"},
    {"TELEPORT FRONT LEFT-MOVE", P(LAYER_TELEPORT_FRONT, 3, 4), Placed{LAYER_OBJECT, 3, 5, 2, 1, RIGHT}, 1},
    {"TELEPORT FRONT LEFT", PG(LAYER_TELEPORT_FRONT, 2, 5, 12), PW(LAYER_OBJECT, 3, 5, 2), -1},
    {"TELEPORT FRONT BELOW", P(LAYER_TELEPORT_FRONT, 3, 6), PW(LAYER_OBJECT, 3, 5, 2), -1},
    {"TELEPORT FRONT ABOVE", P(LAYER_TELEPORT_FRONT, 3, 4), PW(LAYER_OBJECT, 3, 5, 2), 1},
    {"TELEPORT PORTAL-GHOST A", PG(LAYER_TELEPORT_PORTAL, 3, 5, 12), PM(LAYER_TELEPORT_GHOST, 4, 5, RIGHT), 1},
    {"TELEPORT PORTAL-GHOST B", PM(LAYER_TELEPORT_GHOST, 4, 5, RIGHT), PG(LAYER_TELEPORT_PORTAL, 3, 5, 12), -1},
    {"TELEPORT PORTAL-GHOST C", PG(LAYER_TELEPORT_PORTAL, 3, 5, 12), P(LAYER_TELEPORT_GHOST, 4, 5), -1},
    {"TELEPORT PORTAL-GHOST D", P(LAYER_TELEPORT_GHOST, 4, 5), PG(LAYER_TELEPORT_PORTAL, 3, 5, 12), 1},
    {"TELEPORT PORTAL-ACTUAL A", PG(LAYER_TELEPORT_PORTAL, 3, 5, 12), PM(LAYER_TELEPORT_PASSER, 4, 5, LEFT), 1},
    {"TELEPORT PORTAL-ACTUAL B", PM(LAYER_TELEPORT_PASSER, 4, 5, LEFT), PG(LAYER_TELEPORT_PORTAL, 3, 5, 12), -1},
    {"TELEPORT PORTAL-ACTUAL C", PG(LAYER_TELEPORT_PORTAL, 3, 5, 12), P(LAYER_TELEPORT_PASSER, 4, 5), -1},
    {"TELEPORT PORTAL-ACTUAL D", P(LAYER_TELEPORT_PASSER, 4, 5), PG(LAYER_TELEPORT_PORTAL, 3, 5, 12), 1},
    {"TELEPORT LGLOW A", P(LAYER_TELEPORT_GLOW_LEFT, 5, 5), P(LAYER_OBJECT, 3, 5), 1},
    {"TELEPORT LGLOW B", P(LAYER_OBJECT, 1, 5), P(LAYER_TELEPORT_GLOW_LEFT, 3, 5), -1},
    // An actor beside a teleport's left glow, and in its cell: the glow in
    // front when the actor stands on its left or with it, behind him on its
    // right.
    {"TELEPORT LGLOW A", P(LAYER_TELEPORT_GLOW_LEFT, 4, 5), P(LAYER_OBJECT, 3, 5), 1, "TeleportLglowABeside"},
    {"TELEPORT LGLOW B", P(LAYER_OBJECT, 2, 5), P(LAYER_TELEPORT_GLOW_LEFT, 3, 5), -1, "TeleportLglowBBeside"},
    {"FALLOUT RIGHT, NOT BELOW", P(LAYER_OBJECT, 4, 5), P(LAYER_TELEPORT_GLOW_LEFT, 3, 5), 1, "LglowActorRight"},
    {"FALLOUT LEFT, NOT ABOVE", P(LAYER_TELEPORT_GLOW_LEFT, 3, 5), P(LAYER_OBJECT, 4, 5), -1, "LglowActorRightMirror"},
    {"SAME-TILE-B Ahead", P(LAYER_TELEPORT_GLOW_LEFT, 3, 5), P(LAYER_OBJECT, 3, 5), 1, "SameTileBTeleportLglow"},
    {"SAME-TILE-A Behind", P(LAYER_OBJECT, 3, 5), P(LAYER_TELEPORT_GLOW_LEFT, 3, 5), -1, "SameTileATeleportLglow"},
    // The right glow is over every actor, on either side and in its cell.
    {"FIXED GLOW", P(LAYER_TELEPORT_GLOW_RIGHT, 4, 5), P(LAYER_OBJECT, 3, 5), 1, "TeleportRglowActorOnItsLeft"},
    {"FIXED GLOW", P(LAYER_OBJECT, 4, 5), P(LAYER_TELEPORT_GLOW_RIGHT, 3, 5), -1, "TeleportRglowActorOnItsRight"},
    {"FIXED GLOW", P(LAYER_HERO, 3, 5), P(LAYER_TELEPORT_GLOW_RIGHT, 3, 5), -1, "TeleportRglowActorInItsCell"},
    {"TELEPORT PORTAL-TERRAIN A", P(LAYER_TELEPORT_PORTAL, 3, 6), PW(LAYER_TERRAIN, 3, 5, 2), -1},
    {"TELEPORT PORTAL-TERRAIN B", P(LAYER_TELEPORT_PORTAL, 3, 4), PW(LAYER_TERRAIN, 3, 5, 2), 1},
    {"TELEPORT PORTAL-TERRAIN C", PW(LAYER_TERRAIN, 3, 4, 2), P(LAYER_TELEPORT_PORTAL, 3, 5), 1},
    {"TELEPORT PORTAL-TERRAIN D", PW(LAYER_TERRAIN, 3, 6, 2), P(LAYER_TELEPORT_PORTAL, 3, 5), -1},
    {"TELEPORT PORTAL A", P(LAYER_TELEPORT_PORTAL, 5, 5), P(LAYER_OBJECT, 3, 5), 1},
    {"TELEPORT PORTAL B", PG(LAYER_TELEPORT_PORTAL, 3, 4, 12), PW(LAYER_OBJECT, 3, 5, 2), 1},
    {"TELEPORT PORTAL C", P(LAYER_TELEPORT_PORTAL, 3, 4), PW(LAYER_OBJECT, 3, 5, 2), 1},
    {"TELEPORT PORTAL D", P(LAYER_TELEPORT_PORTAL, 3, 6), PW(LAYER_OBJECT, 3, 5, 2), -1},
    {"TELEPORT BACK-TERRAIN", P(LAYER_TELEPORT_BACK, 3, 4), P(LAYER_TERRAIN, 3, 5), 1},
    {"TELEPORT BACK-TERRAIN", P(LAYER_TERRAIN, 3, 6), P(LAYER_TELEPORT_BACK, 3, 5), -1, "TeleportBackTerrainMirror"},
    {"TELEPORT BACK DEFAULT", P(LAYER_TELEPORT_BACK, 3, 4), P(LAYER_OBJECT, 3, 5), -1},
    {"PLATFORM MOVING", P(LAYER_LADDER_PLATFORM, 3, 4), PM(LAYER_OBJECT, 4, 5, RIGHT, 3, 4), 1},
    {"MOVING UP TERRAIN", P(LAYER_TERRAIN, 5, 5), PM(LAYER_OBJECT, 3, 5, UP), 1},
    {"MOVING RIGHT TERRAIN", P(LAYER_TERRAIN, 3, 3), PM(LAYER_OBJECT, 3, 5, RIGHT), 1},
    {"TRAMP MOVING", P(LAYER_TRAMPOLINE_FRONT, 3, 5), PM(LAYER_OBJECT, 4, 5, RIGHT, 3, 5), 1},
    {"BUTTON MOVING", P(LAYER_FLOOR_BUTTON, 3, 6), PM(LAYER_OBJECT, 3, 5, LEFT), -1},
    {"TUBE MOVING", P(LAYER_TUBE, 3, 6), PM(LAYER_OBJECT, 3, 5, LEFT), -1},
    {"STACK MOVING", P(LAYER_OBJECT, 3, 4), PM(LAYER_OBJECT, 4, 5, RIGHT, 3, 5), 1},
    {"OBJECT BELOW", P(LAYER_OBJECT, 3, 6), PM(LAYER_OBJECT, 4, 5, RIGHT, 3, 5), -1},
    {"GENERAL MOVING A", PM(LAYER_OBJECT, 5, 5, LEFT), P(LAYER_OBJECT, 3, 5), 1},
    {"GENERAL MOVING B", P(LAYER_OBJECT, 1, 5), PM(LAYER_OBJECT, 3, 5, LEFT), -1},
    {"GENERAL MOVING C", PM(LAYER_OBJECT, 3, 3, LEFT), P(LAYER_HERO, 3, 5), 1},
    {"GENERAL MOVING D", P(LAYER_HERO, 3, 7), PM(LAYER_HERO, 3, 5, LEFT), -1},
    {"TERRAIN BELOW", P(LAYER_TERRAIN, 3, 6), P(LAYER_OBJECT, 3, 5), -1},
    {"TERRAIN BELOW", P(LAYER_OBJECT, 3, 4), P(LAYER_TERRAIN, 3, 5), 1, "TerrainBelowMirror"},
    {"FALLOUT RIGHT, NOT BELOW", P(LAYER_OBJECT, 4, 5), P(LAYER_OBJECT, 3, 5), 1},
    {"FALLOUT LEFT, NOT ABOVE", P(LAYER_OBJECT, 2, 5), P(LAYER_OBJECT, 3, 5), -1},
    {"FALLOUT BELOW, NOT RIGHT", P(LAYER_OBJECT, 3, 6), P(LAYER_OBJECT, 3, 5), -1},
    {"FALLOUT ABOVE, NOT LEFT", P(LAYER_OBJECT, 3, 4), P(LAYER_OBJECT, 3, 5), 1},
    {"FALLOUT RIGHT", P(LAYER_OBJECT, 4, 6), P(LAYER_OBJECT, 3, 5), 1},
    {"FALLOUT LEFT", P(LAYER_OBJECT, 2, 4), P(LAYER_OBJECT, 3, 5), -1},
    // An object and a teleport's ghost copy standing still in one cell: no
    // rule orders that pair.
    {"FALLOUT CASE:  SHOULD NOT GET TO THIS POINT!!!", P(LAYER_OBJECT, 3, 5), P(LAYER_TELEPORT_GHOST, 3, 5), 1},
};



// Test output names the rule instead of dumping the case's bytes.
void PrintTo(const RuleCase& c, std::ostream* os) { *os << c.rule; }

class RuleTest : public ::testing::TestWithParam<RuleCase> {
protected:
    void SetUp() override { CController::ResetStack(); }
    void TearDown() override { ResetWorld(); }
};

TEST_P(RuleTest, AnswersByItsRule) {
    const RuleCase& c = GetParam();
    CSprite* n = MakePlaced(c.n);
    CSprite* r = MakePlaced(c.r);
    int a = 99;
    switch (c.fn) {
    case FIXED: a = CompareFixed(n, r); break;
    case BASIC: a = CompareBasic(n, r); break;
    case FULL: a = CompareSprites(n, r, c.force, c.ignoreFar); break;
    }
    EXPECT_EQ(a, c.expected);
    // A row without a rule is one no rule answers.
    if (*c.rule) {
        EXPECT_STREQ(LastPaintersRule(), c.rule);
    }
}

std::string CaseName(const ::testing::TestParamInfo<RuleCase>& info) {
    if (info.param.name) return info.param.name;
    std::string name;
    bool wordStart = true;
    for (const char* p = info.param.rule; *p; ++p) {
        const bool letter = isalnum(static_cast<unsigned char>(*p));
        if (letter) name += static_cast<char>(wordStart ? toupper(*p) : tolower(*p));
        wordStart = !letter;
    }
    return name;
}

INSTANTIATE_TEST_SUITE_P(PaintersOrder, RuleTest, ::testing::ValuesIn(kCases), CaseName);

class PaintersOrderTest : public ::testing::Test {
protected:
    void SetUp() override { CController::ResetStack(); }
    void TearDown() override { ResetWorld(); }
};

TEST_F(PaintersOrderTest, AnswersAreTracedUnderTheRuleName) {
    CSprite* n = MakePlaced(P(LAYER_MOUSE, 2, 3));
    CSprite* r = MakePlaced(P(LAYER_CL_TOP, 4, 5));
    n->SetName("pointer");
    r->SetName("top");
    EnableDebugCategory(DBG_SORT_RV);
    ::testing::internal::CaptureStdout();
    CompareFixed(n, r);
    const std::string out = ::testing::internal::GetCapturedStdout();
    DisableDebugCategory(DBG_SORT_RV);
    EXPECT_NE(out.find("FIXED MOUSE  (isBehind=1, N='pointer' (1305:2,3:1), R='top' (1450:4,5:1))\n"),
              std::string::npos)
        << out;
}

TEST_F(PaintersOrderTest, FixedPlacesTheNewcomerInFrontOfTheSameLayer) {
    CSprite* a = MakePlaced(P(LAYER_CL_BUTTON, 0, 0));
    CSprite* b = MakePlaced(P(LAYER_CL_BUTTON, 0, 0));
    EXPECT_EQ(CompareFixed(a, b), 1);
    EXPECT_EQ(CompareFixed(b, a), 1);
}

TEST_F(PaintersOrderTest, FarPairsNeverAnswerWithoutForceInTheEditor) {
    spritetest::IdScreen editor(CONTROLLER_EDITOR);
    editor.Activate(nullptr);
    CSprite* n = MakePlaced(P(LAYER_OBJECT, 0, 0));
    CSprite* r = MakePlaced(P(LAYER_OBJECT, 5, 0));
    // The far-pair shortcut is off in the editor: the world rules decide.
    EXPECT_EQ(CompareSprites(n, r, false, false), -1);
    EXPECT_STREQ(LastPaintersRule(), "FALLOUT LEFT, NOT ABOVE");
}

TEST_F(PaintersOrderTest, BotWithoutForceIgnoresOnlyWhenNotTouching) {
    CSprite* bot = MakePlaced(P(LAYER_BOT, 3, 5));
    CSprite* crate = MakePlaced(P(LAYER_OBJECT, 4, 5));
    EXPECT_NE(CompareSprites(bot, crate, false, false), 0);
}

TEST_F(PaintersOrderTest, SingleSpriteIsDrawnWithoutAnyComparison) {
    CSprite* a = MakePlaced(P(LAYER_OBJECT, 0, 0));
    CSprite* b = MakePlaced(P(LAYER_OBJECT, 9, 9));
    CompareFixed(MakePlaced(P(LAYER_MOUSE, 0, 0)), b);  // leaves a known rule behind
    std::vector<CSprite*> collected{a}, ordered, fg;
    OrderDirtySprites(collected, ordered, fg);
    ASSERT_EQ(collected.size(), 1u);
    EXPECT_EQ(collected[0], a);
    EXPECT_STREQ(LastPaintersRule(), "FIXED MOUSE");
}

TEST_F(PaintersOrderTest, PresortSetsForegroundAsideAndOrdersTheRest) {
    CSprite* crate = MakePlaced(P(LAYER_OBJECT, 3, 5));
    CSprite* pointer = MakePlaced(P(LAYER_MOUSE, 3, 5));
    CSprite* bg = MakePlaced(P(LAYER_BACKGROUND, 0, 0));
    CSprite* ladder = MakePlaced(P(LAYER_LADDER_SEGMENT, 3, 4));
    std::vector<CSprite*> collected{crate, pointer, bg, ladder}, ordered, fg;
    PresortDirtySprites(collected, ordered, fg);
    ASSERT_EQ(fg.size(), 2u);
    EXPECT_EQ(fg[0], pointer);
    EXPECT_EQ(fg[1], ladder);
    ASSERT_EQ(collected.size(), 2u);
    EXPECT_EQ(collected[0], bg);
    EXPECT_EQ(collected[1], crate);
}

TEST_F(PaintersOrderTest, WholeOrderPutsBackgroundFirstAndPointerLast) {
    CSprite* pointer = MakePlaced(P(LAYER_MOUSE, 3, 5));
    CSprite* crate = MakePlaced(P(LAYER_OBJECT, 3, 5));
    CSprite* terrain = MakePlaced(P(LAYER_TERRAIN, 3, 6));
    CSprite* bg = MakePlaced(P(LAYER_BACKGROUND, 0, 0));
    CSprite* overlay = MakePlaced(P(LAYER_OVERLAY, 3, 5));
    std::vector<CSprite*> collected{pointer, crate, terrain, bg, overlay}, ordered, fg;
    OrderDirtySprites(collected, ordered, fg);
    ASSERT_EQ(collected.size(), 5u);
    EXPECT_EQ(collected.front(), bg);
    EXPECT_EQ(collected.back(), pointer);
    const auto at = [&](CSprite* s) { return std::find(collected.begin(), collected.end(), s) - collected.begin(); };
    EXPECT_LT(at(terrain), at(crate));  // the crate stands on the terrain below it
    EXPECT_LT(at(crate), at(overlay));
    EXPECT_EQ(collected, ordered);
}

TEST_F(PaintersOrderTest, LadderAboveTerrainInTheSameColumnIsInFront) {
    CSprite* terrain = MakePlaced(P(LAYER_TERRAIN, 3, 5));
    CSprite* ladder = MakePlaced(P(LAYER_LADDER_SEGMENT, 3, 4));
    std::vector<CSprite*> collected{ladder, terrain}, ordered, fg;
    OrderDirtySprites(collected, ordered, fg);
    ASSERT_EQ(collected.size(), 2u);
    EXPECT_EQ(collected[0], terrain);
    EXPECT_EQ(collected[1], ladder);
}

// Random scenes of world and screen sprites: the sort must end and hand back
// exactly the sprites it was given.
TEST_F(PaintersOrderTest, RandomScenesSortToAPermutation) {
    static const SpriteLayer kLayers[] = {
        LAYER_TERRAIN, LAYER_BRIDGE_COLLAPSE, LAYER_LADDER_SEGMENT, LAYER_LADDER_PLATFORM, LAYER_GATE_BACK,
        LAYER_GATE_FRONT, LAYER_GATE_LIGHTS, LAYER_FLOOR_BUTTON, LAYER_GATE_BACK_CLOSING, LAYER_TRAMPOLINE_BACK,
        LAYER_TRAMPOLINE_FRONT, LAYER_TRAMPOLINE_CANVAS_LEFT, LAYER_TRAMPOLINE_CANVAS, LAYER_TUBE, LAYER_TUBE_LIGHTS,
        LAYER_TUBE_ARROW, LAYER_POWERUP_ICON, LAYER_GUNSHOT, LAYER_POWERUP_OVER, LAYER_TUTORIAL_SIGN,
        LAYER_TELEPORT_FRONT, LAYER_TELEPORT_PORTAL, LAYER_TELEPORT_BACK, LAYER_TELEPORT_GHOST,
        LAYER_TELEPORT_GLOW_LEFT, LAYER_TELEPORT_GLOW_RIGHT, LAYER_TELEPORT_PASSER, LAYER_BOT, LAYER_HERO,
        LAYER_CAUGHT, LAYER_HERO_IN_TUBE, LAYER_OBJECT, LAYER_OVERLAY, LAYER_EMP, LAYER_EXPLOSION_COLD,
        LAYER_BACKGROUND, LAYER_BACKGROUND_GRID, LAYER_FLASH, LAYER_SWAP, LAYER_PALETTE_DIMMER, LAYER_GUI_TOP,
        LAYER_MOUSE, LAYER_EDITOR_LADDER, LAYER_EDITOR_TERRAIN, LAYER_EDITOR_TELEPORT, LAYER_MAIN_VOLCANO_GLOW,
        LAYER_MAIN_PROFILE, LAYER_CL_BUTTON, LAYER_CL_TOP, LAYER_CL_CLOUD};
    std::mt19937 rng(12345);
    for (int scene = 0; scene < 400; ++scene) {
        if (scene == 200) {
            static spritetest::IdScreen editor(CONTROLLER_EDITOR);
            editor.Activate(nullptr);
        }
        const int count = 2 + static_cast<int>(rng() % 14);
        std::vector<CSprite*> sprites;
        for (int i = 0; i < count; ++i) {
            Placed p{kLayers[rng() % (sizeof(kLayers) / sizeof(kLayers[0]))], static_cast<int>(rng() % 8),
                     static_cast<int>(rng() % 8)};
            p.tw = 1 + static_cast<int>(rng() % 2);
            p.th = 1 + static_cast<int>(rng() % 2);
            p.moves = static_cast<int>(rng() % 16);
            p.ptx = p.tx + static_cast<int>(rng() % 3) - 1;
            p.pty = p.ty + static_cast<int>(rng() % 3) - 1;
            p.grow = static_cast<int>(rng() % 20);
            sprites.push_back(MakePlaced(p));
        }
        std::vector<CSprite*> collected = sprites, ordered, fg;
        OrderDirtySprites(collected, ordered, fg);
        std::vector<CSprite*> a = sprites, b = collected;
        std::sort(a.begin(), a.end());
        std::sort(b.begin(), b.end());
        ASSERT_EQ(a, b) << "scene " << scene;
        for (CSprite* s : sprites) delete s;
    }
}

}  // namespace
