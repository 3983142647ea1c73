// One row of an online score board, as the server sent it.
#pragma once

#include <cstdint>
#include <string>

#include "players/ScoreBoardRules.h"

class CScoreEntry {
public:
    int32_t rank = 0;     // the player's place on the board
    char name[kScoreUserNameMax + 1] = {};  // score-board user name, zero-terminated
    int32_t score = 0;    // a step count, or the sum of a set's step counts
    std::string extra;    // the row's fourth field, kept as text

    // Copies at most kScoreUserNameMax bytes of text into name; a longer
    // name is cut.
    void SetName(const std::string& text);
};
