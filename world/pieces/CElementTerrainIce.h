// Ice: a one-cell block whose surface is slippery. Heat melts it away: it
// leaves the grid at once and its picture gives way to a cloud of steam. Undo
// brings melted ice back.
#pragma once

#include <cstdint>

#include "world/pieces/CElementTerrain.h"

class CElementTerrainIce : public CElementTerrain {
public:
    // overhang: nothing solid below, so the block shows its icicles.
    CElementTerrainIce(int x, int y, bool overhang);
    ~CElementTerrainIce() override;

    void SaveState(int k) override;
    void RestoreState(int k) override;
    void Update() override;
    int GetSurfaceFriction() override;
    // Which look the next block takes.
    static int GetImageCounter() { return imageCounter; }

private:
    // Spreads the looks of neighbouring blocks; it runs on from level to
    // level for the whole program run.
    static int32_t imageCounter;
};
