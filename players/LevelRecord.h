// The profile's record of one extra level file (a level outside the three
// built-in sets), keyed by the level's file name.
#pragma once

#include <cstdint>

struct LevelRecord {
    uint8_t played = 0;     // 1 once the level has been finished
    uint8_t completed = 0;  // 1 once the level has been finished
    int32_t bestSteps = 0;  // 0: none
};
