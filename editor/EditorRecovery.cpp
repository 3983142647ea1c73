#include "editor/EditorRecovery.h"

#include <errno.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdio>
#include <set>

#include "engine/CAtomicFile.h"
#include "engine/Log.h"
#include "engine/Utilities.h"
#include "platform/Platform.h"
#include "world/CLevel.h"

namespace {

// One line a kept level: "L <name>", or "R <name>" for one whose solution is
// a cut-off recording. The names are ours, so they hold no line break.
const char* const kNoteName = ".recovered";
constexpr int kMaxRecoveries = 999;

bool g_levelLost = false;

std::string NotePath(const std::string& folder) { return folder + kNoteName; }

bool Printable(const std::string& s) {
    for (unsigned char c : s)
        if (c < 32 || c == 127) return false;
    return true;
}

bool IsMissing(const std::string& path) {
    struct stat st;
    return lstat(path.c_str(), &st) != 0 && errno == ENOENT;
}

// The first free name "<base> (recovered)", "<base> (recovered 2)", ... in
// folder; the level's own name is the base when it makes a name that can be
// saved.
std::string FreeRecoveryName(const std::string& levelName, const std::string& folder) {
    const bool ownName = CLevel::IsValidName(levelName.c_str()) && Printable(levelName);
    for (int n = 1; n <= kMaxRecoveries; ++n) {
        const std::string suffix = n == 1 ? " (recovered)" : " (recovered " + std::to_string(n) + ")";
        std::string name = (ownName ? levelName : "level") + suffix;
        if (!CLevel::IsSavableName(name.c_str())) name = "level" + suffix;
        if (IsMissing(folder + name + ".lvl")) return name;
    }
    return std::string();
}

enum NoteRead { NOTE_NONE, NOTE_READ, NOTE_UNREADABLE };

// The note, as every file is read: a regular file only (a link to a device
// or a pipe standing there would grow the game without end or stop it), and
// no more than its bound. What cannot be read is logged once a run.
NoteRead ReadNote(const std::string& path, std::string* text) {
    text->clear();
    FILE* f = PlatformOpenForReading(path);
    if (!f && errno == ENOENT) return NOTE_NONE;
    bool ok = f != nullptr;
    char buf[4096];
    while (ok) {
        const size_t n = fread(buf, 1, sizeof buf, f);
        text->append(buf, n);
        ok = text->size() <= kRecoveryNoteBytesMax && !ferror(f);
        if (n < sizeof buf) break;
    }
    if (f) fclose(f);
    if (ok) return NOTE_READ;
    text->clear();
    static std::set<std::string> told;
    if (told.insert(path).second)
        DebugLog(DBG_ERROR, "The note of kept levels is not a file of ours, or is too large; it is not read: '%s'\n",
                 path.c_str());
    return NOTE_UNREADABLE;
}

// Adds line to the note in folder. The note never grows past what its
// reader takes: the oldest lines make room.
bool AddToNote(const std::string& folder, const std::string& line) {
    std::string note;
    ReadNote(NotePath(folder), &note);
    note += line;
    while (note.size() > kRecoveryNoteBytesMax) note.erase(0, note.find('\n') + 1);
    CAtomicFile file(NotePath(folder));
    FILE* f = file.Open();
    if (f && fwrite(note.data(), 1, note.size(), f) != note.size()) file.MarkFailed();
    if (f && file.Commit()) return true;
    DebugLog(DBG_ERROR, "Cannot write the note of a kept level: '%s'\n", NotePath(folder).c_str());
    return false;
}

// The level and its note in folder: the path kept, "" when either could not
// be written (then neither stays: a level no note tells of would be found
// by nobody).
std::string KeepIn(const std::string& folder, const CLevel& level, bool recording) {
    const std::string name = FreeRecoveryName(level.GetFileName(), folder);
    const std::string path = folder + name + ".lvl";
    CLevel kept = level;
    if (name.empty() || !kept.SaveToPath(path)) {
        DebugLog(DBG_ERROR, "Cannot keep the unsaved level in the folder '%s'\n", folder.c_str());
        return std::string();
    }
    if (!AddToNote(folder, (recording ? "R " : "L ") + name + "\n")) {
        remove(path.c_str());
        return std::string();
    }
    DebugLog(DBG_NOTE, "The unsaved level was kept as '%s'\n", path.c_str());
    return path;
}

// Takes the note of folder; the names it holds, in the order kept.
bool TakeNote(const std::string& folder, RecoveredLevels* out) {
    std::string note;
    if (ReadNote(NotePath(folder), &note) != NOTE_READ || note.empty()) return false;
    if (remove(NotePath(folder).c_str()) != 0)
        DebugLog(DBG_ERROR, "Cannot remove the note of kept levels: '%s'\n", NotePath(folder).c_str());
    std::string names;
    size_t at = 0;
    while (at < note.size()) {
        size_t end = note.find('\n', at);
        if (end == std::string::npos) end = note.size();
        const std::string line = note.substr(at, end - at);
        at = end + 1;
        if (line.size() < 3 || line[1] != ' ') continue;
        // Kept outside the levels folder, a level is named by its place.
        out->names.push_back(out->inDataFolder ? PlatformAbsolutePath(folder + line.substr(2) + ".lvl")
                                               : line.substr(2));
        if (line[0] == 'R') out->recording = true;
    }
    return !out->names.empty();
}

}  // namespace

std::string KeepRecoveredLevel(const CLevel& level, bool recording) {
    std::string path = KeepIn(GetLevelsDir(), level, recording);
    // The data folder, unless another copy of the game may own the folder
    // at its path now.
    if (path.empty() && IsProfileDirClaimed()) path = KeepIn(GetProfileDir(), level, recording);
    if (path.empty()) {
        g_levelLost = true;
        DebugLog(DBG_ERROR, "The unsaved level could be kept neither in the levels folder '%s' nor in the data "
                            "folder '%s'\n", GetLevelsDir(), GetProfileDir());
    }
    return path;
}

bool IsUnsavedLevelLost() { return g_levelLost; }

bool TakeRecoveredLevels(RecoveredLevels* out) {
    *out = RecoveredLevels();
    if (TakeNote(GetLevelsDir(), out)) return true;
    *out = RecoveredLevels();
    out->inDataFolder = true;
    if (IsProfileDirClaimed() && TakeNote(GetProfileDir(), out)) return true;
    *out = RecoveredLevels();
    return false;
}
