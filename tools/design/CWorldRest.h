// When the world is at rest for the level-design tools: the hero can take
// his next command and nothing is on its way to change by itself. The solver
// runs every command from rest to rest, so that a solution is a list of
// commands rather than of frames.
//
// The world is busy while anything moves, falls, slides or passes through a
// teleport; while a gunshot flies; while heat or cold still works on
// something (thawing, cooling, burning, melting); while a magnet is off after
// an EMP; while the hero arrives, uses a power-up, is stunned or recovers
// from a trampoline; while a bot drops, is knocked out or stunned; while a
// teleport starts or a bridge inflates or gives way; and while the hero, a
// bot or a movable object shows an animation that plays once and has not
// ended (some of their moves end with it: a landing, a turn, an inflation).
// The caller also asks that two frames in a row end with the same world
// (CWorldKey).
#pragma once

#include <string>

class CWorldRest {
public:
    // True while the world is busy; *why (when given) names the first
    // element found busy and the reason.
    static bool IsBusy(std::string* why = nullptr);
};
