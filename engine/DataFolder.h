// Where the game finds its resource files, and where its screenshots go.
//
// A program finds its data beside itself: in the build's run folder the
// resource files lie beside the programs; an installed program (PREFIX/bin)
// finds them in PREFIX/share/zorv. Neither depends on the folder it was
// started from, which is never read nor written.
#pragma once

#include <string>

// The folder of the resource files for a program in programDir: programDir
// itself when it holds them, else programDir/../share/zorv when that folder
// holds them (an installed program, whose data is never looked for
// elsewhere). Empty when neither does. *installed (when given) tells the
// second case.
std::string FindDataFolder(const std::string& programDir, bool* installed = nullptr);

// Makes the running game's data folder its working folder, so that every
// resource file is read from there. False when there is none, or it cannot
// be entered: *problem is then the line to tell the player (the folders
// looked in, or why the one found cannot be entered).
bool EnterDataFolder(std::string* problem);

// Names, by its full path, a resource file of the data folder (the working
// folder) that could not be used, and says how: missing, unreadable or
// damaged. Told beside its loader's own message, as an error of the log.
void TellResourceFileFailed(const std::string& name);

// The folder screenshots are written to, with a trailing slash: the pictures
// folder's "ZORV Screenshots/" for an installed game (its data folder is not
// the player's to write), else empty: the working folder, as in the run
// folder.
const std::string& GetCaptureDir();
// Forgets what EnterDataFolder found (tests).
void ResetDataFolder();
