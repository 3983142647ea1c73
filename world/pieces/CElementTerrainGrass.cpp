#include "world/pieces/CElementTerrainGrass.h"

namespace {

const CElementTerrain::RunLook kGrassLook = {TERRAIN_KIND_GRASS, 24, 25, "grass", "Grass Terrain Tile", "Grass"};

}  // namespace

CElementTerrainGrass::CElementTerrainGrass(int x_, int y_, int width) : CElementTerrain(x_, y_, width, kGrassLook) {}

CElementTerrainGrass::~CElementTerrainGrass() { DestroyRun(); }

void CElementTerrainGrass::SaveState(int) { LogRunUndo(true); }

void CElementTerrainGrass::RestoreState(int) { LogRunUndo(false); }

int CElementTerrainGrass::GetSurfaceFriction() { return 0; }
