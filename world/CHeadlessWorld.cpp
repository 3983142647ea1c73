#include "world/CHeadlessWorld.h"

#include <SDL.h>
#include <unistd.h>

#include <cstdlib>

#include "engine/CDraw.h"
#include "engine/CRender.h"
#include "engine/FontRender.h"
#include "engine/ImageCaches.h"
#include "engine/ImagePack.h"
#include "engine/Log.h"
#include "engine/ResourceFiles.h"
#include "world/CLevelSet.h"

namespace {

// Plain pointers: the display must go before SDL_Quit, which the display
// registers with atexit; Stop is registered after it and so runs first.
CDraw* g_draw = nullptr;
CRender* g_render = nullptr;
void StopAtExit() { CHeadlessWorld::Stop(); }

bool NoFullscreen() { return false; }

bool HasFile(const std::string& path) { return access(path.c_str(), R_OK) == 0; }

}  // namespace

bool CHeadlessWorld::IsStarted() { return g_draw != nullptr; }

bool CHeadlessWorld::Start(const std::string& runDir, std::string* error) {
    if (IsStarted()) return true;
    const std::string dir = runDir.empty() ? "." : runDir;
    for (const char* name : {kLoadScreenFile, kProgressBarFile, kImagePackFile, kLevelPackFile, kStringTableFile}) {
        if (!HasFile(dir + "/" + name)) {
            if (error) *error = "missing resource file " + dir + "/" + name;
            return false;
        }
    }
    if (chdir(dir.c_str()) != 0) {
        if (error) *error = "cannot enter the folder " + dir;
        return false;
    }
    // Never a window, never a sound device.
    setenv("SDL_VIDEODRIVER", "dummy", 1);
    setenv("SDL_AUDIODRIVER", "dummy", 1);
    CDraw::SetFullscreenOption(NoFullscreen, nullptr);
    CDraw::SetUrlDir(false);
    FontInit("./", kStringTableFile);
    g_draw = new CDraw();
    g_render = new CRender();
    atexit(StopAtExit);
    PreloadImageFiles();
    cacheGame();
    cacheFadedImages();
    std::string packError;
    if (!CLevelSet::LoadPack(kLevelPackFile, &packError)) {
        if (error) *error = "level pack: " + packError;
        Stop();
        return false;
    }
    return true;
}

void CHeadlessWorld::Stop() {
    if (!IsStarted()) return;
    CLevelSet::FreeAll();
    CRender::ClearDirtyLists();
    delete g_render;
    g_render = nullptr;
    delete g_draw;
    g_draw = nullptr;
    FontQuit();
    CDraw::SetFullscreenOption(nullptr, nullptr);
}
