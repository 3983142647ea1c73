// Gates. A closed gate fills its cell in the element grid; while a floor
// button of its colour is pressed it opens and leaves the grid, and when the
// colour is released it closes again. A gate is metal: a magnet holding it
// keeps it shut (it shudders once, with the fail sound, each time its colour
// is pressed). A gate that has to close on something standing in its cell
// breaks for good and leaves the cell passable.
#pragma once

#include "world/pieces/CElementDevice.h"
#include "world/pieces/PieceSprites.h"

class CSoundObject;
class CSprite;

class CElementDeviceGate : public CElementDevice {
public:
    // colour: ButtonColour (0 blue, 1 red, 2 yellow).
    CElementDeviceGate(int x, int y, int colour);
    ~CElementDeviceGate() override;

    void SaveState(int k) override;
    void RestoreState(int k) override;
    void DescribeState(CWorldDigest* digest) override;
    void Update() override;
    int GetSurfaceFriction() override { return 0; }
    void PrintSprites() override;

    int GetColour() const { return colour; }
    bool IsOpen() const { return open; }
    bool IsBroken() const { return broken; }
    bool IsHeldShown() const { return heldShown; }
    bool HasLights() const { return lights[0] != nullptr; }
    // The sprites on screen now (the light is null for a blue gate).
    CSprite* GetShownBack() const { return back.shown; }
    CSprite* GetShownFront() const { return front.shown; }
    CSprite* GetShownLight() const { return light.shown; }

    static void ResetStatics();

private:
    // The sprite set of each state; the light set has three (opening and
    // closing share one).
    enum Look { LOOK_OPENING = 0, LOOK_CLOSING = 1, LOOK_BREAKING = 2, LOOK_HELD = 3, LOOKS = 4 };
    enum Sound { SOUND_OPEN = 0, SOUND_CLOSE = 1, SOUND_BREAK = 2, SOUND_FAIL = 3, SOUNDS = 4 };

    void SetLook(Look look);
    void PlayOncePerFrame(Sound which);

    int colour;
    bool open = false;
    bool broken = false;
    bool heldShown = false;
    CSprite* backs[LOOKS] = {};
    CSprite* fronts[LOOKS] = {};
    CSprite* lights[3] = {};  // opening/closing, breaking, held; none for blue
    SpriteSlot back, front, light;
    CSoundObject* sounds[SOUNDS] = {};

    // What undo keeps of a gate (see UndoFields.h) besides its look.
#define GATE_UNDO_FIELDS(F) F(open, kUndoAndKey) F(broken, kUndoAndKey) F(heldShown, kUndo)
    struct Saved {
        UNDO_RECORD_FIELDS(CElementDeviceGate, GATE_UNDO_FIELDS)
        SpriteSlot back, front, light;
    };
    Saved savedState[kUndoSlots];

    // The frame in which each gate sound last played, shared by all gates.
    static int lastPlayed[SOUNDS];
};
