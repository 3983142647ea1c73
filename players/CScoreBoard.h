// One online score board: the rows of the last successful download, the
// requesting player's own rank and row on it and the number of players the
// server reported. A board that was never downloaded has no rows, ownRank 0,
// ownRow -1 and count -1.
#pragma once

#include <cstdint>
#include <vector>

#include "players/CScoreEntry.h"

class CScoreBoard {
public:
    std::vector<CScoreEntry> entries;  // in the order of the answer
    int32_t ownRank = 0;               // 0: the player is not on the board
    int32_t ownRow = -1;               // the index of his row in entries (-1: none); equal
                                       // scores share a rank, so the rank need not tell it
    int32_t count = -1;                // -1: not downloaded yet

    void Reset();
    bool IsDownloaded() const { return count >= 0; }
};
