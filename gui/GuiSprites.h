// The one-picture sprites of widgets and screens: made, named and placed in
// one call.
#pragma once

class CSprite;

// A still sprite on layer showing image (a name of the image store, taken
// with one reference) at (x, y); shown at once when asked.
CSprite* MakeGuiSprite(const char* image, int layer, const char* debugName, int x, int y, bool shown);
// The same for an image id the caller already holds (the sprite takes over
// that reference).
CSprite* MakeGuiSprite(int imageId, int layer, const char* debugName, int x, int y, bool shown);
