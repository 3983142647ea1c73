// The dirty-rectangle renderer. Sprites that change mark the screen
// rectangles they covered and cover; once a frame the renderer merges and
// clips those rectangles and repaints, for each, exactly the sprites that
// overlap it, back to front, each clipped to the rectangle. The display's
// Present then puts only those rectangles on the screen (it reads them
// through the source CRender registers with CDraw::SetDirtyRectSource, that
// is GetDirtyRects, and empties them with ClearDirtyLists afterwards).
//
// The renderer also freezes the picture while a child screen is open: Swap
// turns the current picture into one full-screen sprite and sets the
// parent's sprites aside until the second Swap.
#pragma once

#include <vector>

#include "engine/Rect.h"

class CSprite;

class CRender {
public:
    // Only static state. Constructing one registers the dirty list with the
    // display; Render and Swap register it again every time.
    CRender();
    ~CRender();

    // One frame: with updateSprites every live sprite is stepped first; then
    // the dirty rectangles are merged, clipped and repainted.
    static void Render(bool updateSprites);

    // Marking. Sprite rectangles are in screen coordinates (position minus
    // origin) with the full frame size.
    static void AddSpriteDirtyRect(CSprite* sprite);
    // The old and the new place: their bounding box when they overlap,
    // otherwise the new place followed by the old.
    static void AddSpriteMoveDirtyRect(CSprite* sprite);
    static void AddDirtyRect(int x, int y, int w, int h);
    // The whole screen must be repainted.
    static void AddFullScreenDirtyRect();

    static const std::vector<Rect>& GetDirtyRects();
    // Empties the dirty list and the per-rectangle sprite lists (after each
    // present, on restarting a level, at shut-down).
    static void ClearDirtyLists();

    // First call: freezes the picture (with snapshot) and sets the live
    // sprites aside; second call: shows one last frame of the frozen picture,
    // drops it and brings the sprites back.
    static void Swap(bool snapshot);
    static bool IsSwapped();
    // The frozen picture's sprite while swapped with a snapshot, else null.
    static CSprite* GetSwapSprite();

    static void DumpDirtyRects(int category);

    // The two halves of a frame after the sprite step.
    static void OptimizeDirtyRects();
    static void DrawDirty();
    // The rectangle being repainted.
    static const Rect& GetCurrentRect();

    // Back to the start state (tests): no rectangles, not swapped.
    static void Reset();

private:
    static void EnsureRegistered();
};
