// Profile and INFO files cut short at every length, and with every byte
// spoiled, read under AddressSanitizer: no read outside the file, defaults
// with a log line, the players of the INFO file kept, and no profile file of
// another player overwritten.
#include <cstdio>

#include "players/CProfile.h"
#include "tests/players/ProfileTestHelpers.h"
#include "tests/players/asan/ProfileHooksRecorder.h"

namespace {

using ProfileTruncationTest = ProfileFilesFixture;

// Two players, the second current, with progress and level records; loaded
// and saved until the files no longer change.
void MakeTwoPlayers() {
    {
        CProfile p;
        ASSERT_TRUE(p.RenameProfile("PLAYER 1", "Ann"));
        ASSERT_TRUE(p.CreateProfile("Bob"));
        p.SetLevelSteps(14, 0, 0);
        p.SetLevelSteps(22, 1, 0);
        p.SetSoundVolume(9);
        ASSERT_TRUE(p.SetLevelRecordAll("first.lvl", 1, 1, 12));
        ASSERT_TRUE(p.SetLevelRecordAll("second.lvl", 1, 0, 0));
        ASSERT_TRUE(p.SetScoreboardName("bob_online"));
    }
    { CProfile p; }
    { CProfile p; }
}

void RemoveAside(const std::string& path) {
    for (int i = 1; i <= 99; ++i) remove((path + ".damaged" + (i == 1 ? std::string() : std::to_string(i))).c_str());
}

void ExpectBothPlayers(const CProfile& p) {
    ASSERT_EQ(p.GetProfileCount(), 2);
    EXPECT_STREQ(p.GetProfileNameAt(0), "Ann");
    EXPECT_STREQ(p.GetProfileNameAt(1), "Bob");
}

TEST_F(ProfileTruncationTest, ProfileFileCutAtEveryLengthLoadsDefaultsAndKeepsThePlayers) {
    MakeTwoPlayers();
    const std::vector<uint8_t> full = ReadFileBytes(ProfilePath(1));
    const std::vector<uint8_t> info = ReadFileBytes(InfoPath());
    const std::vector<uint8_t> ann = ReadFileBytes(ProfilePath(0));
    ASSERT_GT(full.size(), static_cast<size_t>(CProfileBase::kOptionsBlockSize + CProfile::kBodyRecords));

    CProfile p;
    ASSERT_EQ(p.GetCurrentProfile(), 1);
    ASSERT_EQ(p.GetLevelSteps(0, 0, false), 14);
    for (size_t len = 0; len < full.size(); ++len) {
        ASSERT_TRUE(WriteFileBytes(ProfilePath(1), std::vector<uint8_t>(full.begin(), full.begin() + len)));
        const int volumesBefore = RecordedProfileHooks().effectsVolumes;
        EXPECT_FALSE(p.LoadProfile("Bob")) << len;
        ExpectBothPlayers(p);
        EXPECT_EQ(p.GetCurrentProfile(), 1);
        EXPECT_TRUE(p.IsLevelLocked(0, 0)) << len;
        EXPECT_TRUE(p.GetLevelRecords().empty()) << len;
        EXPECT_EQ(p.GetKeyBinding(KEYACTION_LEFT), 276) << len;
        if (len < static_cast<size_t>(CProfileBase::kOptionsBlockSize)) {
            EXPECT_EQ(p.GetSoundVolume(), 6) << len;
            EXPECT_EQ(RecordedProfileHooks().effectsVolumes, volumesBefore) << len;  // nothing applied
        } else {
            EXPECT_EQ(p.GetSoundVolume(), 9) << len;  // the intact options block is kept
        }
        EXPECT_EQ(ReadFileBytes(ProfilePath(1) + ".damaged").size(), len);
        EXPECT_EQ(ReadFileBytes(ProfilePath(0)), ann);
        EXPECT_EQ(ReadFileBytes(InfoPath()), info);
        RemoveAside(ProfilePath(1));
    }
    ASSERT_TRUE(WriteFileBytes(ProfilePath(1), full));
    EXPECT_TRUE(p.LoadProfile("Bob"));
    EXPECT_EQ(p.GetLevelSteps(0, 0, false), 14);
    EXPECT_EQ(p.GetLevelRecord("first.lvl").bestSteps, 12);
}

TEST_F(ProfileTruncationTest, StartingWithACutProfileFileKeepsTheInfoPlayers) {
    MakeTwoPlayers();
    const std::vector<uint8_t> full = ReadFileBytes(ProfilePath(1));
    for (size_t len = 0; len < full.size(); len += (len < 300 ? 1 : 53)) {
        ASSERT_TRUE(WriteFileBytes(ProfilePath(1), std::vector<uint8_t>(full.begin(), full.begin() + len)));
        {
            CProfile p;
            ExpectBothPlayers(p);
            EXPECT_EQ(p.GetCurrentProfile(), 1);
            EXPECT_STREQ(p.GetScoreboardName(1), "bob_online");
        }
        const std::vector<uint8_t> info = ReadFileBytes(InfoPath());
        ASSERT_EQ(info.size(), 34u + 36u * 2) << len;
        EXPECT_EQ(U32At(info, 30), 2u);
        EXPECT_EQ(ReadFileBytes(ProfilePath(1) + ".damaged").size(), len);
        RemoveAside(ProfilePath(1));
        ASSERT_TRUE(WriteFileBytes(ProfilePath(1), full));
    }
}

TEST_F(ProfileTruncationTest, InfoFileCutAtEveryLengthListsBothPlayersAndOverwritesNeither) {
    MakeTwoPlayers();
    const std::vector<uint8_t> info = ReadFileBytes(InfoPath());
    const std::vector<uint8_t> ann = ReadFileBytes(ProfilePath(0));
    const std::vector<uint8_t> bob = ReadFileBytes(ProfilePath(1));
    ASSERT_EQ(info.size(), 34u + 36u * 2);
    for (size_t len = 0; len < info.size(); ++len) {
        ASSERT_TRUE(WriteFileBytes(InfoPath(), std::vector<uint8_t>(info.begin(), info.begin() + len)));
        {
            CProfile p;
            // Both files on disk are listed; an entry cut short before the
            // end of its name gives its player the name of his file, one cut
            // only in its score-board name keeps his own.
            ASSERT_EQ(p.GetProfileCount(), 2) << len;
            EXPECT_STREQ(p.GetProfileNameAt(0), len >= 34 + 20 ? "Ann" : "PLAYER 1") << len;
            EXPECT_STREQ(p.GetProfileNameAt(1), len >= 34 + 36 + 20 ? "Bob" : "PLAYER 2") << len;
            const char* name = p.GetProfileName();
            ASSERT_NE(name, nullptr);
            EXPECT_EQ(p.GetProfileNumber(name), p.GetCurrentProfile()) << len;
        }
        EXPECT_EQ(ReadFileBytes(ProfilePath(0)), ann) << len;
        EXPECT_EQ(ReadFileBytes(ProfilePath(1)), bob) << len;
        EXPECT_FALSE(Exists(ProfilePath(2))) << len;
        EXPECT_EQ(ReadFileBytes(InfoPath() + ".damaged").size(), len) << len;
        RemoveAside(InfoPath());
        CProfileBase::ClearCheaterFlags(0xFFFFFFFFu);
    }
}

TEST_F(ProfileTruncationTest, EverySpoiledByteLoadsWithoutReadingOutsideTheFile) {
    MakeTwoPlayers();
    const std::vector<uint8_t> full = ReadFileBytes(ProfilePath(1));
    CProfile p;
    for (size_t at = 0; at < full.size(); ++at) {
        for (uint8_t value : {uint8_t{0xFF}, uint8_t{0x80}}) {
            std::vector<uint8_t> spoiled = full;
            spoiled[at] = value;
            ASSERT_TRUE(WriteFileBytes(ProfilePath(1), spoiled));
            p.LoadProfile("Bob");
            ExpectBothPlayers(p);
            EXPECT_GE(p.GetCurrentSet(), 0);
            EXPECT_LT(p.GetCurrentSet(), 3);
            EXPECT_GE(p.GetCurrentLevel(), 0);
            EXPECT_LT(p.GetCurrentLevel(), CProfile::GetSetLevelCount(p.GetCurrentSet()));
            EXPECT_GE(p.GetSoundVolume(), 0);
            EXPECT_LE(p.GetSoundVolume(), 11);
            EXPECT_GT(p.GetMouseSpeed(), 0.0f);
            RemoveAside(ProfilePath(1));
        }
    }
    CProfileBase::ClearCheaterFlags(0xFFFFFFFFu);
}

}  // namespace
