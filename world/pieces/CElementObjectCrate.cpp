#include "world/pieces/CElementObjectCrate.h"

#include <cstdio>

#include "engine/CSprite.h"
#include "engine/Log.h"

namespace {

// Squash: down, further down, down, upright, a small rebound.
constexpr int kSquashDelay = 2;

}  // namespace

CElementObjectCrate::CElementObjectCrate(int x_, int y_, int material_, int tileState, bool inflateLeft)
    : CElementObject(x_, y_), material(material_) {
    SetElementAt(x, y, this);
    switch (material) {
        case METAL:
            BuildMetal();
            METALLIC = 1;
            heatable = 1;
            break;
        case INFLATED:
            BuildInflated(inflateLeft);
            RegisterSpawned(this);
            inflated = 1;
            bursts = 1;
            burnable = 1;
            break;
        default:
            material = WOOD;
            BuildWood(x % 2 == 0);
            burnable = 1;
            break;
    }
    ShowFirstSprite(sprites, tileState);
    CreateEffectSprites(true, true, true, false);
    typeObject = OBJECT_KIND_CRATE;
}

CElementObjectCrate::~CElementObjectCrate() {
    DebugLog(DBG_DESTRUCT, "CElementObjectCrate:  Destroying crate element at (%d,%d)...\n", x, y);
    sprites.DeleteAll();
    sprite = nullptr;
    lastShownSprite = nullptr;
    FreeEffectSprites();
}

void CElementObjectCrate::BuildWood(bool evenColumn) {
    // Crates on even columns show the other grain, so a row of crates does
    // not look stamped.
    const char* b = evenColumn ? "b" : "";
    char still[32], left[32], right[32], sq0[32], sq1[32], sq4[32];
    snprintf(still, sizeof(still), "cratestill0%s.tga", b);
    snprintf(left, sizeof(left), "crateleft0%s.tga", b);
    snprintf(right, sizeof(right), "crateright0%s.tga", b);
    snprintf(sq0, sizeof(sq0), "cratesquash0%s.tga", b);
    snprintf(sq1, sizeof(sq1), "cratesquash1%s.tga", b);
    snprintf(sq4, sizeof(sq4), "cratesquash4%s.tga", b);
    sprites.idle = NewSprite(23, 13, 0, "Crate (Wooden) Idle", {still});
    sprites.frozenIdle = NewSprite(19, 14, 0, "Crate (Wooden,Frozen) Idle", {"cratestillfrozen0.tga"});
    sprites.fallLeft = NewSprite(23, 13, 0, "Crate (WoodenA) Falling Left", {left});
    sprites.frozenFallLeft = NewSprite(19, 14, 0, "Crate (Wooden,Frozen) Falling Left", {"crateleftfrozen0.tga"});
    sprites.fallRight = NewSprite(23, 13, 0, "Crate (WoodenA) Falling Right", {right});
    sprites.frozenFallRight =
        NewSprite(19, 14, 0, "Crate (Wooden,Frozen) Falling Right", {"craterightfrozen0.tga"});
    sprites.squashed = NewSprite(23, 13, kSquashDelay, "Crate (WoodenA) Squashed", {sq0, sq1, sq0, still, sq4});
}

void CElementObjectCrate::BuildMetal() {
    sprites.idle = NewSprite(23, 13, 0, "Crate (Metal) Idle", {"metalcratestill0.tga"});
    sprites.frozenIdle = NewSprite(19, 14, 0, "Crate (Metal,Frozen) Idle", {"metalcratestillfrozen0.tga"});
    sprites.heatedIdle = NewSprite(23, 13, 0, "Crate (Metal,Heated) Idle", {"metalcrateheated.png"});
    sprites.fallLeft = NewSprite(23, 13, 0, "Crate (Metal) Falling Left", {"metalcrateleft0.tga"});
    sprites.frozenFallLeft =
        NewSprite(19, 14, 0, "Crate (Metal,Frozen) Falling Left", {"metalcrateleftfrozen0.tga"});
    sprites.heatedFallLeft =
        NewSprite(23, 13, 0, "Crate (Metal,Heated) Falling Left", {"metalcrateheatedleft.png"});
    sprites.fallRight = NewSprite(23, 13, 0, "Crate (Metal) Falling Right", {"metalcrateright0.tga"});
    sprites.frozenFallRight =
        NewSprite(19, 14, 0, "Crate (Metal,Frozen) Falling Right", {"metalcraterightfrozen0.tga"});
    sprites.heatedFallRight =
        NewSprite(23, 13, 0, "Crate (Metal,Heated) Falling Right", {"metalcrateheatedright.png"});
    sprites.squashed = NewSprite(23, 13, kSquashDelay, "Crate (Metal) Squashed",
                                 {"metalcratesquash0.tga", "metalcratesquash1.tga", "metalcratesquash0.tga",
                                  "metalcratestill0.tga", "metalcratesquash4.tga"});
    sprites.heatedSquashed = NewSprite(23, 13, kSquashDelay, "Crate (Metal,Heated) Squashed",
                                       {"metalcrateheatedsquash0.png", "metalcrateheatedsquash1.png",
                                        "metalcrateheatedsquash0.png", "metalcrateheated.png",
                                        "metalcrateheatedsquash4.png"});
    sprites.cooling =
        NewSpriteSeries(23, 13, kSquashDelay, "Crate (Metal) Cooling", "metalcratecooling", 0, 6, ".png");
}

void CElementObjectCrate::BuildInflated(bool inflateLeft) {
    sprites.idle = NewSprite(20, 15, 0, "Crate (Inflated) Idle", {"crateinflatablestill0.tga"});
    sprites.frozenIdle =
        NewSprite(19, 14, 0, "Crate (Inflated,Frozen) Idle", {"crateinflatablestillfrozen0.tga"});
    sprites.fallLeft = NewSprite(20, 15, 0, "Crate (Inflated) Falling Left", {"crateinflatableleft0.tga"});
    sprites.frozenFallLeft =
        NewSprite(19, 14, 0, "Crate (Inflated,Frozen) Falling Left", {"crateinflatableleftfrozen0.tga"});
    sprites.fallRight = NewSprite(20, 15, 0, "Crate (Inflated) Falling Right", {"crateinflatableright0.tga"});
    sprites.frozenFallRight =
        NewSprite(19, 14, 0, "Crate (Inflated,Frozen) Falling Right", {"crateinflatablerightfrozen0.tga"});
    sprites.squashed = NewSprite(20, 15, kSquashDelay, "Crate (Inflated) Squashed",
                                 {"crateinflatablesquash0.tga", "crateinflatablesquash1.tga",
                                  "crateinflatablesquash0.tga", "crateinflatablestill0.tga",
                                  "crateinflatablesquash4.tga"});
    sprites.inflating = NewSprite(20, 15, kSquashDelay, inflateLeft ? "Crate Inflating Left" : "Crate Inflating Right",
                                  {inflateLeft ? "crateinflateleft0.tga" : "crateinflateright0.tga"});
    sprites.inflating->AddFrames("crateinflate", 1, 4, ".tga", 1);
}

void CElementObjectCrate::SaveState(int k) {
    DebugLog(DBG_UNDO, "      %s:  Saving ElementObjectCrate state...\n", GetTypeName());
    CElementObject::SaveState(k);
}

void CElementObjectCrate::RestoreState(int k) {
    DebugLog(DBG_UNDO, "      %s:  Restoring ElementObjectCrate state...\n", GetTypeName());
    CElementObject::RestoreState(k);
}

void CElementObjectCrate::Update() {
    // Drawn falling only while it really drops: a crate that a magnet holds,
    // or whose fall has not moved it yet, stands still.
    UpdateBlockSprites(sprites, FALLING && !IsMagnetHeld() && pixelY != prevPixelY);
}

int CElementObjectCrate::GetSlide() { return FROZEN ? -1 : 0; }
