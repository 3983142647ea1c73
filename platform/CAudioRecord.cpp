#include "platform/CAudioRecord.h"

#include "platform/CAudioSound.h"

void CAudioRecord::Started(const CAudioSound* sound, AudioChannelId channel, bool loop) {
    const Event e{frame_, START, sound ? sound->Name() : std::string(), channel, loop};
    events_.push_back(e);
    open_.push_back(e);
}

void CAudioRecord::Stopped(AudioChannelId channel) {
    for (size_t i = 0; i < open_.size(); ++i) {
        if (open_[i].channel == channel) {
            Close(i, STOP);
            return;
        }
    }
}

void CAudioRecord::Close(size_t index, Kind kind) {
    Event e = open_[index];
    e.frame = frame_;
    e.kind = kind;
    events_.push_back(e);
    open_.erase(open_.begin() + static_cast<long>(index));
}
