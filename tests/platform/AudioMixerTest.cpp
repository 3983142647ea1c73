// The mixing core without a device: lengths, loops, volume, frequency,
// pausing, and handles to channels that were given to another sound.
#include <gtest/gtest.h>

#include <vector>

#include "platform/AudioResult.h"
#include "platform/CAudioMixer.h"
#include "platform/CAudioSound.h"

namespace {

constexpr int kRate = 8000;

// A mono sound of frames samples all equal to value.
CAudioSound Constant(size_t frames, int16_t value, int rate = kRate) {
    AudioPcm pcm;
    pcm.channels = 1;
    pcm.rate = rate;
    pcm.samples.assign(frames, value);
    return CAudioSound(std::move(pcm));
}

// Mixes frames frames and returns the left samples.
std::vector<int16_t> MixLeft(CAudioMixer& mixer, int frames) {
    std::vector<int16_t> out(static_cast<size_t>(frames) * 2);
    mixer.Mix(out.data(), frames);
    std::vector<int16_t> left;
    for (int i = 0; i < frames; ++i) left.push_back(out[static_cast<size_t>(i) * 2]);
    return left;
}

// How many leading samples are non-zero.
int SoundingFrames(const std::vector<int16_t>& s) {
    int n = 0;
    while (n < static_cast<int>(s.size()) && s[static_cast<size_t>(n)] != 0) ++n;
    return n;
}

bool Playing(const CAudioMixer& mixer, AudioChannelId id) {
    bool playing = false;
    mixer.IsPlaying(id, &playing);
    return playing;
}

}  // namespace

TEST(AudioMixer, OneShotEndsByItselfAfterItsLength) {
    CAudioMixer mixer(kRate, 8);
    CAudioSound sound = Constant(100, 1000);
    AudioChannelId id = 0;
    ASSERT_EQ(AUDIO_OK, mixer.Play(&sound, false, false, &id));
    EXPECT_TRUE(Playing(mixer, id));
    const std::vector<int16_t> left = MixLeft(mixer, 300);
    EXPECT_EQ(100, SoundingFrames(left));
    EXPECT_EQ(0, left[150]);
    EXPECT_FALSE(Playing(mixer, id));
    EXPECT_EQ(0, mixer.BusyChannels());
}

TEST(AudioMixer, OneShotEndsExactlyAtItsLastFrame) {
    CAudioMixer mixer(kRate, 8);
    CAudioSound sound = Constant(100, 1000);
    AudioChannelId id = 0;
    ASSERT_EQ(AUDIO_OK, mixer.Play(&sound, false, false, &id));
    MixLeft(mixer, 99);
    EXPECT_TRUE(Playing(mixer, id));
    MixLeft(mixer, 1);
    EXPECT_FALSE(Playing(mixer, id));
}

TEST(AudioMixer, LoopKeepsPlayingAndWrapsToTheStart) {
    CAudioMixer mixer(kRate, 8);
    AudioPcm pcm;
    pcm.channels = 1;
    pcm.rate = kRate;
    for (int i = 0; i < 10; ++i) pcm.samples.push_back(static_cast<int16_t>((i + 1) * 100));
    CAudioSound sound(std::move(pcm));
    AudioChannelId id = 0;
    ASSERT_EQ(AUDIO_OK, mixer.Play(&sound, false, true, &id));
    const std::vector<int16_t> left = MixLeft(mixer, 1000);
    EXPECT_TRUE(Playing(mixer, id));
    for (int i = 0; i < 1000; ++i) ASSERT_EQ((i % 10 + 1) * 100, left[static_cast<size_t>(i)]) << i;
}

TEST(AudioMixer, LoopingIsChosenPerStart) {
    CAudioMixer mixer(kRate, 8);
    CAudioSound sound = Constant(50, 1000);
    AudioChannelId looped = 0, once = 0;
    ASSERT_EQ(AUDIO_OK, mixer.Play(&sound, false, true, &looped));
    ASSERT_EQ(AUDIO_OK, mixer.Stop(looped));
    ASSERT_EQ(AUDIO_OK, mixer.Play(&sound, false, false, &once));
    MixLeft(mixer, 200);
    EXPECT_FALSE(Playing(mixer, once));
}

TEST(AudioMixer, HalfVolumeHalvesTheSamples) {
    CAudioMixer mixer(kRate, 8);
    CAudioSound sound = Constant(100, 10000);
    AudioChannelId id = 0;
    ASSERT_EQ(AUDIO_OK, mixer.Play(&sound, false, false, &id));
    ASSERT_EQ(AUDIO_OK, mixer.SetVolume(id, 0.5f));
    std::vector<int16_t> out(20);
    mixer.Mix(out.data(), 10);
    for (int16_t s : out) EXPECT_EQ(5000, s);
    float v = 0;
    EXPECT_EQ(AUDIO_OK, mixer.GetVolume(id, &v));
    EXPECT_FLOAT_EQ(0.5f, v);
    // Out of range is clamped, not refused.
    EXPECT_EQ(AUDIO_OK, mixer.SetVolume(id, 3.0f));
    mixer.GetVolume(id, &v);
    EXPECT_FLOAT_EQ(1.0f, v);
}

TEST(AudioMixer, DoubleFrequencyHalvesTheDuration) {
    CAudioMixer mixer(kRate, 8);
    CAudioSound sound = Constant(200, 1000);
    AudioChannelId id = 0;
    ASSERT_EQ(AUDIO_OK, mixer.Play(&sound, true, false, &id));
    float f = 0;
    ASSERT_EQ(AUDIO_OK, mixer.GetFrequency(id, &f));
    EXPECT_FLOAT_EQ(static_cast<float>(kRate), f);
    ASSERT_EQ(AUDIO_OK, mixer.SetFrequency(id, f * 2));
    ASSERT_EQ(AUDIO_OK, mixer.SetPaused(id, false));
    EXPECT_EQ(100, SoundingFrames(MixLeft(mixer, 400)));
    EXPECT_FALSE(Playing(mixer, id));
    EXPECT_EQ(AUDIO_ERR_INVALID_PARAM, mixer.SetFrequency(id, 0.0f));
}

TEST(AudioMixer, SoundRateDifferentFromOutputIsResampled) {
    CAudioMixer mixer(kRate, 8);
    CAudioSound sound = Constant(100, 1000, kRate / 2);
    AudioChannelId id = 0;
    ASSERT_EQ(AUDIO_OK, mixer.Play(&sound, false, false, &id));
    EXPECT_EQ(200, SoundingFrames(MixLeft(mixer, 400)));
}

TEST(AudioMixer, PauseHoldsThePosition) {
    CAudioMixer mixer(kRate, 8);
    AudioPcm pcm;
    pcm.channels = 1;
    pcm.rate = kRate;
    for (int i = 0; i < 100; ++i) pcm.samples.push_back(static_cast<int16_t>(i + 1));
    CAudioSound sound(std::move(pcm));
    AudioChannelId id = 0;
    ASSERT_EQ(AUDIO_OK, mixer.Play(&sound, true, false, &id));
    // Started paused: silent, but it counts as playing.
    EXPECT_EQ(0, SoundingFrames(MixLeft(mixer, 50)));
    EXPECT_TRUE(Playing(mixer, id));
    mixer.SetPaused(id, false);
    std::vector<int16_t> a = MixLeft(mixer, 30);
    EXPECT_EQ(1, a[0]);
    EXPECT_EQ(30, a[29]);
    mixer.SetPaused(id, true);
    EXPECT_EQ(0, SoundingFrames(MixLeft(mixer, 500)));
    bool paused = false;
    mixer.GetPaused(id, &paused);
    EXPECT_TRUE(paused);
    mixer.SetPaused(id, false);
    std::vector<int16_t> b = MixLeft(mixer, 10);
    EXPECT_EQ(31, b[0]);
}

TEST(AudioMixer, StoppedChannelIsSilentAndNotPlaying) {
    CAudioMixer mixer(kRate, 8);
    CAudioSound sound = Constant(100, 1000);
    AudioChannelId id = 0;
    mixer.Play(&sound, false, true, &id);
    EXPECT_EQ(AUDIO_OK, mixer.Stop(id));
    EXPECT_FALSE(Playing(mixer, id));
    EXPECT_EQ(0, SoundingFrames(MixLeft(mixer, 10)));
}

TEST(AudioMixer, AllBusyStealsTheOldestAndItsHandleGoesStale) {
    CAudioMixer mixer(kRate, 3);
    CAudioSound a = Constant(100, 1), b = Constant(100, 2);
    AudioChannelId ids[3] = {0, 0, 0};
    for (AudioChannelId& id : ids) ASSERT_EQ(AUDIO_OK, mixer.Play(&a, false, true, &id));
    AudioChannelId newest = 0;
    ASSERT_EQ(AUDIO_OK, mixer.Play(&b, false, false, &newest));
    EXPECT_EQ(ids[0] & 0xFFF, newest & 0xFFF);  // the first one's slot
    EXPECT_NE(ids[0], newest);
    bool playing = true;
    EXPECT_EQ(AUDIO_ERR_CHANNEL_STOLEN, mixer.IsPlaying(ids[0], &playing));
    EXPECT_FALSE(playing);
    const CAudioSound* current = nullptr;
    EXPECT_EQ(AUDIO_ERR_CHANNEL_STOLEN, mixer.GetCurrentSound(ids[0], &current));
    EXPECT_EQ(AUDIO_ERR_CHANNEL_STOLEN, mixer.SetVolume(ids[0], 0.2f));
    EXPECT_EQ(AUDIO_ERR_CHANNEL_STOLEN, mixer.Stop(ids[0]));
    EXPECT_TRUE(Playing(mixer, newest));
    EXPECT_TRUE(Playing(mixer, ids[1]));
    EXPECT_EQ(AUDIO_OK, mixer.GetCurrentSound(newest, &current));
    EXPECT_EQ(&b, current);
    // The next start takes the second oldest.
    AudioChannelId again = 0;
    mixer.Play(&b, false, false, &again);
    EXPECT_EQ(AUDIO_ERR_CHANNEL_STOLEN, mixer.IsPlaying(ids[1], &playing));
}

TEST(AudioMixer, FreeChannelIsReusedWithANewHandle) {
    CAudioMixer mixer(kRate, 1);
    CAudioSound a = Constant(10, 1);
    AudioChannelId first = 0, second = 0;
    mixer.Play(&a, false, false, &first);
    MixLeft(mixer, 20);
    mixer.Play(&a, false, false, &second);
    EXPECT_NE(first, second);
    bool playing = true;
    EXPECT_EQ(AUDIO_ERR_CHANNEL_STOLEN, mixer.IsPlaying(first, &playing));
    EXPECT_FALSE(playing);
}

TEST(AudioMixer, BadHandlesAreRefused) {
    CAudioMixer mixer(kRate, 4);
    bool playing = true;
    EXPECT_EQ(AUDIO_ERR_INVALID_HANDLE, mixer.IsPlaying(0, &playing));
    EXPECT_EQ(AUDIO_ERR_INVALID_HANDLE, mixer.Stop(0xFFFFFFFFu));
    AudioChannelId id = 5;
    EXPECT_EQ(AUDIO_ERR_INVALID_HANDLE, mixer.Play(nullptr, false, false, &id));
    EXPECT_EQ(0u, id);
}

TEST(AudioMixer, StereoSoundsKeepTheirSidesAndTheSumIsClamped) {
    CAudioMixer mixer(kRate, 8);
    AudioPcm pcm;
    pcm.channels = 2;
    pcm.rate = kRate;
    for (int i = 0; i < 10; ++i) {
        pcm.samples.push_back(30000);
        pcm.samples.push_back(-30000);
    }
    CAudioSound sound(std::move(pcm));
    AudioChannelId x = 0, y = 0;
    mixer.Play(&sound, false, false, &x);
    mixer.Play(&sound, false, false, &y);
    std::vector<int16_t> out(20);
    mixer.Mix(out.data(), 10);
    EXPECT_EQ(32767, out[0]);
    EXPECT_EQ(-32768, out[1]);
}

TEST(AudioMixer, ErrorStringsCoverTheCodes) {
    EXPECT_STREQ("Unknown error.", AudioErrorString(9999));
    EXPECT_STREQ("Unknown error.", AudioErrorString(-1));
    for (int r = AUDIO_ERR_INVALID_PARAM; r <= AUDIO_ERR_MEMORY; ++r) EXPECT_STRNE("Unknown error.", AudioErrorString(r));
}

TEST(AudioDecode, RefusesBytesThatAreNotOgg) {
    AudioPcm pcm;
    const char riff[] = "RIFF....WAVEfmt ";
    EXPECT_EQ(AUDIO_ERR_FORMAT, AudioDecodeMemory(riff, sizeof riff, &pcm));
    const char ogg[] = "OggS but nothing after it that a decoder could use";
    EXPECT_EQ(AUDIO_ERR_FILE_BAD, AudioDecodeMemory(ogg, sizeof ogg, &pcm));
    EXPECT_TRUE(pcm.samples.empty());
    EXPECT_EQ(AUDIO_ERR_FORMAT, AudioDecodeMemory("Og", 2, &pcm));
}

TEST(AudioMixer, VolumeChangesGlideInsteadOfJumping) {
    CAudioMixer mixer(kRate, 8);
    CAudioSound sound = Constant(4000, 10000);
    AudioChannelId id = 0;
    ASSERT_EQ(AUDIO_OK, mixer.Play(&sound, false, false, &id));
    MixLeft(mixer, 10);
    mixer.SetVolume(id, 0.0f);
    const std::vector<int16_t> left = MixLeft(mixer, CAudioMixer::kVolumeGlideFrames + 10);
    for (size_t i = 1; i < left.size(); ++i) ASSERT_LE(left[i], left[i - 1]) << i;
    EXPECT_GT(left[0], 9000);
    EXPECT_EQ(0, left[CAudioMixer::kVolumeGlideFrames]);
}
