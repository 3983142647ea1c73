#include "world/pieces/CElementTerrainSand.h"

namespace {

const CElementTerrain::RunLook kSandLook = {TERRAIN_KIND_SAND, 24, 23, "sand", "Sand Terrain Tile", "Sand"};

}  // namespace

CElementTerrainSand::CElementTerrainSand(int x_, int y_, int width) : CElementTerrain(x_, y_, width, kSandLook) {}

CElementTerrainSand::~CElementTerrainSand() { DestroyRun(); }

void CElementTerrainSand::SaveState(int) { LogRunUndo(true); }

void CElementTerrainSand::RestoreState(int) { LogRunUndo(false); }

int CElementTerrainSand::GetSurfaceFriction() { return 1; }
