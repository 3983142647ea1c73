// One row of an online score board, as the server sent it.
#pragma once

#include <cstdint>
#include <string>

class CScoreEntry {
public:
    int32_t rank = 0;     // the player's place on the board
    char name[16] = {};   // score-board user name, at most 15 bytes, zero-terminated
    int32_t score = 0;    // a step count, or the sum of a set's step counts
    std::string extra;    // the row's fourth field, kept as text

    // Copies at most 15 bytes of text into name; a longer name is cut.
    void SetName(const std::string& text);
};
