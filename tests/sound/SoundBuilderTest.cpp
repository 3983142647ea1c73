// The parts of the sound pack builder: recipes, note patterns, encoding.
#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <vector>

#include "platform/AudioDecode.h"
#include "platform/AudioResult.h"
#include "sounds/EffectRecipes.h"
#include "sounds/MusicTrack.h"
#include "sounds/Synth.h"
#include "sounds/VorbisEncode.h"
#include "tests/sound/SoundTestSupport.h"

namespace {
bool EndsWith(const std::string& s, const std::string& tail) {
    return s.size() >= tail.size() && s.compare(s.size() - tail.size(), tail.size(), tail) == 0;
}
}  // namespace

TEST(SoundBuilder, EveryEffectNameHasARecipeAndRendersTheSameTwice) {
    int effects = 0;
    for (const std::string& name : SoundNames()) {
        if (EndsWith(name, ".oxm")) continue;
        SCOPED_TRACE(name);
        SynthBuffer a, b;
        bool loopsA = false, loopsB = false;
        ASSERT_TRUE(SynthesizeEffect(name, 22050, &a, &loopsA));
        ASSERT_TRUE(SynthesizeEffect(name, 22050, &b, &loopsB));
        EXPECT_EQ(a.s, b.s);
        EXPECT_EQ(loopsA, loopsB);
        float peak = 0;
        for (float x : a.s) peak = std::max(peak, std::fabs(x));
        EXPECT_LE(peak, 0.8f + 1e-4f);  // normalized with headroom
        EXPECT_GT(peak, 0.3f);
        ++effects;
    }
    EXPECT_EQ(88, effects);
    SynthBuffer none;
    bool loops = false;
    EXPECT_FALSE(SynthesizeEffect("no_such_effect.ogg", 22050, &none, &loops));
}

TEST(SoundBuilder, VariantsOfAFamilyDiffer) {
    SynthBuffer a, b;
    bool loops = false;
    ASSERT_TRUE(SynthesizeEffect("bot_footstep1.ogg", 22050, &a, &loops));
    ASSERT_TRUE(SynthesizeEffect("bot_footstep12.ogg", 22050, &b, &loops));
    EXPECT_NE(a.s, b.s);
}

TEST(SoundBuilder, MusicLengthIsTheBarsAtTheTempo) {
    const std::string source =
        "bpm 120\nbars 2\nvoice lead sine 0.5 0 0.01 0.5 0.1\nplay lead C4/4 E4/4 G4/8 # a comment\n"
        "drums k...s...\n";
    SynthBuffer left, right;
    std::string error;
    ASSERT_TRUE(RenderMusic(source, 8000, &left, &right, &error)) << error;
    // Two bars of 4/4 at 120 beats a minute: 4 seconds.
    EXPECT_EQ(32000u, left.s.size());
    EXPECT_EQ(left.s.size(), right.s.size());
}

TEST(SoundBuilder, NoteTailsWrapIntoTheStart) {
    // One long note starting on the last sixteenth: its tail must sound at
    // the start of the loop, not be cut off at the end.
    const std::string source = "bpm 120\nbars 1\nvoice pad sine 0.5 0 0.01 1.0 0.0\nplay pad -/15 A4/9\n";
    SynthBuffer left, right;
    std::string error;
    ASSERT_TRUE(RenderMusic(source, 8000, &left, &right, &error)) << error;
    float early = 0;
    for (size_t i = 0; i < 2000; ++i) early = std::max(early, std::fabs(left.s[i]));
    EXPECT_GT(early, 0.1f);
}

TEST(SoundBuilder, BadSourcesAreRefusedWithTheirLine) {
    SynthBuffer left, right;
    std::string error;
    EXPECT_FALSE(RenderMusic("bpm 100\nplay lead C4/4\n", 8000, &left, &right, &error));
    EXPECT_NE(std::string::npos, error.find("line 2"));
    EXPECT_FALSE(RenderMusic("voice a sine 0.5 0 0.01 0.5 0.1\nplay a H4/4\n", 8000, &left, &right, &error));
    EXPECT_FALSE(RenderMusic("voice a sine 0.5 0 0.01 0.5 0.1\nplay a C4/0\n", 8000, &left, &right, &error));
    EXPECT_FALSE(RenderMusic("voice a buzz 0.5 0 0.01 0.5 0.1\n", 8000, &left, &right, &error));
    EXPECT_FALSE(RenderMusic("bpm 5\n", 8000, &left, &right, &error));
    EXPECT_FALSE(RenderMusic("tempo 100\n", 8000, &left, &right, &error));
    // Every number is the whole word, as every number the program reads.
    for (const char* source : {"bpm 100x\n", "bars +2\n", "drumvol 0.3v\n", "voice a sine 0.5 0 0.01 0.5 0.1s\n",
                               "voice a sine 0.5 0 0.01 0.5 0.1 lowpass 900Hz\n",
                               "voice a sine 0.5 0 0.01 0.5 0.1\nplay a C4/4.5\n"})
        EXPECT_FALSE(RenderMusic(std::string(source) + "voice b sine 0.5 0 0.01 0.5 0.1\nplay b C4/16\n", 8000, &left,
                                 &right, &error))
            << source;
    // Sections that name themselves end instead of expanding forever.
    EXPECT_FALSE(RenderMusic("voice a sine 0.5 0 0.01 0.5 0.1\nsection x x\nplay a x\n", 8000, &left, &right, &error));
    // Nothing but rests is silent: refused.
    EXPECT_FALSE(RenderMusic("voice a sine 0.5 0 0.01 0.5 0.1\nplay a -/16\n", 8000, &left, &right, &error));
}

TEST(SoundBuilder, SharpsAreNotComments) {
    SynthBuffer left, right;
    std::string error;
    EXPECT_TRUE(RenderMusic("bars 1\nvoice a sine 0.5 0 0.01 0.5 0.1\nplay a F#4/16\n", 8000, &left, &right, &error))
        << error;
}

TEST(SoundBuilder, VorbisRoundTripKeepsLengthAndShape) {
    std::vector<float> tone(11025);
    for (size_t i = 0; i < tone.size(); ++i) tone[i] = 0.5f * std::sin(2 * 3.14159265f * 440.0f * i / 22050.0f);
    std::vector<uint8_t> a, b;
    ASSERT_TRUE(EncodeVorbis(tone, 1, 22050, 0.3f, &a));
    ASSERT_TRUE(EncodeVorbis(tone, 1, 22050, 0.3f, &b));
    EXPECT_EQ(a, b);  // the same samples give the same bytes
    AudioPcm pcm;
    ASSERT_EQ(AUDIO_OK, AudioDecodeMemory(a.data(), a.size(), &pcm));
    EXPECT_EQ(1, pcm.channels);
    EXPECT_EQ(22050, pcm.rate);
    ASSERT_EQ(tone.size(), pcm.Frames());
    double err = 0, sig = 0;
    for (size_t i = 0; i < tone.size(); ++i) {
        const double d = pcm.samples[i] / 32768.0 - tone[i];
        err += d * d;
        sig += static_cast<double>(tone[i]) * tone[i];
    }
    EXPECT_LT(err / sig, 0.01);  // better than 20 dB signal to noise

    std::vector<float> stereo(2000, 0.25f);
    ASSERT_TRUE(EncodeVorbis(stereo, 2, 22050, 0.2f, &a));
    ASSERT_EQ(AUDIO_OK, AudioDecodeMemory(a.data(), a.size(), &pcm));
    EXPECT_EQ(2, pcm.channels);
    EXPECT_EQ(1000u, pcm.Frames());
    EXPECT_FALSE(EncodeVorbis({}, 1, 22050, 0.3f, &a));
    EXPECT_FALSE(EncodeVorbis(tone, 3, 22050, 0.3f, &a));
}

TEST(SoundBuilder, MakeLoopJoinsEndToStart) {
    SynthBuffer b = SynthMake(8000, 1.0);
    SynthVoice v;
    v.wave = SynthWave::Noise;
    v.decay = 0;
    v.attack = 0;
    SynthRender(b, 0, 1.0, v, true);
    const std::vector<float> before = b.s;
    SynthMakeLoop(b, 0.05);
    EXPECT_EQ(8000u - 400u, b.s.size());
    // The end now runs on into the start exactly as it ran on before.
    EXPECT_FLOAT_EQ(before[7600], b.s[0]);
}
