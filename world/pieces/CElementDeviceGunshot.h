// The ball the frost gun or the heat gun fires. It flies along its row a cell
// per move (turning back in a trampoline's cell), and the first element it
// meets it freezes (frost) or heats (heat) as it explodes. A ball that meets
// nothing flies off the side of the grid and ends. A ball stays in the element
// list once it has ended; it was spawned during play, so an undo to a step
// before the shot takes it away.
#pragma once

#include <cstdint>

#include "world/pieces/CElementDevice.h"

class CSoundObject;
class CSprite;

class CElementDeviceGunshot : public CElementDevice {
public:
    enum Kind { KIND_FROST = 0, KIND_HEAT = 1 };
    // A ball flies this far beyond the grid's edge columns before it ends.
    static constexpr int kLastColumnLeft = -3;
    static constexpr int kLastColumnRight = 33;

    // kind 1 is a heat ball, any other a frost ball. The ball strikes at once
    // when something stands in its cell (a shot fired point-blank).
    CElementDeviceGunshot(int x, int y, int kind, bool facingLeft);
    ~CElementDeviceGunshot() override;

    void StepMovement() override;
    void SaveState(int k) override;
    void RestoreState(int k) override;
    void DescribeState(CWorldDigest* digest) override;
    void Update() override;
    int GetSlide() override;
    int GetSurfaceFriction() override;

    bool IsHeatBall() const { return kind == KIND_HEAT; }
    bool HasHit() const { return hit != 0; }
    bool IsFinished() const { return finished != 0; }
    // The explosion sound chosen at the hit; null before one.
    CSoundObject* GetExplosionSound() const { return explosionSound; }

private:
    // Strikes the element standing in the ball's column and row, if any.
    void HitTest();
    void UpdateSprites();

    int32_t kind = KIND_FROST;
    uint8_t hit = 0;
    uint8_t finished = 0;
    CSprite* spriteLeft = nullptr;
    CSprite* spriteRight = nullptr;
    CSprite* spriteExplosion = nullptr;
    CSoundObject* explosionSound = nullptr;
    CSoundObject* soundFrost = nullptr;
    CSoundObject* soundHeatMetal = nullptr;
    CSoundObject* soundHeatInflatable = nullptr;
    CSoundObject* soundHeatWood = nullptr;
    CSoundObject* soundHeatIce = nullptr;
#define GUNSHOT_UNDO_FIELDS(F) F(hit, kUndo) F(finished, kUndo)
    struct Record {
        UNDO_RECORD_FIELDS(CElementDeviceGunshot, GUNSHOT_UNDO_FIELDS)
    };
    Record records[kUndoSlots];
};
