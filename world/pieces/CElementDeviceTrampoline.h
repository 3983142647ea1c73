// Trampolines. A trampoline stands upright in its cell without taking the
// cell in the element grid: the hero, a bot or an object moves into the cell,
// stretches the canvas, and is flung back out the way it came once the cell
// it would land in has been free for four updates in a row. A class-wide grid
// marks the trampoline cells for the movement code and the gunshots.
#pragma once

#include <cstdint>

#include "world/pieces/CElementDevice.h"
#include "world/pieces/PieceSprites.h"

class CSoundObject;
class CSprite;

class CElementDeviceTrampoline : public CElementDevice {
public:
    CElementDeviceTrampoline(int x, int y);
    ~CElementDeviceTrampoline() override;

    void SaveState(int k) override;
    void RestoreState(int k) override;
    void DescribeState(CWorldDigest* digest) override;
    void Update() override;
    int GetSurfaceFriction() override { return 0; }
    void PrintSprites() override;

    bool IsStretchedLeft() const { return stretchedLeft; }
    bool IsStretchedRight() const { return stretchedRight; }
    int GetPushCount() const { return pushCount; }
    CSprite* GetCanvasSprite() const { return canvas.current; }
    CSprite* GetFrontSprite() const { return front.current; }

    // False outside the grid.
    static bool IsTrampolineAt(int x, int y);
    static void ResetStatics();
    static void SaveStatics(int k);
    static void RestoreStatics(int k);
    static void DescribeStatics(CWorldDigest* digest);

private:
    enum Canvas {
        CANVAS_IDLE = 0,
        CANVAS_STRETCHED_LEFT,
        CANVAS_UNSTRETCHED_LEFT,
        CANVAS_STRETCHED_RIGHT,
        CANVAS_UNSTRETCHED_RIGHT,
        CANVAS_BREAKING,
        CANVASES
    };
    enum Front { FRONT_IDLE = 0, FRONT_STRETCHED_RIGHT, FRONT_UNSTRETCHED_RIGHT, FRONT_BREAKING, FRONTS };

    void FreeCell();
    void Carry();
    void Stretch(CElement* e);
    // Flings E back out of the cell toward the given side once the landing
    // cell has been free long enough.
    void Fling(CElement* e, bool toLeft);
    // The canvas lets go (the cell emptied, or the trampoline is carried).
    void Release();
    void Draw();
    static void SetGrid(int x, int y, uint8_t value);

    bool stretchedLeft = false;
    bool stretchedRight = false;
    int pushCount = 0;
    CSprite* spriteBack = nullptr;
    CSprite* spriteBackBreak = nullptr;
    CSprite* fronts[FRONTS] = {};
    CSprite* canvases[CANVASES] = {};
    SpriteSlot back, front, canvas;
    CSoundObject* soundStretch = nullptr;
    CSoundObject* soundRebound = nullptr;

    // What undo keeps of a trampoline (see UndoFields.h) besides its look.
#define TRAMPOLINE_UNDO_FIELDS(F) F(stretchedLeft, kUndoAndKey) F(stretchedRight, kUndoAndKey) F(pushCount, kUndoAndKey)
    struct Saved {
        UNDO_RECORD_FIELDS(CElementDeviceTrampoline, TRAMPOLINE_UNDO_FIELDS)
        SpriteSlot back, front, canvas;
    };
    Saved savedState[kUndoSlots];

    static bool inUse;
    static uint8_t trampolineGrid[kGridCells];
    static uint8_t savedGrid[kUndoSlots][kGridCells];
};
