// The element that moves by itself: the base of the hero and the bots. It
// carries virtual keys (left, right, up, down, turn), which the hero's
// commands or a bot's chase set, and the movement primitives that turn a held
// key into a one-cell move: climbing a ladder, stepping down, and walking
// sideways with pushing, riding a rolling barrel, and refusing to step onto
// or walk into something hot.
#pragma once

#include <vector>

#include "world/CElement.h"

class CElementAI : public CElement {
public:
    enum Key { KEY_LEFT = 0, KEY_RIGHT = 1, KEY_UP = 2, KEY_DOWN = 3, KEY_TURN = 4, KEY_COUNT = 5 };

    CElementAI(int x, int y);
    ~CElementAI() override;

    void SaveState(int k) override;
    void RestoreState(int k) override;
    int GetSlide() override;
    int GetSurfaceFriction() override;
    void PrintState() override;

    // Movement primitives; each answers whether a move started.
    bool ClimbUp();
    bool MoveDown();
    bool MoveLeft();
    bool MoveRight();
    // The pure tests of the first two, with the same conditions.
    bool CanClimbUp();
    bool CanMoveDown();
    // Keeps the stood-on link in step with the element in the cell below.
    void UpdatePushedElement(CElement* below);
    // Tries the held keys in the order up, down, left, right; the first move
    // that starts wins.
    bool TryHeldMoves();
    bool IsKeyHeld(Key key) const { return KEYS[key] != 0; }
    void ClearKeys();

    static void DumpAll();
    static const std::vector<CElementAI*>& GetAIList() { return aiList; }

    struct AIRecord {
        uint8_t riding = 0;
        CElement* standingOn = nullptr;
    };
    AIRecord aiSaved[kUndoSlots];
    uint8_t riding = 0;              // moving along on top of a barrel it rolls
    CElement* standingOn = nullptr;  // the barrel it stands on, else the Null Element
    uint8_t KEYS[KEY_COUNT] = {0, 0, 0, 0, 0};
    uint8_t heatWarningStep = 0;     // refused to step onto a hot element
    uint8_t heatWarningPush = 0;     // refused to walk into a hot element
    uint8_t STUN = 0;
    int32_t stunCount = 0;

private:
    bool MoveSideways(bool left);

    static std::vector<CElementAI*> aiList;
};
