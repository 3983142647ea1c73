#include "gui/GuiSprites.h"

#include "engine/CSprite.h"

namespace {

CSprite* Place(CSprite* s, const char* debugName, int x, int y, bool shown) {
    s->SetName(debugName);
    s->SetPosition(x, y, false);
    if (shown) s->Show(kSpriteNotDrawn, kSpriteNotDrawn);
    return s;
}

}  // namespace

CSprite* MakeGuiSprite(const char* image, int layer, const char* debugName, int x, int y, bool shown) {
    CSprite* s = new CSprite(layer, 0, false);
    if (image) s->AddFrame(image);
    return Place(s, debugName, x, y, shown);
}

CSprite* MakeGuiSprite(int imageId, int layer, const char* debugName, int x, int y, bool shown) {
    CSprite* s = new CSprite(layer, 0, false);
    if (imageId >= 0) s->AddFrame(imageId);
    return Place(s, debugName, x, y, shown);
}
