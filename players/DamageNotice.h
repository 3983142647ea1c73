// A profile file met while loading that the player is to be told of: one
// player's progress that starts afresh, a list of players that was damaged
// or missing and has been rebuilt from the players' files, or a player whose
// file (or the list, or the whole data folder) is there but cannot be
// reached now.
#pragma once

#include <string>

enum class DamageKind {
    PROGRESS,      // one player's progress starts afresh
    LIST_DAMAGED,  // the list of players was damaged and has been rebuilt
    LIST_MISSING,  // the list was not there at all: there was nothing to keep
    UNREACHABLE,   // a player's file cannot be reached now: not loaded, left as it is
    LIST_AWAY,     // the list cannot be reached now: left as it is, rebuilt in memory
    FOLDER_AWAY,   // the whole data folder cannot be reached: nothing is read or written there this session
    // A player made while the list was away has another number: the list,
    // back, had given hers to another player meanwhile. file: her file now.
    NUMBER_TAKEN,
};

struct DamageNotice {
    DamageKind kind = DamageKind::PROGRESS;
    std::string player;  // whose progress (empty for the list)
    std::string keptAs;  // the copy of the damaged file; empty when none could be kept
    // When no copy could be kept: every name for one was taken (else the
    // copy could not be written).
    bool copyNamesTaken = false;
    // The damaged file, or the file that cannot be reached (where its link
    // leads), and why it cannot be reached.
    std::string file;
    std::string why;
    // The errno: why the file cannot be reached, or why no copy of the
    // damaged file could be written.
    int error = 0;
};
