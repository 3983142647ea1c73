// Start-up decoding: the whole image preload (every file's bytes read from
// resource2.dat) and the cache groups (decoding, copies, text images) on the
// real pack, as the game does it once per run. Run from the run folder with
// SDL_VIDEODRIVER=dummy. Peak memory is the process's maximum resident size.
#include <SDL.h>
#include <SDL_ttf.h>
#include <benchmark/benchmark.h>
#include <sys/resource.h>

#include <cstdlib>

#include "engine/CDraw.h"
#include "engine/FontRender.h"
#include "engine/ImagePack.h"

namespace {

bool NoFullscreen() { return false; }

bool OpenDisplay() {
    setenv("SDL_VIDEODRIVER", "dummy", 0);
    if (SDL_InitSubSystem(SDL_INIT_VIDEO) != 0) return false;
    CDraw::SetFullscreenOption(NoFullscreen, nullptr);
    CDraw::SetVideoMode();
    CDraw::SetUrlDir(false);
    if (TTF_Init() != 0) return false;
    FontSetFolder("./");
    FontLoadStringFile("resource5.dat");
    return CDraw::HasScreen();
}

double PeakMegabytes() {
    struct rusage usage;
    getrusage(RUSAGE_SELF, &usage);
    return usage.ru_maxrss / 1024.0;  // kilobytes on Linux
}

void BM_PreloadAndCaches(benchmark::State& state) {
    if (!OpenDisplay()) {
        state.SkipWithError("no display");
        return;
    }
    for (auto _ : state) {
        CDraw::ResetDisplayState();
        preloadImages();
        state.PauseTiming();
        state.counters["images"] = CDraw::GetImageCount();
        state.counters["records"] = CDraw::GetRecordCount();
        CDraw::FreeImageStore();
        state.ResumeTiming();
    }
    state.counters["peak_MB"] = PeakMegabytes();
}
BENCHMARK(BM_PreloadAndCaches)->Unit(benchmark::kMillisecond)->Iterations(5);

void BM_PreloadFilesOnly(benchmark::State& state) {
    if (!OpenDisplay()) {
        state.SkipWithError("no display");
        return;
    }
    for (auto _ : state) {
        CDraw::ResetDisplayState();
        PreloadImageFiles();
        state.PauseTiming();
        CDraw::FreeImageStore();
        state.ResumeTiming();
    }
    state.counters["peak_MB"] = PeakMegabytes();
}
BENCHMARK(BM_PreloadFilesOnly)->Unit(benchmark::kMillisecond)->Iterations(10);

}  // namespace

BENCHMARK_MAIN();
