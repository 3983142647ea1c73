// Barrels: round movable objects that roll on, cell after cell, once pushed
// or dropped sideways, turning through eight roll phases as they go. Wood,
// metal or inflated like crates; a hot metal barrel that cools while it
// rolls keeps turning through its cooling animation.
#pragma once

#include "world/pieces/CElementObject.h"

class CElementObjectBarrel : public CElementObject {
public:
    enum Material { WOOD = 0, METAL = 1, INFLATED = 2 };
    // The cooling animation follows the barrel: resting, rolling left,
    // rolling right.
    enum CoolingState { COOLING_NONE = 0, COOLING_IDLE = 1, COOLING_MOVING_LEFT = 2, COOLING_MOVING_RIGHT = 3 };
    static constexpr int kRollPhases = 8;
    static constexpr int kCoolingFrames = 7;

    // The same arguments as a crate's: tileState only chooses the first
    // picture, inflateLeft the side an inflated barrel opens toward.
    CElementObjectBarrel(int x, int y, int material, int tileState, bool inflateLeft);
    ~CElementObjectBarrel() override;

    void SaveState(int k) override;
    void RestoreState(int k) override;
    void DescribeState(CWorldDigest* digest) override;
    void Update() override;
    // It rolls on plain ground; frozen it slides even more; an actor standing
    // on it keeps it in place.
    int GetSlide() override;

    int GetMaterial() const { return material; }
    // The roll phase the barrel shows (0..7).
    int GetRollPhase() const;
    int GetCoolingState() const { return coolingState; }

private:
    void BuildSprites(bool inflateLeft);
    void BuildCoolingSprites();
    // The roll loop for the barrel's state, set playing the way it turns.
    CSprite* ChooseRollSprite();
    // The roll phase a cooling sprite of the current state shows at a frame.
    int CoolingPhaseAt(int frame) const;
    // Keeps the cooling animation in step with the barrel's movement;
    // endedFrame is the last frame of a cooling animation that has just
    // ended (-1 otherwise).
    CSprite* RunCoolingMachine(CSprite* next, int endedFrame);

    int material;
    CSprite* idle = nullptr;
    CSprite* frozenIdle = nullptr;
    CSprite* heatedIdle = nullptr;
    CSprite* falling = nullptr;
    CSprite* frozenFalling = nullptr;
    CSprite* heatedFalling = nullptr;
    CSprite* inflating = nullptr;
    // Cooling animations per roll phase: rolling right, rolling left, at rest
    // (metal barrels only: nothing else gets hot).
    CSprite* coolingRight[kRollPhases] = {};
    CSprite* coolingLeft[kRollPhases] = {};
    CSprite* coolingIdle[kRollPhases] = {};
    // The roll phase the current cooling sprite started at.
    int32_t coolingPhase = -1;
    int32_t coolingState = COOLING_NONE;

#define BARREL_UNDO_FIELDS(F) F(coolingPhase, kUndo) F(coolingState, kUndoAndKey)
    struct CoolingRecord {
        UNDO_RECORD_FIELDS(CElementObjectBarrel, BARREL_UNDO_FIELDS)
    };
    CoolingRecord coolingSaved[kUndoSlots];
};
