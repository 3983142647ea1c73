// The fixed ground of a level: grass and sand runs, ice blocks and bridges.
// Terrain never falls, slides or is pushed. One terrain element covers a run
// of cells to the right of its own cell and stands in each of them in the
// element grid; what stands on it feels its surface value (grass neutral, ice
// slippery, sand sticky).
#pragma once

#include "world/CElement.h"

class CSprite;

class CElementTerrain : public CElement {
public:
    // width: the cells covered from (x, y) to the right, at least 1.
    CElementTerrain(int x, int y, int width);

    void SaveState(int k) override;
    void RestoreState(int k) override;

    int GetWidth() const { return createFlag; }

protected:
    // The ground picture of a grass or sand run: "<stem><width>.png", or
    // "<stem><width>b.png" for a short run (up to five cells) on an even row.
    // It spans the whole run and becomes the main sprite, shown.
    void CreateRunSprite(int originX, int originY, const char* stem, const char* debugName);
    // A one-frame sprite on the terrain layer at the element's cell, shown.
    CSprite* CreateTileSprite(int originX, int originY, int tileWidth, const char* debugName, const char* image);
};
