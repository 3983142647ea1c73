// The mixing core of our audio layer: a fixed set of channels, each playing
// one decoded sound at its own volume and frequency, summed into 16-bit
// stereo frames at the output rate. It knows nothing of devices or threads;
// the device calls Mix under its own lock, and tests call it directly.
#pragma once

#include <cstdint>
#include <vector>

class CAudioSound;

// A channel handle: the channel's slot in the low bits and the number of its
// start above them, so that a handle to a channel that has since been given to
// another start reads as stolen. 0 is no channel.
using AudioChannelId = uint32_t;

class CAudioMixer {
public:
    static constexpr int kMaxChannels = 4096;
    // A volume change glides over this many output frames (about 6 ms), so
    // that fades stepped once a frame do not crackle.
    static constexpr int kVolumeGlideFrames = 256;

    explicit CAudioMixer(int outputRate, int channels = 128);

    int OutputRate() const { return outputRate_; }
    int ChannelCount() const { return static_cast<int>(channels_.size()); }

    // Starts sound on a free channel, or on the one started longest ago when
    // all are busy. loop repeats it until stopped; without it the channel
    // ends by itself after the sound's last frame.
    int Play(const CAudioSound* sound, bool paused, bool loop, AudioChannelId* out);

    int SetVolume(AudioChannelId id, float volume);  // 0..1, clamped
    int GetVolume(AudioChannelId id, float* volume) const;
    // Frames of the sound per second; starts at the sound's own rate.
    int SetFrequency(AudioChannelId id, float frequency);
    int GetFrequency(AudioChannelId id, float* frequency) const;
    int SetPaused(AudioChannelId id, bool paused);
    int GetPaused(AudioChannelId id, bool* paused) const;
    int GetLoop(AudioChannelId id, bool* loop) const;
    int Stop(AudioChannelId id);
    // A paused channel counts as playing; an ended or stopped one does not.
    int IsPlaying(AudioChannelId id, bool* playing) const;
    int GetCurrentSound(AudioChannelId id, const CAudioSound** sound) const;

    // Stops every channel that plays sound (before the sound is freed).
    void StopSound(const CAudioSound* sound);
    void StopAll();
    int BusyChannels() const;

    // Writes frames stereo frames (left, right) of the mix to out.
    void Mix(int16_t* out, int frames);

private:
    struct Channel {
        const CAudioSound* sound = nullptr;
        bool busy = false;
        bool paused = false;
        bool loop = false;
        float volume = 1.0f;
        float heard = -1.0f;  // the volume of the last mixed frame; <0 before the first
        float frequency = 0.0f;
        double position = 0.0;  // in frames of the sound
        uint32_t generation = 0;
        uint64_t startOrder = 0;
    };

    // The channel of a handle, or the reason there is none.
    int Find(AudioChannelId id, Channel** out);
    int Find(AudioChannelId id, const Channel** out) const;
    void MixChannel(Channel& c, int32_t* acc, int frames);

    int outputRate_;
    std::vector<Channel> channels_;
    std::vector<int32_t> acc_;
    uint64_t starts_ = 0;
};
