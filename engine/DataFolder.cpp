#include "engine/DataFolder.h"

#include <unistd.h>

#include "engine/BuildInfo.h"
#include "platform/Platform.h"

namespace {

// The file that tells a folder of resource files: the image pack, which
// every program that shows or runs a level reads.
const char* const kMarker = "resource2.dat";
// Where an installed program's data lies, from its own folder (the install's
// layout, as the build was configured).
const char* const kInstalledData = "/" ZORV_DATA_FROM_PROGRAM;
const char* const kCaptureFolder = "ZORV Screenshots/";

std::string g_captureDir;

}  // namespace

std::string FindDataFolder(const std::string& programDir, bool* installed) {
    if (installed) *installed = false;
    if (programDir.empty()) return "";
    if (PlatformFileExists(programDir + "/" + kMarker)) return programDir;
    const std::string shared = programDir + kInstalledData;
    if (!PlatformIsDirectory(shared)) return "";
    if (installed) *installed = true;
    return shared;
}

bool EnterDataFolder() {
    bool installed = false;
    const std::string folder = FindDataFolder(PlatformExecutableDir(), &installed);
    g_captureDir.clear();
    if (installed) {
        std::string pictures;
        if (PlatformPicturesDir(&pictures)) g_captureDir = pictures + "/" + kCaptureFolder;
    }
    return folder.empty() || chdir(folder.c_str()) == 0;
}

const std::string& GetCaptureDir() { return g_captureDir; }

void ResetDataFolder() { g_captureDir.clear(); }
