#include "platform/CAudioSystem.h"

#include <cstdio>
#include <cstring>

#include "platform/AudioDecode.h"
#include "platform/AudioResult.h"
#include "platform/CAudioSound.h"
#include "platform/Platform.h"

namespace {
const char* const kDriverName = "Default";
constexpr int kDriverCount = 1;
// A sound file larger than this is refused before it is read.
constexpr long kMaxFileBytes = 256L * 1024 * 1024;

// Runs fn under the device lock.
template <typename Fn>
int Locked(CAudioDevice& device, Fn fn) {
    device.Lock();
    const int r = fn();
    device.Unlock();
    return r;
}
}  // namespace

CAudioSystem::~CAudioSystem() { Close(); }

int CAudioSystem::SetOutput(int output) {
    if (mixer_) return AUDIO_ERR_INITIALIZED;
    if (output != kOutputAuto && (output < kOutputFirstNamed || output > kOutputLastNamed))
        return AUDIO_ERR_INVALID_PARAM;
    output_ = output;
    return AUDIO_OK;
}

int CAudioSystem::GetOutput(int* output) const {
    if (!output) return AUDIO_ERR_INVALID_PARAM;
    *output = output_;
    return AUDIO_OK;
}

int CAudioSystem::GetNumDrivers(int* count) const {
    if (!count) return AUDIO_ERR_INVALID_PARAM;
    *count = kDriverCount;
    return AUDIO_OK;
}

int CAudioSystem::GetDriverName(int index, char* name, int size) const {
    if (!name || size <= 0) return AUDIO_ERR_INVALID_PARAM;
    name[0] = '\0';
    if (index < 0 || index >= kDriverCount) return AUDIO_ERR_INVALID_PARAM;
    snprintf(name, static_cast<size_t>(size), "%s", kDriverName);
    return AUDIO_OK;
}

int CAudioSystem::SetDriver(int index) {
    if (mixer_) return AUDIO_ERR_INITIALIZED;
    if (index < 0 || index >= kDriverCount) return AUDIO_ERR_INVALID_PARAM;
    driver_ = index;
    return AUDIO_OK;
}

int CAudioSystem::GetDriver(int* index) const {
    if (!index) return AUDIO_ERR_INVALID_PARAM;
    *index = driver_;
    return AUDIO_OK;
}

int CAudioSystem::Init(int channels) {
    if (mixer_) return AUDIO_ERR_INITIALIZED;
    if (channels < 1 || channels > CAudioMixer::kMaxChannels) return AUDIO_ERR_INVALID_PARAM;
    std::unique_ptr<CAudioMixer> mixer(new CAudioMixer(kOutputRate, channels));
    if (!device_.Open(mixer.get(), kOutputRate)) return AUDIO_ERR_OUTPUT_INIT;
    device_.Lock();
    mixer_ = std::move(mixer);
    device_.Unlock();
    return AUDIO_OK;
}

int CAudioSystem::Update() {
    if (!mixer_) return AUDIO_ERR_UNINITIALIZED;
    if (record_) {
        // SDL no longer calls the mixer; the lock covers a call still running.
        device_.Lock();
        mixer_->Mix(recordMix_.data(), static_cast<int>(recordMix_.size() / 2));
        device_.Unlock();
        RecordEnds();
        record_->NextFrame();
    }
    return AUDIO_OK;
}

bool CAudioSystem::StartRecord(int msPerUpdate) {
    if (!mixer_ || record_ || msPerUpdate <= 0 || !device_.IsDummy()) return false;
    device_.SetPaused(true);
    recordMix_.assign(static_cast<size_t>(kOutputRate) * static_cast<size_t>(msPerUpdate) / 1000 * 2, 0);
    record_.reset(new CAudioRecord());
    return true;
}

void CAudioSystem::StopRecord() {
    if (!record_) return;
    record_.reset();
    recordMix_.clear();
    device_.SetPaused(false);
}

void CAudioSystem::RecordEnds() {
    record_->CheckEnds([this](AudioChannelId channel) {
        bool playing = false;
        return mixer_->IsPlaying(channel, &playing) == AUDIO_OK && playing;
    });
}

int CAudioSystem::Close() {
    device_.Close();  // no callback runs after this
    record_.reset();
    recordMix_.clear();
    mixer_.reset();
    sounds_.clear();
    return AUDIO_OK;
}

int CAudioSystem::CreateSoundFromMemory(const void* data, size_t size, CAudioSound** out) {
    if (!out) return AUDIO_ERR_INVALID_PARAM;
    *out = nullptr;
    if (!mixer_) return AUDIO_ERR_UNINITIALIZED;
    if (!data || size == 0) return AUDIO_ERR_INVALID_PARAM;
    AudioPcm pcm;
    const int r = AudioDecodeMemory(data, size, &pcm);
    if (r != AUDIO_OK) return r;
    sounds_.emplace_back(new CAudioSound(std::move(pcm)));
    *out = sounds_.back().get();
    return AUDIO_OK;
}

int CAudioSystem::CreateSoundFromFile(const char* path, CAudioSound** out) {
    if (!out) return AUDIO_ERR_INVALID_PARAM;
    *out = nullptr;
    if (!mixer_) return AUDIO_ERR_UNINITIALIZED;
    if (!path) return AUDIO_ERR_INVALID_PARAM;
    FILE* f = PlatformOpenForReading(path);
    if (!f) return AUDIO_ERR_FILE_NOT_FOUND;
    std::vector<uint8_t> bytes;
    long size = -1;
    if (fseek(f, 0, SEEK_END) == 0) size = ftell(f);
    if (size <= 0 || size > kMaxFileBytes || fseek(f, 0, SEEK_SET) != 0) {
        fclose(f);
        return size > kMaxFileBytes ? AUDIO_ERR_MEMORY : AUDIO_ERR_FILE_BAD;
    }
    bytes.resize(static_cast<size_t>(size));
    const size_t got = fread(bytes.data(), 1, bytes.size(), f);
    fclose(f);
    if (got != bytes.size()) return AUDIO_ERR_FILE_BAD;
    return CreateSoundFromMemory(bytes.data(), bytes.size(), out);
}

bool CAudioSystem::OwnsSound(const CAudioSound* sound) const {
    if (!sound) return false;
    for (const auto& s : sounds_)
        if (s.get() == sound) return true;
    return false;
}

int CAudioSystem::ReleaseSound(CAudioSound* sound) {
    if (!OwnsSound(sound)) return AUDIO_ERR_INVALID_HANDLE;
    device_.Lock();
    if (mixer_) mixer_->StopSound(sound);
    device_.Unlock();
    for (size_t i = 0; i < sounds_.size(); ++i) {
        if (sounds_[i].get() == sound) {
            sounds_.erase(sounds_.begin() + static_cast<long>(i));
            break;
        }
    }
    return AUDIO_OK;
}

int CAudioSystem::PlaySound(CAudioSound* sound, bool paused, bool loop, AudioChannelId* out) {
    if (out) *out = 0;
    if (!mixer_) return AUDIO_ERR_UNINITIALIZED;
    if (!OwnsSound(sound)) return AUDIO_ERR_INVALID_HANDLE;
    AudioChannelId channel = 0;
    const int r = Locked(device_, [&] { return mixer_->Play(sound, paused, loop, out ? &channel : nullptr); });
    if (out) *out = channel;
    if (record_ && r == AUDIO_OK) {
        RecordEnds();  // a channel given to this start ends here
        record_->Started(sound, channel, loop);
    }
    return r;
}

int CAudioSystem::SetVolume(AudioChannelId channel, float volume) {
    if (!mixer_) return AUDIO_ERR_UNINITIALIZED;
    return Locked(device_, [&] { return mixer_->SetVolume(channel, volume); });
}

int CAudioSystem::GetVolume(AudioChannelId channel, float* volume) {
    if (!mixer_) return AUDIO_ERR_UNINITIALIZED;
    return Locked(device_, [&] { return mixer_->GetVolume(channel, volume); });
}

int CAudioSystem::SetFrequency(AudioChannelId channel, float frequency) {
    if (!mixer_) return AUDIO_ERR_UNINITIALIZED;
    return Locked(device_, [&] { return mixer_->SetFrequency(channel, frequency); });
}

int CAudioSystem::GetFrequency(AudioChannelId channel, float* frequency) {
    if (!mixer_) return AUDIO_ERR_UNINITIALIZED;
    return Locked(device_, [&] { return mixer_->GetFrequency(channel, frequency); });
}

int CAudioSystem::SetPaused(AudioChannelId channel, bool paused) {
    if (!mixer_) return AUDIO_ERR_UNINITIALIZED;
    return Locked(device_, [&] { return mixer_->SetPaused(channel, paused); });
}

int CAudioSystem::GetLoop(AudioChannelId channel, bool* loop) {
    if (!mixer_) return AUDIO_ERR_UNINITIALIZED;
    return Locked(device_, [&] { return mixer_->GetLoop(channel, loop); });
}

int CAudioSystem::Stop(AudioChannelId channel) {
    if (!mixer_) return AUDIO_ERR_UNINITIALIZED;
    const int r = Locked(device_, [&] { return mixer_->Stop(channel); });
    if (record_ && r == AUDIO_OK) record_->Stopped(channel);
    return r;
}

int CAudioSystem::IsPlaying(AudioChannelId channel, bool* playing) {
    if (playing) *playing = false;
    if (!mixer_) return AUDIO_ERR_UNINITIALIZED;
    return Locked(device_, [&] { return mixer_->IsPlaying(channel, playing); });
}

int CAudioSystem::GetCurrentSound(AudioChannelId channel, CAudioSound** sound) {
    if (sound) *sound = nullptr;
    if (!mixer_) return AUDIO_ERR_UNINITIALIZED;
    const CAudioSound* found = nullptr;
    const int r = Locked(device_, [&] { return mixer_->GetCurrentSound(channel, &found); });
    // The mixer only ever holds sounds this system owns.
    if (sound) *sound = const_cast<CAudioSound*>(found);
    return r;
}
