// The six music tracks and their cross-fades, counted in frames.
#include <gtest/gtest.h>

#include "platform/CAudioSystem.h"
#include "sound/CSound.h"
#include "sound/CSoundObject.h"
#include "tests/sound/SoundTestSupport.h"

namespace {

CSoundObject* Track(int slot) { return CSound::GetMusic(slot); }

bool ChannelPlays(AudioChannelId channel) {
    bool playing = false;
    return CSound::System()->IsPlaying(channel, &playing) == 0 && playing;
}

}  // namespace

TEST_F(SoundSystemTest, SixTracksAreCreatedInOrder) {
    const char* names[] = {"main.oxm", "map.oxm", "story.oxm", "stage1.oxm", "stage2.oxm", "stage3.oxm"};
    for (int i = 0; i < CSound::MUSIC_COUNT; ++i) {
        ASSERT_NE(nullptr, Track(i));
        EXPECT_EQ(names[i], Track(i)->Name());
        EXPECT_TRUE(Track(i)->IsMusic());
        EXPECT_FLOAT_EQ(0.05f, CSound::GetVolume(Track(i)));
    }
    EXPECT_EQ(nullptr, CSound::GetCurrentMusic());
}

TEST_F(SoundSystemTest, MainTrackFadesInOverThirtyFramesAndLoops) {
    CSound::SetMusicVolume(0.5f);
    CSound::PlayMainMusic();
    CSoundObject* main = Track(CSound::MUSIC_MAIN);
    EXPECT_EQ(main, CSound::GetCurrentMusic());
    EXPECT_TRUE(CSound::IsPlaying(main));
    EXPECT_TRUE(main->IsLooping());
    for (int k = 1; k <= 30; ++k) {
        Frames(1);
        ASSERT_NEAR(0.5f * k / 30, CSound::GetVolume(main), 1e-5) << k;
    }
    Frames(1);
    EXPECT_FALSE(CSound::IsFadingIn(main));
    EXPECT_FLOAT_EQ(0.5f, CSound::GetVolume(main));
}

TEST_F(SoundSystemTest, MainToMapFadesOutInFifteenAndInInFive) {
    CSound::SetMusicVolume(0.5f);
    CSound::PlayMainMusic();
    Frames(31);
    CSoundObject* main = Track(CSound::MUSIC_MAIN);
    CSoundObject* map = Track(CSound::MUSIC_MAP);
    CSound::PlayMapMusic();
    EXPECT_EQ(map, CSound::GetCurrentMusic());
    EXPECT_TRUE(CSound::IsFadingOut(main));
    for (int k = 1; k <= 5; ++k) {
        Frames(1);
        ASSERT_NEAR(0.5f * k / 5, CSound::GetVolume(map), 1e-5) << k;
    }
    for (int k = 6; k < 15; ++k) {
        Frames(1);
        ASSERT_TRUE(CSound::IsPlaying(main)) << k;
        ASSERT_NEAR(0.5f * (15 - k) / 15, CSound::GetVolume(main), 1e-5) << k;
    }
    Frames(1);  // the fifteenth step stops it and restores the master
    EXPECT_FALSE(CSound::IsPlaying(main));
    EXPECT_FLOAT_EQ(0.5f, CSound::GetVolume(main));
    EXPECT_TRUE(CSound::IsPlaying(map));
    EXPECT_FLOAT_EQ(0.5f, CSound::GetVolume(map));
}

TEST_F(SoundSystemTest, AskingForTheCurrentTrackChangesNothing) {
    CSound::PlayMainMusic();
    Frames(10);
    CSoundObject* main = Track(CSound::MUSIC_MAIN);
    const AudioChannelId channel = main->Channel();
    const float volume = CSound::GetVolume(main);
    CSound::PlayMainMusic();
    EXPECT_EQ(channel, main->Channel());
    EXPECT_FLOAT_EQ(volume, CSound::GetVolume(main));
    EXPECT_TRUE(CSound::IsFadingIn(main));
}

TEST_F(SoundSystemTest, StageTracksCycleFromTheSecond) {
    CSound::PlayStageMusic(false);
    EXPECT_EQ(Track(CSound::MUSIC_STAGE2), CSound::GetCurrentMusic());
    CSound::PlayStageMusic(false);
    EXPECT_EQ(Track(CSound::MUSIC_STAGE3), CSound::GetCurrentMusic());
    CSound::PlayStageMusic(false);
    EXPECT_EQ(Track(CSound::MUSIC_STAGE1), CSound::GetCurrentMusic());
    CSound::PlayStageMusic(false);
    EXPECT_EQ(Track(CSound::MUSIC_STAGE2), CSound::GetCurrentMusic());
    // Back from the in-game menu: the same track runs on, not restarted.
    const AudioChannelId channel = Track(CSound::MUSIC_STAGE2)->Channel();
    CSound::PlayStageMusic(true);
    EXPECT_EQ(channel, Track(CSound::MUSIC_STAGE2)->Channel());
    EXPECT_TRUE(CSound::IsPlaying(Track(CSound::MUSIC_STAGE2)));
}

TEST_F(SoundSystemTest, FadeOutMusicLeavesNoCurrentTrack) {
    CSound::PlayMainMusic();
    Frames(31);
    CSound::FadeOutMusic();
    EXPECT_EQ(nullptr, CSound::GetCurrentMusic());
    EXPECT_TRUE(CSound::IsFadingOut(Track(CSound::MUSIC_MAIN)));
    Frames(16);
    EXPECT_FALSE(CSound::IsPlaying(Track(CSound::MUSIC_MAIN)));
    // The next menu's track fades in from silence with nothing to fade out.
    CSound::PlayStoryMusic();
    EXPECT_FALSE(CSound::IsFadingOut(Track(CSound::MUSIC_MAIN)));
    EXPECT_TRUE(CSound::IsFadingIn(Track(CSound::MUSIC_STORY)));
    EXPECT_FLOAT_EQ(0.0f, CSound::GetVolume(Track(CSound::MUSIC_STORY)));
}

TEST_F(SoundSystemTest, TrackAskedForAgainDuringItsFadeOutRestartsFromThere) {
    CSound::SetMusicVolume(0.3f);
    CSound::PlayMainMusic();
    Frames(31);
    CSoundObject* main = Track(CSound::MUSIC_MAIN);
    const AudioChannelId first = main->Channel();
    CSound::PlayMapMusic();
    Frames(5);
    const float reached = CSound::GetVolume(main);
    EXPECT_NEAR(0.3f * 10 / 15, reached, 1e-5);
    CSound::PlayMainMusic();
    EXPECT_NE(first, main->Channel());
    // The earlier channel of a looping track does not play on out of reach.
    EXPECT_FALSE(ChannelPlays(first));
    EXPECT_TRUE(CSound::IsPlaying(main));
    EXPECT_TRUE(CSound::IsFadingIn(main));
    EXPECT_FLOAT_EQ(reached, CSound::GetVolume(main));
    Frames(31);
    EXPECT_FLOAT_EQ(0.3f, CSound::GetVolume(main));
}

TEST_F(SoundSystemTest, MusicMasterAtZeroStillStartsTracks) {
    CSound::SetMusicVolume(0.0f);
    CSound::PlayMainMusic();
    Frames(31);
    CSoundObject* main = Track(CSound::MUSIC_MAIN);
    EXPECT_TRUE(CSound::IsPlaying(main));
    EXPECT_FLOAT_EQ(0.0f, CSound::GetVolume(main));
    CSound::SetMusicVolume(0.4f);
    EXPECT_FLOAT_EQ(0.4f, CSound::GetVolume(main));
    float v = 0;
    CSound::System()->GetVolume(main->Channel(), &v);
    EXPECT_FLOAT_EQ(0.4f, v);
}

TEST_F(SoundSystemTest, DeleteMusicEmptiesTheSlots) {
    CSound::PlayMainMusic();
    const AudioChannelId channel = Track(CSound::MUSIC_MAIN)->Channel();
    CSound::DeleteMusic();
    for (int i = 0; i < CSound::MUSIC_COUNT; ++i) EXPECT_EQ(nullptr, Track(i));
    EXPECT_EQ(nullptr, CSound::GetCurrentMusic());
    EXPECT_FALSE(ChannelPlays(channel));
    CSound::PlayMainMusic();  // nothing to play, nothing breaks
    Frames(2);
}
