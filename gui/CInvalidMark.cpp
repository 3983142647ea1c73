#include "gui/CInvalidMark.h"

#include "engine/CSprite.h"

CInvalidMark::CInvalidMark(const char* prefix, SpriteLayer layer, int x, int y, const char* debugName)
    : sprite_(new CSprite(layer, 2, false)) {
    sprite_->SetName(debugName);
    sprite_->AddFrames(prefix, 5, 0, ".png", 1);
    sprite_->SetPosition(x, y, false);
}

CInvalidMark::~CInvalidMark() { sprite_.reset(); }

void CInvalidMark::Start(int delay) {
    delay_ = delay;
    sprite_->Rewind();
    sprite_->Show(kSpriteNotDrawn, kSpriteNotDrawn);
}

void CInvalidMark::Step() {
    if (delay_ <= 0) return;
    if (--delay_ == 0) sprite_->Play(true);
}
