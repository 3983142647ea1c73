#include "world/SolutionKeys.h"

#include "world/CElementAIProfessor.h"

void ApplySolutionKey(CElementAIProfessor* hero, int code, bool released) {
    if (!hero) return;
    switch (code) {
        case SOLUTION_KEY_UP: hero->KeyUp(released); return;
        case SOLUTION_KEY_DOWN: hero->KeyDown(released); return;
        case SOLUTION_KEY_RIGHT: hero->KeyRight(released); return;
        case SOLUTION_KEY_LEFT: hero->KeyLeft(released); return;
        case SOLUTION_KEY_TURN: hero->KeyTurn(released); return;
        default:
            if (code >= SOLUTION_KEY_POWERUP_FIRST && code <= SOLUTION_KEY_POWERUP_LAST && !released)
                hero->UsePowerup(code - SOLUTION_KEY_POWERUP_FIRST);
            return;
    }
}
