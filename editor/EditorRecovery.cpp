#include "editor/EditorRecovery.h"

#include <cstdio>

#include "engine/CAtomicFile.h"
#include "engine/Log.h"
#include "engine/Utilities.h"
#include "world/CLevel.h"

namespace {

// One line a kept level: "L <name>", or "R <name>" for one whose solution is
// a cut-off recording. The names are ours, so they hold no line break.
const char* const kNoteName = ".recovered";
constexpr int kMaxRecoveries = 999;

std::string NotePath() { return std::string(GetLevelsDir()) + kNoteName; }

bool Printable(const std::string& s) {
    for (unsigned char c : s)
        if (c < 32 || c == 127) return false;
    return true;
}

// The first free name "<base> (recovered)", "<base> (recovered 2)", ...;
// the level's own name is the base when it makes a name that can be saved.
std::string FreeRecoveryName(const std::string& levelName) {
    const bool ownName = CLevel::IsValidName(levelName.c_str()) && Printable(levelName);
    for (int n = 1; n <= kMaxRecoveries; ++n) {
        const std::string suffix = n == 1 ? " (recovered)" : " (recovered " + std::to_string(n) + ")";
        std::string name = (ownName ? levelName : "level") + suffix;
        if (!CLevel::IsSavableName(name.c_str())) name = "level" + suffix;
        if (CLevel::IsFileMissing(name.c_str())) return name;
    }
    return std::string();
}

std::string ReadNote() {
    std::string text;
    FILE* f = fopen(NotePath().c_str(), "rb");
    if (!f) return text;
    char buf[512];
    size_t n;
    while ((n = fread(buf, 1, sizeof buf, f)) > 0) text.append(buf, n);
    fclose(f);
    return text;
}

}  // namespace

std::string KeepRecoveredLevel(const CLevel& level, bool recording) {
    const std::string name = FreeRecoveryName(level.GetFileName());
    CLevel kept = level;
    if (name.empty() || !kept.SaveToPath(CLevel::PathFor(name.c_str()))) {
        DebugLog(DBG_ERROR, "Cannot keep the unsaved level in the levels folder '%s'\n", GetLevelsDir());
        return std::string();
    }
    const std::string note = ReadNote() + (recording ? "R " : "L ") + name + "\n";
    CAtomicFile file(NotePath());
    FILE* f = file.Open();
    if (f && fwrite(note.data(), 1, note.size(), f) != note.size()) file.MarkFailed();
    if (!f || !file.Commit()) DebugLog(DBG_ERROR, "Cannot write the note of a kept level: '%s'\n", NotePath().c_str());
    DebugLog(DBG_NOTE, "The unsaved level was kept as '%s'\n", CLevel::PathFor(name.c_str()).c_str());
    return name;
}

bool TakeRecoveredLevels(std::string* names, bool* recording) {
    const std::string note = ReadNote();
    if (note.empty()) return false;
    if (remove(NotePath().c_str()) != 0)
        DebugLog(DBG_ERROR, "Cannot remove the note of kept levels: '%s'\n", NotePath().c_str());
    names->clear();
    *recording = false;
    size_t at = 0;
    while (at < note.size()) {
        size_t end = note.find('\n', at);
        if (end == std::string::npos) end = note.size();
        const std::string line = note.substr(at, end - at);
        at = end + 1;
        if (line.size() < 3 || line[1] != ' ') continue;
        if (!names->empty()) *names += ", ";
        *names += line.substr(2);
        if (line[0] == 'R') *recording = true;
    }
    return !names->empty();
}
