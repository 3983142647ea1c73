// Simple stand-in levels for the pack slots that have no designed source yet:
// a walk over grass from the entrance tube to the exit tube, sometimes up a
// ladder to a terrace. The same slot always gives the same level, and every
// level keeps the rules of CLevelChecker.
#pragma once

#include <string>

class CLevel;

class CLevelGenerator {
public:
    // set: 0 regular, 1 advanced, 2 kids; index within the set. A slot of a
    // tutorial level gets a sign whose text names tutorialTextId.
    static void Generate(int set, int index, int tutorialTextId, CLevel* level);
};
