// Sprite chores the world pieces (and the hero and the bots) share: building
// a piece's sprite and its frame lists, bringing the sprite of a new state on
// screen in place of the one shown before, and putting back the sprites an
// undo step recorded.
#pragma once

#include "engine/CSprite.h"

// A sprite on the world's layers. Its frames come from the images the play
// screen's caches decoded (shared frames, never released by the sprite), or,
// with sharedFrames false, are decoded by the sprite itself on first use and
// released with it. The origin is given in the level layout's coordinates
// (CSprite's convention); the debug name must outlive the sprite.
CSprite* NewPieceSprite(int originX, int originY, SpriteLayer layer, int frameDelay, int tileW, int tileH,
                        const char* debugName, bool sharedFrames = true);

// Deletes a sprite (null is fine) and clears the pointer.
void DeletePieceSprite(CSprite** sprite);

// Adds the picture "<prefix><number><suffix>", shown for count steps.
void AddNumberedFrame(CSprite* sprite, const char* prefix, int number, const char* suffix, int count = 1);

// One part of a piece's picture (its back, its front, its lights...): the
// sprite the piece's state asks for, and the sprite on screen, which catches
// up in the piece's drawing step. Undo records the pair as it stands.
struct SpriteSlot {
    CSprite* current = nullptr;
    CSprite* shown = nullptr;

    // When current differs from shown: hides shown, shows current with the
    // last-drawn position (showX, showY), rewinds it when asked and plays it
    // forward. True when the sprite on screen changed.
    bool CatchUp(int showX, int showY, bool rewind);
    // Undo: takes the recorded pair. When that changes current, the old
    // sprite is hidden and rewound and the recorded one is shown at rest on
    // its last frame, without replaying its animation.
    void Restore(const SpriteSlot& saved);
};
