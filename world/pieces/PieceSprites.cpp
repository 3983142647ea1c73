#include "world/pieces/PieceSprites.h"

#include <cstdio>

#include "engine/CSprite.h"

CSprite* NewPieceSprite(int originX, int originY, SpriteLayer layer, int frameDelay, int tileW, int tileH,
                        const char* debugName, bool sharedFrames) {
    CSprite* s = new CSprite(originX, originY, layer, frameDelay, sharedFrames, tileW, tileH);
    s->SetName(debugName);
    return s;
}

void DeletePieceSprite(CSprite** sprite) {
    if (!*sprite) return;
    delete *sprite;  // a shown sprite marks its area for repainting as it goes
    *sprite = nullptr;
}

void AddNumberedFrame(CSprite* sprite, const char* prefix, int number, const char* suffix, int count) {
    char name[64];
    snprintf(name, sizeof(name), "%s%i%s", prefix, number, suffix);
    sprite->AddFrame(name, count);
}

bool SpriteSlot::CatchUp(int showX, int showY, bool rewind) {
    if (shown == current) return false;
    if (shown) shown->Hide();
    if (current) {
        current->Show(showX, showY);
        if (rewind) current->Rewind();
        current->Play(true);
    }
    shown = current;
    return true;
}

void SpriteSlot::Restore(const SpriteSlot& saved) {
    if (current != saved.current) {
        if (current) {
            current->Hide();
            current->Rewind();
        }
        if (saved.current) {
            saved.current->Finish();
            saved.current->Show(kSpriteNotDrawn, kSpriteNotDrawn);
        }
    }
    *this = saved;
}
