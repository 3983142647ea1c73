// A plain one-cell floor for tests that lay out a world by hand, with the
// surface value chosen: 0 grass, -1 ice, 1 sand.
#pragma once

#include "world/CElement.h"

namespace worldtest {

class StandInFloor : public CElement {
public:
    StandInFloor(int x, int y, int surface) : CElement(x, y, 1), surface_(surface) {
        type = ELEMENT_TERRAIN;
        typeTerrain = surface < 0 ? TERRAIN_KIND_ICE : (surface > 0 ? TERRAIN_KIND_SAND : TERRAIN_KIND_GRASS);
        occupiesGrid = 1;
        SetElementAt(x, y, this);
    }
    int GetSurfaceFriction() override { return surface_; }

private:
    int surface_;
};

}  // namespace worldtest
