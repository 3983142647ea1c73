#include "world/SolutionKeys.h"

#include <climits>

#include "engine/ReadNumber.h"
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
    return std::to_string(code) +
           " is no solution key (left, right, up, down, turn, slot1 to slot9, or their numbers 276, 275, 273, 274, "
           "102, 49 to 57)";
}

namespace {

struct NamedKey {
    const char* name;
    int code;
};
const NamedKey kNamedKeys[] = {{"left", SOLUTION_KEY_LEFT}, {"right", SOLUTION_KEY_RIGHT}, {"up", SOLUTION_KEY_UP},
                               {"down", SOLUTION_KEY_DOWN}, {"turn", SOLUTION_KEY_TURN}};
const char kSlotPrefix[] = "slot";

}  // namespace

std::string SolutionKeyName(int code) {
    for (const NamedKey& k : kNamedKeys)
        if (k.code == code) return k.name;
    if (code >= SOLUTION_KEY_POWERUP_FIRST && code <= SOLUTION_KEY_POWERUP_LAST)
        return kSlotPrefix + std::to_string(code - SOLUTION_KEY_POWERUP_FIRST + 1);
    return std::to_string(code);
}

int SolutionKeyForName(const std::string& name) {
    for (const NamedKey& k : kNamedKeys)
        if (name == k.name) return k.code;
    long n = 0;
    const size_t prefix = sizeof kSlotPrefix - 1;
    if (name.compare(0, prefix, kSlotPrefix) == 0 && name.size() == prefix + 1 &&
        ReadNumber(name.substr(prefix), 1L, static_cast<long>(SOLUTION_KEY_POWERUP_LAST - SOLUTION_KEY_POWERUP_FIRST + 1), &n))
        return SOLUTION_KEY_POWERUP_FIRST + static_cast<int>(n) - 1;
    return ReadNumber(name, 0L, static_cast<long>(INT_MAX), &n) ? static_cast<int>(n) : -1;
}
