#include "platform/CAudioDevice.h"

#include <SDL/SDL.h>

#include <cstring>

#include "engine/Log.h"
#include "platform/CAudioMixer.h"

CAudioDevice::~CAudioDevice() { Close(); }

bool CAudioDevice::Open(CAudioMixer* mixer, int rate) {
    if (open_) return true;
    if (!mixer) return false;
    if (SDL_WasInit(SDL_INIT_AUDIO) == 0) {
        if (SDL_InitSubSystem(SDL_INIT_AUDIO) != 0) {
            DebugLog(DBG_SOUND, "CAudioDevice::Open()   No audio: %s\n", SDL_GetError());
            return false;
        }
        startedSubsystem_ = true;
    }
    mixer_ = mixer;
    SDL_AudioSpec want;
    SDL_memset(&want, 0, sizeof want);
    want.freq = rate;
    want.format = AUDIO_S16SYS;
    want.channels = 2;
    want.samples = 1024;
    want.callback = &CAudioDevice::Callback;
    want.userdata = this;
    // No "obtained" format: SDL converts to the device's format for us, so the
    // mixer always writes 16-bit stereo at the rate asked for.
    if (SDL_OpenAudio(&want, nullptr) != 0) {
        DebugLog(DBG_SOUND, "CAudioDevice::Open()   No audio device: %s\n", SDL_GetError());
        mixer_ = nullptr;
        if (startedSubsystem_) {
            SDL_QuitSubSystem(SDL_INIT_AUDIO);
            startedSubsystem_ = false;
        }
        return false;
    }
    open_ = true;
    SDL_PauseAudio(0);
    return true;
}

void CAudioDevice::Close() {
    if (open_) {
        SDL_PauseAudio(1);
        SDL_CloseAudio();
        open_ = false;
    }
    mixer_ = nullptr;
    if (startedSubsystem_) {
        SDL_QuitSubSystem(SDL_INIT_AUDIO);
        startedSubsystem_ = false;
    }
}

void CAudioDevice::Lock() {
    if (open_) SDL_LockAudio();
}

void CAudioDevice::Unlock() {
    if (open_) SDL_UnlockAudio();
}

void CAudioDevice::SetPaused(bool paused) {
    if (open_) SDL_PauseAudio(paused ? 1 : 0);
}

bool CAudioDevice::IsDummy() const {
    char name[32];
    return open_ && SDL_AudioDriverName(name, sizeof name) && strcmp(name, "dummy") == 0;
}

void CAudioDevice::Callback(void* user, unsigned char* stream, int length) {
    CAudioDevice* self = static_cast<CAudioDevice*>(user);
    if (!self || !self->mixer_) {
        SDL_memset(stream, 0, static_cast<size_t>(length));
        return;
    }
    self->mixer_->Mix(reinterpret_cast<int16_t*>(stream), length / 4);
}
