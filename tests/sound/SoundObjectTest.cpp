// Sound objects on the generated pack: starts, delays, fades, master volumes
// and the group operations on effects.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "engine/CPackFile.h"
#include "engine/ResourceFiles.h"
#include "platform/CAudioSystem.h"
#include "platform/Platform.h"
#include "sound/CSound.h"
#include "sound/CSoundObject.h"
#include "tests/sound/SoundTestSupport.h"

namespace {

bool ChannelPlays(AudioChannelId channel) {
    bool playing = false;
    return CSound::System()->IsPlaying(channel, &playing) == 0 && playing;
}

float ChannelVolume(AudioChannelId channel) {
    float v = -1;
    CSound::System()->GetVolume(channel, &v);
    return v;
}

bool ChannelLoops(AudioChannelId channel) {
    bool loop = false;
    CSound::System()->GetLoop(channel, &loop);
    return loop;
}

}  // namespace

TEST_F(SoundSystemTest, PlayStartsAtTheObjectsVolume) {
    CSound::SetEffectsVolume(0.5f);
    CSoundObject victory("victory.ogg", false);
    EXPECT_FLOAT_EQ(0.5f, CSound::GetVolume(&victory));
    EXPECT_FALSE(CSound::IsPlaying(&victory));
    CSound::Play(&victory, false, 0, 0.0f);
    EXPECT_TRUE(CSound::IsPlaying(&victory));
    EXPECT_FLOAT_EQ(0.5f, ChannelVolume(victory.Channel()));
    EXPECT_FALSE(ChannelLoops(victory.Channel()));
    CSound::StopChannel(&victory);
    EXPECT_FALSE(CSound::IsPlaying(&victory));
}

TEST_F(SoundSystemTest, EffectsMasterAtZeroStopsOneShotsButNotLoops) {
    CSound::SetEffectsVolume(0.0f);
    CSoundObject once("victory.ogg", false);
    CSound::Play(&once, false, 5, 0.0f);
    EXPECT_FALSE(CSound::IsPlaying(&once));
    EXPECT_FALSE(CSound::IsDelayed(&once));
    CSoundObject loop("object_slide.ogg", false);
    CSound::Play(&loop, true, 0, 0.0f);
    EXPECT_TRUE(CSound::IsPlaying(&loop));
    EXPECT_FLOAT_EQ(0.0f, ChannelVolume(loop.Channel()));
}

TEST_F(SoundSystemTest, DelayedStartPlaysOnceAtItsFrameWithoutLoop) {
    CSoundObject arrival("victory.ogg", false);
    CSound::Play(&arrival, true, 4, 2.0f);
    EXPECT_TRUE(CSound::IsDelayed(&arrival));
    EXPECT_FALSE(CSound::IsPlaying(&arrival));
    Frames(3);
    EXPECT_FALSE(CSound::IsPlaying(&arrival));
    Frames(1);
    EXPECT_FALSE(CSound::IsDelayed(&arrival));
    EXPECT_TRUE(CSound::IsPlaying(&arrival));
    EXPECT_FALSE(arrival.IsLooping());
    EXPECT_FALSE(ChannelLoops(arrival.Channel()));
    float f = 0;
    CSound::System()->GetFrequency(arrival.Channel(), &f);
    EXPECT_FLOAT_EQ(44100.0f, f);
}

TEST_F(SoundSystemTest, FrequencyFactorScalesThePitch) {
    CSoundObject rebound("victory.ogg", false);
    CSound::Play(&rebound, false, 0, 1.5f);
    float f = 0;
    ASSERT_EQ(0, CSound::System()->GetFrequency(rebound.Channel(), &f));
    EXPECT_FLOAT_EQ(44100.0f * 1.5f, f);
}

TEST_F(SoundSystemTest, LoopingIsChosenPerStart) {
    CSoundObject slide("object_slide.ogg", false);
    CSound::Play(&slide, true, 0, 0.0f);
    EXPECT_TRUE(ChannelLoops(slide.Channel()));
    CSound::StopChannel(&slide);
    CSound::Play(&slide, false, 0, 0.0f);
    EXPECT_FALSE(slide.IsLooping());
    EXPECT_FALSE(ChannelLoops(slide.Channel()));
}

TEST_F(SoundSystemTest, RestartingALoopStopsItsEarlierChannel) {
    CSoundObject slide("object_slide.ogg", false);
    CSound::Play(&slide, true, 0, 0.0f);
    const AudioChannelId first = slide.Channel();
    CSound::Play(&slide, true, 0, 0.0f);
    EXPECT_NE(first, slide.Channel());
    EXPECT_FALSE(ChannelPlays(first));
    EXPECT_TRUE(CSound::IsPlaying(&slide));
}

TEST_F(SoundSystemTest, RepeatedOneShotsOverlap) {
    CSoundObject victory("victory.ogg", false);
    CSound::Play(&victory, false, 0, 0.0f);
    const AudioChannelId first = victory.Channel();
    CSound::Play(&victory, false, 0, 0.0f);
    EXPECT_NE(first, victory.Channel());
    EXPECT_TRUE(ChannelPlays(first));
    EXPECT_TRUE(ChannelPlays(victory.Channel()));
}

TEST_F(SoundSystemTest, VolumeSetBeforeTheFirstStartAppliesWhenItPlays) {
    CSoundObject victory("victory.ogg", false);
    CSound::SetVolume(&victory, 0.25f);
    EXPECT_FLOAT_EQ(0.25f, CSound::GetVolume(&victory));
    CSound::Play(&victory, false, 0, 0.0f);
    EXPECT_FLOAT_EQ(0.25f, ChannelVolume(victory.Channel()));
    // A master change reaches objects that never played too.
    CSoundObject idle("map_dot.ogg", false);
    CSound::SetEffectsVolume(0.4f);
    EXPECT_FLOAT_EQ(0.4f, CSound::GetVolume(&idle));
}

TEST_F(SoundSystemTest, FadeInReachesTheMasterOnItsLastStep) {
    CSound::SetEffectsVolume(0.6f);
    CSoundObject slide("object_slide.ogg", false);
    CSound::FadeIn(&slide, 30);
    CSound::Play(&slide, true, 0, 0.0f);
    EXPECT_FLOAT_EQ(0.0f, ChannelVolume(slide.Channel()));
    for (int k = 1; k <= 30; ++k) {
        Frames(1);
        ASSERT_NEAR(0.6f * k / 30, CSound::GetVolume(&slide), 1e-5) << k;
        ASSERT_NEAR(0.6f * k / 30, ChannelVolume(slide.Channel()), 1e-5) << k;
    }
    EXPECT_TRUE(CSound::IsFadingIn(&slide));  // the step at 0 runs once more
    Frames(1);
    EXPECT_FALSE(CSound::IsFadingIn(&slide));
    EXPECT_FLOAT_EQ(0.6f, CSound::GetVolume(&slide));
}

TEST_F(SoundSystemTest, OneShotFadedOutStopsAndReadsTheMasterAgain) {
    CSound::SetEffectsVolume(0.6f);
    CSoundObject victory("victory.ogg", false);
    CSound::Play(&victory, false, 0, 0.0f);
    CSound::FadeOut(&victory, 15);
    for (int k = 1; k < 15; ++k) {
        Frames(1);
        ASSERT_NEAR(0.6f * (15 - k) / 15, CSound::GetVolume(&victory), 1e-5) << k;
        ASSERT_TRUE(CSound::IsPlaying(&victory)) << k;
    }
    Frames(1);
    EXPECT_FALSE(CSound::IsPlaying(&victory));
    EXPECT_FLOAT_EQ(0.6f, CSound::GetVolume(&victory));
    EXPECT_TRUE(CSound::IsFadingOut(&victory));
    Frames(1);
    EXPECT_FALSE(CSound::IsFadingOut(&victory));
}

TEST_F(SoundSystemTest, NeverStartedObjectFadedOutIsAudibleAtItsNextStart) {
    CSoundObject victory("victory.ogg", false);
    CSound::FadeOut(&victory, 3);
    Frames(5);
    EXPECT_FLOAT_EQ(CSound::GetEffectsVolume(), CSound::GetVolume(&victory));
    CSound::Play(&victory, false, 0, 0.0f);
    EXPECT_FLOAT_EQ(CSound::GetEffectsVolume(), ChannelVolume(victory.Channel()));
}

TEST_F(SoundSystemTest, FadeOutEffectsMutesLoopsAndLetsOneShotsFinish) {
    CSoundObject slide("object_slide.ogg", false);
    CSoundObject victory("victory.ogg", false);
    CSound::Play(&slide, true, 0, 0.0f);
    CSound::Play(&victory, false, 0, 0.0f);
    const AudioChannelId loopChannel = slide.Channel();
    CSound::FadeOutEffects();
    EXPECT_TRUE(CSound::IsFadingOut(&slide));
    EXPECT_FALSE(CSound::IsFadingOut(&victory));
    Frames(11);
    EXPECT_TRUE(CSound::IsPlaying(&slide));  // silent, not stopped
    EXPECT_FLOAT_EQ(0.0f, CSound::GetVolume(&slide));
    EXPECT_FLOAT_EQ(0.0f, ChannelVolume(loopChannel));
    EXPECT_TRUE(CSound::IsPlaying(&victory));
    CSound::FadeInLoopingEffects();
    Frames(11);
    EXPECT_EQ(loopChannel, slide.Channel());  // not restarted
    EXPECT_FLOAT_EQ(CSound::GetEffectsVolume(), ChannelVolume(loopChannel));
}

TEST_F(SoundSystemTest, StopAllEffectsLeavesTheMusic) {
    CSoundObject slide("object_slide.ogg", false);
    CSound::Play(&slide, true, 0, 0.0f);
    CSound::PlayMainMusic();
    CSound::StopAllEffects();
    EXPECT_FALSE(CSound::IsPlaying(&slide));
    EXPECT_TRUE(CSound::IsPlaying(CSound::GetMusic(CSound::MUSIC_MAIN)));
}

TEST_F(SoundSystemTest, RemovedOrDeletedObjectsStopAndLeaveTheList) {
    CSoundObject* slide = new CSoundObject("object_slide.ogg", false);
    CSound::Play(slide, true, 0, 0.0f);
    const AudioChannelId channel = slide->Channel();
    CSound::RemoveSound(slide);
    EXPECT_FALSE(ChannelPlays(channel));
    delete slide;  // nothing left to do
    CSoundObject* stuck = new CSoundObject("stuck_ice.ogg", false);
    CSound::Play(stuck, true, 0, 0.0f);
    const AudioChannelId second = stuck->Channel();
    delete stuck;
    EXPECT_FALSE(ChannelPlays(second));
    Frames(3);
}

TEST_F(SoundSystemTest, AFailedSoundNeverAnswersWithAnotherSound) {
    const char junk[] = "OggS and nothing a decoder could use";
    const int32_t bad = CSound::CreateSound(junk, static_cast<int32_t>(sizeof junk));
    CPackFile pack;
    ASSERT_TRUE(pack.Load(kSoundPackFile));
    const CPackFile::Entry& e = pack.Entries()[0];
    const int32_t good = CSound::CreateSound(e.data, static_cast<int32_t>(e.size));
    EXPECT_NE(bad, good);
    EXPECT_EQ(bad + 1, good);
    EXPECT_GE(CountLogLines("Sound library error: "), 1);
}

TEST_F(SoundSystemTest, ADamagedPackIsRefused) {
    CTempDir dir;
    std::vector<uint8_t> bytes = ReadFileBytes(std::string(ZORV_RUN_DIR) + "/" + kSoundPackFile);
    ASSERT_GT(bytes.size(), 100u);
    // Cut short: the last entry runs past the end.
    std::vector<uint8_t> cut(bytes.begin(), bytes.end() - 10);
    ASSERT_TRUE(WriteFileBytes(dir.File("cut.dat"), cut));
    EXPECT_FALSE(CSound::LoadSoundPack(dir.File("cut.dat")));
    // A count far beyond the file.
    std::vector<uint8_t> count = bytes;
    count[3] = 0x7F;
    ASSERT_TRUE(WriteFileBytes(dir.File("count.dat"), count));
    EXPECT_FALSE(CSound::LoadSoundPack(dir.File("count.dat")));
    EXPECT_FALSE(CSound::LoadSoundPack(dir.File("missing.dat")));
}

TEST_F(SoundSystemTest, ADamagedPackEndsTheProgramWithItsMessage) {
    CTempDir dir;
    std::vector<uint8_t> bytes = ReadFileBytes(std::string(ZORV_RUN_DIR) + "/" + kSoundPackFile);
    bytes.resize(bytes.size() / 2);
    ASSERT_TRUE(WriteFileBytes(dir.File(kSoundPackFile), bytes));
    CScopedCwd here(dir.Path());
    EXPECT_EXIT(CSound::loadSound(), ::testing::ExitedWithCode(1), "");
    EXPECT_EQ(1, CountLogLines("Cannot load sound resource file!"));
}

TEST_F(SoundSystemTest, FolderModeWithoutTheFolderEndsTheProgram) {
    CTempDir dir;
    CScopedCwd here(dir.Path());
    CSound::SetLoadFromDirectory(true);
    EXPECT_EXIT(CSound::loadSound(), ::testing::ExitedWithCode(1), "");
    CSound::SetLoadFromDirectory(false);
    EXPECT_EQ(1, CountLogLines("Unable to preload sounds: Directory stream pointer was not opened."));
}

TEST_F(SoundSystemTest, FolderModeLoadsEveryFileByName) {
    CTempDir dir;
    ASSERT_TRUE(PlatformMakeDirs(dir.Path() + "/resource/sound"));
    CPackFile pack;
    ASSERT_TRUE(pack.Load(kSoundPackFile));
    for (size_t i = 0; i < 3; ++i) {
        const CPackFile::Entry& e = pack.Entries()[i];
        ASSERT_TRUE(WriteFileBytes(dir.Path() + "/resource/sound/" + e.name,
                                   std::vector<uint8_t>(e.data, e.data + e.size)));
    }
    // A file that does not decode keeps its own empty slot.
    ASSERT_TRUE(WriteFileText(dir.Path() + "/resource/sound/broken.ogg", "OggS, but nothing more"));
    CScopedCwd here(dir.Path());
    CSound::SetLoadFromDirectory(true);
    CSound::loadSound();
    CSound::SetLoadFromDirectory(false);
    CSoundObject found(pack.Entries()[1].name.c_str(), false);
    EXPECT_GE(found.SoundIndex(), 0);
    CSound::Play(&found, true, 0, 0.0f);
    EXPECT_TRUE(CSound::IsPlaying(&found));
    CSoundObject broken("broken.ogg", false);
    EXPECT_NE(found.SoundIndex(), broken.SoundIndex());
    CSound::Play(&broken, true, 0, 0.0f);
    EXPECT_FALSE(CSound::IsPlaying(&broken));
    EXPECT_EQ(0u, broken.Channel());
}

TEST_F(SoundSystemTest, UnknownOrMiscasedNameEndsTheProgram) {
    EXPECT_EXIT(CSoundObject("Victory.ogg", false), ::testing::ExitedWithCode(1), "");
    EXPECT_EQ(1, CountLogLines("Unable to find preloaded sound: Victory.ogg"));
}

TEST_F(SoundSystemTest, ImmediateStartLeavesAPendingDelayRunning) {
    CSoundObject victory("victory.ogg", false);
    CSound::Play(&victory, false, 5, 0.0f);
    Frames(2);
    CSound::Play(&victory, false, 3, 0.0f);  // replaces the remaining count
    CSound::Play(&victory, false, 0, 0.0f);
    const AudioChannelId first = victory.Channel();
    EXPECT_TRUE(CSound::IsPlaying(&victory));
    EXPECT_TRUE(CSound::IsDelayed(&victory));
    Frames(2);
    EXPECT_EQ(first, victory.Channel());
    Frames(1);
    EXPECT_FALSE(CSound::IsDelayed(&victory));
    EXPECT_NE(first, victory.Channel());
    EXPECT_TRUE(ChannelPlays(first));  // the earlier one-shot plays on
}

TEST_F(SoundSystemTest, APackNameTwiceAnswersWithItsFirstSound) {
    CPackFile source;
    ASSERT_TRUE(source.Load(kSoundPackFile));
    const CPackFile::Entry& a = source.Entries()[0];
    const CPackFile::Entry& b = source.Entries()[1];
    // Two entries under one name, built byte by byte in the pack layout.
    std::vector<uint8_t> bytes;
    auto u32 = [&bytes](uint32_t v) {
        for (int i = 0; i < 4; ++i) bytes.push_back(static_cast<uint8_t>(v >> (8 * i)));
    };
    const std::string name = "twice.ogg";
    const uint32_t first = 12, second = first + 8 + static_cast<uint32_t>(name.size()) + a.size;
    u32(2);
    u32(first);
    u32(second);
    for (const CPackFile::Entry* e : {&a, &b}) {
        u32(e->size);
        u32(static_cast<uint32_t>(name.size()));
        bytes.insert(bytes.end(), name.begin(), name.end());
        bytes.insert(bytes.end(), e->data, e->data + e->size);
    }
    CTempDir dir;
    ASSERT_TRUE(WriteFileBytes(dir.File("twice.dat"), bytes));
    const int32_t before = CSound::CreateSound(a.data, static_cast<int32_t>(a.size));
    ASSERT_TRUE(CSound::LoadSoundPack(dir.File("twice.dat")));
    CSoundObject twice("twice.ogg", false);
    EXPECT_EQ(before + 1, twice.SoundIndex());
    // The second entry still took a slot of its own.
    EXPECT_EQ(before + 3, CSound::CreateSound(a.data, static_cast<int32_t>(a.size)));
}
