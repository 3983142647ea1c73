// What undo keeps of a sprite for one step: everything that moves, animates,
// hides or fades. Frames, origin as built, tile size, frame delay, frame size,
// looping and the debug name never change between steps and are left out.
// A sprite is built on it (CSprite), so a field added here is kept by undo
// with no further line. It has no padding: two states are equal exactly when
// their bytes are.
#pragma once

#include <cstdint>

struct CSpriteState {
    int32_t originX = 0, originY = 0;
    int32_t x = 0, y = 0;
    int32_t prevX = 0, prevY = 0;
    int32_t clipX = 0, clipY = 0;
    int32_t tileX = 0, tileY = 0;
    int32_t prevTileX = 0, prevTileY = 0;
    int32_t type = 0;
    int32_t frame = 0;
    int32_t prevFrame = 0;
    int32_t frameCounter = 0;
    int32_t prevW = 0, prevH = 0;
    int32_t w = 0, h = 0;
    uint8_t movingLeft = 0, movingRight = 0, movingUp = 0, movingDown = 0;
    uint8_t hidden = 1;
    uint8_t prevHidden = 1;
    uint8_t finished = 0;
    uint8_t forceRedraw = 0;
    int32_t animState = 0;
    int32_t fadeMode = 0;
    uint32_t fadeStart = 0, fadeEnd = 0;  // ticks of CSprite::Now
    int32_t fadeEndAlpha = 255;
    int32_t fadeStartAlpha = 255;
};
