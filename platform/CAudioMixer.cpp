#include "platform/CAudioMixer.h"

#include <cmath>
#include <cstring>

#include "platform/AudioResult.h"
#include "platform/CAudioSound.h"

namespace {
constexpr int kIndexBits = 12;  // 4096 channels
constexpr uint32_t kIndexMask = (1u << kIndexBits) - 1;
constexpr uint32_t kGenerationMask = (1u << (32 - kIndexBits)) - 1;

int16_t Clamp16(int32_t v) {
    if (v > 32767) return 32767;
    if (v < -32768) return -32768;
    return static_cast<int16_t>(v);
}
}  // namespace

CAudioMixer::CAudioMixer(int outputRate, int channels) : outputRate_(outputRate > 0 ? outputRate : 44100) {
    if (channels < 1) channels = 1;
    if (channels > kMaxChannels) channels = kMaxChannels;
    channels_.resize(static_cast<size_t>(channels));
}

int CAudioMixer::Find(AudioChannelId id, Channel** out) {
    const Channel* c = nullptr;
    const int r = static_cast<const CAudioMixer*>(this)->Find(id, &c);
    *out = const_cast<Channel*>(c);
    return r;
}

int CAudioMixer::Find(AudioChannelId id, const Channel** out) const {
    *out = nullptr;
    if (id == 0) return AUDIO_ERR_INVALID_HANDLE;
    const uint32_t index = id & kIndexMask;
    const uint32_t generation = id >> kIndexBits;
    if (index >= channels_.size()) return AUDIO_ERR_INVALID_HANDLE;
    const Channel& c = channels_[index];
    if (c.generation != generation) return AUDIO_ERR_CHANNEL_STOLEN;
    *out = &c;
    return AUDIO_OK;
}

int CAudioMixer::Play(const CAudioSound* sound, bool paused, bool loop, AudioChannelId* out) {
    if (out) *out = 0;
    if (!sound || !out) return AUDIO_ERR_INVALID_HANDLE;
    if (sound->Frames() == 0 || sound->Rate() <= 0) return AUDIO_ERR_FORMAT;
    size_t pick = channels_.size();
    for (size_t i = 0; i < channels_.size(); ++i) {
        if (!channels_[i].busy) {
            pick = i;
            break;
        }
    }
    if (pick == channels_.size()) {
        // Every channel is busy: the one started longest ago gives way.
        pick = 0;
        for (size_t i = 1; i < channels_.size(); ++i)
            if (channels_[i].startOrder < channels_[pick].startOrder) pick = i;
    }
    Channel& c = channels_[pick];
    uint32_t generation = (c.generation + 1) & kGenerationMask;
    if (generation == 0) generation = 1;
    c = Channel();
    c.sound = sound;
    c.busy = true;
    c.paused = paused;
    c.loop = loop;
    c.volume = 1.0f;
    c.frequency = static_cast<float>(sound->Rate());
    c.position = 0.0;
    c.generation = generation;
    c.startOrder = ++starts_;
    *out = (generation << kIndexBits) | static_cast<uint32_t>(pick);
    return AUDIO_OK;
}

int CAudioMixer::SetVolume(AudioChannelId id, float volume) {
    Channel* c;
    const int r = Find(id, &c);
    if (r != AUDIO_OK) return r;
    if (std::isnan(volume)) return AUDIO_ERR_INVALID_PARAM;
    c->volume = volume < 0.0f ? 0.0f : (volume > 1.0f ? 1.0f : volume);
    return AUDIO_OK;
}

int CAudioMixer::GetVolume(AudioChannelId id, float* volume) const {
    const Channel* c;
    const int r = Find(id, &c);
    if (r != AUDIO_OK) return r;
    if (volume) *volume = c->volume;
    return AUDIO_OK;
}

int CAudioMixer::SetFrequency(AudioChannelId id, float frequency) {
    Channel* c;
    const int r = Find(id, &c);
    if (r != AUDIO_OK) return r;
    if (!std::isfinite(frequency) || frequency <= 0.0f || frequency > 1000000.0f) return AUDIO_ERR_INVALID_PARAM;
    c->frequency = frequency;
    return AUDIO_OK;
}

int CAudioMixer::GetFrequency(AudioChannelId id, float* frequency) const {
    const Channel* c;
    const int r = Find(id, &c);
    if (r != AUDIO_OK) return r;
    if (frequency) *frequency = c->frequency;
    return AUDIO_OK;
}

int CAudioMixer::SetPaused(AudioChannelId id, bool paused) {
    Channel* c;
    const int r = Find(id, &c);
    if (r != AUDIO_OK) return r;
    c->paused = paused;
    return AUDIO_OK;
}

int CAudioMixer::GetPaused(AudioChannelId id, bool* paused) const {
    const Channel* c;
    const int r = Find(id, &c);
    if (r != AUDIO_OK) return r;
    if (paused) *paused = c->paused;
    return AUDIO_OK;
}

int CAudioMixer::GetLoop(AudioChannelId id, bool* loop) const {
    const Channel* c;
    const int r = Find(id, &c);
    if (r != AUDIO_OK) return r;
    if (loop) *loop = c->loop;
    return AUDIO_OK;
}

int CAudioMixer::Stop(AudioChannelId id) {
    Channel* c;
    const int r = Find(id, &c);
    if (r != AUDIO_OK) return r;
    c->busy = false;
    return AUDIO_OK;
}

int CAudioMixer::IsPlaying(AudioChannelId id, bool* playing) const {
    if (playing) *playing = false;
    const Channel* c;
    const int r = Find(id, &c);
    if (r != AUDIO_OK) return r;
    if (playing) *playing = c->busy;
    return AUDIO_OK;
}

int CAudioMixer::GetCurrentSound(AudioChannelId id, const CAudioSound** sound) const {
    if (sound) *sound = nullptr;
    const Channel* c;
    const int r = Find(id, &c);
    if (r != AUDIO_OK) return r;
    if (sound) *sound = c->sound;
    return AUDIO_OK;
}

void CAudioMixer::StopSound(const CAudioSound* sound) {
    for (Channel& c : channels_) {
        if (c.sound == sound) {
            c.busy = false;
            c.sound = nullptr;
        }
    }
}

void CAudioMixer::StopAll() {
    for (Channel& c : channels_) c.busy = false;
}

int CAudioMixer::BusyChannels() const {
    int n = 0;
    for (const Channel& c : channels_) n += c.busy ? 1 : 0;
    return n;
}

void CAudioMixer::MixChannel(Channel& c, int32_t* acc, int frames) {
    const CAudioSound& s = *c.sound;
    const size_t length = s.Frames();
    const int16_t* data = s.Samples();
    const int stereo = s.Channels() == 2 ? 1 : 0;
    const double step = static_cast<double>(c.frequency) / outputRate_;
    const double end = static_cast<double>(length);
    // A fresh start begins at its volume; later changes glide.
    float volume = c.heard < 0.0f ? c.volume : c.heard;
    const float glideStep = (c.volume - volume) / kVolumeGlideFrames;
    for (int f = 0; f < frames; ++f) {
        if (volume != c.volume) {
            volume += glideStep;
            if ((glideStep > 0 && volume > c.volume) || (glideStep < 0 && volume < c.volume)) volume = c.volume;
        }
        c.heard = volume;
        const size_t i = static_cast<size_t>(c.position);
        const float frac = static_cast<float>(c.position - static_cast<double>(i));
        // The frame after the last is the first again for a loop, so the
        // seam is as smooth as the sound's own start and end.
        const size_t next = i + 1 < length ? i + 1 : (c.loop ? 0 : i);
        float left, right;
        if (stereo) {
            const float l0 = data[i * 2], l1 = data[next * 2];
            const float r0 = data[i * 2 + 1], r1 = data[next * 2 + 1];
            left = l0 + (l1 - l0) * frac;
            right = r0 + (r1 - r0) * frac;
        } else {
            const float a = data[i], b = data[next];
            left = right = a + (b - a) * frac;
        }
        acc[f * 2] += static_cast<int32_t>(lrintf(left * volume));
        acc[f * 2 + 1] += static_cast<int32_t>(lrintf(right * volume));
        c.position += step;
        if (c.position >= end) {
            if (!c.loop) {
                c.busy = false;
                return;
            }
            c.position = std::fmod(c.position, end);
        }
    }
}

void CAudioMixer::Mix(int16_t* out, int frames) {
    if (!out || frames <= 0) return;
    const size_t n = static_cast<size_t>(frames) * 2;
    if (acc_.size() < n) acc_.resize(n);
    memset(acc_.data(), 0, n * sizeof(int32_t));
    for (Channel& c : channels_) {
        if (!c.busy || c.paused || !c.sound) continue;
        MixChannel(c, acc_.data(), frames);
    }
    for (size_t i = 0; i < n; ++i) out[i] = Clamp16(acc_[i]);
}
