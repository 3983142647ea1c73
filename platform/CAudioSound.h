// One sound of our audio layer: a whole file decoded into 16-bit samples,
// held in memory for as long as the sound exists.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

#include "platform/AudioDecode.h"

class CAudioSound {
public:
    explicit CAudioSound(AudioPcm pcm) : pcm_(static_cast<AudioPcm&&>(pcm)) {}

    const int16_t* Samples() const { return pcm_.samples.data(); }
    size_t Frames() const { return pcm_.Frames(); }
    int Channels() const { return pcm_.channels; }
    int Rate() const { return pcm_.rate; }
    // The name its owner loaded it under (empty when none was given).
    const std::string& Name() const { return name_; }
    void SetName(const std::string& name) { name_ = name; }

private:
    AudioPcm pcm_;
    std::string name_;
};
