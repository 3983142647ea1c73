#include "engine/DataFolder.h"

#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <vector>

#include "engine/BuildInfo.h"
#include "engine/Log.h"
#include "engine/ResourceFiles.h"
#include "engine/TerminalText.h"
#include "platform/Platform.h"

namespace {

// Where an installed program's data lies, from its own folder (the install's
// layout, as the build was configured).
const char* const kInstalledData = "/" ZORV_DATA_FROM_PROGRAM;
const char* const kCaptureFolder = "ZORV Screenshots/";

bool g_capturesToPictures = false;

// A folder known to hold the game's data: the image pack, which every
// program that shows or runs a level reads, is there.
bool HoldsData(const std::string& folder) { return PlatformFileExists(folder + "/" + kImagePackFile); }

// path made absolute, its "." and ".." steps worked out as written: as the
// player would type it. (The program's folder and the working folder have
// no links left in them, so that is where the system looks too.)
std::string Tidy(const std::string& path) {
    std::vector<std::string> steps;
    const std::string absolute = PlatformAbsolutePath(path);
    for (size_t at = 0; at <= absolute.size();) {
        size_t end = absolute.find('/', at);
        if (end == std::string::npos) end = absolute.size();
        const std::string step = absolute.substr(at, end - at);
        if (step == "..") {
            if (!steps.empty()) steps.pop_back();
        } else if (!step.empty() && step != ".") {
            steps.push_back(step);
        }
        at = end + 1;
    }
    std::string tidy;
    for (const std::string& step : steps) tidy += "/" + step;
    return tidy.empty() ? "/" : tidy;
}

// Why HOME names no folder: "not set" or "not an absolute path ('...')".
std::string WhatHomeIs() {
    const char* home = getenv("HOME");
    return home ? "not an absolute path ('" + EscapeControls(home) + "')" : std::string("not set");
}

}  // namespace

std::string FindDataFolder(const std::string& programDir, bool* installed) {
    if (installed) *installed = false;
    if (programDir.empty()) return "";
    if (HoldsData(programDir)) return programDir;
    const std::string shared = programDir + kInstalledData;
    if (!HoldsData(shared)) return "";
    if (installed) *installed = true;
    return shared;
}

bool EnterDataFolder(std::string* problem, bool* installed) {
    bool inInstall = false;
    const std::string programDir = PlatformExecutableDir();
    const std::string folder = FindDataFolder(programDir, &inInstall);
    g_capturesToPictures = inInstall;
    if (installed) *installed = inInstall;
    if (folder.empty()) {
        *problem = "the game's data is missing: neither '" + EscapeControls(Tidy(programDir)) + "' nor '" +
                   EscapeControls(Tidy(programDir + kInstalledData)) + "' holds " + kImagePackFile;
        return false;
    }
    if (chdir(folder.c_str()) != 0) {
        *problem = "cannot enter the data folder '" + EscapeControls(Tidy(folder)) + "': " + strerror(errno);
        return false;
    }
    return true;
}

bool HasPlayerFolders(std::string* problem) {
    std::string profile, levels;
    const bool haveProfile = PlatformDataHomeDir(&profile), haveLevels = PlatformDocumentsDir(&levels);
    if (haveProfile && haveLevels) return true;
    const char* unset = haveProfile ? "XDG_DOCUMENTS_DIR"
                        : haveLevels ? "XDG_DATA_HOME"
                                     : "XDG_DATA_HOME and XDG_DOCUMENTS_DIR";
    *problem = "no folder for the player's files: HOME is " + WhatHomeIs() + ", nor " + unset +
               " (the installed game writes nothing into its data folder)";
    return false;
}

void TellResourceFileFailed(const std::string& name, const std::string& damage) {
    const std::string path = Tidy(name);
    std::string how = damage.empty() ? "is damaged" : "is damaged: " + damage;
    if (FILE* f = PlatformOpenForReading(path))
        fclose(f);
    else
        how = errno == ENOENT ? "is missing" : std::string("cannot be read: ") + strerror(errno);
    ErrorLog(false, "The resource file '%s' %s\n", path.c_str(), how.c_str());
}

void SetCapturesToPictures(bool on) { g_capturesToPictures = on; }

bool PrepareCaptureFolder(std::string* folder, bool* made, std::string* why) {
    folder->clear();
    *made = false;
    if (!g_capturesToPictures) return true;
    std::string pictures;
    if (!PlatformPicturesDir(&pictures)) {
        *why = "there is no pictures folder: HOME is " + WhatHomeIs() + ", nor XDG_PICTURES_DIR";
        return false;
    }
    if (!PlatformIsDirectory(pictures)) {
        *why = "the pictures folder '" + pictures + "' is not there (its drive not mounted?), and the game makes none";
        return false;
    }
    *folder = pictures + "/" + kCaptureFolder;
    if (PlatformIsDirectory(*folder)) return true;
    if (!PlatformMakeDir(*folder)) {
        *why = "the folder '" + *folder + "' cannot be made: " + strerror(errno);
        return false;
    }
    *made = true;
    return true;
}
