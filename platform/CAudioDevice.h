// The SDL 1.2 audio output of our audio layer: opens the default device as
// 16-bit stereo and calls the mixer from SDL's audio callback. SDL holds its
// audio lock around the callback; Lock and Unlock take the same lock, so every
// change to the mixer from the game's thread goes between them.
#pragma once

class CAudioMixer;

class CAudioDevice {
public:
    CAudioDevice() = default;
    ~CAudioDevice();
    CAudioDevice(const CAudioDevice&) = delete;
    CAudioDevice& operator=(const CAudioDevice&) = delete;

    // False (with SDL's reason in the log) when no device can be opened.
    bool Open(CAudioMixer* mixer, int rate);
    void Close();
    bool IsOpen() const { return open_; }

    void Lock();
    void Unlock();
    // Holds or resumes SDL's calls of the mixer.
    void SetPaused(bool paused);
    // True when SDL plays to its dummy driver: nobody hears the output.
    bool IsDummy() const;

private:
    static void Callback(void* user, unsigned char* stream, int length);

    CAudioMixer* mixer_ = nullptr;
    bool open_ = false;
    bool startedSubsystem_ = false;
};
