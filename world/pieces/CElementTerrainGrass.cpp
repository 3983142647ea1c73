#include "world/pieces/CElementTerrainGrass.h"

#include "engine/CSprite.h"
#include "engine/Log.h"

CElementTerrainGrass::CElementTerrainGrass(int x_, int y_, int width) : CElementTerrain(x_, y_, width) {
    typeTerrain = TERRAIN_KIND_GRASS;
    CreateRunSprite(24, 25, "grass", "Grass Terrain Tile");
}

CElementTerrainGrass::~CElementTerrainGrass() {
    DebugLog(DBG_DESTRUCT, "CElementTerrainGrass:  Destroying grass element at (%d,%d)...\n", x, y);
    delete sprite;
    sprite = lastShownSprite = nullptr;
}

void CElementTerrainGrass::SaveState(int) {
    DebugLog(DBG_UNDO, "      %s:  Saving ElementTerrainGrass state...\n", GetTypeName());
}

void CElementTerrainGrass::RestoreState(int) {
    DebugLog(DBG_UNDO, "      %s:  Restoring ElementTerrainGrass state...\n", GetTypeName());
}

int CElementTerrainGrass::GetSurfaceFriction() { return 0; }
