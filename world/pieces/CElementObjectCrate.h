// Crates: the plain movable blocks, of wood, metal or inflated rubber. The
// hero pushes them; they fall, land with a squash and slide on slippery
// ground. Wood and rubber burn when heated (rubber bursts); metal gets hot,
// passes its heat on and cools down, and magnets hold it.
#pragma once

#include "world/pieces/CElementObject.h"

class CElementObjectCrate : public CElementObject {
public:
    enum Material { WOOD = 0, METAL = 1, INFLATED = 2 };

    // tileState: the level cell's state (1024 frozen, 2048 heated), which
    // only chooses the first picture; the builder freezes or heats the crate
    // itself. inflateLeft: an inflated crate opens toward the left.
    CElementObjectCrate(int x, int y, int material, int tileState, bool inflateLeft);
    ~CElementObjectCrate() override;

    void SaveState(int k) override;
    void RestoreState(int k) override;
    void DescribeState(CWorldDigest* digest) override;
    void Update() override;
    int GetSlide() override;

    int GetMaterial() const { return material; }

private:
    void BuildSprites(bool evenColumn, bool inflateLeft);

    int material;
    CObjectSpriteSet sprites;
};
