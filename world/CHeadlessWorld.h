// What a world needs to run without a window: SDL's dummy video driver, the
// display and renderer, the image pack with the play screen's image caches
// (the pieces' animations take their frames from them, and the world's flow
// waits for some of those animations), the string table and fonts (tutorial
// signs render their texts) and the level pack. No sound, no profile.
//
// The level runner zorv_sim, the tests and the benchmarks start it once per
// process from the run folder.
#pragma once

#include <string>

class CHeadlessWorld {
public:
    // runDir: the folder that holds the resource files. False, with the reason
    // in *error, when a resource file is missing. Starting twice is harmless.
    static bool Start(const std::string& runDir, std::string* error);
    static void Stop();
    static bool IsStarted();
};
