#include "engine/Utilities.h"

#include <algorithm>
#include <cctype>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include "engine/Log.h"
#include "engine/ReadNumber.h"
#include "platform/Platform.h"

namespace {

std::string g_profileDir;
std::string g_levelsDir;
// The data folder as this copy locked it (NoteClaimedProfileDir).
bool g_claimedProfileDir = false;
PlatformFileId g_claimedProfileDirId;
// Why the data folder could not be reached at start-up (NoteProfileDirAway).
int g_profileDirAway = 0;

}  // namespace

float RandomFloat(float min, float max) {
    return static_cast<float>(rand() % 32768) / 32767.0f * (max - min) + min;
}

int RandomInt(float min, float max) { return static_cast<int>(RandomFloat(min, max)); }

bool RectsOverlap(const Rect& a, const Rect& b) {
    return a.x + a.w > b.x && a.x < b.x + b.w && a.y + a.h > b.y && a.y < b.y + b.h;
}

void UnionRect(Rect* out, const Rect& a, const Rect& b) {
    const int x = std::min(a.x, b.x);
    const int y = std::min(a.y, b.y);
    const int right = std::max(a.x + a.w, b.x + b.w);
    const int bottom = std::max(a.y + a.h, b.y + b.h);
    *out = Rect{x, y, right - x, bottom - y};
}

std::string ToUpper(const std::string& s) {
    std::string r = s;
    for (char& c : r) c = static_cast<char>(toupper(static_cast<unsigned char>(c)));
    return r;
}

std::string ToLower(const std::string& s) {
    std::string r = s;
    for (char& c : r) c = static_cast<char>(tolower(static_cast<unsigned char>(c)));
    return r;
}

void Tokenize(const std::string& s, std::vector<std::string>& out, const std::string& delimiters) {
    size_t pos = s.find_first_not_of(delimiters);
    while (pos != std::string::npos) {
        const size_t end = s.find_first_of(delimiters, pos);
        out.push_back(s.substr(pos, end == std::string::npos ? std::string::npos : end - pos));
        if (end == std::string::npos) break;
        pos = s.find_first_not_of(delimiters, end);
    }
}

std::string ShownPath(const std::string& path) {
    const char* home = getenv("HOME");
    const size_t n = home ? strlen(home) : 0;
    if (n > 1 && path.compare(0, n, home) == 0 && path.size() > n && path[n] == '/') return "~" + path.substr(n);
    return path;
}

void GetFiles(std::vector<std::string>& out, const char* folder, const char* extension, bool sorted,
              bool withUnreachable) {
    std::vector<PlatformDirEntry> entries;
    std::vector<std::string> names;
    const std::string ext = extension ? extension : "";
    if (!PlatformListDir(folder ? folder : "", &entries, withUnreachable)) {
        DebugLog(DBG_DEBUG, "GetFiles()   Unable to open directory '%s'\n", folder ? folder : "");
    }
    for (const PlatformDirEntry& e : entries) {
        if (!e.isRegularFile && !e.isUnreachable) continue;
        // The name ends in the extension, and the name is all before it:
        // "a.lvl.lvl" is the file of the level "a.lvl", while "a.lvl.tmp"
        // and "a.lvl.bak" are no level files.
        const size_t n = e.name.size();
        if (ext.empty() || n < ext.size() || e.name.compare(n - ext.size(), ext.size(), ext) != 0) continue;
        names.push_back(e.name.substr(0, n - ext.size()));
    }
    if (!sorted) {
        out = names;
        return;
    }
    for (const std::string& name : names) {
        const std::string key = ToLower(name);
        auto it = std::find_if(out.begin(), out.end(), [&](const std::string& o) { return ToLower(o) > key; });
        out.insert(it, name);
    }
}

std::string GroupThousands(int value) {
    std::string out;
    char buf[16];
    while (value > 0) {
        const int r = value % 1000;
        snprintf(buf, sizeof buf, value <= 999 ? "%i" : ",%03i", r);
        out = buf + out;
        value /= 1000;
    }
    return out.empty() ? "0" : out;
}

void GroupThousands(int value, char* out, size_t outSize) {
    if (!out || outSize == 0) return;
    snprintf(out, outSize, "%s", GroupThousands(value).c_str());
}

void OpenURL(const char* url) {
    if (!PlatformOpenURL(url)) DebugLog(DBG_WARNING, "OpenURL()   Cannot open '%s'\n", url ? url : "");
}

bool IsWinNT() { return true; }
bool IsWin9x() { return false; }
bool IsVistaOrLater() { return PlatformMajorVersion() > 5; }

void MakeDir(const char* path) { PlatformMakeDir(path ? path : ""); }

void ResetDirectories() {
    g_profileDir.clear();
    g_levelsDir.clear();
    g_claimedProfileDir = false;
    g_profileDirAway = 0;
}

void NoteClaimedProfileDir(unsigned long long device, unsigned long long inode) {
    g_claimedProfileDir = true;
    g_claimedProfileDirId.device = device;
    g_claimedProfileDirId.inode = inode;
}

void NoteProfileDirAway(int error) { g_profileDirAway = error ? error : EIO; }

int ProfileDirAwayError() { return g_profileDirAway; }

ProfileDirState CheckProfileDir(int* error) {
    if (error) *error = g_profileDirAway;
    if (g_profileDirAway) return ProfileDirState::AWAY_SINCE_START;
    if (!g_claimedProfileDir) return ProfileDirState::CLAIMED;
    PlatformFileId now;
    if (!PlatformIdentify(g_profileDir, &now)) {
        if (error) *error = errno ? errno : EIO;
        return ProfileDirState::UNREACHABLE;
    }
    return now == g_claimedProfileDirId ? ProfileDirState::CLAIMED : ProfileDirState::REPLACED;
}

bool IsProfileDirClaimed() { return CheckProfileDir() == ProfileDirState::CLAIMED; }

void InitDirectories() {
    ResetDirectories();
    std::string appData;
    const bool haveAppData = PlatformDataHomeDir(&appData);
    g_profileDir = haveAppData ? appData + "/" : "resource/";
    std::string documents;
    if (PlatformDocumentsDir(&documents)) g_levelsDir = documents + "/";
    // The parents are created too: a fresh account may not have them yet.
    if (haveAppData) PlatformMakeDirs(appData);
    MakeDir(g_profileDir.c_str());
    if (haveAppData) {
        g_profileDir += "Vormak Games/";
        MakeDir(g_profileDir.c_str());
        g_profileDir += "ZORV Data/";
        MakeDir(g_profileDir.c_str());
    }
    if (!g_levelsDir.empty()) PlatformMakeDirs(documents);
    g_levelsDir += "ZORV Levels/";
    MakeDir(g_levelsDir.c_str());
    DebugLog(DBG_DEBUG, "PROFILE DIRECTORY:  '%s'\n", g_profileDir.c_str());
    DebugLog(DBG_DEBUG, "LEVELS DIRECTORY:   '%s'\n", g_levelsDir.c_str());
}

const char* GetProfileDir() { return g_profileDir.c_str(); }
const char* GetLevelsDir() { return g_levelsDir.c_str(); }

std::string TrimBlanks(const std::string& s) {
    size_t a = 0;
    size_t b = s.size();
    while (a < b && (s[a] == ' ' || s[a] == '\t')) ++a;
    while (b > a && (s[b - 1] == ' ' || s[b - 1] == '\t' || s[b - 1] == '\r')) --b;
    return s.substr(a, b - a);
}


