// The level tools' log. The game's own lines (a level file it cannot read, a
// resource it cannot load) go to standard error, each as one line
// "<tool>: <line>" with its control characters escaped: never into the
// tool's answer on standard output, and never into the game's LOG.TXT or its
// folders, which belong to the game (a copy of it may be running, and a tool
// creates no folder of the game's).
#pragma once

#include <string>

// Called first thing (CLevelTool does).
void StartToolLog(const char* tool);

// From here on the game's lines are kept back rather than printed: a reader
// whose failure they explain makes them the reason of its refusal.
void HoldToolLog();
// Ends the holding: the lines kept, "; " between them, are given back, or
// printed as they would have been when print is set.
std::string ReleaseToolLog(bool print);
