// The fixed key codes of a recorded solution, whatever the player's key
// bindings: the arrow keys, the letter f for turning around and the digits
// 1 to 9 for the power-up positions. The play screen and the headless runner
// hand a solution to the hero through the one function below.
#pragma once

#include <string>

class CElementAIProfessor;

enum SolutionKeyCode {
    SOLUTION_KEY_UP = 273,
    SOLUTION_KEY_DOWN = 274,
    SOLUTION_KEY_RIGHT = 275,
    SOLUTION_KEY_LEFT = 276,
    SOLUTION_KEY_TURN = 102,
    SOLUTION_KEY_POWERUP_FIRST = 49,  // inventory position 0
    SOLUTION_KEY_POWERUP_LAST = 57,   // inventory position 8
};

// One of the codes above.
bool IsSolutionKey(int code);
// Why a code is refused, in the words of the tools that take solutions
// ("999 is no solution key (left, right, ...)").
std::string NoSolutionKeyText(int code);

// A key's name as level sources and the level tools write it: "left",
// "right", "up", "down", "turn", "slot1" .. "slot9"; any other code as its
// number.
std::string SolutionKeyName(int code);
// The code a name stands for: one of the names above, or a key number
// ("275"; it may be no solution key, which IsSolutionKey tells); -1 for
// anything else.
int SolutionKeyForName(const std::string& name);

// Directions and turn go to the hero with their released flag; a power-up
// code uses its position on the press only. Every other code is ignored.
void ApplySolutionKey(CElementAIProfessor* hero, int code, bool released);
