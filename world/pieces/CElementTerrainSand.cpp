#include "world/pieces/CElementTerrainSand.h"

#include "engine/CSprite.h"
#include "engine/Log.h"

CElementTerrainSand::CElementTerrainSand(int x_, int y_, int width) : CElementTerrain(x_, y_, width) {
    typeTerrain = TERRAIN_KIND_SAND;
    CreateRunSprite(24, 23, "sand", "Sand Terrain Tile");
}

CElementTerrainSand::~CElementTerrainSand() {
    DebugLog(DBG_DESTRUCT, "CElementTerrainSand:  Destroying sand element at (%d,%d)...\n", x, y);
    delete sprite;
    sprite = lastShownSprite = nullptr;
}

void CElementTerrainSand::SaveState(int) {
    DebugLog(DBG_UNDO, "      %s:  Saving ElementTerrainSand state...\n", GetTypeName());
}

void CElementTerrainSand::RestoreState(int) {
    DebugLog(DBG_UNDO, "      %s:  Restoring ElementTerrainSand state...\n", GetTypeName());
}

int CElementTerrainSand::GetSurfaceFriction() { return 1; }
