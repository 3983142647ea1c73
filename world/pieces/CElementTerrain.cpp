#include "world/pieces/CElementTerrain.h"

#include <algorithm>
#include <cstdio>

#include "engine/CSprite.h"
#include "engine/Log.h"
#include "world/pieces/PieceSprites.h"

namespace {

// Runs up to this many cells have a second picture for even rows.
constexpr int kShortRun = 5;

}  // namespace

CElementTerrain::CElementTerrain(int x_, int y_, int width) : CElement(x_, y_, std::max(width, 1)) {
    DebugLog(DBG_CONSTRUCT, "Calling Terrain constructor, %d %d %d\n", x_, y_, width);
    type = ELEMENT_TERRAIN;
    occupiesGrid = 1;
    gravity = 0;
    slidable = 0;
    dynamic = 0;
    for (int i = 0; i < createFlag; ++i) SetElementAt(x + i, y, this);
}

void CElementTerrain::SaveState(int k) {
    DebugLog(DBG_UNDO, "      %s:  Saving ElementTerrain state...\n", GetTypeName());
    CElement::SaveState(k);
}

void CElementTerrain::RestoreState(int k) {
    DebugLog(DBG_UNDO, "      %s:  Restoring ElementTerrain state...\n", GetTypeName());
    CElement::RestoreState(k);
}

CSprite* CElementTerrain::CreateTileSprite(int originX, int originY, int tileWidth, const char* debugName,
                                           const char* image) {
    CSprite* s = NewPieceSprite(originX, originY, LAYER_TERRAIN, 0, tileWidth, 1, debugName);
    s->AddFrame(image);
    s->SetPosition(pixelX, pixelY, false);
    s->Show(kSpriteNotDrawn, kSpriteNotDrawn);
    return s;
}

CElementTerrain::CElementTerrain(int x_, int y_, int width, const RunLook& look) : CElementTerrain(x_, y_, width) {
    runLook = &look;
    typeTerrain = look.terrainKind;
    // The pictures go up to the width of the grid.
    const int w = std::min(createFlag, kGridWidth);
    char image[32];
    snprintf(image, sizeof(image), "%s%i%s.png", look.stem, w, (w > kShortRun || (y & 1)) ? "" : "b");
    sprite = lastShownSprite = CreateTileSprite(look.originX, look.originY, w, look.debugName, image);
}

void CElementTerrain::DestroyRun() {
    DebugLog(DBG_DESTRUCT, "CElementTerrain%s:  Destroying %s element at (%d,%d)...\n", runLook->className,
             runLook->stem, x, y);
    DeletePieceSprite(&sprite);
    lastShownSprite = nullptr;
}

void CElementTerrain::LogRunUndo(bool saving) const {
    DebugLog(DBG_UNDO, "      %s:  %s ElementTerrain%s state...\n", GetTypeName(), saving ? "Saving" : "Restoring",
             runLook->className);
}
