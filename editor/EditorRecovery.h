// Editor work the game had to drop unsaved: when a terminate signal ends the
// game (a logout, a shutdown) there is no time to ask, so the editor's level
// is kept in the levels folder as a level file of its own, clearly named
// ("<name> (recovered)", "<name> (recovered 2)", ...), and a note beside it
// ("<levels folder>.recovered", which no level list shows) tells the next
// start to say so once. When the levels folder cannot take it (read-only,
// full), the level and its note go to the data folder instead, and the next
// start says where; when neither can, the game's exit says so.
#pragma once

#include <string>
#include <vector>

class CLevel;

// Writes level to a free recovery name and notes it; recording says that its
// solution is a recording cut off before the exit. The path it was kept
// under, "" when nothing could be written anywhere (logged, and noted for
// IsUnsavedLevelLost).
std::string KeepRecoveredLevel(const CLevel& level, bool recording);

// True once a level could be kept nowhere in this run.
bool IsUnsavedLevelLost();

// The levels kept since the last start, taken once (the note is deleted):
// those of the levels folder first, by name; then, at the next call, those of
// the data folder, by their absolute paths (inDataFolder).
struct RecoveredLevels {
    std::vector<std::string> names;  // in the order kept
    bool recording = false;          // one of them holds a cut-off recording
    bool inDataFolder = false;
};
bool TakeRecoveredLevels(RecoveredLevels* out);

// The note is a few lines; one larger than this is not ours and is not read.
constexpr size_t kRecoveryNoteBytesMax = 64 * 1024;
