// A damaged profile file found while loading, waiting to be told to the
// player: one player's progress that starts afresh, or players lost from the
// list of players.
#pragma once

#include <string>

struct DamageNotice {
    bool playerList = false;  // the list of players, not one player's progress
    std::string player;       // whose progress starts afresh (empty for the list)
    std::string keptAs;       // the copy of the damaged file; empty when none could be kept
};
