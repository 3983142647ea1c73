// A named instance of one preloaded sound: its own channel, volume, fade
// counters, delayed start and looping flag. Owners create it with new and
// delete it when they go; CSound starts, fades and stops it.
#pragma once

#include <cstdint>
#include <string>

#include "platform/CAudioMixer.h"

class CSoundObject {
public:
    // Looks name up among the preloaded sounds (a name that is not there ends
    // the program) and registers the object with the sound system. While the
    // sound system is off the object stays idle and registers nothing.
    CSoundObject(const char* name, bool isMusic);
    // Stops it when it plays and takes it off the sound system's list.
    ~CSoundObject();
    CSoundObject(const CSoundObject&) = delete;
    CSoundObject& operator=(const CSoundObject&) = delete;

    const std::string& Name() const { return name; }
    bool IsMusic() const { return isMusic; }
    bool IsLooping() const { return looping; }
    int32_t SoundIndex() const { return soundIndex; }
    AudioChannelId Channel() const { return channel; }

private:
    friend class CSound;

    int32_t soundIndex = -1;
    AudioChannelId channel = 0;  // the channel of its latest start; 0 before
    float volume = 0.0f;
    int32_t fadeIn = -1;
    int32_t fadeOut = -1;
    int32_t delay = 0;
    bool isMusic = false;
    std::string name;  // a copy: callers may pass short-lived strings
    bool looping = false;
    bool registered = false;
};
