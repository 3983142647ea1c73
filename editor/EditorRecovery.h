// Editor work the game had to drop unsaved: when a terminate signal ends the
// game (a logout, a shutdown) there is no time to ask, so the editor's level
// is kept in the levels folder as a level file of its own, clearly named
// ("<name> (recovered)", "<name> (recovered 2)", ...), and a note beside it
// ("<levels folder>.recovered", which no level list shows) tells the next
// start to say so once.
#pragma once

#include <string>

class CLevel;

// Writes level to a free recovery name and notes it; recording says that its
// solution is a recording cut off before the exit. The name it was kept
// under, "" when nothing could be written (logged).
std::string KeepRecoveredLevel(const CLevel& level, bool recording);

// The levels kept since the last start, taken once (the note is deleted):
// their names joined by ", ", and whether one of them holds a cut-off
// recording. False when there are none.
bool TakeRecoveredLevels(std::string* names, bool* recording);
