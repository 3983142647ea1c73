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

bool IsSolutionKey(int code) {
    switch (code) {
        case SOLUTION_KEY_UP: case SOLUTION_KEY_DOWN: case SOLUTION_KEY_RIGHT: case SOLUTION_KEY_LEFT:
        case SOLUTION_KEY_TURN:
            return true;
        default:
            return code >= SOLUTION_KEY_POWERUP_FIRST && code <= SOLUTION_KEY_POWERUP_LAST;
    }
}

std::string NoSolutionKeyText(int code) {
    return std::to_string(code) + " is no solution key (273 to 276, 102, 49 to 57)";
}
