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

struct RuleCase {
    const char* test;  // test name
    const char* rule;  // the rule that must answer
    Fn fn;
    Placed n, r;
    int expected;
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
    {"FixedMouse", "FIXED MOUSE", FIXED, P(LAYER_MOUSE, 0, 0), P(LAYER_CL_TOP, 0, 0), 1},
    {"FixedMouseFlashBehindPointer", "FIXED MOUSE", FIXED, P(LAYER_FLASH, 0, 0), P(LAYER_MOUSE, 0, 0), -1},
    {"FixedClTop", "FIXED CL_TOP", FIXED, P(LAYER_CL_TOP, 0, 0), P(LAYER_CL_LOGO4, 0, 0), 1},
    {"FixedClTopBehindMouse", "FIXED MOUSE", FIXED, P(LAYER_CL_TOP, 0, 0), P(LAYER_MOUSE, 0, 0), -1},
    {"FixedClLogo4", "FIXED CL_LOGO4", FIXED, P(LAYER_CL_LOGO4, 0, 0), P(LAYER_CL_LOGO3, 0, 0), 1},
    {"FixedClLogo3", "FIXED CL_LOGO3", FIXED, P(LAYER_CL_LOGO3, 0, 0), P(LAYER_CL_LOGO2, 0, 0), 1},
    {"FixedClLogo2", "FIXED CL_LOGO2", FIXED, P(LAYER_CL_LOGO2, 0, 0), P(LAYER_CL_LOGO1, 0, 0), 1},
    {"FixedClLogo1", "FIXED CL_LOGO1", FIXED, P(LAYER_CL_LOGO1, 0, 0), P(LAYER_CL_LOGO0, 0, 0), 1},
    {"FixedClLogo0", "FIXED CL_LOGO0", FIXED, P(LAYER_CL_LOGO0, 0, 0), P(LAYER_CL_TEXT, 0, 0), 1},
    {"FixedClText", "FIXED CL_TEXT", FIXED, P(LAYER_CL_TEXT, 0, 0), P(LAYER_CL_ROLL, 0, 0), 1},
    {"FixedClRoll", "FIXED CL_ROLL", FIXED, P(LAYER_CL_ROLL, 0, 0), P(LAYER_CL_BUTTON, 0, 0), 1},
    {"FixedClButton", "FIXED CL_BUTTON", FIXED, P(LAYER_CL_BUTTON, 0, 0), P(LAYER_CL_SHADOW, 0, 0), 1},
    {"FixedClShadow", "FIXED CL_SHADOW", FIXED, P(LAYER_CL_SHADOW, 0, 0), P(LAYER_CL5, 0, 0), 1},
    {"FixedCl5", "FIXED CL5", FIXED, P(LAYER_CL5, 0, 0), P(LAYER_CL4, 0, 0), 1},
    {"FixedCl4", "FIXED CL4", FIXED, P(LAYER_CL4, 0, 0), P(LAYER_CL3, 0, 0), 1},
    {"FixedCl3", "FIXED CL3", FIXED, P(LAYER_CL3, 0, 0), P(LAYER_CL2, 0, 0), 1},
    {"FixedCl2", "FIXED CL2", FIXED, P(LAYER_CL2, 0, 0), P(LAYER_CL1, 0, 0), 1},
    {"FixedCl1", "FIXED CL1", FIXED, P(LAYER_CL1, 0, 0), P(LAYER_CL0, 0, 0), 1},
    {"FixedCl0", "FIXED CL0", FIXED, P(LAYER_CL0, 0, 0), P(LAYER_MAIN_LEAVES, 0, 0), 1},
    {"FixedMain", "FIXED MAIN", FIXED, P(LAYER_MAIN_LEAVES, 0, 0), P(LAYER_MAIN_PROFILE, 0, 0), 1},
    {"FixedMainLastIsBehind", "FIXED MAIN", FIXED, P(LAYER_MAIN_PROFILE, 0, 0), P(LAYER_MAIN_VOLCANO_GLOW, 0, 0), -1},
    {"FixedClCloudAboveEqualEdges", "FIXED CL_CLOUD_ABOVE", FIXED, P(LAYER_CL_CLOUD, 0, 5), P(LAYER_CL_CLOUD, 3, 5), 1},
    {"FixedClCloudAboveHigherIsBehind", "FIXED CL_CLOUD_ABOVE", FIXED, P(LAYER_CL_CLOUD, 0, 4),
     P(LAYER_CL_CLOUD, 0, 5), -1},
    {"FixedClCloud", "FIXED CL_CLOUD", FIXED, P(LAYER_CL_CLOUD, 0, 0), P(LAYER_GUI_TOP, 0, 0), 1},
    {"FixedGuit", "FIXED GUIT", FIXED, P(LAYER_GUI_TOP, 0, 0), P(LAYER_GUI_BOTTOM, 0, 0), 1},
    {"FixedGuib", "FIXED GUIB", FIXED, P(LAYER_GUI_BOTTOM, 0, 0), P(LAYER_PALETTE_SELECTOR, 0, 0), 1},
    {"FixedPalette", "FIXED PALETTE", FIXED, P(LAYER_PALETTE_DIMMER, 0, 0), P(LAYER_EDITOR_PLACER, 0, 0), 1},
    {"FixedPlacer", "FIXED PLACER", FIXED, P(LAYER_EDITOR_PLACER, 0, 0), P(LAYER_POWERUP_TOP, 0, 0), 1},
    {"FixedPowerupOverlay", "FIXED POWERUP", FIXED, P(LAYER_POWERUP_TOP, 0, 0), P(LAYER_TELEPORT_GLOW_RIGHT, 0, 0), 1},
    {"FixedGlow", "FIXED GLOW", FIXED, P(LAYER_TELEPORT_GLOW_RIGHT, 0, 0), P(LAYER_CAUGHT, 0, 0), 1},
    {"FixedCaught", "FIXED CAUGHT", FIXED, P(LAYER_CAUGHT, 0, 0), P(LAYER_EXPLOSION_COLD, 0, 0), 1},
    {"FixedExplode", "FIXED EXPLODE", FIXED, P(LAYER_EXPLOSION_HOT, 0, 0), P(LAYER_EMP, 0, 0), 1},
    {"FixedEmp", "FIXED EMP", FIXED, P(LAYER_EMP, 0, 0), P(LAYER_OVERLAY, 0, 0), 1},
    {"FixedOverlay", "FIXED OVERLAY", FIXED, P(LAYER_OVERLAY, 0, 0), P(LAYER_TUTORIAL_SIGN, 0, 0), 1},
    {"FixedTutorial", "FIXED TUTORIAL", FIXED, P(LAYER_TUTORIAL_SIGN, 0, 0), P(LAYER_POWERUP_CAPTION, 0, 0), 1},
    {"FixedPowerupOverWorld", "FIXED POWERUP", FIXED, P(LAYER_POWERUP_ICON, 0, 0), P(LAYER_OBJECT, 0, 0), 1},
    {"FixedPowerupWorldBehind", "FIXED POWERUP", FIXED, P(LAYER_OBJECT, 0, 0), P(LAYER_POWERUP_ICON, 0, 0), -1},
    {"FixedTube", "FIXED TUBE", FIXED, P(LAYER_TUBE_ARROW, 0, 0), P(LAYER_OBJECT, 0, 0), 1},
    // Two layers of the world, neither in the fixed precedence: no fixed
    // rule answers (no rule named), the world's rules decide.
    {"FixedUnlistedLayers", "", FIXED, P(LAYER_OBJECT, 0, 0), P(LAYER_BOT, 0, 0), 0},

    // ---- the basic rules (presort) ----
    {"BasicFixedSwap", "FIXED SWAP", BASIC, P(LAYER_SWAP, 0, 0), P(LAYER_TERRAIN, 0, 0), -1},
    {"BasicFixedBackground", "FIXED BACKGROUND", BASIC, P(LAYER_TERRAIN, 0, 0), P(LAYER_BACKGROUND, 0, 0), 1},
    {"BasicFixedGrid", "FIXED GRID", BASIC, P(LAYER_BACKGROUND_GRID, 0, 0), P(LAYER_OBJECT, 0, 0), -1},
    {"BasicLadderOverrideTouchingPlatform", "LADDER OVERRIDE", BASIC, P(LAYER_LADDER_SEGMENT, 3, 4),
     P(LAYER_LADDER_PLATFORM, 3, 5), -1},
    {"BasicLadderOverride", "LADDER OVERRIDE", BASIC, P(LAYER_LADDER_SEGMENT, 3, 4), P(LAYER_OBJECT, 9, 9), 1},
    {"BasicTeleportOverrideGhost", "TELEPORT OVERRIDE", BASIC, P(LAYER_TELEPORT_FRONT, 3, 5),
     P(LAYER_TELEPORT_GHOST, 4, 5), -1},
    {"BasicTeleportLglowOverride", "TELEPORT LGLOW OVERRIDE", BASIC, P(LAYER_TELEPORT_GLOW_LEFT, 3, 5),
     P(LAYER_OBJECT, 9, 9), 1},
    {"BasicTeleportOverrideSharing", "TELEPORT OVERRIDE", BASIC, P(LAYER_OBJECT, 3, 5), P(LAYER_TELEPORT_FRONT, 3, 5),
     1},
    {"BasicTrampOverride", "TRAMP OVERRIDE", BASIC, P(LAYER_TRAMPOLINE_FRONT, 3, 5), P(LAYER_OBJECT, 3, 5), -1},
    {"BasicGateOverrideFront", "GATE OVERRIDE", BASIC, P(LAYER_GATE_FRONT, 3, 5), P(LAYER_OBJECT, 3, 5), -1},
    {"BasicGateOverrideBack", "GATE OVERRIDE", BASIC, P(LAYER_GATE_BACK, 3, 5), P(LAYER_OBJECT, 3, 5), 1},
    {"BasicButtonOverride", "BUTTON OVERRIDE", BASIC, P(LAYER_FLOOR_BUTTON, 3, 5), P(LAYER_OBJECT, 4, 5), 1},
    {"BasicRight", "BASIC RIGHT", BASIC, P(LAYER_OBJECT, 5, 5), P(LAYER_OBJECT, 3, 5), -1},
    {"BasicLeft", "BASIC LEFT", BASIC, P(LAYER_OBJECT, 1, 5), P(LAYER_OBJECT, 3, 5), 1},
    {"BasicAbove", "BASIC ABOVE", BASIC, P(LAYER_OBJECT, 3, 3), P(LAYER_OBJECT, 3, 5), 1},
    {"BasicFallout", "BASIC FALLOUT", BASIC, P(LAYER_OBJECT, 3, 5), P(LAYER_OBJECT, 3, 5), 1},
    {"BasicBelow", "BASIC BELOW", BASIC, P(LAYER_OBJECT, 3, 7), P(LAYER_OBJECT, 3, 5), -1},

    // ---- the full comparison ----
    {"FullFixedSwap", "FIXED SWAP", FULL, P(LAYER_OBJECT, 0, 0), P(LAYER_SWAP, 0, 0), 1},
    {"FullFixedBackground", "FIXED BACKGROUND", FULL, P(LAYER_BACKGROUND, 0, 0), P(LAYER_OBJECT, 9, 9), -1},
    {"FullFixedGrid", "FIXED GRID", FULL, P(LAYER_OBJECT, 0, 0), P(LAYER_BACKGROUND_GRID, 0, 0), 1},
    {"HackLadderAbovePlatform", "HACK LADDER_ABOVE-PLATFORM", FULL, P(LAYER_LADDER_SEGMENT, 3, 4),
     P(LAYER_LADDER_PLATFORM, 3, 5), -1},
    {"HackLadderAbovePlatformMirror", "HACK LADDER_ABOVE-PLATFORM", FULL, P(LAYER_LADDER_PLATFORM, 3, 5),
     P(LAYER_LADDER_SEGMENT, 3, 4), 1},
    {"FarPairFixed", "FIXED MOUSE", FULL, P(LAYER_MOUSE, 0, 0), P(LAYER_OBJECT, 9, 9), 1},
    // A tutorial sign stands behind the hero, a bot or an object on or by
    // its cell, and in front of everything else there as before.
    {"TutorialBehindHero", "TUTORIAL BEHIND ACTOR", FULL, P(LAYER_TUTORIAL_SIGN, 3, 5), P(LAYER_HERO, 3, 5), -1},
    {"TutorialBehindHeroMirror", "TUTORIAL BEHIND ACTOR", FULL, P(LAYER_HERO, 3, 5), P(LAYER_TUTORIAL_SIGN, 3, 5), 1},
    {"TutorialBehindHeroInTube", "TUTORIAL BEHIND ACTOR", FULL, P(LAYER_TUTORIAL_SIGN, 3, 5),
     P(LAYER_HERO_IN_TUBE, 3, 5), -1},
    {"TutorialBehindBotBeside", "TUTORIAL BEHIND ACTOR", FULL, P(LAYER_BOT, 4, 5), P(LAYER_TUTORIAL_SIGN, 3, 5), 1},
    {"TutorialBehindObject", "TUTORIAL BEHIND ACTOR", FULL, P(LAYER_TUTORIAL_SIGN, 3, 5), P(LAYER_OBJECT, 3, 5), -1},
    {"TutorialOverTerrain", "FIXED TUTORIAL", FULL, P(LAYER_TUTORIAL_SIGN, 3, 5), P(LAYER_TERRAIN, 3, 5), 1},
    {"TutorialFarFromHero", "FIXED TUTORIAL", FULL, P(LAYER_TUTORIAL_SIGN, 3, 5), P(LAYER_HERO, 9, 5), 1},
    {"NotIntersecting", "NOT INTERSECTING!!!", FULL, P(LAYER_OBJECT, 0, 0), P(LAYER_OBJECT, 5, 0), 0},
    {"NiPosition1", "NI POSITION 1", FULL, P(LAYER_OBJECT, 14, 5), P(LAYER_OBJECT, 10, 10), 1, true},
    {"NiPosition2", "NI POSITION 2", FULL, P(LAYER_OBJECT, 10, 5), P(LAYER_OBJECT, 10, 10), 1, true},
    {"NiPosition3", "NI POSITION 3", FULL, P(LAYER_OBJECT, 5, 5), P(LAYER_OBJECT, 10, 10), 1, true},
    {"NiPosition4", "NI POSITION 4", FULL, P(LAYER_OBJECT, 14, 10), P(LAYER_OBJECT, 10, 10), 1, true},
    {"NiPosition6", "NI POSITION 6", FULL, P(LAYER_OBJECT, 5, 10), P(LAYER_OBJECT, 10, 10), -1, true},
    {"NiPosition6Ignored", "NI POSITION 6 (IGNORED)", FULL, P(LAYER_OBJECT, 5, 10), P(LAYER_OBJECT, 10, 10), 0, true,
     true},
    {"NiPosition7", "NI POSITION 7", FULL, P(LAYER_OBJECT, 14, 15), P(LAYER_OBJECT, 10, 10), 1, true},
    {"NiPosition8", "NI POSITION 8", FULL, P(LAYER_OBJECT, 10, 15), P(LAYER_OBJECT, 10, 10), -1, true},
    {"NiPosition8Ignored", "NI POSITION 8 (IGNORED)", FULL, P(LAYER_OBJECT, 10, 15), P(LAYER_OBJECT, 10, 10), 0, true,
     true},
    {"NiPosition9", "NI POSITION 9", FULL, P(LAYER_OBJECT, 5, 15), P(LAYER_OBJECT, 10, 10), -1, true},
    {"NiPosition9Ignored", "NI POSITION 9 (IGNORED)", FULL, P(LAYER_OBJECT, 5, 15), P(LAYER_OBJECT, 10, 10), 0, true,
     true},
    {"TeleportFrontTerrainA", "TELEPORT FRONT-TERRAIN A", FULL, P(LAYER_TELEPORT_FRONT, 3, 6),
     PW(LAYER_TERRAIN, 3, 5, 2), -1},
    {"TeleportFrontTerrainB", "TELEPORT FRONT-TERRAIN B", FULL, P(LAYER_TELEPORT_FRONT, 3, 4),
     PW(LAYER_TERRAIN, 3, 5, 2), 1},
    {"TeleportFrontTerrainC", "TELEPORT FRONT-TERRAIN C", FULL, PW(LAYER_TERRAIN, 3, 4, 2),
     P(LAYER_TELEPORT_FRONT, 3, 5), 1},
    {"TeleportFrontTerrainD", "TELEPORT FRONT-TERRAIN D", FULL, PW(LAYER_TERRAIN, 3, 6, 2),
     P(LAYER_TELEPORT_FRONT, 3, 5), -1},
    {"EditorTeleportTerrain", "EDITOR TELEPORT-TERRAIN", FULL, P(LAYER_EDITOR_TELEPORT, 3, 6),
     PW(LAYER_EDITOR_TERRAIN, 3, 5, 2), -1},
    {"EditorTeleportTerrainMirror", "EDITOR TELEPORT-TERRAIN", FULL, PW(LAYER_EDITOR_TERRAIN, 3, 4, 2),
     P(LAYER_EDITOR_TELEPORT, 3, 5), 1},
    {"EditorTeleport", "EDITOR TELEPORT", FULL, P(LAYER_EDITOR_TELEPORT, 3, 5), P(LAYER_OBJECT, 3, 5), 1},
    {"EditorLadder", "EDITOR LADDER", FULL, P(LAYER_EDITOR_LADDER, 3, 5), P(LAYER_OBJECT, 3, 5), -1},
    {"EditorLadderAboveTerrain", "EDITOR LADDER", FULL, P(LAYER_EDITOR_LADDER, 3, 4), P(LAYER_EDITOR_TERRAIN, 3, 5), 1},
    {"EditorDefault", "EDITOR DEFAULT", FULL, P(LAYER_EDITOR_ELEMENT, 3, 5), P(LAYER_OBJECT, 3, 4), -1},
    {"BotVicinityIgnore", "BOT VICINITY IGNORE", FULL, PG(LAYER_BOT, 0, 0, 100), P(LAYER_OBJECT, 5, 0), 0},
    {"BridgeCollapseA", "BRIDGE COLLAPSE A LEFT|BELOW", FULL, P(LAYER_BRIDGE_COLLAPSE, 2, 5), P(LAYER_OBJECT, 4, 5),
     -1},
    {"BridgeCollapseB", "BRIDGE COLLAPSE B LEFT|BELOW", FULL, P(LAYER_BRIDGE_COLLAPSE, 4, 5), P(LAYER_OBJECT, 4, 5), 1},
    {"BridgeCollapseC", "BRIDGE COLLAPSE C RIGHT|ABOVE", FULL, P(LAYER_OBJECT, 5, 5), P(LAYER_BRIDGE_COLLAPSE, 4, 5),
     1},
    {"BridgeCollapseD", "BRIDGE COLLAPSE D RIGHT|ABOVE", FULL, P(LAYER_OBJECT, 4, 5), P(LAYER_BRIDGE_COLLAPSE, 4, 5),
     -1},
    {"SameTileC", "SAME-TILE-C", FULL, P(LAYER_TRAMPOLINE_BACK, 3, 5), P(LAYER_LADDER_PLATFORM, 3, 5), -1},
    {"SameTileCFront", "SAME-TILE-C", FULL, P(LAYER_LADDER_PLATFORM, 3, 5), P(LAYER_TELEPORT_BACK, 3, 5), -1},
    {"SameTileBTeleport", "SAME-TILE-B Teleport", FULL, P(LAYER_TELEPORT_FRONT, 3, 5), PM(LAYER_OBJECT, 3, 5, RIGHT),
     1},
    {"SameTileBGunshot", "SAME-TILE-B GUNSHOT", FULL, P(LAYER_TERRAIN, 3, 5), P(LAYER_GUNSHOT, 3, 5), -1},
    {"SameTileBAhead", "SAME-TILE-B Ahead", FULL, P(LAYER_TERRAIN, 3, 5), P(LAYER_OBJECT, 3, 5), 1},
    {"SameTileBBehind", "SAME-TILE-B Behind", FULL, P(LAYER_FLOOR_BUTTON, 3, 5), P(LAYER_OBJECT, 3, 5), -1},
    {"SameTileATeleport", "SAME-TILE-A Teleport", FULL, PM(LAYER_OBJECT, 3, 5, LEFT), P(LAYER_TELEPORT_FRONT, 3, 5),
     -1},
    {"SameTileAGunshot", "SAME-TILE-A GUNSHOT", FULL, P(LAYER_GUNSHOT, 3, 5), P(LAYER_OBJECT, 3, 5), 1},
    {"SameTileABehindBotOnObject", "SAME-TILE-A Behind", FULL, P(LAYER_BOT, 3, 5), P(LAYER_OBJECT, 3, 5), -1},
    {"SameTileABehindObjectOnBot", "SAME-TILE-A Behind", FULL, P(LAYER_OBJECT, 3, 5), P(LAYER_BOT, 3, 5), -1},
    {"SameTileAAhead", "SAME-TILE-A Ahead", FULL, P(LAYER_OBJECT, 3, 5), P(LAYER_FLOOR_BUTTON, 3, 5), 1},
    {"TeleportActualA", "TELEPORT-ACTUAL A", FULL, PM(LAYER_TELEPORT_PASSER, 5, 5, RIGHT, 4, 5), P(LAYER_OBJECT, 4, 5),
     1},
    {"TeleportActualB", "TELEPORT-ACTUAL B", FULL, P(LAYER_OBJECT, 4, 5), PM(LAYER_TELEPORT_PASSER, 5, 5, RIGHT, 4, 5),
     -1},
    {"LadderTerrainAbove", "LADDER-TERRAIN ABOVE", FULL, P(LAYER_LADDER_SEGMENT, 3, 4), P(LAYER_TERRAIN, 3, 5), 1},
    {"LadderTerrainBelow", "LADDER-TERRAIN BELOW", FULL, P(LAYER_TERRAIN, 3, 6), P(LAYER_LADDER_SEGMENT, 3, 5), -1},
    {"LadderTerrainRight", "LADDER-TERRAIN RIGHT", FULL, P(LAYER_TERRAIN, 4, 5), P(LAYER_LADDER_SEGMENT, 3, 5), 1},
    {"LadderTerrainLeft", "LADDER-TERRAIN LEFT", FULL, P(LAYER_TERRAIN, 2, 5), P(LAYER_LADDER_SEGMENT, 3, 5), -1},
    {"LadderLadderRight", "LADDER-LADDER RIGHT", FULL, P(LAYER_LADDER_SEGMENT, 4, 5), P(LAYER_LADDER_SEGMENT, 3, 5), 1},
    {"LadderLadderLeft", "LADDER-LADDER LEFT", FULL, P(LAYER_LADDER_SEGMENT, 2, 5), P(LAYER_LADDER_SEGMENT, 3, 5), -1},
    {"LadderLadderAbove", "LADDER-LADDER ABOVE", FULL, P(LAYER_LADDER_SEGMENT, 3, 4), P(LAYER_LADDER_SEGMENT, 3, 5),
     -1},
    {"LadderLadderBelow", "LADDER-LADDER BELOW", FULL, P(LAYER_LADDER_SEGMENT, 3, 6), P(LAYER_LADDER_SEGMENT, 3, 5), 1},
    {"LadderDefault", "LADDER DEFAULT", FULL, P(LAYER_LADDER_SEGMENT, 3, 4), P(LAYER_OBJECT, 3, 5), -1},
    {"LadderDefaultMirror", "LADDER DEFAULT", FULL, P(LAYER_OBJECT, 3, 5), P(LAYER_LADDER_SEGMENT, 3, 4), 1},
    {"GateLights", "GATE LIGHTS", FULL, P(LAYER_GATE_LIGHTS, 3, 4), P(LAYER_OBJECT, 3, 5), 1},
    {"GateFrontFront", "GATE FRONT-FRONT", FULL, P(LAYER_GATE_FRONT, 3, 4), P(LAYER_GATE_FRONT, 3, 5), 1},
    {"GateFront", "GATE FRONT", FULL, P(LAYER_OBJECT, 3, 5), P(LAYER_GATE_FRONT, 3, 4), -1},
    {"GateBackTerrain", "GATE BACK-TERRAIN", FULL, P(LAYER_GATE_BACK, 3, 4), P(LAYER_TERRAIN, 3, 5), 1},
    {"GateBackBack", "GATE BACK-BACK", FULL, P(LAYER_GATE_BACK, 3, 6), P(LAYER_GATE_BACK_CLOSING, 3, 5), -1},
    {"GateBackAR", "GATE BACK A/R", FULL, P(LAYER_GATE_BACK, 4, 4), P(LAYER_OBJECT, 3, 5), 1},
    {"GateBackClosedAR", "GATE BACK CLOSED A/R", FULL, P(LAYER_GATE_BACK_CLOSING, 4, 5), P(LAYER_OBJECT, 3, 5), 1},
    {"GateBackDefault", "GATE BACK DEFAULT", FULL, P(LAYER_GATE_BACK, 2, 6), P(LAYER_OBJECT, 3, 5), -1},
    {"TubeButtonBelow", "TUBE-BUTTON BELOW", FULL, PG(LAYER_FLOOR_BUTTON, 2, 5, 12), P(LAYER_OBJECT, 3, 5), -1},
    {"TeleportLMover", "TELEPORT-LMOVER", FULL, P(LAYER_TELEPORT_PORTAL, 3, 6), PM(LAYER_OBJECT, 3, 5, LEFT), -1},
    {"TeleportFrontGhost", "TELEPORT FRONT-GHOST", FULL, P(LAYER_TELEPORT_FRONT, 3, 5),
     PM(LAYER_TELEPORT_GHOST, 4, 5, RIGHT), 1},
    {"TeleportFrontRight", "TELEPORT FRONT RIGHT", FULL, P(LAYER_TELEPORT_FRONT, 5, 5), P(LAYER_OBJECT, 3, 5), 1},
    {"TeleportFrontRightMirror", "TELEPORT FRONT RIGHT", FULL, P(LAYER_OBJECT, 1, 5), P(LAYER_TELEPORT_FRONT, 3, 5),
     -1},
    {"TeleportFrontLeftMove", "TELEPORT FRONT LEFT-MOVE", FULL, P(LAYER_TELEPORT_FRONT, 3, 4), [] {
         Placed p = PW(LAYER_OBJECT, 3, 5, 2);
         p.moves = RIGHT;
         return p;
     }(), 1},
    {"TeleportFrontLeft", "TELEPORT FRONT LEFT", FULL, PG(LAYER_TELEPORT_FRONT, 2, 5, 12), PW(LAYER_OBJECT, 3, 5, 2),
     -1},
    {"TeleportFrontBelow", "TELEPORT FRONT BELOW", FULL, P(LAYER_TELEPORT_FRONT, 3, 6), PW(LAYER_OBJECT, 3, 5, 2), -1},
    {"TeleportFrontAbove", "TELEPORT FRONT ABOVE", FULL, P(LAYER_TELEPORT_FRONT, 3, 4), PW(LAYER_OBJECT, 3, 5, 2), 1},
    {"TeleportPortalGhostA", "TELEPORT PORTAL-GHOST A", FULL, PG(LAYER_TELEPORT_PORTAL, 3, 5, 12),
     PM(LAYER_TELEPORT_GHOST, 4, 5, RIGHT), 1},
    {"TeleportPortalGhostB", "TELEPORT PORTAL-GHOST B", FULL, PM(LAYER_TELEPORT_GHOST, 4, 5, RIGHT),
     PG(LAYER_TELEPORT_PORTAL, 3, 5, 12), -1},
    {"TeleportPortalGhostC", "TELEPORT PORTAL-GHOST C", FULL, PG(LAYER_TELEPORT_PORTAL, 3, 5, 12),
     P(LAYER_TELEPORT_GHOST, 4, 5), -1},
    {"TeleportPortalGhostD", "TELEPORT PORTAL-GHOST D", FULL, P(LAYER_TELEPORT_GHOST, 4, 5),
     PG(LAYER_TELEPORT_PORTAL, 3, 5, 12), 1},
    {"TeleportPortalActualA", "TELEPORT PORTAL-ACTUAL A", FULL, PG(LAYER_TELEPORT_PORTAL, 3, 5, 12),
     PM(LAYER_TELEPORT_PASSER, 4, 5, LEFT), 1},
    {"TeleportPortalActualB", "TELEPORT PORTAL-ACTUAL B", FULL, PM(LAYER_TELEPORT_PASSER, 4, 5, LEFT),
     PG(LAYER_TELEPORT_PORTAL, 3, 5, 12), -1},
    {"TeleportPortalActualC", "TELEPORT PORTAL-ACTUAL C", FULL, PG(LAYER_TELEPORT_PORTAL, 3, 5, 12),
     P(LAYER_TELEPORT_PASSER, 4, 5), -1},
    {"TeleportPortalActualD", "TELEPORT PORTAL-ACTUAL D", FULL, P(LAYER_TELEPORT_PASSER, 4, 5),
     PG(LAYER_TELEPORT_PORTAL, 3, 5, 12), 1},
    {"TeleportLglowA", "TELEPORT LGLOW A", FULL, P(LAYER_TELEPORT_GLOW_LEFT, 5, 5), P(LAYER_OBJECT, 3, 5), 1},
    {"TeleportLglowB", "TELEPORT LGLOW B", FULL, P(LAYER_OBJECT, 1, 5), P(LAYER_TELEPORT_GLOW_LEFT, 3, 5), -1},
    // An actor beside a teleport's left glow, and in its cell: the glow in
    // front when the actor stands on its left or with it, behind him on its
    // right.
    {"TeleportLglowABeside", "TELEPORT LGLOW A", FULL, P(LAYER_TELEPORT_GLOW_LEFT, 4, 5), P(LAYER_OBJECT, 3, 5), 1},
    {"TeleportLglowBBeside", "TELEPORT LGLOW B", FULL, P(LAYER_OBJECT, 2, 5), P(LAYER_TELEPORT_GLOW_LEFT, 3, 5), -1},
    {"TeleportLglowActorOnItsRight", "FALLOUT RIGHT, NOT BELOW", FULL, P(LAYER_OBJECT, 4, 5),
     P(LAYER_TELEPORT_GLOW_LEFT, 3, 5), 1},
    {"TeleportLglowActorOnItsRightMirror", "FALLOUT LEFT, NOT ABOVE", FULL, P(LAYER_TELEPORT_GLOW_LEFT, 3, 5),
     P(LAYER_OBJECT, 4, 5), -1},
    {"SameTileBTeleportLglow", "SAME-TILE-B Ahead", FULL, P(LAYER_TELEPORT_GLOW_LEFT, 3, 5), P(LAYER_OBJECT, 3, 5), 1},
    {"SameTileATeleportLglow", "SAME-TILE-A Behind", FULL, P(LAYER_OBJECT, 3, 5), P(LAYER_TELEPORT_GLOW_LEFT, 3, 5),
     -1},
    // The right glow is over every actor, on either side and in its cell.
    {"TeleportRglowActorOnItsLeft", "FIXED GLOW", FULL, P(LAYER_TELEPORT_GLOW_RIGHT, 4, 5), P(LAYER_OBJECT, 3, 5), 1},
    {"TeleportRglowActorOnItsRight", "FIXED GLOW", FULL, P(LAYER_OBJECT, 4, 5), P(LAYER_TELEPORT_GLOW_RIGHT, 3, 5), -1},
    {"TeleportRglowActorInItsCell", "FIXED GLOW", FULL, P(LAYER_HERO, 3, 5), P(LAYER_TELEPORT_GLOW_RIGHT, 3, 5), -1},
    {"TeleportPortalTerrainA", "TELEPORT PORTAL-TERRAIN A", FULL, P(LAYER_TELEPORT_PORTAL, 3, 6),
     PW(LAYER_TERRAIN, 3, 5, 2), -1},
    {"TeleportPortalTerrainB", "TELEPORT PORTAL-TERRAIN B", FULL, P(LAYER_TELEPORT_PORTAL, 3, 4),
     PW(LAYER_TERRAIN, 3, 5, 2), 1},
    {"TeleportPortalTerrainC", "TELEPORT PORTAL-TERRAIN C", FULL, PW(LAYER_TERRAIN, 3, 4, 2),
     P(LAYER_TELEPORT_PORTAL, 3, 5), 1},
    {"TeleportPortalTerrainD", "TELEPORT PORTAL-TERRAIN D", FULL, PW(LAYER_TERRAIN, 3, 6, 2),
     P(LAYER_TELEPORT_PORTAL, 3, 5), -1},
    {"TeleportPortalA", "TELEPORT PORTAL A", FULL, P(LAYER_TELEPORT_PORTAL, 5, 5), P(LAYER_OBJECT, 3, 5), 1},
    {"TeleportPortalB", "TELEPORT PORTAL B", FULL, PG(LAYER_TELEPORT_PORTAL, 3, 4, 12), PW(LAYER_OBJECT, 3, 5, 2), 1},
    {"TeleportPortalC", "TELEPORT PORTAL C", FULL, P(LAYER_TELEPORT_PORTAL, 3, 4), PW(LAYER_OBJECT, 3, 5, 2), 1},
    {"TeleportPortalD", "TELEPORT PORTAL D", FULL, P(LAYER_TELEPORT_PORTAL, 3, 6), PW(LAYER_OBJECT, 3, 5, 2), -1},
    {"TeleportBackTerrain", "TELEPORT BACK-TERRAIN", FULL, P(LAYER_TELEPORT_BACK, 3, 4), P(LAYER_TERRAIN, 3, 5), 1},
    {"TeleportBackTerrainMirror", "TELEPORT BACK-TERRAIN", FULL, P(LAYER_TERRAIN, 3, 6), P(LAYER_TELEPORT_BACK, 3, 5),
     -1},
    {"TeleportBackDefault", "TELEPORT BACK DEFAULT", FULL, P(LAYER_TELEPORT_BACK, 3, 4), P(LAYER_OBJECT, 3, 5), -1},
    {"PlatformMoving", "PLATFORM MOVING", FULL, P(LAYER_LADDER_PLATFORM, 3, 4), PM(LAYER_OBJECT, 4, 5, RIGHT, 3, 4), 1},
    {"MovingUpTerrain", "MOVING UP TERRAIN", FULL, P(LAYER_TERRAIN, 5, 5), PM(LAYER_OBJECT, 3, 5, UP), 1},
    {"MovingRightTerrain", "MOVING RIGHT TERRAIN", FULL, P(LAYER_TERRAIN, 3, 3), PM(LAYER_OBJECT, 3, 5, RIGHT), 1},
    {"TrampMoving", "TRAMP MOVING", FULL, P(LAYER_TRAMPOLINE_FRONT, 3, 5), PM(LAYER_OBJECT, 4, 5, RIGHT, 3, 5), 1},
    {"ButtonMoving", "BUTTON MOVING", FULL, P(LAYER_FLOOR_BUTTON, 3, 6), PM(LAYER_OBJECT, 3, 5, LEFT), -1},
    {"TubeMoving", "TUBE MOVING", FULL, P(LAYER_TUBE, 3, 6), PM(LAYER_OBJECT, 3, 5, LEFT), -1},
    {"StackMoving", "STACK MOVING", FULL, P(LAYER_OBJECT, 3, 4), PM(LAYER_OBJECT, 4, 5, RIGHT, 3, 5), 1},
    {"ObjectBelow", "OBJECT BELOW", FULL, P(LAYER_OBJECT, 3, 6), PM(LAYER_OBJECT, 4, 5, RIGHT, 3, 5), -1},
    {"GeneralMovingA", "GENERAL MOVING A", FULL, PM(LAYER_OBJECT, 5, 5, LEFT), P(LAYER_OBJECT, 3, 5), 1},
    {"GeneralMovingB", "GENERAL MOVING B", FULL, P(LAYER_OBJECT, 1, 5), PM(LAYER_OBJECT, 3, 5, LEFT), -1},
    {"GeneralMovingC", "GENERAL MOVING C", FULL, PM(LAYER_OBJECT, 3, 3, LEFT), P(LAYER_HERO, 3, 5), 1},
    {"GeneralMovingD", "GENERAL MOVING D", FULL, P(LAYER_HERO, 3, 7), PM(LAYER_HERO, 3, 5, LEFT), -1},
    {"TerrainBelow", "TERRAIN BELOW", FULL, P(LAYER_TERRAIN, 3, 6), P(LAYER_OBJECT, 3, 5), -1},
    {"TerrainBelowMirror", "TERRAIN BELOW", FULL, P(LAYER_OBJECT, 3, 4), P(LAYER_TERRAIN, 3, 5), 1},
    {"FalloutRightNotBelow", "FALLOUT RIGHT, NOT BELOW", FULL, P(LAYER_OBJECT, 4, 5), P(LAYER_OBJECT, 3, 5), 1},
    {"FalloutLeftNotAbove", "FALLOUT LEFT, NOT ABOVE", FULL, P(LAYER_OBJECT, 2, 5), P(LAYER_OBJECT, 3, 5), -1},
    {"FalloutBelowNotRight", "FALLOUT BELOW, NOT RIGHT", FULL, P(LAYER_OBJECT, 3, 6), P(LAYER_OBJECT, 3, 5), -1},
    {"FalloutAboveNotLeft", "FALLOUT ABOVE, NOT LEFT", FULL, P(LAYER_OBJECT, 3, 4), P(LAYER_OBJECT, 3, 5), 1},
    {"FalloutRight", "FALLOUT RIGHT", FULL, P(LAYER_OBJECT, 4, 6), P(LAYER_OBJECT, 3, 5), 1},
    {"FalloutLeft", "FALLOUT LEFT", FULL, P(LAYER_OBJECT, 2, 4), P(LAYER_OBJECT, 3, 5), -1},
    // An object and a teleport's ghost copy standing still in one cell: no
    // rule orders that pair.
    {"FalloutCase", "FALLOUT CASE:  SHOULD NOT GET TO THIS POINT!!!", FULL, P(LAYER_OBJECT, 3, 5),
     P(LAYER_TELEPORT_GHOST, 3, 5), 1},
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

INSTANTIATE_TEST_SUITE_P(PaintersOrder, RuleTest, ::testing::ValuesIn(kCases),
                         [](const ::testing::TestParamInfo<RuleCase>& info) { return std::string(info.param.test); });

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

TEST_F(PaintersOrderTest, BotAndObjectOnOneTileNewcomerGoesBehind) {
    CSprite* bot = MakePlaced(P(LAYER_BOT, 3, 5));
    CSprite* crate = MakePlaced(P(LAYER_OBJECT, 3, 5));
    EXPECT_EQ(CompareSprites(bot, crate, false, false), -1);
    EXPECT_EQ(CompareSprites(crate, bot, false, false), -1);
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
