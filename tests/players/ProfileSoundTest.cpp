// The volumes a loaded profile gives the running sound system.
#include "players/CProfile.h"
#include "sound/CSound.h"
#include "tests/players/ProfileTestHelpers.h"

namespace {

class ProfileSoundTest : public ProfileFilesFixture {
protected:
    void SetUp() override {
        ProfileFilesFixture::SetUp();
        setenv("SDL_AUDIODRIVER", "dummy", 1);
        CSound::Init(true);
    }
    void TearDown() override {
        CSound::Shutdown();
        ProfileFilesFixture::TearDown();
    }
};

TEST_F(ProfileSoundTest, LoadedVolumesSetTheEffectsMaster) {
    ASSERT_TRUE(CSound::IsReady());
    {
        CProfile p;
        p.SetSoundVolume(11);
        EXPECT_FLOAT_EQ(CSound::GetEffectsVolume(), 1.0f);
        p.SetSoundVolume(6);
        EXPECT_NEAR(CSound::GetEffectsVolume(), 0.5454545f, 1e-6);
        p.SetSoundVolume(11);
        ASSERT_TRUE(p.Save());
        p.SetSoundVolume(0);
        EXPECT_FLOAT_EQ(CSound::GetEffectsVolume(), 0.0f);
        ASSERT_TRUE(p.LoadProfile("PLAYER 1"));
        EXPECT_FLOAT_EQ(CSound::GetEffectsVolume(), 1.0f);
        p.SetSoundVolume(3);
        p.ResetOptions();
        EXPECT_NEAR(CSound::GetEffectsVolume(), 0.5454545f, 1e-6);
    }
}

}  // namespace
