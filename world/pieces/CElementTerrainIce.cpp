#include "world/pieces/CElementTerrainIce.h"

#include <cstdio>

#include "engine/CSprite.h"
#include "engine/Log.h"
#include "world/pieces/PieceSprites.h"

int32_t CElementTerrainIce::imageCounter = 0;

namespace {

// Overhanging blocks have ten pictures, blocks on the ground two.
constexpr int kOverhangLooks = 10;
constexpr int kGroundLooks = 2;

}  // namespace

CElementTerrainIce::CElementTerrainIce(int x_, int y_, bool overhang) : CElementTerrain(x_, y_, 1) {
    typeTerrain = TERRAIN_KIND_ICE;
    meltable = 1;
    char image[32];
    if (overhang)
        snprintf(image, sizeof(image), "ice%i.png", imageCounter + 1);
    else
        snprintf(image, sizeof(image), "ice%ib.png", imageCounter % kGroundLooks + 1);
    imageCounter = (imageCounter + 1) % kOverhangLooks;
    sprite = lastShownSprite = CreateTileSprite(17, 13, 1, "Ice Terrain Tile", image);
    CreateEffectSprites(false, false, true, false);
}

CElementTerrainIce::~CElementTerrainIce() {
    DebugLog(DBG_DESTRUCT, "CElementTerrainIce:  Destroying ice element at (%d,%d)...\n", x, y);
    DeletePieceSprite(&sprite);
    lastShownSprite = nullptr;
    FreeEffectSprites();
}

void CElementTerrainIce::SaveState(int k) {
    DebugLog(DBG_UNDO, "      %s:  Saving ElementTerrainIce state...\n", GetTypeName());
    CElementTerrain::SaveState(k);
}

void CElementTerrainIce::RestoreState(int k) {
    DebugLog(DBG_UNDO, "      %s:  Restoring ElementTerrainIce state...\n", GetTypeName());
    CElementTerrain::RestoreState(k);
}

void CElementTerrainIce::Update() {
    UpdateEffectSprites();
    // Melting: the steam takes the block's place.
    if (steamActive && sprite) sprite->Hide();
}

int CElementTerrainIce::GetSurfaceFriction() { return -1; }
