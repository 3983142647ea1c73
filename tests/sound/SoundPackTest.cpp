// The generated sound pack: every name, each a real, audible Ogg Vorbis file.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstring>
#include <string>

#include "engine/CPackFile.h"
#include "engine/ResourceFiles.h"
#include "platform/AudioDecode.h"
#include "platform/AudioResult.h"
#include "sound/CSound.h"
#include "sound/CSoundObject.h"
#include "tests/sound/SoundTestSupport.h"

namespace {

bool EndsWith(const std::string& s, const std::string& tail) {
    return s.size() >= tail.size() && s.compare(s.size() - tail.size(), tail.size(), tail) == 0;
}

double Rms(const AudioPcm& pcm) {
    double sum = 0;
    for (int16_t s : pcm.samples) sum += static_cast<double>(s) * s;
    return std::sqrt(sum / static_cast<double>(pcm.samples.size())) / 32768.0;
}

}  // namespace

TEST(SoundPack, HoldsExactlyTheNamesTheGameAsksFor) {
    CPackFile pack;
    ASSERT_TRUE(pack.Load(std::string(ZORV_RUN_DIR) + "/" + kSoundPackFile)) << pack.Error();
    const std::vector<std::string> names = SoundNames();
    ASSERT_EQ(94u, names.size());
    ASSERT_EQ(names.size(), pack.Entries().size());
    int music = 0;
    for (size_t i = 0; i < names.size(); ++i) {
        EXPECT_EQ(names[i], pack.Entries()[i].name);
        music += EndsWith(names[i], ".oxm") ? 1 : 0;
    }
    EXPECT_EQ(6, music);
}

TEST(SoundPack, EverySoundDecodesLastsAndIsNotSilent) {
    CPackFile pack;
    ASSERT_TRUE(pack.Load(std::string(ZORV_RUN_DIR) + "/" + kSoundPackFile)) << pack.Error();
    for (const CPackFile::Entry& e : pack.Entries()) {
        SCOPED_TRACE(e.name);
        ASSERT_GE(e.size, 4u);
        EXPECT_EQ(0, memcmp(e.data, "OggS", 4));
        AudioPcm pcm;
        ASSERT_EQ(AUDIO_OK, AudioDecodeMemory(e.data, e.size, &pcm));
        ASSERT_GT(pcm.Frames(), 0u);
        EXPECT_GT(Rms(pcm), 0.02);
        const double seconds = static_cast<double>(pcm.Frames()) / pcm.rate;
        if (EndsWith(e.name, ".oxm")) {
            EXPECT_EQ(2, pcm.channels);
            EXPECT_GE(seconds, 40.0);
            EXPECT_LE(seconds, 60.0);
        } else {
            EXPECT_EQ(1, pcm.channels);
            EXPECT_GE(seconds, 0.05);
            EXPECT_LE(seconds, 3.0);
        }
    }
}

// A looping sound must join its end to its start without a jump: the step
// across the seam is no larger than the largest step inside the sound.
TEST(SoundPack, LoopingSoundsJoinWithoutAClick) {
    CPackFile pack;
    ASSERT_TRUE(pack.Load(std::string(ZORV_RUN_DIR) + "/" + kSoundPackFile)) << pack.Error();
    for (const CPackFile::Entry& e : pack.Entries()) {
        const bool loops = EndsWith(e.name, ".oxm") || e.name == "object_slide.ogg" ||
                           e.name == "object_slide_ice.ogg" || e.name == "object_barrel_roll.ogg" ||
                           e.name == "stuck_ice.ogg";
        if (!loops) continue;
        SCOPED_TRACE(e.name);
        AudioPcm pcm;
        ASSERT_EQ(AUDIO_OK, AudioDecodeMemory(e.data, e.size, &pcm));
        const size_t ch = static_cast<size_t>(pcm.channels);
        const size_t frames = pcm.Frames();
        int largest = 0;
        for (size_t i = 1; i < frames; ++i)
            for (size_t c = 0; c < ch; ++c)
                largest = std::max(largest, std::abs(pcm.samples[i * ch + c] - pcm.samples[(i - 1) * ch + c]));
        for (size_t c = 0; c < ch; ++c) {
            const int seam = std::abs(pcm.samples[c] - pcm.samples[(frames - 1) * ch + c]);
            EXPECT_LE(seam, largest);
        }
    }
}

TEST_F(SoundSystemTest, EveryNameLoadsAsASoundObject) {
    for (const std::string& name : SoundNames()) {
        SCOPED_TRACE(name);
        CSoundObject object(name.c_str(), EndsWith(name, ".oxm"));
        EXPECT_GE(object.SoundIndex(), 0);
        CSound::Play(&object, false, 0, 0.0f);
        EXPECT_NE(0u, object.Channel());
        CSound::StopChannel(&object);
    }
}
