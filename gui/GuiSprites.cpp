#include "gui/GuiSprites.h"

#include <utility>

#include "engine/CSprite.h"

namespace {

std::unique_ptr<CSprite> Place(std::unique_ptr<CSprite> s, const char* debugName, int x, int y, bool shown) {
    s->SetName(debugName);
    s->SetPosition(x, y, false);
    if (shown) s->Show(kSpriteNotDrawn, kSpriteNotDrawn);
    return s;
}

}  // namespace

std::unique_ptr<CSprite> MakeGuiSprite(const char* image, SpriteLayer layer, const char* debugName, int x, int y,
                                       bool shown) {
    auto s = std::make_unique<CSprite>(layer, 0, false);
    if (image) s->AddFrame(image);
    return Place(std::move(s), debugName, x, y, shown);
}

std::unique_ptr<CSprite> MakeGuiSprite(int imageId, SpriteLayer layer, const char* debugName, int x, int y,
                                       bool shown) {
    auto s = std::make_unique<CSprite>(layer, 0, false);
    if (imageId >= 0) s->AddFrame(imageId);
    return Place(std::move(s), debugName, x, y, shown);
}
