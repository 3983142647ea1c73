// The world run from rest to rest, one command at a time: the level-design
// tools' view of the runner (CWorldRun), which steps the world exactly as
// the play screen does.
//
// A command is a key pressed in the frame after rest and released in the
// next; then the world runs until it is at rest again (CWorldRest, and two
// frames in a row with the same CWorldKey), the hero enters the exit, the
// level is lost, or a bound of frames passes.
#pragma once

#include <string>

#include "tools/design/CWorldKey.h"
#include "world/CWorldRun.h"

class CLevel;

class CRestRunner {
public:
    enum Outcome {
        REST,      // the world is at rest
        EXITED,    // the hero entered the exit tube
        LOST,      // caught, singed, fallen, or the exit tube destroyed
        RESTLESS,  // not at rest within the bound of frames
    };

    // restFrames: the bound of frames for one command (and for the start).
    CRestRunner(CLevel* level, int restFrames);

    // Builds the world and runs it to its first rest; *frames counts the
    // frames. False with the reason when the level cannot be built.
    bool Build(Outcome* outcome, int* frames, std::string* error);
    // Hands a solution key code (SolutionKeys.h) to the hero, pressed.
    void Press(int code);
    // After Press: the press frame, the release frame, then the frames to
    // rest, all counted in *frames. With knownFrames the world runs exactly
    // that many frames in all (a command run before) and is taken as at rest.
    Outcome Finish(int code, int* frames, int knownFrames = 0);
    // Press and Finish.
    Outcome Command(int code, int* frames) {
        Press(code);
        return Finish(code, frames);
    }

    // Runs n frames with no key (until the level has ended, at the most).
    void Wait(int n);

    // The world's key; the hero's facing counts only in levels with power-ups.
    CWorldKey Key() const { return CWorldKey::OfWorld(heroFacing_); }
    bool HeroFacingCounts() const { return heroFacing_; }
    long FramesStepped() const { return stepped_; }
    // True when the outcome of the last frame ended the command.
    static bool Ended(Outcome* outcome);

private:
    Outcome Settle(int* frames);
    void Step();

    CWorldRun run_;
    int restFrames_;
    bool heroFacing_;
    long stepped_ = 0;
};
