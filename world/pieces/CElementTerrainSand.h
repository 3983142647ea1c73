// Sand: sticky ground that stops a slide, built as one element per horizontal
// run.
// It never changes after it is built, so undo keeps nothing of it.
#pragma once

#include "world/pieces/CElementTerrain.h"

class CElementTerrainSand : public CElementTerrain {
public:
    CElementTerrainSand(int x, int y, int width);
    ~CElementTerrainSand() override;

    void SaveState(int k) override;
    void RestoreState(int k) override;
    int GetSurfaceFriction() override;
};
