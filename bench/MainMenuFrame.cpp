// The work of one main-menu frame without the wait for the frame period: the
// menu's pump (figure, clouds, widgets), the pointer, the sound update, the
// render and the present. Runs headless on the real resource files; start it
// from the run folder (SDL_VIDEODRIVER=dummy SDL_AUDIODRIVER=dummy). It uses a
// temporary HOME so that no real profile is touched.
#include <benchmark/benchmark.h>

#include <SDL.h>

#include <cstdlib>
#include <string>

#include "engine/CController.h"
#include "engine/CDraw.h"
#include "engine/CInput.h"
#include "engine/CMouse.h"
#include "engine/CRender.h"
#include "engine/FontRender.h"
#include "engine/ImagePack.h"
#include "engine/Log.h"
#include "engine/Parameters.h"
#include "engine/Utilities.h"
#include "players/CProfile.h"
#include "screens/CControllerMain.h"
#include "sound/CSound.h"

namespace {

void MenuFrame(benchmark::State& state) {
    char home[] = "/tmp/zorv-bench-XXXXXX";
    if (!mkdtemp(home)) {
        state.SkipWithError("no temporary folder");
        return;
    }
    setenv("HOME", home, 1);
    setenv("XDG_DATA_HOME", (std::string(home) + "/data").c_str(), 1);
    InitDebugLog(false);
    EnableDebugCategory(DBG_ERROR);
    CDraw::SetUrlDir(false);
    CSound::SetLoadFromDirectory(false);
    LoadParameters();
    InitDirectories();
    FontInit("./", "resource5.dat");
    {
        CProfile profile;
        CController::SetProfile(&profile);
        CDraw::SetSettings(&profile);
        profile.SetFullscreen(false);
        {
            CDraw draw;
            CRender render;
            CInput input;
            preloadImages();
            CSound::loadSound();
            CSound::CreateMusic();
            CController::LoadSounds();
            CMouse mouse;
            CDraw::ToggleFPSLock();  // measure the work, not the wait
            {
                CControllerMain menu;
                menu.Activate(nullptr);
                for (auto _ : state) {
                    CController::PumpCurrent();
                    PlaceMousePointer();
                    CSound::Update();
                    CRender::Render(true);
                    CDraw::Present(true, true);
                }
            }
            CController::UnloadSounds();
            CDraw::ToggleFPSLock();
        }
        CController::SetProfile(nullptr);
        CDraw::SetSettings(nullptr);
    }
    FontQuit();
    const std::string cleanup = std::string("rm -rf '") + home + "'";
    if (system(cleanup.c_str()) != 0) state.SkipWithError("temporary folder left behind");
}

BENCHMARK(MenuFrame)->Unit(benchmark::kMicrosecond)->Iterations(2000);

}  // namespace

BENCHMARK_MAIN();
