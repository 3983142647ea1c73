// Collectable power-ups: a bobbing icon over a halo lying in a cell. A power-up
// does not stand in the element grid; a class-wide grid of its own records
// which cell holds which power-up. The hero asks that grid about his cell,
// offers the kind to his inventory and collects the power-up when the
// inventory takes it; the power-up then shows a rising caption and is gone.
// A collected power-up stays in the element list (undo can bring it back)
// until the world is reset.
#pragma once

#include <cstdint>

#include "engine/COscillator.h"
#include "world/pieces/CElementDevice.h"

class CSoundObject;
class CSprite;

class CElementDevicePowerup : public CElementDevice {
public:
    // The kinds a power-up lying in a level can be (the hero's inventory
    // numbers them the same way; a teleport power-up gives its colour's first
    // portal).
    enum Kind {
        KIND_NONE = 0,
        KIND_CRATE = 1,
        KIND_BARREL = 2,
        KIND_MAGNET = 3,
        KIND_EMP = 4,
        KIND_FROSTGUN = 5,
        KIND_HEATGUN = 6,
        KIND_BRIDGE = 7,
        KIND_WHISTLE = 8,
        KIND_TELEPORT_BLUE = 9,
        KIND_TELEPORT_YELLOW = 11,
        KIND_TELEPORT_RED = 13,
    };

    // Enters the power-up into the power-up grid at (x, y).
    CElementDevicePowerup(int x, int y, int kind);
    ~CElementDevicePowerup() override;

    void SaveState(int k) override;
    void RestoreState(int k) override;
    void DescribeState(CWorldDigest* digest) override;
    void Update() override;
    void PrintSprites() override;

    // A power-up lies in the cell; false outside the grid.
    static bool IsPowerupAt(int x, int y);
    // The kind of the power-up in the cell; 0 (none) for an empty cell and
    // outside the grid.
    static int GetPowerupKindAt(int x, int y);
    // The power-up in the cell plays its collect sound, leaves the grid and
    // shows its caption. Nothing for an empty cell or outside the grid.
    static void Collect(int x, int y);
    static void ResetStatics();
    static void SaveStatics(int k);
    static void RestoreStatics(int k);
    static void DescribeStatics(CWorldDigest* digest);
    // The phase the next power-up's bobbing starts at (it runs on from level
    // to level).
    static int GetBobbingPhase() { return bobbingPhase; }

    int GetKind() const { return kind; }
    bool IsCollected() const { return collected != 0; }
    // Pixels the caption has risen since the collection.
    int GetRise() const { return rise; }
    CSprite* GetHaloSprite() const { return halo; }
    CSprite* GetIconSprite() const { return icon; }
    CSprite* GetCaptionSprite() const { return caption; }

private:
    int32_t kind = KIND_NONE;
    uint8_t collected = 0;
    int32_t rise = 0;
    CSprite* halo = nullptr;
    CSprite* icon = nullptr;
    CSprite* caption = nullptr;
    COscillator bobbing;
    CSoundObject* soundCollect = nullptr;

    // What undo keeps of a power-up (see UndoFields.h) besides the state of
    // its icon and caption.
#define POWERUP_UNDO_FIELDS(F) F(collected, kUndo) F(rise, kUndo)
    struct Record {
        UNDO_RECORD_FIELDS(CElementDevicePowerup, POWERUP_UNDO_FIELDS)
        CSpriteState icon;
        CSpriteState caption;
    };
    Record records[kUndoSlots];

    static CElementDevicePowerup* powerupGrid[kGridCells];
    static CElementDevicePowerup* savedGrids[kUndoSlots][kGridCells];
    static int32_t bobbingPhase;
    static bool inUse;
};
