// Where the game finds its resource files, and where its screenshots go.
//
// A program finds its data beside itself: in the build's run folder the
// resource files lie beside the programs; an installed program finds them
// in the install's data folder (PREFIX/share/zorv beside PREFIX/bin, or
// /usr/share/games/zorv beside /usr/games), by the path from its own folder
// that the build was configured with. Neither depends on the folder it was
// started from, which is never read nor written.
#pragma once

#include <string>

// The folder of the resource files for a program in programDir: programDir
// itself when it holds them, else the install's data folder when that folder
// holds them (an installed program, whose data is never looked for
// elsewhere). Empty when neither does. *installed (when given) tells the
// second case.
std::string FindDataFolder(const std::string& programDir, bool* installed = nullptr);

// Makes the running game's data folder its working folder, so that every
// resource file is read from there. False when there is none, or it cannot
// be entered: *problem is then the line to tell the player (the folders
// looked in, or why the one found cannot be entered). *installed (when
// given) tells that the folder is an install's.
bool EnterDataFolder(std::string* problem, bool* installed = nullptr);

// Whether HOME or the XDG variables name both of the player's folders (the
// data folder and the levels folder); false, with *problem naming what to
// set, when either is missing. Without one the game falls back on the
// working folder: a game in its run folder may, an installed game may not
// (its working folder is its data folder, never the player's to write).
bool HasPlayerFolders(std::string* problem);

// Names, by its full path, a resource file of the data folder (the working
// folder) that could not be used, and says how: missing, unreadable or
// damaged (and where, when damage names the place). Told beside its
// loader's own message, as an error of the log.
void TellResourceFileFailed(const std::string& name, const std::string& damage = std::string());

// Where screenshots go: the working folder (the run folder), or for an
// installed game, whose data folder is not the player's to write, the
// pictures folder's "ZORV Screenshots". EnterDataFolder chooses; tests set it.
void SetCapturesToPictures(bool on);
// The folder the next screenshot goes to, with a slash at its end (empty:
// the working folder), made when missing: the game's own folder is made only
// inside a pictures folder that is there, never the pictures folder itself
// (one on a drive not mounted stays unmade). False, and why in *why, when
// there is none; *made tells that the folder was made now.
bool PrepareCaptureFolder(std::string* folder, bool* made, std::string* why);
