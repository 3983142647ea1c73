// The entrance and exit tubes. The hero starts in the entrance tube and must
// reach the exit tube. The exit tube shows a bobbing arrow when the level
// starts and lights of its own. A tube whose support falls away breaks; once
// the exit tube's break animation has played to its end the level is lost.
#pragma once

#include <cstdint>

#include "world/pieces/CElementDevice.h"
#include "world/pieces/PieceSprites.h"

class CSprite;

class CElementDeviceTube : public CElementDevice {
public:
    enum Kind { KIND_ENTRANCE = 0, KIND_EXIT = 1 };

    CElementDeviceTube(int x, int y, int kind);
    ~CElementDeviceTube() override;

    void SaveState(int k) override;
    void RestoreState(int k) override;
    void DescribeState(CWorldDigest* digest) override;
    void Update() override;
    void PrintSprites() override;

    // (x, y) is the exit tube's cell; false in a world without an exit tube.
    static bool IsExitTube(int x, int y);
    static void ResetStatics();
    static void DescribeStatics(CWorldDigest* digest);

    int GetKind() const { return kind; }
    bool IsArrowActive() const { return arrowActive != 0; }
    // Pixels between the arrow and the tube's pixel row.
    int GetArrowOffset() const { return arrowOffset; }
    CSprite* GetBodySprite() const { return body.current; }

private:
    void UpdateArrow();

    CSprite* spriteArrow = nullptr;
    CSprite* spriteArrowFading = nullptr;
    CSprite* spriteBody = nullptr;
    CSprite* spriteBreaking = nullptr;
    CSprite* spriteLights = nullptr;
    int32_t kind = KIND_ENTRANCE;
    SpriteSlot body;               // the body, or the break animation once broken
    CSprite* lights = nullptr;     // the exit lights, or none
    uint8_t isEntrance = 0, isEntrance2 = 0;
    uint8_t arrowActive = 0;
    int32_t arrowOffset = 23;      // pixels above the tube
    int32_t arrowBounces = 0;
    uint8_t arrowRising = 0;

    // What undo keeps of a tube (see UndoFields.h) besides its look; an undo
    // ends the arrow's bobbing for good.
#define TUBE_UNDO_FIELDS(F)                                                                                            \
    F(isEntrance, kUndo) F(isEntrance2, kUndo) F(arrowOffset, kUndo) F(arrowBounces, kUndo) F(arrowRising, kUndo)
    struct Record {
        UNDO_RECORD_FIELDS(CElementDeviceTube, TUBE_UNDO_FIELDS)
        SpriteSlot body;
        CSprite* lights = nullptr;
    };
    Record saved[kUndoSlots];

    static int32_t exitX, exitY;
    static uint8_t exitPresent;
};
