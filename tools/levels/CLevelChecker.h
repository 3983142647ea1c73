// What the resource builder asks of every level of the pack besides the
// rules every level keeps (CLevelRules: the placement rules and a level that
// can be finished): tile, state and ladder codes that stand for something in
// a cell, signs with texts, a background in range.
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
