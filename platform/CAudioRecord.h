// Which sounds started and stopped, frame by frame, while the audio system
// listens to itself on SDL's dummy output (CAudioSystem::StartRecord). Tests
// read it to hear what the game played and when; the game never turns it on.
// A frame is one CAudioSystem::Update, the sound system's step per frame.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "platform/CAudioMixer.h"

class CAudioSound;

class CAudioRecord {
public:
    enum Kind {
        START,  // a sound began on a channel
        STOP,   // the game stopped it
        END,    // it ran out, or its channel went to a newer start
    };
    struct Event {
        uint32_t frame;
        Kind kind;
        std::string sound;  // the name the sound was loaded under
        AudioChannelId channel;
        bool loop;
    };

    uint32_t Frame() const { return frame_; }
    void NextFrame() { ++frame_; }
    const std::vector<Event>& Events() const { return events_; }
    // Forgets the events; the frame count and the open channels stay.
    void Clear() { events_.clear(); }

    void Started(const CAudioSound* sound, AudioChannelId channel, bool loop);
    // Only a channel the record saw start and not yet end counts.
    void Stopped(AudioChannelId channel);
    // Records the end of every open channel for which playing() is false.
    template <typename Playing>
    void CheckEnds(Playing playing) {
        for (size_t i = 0; i < open_.size();) {
            if (playing(open_[i].channel)) {
                ++i;
                continue;
            }
            Close(i, END);
        }
    }

private:
    void Close(size_t index, Kind kind);

    uint32_t frame_ = 0;
    std::vector<Event> events_;
    std::vector<Event> open_;  // the starts still sounding
};
