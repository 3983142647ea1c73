// The fixed ground of a level: grass and sand runs, ice blocks and bridges.
// Terrain never falls, slides or is pushed. One terrain element covers a run
// of cells to the right of its own cell and stands in each of them in the
// element grid; what stands on it feels its surface value (grass neutral, ice
// slippery, sand sticky).
#pragma once

#include <cstdint>

#include "world/CElement.h"

class CSprite;

class CElementTerrain : public CElement {
public:
    // What tells grass and sand runs apart.
    struct RunLook {
        int32_t terrainKind;
        int originX, originY;
        const char* stem;       // of the picture names
        const char* debugName;  // of the sprite
        const char* className;  // "Grass" or "Sand", for the log lines
    };
    // width: the cells covered from (x, y) to the right, at least 1.
    CElementTerrain(int x, int y, int width);

    void SaveState(int k) override;
    void RestoreState(int k) override;

    int GetWidth() const { return createFlag; }

protected:
    // A grass or sand run with its ground picture: "<stem><width>.png", or
    // "<stem><width>b.png" for a short run (up to five cells) on an even row.
    // The picture spans the whole run and is the main sprite.
    CElementTerrain(int x, int y, int width, const RunLook& look);
    // The destructor and the undo hooks of a run: a run never changes, so
    // its hooks only log.
    void DestroyRun();
    void LogRunUndo(bool saving) const;
    // A one-frame sprite on the terrain layer at the element's cell, shown.
    CSprite* CreateTileSprite(int originX, int originY, int tileWidth, const char* debugName, const char* image);

private:
    const RunLook* runLook = nullptr;
};
