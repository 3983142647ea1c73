// Grass: neutral ground, built as one element per horizontal run.
// It never changes after it is built, so undo keeps nothing of it.
#pragma once

#include "world/pieces/CElementTerrain.h"

class CElementTerrainGrass : public CElementTerrain {
public:
    CElementTerrainGrass(int x, int y, int width);
    ~CElementTerrainGrass() override;

    void SaveState(int k) override;
    void RestoreState(int k) override;
    int GetSurfaceFriction() override;
};
