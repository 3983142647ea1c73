#include "world/CLevelBuilder.h"

#include <string>

#include "engine/Log.h"
#include "world/CElement.h"
#include "world/CElementAIBot.h"
#include "world/CElementAIProfessor.h"
#include "world/CLevel.h"
#include "world/CLevelRules.h"
#include "world/pieces/CElementDeviceButton.h"
#include "world/pieces/CElementDeviceGate.h"
#include "world/pieces/CElementDevicePowerup.h"
#include "world/pieces/CElementDeviceTeleport.h"
#include "world/pieces/CElementDeviceTrampoline.h"
#include "world/pieces/CElementDeviceTube.h"
#include "world/pieces/CElementLadder.h"
#include "world/pieces/CElementObjectBarrel.h"
#include "world/pieces/CElementObjectCrate.h"
#include "world/pieces/CElementObjectMagnet.h"
#include "world/pieces/CElementTerrainBridge.h"
#include "world/pieces/CElementTerrainGrass.h"
#include "world/pieces/CElementTerrainIce.h"
#include "world/pieces/CElementTerrainSand.h"
#include "world/pieces/CElementTutorial.h"

namespace {

int g_skipped = 0;

// Every tile code that makes an element in a level; the others (empty cells,
// ladders, platforms and the editor's tools) make none.
bool MakesElement(uint32_t code) {
    switch (code) {
        case TUTORIAL: case DEVICE_TUBE_START: case POWERUP_FROSTGUN: case POWERUP_HEATGUN: case POWERUP_WHISTLE:
        case DEVICE_TUBE_END: case POWERUP_TELEPORT: case POWERUP_BRIDGE: case POWERUP_EMP: case POWERUP_CRATE:
        case POWERUP_BARREL: case POWERUP_MAGNET: case TERRAIN_GRASS: case OBJECT_WCRATE: case OBJECT_WBARREL:
        case OBJECT_LMAGNET: case TERRAIN_SAND: case OBJECT_MCRATE: case OBJECT_MBARREL: case OBJECT_RMAGNET:
        case TERRAIN_ICE: case DEVICE_GATE_B: case DEVICE_GATE_Y: case DEVICE_GATE_R: case TERRAIN_BRIDGE:
        case DEVICE_BUTTON_B: case DEVICE_BUTTON_Y: case DEVICE_BUTTON_R: case DEVICE_LTELEPORT_B:
        case DEVICE_LTELEPORT_Y: case DEVICE_LTELEPORT_R: case DEVICE_TRAMPOLINE: case BOT_HANG: case BOT_LEFT:
        case BOT_RIGHT:
            return true;
        default:
            return false;
    }
}

// The power-up kind a power-up tile lays. Each teleport power-up takes a
// colour the level's teleports leave free.
int PowerupKindOf(CLevel* level, uint32_t code) {
    switch (code) {
        case POWERUP_FROSTGUN: return CElementDevicePowerup::KIND_FROSTGUN;
        case POWERUP_HEATGUN: return CElementDevicePowerup::KIND_HEATGUN;
        case POWERUP_WHISTLE: return CElementDevicePowerup::KIND_WHISTLE;
        case POWERUP_BRIDGE: return CElementDevicePowerup::KIND_BRIDGE;
        case POWERUP_EMP: return CElementDevicePowerup::KIND_EMP;
        case POWERUP_BARREL: return CElementDevicePowerup::KIND_BARREL;
        case POWERUP_MAGNET: return CElementDevicePowerup::KIND_MAGNET;
        case POWERUP_TELEPORT:
            switch (level ? level->ClaimTeleportType() : 0) {
                case 1: return CElementDevicePowerup::KIND_TELEPORT_YELLOW;
                case 2: return CElementDevicePowerup::KIND_TELEPORT_RED;
                default: return CElementDevicePowerup::KIND_TELEPORT_BLUE;
            }
        default: return CElementDevicePowerup::KIND_CRATE;
    }
}

}  // namespace

int CLevelBuilder::GetSkippedCount() { return g_skipped; }

CElement* CLevelBuilder::Build(CLevel* level) {
    g_skipped = 0;
    CElement::ResetWorld();
    DebugLog(DBG_TICK, "CGame:  Initialize Elements\n");
    if (!level) return nullptr;
    level->ResetTeleportTypes();
    DebugLog(DBG_TICK, "CGame:  Reset Teleport Powerups\n");

    // Ladders, from the bottom row up; one run at a time.
    for (int row = CElement::kGridHeight - 1; row >= 0; --row) {
        for (int col = 0; col < CElement::kGridWidth; ++col) {
            if (level->GetLadder(col, row) == NONE) continue;
            if (CElementLadder::IsLadderAt(col, row)) {
                DebugLog(DBG_CGAME, "CControllerGame::LoadLevel()      (%i,%i)  Ladder already created\n", col, row);
                continue;
            }
            const Rect run = level->GetLadderRun(col, row);
            CreateLadder(level, run.x, run.y, run.h);
        }
    }
    DebugLog(DBG_TICK, "CGame:  Ladders Created\n");

    // Tiles, each row from the right, so that a grass or sand run is made
    // once, from its rightmost cell, and its other cells are then occupied.
    for (int row = 0; row < CElement::kGridHeight; ++row) {
        for (int col = CElement::kGridWidth - 1; col >= 0; --col) {
            const uint32_t code = level->GetTile(col, row);
            if (code == NONE) continue;
            Rect run{col, row, 1, 1};
            if (code == TERRAIN_GRASS || code == TERRAIN_SAND) run = level->GetTypeRun(col, row, code);
            if (CElement::IsOccupied(col, row, false)) {
                DebugLog(DBG_CGAME, "CControllerGame::LoadLevel()      (%i,%i)  Tile (%s) already exists\n", col, row,
                         CLevel::GetTypeName(code));
                continue;
            }
            DebugLog(DBG_CGAME, "CControllerGame::LoadLevel()      (%i,%i)  Creating Tile (%s,%i)\n", col, row,
                     CLevel::GetTypeName(code), static_cast<int>(code));
            CreateElement(level, code, run.x, run.y, run.w, run.h);
        }
    }
    DebugLog(DBG_TICK, "CGame:  Tiles Created\n");

    static const uint32_t kTeleportCodes[CLevel::kTeleportColours] = {DEVICE_LTELEPORT_B, DEVICE_LTELEPORT_Y,
                                                                      DEVICE_LTELEPORT_R};
    for (int colour = 0; colour < CLevel::kTeleportColours; ++colour)
        for (const TeleportCell& t : level->GetTeleports(colour))
            CreateElement(level, kTeleportCodes[colour], t.x, t.y, 1, 1);
    DebugLog(DBG_TICK, "CGame:  Teleports Created\n");
    if (g_skipped > 0)
        DebugLog(DBG_WARNING, "CLevelBuilder::Build()   %d tiles of '%s' name pieces the game cannot make yet\n",
                 g_skipped, level->GetFileName());
    // The world is built all the same, so that a refused level can be seen
    // behind its refusal; but no hero is handed out to step it with.
    std::string fault;
    if (CLevelRules::FindPlayFault(*level, &fault) != CLevelRules::FAULT_NONE) {
        DebugLog(DBG_WARNING, "CLevelBuilder::Build()   '%s' cannot be played: %s\n", level->GetFileName(),
                 fault.c_str());
        return nullptr;
    }
    return CElement::GetHero();
}

void CLevelBuilder::CreateLadder(CLevel* level, int x, int top, int height) {
    DebugLog(DBG_CGAME, "Creating ladder  (%i,%i) H%i\n", x, top, height);
    for (int y = top; y < top + height; ++y) {
        int segment = CElementLadder::SEGMENT_MIDDLE;
        if (height == 1)
            segment = CElementLadder::SEGMENT_ISOLATED;
        else if (y == top)
            segment = CElementLadder::SEGMENT_TOP;
        else if (y == top + height - 1)
            segment = CElementLadder::SEGMENT_BOTTOM;
        new CElementLadder(x, y, segment,
                           level && level->IsPlatform(x, y) ? CElementLadder::PlatformImageAt(*level, x, y) : nullptr);
    }
}

CElement* CLevelBuilder::CreateElement(CLevel* level, uint32_t code, int x, int y, int width, int height) {
    DebugLog(DBG_CGAME, "createElement(%i,%i,%i,%i,%i)\n", static_cast<int>(code), x, y, width, height);
    const uint32_t state = level ? level->GetTileState(x, y) : 0;
    CElement* made = nullptr;
    const int cellState = static_cast<int>(state);
    switch (code) {
        case TUTORIAL:
            made = new CElementTutorial(x, y, level ? level->GetTutorialText(x, y) : nullptr);
            break;
        case POWERUP_FROSTGUN: case POWERUP_HEATGUN: case POWERUP_WHISTLE: case POWERUP_TELEPORT:
        case POWERUP_BRIDGE: case POWERUP_EMP: case POWERUP_CRATE: case POWERUP_BARREL: case POWERUP_MAGNET:
            made = new CElementDevicePowerup(x, y, PowerupKindOf(level, code));
            break;
        case DEVICE_TUBE_START:
            made = new CElementDeviceTube(x, y, CElementDeviceTube::KIND_ENTRANCE);
            // The hero starts in the entrance tube's cell.
            new CElementAIProfessor(x, y);
            break;
        case DEVICE_TUBE_END:
            made = new CElementDeviceTube(x, y, CElementDeviceTube::KIND_EXIT);
            break;
        case TERRAIN_GRASS:
            made = new CElementTerrainGrass(x, y, width);
            break;
        case TERRAIN_SAND:
            made = new CElementTerrainSand(x, y, width);
            break;
        case TERRAIN_ICE: {
            // Ice hanging over open space shows its icicles.
            const bool overhang = !level || !(level->IsTerrain(x, y + 1) || level->IsGate(x, y + 1));
            made = new CElementTerrainIce(x, y, overhang);
            break;
        }
        case TERRAIN_BRIDGE:
            made = new CElementTerrainBridge(x, y, false, state, true);
            break;
        case OBJECT_WCRATE:
            made = new CElementObjectCrate(x, y, CElementObjectCrate::WOOD, cellState, true);
            break;
        case OBJECT_WBARREL:
            made = new CElementObjectBarrel(x, y, CElementObjectBarrel::WOOD, cellState, true);
            break;
        case OBJECT_LMAGNET:
            made = new CElementObjectMagnet(x, y, 0, cellState, true);
            break;
        case OBJECT_MCRATE:
            made = new CElementObjectCrate(x, y, CElementObjectCrate::METAL, cellState, true);
            break;
        case OBJECT_MBARREL:
            made = new CElementObjectBarrel(x, y, CElementObjectBarrel::METAL, cellState, true);
            break;
        case OBJECT_RMAGNET:
            made = new CElementObjectMagnet(x, y, 0, cellState, false);
            break;
        case DEVICE_GATE_B:
            made = new CElementDeviceGate(x, y, BUTTON_BLUE);
            break;
        case DEVICE_GATE_Y:
            made = new CElementDeviceGate(x, y, BUTTON_YELLOW);
            break;
        case DEVICE_GATE_R:
            made = new CElementDeviceGate(x, y, BUTTON_RED);
            break;
        case DEVICE_BUTTON_B:
            made = new CElementDeviceButton(x, y, BUTTON_BLUE);
            break;
        case DEVICE_BUTTON_Y:
            made = new CElementDeviceButton(x, y, BUTTON_YELLOW);
            break;
        case DEVICE_BUTTON_R:
            made = new CElementDeviceButton(x, y, BUTTON_RED);
            break;
        case DEVICE_LTELEPORT_B:
            made = new CElementDeviceTeleport(x, y, TELEPORT_BLUE, false);
            break;
        case DEVICE_LTELEPORT_Y:
            made = new CElementDeviceTeleport(x, y, TELEPORT_YELLOW, false);
            break;
        case DEVICE_LTELEPORT_R:
            made = new CElementDeviceTeleport(x, y, TELEPORT_RED, false);
            break;
        case DEVICE_TRAMPOLINE:
            made = new CElementDeviceTrampoline(x, y);
            break;
        case BOT_HANG:
        case BOT_LEFT:
        case BOT_RIGHT:
            made = new CElementAIBot(x, y, code, cellState);
            break;
        default:
            break;
    }
    if (!made) {
        if (MakesElement(code)) {
            ++g_skipped;
            DebugLog(DBG_CGAME, "createElement()   No piece for tile %s at (%i,%i) yet\n", CLevel::GetTypeName(code), x,
                     y);
        }
        return nullptr;
    }
    if (state == TILE_STATE_FROZEN) {
        DebugLog(DBG_CGAME, "CControllerGame::createElement()   Freezing element at (%i,%i)\n", x, y);
        CElement::Freeze(made);
    } else if (state == TILE_STATE_HEATED) {
        DebugLog(DBG_CGAME, "CControllerGame::createElement()   Heating element at (%i,%i)\n", x, y);
        CElement::Heat(made, false, false);
    }
    return made;
}
