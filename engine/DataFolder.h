// Where the game finds its resource files, and where its screenshots go.
//
// A program finds its data beside itself: in the build's run folder the
// resource files lie beside the programs; an installed program finds them
// in the install's data folder (PREFIX/share/zorv beside PREFIX/bin, or
// /usr/share/games/zorv beside /usr/games), by the path from its own folder
// that the build was configured with. Neither depends on the folder it was
// started from.
#pragma once

#include <string>

// The folder of the resource files for a program in programDir: programDir
// itself when it holds them, else the install's data folder when it exists
// (an installed program, whose data is never looked for elsewhere).
// Empty when neither is there. *installed (when given) tells the second case.
std::string FindDataFolder(const std::string& programDir, bool* installed = nullptr);

// Makes the running game's data folder its working folder, so that every
// resource file is read from there. A program with no data folder of its own
// (the test programs, started in the run folder) stays where it was started.
// False, with errno set, when the folder could not be entered.
bool EnterDataFolder();

// The folder screenshots are written to, with a trailing slash: the pictures
// folder's "ZORV Screenshots/" for an installed game (its data folder is not
// the player's to write), else empty: the working folder, as in the run
// folder.
const std::string& GetCaptureDir();
// Forgets what EnterDataFolder found (tests).
void ResetDataFolder();
