// Turns a level (CLevel) into a world of elements on the grid: the one place
// that maps tile codes to element classes. The play screen, the editor's test
// play and the headless runner all build their worlds through it.
//
// Order: the world is reset; ladders are made from the bottom row up; tiles
// row by row, each row from the right, a grass or sand run as one element
// from its rightmost cell; last the teleports of the level's three colour
// lists. A cell made frozen or heated in the level is frozen or heated right
// after its element is made.
#pragma once

#include <cstdint>

class CElement;
class CLevel;

class CLevelBuilder {
public:
    // Resets the world and builds the level. Returns the hero, or null when
    // the level cannot be played (CLevelRules::FindPlayFault: no entrance tube, or
    // two of a tube); the caller must not step such a world.
    static CElement* Build(CLevel* level);
    // Makes the element of one tile code at a cell (width and height are the
    // run's); null for codes that make no element.
    static CElement* CreateElement(CLevel* level, uint32_t code, int x, int y, int width, int height);
    // One vertical ladder run: top, middle and bottom segments, platforms
    // where the level's tile is a platform.
    static void CreateLadder(CLevel* level, int x, int top, int height);
    // The number of tiles of the last build whose piece could not be made.
    static int GetSkippedCount();
};
