// The level solver of the level-design tools. It searches the hero's
// commands breadth first, from rest to rest, over the real world step (the
// code the play screen and the runner run), and so finds a solution with the
// fewest commands, or shows that none exists within its bounds.
//
// A command is one press of a key from rest: a direction (the key is pressed,
// the hero sets off, the key is released in the next frame, and the world
// runs until it is at rest again, CWorldRest), the turn key, or the use of a
// power-up from the inventory. Positions at rest are told apart by the
// world's contents (CWorldKey); each is searched once.
//
// Branching: the solver goes back from a position's command to the position
// through the world's undo ring (CUndoRing) and reaches the next position to
// search from the nearest position the ring still holds, or else builds the
// world again and replays the commands from the start. Because that replay
// costs the most, the positions found below a position reached that way are
// searched at once, a few commands deep, while the ring still holds the way
// back; such a position's depth may still come down, and it is searched again
// if it does, so that the solution found stays a shortest one. Every position
// reached again is checked against its key; if undo ever gave back another
// world, the search starts over building the world for every position.
//
// A found command list becomes frame-stamped solution records (press in the
// frame after rest, release in the next), which are played once more through
// the runner (CWorldRun) from a freshly built world to make sure they exit.
#pragma once

#include <string>
#include <vector>

#include "world/CLevel.h"

struct SolverOptions {
    int maxCommands = 40;    // search positions up to this many commands deep
    long maxStates = 200000; // stop after finding this many positions
    int restFrames = 3000;   // a command that has not come to rest by then is a dead end
    double maxSeconds = 0;   // 0: no time limit
    bool undo = true;        // branch through the undo ring (false: rebuild every time)
    bool progress = false;   // a line on stderr per depth searched
};

struct SolverResult {
    enum Outcome {
        SOLVED,         // a shortest solution was found
        UNSOLVABLE,     // every position reachable from the start was searched
        COMMAND_BOUND,  // no solution within maxCommands commands
        STATE_BOUND,    // stopped at maxStates positions
        TIME_BOUND,     // stopped at maxSeconds
        NOT_PLAYABLE,   // the level cannot be built, or never comes to rest
    };
    Outcome outcome = NOT_PLAYABLE;
    std::vector<int> commands;       // solution key codes, one per command
    std::vector<ReplayKey> records;  // the solution as the level stores it
    int exitFrame = 0;               // the frame in which the hero enters the exit tube
    bool verified = false;           // the records replayed to "exited" through the runner
    std::string verifyResult;        // what the replay ended in
    int steps = 0;                   // the solution's length as the game counts it: the hero's steps in the replay

    // The level's figure: the positions at rest (the start included) fewer
    // commands from the start than the solution, all of which are searched
    // to know that it is the shortest; without a solution, every position
    // found. It does not depend on how the search went about it.
    long states = 0;
    long found = 0;      // positions found in all (the search may look past the solution's depth)
    long expanded = 0;   // times every command of a position was tried
    long runs = 0;       // commands run
    long lost = 0;       // commands that lost the level (caught, singed, fallen, exit destroyed)
    long unsettled = 0;  // commands after which the world did not come to rest
    long frames = 0;     // world frames stepped
    long rebuilds = 0;   // worlds built
    long loads = 0;      // undo steps loaded
    int depth = 0;       // commands of the deepest position found
    double seconds = 0;
    bool usedUndo = false;
    std::string note;    // what went differently (undo gave back another world ...)
    std::string error;   // why the level is not playable

    static const char* OutcomeName(Outcome outcome);
    // The search's speed: positions found per second.
    double StatesPerSecond() const { return seconds > 0 ? static_cast<double>(found) / seconds : 0; }
};

class CSolver {
public:
    // The level is not owned; the headless world must be started.
    CSolver(CLevel* level, const SolverOptions& options);
    SolverResult Solve();

    // Plays records through the runner from a freshly built world until the
    // level ends or maxFrames have run, with the world's invariants checked;
    // the runner's result ("exited", "caught", ..., "running", or the broken
    // invariant). frames and steps (when not null): the frames run and the
    // steps the hero took, as the game's step counter counts them (a walk or
    // climb from one cell to the next; a fall, a turn or a power-up used is
    // none), the unit in which the tools give a solution's length.
    static std::string Replay(CLevel* level, const std::vector<ReplayKey>& records, int maxFrames, int* frames,
                              int* steps = nullptr);
    // The frames a replay is given past its last record to end in.
    static constexpr int kReplayFramesAfter = 2000;
    // Replay of the solution the level stores; empty when it stores none.
    static std::string ReplayStored(CLevel* level, int* frames, int* steps);
    // The stored solution in a caption's words: "solution 24 steps", "no
    // solution" or "a solution that does not exit (caught)"; exits says
    // whether it is the first.
    static std::string DescribeStoredSolution(CLevel* level, bool* exits);

private:
    bool SearchOnce(bool undo, SolverResult* r);

    CLevel* level_;
    SolverOptions options_;
};
