// The system object of our audio layer: output type and driver choice, the
// device, the sounds it decoded and the channels that play them. All calls
// come from the game's one thread and return an AudioResult (0 success);
// calls that touch the channels take the device's lock.
#pragma once

#include <cstddef>
#include <memory>
#include <vector>

#include "platform/CAudioDevice.h"
#include "platform/CAudioMixer.h"
#include "platform/CAudioRecord.h"
#include "platform/CAudioSound.h"


class CAudioSystem {
public:
    // Output types that SetOutput accepts: automatic, and three numbers kept
    // for settings files written by earlier versions of the game. All of them
    // play through SDL's audio driver (SDL_AUDIODRIVER chooses it).
    static constexpr int kOutputAuto = 0;
    static constexpr int kOutputFirstNamed = 6;
    static constexpr int kOutputLastNamed = 8;
    static constexpr int kOutputRate = 44100;

    CAudioSystem() = default;
    ~CAudioSystem();
    CAudioSystem(const CAudioSystem&) = delete;
    CAudioSystem& operator=(const CAudioSystem&) = delete;

    int SetOutput(int output);
    int GetOutput(int* output) const;
    int GetNumDrivers(int* count) const;
    // The driver's display name, zero-terminated and cut to size bytes.
    int GetDriverName(int index, char* name, int size) const;
    int SetDriver(int index);
    int GetDriver(int* index) const;

    // Opens the device with channels mixing channels. AUDIO_ERR_OUTPUT_INIT
    // when there is no device: the caller then runs without sound.
    int Init(int channels);
    bool IsInitialized() const { return mixer_ != nullptr; }
    int Update();
    // Stops everything, frees every sound and closes the device.
    int Close();

    // Decodes a whole file held in memory; the caller may free data after
    // the call. The decoder is chosen by the bytes, not by any name.
    int CreateSoundFromMemory(const void* data, size_t size, CAudioSound** out);
    int CreateSoundFromFile(const char* path, CAudioSound** out);
    int ReleaseSound(CAudioSound* sound);

    int PlaySound(CAudioSound* sound, bool paused, bool loop, AudioChannelId* out);
    int SetVolume(AudioChannelId channel, float volume);
    int GetVolume(AudioChannelId channel, float* volume);
    int SetFrequency(AudioChannelId channel, float frequency);
    int GetFrequency(AudioChannelId channel, float* frequency);
    int SetPaused(AudioChannelId channel, bool paused);
    int GetLoop(AudioChannelId channel, bool* loop);
    int Stop(AudioChannelId channel);
    int IsPlaying(AudioChannelId channel, bool* playing);
    int GetCurrentSound(AudioChannelId channel, CAudioSound** sound);

    // The mixing core (null before Init). Tests drive it directly.
    CAudioMixer* Mixer() { return mixer_.get(); }

    // From now on records every start and stop with its frame (one frame per
    // Update). Only on SDL's dummy driver, where nobody listens: SDL stops
    // calling the mixer, and each Update mixes msPerUpdate of sound instead,
    // so that a sound lasts as many frames as it would in play however fast
    // the frames come. False, with nothing changed, on any other output or
    // before Init. Close ends the record.
    bool StartRecord(int msPerUpdate);
    void StopRecord();
    // Null while not recording.
    const CAudioRecord* Record() const { return record_.get(); }

private:
    bool OwnsSound(const CAudioSound* sound) const;
    // Notes every recorded channel that no longer plays.
    void RecordEnds();

    int output_ = kOutputAuto;
    int driver_ = 0;
    std::unique_ptr<CAudioMixer> mixer_;
    CAudioDevice device_;
    std::vector<std::unique_ptr<CAudioSound>> sounds_;
    std::unique_ptr<CAudioRecord> record_;
    std::vector<int16_t> recordMix_;  // one Update's output while recording
};
