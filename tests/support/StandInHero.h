// Stands in for the hero in tests that lay out a world by hand (the world
// steps only with a hero): an AI element that walks, and pushes, with its
// held keys while it is idle and not frozen.
#pragma once

#include "tests/support/WorldTestSupport.h"
#include "world/CElementAI.h"

namespace worldtest {

class StandInHero : public CElementAI {
public:
    StandInHero(int x, int y) : CElementAI(x, y) {
        typeAI = AI_PROFESSOR;
        SetElementAt(x, y, this);
        SetHero(this);
    }
    void Update() override {
        if (!MOVING && !FALLING && !FROZEN) TryHeldMoves();
    }
    // Holds a key for one frame and lets the move run to its end.
    void Walk(Key key) {
        KEYS[key] = 1;
        Step();
        KEYS[key] = 0;
        Step(7);
    }
};

}  // namespace worldtest
