// A bridge: a one-cell terrain piece that carries whatever stands on it only
// until that thing moves on. When an element standing on it starts a move
// (a gunshot's flight excepted), the bridge collapses and leaves its cell
// empty. A frozen bridge holds, and is slippery; heat burns a bridge away.
// The level's bridges are wooden; the hero's bridge power-up builds an
// inflatable one that inflates in place.
#pragma once

#include <cstdint>

#include "world/pieces/CElementTerrain.h"

class CSoundObject;
class CSprite;

class CElementTerrainBridge : public CElementTerrain {
public:
    // inflatable: built by the power-up during play (undo takes it away);
    // tileState: TILE_STATE_FROZEN starts a wooden bridge with its frozen
    // look; inflateLeft: which way the inflation starts.
    CElementTerrainBridge(int x, int y, bool inflatable, uint32_t tileState, bool inflateLeft);
    ~CElementTerrainBridge() override;

    void SaveState(int k) override;
    void RestoreState(int k) override;
    void DescribeState(CWorldDigest* digest) override;
    void Update() override;
    void Break() override;
    int GetSurfaceFriction() override;

    bool IsCollapsing() const { return collapsing != 0; }
    bool IsInflating() const { return inflating != 0; }
    // The collapse sound this bridge took (0..5).
    int GetSoundNumber() const { return soundNumber; }

private:
    // A number 0..5 that differs from the last three any bridge took.
    static int PickSoundNumber();

    CSprite* spriteSection = nullptr;
    CSprite* spriteCollapse = nullptr;
    CSprite* spriteFrozen = nullptr;
    CSprite* spriteInflating = nullptr;  // inflatable bridges only
    CSoundObject* soundCollapse = nullptr;
    uint8_t collapsing = 0;
    uint8_t inflating = 0;
    int32_t soundNumber = 0;

#define BRIDGE_UNDO_FIELDS(F) F(collapsing, kUndoAndKey) F(inflating, kUndoAndKey)
    struct Record {
        UNDO_RECORD_FIELDS(CElementTerrainBridge, BRIDGE_UNDO_FIELDS)
    };
    Record saved[kUndoSlots];

    // The sound numbers of the last three bridges built, newest first; never
    // reset, so levels in a row do not repeat sounds either.
    static int32_t soundHistory[3];
};
