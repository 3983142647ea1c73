// The one-picture sprites of widgets and screens: made, named and placed in
// one call.
#pragma once

#include <cstddef>
#include <memory>

#include "engine/CSprite.h"

// A still sprite on layer showing image (a name of the image store, taken
// with one reference) at (x, y); shown at once when asked.
std::unique_ptr<CSprite> MakeGuiSprite(const char* image, SpriteLayer layer, const char* debugName, int x, int y,
                                       bool shown);
// The same for an image id the caller already holds (the sprite takes over
// that reference).
std::unique_ptr<CSprite> MakeGuiSprite(int imageId, SpriteLayer layer, const char* debugName, int x, int y, bool shown);

// Releases what a screen or a widget owns, in the order given: each
// std::unique_ptr, or each of an array of them, is emptied. Sprites and
// widgets go with one call, before the pictures they show are released.
template <class T>
void ReleaseOwned(std::unique_ptr<T>& item) {
    item.reset();
}
template <class T, size_t N>
void ReleaseOwned(std::unique_ptr<T> (&items)[N]) {
    for (std::unique_ptr<T>& item : items) item.reset();
}
template <class... Owned>
void ReleaseAll(Owned&... owned) {
    (ReleaseOwned(owned), ...);
}
