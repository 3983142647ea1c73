#include "world/pieces/CElementTerrainBridge.h"

#include <cstdio>

#include "engine/CSprite.h"
#include "engine/Log.h"
#include "engine/Utilities.h"
#include "sound/CSound.h"
#include "sound/CSoundObject.h"
#include "world/CLevel.h"
#include "world/CWorldDigest.h"
#include "world/pieces/PieceSprites.h"

int32_t CElementTerrainBridge::soundHistory[3] = {-1, -1, -1};

namespace {

constexpr int kSoundCount = 6;

CSprite* MakeSprite(int ox, int oy, SpriteLayer layer, int delay, const char* name, int px, int py) {
    CSprite* s = NewPieceSprite(ox, oy, layer, delay, 1, 1, name, false);
    s->SetPosition(px, py, false);
    return s;
}

}  // namespace

CElementTerrainBridge::CElementTerrainBridge(int x_, int y_, bool inflatable, uint32_t tileState, bool inflateLeft)
    : CElementTerrain(x_, y_, 1) {
    if (inflatable) {
        spriteSection = MakeSprite(19, 42, LAYER_TERRAIN, 0, "Bridge (Inflatable) Section", pixelX, pixelY);
        spriteSection->AddFrame("bridgeinflatable0_trimmed.png");
        spriteCollapse = MakeSprite(19, 15, LAYER_BRIDGE_COLLAPSE, 2, "Bridge (Inflatable) Collapsing", pixelX, pixelY);
        spriteCollapse->AddFrames("bridgeinflatable", 0, 10, ".png", 1);
        spriteFrozen = MakeSprite(19, 15, LAYER_TERRAIN, 0, "Bridge (Inflatable) Frozen", pixelX, pixelY);
        spriteInflating = MakeSprite(19, 42, LAYER_TERRAIN, 2, "Bridge Inflating", pixelX, pixelY);
        spriteInflating->AddFrame(inflateLeft ? "bridgeinflateleft0.png" : "bridgeinflateright0.png");
        spriteInflating->AddFrame("bridgeinflate1.png");
        spriteInflating->AddFrame("bridgeinflate2.png");
        spriteInflating->AddFrame("bridgeinflatable0_trimmed.png");
        spriteInflating->AddFrame("bridgeinflate4.png");
        spriteInflating->AddFrame("bridgeinflatable0_trimmed.png");
    } else {
        spriteSection = MakeSprite(19, 15, LAYER_TERRAIN, 0, "Bridge Section", pixelX, pixelY);
        spriteSection->AddFrame("bridgeA0_trimmed.png");
        spriteCollapse = MakeSprite(25, 47, LAYER_BRIDGE_COLLAPSE, 2, "Bridge Collapsing", pixelX, pixelY);
        spriteCollapse->AddFrames("bridgeA", 0, 13, ".png", 1);
        spriteFrozen = MakeSprite(19, 15, LAYER_TERRAIN, 0, "Bridge Frozen", pixelX, pixelY);
    }
    spriteFrozen->AddFrame("bridgefrozen.png");

    soundNumber = PickSoundNumber();
    char name[64];
    const char* kind = inflatable ? "inflatable" : "wooden";
    if (soundNumber == 0)
        snprintf(name, sizeof(name), "bridge_collapse_%s_short.ogg", kind);
    else
        snprintf(name, sizeof(name), "bridge_collapse_%s_short%i.ogg", kind, soundNumber + 1);
    soundCollapse = new CSoundObject(name, false);

    typeTerrain = TERRAIN_KIND_BRIDGE;
    collapsing = 0;
    explosionActive = 0;
    burnable = 1;
    freezable = 1;
    if (inflatable) {
        RegisterSpawned(this);
        inflating = 1;
        bursts = 1;
    }
    // After the bursting flag: the heat explosion's sound follows it.
    CreateEffectSprites(true, true, true, false);

    if (inflatable)
        sprite = spriteInflating;
    else if (tileState == TILE_STATE_FROZEN)
        sprite = spriteFrozen;
    else
        sprite = spriteSection;
    lastShownSprite = sprite;
    sprite->Show(kSpriteNotDrawn, kSpriteNotDrawn);
    sprite->Play(true);
}

CElementTerrainBridge::~CElementTerrainBridge() {
    DebugLog(DBG_DESTRUCT, "CElementTerrainBridge:  Destroying bridge element at (%d,%d)...\n", x, y);
    for (CSprite** s : {&spriteSection, &spriteCollapse, &spriteFrozen, &spriteInflating}) DeletePieceSprite(s);
    sprite = lastShownSprite = nullptr;
    FreeEffectSprites();
    delete soundCollapse;
}

int CElementTerrainBridge::PickSoundNumber() {
    int n;
    do {
        // The draw can reach its upper bound once in 32768 times.
        n = RandomInt(0, kSoundCount);
        if (n > kSoundCount - 1) n = kSoundCount - 1;
    } while (n == soundHistory[0] || n == soundHistory[1] || n == soundHistory[2]);
    soundHistory[2] = soundHistory[1];
    soundHistory[1] = soundHistory[0];
    soundHistory[0] = n;
    return n;
}

void CElementTerrainBridge::Break() {
    if (FROZEN) return;
    collapsing = 1;
    // What stood on it falls in the next falling pass.
    if (GetElementAt(x, y, true) == this) ClearElementAt(x, y);
    if (!CSound::IsPlaying(soundCollapse)) CSound::Play(soundCollapse, false, 0, 0.0f);
}

void CElementTerrainBridge::Update() {
    UpdateEffectSprites();

    CSprite* choice;
    if (collapsing) {
        choice = spriteCollapse;
        if (choice->IsFinished()) choice->Hide();
    } else if (FROZEN) {
        choice = spriteFrozen;
    } else if (explosionActive) {
        // Burning: the flames take its place.
        choice = sprite;
        if (choice) choice->Hide();
    } else if (inflating) {
        choice = spriteInflating;
        if (choice->IsFinished()) inflating = 0;
    } else {
        choice = spriteSection;
    }
    SpriteSlot slot{choice, lastShownSprite};
    slot.CatchUp(kSpriteNotDrawn, kSpriteNotDrawn, true);
    sprite = lastShownSprite = choice;
}

int CElementTerrainBridge::GetSurfaceFriction() { return FROZEN ? -1 : 0; }

void CElementTerrainBridge::SaveState(int k) {
    DebugLog(DBG_UNDO, "      %s:  Saving ElementTerrainBridge state...\n", GetTypeName());
    UNDO_SAVE(saved[k], BRIDGE_UNDO_FIELDS);
    CElementTerrain::SaveState(k);
}

void CElementTerrainBridge::RestoreState(int k) {
    DebugLog(DBG_UNDO, "      %s:  Restoring ElementTerrainBridge state...\n", GetTypeName());
    UNDO_RESTORE(saved[k], BRIDGE_UNDO_FIELDS);
    CElementTerrain::RestoreState(k);
}

void CElementTerrainBridge::DescribeState(CWorldDigest* d) {
    d->Field("soundNumber", soundNumber);
    UNDO_DESCRIBE(d, BRIDGE_UNDO_FIELDS);
    CElementTerrain::DescribeState(d);
}
