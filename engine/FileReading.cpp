#include "engine/FileReading.h"

#include "platform/Platform.h"

SDL_RWops* OpenForReadingRW(const std::string& path) {
    FILE* f = PlatformOpenForReading(path);
    if (!f) {
        SDL_SetError("Cannot open '%s' as a file", path.c_str());
        return nullptr;
    }
    SDL_RWops* rw = SDL_RWFromFP(f, 1);
    if (!rw) fclose(f);
    return rw;
}
