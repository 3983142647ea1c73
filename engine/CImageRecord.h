// One registered image name of the store: its holders, the slot of its
// decoded surface, and (for images of the pack) the file bytes it is decoded
// from. A size of 0 marks an image made at run time.
#pragma once

#include <cstdint>

class CImageRecord {
public:
    int32_t refCount = 0;
    int32_t imageId = -1;
    uint8_t* data = nullptr;  // owned, new[]
    uint32_t size = 0;
};

struct SDL_Surface;

// Adds dA to the alpha of every pixel of a 32-bit surface with an alpha
// channel, saturating at 0 and 255 (faded copies and CDraw::AdjustAlpha).
void ShiftAlpha(SDL_Surface* s, int dA);
