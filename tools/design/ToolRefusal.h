// How the level-design tools refuse what they cannot do: one line
// "<tool>: <reason>" on standard error and exit code 2.
#pragma once

#include <string>

#include "engine/Utilities.h"  // EscapeControls, shared with the game's own lines

// Prints "<tool>: <reason>" (control characters escaped by EscapeControls)
// and gives 2, the tools' exit code for a refusal.
int RefuseInOneLine(const char* tool, const std::string& reason);

// A tool's last word: its standard output written out to the end. A write
// that failed there (a full disk, /dev/full) is the tool's failure: one line
// "<tool>: cannot write the standard output: <reason>" and 2, unless the
// tool has refused already (code 2); else code.
int EndWithStandardOutput(const char* tool, int code);
