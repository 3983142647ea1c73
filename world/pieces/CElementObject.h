// The movable objects: crates, barrels and magnets. They fall, slide, are
// pushed and can be frozen; a frozen object is slippery for whatever stands
// on it. The class keeps a list of every live object for the debug dump.
//
// Crates and magnets are drawn the same way (a block that squashes when it
// lands, tilts while it falls, glows when heated and plays a cooling
// animation when cooled); that shared sprite choice lives here.
#pragma once

#include <initializer_list>
#include <string>
#include <vector>

#include "engine/CSprite.h"
#include "world/CElement.h"

class CSprite;

// The sprites of a block-shaped object (crate or magnet). Entries the
// material has no picture for stay null.
struct CObjectSpriteSet {
    CSprite* idle = nullptr;
    CSprite* frozenIdle = nullptr;
    CSprite* heatedIdle = nullptr;
    CSprite* fallLeft = nullptr;
    CSprite* frozenFallLeft = nullptr;
    CSprite* heatedFallLeft = nullptr;
    CSprite* fallRight = nullptr;
    CSprite* frozenFallRight = nullptr;
    CSprite* heatedFallRight = nullptr;
    CSprite* squashed = nullptr;
    CSprite* heatedSquashed = nullptr;
    CSprite* inflating = nullptr;
    CSprite* cooling = nullptr;

    // Deletes every sprite of the set.
    void DeleteAll();
};

class CElementObject : public CElement {
public:
    CElementObject(int x, int y);
    ~CElementObject() override;

    void SaveState(int k) override;
    void RestoreState(int k) override;
    // Things slide off a frozen object unless it stands on a trampoline.
    int GetSurfaceFriction() override;
    void PrintState() override;

    static const std::vector<CElementObject*>& GetObjects() { return objects; }
    static void DumpAll();

    // A sprite of an object: LAYER_OBJECT, one cell, its own frames taken by
    // name; it starts hidden like every new sprite.
    static CSprite* NewSprite(int originX, int originY, int frameDelay, const char* debugName,
                              std::initializer_list<const char*> frames);
    // The same with the frames prefix + number + suffix for the numbers from
    // `from` to `to`.
    static CSprite* NewSpriteSeries(int originX, int originY, int frameDelay, const char* debugName,
                                    const char* prefix, int from, int to, const char* suffix);
    // Sprites keep their debug name by pointer: a composed name is kept
    // here for the whole run.
    static const char* KeepName(const std::string& name);

protected:
    // The first sprite: the inflating one for inflated objects, else idle;
    // a frozen or heated cell state picks the frozen or heated idle sprite
    // when the material has one. Placed and shown as not drawn before.
    void ShowFirstSprite(CSprite* idle, CSprite* frozenIdle, CSprite* heatedIdle, CSprite* inflating, int tileState);
    void ShowFirstSprite(const CObjectSpriteSet& set, int tileState) {
        ShowFirstSprite(set.idle, set.frozenIdle, set.heatedIdle, set.inflating, tileState);
    }
    // One step of a crate's or magnet's drawing: the overlays, the sprite
    // for the object's state, the teleport ghost and the placement.
    // showFalling tells whether the object is to be drawn falling.
    void UpdateBlockSprites(const CObjectSpriteSet& set, bool showFalling);
    // Swaps the shown sprite: the old one is rewound (when asked), hidden
    // and unclipped, the new one shown where the object was last drawn and
    // started forward when asked.
    void SwitchSprite(CSprite* next, bool rewindOld, bool play);
    // Keeps the teleport ghost in step and places the sprite at the pixel
    // position (inside a teleport the element base draws it split).
    void PlaceSprite();
    // The first of the candidates whose state holds and whose sprite exists:
    // frozen, heated, cooling; else the plain sprite.
    CSprite* PickByState(CSprite* frozenSprite, CSprite* heatedSprite, CSprite* coolingSprite, CSprite* plain) const;

private:
    static std::vector<CElementObject*> objects;
};
