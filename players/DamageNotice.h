// A damaged profile file found while loading, waiting to be told to the
// player: one player's progress that starts afresh, or a list of players that
// was damaged or missing and has been rebuilt from the players' files.
#pragma once

#include <string>

enum class DamageKind {
    PROGRESS,      // one player's progress starts afresh
    LIST_DAMAGED,  // the list of players was damaged and has been rebuilt
    LIST_MISSING,  // the list was not there at all: there was nothing to keep
};

struct DamageNotice {
    DamageKind kind = DamageKind::PROGRESS;
    std::string player;  // whose progress starts afresh (empty for the list)
    std::string keptAs;  // the copy of the damaged file; empty when none could be kept
};
