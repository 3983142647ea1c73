// The static rules every level of the pack must keep, so that the play screen
// can build it: one entrance tube and one exit tube, each standing on terrain
// with nothing above; buttons, trampolines and walking bots on terrain,
// hanging bots under terrain; teleports in pairs within the colour limit,
// standing on terrain and not walled in; platforms exactly on the ladder cells
// beside terrain; signs with texts; a background in range.
#pragma once

#include <string>
#include <vector>

class CLevel;

class CLevelChecker {
public:
    // True when the level keeps every rule; else the broken rules are
    // appended to *problems (one sentence each).
    static bool Check(const CLevel& level, std::vector<std::string>* problems);
};
