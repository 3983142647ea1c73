// The piece classes that keep state for the whole class (grids, lists and
// counts shared by every piece of the class), in one table: what the world
// reset clears, what every undo step saves and restores, and what the world
// digest describes are all read from it.
//
// Undo saves a class-wide table only when play changes it (the button
// counts, the power-up grid, the teleport pairs, the trampoline grid, the
// magnet list). The digest describes besides the tables that only a build
// sets (the exit tube, the ladder grid, the signs, the bot list), so that a
// step that changed one of them shows. Left out of both: a class's mark that
// it has pieces in this level (it only spares an unused class its undo
// copies, and stays once a piece of the class has been made), the counters
// that only vary looks and sounds from piece to piece (bobbing phases,
// picture and sound choices, the frame a gate sound last played) and the
// lists kept for the debug dumps.
#pragma once

#include <vector>

class CWorldDigest;

struct PieceStatics {
    const char* what;
    void (*reset)();
    void (*save)(int slot);     // null: undo keeps nothing of the class
    void (*restore)(int slot);  // null with save
    void (*describe)(CWorldDigest* digest);  // null: nothing of it decides play
};

// Every class with class-wide state, in the order they are reset, saved,
// restored and described.
const std::vector<PieceStatics>& AllPieceStatics();
