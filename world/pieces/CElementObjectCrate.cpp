#include "world/pieces/CElementObjectCrate.h"

#include <cstdio>

#include "engine/CSprite.h"
#include "engine/Log.h"
#include "world/CWorldDigest.h"

namespace {

// The squash, cooling and inflating animations show each picture twice.
constexpr int kAnimDelay = 2;

}  // namespace

CElementObjectCrate::CElementObjectCrate(int x_, int y_, int material_, int tileState, bool inflateLeft)
    : CElementObject(x_, y_), material(material_) {
    SetElementAt(x, y, this);
    if (material != METAL && material != INFLATED) material = WOOD;
    BuildSprites(x % 2 == 0, inflateLeft);
    switch (material) {
        case METAL:
            METALLIC = 1;
            heatable = 1;
            break;
        case INFLATED:
            RegisterSpawned(this);
            inflated = 1;
            bursts = 1;
            burnable = 1;
            break;
        default:
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

void CElementObjectCrate::BuildSprites(bool evenColumn, bool inflateLeft) {
    // Picture prefix, the name in the debug names (the grained wooden
    // pictures carry an "A"), and where the picture sits on its cell.
    struct Look {
        const char* prefix;
        const char* label;
        const char* labelA;
        int ox, oy;
    };
    static const Look kLooks[] = {
        {"crate", "Wooden", "WoodenA", 23, 13},
        {"metalcrate", "Metal", "Metal", 23, 13},
        {"crateinflatable", "Inflated", "Inflated", 20, 15},
    };
    const Look& look = kLooks[material];
    // Wooden crates on even columns show the other grain, so a row of crates
    // does not look stamped.
    const char* grain = material == WOOD && evenColumn ? "b" : "";
    char pics[5][48];
    auto pic = [&](int slot, const char* part, bool grained) {
        snprintf(pics[slot], sizeof(pics[slot]), "%s%s%s.tga", look.prefix, part, grained ? grain : "");
        return pics[slot];
    };
    auto name = [&](const char* label, const char* state, const char* what) {
        return KeepName(std::string("Crate (") + label + state + ") " + what);
    };
    // Every frozen picture carries the same ice coat.
    constexpr int kFrozenX = 19, kFrozenY = 14;

    sprites.idle = NewSprite(look.ox, look.oy, 0, name(look.label, "", "Idle"), {pic(0, "still0", true)});
    sprites.frozenIdle =
        NewSprite(kFrozenX, kFrozenY, 0, name(look.label, ",Frozen", "Idle"), {pic(0, "stillfrozen0", false)});
    sprites.fallLeft =
        NewSprite(look.ox, look.oy, 0, name(look.labelA, "", "Falling Left"), {pic(0, "left0", true)});
    sprites.frozenFallLeft = NewSprite(kFrozenX, kFrozenY, 0, name(look.label, ",Frozen", "Falling Left"),
                                       {pic(0, "leftfrozen0", false)});
    sprites.fallRight =
        NewSprite(look.ox, look.oy, 0, name(look.labelA, "", "Falling Right"), {pic(0, "right0", true)});
    sprites.frozenFallRight = NewSprite(kFrozenX, kFrozenY, 0, name(look.label, ",Frozen", "Falling Right"),
                                        {pic(0, "rightfrozen0", false)});
    // Squash: down, further down, down, upright, a small rebound.
    sprites.squashed = NewSprite(look.ox, look.oy, kAnimDelay, name(look.labelA, "", "Squashed"),
                                 {pic(0, "squash0", true), pic(1, "squash1", true), pic(2, "squash0", true),
                                  pic(3, "still0", true), pic(4, "squash4", true)});

    if (material == METAL) {
        sprites.heatedIdle = NewSprite(23, 13, 0, "Crate (Metal,Heated) Idle", {"metalcrateheated.png"});
        sprites.heatedFallLeft =
            NewSprite(23, 13, 0, "Crate (Metal,Heated) Falling Left", {"metalcrateheatedleft.png"});
        sprites.heatedFallRight =
            NewSprite(23, 13, 0, "Crate (Metal,Heated) Falling Right", {"metalcrateheatedright.png"});
        sprites.heatedSquashed = NewSprite(23, 13, kAnimDelay, "Crate (Metal,Heated) Squashed",
                                           {"metalcrateheatedsquash0.png", "metalcrateheatedsquash1.png",
                                            "metalcrateheatedsquash0.png", "metalcrateheated.png",
                                            "metalcrateheatedsquash4.png"});
        sprites.cooling =
            NewSpriteSeries(23, 13, kAnimDelay, "Crate (Metal) Cooling", "metalcratecooling", 0, 6, ".png");
    }
    if (material == INFLATED) {
        sprites.inflating = NewSprite(20, 15, kAnimDelay, inflateLeft ? "Crate Inflating Left" : "Crate Inflating Right",
                                      {inflateLeft ? "crateinflateleft0.tga" : "crateinflateright0.tga"});
        sprites.inflating->AddFrames("crateinflate", 1, 4, ".tga", 1);
    }
}

void CElementObjectCrate::SaveState(int k) {
    DebugLog(DBG_UNDO, "      %s:  Saving ElementObjectCrate state...\n", GetTypeName());
    CElementObject::SaveState(k);
}

void CElementObjectCrate::RestoreState(int k) {
    DebugLog(DBG_UNDO, "      %s:  Restoring ElementObjectCrate state...\n", GetTypeName());
    CElementObject::RestoreState(k);
}

void CElementObjectCrate::DescribeState(CWorldDigest* d) {
    d->Field("material", material);
    CElementObject::DescribeState(d);
}

void CElementObjectCrate::Update() {
    // Drawn falling only while it really drops: a crate that a magnet holds,
    // or whose fall has not moved it yet, stands still.
    UpdateBlockSprites(sprites, FALLING && !IsMagnetHeld() && pixelY != prevPixelY);
}

int CElementObjectCrate::GetSlide() { return FROZEN ? -1 : 0; }
