// How the level-design tools refuse what they cannot do: one line
// "<tool>: <reason>" on standard error and exit code 2.
#pragma once

#include <string>

#include "engine/TerminalText.h"  // EscapeControls, shared with the game's own lines

// Prints "<tool>: <reason>" (control characters escaped by EscapeControls)
// and gives 2, the tools' exit code for a refusal.
int RefuseInOneLine(const char* tool, const std::string& reason);

// A tool's last word: its standard output written out to the end. A write
// that failed there, at the end or at any time before (a full disk,
// /dev/full, a reader that went away), is the tool's failure: one line
// "<tool>: cannot write the standard output: <reason>" and 2, unless the
// tool has refused already (code 2); else code.
int EndWithStandardOutput(const char* tool, int code);

// A tool's main: run, then EndWithStandardOutput. Neither a reader that goes
// away (zorv_solve --table reg --plot p.png | head -2) nor a file-size limit
// ends the tool by a signal (SIGPIPE and SIGXFSZ are ignored): the write
// fails and takes the way of every failed write. So the files the user named
// are written whole all the same, and only then does the lost standard
// output end the tool with its line and 2.
int RunTool(const char* tool, int (*run)(int argc, char** argv), int argc, char** argv);

// Sends what the tool has printed so far: false once a write to standard
// output has failed, so that work which only feeds it can stop.
bool FlushStandardOutput();
