// What makes a level one the world can play and a player can finish, in one
// place, with the words that say what is wrong:
// - the world builder, the play screen, the level manager and the level tools
//   refuse a level the world cannot play (FindPlayFault);
// - the level editor keeps the placement rules below after every edit and,
//   before a test or a save, asks whether the level can be finished
//   (FindFinishFault);
// - the resource builder holds every level of the pack to all of them
//   (FindPlacementFaults and FindFinishFault).
#pragma once

#include <cstdint>
#include <string>
#include <vector>

class CLevel;

class CLevelRules {
public:
    enum Fault {
        FAULT_NONE = 0,
        // The hero is made with the entrance tube: a level needs exactly one.
        FAULT_NO_ENTRANCE,
        FAULT_ENTRANCES,
        // The world knows one exit tube only: a second would stand there as a
        // dead tube the hero walks through.
        FAULT_EXITS,
        // A level without an exit tube can be played, never finished.
        FAULT_NO_EXIT,
        // A teleport colour with one portal, or more than a pair.
        FAULT_TELEPORT_UNPAIRED,
    };
    // Whether the world can build and run the level: the first fault found
    // of the tubes (FAULT_NO_ENTRANCE, FAULT_ENTRANCES, FAULT_EXITS); *why
    // (when given) says it in words ("the level has 2 entrance tubes, ...").
    static Fault FindPlayFault(const CLevel& level, std::string* why = nullptr);
    // Whether a player can finish it: playable, with its exit tube, and each
    // teleport colour unused or one pair.
    static Fault FindFinishFault(const CLevel& level, std::string* why = nullptr);

    // ---- Placement: what a piece needs around it ----------------------------
    enum Footing {
        FOOTING_OK = 0,
        // Tubes, buttons, trampolines and walking bots stand on terrain.
        FOOTING_NO_GROUND_BELOW,
        // A hanging bot hangs under terrain.
        FOOTING_NO_GROUND_ABOVE,
        // A tube is two cells high: the cell above it stays free.
        FOOTING_NO_ROOM_ABOVE,
    };
    // What the tile at (x, y) lacks of what it needs (the first of the above).
    static Footing FindFooting(const CLevel& level, int x, int y);
    // A ladder cell beside terrain carries a platform, and no other cell
    // does.
    static bool WantsPlatform(const CLevel& level, int x, int y);
    // A portal stands between columns x and x + 1 (x from -1), its feet on
    // row y: it needs terrain under one side, may not be walled in on both
    // sides at either of its rows, and beside a wall that stands on terrain
    // (a bridge is no wall) it needs terrain under its other side too.
    static bool IsTeleportBlocked(const CLevel& level, int x, int y);
    // The colour limit: the teleport colours in use and the teleport
    // power-ups (each takes a colour when collected) share the three colours.
    // A teleport of a colour not used yet is refused once they are taken.
    static bool IsTeleportColourRefused(const CLevel& level, uint32_t code);

    // Every placement fault of the level, one sentence each, appended to
    // *faults; false when there is one.
    static bool FindPlacementFaults(const CLevel& level, std::vector<std::string>* faults);
};
