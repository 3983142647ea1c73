// The animated mark a text dialog shows after a refused entry ("wrong
// password", "that name is taken", "name not accepted"): six pictures
// numbered 5 down to 0, held on the first for a number of frames, then
// played once.
#pragma once

#include <memory>

#include "engine/CSprite.h"

class CInvalidMark {
public:
    // Frames prefix + 5 .. prefix + 0 + ".png"; hidden until Start.
    CInvalidMark(const char* prefix, SpriteLayer layer, int x, int y, const char* debugName);
    ~CInvalidMark();
    CInvalidMark(const CInvalidMark&) = delete;
    CInvalidMark& operator=(const CInvalidMark&) = delete;

    // Shows the first picture and holds it for delay frames.
    void Start(int delay);
    // Once a frame: counts the hold down and then starts the animation.
    void Step();
    int GetDelay() const { return delay_; }
    CSprite* GetSprite() const { return sprite_.get(); }

private:
    std::unique_ptr<CSprite> sprite_;
    int delay_ = 0;
};
