// Floor buttons. A button lies in the floor of its cell and does not stand in
// the element grid: whatever stands in the cell (the hero, a bot, a crate...)
// presses it. While at least one button of a colour is pressed, every gate of
// that colour is open.
//
// A button goes down in the third update that finds its cell occupied (the
// count of those updates survives short visits) and comes up in the first
// update that finds the cell empty. A bridge lying in the cell neither
// presses nor releases it; a gunshot flying over does not count.
#pragma once

#include "world/pieces/CElementDevice.h"

class CSoundObject;
class CSprite;

// Colours of buttons and gates.
enum ButtonColour { BUTTON_BLUE = 0, BUTTON_RED = 1, BUTTON_YELLOW = 2, BUTTON_COLOURS = 3 };

class CElementDeviceButton : public CElementDevice {
public:
    CElementDeviceButton(int x, int y, int colour);
    ~CElementDeviceButton() override;

    void SaveState(int k) override;
    void RestoreState(int k) override;
    void DescribeState(CWorldDigest* digest) override;
    void Update() override;
    int GetSurfaceFriction() override { return 0; }

    int GetColour() const { return colour; }
    bool IsPressed() const { return pressed; }
    int GetPressCount() const { return pressCount; }

    // True while a button of the colour is pressed (a button that broke while
    // pressed stays counted).
    static bool IsColourPressed(int colour);
    // The number of pressed buttons of a colour.
    static int GetPressedCount(int colour);
    static void ResetStatics();
    static void SaveStatics(int k);
    static void RestoreStatics(int k);
    static void DescribeStatics(CWorldDigest* digest);

private:
    void UpdateSprites();

    int colour;
    bool pressed = false;
    int pressCount = 0;
    CSprite* spriteButton = nullptr;  // frame 0 pressed, last frame raised
    CSprite* spriteBreak = nullptr;
    CSoundObject* soundClick = nullptr;

#define BUTTON_UNDO_FIELDS(F) F(pressed, kUndoAndKey) F(pressCount, kUndoAndKey)
    struct Saved {
        UNDO_RECORD_FIELDS(CElementDeviceButton, BUTTON_UNDO_FIELDS)
    };
    Saved savedState[kUndoSlots];

    static bool inUse;
    static int pressedCount[BUTTON_COLOURS];
    static int savedPressedCount[kUndoSlots][BUTTON_COLOURS];
};
